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
using Keys = QList<qint64>;

const char* const kRefuse = "CREATE TRIGGER refuse %1 BEGIN SELECT RAISE(ABORT, 'refused'); END";

void paste(LibraryOperations& ops) {
    FakeSeqTextHost host;
    host.clipboard = Fixtures::generatorText(2, 3, QStringLiteral("C1"), 500);
    QCOMPARE(modSeqText::ReadSequenceText(ops.database(), QString(), true, 1, host), 2);
}

// Older files number calls from 0.
LibraryOperations& fromZero(LibraryOperations& ops) {
    ops.database().exec(QStringLiteral("UPDATE tblCall SET Number = Number - 1 WHERE Sequence = 3"));
    return ops;
}

const QHash<QString, Change>& changes() {
    using Ops = LibraryOperations;
    static const HistoryEntry club1{QStringLiteral("2026-01-02"), QStringLiteral("Club 1")};
    static const QHash<QString, Change> table{
        {"state", [](Ops& ops) { ops.setState(Keys() << 1 << 3, 11); }},
        {"title", [](Ops& ops) { ops.setTitle(2, QStringLiteral("it's new")); }},
        {"level", [](Ops& ops) { ops.changeLevel(Keys() << 2 << 3, QStringLiteral("C1")); }},
        {"delete sequences", [](Ops& ops) { ops.deleteSequences(Keys() << 1 << 3); }},
        {"cut", [](Ops& ops) { ops.deleteSequences(Keys() << 2 << 3, Ops::History::Delete); }},
        {"paste", paste},
        {"order", [](Ops& ops) { ops.renumberOrder(Keys() << 3 << 1 << 2); }},
        {"add history", [](Ops& ops) { ops.addHistory(Keys() << 1 << 2, QDate(2026, 12, 6), "Club 'A'"); }},
        {"delete history entry", [](Ops& ops) { ops.deleteHistoryEntry(Keys() << 1 << 2 << 3, club1); }},
        {"delete history rows", [](Ops& ops) { ops.deleteHistoryRows(Keys() << 1 << 3); }},
        {"history date", [](Ops& ops) { ops.setHistoryDate(2, QDate(2002, 1, 5)); }},
        {"history party", [](Ops& ops) { ops.setHistoryParty(2, QStringLiteral("Party")); }},
        {"insert call into gaps", [](Ops& ops) { QCOMPARE(ops.insertCall(2, 3), 3); }},
        {"insert call past the end", [](Ops& ops) { QCOMPARE(ops.insertCall(1, 99), 5); }},
        {"delete call from gaps", [](Ops& ops) { QVERIFY(ops.deleteCall(2, 2)); }},
        {"delete the last call", [](Ops& ops) { QVERIFY(ops.deleteCall(2, 4)); }},
        {"insert call, numbered from 0", [](Ops& ops) { QCOMPARE(fromZero(ops).insertCall(3, 1), 1); }},
        {"delete call, numbered from 0", [](Ops& ops) { QVERIFY(fromZero(ops).deleteCall(3, 1)); }},
        {"call text", [](Ops& ops) { ops.setCallText(1, 2, QStringLiteral("{b Swing}")); }},
        {"hexagon offsets", [](Ops& ops) { ops.setHexInfo(1, 1, QStringLiteral("1,2,0,1")); }},
        {"formation", [](Ops& ops) { ops.setFormation(3, 4, " 1B^", QStringLiteral("n"), "2"); }},
    };
    return table;
}

} // namespace

// The library's changes without a window: what each one stores, what its undo and redo give back,
// and that a failure part-way stores nothing.
class TestLibraryOperations : public QObject {
    Q_OBJECT

    std::optional<LibraryFixture> m_lib;
    std::optional<LibraryOperations> m_ops;
    QList<qint64> m_recorded;

    QStringList content() { return Fixtures::exactContent(m_lib->db); }
    void run(const QString& name) {
        const LibraryUndo::Step step(m_ops->undo(), name);
        changes().value(name)(*m_ops);
    }

private Q_SLOTS:
    // Three Plus sequences (keys 1-3) of four calls each with one history row each; sequence 2's
    // calls are numbered 1, 2, 4, 5; each call's note is "sequence.number".
    void init() {
        m_lib.emplace();
        FakeSeqTextHost host;
        host.clipboard = Fixtures::generatorText(3, 4);
        QCOMPARE(modSeqText::ReadSequenceText(m_lib->db, QString(), true, -1, host), 3);
        m_lib->db.exec(QStringLiteral("UPDATE tblCall SET Number = -Number WHERE Sequence = 2 AND Number >= 3"));
        m_lib->db.exec(QStringLiteral("UPDATE tblCall SET Number = 1 - Number WHERE Sequence = 2 AND Number < 0"));
        m_lib->db.exec(QStringLiteral("UPDATE tblCall SET Note = Sequence || '.' || Number"));
        m_ops.emplace(m_lib->db);
        m_recorded.clear();
        m_ops->undo().setRecorded([this](qint64 change, const QString&) { m_recorded.append(change); });
    }
    void cleanup() {
        m_ops.reset();
        m_lib.reset();
    }

    // Each change against the rows it leaves (a query over the table it changes); undone, every row
    // as it was, keys and all; redone, as the change left them, twice over. With a trigger refusing
    // its last step, the change stores nothing at all.
    void change_data() {
        QTest::addColumn<QString>("query");
        QTest::addColumn<QStringList>("expected");
        QTest::addColumn<QString>("trigger"); // refuses a late step; empty: none tried
        const auto row = [](const char* name, const QString& query, const QStringList& expected,
                            const char* trigger = "") { QTest::newRow(name) << query << expected << QString(trigger); };
        const QString sequences = QStringLiteral("SELECT Sequence, Level, Title, Property, OrderNo FROM tblSequence");
        const QString counts = "SELECT 'S', Sequence FROM tblSequence UNION ALL SELECT 'C', count(*) FROM tblCall "
                               "UNION ALL SELECT 'H', count(*) FROM tblHistory";
        const QString calls = QStringLiteral("SELECT Number, Note FROM tblCall WHERE Sequence = %1 ORDER BY Number");
        const QString history = QStringLiteral("SELECT History, Sequence, CallDate, PartyName FROM tblHistory");
        const QString call = QStringLiteral("SELECT %1 FROM tblCall WHERE Sequence = 1 AND Number = %2");
        row("state", sequences,
            {"1|Plus|generated sequence 0|11|1", "2|Plus|generated sequence 1|0|1", "3|Plus|generated sequence 2|11|1"},
            "BEFORE UPDATE ON tblSequence WHEN NEW.Sequence = 3");
        row("title", sequences + " WHERE Sequence = 2", {"2|Plus|it's new|0|1"});
        row("level", "SELECT Sequence, Level FROM tblSequence", {"1|Plus", "2|C1", "3|C1"},
            "BEFORE UPDATE ON tblSequence WHEN NEW.Sequence = 3");
        row("delete sequences", counts, {"S|2", "C|4", "H|3"}, "BEFORE DELETE ON tblSequence");
        row("cut", counts, {"S|1", "C|4", "H|1"}, "BEFORE DELETE ON tblHistory WHEN OLD.Sequence = 3");
        row("paste", "SELECT Level, OrderNo FROM tblSequence ORDER BY Sequence",
            {"Plus|3", "Plus|3", "Plus|3", "C1|1", "C1|1"});
        row("order", "SELECT Sequence, OrderNo FROM tblSequence", {"1|2", "2|3", "3|1"},
            "BEFORE UPDATE ON tblSequence WHEN NEW.Sequence = 2");
        row("add history", history + " WHERE History > 3", {"4|1|2026-12-06|Club 'A'", "5|2|2026-12-06|Club 'A'"},
            "BEFORE INSERT ON tblHistory WHEN NEW.Sequence = 2");
        row("delete history entry", history, {"1|1|2026-01-01|Club 0", "3|3|2026-01-03|Club 2"});
        row("delete history rows", history, {"2|2|2026-01-02|Club 1"},
            "BEFORE DELETE ON tblHistory WHEN OLD.History = 3");
        row("history date", history + " WHERE History = 2", {"2|2|2002-01-05|Club 1"});
        row("history party", history + " WHERE History = 2", {"2|2|2026-01-02|Party"});
        row("insert call into gaps", calls.arg(2), {"1|2.1", "2|2.2", "3|", "4|2.4", "5|2.5"},
            "BEFORE INSERT ON tblCall");
        row("insert call past the end", calls.arg(1), {"1|1.1", "2|1.2", "3|1.3", "4|1.4", "5|"});
        row("delete call from gaps", calls.arg(2), {"1|2.1", "2|2.4", "3|2.5"},
            "BEFORE UPDATE ON tblCall WHEN NEW.Number = 3");
        row("delete the last call", calls.arg(2), {"1|2.1", "2|2.2", "3|2.4"});
        row("insert call, numbered from 0", calls.arg(3), {"1|", "2|3.1", "3|3.2", "4|3.3", "5|3.4"});
        row("delete call, numbered from 0", calls.arg(3), {"1|3.2", "2|3.3", "3|3.4"});
        row("call text", call.arg("Call").arg(2), {"{b Swing}"});
        row("hexagon offsets", call.arg("HexInfo").arg(1), {"1,2,0,1"});
        row("formation", call.arg("Figure, Note, HexInfo").arg(4).replace("= 1", "= 3"), {" 1B^|n|2"},
            "BEFORE UPDATE ON tblCall");
    }
    void change() {
        QFETCH(QString, query);
        QFETCH(QString, trigger);
        const QString name = QString::fromLatin1(QTest::currentDataTag());
        const QStringList before = content();
        if (!trigger.isEmpty()) {
            m_lib->db.exec(QString::fromLatin1(kRefuse).arg(trigger));
            QVERIFY_THROWS_EXCEPTION(DbError, run(name));
            QCOMPARE(content(), before);
            m_lib->db.exec(QStringLiteral("DROP TRIGGER refuse"));
        }
        run(name);
        QTEST(Fixtures::rows(m_lib->db, query), "expected");
        const QStringList after = content();
        QVERIFY(after != before);
        QCOMPARE(m_recorded.size(), 1);
        for (int round = 0; round < 2; ++round) {
            m_ops->undo().undo(m_recorded.front());
            QCOMPARE(content(), before);
            m_ops->undo().redo(m_recorded.front());
            QCOMPARE(content(), after);
        }
        QVERIFY(!m_lib->db.inTransaction());
    }

    // A change aimed at a row that is not there is a failure, not a silent success.
    void missingRowsAreFailures() {
        QVERIFY_THROWS_EXCEPTION(DbError, m_ops->setCallText(1, 9, QStringLiteral("x")));
        QVERIFY_THROWS_EXCEPTION(DbError, m_ops->setTitle(99, QStringLiteral("x")));
        QVERIFY_THROWS_EXCEPTION(DbError, m_ops->setHistoryDate(99, QDate(2002, 1, 5)));
        QVERIFY(!m_ops->deleteCall(1, 9));
        QVERIFY(!m_ops->hasCall(2, 3));
    }

    // Changes one after another, undone to the start and redone to the end; a failed change, a
    // search that changed nothing and a reorder that moves nothing leave nothing to undo. A change
    // made after an undo, whose redo step is then forgotten, is undone itself; after clear() the
    // images are gone.
    void mixedChanges() {
        const QStringList start = content();
        const QStringList names{"call text",   "insert call into gaps", "delete call from gaps",
                                "state",       "delete history rows",   "formation",
                                "add history", "delete sequences"};
        for (const QString& name : names) {
            run(name);
        }
        {
            const LibraryUndo::Step step(m_ops->undo(), QStringLiteral("failed"));
            QVERIFY_THROWS_EXCEPTION(DbError, m_ops->setCallText(1, 9, QStringLiteral("x")));
        }
        {
            const LibraryUndo::Step step(m_ops->undo(), QStringLiteral("nothing"));
            QCOMPARE(m_ops->levels(), QStringList{QStringLiteral("Plus")});
            m_ops->renumberOrder({2});
        }
        QCOMPARE(m_recorded.size(), names.size());
        const QStringList end = content();
        for (auto change = m_recorded.crbegin(); change != m_recorded.crend(); ++change) {
            m_ops->undo().undo(*change);
        }
        QCOMPARE(content(), start);
        for (const qint64 change : std::as_const(m_recorded)) {
            m_ops->undo().redo(change);
        }
        QCOMPARE(content(), end);
        m_ops->undo().undo(m_recorded.back());
        const QStringList undone = content();
        run(QStringLiteral("title"));
        m_ops->undo().forget(m_recorded[m_recorded.size() - 2]); // as the window drops what can no longer be redone
        m_ops->undo().undo(m_recorded.back());
        QCOMPARE(content(), undone);
        const QString images = QStringLiteral("SELECT file FROM pragma_database_list WHERE name = 'vornundo'");
        QVERIFY(QFile::exists(Fixtures::value(m_lib->db, images).toString()));
        m_ops->undo().clear();
        QVERIFY(Fixtures::value(m_lib->db, images).isNull());
    }

    // What the panes read: a sequence's calls by its identity, its history by date; a second
    // sequence with the same level, date and time keeps its own.
    void reading() {
        m_lib->db.exec(QStringLiteral("INSERT INTO tblSequence (Sequence, Level, Date, Time) "
                                      "SELECT 50, Level, Date, Time FROM tblSequence WHERE Sequence = 2"));
        m_lib->db.exec(QStringLiteral("INSERT INTO tblCall (Sequence, Number, Call) VALUES (50, 3, 'twin')"));
        m_lib->db.exec(QStringLiteral("INSERT INTO tblHistory (Sequence, CallDate) VALUES (50, '2020-01-01'), "
                                      "(2, '2027-01-01'), (2, '2025-01-01')"));
        const std::optional<SequenceHeader> header = m_ops->sequence(2);
        QVERIFY(header);
        QCOMPARE(header->title, QStringLiteral("generated sequence 1"));
        QStringList read;
        for (const StoredCall& call : m_ops->calls(*header)) {
            read.append(QString::number(call.number));
        }
        for (const HistoryRow& row : m_ops->history(*header)) {
            read.append(row.callDate);
        }
        QCOMPARE(read, (QStringList{"1", "2", "4", "5", "2025/01/01", "2026/01/02", "2027/01/01"}));
        QVERIFY(!m_ops->sequence(99));
    }
};

QTEST_GUILESS_MAIN(TestLibraryOperations)
#include "TestLibraryOperations.moc"
