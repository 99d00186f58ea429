// Times Edit > Undo of deleting 1,000 sequences in a library of 100,000 sequences with about 2.5
// million calls, as the window does it: the deletion and the renumbering of the listed level are
// recorded as one change, then undone, then redone. Each run works on a fresh copy of the library.

#include "BenchLibrary.h"
#include "BenchSupport.h"
#include "Database.h"
#include "DbError.h"
#include "LibraryOperations.h"
#include "Statement.h"

#include <cstdio>
#include <vector>

using namespace BenchSupport;
using BenchLibrary::count;

namespace {

constexpr int kDeleted = 1000;
constexpr int kRuns = 3;
constexpr double kTargetMs = 1000;

struct UndoTimes {
    Timing change;
    Timing undo;
    Timing redo;
};

// The whole library in short: enough to tell that undo gave every row back.
QString fingerprint(Database& db) {
    return QStringLiteral("%1/%2/%3/%4")
        .arg(count(db, QStringLiteral("SELECT count(*) FROM tblSequence")))
        .arg(count(db, QStringLiteral("SELECT count(*) FROM tblCall")))
        .arg(count(db, QStringLiteral("SELECT total(OrderNo * Sequence) FROM tblSequence")))
        .arg(count(db, QStringLiteral("SELECT total(length(Call) * Number * Sequence) FROM tblCall")));
}

UndoTimes undoOnce(const QString& path) {
    BenchLibrary::copyTo(path);
    Database db(path);
    LibraryOperations ops(db);
    qint64 recorded = 0;
    ops.undo().setRecorded([&recorded](qint64 change, const QString&) { recorded = change; });

    // The Plus list in its order; 1,000 adjacent rows from its middle are deleted.
    QList<qint64> listed;
    Statement list = db.prepare(QStringLiteral("SELECT Sequence FROM tblSequence WHERE Level = 'Plus' ORDER BY "
                                               "OrderNo, Sequence"));
    while (list.step()) {
        listed.append(list.int64(0));
    }
    const qsizetype from = listed.size() / 2;
    const QList<qint64> keys = listed.mid(from, kDeleted);
    QList<qint64> remaining = listed;
    remaining.remove(from, kDeleted);
    const QString before = fingerprint(db);

    UndoTimes times;
    times.change = timed([&] {
        const LibraryUndo::Step step(ops.undo(), QStringLiteral("Delete"));
        ops.deleteSequences(keys);
        ops.renumberOrder(remaining);
    });
    const QString after = fingerprint(db);
    times.undo = timed([&] { ops.undo().undo(recorded); });
    if (recorded == 0 || fingerprint(db) != before || after == before) {
        fail(QStringLiteral("undo did not give back the %1 deleted sequences").arg(kDeleted));
    }
    times.redo = timed([&] { ops.undo().redo(recorded); });
    if (fingerprint(db) != after) {
        fail(QStringLiteral("redo did not delete the %1 sequences again").arg(kDeleted));
    }
    return times;
}

} // namespace

int main() {
    TempHome work;
    FailOnErrorReport errorBox;
    try {
        const QString path = work.filePath(QStringLiteral("library.mdb"));
        std::vector<Timing> changes;
        std::vector<Timing> undos;
        std::vector<Timing> redos;
        for (int run = 0; run < kRuns; ++run) {
            const UndoTimes times = undoOnce(path);
            changes.push_back(times.change);
            undos.push_back(times.undo);
            redos.push_back(times.redo);
        }
        const Timing undo = median(undos);
        std::printf("Undo of deleting %d sequences (with the level renumbered): %.1f ms (CPU %.1f ms; median of %d "
                    "on fresh copies)  target <= %.0f ms  %s\n",
                    kDeleted, undo.wall, undo.cpu, kRuns, kTargetMs, verdict(undo.wall <= kTargetMs));
        std::printf("    the recorded deletion %.1f ms, redo %.1f ms (medians)\n", median(changes).wall,
                    median(redos).wall);
    } catch (const DbError& error) {
        fail(error.message());
    }
    return 0;
}
