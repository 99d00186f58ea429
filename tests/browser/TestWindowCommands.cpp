#include "AppHome.h"
#include "AsNobody.h"
#include "ExportCommand.h"
#include "SearchCommands.h"
#include "UndoHistory.h"
#include "WindowFixture.h"
#include "frmExport.h"
#include "frmSearchWord.h"
#include "modGeneral.h"

#include <QClipboard>
#include <QUndoStack>

// The window's commands, each reached as a caller reaches it (menu item, key, cell editor, drag,
// drop) on the generated Plus library (sequences 1-3 of three calls, one history entry each): what
// it does to the library and the list, its name on Edit > Undo, and undo and redo taking it back
// whole and making it again. On a library that cannot be written no editor opens and no change
// starts. The rules of each change (numbering, what a failure leaves) belong to the library's tests.
class TestWindowCommands : public WindowFixture {
    Q_OBJECT

    QStringList exactContent() const { return Fixtures::exactContent(m_window->session().database()); }
    QString undoCaption() const { return MainMenus::plainCaption(m_window->menus().editUndo); }
    GridView* grid(const QString& name) const { return m_window->findChild<GridView*>(name); }

    // Enter on a cell, the text typed over it and Enter, as a caller edits in place.
    static void editCell(GridView* view, int row, int column, const QString& text) {
        QVERIFY(focus(view));
        view->setCurrentIndex(view->model()->index(row, column));
        QTest::keyClick(view, Qt::Key_Return);
        if (auto* editor = qobject_cast<QLineEdit*>(QApplication::focusWidget());
            editor && view->isAncestorOf(editor)) {
            QTest::keyClick(editor, Qt::Key_A, Qt::ControlModifier);
            QTest::keyClicks(editor, text);
            QCOMPARE(editor->text(), text);
            QTest::keyClick(editor, Qt::Key_Return);
            QTRY_VERIFY(!view->isEditing());
        }
    }
    void drop(QWidget* receiver, const QList<QUrl>& urls) {
        QMimeData data;
        data.setUrls(urls);
        // As a drag does: the widget that accepts the entering drag receives the drop.
        QDragEnterEvent enter(QPoint(5, 5), Qt::CopyAction, &data, Qt::LeftButton, Qt::NoModifier);
        QApplication::sendEvent(receiver, &enter);
        QDropEvent event(QPointF(5, 5), Qt::CopyAction, &data, Qt::LeftButton, Qt::NoModifier);
        QApplication::sendEvent(receiver, &event);
    }
    QWidget* list() const { return m_window->sequenceList().view(); }

    // The command named by the test row.
    void change(const QString& name) {
        MainMenus& menus = m_window->menus();
        SequenceListModel* model = m_window->sequenceList().model();
        m_dialogs->level = QStringLiteral("C1");
        m_dialogs->historyEntry = HistoryEntryText{QStringLiteral("2026/12/06"), QStringLiteral("O'Brien")};
        m_dialogs->historyToDelete = QStringLiteral("2026/01/02|Club 1");
        m_dialogs->formationAnswer = FormationText{QStringLiteral(" 1B^"), QStringLiteral("n"), QStringLiteral("2")};
        const QHash<QString, std::pair<int, int>> selections{
            {"state item", {0, 1}}, {"key 3", {0, 1}},       {"key shift 5", {0, 1}},   {"key shift @", {0, 1}},
            {"delete key", {0, 2}}, {"cut", {1, 2}},         {"paste", {0, 0}},         {"level", {1, 2}},
            {"level all", {0, 2}},  {"add history", {0, 2}}, {"delete history", {1, 1}}};
        if (selections.contains(name)) {
            selectRows(selections[name].first, selections[name].second);
            QVERIFY(focus(list()));
        }
        const QHash<QString, std::pair<Qt::Key, Qt::KeyboardModifiers>> keys{
            {"key 3", {Qt::Key_3, Qt::NoModifier}},
            {"key shift 5", {Qt::Key_5, Qt::ShiftModifier}},
            {"key shift @", {Qt::Key_At, Qt::ShiftModifier}},
            {"delete key", {Qt::Key_0, Qt::NoModifier}}};
        if (keys.contains(name)) {
            QTest::keyClick(list(), keys[name].first, keys[name].second);
            // QTest's own Shift release still reports Shift held; a plain one ends it for the tests after.
            QTest::keyRelease(list(), Qt::Key_Shift);
        } else if (name == QLatin1String("state item")) {
            menus.sequenceStates[4]->trigger();
        } else if (name == QLatin1String("cut")) {
            menus.editCut->trigger();
        } else if (name == QLatin1String("paste")) {
            QGuiApplication::clipboard()->setText(Fixtures::generatorText(2, 3, QStringLiteral("Plus"), 900));
            QTest::keyClick(m_window->windowHandle(), Qt::Key_V, Qt::ControlModifier);
        } else if (name == QLatin1String("read")) {
            m_dialogs->filesToOpen = {Fixtures::dataFile(QStringLiteral("linux.C1"))};
            menus.fileRead->trigger();
        } else if (name == QLatin1String("drop")) {
            const QString file = m_home->file(QStringLiteral("more.Plus"));
            Fixtures::writeFile(file, Fixtures::generatorText(2, 2, QStringLiteral("Plus"), 100).toUtf8());
            drop(m_window->sequenceList().view()->viewport(), {QUrl::fromLocalFile(file)});
        } else if (name.startsWith(QLatin1String("level"))) {
            menus.sequenceChangeLevel->trigger();
        } else if (name == QLatin1String("add history")) {
            menus.sequenceAddHist->trigger();
        } else if (name == QLatin1String("delete history")) {
            menus.sequenceDelHist->trigger();
        } else if (name == QLatin1String("history grid delete")) {
            m_window->callList().historyGrid()->selectRow(0);
            menus.historyDelete->trigger();
        } else if (name == QLatin1String("insert call")) {
            menus.callEditInsert->trigger();
        } else if (name == QLatin1String("add call")) {
            menus.callEditAdd->trigger();
        } else if (name == QLatin1String("delete call")) {
            menus.callEditDelete->trigger();
        } else if (name == QLatin1String("formation")) {
            m_window->callList().setCurrentRow(1);
            menus.callEditFormation->trigger();
        } else if (name == QLatin1String("call text")) {
            editCell(m_window->callList().grid(), 0, 1, QStringLiteral("Spin 3/4 Chain 1"));
        } else if (name == QLatin1String("title")) {
            editCell(m_window->sequenceList().view(), 1, SequenceListModel::TitleColumn, QStringLiteral("Title 42"));
        } else if (name == QLatin1String("history date")) {
            editCell(m_window->callList().historyGrid(), 0, 0, QStringLiteral("2002/1/5"));
        } else if (name == QLatin1String("history party")) {
            editCell(m_window->callList().historyGrid(), 0, 1, QStringLiteral("M's \"C\" 9"));
        } else if (name == QLatin1String("hex offsets")) {
            m_window->callList().setCurrentRow(1);
            editCell(grid(QStringLiteral("grdHexInfo(1)")), 0, 0, QStringLiteral("1,2,0,1"));
        } else if (name == QLatin1String("replace")) {
            // The first press finds the match, the second replaces it.
            for (int press = 0; press < 2; ++press) {
                m_window->searchCommands().SearchWord(true, QStringLiteral("swing"), QStringLiteral("spin"), 1, 0);
            }
        } else if (name == QLatin1String("replace all")) {
            m_window->searchCommands().ReplaceWordAll(QStringLiteral("swing"), QStringLiteral("spin"), 1);
        } else if (name == QLatin1String("drag")) {
            std::unique_ptr<QMimeData> own(model->mimeData({model->index(0, 0)}));
            model->dropMimeData(own.get(), Qt::MoveAction, 3, 0, {});
        }
    }
    // What the rows check: the statement's rows joined by ',' and the number of sequences listed.
    QString outcome(const QString& check) const {
        return sql(check).join(QLatin1Char(',')) + QStringLiteral(" | ") + QString::number(seqCount());
    }
    void startGenerated(const std::function<void(Database&)>& prepare = {}) {
        QVERIFY(start({"generated Plus"}, prepare, {{"HexMode", "True"}}));
    }

private Q_SLOTS:
    void commands_data() {
        QTest::addColumn<QString>("name");
        QTest::addColumn<QString>("caption");
        QTest::addColumn<QString>("check");
        QTest::addColumn<QString>("expected");
        const auto row = [](const char* name, const char* caption, const char* check, const char* expected) {
            QTest::newRow(name) << name << caption << check << expected;
        };
        const char* states = "SELECT Property FROM tblSequence ORDER BY Sequence";
        const char* counts = "SELECT count(*) FROM tblSequence UNION ALL SELECT count(*) FROM tblCall UNION ALL "
                             "SELECT count(*) FROM tblHistory";
        const char* calls = "SELECT Number || ':' || ifnull(Call, '') FROM tblCall WHERE Sequence = 1 ORDER BY Number";
        row("state item", "State", states, "4,4,0 | 3");
        row("key 3", "State", states, "2,2,0 | 3");
        row("key shift 5", "State", states, "13,13,0 | 3");
        row("key shift @", "State", states, "10,10,0 | 3");
        row("delete key", "Delete 3 sequences", counts, "0,0,3 | 0");
        row("cut", "Cut 2 sequences", counts, "1,3,1 | 1");
        row("paste", "Paste 2 sequences", counts, "5,15,5 | 5");
        row("read", "Read 1 sequence", "SELECT Level || count(*) FROM tblSequence GROUP BY Level", "C11,Plus3 | 3");
        row("drop", "Read 2 sequences", counts, "5,13,5 | 5");
        row("level", "Change Level", "SELECT Level FROM tblSequence ORDER BY Sequence", "Plus,C1,C1 | 1");
        // No Plus sequence is left to list: the window turns to the level they went to.
        row("level all", "Change Level", "SELECT Level FROM tblSequence ORDER BY Sequence", "C1,C1,C1 | 3");
        row("add history", "Add History", "SELECT Sequence FROM tblHistory WHERE PartyName = 'O''Brien'", "1,2,3 | 3");
        row("delete history", "Delete History", "SELECT Sequence FROM tblHistory ORDER BY Sequence", "1,3 | 3");
        row("history grid delete", "Delete History", "SELECT Sequence FROM tblHistory ORDER BY Sequence", "2,3 | 3");
        row("insert call", "Insert Call", calls,
            "1:,2:call 1 of sequence 0 swing thru,3:call 2 of sequence 0 swing "
            "thru,4:call 3 of sequence 0 swing thru | 3");
        row("add call", "Add Call", calls,
            "1:call 1 of sequence 0 swing thru,2:,3:call 2 of sequence 0 swing thru,4:call "
            "3 of sequence 0 swing thru | 3");
        row("delete call", "Delete Call", calls,
            "1:call 2 of sequence 0 swing thru,2:call 3 of sequence 0 swing thru | 3");
        row("formation", "Formation",
            "SELECT Figure || '|' || Note || '|' || HexInfo FROM tblCall WHERE Number = 2 "
            "AND Sequence = 1",
            " 1B^|n|2 | 3");
        // Digits and Ctrl+A typed into a cell editor reach the editor, never the state keys.
        row("call text", "Call",
            "SELECT Call FROM tblCall WHERE Number = 1 AND Sequence = 1 UNION ALL SELECT "
            "group_concat(Property) FROM tblSequence",
            "Spin 3/4 Chain 1,0,0,0 | 3");
        row("title", "Title",
            "SELECT Title FROM tblSequence WHERE Sequence = 2 UNION ALL SELECT group_concat(Property) "
            "FROM tblSequence",
            "Title 42,0,0,0 | 3");
        row("history date", "Edit History", "SELECT CallDate FROM tblHistory ORDER BY History",
            "2002-01-05,2026-01-02,"
            "2026-01-03 | 3");
        row("history party", "Edit History", "SELECT PartyName FROM tblHistory WHERE Sequence = 1", "M's \"C\" 9 | 3");
        row("hex offsets", "Hexagon Position",
            "SELECT HexInfo FROM tblCall WHERE Number = 2 AND Sequence = 1 UNION ALL SELECT "
            "group_concat(Property) FROM tblSequence",
            "1,2,0,1,0,0,0 | 3");
        row("replace", "Replace", "SELECT count(*) FROM tblCall WHERE Call LIKE '%spin%'", "1 | 3");
        row("replace all", "Replace All", "SELECT count(*) FROM tblCall WHERE Call LIKE '%spin%'", "9 | 3");
        row("drag", "Move Sequences", "SELECT Sequence FROM tblSequence ORDER BY OrderNo", "2,3,1 | 3");
    }
    void commands() {
        QFETCH(QString, name);
        QFETCH(QString, check);
        QFETCH(QString, caption);
        startGenerated();
        MainMenus& menus = m_window->menus();
        QVERIFY(!menus.editUndo->isEnabled());
        const QStringList before = exactContent();
        const QList<qint64> listedBefore = listedKeys();
        change(name);
        QTEST(outcome(check), "expected");
        // A list left empty has no current sequence to add calls to.
        QCOMPARE(m_window->menus().callEditInsert->isEnabled(), seqCount() > 0);
        // The list shows what is stored.
        QCOMPARE(shownCalls(), storedCalls(m_window->state().currentSequence));
        const QStringList after = exactContent();
        QCOMPARE(m_window->undoHistory().stack()->count(), 1);
        QCOMPARE(undoCaption(), QStringLiteral("Undo ") + caption);
        menus.editUndo->trigger();
        QCOMPARE(exactContent(), before);
        QCOMPARE(listedKeys(), listedBefore);
        QVERIFY(!menus.editUndo->isEnabled());
        menus.editRedo->trigger();
        QCOMPARE(exactContent(), after);
        menus.editUndo->trigger();
        QCOMPARE(exactContent(), before);
        QVERIFY(m_dialogs->exclamations.isEmpty());
    }

    // Whatever is asked is answered yes: only the library's state may stop the change. Nothing is
    // written, nothing reported, nothing asked, and the list shows what is stored.
    void readOnlyLibrary_data() {
        QTest::addColumn<QString>("name");
        for (const char* name : {"title", "call text", "hex offsets", "history party", "replace", "replace all", "drag",
                                 "paste", "drop", "formation", "key 3"}) {
            QTest::newRow(name) << name;
        }
    }
    void readOnlyLibrary() {
        QFETCH(QString, name);
        const QString folder = m_home->file(QStringLiteral("lib"));
        startGenerated([&](Database&) {
            QVERIFY(QFile::setPermissions(folder + QStringLiteral("/Dance.mdb"), QFile::ReadOwner));
        });
        QVERIFY(m_window->session().isReadOnly());
        const QByteArray bytes = Fixtures::readFile(m_library);
        change(name);
        QTest::qWait(50);
        QVERIFY(Fixtures::readFile(m_library) == bytes);
        const QString log = AppHome::resolve(QString::fromUtf16(modSystem::ErrorLogName));
        QVERIFY2(!QFileInfo::exists(log), qPrintable(QString::fromUtf8(Fixtures::readFile(log))));
        QVERIFY(m_dialogs->questions.isEmpty());
        // The list refuses a title however it comes, not only by opening no editor.
        SequenceListModel* model = m_window->sequenceList().model();
        QVERIFY(!model->setData(model->index(1, SequenceListModel::TitleColumn), QStringLiteral("late title")));
        QCOMPARE(m_window->sequenceList().model()->index(1, 0).data().toString(),
                 sql(QStringLiteral("SELECT Title FROM tblSequence WHERE Sequence = ?"), {keyAt(1)}).value(0));
        QCOMPARE(shownCalls(), storedCalls(m_window->state().currentSequence));
        QCOMPARE(m_window->callList().historyModel()->index(0, 1).data().toString(),
                 sql(QStringLiteral("SELECT PartyName FROM tblHistory WHERE Sequence = ?"),
                     {m_window->state().currentSequence})
                     .value(0));
    }

    // Changes undone with Ctrl+Z to the start and redone with both redo keys; a change the library
    // refused adds nothing to undo; a new change drops what could have been redone.
    void keysAndMixedChanges() {
        startGenerated();
        QUndoStack* stack = m_window->undoHistory().stack();
        const QStringList start = exactContent();
        for (const char* name : {"state item", "insert call", "title", "add history"}) {
            change(QLatin1String(name));
        }
        // The next add proposes what was entered.
        m_dialogs->historyEntry.reset();
        m_window->menus().sequenceAddHist->trigger();
        QCOMPARE(m_dialogs->proposals.last(), QStringLiteral("2026/12/06|O'Brien"));
        const QStringList end = exactContent();
        sql(QStringLiteral(
            "CREATE TEMP TRIGGER refuse BEFORE UPDATE ON tblSequence BEGIN SELECT RAISE(ABORT, 'no'); END"));
        selectRows(0, 0);
        m_window->menus().sequenceChangeLevel->trigger();
        sql(QStringLiteral("DROP TRIGGER temp.refuse"));
        QVERIFY(m_errors->reported(QStringLiteral("frmVornReader.mnuSequenceChangeLevel_Click")));
        m_errors->prompts.clear();
        QCOMPARE(stack->count(), 4);
        QCOMPARE(exactContent(), end);
        change(QStringLiteral("delete key"));
        const QStringList deleted = exactContent();
        for (int i = 0; i < 5; ++i) {
            QTest::keyClick(list(), Qt::Key_Z, Qt::ControlModifier);
        }
        QCOMPARE(exactContent(), start);
        for (int i = 0; i < 5; ++i) {
            QTest::keyClick(list(), i % 2 ? Qt::Key_Y : Qt::Key_Z,
                            i % 2 ? Qt::ControlModifier : Qt::ControlModifier | Qt::ShiftModifier);
        }
        QCOMPARE(exactContent(), deleted);
        // The keys work from the call grid as well.
        QTest::keyClick(list(), Qt::Key_Z, Qt::ControlModifier);
        QVERIFY(focus(m_window->callList().grid()));
        QTest::keyClick(m_window->callList().grid(), Qt::Key_Z, Qt::ControlModifier);
        QCOMPARE(stack->index(), 3);
        change(QStringLiteral("state item"));
        QCOMPARE(stack->count(), 4);
        QVERIFY(!m_window->menus().editRedo->isEnabled());
    }

    // The undo stack belongs to the open library: File > Close, another library and File > Export
    // empty it.
    void undoForgottenWithTheLibrary_data() {
        QTest::addColumn<QString>("how");
        for (const char* how : {"close", "open", "export"}) {
            QTest::newRow(how) << how;
        }
    }
    void undoForgottenWithTheLibrary() {
        QFETCH(QString, how);
        startGenerated();
        change(QStringLiteral("delete key"));
        if (how == QLatin1String("close")) {
            m_window->menus().fileClose->trigger();
        } else if (how == QLatin1String("open")) {
            m_window->session().OpenSequenceMdbFile(createLibrary(QStringLiteral("Other.mdb"), {"generated C1"}), {});
        } else {
            m_window->exportCommand().setRunner([](frmExport& dialog) { dialog.close(); });
            m_window->menus().fileExport->trigger();
            QVERIFY(m_window->session().isOpen());
        }
        QCOMPARE(m_window->undoHistory().stack()->count(), 0);
        QCOMPARE(undoCaption(), QStringLiteral("Undo"));
    }

    // File > Export closes the library while its dialog is shown and opens it again afterwards,
    // through the same switch key, without the sequences that left it.
    void exportMovesOutOfTheOpenLibrary() {
        QVERIFY(start({"generated Plus", "generated A1"}, {}, {{"FuncKey", "F3"}}));
        const QString target = createLibrary(QStringLiteral("Target.mdb"), {});
        m_dialogs->fileToOpen = target;
        bool shown = false;
        m_window->exportCommand().setRunner([&](frmExport& dialog) {
            shown = !m_window->session().isOpen() && dialog.fileName(0) == m_library;
            dialog.cmdBrowse_Click(1);
            auto* level = dialog.findChild<QComboBox*>(QStringLiteral("cboLevel"));
            level->setCurrentIndex(level->findText(QStringLiteral("A1")));
            QTest::mouseClick(dialog.findChild<QPushButton*>(QStringLiteral("cmdExecute")), Qt::LeftButton);
        });
        m_window->menus().fileExport->trigger();
        QVERIFY(shown);
        QCOMPARE(m_dialogs->questions, QStringList{modGeneral::TransMessage(40221, {3, target})});
        QCOMPARE(m_dialogs->informations, QStringList{modGeneral::TransMessage(40223)});
        QVERIFY(m_window->windowTitle().contains(QLatin1String("Dance.mdb [F3]")));
        QCOMPARE(sql(QStringLiteral("SELECT Level || count(*) FROM tblSequence GROUP BY Level")), QStringList{"Plus3"});
        QVERIFY(!m_window->menus().viewLevels[2]->isVisible());
        Database db(target);
        QCOMPARE(Fixtures::value(db, QStringLiteral("SELECT count(*) FROM tblSequence WHERE Level = 'A1'")).toInt(), 3);
        // With no library open the dialog starts without a source and nothing opens when it closes.
        m_window->menus().fileClose->trigger();
        m_window->exportCommand().setRunner([&](frmExport& dialog) { shown = dialog.fileName(0).isEmpty(); });
        m_window->menus().fileExport->trigger();
        QVERIFY(shown && !m_window->session().isOpen());
    }

    void searchNext_data() {
        QTest::addColumn<bool>("matchCase");
        QTest::addColumn<QString>("find");
        QTest::addColumn<QList<int>>("rows");
        QTest::newRow("ignoring case, wrapping") << false << "zebra" << QList<int>{3, 5, 1};
        QTest::newRow("match case") << true << "zebra" << QList<int>{3};
        QTest::newRow("nowhere") << false << "okapi" << QList<int>{};
    }
    void searchNext() {
        QFETCH(bool, matchCase);
        QFETCH(QString, find);
        QFETCH(QList<int>, rows);
        QVERIFY(start({"linux.Plus"}));
        // Rows 1, 3 and 5 get the texts in calls 2, 3 and 4; the search starts on row 2.
        const QStringList planted{"Zebra left", "zebra right", "ZEBRA home"};
        for (int i = 0; i < 3; ++i) {
            sql(QStringLiteral("UPDATE tblCall SET Call = ? WHERE Sequence = ? AND Number = ?"),
                {planted[i], keyAt(1 + 2 * i), 2 + i});
        }
        m_window->sequenceList().setCurrentRow(2);
        m_window->menus().editSearch->trigger();
        frmSearchWord* dialog = m_window->searchCommands().dialog();
        QTRY_VERIFY(dialog->isVisible());
        dialog->findChild<QLineEdit*>(QStringLiteral("txtSearchWord"))->setText(find);
        dialog->findChild<QCheckBox*>(QStringLiteral("chkSplitCase"))->setChecked(matchCase);
        auto* next = dialog->findChild<QPushButton*>(QStringLiteral("cmdSearchNext"));
        for (const int row : rows) {
            QTest::mouseClick(next, Qt::LeftButton);
            const int call = (row - 1) / 2 + 1;
            QCOMPARE(m_window->sequenceList().currentRow(), row);
            QCOMPARE(m_window->callList().currentRow(), call);
            QCOMPARE(shownCalls().value(call), QStringLiteral("%1. %2").arg(call + 1).arg(planted[(row - 1) / 2]));
        }
        QVERIFY(m_dialogs->informations.isEmpty());
        // Back at the first match the round is reported with its steps; without a match the list stays.
        QTest::mouseClick(next, Qt::LeftButton);
        QCOMPARE(m_dialogs->informations + m_dialogs->exclamations,
                 QStringList{rows.isEmpty() ? modGeneral::TransMessage(40501)
                                            : modGeneral::TransCount(40502, 40506, rows.size())});
        QCOMPARE(m_window->sequenceList().currentRow(), rows.value(0, 2));
        // Closing the library takes the dialog with it.
        m_window->menus().fileClose->trigger();
        QVERIFY(!dialog->isVisible());
    }

    // Without a library, after File > Close and on an empty library, every command of the window
    // and the keys 0-9 do nothing: no report, no question, no row.
    void commandsNeedALibrary_data() {
        QTest::addColumn<QString>("state");
        for (const char* state : {"none", "closed", "empty"}) {
            QTest::newRow(state) << state;
        }
    }
    void commandsNeedALibrary() {
        QFETCH(QString, state);
        if (state == QLatin1String("none")) {
            modSystem::WriteIniValue(QStringLiteral("VornReader"), QStringLiteral("Language"),
                                     QStringLiteral("English"), iniPath());
            m_window = std::make_unique<frmVornReader>(QString(), m_dialogs.get());
            m_window->show();
            QVERIFY(QTest::qWaitForWindowActive(m_window.get()));
        } else {
            QVERIFY(start(state == QLatin1String("empty") ? QStringList() : QStringList{"linux.Plus"}));
            if (state == QLatin1String("closed")) {
                m_window->menus().fileClose->trigger();
            }
        }
        const auto content = [this] {
            if (m_library.isEmpty()) {
                return QVariant();
            }
            Database db(m_library, Database::Mode::ReadOnly);
            return Fixtures::value(db,
                                   QStringLiteral("SELECT (SELECT count(*) FROM tblSequence) || (SELECT count(*) "
                                                  "FROM tblCall) || (SELECT group_concat(Property) FROM tblSequence)"));
        };
        QGuiApplication::clipboard()->setText(QString());
        const QVariant before = content();
        QVERIFY(m_window->findChild<QLabel*>(QStringLiteral("lblCallHint"))->isVisible());
        // Everything but what leaves the window, opens a chooser of its own or opens a library.
        QList<QAction*> skipped{m_window->menus().fileExit, m_window->menus().filePrintSet,
                                m_window->menus().settingOptions, m_window->menus().helpIndex};
        skipped += m_window->menus().recentFiles;
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
            QTest::keyClick(list(), Qt::Key(key));
            QTest::keyClick(list(), Qt::Key(key), Qt::ShiftModifier);
        }
        QVERIFY2(m_dialogs->questions.isEmpty(), qPrintable(m_dialogs->questions.join('\n')));
        QCOMPARE(content(), before);
        QCOMPARE(m_window->state().currentSequence, 0);
        QVERIFY(!m_window->menus().callEditInsert->isEnabled());
    }

    // Only a drag that started in this list reorders it; after one, the remembered position and
    // the position panel follow the shown sequence.
    void dropsFromElsewhereDoNotReorder() {
        startGenerated();
        SequenceListModel* model = m_window->sequenceList().model();
        QMimeData stranger;
        stranger.setData(QStringLiteral("application/x-vornreader-sequence-row"), "1:2:0");
        stranger.setText(QStringLiteral("some text"));
        QVERIFY(!model->dropMimeData(&stranger, Qt::MoveAction, 3, 0, {}));
        QCOMPARE(listedKeys(), (QList<qint64>{1, 2, 3}));
        change(QStringLiteral("drag"));
        QCOMPARE(m_window->sequenceList().currentRow(), 2);
        QCOMPARE(settings().ViewIndex[m_window->state().levelIndex], 3);
        QCOMPARE(m_window->callList().positionPanel()->text(), QStringLiteral("3 / 3"));
    }
};

int main(int argc, char** argv) {
    restartAsNobody(argv);
    QApplication app(argc, argv);
    TestWindowCommands test;
    QTEST_SET_MAIN_SOURCE_PATH
    return QTest::qExec(&test, argc, argv);
}

#include "TestWindowCommands.moc"
