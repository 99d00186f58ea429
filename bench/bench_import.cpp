// Times the sequence text import against the cost of storing the same rows directly, and the
// second read of the same file (every sequence a duplicate) against the first. Then reads a file of
// 100,000 sequences in a process of its own and prints its time and the peak resident size.

#include "BenchSupport.h"
#include "Database.h"
#include "DbError.h"
#include "GeneratorFile.h"
#include "ISeqTextHost.h"
#include "SequenceImport.h"
#include "modDataBase.h"
#include "modSystem.h"

#include <QCryptographicHash>
#include <QDir>
#include <QFile>
#include <QProcess>
#include <algorithm>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <sqlite3.h>
#include <vector>

using namespace BenchSupport;

namespace {

constexpr int kSequences = 10000;
constexpr int kMeanCalls = 25;
constexpr int kDefaultRuns = 5;
constexpr double kImportTarget = 1.2;
constexpr double kRereadTarget = 0.10;
constexpr int kLargeSequences = 100000;
constexpr double kPeakTargetMb = 100;
const char* const kReadOnce = "--read-once";

class BenchHost final : public ISeqTextHost {
public:
    QString author() const override { return {}; }
    bool seqDateSave() const override { return false; }
    QString clipboardText() const override { return {}; }
    QString transString(int, const QString& def) const override { return def; }
    void showReadReport(const QString&) override {}
};

// The rows of one sequence as UTF-8, ready to bind without any conversion.
struct CeilingSequence {
    QByteArray level, date, time, version, note, title, historyDate, party;
    std::vector<std::pair<QByteArray, QByteArray>> calls; // call text, figure
};

std::vector<CeilingSequence> ceilingRows(const GeneratorFile& file) {
    std::vector<CeilingSequence> rows;
    rows.reserve(file.sequences.size());
    for (const GeneratorFile::Sequence& s : file.sequences) {
        CeilingSequence row{file.level.toUtf8(),    s.date.toUtf8(),  s.time.toUtf8(),
                            file.version.toUtf8(),  s.note.toUtf8(),  s.note.toUtf8(),
                            s.historyDate.toUtf8(), s.party.toUtf8(), {}};
        row.calls.reserve(s.calls.size());
        for (const GeneratorFile::Call& c : s.calls) {
            row.calls.emplace_back(c.text.toUtf8(), c.figure.toUtf8());
        }
        rows.push_back(std::move(row));
    }
    return rows;
}

void check(sqlite3* db, int rc, int expected) {
    if (rc != expected) {
        fail(QStringLiteral("SQLite %1: %2").arg(rc).arg(QString::fromUtf8(sqlite3_errmsg(db))));
    }
}

void bindText(sqlite3* db, sqlite3_stmt* stmt, int index, const QByteArray& value) {
    check(db, sqlite3_bind_text(stmt, index, value.constData(), static_cast<int>(value.size()), SQLITE_STATIC),
          SQLITE_OK);
}

void runOnce(sqlite3* db, sqlite3_stmt* stmt) {
    check(db, sqlite3_step(stmt), SQLITE_DONE);
    sqlite3_reset(stmt);
}

sqlite3_stmt* prepare(sqlite3* db, const char* sql) {
    sqlite3_stmt* stmt = nullptr;
    check(db, sqlite3_prepare_v3(db, sql, -1, SQLITE_PREPARE_PERSISTENT, &stmt, nullptr), SQLITE_OK);
    return stmt;
}

// The least work that leaves the same rows as the import: one transaction, three prepared
// statements, values bound straight from memory, the final OrderNo written with each row.
void insertCeiling(sqlite3* db, const std::vector<CeilingSequence>& rows) {
    sqlite3_stmt* addSequence = prepare(db, "INSERT INTO tblSequence (Level, Date, Time, Version, Note, Author, "
                                            "Property, OrderNo, Title) VALUES (?, ?, ?, ?, ?, '', 0, 1, ?)");
    sqlite3_stmt* addCall =
        prepare(db, "INSERT INTO tblCall (Sequence, Number, Call, Note, Figure) VALUES (?, ?, ?, '', ?)");
    sqlite3_stmt* addHistory = prepare(db, "INSERT INTO tblHistory (Sequence, CallDate, PartyName) VALUES (?, ?, ?)");
    check(db, sqlite3_exec(db, "BEGIN IMMEDIATE", nullptr, nullptr, nullptr), SQLITE_OK);
    for (const CeilingSequence& row : rows) {
        bindText(db, addSequence, 1, row.level);
        bindText(db, addSequence, 2, row.date);
        bindText(db, addSequence, 3, row.time);
        bindText(db, addSequence, 4, row.version);
        bindText(db, addSequence, 5, row.note);
        bindText(db, addSequence, 6, row.title);
        runOnce(db, addSequence);
        const sqlite3_int64 sequence = sqlite3_last_insert_rowid(db);
        sqlite3_bind_int64(addHistory, 1, sequence);
        bindText(db, addHistory, 2, row.historyDate);
        bindText(db, addHistory, 3, row.party);
        runOnce(db, addHistory);
        int number = 0;
        for (const auto& [text, figure] : row.calls) {
            sqlite3_bind_int64(addCall, 1, sequence);
            sqlite3_bind_int(addCall, 2, ++number);
            bindText(db, addCall, 3, text);
            bindText(db, addCall, 4, figure);
            runOnce(db, addCall);
        }
    }
    check(db, sqlite3_exec(db, "COMMIT", nullptr, nullptr, nullptr), SQLITE_OK);
    sqlite3_finalize(addSequence);
    sqlite3_finalize(addCall);
    sqlite3_finalize(addHistory);
}

qint64 count(Database& db, const char* table) {
    return db.scalar(QStringLiteral("SELECT count(*) FROM ") + QLatin1String(table)).toLongLong();
}

// A hash over every stored value of the three tables, in key order, so two libraries can be
// compared row for row.
QByteArray contentHash(Database& db) {
    static const char* const queries[] = {
        ("SELECT Sequence, Level, Date, Time, Version, Title, Note, Property, OrderNo, Author FROM tblSequence "
         "ORDER BY Sequence"),
        "SELECT Sequence, Number, Call, Figure, Note, HexInfo FROM tblCall ORDER BY Sequence, Number",
        "SELECT History, Sequence, CallDate, PartyName FROM tblHistory ORDER BY History"};
    QCryptographicHash hash(QCryptographicHash::Sha256);
    for (const char* sql : queries) {
        sqlite3_stmt* stmt = prepare(db.handle(), sql);
        while (sqlite3_step(stmt) == SQLITE_ROW) {
            for (int c = 0; c < sqlite3_column_count(stmt); ++c) {
                const char type = static_cast<char>('0' + sqlite3_column_type(stmt, c));
                const auto* data = reinterpret_cast<const char*>(sqlite3_column_text(stmt, c));
                hash.addData(QByteArrayView(&type, 1));
                hash.addData(QByteArrayView(data ? data : "", sqlite3_column_bytes(stmt, c)));
                hash.addData(QByteArrayView("\x1f", 1));
            }
        }
        sqlite3_finalize(stmt);
    }
    return hash.result();
}

void createFresh(Database& db, const QString& path) {
    QFile::remove(path);
    modDataBase::CreateLibrary(path);
    db.open(path);
}

// The peak resident size of this process so far, in MB (VmHWM).
double peakResidentMb() {
    QFile status(QStringLiteral("/proc/self/status"));
    if (!status.open(QIODevice::ReadOnly)) {
        return -1;
    }
    for (const QByteArray& line : status.readAll().split('\n')) {
        if (line.startsWith("VmHWM:")) {
            return line.mid(6).trimmed().split(' ').front().toDouble() / 1024.0;
        }
    }
    return -1;
}

// The child's part: one read of the file into a new library. Prints the milliseconds it took (wall
// clock and processor), the peak resident size before and after it, and the sequences added.
int readOnce(const QString& textPath, const QString& libraryPath) {
    FailOnErrorReport failOnError;
    BenchHost host;
    Database db;
    createFresh(db, libraryPath);
    const double before = peakResidentMb();
    int added = 0;
    const Timing timing = timed([&] { added = modSeqText::ReadSequenceText(db, textPath, false, -1, host); });
    std::printf("%.0f %.0f %.1f %.1f %d\n", timing.wall, timing.cpu, before, peakResidentMb(), added);
    return 0;
}

// Reads a file of 100,000 sequences in a process of its own, so that the peak resident size is the
// read's alone; true when the read added them all within the memory target.
bool largeRead(const char* program, TempHome& work) {
    const QString textPath = work.filePath(QStringLiteral("large.Plus"));
    double megabytes = 0;
    {
        const GeneratorFile generated = GeneratorFile::generate(kLargeSequences, kMeanCalls);
        QFile out(textPath);
        if (!out.open(QIODevice::WriteOnly) || out.write(generated.text) != generated.text.size()) {
            fail(QStringLiteral("cannot write the large generator file"));
        }
        megabytes = generated.text.size() / (1024.0 * 1024.0);
    }
    QProcess child;
    child.start(QString::fromLocal8Bit(program),
                {QString::fromLatin1(kReadOnce), textPath, work.filePath(QStringLiteral("large.vdb"))});
    if (!child.waitForFinished(30 * 60 * 1000) || child.exitCode() != 0) {
        fail(QStringLiteral("the large read failed: %1").arg(QString::fromLocal8Bit(child.readAllStandardError())));
    }
    const QList<QByteArray> figures = child.readAllStandardOutput().trimmed().split(' ');
    if (figures.size() != 5) {
        fail(QStringLiteral("the large read printed no figures"));
    }
    const double peak = figures[3].toDouble();
    const bool allAdded = figures[4].toInt() == kLargeSequences;
    std::printf("\nOne read of %d sequences (%.1f MB) in a process of its own\n", kLargeSequences, megabytes);
    std::printf("  time          %8s ms  (%8s)\n", figures[0].constData(), figures[1].constData());
    std::printf("  peak resident %8.1f MB  (%.1f MB before the read)  target < %.0f MB  %s\n", peak,
                figures[2].toDouble(), kPeakTargetMb, verdict(peak < kPeakTargetMb));
    if (!allAdded) {
        std::printf("  WRONG: the read added %s sequences\n", figures[4].constData());
    }
    QFile::remove(textPath);
    return allAdded;
}

} // namespace

int main(int argc, char** argv) {
    if (argc == 4 && std::strcmp(argv[1], kReadOnce) == 0) {
        return readOnce(QString::fromLocal8Bit(argv[2]), QString::fromLocal8Bit(argv[3]));
    }
    // An optional run count, e.g. 1 for a run under a profiler.
    const int runs = argc > 1 ? std::max(1, std::atoi(argv[1])) : kDefaultRuns;
    TempHome work;

    const GeneratorFile generated = GeneratorFile::generate(kSequences, kMeanCalls);
    const QString textPath = work.filePath(QStringLiteral("bench.Plus"));
    {
        QFile out(textPath);
        if (!out.open(QIODevice::WriteOnly) || out.write(generated.text) != generated.text.size()) {
            fail(QStringLiteral("cannot write the generator file"));
        }
    }
    const std::vector<CeilingSequence> rows = ceilingRows(generated);
    std::printf("Generator file: %lld sequences, %lld calls, %lld figures, %.1f MB\n",
                static_cast<long long>(generated.sequences.size()), static_cast<long long>(generated.callCount),
                static_cast<long long>(generated.figureCount), generated.text.size() / (1024.0 * 1024.0));
    std::printf("SQLite %s, %d runs\n\n", sqlite3_libversion(), runs);
    std::printf("        first import      re-read           ceiling\n");
    std::printf("run     wall ms   cpu ms  wall ms   cpu ms  wall ms   cpu ms\n");

    std::vector<Timing> imports, rereads, ceilings;
    bool countsRight = true;
    BenchHost host;
    for (int run = 0; run < runs; ++run) {
        const QString importPath = work.filePath(QStringLiteral("import.vdb"));
        const QString ceilingPath = work.filePath(QStringLiteral("ceiling.vdb"));
        try {
            Database importDb;
            createFresh(importDb, importPath);
            int added = -1;
            imports.push_back(
                timed([&] { added = modSeqText::ReadSequenceText(importDb, textPath, false, -1, host); }));
            int addedAgain = -1;
            rereads.push_back(
                timed([&] { addedAgain = modSeqText::ReadSequenceText(importDb, textPath, false, -1, host); }));

            Database ceilingDb;
            createFresh(ceilingDb, ceilingPath);
            ceilings.push_back(timed([&] { insertCeiling(ceilingDb.handle(), rows); }));
            std::printf("%3d  %8.1f %8.1f %8.1f %8.1f %8.1f %8.1f\n", run + 1, imports.back().wall, imports.back().cpu,
                        rereads.back().wall, rereads.back().cpu, ceilings.back().wall, ceilings.back().cpu);

            if (added != kSequences || addedAgain != 0) {
                std::printf("      WRONG: first read added %d (expected %d), second read added %d (expected 0)\n",
                            added, kSequences, addedAgain);
                countsRight = false;
            }
            const qint64 sequences = count(importDb, "tblSequence");
            const qint64 calls = count(importDb, "tblCall");
            const qint64 histories = count(importDb, "tblHistory");
            if (sequences != kSequences || calls != generated.callCount || histories != kSequences) {
                std::printf("      WRONG: library holds %lld sequences, %lld calls, %lld history rows\n",
                            static_cast<long long>(sequences), static_cast<long long>(calls),
                            static_cast<long long>(histories));
                countsRight = false;
            }
            if (run == 0 && contentHash(importDb) != contentHash(ceilingDb)) {
                std::printf("      WRONG: the imported rows differ from the ceiling's rows\n");
                countsRight = false;
            }
        } catch (const DbError& error) {
            fail(error.message());
        }
        QFile::remove(importPath);
        QFile::remove(ceilingPath);
    }
    if (QFile::exists(QDir(work.home()).filePath(QString::fromUtf16(modSystem::ErrorLogName)))) {
        std::printf("WRONG: the import wrote an error log\n");
        countsRight = false;
    }

    const Timing import = median(imports);
    const Timing reread = median(rereads);
    const Timing ceiling = median(ceilings);
    const double calls = static_cast<double>(generated.callCount);
    std::printf("\nMedian of %d runs (wall clock; processor time in brackets)\n", runs);
    std::printf("  first import  %8.1f ms  (%8.1f)  %8.0f calls/s\n", import.wall, import.cpu,
                calls / (import.wall / 1000.0));
    std::printf("  ceiling       %8.1f ms  (%8.1f)  %8.0f calls/s\n", ceiling.wall, ceiling.cpu,
                calls / (ceiling.wall / 1000.0));
    std::printf("  re-read       %8.1f ms  (%8.1f)\n", reread.wall, reread.cpu);
    const double importRatio = import.wall / ceiling.wall;
    const double rereadRatio = reread.wall / import.wall;
    std::printf("  import / ceiling        %5.2f  (%5.2f)   target <= %.2f  %s\n", importRatio,
                import.cpu / ceiling.cpu, kImportTarget, verdict(importRatio <= kImportTarget));
    std::printf("  re-read / first import  %5.2f  (%5.2f)   target <= %.2f  %s\n", rereadRatio, reread.cpu / import.cpu,
                kRereadTarget, verdict(rereadRatio <= kRereadTarget));
    std::printf("  counts %s\n", countsRight ? "right" : "WRONG");
    countsRight = largeRead(argv[0], work) && countsRight;
    return countsRight ? 0 : 1;
}
