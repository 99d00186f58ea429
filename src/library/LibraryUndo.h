#pragma once

#include <QList>
#include <QString>
#include <QStringList>
#include <functional>
#include <memory>

class Database;
class QTemporaryFile;

// Row-level undo and redo for the changes the window makes to a library. While a change is
// recorded, triggers on the connection note every row of tblSequence, tblCall and tblHistory it
// inserts, updates or deletes, and keep each row's image from before its first touch. Undo puts
// those images back (and removes rows the change added); redo puts back the rows as they were after
// the change. Both work on whole rows with their original keys, each in one transaction, so a
// restored sequence cannot be told from before.
//
// The images live in a private file in the temporary folder, attached to the library's connection
// for as long as the library is open, so a large change costs disk rather than memory.
class LibraryUndo {
public:
    explicit LibraryUndo(Database& db);
    ~LibraryUndo();
    LibraryUndo(const LibraryUndo&) = delete;
    LibraryUndo& operator=(const LibraryUndo&) = delete;

    // Starts recording a change (throws DbError when the images cannot be kept).
    void start();
    // Ends recording: the change's number, or 0 when it wrote no row and there is nothing to undo.
    qint64 finish();
    bool isRecording() const { return m_recording != 0; }

    // Back to the rows as they were before the change, or forward to them as they were after it.
    // One transaction each; on failure (DbError) nothing has changed.
    void undo(qint64 change);
    void redo(qint64 change);
    // Drops what was kept for one change.
    void forget(qint64 change) noexcept;
    // Drops everything and lets the library go (before it is closed).
    void clear() noexcept;

    // Told of every change that wrote rows, with its caption, when its recording ends.
    void setRecorded(std::function<void(qint64 change, const QString& caption)> recorded) {
        m_recorded = std::move(recorded);
    }

    // Records the rows written during its life as one change. A step inside another is part of
    // the outer one; a step that cannot record lets the change go ahead without an undo.
    class Step {
    public:
        Step(LibraryUndo& undo, QString caption);
        ~Step();
        Step(const Step&) = delete;
        Step& operator=(const Step&) = delete;
        void setCaption(const QString& caption) { m_caption = caption; }

    private:
        LibraryUndo& m_undo;
        QString m_caption;
        bool m_outer = false;
    };

private:
    struct Table {
        QString name;
        QStringList columns;
        // True when the table's key is its rowid (an INTEGER PRIMARY KEY): the key column
        // carries the rowid back, so the rowid is not named again.
        bool keyIsRowid = false;
    };

    void prepare();
    void restore(qint64 change, const QString& images, bool keepAfter);
    static void currentChange(struct sqlite3_context* context, int, struct sqlite3_value**);

    Database& m_db;
    std::function<void(qint64, const QString&)> m_recorded;
    std::unique_ptr<QTemporaryFile> m_file;
    QList<Table> m_tables;
    bool m_ready = false;
    // The images could not be kept for this library: its changes go ahead without undo, and the
    // failure is reported once.
    bool m_unavailable = false;
    qint64 m_recording = 0;
    qint64 m_last = 0;
};
