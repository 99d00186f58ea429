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

    // The message box of a translated text, answered Enter (its default, OK) or Escape (Cancel).
    static Step box(int key, const QVariantList& arguments, bool enter) {
        return {"QMessageBox", S::press(enter ? Qt::Key_Return : Qt::Key_Escape), true,
                modGeneral::TransMessage(key, arguments).replace(QStringLiteral("\r\n"), QStringLiteral("\n"))};
    }
    // One answer: enter, esc, click BUTTON, type BOX TEXT, choose PATH (typed into the file chooser),
    // down BOX (a key on it), pick LIST ITEM, tab TABS N, select COMBO TEXT, version (the About box
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
            if (verb == QLatin1String("down")) {
                auto* box = w->findChild<QWidget*>(name);
                QVERIFY(focus(box));
                QTest::keyClick(box, Qt::Key_Down);
            } else if (verb == QLatin1String("pick")) {
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
            // Down twice from "any party": Club 1, which heard one Plus sequence on 2026/01/02.
            "not called for => mnuViewNotCalledFor => frmNotCalledFor down cboPartyName, down cboPartyName, type txtWeeks 52, enter|esc =>  => 0.0/2 【Plus】 Dance.mdb <> 0.0/3 【Plus】 Dance.mdb\n"
            // The tip time, and the language for the next start, written only when it was changed.
            "options => mnuSettingOptions => frmSetting tab tabSetting 3, type txtTipTimer 45, down cboLanguage, click cmdOK|esc => ?setting TipTime; ?inikey Language => 45 | Japanese <> 12 | Japanese\n"
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
