#include "QueryProgress.h"

#include "Database.h"
#include "IProgress.h"

#include <sqlite3.h>

namespace {

// Engine steps between two calls: about a millisecond of work, so the window stays responsive
// and a stop takes effect at once, while the calls cost nothing measurable.
constexpr int kEngineSteps = 20000;

} // namespace

QueryProgress::QueryProgress(Database& db, IProgress* progress) : m_db(db), m_progress(progress) {
    if (m_progress != nullptr && m_db.handle() != nullptr) {
        sqlite3_progress_handler(m_db.handle(), kEngineSteps, &QueryProgress::callback, this);
    }
}

QueryProgress::~QueryProgress() {
    if (m_progress != nullptr && m_db.handle() != nullptr) {
        sqlite3_progress_handler(m_db.handle(), 0, nullptr, nullptr);
    }
}

int QueryProgress::callback(void* self) {
    auto* query = static_cast<QueryProgress*>(self);
    if (query->m_interrupted) {
        return 1;
    }
    if (!query->m_progress->step(query->m_done, query->m_total)) {
        query->m_interrupted = true;
        return 1;
    }
    return 0;
}
