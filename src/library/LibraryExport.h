#pragma once

#include <QString>

class Database;
class IProgress;
class QueryProgress;

// Which sequences of a library an export takes. Empty texts and a negative state take any.
struct ExportFilter {
    QString beginDate; // first Date taken, "yyyy/MM/dd"
    QString endDate;   // last Date taken, "yyyy/MM/dd"
    QString level;
    int state = -1;
};

// Moving sequences from the library open on a connection (the source) into another library file
// (the target), which stays attached to that connection as "target" while the object lives. The
// move is one transaction over both files: every sequence arrives whole in the target and leaves
// the source, or nothing changes in either. Failures throw DbError.
class LibraryExport {
public:
    LibraryExport(Database& source, const QString& targetPath);
    ~LibraryExport();
    LibraryExport(const LibraryExport&) = delete;
    LibraryExport& operator=(const LibraryExport&) = delete;

    // The number of the source's sequences the filter takes.
    qint64 count(const ExportFilter& filter) const;

    // Moves the sequences the filter takes, with their calls (HexInfo included) and history, and
    // returns their number. They keep the source's list order (OrderNo, Date, Time) and get the
    // target's next OrderNo values and new Sequence keys there. The progress is told after each
    // sequence and kept going through the statements that copy whole tables; when the user stops
    // it, the transaction rolls back and WorkCancelled is thrown.
    qint64 move(const ExportFilter& filter, IProgress* progress = nullptr);

    // Whether the last move got as far as opening its transaction.
    bool transactionBegun() const { return m_begun; }

private:
    qint64 moveRows(const ExportFilter& filter, IProgress* progress, QueryProgress& running);

    Database& m_db;
    bool m_begun = false;
};
