#pragma once

#include <QtGlobal>

class Database;
class IProgress;

// Keeps a progress going while single long statements run on a connection (a scan over every
// call, a copy of whole tables): SQLite calls back every few thousand steps of its engine, and
// the progress is told the position last set. When the user asks to stop, the running statement
// ends with SQLITE_INTERRUPT, which the work turns into its own cancellation. Without a progress
// nothing is installed. SQLite calls back from inside the running statement, so the progress must
// not use this connection from step (the window's dialog only repaints and reads its own state).
class QueryProgress {
public:
    QueryProgress(Database& db, IProgress* progress);
    ~QueryProgress();
    QueryProgress(const QueryProgress&) = delete;
    QueryProgress& operator=(const QueryProgress&) = delete;

    // The position the progress shows while the next statements run.
    void setPosition(qint64 done, qint64 total) {
        m_done = done;
        m_total = total;
    }
    // True once a statement was stopped because the user asked to stop.
    bool interrupted() const { return m_interrupted; }

private:
    static int callback(void* self);

    Database& m_db;
    IProgress* m_progress;
    qint64 m_done = 0;
    qint64 m_total = 0;
    bool m_interrupted = false;
};
