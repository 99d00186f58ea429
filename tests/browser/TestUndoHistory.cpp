#include "CallEditing.h"
#include "ExportCommand.h"
#include "SearchCommands.h"
#include "SequenceCommands.h"
#include "UndoHistory.h"
#include "WindowFixture.h"
#include "frmExport.h"

#include <QClipboard>
#include <QUndoStack>

// Edit > Undo and Edit > Redo in the window: every change the window makes is taken back whole
// and made again, named in the menu, and forgotten with its library.
class TestUndoHistory : public WindowFixture {
    Q_OBJECT

    QStringList exactContent() const { return Fixtures::exactContent(m_window->session().database()); }
    QString undoCaption() const { return MainMenus::plainCaption(m_window->menus().editUndo); }

    // The change named by the test row, made the way a caller makes it.
    void change(const QString& name) {
        MainMenus& menus = m_window->menus();
        const auto select = [this](int first, int last) { selectRows(first, last); };
        if (name == QLatin1String("state")) {
            select(0, 1);
            menus.sequenceStates[4]->trigger();
        } else if (name == QLatin1String("delete")) {
            select(0, 2);
            QVERIFY(focus(m_window->sequenceList().view()));
            QTest::keyClick(m_window->sequenceList().view(), Qt::Key_0);
        } else if (name == QLatin1String("cut")) {
            select(1, 2);
            menus.editCut->trigger();
        } else if (name == QLatin1String("paste")) {
            QGuiApplication::clipboard()->setText(Fixtures::generatorText(2, 3, QStringLiteral("Plus"), 900));
            select(0, 0);
            menus.editPaste->trigger();
        } else if (name == QLatin1String("read")) {
            m_dialogs->filesToOpen = {Fixtures::dataFile(QStringLiteral("linux.C1"))};
            menus.fileRead->trigger();
        } else if (name == QLatin1String("level")) {
            select(1, 2);
            m_dialogs->level = QStringLiteral("C1");
            menus.sequenceChangeLevel->trigger();
        } else if (name == QLatin1String("add history")) {
            select(0, 2);
            m_dialogs->historyEntry = HistoryEntryText{QStringLiteral("2026/12/06"), QStringLiteral("Club")};
            menus.sequenceAddHist->trigger();
        } else if (name == QLatin1String("delete history")) {
            select(1, 1);
            m_dialogs->historyToDelete = QStringLiteral("2026/01/02|Club 1");
            menus.sequenceDelHist->trigger();
        } else if (name == QLatin1String("insert call")) {
            menus.callEditInsert->trigger();
        } else if (name == QLatin1String("delete call")) {
            menus.callEditDelete->trigger();
        } else if (name == QLatin1String("formation")) {
            m_window->callList().grid()->setCurrentIndex(m_window->callList().grid()->model()->index(1, 1));
            m_dialogs->formationAnswer =
                FormationText{QStringLiteral(" 1B^"), QStringLiteral("n"), QStringLiteral("2")};
            menus.callEditFormation->trigger();
        } else if (name == QLatin1String("call text")) {
            QAbstractItemModel* grid = m_window->callList().grid()->model();
            grid->setData(grid->index(0, 1), QStringLiteral("Swing Thru"));
        } else if (name == QLatin1String("title")) {
            SequenceListModel* list = m_window->sequenceList().model();
            list->setData(list->index(1, SequenceListModel::TitleColumn), QStringLiteral("new title"));
        } else if (name == QLatin1String("replace")) {
            // The first press finds the match, the second replaces it.
            m_window->searchCommands().SearchWord(true, QStringLiteral("swing"), QStringLiteral("spin"), 1, 0);
            m_window->searchCommands().SearchWord(true, QStringLiteral("swing"), QStringLiteral("spin"), 1, 0);
        } else if (name == QLatin1String("edit history")) {
            m_window->callList().historyModel()->item(0, 1)->setText(QStringLiteral("Another club"));
        } else if (name == QLatin1String("replace all")) {
            m_window->searchCommands().ReplaceWordAll(QStringLiteral("swing"), QStringLiteral("spin"), 1);
        } else if (name == QLatin1String("drag")) {
            SequenceListModel* list = m_window->sequenceList().model();
            std::unique_ptr<QMimeData> own(list->mimeData({list->index(0, 0)}));
            list->dropMimeData(own.get(), Qt::MoveAction, 3, 0, {});
        }
    }

private Q_SLOTS:
    // Done, undone (every row as it was, the list as it was), redone (as after the change), and
    // undone again; the menu names the change.
    void undoAndRedo_data() {
        QTest::addColumn<QString>("name");
        QTest::addColumn<QString>("caption");
        const QList<std::pair<const char*, const char*>> rows{{"state", "State"},
                                                              {"delete", "Delete 3 sequences"},
                                                              {"cut", "Cut 2 sequences"},
                                                              {"paste", "Paste 2 sequences"},
                                                              {"read", "Read 1 sequence"},
                                                              {"level", "Change Level"},
                                                              {"add history", "Add History"},
                                                              {"delete history", "Delete History"},
                                                              {"insert call", "Insert Call"},
                                                              {"delete call", "Delete Call"},
                                                              {"formation", "Formation"},
                                                              {"call text", "Call"},
                                                              {"title", "Title"},
                                                              {"replace", "Replace"},
                                                              {"edit history", "Edit History"},
                                                              {"replace all", "Replace All"},
                                                              {"drag", "Move Sequences"}};
        for (const auto& [name, caption] : rows) {
            QTest::newRow(name) << name << caption;
        }
    }
    void undoAndRedo() {
        QFETCH(QString, name);
        QFETCH(QString, caption);
        QVERIFY(start({"generated Plus"}));
        MainMenus& menus = m_window->menus();
        QVERIFY(!menus.editUndo->isEnabled());
        const QStringList before = exactContent();
        const QList<qint64> listedBefore = listedKeys();
        change(name);
        const QStringList after = exactContent();
        QVERIFY(after != before);
        QCOMPARE(m_window->undoHistory().stack()->count(), 1);
        QCOMPARE(undoCaption(), QStringLiteral("Undo ") + caption);
        QVERIFY(menus.editUndo->isEnabled());

        menus.editUndo->trigger();
        QCOMPARE(exactContent(), before);
        QCOMPARE(listedKeys(), listedBefore);
        QCOMPARE(MainMenus::plainCaption(menus.editRedo), QStringLiteral("Redo ") + caption);
        QVERIFY(!menus.editUndo->isEnabled());
        menus.editRedo->trigger();
        QCOMPARE(exactContent(), after);
        menus.editUndo->trigger();
        QCOMPARE(exactContent(), before);
        QVERIFY(m_dialogs->exclamations.isEmpty());
    }

    // Several changes undone with Ctrl+Z to the start and redone with both redo keys; a change the
    // library refused adds nothing to undo, and a new change drops what could have been redone.
    void keysAndMixedChanges() {
        QVERIFY(start({"generated Plus"}));
        QUndoStack* stack = m_window->undoHistory().stack();
        const QStringList start = exactContent();
        for (const char* name : {"state", "insert call", "title", "add history"}) {
            change(QLatin1String(name));
        }
        const QStringList end = exactContent();

        m_window->session().database().exec(
            QStringLiteral("CREATE TEMP TRIGGER refuse BEFORE UPDATE ON tblSequence BEGIN SELECT RAISE(ABORT, 'no'); "
                           "END"));
        m_dialogs->level = QStringLiteral("C1");
        selectRows(0, 0);
        m_window->menus().sequenceChangeLevel->trigger();
        m_window->session().database().exec(QStringLiteral("DROP TRIGGER temp.refuse"));
        QVERIFY(m_errors->reported(QStringLiteral("frmVornReader.mnuSequenceChangeLevel_Click")));
        m_errors->prompts.clear();
        QCOMPARE(stack->count(), 4);
        QCOMPARE(exactContent(), end);
        change(QStringLiteral("delete"));
        QCOMPARE(stack->count(), 5);
        const QStringList deleted = exactContent();

        QWidget* list = m_window->sequenceList().view();
        QVERIFY(focus(list));
        for (int i = 0; i < 5; ++i) {
            QTest::keyClick(list, Qt::Key_Z, Qt::ControlModifier);
        }
        QCOMPARE(exactContent(), start);
        for (int i = 0; i < 5; ++i) {
            QTest::keyClick(list, i % 2 ? Qt::Key_Y : Qt::Key_Z,
                            i % 2 ? Qt::ControlModifier : Qt::ControlModifier | Qt::ShiftModifier);
        }
        QCOMPARE(exactContent(), deleted);
        // The keys work from the call grid as well.
        QTest::keyClick(list, Qt::Key_Z, Qt::ControlModifier);
        QWidget* calls = m_window->callList().grid();
        QVERIFY(focus(calls));
        QTest::keyClick(calls, Qt::Key_Z, Qt::ControlModifier);
        QCOMPARE(stack->index(), 3);
        change(QStringLiteral("state"));
        QCOMPARE(stack->count(), 4);
        QVERIFY(!m_window->menus().editRedo->isEnabled());
    }

    // The stack belongs to the open library: File > Close, another library and File > Export
    // empty it.
    void forgottenWithTheLibrary_data() {
        QTest::addColumn<QString>("how");
        QTest::newRow("close") << "close";
        QTest::newRow("open another") << "open";
        QTest::newRow("export") << "export";
    }
    void forgottenWithTheLibrary() {
        QFETCH(QString, how);
        QVERIFY(start({"generated Plus"}));
        change(QStringLiteral("delete"));
        QCOMPARE(m_window->undoHistory().stack()->count(), 1);
        if (how == QLatin1String("close")) {
            m_window->menus().fileClose->trigger();
        } else if (how == QLatin1String("open")) {
            m_window->libraryCommands().OpenSequenceMdbFile(
                createLibrary(QStringLiteral("Other.mdb"), {"generated C1"}), QString());
        } else {
            // The dialog closed without moving anything: the library was closed and opened again.
            m_window->exportCommand().setRunner([](frmExport& dialog) { dialog.close(); });
            m_window->menus().fileExport->trigger();
            QVERIFY(m_window->session().isOpen());
        }
        QCOMPARE(m_window->undoHistory().stack()->count(), 0);
        QVERIFY(!m_window->menus().editUndo->isEnabled());
        QCOMPARE(undoCaption(), QStringLiteral("Undo"));
    }

    // The caption in Japanese.
    void japaneseCaption() {
        QVERIFY(start({"generated Plus"}, {}, {{QStringLiteral("Language"), QStringLiteral("Japanese")}}));
        change(QStringLiteral("delete"));
        QCOMPARE(undoCaption(), QStringLiteral("シーケンス 3 件の削除 を元に戻す"));
    }
};

QTEST_MAIN(TestUndoHistory)
#include "TestUndoHistory.moc"
