#include "CallEditing.h"
#include "ErrorMessageBox.h"
#include "ExportCommand.h"
#include "SearchCommands.h"
#include "SplitLayout.h"
#include "WindowFixture.h"
#include "frmSearchWord.h"
#include "modGeneral.h"

#include <QClipboard>

// What the window must never do: act without a library, take keys meant for an editor, reorder on
// a stranger's drop, or delete what it could not copy.
class TestWindowSafety : public WindowFixture {
    Q_OBJECT

    // The window with no library at all: the remembered one is gone.
    bool startWithout() {
        modSystem::WriteIniValue(QStringLiteral("VornReader"), QStringLiteral("Language"), QStringLiteral("English"),
                                 iniPath());
        m_window = std::make_unique<frmVornReader>(QString(), m_dialogs.get());
        m_window->show();
        return QTest::qWaitForWindowActive(m_window.get());
    }
    // The library file's rows in short, read beside the window's own connection.
    QString content() const {
        if (m_library.isEmpty()) {
            return {};
        }
        Database db(m_library, Database::Mode::ReadOnly);
        return Fixtures::value(db, QStringLiteral("SELECT (SELECT count(*) FROM tblSequence) || '|' || (SELECT "
                                                  "count(*) FROM tblCall) || '|' || (SELECT count(*) FROM tblHistory) "
                                                  "|| '|' || (SELECT group_concat(Property) FROM tblSequence)"))
            .toString();
    }

private Q_SLOTS:
    // An error log whose name leads to a library leaves the library alone; the error box says so
    // above the report and still answers OK.
    void errorLogNeverReplacesALibrary() {
        QVERIFY(startWithout());
        const QString library = createLibrary(QStringLiteral("Kept.mdb"), {QStringLiteral("generated Plus")});
        const QString log = m_home->file(QString::fromUtf16(modSystem::ErrorLogName));
        QVERIFY(QFile::link(library, log));
        const QByteArray before = Fixtures::readFile(library);
        ErrorMessageBox box;
        modSystem::setErrorBox(&box);
        QString details;
        QTimer::singleShot(0, [&details] {
            auto* shown = qobject_cast<QMessageBox*>(QApplication::activeModalWidget());
            if (shown != nullptr && shown->objectName() == QLatin1String("frmErrorBox")) {
                details = shown->informativeText();
                QTest::mouseClick(shown->button(QMessageBox::Ok), Qt::LeftButton);
            }
        });
        modSystem::WriteErrorLog(QStringLiteral("frmVornReader.CreateList"), {VornError::TypeMismatch, "x"});
        modSystem::setErrorBox(m_errors.get());
        QVERIFY2(details.startsWith(modGeneral::TransMessage(40161, {log, library})), qPrintable(details));
        QCOMPARE(Fixtures::readFile(library), before);
    }

    // Without a library, after File > Close and on an empty library, every command of the window
    // and the keys 0-9 do nothing: no report, no question, no row.
    void commandsNeedALibrary_data() {
        QTest::addColumn<QString>("state");
        QTest::newRow("no library") << "none";
        QTest::newRow("after File > Close") << "closed";
        QTest::newRow("empty library") << "empty";
    }
    void commandsNeedALibrary() {
        QFETCH(QString, state);
        if (state == QLatin1String("none")) {
            QVERIFY(startWithout());
        } else {
            QVERIFY(start(state == QLatin1String("empty") ? QStringList() : QStringList{"linux.Plus"}));
            if (state == QLatin1String("closed")) {
                m_window->menus().fileClose->trigger();
            }
        }
        QGuiApplication::clipboard()->setText(QString());
        const QString before = content();
        QVERIFY(m_window->findChild<QLabel*>(QStringLiteral("lblCallHint"))->isVisible());
        // Everything but what leaves the window, opens a chooser of its own or opens a library.
        QList<QAction*> skipped{m_window->menus().fileExit, m_window->menus().filePrintSet,
                                m_window->menus().settingOptions, m_window->menus().helpIndex};
        skipped += m_window->menus().recentFiles;
        // File > Export runs, its dialog closed at once without a move.
        m_window->exportCommand().setRunner([](frmExport&) {});
        QList<QAction*> actions = m_window->findChildren<QAction*>();
        for (QMenu* popup :
             {m_window->menus().sequencePopup, m_window->menus().historyPopup, m_window->menus().callEditPopup}) {
            actions += popup->actions();
        }
        for (QAction* action : std::as_const(actions)) {
            if (!skipped.contains(action) && !action->menu() && !action->isSeparator()) {
                action->trigger();
            }
        }
        for (int key = Qt::Key_0; key <= Qt::Key_9; ++key) {
            QTest::keyClick(m_window->sequenceList().view(), Qt::Key(key));
            QTest::keyClick(m_window->sequenceList().view(), Qt::Key(key), Qt::ShiftModifier);
        }
        QVERIFY2(m_dialogs->questions.isEmpty(), qPrintable(m_dialogs->questions.join('\n')));
        QCOMPARE(content(), before);
        QCOMPARE(m_window->state().currentSequence, 0);
        m_window->callEditing().addCallRow(1);
        QCOMPARE(content(), before);
    }

    // Deleting the last listed sequence leaves nothing for Insert Call to add a call to, and
    // closing the library takes the search dialog with it.
    void emptiedListHasNoCurrentSequence() {
        QVERIFY(start({"linux.C1"}));
        m_window->menus().editSearch->trigger();
        QVERIFY(m_window->searchCommands().dialog()->isVisible());
        selectRows(0, 0);
        m_window->menus().sequenceDelete->trigger();
        QCOMPARE(seqCount(), 0);
        QCOMPARE(m_window->state().currentSequence, 0);
        QVERIFY(!m_window->menus().callEditInsert->isEnabled());
        m_window->callEditing().addCallRow(1);
        QCOMPARE(number(QStringLiteral("SELECT count(*) FROM tblCall")), 0);
        m_window->menus().fileClose->trigger();
        QVERIFY(!m_window->searchCommands().dialog()->isVisible());
    }

    // Keys typed into a cell editor (the hexagon offsets included) go to the editor, never to the
    // state and delete keys.
    void keysGoToTheEditor_data() {
        QTest::addColumn<QString>("gridName");
        QTest::addColumn<QString>("stored");
        QTest::newRow("hexagon offsets") << "grdHexInfo(1)"
                                         << "SELECT HexInfo FROM tblCall WHERE Number = 2";
        QTest::newRow("call text") << "grdCall"
                                   << "SELECT Call FROM tblCall WHERE Number = 2";
        QTest::newRow("title") << "grdSeqList"
                               << "SELECT Title FROM tblSequence WHERE Sequence = 1";
    }
    void keysGoToTheEditor() {
        QFETCH(QString, gridName);
        QFETCH(QString, stored);
        QVERIFY(start({"generated Plus"}, {}, {{"HexMode", "True"}}));
        m_window->callList().setCurrentRow(1);
        auto* grid = m_window->findChild<GridView*>(gridName);
        QVERIFY(focus(grid));
        if (gridName == QLatin1String("grdCall")) {
            grid->selectionModel()->clear();
            grid->setCurrentIndex(grid->model()->index(1, 1));
        }
        QTest::keyClick(grid, Qt::Key_Return);
        QTRY_VERIFY(grid->isEditing());
        auto* editor = qobject_cast<QLineEdit*>(QApplication::focusWidget());
        QVERIFY(editor);
        editor->clear();
        QTest::keyClicks(editor, QStringLiteral("1,2,0,1"));
        QTest::keyClick(editor, Qt::Key_Return);
        QTRY_VERIFY(!grid->isEditing());
        QCOMPARE(sql(stored).value(0), QStringLiteral("1,2,0,1"));
        QCOMPARE(sql(QStringLiteral("SELECT group_concat(Property) FROM tblSequence")).value(0),
                 QStringLiteral("0,0,0"));
        QVERIFY(m_dialogs->questions.isEmpty());
    }

    // The number column never becomes current, and the standard shortcuts stand on the menus.
    void numberColumnAndShortcuts() {
        QVERIFY(start({"generated Plus"}));
        GridView* calls = m_window->callList().grid();
        QTest::mouseClick(calls->viewport(), Qt::LeftButton, {},
                          calls->visualRect(calls->model()->index(2, 0)).center());
        QCOMPARE(calls->currentIndex(), calls->model()->index(2, 1));
        const MainMenus& menus = m_window->menus();
        const QList<std::pair<QAction*, const char*>> expected{
            {menus.fileNew, "Ctrl+N"},   {menus.fileOpen, "Ctrl+O"},   {menus.fileClose, "Ctrl+W"},
            {menus.fileExit, "Ctrl+Q"},  {menus.editCut, "Ctrl+X"},    {menus.editCopy, "Ctrl+C"},
            {menus.editPaste, "Ctrl+V"}, {menus.editSearch, "Ctrl+F"}, {menus.editReplace, "Ctrl+H"}};
        for (const auto& [action, keys] : expected) {
            QCOMPARE(action->shortcut(), QKeySequence(QLatin1String(keys)));
        }
        QGuiApplication::clipboard()->setText(QString());
        QVERIFY(focus(m_window->sequenceList().view()));
        QTest::keyClick(m_window->sequenceList().view(), Qt::Key_C, Qt::ControlModifier);
        QTRY_VERIFY(QGuiApplication::clipboard()->text().contains(QLatin1String("generated sequence")));
    }

    // Only a drag that started in this list reorders it; after one, the remembered position and
    // the position panel follow the shown sequence.
    void dropsFromElsewhereDoNotReorder() {
        QVERIFY(start({"generated Plus"}));
        SequenceListModel* model = m_window->sequenceList().model();
        const QList<qint64> before = listedKeys();
        m_window->sequenceList().setCurrentRow(0);
        QMimeData stranger;
        stranger.setData(QStringLiteral("application/x-vornreader-sequence-row"), "1:2:0");
        stranger.setText(QStringLiteral("some text"));
        QVERIFY(!model->dropMimeData(&stranger, Qt::MoveAction, 3, 0, {}));
        QCOMPARE(listedKeys(), before);

        std::unique_ptr<QMimeData> own(model->mimeData({model->index(0, 0)}));
        model->dropMimeData(own.get(), Qt::MoveAction, 3, 0, {});
        QCOMPARE(listedKeys(), (QList<qint64>{before[1], before[2], before[0]}));
        QCOMPARE(m_window->sequenceList().currentRow(), 2);
        QCOMPARE(settings().ViewIndex[m_window->state().levelIndex], 3);
        QCOMPARE(m_window->callList().positionPanel()->text(), QStringLiteral("3 / 3"));
    }

    // Call rows are measured again whenever the call pane changes its width (here: the split bar is
    // dragged): a narrower pane gives a long call more lines, a wider one takes them back.
    void callRowsFollowThePaneWidth() {
        QVERIFY(start({"generated Plus"}, [](Database& db) {
            Fixtures::value(db, QStringLiteral("UPDATE tblCall SET Call = ? WHERE Sequence = 1 AND Number = 1"),
                            {QStringLiteral("HEADS { this is an inserted comment } lead right, {b veer left}, "
                                            "couples circulate, bend the line, star thru, pass thru")});
        }));
        m_window->resize(1400, 700);
        auto* split = qobject_cast<SplitLayout*>(m_window->centralWidget());
        GridView* calls = m_window->callList().grid();
        const auto lines = [calls] { return calls->rowHeight(0) / QFontMetrics(calls->font()).height(); };
        split->dragTo(1, 11000);
        split->dragTo(0, 600);
        QTRY_VERIFY(calls->columnWidth(1) > 500 && lines() <= 3);
        split->dragTo(0, 9000);
        QTRY_VERIFY(lines() >= 6);
        split->dragTo(0, 600);
        QTRY_VERIFY(lines() <= 3);
    }

    // In a narrow window every pane keeps its minimum width inside the window; resizing shares the
    // width among the panes in the proportions they had.
    void panesShareTheWidth_data() {
        QTest::addColumn<int>("width");
        QTest::newRow("800 px") << 800;
        QTest::newRow("1600 px") << 1600;
        QTest::newRow("narrower than the panes allow") << 400;
    }
    void panesShareTheWidth() {
        QFETCH(int, width);
        QVERIFY(start({"generated Plus"}));
        auto* split = qobject_cast<SplitLayout*>(m_window->centralWidget());
        const auto shares = [split] {
            QList<double> list;
            for (const char* name : {"picFrame1", "picFrame2", "picFrame3"}) {
                const QRect pane = split->findChild<QWidget*>(QLatin1String(name))->geometry();
                list.append(pane.left() >= 0 && pane.right() < split->width() ? double(pane.width()) / split->width()
                                                                              : -1.0);
            }
            return list;
        };
        m_window->resize(1200, 700);
        QTRY_COMPARE(m_window->width(), 1200);
        const QList<double> before = shares();
        m_window->resize(width, 700);
        QTRY_COMPARE(m_window->width(), std::max(width, m_window->minimumSizeHint().width()));
        const QList<double> after = shares();
        for (int i = 0; i < 3; ++i) {
            QVERIFY2(after[i] * split->width() >= SplitLayout::MinimumPaneWidth[i],
                     qPrintable(QDebug::toString(after)));
            QVERIFY2(width < 800 || qAbs(after[i] - before[i]) < 0.03, qPrintable(QDebug::toString(before + after)));
        }
    }

    // A first start without settings: the window takes most of the screen, centred; Qt's own
    // buttons speak the program's language (Japanese by default); File > New proposes a new file in
    // the caller's documents, under a name no file there has.
    void firstStart() {
        m_window = std::make_unique<frmVornReader>(QString(), m_dialogs.get());
        m_window->show();
        QVERIFY(QTest::qWaitForWindowActive(m_window.get()));
        const QRect available = m_window->screen()->availableGeometry();
        QVERIFY(qAbs(m_window->width() - available.width() * 0.8) <= 2);
        QVERIFY(qAbs(m_window->height() - available.height() * 0.8) <= 2);
        QVERIFY(qAbs(m_window->geometry().center().x() - available.center().x()) <= 2);
        QDialogButtonBox buttons(QDialogButtonBox::Ok | QDialogButtonBox::Cancel);
        QCOMPARE(buttons.button(QDialogButtonBox::Cancel)->text(), QStringLiteral("キャンセル"));
        const QDir documents(QStandardPaths::writableLocation(QStandardPaths::DocumentsLocation));
        const QString name = modGeneral::LoadTransString(30106);
        QVERIFY(name.endsWith(QLatin1String(".mdb")));
        const bool taken = QFile::exists(documents.filePath(name));
        m_window->menus().fileNew->trigger();
        QCOMPARE(m_dialogs->saveRequests.size(), 1);
        QCOMPARE(m_dialogs->saveRequests[0][0], modGeneral::LoadTransString(30102));
        QCOMPARE(m_dialogs->saveRequests[0][1] == documents.filePath(name), !taken);
        QVERIFY(!QFile::exists(m_dialogs->saveRequests[0][1]));
        QVERIFY(m_dialogs->openRequests.isEmpty());
    }

    // A cut whose text could not be read whole deletes nothing and says so.
    void cutNeedsTheWholeText() {
        QVERIFY(start({"generated Plus"}));
        selectRows(0, 2);
        sql(QStringLiteral("ALTER TABLE tblHistory RENAME TO tblHistoryGone"));
        const QString clipboard = QStringLiteral("untouched");
        QGuiApplication::clipboard()->setText(clipboard);
        m_window->menus().editCut->trigger();
        QCOMPARE(number(QStringLiteral("SELECT count(*) FROM tblSequence")), 3);
        QCOMPARE(m_dialogs->exclamations.size(), 1);
        QCOMPARE(QGuiApplication::clipboard()->text(), clipboard);
        QVERIFY(m_errors->reported(QStringLiteral("modSeqText.WriteSequenceClipboard")));
        m_errors->prompts.clear();
    }

    // A cut whose deletion fails keeps every sequence and says so.
    void cutThatCannotDeleteKeepsAll() {
        QVERIFY(start({"generated Plus"}));
        selectRows(0, 2);
        sql(QStringLiteral("CREATE TRIGGER refuse BEFORE DELETE ON tblCall BEGIN SELECT RAISE(ABORT, 'no'); END"));
        m_window->menus().editCut->trigger();
        QCOMPARE(number(QStringLiteral("SELECT count(*) FROM tblSequence")), 3);
        QVERIFY(m_errors->reported(QStringLiteral("modSeqText.WriteSequenceClipboard")));
        m_errors->prompts.clear();
    }
};

QTEST_MAIN(TestWindowSafety)
#include "TestWindowSafety.moc"
