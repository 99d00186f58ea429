#include "FakePrintDialogs.h"
#include "PrintCommands.h"
#include "WindowFixture.h"

#include <QPrinterInfo>
#include <QTemporaryDir>
#include <csignal>
#include <sys/prctl.h>

namespace {

const QString kQueue = QStringLiteral("VornQueue");

// A CUPS filter that hands the document on unchanged, so that the queue's file receives the PDF
// the program sent.
const char* const kFilter = "#!/bin/sh\n"
                            "if [ -n \"$6\" ]; then exec cat \"$6\"; fi\n"
                            "exec cat\n";

// The queue's driver: A4 and Letter paper, PDF taken through the filter.
const char* const kDriver = "*PPD-Adobe: \"4.3\"\n"
                            "*FormatVersion: \"4.3\"\n"
                            "*FileVersion: \"1.0\"\n"
                            "*LanguageVersion: English\n"
                            "*LanguageEncoding: ISOLatin1\n"
                            "*PCFileName: \"VORNPDF.PPD\"\n"
                            "*Manufacturer: \"VornReader\"\n"
                            "*Product: \"(PDF file)\"\n"
                            "*ModelName: \"PDF file\"\n"
                            "*ShortNickName: \"PDF file\"\n"
                            "*NickName: \"PDF file\"\n"
                            "*PSVersion: \"(3010.000) 0\"\n"
                            "*LanguageLevel: \"3\"\n"
                            "*ColorDevice: True\n"
                            "*DefaultColorSpace: RGB\n"
                            "*FileSystem: False\n"
                            "*Throughput: \"1\"\n"
                            "*cupsFilter: \"application/pdf 0 %1\"\n"
                            "*OpenUI *PageSize/Media Size: PickOne\n"
                            "*OrderDependency: 10 AnySetup *PageSize\n"
                            "*DefaultPageSize: A4\n"
                            "*PageSize A4/A4: \"<</PageSize[595 842]>>setpagedevice\"\n"
                            "*PageSize Letter/Letter: \"<</PageSize[612 792]>>setpagedevice\"\n"
                            "*CloseUI: *PageSize\n"
                            "*DefaultImageableArea: A4\n"
                            "*ImageableArea A4/A4: \"0 0 595 842\"\n"
                            "*ImageableArea Letter/Letter: \"0 0 612 792\"\n"
                            "*DefaultPaperDimension: A4\n"
                            "*PaperDimension A4/A4: \"595 842\"\n"
                            "*PaperDimension Letter/Letter: \"612 792\"\n";

// The scheduler's configuration: the socket its only way in, no sharing, everyone allowed.
const char* const kSchedulerConf = "Listen %1/cups.sock\n"
                                   "LogLevel info\n"
                                   "WebInterface No\n"
                                   "Browsing Off\n"
                                   "DefaultAuthType None\n"
                                   "<Location />\n  Order allow,deny\n  Allow all\n</Location>\n"
                                   "<Policy default>\n  <Limit All>\n    Order deny,allow\n  </Limit>\n</Policy>\n";

// Its files, every one inside the folder; a file: device may be written.
const char* const kFilesConf = "ServerRoot %1\n"
                               "RequestRoot %1/spool\n"
                               "CacheDir %1/cache\n"
                               "StateDir %1/state\n"
                               "TempDir %1/tmp\n"
                               "AccessLog %1/log/access_log\n"
                               "ErrorLog %1/log/error_log\n"
                               "PageLog %1/log/page_log\n"
                               "Printcap %1/printcap\n"
                               "FileDevice Yes\n";

QString run(const QString& program, const QStringList& arguments) {
    QProcess process;
    process.start(program, arguments);
    process.waitForFinished(30000);
    return QString::fromUtf8(process.readAllStandardOutput() + process.readAllStandardError());
}

QString unspaced(QString text) {
    return text.remove(QRegularExpression(QStringLiteral("\\s")));
}

} // namespace

// File > Print to a printer: a CUPS scheduler of the test's own (its configuration, spool and
// socket in a temporary folder; the system's CUPS is never asked or changed) with one queue whose
// device is a file. The window prints through its own print path, the queue chosen where the print
// dialog would be, and the document that arrives holds every header and every call.
class TestPrintQueue : public WindowFixture {
    Q_OBJECT

    QTemporaryDir m_spool;
    QProcess m_scheduler;

    QString spoolFile(const QString& name) const { return m_spool.filePath(name); }
    bool write(const QString& name, const QByteArray& bytes, QFile::Permissions permissions) const {
        QFile file(spoolFile(name));
        return file.open(QIODevice::WriteOnly) && file.write(bytes) == bytes.size() && file.setPermissions(permissions);
    }
    // The number of jobs the queue has completed.
    int completedJobs() const {
        return static_cast<int>(run(QStringLiteral(VORN_LPSTAT),
                                    {QStringLiteral("-W"), QStringLiteral("completed"), QStringLiteral("-o"), kQueue})
                                    .count(kQueue + QLatin1Char('-')));
    }

private Q_SLOTS:
    void initTestCase() {
        QVERIFY(m_spool.isValid());
        // Run as root, the scheduler's filters run as its own user, who must reach the spool and
        // the filter.
        const QFile::Permissions open = QFile::ReadOwner | QFile::WriteOwner | QFile::ExeOwner | QFile::ReadGroup |
                                        QFile::ExeGroup | QFile::ReadOther | QFile::ExeOther;
        QVERIFY(QFile::setPermissions(m_spool.path(), open));
        for (const char* folder : {"spool", "cache", "state", "tmp", "log"}) {
            QVERIFY(QDir(m_spool.path()).mkdir(QString::fromLatin1(folder)));
        }
        const QString dir = m_spool.path();
        const QFile::Permissions readable = QFile::ReadOwner | QFile::WriteOwner | QFile::ReadGroup | QFile::ReadOther;
        QVERIFY(write(QStringLiteral("passthrough"), kFilter, open & ~QFile::WriteOwner));
        QVERIFY(write(QStringLiteral("queue.ppd"), QString::fromLatin1(kDriver).arg(spoolFile("passthrough")).toUtf8(),
                      readable));
        QVERIFY(write(QStringLiteral("cupsd.conf"), QString::fromLatin1(kSchedulerConf).arg(dir).toUtf8(), readable));
        QVERIFY(write(QStringLiteral("cups-files.conf"), QString::fromLatin1(kFilesConf).arg(dir).toUtf8(), readable));

        // Everything of CUPS in this process and its children, Qt's print support included, asks
        // this scheduler.
        qputenv("CUPS_SERVER", spoolFile(QStringLiteral("cups.sock")).toLocal8Bit());
        m_scheduler.setProcessChannelMode(QProcess::ForwardedErrorChannel);
        m_scheduler.setChildProcessModifier([] { ::prctl(PR_SET_PDEATHSIG, SIGTERM); });
        m_scheduler.start(QStringLiteral(VORN_CUPSD),
                          {QStringLiteral("-f"), QStringLiteral("-c"), spoolFile(QStringLiteral("cupsd.conf")),
                           QStringLiteral("-s"), spoolFile(QStringLiteral("cups-files.conf"))});
        QVERIFY2(m_scheduler.waitForStarted(), qPrintable(m_scheduler.errorString()));
        QTRY_VERIFY_WITH_TIMEOUT(QFileInfo::exists(spoolFile(QStringLiteral("cups.sock"))), 20000);
        const QString added =
            run(QStringLiteral(VORN_LPADMIN), {QStringLiteral("-p"), kQueue, QStringLiteral("-E"), QStringLiteral("-v"),
                                               QStringLiteral("file://") + spoolFile(QStringLiteral("printed.pdf")),
                                               QStringLiteral("-P"), spoolFile(QStringLiteral("queue.ppd"))});
        QVERIFY2(QPrinterInfo::availablePrinterNames().contains(kQueue),
                 qPrintable(QStringLiteral("Qt does not list the queue (its CUPS print support comes with "
                                           "libqt6printsupport6): ") +
                            added));
    }
    void cleanupTestCase() {
        m_scheduler.terminate();
        m_scheduler.waitForFinished();
    }

    // A queue that takes no jobs loses nothing silently: the job's refusal is reported.
    void printsThroughTheQueue_data() {
        QTest::addColumn<bool>("accepting");
        QTest::newRow("accepting jobs") << true;
        QTest::newRow("rejecting jobs") << false;
    }
    void printsThroughTheQueue() {
        QFETCH(bool, accepting);
        const QString tools = QFileInfo(QStringLiteral(VORN_LPADMIN)).absolutePath();
        run(tools + (accepting ? QStringLiteral("/cupsaccept") : QStringLiteral("/cupsreject")), {kQueue});
        QVERIFY(start({QStringLiteral("generated Plus")}));
        FakePrintDialogs print;
        print.queue = kQueue;
        m_window->printCommands().setPrintDialogs(&print);
        const QList<qint64> sequences = selectRows(0, 2);
        QCOMPARE(sequences.size(), 3);
        const int before = completedJobs();
        m_window->menus().filePrint->trigger();
        QCOMPARE(print.printDialogs, 1);
        if (!accepting) {
            QCOMPARE(m_errors->prompts.size(), 1);
            QVERIFY2(m_errors->reported(QStringLiteral("clsPrinter.EndDoc")) &&
                         m_errors->prompts[0].contains(QStringLiteral("not accepting jobs")),
                     qPrintable(m_errors->prompts[0]));
            m_errors->prompts.clear();
            QCOMPARE(completedJobs(), before);
            return;
        }
        // What the scheduler says of the job, should it not arrive.
        const bool arrived = QTest::qWaitFor([this, before] { return completedJobs() == before + 1; }, 60000);
        QVERIFY2(arrived, Fixtures::readFile(spoolFile(QStringLiteral("log/error_log"))).right(4000).constData());

        const QString printed = spoolFile(QStringLiteral("printed.pdf"));
        QVERIFY(Fixtures::readFile(printed).startsWith("%PDF-"));
        const QString text = unspaced(run(QStringLiteral("pdftotext"), {QStringLiteral("-enc"), QStringLiteral("UTF-8"),
                                                                        printed, QStringLiteral("-")}));
        QStringList expected;
        for (const qint64 sequence : sequences) {
            expected += sql(QStringLiteral("SELECT 'Level : ' || Level || 'Create : ' || Date || Time FROM tblSequence "
                                           "WHERE Sequence = ?"),
                            {sequence});
            expected += sql(QStringLiteral("SELECT Call FROM tblCall WHERE Sequence = ? ORDER BY Number"), {sequence});
        }
        QCOMPARE(expected.size(), 3 * 4);
        for (const QString& line : expected) {
            QVERIFY2(text.contains(unspaced(line)), qPrintable(line));
        }
    }
};

QTEST_MAIN(TestPrintQueue)
#include "TestPrintQueue.moc"
