#include "FakePrintDialogs.h"
#include "PdfText.h"
#include "PrintCommands.h"
#include "PrinterDefaults.h"
#include "WindowFixture.h"
#include "frmPreview.h"
#include "modGeneral.h"

#include <QPrinter>

// File > Page Setup, Print, Print Preview and Spreadsheet output in the main window.
class TestPrintCommands : public WindowFixture {
    Q_OBJECT

private:
    bool startPrinting(const QStringList& sources) {
        if (!start(sources)) {
            return false;
        }
        m_print = FakePrintDialogs();
        m_print.pdf = m_home->file(QStringLiteral("printed.pdf"));
        m_window->printCommands().setPrintDialogs(&m_print);
        return true;
    }
    QList<QAction*> commands() const {
        const MainMenus& menus = m_window->menus();
        return {menus.filePrintSet, menus.filePrint, menus.filePrintPreview, menus.fileExcelOut};
    }
    bool commandsEnabled() const {
        const QList<QAction*> all = commands();
        return std::all_of(all.begin(), all.end(), [](QAction* a) { return a->isEnabled(); });
    }
    bool commandsDisabled() const {
        const QList<QAction*> all = commands();
        return std::none_of(all.begin(), all.end(), [](QAction* a) { return a->isEnabled(); });
    }

    FakePrintDialogs m_print;

private Q_SLOTS:
    void commandsNeedListedSequences_data() {
        QTest::addColumn<QStringList>("sources");
        QTest::newRow("empty library") << QStringList();
        QTest::newRow("sequences listed") << QStringList{QStringLiteral("generated Plus")};
    }
    void commandsNeedListedSequences() {
        QFETCH(QStringList, sources);
        QVERIFY(startPrinting(sources));
        QCOMPARE(commandsEnabled(), !sources.isEmpty());
        QCOMPARE(commandsDisabled(), sources.isEmpty());
        m_window->menus().fileClose->trigger();
        QVERIFY(commandsDisabled());
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
        QTest::newRow("Cancel") << false << ""
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
        modSystem::WriteIniValue(QStringLiteral("Printer"), QStringLiteral("MarginLeft"), QStringLiteral("12"),
                                 iniPath());
        if (!iniPaper.isEmpty()) {
            modSystem::WriteIniValue(QStringLiteral("Printer"), QStringLiteral("PaperSize"),
                                     iniPaper.section(' ', 0, 0), iniPath());
            modSystem::WriteIniValue(QStringLiteral("Printer"), QStringLiteral("Orientation"),
                                     iniPaper.section(' ', 1, 1), iniPath());
        }
        PrinterDefaults::setSource([systemPaper]() -> std::optional<QPageLayout> {
            if (systemPaper.isEmpty()) {
                return std::nullopt;
            }
            const QString name = systemPaper.section(' ', 0, 0);
            const QPageSize::PageSizeId id = name == QLatin1String("Letter") ? QPageSize::Letter
                                             : name == QLatin1String("A5")   ? QPageSize::A5
                                                                             : QPageSize::Legal;
            return QPageLayout(QPageSize(id),
                               systemPaper.endsWith(QLatin1Char('2')) ? QPageLayout::Landscape : QPageLayout::Portrait,
                               QMarginsF());
        });
        const bool started = startPrinting({QStringLiteral("generated Plus")});
        PrinterDefaults::setSource({});
        QVERIFY(started);
        m_print.confirm = confirm;
        m_window->menus().filePrintSet->trigger();
        QCOMPARE(m_print.seeded.MarginLeft, 12.0);
        QCOMPARE(QStringLiteral("%1 %2").arg(m_print.seeded.PaperSize).arg(m_print.seeded.Orientation), seeded);
        m_window->close();
        m_window.reset();
        const auto printer = [this](const char* key) {
            return modSystem::GetIniString(QStringLiteral("Printer"), QString::fromLatin1(key), iniPath(), {});
        };
        QCOMPARE(printer("MarginLeft"), confirm ? QStringLiteral("15") : QStringLiteral("12"));
        QCOMPARE(printer("MarginBottom"), confirm ? QStringLiteral("18") : QStringLiteral("10"));
        QCOMPARE(printer("PaperSize"), confirm ? QStringLiteral("1") : seeded.section(' ', 0, 0));
        QCOMPARE(printer("Orientation"), confirm ? QStringLiteral("2") : seeded.section(' ', 1, 1));
    }

    void printMenuAsksFirst() {
        QVERIFY(startPrinting({QStringLiteral("generated Plus")}));
        selectRows(0, 2);
        m_window->menus().filePrint->trigger();
        QCOMPARE(m_print.printDialogs, 1);
        QCOMPARE(pdfPages(m_print.pdf), 2);
        // The document is named after the library.
        QCOMPARE(pdfInfo(m_print.pdf, QStringLiteral("Title")), QStringLiteral("Dance"));
    }

    // Clicked rows print in the order they were selected; a range taken with Shift in list order.
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
        QVERIFY(startPrinting({QStringLiteral("generated Plus")}));
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
            expected.append(
                QStringLiteral("Create : ") +
                sql(QStringLiteral("SELECT Date || ' ' || Time FROM tblSequence WHERE Sequence = ?"), {keyAt(row)})
                    .value(0));
        }
        m_window->menus().filePrint->trigger();
        const QStringList headers = pdfText(m_print.pdf).split(QLatin1Char('\n')).filter(QStringLiteral("Create : "));
        QStringList creates;
        for (const QString& line : headers) {
            creates.append(line.mid(line.indexOf(QStringLiteral("Create : "))).trimmed());
        }
        QCOMPARE(creates, expected);
    }

    void previewAndPrintTheSamePages() {
        QVERIFY(startPrinting({QStringLiteral("generated Plus"), QStringLiteral("generated A1")}));
        selectRows(0, 1);
        m_window->menus().filePrintPreview->trigger();
        frmPreview* preview = m_window->printCommands().preview();
        QVERIFY(preview != nullptr);
        QTRY_VERIFY(preview->isVisible());
        const int pages = static_cast<int>(preview->pages().size());
        QCOMPARE(pages, 1);
        QCOMPARE(preview->findChild<QLabel*>(QStringLiteral("lblMaxPage"))->text(), QStringLiteral("/ 1"));
        // The selection changes behind the preview; its Print button prints what it shows, once the
        // print dialog is confirmed.
        selectRows(2, 2);
        auto* print = preview->findChild<QPushButton*>(QStringLiteral("cmdPrint"));
        m_print.confirm = false;
        print->click();
        QVERIFY(!QFileInfo::exists(m_print.pdf));
        m_print.confirm = true;
        print->click();
        QCOMPARE(m_print.printDialogs, 2);
        QCOMPARE(pdfPages(m_print.pdf), pages);
        const QString printed = pdfText(m_print.pdf);
        QVERIFY(printed.contains(QStringLiteral("call 3 of sequence 0")));
        QVERIFY(printed.count(QStringLiteral("Level : ")) == 2);
        preview->close();
    }

    void spreadsheetOpensInTemp_data() {
        QTest::addColumn<bool>("canOpen");
        QTest::newRow("opened") << true;
        QTest::newRow("nothing opens it") << false;
    }
    void spreadsheetOpensInTemp() {
        QFETCH(bool, canOpen);
        QVERIFY(startPrinting({QStringLiteral("generated Plus")}));
        m_print.canOpen = canOpen;
        selectRows(0, 1);
        m_window->menus().fileExcelOut->trigger();
        QVERIFY(m_print.opened.startsWith(m_home->file(QStringLiteral("Temp/"))));
        QVERIFY(m_print.openedExisted);
        // Kept either way: opened by the desktop, or to be opened by the user from where it is.
        QVERIFY(QFileInfo::exists(m_print.opened));
        QCOMPARE(m_dialogs->exclamations,
                 canOpen ? QStringList() : QStringList{modGeneral::TransMessage(40170, {m_print.opened})});
    }

    // Workbooks older than a week leave the Temp folder when the window starts.
    void oldSpreadsheetsAreRemovedAtStart() {
        const QString temp = m_home->file(QStringLiteral("Temp"));
        QVERIFY(QDir().mkpath(temp));
        for (const auto& [name, days] : {std::pair{"old.xlsx", 8}, std::pair{"recent.xlsx", 6}}) {
            QFile file(temp + QLatin1Char('/') + QLatin1String(name));
            QVERIFY(file.open(QIODevice::WriteOnly));
            QVERIFY(file.setFileTime(QDateTime::currentDateTime().addDays(-days), QFileDevice::FileModificationTime));
        }
        QVERIFY(startPrinting({QStringLiteral("generated Plus")}));
        QCOMPARE(QDir(temp).entryList(QDir::Files), QStringList{QStringLiteral("recent.xlsx")});
    }

    // A PDF named after the open library is refused with one message naming both (which names
    // are refused is the output file's rule); the library keeps its bytes.
    void printNeverReplacesTheLibrary() {
        QVERIFY(startPrinting({QStringLiteral("generated Plus")}));
        m_print.pdf = m_library;
        const QByteArray before = Fixtures::readFile(m_library);
        selectRows(0, 0);
        m_window->menus().filePrint->trigger();
        QCOMPARE(m_dialogs->exclamations, QStringList{modGeneral::TransMessage(40161, {m_print.pdf, m_library})});
        QCOMPARE(Fixtures::readFile(m_library), before);
    }
};

QTEST_MAIN(TestPrintCommands)
#include "TestPrintCommands.moc"
