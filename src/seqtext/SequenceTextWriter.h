#pragma once

#include "Statement.h"

#include <QHash>
#include <QList>
#include <QString>

class Database;

// Writes stored sequences as sequence text, the layout the reader takes back. The statements are
// prepared once and serve every sequence written through one writer. A failed read is logged
// under "modSeqText.WriteSequenceClipboard" and writing goes on with the next step.
class SequenceTextWriter {
public:
    explicit SequenceTextWriter(Database& db);

    // Appends the sequence to text, after a form-feed line when text is not empty. A sequence no
    // row carries appends only that separator.
    void write(QString& text, qint64 sequence);

    // Reads the history of all these sequences in one pass, for writing many sequences at once:
    // the history table has no index by sequence, so one query per sequence would scan it each time.
    void preloadHistory(const QList<qint64>& sequences);

    // False once anything could not be read: the text then lacks part of a sequence.
    bool isComplete() const { return m_complete; }

private:
    void fail(const class DbError& error);
    bool writeSequence(QString& text, qint64 sequence);
    void writeHistory(QString& text, qint64 sequence);
    void writeCalls(QString& text, qint64 sequence);

    Statement m_sequence;
    Statement m_history;
    Statement m_calls;
    Database& m_db;
    bool m_preloaded = false;
    bool m_complete = true;
    QHash<qint64, QList<QPair<QString, QString>>> m_histories;
};

namespace modSeqText {

// Appends one stored sequence with its history and calls to text.
void WriteSequenceClipboard(Database& db, QString& text, qint64 sequence);

// The text of Edit > Copy: the sequences in the given order, one form-feed line between two.
// whole, when given, tells whether every sequence could be read whole.
QString SequencesText(Database& db, const QList<qint64>& sequences, bool* whole = nullptr);

// The numbers no stored sequence carries, in the order given.
QList<qint64> MissingSequences(Database& db, const QList<qint64>& sequences);

// Removes the sequences with their calls and history in one transaction: all of them, or, when
// anything fails, none (the failure is logged). True when they are gone.
bool DeleteSequences(Database& db, const QList<qint64>& sequences);

} // namespace modSeqText
