#include "SearchEngine.h"

#include "CaseFold.h"
#include "Database.h"
#include "DbError.h"
#include "IProgress.h"
#include "QueryProgress.h"
#include "Transaction.h"
#include "Translation.h"
#include "modSystem.h"

#include <algorithm>
#include <iterator>
#include <unordered_map>

namespace {

const QString AllLevel = QStringLiteral("AllLevel");

constexpr int MsgNotFound = 40501;
constexpr int MsgSearchRound = 40502;
constexpr int MsgReplaced = 40503;
constexpr int MsgSearchRoundOne = 40506;
constexpr int MsgReplacedOne = 40507;
constexpr int MsgReplaceCancelled = 40505;

// The sequence list's order; the key keeps the calls of one sequence together when two sequences
// tie on every sort field.
QString orderClause(int sequenceSort) {
    switch (sequenceSort) {
    case 1:
        return QStringLiteral("ORDER BY OrderNo ASC, Date ASC, Time ASC, Sequence ASC");
    case 2:
        return QStringLiteral("ORDER BY Property ASC, Date ASC, Time ASC, Sequence ASC");
    default:
        return QStringLiteral("ORDER BY Date ASC, Time ASC, Sequence ASC");
    }
}

// Up to this many sequences that may hold the word, the list is asked for their places only.
constexpr size_t kListedByKey = 20000;

// The sequences of the list in its order, only those of keys when given.
Statement listedSequences(Database& db, const SearchContext& context, const std::vector<qint64>* keys) {
    const bool allLevels = context.viewLevel == AllLevel;
    Statement sequences = db.prepare(
        QStringLiteral("SELECT Sequence FROM tblSequence WHERE 1 ") +
        (keys != nullptr ? QStringLiteral("AND Sequence IN (SELECT value FROM json_each(?)) ") : QString()) +
        (allLevels ? QString() : QStringLiteral("AND Level = ? ")) +
        (context.notCalledFor ? QStringLiteral("AND ") + SequenceListQuery::notCalledForCondition(*context.notCalledFor)
                              : QString()) +
        orderClause(context.sequenceSort));
    int parameter = 1;
    if (keys != nullptr) {
        QString list = QStringLiteral("[");
        for (const qint64 key : *keys) {
            if (list.size() > 1) {
                list += QLatin1Char(',');
            }
            list += QString::number(key);
        }
        sequences.bind(parameter++, list + QLatin1Char(']'));
    }
    if (!allLevels) {
        sequences.bind(parameter++, context.viewLevel);
    }
    if (context.notCalledFor) {
        SequenceListQuery::bindNotCalledFor(sequences, parameter, *context.notCalledFor);
    }
    return sequences;
}

// Appends the Numbers of the sequence's calls as the library holds them now.
void appendStoredNumbers(Statement& calls, qint64 sequence, std::vector<qint32>& numbers) {
    calls.reset();
    calls.bind(1, sequence);
    while (calls.step()) {
        numbers.push_back(static_cast<qint32>(calls.int64(0)));
    }
}

// A count in words: the singular text for one.
SearchMessage information(int keyMany, int keyOne, int count) {
    return {count == 1 ? keyOne : keyMany, {count}, SearchMessage::Icon::Information};
}

} // namespace

// Evaluates the criterion one sequence at a time: the Numbers of the sequence's calls whose text
// holds the find text, ascending. The statement is prepared once per step.
class SearchEngine::RunMatcher {
public:
    RunMatcher(const SearchEngine& engine, Database& db, const QString& findText, int compareMode)
        : m_engine(engine),
          m_query(db.prepare(QStringLiteral("SELECT Number FROM tblCall "
                                            "WHERE Sequence = ? AND InStr(1, Call, ?, ?) > 0 ORDER BY Number"))),
          m_find(findText), m_compareMode(compareMode) {}

    const std::vector<int>& numbers(const Run& run) {
        m_numbers.clear();
        if (!m_engine.mayMatch(run.sequence)) {
            return m_numbers;
        }
        m_query.reset();
        m_query.bind(1, run.sequence).bind(2, m_find).bind(3, m_compareMode);
        while (m_query.step()) {
            m_numbers.push_back(m_query.integer(0));
        }
        return m_numbers;
    }

private:
    const SearchEngine& m_engine;
    Statement m_query;
    QString m_find;
    int m_compareMode;
    std::vector<int> m_numbers;
};

SearchResult SearchEngine::SearchWord(Database& db, const SearchContext& context, bool replaceFlag,
                                      const QString& findText, const QString& replaceText, int compareMode,
                                      int direction) {
    if (findText.isEmpty()) {
        return {};
    }
    try {
        useIndex(db, findText);
        // One read transaction for the whole step instead of one per evaluated sequence; a replace
        // step writes inside it.
        Savepoint savepoint(db, QStringLiteral("SearchWord"));
        const SearchResult result = step(db, context, replaceFlag, findText, replaceText, compareMode, direction);
        savepoint.release();
        return result;
    } catch (const DbError& error) {
        modSystem::WriteErrorLog(QStringLiteral("frmVornReader.SearchWord"), error.info());
        Reset();
        return {};
    }
}

SearchResult SearchEngine::step(Database& db, const SearchContext& context, bool replaceFlag, const QString& findText,
                                const QString& replaceText, int compareMode, int direction) {
    SearchResult result;
    const bool goOn = m_active && m_db == &db && m_dbPath == db.path() && replaceFlag == m_lastReplace &&
                      findText == m_lastFind && replaceText == m_lastReplacement && compareMode == m_lastCompareMode &&
                      direction == m_lastDirection;
    if (goOn) {
        // Replace the match shown last, then move on from it.
        const bool replaced = replaceFlag && replaceCurrent(db);
        completeRuns(db);
        const qsizetype next = findMatch(db, m_current, direction);
        // A step that replaced the last remaining match still completes the round below.
        if (next < 0 && m_counter == 0 && !replaced) {
            Reset();
            result.message = {MsgNotFound, {}, SearchMessage::Icon::Exclamation};
            return result;
        }
        ++m_counter;
        m_current = next;
    } else {
        Reset();
        m_lastReplace = replaceFlag;
        m_lastFind = findText;
        m_lastReplacement = replaceText;
        m_lastCompareMode = compareMode;
        m_lastDirection = direction;
        if (m_fast && m_candidates.empty() && m_index.changedSequences().empty()) {
            Reset();
            result.message = {MsgNotFound, {}, SearchMessage::Icon::Exclamation};
            return result;
        }
        loadCandidates(db, context);
        const qsizetype from = locate(context.currentSequence, context.currentRow + 1, direction);
        const qsizetype found = m_numbers.empty() ? -1 : findMatch(db, from, direction);
        if (found < 0) {
            Reset();
            result.message = {MsgNotFound, {}, SearchMessage::Icon::Exclamation};
            return result;
        }
        m_active = true;
        m_db = &db;
        m_dbPath = db.path();
        m_current = found;
        m_startSequence = m_runs[runOf(found)].sequence;
        m_startRow = m_numbers[found] - 1;
        m_counter = 0;
    }

    result.startSequence = m_startSequence;
    result.startRow = m_startRow;
    if (m_current >= 0) {
        result.hasMatch = true;
        result.sequence = m_runs[runOf(m_current)].sequence;
        result.callRow = m_numbers[m_current] - 1;
    }
    const bool backAtStart = result.hasMatch && result.sequence == m_startSequence && result.callRow == m_startRow;
    if (m_counter > 0 && (!result.hasMatch || backAtStart)) {
        result.message = replaceFlag ? information(MsgReplaced, MsgReplacedOne, m_counter)
                                     : information(MsgSearchRound, MsgSearchRoundOne, m_counter);
        // The round is reported; the next press starts a new search.
        Reset();
        return result;
    }
    result.matchShown = true;
    return result;
}

ReplaceAllResult SearchEngine::ReplaceWordAll(Database& db, const QString& viewLevel, const QString& findText,
                                              const QString& replaceText, int compareMode, const Confirm& confirm,
                                              IProgress* progress,
                                              const std::optional<SequenceListQuery::NotCalledFor>& notCalledFor) {
    ReplaceAllResult result;
    if (findText.isEmpty()) {
        return result;
    }
    try {
        struct Hit {
            qint64 sequence;
            int number;
            qint64 rowid;
            QString text; // as counted
        };
        std::vector<Hit> hits;
        const bool allLevels = viewLevel == AllLevel;
        const bool fast = useIndex(db, findText);
        const QString level = allLevels ? QString() : QStringLiteral("AND Level = ? ");
        const QString notCalled =
            notCalledFor ? QStringLiteral("AND ") + SequenceListQuery::notCalledForCondition(*notCalledFor) : QString();
        // With the copy only its candidate calls are read, and the calls of the sequences changed
        // since it was read.
        Statement candidates =
            db.prepare(QStringLiteral("SELECT tblCall.Sequence, tblCall.Number, tblCall.Call, tblCall.rowid "
                                      "FROM tblCall, tblSequence WHERE tblCall.Sequence = tblSequence.Sequence ") +
                       (fast ? QStringLiteral("AND tblCall.Sequence = ? ") : QString()) + level + notCalled +
                       QStringLiteral("AND InStr(1, tblCall.Call, ?, ?) > 0"));
        Statement candidateCall = db.prepare(
            QStringLiteral("SELECT Sequence, Number, Call, rowid FROM tblCall WHERE Sequence = ? AND Number = ?"));
        std::vector<CallTextIndex::CallKey> calls;
        if (fast) {
            // The sequences of the level, read at once from an index instead of one by one.
            std::vector<qint64> listed;
            Statement sequences =
                db.prepare(QStringLiteral("SELECT Sequence FROM tblSequence WHERE 1 ") + level + notCalled);
            int parameter = 1;
            if (!allLevels) {
                sequences.bind(parameter++, viewLevel);
            }
            if (notCalledFor) {
                SequenceListQuery::bindNotCalledFor(sequences, parameter, *notCalledFor);
            }
            while (sequences.step()) {
                listed.push_back(sequences.int64(0));
            }
            std::sort(listed.begin(), listed.end());
            calls = m_index.candidateCalls(findText);
            std::erase_if(calls, [&listed](const CallTextIndex::CallKey& call) {
                return !std::binary_search(listed.begin(), listed.end(), call.sequence);
            });
        }
        const std::vector<qint64> changed = fast ? m_index.changedSequences() : std::vector<qint64>{};
        progressLabel(
            progress,
            modGeneral::MessageFormat(
                modGeneral::LoadTransString(20902, QStringLiteral("Counting the matches of \"%1\"...")), {findText}));
        {
            // The scan over the calls is one statement: it is kept going (and stoppable) from inside.
            QueryProgress scan(db, progress);
            const auto count = [&](Statement& rows) {
                while (rows.step()) {
                    QString text = rows.text(2);
                    const int occurrences = CountText(text, findText, compareMode);
                    if (occurrences > 0) {
                        hits.push_back({rows.int64(0), rows.integer(1), rows.int64(3), std::move(text)});
                        result.count += occurrences;
                    }
                }
            };
            for (const CallTextIndex::CallKey& call : calls) {
                candidateCall.reset();
                candidateCall.bind(1, call.sequence).bind(2, call.number);
                count(candidateCall);
            }
            const size_t rounds = fast ? changed.size() : 1;
            for (size_t round = 0; round < rounds; ++round) {
                candidates.reset();
                int index = 1;
                if (fast) {
                    candidates.bind(index++, changed[round]);
                }
                if (!allLevels) {
                    candidates.bind(index++, viewLevel);
                }
                if (notCalledFor) {
                    index = SequenceListQuery::bindNotCalledFor(candidates, index, *notCalledFor);
                }
                candidates.bind(index, findText);
                candidates.bind(index + 1, compareMode);
                count(candidates);
            }
        }
        candidateCall.reset();
        candidates.reset();
        if (result.count == 0) {
            result.message = {MsgNotFound, {}, SearchMessage::Icon::Exclamation};
            return result;
        }
        if (progress != nullptr) {
            progress->pause();
        }
        if (!confirm || !confirm(result.count)) {
            return result;
        }

        Transaction transaction(db);
        progressLabel(progress, modGeneral::MessageFormat(modGeneral::LoadTransString(
                                                              20903, QStringLiteral("Replacing \"%1\" with \"%2\"...")),
                                                          {findText, replaceText}));
        Statement read = db.prepare(QStringLiteral("SELECT Call FROM tblCall WHERE Sequence = ? AND Number = ?"));
        Statement write = db.prepare(QStringLiteral("UPDATE tblCall SET Call = ? WHERE Sequence = ? AND Number = ?"));
        // The text as counted is replaced, found by its rowid, unless another program changed the
        // call since; then it is read again.
        Statement writeCounted = db.prepare(
            QStringLiteral("UPDATE tblCall SET Call = ? WHERE rowid = ? AND Sequence = ? AND Number = ? AND Call = ?"));
        const auto total = static_cast<qint64>(hits.size());
        for (qint64 done = 0; done < total; ++done) {
            const Hit& hit = hits[static_cast<size_t>(done)];
            // Told once a sequence: a stop rolls the whole replacement back.
            if ((done == 0 || hits[static_cast<size_t>(done - 1)].sequence != hit.sequence) &&
                !progressStep(progress, done, total)) {
                throw WorkCancelled();
            }
            const QString counted = ReplaceText(hit.text, findText, replaceText, compareMode);
            if (counted != hit.text) {
                writeCounted.reset();
                writeCounted.bind(1, counted).bind(2, hit.rowid).bind(3, hit.sequence).bind(4, hit.number);
                writeCounted.bind(5, hit.text);
                writeCounted.run();
                if (db.changes() > 0) {
                    continue;
                }
            }
            read.reset();
            read.bind(1, hit.sequence).bind(2, hit.number);
            if (!read.step()) {
                continue;
            }
            const QString text = read.text(0);
            read.reset();
            const QString replaced = ReplaceText(text, findText, replaceText, compareMode);
            if (replaced != text) {
                write.reset();
                write.bind(1, replaced).bind(2, hit.sequence).bind(3, hit.number);
                write.run();
            }
        }
        if (!progressStep(progress, total, total)) {
            throw WorkCancelled();
        }
        transaction.commit();
        // The texts the running search was stepping through have changed.
        Reset();
        result.replaced = true;
        result.message = information(MsgReplaced, MsgReplacedOne, result.count);
    } catch (const WorkCancelled&) {
        result = {};
        result.cancelled = true;
    } catch (const DbError& error) {
        result = {};
        // A scan stopped by the user ends with SQLITE_INTERRUPT: that is the stop, not a failure.
        if (error.isInterrupt() && progress != nullptr && progress->cancelled()) {
            result.cancelled = true;
        } else {
            modSystem::WriteErrorLog(QStringLiteral("frmVornReader.ReplaceWordAll"), error.info());
            result.failed = true;
        }
    }
    if (result.cancelled) {
        result.message = {MsgReplaceCancelled, {}, SearchMessage::Icon::Information};
    }
    return result;
}

QString SearchEngine::ReplaceText(const QString& text, const QString& find, const QString& replacement,
                                  int compareMode) {
    const std::vector<CaseFold::Match> matches = CaseFold::findAll(text, find, compareMode);
    if (matches.empty()) {
        return text;
    }
    QString result;
    result.reserve(text.size());
    qsizetype kept = 0;
    for (const CaseFold::Match& match : matches) {
        result += QStringView(text).mid(kept, match.position - kept);
        result += replacement;
        kept = match.position + match.length;
    }
    result += QStringView(text).mid(kept);
    return result;
}

int SearchEngine::CountText(const QString& text, const QString& find, int compareMode) {
    return static_cast<int>(CaseFold::findAll(text, find, compareMode).size());
}

bool SearchEngine::useIndex(Database& db, const QString& findText) {
    m_fast = CallTextIndex::searchable(findText) && m_index.usable(db);
    if (m_fast && (findText != m_indexedFind || m_index.generation() != m_indexedGeneration)) {
        m_candidates = m_index.candidates(findText);
        m_indexedFind = findText;
        m_indexedGeneration = m_index.generation();
    }
    return m_fast;
}

bool SearchEngine::mayMatch(qint64 sequence) const {
    return !m_fast || std::binary_search(m_candidates.begin(), m_candidates.end(), sequence) ||
           m_index.changed(sequence);
}

void SearchEngine::Reset() {
    m_active = false;
    m_db = nullptr;
    m_dbPath.clear();
    m_lastReplace = false;
    m_lastFind.clear();
    m_lastReplacement.clear();
    m_lastCompareMode = 0;
    m_lastDirection = 0;
    m_startSequence = 0;
    m_startRow = -1;
    m_counter = 0;
    m_runs.clear();
    m_numbers.clear();
    m_current = -1;
    m_partial = false;
}

// Only the keys are loaded: the sequences in list order, then every call of them in key order
// (which the primary key index gives without sorting), regrouped into list order. The copy of the
// call texts knows the calls of each sequence not changed since it was read.
void SearchEngine::loadCandidates(Database& db, const SearchContext& context) {
    const bool allLevels = context.viewLevel == AllLevel;
    const QString levelFilter = allLevels ? QString() : QStringLiteral("AND Level = ? ");

    struct Group {
        qint64 sequence;
        qsizetype begin;
        qsizetype end;
    };
    std::vector<Group> groups;
    std::vector<qint32> numbers;
    if (!m_fast) {
        Statement calls = db.prepare(QStringLiteral("SELECT tblCall.Sequence, tblCall.Number FROM tblSequence, tblCall "
                                                    "WHERE tblCall.Sequence = tblSequence.Sequence ") +
                                     levelFilter + QStringLiteral("ORDER BY tblCall.Sequence ASC, tblCall.Number ASC"));
        if (!allLevels) {
            calls.bind(1, context.viewLevel);
        }
        while (calls.step()) {
            const qint64 sequence = calls.int64(0);
            if (groups.empty() || groups.back().sequence != sequence) {
                const auto at = static_cast<qsizetype>(numbers.size());
                groups.push_back({sequence, at, at});
            }
            numbers.push_back(static_cast<qint32>(calls.int64(1)));
            ++groups.back().end;
        }
    }
    // With the copy, only the sequences that may hold the word and the current one need a place.
    std::vector<qint64> wanted;
    if (m_fast) {
        wanted = m_index.changedSequences();
        wanted.insert(wanted.end(), m_candidates.begin(), m_candidates.end());
        wanted.push_back(context.currentSequence);
        std::sort(wanted.begin(), wanted.end());
        wanted.erase(std::unique(wanted.begin(), wanted.end()), wanted.end());
    }
    m_partial = m_fast && wanted.size() <= kListedByKey;
    m_context = context;
    m_startSerial = m_index.serial();
    m_startGeneration = m_index.generation();

    Statement changedCalls =
        db.prepare(QStringLiteral("SELECT Number FROM tblCall WHERE Sequence = ? ORDER BY Number"));
    Statement sequences = listedSequences(db, context, m_partial ? &wanted : nullptr);
    if (!m_partial) {
        m_numbers.reserve(m_fast ? m_index.callCount() : numbers.size());
    }
    while (sequences.step()) {
        const qint64 sequence = sequences.int64(0);
        const auto at = static_cast<qsizetype>(m_numbers.size());
        if (m_fast) {
            if (!m_index.appendNumbers(sequence, m_numbers)) {
                appendStoredNumbers(changedCalls, sequence, m_numbers);
            }
        } else {
            const auto group = std::lower_bound(groups.begin(), groups.end(), sequence,
                                                [](const Group& g, qint64 value) { return g.sequence < value; });
            if (group != groups.end() && group->sequence == sequence) {
                m_numbers.insert(m_numbers.end(), numbers.begin() + group->begin, numbers.begin() + group->end);
            }
        }
        m_runs.push_back({sequence, at, static_cast<qsizetype>(m_numbers.size())});
    }
}

// The sequences left out when the search started could not hold the word then. One changed since
// joins the runs at its place in the list with the Numbers it had then (the copy still holds
// them); when the copy was read again or cannot answer, every listed sequence joins. The runs
// already there keep their order and Numbers.
void SearchEngine::completeRuns(Database& db) {
    if (!m_partial) {
        return;
    }
    const bool sameCopy = m_fast && m_index.generation() == m_startGeneration;
    std::vector<qint64> keys;
    keys.reserve(m_runs.size());
    for (const Run& run : m_runs) {
        keys.push_back(run.sequence);
    }
    std::sort(keys.begin(), keys.end());
    if (sameCopy) {
        std::vector<qint64> added = m_index.changedSince(m_startSerial);
        m_startSerial = m_index.serial();
        std::erase_if(added,
                      [&keys](qint64 sequence) { return std::binary_search(keys.begin(), keys.end(), sequence); });
        if (added.empty()) {
            return;
        }
        const auto middle = static_cast<std::ptrdiff_t>(keys.size());
        keys.insert(keys.end(), added.begin(), added.end());
        std::inplace_merge(keys.begin(), keys.begin() + middle, keys.end());
    }
    std::unordered_map<qint64, size_t> placed;
    for (size_t r = 0; r < m_runs.size(); ++r) {
        placed.emplace(m_runs[r].sequence, r);
    }
    const qsizetype currentRun = m_current >= 0 ? runOf(m_current) : -1;
    std::vector<Run> runs;
    std::vector<qint32> numbers;
    qsizetype current = -1;
    size_t kept = 0;
    // Moves the runs before end over, in their order.
    const auto keep = [&](size_t end) {
        for (; kept < end; ++kept) {
            const Run& run = m_runs[kept];
            const auto at = static_cast<qsizetype>(numbers.size());
            if (static_cast<qsizetype>(kept) == currentRun) {
                current = at + (m_current - run.begin);
            }
            numbers.insert(numbers.end(), m_numbers.begin() + run.begin, m_numbers.begin() + run.end);
            runs.push_back({run.sequence, at, static_cast<qsizetype>(numbers.size())});
        }
    };
    Statement storedCalls = db.prepare(QStringLiteral("SELECT Number FROM tblCall WHERE Sequence = ? ORDER BY Number"));
    Statement sequences = listedSequences(db, m_context, sameCopy ? &keys : nullptr);
    while (sequences.step()) {
        const qint64 sequence = sequences.int64(0);
        if (const auto run = placed.find(sequence); run != placed.end()) {
            keep(std::max(kept, run->second + 1));
            continue;
        }
        const auto at = static_cast<qsizetype>(numbers.size());
        if (!m_index.appendNumbers(sequence, numbers, sameCopy)) {
            appendStoredNumbers(storedCalls, sequence, numbers);
        }
        runs.push_back({sequence, at, static_cast<qsizetype>(numbers.size())});
    }
    keep(m_runs.size());
    m_runs = std::move(runs);
    m_numbers = std::move(numbers);
    m_current = current;
    m_partial = sameCopy;
}

qsizetype SearchEngine::locate(qint64 sequence, int number, int direction) const {
    const auto run =
        std::find_if(m_runs.begin(), m_runs.end(), [sequence](const Run& r) { return r.sequence == sequence; });
    if (run == m_runs.end()) {
        return direction == 1 ? static_cast<qsizetype>(m_numbers.size()) : -1;
    }
    const auto first = m_numbers.begin() + run->begin;
    const auto last = m_numbers.begin() + run->end;
    const auto at = std::lower_bound(first, last, number);
    const qsizetype index = at - m_numbers.begin();
    if (at != last && *at == number) {
        return index;
    }
    // Between two candidates: the search goes on with the one past the gap in its direction.
    return direction == 1 ? index : index - 1;
}

qsizetype SearchEngine::runOf(qsizetype index) const {
    const auto run = std::upper_bound(m_runs.begin(), m_runs.end(), index,
                                      [](qsizetype value, const Run& r) { return value < r.end; });
    return run - m_runs.begin();
}

qsizetype SearchEngine::findMatch(Database& db, qsizetype index, int direction) {
    RunMatcher matcher(*this, db, m_lastFind, m_lastCompareMode);
    const auto size = static_cast<qsizetype>(m_numbers.size());
    // The first match inside [low, high], scanning up or down.
    auto scan = [&](qsizetype low, qsizetype high, bool down) -> qsizetype {
        low = std::max<qsizetype>(low, 0);
        high = std::min(high, size - 1);
        if (low > high) {
            return -1;
        }
        qsizetype r = runOf(down ? low : high);
        while (r >= 0 && r < static_cast<qsizetype>(m_runs.size())) {
            const Run& run = m_runs[r];
            if (down ? run.begin > high : run.end <= low) {
                break;
            }
            if (run.begin < run.end) {
                const std::vector<int>& matches = matcher.numbers(run);
                const qsizetype from = std::max(low, run.begin);
                const qsizetype to = std::min(high, run.end - 1);
                for (qsizetype i = down ? from : to; down ? i <= to : i >= from; i += down ? 1 : -1) {
                    if (std::binary_search(matches.begin(), matches.end(), m_numbers[i])) {
                        return i;
                    }
                }
            }
            r += down ? 1 : -1;
        }
        return -1;
    };
    if (direction == 1) {
        const qsizetype found = scan(0, index - 1, false);
        return found >= 0 ? found : scan(index, size - 1, false);
    }
    const qsizetype found = scan(index + 1, size - 1, true);
    return found >= 0 ? found : scan(0, index, true);
}

bool SearchEngine::replaceCurrent(Database& db) {
    if (m_current < 0) {
        return false;
    }
    const qint64 sequence = m_runs[runOf(m_current)].sequence;
    const int number = m_numbers[m_current];
    Statement read = db.prepare(QStringLiteral("SELECT Call FROM tblCall WHERE Sequence = ? AND Number = ?"));
    read.bind(1, sequence).bind(2, number);
    if (!read.step()) {
        return false;
    }
    const QString text = read.text(0);
    read.reset();
    const QString replaced = ReplaceText(text, m_lastFind, m_lastReplacement, m_lastCompareMode);
    if (replaced == text) {
        return false;
    }
    Statement write = db.prepare(QStringLiteral("UPDATE tblCall SET Call = ? WHERE Sequence = ? AND Number = ?"));
    write.bind(1, replaced).bind(2, sequence).bind(3, number);
    write.run();
    return true;
}
