#include "BrowserState.h"
#include "CallList.h"
#include "Database.h"
#include "FakeDialogs.h"
#include "FakeSeqTextHost.h"
#include "FigureDiagram.h"
#include "FigureView.h"
#include "Fixtures.h"
#include "HomeSeeder.h"
#include "LibrarySession.h"
#include "RecordingErrorBox.h"
#include "SequenceList.h"
#include "SequenceListModel.h"
#include "Settings.h"
#include "SplitLayout.h"
#include "TestHome.h"
#include "frmVornReader.h"
#include "modDataBase.h"
#include "modGeneral.h"
#include "modSeqText.h"
#include "modSystem.h"

#include <QAbstractItemModelTester>
#include <QAction>
#include <QApplication>
#include <QClipboard>
#include <QDir>
#include <QLabel>
#include <QLineEdit>
#include <QTableView>
#include <QWheelEvent>
#include <QtTest>
#include <memory>

namespace {

const QString kLevelItem = QStringLiteral("mnuViewLevel(%1)");

// A row of the data tables: 0 and up from the top, -1 the last.
int resolve(int row, int count) {
    return row < 0 ? count + row : row;
}

// What a formation picture shows.
enum Shown { SquaredSet, Nothing, FigureOfCall2 };

// Wheel turns by one notch, as angle deltas.
constexpr int WheelDown = -120;
constexpr int WheelUp = 120;

} // namespace

// The real main window on a library in a temporary application home, driven through its keys,
// wheel, menus and the fake dialogs.
class TestMainWindow : public QObject {
    Q_OBJECT

    std::unique_ptr<TestHome> m_home;
    std::unique_ptr<RecordingErrorBox> m_errors;
    std::unique_ptr<FakeDialogs> m_dialogs;
    std::unique_ptr<frmVornReader> m_window;
    QString m_library;

    // A library in the home's "lib" folder from the sources: data files, or "generated <level>".
    QString createLibrary(const QString& name, const QStringList& sources) const {
        const QString folder = m_home->file(QStringLiteral("lib"));
        QDir().mkpath(folder);
        const QString path = folder + QLatin1Char('/') + name;
        modDataBase::CreateLibrary(path);
        Database db(path);
        FakeSeqTextHost host;
        for (const QString& source : sources) {
            const bool generated = source.startsWith(QLatin1String("generated "));
            host.clipboard = generated ? Fixtures::generatorText(3, 3, source.mid(10)) : QString();
            modSeqText::ReadSequenceText(db, generated ? QString() : Fixtures::dataFile(source), generated, -1, host);
        }
        return path;
    }

    // Library "Dance.mdb" with its settings rows, named in the INI file with the extra INI keys;
    // the window opens it on first activation.
    bool start(const QStringList& sources, const QList<QStringList>& librarySettings = {},
               const QList<QStringList>& iniKeys = {}) {
        m_library = createLibrary(QStringLiteral("Dance.mdb"), sources);
        {
            Database db(m_library);
            for (const QStringList& setting : librarySettings) {
                modDataBase::WriteINIMdbString(db, setting[0], setting[1]);
            }
        }
        const QList<QStringList> keys{{QStringLiteral("MdbPath"), QFileInfo(m_library).absolutePath()},
                                      {QStringLiteral("MdbFile"), QStringLiteral("Dance.mdb")},
                                      {QStringLiteral("Language"), QStringLiteral("English")}};
        for (const QStringList& key : keys + iniKeys) {
            modSystem::WriteIniValue(QStringLiteral("VornReader"), key[0], key[1], iniPath());
        }
        m_window = std::make_unique<frmVornReader>(QString(), m_dialogs.get());
        m_window->show();
        return QTest::qWaitForWindowActive(m_window.get()) &&
               QTest::qWaitFor([this] { return m_window->session().isOpen(); });
    }

    QString iniPath() const { return m_home->file(QStringLiteral("VornReader.ini")); }
    QTableView* grid(const QString& name) const { return m_window->findChild<QTableView*>(name); }
    QAction* action(const QString& name) const { return m_window->findChild<QAction*>(name); }
    QString text(const char* name) const { return m_window->findChild<QLabel*>(QLatin1String(name))->text(); }
    FigureView* figure(const QString& name) const { return m_window->findChild<FigureView*>(name); }
    int seqRow() const { return m_window->sequenceList().currentRow(); }
    int seqCount() const { return m_window->sequenceList().rowCount(); }
    int callRow() const { return m_window->callList().currentRow(); }
    int callCount() const { return m_window->callList().rowCount(); }
    QVariant dbValue(const QString& sql, const QVariantList& values = {}) const {
        return Fixtures::value(m_window->session().database(), sql, values);
    }
    QList<qint64> listedKeys() const {
        QList<qint64> keys;
        for (int r = 0; r < seqCount(); ++r) {
            keys.append(m_window->sequenceList().model()->sequenceAt(r));
        }
        return keys;
    }
    void showSequence(int row, int call) {
        m_window->sequenceList().setCurrentRow(resolve(row, seqCount()));
        m_window->callList().setCurrentRow(resolve(call, callCount()));
    }
    bool focus(QWidget* widget) {
        widget->setFocus();
        return QTest::qWaitFor([widget] { return widget->hasFocus(); });
    }
    // The list row and the call row shown, with the call list belonging to the listed sequence.
    void checkShown(int row, int call) {
        QCOMPARE(seqRow(), resolve(row, seqCount()));
        QCOMPARE(m_window->state().currentSequence, m_window->sequenceList().currentSequence());
        QCOMPARE(callRow(), resolve(call, callCount()));
    }

private Q_SLOTS:
    void init() {
        m_home = std::make_unique<TestHome>();
        HomeSeeder::SeedApplicationHome();
        settings() = Settings();
        m_errors = std::make_unique<RecordingErrorBox>();
        m_dialogs = std::make_unique<FakeDialogs>();
    }

    void cleanup() {
        m_window.reset();
        const QStringList errors = m_errors->prompts;
        m_errors.reset();
        m_dialogs.reset();
        settings() = Settings();
        m_home.reset();
        QVERIFY2(errors.isEmpty(), qPrintable(errors.join(QLatin1Char('\n'))));
    }

    void startUp_data() {
        QTest::addColumn<QStringList>("sources");
        QTest::addColumn<QString>("savedLevel");
        QTest::addColumn<QList<int>>("levelItems");
        QTest::addColumn<QString>("level");
        QTest::addColumn<int>("savedIndex");
        QTest::addColumn<int>("row");
        const QStringList plusAndC1{"linux.Plus", "linux.C1"};
        const QList<int> plusAndC1Items{1, 4, 14};
        QTest::newRow("first level") << plusAndC1 << "" << plusAndC1Items << "Plus" << 0 << 0;
        QTest::newRow("saved level") << plusAndC1 << "C1" << plusAndC1Items << "C1" << 0 << 0;
        QTest::newRow("saved level gone") << plusAndC1 << "A2" << plusAndC1Items << "Plus" << 0 << 0;
        QTest::newRow("saved level gone, after the others") << plusAndC1 << "C4" << plusAndC1Items << "Plus" << 0 << 0;
        QTest::newRow("saved position") << plusAndC1 << "Plus" << plusAndC1Items << "Plus" << 3 << 2;
        QTest::newRow("saved position beyond the list") << plusAndC1 << "Plus" << plusAndC1Items << "Plus" << 100 << -1;
        QTest::newRow("mainstream shown as MS")
            << QStringList{"linux.C1", "generated Mainstream"} << "" << QList<int>{0, 4, 14} << "MS" << 0 << 0;
        QTest::newRow("empty library") << QStringList{} << "" << QList<int>{15} << "" << 0 << -1;
    }

    void startUp() {
        QFETCH(QStringList, sources);
        QFETCH(QString, savedLevel);
        QFETCH(QList<int>, levelItems);
        QFETCH(QString, level);
        QFETCH(int, savedIndex);
        QFETCH(int, row);
        QVERIFY(
            start(sources,
                  {{"ViewLevel", savedLevel}, {"ViewIndex(Plus)", QString::number(savedIndex)}, {"ViewRow(Plus)", "2"}},
                  {{"RecentFile1", "/elsewhere/a.mdb"}, {"RecentFile2", "/elsewhere/b.mdb"}}));

        const QString folder = QFileInfo(m_library).absolutePath();
        const QString shownLevel = level.isEmpty() ? QString() : QStringLiteral("【%1】 ").arg(level);
        QTRY_COMPARE(m_window->windowTitle(), shownLevel + QStringLiteral("Dance.mdb (%1) - VornReader").arg(folder));
        QCOMPARE(text("lblLevel"), level);
        for (int i = 0; i < 16; ++i) {
            QVERIFY2(action(kLevelItem.arg(i))->isVisible() == levelItems.contains(i), qPrintable(kLevelItem.arg(i)));
        }
        const QString stored = level == QLatin1String("MS") ? QStringLiteral("Mainstream") : level;
        QCOMPARE(seqCount(), dbValue(QStringLiteral("SELECT COUNT(*) FROM tblSequence WHERE Level = ?"), {stored}));
        // The first sequence after start-up opens at its first call, whatever call row was saved.
        checkShown(row, seqCount() > 0 ? 0 : -1);

        // The opened library heads the recent files; the earlier ones follow.
        const QStringList recent{m_library, QStringLiteral("/elsewhere/a.mdb"), QStringLiteral("/elsewhere/b.mdb")};
        for (int i = 0; i < 4; ++i) {
            QAction* item = action(QStringLiteral("mnuRecentFile(%1)").arg(i));
            QCOMPARE(item->isVisible(), i < recent.size());
            QCOMPARE(item->text(), i < recent.size() ? QStringLiteral("&%1 %2").arg(i + 1).arg(recent[i]) : QString());
        }
    }

    void chooseLevel_data() {
        QTest::addColumn<int>("item");
        QTest::addColumn<QString>("level");
        QTest::newRow("Plus") << 1 << "Plus";
        QTest::newRow("C1") << 4 << "C1";
        QTest::newRow("AllLevel") << 14 << "";
    }

    void chooseLevel() {
        QFETCH(int, item);
        QFETCH(QString, level);
        QVERIFY(start({"linux.Plus", "linux.C1"}));
        action(kLevelItem.arg(item == 14 ? 1 : 14))->trigger();
        action(kLevelItem.arg(item))->trigger();

        const QString sql = QStringLiteral("SELECT COUNT(*) FROM tblSequence") +
                            (level.isEmpty() ? QString() : QStringLiteral(" WHERE Level = ?"));
        QCOMPARE(seqCount(), dbValue(sql, level.isEmpty() ? QVariantList{} : QVariantList{level}).toInt());
        QCOMPARE(settings().ViewLevel, action(kLevelItem.arg(item))->text());
        for (int i = 0; i < 16; ++i) {
            QCOMPARE(action(kLevelItem.arg(i))->isChecked(), i == item);
        }
        // The first sequence is shown; its level heads the caption.
        checkShown(0, 0);
        QVERIFY(m_window->windowTitle().startsWith(QStringLiteral("【%1】 Dance.mdb").arg(text("lblLevel"))));
    }

    void callList_data() {
        QTest::addColumn<int>("row");
        QTest::newRow("first") << 0;
        QTest::newRow("middle") << 5;
        QTest::newRow("last") << -1;
    }

    void callList() {
        QFETCH(int, row);
        QVERIFY(start({"linux.Plus"}));
        const qint64 key = m_window->sequenceList().model()->sequenceAt(resolve(row, seqCount()));
        dbValue(QStringLiteral("UPDATE tblCall SET Note = ? WHERE Sequence = ? AND Number = 2"),
                {QStringLiteral("Warning: first line\r\nsecond line"), key});
        m_window->CreateList();
        showSequence(row, 1);

        QCOMPARE(m_window->state().currentSequence, key);
        QCOMPARE(callCount(), dbValue(QStringLiteral("SELECT COUNT(*) FROM tblCall WHERE Sequence = ?"), {key}));
        const QAbstractItemModel* model = grid(QStringLiteral("grdCall"))->model();
        for (int r = 0; r < callCount(); ++r) {
            QCOMPARE(model->index(r, 0).data().toString(), QStringLiteral("%1. ").arg(r + 1));
            QCOMPARE(
                model->index(r, 1).data(),
                dbValue(QStringLiteral("SELECT Call FROM tblCall WHERE Sequence = ? AND Number = ?"), {key, r + 1}));
        }
        QCOMPARE(text("lblDate"), dbValue(QStringLiteral("SELECT Date FROM tblSequence WHERE Sequence = ?"), {key}));
        QCOMPARE(text("lblTime"), dbValue(QStringLiteral("SELECT Time FROM tblSequence WHERE Sequence = ?"), {key}));
        QCOMPARE(text("stbCallNote(1)"), QStringLiteral("Warning: first line second line"));
        QCOMPARE(text("stbCallNote(2)"), QStringLiteral("%1 / %2").arg(resolve(row, seqCount()) + 1).arg(seqCount()));
    }

    void figures_data() {
        QTest::addColumn<bool>("hexSwitch");
        QTest::addColumn<bool>("pause");
        QTest::addColumn<int>("call");
        QTest::addColumn<bool>("after");
        QTest::addColumn<int>("shown");
        QTest::newRow("first call, before") << false << false << 0 << false << int(SquaredSet);
        QTest::newRow("first call, before, hexagon mode") << true << true << 0 << false << int(Nothing);
        QTest::newRow("Pause without the switch") << false << true << 0 << false << int(SquaredSet);
        QTest::newRow("third call, before") << false << false << 2 << false << int(FigureOfCall2);
        QTest::newRow("second call, after") << false << false << 1 << true << int(FigureOfCall2);
        QTest::newRow("last call without figure, after") << false << false << -1 << true << int(SquaredSet);
        QTest::newRow("last call without figure, after, hexagon mode") << true << true << -1 << true << int(Nothing);
    }

    void figures() {
        QFETCH(bool, hexSwitch);
        QFETCH(bool, pause);
        QFETCH(int, call);
        QFETCH(bool, after);
        QFETCH(int, shown);
        // Generated sequences of three calls have a figure after the second call only.
        QVERIFY(start({"generated Plus"}));
        settings().HexSwitch = hexSwitch;
        showSequence(0, call);
        QTableView* calls = grid(QStringLiteral("grdCall"));
        QVERIFY(focus(calls));
        if (pause) {
            QTest::keyClick(calls, Qt::Key_Pause);
        }
        QCOMPARE(settings().HexMode, hexSwitch && pause);

        const FigureView* view = figure(after ? QStringLiteral("picAfterFig") : QStringLiteral("picBeforeFig"));
        QCOMPARE(view->isEmpty(), shown == Nothing);
        if (shown == FigureOfCall2) {
            const QString stored =
                dbValue(QStringLiteral("SELECT Figure FROM tblCall WHERE Sequence = ? AND Number = 2"),
                        {m_window->state().currentSequence})
                    .toString();
            QVERIFY(!stored.isEmpty());
            QCOMPARE(view->figureText(), stored);
        } else {
            QCOMPARE(view->figureText(), shown == SquaredSet ? modPrint::squaredSetText() : QString());
        }
        QCOMPARE(grid(QStringLiteral("grdHexInfo(0)"))->isVisible(), settings().HexMode);
        // Pause again leaves hexagon mode.
        if (settings().HexMode) {
            QTest::keyClick(calls, Qt::Key_Pause);
            QVERIFY(!settings().HexMode);
            QVERIFY(!view->isEmpty());
            QVERIFY(!grid(QStringLiteral("grdHexInfo(1)"))->isVisible());
        }
    }

    void editInPlace_data() {
        QTest::addColumn<bool>("callGrid");
        QTest::newRow("title") << false;
        QTest::newRow("call") << true;
    }

    void editInPlace() {
        QFETCH(bool, callGrid);
        QVERIFY(start({"linux.Plus"}));
        showSequence(3, 1);
        const qint64 key = m_window->state().currentSequence;
        QTableView* view = grid(callGrid ? QStringLiteral("grdCall") : QStringLiteral("grdSeqList"));
        QVERIFY(focus(view));

        QTest::keyClick(view, Qt::Key_Return);
        QVERIFY(m_window->state().cellEdit);
        auto* editor = qobject_cast<QLineEdit*>(QApplication::focusWidget());
        QVERIFY(editor && view->isAncestorOf(editor));
        // Digits and Ctrl+A reach the editor, not the state keys or the list's select-all.
        const QString typed = QStringLiteral("Spin 3/4 Chain 1");
        QTest::keyClick(editor, Qt::Key_A, Qt::ControlModifier);
        QTest::keyClicks(editor, typed);
        QCOMPARE(editor->text(), typed);
        QTest::keyClick(editor, Qt::Key_Return);

        QTRY_VERIFY(!m_window->state().cellEdit);
        const QString query = callGrid ? QStringLiteral("SELECT Call FROM tblCall WHERE Sequence = ? AND Number = 2")
                                       : QStringLiteral("SELECT Title FROM tblSequence WHERE Sequence = ?");
        QCOMPARE(dbValue(query, {key}).toString(), typed);
        QCOMPARE(view->currentIndex().data().toString(), typed);
        QCOMPARE(m_window->state().currentSequence, key);
    }

    void dragReorder_data() {
        QTest::addColumn<int>("first");
        QTest::addColumn<int>("last");
        QTest::addColumn<int>("position");
        QTest::newRow("three rows below themselves") << 1 << 3 << 6;
        QTest::newRow("three rows to the top") << 4 << 6 << 0;
        QTest::newRow("one row to the end") << 2 << 2 << 19;
    }

    void dragReorder() {
        QFETCH(int, first);
        QFETCH(int, last);
        QFETCH(int, position);
        QVERIFY(start({"linux.Plus", "linux.C1"}));
        SequenceListModel* model = m_window->sequenceList().model();
        QAbstractItemModelTester tester(model, QAbstractItemModelTester::FailureReportingMode::QtTest);
        action(kLevelItem.arg(14))->trigger();
        action(kLevelItem.arg(1))->trigger();
        QVERIFY(position <= seqCount());

        // The block lands before the row that was at the position, in its own order.
        const QList<qint64> before = listedKeys();
        const QList<qint64> block = before.mid(first, last - first + 1);
        QList<qint64> expected = before;
        for (const qint64 key : block) {
            expected.removeOne(key);
        }
        const qsizetype at = position < before.size() ? expected.indexOf(before[position]) : expected.size();
        for (qsizetype i = 0; i < block.size(); ++i) {
            expected.insert(at + i, block[i]);
        }
        grid(QStringLiteral("grdSeqList"))
            ->selectionModel()
            ->select(QItemSelection(model->index(first, 0), model->index(last, 0)),
                     QItemSelectionModel::ClearAndSelect | QItemSelectionModel::Rows);
        m_window->sequenceList().BeforeMoveRow(first, position);

        QCOMPARE(listedKeys(), expected);
        for (int r = 0; r < seqCount(); ++r) {
            QCOMPARE(model->index(r, SequenceListModel::OrderColumn).data().toInt(), r + 1);
            QCOMPARE(dbValue(QStringLiteral("SELECT OrderNo FROM tblSequence WHERE Sequence = ?"), {expected[r]}),
                     r + 1);
        }
        QCOMPARE(m_window->sequenceList().selectedSequences(), block);
    }

    void moveRows_data() {
        QTest::addColumn<QString>("target");
        QTest::addColumn<int>("input");
        QTest::addColumn<bool>("holdButton");
        QTest::addColumn<int>("startSeq");
        QTest::addColumn<int>("startCall");
        QTest::addColumn<int>("seq");
        QTest::addColumn<int>("call");
        const int down = Qt::Key_Down;
        const int up = Qt::Key_Up;
        QTest::newRow("down inside") << "grdCall" << down << false << 0 << 0 << 0 << 1;
        QTest::newRow("up inside") << "grdCall" << up << false << 1 << 1 << 1 << 0;
        QTest::newRow("down from the last call") << "grdCall" << down << false << 0 << -1 << 1 << 0;
        QTest::newRow("up from the first call") << "grdCall" << up << false << 2 << 0 << 1 << -1;
        QTest::newRow("down at the end of the list") << "grdCall" << down << false << -1 << -1 << -1 << -1;
        QTest::newRow("up at the start of the list") << "grdCall" << up << false << 0 << 0 << 0 << 0;
        QTest::newRow("list down opens the first call") << "grdSeqList" << down << false << 0 << 1 << 1 << 0;
        QTest::newRow("list up opens the first call") << "grdSeqList" << up << false << 2 << 1 << 1 << 0;
        QTest::newRow("wheel calls down") << "grdCall" << WheelDown << false << 0 << 0 << 0 << 1;
        QTest::newRow("wheel calls up") << "grdCall" << WheelUp << false << 0 << 2 << 0 << 1;
        QTest::newRow("wheel calls down from the last call") << "grdCall" << WheelDown << false << 0 << -1 << 1 << 0;
        QTest::newRow("wheel calls up from the first call") << "grdCall" << WheelUp << false << 1 << 0 << 0 << -1;
        QTest::newRow("wheel calls, button held") << "grdCall" << WheelDown << true << 0 << 0 << 1 << 0;
        // The wheel on the list opens the call row last chosen in the level.
        QTest::newRow("wheel list down") << "grdSeqList" << WheelDown << false << 0 << 1 << 1 << 1;
        QTest::newRow("wheel list up") << "grdSeqList" << WheelUp << false << 2 << 1 << 1 << 1;
        QTest::newRow("wheel list down at the last row") << "grdSeqList" << WheelDown << false << -1 << 1 << -1 << 1;
        QTest::newRow("wheel list up at the first row") << "grdSeqList" << WheelUp << false << 0 << 1 << 0 << 1;
    }

    void moveRows() {
        QFETCH(QString, target);
        QFETCH(int, input);
        QFETCH(bool, holdButton);
        QFETCH(int, startSeq);
        QFETCH(int, startCall);
        QFETCH(int, seq);
        QFETCH(int, call);
        QVERIFY(start({"linux.Plus"}));
        showSequence(startSeq, startCall);
        QTableView* view = grid(target);
        QVERIFY(focus(view));
        if (input != WheelDown && input != WheelUp) {
            QTest::keyClick(view, Qt::Key(input));
            checkShown(seq, call);
            return;
        }
        QWidget* viewport = view->viewport();
        if (holdButton) {
            QTest::mousePress(viewport, Qt::LeftButton, {}, view->visualRect(view->currentIndex()).center());
            QCOMPARE(m_window->state().callGridButton, int(Qt::LeftButton));
        }
        const QPoint at = viewport->rect().center();
        QWheelEvent event(at, viewport->mapToGlobal(at), QPoint(), QPoint(0, input),
                          holdButton ? Qt::LeftButton : Qt::NoButton, Qt::NoModifier, Qt::NoScrollPhase, false);
        QApplication::sendEvent(viewport, &event);
        if (holdButton) {
            QTest::mouseRelease(viewport, Qt::LeftButton);
        }
        checkShown(seq, call);
    }

    void fileOpen_data() {
        QTest::addColumn<QString>("fileName");
        QTest::addColumn<bool>("create");
        QTest::addColumn<int>("message");
        QTest::newRow("library") << "Other.mdb" << true << 0;
        QTest::newRow("upper-case extension") << "OTHER.MDB" << true << 0;
        QTest::newRow("not an mdb file") << "Other.accdb" << true << 40103;
        QTest::newRow("missing file") << "Missing.mdb" << false << 40101;
        QTest::newRow("cancelled") << "" << false << 0;
    }

    void fileOpen() {
        QFETCH(QString, fileName);
        QFETCH(bool, create);
        QFETCH(int, message);
        QVERIFY(start({"linux.Plus"}));
        const QString folder = QFileInfo(m_library).absolutePath();
        const QString path = create ? createLibrary(fileName, {"linux.C1"}) : folder + QLatin1Char('/') + fileName;
        if (!fileName.isEmpty()) {
            m_dialogs->fileToOpen = path;
        }
        action(QStringLiteral("mnuFileMdbOpen"))->trigger();

        QCOMPARE(m_dialogs->openRequests, (QList<QStringList>{{modGeneral::LoadTransString(30101), folder}}));
        QAction* recent0 = action(QStringLiteral("mnuRecentFile(0)"));
        if (message != 0) {
            const QVariantList arguments = message == 40101 ? QVariantList{path} : QVariantList{};
            QCOMPARE(m_dialogs->exclamations, QStringList{modGeneral::TransMessage(message, arguments)});
            QVERIFY(!m_window->session().isOpen());
            QCOMPARE(seqCount(), 0);
            QCOMPARE(m_window->windowTitle(), QStringLiteral("VornReader"));
            QCOMPARE(recent0->text(), QStringLiteral("&1 ") + m_library);
            return;
        }
        QVERIFY(m_dialogs->exclamations.isEmpty());
        QVERIFY(m_window->session().isOpen());
        const QString opened = fileName.isEmpty() ? QStringLiteral("Dance.mdb") : fileName;
        QCOMPARE(settings().MdbFile, opened);
        QCOMPARE(settings().MdbPath, folder);
        QCOMPARE(m_window->windowTitle(),
                 QStringLiteral("【%1】 %2 (%3) - VornReader").arg(text("lblLevel"), opened, folder));
        QCOMPARE(recent0->text(), QStringLiteral("&1 ") + (fileName.isEmpty() ? m_library : path));
        if (!fileName.isEmpty()) {
            QCOMPARE(action(QStringLiteral("mnuRecentFile(1)"))->text(), QStringLiteral("&2 ") + m_library);
            // The second recent item opens the first library again.
            action(QStringLiteral("mnuRecentFile(1)"))->trigger();
            QCOMPARE(settings().MdbFile, QStringLiteral("Dance.mdb"));
            QCOMPARE(recent0->text(), QStringLiteral("&1 ") + m_library);
        }
    }

    void fileClose() {
        QVERIFY(start({"linux.Plus", "linux.C1"}));
        QVERIFY(seqCount() > 0);
        action(QStringLiteral("mnuFileMdbClose"))->trigger();

        QVERIFY(!m_window->session().isOpen());
        QVERIFY(settings().MdbPath.isEmpty());
        QVERIFY(settings().MdbFile.isEmpty());
        for (const char* name : {"grdSeqList", "grdCall", "grdHistory"}) {
            QCOMPARE(grid(QLatin1String(name))->model()->rowCount(), 0);
        }
        QCOMPARE(m_window->windowTitle(), QStringLiteral("VornReader"));
        for (int i = 0; i < 16; ++i) {
            QVERIFY(!action(kLevelItem.arg(i))->isVisible());
        }
        QCOMPARE(text("lblLevel"), QString());
        QCOMPARE(text("lblDate"), QStringLiteral("0000/00/00"));
        QCOMPARE(text("stbCallNote(1)"), QString());
        QCOMPARE(text("stbCallNote(2)"), QString());
        QVERIFY(figure(QStringLiteral("picBeforeFig"))->isEmpty());
    }

    void paste() {
        // Listed by stored order, numbered 1, 2, 3, ... as a drag leaves it.
        QVERIFY(start({"linux.Plus"}, {{"SequenceSort", "1"}}));
        m_window->sequenceList().RenumberSequenceOrder();
        m_window->sequenceList().setCurrentRow(2);
        const QList<qint64> before = listedKeys();
        QGuiApplication::clipboard()->setText(Fixtures::generatorText(1, 3, QStringLiteral("Plus"), 40000));
        action(QStringLiteral("mnuEditPaste"))->trigger();

        const QList<qint64> after = listedKeys();
        QCOMPARE(after.size(), before.size() + 1);
        QVERIFY(!before.contains(after[2]));
        QCOMPARE(after.mid(0, 2), before.mid(0, 2));
        QCOMPARE(after.mid(3), before.mid(2));
        QCOMPARE(dbValue(QStringLiteral("SELECT OrderNo FROM tblSequence WHERE Sequence = ?"), {after[2]}), 3);
        QCOMPARE(m_dialogs->informations.size(), 1);
    }

    void closeWindow_data() {
        QTest::addColumn<bool>("fileDeleted");
        QTest::newRow("library present") << false;
        QTest::newRow("library deleted") << true;
    }

    void closeWindow() {
        QFETCH(bool, fileDeleted);
        QVERIFY(start({"linux.Plus"}));
        QFile ini(iniPath());
        QVERIFY(ini.open(QIODevice::ReadOnly));
        const QByteArray written = ini.readAll();
        ini.close();
        if (fileDeleted) {
            QVERIFY(QFile::remove(m_library));
        }
        QVERIFY(m_window->close());

        QVERIFY(ini.open(QIODevice::ReadOnly));
        QCOMPARE(ini.readAll() == written, fileDeleted);
        QCOMPARE(m_window->session().isOpen(), fileDeleted);
        if (!fileDeleted) {
            const double perPixel = qobject_cast<SplitLayout*>(m_window->centralWidget())->twipsPerPixel();
            const QString form = QStringLiteral("frmVornReader");
            QCOMPARE(int(modSystem::GetIniInteger(form, QStringLiteral("FormWidth"), iniPath(), -1)),
                     qRound(m_window->width() * perPixel));
            QCOMPARE(int(modSystem::GetIniInteger(form, QStringLiteral("FormHeight"), iniPath(), -1)),
                     qRound(m_window->height() * perPixel));
            QCOMPARE(modSystem::GetIniString(QStringLiteral("VornReader"), QStringLiteral("MdbFile"), iniPath(), {}),
                     QStringLiteral("Dance.mdb"));
        }
    }
};

QTEST_MAIN(TestMainWindow)
#include "TestMainWindow.moc"
