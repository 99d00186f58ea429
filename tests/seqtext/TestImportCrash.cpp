#include "Database.h"
#include "Fixtures.h"
#include "TestHome.h"

#include <QElapsedTimer>
#include <QFile>
#include <QProcess>
#include <QThread>
#include <QtTest>

// A large import killed with SIGKILL part-way, or killed while the library is compacted on close,
// leaves a library that opens, passes the integrity check and holds only whole sequences.
class TestImportCrash : public QObject {
    Q_OBJECT

private Q_SLOTS:
    void killedImportLeavesWholeSequences_data() {
        QTest::addColumn<QString>("signalFile");
        QTest::addColumn<bool>("importCommitted");
        QTest::newRow("while importing") << "crash.mdb-journal" << false;
        QTest::newRow("while compacting") << "Temp/crash.mdb" << true;
    }
    void killedImportLeavesWholeSequences() {
        QFETCH(QString, signalFile);
        QFETCH(bool, importCommitted);
        TestHome home;
        const int sequences = 8000;
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
        // The moment to kill is the appearance of the file the step writes.
        QElapsedTimer clock;
        clock.start();
        while (!QFile::exists(home.file(signalFile)) && import.state() == QProcess::Running &&
               clock.elapsed() < 60000) {
            QThread::usleep(200);
        }
        const bool killedWhileRunning = import.state() == QProcess::Running;
        import.kill();
        import.waitForFinished();
        QVERIFY2(killedWhileRunning, "the command ended before it could be killed");

        Database db(library);
        QCOMPARE(db.scalar(QStringLiteral("PRAGMA integrity_check")).toString(), QStringLiteral("ok"));
        const qint64 stored = db.scalar(QStringLiteral("SELECT count(*) FROM tblSequence")).toLongLong();
        QCOMPARE(stored, importCommitted ? qint64(sequences + 1) : qint64(1));
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
