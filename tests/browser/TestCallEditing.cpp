#include "CallEditing.h"
#include "FigureView.h"
#include "WindowFixture.h"
#include "frmFormation.h"

Q_DECLARE_METATYPE(std::optional<FormationText>)

namespace {

// Figure, note and hexagon offsets joined by "|".
template <typename Texts> QString joined(const Texts& text) {
    return QStringList{text.figure, text.note, text.hexInfo}.join(QLatin1Char('|'));
}

// "number|note" of calls numbered 1, 2, 3 ... with the given notes (0: the new call, no note).
QStringList numbered(const QList<int>& notes) {
    QStringList rows;
    for (qsizetype i = 0; i < notes.size(); ++i) {
        rows.append(QStringLiteral("%1|%2").arg(i + 1).arg(notes[i] ? QString::number(notes[i]) : QString()));
    }
    return rows;
}

} // namespace

// The call grid's commands in the main window and the formation editor.
class TestCallEditing : public WindowFixture {
    Q_OBJECT

    // Three generated sequences, the first (key 1) shown with calls numbered as given: call k has the
    // text "Call k" (none for -k). Every call's note is its number, which tells after a command which
    // stored call ended where; its figure and hexagon offsets are its own too.
    bool startOn(const QList<int>& numbers) {
        return start({"generated Plus"},
                     [&](Database& db) {
                         Fixtures::value(db, QStringLiteral("DELETE FROM tblCall WHERE Sequence = 1"));
                         for (const int n : numbers) {
                             Fixtures::value(
                                 db, QStringLiteral("INSERT INTO tblCall (Sequence, Number, Call) VALUES (1, ?, ?)"),
                                 {std::abs(n), n > 0 ? QStringLiteral("Call %1").arg(n) : QString()});
                         }
                         Fixtures::value(db, QStringLiteral("UPDATE tblCall SET Note = Number, Figure = ' ' || Number "
                                                            "|| 'B^', HexInfo = Number || ',0,0,0'"));
                     }) &&
               m_window->state().currentSequence == 1;
    }
    QStringList stored() const {
        return sql(QStringLiteral("SELECT Number, Note FROM tblCall WHERE Sequence = 1 ORDER BY Number"));
    }
    QStringList others() const {
        return sql(QStringLiteral("SELECT * FROM tblCall WHERE Sequence <> 1 ORDER BY Sequence, Number"));
    }
    QString firstCall() const {
        return sql(QStringLiteral("SELECT Figure, Note, HexInfo FROM tblCall WHERE Sequence = 1 AND Number = 1"))
            .value(0);
    }

private Q_SLOTS:
    void commands_data() {
        QTest::addColumn<QList<int>>("numbers");
        QTest::addColumn<QString>("command");
        QTest::addColumn<int>("row");
        QTest::addColumn<QString>("answer"); // to the delete question; "" when none is asked
        QTest::addColumn<QList<int>>("expected");
        const QList<int> three{1, 2, 3};
        const QList<int> gaps{1, 2, 4};
        QTest::newRow("insert on the first call") << three << "insert" << 0 << "" << QList<int>{0, 1, 2, 3};
        QTest::newRow("insert in the middle") << three << "insert" << 1 << "" << QList<int>{1, 0, 2, 3};
        QTest::newRow("add on the last call") << three << "add" << 2 << "" << QList<int>{1, 2, 3, 0};
        // Without calls there is no current row: insert asks for call 0, add for call 1.
        QTest::newRow("insert without calls") << QList<int>{} << "insert" << -1 << "" << QList<int>{0};
        QTest::newRow("add without calls") << QList<int>{} << "add" << -1 << "" << QList<int>{0};
        QTest::newRow("insert repairs gaps") << gaps << "insert" << 2 << "" << QList<int>{1, 2, 0, 4};
        QTest::newRow("delete empty call") << QList<int>{1, -2, 3} << "delete" << 1 << "" << QList<int>{1, 3};
        QTest::newRow("delete call with text") << three << "delete" << 0 << "OK" << QList<int>{2, 3};
        QTest::newRow("delete repairs gaps") << gaps << "delete" << 1 << "OK" << QList<int>{1, 4};
        QTest::newRow("delete last of gaps") << gaps << "delete" << 2 << "OK" << QList<int>{1, 2};
        // Cancel leaves even a gap in the numbers alone.
        QTest::newRow("delete cancelled keeps gaps") << gaps << "delete" << 0 << "Cancel" << gaps;
    }

    void commands() {
        QFETCH(QList<int>, numbers);
        QFETCH(QString, command);
        QFETCH(int, row);
        QFETCH(QString, answer);
        QFETCH(QList<int>, expected);
        QVERIFY(startOn(numbers));
        const QStringList before = stored();
        const QStringList untouched = others();
        m_dialogs->answerOk = answer != QLatin1String("Cancel");
        m_window->callList().setCurrentRow(row);
        CallEditing& editing = m_window->callEditing();
        const auto click = command == QLatin1String("insert") ? &CallEditing::insertCallAtCurrent
                           : command == QLatin1String("add")  ? &CallEditing::addCallAfterCurrent
                                                              : &CallEditing::deleteCurrentCall;
        (editing.*click)();

        QCOMPARE(m_dialogs->questions.size(), answer.isEmpty() ? 0 : 1);
        QCOMPARE(stored(), answer == QLatin1String("Cancel") ? before : numbered(expected));
        QCOMPARE(others(), untouched);
        QCOMPARE(m_window->callList().rowCount(), expected.size());
        for (int r = 0; r < expected.size(); ++r) {
            QCOMPARE(m_window->callList().cachedCall(r).note, expected[r] ? QString::number(expected[r]) : QString());
        }
    }

    // A command that fails part-way leaves every call as it was and reports its procedure.
    void failureRollsBack_data() {
        QTest::addColumn<QString>("trigger");
        QTest::newRow("grdCall_AddRow") << "BEFORE INSERT ON tblCall";
        QTest::newRow("grdCall_DeleteRow") << "BEFORE UPDATE ON tblCall WHEN NEW.Number = 1";
        QTest::newRow("grdCall_EditFormation") << "BEFORE UPDATE ON tblCall";
    }

    void failureRollsBack() {
        QFETCH(QString, trigger);
        const QString procedure = QString::fromLatin1(QTest::currentDataTag());
        QVERIFY(startOn({1, 2, 4, 5}));
        m_dialogs->formationAnswer = FormationText{QStringLiteral("x"), QStringLiteral("y"), QString()};
        sql(QStringLiteral("CREATE TRIGGER refuse %1 BEGIN SELECT RAISE(ABORT, 'no'); END").arg(trigger));
        const QStringList before = stored();
        const QString first = firstCall();
        const QHash<QString, void (CallEditing::*)(int)> commands{
            {QStringLiteral("grdCall_AddRow"), &CallEditing::addCallRow},
            {QStringLiteral("grdCall_DeleteRow"), &CallEditing::deleteCallRow},
            {QStringLiteral("grdCall_EditFormation"), &CallEditing::editCallFormation}};
        (m_window->callEditing().*commands.value(procedure))(1);

        QCOMPARE(stored(), before);
        QCOMPARE(firstCall(), first);
        QCOMPARE(m_window->callList().cachedCall(0).figure, first.section(QLatin1Char('|'), 0, 0));
        QVERIFY(m_errors->reported(QStringLiteral("frmVornReader.") + procedure));
        m_errors->prompts.clear();
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
        QVERIFY(startOn({1, 2, 3}));
        settings().HexMode = hexMode;
        m_dialogs->formationAnswer = answer;
        const QString original = firstCall();
        m_window->callEditing().editCallFormation(n);

        const bool exists = n <= 3;
        QCOMPARE(m_dialogs->formationCalls, exists ? QList<QStringList>{original.split('|')} : QList<QStringList>{});
        QCOMPARE(m_dialogs->formationHexMode, exists && hexMode);
        const QString expected = exists && answer ? joined(*answer) : original;
        QCOMPARE(firstCall(), expected);
        QCOMPARE(joined(m_window->callList().cachedCall(0)), expected);
        const QString figure = expected.section(QLatin1Char('|'), 0, 0);
        m_window->callList().setCurrentRow(0);
        QCOMPARE(m_window->findChild<FigureView*>("picAfterFig")->figureText(), figure);
        m_window->callList().setCurrentRow(1);
        QCOMPARE(m_window->findChild<FigureView*>("picBeforeFig")->figureText(), figure);
    }

    // The editor shows LF lines, gives CR LF back and redraws on every keystroke. Only OK counts as
    // not cancelled; the hexagon cell shows only in hexagon mode.
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
        dialog.cancelled = false;
        dialog.show();
        QVERIFY(QTest::qWaitForWindowExposed(&dialog));
        QVERIFY(dialog.cancelled);
        QCOMPARE(dialog.hexInfoGrid()->isVisible(), hexMode);
        // The diagram is laid out by columns, also where the desktop's fixed font is none.
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
        QCOMPARE(joined(dialog.texts()), figure + QStringLiteral("\r\n 3G|first\r\nsecond|1,2,3,4"));
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
};

QTEST_MAIN(TestCallEditing)
#include "TestCallEditing.moc"
