// Times the search and replace engine on a library of 100,000 sequences with about 2.5 million
// calls: a new search to its first match, the further steps, and a replace-all of 10,000 matches.
// The library is generated once and kept in the build folder; each run works on a copy.

#include "BenchLibrary.h"
#include "BenchSupport.h"
#include "Database.h"
#include "DbError.h"
#include "SearchEngine.h"

#include <QFile>
#include <cstdio>
#include <vector>

using namespace BenchSupport;

namespace {

constexpr int kSteps = 100;
constexpr int kFirstMatchRuns = 5;
constexpr double kFirstMatchTargetMs = 500;
constexpr double kStepTargetMs = 20;
constexpr double kReplaceAllTargetMs = 2000;

// Its case differs from the planted word's, so the letter-case-ignoring comparison is the one
// measured.
const QString kFindText = QStringLiteral("ZIGZAGOON");

} // namespace

int main() {
    TempHome work;
    FailOnErrorReport errorBox;
    try {
        const QString path = work.filePath(QStringLiteral("library.mdb"));
        BenchLibrary::copyTo(path);
        Database db(path);
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

        SearchEngine engine;
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

        // Not a target: a word that is nowhere, which walks every candidate before it says so.
        engine.Reset();
        SearchResult missing;
        const Timing notFound =
            timed([&] { missing = engine.SearchWord(db, context, false, QStringLiteral("Nowhere"), {}, 1, 0); });
        if (missing.message.key != 40501) {
            fail(QStringLiteral("a missing word was reported wrongly"));
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
        const Timing step = median(steps);
        std::printf("New search to the first match: %.1f ms (CPU %.1f ms; median of %d)  target <= %.0f ms  %s\n",
                    first.wall, first.cpu, kFirstMatchRuns, kFirstMatchTargetMs,
                    verdict(first.wall <= kFirstMatchTargetMs));
        std::printf("Further step: %.2f ms (CPU %.2f ms; median of %d, slowest %.2f ms)  target <= %.0f ms  %s\n",
                    step.wall, step.cpu, kSteps, slowest(steps), kStepTargetMs, verdict(step.wall <= kStepTargetMs));
        std::printf("Replace all of %d matches: %.1f ms (CPU %.1f ms)  target <= %.0f ms  %s\n", confirmed,
                    replace.wall, replace.cpu, kReplaceAllTargetMs, verdict(replace.wall <= kReplaceAllTargetMs));
        std::printf("Search for a word that is nowhere (no target): %.1f ms (CPU %.1f ms)\n", notFound.wall,
                    notFound.cpu);
    } catch (const DbError& error) {
        fail(error.message());
    }
    return 0;
}
