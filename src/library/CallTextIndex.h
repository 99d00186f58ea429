#pragma once

#include <QString>
#include <QStringView>
#include <atomic>
#include <memory>
#include <string>
#include <thread>
#include <vector>

class Database;
struct sqlite3;

// A compact, case-folded copy of every call text of a library, so that a search learns from one
// pass over memory which sequences may hold a word: the folded word occurs in the folded text of
// every call that holds the word, in either compare mode. The copy is read in the background on a
// connection of its own. Changes made on the library's own connection afterwards are noted sequence
// by sequence through temporary triggers, and such a sequence is always a candidate; once many are
// noted the copy is read again. A change by another program makes the copy unusable until it has
// been read again. Used from the thread that owns the library's connection.
class CallTextIndex {
public:
    CallTextIndex();
    ~CallTextIndex();
    CallTextIndex(const CallTextIndex&) = delete;
    CallTextIndex& operator=(const CallTextIndex&) = delete;

    // Starts reading the library open on db; a copy of another library is dropped. Without the
    // triggers (a connection that refuses them) there is no copy and searches scan the library.
    void prepare(Database& db);
    // Drops the copy and stops a reading.
    void clear();
    // True while the first copy for db is being read (nothing usable yet).
    bool preparing(const Database& db) const;
    // Waits at most milliseconds for a running reading; true once none runs.
    bool wait(int milliseconds);
    // Whether the copy answers for db now. Starts a new reading when another program has changed
    // the library (the copy is unusable until it ends) or when many sequences changed here.
    bool usable(Database& db);
    // Counts the copies taken into use: candidates found before another one came are stale.
    quint64 generation() const { return m_generation; }

    // Whether find can be looked up here (a NUL or a lone surrogate cannot).
    static bool searchable(QStringView find);
    // The sequences, ascending, whose copied call texts may hold find: each one whose folded text
    // holds the folded find. Sequences changed since the copy was read are not included.
    std::vector<qint64> candidates(QStringView find) const;
    // The calls of the sequences not changed since the copy was read whose folded text holds the
    // folded find, in key order.
    struct CallKey {
        qint64 sequence;
        qint32 number;
    };
    std::vector<CallKey> candidateCalls(QStringView find) const;
    // Whether the sequence changed since the copy was read.
    bool changed(qint64 sequence) const;
    // The changed sequences, ascending.
    std::vector<qint64> changedSequences() const;
    // Counts the changes noted here; changedSince(serial()) later gives the sequences changed after
    // this moment, ascending, as long as the same copy is in use.
    quint64 serial() const;
    std::vector<qint64> changedSince(quint64 serial) const;
    // Appends the Numbers of the sequence's calls, ascending, as the copy holds them; false, with
    // nothing appended, when the sequence changed since the copy was read (unless evenIfChanged:
    // then the Numbers as they were when the copy was read) or there is no copy.
    bool appendNumbers(qint64 sequence, std::vector<qint32>& numbers, bool evenIfChanged = false) const;
    // The number of calls in the copy.
    size_t callCount() const;

    // The memory the copy holds, in bytes.
    qint64 bytes() const;

    struct Marks;
    struct Snapshot;

private:
    void start(Database& db);
    void finishReading();
    static qint64 dataVersion(Database& db);

    std::shared_ptr<Marks> m_marks;
    std::unique_ptr<Snapshot> m_snapshot;
    sqlite3* m_handle = nullptr;
    qint64 m_dataVersion = 0;
    quint64 m_generation = 0;

    // The reading in the background: its marks serial when it started, its result once done.
    std::thread m_reader;
    std::atomic<bool> m_stop{false};
    std::atomic<bool> m_done{false};
    std::unique_ptr<Snapshot> m_read;
    quint64 m_readSerial = 0;
    qint64 m_readDataVersion = 0;
};
