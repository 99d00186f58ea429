#include "AppHome.h"
#include "DialogScript.h"
#include "ErrorMessageBox.h"
#include "FigureView.h"
#include "PrintCommands.h"
#include "ProgressDialog.h"
#include "VornVersion.h"
#include "WindowFixture.h"
#include "frmFormation.h"
#include "frmMsgHistoryDel.h"
#include "frmPreview.h"
#include "modGeneral.h"

#include <sys/wait.h>
#include <unistd.h>

// Every dialog the window can show, as the real widget reached from its menu item or key and
// answered both ways by keys and clicks: the library (or the settings) change or stay as the answer
// says, and afterwards the window takes keys again. The other tests answer through the fake
// dialogs; this table proves the wiring.
class TestRealDialogs : public WindowFixture {
    Q_OBJECT

    using Step = DialogScript::Step;
    using S = DialogScript;

    // A key typed now reaches the window: no dialog is left holding it.
    bool takesKeys() {
        struct Seen : QObject {
            QWidget* window = nullptr;
            bool seen = false;
            bool eventFilter(QObject* watched, QEvent* event) override {
                auto* widget = qobject_cast<QWidget*>(watched);
                seen = seen || (event->type() == QEvent::KeyPress && widget && widget->window() == window &&
                                static_cast<QKeyEvent*>(event)->key() == Qt::Key_F20);
                return false;
            }
        } seen;
        seen.window = m_window.get();
        qApp->installEventFilter(&seen);
        QTest::keyClick(m_window->windowHandle(), Qt::Key_F20);
        qApp->removeEventFilter(&seen);
        return seen.seen && QApplication::activeModalWidget() == nullptr;
    }
    QString count(const QString& where) const { return sql(QStringLiteral("SELECT count(*) FROM ") + where).value(0); }
    QString generatorFile(int sequences) const {
        const QString path = m_home->file(QStringLiteral("lib/more.Plus"));
        Fixtures::writeFile(path, Fixtures::generatorText(sequences, 4, QStringLiteral("Plus"), 100).toUtf8());
        return path;
    }
    // Steps until the dialog has shown itself.
    static bool waitShown(ProgressDialog& dialog, qint64 done, qint64 total) {
        return QTest::qWaitFor([&] {
            dialog.step(done, total);
            return dialog.dialog()->isVisible();
        });
    }
    static QString errorLog() { return AppHome::resolve(QString::fromUtf16(modSystem::ErrorLogName)); }

    // The dialogs of one command: the steps that start it, the answers, and a probe with what it
    // answers after yes and after no (without a probe: what the window shows); check runs afterwards.
    struct Case {
        QString trigger;
        QList<Step> steps;
        QString probe;
        QString afterYes;
        QString afterNo;
        std::function<void()> check = [] {};
    };

    // The message box of a translated text, answered Enter (its default, OK) or Escape (Cancel).
    static Step box(int key, const QVariantList& arguments, bool enter) {
        return {"QMessageBox", S::press(enter ? Qt::Key_Return : Qt::Key_Escape), true,
                modGeneral::TransMessage(key, arguments).replace(QStringLiteral("\r\n"), QStringLiteral("\n"))};
    }
    // Typed into a box, then Enter (yes) or Escape.
    static S::Answer typed(const char* box, const char* text, bool yes) {
        return S::then(S::type(QLatin1String(box), QLatin1String(text)),
                       S::press(yes ? Qt::Key_Return : Qt::Key_Escape));
    }

    Case caseFor(const QString& dialog, bool yes) {
        const auto ok = [yes](S::Answer answer, S::Answer cancel) { return yes ? answer : cancel; };
        const QString shown = QStringLiteral("0.0/3 【Plus】 Dance.mdb");
        if (dialog == QLatin1String("export")) {
            const QString target = createLibrary(QStringLiteral("Target.mdb"), {});
            QList<Step> steps{{"frmExport",
                               [](QWidget* w) {
                                   auto* level = w->findChild<QComboBox*>(QStringLiteral("cboLevel"));
                                   level->setCurrentIndex(level->findText(QStringLiteral("A1")));
                                   S::click(QStringLiteral("cmdBrowse(1)"))(w);
                               },
                               false},
                              {"QFileDialog", S::chooseFile(target)},
                              {"frmExport", S::click(QStringLiteral("cmdExecute")), false},
                              box(40221, {3, target}, yes)};
            if (yes) {
                steps.append(box(40223, {}, true));
            }
            steps.append({"frmExport", S::click(QStringLiteral("cmdClose"))});
            return {"mnuFileExport", steps, "?sql SELECT count(*) FROM tblSequence WHERE Level = 'A1'", "0", "3"};
        }
        if (dialog == QLatin1String("delete")) {
            return {"sel 0-0; win:0", {box(40136, {1}, yes)}, "?sql SELECT count(*) FROM tblSequence", "5", "6"};
        }
        if (dialog == QLatin1String("change level")) {
            const auto chooseA2 = [](QWidget* w) {
                auto* list = w->findChild<QListWidget*>(QStringLiteral("lstLevel"));
                QListWidgetItem* item = list->findItems(QStringLiteral("A2"), Qt::MatchExactly).value(0);
                QTest::mouseClick(list->viewport(), Qt::LeftButton, {}, list->visualItemRect(item).center());
                S::click(QStringLiteral("cmdOK"))(w);
            };
            return {"sel 0-0; mnuSequenceChangeLevel",
                    {{"frmMsgChangeLevel", ok(chooseA2, S::click(QStringLiteral("cmdCancel")))}},
                    "?sql SELECT count(*) FROM tblSequence WHERE Level = 'A2'",
                    "1",
                    "0"};
        }
        if (dialog == QLatin1String("history add")) {
            return {"sel 0-0; mnuSequenceAddHist",
                    {{"frmMsgHistoryAdd", typed("txtPartyName", "Hall", yes)}},
                    "?sql SELECT count(*) FROM tblHistory WHERE PartyName = 'Hall'",
                    "1",
                    "0"};
        }
        if (dialog == QLatin1String("history delete")) {
            return {"sel 0-0; mnuSequenceDelHist",
                    {{"frmMsgHistoryDel", S::click(yes ? QStringLiteral("cmdOK") : QStringLiteral("cmdCancel"))}},
                    "?sql SELECT count(*) FROM tblHistory",
                    "5",
                    "6"};
        }
        if (dialog == QLatin1String("not called for")) {
            // Down twice from "any party": Club 1, which heard one Plus sequence on 2026/01/02.
            const auto club1 = [](QWidget* w) {
                auto* party = w->findChild<QComboBox*>(QStringLiteral("cboPartyName"));
                party->setFocus();
                QTest::keyClick(party, Qt::Key_Down);
                QTest::keyClick(party, Qt::Key_Down);
            };
            return {"mnuViewNotCalledFor",
                    {{"frmNotCalledFor", S::then(club1, typed("txtWeeks", "52", yes))}},
                    "",
                    "0.0/2 【Plus】 Dance.mdb",
                    shown};
        }
        if (dialog == QLatin1String("options")) {
            // The tip time, and the language for the next start, written only when it was changed.
            const auto tipTime = [](QWidget* w) {
                w->findChild<QTabWidget*>(QStringLiteral("tabSetting"))->setCurrentIndex(3);
                S::type(QStringLiteral("txtTipTimer"), QStringLiteral("45"))(w);
                auto* languages = w->findChild<QComboBox*>(QStringLiteral("cboLanguage"));
                QVERIFY(focus(languages));
                QTest::keyClick(languages, Qt::Key_Down);
            };
            const int before = settings().TipTime;
            const QString language = modGeneral::Language();
            return {"mnuSettingOptions",
                    {{"frmSetting", S::then(tipTime, ok(S::click(QStringLiteral("cmdOK")), S::press(Qt::Key_Escape)))}},
                    "",
                    shown,
                    shown,
                    [this, yes, before, language] {
                        QCOMPARE(settings().TipTime, yes ? 45 : before);
                        QCOMPARE(modSystem::GetIniString(QStringLiteral("VornReader"), QStringLiteral("Language"),
                                                         iniPath(), {}),
                                 yes ? QStringLiteral("Japanese") : language);
                    }};
        }
        if (dialog == QLatin1String("page setup")) {
            const double before = settings().pageSetup.MarginLeft;
            return {
                "mnuFilePrintSet", {{"cmnPageSetup", typed("leftMargin", "3", yes)}}, "", shown, shown, [yes, before] {
                    QCOMPARE(settings().pageSetup.MarginLeft != before, yes);
                }};
        }
        if (dialog == QLatin1String("search and replace")) {
            QList<Step> steps{
                {"frmSearchWord",
                 S::then(S::type(QStringLiteral("txtSearchWord"), QStringLiteral("swing thru")),
                         S::then(S::type(QStringLiteral("txtReplaceWord"), QStringLiteral("spin the top")),
                                 S::click(QStringLiteral("cmdReplaceAll")))),
                 false},
                box(40504, {9}, yes)};
            if (yes) {
                steps.append(box(40503, {9}, true));
            }
            steps.append({"frmSearchWord", S::click(QStringLiteral("cmdCancel"))});
            return {"mnuEditReplace", steps, "?sql SELECT count(*) FROM tblCall WHERE Call LIKE '%spin the top'", "9",
                    "0"};
        }
        if (dialog == QLatin1String("print preview")) {
            return {"sel 0-1; mnuFilePrintPreview",
                    {{"frmPreview", ok(S::click(QStringLiteral("cmdClose")), S::press(Qt::Key_Escape))}},
                    "",
                    shown,
                    shown,
                    [this] {
                        QVERIFY(!m_window->printCommands().preview()->pages().isEmpty());
                        QVERIFY(!m_window->printCommands().preview()->isVisible());
                    }};
        }
        if (dialog == QLatin1String("formation editor")) {
            return {"mnuCallEditFormation",
                    {{"frmFormation", S::then(S::type(QStringLiteral("txtFormation"), QStringLiteral(" 1B^")),
                                              S::click(yes ? QStringLiteral("cmdOK") : QStringLiteral("cmdCancel")))}},
                    "?sql SELECT count(*) FROM tblCall WHERE Figure = ' 1B^'",
                    "1",
                    "0"};
        }
        if (dialog == QLatin1String("about")) {
            // The version is the build's own, whatever the process was told at start.
            const S::Answer read = [](QWidget* w) {
                QCOMPARE(w->findChild<QLabel*>(QStringLiteral("lblVersion"))->text(),
                         QStringLiteral("VornReader  ver %1").arg(QLatin1String(kVornVersion)));
            };
            return {"mnuHelpVersion",
                    {{"frmAbout", S::then(read, ok(S::press(Qt::Key_Return), S::press(Qt::Key_Escape)))}},
                    "",
                    shown,
                    shown};
        }
        if (dialog == QLatin1String("progress")) {
            const QString path = generatorFile(20000);
            ProgressDialog::setShowAfter(0);
            return {"mnuFileSeqRead",
                    {{"QFileDialog", S::chooseFile(path)},
                     {"frmProgress", ok(S::click(QStringLiteral("cmdCancel")), S::press(Qt::Key_Escape))},
                     {"QMessageBox", S::press(Qt::Key_Return)}},
                    "",
                    "",
                    "",
                    [this] {
                        ProgressDialog::setShowAfter(ProgressDialog::ShowAfterMs);
                        const int stored = count(QStringLiteral("tblSequence")).toInt();
                        QVERIFY2(stored >= 6 && stored < 6 + 20000, qPrintable(QString::number(stored)));
                    }};
        }
        if (dialog == QLatin1String("open")) {
            const QString other = createLibrary(QStringLiteral("Other.mdb"), {"generated C1"});
            return {"mnuFileMdbOpen",
                    {{"QFileDialog", ok(S::chooseFile(other), S::press(Qt::Key_Escape))}},
                    "",
                    "0.0/3 【C1】 Other.mdb",
                    shown};
        }
        if (dialog == QLatin1String("read")) {
            const QString path = generatorFile(2);
            QList<Step> steps{{"QFileDialog", ok(S::chooseFile(path), S::press(Qt::Key_Escape))}};
            if (yes) {
                steps.append({"QMessageBox", S::press(Qt::Key_Return)});
            }
            return {"mnuFileSeqRead", steps, "?sql SELECT count(*) FROM tblSequence", "8", "6"};
        }
        if (dialog == QLatin1String("new")) {
            const QString path = m_home->file(QStringLiteral("lib/New.mdb"));
            return {"mnuFileMdbNew",
                    {{"QFileDialog", ok(S::chooseFile(path), S::press(Qt::Key_Escape))}},
                    "",
                    "-1.-1/0 New.mdb",
                    shown};
        }
        qFatal("no case %s", qPrintable(dialog));
    }

private Q_SLOTS:
    void initTestCase() {
        // Qt's own file chooser, which a test can type a path into.
        QCoreApplication::setAttribute(Qt::AA_DontUseNativeDialogs);
    }

    // Every dialog the window can show, each answered both ways; Japanese for the second answer of
    // each: the boxes take the same keys.
    void answeredBothWays_data() {
        QTest::addColumn<QString>("dialog");
        QTest::addColumn<bool>("yes");
        for (const char* dialog : {"export", "delete", "change level", "history add", "history delete",
                                   "not called for", "options", "page setup", "search and replace", "print preview",
                                   "formation editor", "about", "progress", "open", "read", "new"}) {
            QTest::addRow("%s, yes", dialog) << dialog << true;
            QTest::addRow("%s, no", dialog) << dialog << false;
        }
    }
    void answeredBothWays() {
        QFETCH(QString, dialog);
        QFETCH(bool, yes);
        m_realDialogs = true;
        QVERIFY(start({"generated Plus", "generated A1"}, {}, {{"Language", yes ? "English" : "Japanese"}}));
        Case test = caseFor(dialog, yes);
        DialogScript script(test.steps);
        run(test.trigger);
        QTRY_VERIFY_WITH_TIMEOUT(script.settled(), 20000);
        QVERIFY2(script.faults().isEmpty(), qPrintable(script.faults().join('\n')));
        const QString outcome = run(test.probe);
        if (!test.afterYes.isEmpty()) {
            QCOMPARE(test.probe.isEmpty() ? outcome : outcome.section(QStringLiteral(" | "), 0, 0),
                     yes ? test.afterYes : test.afterNo);
        }
        test.check();
        QVERIFY(takesKeys());
    }

    // The error box over the window: OK goes on, Cancel ends the program at once (in a child
    // process here, which must end with a failure status).
    void errorBox_data() {
        QTest::addColumn<bool>("yes");
        QTest::newRow("OK") << true;
        QTest::newRow("Cancel") << false;
    }
    void errorBox() {
        QFETCH(bool, yes);
        m_realDialogs = true;
        QVERIFY(start({"generated Plus"}, [](Database& db) {
            db.exec(QStringLiteral("CREATE TRIGGER refuse BEFORE UPDATE OF Property ON tblSequence BEGIN SELECT "
                                   "RAISE(ABORT, 'refused'); END"));
        }));
        selectRows(0, 0);
        ErrorMessageBox box;
        modSystem::setErrorBox(&box);
        const auto raise = [this, yes] {
            DialogScript script({{"frmErrorBox", yes ? S::press(Qt::Key_Return) : S::press(Qt::Key_Escape)}});
            QTest::keyClick(m_window->windowHandle(), Qt::Key_3);
            return script.settled() && script.faults().isEmpty();
        };
        if (yes) {
            const bool answered = raise();
            modSystem::setErrorBox(m_errors.get());
            QVERIFY(answered);
            QVERIFY(QFileInfo::exists(errorLog()));
            QCOMPARE(count(QStringLiteral("tblSequence WHERE Property = 2")), QStringLiteral("0"));
            QVERIFY(takesKeys());
            return;
        }
        const pid_t child = fork();
        if (child == 0) {
            raise();
            _exit(0);
        }
        modSystem::setErrorBox(m_errors.get());
        int status = 0;
        QCOMPARE(waitpid(child, &status, 0), child);
        QVERIFY(WIFEXITED(status));
        QCOMPARE(WEXITSTATUS(status), EXIT_FAILURE);
    }

    // The formation editor shows LF lines, gives CR LF back and redraws on every keystroke, in a
    // font that lines the diagram up by columns. Only OK counts as not cancelled; the hexagon cell
    // shows only in hexagon mode.
    void formationEditor_data() {
        QTest::addColumn<QString>("how");
        QTest::addColumn<bool>("hexMode");
        QTest::addColumn<QString>("figure");
        QTest::newRow("close box") << "close" << true << QString();
        QTest::newRow("Escape") << "escape" << false << "  3GV  3BV\r\n 4B>      2G<\r\n  1B^  1G^";
        QTest::newRow("cmdCancel") << "cmdCancel" << true << " 1B^\r\n\r\n 2G<";
        QTest::newRow("cmdOK") << "cmdOK" << false << " 1B^  1G^";
    }
    void formationEditor() {
        QFETCH(QString, how);
        QFETCH(bool, hexMode);
        QFETCH(QString, figure);
        frmFormation dialog(hexMode);
        dialog.setTexts({figure, QStringLiteral("first\r\nsecond"), QStringLiteral("1,2,3,4")});
        dialog.show();
        QVERIFY(QTest::qWaitForWindowExposed(&dialog));
        QVERIFY(dialog.cancelled);
        QCOMPARE(dialog.hexInfoGrid()->isVisible(), hexMode);
        QVERIFY(frmFormation::alignsColumns(dialog.formationEdit()->font()));
        QVERIFY(!frmFormation::alignsColumns(QFont(QStringLiteral("DejaVu Sans"))));
        QVERIFY(frmFormation::alignsColumns(frmFormation::diagramFont(QFont(QStringLiteral("DejaVu Sans")))));
        QCOMPARE(dialog.formationEdit()->toPlainText() + '|' + dialog.noteEdit()->toPlainText(),
                 QString(figure).replace(QStringLiteral("\r\n"), "\n") + "|first\nsecond");
        QCOMPARE(dialog.picture()->figureText(), figure);
        dialog.formationEdit()->moveCursor(QTextCursor::End);
        QTest::keyClick(dialog.formationEdit(), Qt::Key_Return);
        QCOMPARE(dialog.picture()->figureText(), figure + QStringLiteral("\r\n"));
        QTest::keyClicks(dialog.formationEdit(), QStringLiteral(" 3G"));
        QCOMPARE(dialog.picture()->figureText(), figure + QStringLiteral("\r\n 3G"));
        const FormationText texts = dialog.texts();
        QCOMPARE(texts.figure + '|' + texts.note + '|' + texts.hexInfo, figure + "\r\n 3G|first\r\nsecond|1,2,3,4");
        QTest::mouseClick(dialog.findChild<QPushButton*>(QStringLiteral("cmdClearFormation")), Qt::LeftButton);
        QCOMPARE(dialog.texts().figure + dialog.picture()->figureText(), QString());
        if (how == QLatin1String("close")) {
            dialog.close();
        } else if (how == QLatin1String("escape")) {
            QTest::keyClick(&dialog, Qt::Key_Escape);
        } else {
            QTest::mouseClick(dialog.findChild<QPushButton*>(how), Qt::LeftButton);
        }
        QVERIFY(!dialog.isVisible());
        QCOMPARE(dialog.cancelled, how != QLatin1String("cmdOK"));
    }

    // OK on the history dialog's header row is refused with a message; on a pair it chooses it.
    void historyDeleteHeaderRow() {
        modGeneral::SetLanguage(QStringLiteral("English"));
        frmMsgHistoryDel dialog({{QStringLiteral("2012/01/28"), QStringLiteral("Club")},
                                 {QStringLiteral("2013/02/02"), QStringLiteral("O'Brien")}});
        DialogScript script({box(20682, {}, true)});
        dialog.grid()->setCurrentCell(0, 0);
        dialog.cmdOK_Click();
        QVERIFY(script.settled() && script.faults().isEmpty());
        QVERIFY(dialog.cancelled && dialog.result() != QDialog::Accepted);
        dialog.grid()->setCurrentCell(2, 0);
        dialog.cmdOK_Click();
        QCOMPARE(dialog.chosenRow(), 1);
        QVERIFY(!dialog.cancelled && dialog.result() == QDialog::Accepted);
    }

    // The progress dialog of long commands: Cancel, Escape and the close box stop the work; once
    // it can no longer be stopped, Cancel is gone and neither Escape nor the close box hide it.
    void progressWaysToStop_data() {
        QTest::addColumn<QString>("way");
        QTest::addColumn<bool>("cancellable");
        QTest::newRow("Cancel, stoppable") << "Cancel" << true;
        QTest::newRow("Escape, stoppable") << "Escape" << true;
        QTest::newRow("close box, stoppable") << "close" << true;
        QTest::newRow("Escape, not stoppable") << "Escape" << false;
        QTest::newRow("close box, not stoppable") << "close" << false;
    }
    void progressWaysToStop() {
        QFETCH(QString, way);
        QFETCH(bool, cancellable);
        QVERIFY(start({}));
        ProgressDialog progress(m_window.get());
        progress.setLabel(QStringLiteral("Working"));
        progress.setCancellable(cancellable);
        QVERIFY(waitShown(progress, 1, 4));
        QCOMPARE(progress.dialog()->labelText(), QStringLiteral("Working"));
        auto* cancel = progress.dialog()->findChild<QPushButton*>(QStringLiteral("cmdCancel"));
        QCOMPARE(cancel != nullptr, cancellable);
        if (way == QLatin1String("Cancel")) {
            QTest::mouseClick(cancel, Qt::LeftButton);
        } else if (way == QLatin1String("Escape")) {
            QTest::keyClick(progress.dialog(), Qt::Key_Escape);
        } else {
            progress.dialog()->close();
        }
        QCOMPARE(progress.step(2, 4), !cancellable);
        QCOMPARE(progress.cancelled(), cancellable);
        QCOMPARE(progress.dialog()->isVisible(), !cancellable);
    }

    // While the work waits for an answer the dialog is hidden, and it stays stopped once stopped.
    void progressPauseHides() {
        QVERIFY(start({}));
        ProgressDialog progress(m_window.get());
        QVERIFY(waitShown(progress, 0, 0));
        QCOMPARE(progress.dialog()->maximum(), 0);
        progress.pause();
        QVERIFY(!progress.dialog()->isVisible() && QApplication::activeModalWidget() == nullptr);
        QVERIFY(waitShown(progress, 3, 4));
        QCOMPARE(progress.dialog()->value(), 750);
        progress.dialog()->close();
        QVERIFY(!progress.step(4, 4));
        progress.pause();
        QVERIFY(!progress.step(4, 4) && !progress.dialog()->isVisible());
    }

    // From the start of the work, before the dialog shows, the window neither closes nor takes
    // dropped files; a question's box still closes; afterwards the window does both again.
    void windowHoldsStillDuringWork() {
        QVERIFY(start({"generated Plus"}));
        const QString path = generatorFile(2);
        const auto drop = [&] {
            QMimeData data;
            data.setUrls({QUrl::fromLocalFile(path)});
            QWidget* viewport = m_window->sequenceList().view()->viewport();
            QDragEnterEvent enter(QPoint(5, 5), Qt::CopyAction, &data, Qt::LeftButton, Qt::NoModifier);
            QCoreApplication::sendEvent(viewport, &enter);
            QDropEvent event(QPointF(5, 5), Qt::CopyAction, &data, Qt::LeftButton, Qt::NoModifier);
            QCoreApplication::sendEvent(viewport, &event);
        };
        {
            ProgressDialog progress(m_window.get());
            QVERIFY(progress.step(0, 1));
            QVERIFY(!progress.dialog()->isVisible());
            QVERIFY(!m_window->close() && m_window->isVisible());
            drop();
            QCOMPARE(seqCount(), 3);
            progress.pause();
            QMessageBox question(QMessageBox::Question, QStringLiteral("VornReader"), QStringLiteral("Go on?"),
                                 QMessageBox::Ok | QMessageBox::Cancel, m_window.get());
            question.show();
            QVERIFY(question.close());
            QVERIFY(progress.step(0, 1));
            QVERIFY(!m_window->close());
        }
        drop();
        QCOMPARE(seqCount(), 5);
        QVERIFY(m_window->close());
    }
};

QTEST_MAIN(TestRealDialogs)
#include "TestRealDialogs.moc"
