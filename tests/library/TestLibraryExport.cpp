#include "DbError.h"
#include "ExportSamples.h"
#include "Fixtures.h"
#include "LibraryExport.h"
#include "TestHome.h"
#include "modDataBase.h"

#include <QtTest>
#include <optional>

using ExportSamples::Sample;

Q_DECLARE_METATYPE(ExportSamples::Sample)

namespace {

QStringList orphans(Database& db) {
    return Fixtures::rows(
        db, QStringLiteral("SELECT 'call', Sequence FROM tblCall WHERE Sequence NOT IN (SELECT Sequence FROM "
                           "tblSequence) UNION ALL SELECT 'history', Sequence FROM tblHistory WHERE Sequence NOT IN "
                           "(SELECT Sequence FROM tblSequence)"));
}

} // namespace

// Moving sequences between two library files on one connection: which sequences the filter
// takes and what arrives in the target (interruptions: TestInterruption).
class TestLibraryExport : public QObject {
    Q_OBJECT

    QString m_source;
    QString m_target;
    std::optional<TestHome> m_home;

    void addTo(const QString& path, const QList<Sample>& samples) {
        Database db(path);
        for (const Sample& sample : samples) {
            ExportSamples::add(db, sample);
        }
    }

private Q_SLOTS:
    void init() {
        m_home.emplace();
        m_source = m_home->file(QStringLiteral("source.mdb"));
        m_target = m_home->file(QStringLiteral("target.mdb"));
        modDataBase::CreateLibrary(m_source);
        modDataBase::CreateLibrary(m_target);
    }
    void cleanup() { m_home.reset(); }

    void filter_data() {
        QTest::addColumn<QString>("begin");
        QTest::addColumn<QString>("end");
        QTest::addColumn<QString>("level");
        QTest::addColumn<int>("state");
        QTest::addColumn<QString>("moved"); // the titles
        const auto row = [](const char* name, const char* begin, const char* end, const char* level, int state,
                            const char* moved) {
            QTest::newRow(name) << QString(begin) << QString(end) << QString(level) << state << QString(moved);
        };
        row("no filter", "", "", "", -1, "ABCDEF");
        row("from, inclusive", "2002/01/05", "", "", -1, "BCDEF");
        row("to, inclusive", "", "2002/01/20", "", -1, "ABCD");
        row("range", "2002/01/05", "2002/01/20", "", -1, "BCD");
        row("level", "", "", "Plus", -1, "ABD");
        row("state 0", "", "", "", 0, "ACE");
        row("all four", "2002/01/01", "2002/01/31", "Plus", 2, "D");
        row("a level with a quote", "", "", "it's", -1, "");
    }
    void filter() {
        QFETCH(QString, begin);
        QFETCH(QString, end);
        QFETCH(QString, level);
        QFETCH(int, state);
        QFETCH(QString, moved);
        addTo(m_source, {{"A", "Plus", "2002/01/04", 0, 1},
                         {"B", "Plus", "2002/01/05", 1, 2},
                         {"C", "A1", "2002/01/10", 0, 1},
                         {"D", "Plus", "2002/01/20", 2, 3},
                         {"E", "C1", "2002/01/21", 0, 1},
                         {"F", "A1", "2002/02/01", 1, 2}});
        Database db(m_source);
        LibraryExport exporter(db, m_target);
        const ExportFilter filter{begin, end, level, state};
        QCOMPARE(exporter.count(filter), qint64(moved.size()));
        QCOMPARE(exporter.move(filter), qint64(moved.size()));
        QString kept = QStringLiteral("ABCDEF");
        kept.removeIf([&moved](QChar title) { return moved.contains(title); });
        const QString titles = QStringLiteral("SELECT ifnull(group_concat(Title, ''), '') FROM (SELECT Title FROM "
                                              "%1.tblSequence ORDER BY Title)");
        QCOMPARE(Fixtures::value(db, titles.arg("main")).toString() + '/' +
                     Fixtures::value(db, titles.arg("target")).toString(),
                 kept + '/' + moved);
        QCOMPARE(orphans(db), QStringList());
        // Moving everything leaves the source's tables in place, empty.
        QVERIFY(modDataBase::IsCurrent(db));
    }

    // A target that is not there is a failure, and is not made as an empty file.
    void missingTargetIsNotCreated() {
        const QString missing = m_home->file(QStringLiteral("missing.mdb"));
        Database db(m_source);
        QVERIFY_THROWS_EXCEPTION(DbError, LibraryExport(db, missing));
        QVERIFY(!QFileInfo::exists(missing));
    }

    // The moved sequences take the target's next OrderNo values, in the source's list order.
    void orderNoContinues_data() {
        QTest::addColumn<QList<Sample>>("resident");
        QTest::addColumn<QStringList>("expected");
        QTest::newRow("empty target") << QList<Sample>{} << QStringList{"Y|1", "Z|2", "X|3"};
        QTest::newRow("highest 7") << QList<Sample>{{"R1", "C1", "2001/01/01", 0, 7}, {"R2", "A1", "2003/01/01", 0, 2}}
                                   << QStringList{"R2|2", "R1|7", "Y|8", "Z|9", "X|10"};
    }
    void orderNoContinues() {
        QFETCH(QList<Sample>, resident);
        addTo(m_target, resident);
        addTo(m_source,
              {{"X", "Plus", "2002/01/01", 0, 3}, {"Y", "Plus", "2002/01/09", 0, 1}, {"Z", "A2", "2002/01/02", 0, 2}});
        Database db(m_source);
        LibraryExport(db, m_target).move({});
        Database target(m_target);
        QTEST(Fixtures::rows(target, QStringLiteral("SELECT Title, OrderNo FROM tblSequence ORDER BY OrderNo")),
              "expected");
    }

    // Every field of a moved sequence, its calls (hexagon offsets too) and its history arrive
    // under the key the target gives it; the target's own sequences and the one left behind keep
    // theirs.
    void callsAndHistoryFollow() {
        addTo(m_source, {{"gone"},
                         {"one", "Plus", "2002/01/05", 3, 1, 5, 2},
                         {"stays", "C1", "2002/02/01"},
                         {"two", "A2", "2002/01/20", 13, 4, 1, 0}});
        addTo(m_target, {{"resident 1"}, {"resident 2"}, {"resident 3"}});
        Database db(m_source);
        Database target(m_target);
        for (const char* table : {"tblCall", "tblHistory", "tblSequence"}) {
            db.exec(QStringLiteral("DELETE FROM %1 WHERE Sequence = 1").arg(QLatin1String(table)));
        }
        const QStringList source = ExportSamples::content(db);
        QStringList expected = ExportSamples::content(target) + QStringList{source[0], source[2]};
        expected.sort();
        QCOMPARE(LibraryExport(db, m_target).move({QString(), QStringLiteral("2002/01/31"), QString(), -1}), qint64(2));
        QCOMPARE(ExportSamples::content(db), QStringList{source[1]});
        QCOMPARE(ExportSamples::content(target), expected);
        const QString keys = QStringLiteral("SELECT Sequence, Title FROM tblSequence WHERE Sequence > %1");
        QCOMPARE(Fixtures::rows(db, keys.arg(0)) + Fixtures::rows(target, keys.arg(3)),
                 (QStringList{"3|stays", "4|one", "5|two"}));
        QCOMPARE(orphans(db) + orphans(target), QStringList());
    }

    // A target another program switched to WAL is taken back to a rollback journal, the only one
    // that keeps a commit over two files atomic.
    void walTargetIsSwitchedBack() {
        addTo(m_source, {{"A"}, {"B"}});
        {
            Database target(m_target);
            QCOMPARE(target.scalar(QStringLiteral("PRAGMA journal_mode = WAL")).toString(), QStringLiteral("wal"));
        }
        Database db(m_source);
        QCOMPARE(LibraryExport(db, m_target).move({}), qint64(2));
        Database target(m_target);
        QCOMPARE(target.scalar(QStringLiteral("PRAGMA journal_mode")).toString(), QStringLiteral("delete"));
        QCOMPARE(ExportSamples::titles(target), (QStringList{"A", "B"}));
    }
};

QTEST_GUILESS_MAIN(TestLibraryExport)
#include "TestLibraryExport.moc"
