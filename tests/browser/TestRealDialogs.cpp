#include "AppHome.h"
#include "DialogScript.h"
#include "ErrorMessageBox.h"
#include "ProgressDialog.h"
#include "VornVersion.h"
#include "WindowFixture.h"
#include "frmFormation.h"

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
    // One answer: enter, esc, click BUTTON, type BOX TEXT, choose PATH (typed into the file chooser),
    // pick LIST ITEM, tab TABS N, select COMBO TEXT, version (the About box
    // shows the build's own).
    S::Answer answer(const QString& action) const {
        const QString verb = action.section(' ', 0, 0);
        const QString name = action.section(' ', 1, 1);
        const QString rest = action.section(' ', 2);
        if (verb == QLatin1String("enter") || verb == QLatin1String("esc")) {
            return S::press(verb == QLatin1String("enter") ? Qt::Key_Return : Qt::Key_Escape);
        }
        if (verb == QLatin1String("click")) {
            return S::click(name);
        }
        if (verb == QLatin1String("type")) {
            return S::type(name, rest);
        }
        if (verb == QLatin1String("choose")) {
            return S::chooseFile(path(name));
        }
        return [verb, name, rest](QWidget* w) {
            if (verb == QLatin1String("pick")) {
                auto* list = w->findChild<QListWidget*>(name);
                QListWidgetItem* item = list->findItems(rest, Qt::MatchExactly).value(0);
                QTest::mouseClick(list->viewport(), Qt::LeftButton, {}, list->visualItemRect(item).center());
            } else if (verb == QLatin1String("tab")) {
                w->findChild<QTabWidget*>(name)->setCurrentIndex(rest.toInt());
            } else if (verb == QLatin1String("select")) {
                auto* combo = w->findChild<QComboBox*>(name);
                combo->setCurrentIndex(combo->findText(rest));
            } else {
                QCOMPARE(w->findChild<QLabel*>(QStringLiteral("lblVersion"))->text(),
                         QStringLiteral("VornReader  ver %1").arg(QLatin1String(kVornVersion)));
            }
        };
    }
    // Dialogs parted by " / ", each "NAME ANSWER, ANSWER ..." (NAME+ stays open after its answers;
    // QMessageBox#KEY(ARGUMENTS) is the box of that text); "A|B" answers A after yes and B after
    // no; a dialog marked "yes:" comes only after yes.
    QList<Step> steps(const QString& script, bool yes) const {
        QList<Step> steps;
        for (QString dialog : script.split(QStringLiteral(" / "))) {
            if (dialog.startsWith(QLatin1String("yes:")) && !yes) {
                continue;
            }
            dialog.remove(QRegularExpression(QStringLiteral("^yes:")));
            QString name = dialog.section(' ', 0, 0);
            QList<S::Answer> answers;
            for (const QString& action : dialog.section(' ', 1).split(QStringLiteral(", "))) {
                answers.append(answer(action.contains('|') ? action.section('|', yes ? 0 : 1, yes ? 0 : 1) : action));
            }
            const S::Answer all = [answers](QWidget* w) {
                for (const S::Answer& one : answers) {
                    one(w);
                }
            };
            const bool closes = !name.endsWith('+');
            if (name.startsWith(QLatin1String("QMessageBox#"))) {
                QVariantList arguments;
                for (const QString& argument : name.section('(', 1).chopped(1).split(',', Qt::SkipEmptyParts)) {
                    arguments.append(path(argument));
                }
                steps.append({"QMessageBox", all, closes,
                              modGeneral::TransMessage(name.section('#', 1).section('(', 0, 0).toInt(), arguments)
                                  .replace(QStringLiteral("\r\n"), QStringLiteral("\n"))});
            } else {
                steps.append({name.remove('+'), all, closes});
            }
        }
        return steps;
    }

private Q_SLOTS:
    void initTestCase() {
        // Qt's own file chooser, which a test can type a path into.
        QCoreApplication::setAttribute(Qt::AA_DontUseNativeDialogs);
    }

    // Every dialog the window can show, started by the row's steps and answered both ways, with a
    // probe and what it answers after yes <> after no (without a probe: what the window shows).
    // Japanese for the second answer of each: the boxes take the same keys.
    void answeredBothWays_data() {
        QTest::addColumn<QString>("trigger");
        QTest::addColumn<QString>("script");
        QTest::addColumn<QString>("probe");
        QTest::addColumn<QString>("expected");
        QTest::addColumn<bool>("yes");
        // clang-format off
        const char* table =
            "export => lib Target.mdb; mnuFileExport => frmExport+ select cboLevel A1, click cmdBrowse(1) / QFileDialog choose ~/lib/Target.mdb / frmExport+ click cmdExecute / QMessageBox#40221(3,~/lib/Target.mdb) enter|esc / yes:QMessageBox#40223 enter / frmExport click cmdClose => ?sql SELECT count(*) FROM tblSequence WHERE Level = 'A1' => 0 <> 3\n"
            "delete => sel 0-0; win:0 => QMessageBox#40136(1) enter|esc => ?sql SELECT count(*) FROM tblSequence => 5 <> 6\n"
            "change level => sel 0-0; mnuSequenceChangeLevel => frmMsgChangeLevel pick lstLevel A2, click cmdOK|click cmdCancel => ?sql SELECT count(*) FROM tblSequence WHERE Level = 'A2' => 1 <> 0\n"
            "history add => sel 0-0; mnuSequenceAddHist => frmMsgHistoryAdd type txtPartyName Hall, enter|esc => ?sql SELECT count(*) FROM tblHistory WHERE PartyName = 'Hall' => 1 <> 0\n"
            "history delete => sel 0-0; mnuSequenceDelHist => frmMsgHistoryDel click cmdOK|click cmdCancel => ?sql SELECT count(*) FROM tblHistory => 5 <> 6\n"
            // Club 1 heard one Plus sequence on 2026/01/02.
            "not called for => mnuViewNotCalledFor => frmNotCalledFor select cboPartyName Club 1, type txtWeeks 52, enter|esc =>  => 0.0/2 【Plus】 Dance.mdb <> 0.0/3 【Plus】 Dance.mdb\n"
            // The tip time, and the language for the next start, written only when it was changed.
            "options => mnuSettingOptions => frmSetting tab tabSetting 3, type txtTipTimer 45, select cboLanguage 日本語, click cmdOK|esc => ?setting TipTime; ?inikey Language => 45 | Japanese <> 12 | Japanese\n"
            "page setup => mnuFilePrintSet => cmnPageSetup type leftMargin 3, enter|esc => ?setting MarginLeft => 3 <> 10\n"
            "search and replace => mnuEditReplace => frmSearchWord+ type txtSearchWord swing thru, type txtReplaceWord spin the top, click cmdReplaceAll / QMessageBox#40504(9) enter|esc / yes:QMessageBox#40503(9) enter / frmSearchWord click cmdCancel => ?sql SELECT count(*) FROM tblCall WHERE Call LIKE '%spin the top' => 9 <> 0\n"
            "print preview => sel 0-1; mnuFilePrintPreview => frmPreview click cmdClose|esc => ?preview => 1 pages, hidden <> 1 pages, hidden\n"
            "formation editor => mnuCallEditFormation => frmFormation type txtFormation  1B^, click cmdOK|click cmdCancel => ?sql SELECT count(*) FROM tblCall WHERE Figure = ' 1B^' => 1 <> 0\n"
            "about => mnuHelpVersion => frmAbout version, enter|esc =>  => 0.0/3 【Plus】 Dance.mdb <> 0.0/3 【Plus】 Dance.mdb\n"
            // Stopped part-way: some of the 20000 sequences are stored, not all.
            "progress => gen 20000; mnuFileSeqRead => QFileDialog choose ~/lib/more.Plus / frmProgress click cmdCancel|esc / QMessageBox enter => ?sql SELECT count(*) BETWEEN 7 AND 20005 FROM tblSequence => 1 <> 1\n"
            "open => lib Other.mdb; mnuFileMdbOpen => QFileDialog choose ~/lib/Other.mdb|esc =>  => 0.0/1 【C1】 Other.mdb <> 0.0/3 【Plus】 Dance.mdb\n"
            "read => gen 2; mnuFileSeqRead => QFileDialog choose ~/lib/more.Plus|esc / yes:QMessageBox enter => ?sql SELECT count(*) FROM tblSequence => 8 <> 6\n"
            "new => mnuFileMdbNew => QFileDialog choose ~/lib/New.mdb|esc =>  => -1.-1/0 New.mdb <> 0.0/3 【Plus】 Dance.mdb\n";
        // clang-format on
        for (const QStringList& row : tableRows(table)) {
            const QString name = row[0];
            QTest::addRow("%s, yes", qPrintable(name))
                << row[1] << row[2] << row[3] << row[4].section(" <> ", 0, 0) << true;
            QTest::addRow("%s, no", qPrintable(name))
                << row[1] << row[2] << row[3] << row[4].section(" <> ", 1) << false;
        }
    }
    void answeredBothWays() {
        QFETCH(QString, trigger);
        QFETCH(QString, script);
        QFETCH(QString, probe);
        QFETCH(bool, yes);
        m_realDialogs = true;
        QVERIFY(start({"generated Plus", "generated A1"}, {}, {{"Language", yes ? "English" : "Japanese"}}));
        ProgressDialog::setShowAfter(trigger.contains(QLatin1String("20000")) ? 0 : ProgressDialog::ShowAfterMs);
        DialogScript answers(steps(script, yes));
        run(trigger);
        QTRY_VERIFY_WITH_TIMEOUT(answers.settled(), 20000);
        ProgressDialog::setShowAfter(ProgressDialog::ShowAfterMs);
        QVERIFY2(answers.faults().isEmpty(), qPrintable(answers.faults().join('\n')));
        const QString outcome = run(probe);
        QTEST(probe.isEmpty() ? outcome : outcome.section(QStringLiteral(" | "), 0, -2), "expected");
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
            QVERIFY(answered && QFileInfo::exists(AppHome::resolve(QString::fromUtf16(modSystem::ErrorLogName))));
            QCOMPARE(sql(QStringLiteral("SELECT count(*) FROM tblSequence WHERE Property = 2")), QStringList{"0"});
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
        QVERIFY(waitpid(child, &status, 0) == child && WIFEXITED(status) && WEXITSTATUS(status) == EXIT_FAILURE);
    }

    // The formation editor shows LF lines, gives CR LF back and redraws on every keystroke; the
    // hexagon cell shows only in hexagon mode; only OK counts as not cancelled.
    void formationEditor() {
        const QString figure = QStringLiteral(" 1B^\r\n 2G<");
        frmFormation dialog(false);
        dialog.setTexts({figure, QStringLiteral("first\r\nsecond"), QStringLiteral("1,2,3,4")});
        dialog.show();
        QVERIFY(QTest::qWaitForWindowExposed(&dialog));
        QVERIFY(!dialog.hexInfoGrid()->isVisible() && frmFormation::alignsColumns(dialog.formationEdit()->font()));
        QCOMPARE(dialog.formationEdit()->toPlainText(), QStringLiteral(" 1B^\n 2G<"));
        dialog.formationEdit()->moveCursor(QTextCursor::End);
        QTest::keyClick(dialog.formationEdit(), Qt::Key_Return);
        QTest::keyClicks(dialog.formationEdit(), QStringLiteral(" 3G"));
        QCOMPARE(dialog.picture()->figureText(), figure + QStringLiteral("\r\n 3G"));
        const FormationText texts = dialog.texts();
        QCOMPARE(texts.figure + '|' + texts.note + '|' + texts.hexInfo, figure + "\r\n 3G|first\r\nsecond|1,2,3,4");
        QTest::mouseClick(dialog.findChild<QPushButton*>(QStringLiteral("cmdOK")), Qt::LeftButton);
        QVERIFY(!dialog.isVisible() && !dialog.cancelled);
    }

    // From the start of the work, before the dialog shows, the window neither closes nor takes
    // dropped files; a question's box still closes; afterwards the window does both again.
    void windowHoldsStillDuringWork() {
        QVERIFY(start({"generated Plus"}));
        const QString path = m_home->file(QStringLiteral("more.Plus"));
        Fixtures::writeFile(path, Fixtures::generatorText(2, 4, QStringLiteral("Plus"), 100).toUtf8());
        const auto drop = [&] {
            WindowFixture::drop(m_window->sequenceList().view()->viewport(), {QUrl::fromLocalFile(path)});
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
