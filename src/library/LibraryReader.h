#pragma once

#include "SequenceRecord.h"
#include "Statement.h"

#include <QHash>
#include <QList>

class Database;

// Reads stored sequences whole (the header fields, the calls, and the history when asked for) for
// print, the spreadsheet and the text writer. The statements are prepared on first use and serve
// every sequence read through one reader. Failures throw DbError.
class LibraryReader : public ISequenceSource {
public:
    enum class History { Skip, Read };

    explicit LibraryReader(Database& db, History history = History::Skip) : m_db(db), m_withHistory(history) {}

    std::optional<SequenceRecord> sequenceRecord(qint64 key) override;
    // Reads the history of the sequences at once when there are several.
    void readAhead(const QList<qint64>& keys) override;

    // The calls of a sequence in Number order.
    QList<CallRecord> calls(qint64 key);

    // Reads the history of all these sequences in one pass, for reading many sequences one after
    // another: the history table has no index by sequence, so one query per sequence would scan it
    // each time.
    void preloadHistory(const QList<qint64>& keys);

    // The keys no stored sequence carries, in the order given, each once.
    QList<qint64> missingSequences(const QList<qint64>& keys);

private:
    Statement& prepared(Statement& statement, const QString& sql);

    Database& m_db;
    History m_withHistory;
    Statement m_sequence;
    Statement m_calls;
    Statement m_history;
    bool m_preloaded = false;
    QHash<qint64, QList<HistoryRecord>> m_histories;
};

namespace modSeqText {

// The text of Edit > Copy from the open library (see the writer's own SequencesText).
QString SequencesText(Database& db, const QList<qint64>& sequences, bool* whole = nullptr);

} // namespace modSeqText
