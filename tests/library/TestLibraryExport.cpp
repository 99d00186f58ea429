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
    return ExportSamples::rows(
        db, QStringLiteral("SELECT 'call', Sequence FROM tblCall WHERE Sequence NOT IN (SELECT Sequence FROM "
                           "tblSequence) UNION ALL SELECT 'history', Sequence FROM tblHistory WHERE Sequence NOT IN "
                           "(SELECT Sequence FROM tblSequence)"));
}

} // namespace

// Moving sequences between two library files on one connection: which sequences the filter
// takes, what arrives in the target, and that a failure or a killed process leaves every sequence
// whole in exactly one of the files.
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
        QTest::addColumn<QStringList>("moved");
        const QString any;
        QTest::newRow("no filter") << any << any << any << -1 << QStringList{"A", "B", "C", "D", "E", "F"};
        QTest::newRow("from, inclusive") << "2002/01/05" << any << any << -1 << QStringList{"B", "C", "D", "E", "F"};
        QTest::newRow("to, inclusive") << any << "2002/01/20" << any << -1 << QStringList{"A", "B", "C", "D"};
        QTest::newRow("range") << QStringLiteral("2002/01/05") << "2002/01/20" << any << -1
                               << QStringList{"B", "C", "D"};
        QTest::newRow("level") << any << any << "Plus" << -1 << QStringList{"A", "B", "D"};
        QTest::newRow("state 0") << any << any << any << 0 << QStringList{"A", "C", "E"};
        QTest::newRow("level and state") << any << any << "A1" << 1 << QStringList{"F"};
        QTest::newRow("all four") << QStringLiteral("2002/01/01") << QStringLiteral("2002/01/31") << "Plus" << 2
                                  << QStringList{"D"};
        QTest::newRow("a level with a quote") << any << any << "it's" << -1 << QStringList{};
    }
    void filter() {
        QFETCH(QString, begin);
        QFETCH(QString, end);
        QFETCH(QString, level);
        QFETCH(int, state);
        QFETCH(QStringList, moved);
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
        QVERIFY(!db.inTransaction());

        QStringList kept{"A", "B", "C", "D", "E", "F"};
        for (const QString& title : moved) {
            kept.removeOne(title);
        }
        QCOMPARE(ExportSamples::rows(db, QStringLiteral("SELECT Title FROM main.tblSequence ORDER BY Title")), kept);
        QCOMPARE(ExportSamples::rows(db, QStringLiteral("SELECT Title FROM target.tblSequence ORDER BY Title")), moved);
        QCOMPARE(orphans(db), QStringList());
        QCOMPARE(exporter.count(filter), qint64(0));
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
        QTEST(ExportSamples::rows(target, QStringLiteral("SELECT Title, OrderNo FROM tblSequence ORDER BY OrderNo")),
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
        {
            Database db(m_source);
            for (const char* table : {"tblCall", "tblHistory", "tblSequence"}) {
                db.exec(QStringLiteral("DELETE FROM ") + QLatin1String(table) + QStringLiteral(" WHERE Sequence = 1"));
            }
        }
        addTo(m_target, {{"resident 1"}, {"resident 2"}, {"resident 3"}});
        QStringList sourceBefore;
        QStringList expectedTarget;
        {
            Database source(m_source);
            sourceBefore = ExportSamples::content(source);
            Database target(m_target);
            expectedTarget = ExportSamples::content(target);
        }
        QCOMPARE(sourceBefore.size(), 3);
        expectedTarget << sourceBefore[0] << sourceBefore[2];
        expectedTarget.sort();
        {
            Database db(m_source);
            QCOMPARE(LibraryExport(db, m_target).move({QString(), QStringLiteral("2002/01/31"), QString(), -1}),
                     qint64(2));
        }
        Database source(m_source);
        QCOMPARE(ExportSamples::content(source), QStringList{sourceBefore[1]});
        QCOMPARE(ExportSamples::rows(source, QStringLiteral("SELECT Sequence FROM tblSequence")), QStringList{"3"});
        Database target(m_target);
        QCOMPARE(ExportSamples::content(target), expectedTarget);
        QCOMPARE(ExportSamples::rows(target, QStringLiteral("SELECT Sequence, Title FROM tblSequence WHERE Sequence > "
                                                            "3 ORDER BY Sequence")),
                 (QStringList{"4|one", "5|two"}));
        QCOMPARE(orphans(source), QStringList());
        QCOMPARE(orphans(target), QStringList());
    }

    // A failure at any step of the move (a trigger refuses one row) leaves both files exactly as
    // they were, byte for byte.
    void failureChangesNeitherFile_data() {
        QTest::addColumn<bool>("inTarget");
        QTest::addColumn<QString>("trigger");
        QTest::newRow("third of five sequences")
            << true << "BEFORE INSERT ON tblSequence WHEN (SELECT count(*) FROM tblSequence) = 2";
        QTest::newRow("a call of the fourth") << true << "BEFORE INSERT ON tblCall WHEN NEW.Call = 'S4 call 2'";
        QTest::newRow("history of the fifth") << true << "BEFORE INSERT ON tblHistory WHEN NEW.PartyName LIKE '%S5'";
        QTest::newRow("removing the second's calls") << false << "BEFORE DELETE ON tblCall WHEN OLD.Call = 'S2 call 3'";
        QTest::newRow("removing the last sequence") << false << "BEFORE DELETE ON tblSequence WHEN OLD.Title = 'S5'";
    }
    void failureChangesNeitherFile() {
        QFETCH(bool, inTarget);
        QFETCH(QString, trigger);
        addTo(m_source, {{"S1"}, {"S2"}, {"S3"}, {"S4"}, {"S5"}});
        {
            Database db(inTarget ? m_target : m_source);
            db.exec(QStringLiteral("CREATE TRIGGER refuse %1 BEGIN SELECT RAISE(ABORT, 'refused'); END").arg(trigger));
        }
        const QByteArray source = ExportSamples::bytes(m_source);
        const QByteArray target = ExportSamples::bytes(m_target);
        {
            Database db(m_source);
            LibraryExport exporter(db, m_target);
            QVERIFY_THROWS_EXCEPTION(DbError, exporter.move({}));
            QVERIFY(exporter.transactionBegun());
            QVERIFY(!db.inTransaction());
            QCOMPARE(exporter.count({}), qint64(5));
        }
        QVERIFY(ExportSamples::bytes(m_source) == source);
        QVERIFY(ExportSamples::bytes(m_target) == target);
        QVERIFY(!QFileInfo::exists(m_source + QStringLiteral("-journal")));
        QVERIFY(!QFileInfo::exists(m_target + QStringLiteral("-journal")));
    }

    // A process killed at any moment of a large move leaves two sound files in which every
    // sequence is whole in exactly one of them.
    void killedMoveLosesNothing() {
        constexpr int kSequences = 3000;
        const QString masterSource = m_home->file(QStringLiteral("master-source.mdb"));
        const QString masterTarget = m_home->file(QStringLiteral("master-target.mdb"));
        modDataBase::CreateLibrary(masterSource);
        {
            Database db(masterSource);
            db.exec(QStringLiteral("WITH RECURSIVE n(i) AS (SELECT 1 UNION ALL SELECT i + 1 FROM n WHERE i < %1) "
                                   "INSERT INTO tblSequence (Level, [Date], [Time], Title, OrderNo) "
                                   "SELECT 'Plus', '2026/01/01', printf('%06d', i), 'sequence ' || i, i FROM n")
                        .arg(kSequences));
            db.exec(QStringLiteral(
                "INSERT INTO tblCall (Sequence, Number, Call, HexInfo) SELECT s.Sequence, c.value, "
                "printf('%0300d', s.Sequence), 'hex' FROM tblSequence s, json_each('[1,2,3,4,5,6,7,8,9,10]') c"));
            db.exec(QStringLiteral("INSERT INTO tblHistory (Sequence, CallDate, PartyName) SELECT Sequence, "
                                   "'2026-01-01', 'Club' FROM tblSequence"));
        }
        QVERIFY(QFile::copy(m_target, masterTarget));
        addTo(masterTarget, {{"resident", "C1", "2002/01/01", 0, 1, 10, 1}});

        const auto fresh = [&] {
            QFile::remove(m_source);
            QFile::remove(m_target);
            return QFile::copy(masterSource, m_source) && QFile::copy(masterTarget, m_target);
        };
        QVERIFY(fresh());
        const qint64 fullRun = Fixtures::runMicros([&] {
            Database db(m_source);
            QCOMPARE(LibraryExport(db, m_target).move({}), qint64(kSequences));
        });
        QRandomGenerator random(20261210);
        int interrupted = 0;
        for (int round = 0; round < 16; ++round) {
            QVERIFY(fresh());
            QVERIFY(Fixtures::killMidway(random, fullRun, [&](const auto& ready) {
                Database db(m_source);
                LibraryExport exporter(db, m_target);
                ready();
                exporter.move({});
            }));
            if (QFileInfo::exists(m_source + QStringLiteral("-journal")) ||
                QFileInfo::exists(m_target + QStringLiteral("-journal"))) {
                ++interrupted;
            }
            // Whichever file is opened first finds the other's journal through the super-journal.
            Database target(m_target);
            Database source(m_source);
            QStringList everywhere;
            for (Database* db : {&source, &target}) {
                QCOMPARE(db->scalar(QStringLiteral("PRAGMA integrity_check")).toString(), QStringLiteral("ok"));
                QCOMPARE(ExportSamples::rows(
                             *db, QStringLiteral("SELECT Title FROM tblSequence s WHERE (SELECT count(*) FROM "
                                                 "tblCall c WHERE c.Sequence = s.Sequence AND c.HexInfo IS NOT "
                                                 "NULL) != 10 OR (SELECT count(*) FROM tblHistory h WHERE "
                                                 "h.Sequence = s.Sequence) != 1")),
                         QStringList());
                QCOMPARE(orphans(*db), QStringList());
                everywhere += ExportSamples::titles(*db);
            }
            QCOMPARE(everywhere.size(), kSequences + 1);
            QCOMPARE(QSet<QString>(everywhere.begin(), everywhere.end()).size(), kSequences + 1);
            const int moved = target.scalar(QStringLiteral("SELECT count(*) FROM tblSequence")).toInt() - 1;
            QVERIFY2(moved == 0 || moved == kSequences, qPrintable(QString::number(moved)));
        }
        // The kills must have hit moves under way, or the test proved nothing.
        QVERIFY2(interrupted > 0, "no move was interrupted");
    }
};

QTEST_GUILESS_MAIN(TestLibraryExport)
#include "TestLibraryExport.moc"
