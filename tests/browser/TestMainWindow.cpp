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

// A row or call number of the data tables: 0 and up from the top, -1 the last.
int resolve(int row, int count) {
    return row < 0 ? count + row : row;
}

} // namespace

class TestMainWindow : public QObject {
    Q_OBJECT

private Q_SLOTS:
    void init();
    void cleanup();
    void startUp_data();
    void startUp();
    void chooseLevel_data();
    void chooseLevel();
    void savedPosition_data();
    void savedPosition();
    void callList_data();
    void callList();
    void moveAcrossSequences_data();
    void moveAcrossSequences();
    void figures_data();
    void figures();
    void editInPlace_data();
    void editInPlace();
    void dragReorder_data();
    void dragReorder();
    void pauseKey_data();
    void pauseKey();
    void wheel_data();
    void wheel();
    void fileOpen_data();
    void fileOpen();
    void fileClose();
    void paste();
    void closeWindow_data();
    void closeWindow();

private:
    // Builds library "Dance.mdb" from the sources (data files, or "generated <level>"), stores the
    // library settings, names it in the INI file and opens the window on it.
    bool start(const QStringList& sources, const QList<QStringList>& librarySettings = {},
               const QList<QStringList>& iniKeys = {});
    QString createLibrary(const QString& name, const QStringList& sources) const;
    QTableView* grid(const char* name) const { return m_window->findChild<QTableView*>(QLatin1String(name)); }
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
    QList<qint64> listedKeys() const;
    void showSequence(int row, int call);

    std::unique_ptr<TestHome> m_home;
    std::unique_ptr<RecordingErrorBox> m_errors;
    std::unique_ptr<FakeDialogs> m_dialogs;
    std::unique_ptr<frmVornReader> m_window;
    QString m_library;
};

void TestMainWindow::init() {
    m_home = std::make_unique<TestHome>();
    HomeSeeder::SeedApplicationHome();
    settings() = Settings();
    m_errors = std::make_unique<RecordingErrorBox>();
    m_dialogs = std::make_unique<FakeDialogs>();
}

void TestMainWindow::cleanup() {
    m_window.reset();
    const QStringList errors = m_errors->prompts;
    m_errors.reset();
    m_dialogs.reset();
    settings() = Settings();
    m_home.reset();
    QVERIFY2(errors.isEmpty(), qPrintable(errors.join(QLatin1Char('\n'))));
}

QString TestMainWindow::createLibrary(const QString& name, const QStringList& sources) const {
    const QString folder = m_home->file(QStringLiteral("lib"));
    QDir().mkpath(folder);
    const QString path = folder + QLatin1Char('/') + name;
    modDataBase::CreateLibrary(path);
    Database db(path);
    FakeSeqTextHost host;
    for (const QString& source : sources) {
        if (source.startsWith(QLatin1String("generated "))) {
            host.clipboard = Fixtures::generatorText(3, 3, source.mid(10));
            modSeqText::ReadSequenceText(db, QString(), true, -1, host);
        } else {
            modSeqText::ReadSequenceText(db, Fixtures::dataFile(source), false, -1, host);
        }
    }
    return path;
}

bool TestMainWindow::start(const QStringList& sources, const QList<QStringList>& librarySettings,
                           const QList<QStringList>& iniKeys) {
    m_library = createLibrary(QStringLiteral("Dance.mdb"), sources);
    {
        Database db(m_library);
        for (const QStringList& setting : librarySettings) {
            modDataBase::WriteINIMdbString(db, setting[0], setting[1]);
        }
    }
    const QString ini = m_home->file(QStringLiteral("VornReader.ini"));
    QList<QStringList> keys{{QStringLiteral("MdbPath"), QFileInfo(m_library).absolutePath()},
                            {QStringLiteral("MdbFile"), QFileInfo(m_library).fileName()},
                            {QStringLiteral("Language"), QStringLiteral("English")}};
    for (const QStringList& key : keys + iniKeys) {
        modSystem::WriteIniValue(QStringLiteral("VornReader"), key[0], key[1], ini);
    }
    m_window = std::make_unique<frmVornReader>(QString(), m_dialogs.get());
    m_window->show();
    return QTest::qWaitForWindowActive(m_window.get()) &&
           QTest::qWaitFor([this] { return m_window->session().isOpen(); });
}

QList<qint64> TestMainWindow::listedKeys() const {
    QList<qint64> keys;
    for (int r = 0; r < seqCount(); ++r) {
        keys.append(m_window->sequenceList().model()->sequenceAt(r));
    }
    return keys;
}

void TestMainWindow::showSequence(int row, int call) {
    m_window->sequenceList().setCurrentRow(resolve(row, seqCount()));
    m_window->callList().setCurrentRow(resolve(call, callCount()));
}

void TestMainWindow::startUp_data() {
    QTest::addColumn<QStringList>("sources");
    QTest::addColumn<QString>("level");
    QTest::addColumn<QList<int>>("levelItems");
    QTest::newRow("plus and c1") << QStringList{"linux.Plus", "linux.C1"} << "Plus" << QList<int>{1, 4, 14};
    QTest::newRow("mainstream shown as MS")
        << QStringList{"linux.C1", "generated Mainstream"} << "MS" << QList<int>{0, 4, 14};
    QTest::newRow("empty library") << QStringList{} << "" << QList<int>{15};
}

void TestMainWindow::startUp() {
    QFETCH(QStringList, sources);
    QFETCH(QString, level);
    QFETCH(QList<int>, levelItems);
    QVERIFY(start(sources, {}, {{"RecentFile1", "/elsewhere/a.mdb"}, {"RecentFile2", "/elsewhere/b.mdb"}}));

    const QString folder = QFileInfo(m_library).absolutePath();
    const QString shownLevel = level.isEmpty() ? QString() : QStringLiteral("【%1】 ").arg(level);
    QTRY_COMPARE(m_window->windowTitle(), shownLevel + QStringLiteral("Dance.mdb (%1) - VornReader").arg(folder));
    QCOMPARE(text("lblLevel"), level);
    for (int i = 0; i < 16; ++i) {
        QVERIFY2(action(kLevelItem.arg(i))->isVisible() == levelItems.contains(i), qPrintable(kLevelItem.arg(i)));
    }
    const int sequences = dbValue(QStringLiteral("SELECT COUNT(*) FROM tblSequence WHERE Level = ?"),
                                  {level == QLatin1String("MS") ? QStringLiteral("Mainstream") : level})
                              .toInt();
    QCOMPARE(seqCount(), sequences);
    QCOMPARE(grid("grdSeqList")->model()->rowCount(), sequences);

    // The opened library heads the recent files; the earlier ones follow.
    const QStringList recent{m_library, QStringLiteral("/elsewhere/a.mdb"), QStringLiteral("/elsewhere/b.mdb")};
    for (int i = 0; i < 4; ++i) {
        QAction* item = action(QStringLiteral("mnuRecentFile(%1)").arg(i));
        QCOMPARE(item->isVisible(), i < recent.size());
        QCOMPARE(item->text(), i < recent.size() ? QStringLiteral("&%1 %2").arg(i + 1).arg(recent[i]) : QString());
    }
}

void TestMainWindow::chooseLevel_data() {
    QTest::addColumn<int>("item");
    QTest::addColumn<QString>("level");
    QTest::newRow("Plus") << 1 << "Plus";
    QTest::newRow("C1") << 4 << "C1";
    QTest::newRow("AllLevel") << 14 << "";
}

void TestMainWindow::chooseLevel() {
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
    QCOMPARE(seqRow(), 0);
    QCOMPARE(m_window->state().currentSequence, m_window->sequenceList().model()->sequenceAt(0));
    QVERIFY(m_window->windowTitle().startsWith(QStringLiteral("【%1】 Dance.mdb").arg(text("lblLevel"))));
}

void TestMainWindow::savedPosition_data() {
    QTest::addColumn<QString>("saved");
    QTest::addColumn<int>("row");
    QTest::newRow("none") << "0" << 0;
    QTest::newRow("third") << "3" << 2;
    QTest::newRow("beyond the list") << "100" << -1;
}

void TestMainWindow::savedPosition() {
    QFETCH(QString, saved);
    QFETCH(int, row);
    QVERIFY(start({"linux.Plus"}, {{"ViewLevel", "Plus"}, {"ViewIndex(Plus)", saved}, {"ViewRow(Plus)", "2"}}));
    QCOMPARE(seqRow(), resolve(row, seqCount()));
    QCOMPARE(m_window->state().currentSequence, m_window->sequenceList().currentSequence());
    // The first sequence after start-up opens at its first call.
    QCOMPARE(callRow(), 0);
}

void TestMainWindow::callList_data() {
    QTest::addColumn<int>("row");
    QTest::newRow("first") << 0;
    QTest::newRow("middle") << 5;
    QTest::newRow("last") << -1;
}

void TestMainWindow::callList() {
    QFETCH(int, row);
    QVERIFY(start({"linux.Plus"}));
    const qint64 key = m_window->sequenceList().model()->sequenceAt(resolve(row, seqCount()));
    Statement note = m_window->session().database().prepare(
        QStringLiteral("UPDATE tblCall SET Note = ? WHERE Sequence = ? AND Number = 2"));
    note.bind(1, QStringLiteral("Warning: first line\r\nsecond line")).bind(2, key).run();
    m_window->CreateList();
    showSequence(row, 1);

    QCOMPARE(m_window->state().currentSequence, key);
    const int calls = dbValue(QStringLiteral("SELECT COUNT(*) FROM tblCall WHERE Sequence = ?"), {key}).toInt();
    QCOMPARE(callCount(), calls);
    const QAbstractItemModel* model = grid("grdCall")->model();
    for (int r = 0; r < calls; ++r) {
        QCOMPARE(model->index(r, 0).data().toString(), QStringLiteral("%1. ").arg(r + 1));
        QCOMPARE(model->index(r, 1).data().toString(),
                 dbValue(QStringLiteral("SELECT Call FROM tblCall WHERE Sequence = ? AND Number = ?"), {key, r + 1})
                     .toString());
    }
    QCOMPARE(text("lblDate"),
             dbValue(QStringLiteral("SELECT Date FROM tblSequence WHERE Sequence = ?"), {key}).toString());
    QCOMPARE(text("lblTime"),
             dbValue(QStringLiteral("SELECT Time FROM tblSequence WHERE Sequence = ?"), {key}).toString());
    QCOMPARE(text("stbCallNote(1)"), QStringLiteral("Warning: first line second line"));
    QCOMPARE(text("stbCallNote(2)"), QStringLiteral("%1 / %2").arg(resolve(row, seqCount()) + 1).arg(seqCount()));
}

void TestMainWindow::moveAcrossSequences_data() {
    QTest::addColumn<int>("startSeq");
    QTest::addColumn<int>("startCall");
    QTest::addColumn<int>("key");
    QTest::addColumn<int>("seq");
    QTest::addColumn<int>("call");
    QTest::newRow("down inside") << 0 << 0 << int(Qt::Key_Down) << 0 << 1;
    QTest::newRow("up inside") << 1 << 1 << int(Qt::Key_Up) << 1 << 0;
    QTest::newRow("down from the last call") << 0 << -1 << int(Qt::Key_Down) << 1 << 0;
    QTest::newRow("up from the first call") << 2 << 0 << int(Qt::Key_Up) << 1 << -1;
    QTest::newRow("down at the end of the list") << -1 << -1 << int(Qt::Key_Down) << -1 << -1;
    QTest::newRow("up at the start of the list") << 0 << 0 << int(Qt::Key_Up) << 0 << 0;
}

void TestMainWindow::moveAcrossSequences() {
    QFETCH(int, startSeq);
    QFETCH(int, startCall);
    QFETCH(int, key);
    QFETCH(int, seq);
    QFETCH(int, call);
    QVERIFY(start({"linux.Plus"}));
    showSequence(startSeq, startCall);
    QTableView* calls = grid("grdCall");
    calls->setFocus();
    QTRY_VERIFY(calls->hasFocus());
    QTest::keyClick(calls, Qt::Key(key));
    QCOMPARE(seqRow(), resolve(seq, seqCount()));
    QCOMPARE(m_window->state().currentSequence, m_window->sequenceList().currentSequence());
    QCOMPARE(callRow(), resolve(call, callCount()));
}

void TestMainWindow::figures_data() {
    QTest::addColumn<bool>("hexMode");
    QTest::addColumn<int>("call");
    QTest::addColumn<QString>("picture");
    QTest::addColumn<QString>("expected");
    QTest::newRow("first call, before") << false << 0 << "picBeforeFig"
                                        << "squared set";
    QTest::newRow("first call, before, hexagon mode") << true << 0 << "picBeforeFig"
                                                      << "none";
    QTest::newRow("later call, before") << false << 2 << "picBeforeFig"
                                        << "figure of call 2";
    QTest::newRow("later call, after") << false << 1 << "picAfterFig"
                                       << "figure of call 2";
    QTest::newRow("last call without figure, after") << false << -1 << "picAfterFig"
                                                     << "squared set";
    QTest::newRow("last call without figure, after, hexagon mode") << true << -1 << "picAfterFig"
                                                                   << "none";
}

void TestMainWindow::figures() {
    QFETCH(bool, hexMode);
    QFETCH(int, call);
    QFETCH(QString, picture);
    QFETCH(QString, expected);
    // Generated sequences have a figure after every second call only.
    QVERIFY(start({"generated Plus"}));
    settings().HexMode = hexMode;
    showSequence(0, call);
    m_window->callList().DisplayCallDetail();

    const FigureView* view = figure(picture);
    if (expected == QLatin1String("none")) {
        QVERIFY(view->isEmpty());
        QVERIFY(view->figureText().isEmpty());
    } else if (expected == QLatin1String("squared set")) {
        QVERIFY(!view->isEmpty());
        QCOMPARE(view->figureText(), modPrint::squaredSetText());
    } else {
        const QString stored = dbValue(QStringLiteral("SELECT Figure FROM tblCall WHERE Sequence = ? AND Number = 2"),
                                       {m_window->state().currentSequence})
                                   .toString();
        QVERIFY(!stored.isEmpty());
        QCOMPARE(view->figureText(), stored);
    }
    QCOMPARE(m_window->findChild<QTableView*>(QStringLiteral("grdHexInfo(0)"))->isVisible(), hexMode);
}

void TestMainWindow::editInPlace_data() {
    QTest::addColumn<QString>("gridName");
    QTest::addColumn<QString>("query");
    QTest::newRow("title") << "grdSeqList"
                           << "SELECT Title FROM tblSequence WHERE Sequence = ?";
    QTest::newRow("call") << "grdCall"
                          << "SELECT Call FROM tblCall WHERE Sequence = ? AND Number = 2";
}

void TestMainWindow::editInPlace() {
    QFETCH(QString, gridName);
    QFETCH(QString, query);
    QVERIFY(start({"linux.Plus"}));
    showSequence(3, 1);
    const qint64 key = m_window->state().currentSequence;
    QTableView* view = grid(gridName.toLatin1().constData());
    view->setFocus();
    QTRY_VERIFY(view->hasFocus());

    QTest::keyClick(view, Qt::Key_Return);
    QVERIFY(m_window->state().cellEdit);
    auto* editor = qobject_cast<QLineEdit*>(QApplication::focusWidget());
    QVERIFY(editor && view->isAncestorOf(editor));
    // Digits and Ctrl+A reach the editor instead of the state keys and the list's select-all.
    QTest::keyClick(editor, Qt::Key_A, Qt::ControlModifier);
    QTest::keyClicks(editor, QStringLiteral("Spin 3/4 Chain 1"));
    QCOMPARE(editor->text(), QStringLiteral("Spin 3/4 Chain 1"));
    QTest::keyClick(editor, Qt::Key_Return);

    QTRY_VERIFY(!m_window->state().cellEdit);
    QCOMPARE(dbValue(query, {key}).toString(), QStringLiteral("Spin 3/4 Chain 1"));
    QCOMPARE(view->currentIndex().data().toString(), QStringLiteral("Spin 3/4 Chain 1"));
    QCOMPARE(m_window->state().currentSequence, key);
}

void TestMainWindow::dragReorder_data() {
    QTest::addColumn<int>("first");
    QTest::addColumn<int>("last");
    QTest::addColumn<int>("position");
    QTest::newRow("three rows below themselves") << 1 << 3 << 6;
    QTest::newRow("three rows to the top") << 4 << 6 << 0;
    QTest::newRow("one row to the end") << 2 << 2 << 19;
}

void TestMainWindow::dragReorder() {
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
    QTableView* view = grid("grdSeqList");
    view->selectionModel()->select(QItemSelection(model->index(first, 0), model->index(last, 0)),
                                   QItemSelectionModel::ClearAndSelect | QItemSelectionModel::Rows);
    m_window->sequenceList().BeforeMoveRow(first, position);

    QCOMPARE(listedKeys(), expected);
    for (int r = 0; r < seqCount(); ++r) {
        QCOMPARE(model->index(r, SequenceListModel::OrderColumn).data().toInt(), r + 1);
        QCOMPARE(dbValue(QStringLiteral("SELECT OrderNo FROM tblSequence WHERE Sequence = ?"), {expected[r]}).toInt(),
                 r + 1);
    }
    QCOMPARE(m_window->sequenceList().selectedSequences(), block);
}

void TestMainWindow::pauseKey_data() {
    QTest::addColumn<bool>("hexSwitch");
    QTest::newRow("switch on") << true;
    QTest::newRow("switch off") << false;
}

void TestMainWindow::pauseKey() {
    QFETCH(bool, hexSwitch);
    QVERIFY(start({"linux.Plus"}));
    settings().HexSwitch = hexSwitch;
    QTableView* calls = grid("grdCall");
    calls->setFocus();
    QTRY_VERIFY(calls->hasFocus());
    for (const bool hex : {true, false}) {
        QTest::keyClick(calls, Qt::Key_Pause);
        QCOMPARE(settings().HexMode, hexSwitch && hex);
        QCOMPARE(figure(QStringLiteral("picBeforeFig"))->isEmpty(), hexSwitch && hex);
        QCOMPARE(m_window->findChild<QTableView*>(QStringLiteral("grdHexInfo(1)"))->isVisible(), hexSwitch && hex);
    }
}

void TestMainWindow::wheel_data() {
    QTest::addColumn<QString>("target");
    QTest::addColumn<bool>("holdButton");
    QTest::addColumn<int>("startSeq");
    QTest::addColumn<int>("startCall");
    QTest::addColumn<bool>("down");
    QTest::addColumn<int>("seq");
    QTest::addColumn<int>("call");
    QTest::newRow("calls down") << "grdCall" << false << 0 << 0 << true << 0 << 1;
    QTest::newRow("calls up") << "grdCall" << false << 0 << 2 << false << 0 << 1;
    QTest::newRow("calls down from the last call") << "grdCall" << false << 0 << -1 << true << 1 << 0;
    QTest::newRow("calls up from the first call") << "grdCall" << false << 1 << 0 << false << 0 << -1;
    QTest::newRow("calls with a button held") << "grdCall" << true << 0 << 0 << true << 1 << 0;
    QTest::newRow("list down") << "grdSeqList" << false << 0 << 1 << true << 1 << 1;
    QTest::newRow("list up") << "grdSeqList" << false << 2 << 1 << false << 1 << 1;
    QTest::newRow("list down at the last row") << "grdSeqList" << false << -1 << 1 << true << -1 << 1;
    QTest::newRow("list up at the first row") << "grdSeqList" << false << 0 << 1 << false << 0 << 1;
}

void TestMainWindow::wheel() {
    QFETCH(QString, target);
    QFETCH(bool, holdButton);
    QFETCH(int, startSeq);
    QFETCH(int, startCall);
    QFETCH(bool, down);
    QFETCH(int, seq);
    QFETCH(int, call);
    QVERIFY(start({"linux.Plus"}));
    showSequence(startSeq, startCall);
    QWidget* viewport = grid(target.toLatin1().constData())->viewport();
    if (holdButton) {
        QTableView* calls = grid("grdCall");
        QTest::mousePress(viewport, Qt::LeftButton, {}, calls->visualRect(calls->currentIndex()).center());
        QCOMPARE(m_window->state().callGridButton, int(Qt::LeftButton));
    }
    const QPoint at = viewport->rect().center();
    QWheelEvent event(at, viewport->mapToGlobal(at), QPoint(), QPoint(0, down ? -120 : 120),
                      holdButton ? Qt::LeftButton : Qt::NoButton, Qt::NoModifier, Qt::NoScrollPhase, false);
    QApplication::sendEvent(viewport, &event);
    if (holdButton) {
        QTest::mouseRelease(viewport, Qt::LeftButton);
    }
    QCOMPARE(seqRow(), resolve(seq, seqCount()));
    QCOMPARE(m_window->state().currentSequence, m_window->sequenceList().currentSequence());
    QCOMPARE(callRow(), resolve(call, callCount()));
}

void TestMainWindow::fileOpen_data() {
    QTest::addColumn<QString>("fileName");
    QTest::addColumn<bool>("create");
    QTest::addColumn<int>("message");
    QTest::newRow("library") << "Other.mdb" << true << 0;
    QTest::newRow("upper-case extension") << "OTHER.MDB" << true << 0;
    QTest::newRow("not an mdb file") << "Other.accdb" << true << 40103;
    QTest::newRow("missing file") << "Missing.mdb" << false << 40101;
    QTest::newRow("cancelled") << "" << false << 0;
}

void TestMainWindow::fileOpen() {
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
        QCOMPARE(m_dialogs->exclamations, QStringList{modGeneral::TransMessage(
                                              message, message == 40101 ? QVariantList{path} : QVariantList{})});
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
    if (fileName.isEmpty()) {
        QCOMPARE(recent0->text(), QStringLiteral("&1 ") + m_library);
        return;
    }
    QCOMPARE(recent0->text(), QStringLiteral("&1 ") + path);
    QCOMPARE(action(QStringLiteral("mnuRecentFile(1)"))->text(), QStringLiteral("&2 ") + m_library);
    // The second recent item opens the first library again.
    action(QStringLiteral("mnuRecentFile(1)"))->trigger();
    QCOMPARE(settings().MdbFile, QStringLiteral("Dance.mdb"));
    QCOMPARE(recent0->text(), QStringLiteral("&1 ") + m_library);
}

void TestMainWindow::fileClose() {
    QVERIFY(start({"linux.Plus", "linux.C1"}));
    QVERIFY(seqCount() > 0);
    action(QStringLiteral("mnuFileMdbClose"))->trigger();

    QVERIFY(!m_window->session().isOpen());
    QVERIFY(settings().MdbPath.isEmpty());
    QVERIFY(settings().MdbFile.isEmpty());
    for (const char* name : {"grdSeqList", "grdCall", "grdHistory"}) {
        QCOMPARE(grid(name)->model()->rowCount(), 0);
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

void TestMainWindow::paste() {
    // Listed by stored order, so the pasted sequence shows where it was put.
    QVERIFY(start({"linux.Plus"}, {{"SequenceSort", "1"}}));
    m_window->sequenceList().setCurrentRow(2);
    const QList<qint64> before = listedKeys();
    QGuiApplication::clipboard()->setText(Fixtures::generatorText(1, 3, QStringLiteral("Plus"), 40000));
    action(QStringLiteral("mnuEditPaste"))->trigger();

    const QList<qint64> after = listedKeys();
    QCOMPARE(after.size(), before.size() + 1);
    QVERIFY(!before.contains(after[2]));
    QCOMPARE(after.mid(0, 2), before.mid(0, 2));
    QCOMPARE(after.mid(3), before.mid(2));
    QCOMPARE(dbValue(QStringLiteral("SELECT OrderNo FROM tblSequence WHERE Sequence = ?"), {after[2]}).toInt(), 3);
    QCOMPARE(m_dialogs->informations.size(), 1);
}

void TestMainWindow::closeWindow_data() {
    QTest::addColumn<bool>("fileDeleted");
    QTest::newRow("library present") << false;
    QTest::newRow("library deleted") << true;
}

void TestMainWindow::closeWindow() {
    QFETCH(bool, fileDeleted);
    QVERIFY(start({"linux.Plus"}));
    QFile ini(m_home->file(QStringLiteral("VornReader.ini")));
    QVERIFY(ini.open(QIODevice::ReadOnly));
    const QByteArray written = ini.readAll();
    ini.close();
    if (fileDeleted) {
        QVERIFY(QFile::remove(m_library));
    }
    QVERIFY(m_window->close());

    QVERIFY(ini.open(QIODevice::ReadOnly));
    if (fileDeleted) {
        QCOMPARE(ini.readAll(), written);
        return;
    }
    QVERIFY(ini.readAll() != written);
    QVERIFY(!m_window->session().isOpen());
    const double perPixel = qobject_cast<SplitLayout*>(m_window->centralWidget())->twipsPerPixel();
    const QString file = ini.fileName();
    QCOMPARE(int(modSystem::GetIniInteger(QStringLiteral("frmVornReader"), QStringLiteral("FormWidth"), file, -1)),
             qRound(m_window->width() * perPixel));
    QCOMPARE(int(modSystem::GetIniInteger(QStringLiteral("frmVornReader"), QStringLiteral("FormHeight"), file, -1)),
             qRound(m_window->height() * perPixel));
    QCOMPARE(modSystem::GetIniString(QStringLiteral("VornReader"), QStringLiteral("MdbFile"), file, QString()),
             QStringLiteral("Dance.mdb"));
}

QTEST_MAIN(TestMainWindow)
#include "TestMainWindow.moc"
