#include "DbError.h"
#include "FakeSeqTextHost.h"
#include "Fixtures.h"
#include "LibraryOperations.h"
#include "SequenceImport.h"

#include <QtTest>
#include <functional>
#include <optional>

namespace {

using Change = std::function<void(LibraryOperations&)>;

} // namespace

// The library's changes without a window: what each one stores, and that a failure part-way
// stores nothing.
class TestLibraryOperations : public QObject {
    Q_OBJECT

    // Three Plus sequences (keys 1-3) of four calls each with one history row each; sequence 2's
    // calls are numbered 1, 2, 4, 5.
    void fill() {
        FakeSeqTextHost host;
        host.clipboard = Fixtures::generatorText(3, 4);
        QCOMPARE(modSeqText::ReadSequenceText(m_lib->db, QString(), true, -1, host), 3);
        m_lib->db.exec(QStringLiteral("UPDATE tblCall SET Number = -Number WHERE Sequence = 2 AND Number >= 3"));
        m_lib->db.exec(QStringLiteral("UPDATE tblCall SET Number = 1 - Number WHERE Sequence = 2 AND Number < 0"));
        m_lib->db.exec(QStringLiteral("UPDATE tblCall SET Note = Sequence || '.' || Number"));
    }

    static const QHash<QString, Change>& changes() {
        static const QHash<QString, Change> table{
            {"state",
             [](LibraryOperations& ops) {
                 ops.setState({1, 3}, 11);
             }},
            {"title", [](LibraryOperations& ops) { ops.setTitle(2, QStringLiteral("it's new")); }},
            {"level",
             [](LibraryOperations& ops) {
                 ops.changeLevel({2, 3}, QStringLiteral("C1"));
             }},
            {"delete sequences",
             [](LibraryOperations& ops) {
                 ops.deleteSequences({1, 3});
             }},
            {"order",
             [](LibraryOperations& ops) {
                 ops.renumberOrder({3, 1, 2});
             }},
            {"add history",
             [](LibraryOperations& ops) {
                 ops.addHistory({1, 2}, QDate(2026, 12, 6), QStringLiteral("Club 'A'"));
             }},
            {"delete history entry",
             [](LibraryOperations& ops) {
                 ops.deleteHistoryEntry({1, 2, 3}, {"2026-01-02", "Club 1"});
             }},
            {"delete history rows",
             [](LibraryOperations& ops) {
                 ops.deleteHistoryRows({1, 3});
             }},
            {"history date", [](LibraryOperations& ops) { ops.setHistoryDate(2, QDate(2002, 1, 5)); }},
            {"history party", [](LibraryOperations& ops) { ops.setHistoryParty(2, QStringLiteral("Party")); }},
            {"insert call into gaps", [](LibraryOperations& ops) { QCOMPARE(ops.insertCall(2, 3), 3); }},
            {"insert call past the end", [](LibraryOperations& ops) { QCOMPARE(ops.insertCall(1, 99), 5); }},
            {"delete call from gaps", [](LibraryOperations& ops) { QVERIFY(ops.deleteCall(2, 2)); }},
            {"delete the last call", [](LibraryOperations& ops) { QVERIFY(ops.deleteCall(2, 4)); }},
            // Older files number calls from 0.
            {"insert call, numbered from 0",
             [](LibraryOperations& ops) {
                 ops.database().exec(QStringLiteral("UPDATE tblCall SET Number = Number - 1 WHERE Sequence = 3"));
                 QCOMPARE(ops.insertCall(3, 1), 1);
             }},
            {"delete call, numbered from 0",
             [](LibraryOperations& ops) {
                 ops.database().exec(QStringLiteral("UPDATE tblCall SET Number = Number - 1 WHERE Sequence = 3"));
                 QVERIFY(ops.deleteCall(3, 1));
             }},
            {"call text", [](LibraryOperations& ops) { ops.setCallText(1, 2, QStringLiteral("{b Swing}")); }},
            {"hexagon offsets", [](LibraryOperations& ops) { ops.setHexInfo(1, 1, QStringLiteral("1,2,0,1")); }},
            {"formation",
             [](LibraryOperations& ops) { ops.setFormation(3, 4, QStringLiteral(" 1B^"), QStringLiteral("n"), "2"); }},
        };
        return table;
    }

private Q_SLOTS:
    void init() {
        m_lib.emplace();
        fill();
    }
    void cleanup() { m_lib.reset(); }

    // Each change against the rows it leaves (a query over the table it changes).
    void change_data() {
        QTest::addColumn<QString>("query");
        QTest::addColumn<QStringList>("expected");
        const QString sequences = QStringLiteral("SELECT Sequence, Level, Title, Property, OrderNo FROM tblSequence");
        const QString calls2 = QStringLiteral("SELECT Number, Note FROM tblCall WHERE Sequence = 2 ORDER BY Number");
        const QString history = QStringLiteral("SELECT History, Sequence, CallDate, PartyName FROM tblHistory");
        QTest::newRow("state") << sequences
                               << QStringList{"1|Plus|generated sequence 0|11|1", "2|Plus|generated sequence 1|0|1",
                                              "3|Plus|generated sequence 2|11|1"};
        QTest::newRow("title") << sequences + " WHERE Sequence = 2" << QStringList{"2|Plus|it's new|0|1"};
        QTest::newRow("level") << "SELECT Sequence, Level FROM tblSequence" << QStringList{"1|Plus", "2|C1", "3|C1"};
        QTest::newRow("delete sequences") << "SELECT 'S', Sequence FROM tblSequence UNION ALL SELECT 'C', "
                                             "count(*) FROM tblCall UNION ALL SELECT 'H', count(*) FROM tblHistory"
                                          << QStringList{"S|2", "C|4", "H|3"};
        QTest::newRow("order") << "SELECT Sequence, OrderNo FROM tblSequence" << QStringList{"1|2", "2|3", "3|1"};
        QTest::newRow("add history") << history + " WHERE History > 3"
                                     << QStringList{"4|1|2026-12-06|Club 'A'", "5|2|2026-12-06|Club 'A'"};
        QTest::newRow("delete history entry")
            << history << QStringList{"1|1|2026-01-01|Club 0", "3|3|2026-01-03|Club 2"};
        QTest::newRow("delete history rows") << history << QStringList{"2|2|2026-01-02|Club 1"};
        QTest::newRow("history date") << history + " WHERE History = 2" << QStringList{"2|2|2002-01-05|Club 1"};
        QTest::newRow("history party") << history + " WHERE History = 2" << QStringList{"2|2|2026-01-02|Party"};
        QTest::newRow("insert call into gaps") << calls2 << QStringList{"1|2.1", "2|2.2", "3|", "4|2.4", "5|2.5"};
        QTest::newRow("insert call past the end")
            << "SELECT Number, Note FROM tblCall WHERE Sequence = 1 AND Number > 3" << QStringList{"4|1.4", "5|"};
        QTest::newRow("delete call from gaps") << calls2 << QStringList{"1|2.1", "2|2.4", "3|2.5"};
        QTest::newRow("delete the last call") << calls2 << QStringList{"1|2.1", "2|2.2", "3|2.4"};
        const QString calls3 = QStringLiteral("SELECT Number, Note FROM tblCall WHERE Sequence = 3 ORDER BY Number");
        QTest::newRow("insert call, numbered from 0")
            << calls3 << QStringList{"1|", "2|3.1", "3|3.2", "4|3.3", "5|3.4"};
        QTest::newRow("delete call, numbered from 0") << calls3 << QStringList{"1|3.2", "2|3.3", "3|3.4"};
        QTest::newRow("call text") << "SELECT Call FROM tblCall WHERE Sequence = 1 AND Number = 2"
                                   << QStringList{"{b Swing}"};
        QTest::newRow("hexagon offsets") << "SELECT HexInfo FROM tblCall WHERE Sequence = 1 AND Number = 1"
                                         << QStringList{"1,2,0,1"};
        QTest::newRow("formation") << "SELECT Figure, Note, HexInfo FROM tblCall WHERE Sequence = 3 AND Number = 4"
                                   << QStringList{" 1B^|n|2"};
    }
    void change() {
        QFETCH(QString, query);
        LibraryOperations ops(m_lib->db);
        changes().value(QString::fromLatin1(QTest::currentDataTag()))(ops);
        QTEST(Fixtures::rows(m_lib->db, query), "expected");
        QVERIFY(!m_lib->db.inTransaction());
    }

    // A change the database refuses part-way (a trigger on its last step) stores nothing at all.
    void failureStoresNothing_data() {
        QTest::addColumn<QString>("trigger");
        QTest::newRow("state") << "BEFORE UPDATE ON tblSequence WHEN NEW.Sequence = 3";
        QTest::newRow("level") << "BEFORE UPDATE ON tblSequence WHEN NEW.Sequence = 3";
        QTest::newRow("delete sequences") << "BEFORE DELETE ON tblSequence";
        QTest::newRow("order") << "BEFORE UPDATE ON tblSequence WHEN NEW.Sequence = 2";
        QTest::newRow("add history") << "BEFORE INSERT ON tblHistory WHEN NEW.Sequence = 2";
        QTest::newRow("delete history rows") << "BEFORE DELETE ON tblHistory WHEN OLD.History = 3";
        QTest::newRow("insert call into gaps") << "BEFORE INSERT ON tblCall";
        QTest::newRow("delete call from gaps") << "BEFORE UPDATE ON tblCall WHEN NEW.Number = 3";
        QTest::newRow("formation") << "BEFORE UPDATE ON tblCall";
    }
    void failureStoresNothing() {
        QFETCH(QString, trigger);
        m_lib->db.exec(
            QStringLiteral("CREATE TRIGGER refuse %1 BEGIN SELECT RAISE(ABORT, 'refused'); END").arg(trigger));
        const QStringList before = Fixtures::tables(m_lib->db);
        LibraryOperations ops(m_lib->db);
        QVERIFY_THROWS_EXCEPTION(DbError, changes().value(QString::fromLatin1(QTest::currentDataTag()))(ops));
        QCOMPARE(Fixtures::tables(m_lib->db), before);
        QVERIFY(!m_lib->db.inTransaction());
    }

    // A change aimed at a row that is not there is a failure, not a silent success.
    void missingRowsAreFailures() {
        LibraryOperations ops(m_lib->db);
        QVERIFY_THROWS_EXCEPTION(DbError, ops.setCallText(1, 9, QStringLiteral("x")));
        QVERIFY_THROWS_EXCEPTION(DbError, ops.setTitle(99, QStringLiteral("x")));
        QVERIFY_THROWS_EXCEPTION(DbError, ops.setHistoryDate(99, QDate(2002, 1, 5)));
        QVERIFY(!ops.deleteCall(1, 9));
        QVERIFY(!ops.hasCall(2, 3));
    }

    // Each change undone gives back every row as it was, keys and all; redone, the rows as the
    // change left them; and again back.
    void undoRedo_data() {
        QTest::addColumn<QString>("name");
        for (const QString& name : changes().keys()) {
            QTest::newRow(qPrintable(name)) << name;
        }
        QTest::newRow("paste") << "paste";
        QTest::newRow("cut") << "cut";
    }
    void undoRedo() {
        QFETCH(QString, name);
        LibraryOperations ops(m_lib->db);
        QList<qint64> recorded;
        ops.undo().setRecorded([&recorded](qint64 change, const QString&) { recorded.append(change); });
        const QStringList before = Fixtures::exactContent(m_lib->db);
        {
            const LibraryUndo::Step step(ops.undo(), name);
            if (name == QLatin1String("paste")) {
                FakeSeqTextHost host;
                host.clipboard = Fixtures::generatorText(2, 3, QStringLiteral("C1"), 500);
                QCOMPARE(modSeqText::ReadSequenceText(m_lib->db, QString(), true, 1, host), 2);
            } else if (name == QLatin1String("cut")) {
                ops.deleteSequences({2, 3}, LibraryOperations::History::Delete);
            } else {
                changes().value(name)(ops);
            }
        }
        const QStringList after = Fixtures::exactContent(m_lib->db);
        QVERIFY(after != before);
        QCOMPARE(recorded.size(), 1);
        ops.undo().undo(recorded.front());
        QCOMPARE(Fixtures::exactContent(m_lib->db), before);
        ops.undo().redo(recorded.front());
        QCOMPARE(Fixtures::exactContent(m_lib->db), after);
        ops.undo().undo(recorded.front());
        QCOMPARE(Fixtures::exactContent(m_lib->db), before);
        ops.undo().redo(recorded.front());
        QCOMPARE(Fixtures::exactContent(m_lib->db), after);
        QVERIFY(!m_lib->db.inTransaction());
    }

    // A reorder that moves nothing writes nothing, so leaves nothing to undo; a change made after
    // an undo, whose redo step is then forgotten, is undone itself.
    void undoAfterUndo() {
        LibraryOperations ops(m_lib->db);
        QList<qint64> recorded;
        ops.undo().setRecorded([&recorded](qint64 change, const QString&) { recorded.append(change); });
        ops.renumberOrder({1, 2, 3});
        {
            const LibraryUndo::Step step(ops.undo(), QStringLiteral("order"));
            ops.renumberOrder({1, 2, 3});
        }
        QCOMPARE(recorded.size(), 0);
        const QStringList start = Fixtures::exactContent(m_lib->db);
        for (int state : {4, 5}) {
            {
                const LibraryUndo::Step step(ops.undo(), QStringLiteral("state"));
                ops.setState({1}, state);
            }
            if (recorded.size() == 2) {
                ops.undo().forget(recorded.front()); // as the window drops what can no longer be redone
            }
            ops.undo().undo(recorded.back());
            QCOMPARE(Fixtures::exactContent(m_lib->db), start);
        }
        QCOMPARE(recorded.size(), 2);
    }

    // Changes one after another, undone to the start and redone to the end; a failed change and a
    // search that changed nothing leave nothing to undo.
    void mixedChanges() {
        LibraryOperations ops(m_lib->db);
        QList<qint64> recorded;
        ops.undo().setRecorded([&recorded](qint64 change, const QString&) { recorded.append(change); });
        const QStringList start = Fixtures::exactContent(m_lib->db);
        const QStringList names{"call text",   "insert call into gaps", "delete call from gaps",
                                "state",       "delete history rows",   "formation",
                                "add history", "delete sequences"};
        for (const QString& name : names) {
            const LibraryUndo::Step step(ops.undo(), name);
            changes().value(name)(ops);
        }
        {
            const LibraryUndo::Step step(ops.undo(), QStringLiteral("failed"));
            QVERIFY_THROWS_EXCEPTION(DbError, ops.setCallText(1, 9, QStringLiteral("x")));
        }
        {
            m_lib->db.exec(QStringLiteral("CREATE TRIGGER refuse BEFORE DELETE ON tblSequence BEGIN "
                                          "SELECT RAISE(ABORT, 'refused'); END"));
            const LibraryUndo::Step step(ops.undo(), QStringLiteral("refused"));
            QVERIFY_THROWS_EXCEPTION(DbError, ops.deleteSequences({1, 2}));
            m_lib->db.exec(QStringLiteral("DROP TRIGGER refuse"));
        }
        {
            const LibraryUndo::Step step(ops.undo(), QStringLiteral("nothing"));
            QCOMPARE(ops.levels(), QStringList{QStringLiteral("Plus")});
        }
        QCOMPARE(recorded.size(), names.size());
        const QStringList end = Fixtures::exactContent(m_lib->db);
        for (auto change = recorded.crbegin(); change != recorded.crend(); ++change) {
            ops.undo().undo(*change);
        }
        QCOMPARE(Fixtures::exactContent(m_lib->db), start);
        for (const qint64 change : std::as_const(recorded)) {
            ops.undo().redo(change);
        }
        QCOMPARE(Fixtures::exactContent(m_lib->db), end);
    }

    // An undo that cannot get the library (another program writes) changes nothing and can be
    // tried again; after clear() nothing is recorded until a new step, and the file is gone.
    void undoThatFailsChangesNothing() {
        LibraryOperations ops(m_lib->db);
        qint64 recorded = 0;
        ops.undo().setRecorded([&recorded](qint64 change, const QString&) { recorded = change; });
        {
            const LibraryUndo::Step step(ops.undo(), QStringLiteral("delete"));
            ops.deleteSequences({1, 2, 3});
        }
        const QStringList deleted = Fixtures::exactContent(m_lib->db);
        Database other(m_lib->db.path());
        other.exec(QStringLiteral("BEGIN IMMEDIATE"));
        m_lib->db.setBusyTimeout(0);
        QVERIFY_THROWS_EXCEPTION(DbError, ops.undo().undo(recorded));
        QCOMPARE(Fixtures::exactContent(m_lib->db), deleted);
        other.exec(QStringLiteral("ROLLBACK"));
        ops.undo().undo(recorded);
        QCOMPARE(Fixtures::value(m_lib->db, QStringLiteral("SELECT count(*) FROM tblSequence")).toInt(), 3);
        const QString images =
            Fixtures::value(m_lib->db, QStringLiteral("SELECT file FROM pragma_database_list WHERE name = 'vornundo'"))
                .toString();
        QVERIFY(QFile::exists(images));
        ops.undo().clear();
        QVERIFY(!QFile::exists(images));
        QVERIFY(
            Fixtures::value(m_lib->db, QStringLiteral("SELECT file FROM pragma_database_list WHERE name = 'vornundo'"))
                .isNull());
    }

    // Without a temporary folder to keep images in, changes still go ahead, without undo, and the
    // failure is reported once, not at every change.
    void changesGoAheadWithoutUndo() {
        const QByteArray saved = qgetenv("TMPDIR");
        qputenv("TMPDIR", m_lib->home.path().toUtf8() + "/missing");
        LibraryOperations ops(m_lib->db);
        int recorded = 0;
        ops.undo().setRecorded([&recorded](qint64, const QString&) { ++recorded; });
        for (int state : {4, 5}) {
            const LibraryUndo::Step step(ops.undo(), QStringLiteral("State"));
            ops.setState({1}, state);
        }
        qputenv("TMPDIR", saved);
        QCOMPARE(Fixtures::value(m_lib->db, QStringLiteral("SELECT Property FROM tblSequence WHERE Sequence = 1")), 5);
        QCOMPARE(recorded, 0);
        QVERIFY(m_lib->box.reported(QStringLiteral("LibraryUndo.Step")));
        QCOMPARE(m_lib->box.prompts.size(), 1);
        m_lib->box.prompts.clear();
    }

    // What the panes read: a sequence's calls by its identity, its history by date; a second
    // sequence with the same level, date and time keeps its own.
    void reading() {
        m_lib->db.exec(QStringLiteral("INSERT INTO tblSequence (Sequence, Level, Date, Time) "
                                      "SELECT 50, Level, Date, Time FROM tblSequence WHERE Sequence = 2"));
        m_lib->db.exec(QStringLiteral("INSERT INTO tblCall (Sequence, Number, Call) VALUES (50, 3, 'twin')"));
        m_lib->db.exec(QStringLiteral("INSERT INTO tblHistory (Sequence, CallDate) VALUES (50, '2020-01-01'), "
                                      "(2, '2027-01-01'), (2, '2025-01-01')"));
        LibraryOperations ops(m_lib->db);
        const std::optional<SequenceHeader> header = ops.sequence(2);
        QVERIFY(header);
        QCOMPARE(header->title, QStringLiteral("generated sequence 1"));
        QList<int> numbers;
        for (const StoredCall& call : ops.calls(*header)) {
            numbers.append(call.number);
        }
        QCOMPARE(numbers, (QList<int>{1, 2, 4, 5}));
        QStringList dates;
        for (const HistoryRow& row : ops.history(*header)) {
            dates.append(row.callDate);
        }
        QCOMPARE(dates, (QStringList{"2025/01/01", "2026/01/02", "2027/01/01"}));
        QVERIFY(!ops.sequence(99));
        QCOMPARE(ops.levels(), QStringList{QStringLiteral("Plus")});
    }

private:
    std::optional<LibraryFixture> m_lib;
};

QTEST_GUILESS_MAIN(TestLibraryOperations)
#include "TestLibraryOperations.moc"
