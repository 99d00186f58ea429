#include "SearchCommands.h"
#include "StateIcons.h"
#include "StoppingProgress.h"
#include "WindowFixture.h"
#include "frmMsgHistoryDel.h"
#include "frmSearchWord.h"
#include "modGeneral.h"

// The sequence list's commands, the history commands, copy, cut and paste, search and replace.
class TestSequenceCommands : public WindowFixture {
    Q_OBJECT

    void addHistory(qint64 sequence, const QString& date, const QString& party) const {
        sql(QStringLiteral("INSERT INTO tblHistory (Sequence, CallDate, PartyName) VALUES (?, ?, ?)"),
            {sequence, date, party});
    }
    QStringList history() const {
        return sql(QStringLiteral("SELECT History, Sequence, CallDate, PartyName FROM tblHistory ORDER BY History"));
    }
    // Everything the sequence text carries, by date, time and level: sequences, history, calls.
    QStringList library() const {
        return sql(QStringLiteral(
                   "SELECT Date, Time, Level, Version, Note, Property FROM tblSequence ORDER BY 1, 2, 3")) +
               sql(QStringLiteral("SELECT Date, Time, Level, CallDate, PartyName FROM tblHistory JOIN tblSequence "
                                  "USING (Sequence) ORDER BY 1, 2, 3, History")) +
               sql(QStringLiteral("SELECT Date, Time, Level, Number, Call, tblCall.Note, Figure FROM tblCall JOIN "
                                  "tblSequence USING (Sequence) ORDER BY 1, 2, 3, 4"));
    }
    // Opens the search (or replace) dialog with the words typed.
    frmSearchWord* search(bool replace, const QString& find, const QString& replacement = {}) {
        (replace ? m_window->menus().editReplace : m_window->menus().editSearch)->trigger();
        frmSearchWord* dialog = m_window->searchCommands().dialog();
        if (!QTest::qWaitFor([dialog] { return dialog->isVisible(); })) {
            return nullptr;
        }
        dialog->findChild<QLineEdit*>(QStringLiteral("txtSearchWord"))->setText(find);
        if (replace) {
            dialog->findChild<QLineEdit*>(QStringLiteral("txtReplaceWord"))->setText(replacement);
        }
        return dialog;
    }

private Q_SLOTS:
    void stateKeys_data() {
        QTest::addColumn<int>("key");
        QTest::addColumn<bool>("shift");
        QTest::addColumn<int>("state");
        QTest::newRow("3") << int(Qt::Key_3) << false << 2;
        QTest::newRow("9") << int(Qt::Key_9) << false << 8;
        QTest::newRow("shift 2") << int(Qt::Key_2) << true << 10;
        QTest::newRow("shift 5") << int(Qt::Key_5) << true << 13;
        // Shift+2 as most layouts deliver it.
        QTest::newRow("shift 2 as @") << int(Qt::Key_At) << true << 10;
    }

    void stateKeys() {
        QFETCH(int, key);
        QFETCH(bool, shift);
        QFETCH(int, state);
        QVERIFY(start({"linux.Plus"}));
        const QList<qint64> keys = selectRows(2, 6);
        QCOMPARE(keys.size(), 5);
        QWidget* list = m_window->sequenceList().view();
        QVERIFY(focus(list));
        QTest::keyClick(list, Qt::Key(key), shift ? Qt::ShiftModifier : Qt::NoModifier);
        // QTest's own Shift release still reports Shift held; a plain one ends it for the tests after.
        QTest::keyRelease(list, Qt::Key_Shift);

        SequenceListModel* model = m_window->sequenceList().model();
        QCOMPARE(number(QStringLiteral("SELECT COUNT(*) FROM tblSequence WHERE Property = ?"), {state}), 5);
        for (const qint64 sequence : keys) {
            QCOMPARE(number(QStringLiteral("SELECT Property FROM tblSequence WHERE Sequence = ?"), {sequence}), state);
            const QModelIndex index = model->index(model->rowOf(sequence), SequenceListModel::TitleColumn);
            QCOMPARE(index.data(Qt::DecorationRole).value<QIcon>().cacheKey(),
                     StateIcons::image(state + StateIcons::FirstStateImage).cacheKey());
        }
    }

    void historyAdd_data() {
        QTest::addColumn<bool>("confirmed");
        QTest::newRow("three sequences") << true;
        QTest::newRow("cancelled") << false;
    }

    void historyAdd() {
        QFETCH(bool, confirmed);
        QVERIFY(start({"linux.Plus"}));
        const QString proposed = FakeDialogs::entryText({settings().CallDate, settings().PartyName});
        QStringList added;
        for (const qint64 sequence : selectRows(3, 5)) {
            added.append(QStringLiteral("%1|2012-01-28|O'Brien").arg(sequence));
        }
        if (confirmed) {
            m_dialogs->historyEntry = HistoryEntryText{QStringLiteral("2012/1/28"), QStringLiteral("O'Brien")};
        }
        m_window->menus().sequenceAddHist->trigger();

        QCOMPARE(sql(QStringLiteral("SELECT Sequence, CallDate, PartyName FROM tblHistory ORDER BY History")),
                 confirmed ? added : QStringList{});
        // The current sequence is one of them: its history grid shows the entry. The next add
        // proposes what was entered.
        const QStandardItemModel* grid = m_window->callList().historyModel();
        QCOMPARE(grid->rowCount(), confirmed ? 1 : 0);
        QVERIFY(!confirmed || grid->item(0, 0)->text() + '|' + grid->item(0, 1)->text() == "2012/01/28|O'Brien");
        m_window->menus().sequenceAddHist->trigger();
        QCOMPARE(m_dialogs->proposals,
                 (QStringList{proposed, confirmed ? QStringLiteral("2012/1/28|O'Brien") : proposed}));
    }

    // History entries go by date and party from the selected sequences (the sequence popup), or one
    // by one from the history grid of the shown sequence, duplicates too.
    void historyDelete_data() {
        QTest::addColumn<bool>("grid");
        QTest::addColumn<QString>("chosen"); // date and party, or the grid row; "" for none
        QTest::addColumn<bool>("confirmed");
        QTest::newRow("date and party") << false << "2012/01/28|Club" << true;
        QTest::newRow("party with a quote") << false << "2012/01/28|O'Brien" << true;
        QTest::newRow("date and party cancelled") << false << "" << true;
        QTest::newRow("grid row of a duplicate") << true << "1" << true;
        QTest::newRow("grid row, Cancel") << true << "1" << false;
        QTest::newRow("grid without a row selected") << true << "" << true;
    }

    void historyDelete() {
        QFETCH(bool, grid);
        QFETCH(QString, chosen);
        QFETCH(bool, confirmed);
        QVERIFY(start({"linux.Plus"}));
        QCOMPARE(selectRows(0, 2), listedKeys().mid(0, 3));
        // List row, date, party: a duplicate on row 0, other entries beside, one on row 3 (not selected).
        const QList<QStringList> entries{{"0", "2012-01-28", "Club"},    {"0", "2012-01-28", "Club"},
                                         {"0", "2013-02-02", "Club"},    {"1", "2012-01-28", "Club"},
                                         {"2", "2012-01-28", "O'Brien"}, {"3", "2012-01-28", "Club"}};
        QStringList kept;
        for (const QStringList& entry : entries) {
            addHistory(keyAt(entry[0].toInt()), entry[1], entry[2]);
            if (grid || entry[0] == "3" || QString(entry[1]).replace('-', '/') + '|' + entry[2] != chosen) {
                kept.append(history().constLast());
            }
        }
        m_dialogs->historyToDelete = chosen;
        m_dialogs->answerOk = confirmed;
        if (!grid) {
            m_window->menus().sequenceDelHist->trigger();
            QCOMPARE(m_dialogs->deleteRows, (QStringList{"2012/01/28|Club", "2012/01/28|O'Brien", "2013/02/02|Club"}));
            QCOMPARE(history(), kept);
            return;
        }
        m_window->sequenceList().RowColChange(m_window->sequenceList().currentRow());
        const QStandardItemModel* model = m_window->callList().historyModel();
        QCOMPARE(model->rowCount(), 3);
        GridView* view = m_window->callList().historyGrid();
        view->clearSelection();
        if (!chosen.isEmpty()) {
            view->selectRow(chosen.toInt());
            // The grid's third column holds the key of the entry the row shows: a 2012 one of row 0.
            const QString key = model->item(chosen.toInt(), 2)->text();
            QVERIFY(kept.contains(QStringLiteral("%1|%2|2012-01-28|Club").arg(key).arg(keyAt(0))));
            kept.removeIf([&](const QString& entry) { return confirmed && entry.startsWith(key + '|'); });
        }
        m_window->menus().historyDelete->trigger();

        QCOMPARE(m_dialogs->informations + m_dialogs->questions,
                 QStringList{modGeneral::TransMessage(chosen.isEmpty() ? 40121 : 40122)});
        QCOMPARE(history(), kept);
        QCOMPARE(model->rowCount(), 3 + kept.size() - entries.size());
        QTRY_VERIFY(view->hasFocus());
    }

    // OK on the header row is refused with a message; on a pair it chooses that pair.
    void historyDeleteDialog_data() {
        QTest::addColumn<int>("row");
        QTest::newRow("header row") << 0;
        QTest::newRow("second pair") << 2;
    }

    void historyDeleteDialog() {
        QFETCH(int, row);
        modGeneral::SetLanguage(QStringLiteral("English"));
        frmMsgHistoryDel dialog({{QStringLiteral("2012/01/28"), QStringLiteral("Club")},
                                 {QStringLiteral("2013/02/02"), QStringLiteral("O'Brien")}});
        dialog.grid()->setCurrentCell(row, 0);
        QStringList refusals;
        QTimer closer;
        connect(&closer, &QTimer::timeout, &dialog, [&refusals] {
            if (auto* box = qobject_cast<QMessageBox*>(QApplication::activeModalWidget())) {
                refusals.append(box->text());
                box->done(QMessageBox::Ok);
            }
        });
        closer.start(10);
        dialog.cmdOK_Click();

        QCOMPARE(refusals, row > 0 ? QStringList{} : QStringList{modGeneral::TransMessage(20682)});
        QCOMPARE(dialog.cancelled, row == 0);
        QCOMPARE(dialog.result() == QDialog::Accepted, row > 0);
        QCOMPARE(dialog.chosenRow(), row - 1);
    }

    void changeLevel_data() {
        QTest::addColumn<int>("count");
        QTest::addColumn<QString>("level");
        QTest::addColumn<int>("item");
        QTest::newRow("every Plus sequence to C1") << -1 << "C1" << 4;
        QTest::newRow("two Plus sequences to A2") << 2 << "A2" << 3;
    }

    void changeLevel() {
        QFETCH(int, count);
        QFETCH(QString, level);
        QFETCH(int, item);
        QVERIFY(start({"linux.Plus", "linux.C1"}));
        QCOMPARE(settings().ViewLevel, QStringLiteral("Plus"));
        const QList<qint64> keys = selectRows(0, count < 0 ? seqCount() - 1 : count - 1);
        m_dialogs->level = level;
        m_window->menus().sequenceChangeLevel->trigger();

        QCOMPARE(m_dialogs->levelChoices, modGeneral::LevelNames());
        // No Plus sequence is left to list when all moved: the item goes, and the first level of the
        // menu that has sequences is shown, with the moved ones.
        const bool emptied = count < 0;
        QCOMPARE(m_window->menus().viewLevels[1]->isVisible(), !emptied);
        QCOMPARE(settings().ViewLevel, emptied ? level : QStringLiteral("Plus"));
        QVERIFY(m_window->menus().viewLevels[item]->isVisible());
        for (const qint64 sequence : keys) {
            QCOMPARE(sql(QStringLiteral("SELECT Level FROM tblSequence WHERE Sequence = ?"), {sequence}), {level});
            QCOMPARE(listedKeys().contains(sequence), emptied);
        }
        QCOMPARE(seqCount(),
                 number(QStringLiteral("SELECT COUNT(*) FROM tblSequence WHERE Level = ?"), {settings().ViewLevel}));
    }

    // The real dialog opens on its first level: Return takes it, Down then Return the next one,
    // Escape none.
    void changeLevelDialog_data() {
        QTest::addColumn<QList<int>>("keys");
        QTest::addColumn<QString>("level");
        QTest::newRow("Return") << QList<int>{Qt::Key_Return} << "Mainstream";
        QTest::newRow("Down, Return") << QList<int>{Qt::Key_Down, Qt::Key_Return} << "Plus";
        QTest::newRow("Escape") << QList<int>{Qt::Key_Escape} << QString();
    }
    void changeLevelDialog() {
        QFETCH(QList<int>, keys);
        QWidget window;
        WidgetDialogs dialogs(&window);
        QTimer::singleShot(0, &window, [keys] {
            QWidget* dialog = QApplication::activeModalWidget();
            QVERIFY(dialog && dialog->objectName() == QLatin1String("frmMsgChangeLevel"));
            auto* list = dialog->findChild<QListWidget*>(QStringLiteral("lstLevel"));
            QVERIFY(focus(list));
            for (const int key : keys) {
                QTest::keyClick(list, Qt::Key(key));
            }
            if (dialog->isVisible()) {
                static_cast<QDialog*>(dialog)->reject();
                QFAIL("the dialog stayed open");
            }
        });
        QTEST(dialogs.changeLevel(modGeneral::LevelNames()).value_or(QString()), "level");
    }

    // Key 0 deletes the selected sequences with their calls; their history stays, as designed.
    void deleteKey_data() {
        QTest::addColumn<bool>("confirmed");
        QTest::newRow("OK") << true;
        QTest::newRow("Cancel") << false;
    }

    void deleteKey() {
        QFETCH(bool, confirmed);
        QVERIFY(start({"linux.Plus"}));
        QList<qint64> kept = listedKeys();
        const QString callsQuery = QStringLiteral("SELECT Sequence, Number FROM tblCall ORDER BY 1, 2");
        QStringList calls = sql(callsQuery);
        for (const qint64 sequence : selectRows(4, 6)) {
            addHistory(sequence, QStringLiteral("2012-01-28"), QStringLiteral("Club"));
            if (confirmed) {
                kept.removeOne(sequence);
                calls.removeIf(
                    [sequence](const QString& call) { return call.startsWith(QString::number(sequence) + '|'); });
            }
        }
        const QStringList entries = history();
        m_dialogs->answerOk = confirmed;
        QVERIFY(focus(m_window->sequenceList().view()));
        QTest::keyClick(m_window->sequenceList().view(), Qt::Key_0);

        QCOMPARE(m_dialogs->questions, QStringList{modGeneral::TransCount(40131, 40136, 3)});
        QCOMPARE(listedKeys(), kept);
        QCOMPARE(number(QStringLiteral("SELECT COUNT(*) FROM tblSequence")), kept.size());
        QCOMPARE(sql(callsQuery), calls);
        QCOMPARE(history(), entries);
        for (int r = 0; confirmed && r < seqCount(); ++r) {
            QCOMPARE(number(QStringLiteral("SELECT OrderNo FROM tblSequence WHERE Sequence = ?"), {keyAt(r)}), r + 1);
        }
    }

    void copyCutPaste_data() {
        QTest::addColumn<bool>("cut");
        QTest::addColumn<bool>("confirmed");
        QTest::newRow("copy, paste adds nothing") << false << true;
        QTest::newRow("cut, paste moves back") << true << true;
        QTest::newRow("cut cancelled") << true << false;
    }

    void copyCutPaste() {
        QFETCH(bool, cut);
        QFETCH(bool, confirmed);
        // Notes with "Warning:" and "Note:", figures with empty lines, history and a state.
        QVERIFY(start({"linux.Plus", "generated Plus"}));
        const qint64 edited = keyAt(1);
        sql(QStringLiteral("UPDATE tblSequence SET Property = 3 WHERE Sequence = ?"), {edited});
        const QString titlesQuery = QStringLiteral("SELECT Date, Time, Title FROM tblSequence ORDER BY 1, 2");
        const QStringList titles = sql(titlesQuery);
        const QStringList before = library();
        for (const char* part : {"Warning:", "Note:", "\r\n\r\n"}) {
            QVERIFY2(before.join(QString()).contains(QLatin1String(part)), part);
        }
        sql(QStringLiteral("UPDATE tblSequence SET Title = 'typed by hand' WHERE Sequence = ?"), {edited});
        const QList<qint64> listed = listedKeys();
        QGuiApplication::clipboard()->setText(QStringLiteral("kept"));
        selectRows(0, seqCount() - 1);
        m_dialogs->answerOk = confirmed;
        (cut ? m_window->menus().editCut : m_window->menus().editCopy)->trigger();

        QCOMPARE(m_dialogs->questions + m_dialogs->informations,
                 QStringList{modGeneral::TransMessage(cut ? 40133 : 40134)});
        if (!confirmed) {
            QCOMPARE(QGuiApplication::clipboard()->text(), QStringLiteral("kept"));
            QCOMPARE(library(), before);
            QCOMPARE(listedKeys(), listed);
            return;
        }
        QCOMPARE(QGuiApplication::clipboard()->text().count(QChar(12)), listed.size() - 1);
        QCOMPARE(number(QStringLiteral("SELECT COUNT(*) FROM tblSequence")), cut ? 0 : listed.size());
        QCOMPARE(seqCount(), cut ? 0 : listed.size());
        m_window->menus().editPaste->trigger();

        // The report names the sequences already in the library, which a paste of a copy all are.
        const QString clipboard = modGeneral::LoadTransString(40302);
        QCOMPARE(m_dialogs->informations.last(), cut ? modGeneral::TransMessage(40301, {clipboard, listed.size()})
                                                     : modGeneral::TransMessage(40301, {clipboard, 0}) +
                                                           QStringLiteral("\r\n") +
                                                           modGeneral::TransMessage(40308, {listed.size()}));
        QCOMPARE(library(), before);
        QCOMPARE(seqCount(), listed.size());
        // A cut sequence comes back under a new key with the title derived from its note again.
        QVERIFY(cut ? sql(titlesQuery) == titles : listedKeys() == listed);
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
        frmSearchWord* dialog = search(false, find);
        QVERIFY(dialog);
        dialog->findChild<QCheckBox*>(QStringLiteral("chkSplitCase"))->setChecked(matchCase);
        auto* next = dialog->findChild<QPushButton*>(QStringLiteral("cmdSearchNext"));
        for (const int row : rows) {
            QTest::mouseClick(next, Qt::LeftButton);
            const int call = (row - 1) / 2 + 1;
            QCOMPARE(m_window->sequenceList().currentRow(), row);
            QCOMPARE(m_window->state().currentSequence, keyAt(row));
            QCOMPARE(m_window->callList().currentRow(), call);
            QCOMPARE(shownCalls().value(call), QStringLiteral("%1. %2").arg(call + 1).arg(planted[(row - 1) / 2]));
        }
        QVERIFY(m_dialogs->informations.isEmpty());
        // Back at the first match the round is reported with the number of steps; with no match at all
        // the list stays where it was.
        QTest::mouseClick(next, Qt::LeftButton);
        QCOMPARE(m_dialogs->informations + m_dialogs->exclamations,
                 QStringList{rows.isEmpty() ? modGeneral::TransMessage(40501)
                                            : modGeneral::TransCount(40502, 40506, rows.size())});
        QCOMPARE(m_window->sequenceList().currentRow(), rows.value(0, 2));
    }

    void replaceAll_data() {
        QTest::addColumn<int>("item"); // Plus, or AllLevel
        QTest::addColumn<QStringList>("findReplace");
        QTest::addColumn<bool>("confirmed");
        QTest::addColumn<int>("count");
        QTest::addColumn<QStringList>("after");
        // Planted: "quux bb" in a Plus call and "Quux b" in a C1 call; "bb" holds "b" twice.
        const QStringList quux{"quux", "corge"};
        QTest::newRow("Plus only") << 1 << quux << true << 1 << QStringList{"corge bb", "Quux b"};
        QTest::newRow("all levels") << 14 << quux << true << 2 << QStringList{"corge bb", "corge b"};
        QTest::newRow("declined") << 14 << QStringList{"b", "x"} << false << 3 << QStringList{"quux bb", "Quux b"};
        QTest::newRow("nowhere, nothing asked")
            << 14 << QStringList{"okapi", "x"} << true << 0 << QStringList{"quux bb", "Quux b"};
    }

    void replaceAll() {
        QFETCH(int, item);
        QFETCH(QStringList, findReplace);
        QFETCH(bool, confirmed);
        QFETCH(int, count);
        QFETCH(QStringList, after);
        // Generated calls hold neither "quux" nor any "b".
        QVERIFY(start({"generated Plus", "generated C1"}));
        for (const auto& [text, level] : {std::pair("quux bb", "Plus"), std::pair("Quux b", "C1")}) {
            sql(QStringLiteral("UPDATE tblCall SET Call = ? WHERE Number = 2 AND Sequence = "
                               "(SELECT MIN(Sequence) FROM tblSequence WHERE Level = ?)"),
                {text, level});
        }
        const QString callsQuery = QStringLiteral("SELECT Sequence, Number, Call FROM tblCall ORDER BY 1, 2");
        const QStringList expected =
            sql(callsQuery).replaceInStrings("|quux bb", '|' + after[0]).replaceInStrings("|Quux b", '|' + after[1]);
        m_window->menus().viewLevels[item]->trigger();
        m_dialogs->answerOk = confirmed;
        frmSearchWord* dialog = search(true, findReplace[0], findReplace[1]);
        QVERIFY(dialog);
        dialog->findChild<QPushButton*>(QStringLiteral("cmdReplaceAll"))->click();

        QCOMPARE(m_dialogs->questions,
                 count > 0 ? QStringList{modGeneral::TransCount(40504, 40508, count)} : QStringList{});
        const QString done = count == 0 ? modGeneral::TransMessage(40501) : modGeneral::TransCount(40503, 40507, count);
        QCOMPARE(m_dialogs->informations + m_dialogs->exclamations, confirmed ? QStringList{done} : QStringList{});
        QCOMPARE(sql(callsQuery), expected);
        // The call grid shows the stored texts.
        QCOMPARE(shownCalls(), storedCalls(m_window->state().currentSequence));
    }

    // Replace All stopped on its progress after the question changes no table and says so.
    void replaceAllStopped() {
        QVERIFY(start({"generated Plus", "generated C1"}));
        const auto everything = [this] {
            QStringList rows;
            for (const char* table : {"tblSequence", "tblCall", "tblHistory", "tblSetting"}) {
                rows += sql(QStringLiteral("SELECT * FROM %1 ORDER BY 1, 2").arg(QLatin1String(table)));
            }
            return rows;
        };
        const QStringList before = everything();
        m_window->menus().viewLevels[14]->trigger();
        StoppingProgress progress([](qint64 done, qint64 total) { return total > 0 && done > 0; });
        m_dialogs->makeProgress = [&progress] { return std::make_unique<ProgressHandle>(progress); };
        frmSearchWord* dialog = search(true, QStringLiteral("swing"), QStringLiteral("turn"));
        QVERIFY(dialog);
        dialog->findChild<QPushButton*>(QStringLiteral("cmdReplaceAll"))->click();
        QVERIFY(progress.cancelled());
        QCOMPARE(m_dialogs->questions, QStringList{modGeneral::TransMessage(40504, {18})});
        QCOMPARE(m_dialogs->informations, QStringList{modGeneral::TransMessage(40505)});
        QCOMPARE(everything(), before);
        QCOMPARE(shownCalls(), storedCalls(m_window->state().currentSequence));
    }
};

QTEST_MAIN(TestSequenceCommands)
#include "TestSequenceCommands.moc"
