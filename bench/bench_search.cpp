// Times the search and replace engine on a library of 100,000 sequences with about 2.5 million
// calls: a new search to its first match, the further steps, and a replace-all of 10,000 matches.
// The library is generated once and kept in the build folder; each run works on a copy.

#include "Database.h"
#include "DbError.h"
#include "SearchEngine.h"
#include "Transaction.h"
#include "modDataBase.h"

#include <QDir>
#include <QFile>
#include <QTemporaryDir>
#include <algorithm>
#include <chrono>
#include <cstdio>
#include <cstdlib>
#include <ctime>
#include <functional>
#include <vector>

#ifndef VORN_BENCH_CACHE
#define VORN_BENCH_CACHE "."
#endif

namespace {

constexpr int kSequences = 100000;
constexpr int kMinCalls = 20;
constexpr int kMaxCalls = 30;
constexpr int kPlanted = 10000;
constexpr int kSteps = 100;
constexpr int kFirstMatchRuns = 5;
constexpr double kFirstMatchTargetMs = 500;
constexpr double kStepTargetMs = 20;
constexpr double kReplaceAllTargetMs = 2000;

// The planted word appears in no generated call otherwise; its case differs from the find text so
// the letter-case-ignoring comparison is the one measured.
const QString kPlantedWord = QStringLiteral("Zigzagoon");
const QString kFindText = QStringLiteral("ZIGZAGOON");

const char* const kLevels[] = {"Mainstream", "Plus", "A1", "A2", "C1", "C2"};
const char* const kCalls[] = {"Heads Square Thru 4",
                              "Sides Pass The Ocean",
                              "Swing Thru",
                              "Boys Run",
                              "Ferris Wheel",
                              "Centers Pass Thru",
                              "Touch 1/4",
                              "Scoot Back",
                              "Recycle",
                              "Veer Left",
                              "Couples Circulate",
                              "Bend The Line",
                              "Star Thru",
                              "Slide Thru",
                              "Right And Left Grand",
                              "Spin Chain The Gears",
                              "Load The Boat",
                              "Relay The Deucey",
                              "Explode And Roll",
                              "Trade The Wave"};
const QString kFigure = QStringLiteral(" 1G^   2G<   2B<   1BV\r\n\r\n 3B^   4B>   4G>   3GV");

[[noreturn]] void fail(const QString& what) {
    std::fprintf(stderr, "bench_search: %s\n", qPrintable(what));
    std::exit(2);
}

// A small deterministic generator, so every run builds the same library.
class Lcg {
public:
    explicit Lcg(quint64 seed) : m_state(seed) {}
    quint32 next() {
        m_state = m_state * 6364136223846793005ULL + 1442695040888963407ULL;
        return static_cast<quint32>(m_state >> 33);
    }
    int between(int low, int high) { return low + static_cast<int>(next() % quint32(high - low + 1)); }

private:
    quint64 m_state;
};

// The process's CPU time: beside the wall time it shows how much of a figure is waiting for a
// busy machine.
double cpuMs() {
    timespec now{};
    clock_gettime(CLOCK_PROCESS_CPUTIME_ID, &now);
    return double(now.tv_sec) * 1000 + double(now.tv_nsec) / 1e6;
}

double g_lastCpuMs = 0;

// The wall time of work; its CPU time is left in g_lastCpuMs.
double elapsedMs(const std::function<void()>& work) {
    const double cpuStart = cpuMs();
    const auto start = std::chrono::steady_clock::now();
    work();
    const double wall = std::chrono::duration<double, std::milli>(std::chrono::steady_clock::now() - start).count();
    g_lastCpuMs = cpuMs() - cpuStart;
    return wall;
}

double median(std::vector<double> values) {
    std::sort(values.begin(), values.end());
    return values[values.size() / 2];
}

const char* verdict(bool pass) {
    return pass ? "PASS" : "MISS";
}

// Writes the library with prepared INSERTs in one transaction. The planted word goes into exactly
// kPlanted calls spread evenly over the whole library.
void generate(const QString& path) {
    Lcg random(20261206);
    std::vector<int> callCounts(kSequences);
    qint64 totalCalls = 0;
    for (int& count : callCounts) {
        count = random.between(kMinCalls, kMaxCalls);
        totalCalls += count;
    }
    const qint64 spacing = totalCalls / kPlanted;

    QFile::remove(path);
    modDataBase::CreateLibrary(path);
    Database db(path);
    db.exec(QStringLiteral("PRAGMA synchronous=OFF"));
    Transaction transaction(db);
    Statement addSequence = db.prepare(
        QStringLiteral("INSERT INTO tblSequence (Level, Date, Time, Version, Title, Note, Property, OrderNo, Author) "
                       "VALUES (?, ?, ?, 'Sd39.56:db39.56', ?, ?, ?, ?, 'bench')"));
    Statement addCall = db.prepare(QStringLiteral(
        "INSERT INTO tblCall (Sequence, Number, Call, Figure, Note, HexInfo) VALUES (?, ?, ?, ?, '', '')"));
    qint64 callIndex = 0;
    for (int s = 0; s < kSequences; ++s) {
        // Dates and times run backwards against the insertion order, so the list order by date is
        // not the key order.
        const int second = (kSequences - s) * 37;
        const QString date = QStringLiteral("20%1/%2/%3")
                                 .arg(10 + second / (86400 * 300), 2, 10, QLatin1Char('0'))
                                 .arg(second / (86400 * 28) % 12 + 1, 2, 10, QLatin1Char('0'))
                                 .arg(second / 86400 % 28 + 1, 2, 10, QLatin1Char('0'));
        const QString time = QStringLiteral("%1:%2:%3")
                                 .arg(second / 3600 % 24, 2, 10, QLatin1Char('0'))
                                 .arg(second / 60 % 60, 2, 10, QLatin1Char('0'))
                                 .arg(second % 60, 2, 10, QLatin1Char('0'));
        addSequence.reset();
        addSequence.bind(1, QString::fromLatin1(kLevels[s % std::size(kLevels)]))
            .bind(2, date)
            .bind(3, time)
            .bind(4, QStringLiteral("Sequence %1").arg(s))
            .bind(5, QStringLiteral("generated sequence %1").arg(s))
            .bind(6, s % 14)
            .bind(7, s / 10 + 1);
        addSequence.run();
        const qint64 sequence = db.lastInsertRowId();
        for (int number = 1; number <= callCounts[s]; ++number, ++callIndex) {
            QString call = QString::fromLatin1(kCalls[random.next() % std::size(kCalls)]);
            if (callIndex % spacing == spacing / 2 && callIndex / spacing < kPlanted) {
                call += QStringLiteral(" and ") + kPlantedWord;
            }
            addCall.reset();
            addCall.bind(1, sequence).bind(2, number).bind(3, call);
            if (number % 2 == 0) {
                addCall.bind(4, kFigure);
            } else {
                addCall.bind(4, QString());
            }
            addCall.run();
        }
    }
    transaction.commit();
}

} // namespace

int main() {
    QTemporaryDir work;
    if (!work.isValid()) {
        fail(QStringLiteral("cannot create a temporary folder"));
    }
    const QString home = work.filePath(QStringLiteral("home"));
    QDir().mkpath(home);
    qputenv("VORNREADER_HOME", QFile::encodeName(home));

    try {
        const QString cached = QDir(QStringLiteral(VORN_BENCH_CACHE)).filePath(QStringLiteral("bench_search_v1.mdb"));
        if (!QFile::exists(cached)) {
            const QString building = cached + QStringLiteral(".part");
            const double ms = elapsedMs([&] { generate(building); });
            QFile::remove(cached);
            if (!QFile::rename(building, cached)) {
                fail(QStringLiteral("cannot keep the generated library as ") + cached);
            }
            std::printf("Generated the library in %.1f s (kept as %s)\n", ms / 1000, qPrintable(cached));
        }
        const QString path = work.filePath(QStringLiteral("library.mdb"));
        if (!QFile::copy(cached, path)) {
            fail(QStringLiteral("cannot copy the library"));
        }
        Database db(path);
        const qint64 sequences = db.scalar(QStringLiteral("SELECT count(*) FROM tblSequence")).toLongLong();
        const qint64 calls = db.scalar(QStringLiteral("SELECT count(*) FROM tblCall")).toLongLong();
        std::printf("Library: %lld sequences, %lld calls, %.0f MB\n", sequences, calls,
                    double(QFile(path).size()) / (1024 * 1024));

        // The list starts with the sequence the window shows first: the earliest by date and time.
        SearchContext context;
        context.viewLevel = QStringLiteral("AllLevel");
        context.sequenceSort = 0;
        context.currentSequence =
            db.scalar(QStringLiteral("SELECT Sequence FROM tblSequence ORDER BY Date, Time, Sequence LIMIT 1"))
                .toLongLong();
        context.currentRow = 0;

        SearchEngine engine;
        std::vector<double> firstMatch;
        std::vector<double> firstMatchCpu;
        for (int run = 0; run < kFirstMatchRuns; ++run) {
            engine.Reset();
            SearchResult result;
            firstMatch.push_back(
                elapsedMs([&] { result = engine.SearchWord(db, context, false, kFindText, {}, 1, 0); }));
            firstMatchCpu.push_back(g_lastCpuMs);
            if (!result.matchShown) {
                fail(QStringLiteral("the new search found no match"));
            }
        }
        std::printf("Candidates: %lld calls\n", static_cast<long long>(engine.candidateCount()));

        std::vector<double> steps;
        std::vector<double> stepsCpu;
        for (int step = 0; step < kSteps; ++step) {
            SearchResult result;
            steps.push_back(elapsedMs([&] { result = engine.SearchWord(db, context, false, kFindText, {}, 1, 0); }));
            stepsCpu.push_back(g_lastCpuMs);
            if (!result.matchShown) {
                fail(QStringLiteral("a further step found no match"));
            }
        }

        // Not a target: a word that is nowhere, which walks every candidate before it says so.
        engine.Reset();
        SearchResult missing;
        const double notFoundMs =
            elapsedMs([&] { missing = engine.SearchWord(db, context, false, QStringLiteral("Nowhere"), {}, 1, 0); });
        const double notFoundCpu = g_lastCpuMs;
        if (missing.message.key != 40501) {
            fail(QStringLiteral("a missing word was reported wrongly"));
        }

        int confirmed = 0;
        ReplaceAllResult replaced;
        const double replaceMs = elapsedMs([&] {
            replaced = engine.ReplaceWordAll(db, QStringLiteral("AllLevel"), kFindText, QStringLiteral("Zubat"), 1,
                                             [&confirmed](int count) {
                                                 confirmed = count;
                                                 return true;
                                             });
        });
        const double replaceCpu = g_lastCpuMs;
        Statement leftover = db.prepare(QStringLiteral("SELECT count(*) FROM tblCall WHERE InStr(1, Call, ?, 1) > 0"));
        leftover.bind(1, kPlantedWord);
        const qint64 left = leftover.step() ? leftover.int64(0) : -1;
        if (!replaced.replaced || confirmed != kPlanted || left != 0) {
            fail(QStringLiteral("replace-all replaced %1 of %2 occurrences").arg(confirmed).arg(kPlanted));
        }

        const double firstMs = median(firstMatch);
        const double stepMs = median(steps);
        std::printf("New search to the first match: %.1f ms (CPU %.1f ms; median of %d)  target <= %.0f ms  %s\n",
                    firstMs, median(firstMatchCpu), kFirstMatchRuns, kFirstMatchTargetMs,
                    verdict(firstMs <= kFirstMatchTargetMs));
        std::printf("Further step: %.2f ms (CPU %.2f ms; median of %d, slowest %.2f ms)  target <= %.0f ms  %s\n",
                    stepMs, median(stepsCpu), kSteps, *std::max_element(steps.begin(), steps.end()), kStepTargetMs,
                    verdict(stepMs <= kStepTargetMs));
        std::printf("Replace all of %d matches: %.1f ms (CPU %.1f ms)  target <= %.0f ms  %s\n", confirmed, replaceMs,
                    replaceCpu, kReplaceAllTargetMs, verdict(replaceMs <= kReplaceAllTargetMs));
        std::printf("Search for a word that is nowhere (no target): %.1f ms (CPU %.1f ms)\n", notFoundMs, notFoundCpu);
    } catch (const DbError& error) {
        fail(error.message());
    }
    return 0;
}
