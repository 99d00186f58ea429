#include "DbError.h"
#include "FakeSeqTextHost.h"
#include "Fixtures.h"
#include "LibraryOperations.h"
#include "modSeqText.h"

#include <QtTest>
#include <functional>
#include <optional>

namespace {

using Change = std::function<void(LibraryOperations&)>;

// Every row of the three sequence tables, one text per row, for before/after comparisons.
QStringList content(Database& db) {
    QStringList rows;
    for (const char* sql : {"SELECT 'S', Sequence, Level, Title, Property, OrderNo FROM tblSequence ORDER BY Sequence",
                            "SELECT 'C', Sequence, Number, Call, Figure, Note, HexInfo FROM tblCall ORDER BY 2, 3",
                            "SELECT 'H', History, Sequence, CallDate, PartyName FROM tblHistory ORDER BY History"}) {
        Statement statement = db.prepare(QLatin1String(sql));
        while (statement.step()) {
            QStringList fields;
            for (int i = 0; i < statement.columnCount(); ++i) {
                fields.append(statement.text(i));
            }
            rows.append(fields.join(QLatin1Char('|')));
        }
    }
    return rows;
}

QStringList rowsOf(Database& db, const QString& sql) {
    Statement statement = db.prepare(sql);
    QStringList rows;
    while (statement.step()) {
        QStringList fields;
        for (int i = 0; i < statement.columnCount(); ++i) {
            fields.append(statement.text(i));
        }
        rows.append(fields.join(QLatin1Char('|')));
    }
    return rows;
}

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
        QTEST(rowsOf(m_lib->db, query), "expected");
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
        const QStringList before = content(m_lib->db);
        LibraryOperations ops(m_lib->db);
        QVERIFY_THROWS_EXCEPTION(DbError, changes().value(QString::fromLatin1(QTest::currentDataTag()))(ops));
        QCOMPARE(content(m_lib->db), before);
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

    // What the panes read: a sequence's calls by its identity, its history by date.
    void reading() {
        LibraryOperations ops(m_lib->db);
        const std::optional<SequenceHeader> header = ops.sequence(2);
        QVERIFY(header);
        QCOMPARE(header->title, QStringLiteral("generated sequence 1"));
        QList<int> numbers;
        for (const StoredCall& call : ops.calls(*header)) {
            numbers.append(call.number);
        }
        QCOMPARE(numbers, (QList<int>{1, 2, 4, 5}));
        QCOMPARE(ops.history(*header).front().callDate, QStringLiteral("2026/01/02"));
        QVERIFY(!ops.sequence(99));
        QCOMPARE(ops.levels(), QStringList{QStringLiteral("Plus")});
    }

private:
    std::optional<LibraryFixture> m_lib;
};

QTEST_GUILESS_MAIN(TestLibraryOperations)
#include "TestLibraryOperations.moc"
