#include "DbError.h"
#include "FakeSeqTextHost.h"
#include "Fixtures.h"
#include "LibraryExport.h"
#include "LibraryOperations.h"
#include "LibrarySession.h"
#include "SearchEngine.h"
#include "SequenceImport.h"
#include "StoppingProgress.h"
#include "modDataBase.h"

#include <QtTest>
#include <functional>

namespace {

constexpr int kSequences = 1000; // in the library, each with kCalls calls and one history row
constexpr int kCalls = 10;

struct Context {
    Database& db;
    LibraryOperations& ops;
    QString file;   // the text the reader takes
    QString target; // the export's target library
    IProgress* progress = nullptr;
    qint64 change = 0; // what the preparation recorded for undo
    int added = -1;    // what the reader says it stored
};

struct Operation {
    const char* name;
    const char* trigger; // refuses a late step of the operation; empty: no failure to inject
    bool stoppable;      // takes a progress that can stop it
    bool keepsWhole;     // stores sequence by sequence, so an interruption keeps the whole ones
    std::function<void(Context&)> run;
    std::function<void(Context&)> prepare = {};
};

QList<qint64> allKeys(bool reversed = false) {
    QList<qint64> keys;
    for (int i = 1; i <= kSequences; ++i) {
        keys.append(reversed ? kSequences + 1 - i : i);
    }
    return keys;
}

void read(Context& c, bool clipboard) {
    FakeSeqTextHost host;
    host.clipboard = QString::fromUtf8(Fixtures::readFile(c.file));
    c.added = modSeqText::ReadSequenceText(c.db, clipboard ? QString() : c.file, clipboard, clipboard ? 1 : -1, host,
                                           c.progress);
}

const QList<Operation>& operations() {
    static const QList<Operation> table{
        {"read a file", "BEFORE INSERT ON tblCall WHEN NEW.Call = 'call 3 of sequence 1 swing thru'", true, true,
         [](Context& c) { read(c, false); }},
        {"paste", "BEFORE INSERT ON tblSequence WHEN NEW.Note LIKE '%generated sequence 3%'", true, true,
         [](Context& c) { read(c, true); }},
        {"export", "BEFORE DELETE ON tblSequence WHEN OLD.Sequence = 1000", true, false,
         [](Context& c) { LibraryExport(c.db, c.target).move({}, c.progress); }},
        {"cut", "BEFORE DELETE ON tblHistory WHEN OLD.Sequence = 1000", false, false,
         [](Context& c) {
             const LibraryUndo::Step step(c.ops.undo(), QStringLiteral("Cut"));
             c.ops.deleteSequences(allKeys(), LibraryOperations::History::Delete);
         }},
        {"delete", "BEFORE DELETE ON tblSequence WHEN OLD.Sequence = 1000", false, false,
         [](Context& c) { c.ops.deleteSequences(allKeys()); }},
        {"replace all", "BEFORE UPDATE ON tblCall WHEN NEW.Sequence = 1000", true, false,
         [](Context& c) {
             SearchEngine().ReplaceWordAll(
                 c.db, QStringLiteral("AllLevel"), QStringLiteral("thru"), QStringLiteral("through"), 1,
                 [](int) { return true; }, c.progress);
         }},
        {"reorder", "BEFORE UPDATE ON tblSequence WHEN NEW.Sequence = 1", false, false,
         [](Context& c) { c.ops.renumberOrder(allKeys(true)); }},
        {"undo", "BEFORE INSERT ON tblCall WHEN NEW.Sequence = 1000", false, false,
         [](Context& c) { c.ops.undo().undo(c.change); },
         [](Context& c) {
             const LibraryUndo::Step step(c.ops.undo(), QStringLiteral("Delete"));
             c.ops.deleteSequences(allKeys(), LibraryOperations::History::Delete);
         }},
        {"compaction", "", false, false, [](Context& c) { LibrarySession::OptimizeDatabase(c.db); },
         [](Context& c) {
             for (const char* name : {"tblCall", "tblHistory", "tblSequence"}) {
                 c.db.exec(QStringLiteral("DELETE FROM %1 WHERE Sequence % 2 = 0").arg(QLatin1String(name)));
             }
         }},
    };
    return table;
}

} // namespace

// Every change of a library interrupted in each way it can be: refused part-way by the database,
// stopped on its progress, and killed. A failure or a stop leaves the four tables as they were
// (the reader keeps the whole sequences it stored before); a kill leaves a sound file holding the
// state before or after (the reader: whole sequences).
class TestInterruption : public QObject {
    Q_OBJECT

    std::optional<TestHome> m_home;
    QString m_master;
    QString m_library;
    QString m_target;

    bool fresh() {
        for (const QString& path : {m_library, m_target}) {
            QFile::remove(path);
            QFile::remove(path + QStringLiteral("-journal"));
        }
        modDataBase::CreateLibrary(m_target);
        return QFile::copy(m_master, m_library);
    }
    // The library's four tables, and the target's for the export.
    QStringList snapshot(Database& db, const Operation& op) const {
        return Fixtures::exactContent(db) +
               (op.name == QLatin1String("export") ? Fixtures::tables(m_target) : QStringList());
    }
    // A run of op on db about to start, its preparation done: what that recorded for undo is in
    // the context.
    std::unique_ptr<Context> start(const Operation& op, Database& db, LibraryOperations& ops, const QString& text) {
        auto c = std::make_unique<Context>(Context{db, ops, m_home->file(text), m_target});
        ops.undo().setRecorded([c = c.get()](qint64 change, const QString&) { c->change = change; });
        if (op.prepare) {
            op.prepare(*c);
        }
        return c;
    }
    static void rows(const char* mode) {
        for (qsizetype i = 0; i < operations().size(); ++i) {
            const Operation& op = operations()[i];
            if ((qstrcmp(mode, "fails") != 0 || *op.trigger != 0) && (qstrcmp(mode, "stopped") != 0 || op.stoppable)) {
                QTest::addRow("%s, %s", op.name, mode) << int(i) << QString::fromLatin1(mode);
            }
        }
    }

private Q_SLOTS:
    void initTestCase() {
        m_home.emplace();
        m_master = m_home->file(QStringLiteral("master.mdb"));
        m_library = m_home->file(QStringLiteral("library.mdb"));
        m_target = m_home->file(QStringLiteral("target.mdb"));
        Database db;
        Fixtures::createLibrary(db, m_home->path(), QStringLiteral("master.mdb"));
        db.exec(QStringLiteral("WITH RECURSIVE n(i) AS (SELECT 1 UNION ALL SELECT i + 1 FROM n WHERE i < %1) "
                               "INSERT INTO tblSequence (Level, [Date], [Time], Title, OrderNo) "
                               "SELECT 'Plus', '2026/01/01', printf('%06d', i), 'sequence ' || i, i FROM n")
                    .arg(kSequences));
        db.exec(QStringLiteral("INSERT INTO tblCall (Sequence, Number, Call, HexInfo) SELECT s.Sequence, c.value, "
                               "printf('swing thru %0200d', s.Sequence), 'hex' FROM tblSequence s, "
                               "json_each('[1,2,3,4,5,6,7,8,9,10]') c"));
        db.exec(QStringLiteral("INSERT INTO tblHistory (Sequence, CallDate, PartyName) SELECT Sequence, "
                               "'2026-01-01', 'Club' FROM tblSequence"));
        db.exec(QStringLiteral("INSERT INTO tblSetting (KeyName, Data) VALUES ('Author', 'Ann')"));
        QVERIFY(Fixtures::writeFile(m_home->file(QStringLiteral("small.Plus")),
                                    Fixtures::generatorText(5, kCalls, QStringLiteral("A1")).toUtf8()));
        QVERIFY(Fixtures::writeFile(m_home->file(QStringLiteral("big.Plus")),
                                    Fixtures::generatorText(1500, kCalls, QStringLiteral("A1")).toUtf8()));
    }
    void cleanupTestCase() { m_home.reset(); }

    void interrupted_data() {
        QTest::addColumn<int>("index");
        QTest::addColumn<QString>("mode");
        rows("fails");
        rows("stopped");
    }
    void interrupted() {
        QFETCH(int, index);
        QFETCH(QString, mode);
        const Operation& op = operations()[index];
        QVERIFY(fresh());
        RecordingErrorBox box;
        Database db(m_library);
        LibraryOperations ops(db);
        StoppingProgress progress(2);
        const std::unique_ptr<Context> started = start(op, db, ops, QStringLiteral("small.Plus"));
        Context& c = *started;
        const QStringList before = snapshot(db, op);
        if (mode == QLatin1String("fails")) {
            db.exec(QStringLiteral("CREATE TRIGGER refuse %1 BEGIN SELECT RAISE(ABORT, 'refused'); END")
                        .arg(QLatin1String(op.trigger)));
        } else {
            c.progress = &progress;
        }
        try {
            op.run(c);
        } catch (const DbError&) {
        } catch (const WorkCancelled&) {
        }
        QVERIFY(!db.inTransaction());
        if (!op.keepsWhole) {
            QCOMPARE(snapshot(db, op), before);
            return;
        }
        // The refused sequence is taken back whole, the others stored; a stop keeps those before it.
        QCOMPARE(Fixtures::unsound(db, kCalls, 1), QStringList());
        QCOMPARE(c.added, mode == QLatin1String("fails") ? 4 : 2);
        const QStringList after = snapshot(db, op);
        const QSet<QString> now(after.begin(), after.end());
        for (const QString& row : before) {
            QVERIFY2(row.startsWith(QLatin1String("tblSequence")) || now.contains(row), qPrintable(row));
        }
    }

    void killed_data() {
        QTest::addColumn<int>("index");
        for (qsizetype i = 0; i < operations().size(); ++i) {
            QTest::newRow(operations()[i].name) << int(i);
        }
    }
    void killed() {
        QFETCH(int, index);
        const Operation& op = operations()[index];
        // A whole run in this process: the states before and after, and how long it takes.
        QVERIFY(fresh());
        QStringList before;
        QStringList after;
        qint64 micros = 0;
        {
            Database db(m_library);
            LibraryOperations ops(db);
            const std::unique_ptr<Context> c = start(op, db, ops, QStringLiteral("big.Plus"));
            before = snapshot(db, op);
            micros = Fixtures::runMicros([&] { op.run(*c); });
            after = snapshot(db, op);
        }
        QVERIFY(op.name == QLatin1String("compaction") || after != before);
        QRandomGenerator random(20261207);
        int interrupted = 0;
        // Eight rounds, and more (up to 40) until one kill has hit the write itself: a short
        // operation on a busy machine can miss it eight times.
        for (int round = 0; round < 8 || (interrupted == 0 && round < 40); ++round) {
            QVERIFY(fresh());
            QVERIFY(Fixtures::killMidway(random, micros, [&](const std::function<void()>& ready) {
                Database db(m_library);
                LibraryOperations ops(db);
                const std::unique_ptr<Context> c = start(op, db, ops, QStringLiteral("big.Plus"));
                ready();
                op.run(*c);
            }));
            interrupted += QFileInfo::exists(m_library + QStringLiteral("-journal")) ||
                           QFileInfo::exists(m_target + QStringLiteral("-journal"));
            // Whichever file is opened first finds the other's journal through the super-journal.
            Database db(m_library);
            QCOMPARE(db.scalar(QStringLiteral("PRAGMA integrity_check")).toString(), QStringLiteral("ok"));
            const QStringList now = snapshot(db, op);
            if (op.keepsWhole) {
                QCOMPARE(Fixtures::unsound(db, kCalls, 1), QStringList());
            } else {
                QVERIFY2(now == before || now == after, qPrintable(QString::number(round)));
            }
        }
        // The kills must have hit the work under way, or the test proved nothing.
        QVERIFY2(interrupted > 0, "no run was interrupted");
    }

    // A failure of the library file itself (here the disk full in the middle of one sequence, the
    // transaction still open) ends the read, and nothing of the text is kept.
    void readerStopsAtAFatalFailure() {
        QVERIFY(fresh());
        RecordingErrorBox box;
        Database db(m_library);
        const QStringList before = Fixtures::exactContent(db);
        db.exec(QStringLiteral("PRAGMA max_page_count = %1")
                    .arg(db.scalar(QStringLiteral("PRAGMA page_count")).toInt() + 50));
        db.exec(QStringLiteral(
            "CREATE TEMP TRIGGER full BEFORE INSERT ON main.tblCall WHEN NEW.Call = 'call 3 of sequence 1 swing thru' "
            "BEGIN INSERT INTO tblSetting (KeyName, Data) VALUES ('x', zeroblob(10000000)); END"));
        FakeSeqTextHost host;
        QCOMPARE(modSeqText::ReadSequenceText(db, m_home->file(QStringLiteral("small.Plus")), false, -1, host), 0);
        QCOMPARE(host.failures.size(), 1);
        QCOMPARE(Fixtures::exactContent(db), before);
    }
};

QTEST_GUILESS_MAIN(TestInterruption)
#include "TestInterruption.moc"
