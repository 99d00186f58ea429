// Times the search and replace engine on a library of 100,000 sequences with about 2.5 million
// calls: a new search to its first match, the further steps, a search for a word that is nowhere
// and a replace-all of 10,000 matches; then the cost of the in-memory copy of the call texts the
// engine searches: the opening, the reading in the background and the memory it holds. With
// --scan the engine goes without the copy and reads the library at each search.
// The library is generated once and kept in the build folder; each run works on a copy.

#include "BenchLibrary.h"
#include "BenchSupport.h"
#include "Database.h"
#include "DbError.h"
#include "SearchEngine.h"

#include <QCoreApplication>
#include <QFile>
#include <cstdio>
#include <unistd.h>
#include <vector>

using namespace BenchSupport;

namespace {

constexpr int kSteps = 100;
constexpr int kFirstMatchRuns = 5;
constexpr double kFirstMatchTargetMs = 50;
constexpr double kStepTargetMs = 20;
constexpr double kNotFoundTargetMs = 100;
constexpr double kReplaceAllTargetMs = 300;
constexpr double kExtraMemoryTargetMb = 100;

// The resident memory of the process, in MB.
double residentMb() {
    QFile statm(QStringLiteral("/proc/self/statm"));
    if (!statm.open(QIODevice::ReadOnly)) {
        return 0;
    }
    const QList<QByteArray> fields = statm.readAll().split(' ');
    return fields.size() > 1 ? fields[1].toDouble() * double(sysconf(_SC_PAGESIZE)) / (1024 * 1024) : 0;
}

// Its case differs from the planted word's, so the letter-case-ignoring comparison is the one
// measured.
const QString kFindText = QStringLiteral("ZIGZAGOON");

} // namespace

int main(int argc, char** argv) {
    QCoreApplication app(argc, argv);
    const bool withCopy = !QCoreApplication::arguments().contains(QStringLiteral("--scan"));
    TempHome work;
    FailOnErrorReport errorBox;
    try {
        const QString path = work.filePath(QStringLiteral("library.mdb"));
        BenchLibrary::copyTo(path);
        Database db;
        SearchEngine engine;
        const Timing open = timed([&] { db.open(path); });
        const double residentBefore = residentMb();
        const Timing prepare = timed([&] {
            if (withCopy) {
                engine.prepareIndex(db);
            }
        });
        // The window waits for the copy only when the first search comes before it is read.
        const Timing reading = timed([&] {
            while (withCopy && !engine.waitForIndex(1000)) {
            }
        });
        const double extraMemory = residentMb() - residentBefore;
        std::printf("%s\n", withCopy ? "Searching the in-memory copy of the call texts"
                                     : "Searching the library without a copy (--scan)");
        std::printf("Library: %lld sequences, %lld calls, %.0f MB\n",
                    BenchLibrary::count(db, QStringLiteral("SELECT count(*) FROM tblSequence")),
                    BenchLibrary::count(db, QStringLiteral("SELECT count(*) FROM tblCall")),
                    double(QFile(path).size()) / (1024 * 1024));

        // The list starts with the sequence the window shows first: the earliest by date and time.
        SearchContext context;
        context.viewLevel = QStringLiteral("AllLevel");
        context.sequenceSort = 0;
        context.currentSequence =
            db.scalar(QStringLiteral("SELECT Sequence FROM tblSequence ORDER BY Date, Time, Sequence LIMIT 1"))
                .toLongLong();
        context.currentRow = 0;

        std::vector<Timing> firstMatch;
        for (int run = 0; run < kFirstMatchRuns; ++run) {
            engine.Reset();
            SearchResult result;
            firstMatch.push_back(timed([&] { result = engine.SearchWord(db, context, false, kFindText, {}, 1, 0); }));
            if (!result.matchShown) {
                fail(QStringLiteral("the new search found no match"));
            }
        }
        std::printf("Candidates: %lld calls\n", static_cast<long long>(engine.candidateCount()));

        std::vector<Timing> steps;
        for (int step = 0; step < kSteps; ++step) {
            SearchResult result;
            steps.push_back(timed([&] { result = engine.SearchWord(db, context, false, kFindText, {}, 1, 0); }));
            if (!result.matchShown) {
                fail(QStringLiteral("a further step found no match"));
            }
        }

        // A word that is nowhere: the designed scan walks every candidate before it says so.
        std::vector<Timing> notFound;
        for (int run = 0; run < kFirstMatchRuns; ++run) {
            engine.Reset();
            SearchResult missing;
            notFound.push_back(timed([&] {
                missing = engine.SearchWord(db, context, false, QStringLiteral("Nowhere%1").arg(run), {}, 1, 0);
            }));
            if (missing.message.key != 40501) {
                fail(QStringLiteral("a missing word was reported wrongly"));
            }
        }

        int confirmed = 0;
        ReplaceAllResult replaced;
        const Timing replace = timed([&] {
            replaced = engine.ReplaceWordAll(db, QStringLiteral("AllLevel"), kFindText, QStringLiteral("Zubat"), 1,
                                             [&confirmed](int count) {
                                                 confirmed = count;
                                                 return true;
                                             });
        });
        const qint64 left =
            BenchLibrary::count(db, QStringLiteral("SELECT count(*) FROM tblCall WHERE InStr(1, Call, ?, 1) > 0"),
                                BenchLibrary::kPlantedWord);
        if (!replaced.replaced || confirmed != BenchLibrary::kPlanted || left != 0) {
            fail(
                QStringLiteral("replace-all replaced %1 of %2 occurrences").arg(confirmed).arg(BenchLibrary::kPlanted));
        }

        const Timing first = median(firstMatch);
        const Timing nowhere = median(notFound);
        const Timing step = median(steps);
        std::printf("New search to the first match: %.1f ms (CPU %.1f ms; median of %d)  target <= %.0f ms  %s\n",
                    first.wall, first.cpu, kFirstMatchRuns, kFirstMatchTargetMs,
                    verdict(first.wall <= kFirstMatchTargetMs));
        std::printf("Further step: %.2f ms (CPU %.2f ms; median of %d, slowest %.2f ms)  target <= %.0f ms  %s\n",
                    step.wall, step.cpu, kSteps, slowest(steps), kStepTargetMs, verdict(step.wall <= kStepTargetMs));
        std::printf("Replace all of %d matches: %.1f ms (CPU %.1f ms)  target <= %.0f ms  %s\n", confirmed,
                    replace.wall, replace.cpu, kReplaceAllTargetMs, verdict(replace.wall <= kReplaceAllTargetMs));
        std::printf("Search for a word that is nowhere: %.1f ms (CPU %.1f ms; median of %d)  target <= %.0f ms  %s\n",
                    nowhere.wall, nowhere.cpu, kFirstMatchRuns, kNotFoundTargetMs,
                    verdict(nowhere.wall <= kNotFoundTargetMs));
        std::printf("Opening the library: %.1f ms; starting the copy: %.1f ms\n", open.wall, prepare.wall);
        if (withCopy) {
            std::printf("Reading the copy in the background: %.0f ms (CPU %.0f ms); a search started meanwhile "
                        "waits for it\n",
                        reading.wall, reading.cpu);
            std::printf("Extra resident memory: %.1f MB (the copy holds %.1f MB)  target <= %.0f MB  %s\n", extraMemory,
                        double(engine.indexBytes()) / (1024 * 1024), kExtraMemoryTargetMb,
                        verdict(extraMemory <= kExtraMemoryTargetMb));
        }
    } catch (const DbError& error) {
        fail(error.message());
    }
    return 0;
}
