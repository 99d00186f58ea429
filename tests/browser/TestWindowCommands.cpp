#include "AsNobody.h"
#include "ExportCommand.h"
#include "FakePrintDialogs.h"
#include "HistoryViews.h"
#include "OptionsCommand.h"
#include "StateIcons.h"
#include "UndoHistory.h"
#include "WindowFixture.h"
#include "frmExport.h"
#include "frmHistory.h"

#include <QUndoStack>

// The window's commands, each reached as a caller reaches it (menu item, key, cell editor, wheel,
// drag, drop), one table row each written in the fixture's steps.
class TestWindowCommands : public WindowFixture {
    Q_OBJECT

    QString undoCaption() const { return MainMenus::plainCaption(m_window->menus().editUndo); }
    void startGenerated(const std::function<void(Database&)>& prepare = {}) {
        QVERIFY(start({"generated Plus"}, prepare, {{"HexMode", "True"}}));
    }

private Q_SLOTS:
    // Changes of the generated Plus library (sequences 1-3 of three calls, one history entry each):
    // what the change does, its name on Edit > Undo, and undo and redo taking it back whole and making
    // it again. Rows marked read-only run again on a library that cannot be written: whatever is
    // asked is answered yes, yet no editor opens, nothing is written, reported or asked, and the list
    // shows what is stored. The rules of each change belong to the library's tests.
    void commands_data() {
        QTest::addColumn<QString>("steps");
        QTest::addColumn<QString>("caption");
        QTest::addColumn<QString>("expected");
        QTest::addColumn<bool>("readOnly");
        // A name marked * runs again on the read-only library.
        // clang-format off
        const char* table =
            "state item => sel 0-1; mnuSequenceState(4); ?states => State => 4,4,0 | 0.0/3 【Plus】 Dance.mdb\n"
            "key 3* => sel 0-1; grdSeqList:3; ?states => State => 2,2,0 | 0.0/3 【Plus】 Dance.mdb\n"
            "key shift 5 => sel 0-1; grdSeqList:Shift+5; ?states => State => 13,13,0 | 0.0/3 【Plus】 Dance.mdb\n"
            "delete key => sel 0-2; grdSeqList:0; ?counts => Delete 3 sequences => 0,0,3 | -1.-1/0 【Plus】 Dance.mdb\n"
            "cut => sel 1-2; mnuEditCut; ?counts => Cut 2 sequences => 1,3,1 | 0.0/1 【Plus】 Dance.mdb\n"
            "paste* => sel 0-0; paste; ?counts => Paste 2 sequences => 5,15,5 | 0.0/5 【Plus】 Dance.mdb\n"
            "read => read linux.C1; ?sql SELECT Level || count(*) FROM tblSequence GROUP BY Level => Read 1 sequence => C11,Plus3 | 0.0/3 【Plus】 Dance.mdb\n"
            "drop* => drop grdSeqList gen2; ?counts => Read 2 sequences => 5,17,5 | 0.0/5 【Plus】 Dance.mdb\n"
            "level => sel 1-2; mnuSequenceChangeLevel; ?sql SELECT Level FROM tblSequence => Change Level => Plus,C1,C1 | 0.0/1 【Plus】 Dance.mdb\n"
            // No Plus sequence is left to list: the window turns to the level they went to.
            "level all => sel 0-2; mnuSequenceChangeLevel; ?sql SELECT Level FROM tblSequence => Change Level => C1,C1,C1 | 0.0/3 【C1】 Dance.mdb\n"
            "add history => sel 0-2; mnuSequenceAddHist; ?sql SELECT Sequence FROM tblHistory WHERE PartyName = 'O''Brien' => Add History => 1,2,3 | 0.0/3 【Plus】 Dance.mdb\n"
            "delete history => sel 1-1; mnuSequenceDelHist; ?sql SELECT Sequence FROM tblHistory => Delete History => 1,3 | 1.0/3 【Plus】 Dance.mdb\n"
            "history grid delete => histrow 0; mnuHistoryDelete; ?sql SELECT Sequence FROM tblHistory => Delete History => 2,3 | 0.0/3 【Plus】 Dance.mdb\n"
            "insert call => mnuCallEditInsert; ?calls => Insert Call => 1:,2:call 1 of sequence 0 swing thru,3:call 2 of sequence 0 swing thru,4:call 3 of sequence 0 swing thru | 0.0/3 【Plus】 Dance.mdb\n"
            "add call => mnuCallEditAdd; ?calls => Add Call => 1:call 1 of sequence 0 swing thru,2:,3:call 2 of sequence 0 swing thru,4:call 3 of sequence 0 swing thru | 0.0/3 【Plus】 Dance.mdb\n"
            "delete call => mnuCallEditDelete; ?calls => Delete Call => 1:call 2 of sequence 0 swing thru,2:call 3 of sequence 0 swing thru | 0.0/3 【Plus】 Dance.mdb\n"
            "formation* => at 0.1; mnuCallEditFormation; ?sql SELECT Figure || '|' || Note || '|' || HexInfo FROM tblCall WHERE Number = 2 AND Sequence = 1 => Formation =>  1B^|n|2 | 0.1/3 【Plus】 Dance.mdb\n"
            // Digits and Ctrl+A typed into a cell editor reach the editor, never the state keys.
            "call text* => edit grdCall 0 1 Spin 3/4 Chain 1; ?sql SELECT Call FROM tblCall WHERE Number = 1 AND Sequence = 1; ?states => Call => Spin 3/4 Chain 1 | 0,0,0 | 0.0/3 【Plus】 Dance.mdb\n"
            "title* => edit grdSeqList 1 0 Title 42; ?sql SELECT Title FROM tblSequence WHERE Sequence = 2; ?states => Title => Title 42 | 0,0,0 | 1.0/3 【Plus】 Dance.mdb\n"
            "history date => edit grdHistory 0 0 2002/1/5; ?sql SELECT CallDate FROM tblHistory => Edit History => 2002-01-05,2026-01-02,2026-01-03 | 0.0/3 【Plus】 Dance.mdb\n"
            "history party* => edit grdHistory 0 1 M's \"C\" 9; ?sql SELECT PartyName FROM tblHistory WHERE Sequence = 1 => Edit History => M's \"C\" 9 | 0.0/3 【Plus】 Dance.mdb\n"
            "hex offsets* => at 0.1; edit grdHexInfo(1) 0 0 1,2,0,1; ?sql SELECT HexInfo FROM tblCall WHERE Number = 2 AND Sequence = 1; ?states => Hexagon Position => 1,2,0,1 | 0,0,0 | 0.1/3 【Plus】 Dance.mdb\n"
            "replace* => replace; ?sql SELECT count(*) FROM tblCall WHERE Call LIKE '%spin%' => Replace => 1 | 0.2/3 【Plus】 Dance.mdb\n"
            "replace all* => replaceall; ?sql SELECT count(*) FROM tblCall WHERE Call LIKE '%spin%' => Replace All => 9 | 0.0/3 【Plus】 Dance.mdb\n"
            "drag* => drag; ?sql SELECT Sequence FROM tblSequence ORDER BY OrderNo => Move Sequences => 2,3,1 | 2.0/3 【Plus】 Dance.mdb\n";
        // clang-format on
        for (const QStringList& row : tableRows(table)) {
            const QString name = row[0].chopped(row[0].endsWith('*') ? 1 : 0);
            QTest::newRow(qPrintable(name)) << row.value(1) << row.value(2) << row.value(3) << false;
            if (row[0].endsWith('*')) {
                QTest::addRow("%s, read-only", qPrintable(name))
                    << row.value(1) << row.value(2) << row.value(3) << true;
            }
        }
    }
    void commands() {
        QFETCH(QString, steps);
        QFETCH(QString, caption);
        QFETCH(bool, readOnly);
        startGenerated([&](Database&) {
            QVERIFY(!readOnly ||
                    QFile::setPermissions(m_home->file(QStringLiteral("lib/Dance.mdb")), QFile::ReadOwner));
        });
        MainMenus& menus = m_window->menus();
        const auto content = [this] { return Fixtures::exactContent(m_window->session().database()); };
        const QStringList before = content();
        const QByteArray bytes = Fixtures::readFile(m_library);
        const QList<qint64> listedBefore = listedKeys();
        const QString outcome = run(steps);
        // A list left empty has no current sequence to add calls to; a library read only takes none.
        QCOMPARE(menus.callEditInsert->isEnabled(), seqCount() > 0 && !readOnly);
        if (readOnly) {
            QVERIFY(m_window->session().isReadOnly() && m_dialogs->questions.isEmpty());
            QTest::qWait(50);
            QVERIFY(Fixtures::readFile(m_library) == bytes);
            // The list refuses a title however it comes, not only by opening no editor.
            SequenceListModel* model = m_window->sequenceList().model();
            QVERIFY(!model->setData(model->index(1, SequenceListModel::TitleColumn), QStringLiteral("late title")));
            QCOMPARE(model->index(1, 0).data().toString(),
                     sql(QStringLiteral("SELECT Title FROM tblSequence WHERE Sequence = ?"), {keyAt(1)}).value(0));
            return;
        }
        QTEST(outcome, "expected");
        const QStringList after = content();
        QCOMPARE(m_window->undoHistory().stack()->count(), 1);
        QCOMPARE(undoCaption(), QStringLiteral("Undo ") + caption);
        menus.editUndo->trigger();
        QCOMPARE(content(), before);
        QCOMPARE(listedKeys(), listedBefore);
        menus.editRedo->trigger();
        QCOMPARE(content(), after);
        QVERIFY(m_dialogs->exclamations.isEmpty());
    }

    // What keys, the wheel, menu items and dropped files do to what the window shows. linux.Plus
    // holds 19 Plus sequences, linux.C1 one C1 sequence.
    void views_data() {
        QTest::addColumn<QString>("steps");
        QTest::addColumn<QString>("expected");
        // clang-format off
        const char* table =
            // Start-up: the saved level and position; the first sequence opens at its first call.
            "first level => start linux.Plus+linux.C1; ?levels => Plus:1*,4,14 | 0.0/19 【Plus】 Dance.mdb\n"
            "saved level => mdb ViewLevel=C1; start linux.Plus+linux.C1; ?levels => C1:1,4*,14 | 0.0/1 【C1】 Dance.mdb\n"
            "saved level gone => mdb ViewLevel=A2; start linux.Plus+linux.C1; ?levels => Plus:1*,4,14 | 0.0/19 【Plus】 Dance.mdb\n"
            "saved position => mdb ViewLevel=Plus; mdb ViewIndex(Plus)=3; mdb ViewRow(Plus)=2; start linux.Plus => 2.0/19 【Plus】 Dance.mdb\n"
            "mainstream shown as MS => start linux.C1+generated Mainstream; ?levels => MS:0*,4,14 | 0.0/3 【MS】 Dance.mdb\n"
            "empty library => start; ?levels; ?title => :15 | Dance.mdb (~/lib) - VornReader | -1.-1/0 Dance.mdb\n"
            // The opened library heads the recent files; the first nine have access keys.
            "recent files => ini RecentFile1=/x/a.mdb; ini RecentFile2=/x/b.mdb; start; ?recent => &1 ~/lib/Dance.mdb,&2 /x/a.mdb,&3 /x/b.mdb | -1.-1/0 Dance.mdb\n"
            "recent files beyond nine => recent 20; start; ?recent 8; ?recent 9; ?recent 19 => &9 /lib/8.mdb | 10 /lib/9.mdb | 20 /lib/19.mdb | -1.-1/0 Dance.mdb\n"
            "choose C1 => start linux.Plus+linux.C1; mnuViewLevel(4); ?levels => C1:1,4*,14 | 0.0/1 【C1】 Dance.mdb\n"
            "choose all levels => start linux.Plus+linux.C1; mnuViewLevel(14); ?levels => C1:1,4,14* | 0.0/20 【C1】 Dance.mdb\n"
            // The pictures of the calls before and after the current one; Pause switches hexagon mode.
            "first call, hexagon mode => start generated Plus; set HexSwitch; grdCall:Pause; ?fig before; grdCall:Pause; ?fig before => HVnone | set | 0.0/3 【Plus】 Dance.mdb\n"
            "Pause without the switch => start generated Plus; grdCall:Pause; ?fig before => set | 0.0/3 【Plus】 Dance.mdb\n"
            "second call, after => start generated Plus; at 0.1; ?fig after => fig2 | 0.1/3 【Plus】 Dance.mdb\n"
            "last call, after => start generated Plus; at 0.-1; ?fig after => set | 0.2/3 【Plus】 Dance.mdb\n"
            // Keys and the wheel move the calls and the list.
            "down inside => start linux.Plus; grdCall:Down => 0.1/19 【Plus】 Dance.mdb\n"
            "down from the last call => start linux.Plus; at 0.-1; grdCall:Down => 1.0/19 【Plus】 Dance.mdb\n"
            "up from the first call => start linux.Plus; at 2.0; grdCall:Up => 1.13/19 【Plus】 Dance.mdb\n"
            "down at the end => start linux.Plus; at -1.-1; grdCall:Down => 18.13/19 【Plus】 Dance.mdb\n"
            "list down opens the first call => start linux.Plus; at 0.1; grdSeqList:Down => 1.0/19 【Plus】 Dance.mdb\n"
            "wheel down from the last call => start linux.Plus; at 0.-1; grdCall:wheel- => 1.0/19 【Plus】 Dance.mdb\n"
            "wheel up from the first call => start linux.Plus; at 1.0; grdCall:wheel+ => 0.8/19 【Plus】 Dance.mdb\n"
            // With a mouse button held on the calls the wheel moves the list.
            "wheel, button held => start linux.Plus; grdCall:held- => 1.0/19 【Plus】 Dance.mdb\n"
            // The wheel on the list opens the call row last chosen in the level.
            "wheel list up => start linux.Plus; at 2.1; grdSeqList:wheel+ => 1.1/19 【Plus】 Dance.mdb\n"
            // O skips to the next opener (state 11), Shift+O to the one before.
            "opener down => start linux.Plus; state 3,7=11; state 5=10; grdSeqList:O => 3.0/19 【Plus】 Dance.mdb\n"
            "no opener below => start linux.Plus; state 3,7=11; at 7.0; grdSeqList:O => 7.0/19 【Plus】 Dance.mdb\n"
            "opener up => start linux.Plus; state 3,7=11; state 5=10; at 5.0; grdSeqList:Shift+O => 3.0/19 【Plus】 Dance.mdb\n"
            // Assigned cursor keys act as arrows in the focused list; "(" has the code of Down.
            "cursor keys => start linux.Plus; assign 0=L; assign 2={F2}; at 0.2; grdCall:L; grdCall:F2; grdCall:F2 => 0.3/19 【Plus】 Dance.mdb\n"
            "Down stays Down => start linux.Plus; assign 2=(; grdCall:Down => 0.1/19 【Plus】 Dance.mdb\n"
            // Edit > Search: Next goes from match to match (calls 2-4 of rows 1, 3 and 5), wrapping, and
            // reports the round; without a match the list stays. Closing the library closes the dialog.
            "search, ignoring case => start linux.Plus; plant; at 2.0; find zebra; next; ?at; next; ?at; next; ?at; next; ?msg; mnuFileMdbClose; ?search => 3.2 | 5.3 | 1.1 | The search went through 3 matches and is back at the first one. | hidden | -1.-1/0 VornReader\n"
            "search, nowhere => start linux.Plus; plant; at 2.0; find okapi; next; ?msg => The text was not found. | 2.0/19 【Plus】 Dance.mdb\n"
            // The Database menu: captions from the INI file, keys and items opening their libraries.
            "switch hint => start; ?switch => hint (No databases assigned: see Settings > Options) | -1.-1/0 Dance.mdb\n"
            "switch captions => slot 1=/libs/Other.mdb; slot 11=/libs/Rock & Roll.mdb; slot 20=/music/xxxxxxxxxxxxxxxxxxxxxxxxxxxxxxxxxxxxxxxxxxxxxxxxxxxxxxxxxxx/end/Deep.mdb; start; ?switch => Other.mdb  (/libs),Rock && Roll.mdb  (/libs),Deep.mdb  (/music/xxxxxxxxxxxxxxxxxxxxxx…xxxxxxxxxxxxxxxxxxxxxxxxx/end) | -1.-1/0 Dance.mdb\n"
            "F1 => lib Other.mdb; slot 0=~/lib/Other.mdb; start linux.Plus; win:F1 => 0.0/1 【C1】 Other.mdb [F1]\n"
            "Shift+F3 => lib Other.mdb; slot 11=~/lib/Other.mdb; start linux.Plus; win:Shift+F3 => 0.0/1 【C1】 Other.mdb [Shift+F3]\n"
            "Ctrl+F1 => lib Other.mdb; slot 18=~/lib/Other.mdb; start linux.Plus; win:Ctrl+F1 => 0.0/1 【C1】 Other.mdb [Ctrl+F1]\n"
            "switch item => lib Other.mdb; slot 4=~/lib/Other.mdb; start linux.Plus; mnuDBSwitchFunc(4) => 0.0/1 【C1】 Other.mdb [F5]\n"
            "switch, no library => lib Other.mdb; slot 9=~/lib/Other.mdb; start linux.Plus; mnuFileMdbClose; win:Shift+F1 => 0.0/1 【C1】 Other.mdb [Shift+F1]\n"
            "empty slot => slot 0=/libs/F1 only.mdb; start linux.Plus; win:Shift+F3; ?msg =>  | 0.0/19 【Plus】 Dance.mdb\n"
            "switch file gone => slot 11=~/lib/gone.mdb; start linux.Plus; win:Shift+F3; ?msg => The file ~/lib/gone.mdb was not found. | 0.0/19 【Plus】 Dance.mdb\n"
            "switch while editing => lib Other.mdb; slot 0=~/lib/Other.mdb; start linux.Plus; grdCall:Return; focus:F1; focus:Escape; ?title; win:F1 => 【Plus】 Dance.mdb (~/lib) - VornReader | 0.0/1 【C1】 Other.mdb [F1]\n"
            // File > Open: a wrong choice keeps the open library; the second recent item opens the first again.
            "open => lib Other.mdb; open Other.mdb; start linux.Plus; mnuFileMdbOpen; ?asked; ?recent; mnuRecentFile(1) => ~/lib | &1 ~/lib/Other.mdb,&2 ~/lib/Dance.mdb | 0.0/19 【Plus】 Dance.mdb\n"
            "open, upper-case extension => lib OTHER.MDB; open OTHER.MDB; start linux.Plus; mnuFileMdbOpen => 0.0/1 【C1】 OTHER.MDB\n"
            "open, not a library => lib Other.accdb; open Other.accdb; start linux.Plus; mnuFileMdbOpen; ?msg => This file is not a database file (*.mdb). | 0.0/19 【Plus】 Dance.mdb\n"
            "open, missing => open Missing.mdb; start linux.Plus; mnuFileMdbOpen; ?msg; ?recent => The file ~/lib/Missing.mdb was not found. | &1 ~/lib/Dance.mdb | 0.0/19 【Plus】 Dance.mdb\n"
            // Dropped generator files are read, one report each; a dropped library opens first.
            "drop two on the window => start linux.Plus; drop frmVornReader linux.C1,windows.Plus; ?msg => 1 sequence was read from \"~/linux.C1\".,6 sequences were read from \"~/windows.Plus\". | 0.0/25 【Plus】 Dance.mdb\n"
            "drop library and file => start linux.Plus; drop grdCall windows.Plus,Other.MDB; ?msg => 6 sequences were read from \"~/windows.Plus\". | 0.0/1 【C1】 Other.MDB\n"
            "drop, no library => start linux.Plus; mnuFileMdbClose; drop grdSeqList linux.C1; ?msg => This file is not a database file (*.mdb). | -1.-1/0 VornReader\n"
            // Closing writes the INI file (no library after File > Close), unless the library has gone.
            "close => start linux.Plus; closewin; ?ini => [Dance.mdb] sized | -1.-1/0 VornReader\n"
            "close after File > Close => start linux.Plus; mnuFileMdbClose; ?levels; closewin; ?ini => : | [] sized | -1.-1/0 VornReader\n"
            "close, library deleted => start linux.Plus; rm; closewin; ?ini => [Dance.mdb] | 0.0/19 【Plus】 Dance.mdb\n";
        // clang-format on
        for (const QStringList& row : tableRows(table)) {
            QTest::newRow(qPrintable(row[0])) << row.value(1) << row.value(2);
        }
    }
    void views() {
        QFETCH(QString, steps);
        QTEST(run(steps), "expected");
    }

    // Changes undone with Ctrl+Z to the start and redone with both redo keys, from the list and the
    // calls; a change the library refused adds nothing to undo; a new change drops what could have
    // been redone. The next add proposes what was entered.
    void undoKeys() {
        startGenerated();
        QUndoStack* stack = m_window->undoHistory().stack();
        const QStringList start = Fixtures::exactContent(m_window->session().database());
        run(QStringLiteral(
            "sel 0-1; mnuSequenceState(4); mnuCallEditInsert; edit grdSeqList 1 0 T; mnuSequenceAddHist"));
        m_dialogs->historyEntry.reset();
        m_window->menus().sequenceAddHist->trigger();
        QCOMPARE(m_dialogs->proposals.last(), QStringLiteral("2026/12/06|O'Brien"));
        sql(QStringLiteral("CREATE TEMP TRIGGER no BEFORE UPDATE ON tblSequence BEGIN SELECT RAISE(ABORT, 'no'); END"));
        run(QStringLiteral("sel 0-0; mnuSequenceChangeLevel"));
        sql(QStringLiteral("DROP TRIGGER temp.no"));
        QVERIFY(m_errors->reported(QStringLiteral("frmVornReader.mnuSequenceChangeLevel_Click")));
        m_errors->prompts.clear();
        QCOMPARE(stack->count(), 4);
        run(QStringLiteral("sel 0-2; grdSeqList:0"));
        const QStringList deleted = Fixtures::exactContent(m_window->session().database());
        run(QStringLiteral(
            "grdSeqList:Ctrl+Z; grdSeqList:Ctrl+Z; grdSeqList:Ctrl+Z; grdSeqList:Ctrl+Z; grdCall:Ctrl+Z"));
        QCOMPARE(Fixtures::exactContent(m_window->session().database()), start);
        run(QStringLiteral("grdSeqList:Ctrl+Shift+Z; grdSeqList:Ctrl+Y; grdCall:Ctrl+Y; grdSeqList:Ctrl+Y; "
                           "grdSeqList:Ctrl+Shift+Z"));
        QCOMPARE(Fixtures::exactContent(m_window->session().database()), deleted);
        run(QStringLiteral("grdSeqList:Ctrl+Z; grdSeqList:Ctrl+Z; mnuCallEditInsert"));
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
        run(QStringLiteral("sel 0-0; grdSeqList:0"));
        m_window->exportCommand().setRunner([](frmExport& dialog) { dialog.close(); });
        run(how == QLatin1String("close")  ? QStringLiteral("mnuFileMdbClose")
            : how == QLatin1String("open") ? QStringLiteral("lib Other.mdb; open Other.mdb; mnuFileMdbOpen")
                                           : QStringLiteral("mnuFileExport"));
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
        QCOMPARE(run(QStringLiteral("mnuFileExport; ?sql SELECT Level || count(*) FROM tblSequence GROUP BY Level; "
                                    "?levels")),
                 QStringLiteral("Plus3 | Plus:1*,14 | 0.0/3 【Plus】 Dance.mdb [F3]"));
        QVERIFY(shown);
        Database db(target);
        QCOMPARE(Fixtures::value(db, QStringLiteral("SELECT count(*) FROM tblSequence WHERE Level = 'A1'")).toInt(), 3);
    }

    // Without a library, after File > Close and on an empty library, every command of the window
    // and the keys 0-9 do nothing: no report, no question, no row; the print commands are disabled.
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
            QVERIFY(openWindow());
        } else {
            QVERIFY(start(state == QLatin1String("empty") ? QStringList() : QStringList{"linux.Plus"}));
            if (state == QLatin1String("closed")) {
                m_window->menus().fileClose->trigger();
            }
        }
        const auto content = [this] {
            if (m_library.isEmpty()) {
                return QStringList();
            }
            Database db(m_library, Database::Mode::ReadOnly);
            return Fixtures::rows(db, QStringLiteral("SELECT Sequence, Property FROM tblSequence UNION ALL SELECT "
                                                     "count(*), 0 FROM tblCall"));
        };
        QGuiApplication::clipboard()->setText(QString());
        const QStringList before = content();
        QVERIFY(m_window->findChild<QLabel*>(QStringLiteral("lblCallHint"))->isVisible());
        const MainMenus& menus = m_window->menus();
        for (QAction* print : {menus.filePrintSet, menus.filePrint, menus.filePrintPreview, menus.fileExcelOut}) {
            QVERIFY(!print->isEnabled());
        }
        // Everything but what leaves the window, opens a chooser of its own or opens a library.
        QList<QAction*> skipped{menus.fileExit, menus.filePrintSet, menus.settingOptions, menus.helpIndex};
        skipped += menus.recentFiles;
        m_window->exportCommand().setRunner([](frmExport&) {});
        for (QAction* action : allActions()) {
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

    // Only a drag that started in this list reorders it; after one, the remembered position
    // follows the shown sequence.
    void dropsFromElsewhereDoNotReorder() {
        startGenerated();
        SequenceListModel* model = m_window->sequenceList().model();
        QMimeData stranger;
        stranger.setData(QStringLiteral("application/x-vornreader-sequence-row"), "1:2:0");
        stranger.setText(QStringLiteral("some text"));
        QVERIFY(!model->dropMimeData(&stranger, Qt::MoveAction, 3, 0, {}));
        run(QStringLiteral("drag"));
        QCOMPARE(settings().ViewIndex[m_window->state().levelIndex], 3);
    }

    // "-ini" counts only at an option position (first, third, ... word), in any letter case.
    void iniFileOption() {
        QCOMPARE(frmVornReader::iniFileFromArguments({"-INI", "my.ini"}), QStringLiteral("my.ini"));
        QCOMPARE(frmVornReader::iniFileFromArguments({"x", "-ini", "my.ini"}), QString());
    }

    // Something else under the remembered library name is refused once at start-up and
    // forgotten: no error report, nothing at the close, and the next start opens nothing.
    void startUpWithSomethingElse() {
        const QString path = createLibrary(QStringLiteral("Dance.mdb"), {});
        Fixtures::writeFile(path, QByteArray(2000, 'x'));
        run(QStringLiteral("ini MdbPath=~/lib; ini MdbFile=Dance.mdb; ini Language=English")
                .replace("~", m_home->path()));
        QVERIFY(openWindow());
        QTRY_COMPARE(m_dialogs->exclamations.size(), 1);
        QVERIFY(m_dialogs->exclamations.front().contains(QLatin1String("not a VornReader library")));
        QCOMPARE(run(QStringLiteral("closewin; ?ini")), QStringLiteral("[] sized | -1.-1/0 VornReader"));
        QCOMPARE(m_dialogs->exclamations.size(), 1);
    }

    // The number column never becomes current; Ctrl+C on the list copies the sequence.
    void numberColumnAndCopy() {
        QVERIFY(start({"generated Plus"}));
        GridView* calls = m_window->callList().grid();
        QTest::mouseClick(calls->viewport(), Qt::LeftButton, {},
                          calls->visualRect(calls->model()->index(2, 0)).center());
        QCOMPARE(calls->currentIndex(), calls->model()->index(2, 1));
        QGuiApplication::clipboard()->setText(QString());
        run(QStringLiteral("grdSeqList:Ctrl+C"));
        QTRY_VERIFY(QGuiApplication::clipboard()->text().contains(QLatin1String("generated sequence")));
    }

    // Call rows are measured again whenever the call pane changes its width; in a narrow window
    // every pane keeps its minimum width inside the window, and resizing keeps the panes' shares.
    void panesFollowTheWidth() {
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
        const auto shares = [split] {
            QList<double> list;
            for (const char* name : {"picFrame1", "picFrame2", "picFrame3"}) {
                const QRect pane = split->findChild<QWidget*>(QLatin1String(name))->geometry();
                list.append(pane.right() < split->width() ? double(pane.width()) / split->width() : -1.0);
            }
            return list;
        };
        const QList<double> before = shares();
        for (const int width : {1600, 400}) {
            m_window->resize(width, 700);
            QTRY_COMPARE(m_window->width(), std::max(width, m_window->minimumSizeHint().width()));
            const QList<double> after = shares();
            for (int i = 0; i < 3; ++i) {
                QVERIFY2(after[i] * split->width() >= SplitLayout::MinimumPaneWidth[i] &&
                             (width < 800 || qAbs(after[i] - before[i]) < 0.03),
                         qPrintable(QDebug::toString(before + after)));
            }
        }
    }

    // A first start without settings: the window takes most of the screen, centred; Qt's own
    // buttons speak the program's language (Japanese by default); File > New proposes a new file in
    // the caller's documents, under a name no file there has.
    void firstStart() {
        QVERIFY(openWindow());
        const QRect available = m_window->screen()->availableGeometry();
        QVERIFY(qAbs(m_window->width() - available.width() * 0.8) <= 2 &&
                qAbs(m_window->geometry().center().x() - available.center().x()) <= 2);
        QDialogButtonBox buttons(QDialogButtonBox::Cancel);
        QCOMPARE(buttons.button(QDialogButtonBox::Cancel)->text(), QStringLiteral("キャンセル"));
        const QDir documents(QStandardPaths::writableLocation(QStandardPaths::DocumentsLocation));
        const QString name = modGeneral::LoadTransString(30106);
        const bool taken = QFile::exists(documents.filePath(name));
        m_window->menus().fileNew->trigger();
        QCOMPARE(m_dialogs->saveRequests.size(), 1);
        QCOMPARE(m_dialogs->saveRequests[0][1] == documents.filePath(name), !taken);
        QVERIFY(name.endsWith(QLatin1String(".mdb")) && !QFile::exists(m_dialogs->saveRequests[0][1]));
    }

    // View > Not called for: the list less what Club 1 heard, the state keys on what is shown, the
    // filter kept over a restart and cleared by the status bar; View > History: the
    // parties' rows, one party's written to a spreadsheet.
    void notCalledFor() {
        m_dialogs->notCalled = NotCalledChoice{QStringLiteral("Club 1"), 52};
        // Club 1 heard sequence 2 on 2026/01/02, within the year.
        QCOMPARE(run(QStringLiteral("start generated Plus; mnuViewNotCalledFor; sel 0-1; grdSeqList:3; "
                                    "?sql SELECT group_concat(Sequence) FROM tblSequence WHERE Property = 2")),
                 QStringLiteral("1,3 | 0.0/2 【Plus】 Dance.mdb"));
        QCOMPARE(m_dialogs->partyChoices, (QStringList{"Club 0", "Club 1", "Club 2"}));
        QVERIFY(m_window->close());
        m_window.reset();
        settings().NotCalledFor = false;
        QVERIFY(openWindow());
        QTRY_VERIFY(m_window->session().isOpen());
        QToolButton* status = m_window->historyViews().statusButton();
        QVERIFY(status->isVisible() && status->text().contains(QLatin1String("Club 1")));
        QCOMPARE(seqCount(), 2);
        QTest::mouseClick(status, Qt::LeftButton);
        QCOMPARE(seqCount(), 3);
        QVERIFY(!status->isVisible() && !m_window->menus().viewNotCalledFor->isChecked());
        static FakePrintDialogs print; // outlives the window
        m_window->printCommands().setPrintDialogs(&print);
        m_window->menus().viewHistory->trigger();
        frmHistory* history = m_window->historyViews().historyWindow();
        QVERIFY(history && history->isVisible());
        history->parties()->setCurrentIndex(history->parties()->findText(QStringLiteral("Club 2")));
        QCOMPARE(history->shownRows(), (QList<QStringList>{{"Club 2", "Plus", "2026/12/06 00:00:02",
                                                            "generated sequence 2", "1", "2026/01/03"}}));
        QTest::mouseClick(history->findChild<QPushButton*>(QStringLiteral("cmdExcelOut")), Qt::LeftButton);
        QVERIFY(print.openedExisted);
    }

    // Help > Index shows the shipped help page in the window's language.
    void helpIndex() {
        QVERIFY(start({"generated Plus"}, {}, {{QStringLiteral("Language"), QStringLiteral("Japanese")}}));
        m_window->menus().helpIndex->trigger();
        auto* help = m_window->findChild<QTextBrowser*>(QStringLiteral("frmHelp"));
        QVERIFY(help && help->isVisible() &&
                help->toPlainText().contains(QStringLiteral("シーケンスファイル読み込み")));
    }

    // Each state's icon in the list is a mark that can be seen on a light list and is told apart
    // from every other by shape alone: a tenth of its pixels differ visibly in brightness.
    void stateIconsDiffer() {
        QList<QImage> icons;
        for (int state = -1; state < StateIcons::StateCount; ++state) {
            QImage canvas(16, 16, QImage::Format_ARGB32);
            canvas.fill(Qt::white);
            QPainter(&canvas).drawPixmap(0, 0,
                                         state < 0 ? QPixmap() : StateIcons::icon(state).pixmap(QSize(16, 16), 1.0));
            icons.append(canvas);
        }
        for (int a = 0; a < icons.size(); ++a) {
            for (int b = a + 1; b < icons.size(); ++b) {
                int differing = 0;
                for (int pixel = 0; pixel < 256; ++pixel) {
                    differing += std::abs(qGray(icons[a].pixel(pixel % 16, pixel / 16)) -
                                          qGray(icons[b].pixel(pixel % 16, pixel / 16))) > 32;
                }
                QVERIFY2(differing >= 24,
                         qPrintable(QStringLiteral("states %1 and %2: %3").arg(a - 1).arg(b - 1).arg(differing)));
            }
        }
    }

    // What Settings > Options changes reaches the window at once: fonts and colours of both lists,
    // the Database menu, the list order, the call rows' spacing and layout.
    void optionsReachTheWindow() {
        QVERIFY(start({"generated Plus"}, [](Database& db) {
            db.exec(QStringLiteral("UPDATE tblSequence SET OrderNo = 100 - Sequence"));
            db.exec(QStringLiteral("UPDATE tblCall SET Call = Call || ' and then a long, long tail of words that "
                                   "cannot fit in one line of the call list at all' WHERE Number = 2"));
            db.exec(QStringLiteral("UPDATE tblCall SET Note = 'watch the ends' WHERE Number = 3"));
        }));
        QSignalSpy tip(&m_window->optionsCommand(), &OptionsCommand::tipSettingsChanged);
        GridView* calls = m_window->callList().grid();
        const auto heights = [calls] {
            return QList<int>{calls->rowHeight(0), calls->rowHeight(1), calls->rowHeight(2)};
        };
        QTRY_COMPARE(calls->rowHeight(0), static_cast<QAbstractItemView*>(calls)->sizeHintForRow(0));
        const QList<int> wrapped = heights();
        QVERIFY2(wrapped[1] > wrapped[0] && wrapped[2] == wrapped[0], qPrintable(QDebug::toString(wrapped)));
        m_window->optionsCommand().setEditor([](Settings& s) {
            s.seqFont = {16, QStringLiteral("Courier"), false, true};
            s.SeqForeColor = 0x000000FF;
            s.SeqBackColor = 0x0000FF00;
            s.FuncFile[3] = QStringLiteral("/libs/Four.mdb");
            s.SequenceSort = 1;
            s.PartFormat = 1;
            return true;
        });
        m_window->menus().settingOptions->trigger();
        const QPalette& colours = list()->palette();
        QCOMPARE(list()->font().family() + QString::number(list()->font().pointSize()) +
                     colours.color(QPalette::Text).name() + colours.color(QPalette::Base).name(),
                 QStringLiteral("Courier16#ff0000#00ff00"));
        QCOMPARE(run(QStringLiteral("?switch")), QStringLiteral("Four.mdb  (/libs) | 0.0/3 【Plus】 Dance.mdb"));
        QCOMPARE(listedKeys(), (QList<qint64>{3, 2, 1}));
        QCOMPARE(tip.size(), 1);
        // One line a call, the note in a second line under it, the spacing added to every row.
        const QList<int> oneLine = heights();
        QVERIFY2(oneLine[1] == oneLine[0] && oneLine[2] > oneLine[0], qPrintable(QDebug::toString(oneLine)));
        m_window->optionsCommand().setEditor([](Settings& s) { return (s.CallRowMargin = 30) > 0; });
        m_window->menus().settingOptions->trigger();
        QTRY_COMPARE(calls->rowHeight(0), oneLine[0] + 30);
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
