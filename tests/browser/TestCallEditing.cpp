#include "BrowserState.h"
#include "CallEditing.h"
#include "CallList.h"
#include "Database.h"
#include "FigureView.h"
#include "Fixtures.h"
#include "GridView.h"
#include "RecordingErrorBox.h"
#include "SequenceList.h"
#include "SequenceListQuery.h"
#include "Settings.h"
#include "TestHome.h"
#include "frmFormation.h"

#include <QLabel>
#include <QPlainTextEdit>
#include <QPushButton>
#include <QtTest>
#include <memory>

Q_DECLARE_METATYPE(std::optional<FormationText>)

namespace {

// Answers the questions as told and records what was asked.
class FakeDialogs final : public IBrowserDialogs {
public:
    void exclamation(const QString&) override {}
    void information(const QString&) override {}
    bool question(const QString& text) override {
        questions.append(text);
        return answer;
    }
    std::optional<QString> openFile(const QString&, const QString&, const QString&) override { return {}; }
    QStringList openFiles(const QString&, const QString&, const QString&) override { return {}; }
    std::optional<QString> inputText(const QString&) override { return {}; }
    void about(const QString&, const QString&) override {}
    std::optional<HistoryEntryText> historyAdd(const HistoryEntryText&) override { return {}; }
    std::optional<int> historyDelete(const QList<HistoryEntryText>&) override { return {}; }
    std::optional<QString> changeLevel(const QStringList&) override { return {}; }
    std::optional<FormationText> editFormation(const FormationText& call, bool hexMode) override {
        formationCalls.append(call);
        formationHexMode = hexMode;
        return formationAnswer;
    }

    bool answer = true;
    QStringList questions;
    std::optional<FormationText> formationAnswer;
    QList<FormationText> formationCalls;
    bool formationHexMode = false;
};

// A library with two sequences, the panes of the main window over it and the call commands. Call k
// of a sequence has the text "Call k" (empty when listed in emptyCalls) and the note "k", which
// tells after a command which stored call ended where.
struct Browser {
    explicit Browser(const QList<int>& numbers, const QList<int>& emptyCalls = {}) {
        Fixtures::createLibrary(db, home.path());
        shown = addSequence(QStringLiteral("10:00:00"), numbers, emptyCalls);
        other = addSequence(QStringLiteral("11:00:00"), {1, 2}, {});
        sequences = std::make_unique<SequenceList>(settings(), state, db);
        calls = std::make_unique<CallList>(settings(), state, db);
        sequences->setCallList(calls.get());
        calls->setSequenceList(sequences.get());
        for (QWidget* pane :
             {static_cast<QWidget*>(sequences->view()), calls->middlePane(), calls->rightPane(),
              static_cast<QWidget*>(calls->notePanel()), static_cast<QWidget*>(calls->positionPanel())}) {
            pane->setParent(&host);
        }
        editing = std::make_unique<CallEditing>(settings(), state, db, *sequences, *calls, dialogs);
        sequences->CreateList(SequenceListQuery::AllLevel);
    }

    qint64 addSequence(const QString& time, const QList<int>& numbers, const QList<int>& emptyCalls) {
        Statement sequence = db.prepare(
            QStringLiteral("INSERT INTO tblSequence (Level, Date, Time, Title) VALUES ('Plus', '2026/01/01', ?, ?)"));
        sequence.bind(1, time).bind(2, time);
        sequence.run();
        const qint64 key = db.lastInsertRowId();
        Statement call = db.prepare(QStringLiteral(
            "INSERT INTO tblCall (Sequence, Number, Call, Note, Figure, HexInfo) VALUES (?, ?, ?, ?, ?, ?)"));
        for (const int n : numbers) {
            call.bind(1, key).bind(2, n).bind(3, emptyCalls.contains(n) ? QString() : QStringLiteral("Call %1").arg(n));
            call.bind(4, QString::number(n)).bind(5, QStringLiteral(" %1B^\r\n %1G^").arg(n));
            call.bind(6, QStringLiteral("%1,0,0,0").arg(n));
            call.run();
        }
        return key;
    }

    // Number and note of each call of a sequence in Number order.
    QList<QPair<int, int>> stored(qint64 key) {
        Statement select =
            db.prepare(QStringLiteral("SELECT Number, Note FROM tblCall WHERE Sequence = ? ORDER BY Number"));
        select.bind(1, key);
        QList<QPair<int, int>> result;
        while (select.step()) {
            result.append({select.integer(0), select.text(1).toInt()});
        }
        return result;
    }

    // Figure, Note and HexInfo of call 1 of the shown sequence.
    QStringList firstCall() {
        Statement select =
            db.prepare(QStringLiteral("SELECT Figure, Note, HexInfo FROM tblCall WHERE Sequence = ? AND Number = 1"));
        select.bind(1, shown);
        return select.step() ? QStringList{select.text(0), select.text(1), select.text(2)} : QStringList();
    }

    TestHome home;
    RecordingErrorBox errors;
    Database db;
    QWidget host;
    BrowserState state;
    FakeDialogs dialogs;
    std::unique_ptr<SequenceList> sequences;
    std::unique_ptr<CallList> calls;
    std::unique_ptr<CallEditing> editing;
    qint64 shown = 0;
    qint64 other = 0;
};

QStringList parts(const FormationText& text) {
    return {text.figure, text.note, text.hexInfo};
}

QList<QPair<int, int>> numbered(const QList<int>& notes) {
    QList<QPair<int, int>> result;
    for (qsizetype i = 0; i < notes.size(); ++i) {
        result.append({static_cast<int>(i + 1), notes[i]});
    }
    return result;
}

} // namespace

class TestCallEditing : public QObject {
    Q_OBJECT

private Q_SLOTS:
    void init() { settings() = Settings(); }

    void commands_data() {
        QTest::addColumn<QList<int>>("numbers");
        QTest::addColumn<QList<int>>("emptyCalls");
        QTest::addColumn<int>("row");
        QTest::addColumn<QString>("command");
        QTest::addColumn<bool>("answer");
        QTest::addColumn<bool>("asked");
        // The notes of the calls afterwards, 0 for the new empty call; numbered 1, 2, 3 ...
        QTest::addColumn<QList<int>>("expected");

        const QList<int> three{1, 2, 3};
        const QList<int> gaps{1, 2, 4};
        const QList<int> none;
        QTest::newRow("insert on the first call")
            << three << none << 0 << "insert" << true << false << QList<int>{0, 1, 2, 3};
        QTest::newRow("insert in the middle")
            << three << none << 1 << "insert" << true << false << QList<int>{1, 0, 2, 3};
        QTest::newRow("add on the last call") << three << none << 2 << "add" << true << false << QList<int>{1, 2, 3, 0};
        // Without calls there is no current row: insert asks for call 0, add for call 1.
        QTest::newRow("insert without calls") << none << none << -1 << "insert" << true << false << QList<int>{0};
        QTest::newRow("add without calls") << none << none << -1 << "add" << true << false << QList<int>{0};
        QTest::newRow("insert repairs gaps")
            << gaps << none << 2 << "insert" << true << false << QList<int>{1, 2, 0, 4};
        QTest::newRow("delete empty call")
            << three << QList<int>{2} << 1 << "delete" << false << false << QList<int>{1, 3};
        QTest::newRow("delete call with text") << three << none << 0 << "delete" << true << true << QList<int>{2, 3};
        QTest::newRow("delete cancelled") << three << none << 1 << "delete" << false << true << three;
        QTest::newRow("delete repairs gaps") << gaps << none << 1 << "delete" << true << true << QList<int>{1, 4};
        QTest::newRow("delete last of gaps") << gaps << none << 2 << "delete" << true << true << QList<int>{1, 2};
        QTest::newRow("delete cancelled keeps gaps") << gaps << none << 0 << "delete" << false << true << gaps;
    }

    void commands() {
        QFETCH(QList<int>, numbers);
        QFETCH(QList<int>, emptyCalls);
        QFETCH(int, row);
        QFETCH(QString, command);
        QFETCH(bool, answer);
        QFETCH(bool, asked);
        QFETCH(QList<int>, expected);
        Browser browser(numbers, emptyCalls);
        const QList<QPair<int, int>> before = browser.stored(browser.shown);
        browser.dialogs.answer = answer;
        browser.calls->setCurrentRow(row);
        if (command == QLatin1String("insert")) {
            browser.editing->mnuCallEditInsert_Click();
        } else if (command == QLatin1String("add")) {
            browser.editing->mnuCallEditAdd_Click();
        } else {
            browser.editing->mnuCallEditDelete_Click();
        }
        QCOMPARE(browser.dialogs.questions.size(), asked ? 1 : 0);
        // Cancel leaves even a gap in the numbers alone.
        QCOMPARE(browser.stored(browser.shown), asked && !answer ? before : numbered(expected));
        QCOMPARE(browser.stored(browser.other), numbered({1, 2}));
        QCOMPARE(browser.calls->rowCount(), expected.size());
        for (int r = 0; r < expected.size(); ++r) {
            QCOMPARE(browser.calls->cachedCall(r).note, expected[r] ? QString::number(expected[r]) : QString());
        }
        QVERIFY(browser.errors.prompts.isEmpty());
    }

    // A command that fails part-way leaves every call as it was and reports its procedure.
    void failureRollsBack_data() {
        QTest::addColumn<QString>("trigger");
        QTest::addColumn<QString>("procedure");
        QTest::newRow("add") << "BEFORE INSERT ON tblCall"
                             << "grdCall_AddRow";
        QTest::newRow("delete") << "BEFORE UPDATE ON tblCall WHEN NEW.Number = 1"
                                << "grdCall_DeleteRow";
        QTest::newRow("formation") << "BEFORE UPDATE ON tblCall"
                                   << "grdCall_EditFormation";
    }

    void failureRollsBack() {
        QFETCH(QString, trigger);
        QFETCH(QString, procedure);
        Browser browser({1, 2, 4, 5});
        browser.dialogs.formationAnswer = FormationText{QStringLiteral("x"), QStringLiteral("y"), QString()};
        browser.db.exec(QStringLiteral("CREATE TRIGGER refuse %1 BEGIN SELECT RAISE(ABORT, 'no'); END").arg(trigger));
        const QList<QPair<int, int>> before = browser.stored(browser.shown);
        const QStringList first = browser.firstCall();
        const QHash<QString, void (CallEditing::*)(int)> commands{
            {QStringLiteral("grdCall_AddRow"), &CallEditing::grdCall_AddRow},
            {QStringLiteral("grdCall_DeleteRow"), &CallEditing::grdCall_DeleteRow},
            {QStringLiteral("grdCall_EditFormation"), &CallEditing::grdCall_EditFormation}};
        (browser.editing.get()->*commands.value(procedure))(1);
        QCOMPARE(browser.stored(browser.shown), before);
        QCOMPARE(browser.firstCall(), first);
        QCOMPARE(browser.calls->cachedCall(0).figure, first.front());
        QVERIFY(browser.errors.reported(QStringLiteral("frmVornReader.") + procedure));
    }

    void editFormation_data() {
        QTest::addColumn<int>("n");
        QTest::addColumn<bool>("hexMode");
        QTest::addColumn<std::optional<FormationText>>("answer");
        const FormationText edited{QStringLiteral("  3GV\r\n\r\n 4B>  2G<"), QStringLiteral("a\r\nb"),
                                   QStringLiteral("1,1,1,1")};
        QTest::newRow("OK") << 1 << false << std::optional<FormationText>(edited);
        QTest::newRow("OK in hexagon mode") << 1 << true << std::optional<FormationText>(edited);
        QTest::newRow("cancelled") << 1 << false << std::optional<FormationText>();
        QTest::newRow("no such call") << 9 << false << std::optional<FormationText>(edited);
    }

    void editFormation() {
        QFETCH(int, n);
        QFETCH(bool, hexMode);
        QFETCH(std::optional<FormationText>, answer);
        settings().HexMode = hexMode;
        Browser browser({1, 2, 3});
        browser.dialogs.formationAnswer = answer;
        const QStringList original = browser.firstCall();
        browser.editing->grdCall_EditFormation(n);

        const bool exists = n <= 3;
        QCOMPARE(browser.dialogs.formationCalls.size(), exists ? 1 : 0);
        if (exists) {
            QCOMPARE(parts(browser.dialogs.formationCalls.front()), original);
            QCOMPARE(browser.dialogs.formationHexMode, hexMode);
        }
        const QStringList expected = exists && answer ? parts(*answer) : original;
        QCOMPARE(browser.firstCall(), expected);
        const CallList::CachedCall cached = browser.calls->cachedCall(0);
        QCOMPARE((QStringList{cached.figure, cached.note, cached.hexInfo}), expected);
        QCOMPARE(browser.host.findChild<FigureView*>("picAfterFig")->figureText(), expected.front());
        browser.calls->setCurrentRow(1);
        QCOMPARE(browser.host.findChild<FigureView*>("picBeforeFig")->figureText(), expected.front());
    }

    void formationTexts_data() {
        QTest::addColumn<QString>("figure");
        QTest::newRow("empty") << QString();
        QTest::newRow("one line") << " 1B^  1G^";
        QTest::newRow("lines") << "  3GV  3BV\r\n 4B>      2G<\r\n  1B^  1G^";
        QTest::newRow("empty line inside") << " 1B^\r\n\r\n 2G<";
    }

    // The editor shows LF lines, gives CR LF back, and the drawing follows every keystroke.
    void formationTexts() {
        QFETCH(QString, figure);
        TestHome home;
        frmFormation dialog(false);
        dialog.setTexts({figure, QStringLiteral("first\r\nsecond"), QStringLiteral("1,2,3,4")});
        QCOMPARE(dialog.formationEdit()->toPlainText(), QString(figure).replace(QStringLiteral("\r\n"), "\n"));
        QCOMPARE(dialog.noteEdit()->toPlainText(), QStringLiteral("first\nsecond"));
        QCOMPARE(dialog.picture()->figureText(), figure);

        dialog.formationEdit()->moveCursor(QTextCursor::End);
        QTest::keyClick(dialog.formationEdit(), Qt::Key_Return);
        QCOMPARE(dialog.picture()->figureText(), figure + QStringLiteral("\r\n"));
        QTest::keyClicks(dialog.formationEdit(), QStringLiteral(" 3G"));
        QCOMPARE(dialog.picture()->figureText(), figure + QStringLiteral("\r\n 3G"));
        QCOMPARE(parts(dialog.texts()), (QStringList{figure + "\r\n 3G", "first\r\nsecond", "1,2,3,4"}));

        QTest::mouseClick(dialog.findChild<QPushButton*>(QStringLiteral("cmdClearFormation")), Qt::LeftButton);
        QCOMPARE(dialog.texts().figure, QString());
        QCOMPARE(dialog.picture()->figureText(), QString());
    }

    // Only OK counts as not cancelled; the hexagon cell shows only in hexagon mode.
    void closing_data() {
        QTest::addColumn<QString>("how");
        QTest::addColumn<bool>("hexMode");
        QTest::addColumn<bool>("cancelled");
        QTest::newRow("close box") << "close" << true << true;
        QTest::newRow("Escape") << "escape" << false << true;
        QTest::newRow("cmdCancel") << "cmdCancel" << true << true;
        QTest::newRow("cmdOK") << "cmdOK" << false << false;
    }

    void closing() {
        QFETCH(QString, how);
        QFETCH(bool, hexMode);
        QFETCH(bool, cancelled);
        TestHome home;
        frmFormation dialog(hexMode);
        dialog.cancelled = false;
        dialog.show();
        QVERIFY(QTest::qWaitForWindowExposed(&dialog));
        QVERIFY(dialog.cancelled);
        QCOMPARE(dialog.hexInfoGrid()->isVisible(), hexMode);
        if (how == QLatin1String("close")) {
            dialog.close();
        } else if (how == QLatin1String("escape")) {
            QTest::keyClick(&dialog, Qt::Key_Escape);
        } else {
            QTest::mouseClick(dialog.findChild<QPushButton*>(how), Qt::LeftButton);
        }
        QVERIFY(!dialog.isVisible());
        QCOMPARE(dialog.cancelled, cancelled);
    }
};

QTEST_MAIN(TestCallEditing)
#include "TestCallEditing.moc"
