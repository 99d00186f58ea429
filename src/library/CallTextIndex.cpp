#include "CallTextIndex.h"

#include "CaseFold.h"
#include "Database.h"
#include "DbError.h"

#include <algorithm>
#include <chrono>
#include <cstring>
#include <limits>
#include <sqlite3.h>
#include <unordered_map>

namespace {

// After this many sequences changed here, the copy is read again in the background.
constexpr size_t kReadAgainAfter = 2000;
// Calls read under one read lock: the library's own connection waits for no longer than that
// when it commits meanwhile.
constexpr int kCallsPerLock = 20000;

const char* const kTriggers[] = {
    "CREATE TEMP TRIGGER IF NOT EXISTS SearchCallInsert AFTER INSERT ON main.tblCall BEGIN "
    "SELECT vornSearchChanged(new.Sequence); END",
    "CREATE TEMP TRIGGER IF NOT EXISTS SearchCallUpdate AFTER UPDATE ON main.tblCall BEGIN "
    "SELECT vornSearchChanged(old.Sequence), vornSearchChanged(new.Sequence); END",
    "CREATE TEMP TRIGGER IF NOT EXISTS SearchCallDelete AFTER DELETE ON main.tblCall BEGIN "
    "SELECT vornSearchChanged(old.Sequence); END",
};

} // namespace

// The sequences changed on the library's connection, each with the serial of its latest change.
// Shared with the connection's function, which outlives the index when the connection does.
struct CallTextIndex::Marks {
    std::unordered_map<qint64, quint64> sequences;
    quint64 serial = 0;
};

// The folded call texts of each sequence, each text followed by a NUL, sequences ascending, and
// the Numbers of the calls: keys[i]'s texts start at begins[i], its Numbers at firstCalls[i].
struct CallTextIndex::Snapshot {
    std::vector<qint64> keys;
    std::vector<size_t> begins;
    std::vector<quint32> firstCalls;
    std::string text;
    std::vector<qint32> numbers;
};

namespace {

void changedFunction(sqlite3_context* context, int, sqlite3_value** argv) {
    auto* marks = static_cast<std::shared_ptr<CallTextIndex::Marks>*>(sqlite3_user_data(context));
    if (sqlite3_value_type(argv[0]) != SQLITE_NULL) {
        (**marks).sequences[sqlite3_value_int64(argv[0])] = ++(**marks).serial;
    }
    sqlite3_result_null(context);
}

void appendFolded(std::string& out, const unsigned char* bytes, int size) {
    if (std::all_of(bytes, bytes + size, [](unsigned char c) { return c < 0x80; })) {
        for (int i = 0; i < size; ++i) {
            const unsigned char c = bytes[i];
            out.push_back(static_cast<char>(c >= 'A' && c <= 'Z' ? c + 0x20 : c));
        }
    } else {
        out += CaseFold::fold(QString::fromUtf8(reinterpret_cast<const char*>(bytes), size)).toStdString();
    }
    out.push_back('\0');
}

// Reads the copy from the file, a few thousand calls under each read lock; null when stopped.
std::unique_ptr<CallTextIndex::Snapshot> readSnapshot(const QString& path, const std::atomic<bool>& stop) {
    auto snapshot = std::make_unique<CallTextIndex::Snapshot>();
    Database db(path, Database::Mode::ReadOnly);
    Statement calls = db.prepare(
        QStringLiteral("SELECT Sequence, Call, Number FROM tblCall WHERE Sequence > ? ORDER BY Sequence, Number"));
    qint64 after = std::numeric_limits<qint64>::min();
    for (bool more = true; more;) {
        calls.reset();
        calls.bind(1, after);
        more = false;
        int rows = 0;
        while (calls.step()) {
            const qint64 sequence = calls.int64(0);
            if (snapshot->keys.empty() || snapshot->keys.back() != sequence) {
                // A new lock starts with a whole sequence.
                if (rows >= kCallsPerLock) {
                    more = true;
                    break;
                }
                if (stop) {
                    return nullptr;
                }
                after = sequence;
                snapshot->keys.push_back(sequence);
                snapshot->begins.push_back(snapshot->text.size());
                snapshot->firstCalls.push_back(static_cast<quint32>(snapshot->numbers.size()));
            }
            snapshot->numbers.push_back(static_cast<qint32>(calls.int64(2)));
            sqlite3_stmt* row = calls.handle();
            appendFolded(snapshot->text, sqlite3_column_text(row, 1), sqlite3_column_bytes(row, 1));
            ++rows;
        }
        // The last sequence read may continue past this lock: it is read again whole.
        if (more) {
            const size_t last = snapshot->keys.size() - 1;
            snapshot->text.resize(snapshot->begins[last]);
            snapshot->numbers.resize(snapshot->firstCalls[last]);
            snapshot->keys.pop_back();
            snapshot->begins.pop_back();
            snapshot->firstCalls.pop_back();
            after = snapshot->keys.empty() ? std::numeric_limits<qint64>::min() : snapshot->keys.back();
        }
    }
    calls.reset();
    snapshot->text.shrink_to_fit();
    snapshot->keys.shrink_to_fit();
    snapshot->begins.shrink_to_fit();
    snapshot->firstCalls.shrink_to_fit();
    snapshot->numbers.shrink_to_fit();
    return snapshot;
}

} // namespace

CallTextIndex::CallTextIndex() = default;

CallTextIndex::~CallTextIndex() {
    clear();
}

void CallTextIndex::prepare(Database& db) {
    clear();
    if (!db.isOpen()) {
        return;
    }
    auto marks = std::make_shared<Marks>();
    // The connection owns its copy of the pointer and lets it go when the function is replaced or
    // the connection closes.
    auto* owned = new std::shared_ptr<Marks>(marks);
    const int rc =
        sqlite3_create_function_v2(db.handle(), "vornSearchChanged", 1, SQLITE_UTF8, owned, changedFunction, nullptr,
                                   nullptr, [](void* data) { delete static_cast<std::shared_ptr<Marks>*>(data); });
    if (rc != SQLITE_OK) {
        return;
    }
    try {
        for (const char* trigger : kTriggers) {
            db.exec(QString::fromLatin1(trigger));
        }
    } catch (const DbError&) {
        return;
    }
    m_marks = std::move(marks);
    m_handle = db.handle();
    start(db);
}

void CallTextIndex::start(Database& db) {
    m_readSerial = m_marks->serial;
    m_readDataVersion = dataVersion(db);
    m_stop = false;
    m_done = false;
    m_reader = std::thread([this, path = db.path()] {
        try {
            m_read = readSnapshot(path, m_stop);
        } catch (const DbError&) {
            m_read.reset();
        }
        m_done.store(true, std::memory_order_release);
    });
}

void CallTextIndex::finishReading() {
    if (!m_reader.joinable() || !m_done.load(std::memory_order_acquire)) {
        return;
    }
    m_reader.join();
    if (!m_read) {
        return;
    }
    m_snapshot = std::move(m_read);
    m_dataVersion = m_readDataVersion;
    ++m_generation;
    // What changed before the reading started is in the copy.
    std::erase_if(m_marks->sequences, [this](const auto& mark) { return mark.second <= m_readSerial; });
}

void CallTextIndex::clear() {
    if (m_reader.joinable()) {
        m_stop = true;
        m_reader.join();
    }
    m_read.reset();
    m_snapshot.reset();
    m_marks.reset();
    m_handle = nullptr;
    ++m_generation;
}

bool CallTextIndex::preparing(const Database& db) const {
    return m_reader.joinable() && !m_snapshot && db.handle() == m_handle && m_handle != nullptr;
}

bool CallTextIndex::wait(int milliseconds) {
    const auto until = std::chrono::steady_clock::now() + std::chrono::milliseconds(milliseconds);
    while (m_reader.joinable() && !m_done.load(std::memory_order_acquire) && std::chrono::steady_clock::now() < until) {
        std::this_thread::sleep_for(std::chrono::milliseconds(2));
    }
    finishReading();
    return !m_reader.joinable();
}

qint64 CallTextIndex::dataVersion(Database& db) {
    return db.scalar(QStringLiteral("PRAGMA main.data_version")).toLongLong();
}

bool CallTextIndex::usable(Database& db) {
    if (m_handle == nullptr || db.handle() != m_handle) {
        return false;
    }
    finishReading();
    const bool reading = m_reader.joinable();
    const bool triggers =
        db.scalar(QStringLiteral("SELECT count(*) FROM sqlite_temp_master WHERE name LIKE 'SearchCall%'")).toInt() ==
        static_cast<int>(std::size(kTriggers));
    if (!triggers) {
        // The table was made anew: the copy starts again from scratch.
        prepare(db);
        return false;
    }
    // A reading can only start outside a transaction: every change before it is then committed.
    const bool idle = !reading && !db.inTransaction();
    if (m_snapshot && dataVersion(db) != m_dataVersion) {
        m_snapshot.reset();
        ++m_generation;
    }
    if (!m_snapshot) {
        // Read again after another program's change, or after a reading that failed (the file
        // was busy).
        if (idle) {
            start(db);
        }
        return false;
    }
    if (idle && m_marks->sequences.size() > kReadAgainAfter) {
        start(db);
    }
    return true;
}

bool CallTextIndex::searchable(QStringView find) {
    for (qsizetype i = 0; i < find.size(); ++i) {
        const QChar c = find[i];
        if (c.isNull()) {
            return false;
        }
        if (c.isHighSurrogate() && i + 1 < find.size() && find[i + 1].isLowSurrogate()) {
            ++i;
        } else if (c.isSurrogate()) {
            return false;
        }
    }
    return !find.isEmpty();
}

namespace {

// Calls found(sequence index, end of the call) for the first call of each stretch of the copy
// whose folded text holds needle; found returns where to go on.
template <typename Found>
void scanCopy(const CallTextIndex::Snapshot& snapshot, const std::string& needle, Found&& found) {
    const std::string& text = snapshot.text;
    const std::vector<size_t>& begins = snapshot.begins;
    size_t at = 0;
    while (at < text.size()) {
        const void* hit = memmem(text.data() + at, text.size() - at, needle.data(), needle.size());
        if (hit == nullptr) {
            return;
        }
        const auto position = static_cast<size_t>(static_cast<const char*>(hit) - text.data());
        const auto index =
            static_cast<size_t>(std::upper_bound(begins.begin(), begins.end(), position) - begins.begin() - 1);
        at = found(index, position);
    }
}

} // namespace

std::vector<qint64> CallTextIndex::candidates(QStringView find) const {
    std::vector<qint64> found;
    if (!m_snapshot) {
        return found;
    }
    const Snapshot& snapshot = *m_snapshot;
    scanCopy(snapshot, CaseFold::fold(find).toStdString(), [&](size_t index, size_t) {
        found.push_back(snapshot.keys[index]);
        // One hit makes the sequence a candidate: go on with the next one.
        return index + 1 < snapshot.begins.size() ? snapshot.begins[index + 1] : snapshot.text.size();
    });
    return found;
}

std::vector<CallTextIndex::CallKey> CallTextIndex::candidateCalls(QStringView find) const {
    std::vector<CallKey> found;
    if (!m_snapshot) {
        return found;
    }
    const Snapshot& snapshot = *m_snapshot;
    scanCopy(snapshot, CaseFold::fold(find).toStdString(), [&](size_t index, size_t position) {
        const char* text = snapshot.text.data();
        // The call is the one after as many NULs as precede the hit in its sequence.
        const auto call = std::count(text + snapshot.begins[index], text + position, '\0');
        if (!changed(snapshot.keys[index])) {
            found.push_back({snapshot.keys[index], snapshot.numbers[snapshot.firstCalls[index] + call]});
        }
        return static_cast<size_t>(
                   static_cast<const char*>(std::memchr(text + position, '\0', snapshot.text.size() - position)) -
                   text) +
               1;
    });
    return found;
}

bool CallTextIndex::changed(qint64 sequence) const {
    return m_marks && m_marks->sequences.contains(sequence);
}

std::vector<qint64> CallTextIndex::changedSequences() const {
    std::vector<qint64> keys;
    if (m_marks) {
        for (const auto& mark : m_marks->sequences) {
            keys.push_back(mark.first);
        }
        std::sort(keys.begin(), keys.end());
    }
    return keys;
}

quint64 CallTextIndex::serial() const {
    return m_marks ? m_marks->serial : 0;
}

std::vector<qint64> CallTextIndex::changedSince(quint64 serial) const {
    std::vector<qint64> keys;
    if (m_marks) {
        for (const auto& mark : m_marks->sequences) {
            if (mark.second > serial) {
                keys.push_back(mark.first);
            }
        }
        std::sort(keys.begin(), keys.end());
    }
    return keys;
}

bool CallTextIndex::appendNumbers(qint64 sequence, std::vector<qint32>& numbers, bool evenIfChanged) const {
    if (!m_snapshot || (!evenIfChanged && changed(sequence))) {
        return false;
    }
    const std::vector<qint64>& keys = m_snapshot->keys;
    const auto it = std::lower_bound(keys.begin(), keys.end(), sequence);
    if (it == keys.end() || *it != sequence) {
        // Without calls when the copy was read, and unchanged since.
        return true;
    }
    const auto index = static_cast<size_t>(it - keys.begin());
    const auto first = m_snapshot->numbers.begin() + m_snapshot->firstCalls[index];
    const auto last = index + 1 < keys.size() ? m_snapshot->numbers.begin() + m_snapshot->firstCalls[index + 1]
                                              : m_snapshot->numbers.end();
    numbers.insert(numbers.end(), first, last);
    return true;
}

size_t CallTextIndex::callCount() const {
    return m_snapshot ? m_snapshot->numbers.size() : 0;
}

qint64 CallTextIndex::bytes() const {
    if (!m_snapshot) {
        return 0;
    }
    return static_cast<qint64>(m_snapshot->text.capacity() + m_snapshot->keys.capacity() * sizeof(qint64) +
                               m_snapshot->begins.capacity() * sizeof(size_t) +
                               m_snapshot->firstCalls.capacity() * sizeof(quint32) +
                               m_snapshot->numbers.capacity() * sizeof(qint32));
}
