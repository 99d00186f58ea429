#include "FakePrintDialogs.h"
#include "PdfText.h"
#include "PrinterDefaults.h"
#include "WindowFixture.h"

#include <QPrinterInfo>
#include <QTemporaryDir>
#include <csignal>
#include <sys/prctl.h>

namespace {

const QString kQueue = QStringLiteral("VornQueue");

// The scheduler's configuration, every file of it inside the folder (its temporary files in a
// folder it empties): the socket its only way in, everyone allowed, a file: device may be written.
// The queue's driver hands the PDF on unchanged through the filter.
const char* const kFiles[][2] = {{"cupsd.conf", "Listen %1/cups.sock\n"
                                                "<Location />\n  Order allow,deny\n  Allow all\n</Location>\n"},
                                 {"cups-files.conf", "ServerRoot %1\n"
                                                     "RequestRoot %1\n"
                                                     "CacheDir %1\n"
                                                     "StateDir %1\n"
                                                     "TempDir %1/tmp\n"
                                                     "ErrorLog %1/log\n"
                                                     "AccessLog %1/log\n"
                                                     "PageLog %1/log\n"
                                                     "FileDevice Yes\n"},
                                 {"pass", "#!/bin/sh\ncd %1 && exec cat \"${6:--}\"\n"},
                                 {"queue.ppd", "*PPD-Adobe: \"4.3\"\n"
                                               "*NickName: \"PDF file\"\n"
                                               "*cupsFilter: \"application/pdf 0 %1/pass\"\n"}};

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
    bool startPrinting(const QStringList& sources = {QStringLiteral("generated Plus")}) {
        m_print = FakePrintDialogs();
        m_print.pdf = m_home->file(QStringLiteral("printed.pdf"));
        if (!start(sources)) {
            return false;
        }
        m_window->printCommands().setPrintDialogs(&m_print);
        return true;
    }

private Q_SLOTS:
    void initTestCase() {
        // Run as root, the scheduler's own user must reach the spool.
        QVERIFY(QFile::setPermissions(m_spool.path(), QFile::Permissions(0x7755)));
        QVERIFY(QDir(m_spool.path()).mkdir(QStringLiteral("tmp")));
        for (const auto& [name, text] : kFiles) {
            Fixtures::writeFile(spoolFile(name), QString::fromLatin1(text).arg(m_spool.path()).toUtf8());
        }
        QVERIFY(QFile::setPermissions(spoolFile(QStringLiteral("pass")), QFile::Permissions(0x5555)));
        // Everything of CUPS in this process and its children, Qt's print support included, asks
        // this scheduler.
        qputenv("CUPS_SERVER", spoolFile(QStringLiteral("cups.sock")).toLocal8Bit());
        m_scheduler.setChildProcessModifier([] { ::prctl(PR_SET_PDEATHSIG, SIGTERM); });
        m_scheduler.start(QStringLiteral(VORN_CUPSD),
                          {"-f", "-c", spoolFile("cupsd.conf"), "-s", spoolFile("cups-files.conf")});
        QTRY_VERIFY_WITH_TIMEOUT(QFileInfo::exists(spoolFile(QStringLiteral("cups.sock"))), 20000);
        pdfTool(QStringLiteral(VORN_LPADMIN),
                {"-p", kQueue, "-E", "-P", spoolFile("queue.ppd"), "-v", "file://" + spoolFile("printed.pdf")});
        QVERIFY(QPrinterInfo::availablePrinterNames().contains(kQueue));
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
        for (const char* row : {"OK|||9 1", "Cancel, Letter landscape printer|Letter 2||1 2",
                                "A5 printer, INI says A4 portrait|A5 1|9 1|9 1"}) {
            const QStringList c = QString::fromLatin1(row).split('|');
            QTest::newRow(qPrintable(c[0])) << c[0].startsWith("OK") << c[1] << c[2] << c[3];
        }
    }
    void pageSetup() {
        QFETCH(bool, confirm);
        QFETCH(QString, systemPaper);
        QFETCH(QString, iniPaper);
        QFETCH(QString, seeded);
        const QStringList keys{"MarginLeft", "PaperSize", "Orientation", "MarginBottom"};
        const QStringList values = QStringList{"12"} + iniPaper.split(' ', Qt::SkipEmptyParts);
        for (int i = 0; i < values.size(); ++i) {
            modSystem::WriteIniValue(QStringLiteral("Printer"), keys[i], values[i], iniPath());
        }
        PrinterDefaults::setSource([systemPaper]() -> std::optional<QPageLayout> {
            if (systemPaper.isEmpty()) {
                return std::nullopt;
            }
            const QHash<QString, QPageSize::PageSizeId> sizes{{"Letter", QPageSize::Letter}, {"A5", QPageSize::A5}};
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
        for (const QString& key : keys) {
            written.append(modSystem::GetIniString(QStringLiteral("Printer"), key, iniPath(), {}));
        }
        QCOMPARE(written.join(' '), confirm ? QStringLiteral("15 1 2 18") : QStringLiteral("12 ") + seeded + " 10");
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
            const Qt::KeyboardModifiers modifiers = (click.contains("Ctrl") ? Qt::ControlModifier : Qt::NoModifier) |
                                                    (click.contains("Shift") ? Qt::ShiftModifier : Qt::NoModifier);
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
        selectRows(2, 2);
        auto* print = preview->findChild<QPushButton*>(QStringLiteral("cmdPrint"));
        m_print.confirm = false;
        print->click();
        QVERIFY(!QFileInfo::exists(m_print.pdf));
        m_print.confirm = true;
        print->click();
        QCOMPARE(pdfPages(m_print.pdf), 1);
        const QString printed = pdfText(m_print.pdf);
        QVERIFY(printed.contains(QStringLiteral("call 3 of sequence 0")) &&
                printed.count(QStringLiteral("Level : ")) == 2);
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
        pdfTool(QFileInfo(QStringLiteral(VORN_LPADMIN)).absolutePath() + (accepting ? "/cupsaccept" : "/cupsreject"),
                {kQueue});
        QFile::remove(spoolFile(QStringLiteral("printed.pdf")));
        QVERIFY(startPrinting());
        m_print.queue = kQueue;
        selectRows(0, 2);
        m_window->menus().filePrint->trigger();
        if (!accepting) {
            QVERIFY2(m_errors->reported(QStringLiteral("clsPrinter.EndDoc")) &&
                         m_errors->prompts.value(0).contains(QStringLiteral("not accepting jobs")),
                     qPrintable(m_errors->prompts.join('\n')));
            m_errors->prompts.clear();
            return;
        }
        const QStringList calls = sql(QStringLiteral("SELECT Call FROM tblCall"));
        QTRY_VERIFY_WITH_TIMEOUT(pdfText(spoolFile(QStringLiteral("printed.pdf"))).contains(calls.last()), 60000);
        const QString text = pdfText(spoolFile(QStringLiteral("printed.pdf")));
        for (const QString& call : calls) {
            QVERIFY2(text.contains(call), qPrintable(call));
        }
    }
};

QTEST_MAIN(TestPrintCommands)
#include "TestPrintCommands.moc"
