#include "BrowserState.h"
#include "CallList.h"
#include "Database.h"
#include "FakeSeqTextHost.h"
#include "Fixtures.h"
#include "GridView.h"
#include "HomeSeeder.h"
#include "IBrowserDialogs.h"
#include "LibrarySession.h"
#include "MainMenus.h"
#include "RecordingErrorBox.h"
#include "SearchCommands.h"
#include "SequenceList.h"
#include "SequenceListModel.h"
#include "Settings.h"
#include "StateIcons.h"
#include "TestHome.h"
#include "frmMsgHistoryDel.h"
#include "frmSearchWord.h"
#include "frmVornReader.h"
#include "modDataBase.h"
#include "modGeneral.h"
#include "modSeqText.h"
#include "modSystem.h"

#include <QAction>
#include <QApplication>
#include <QCheckBox>
#include <QClipboard>
#include <QDir>
#include <QLineEdit>
#include <QMessageBox>
#include <QPushButton>
#include <QStandardItemModel>
#include <QTableWidget>
#include <QTimer>
#include <QtTest>
#include <algorithm>
#include <memory>

namespace {

QString entryText(const HistoryEntryText& entry) {
    return entry.callDate + QLatin1Char('|') + entry.partyName;
}

// The main window's dialogs without windows: messages are recorded, questions and the history and
// level dialogs give the scripted answers.
class ScriptedDialogs final : public IBrowserDialogs {
public:
    void exclamation(const QString& text) override { exclamations.append(text); }
    void information(const QString& text) override { informations.append(text); }
    bool question(const QString& text) override {
        questions.append(text);
        return answerOk;
    }
    std::optional<QString> openFile(const QString&, const QString&, const QString&) override { return std::nullopt; }
    QStringList openFiles(const QString&, const QString&, const QString&) override { return {}; }
    std::optional<QString> inputText(const QString&) override { return std::nullopt; }
    void about(const QString&, const QString&) override {}
    std::optional<HistoryEntryText> historyAdd(const HistoryEntryText& proposed) override {
        proposals.append(entryText(proposed));
        return historyEntry;
    }
    // Chooses the shown row equal to historyToDelete; cancels when there is none.
    std::optional<int> historyDelete(const QList<HistoryEntryText>& rows) override {
        for (const HistoryEntryText& row : rows) {
            deleteRows.append(entryText(row));
        }
        const qsizetype chosen = deleteRows.indexOf(historyToDelete);
        return chosen < 0 ? std::nullopt : std::optional<int>(static_cast<int>(chosen));
    }
    std::optional<QString> changeLevel(const QStringList& levels) override {
        levelChoices = levels;
        return level;
    }
    std::optional<FormationText> editFormation(const FormationText&, bool) override { return std::nullopt; }

    bool answerOk = true;
    std::optional<HistoryEntryText> historyEntry;
    QString historyToDelete;
    std::optional<QString> level;
    QStringList exclamations;
    QStringList informations;
    QStringList questions;
    QStringList proposals;
    QStringList deleteRows;
    QStringList levelChoices;
};

} // namespace

class TestSequenceCommands : public QObject {
    Q_OBJECT

private Q_SLOTS:
    void init();
    void cleanup();
    void stateKeys_data();
    void stateKeys();
    void historyAdd_data();
    void historyAdd();
    void historyDeleteByParty_data();
    void historyDeleteByParty();
    void historyDeleteDialog_data();
    void historyDeleteDialog();
    void historyGridDelete_data();
    void historyGridDelete();
    void historyGridEdit_data();
    void historyGridEdit();
    void changeLevel_data();
    void changeLevel();
    void deleteKey_data();
    void deleteKey();
    void copyCutPaste_data();
    void copyCutPaste();
    void search_data();
    void search();
    void replaceAll_data();
    void replaceAll();

private:
    // Builds library "Dance.mdb" from the sources (data files, or "generated <level>"), names it in
    // the INI file and opens the window on it.
    bool start(const QStringList& sources);
    // Runs a statement with bound values; each result row as its columns joined by "|".
    QStringList sql(const QString& statement, const QVariantList& values = {}) const;
    int number(const QString& statement, const QVariantList& values = {}) const {
        return sql(statement, values).value(0).toInt();
    }
    void addHistory(qint64 sequence, const QString& date, const QString& party) const {
        sql(QStringLiteral("INSERT INTO tblHistory (Sequence, CallDate, PartyName) VALUES (?, ?, ?)"),
            {sequence, date, party});
    }
    // Everything the sequence text carries, by date, time and level: sequences, history, calls.
    QStringList library() const;
    GridView* seqGrid() const { return m_window->sequenceList().view(); }
    int seqCount() const { return m_window->sequenceList().rowCount(); }
    qint64 keyAt(int row) const { return m_window->sequenceList().model()->sequenceAt(row); }
    QList<qint64> listedKeys() const;
    // Selects the list rows first..last (first becomes current); their keys.
    QList<qint64> selectRows(int first, int last);
    bool focus(QWidget* widget);
    int levelItem(const QString& caption) const;
    frmSearchWord* openSearch(bool replace);

    std::unique_ptr<TestHome> m_home;
    std::unique_ptr<RecordingErrorBox> m_errors;
    std::unique_ptr<ScriptedDialogs> m_dialogs;
    std::unique_ptr<frmVornReader> m_window;
};

void TestSequenceCommands::init() {
    m_home = std::make_unique<TestHome>();
    HomeSeeder::SeedApplicationHome();
    settings() = Settings();
    m_errors = std::make_unique<RecordingErrorBox>();
    m_dialogs = std::make_unique<ScriptedDialogs>();
}

void TestSequenceCommands::cleanup() {
    m_window.reset();
    const QStringList errors = m_errors->prompts;
    m_errors.reset();
    m_dialogs.reset();
    settings() = Settings();
    m_home.reset();
    QVERIFY2(errors.isEmpty(), qPrintable(errors.join(QLatin1Char('\n'))));
}

bool TestSequenceCommands::start(const QStringList& sources) {
    const QString folder = m_home->file(QStringLiteral("lib"));
    QDir().mkpath(folder);
    modDataBase::CreateLibrary(folder + QStringLiteral("/Dance.mdb"));
    {
        Database db(folder + QStringLiteral("/Dance.mdb"));
        FakeSeqTextHost host;
        for (const QString& source : sources) {
            const bool generated = source.startsWith(QLatin1String("generated "));
            host.clipboard = generated ? Fixtures::generatorText(6, 4, source.mid(10)) : QString();
            modSeqText::ReadSequenceText(db, generated ? QString() : Fixtures::dataFile(source), generated, -1, host);
        }
    }
    const QString ini = m_home->file(QStringLiteral("VornReader.ini"));
    const QStringList keys{"MdbPath", folder, "MdbFile", "Dance.mdb", "Language", "English"};
    for (qsizetype i = 0; i < keys.size(); i += 2) {
        modSystem::WriteIniValue(QStringLiteral("VornReader"), keys[i], keys[i + 1], ini);
    }
    m_window = std::make_unique<frmVornReader>(QString(), m_dialogs.get());
    m_window->show();
    return QTest::qWaitForWindowActive(m_window.get()) &&
           QTest::qWaitFor([this] { return m_window->session().isOpen(); });
}

QStringList TestSequenceCommands::sql(const QString& statement, const QVariantList& values) const {
    Statement query = m_window->session().database().prepare(statement);
    for (qsizetype i = 0; i < values.size(); ++i) {
        query.bind(static_cast<int>(i + 1), values[i]);
    }
    QStringList rows;
    while (query.step()) {
        QStringList columns;
        for (int column = 0; column < query.columnCount(); ++column) {
            columns.append(query.value(column).toString());
        }
        rows.append(columns.join(QLatin1Char('|')));
    }
    return rows;
}

QStringList TestSequenceCommands::library() const {
    return sql(QStringLiteral("SELECT Date, Time, Level, Version, Note, Property FROM tblSequence ORDER BY 1, 2, 3")) +
           sql(QStringLiteral("SELECT Date, Time, Level, CallDate, PartyName FROM tblHistory JOIN tblSequence "
                              "USING (Sequence) ORDER BY 1, 2, 3, History")) +
           sql(QStringLiteral("SELECT Date, Time, Level, Number, Call, tblCall.Note, Figure FROM tblCall JOIN "
                              "tblSequence USING (Sequence) ORDER BY 1, 2, 3, 4"));
}

QList<qint64> TestSequenceCommands::listedKeys() const {
    QList<qint64> keys;
    for (int r = 0; r < seqCount(); ++r) {
        keys.append(keyAt(r));
    }
    return keys;
}

QList<qint64> TestSequenceCommands::selectRows(int first, int last) {
    SequenceListModel* model = m_window->sequenceList().model();
    m_window->sequenceList().setCurrentRow(first);
    seqGrid()->selectionModel()->select(QItemSelection(model->index(first, 0), model->index(last, 0)),
                                        QItemSelectionModel::ClearAndSelect | QItemSelectionModel::Rows);
    return m_window->sequenceList().selectedSequences();
}

bool TestSequenceCommands::focus(QWidget* widget) {
    widget->setFocus();
    return QTest::qWaitFor([widget] { return widget->hasFocus(); });
}

int TestSequenceCommands::levelItem(const QString& caption) const {
    const QList<QAction*>& items = m_window->menus().viewLevels;
    const auto item = std::find_if(items.begin(), items.end(), [&](QAction* a) { return a->text() == caption; });
    return item == items.end() ? -1 : static_cast<int>(item - items.begin());
}

frmSearchWord* TestSequenceCommands::openSearch(bool replace) {
    (replace ? m_window->menus().editReplace : m_window->menus().editSearch)->trigger();
    frmSearchWord* dialog = m_window->searchCommands().dialog();
    return QTest::qWaitFor([dialog] { return dialog->isVisible(); }) ? dialog : nullptr;
}

void TestSequenceCommands::stateKeys_data() {
    QTest::addColumn<int>("key");
    QTest::addColumn<bool>("shift");
    QTest::addColumn<bool>("editing");
    QTest::addColumn<int>("state");
    QTest::newRow("3") << int(Qt::Key_3) << false << false << 2;
    QTest::newRow("9") << int(Qt::Key_9) << false << false << 8;
    QTest::newRow("shift 2") << int(Qt::Key_2) << true << false << 10;
    QTest::newRow("shift 5") << int(Qt::Key_5) << true << false << 13;
    // Shift+2 as most layouts deliver it.
    QTest::newRow("shift 2 as @") << int(Qt::Key_At) << true << false << 10;
    QTest::newRow("3 into a title editor") << int(Qt::Key_3) << false << true << -1;
}

void TestSequenceCommands::stateKeys() {
    QFETCH(int, key);
    QFETCH(bool, shift);
    QFETCH(bool, editing);
    QFETCH(int, state);
    QVERIFY(start({"linux.Plus"}));
    const QList<qint64> keys = selectRows(2, 6);
    QCOMPARE(keys.size(), 5);
    const QString property = QStringLiteral("SELECT Property FROM tblSequence WHERE Sequence = ?");
    QList<int> before;
    for (const qint64 sequence : keys) {
        before.append(number(property, {sequence}));
    }
    QVERIFY(focus(seqGrid()));
    QWidget* target = seqGrid();
    if (editing) {
        QTest::keyClick(seqGrid(), Qt::Key_Return);
        target = QApplication::focusWidget();
        QVERIFY(m_window->state().cellEdit && qobject_cast<QLineEdit*>(target));
    }
    QTest::keyClick(target, Qt::Key(key), shift ? Qt::ShiftModifier : Qt::NoModifier);
    if (editing) {
        QTest::keyClick(target, Qt::Key_Escape);
        QTRY_VERIFY(!m_window->state().cellEdit);
    }

    SequenceListModel* model = m_window->sequenceList().model();
    for (qsizetype i = 0; i < keys.size(); ++i) {
        const int expected = state < 0 ? before[i] : state;
        QCOMPARE(number(property, {keys[i]}), expected);
        const QModelIndex index = model->index(model->rowOf(keys[i]), SequenceListModel::TitleColumn);
        QCOMPARE(index.data(Qt::DecorationRole).value<QIcon>().cacheKey(),
                 StateIcons::image(expected + StateIcons::FirstStateImage).cacheKey());
    }
}

void TestSequenceCommands::historyAdd_data() {
    QTest::addColumn<bool>("confirmed");
    QTest::newRow("three sequences") << true;
    QTest::newRow("cancelled") << false;
}

void TestSequenceCommands::historyAdd() {
    QFETCH(bool, confirmed);
    QVERIFY(start({"linux.Plus"}));
    const QString proposed = entryText({settings().CallDate, settings().PartyName});
    const QList<qint64> keys = selectRows(3, 5);
    if (confirmed) {
        m_dialogs->historyEntry = HistoryEntryText{QStringLiteral("2012/1/28"), QStringLiteral("O'Brien")};
    }
    m_window->menus().sequenceAddHist->trigger();

    QCOMPARE(m_dialogs->proposals, QStringList{proposed});
    QStringList added;
    for (const qint64 sequence : keys) {
        added.append(QStringLiteral("%1|2012-01-28|O'Brien").arg(sequence));
    }
    QCOMPARE(sql(QStringLiteral("SELECT Sequence, CallDate, PartyName FROM tblHistory ORDER BY History")),
             confirmed ? added : QStringList{});
    if (!confirmed) {
        QCOMPARE(entryText({settings().CallDate, settings().PartyName}), proposed);
        return;
    }
    // The current sequence is one of them: its history grid shows the entry.
    const QStandardItemModel* grid = m_window->callList().historyModel();
    QCOMPARE(grid->rowCount(), 1);
    QCOMPARE(entryText({grid->item(0, 0)->text(), grid->item(0, 1)->text()}), QStringLiteral("2012/01/28|O'Brien"));
    // The next add proposes what was entered.
    m_window->menus().sequenceAddHist->trigger();
    QCOMPARE(m_dialogs->proposals.value(1), QStringLiteral("2012/1/28|O'Brien"));
    QCOMPARE(settings().PartyName, QStringLiteral("O'Brien"));
}

void TestSequenceCommands::historyDeleteByParty_data() {
    QTest::addColumn<QString>("chosen");
    QTest::newRow("date and party") << "2012/01/28|Club";
    QTest::newRow("party with a quote") << "2012/01/28|O'Brien";
    QTest::newRow("cancelled") << "";
}

void TestSequenceCommands::historyDeleteByParty() {
    QFETCH(QString, chosen);
    QVERIFY(start({"linux.Plus"}));
    QCOMPARE(selectRows(0, 2), listedKeys().mid(0, 3));
    // List row, date, party: a duplicate on row 0, other entries beside, one on row 3 (not selected).
    const QList<QStringList> entries{{"0", "2012-01-28", "Club"},    {"0", "2012-01-28", "Club"},
                                     {"0", "2013-02-02", "Club"},    {"1", "2012-01-28", "Club"},
                                     {"2", "2012-01-28", "O'Brien"}, {"3", "2012-01-28", "Club"}};
    QStringList kept;
    for (const QStringList& entry : entries) {
        const QString key = QString::number(keyAt(entry[0].toInt()));
        addHistory(key.toLongLong(), entry[1], entry[2]);
        const QString shown = QString(entry[1]).replace(QLatin1Char('-'), QLatin1Char('/'));
        if (entry[0] == QLatin1String("3") || entryText({shown, entry[2]}) != chosen) {
            kept.append(QStringList{key, entry[1], entry[2]}.join(QLatin1Char('|')));
        }
    }
    m_dialogs->historyToDelete = chosen;
    m_window->menus().sequenceDelHist->trigger();

    QCOMPARE(m_dialogs->deleteRows, (QStringList{"2012/01/28|Club", "2012/01/28|O'Brien", "2013/02/02|Club"}));
    QCOMPARE(sql(QStringLiteral("SELECT Sequence, CallDate, PartyName FROM tblHistory ORDER BY History")), kept);
}

void TestSequenceCommands::historyDeleteDialog_data() {
    QTest::addColumn<int>("row");
    QTest::newRow("header row") << 0;
    QTest::newRow("second pair") << 2;
}

void TestSequenceCommands::historyDeleteDialog() {
    QFETCH(int, row);
    modGeneral::SetLanguage(QStringLiteral("English"));
    frmMsgHistoryDel dialog({{QStringLiteral("2012/01/28"), QStringLiteral("Club")},
                             {QStringLiteral("2013/02/02"), QStringLiteral("O'Brien")}});
    dialog.grid()->setCurrentCell(row, 0);
    // The refusal is a modal message box: close it and keep its text.
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

    const bool accepted = row > 0;
    QCOMPARE(dialog.cancelled, !accepted);
    QCOMPARE(dialog.result() == QDialog::Accepted, accepted);
    QCOMPARE(refusals, accepted ? QStringList{} : QStringList{modGeneral::TransMessage(20682)});
    QCOMPARE(dialog.chosenRow(), row - 1);
}

void TestSequenceCommands::historyGridDelete_data() {
    QTest::addColumn<int>("row");
    QTest::addColumn<bool>("confirmed");
    QTest::newRow("no row selected") << -1 << true;
    QTest::newRow("second row, OK") << 1 << true;
    QTest::newRow("second row, Cancel") << 1 << false;
}

void TestSequenceCommands::historyGridDelete() {
    QFETCH(int, row);
    QFETCH(bool, confirmed);
    QVERIFY(start({"linux.Plus"}));
    const qint64 sequence = m_window->state().currentSequence;
    for (const char* party : {"Club", "Dance", "Party"}) {
        addHistory(sequence, QStringLiteral("2012-01-28"), QLatin1String(party));
    }
    m_window->sequenceList().RowColChange(m_window->sequenceList().currentRow());
    QStandardItemModel* history = m_window->callList().historyModel();
    QStringList kept = sql(QStringLiteral("SELECT History FROM tblHistory ORDER BY History"));
    QCOMPARE(history->rowCount(), 3);
    m_window->callList().historyGrid()->clearSelection();
    if (row >= 0) {
        m_window->callList().historyGrid()->selectRow(row);
        if (confirmed) {
            kept.removeOne(history->item(row, 2)->text());
        }
    }
    m_dialogs->answerOk = confirmed;
    m_window->menus().historyDelete->trigger();

    QCOMPARE(m_dialogs->informations, row < 0 ? QStringList{modGeneral::TransMessage(40121)} : QStringList{});
    QCOMPARE(m_dialogs->questions, row < 0 ? QStringList{} : QStringList{modGeneral::TransMessage(40122)});
    QCOMPARE(sql(QStringLiteral("SELECT History FROM tblHistory ORDER BY History")), kept);
    QCOMPARE(history->rowCount(), kept.size());
    QTRY_VERIFY(m_window->callList().historyGrid()->hasFocus());
}

void TestSequenceCommands::historyGridEdit_data() {
    QTest::addColumn<int>("column");
    QTest::addColumn<QStringList>("typedStoredShown");
    QTest::newRow("date") << 0 << QStringList{"2002/1/5", "2002-01-05", "2002/01/05"};
    QTest::newRow("party with quotes") << 1 << QStringList{"Mary's \"Club\"", "Mary's \"Club\"", "Mary's \"Club\""};
}

void TestSequenceCommands::historyGridEdit() {
    QFETCH(int, column);
    QFETCH(QStringList, typedStoredShown);
    QVERIFY(start({"linux.Plus"}));
    addHistory(m_window->state().currentSequence, QStringLiteral("2012-01-28"), QStringLiteral("Club"));
    m_window->sequenceList().RowColChange(m_window->sequenceList().currentRow());
    QStandardItemModel* history = m_window->callList().historyModel();
    QCOMPARE(history->rowCount(), 1);
    GridView* grid = m_window->callList().historyGrid();
    grid->setCurrentIndex(history->index(0, column));
    QVERIFY(focus(grid));

    QTest::keyClick(grid, Qt::Key_Return);
    auto* editor = qobject_cast<QLineEdit*>(QApplication::focusWidget());
    QVERIFY(m_window->state().cellEdit && editor && grid->isAncestorOf(editor));
    editor->selectAll();
    QTest::keyClicks(editor, typedStoredShown[0]);
    QTest::keyClick(editor, Qt::Key_Return);
    QTRY_VERIFY(!m_window->state().cellEdit);

    const QStringList stored = sql(QStringLiteral("SELECT CallDate, PartyName FROM tblHistory"));
    QCOMPARE(stored.value(0).split(QLatin1Char('|')).value(column), typedStoredShown[1]);
    QCOMPARE(history->item(0, column)->text(), typedStoredShown[2]);
}

void TestSequenceCommands::changeLevel_data() {
    QTest::addColumn<int>("count");
    QTest::addColumn<QString>("level");
    QTest::newRow("every Plus sequence to C1") << -1 << "C1";
    QTest::newRow("two Plus sequences to A2") << 2 << "A2";
}

void TestSequenceCommands::changeLevel() {
    QFETCH(int, count);
    QFETCH(QString, level);
    QVERIFY(start({"linux.Plus", "linux.C1"}));
    QCOMPARE(settings().ViewLevel, QStringLiteral("Plus"));
    const int plusItem = m_window->state().levelIndex;
    const int listed = seqCount();
    const QList<qint64> keys = selectRows(0, count < 0 ? listed - 1 : count - 1);
    m_dialogs->level = level;
    m_window->menus().sequenceChangeLevel->trigger();

    QCOMPARE(m_dialogs->levelChoices, modGeneral::LevelNames());
    for (const qint64 sequence : keys) {
        QCOMPARE(sql(QStringLiteral("SELECT Level FROM tblSequence WHERE Sequence = ?"), {sequence}),
                 QStringList{level});
    }
    // No Plus sequence is left to list when all moved: the item goes, and the first level of the
    // menu that has sequences is shown.
    const bool emptied = count < 0;
    QCOMPARE(m_window->menus().viewLevels[plusItem]->isVisible(), !emptied);
    QCOMPARE(settings().ViewLevel == QLatin1String("Plus"), !emptied);
    QVERIFY(levelItem(level) >= 0 && m_window->menus().viewLevels[levelItem(level)]->isVisible());
    QStringList shown;
    for (const qint64 sequence : listedKeys()) {
        shown.append(QString::number(sequence));
    }
    std::sort(shown.begin(), shown.end());
    QStringList expected =
        sql(QStringLiteral("SELECT Sequence FROM tblSequence WHERE Level = ?"), {settings().ViewLevel});
    std::sort(expected.begin(), expected.end());
    QCOMPARE(shown, expected);
    QCOMPARE(seqCount(), emptied ? int(expected.size()) : listed - count);
}

void TestSequenceCommands::deleteKey_data() {
    QTest::addColumn<bool>("confirmed");
    QTest::newRow("OK") << true;
    QTest::newRow("Cancel") << false;
}

void TestSequenceCommands::deleteKey() {
    QFETCH(bool, confirmed);
    QVERIFY(start({"linux.Plus"}));
    const QList<qint64> before = listedKeys();
    const QList<qint64> keys = selectRows(4, 6);
    for (const qint64 sequence : keys) {
        addHistory(sequence, QStringLiteral("2012-01-28"), QStringLiteral("Club"));
    }
    const QStringList history = sql(QStringLiteral("SELECT * FROM tblHistory ORDER BY History"));
    QStringList calls = sql(QStringLiteral("SELECT Sequence, Number FROM tblCall ORDER BY 1, 2"));
    QList<qint64> kept = before;
    if (confirmed) {
        for (const qint64 sequence : keys) {
            kept.removeOne(sequence);
            calls.removeIf([sequence](const QString& call) {
                return call.section(QLatin1Char('|'), 0, 0).toLongLong() == sequence;
            });
        }
    }
    m_dialogs->answerOk = confirmed;
    QVERIFY(focus(seqGrid()));
    QTest::keyClick(seqGrid(), Qt::Key_0);

    QCOMPARE(m_dialogs->questions, QStringList{modGeneral::TransMessage(40131)});
    QCOMPARE(listedKeys(), kept);
    QCOMPARE(number(QStringLiteral("SELECT COUNT(*) FROM tblSequence")), kept.size());
    QCOMPARE(sql(QStringLiteral("SELECT Sequence, Number FROM tblCall ORDER BY 1, 2")), calls);
    // History rows stay, as designed.
    QCOMPARE(sql(QStringLiteral("SELECT * FROM tblHistory ORDER BY History")), history);
    for (int r = 0; confirmed && r < seqCount(); ++r) {
        QCOMPARE(number(QStringLiteral("SELECT OrderNo FROM tblSequence WHERE Sequence = ?"), {keyAt(r)}), r + 1);
    }
}

void TestSequenceCommands::copyCutPaste_data() {
    QTest::addColumn<bool>("cut");
    QTest::addColumn<bool>("confirmed");
    QTest::newRow("copy, paste adds nothing") << false << true;
    QTest::newRow("cut, paste moves back") << true << true;
    QTest::newRow("cut cancelled") << true << false;
}

void TestSequenceCommands::copyCutPaste() {
    QFETCH(bool, cut);
    QFETCH(bool, confirmed);
    // Notes with "Warning:" and "Note:", figures with empty lines, history and a state.
    QVERIFY(start({"linux.Plus", "generated Plus"}));
    const qint64 edited = keyAt(1);
    sql(QStringLiteral("UPDATE tblSequence SET Property = 3 WHERE Sequence = ?"), {edited});
    const QStringList titles = sql(QStringLiteral("SELECT Date, Time, Title FROM tblSequence ORDER BY 1, 2"));
    const QStringList before = library();
    for (const QString& part : {QStringLiteral("Warning:"), QStringLiteral("Note:"), QStringLiteral("\r\n\r\n")}) {
        QVERIFY(before.join(QString()).contains(part));
    }
    sql(QStringLiteral("UPDATE tblSequence SET Title = 'typed by hand' WHERE Sequence = ?"), {edited});
    const QList<qint64> listed = listedKeys();
    QGuiApplication::clipboard()->setText(QStringLiteral("kept"));
    selectRows(0, seqCount() - 1);
    m_dialogs->answerOk = confirmed;
    (cut ? m_window->menus().editCut : m_window->menus().editCopy)->trigger();

    QCOMPARE(m_dialogs->questions, cut ? QStringList{modGeneral::TransMessage(40133)} : QStringList{});
    QCOMPARE(m_dialogs->informations, cut ? QStringList{} : QStringList{modGeneral::TransMessage(40134)});
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

    QCOMPARE(library(), before);
    QCOMPARE(seqCount(), listed.size());
    if (cut) {
        // The title typed by hand is lost: every title is derived from the note again.
        QCOMPARE(sql(QStringLiteral("SELECT Date, Time, Title FROM tblSequence ORDER BY 1, 2")), titles);
    } else {
        QCOMPARE(listedKeys(), listed);
    }
}

void TestSequenceCommands::search_data() {
    QTest::addColumn<QStringList>("planted");
    QTest::addColumn<QString>("find");
    QTest::addColumn<bool>("matchCase");
    QTest::addColumn<QList<int>>("rows");
    // The texts go to rows 1, 3 and 5 (calls 2, 3 and 4); the search starts on row 2.
    const QStringList zebras{"Zebra left", "zebra right", "ZEBRA home"};
    QTest::newRow("double quote") << QStringList{"spin the top", "spin \"the\" top", "the end"} << "\"THE\"" << false
                                  << QList<int>{3};
    QTest::newRow("ignoring case, wrapping") << zebras << "zebra" << false << QList<int>{3, 5, 1};
    QTest::newRow("match case") << zebras << "zebra" << true << QList<int>{3};
    QTest::newRow("nowhere") << zebras << "okapi" << false << QList<int>{};
}

void TestSequenceCommands::search() {
    QFETCH(QStringList, planted);
    QFETCH(QString, find);
    QFETCH(bool, matchCase);
    QFETCH(QList<int>, rows);
    QVERIFY(start({"linux.Plus"}));
    for (int i = 0; i < 3; ++i) {
        sql(QStringLiteral("UPDATE tblCall SET Call = ? WHERE Sequence = ? AND Number = ?"),
            {planted[i], keyAt(1 + 2 * i), 2 + i});
    }
    m_window->sequenceList().setCurrentRow(2);
    frmSearchWord* dialog = openSearch(false);
    QVERIFY(dialog);
    dialog->findChild<QLineEdit*>(QStringLiteral("txtSearchWord"))->setText(find);
    dialog->findChild<QCheckBox*>(QStringLiteral("chkSplitCase"))->setChecked(matchCase);
    auto* next = dialog->findChild<QPushButton*>(QStringLiteral("cmdSearchNext"));
    for (const int row : rows) {
        QTest::mouseClick(next, Qt::LeftButton);
        const int call = (row - 1) / 2 + 1;
        QCOMPARE(m_window->sequenceList().currentRow(), row);
        QCOMPARE(m_window->state().currentSequence, keyAt(row));
        QCOMPARE(m_window->callList().currentRow(), call);
        QCOMPARE(m_window->callList().grid()->model()->index(call, 1).data().toString(), planted[(row - 1) / 2]);
    }
    QVERIFY(m_dialogs->informations.isEmpty());
    // Back at the first match the round is reported with the number of steps; with no match at all
    // the list stays where it was.
    QTest::mouseClick(next, Qt::LeftButton);
    QCOMPARE(m_dialogs->informations,
             rows.isEmpty() ? QStringList{} : QStringList{modGeneral::TransMessage(40502, {rows.size()})});
    QCOMPARE(m_dialogs->exclamations, rows.isEmpty() ? QStringList{modGeneral::TransMessage(40501)} : QStringList{});
    QCOMPARE(m_window->sequenceList().currentRow(), rows.value(0, 2));
}

void TestSequenceCommands::replaceAll_data() {
    QTest::addColumn<QString>("level");
    QTest::addColumn<QStringList>("findReplace");
    QTest::addColumn<bool>("confirmed");
    QTest::addColumn<int>("count");
    QTest::addColumn<QStringList>("after");
    // Planted: "quux bb" in a Plus call and "Quux b" in a C1 call.
    QTest::newRow("Plus only") << "Plus" << QStringList{"quux", "corge"} << true << 1
                               << QStringList{"corge bb", "Quux b"};
    QTest::newRow("all levels") << "AllLevel" << QStringList{"quux", "corge"} << true << 2
                                << QStringList{"corge bb", "corge b"};
    QTest::newRow("two in one call") << "Plus" << QStringList{"b", "x"} << true << 2
                                     << QStringList{"quux xx", "Quux b"};
    QTest::newRow("declined") << "AllLevel" << QStringList{"b", "x"} << false << 3 << QStringList{"quux bb", "Quux b"};
}

void TestSequenceCommands::replaceAll() {
    QFETCH(QString, level);
    QFETCH(QStringList, findReplace);
    QFETCH(bool, confirmed);
    QFETCH(int, count);
    QFETCH(QStringList, after);
    // Generated calls hold neither "quux" nor any "b".
    QVERIFY(start({"generated Plus", "generated C1"}));
    const QStringList planted{"quux bb", "Quux b"};
    const QString callsQuery = QStringLiteral("SELECT Sequence, Number, Call FROM tblCall ORDER BY 1, 2");
    QStringList expected = sql(callsQuery);
    for (int i = 0; i < 2; ++i) {
        const QString key = sql(QStringLiteral("SELECT MIN(Sequence) FROM tblSequence WHERE Level = ?"),
                                {i == 0 ? QStringLiteral("Plus") : QStringLiteral("C1")})
                                .value(0);
        sql(QStringLiteral("UPDATE tblCall SET Call = ? WHERE Sequence = ? AND Number = 2"), {planted[i], key});
        const qsizetype at = expected.indexOf(QRegularExpression(QStringLiteral("^%1\\|2\\|.*").arg(key)));
        QVERIFY(at >= 0);
        expected[at] = QStringLiteral("%1|2|%2").arg(key, after[i]);
    }
    QVERIFY(levelItem(level) >= 0);
    m_window->menus().viewLevels[levelItem(level)]->trigger();
    m_dialogs->answerOk = confirmed;
    frmSearchWord* dialog = openSearch(true);
    QVERIFY(dialog);
    dialog->findChild<QLineEdit*>(QStringLiteral("txtSearchWord"))->setText(findReplace[0]);
    dialog->findChild<QLineEdit*>(QStringLiteral("txtReplaceWord"))->setText(findReplace[1]);
    dialog->findChild<QPushButton*>(QStringLiteral("cmdReplaceAll"))->click();

    QCOMPARE(m_dialogs->questions, QStringList{modGeneral::TransMessage(40504, {count})});
    QCOMPARE(m_dialogs->informations,
             confirmed ? QStringList{modGeneral::TransMessage(40503, {count})} : QStringList{});
    QCOMPARE(sql(callsQuery), expected);
    // The call grid shows the stored texts.
    const qint64 shown = m_window->state().currentSequence;
    for (int r = 0; r < m_window->callList().rowCount(); ++r) {
        QCOMPARE(
            m_window->callList().grid()->model()->index(r, 1).data().toString(),
            sql(QStringLiteral("SELECT Call FROM tblCall WHERE Sequence = ? AND Number = ?"), {shown, r + 1}).value(0));
    }
}

QTEST_MAIN(TestSequenceCommands)
#include "TestSequenceCommands.moc"
