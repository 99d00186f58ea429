#pragma once

#include "ISequenceSink.h"
#include "Statement.h"
#include "Transaction.h"

#include <QList>
#include <memory>

class Database;
class IProgress;
class ISeqTextHost;

// Stores what the sequence text reader reads into the open library: the run inside one
// transaction, a sequence already stored (same date, time and level) skipped. A failure of one
// record takes back its sequence alone: the sequences are written in batches, each inside a
// savepoint, and a failure rolls its batch back and writes the batch's earlier sequences again. A
// failure of the file or the machine (or one after which SQLite has rolled the run's transaction
// back by itself) stops the run: going on would store later sequences outside any transaction.
class SequenceImport : public ISequenceSink {
public:
    explicit SequenceImport(Database& db) : m_db(db) {}

    void beginRun() override;
    Outcome addSequence(const SequenceRecord& sequence) override;
    Outcome addHistory(const QString& callDate, const QString& partyName) override;
    Outcome addCall(qint32 number, const QString& call, const QString& note, const QString& figure) override;
    Outcome endSequence() override;
    void finishRun(qint32 insertPosition) override;
    void abandonRun() override;
    int added() const override { return m_added; }
    ErrorInfo failure() const override { return m_failure; }

private:
    // Takes back the current sequence after a failed step; throws Stopped for a fatal one.
    Outcome abandonSequence(const DbError& error);
    [[noreturn]] void stop(const DbError& error);
    void releaseBatch();
    void place(qint32 insertPosition);

    Database& m_db;
    std::unique_ptr<Transaction> m_transaction;
    Statement m_seek;
    Statement m_addSequence;
    Statement m_addCall;
    Statement m_addHistory;
    // The savepoint around the current batch, as prepared statements.
    Statement m_savepointBegin;
    Statement m_savepointRelease;
    Statement m_savepointRollback;
    // The list position the run's sequences are stored with: they follow every stored sequence,
    // so that a run that appends (the usual one) needs no pass over them at its end.
    qint64 m_orderNo = 1;
    bool m_inSequence = false;
    bool m_sequenceStored = false;
    qint64 m_sequence = 0;
    // The batch: whether its savepoint is open, the keys of its first and its last complete
    // sequence (0: none), and how many are complete.
    bool m_batchOpen = false;
    qint64 m_batchFirst = 0;
    qint64 m_batchLast = 0;
    int m_batchEnded = 0;
    int m_added = 0;
    QList<qint64> m_addedList;
    ErrorInfo m_failure;
};

namespace modSeqText {

// Reads one sequence text into the open library through a SequenceImport (see the reader's own
// ReadSequenceText for the rules of a run).
int ReadSequenceText(Database& db, const QString& source, bool fromClipboard, qint32 insertPosition, ISeqTextHost& host,
                     IProgress* progress = nullptr);

} // namespace modSeqText
