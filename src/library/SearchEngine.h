#pragma once

#include "CallTextIndex.h"
#include "SequenceListQuery.h"

#include <QString>
#include <QVariantList>
#include <functional>
#include <vector>

class Database;
class IProgress;

// Where the main window stands when a search step starts.
struct SearchContext {
    QString viewLevel;        // a level name, or "AllLevel" for every level
    int sequenceSort = 0;     // the sequence list's SequenceSort setting
    qint64 currentSequence{}; // the sequence shown in the call list, 0 when none
    int currentRow = 0;       // the call grid's current row (Number - 1)
    // The sequence list's filter: the sequences it hides are not searched.
    std::optional<SequenceListQuery::NotCalledFor> notCalledFor;
};

// A message the window shows after a step: a translation key with its MessageFormat arguments.
struct SearchMessage {
    enum class Icon { Exclamation, Information };

    int key = 0; // 0: no message
    QVariantList arguments;
    Icon icon = Icon::Exclamation;
};

// What the window does after a SearchWord step: show the match when there is one (select its
// sequence, open the call list at callRow), then show the message when there is one.
struct SearchResult {
    bool matchShown = false; // SearchWord's answer: a match is shown and the search goes on
    bool hasMatch = false;   // a match is current and is to be shown
    qint64 sequence{};       // the match's Sequence
    int callRow = -1;        // the match's Number - 1
    qint64 startSequence{};  // the first match of the search
    int startRow = -1;
    SearchMessage message;
};

struct ReplaceAllResult {
    int count = 0;          // occurrences found
    bool replaced = false;  // the replacements were written
    bool failed = false;    // an error was logged and nothing was changed
    bool cancelled = false; // the user stopped it and nothing was changed
    SearchMessage message;
};

// The search and replace of the main window without its dialog: finds the call texts that hold a
// word, steps from match to match in the order of the sequence list with wrap-around, replaces one
// match per step or all at once. The search state lives here between steps.
class SearchEngine {
public:
    using Confirm = std::function<bool(int count)>;

    // One press of Find Next (replaceFlag false) or Replace (true). compareMode 0 matches letter case,
    // 1 ignores it; direction 0 is down, 1 up. Pressing again with the same five parameters goes on
    // from the match shown last (replacing it first when replaceFlag is set); any change starts a new
    // search at the current call of the context, and so does the press after a completed round. A
    // database error is logged as "frmVornReader.SearchWord" and ends the search.
    SearchResult SearchWord(Database& db, const SearchContext& context, bool replaceFlag, const QString& findText,
                            const QString& replaceText, int compareMode, int direction);

    // Counts the occurrences in the calls of the view level (less what the filter hides), asks confirm with the count
    // and replaces them all in one transaction; a running search starts afresh afterwards. Errors are logged as
    // "frmVornReader.ReplaceWordAll" and leave the library unchanged. The progress follows the count
    // and, after the question, the replacement sequence by sequence; a stop at either leaves the
    // library unchanged (message 40505).
    ReplaceAllResult ReplaceWordAll(Database& db, const QString& viewLevel, const QString& findText,
                                    const QString& replaceText, int compareMode, const Confirm& confirm,
                                    IProgress* progress = nullptr,
                                    const std::optional<SequenceListQuery::NotCalledFor>& notCalledFor = std::nullopt);

    // text with every occurrence of find replaced, searching from the start and going on after each
    // replaced occurrence; compareMode 1 matches by full case folding. The rest of text stays as it was.
    static QString ReplaceText(const QString& text, const QString& find, const QString& replacement, int compareMode);
    // The number of occurrences of find in text, counted the way ReplaceText replaces them.
    static int CountText(const QString& text, const QString& find, int compareMode);

    // Forgets the search, so the next step starts afresh (after another library was opened).
    void Reset();

    // Starts reading the call texts of the library open on db into memory in the background, so
    // that searches learn which sequences may match without reading every call; until the copy is
    // read, and whenever it cannot answer, the search reads the library itself.
    void prepareIndex(Database& db) { m_index.prepare(db); }
    // Drops the copy (the library is closed).
    void clearIndex() { m_index.clear(); }
    // True while the copy for db is being read; a search started now reads the library itself.
    bool indexPreparing(const Database& db) const { return m_index.preparing(db); }
    // Waits at most milliseconds for the copy; true once it is read.
    bool waitForIndex(int milliseconds) { return m_index.wait(milliseconds); }
    // The memory the copy holds, in bytes.
    qint64 indexBytes() const { return m_index.bytes(); }

    // The number of candidate calls of the current search (0 when none is running).
    qsizetype candidateCount() const { return m_numbers.size(); }

private:
    // The calls of one sequence inside the candidate list: m_numbers[begin, end).
    struct Run {
        qint64 sequence;
        qsizetype begin;
        qsizetype end;
    };
    class RunMatcher;

    SearchResult step(Database& db, const SearchContext& context, bool replaceFlag, const QString& findText,
                      const QString& replaceText, int compareMode, int direction);
    void loadCandidates(Database& db, const SearchContext& context);
    // Gives the sequences changed since the search started their place when the runs hold only
    // those that could match then.
    void completeRuns(Database& db);
    // Where a search starts that has no match to go on from: the candidate of the call, or the gap
    // where that call would be; -1 or the candidate count when the sequence is not listed.
    qsizetype locate(qint64 sequence, int number, int direction) const;
    // The next (direction 0) or previous (1) match after index, wrapping around once; -1 when none.
    qsizetype findMatch(Database& db, qsizetype index, int direction);
    qsizetype runOf(qsizetype index) const;
    bool replaceCurrent(Database& db);
    // Whether the copy answers this search of findText; refreshes its candidates when it does.
    bool useIndex(Database& db, const QString& findText);
    // False when the copy rules out that a call of the sequence holds the word.
    bool mayMatch(qint64 sequence) const;

    bool m_active = false;
    const Database* m_db = nullptr;
    QString m_dbPath;
    bool m_lastReplace = false;
    QString m_lastFind;
    QString m_lastReplacement;
    int m_lastCompareMode = 0;
    int m_lastDirection = 0;
    qint64 m_startSequence{};
    int m_startRow = -1;
    int m_counter = 0;

    // The search cursor: the candidate calls in list order, fixed when the search starts; each
    // sequence's calls are one run, so the criterion is evaluated one sequence at a time.
    std::vector<Run> m_runs;
    std::vector<qint32> m_numbers;
    qsizetype m_current = -1;
    // Whether the runs hold only the sequences that could match when the search started, the
    // context it started in, and the copy's state then.
    bool m_partial = false;
    SearchContext m_context;
    quint64 m_startSerial = 0;
    quint64 m_startGeneration = 0;

    // The copy of the call texts, and the sequences it says may hold m_indexedFind.
    CallTextIndex m_index;
    bool m_fast = false;
    std::vector<qint64> m_candidates;
    QString m_indexedFind;
    quint64 m_indexedGeneration = 0;
};
