#include "ColourMap.h"
#include "IniFile.h"
#include "OptionsCommand.h"
#include "WindowFixture.h"
#include "frmSetting.h"
#include "modGeneral.h"

// Settings > Options in the real window: what OK changes reaches the grids, the Database menu
// and the list at once; Cancel changes nothing.
class TestOptionsCommand : public WindowFixture {
    Q_OBJECT

    QAbstractItemView* seqGrid() const { return m_window->sequenceList().view(); }
    GridView* callGrid() const { return m_window->callList().grid(); }
    static QString look(const QWidget* grid) {
        const QPalette& p = grid->palette();
        return QStringLiteral("%1 %2 %3 %4 %5 %6 %7")
            .arg(grid->font().family())
            .arg(grid->font().pointSizeF())
            .arg(int(grid->font().bold()))
            .arg(p.color(QPalette::Text).name(), p.color(QPalette::Base).name(),
                 p.color(QPalette::HighlightedText).name(), p.color(QPalette::Highlight).name());
    }
    // The options dialog as the window shows it; inside runs while it is open.
    void throughDialog(const std::function<void(frmSetting&)>& inside) {
        QTimer::singleShot(0, this, [inside] {
            auto* dialog = qobject_cast<frmSetting*>(QApplication::activeModalWidget());
            QVERIFY(dialog);
            inside(*dialog);
        });
        m_window->menus().settingOptions->trigger();
    }

private Q_SLOTS:
    // Fonts and colours of both lists reach the grids as soon as OK is pressed.
    void fontsAndColoursAtOnce() {
        QVERIFY(start({"generated Plus"}));
        QSignalSpy tip(&m_window->optionsCommand(), &OptionsCommand::tipSettingsChanged);
        m_window->optionsCommand().setEditor([](Settings& s) {
            s.seqFont = {16, QStringLiteral("Courier"), false, true};
            s.callFont = {9, QStringLiteral("Serif"), true, false};
            s.SeqForeColor = 0x000000FF;
            s.SeqBackColor = 0x0000FF00;
            s.CallForeColorSel = 0x00FF0000;
            s.CallBackColorSel = 0x00102030;
            s.FuncFile[3] = QStringLiteral("/libs/Four.mdb");
            return true;
        });
        m_window->menus().settingOptions->trigger();
        const QPalette system = QApplication::palette();
        const QString base = system.color(QPalette::Base).name();
        const QString text = system.color(QPalette::Text).name();
        const QString highlight = system.color(QPalette::Highlight).name();
        const QString highlighted = system.color(QPalette::HighlightedText).name();
        QCOMPARE(look(seqGrid()), QStringLiteral("Courier 16 0 #ff0000 #00ff00 %1 %2").arg(highlighted, highlight));
        QCOMPARE(look(callGrid()), QStringLiteral("Serif 9 1 %1 %2 #0000ff #302010").arg(text, base));
        QCOMPARE(m_window->menus().switchFuncs[3]->text(), QStringLiteral("Four.mdb  (/libs)"));
        QVERIFY(m_window->menus().switchFuncs[3]->isVisible());
        QCOMPARE(tip.size(), 1);
    }

    // The real dialog: Escape after changes leaves the grids and the settings; OK takes the row
    // spacing and the new list order, which refills the list.
    void realDialog() {
        QVERIFY(start({"generated Plus"}, [](Database& db) {
            db.exec(QStringLiteral("UPDATE tblSequence SET OrderNo = 100 - Sequence"));
        }));
        const QList<qint64> byDate = listedKeys();
        const QString seqLook = look(seqGrid());
        // The rows are measured again once the pane has its width.
        QTRY_COMPARE(callGrid()->rowHeight(0), static_cast<QAbstractItemView*>(callGrid())->sizeHintForRow(0));
        const int rowHeight = callGrid()->rowHeight(0);
        QSignalSpy display(&m_window->optionsCommand(), &OptionsCommand::displaySettingsChanged);

        throughDialog([](frmSetting& dialog) {
            dialog.findChild<QLineEdit*>(QStringLiteral("txtCallRowMargin"))->setText(QStringLiteral("30"));
            dialog.findChild<QRadioButton*>(QStringLiteral("optSequenceSort(1)"))->click();
            QTest::keyClick(&dialog, Qt::Key_Escape);
        });
        QCOMPARE(display.size(), 0);
        QCOMPARE(settings().CallRowMargin + settings().SequenceSort, 0);
        QCOMPARE(listedKeys(), byDate);
        QCOMPARE(look(seqGrid()), seqLook);

        throughDialog([](frmSetting& dialog) {
            QCOMPARE(dialog.findChild<QLineEdit*>(QStringLiteral("txtCallRowMargin"))->text(), QStringLiteral("0"));
            dialog.findChild<QLineEdit*>(QStringLiteral("txtCallRowMargin"))->setText(QStringLiteral("30"));
            dialog.findChild<QRadioButton*>(QStringLiteral("optSequenceSort(1)"))->click();
            dialog.findChild<QPushButton*>(QStringLiteral("cmdOK"))->click();
        });
        QCOMPARE(display.size(), 1);
        QCOMPARE(settings().CallRowMargin, 30);
        QTRY_COMPARE(callGrid()->rowHeight(0), rowHeight + 30);
        QList<qint64> byOrder = byDate;
        std::reverse(byOrder.begin(), byOrder.end());
        QCOMPARE(listedKeys(), byOrder);
    }

    // The language is chosen in the real dialog by keys: the INI file gets it at once, for the next
    // start, and only when the caller changed it there; the running window keeps its language.
    void languageChoice_data() {
        QTest::addColumn<QString>("stored"); // as the INI file holds it
        QTest::addColumn<int>("key");        // pressed on the language list; 0: none
        QTest::addColumn<QString>("button");
        QTest::addColumn<QString>("written");
        QTest::newRow("untouched") << "english" << 0 << "cmdOK"
                                   << "english";
        QTest::newRow("English chosen") << "english" << int(Qt::Key_Up) << "cmdOK"
                                        << "English";
        QTest::newRow("Japanese chosen") << "English" << int(Qt::Key_Down) << "cmdOK"
                                         << "Japanese";
        QTest::newRow("chosen, cancelled") << "english" << int(Qt::Key_Up) << "cmdCancel"
                                           << "english";
    }
    void languageChoice() {
        QFETCH(QString, stored);
        QFETCH(int, key);
        QFETCH(QString, button);
        QFETCH(QString, written);
        QVERIFY(start({"generated Plus"}, {}, {{QStringLiteral("Language"), stored}}));
        const QString caption = m_window->menus().fileMenu->title();
        throughDialog([key, button](frmSetting& dialog) {
            auto* languages = dialog.findChild<QComboBox*>(QStringLiteral("cboLanguage"));
            QCOMPARE(languages->currentData().toString(), QLatin1String(key == Qt::Key_Down ? "English" : "Japanese"));
            if (key != 0) {
                dialog.findChild<QTabWidget*>(QStringLiteral("tabSetting"))->setCurrentIndex(3);
                QVERIFY(focus(languages));
                QTest::keyClick(languages, Qt::Key(key));
            }
            QTest::mouseClick(dialog.findChild<QPushButton*>(button), Qt::LeftButton);
        });
        QCOMPARE(IniFile::read(iniPath(), QStringLiteral("VornReader"), QStringLiteral("Language")).value_or(QString()),
                 written);
        QCOMPARE(modGeneral::Language(), stored);
        QCOMPARE(m_window->menus().fileMenu->title(), caption);
    }

    // Variant 0 wraps a long call into a taller row; variant 1 keeps every call on one line and
    // shows a call's note in a second line under it.
    void partFormat() {
        QVERIFY(start({"generated Plus"}, [](Database& db) {
            db.exec(QStringLiteral("UPDATE tblCall SET Call = Call || ' and then a long, long tail of words that "
                                   "cannot fit in one line of the call list at all' WHERE Number = 2"));
            db.exec(QStringLiteral("UPDATE tblCall SET Note = 'watch the ends' WHERE Number = 3"));
        }));
        m_window->sequenceList().setCurrentRow(0);
        const auto heights = [this] {
            return QList<int>{callGrid()->rowHeight(0), callGrid()->rowHeight(1), callGrid()->rowHeight(2)};
        };
        const auto variant = [this](int format) {
            m_window->optionsCommand().setEditor([format](Settings& s) {
                s.PartFormat = format;
                return true;
            });
            m_window->menus().settingOptions->trigger();
        };
        variant(0);
        QList<int> wrapped = heights();
        QVERIFY2(wrapped[1] > wrapped[0] && wrapped[2] == wrapped[0], qPrintable(QDebug::toString(wrapped)));
        variant(1);
        QList<int> oneLine = heights();
        QVERIFY2(oneLine[1] == oneLine[0] && oneLine[2] > oneLine[0], qPrintable(QDebug::toString(oneLine)));
        // A value without a variant of its own leaves the grid as it is.
        variant(5);
        QCOMPARE(heights(), oneLine);
    }
};

QTEST_MAIN(TestOptionsCommand)
#include "TestOptionsCommand.moc"
