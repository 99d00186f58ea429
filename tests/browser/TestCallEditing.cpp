#include "BrowserState.h"
#include "CallEditing.h"
#include "CallList.h"
#include "Database.h"
#include "FigureDiagram.h"
#include "FigureView.h"
#include "Fixtures.h"
#include "GridView.h"
#include "IBrowserDialogs.h"
#include "RecordingErrorBox.h"
#include "SequenceList.h"
#include "SequenceListQuery.h"
#include "Settings.h"
#include "TestHome.h"
#include "frmFormation.h"

#include <QLabel>
#include <QLineEdit>
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

    FigureView* figure(const char* name) const { return host.findChild<FigureView*>(QLatin1String(name)); }

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
        QTest::newRow("insert on the first call")
            << three << QList<int>{} << 0 << "insert" << true << false << QList<int>{0, 1, 2, 3};
        QTest::newRow("insert in the middle")
            << three << QList<int>{} << 1 << "insert" << true << false << QList<int>{1, 0, 2, 3};
        QTest::newRow("add on the last call")
            << three << QList<int>{} << 2 << "add" << true << false << QList<int>{1, 2, 3, 0};
        QTest::newRow("add without calls")
            << QList<int>{} << QList<int>{} << -1 << "add" << true << false << QList<int>{0};
        QTest::newRow("insert without calls")
            << QList<int>{} << QList<int>{} << -1 << "insert" << true << false << QList<int>{0};
        QTest::newRow("insert repairs gaps")
            << gaps << QList<int>{} << 2 << "insert" << true << false << QList<int>{1, 2, 0, 4};
        QTest::newRow("delete empty call")
            << three << QList<int>{2} << 1 << "delete" << false << false << QList<int>{1, 3};
        QTest::newRow("delete call with text")
            << three << QList<int>{} << 0 << "delete" << true << true << QList<int>{2, 3};
        QTest::newRow("delete repairs gaps")
            << gaps << QList<int>{} << 1 << "delete" << true << true << QList<int>{1, 4};
        QTest::newRow("delete last of gaps")
            << gaps << QList<int>{} << 2 << "delete" << true << true << QList<int>{1, 2};
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
        browser.dialogs.answer = answer;
        browser.calls->setCurrentRow(row);
        QCOMPARE(browser.calls->currentRow(), row);
        if (command == QLatin1String("insert")) {
            browser.editing->mnuCallEditInsert_Click();
        } else if (command == QLatin1String("add")) {
            browser.editing->mnuCallEditAdd_Click();
        } else {
            browser.editing->mnuCallEditDelete_Click();
        }
        QCOMPARE(browser.dialogs.questions.size(), asked ? 1 : 0);
        QCOMPARE(browser.stored(browser.shown), numbered(expected));
        QCOMPARE(browser.stored(browser.other), numbered({1, 2}));
        QCOMPARE(browser.calls->rowCount(), expected.size());
        for (int r = 0; r < expected.size(); ++r) {
            QCOMPARE(browser.calls->cachedCall(r).note, expected[r] ? QString::number(expected[r]) : QString());
        }
        QVERIFY(browser.errors.prompts.isEmpty());
    }

    void addWhateverNumberWithoutCalls() {
        Browser browser({});
        browser.editing->grdCall_AddRow(7);
        QCOMPARE(browser.stored(browser.shown), numbered({0}));
    }

    void cancelledDeleteChangesNothing_data() {
        QTest::addColumn<QList<int>>("numbers");
        QTest::newRow("consecutive") << QList<int>{1, 2, 3};
        QTest::newRow("with a gap") << QList<int>{1, 2, 4};
    }

    void cancelledDeleteChangesNothing() {
        QFETCH(QList<int>, numbers);
        Browser browser(numbers);
        const QList<QPair<int, int>> before = browser.stored(browser.shown);
        browser.dialogs.answer = false;
        browser.editing->grdCall_DeleteRow(2);
        QCOMPARE(browser.dialogs.questions.size(), 1);
        QCOMPARE(browser.stored(browser.shown), before);
    }

    // A command that fails part-way leaves every call as it was and reports its procedure.
    void failureRollsBack_data() {
        QTest::addColumn<QString>("trigger");
        QTest::addColumn<QString>("command");
        QTest::addColumn<QString>("procedure");
        QTest::newRow("add") << "BEFORE INSERT ON tblCall"
                             << "add"
                             << "frmVornReader.grdCall_AddRow";
        QTest::newRow("delete") << "BEFORE UPDATE ON tblCall WHEN NEW.Number = 1"
                                << "delete"
                                << "frmVornReader.grdCall_DeleteRow";
        QTest::newRow("formation") << "BEFORE UPDATE ON tblCall"
                                   << "formation"
                                   << "frmVornReader.grdCall_EditFormation";
    }

    void failureRollsBack() {
        QFETCH(QString, trigger);
        QFETCH(QString, command);
        QFETCH(QString, procedure);
        Browser browser({1, 2, 4, 5});
        browser.dialogs.formationAnswer = FormationText{QStringLiteral("x"), QStringLiteral("y"), QString()};
        browser.db.exec(
            QStringLiteral("CREATE TRIGGER refuse %1 BEGIN SELECT RAISE(ABORT, 'refused'); END").arg(trigger));
        const QList<QPair<int, int>> before = browser.stored(browser.shown);
        if (command == QLatin1String("add")) {
            browser.editing->grdCall_AddRow(1);
        } else if (command == QLatin1String("delete")) {
            browser.editing->grdCall_DeleteRow(1);
        } else {
            browser.editing->grdCall_EditFormation(1);
            QCOMPARE(browser.calls->cachedCall(0).figure, QStringLiteral(" 1B^\r\n 1G^"));
        }
        QCOMPARE(browser.stored(browser.shown), before);
        QVERIFY(browser.errors.reported(procedure));
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
        const CallList::CachedCall original = browser.calls->cachedCall(0);
        browser.editing->grdCall_EditFormation(n);

        const bool exists = n <= 3;
        QCOMPARE(browser.dialogs.formationCalls.size(), exists ? 1 : 0);
        if (exists) {
            const FormationText& shown = browser.dialogs.formationCalls.front();
            QCOMPARE(shown.figure, original.figure);
            QCOMPARE(shown.note, original.note);
            QCOMPARE(shown.hexInfo, original.hexInfo);
            QCOMPARE(browser.dialogs.formationHexMode, hexMode);
        }
        const FormationText expected =
            exists && answer ? *answer : FormationText{original.figure, original.note, original.hexInfo};
        const QVariantList key{browser.shown};
        const auto field = [&](const char* name) {
            return Fixtures::value(browser.db,
                                   QStringLiteral("SELECT %1 FROM tblCall WHERE Sequence = ? AND Number = 1")
                                       .arg(QLatin1String(name)),
                                   key)
                .toString();
        };
        QCOMPARE(field("Figure"), expected.figure);
        QCOMPARE(field("Note"), expected.note);
        QCOMPARE(field("HexInfo"), expected.hexInfo);
        QCOMPARE(browser.calls->cachedCall(0).figure, expected.figure);
        QCOMPARE(browser.calls->cachedCall(0).note, expected.note);
        QCOMPARE(browser.calls->cachedCall(0).hexInfo, expected.hexInfo);
        QCOMPARE(browser.figure("picAfterFig")->figureText(), expected.figure);
        browser.calls->setCurrentRow(1);
        QCOMPARE(browser.figure("picBeforeFig")->figureText(), expected.figure);
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
        QVERIFY(!dialog.formationEdit()->toPlainText().contains(QLatin1Char('\r')));
        QCOMPARE(dialog.noteEdit()->toPlainText(), QStringLiteral("first\nsecond"));
        QCOMPARE(dialog.picture()->figureText(), figure);

        dialog.formationEdit()->moveCursor(QTextCursor::End);
        QTest::keyClick(dialog.formationEdit(), Qt::Key_Return);
        QCOMPARE(dialog.picture()->figureText(), figure + QStringLiteral("\r\n"));
        QTest::keyClicks(dialog.formationEdit(), QStringLiteral(" 3G"));
        QCOMPARE(dialog.picture()->figureText(), figure + QStringLiteral("\r\n 3G"));
        const FormationText read = dialog.texts();
        QCOMPARE(read.figure, figure + QStringLiteral("\r\n 3G"));
        QCOMPARE(read.note, QStringLiteral("first\r\nsecond"));
        QCOMPARE(read.hexInfo, QStringLiteral("1,2,3,4"));

        QTest::mouseClick(dialog.findChild<QPushButton*>(QStringLiteral("cmdClearFormation")), Qt::LeftButton);
        QCOMPARE(dialog.texts().figure, QString());
        QCOMPARE(dialog.picture()->figureText(), QString());
    }

    void closing_data() {
        QTest::addColumn<QString>("how");
        QTest::addColumn<bool>("cancelled");
        QTest::newRow("close box") << "close" << true;
        QTest::newRow("Escape") << "escape" << true;
        QTest::newRow("cmdCancel") << "cmdCancel" << true;
        QTest::newRow("cmdOK") << "cmdOK" << false;
    }

    void closing() {
        QFETCH(QString, how);
        QFETCH(bool, cancelled);
        TestHome home;
        frmFormation dialog(false);
        dialog.cancelled = false;
        dialog.show();
        QVERIFY(QTest::qWaitForWindowExposed(&dialog));
        QVERIFY(dialog.cancelled);
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

    void hexCell_data() {
        QTest::addColumn<bool>("hexMode");
        QTest::newRow("hexagon mode") << true;
        QTest::newRow("square mode") << false;
    }

    // The hexagon cell is there only in hexagon mode; Enter edits it and the drawing takes the new
    // offsets (they change the couple colours).
    void hexCell() {
        QFETCH(bool, hexMode);
        TestHome home;
        frmFormation dialog(hexMode);
        dialog.setTexts({modPrint::squaredSetText(), QString(), QStringLiteral("0,0,0,0")});
        dialog.resize(600, 400);
        dialog.show();
        QVERIFY(QTest::qWaitForWindowExposed(&dialog));
        QCOMPARE(dialog.hexInfoGrid()->isVisible(), hexMode);
        if (!hexMode) {
            return;
        }
        const QImage before = dialog.picture()->grab().toImage();
        QTest::keyClick(dialog.hexInfoGrid(), Qt::Key_Return);
        auto* editor = dialog.hexInfoGrid()->findChild<QLineEdit*>();
        QVERIFY(editor);
        editor->selectAll();
        QTest::keyClicks(editor, QStringLiteral("1,1,1,1"));
        QTest::keyClick(editor, Qt::Key_Return);
        // The delegate commits the edit from the event loop.
        QTRY_COMPARE(dialog.texts().hexInfo, QStringLiteral("1,1,1,1"));
        FigureView expected(QStringLiteral("expected"));
        expected.resize(dialog.picture()->size());
        expected.setFigure(modPrint::squaredSetText(), QStringLiteral("1,1,1,1"), QString(), true);
        const QImage after = dialog.picture()->grab().toImage();
        QVERIFY(after != before);
        QCOMPARE(after, expected.grab().toImage());
    }
};

QTEST_MAIN(TestCallEditing)
#include "TestCallEditing.moc"
