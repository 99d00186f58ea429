#include "Database.h"
#include "Fixtures.h"
#include "TestHome.h"

#include <QFile>
#include <QProcess>
#include <QtTest>

// A large import killed with SIGKILL part-way leaves a library that opens, passes the integrity
// check and holds only whole sequences.
class TestImportCrash : public QObject {
    Q_OBJECT

private Q_SLOTS:
    void killedImportLeavesWholeSequences_data() {
        QTest::addColumn<int>("killAfterMs");
        QTest::newRow("early") << 50;
        QTest::newRow("late") << 400;
    }
    void killedImportLeavesWholeSequences() {
        QFETCH(int, killAfterMs);
        TestHome home;
        const int sequences = 4000;
        const int calls = 20;
        const QString text = home.file(QStringLiteral("big.Plus"));
        {
            QFile file(text);
            QVERIFY(file.open(QIODevice::WriteOnly));
            file.write(Fixtures::generatorText(sequences, calls).toUtf8());
        }
        const QString library = home.file(QStringLiteral("crash.mdb"));
        QCOMPARE(QProcess::execute(QStringLiteral(VORN_CLI_PATH), {QStringLiteral("new"), library}), 0);
        // One earlier, committed sequence must survive the crash.
        QProcess paste;
        paste.start(QStringLiteral(VORN_CLI_PATH), {QStringLiteral("paste"), library});
        paste.write(Fixtures::generatorText(1, calls, QStringLiteral("A1")).toUtf8());
        paste.closeWriteChannel();
        QVERIFY(paste.waitForFinished());
        QCOMPARE(paste.exitCode(), 0);

        QProcess import;
        import.start(QStringLiteral(VORN_CLI_PATH), {QStringLiteral("read"), library, text});
        QVERIFY(import.waitForStarted());
        QTest::qWait(killAfterMs);
        const bool killedWhileRunning = import.state() == QProcess::Running;
        import.kill();
        QVERIFY(import.waitForFinished());
        if (!killedWhileRunning) {
            QWARN("the import finished before it could be killed");
        }

        Database db(library);
        QCOMPARE(db.scalar(QStringLiteral("PRAGMA integrity_check")).toString(), QStringLiteral("ok"));
        const qint64 stored = db.scalar(QStringLiteral("SELECT count(*) FROM tblSequence")).toLongLong();
        QVERIFY(stored == 1 || stored == sequences + 1);
        QCOMPARE(
            Fixtures::value(db,
                            QStringLiteral("SELECT count(*) FROM tblSequence s WHERE "
                                           "(SELECT count(*) FROM tblCall c WHERE c.Sequence = s.Sequence) <> ? "
                                           "OR (SELECT count(*) FROM tblHistory h WHERE h.Sequence = s.Sequence) <> 1"),
                            {calls})
                .toInt(),
            0);
        QCOMPARE(db.scalar(QStringLiteral("SELECT count(*) FROM tblCall WHERE Sequence NOT IN "
                                          "(SELECT Sequence FROM tblSequence)"))
                     .toLongLong(),
                 qint64(0));
    }
};

QTEST_GUILESS_MAIN(TestImportCrash)
#include "TestImportCrash.moc"
