// Times the compaction that closes a library, on a copy of the 100,000-sequence benchmark
// library from which a tenth of the sequences were deleted, and measures the resident memory of
// the process doing it. The compaction runs in a child process, so that its peak resident size is
// its own and not that of building the library.

#include "BenchLibrary.h"
#include "BenchSupport.h"
#include "Database.h"
#include "LibrarySession.h"

#include <QFileInfo>
#include <chrono>
#include <cstdio>
#include <sys/resource.h>
#include <sys/wait.h>
#include <unistd.h>

using namespace BenchSupport;
using BenchLibrary::count;

namespace {

constexpr double kTargetMb = 300;

} // namespace

int main() {
    TempHome home;
    FailOnErrorReport failOnError;
    const QString path = home.filePath(QStringLiteral("compact.mdb"));
    BenchLibrary::copyTo(path);
    qint64 sequences = 0;
    qint64 freePages = 0;
    {
        Database db(path);
        for (const char* table : {"tblCall", "tblHistory", "tblSequence"}) {
            db.exec(QStringLiteral("DELETE FROM ") + QLatin1String(table) + QStringLiteral(" WHERE Sequence % 10 = 0"));
        }
        sequences = count(db, QStringLiteral("SELECT count(*) FROM tblSequence"));
        freePages = count(db, QStringLiteral("PRAGMA freelist_count"));
    }
    const qint64 before = QFileInfo(path).size();

    const auto start = std::chrono::steady_clock::now();
    const pid_t child = fork();
    if (child < 0) {
        fail(QStringLiteral("cannot fork"));
    }
    if (child == 0) {
        Database db(path);
        _exit(LibrarySession::OptimizeDatabase(db) ? 0 : 1);
    }
    int status = 0;
    rusage usage{};
    wait4(child, &status, 0, &usage);
    const double wallMs = std::chrono::duration<double, std::milli>(std::chrono::steady_clock::now() - start).count();
    if (!WIFEXITED(status) || WEXITSTATUS(status) != 0) {
        fail(QStringLiteral("the compaction failed"));
    }
    const qint64 after = QFileInfo(path).size();
    Database db(path);
    if (count(db, QStringLiteral("SELECT count(*) FROM tblSequence")) != sequences ||
        count(db, QStringLiteral("PRAGMA freelist_count")) != 0) {
        fail(QStringLiteral("the compacted library lost rows or kept free pages"));
    }
    const double residentMb = usage.ru_maxrss / 1024.0;
    const double cpuMs = (usage.ru_utime.tv_sec + usage.ru_stime.tv_sec) * 1000.0 +
                         (usage.ru_utime.tv_usec + usage.ru_stime.tv_usec) / 1000.0;
    std::printf("compaction of %lld sequences, %lld free pages: %.1f MB -> %.1f MB\n",
                static_cast<long long>(sequences), static_cast<long long>(freePages), before / 1048576.0,
                after / 1048576.0);
    std::printf("  wall %.0f ms, cpu %.0f ms, peak resident %.1f MB (target <= %.0f MB): %s\n", wallMs, cpuMs,
                residentMb, kTargetMb, verdict(residentMb <= kTargetMb));
    return residentMb <= kTargetMb ? 0 : 1;
}
