#include "FakePrintDialogs.h"
#include "PdfText.h"
#include "PrintCommands.h"
#include "PrinterDefaults.h"
#include "WindowFixture.h"
#include "frmPreview.h"
#include "modGeneral.h"

#include <QPrinter>
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

QString runTool(const QString& program, const QStringList& arguments) {
    QProcess process;
    process.start(program, arguments);
    process.waitForFinished(30000);
    return QString::fromUtf8(process.readAllStandardOutput() + process.readAllStandardError());
}

QString unspaced(QString text) {
    return text.remove(QRegularExpression(QStringLiteral("\\s")));
}

} // namespace

// File > Page Setup, Print, Print Preview and Spreadsheet output in the main window. Printing to a
// printer goes to a CUPS scheduler of the test's own (its configuration, spool and socket in a
// temporary folder; the system's CUPS is never asked or changed) with one queue whose device is a
// file, chosen where the print dialog would be.
class TestPrintCommands : public WindowFixture {
    Q_OBJECT

    QTemporaryDir m_spool;
    QProcess m_scheduler;
    FakePrintDialogs m_print;

    QString spoolFile(const QString& name) const { return m_spool.filePath(name); }
    bool write(const QString& name, const QByteArray& bytes, QFile::Permissions permissions) const {
        QFile file(spoolFile(name));
        return file.open(QIODevice::WriteOnly) && file.write(bytes) == bytes.size() && file.setPermissions(permissions);
    }
    // The number of jobs the queue has completed.
    int completedJobs() const {
        return static_cast<int>(runTool(QStringLiteral(VORN_LPSTAT), {QStringLiteral("-W"), QStringLiteral("completed"),
                                                                      QStringLiteral("-o"), kQueue})
                                    .count(kQueue + QLatin1Char('-')));
    }
    bool startPrinting(const QStringList& sources = {QStringLiteral("generated Plus")}) {
        m_print = FakePrintDialogs();
        m_print.pdf = m_home->file(QStringLiteral("printed.pdf"));
        if (!start(sources)) {
            return false;
        }
        m_window->printCommands().setPrintDialogs(&m_print);
        return true;
    }
    // Each sequence's header and calls, as the printed text must hold them.
    QStringList printedLines(const QList<qint64>& sequences) const {
        QStringList expected;
        for (const qint64 sequence : sequences) {
            expected += sql(QStringLiteral("SELECT 'Level : ' || Level || 'Create : ' || Date || Time FROM tblSequence "
                                           "WHERE Sequence = ?"),
                            {sequence});
            expected += sql(QStringLiteral("SELECT Call FROM tblCall WHERE Sequence = ? ORDER BY Number"), {sequence});
        }
        return expected;
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
        const QString added = runTool(QStringLiteral(VORN_LPADMIN),
                                      {QStringLiteral("-p"), kQueue, QStringLiteral("-E"), QStringLiteral("-v"),
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

    // The page setup starts from the INI's paper, or else from the system's default printer (A4
    // portrait without one); a confirmed choice is what the INI keeps.
    void pageSetup_data() {
        QTest::addColumn<bool>("confirm");
        QTest::addColumn<QString>("systemPaper"); // the default printer's paper, "" for no printer
        QTest::addColumn<QString>("iniPaper");    // PaperSize and Orientation in the INI, "" for none
        QTest::addColumn<QString>("seeded");
        QTest::newRow("OK") << true << ""
                            << ""
                            << "9 1";
        QTest::newRow("Cancel, Letter landscape printer") << false << "Letter 2"
                                                          << ""
                                                          << "1 2";
        QTest::newRow("A5 printer, INI says A4 portrait") << false << "A5 1"
                                                          << "9 1"
                                                          << "9 1";
        QTest::newRow("OK, Legal printer") << true << "Legal 1"
                                           << ""
                                           << "5 1";
    }
    void pageSetup() {
        QFETCH(bool, confirm);
        QFETCH(QString, systemPaper);
        QFETCH(QString, iniPaper);
        QFETCH(QString, seeded);
        const auto ini = [this](const char* key, const QString& value) {
            modSystem::WriteIniValue(QStringLiteral("Printer"), QLatin1String(key), value, iniPath());
        };
        ini("MarginLeft", QStringLiteral("12"));
        if (!iniPaper.isEmpty()) {
            ini("PaperSize", iniPaper.section(' ', 0, 0));
            ini("Orientation", iniPaper.section(' ', 1, 1));
        }
        PrinterDefaults::setSource([systemPaper]() -> std::optional<QPageLayout> {
            if (systemPaper.isEmpty()) {
                return std::nullopt;
            }
            const QHash<QString, QPageSize::PageSizeId> sizes{
                {"Letter", QPageSize::Letter}, {"A5", QPageSize::A5}, {"Legal", QPageSize::Legal}};
            return QPageLayout(QPageSize(sizes.value(systemPaper.section(' ', 0, 0))),
                               systemPaper.endsWith('2') ? QPageLayout::Landscape : QPageLayout::Portrait, QMarginsF());
        });
        const bool started = startPrinting();
        PrinterDefaults::setSource({});
        QVERIFY(started);
        m_print.confirm = confirm;
        m_window->menus().filePrintSet->trigger();
        QCOMPARE(QStringLiteral("%1 %2 %3")
                     .arg(m_print.seeded.MarginLeft)
                     .arg(m_print.seeded.PaperSize)
                     .arg(m_print.seeded.Orientation),
                 QStringLiteral("12 ") + seeded);
        m_window->close();
        m_window.reset();
        QStringList written;
        for (const char* key : {"MarginLeft", "MarginBottom", "PaperSize", "Orientation"}) {
            written.append(modSystem::GetIniString(QStringLiteral("Printer"), QLatin1String(key), iniPath(), {}));
        }
        QCOMPARE(written.join(' '), confirm ? QStringLiteral("15 18 1 2") : QStringLiteral("12 10 ") + seeded);
    }

    // File > Print asks once; clicked rows print in the order they were selected, a range taken
    // with Shift in list order; the document is named after the library.
    void printsInSelectionOrder_data() {
        QTest::addColumn<QStringList>("clicks"); // rows clicked, with the modifier held
        QTest::addColumn<QList<int>>("printed"); // rows in printed order
        QTest::newRow("Ctrl clicks") << QStringList{"1", "Ctrl 2", "Ctrl 0"} << QList<int>{1, 2, 0};
        QTest::newRow("Shift range upwards") << QStringList{"2", "Shift 0"} << QList<int>{0, 1, 2};
        QTest::newRow("Ctrl click taken back") << QStringList{"2", "Ctrl 0", "Ctrl 1", "Ctrl 0"} << QList<int>{2, 1};
        QTest::newRow("Ctrl then Shift range") << QStringList{"2", "Ctrl 0", "Ctrl Shift 1"} << QList<int>{2, 0, 1};
        QTest::newRow("Shift+Up") << QStringList{"2", "Shift Up"} << QList<int>{1, 2};
        QTest::newRow("all after a click") << QStringList{"1", "Ctrl A"} << QList<int>{0, 1, 2};
    }
    void printsInSelectionOrder() {
        QFETCH(QStringList, clicks);
        QFETCH(QList<int>, printed);
        QVERIFY(startPrinting());
        GridView* view = m_window->sequenceList().view();
        for (const QString& click : clicks) {
            const QString target = click.section(' ', -1);
            Qt::KeyboardModifiers modifiers;
            modifiers.setFlag(Qt::ControlModifier, click.contains(QLatin1String("Ctrl")));
            modifiers.setFlag(Qt::ShiftModifier, click.contains(QLatin1String("Shift")));
            if (target == QLatin1String("A") || target == QLatin1String("Up")) {
                QVERIFY(focus(view));
                QTest::keyClick(view, target == QLatin1String("A") ? Qt::Key_A : Qt::Key_Up, modifiers);
                continue;
            }
            QTest::mouseClick(view->viewport(), Qt::LeftButton, modifiers,
                              view->visualRect(view->model()->index(target.toInt(), 0)).center());
        }
        QStringList expected;
        for (const int row : printed) {
            expected +=
                sql(QStringLiteral("SELECT 'Create : ' || Date || ' ' || Time FROM tblSequence WHERE Sequence = ?"),
                    {keyAt(row)});
        }
        m_window->menus().filePrint->trigger();
        QCOMPARE(m_print.printDialogs, 1);
        QCOMPARE(pdfInfo(m_print.pdf, QStringLiteral("Title")), QStringLiteral("Dance"));
        QStringList creates = pdfText(m_print.pdf).split(QLatin1Char('\n')).filter(QStringLiteral("Create : "));
        for (QString& line : creates) {
            line = line.mid(line.indexOf(QStringLiteral("Create : "))).trimmed();
        }
        QCOMPARE(creates, expected);
    }

    // The preview's Print button prints what it shows, whatever the list's selection has become,
    // once the print dialog is confirmed.
    void previewAndPrintTheSamePages() {
        QVERIFY(startPrinting({QStringLiteral("generated Plus"), QStringLiteral("generated A1")}));
        selectRows(0, 1);
        m_window->menus().filePrintPreview->trigger();
        frmPreview* preview = m_window->printCommands().preview();
        QTRY_VERIFY(preview && preview->isVisible());
        QCOMPARE(preview->pages().size(), 1);
        QCOMPARE(preview->findChild<QLabel*>(QStringLiteral("lblMaxPage"))->text(), QStringLiteral("/ 1"));
        selectRows(2, 2);
        auto* print = preview->findChild<QPushButton*>(QStringLiteral("cmdPrint"));
        m_print.confirm = false;
        print->click();
        QVERIFY(!QFileInfo::exists(m_print.pdf));
        m_print.confirm = true;
        print->click();
        QCOMPARE(m_print.printDialogs, 2);
        QCOMPARE(pdfPages(m_print.pdf), 1);
        const QString printed = pdfText(m_print.pdf);
        QVERIFY(printed.contains(QStringLiteral("call 3 of sequence 0")) &&
                printed.count(QStringLiteral("Level : ")) == 2);
        preview->close();
    }

    // The workbook is written to the Temp folder and kept there whether or not anything opens it;
    // workbooks older than a week leave the folder when the window starts.
    void spreadsheetOpensInTemp_data() {
        QTest::addColumn<bool>("canOpen");
        QTest::newRow("opened") << true;
        QTest::newRow("nothing opens it") << false;
    }
    void spreadsheetOpensInTemp() {
        QFETCH(bool, canOpen);
        const QString temp = m_home->file(QStringLiteral("Temp"));
        QVERIFY(QDir().mkpath(temp));
        for (const auto& [name, days] : {std::pair{"old.xlsx", 8}, std::pair{"recent.xlsx", 6}}) {
            QFile file(temp + QLatin1Char('/') + QLatin1String(name));
            QVERIFY(file.open(QIODevice::WriteOnly));
            QVERIFY(file.setFileTime(QDateTime::currentDateTime().addDays(-days), QFileDevice::FileModificationTime));
        }
        QVERIFY(startPrinting());
        QCOMPARE(QDir(temp).entryList(QDir::Files), QStringList{QStringLiteral("recent.xlsx")});
        m_print.canOpen = canOpen;
        selectRows(0, 1);
        m_window->menus().fileExcelOut->trigger();
        QVERIFY(m_print.opened.startsWith(temp + QLatin1Char('/')) && m_print.openedExisted);
        QVERIFY(QFileInfo::exists(m_print.opened));
        QCOMPARE(m_dialogs->exclamations,
                 canOpen ? QStringList() : QStringList{modGeneral::TransMessage(40170, {m_print.opened})});
    }

    // A PDF named after the open library is refused with one message naming both; the library keeps
    // its bytes.
    void printNeverReplacesTheLibrary() {
        QVERIFY(startPrinting());
        m_print.pdf = m_library;
        const QByteArray before = Fixtures::readFile(m_library);
        selectRows(0, 0);
        m_window->menus().filePrint->trigger();
        QCOMPARE(m_dialogs->exclamations, QStringList{modGeneral::TransMessage(40161, {m_print.pdf, m_library})});
        QCOMPARE(Fixtures::readFile(m_library), before);
    }

    // Through the queue the document that arrives holds every header and every call; a queue that
    // takes no jobs loses nothing silently: the job's refusal is reported.
    void printsThroughTheQueue_data() {
        QTest::addColumn<bool>("accepting");
        QTest::newRow("accepting jobs") << true;
        QTest::newRow("rejecting jobs") << false;
    }
    void printsThroughTheQueue() {
        QFETCH(bool, accepting);
        const QString tools = QFileInfo(QStringLiteral(VORN_LPADMIN)).absolutePath();
        runTool(tools + (accepting ? QStringLiteral("/cupsaccept") : QStringLiteral("/cupsreject")), {kQueue});
        QVERIFY(startPrinting());
        m_print.queue = kQueue;
        const QList<qint64> sequences = selectRows(0, 2);
        const int before = completedJobs();
        m_window->menus().filePrint->trigger();
        QCOMPARE(m_print.printDialogs, 1);
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
        const QString text =
            unspaced(runTool(QStringLiteral("pdftotext"),
                             {QStringLiteral("-enc"), QStringLiteral("UTF-8"), printed, QStringLiteral("-")}));
        const QStringList expected = printedLines(sequences);
        QCOMPARE(expected.size(), 3 * 4);
        for (const QString& line : expected) {
            QVERIFY2(text.contains(unspaced(line)), qPrintable(line));
        }
    }
};

QTEST_MAIN(TestPrintCommands)
#include "TestPrintCommands.moc"
