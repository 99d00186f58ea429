#include "AppHome.h"
#include "FakePrintDialogs.h"
#include "FigureDiagram.h"
#include "FigureView.h"
#include "HistoryViews.h"
#include "PrintCommands.h"
#include "SplitLayout.h"
#include "StateIcons.h"
#include "WindowFixture.h"
#include "frmHistory.h"
#include "modGeneral.h"

#include <QClipboard>

namespace {

// A row of the data tables: 0 and up from the top, -1 the last.
int resolve(int row, int count) {
    return row < 0 ? count + row : row;
}

// What a formation picture shows.
enum Shown { SquaredSet, Nothing, FigureOfCall2 };

// What moves the rows: a key, or a wheel notch (with the left button held on the calls).
enum Input { KeyDown, KeyUp, WheelDown, WheelUp, HeldWheelDown };

} // namespace

// The real main window driven through its keys, wheel, menus and the fake dialogs.
class TestMainWindow : public WindowFixture {
    Q_OBJECT

    QAction* levelItem(int i) const { return m_window->menus().viewLevels[i]; }
    QTableView* grid(const QString& name) const { return m_window->findChild<QTableView*>(name); }
    QString label(const char* name) const { return m_window->findChild<QLabel*>(QLatin1String(name))->text(); }
    void showSequence(int row, int call) {
        m_window->sequenceList().setCurrentRow(resolve(row, seqCount()));
        m_window->callList().setCurrentRow(resolve(call, m_window->callList().rowCount()));
    }
    // The list row and call row shown, with the calls, date and position of the listed sequence.
    void checkShown(int row, int call) {
        const qint64 key = m_window->sequenceList().currentSequence();
        QCOMPARE(m_window->sequenceList().currentRow(), resolve(row, seqCount()));
        QCOMPARE(m_window->state().currentSequence, key);
        QCOMPARE(shownCalls(), storedCalls(key));
        QCOMPARE(m_window->callList().currentRow(), resolve(call, m_window->callList().rowCount()));
        if (key != 0) {
            // The date, the note of the current call on one line, the position in the list.
            QCOMPARE(label("lblDate") + '|' + label("stbCallNote(1)") + '|' + label("stbCallNote(2)"),
                     sql(QStringLiteral("SELECT Date, REPLACE(tblCall.Note, char(13, 10), ' '), ? FROM tblSequence "
                                        "JOIN tblCall USING (Sequence) WHERE Sequence = ? AND Number = ?"),
                         {QStringLiteral("%1 / %2").arg(resolve(row, seqCount()) + 1).arg(seqCount()), key,
                          m_window->callList().currentRow() + 1})
                         .value(0));
        }
    }
    QString ini(const QString& section, const char* key) const {
        return modSystem::GetIniString(section, QLatin1String(key), iniPath(), {});
    }

private Q_SLOTS:
    // "-ini" counts only at an option position (first, third, ... word), in any letter case.
    void iniFileOption_data() {
        QTest::addColumn<QStringList>("words");
        QTest::addColumn<QString>("iniFile");
        QTest::newRow("option") << QStringList{"-INI", "my.ini"} << "my.ini";
        QTest::newRow("second position") << QStringList{"x", "-ini", "my.ini"} << "";
        QTest::newRow("last word") << QStringList{"-ini"} << "";
    }
    void iniFileOption() {
        QFETCH(QStringList, words);
        QTEST(frmVornReader::iniFileFromArguments(words), "iniFile");
    }

    void startUp_data() {
        QTest::addColumn<QStringList>("sources");
        QTest::addColumn<QString>("savedLevel");
        QTest::addColumn<int>("savedIndex");
        QTest::addColumn<QString>("level");
        QTest::addColumn<QList<int>>("levelItems");
        QTest::addColumn<int>("row");
        const QStringList both{"linux.Plus", "linux.C1"};
        const QList<int> items{1, 4, 14};
        QTest::newRow("first level") << both << "" << 0 << "Plus" << items << 0;
        QTest::newRow("saved level") << both << "C1" << 0 << "C1" << items << 0;
        QTest::newRow("saved level gone") << both << "A2" << 0 << "Plus" << items << 0;
        QTest::newRow("saved position") << both << "Plus" << 3 << "Plus" << items << 2;
        QTest::newRow("saved position beyond the list") << both << "Plus" << 100 << "Plus" << items << -1;
        QTest::newRow("mainstream shown as MS")
            << QStringList{"linux.C1", "generated Mainstream"} << "" << 0 << "MS" << QList<int>{0, 4, 14} << 0;
        QTest::newRow("empty library") << QStringList{} << "" << 0 << "" << QList<int>{15} << -1;
    }

    void startUp() {
        QFETCH(QStringList, sources);
        QFETCH(QString, savedLevel);
        QFETCH(int, savedIndex);
        QFETCH(QString, level);
        QFETCH(QList<int>, levelItems);
        QFETCH(int, row);
        const auto saved = [&](Database& db) {
            modDataBase::WriteINIMdbString(db, QStringLiteral("ViewLevel"), savedLevel);
            modDataBase::WriteINIMdbString(db, QStringLiteral("ViewIndex(Plus)"), QString::number(savedIndex));
            modDataBase::WriteINIMdbString(db, QStringLiteral("ViewRow(Plus)"), QStringLiteral("2"));
        };
        QVERIFY(start(sources, saved, {{"RecentFile1", "/elsewhere/a.mdb"}, {"RecentFile2", "/elsewhere/b.mdb"}}));

        const QString folder = QFileInfo(m_library).absolutePath();
        const QString shownLevel = level.isEmpty() ? QString() : QStringLiteral("【%1】 ").arg(level);
        QTRY_COMPARE(m_window->windowTitle(), shownLevel + QStringLiteral("Dance.mdb (%1) - VornReader").arg(folder));
        QCOMPARE(label("lblLevel"), level);
        for (int i = 0; i < MainMenus::LevelItems; ++i) {
            QVERIFY2(levelItem(i)->isVisible() == levelItems.contains(i), qPrintable(QString::number(i)));
        }
        const QString stored = level == QLatin1String("MS") ? QStringLiteral("Mainstream") : level;
        QCOMPARE(seqCount(), number(QStringLiteral("SELECT COUNT(*) FROM tblSequence WHERE Level = ?"), {stored}));
        // The first sequence after start-up opens at its first call, whatever call row was saved.
        checkShown(row, seqCount() > 0 ? 0 : -1);
        // The opened library heads the recent files; the earlier ones follow.
        const QStringList recent{m_library, QStringLiteral("/elsewhere/a.mdb"), QStringLiteral("/elsewhere/b.mdb")};
        for (int i = 0; i < 4; ++i) {
            const QString text = i < recent.size() ? QStringLiteral("&%1 %2").arg(i + 1).arg(recent[i]) : QString();
            QCOMPARE(m_window->menus().recentFiles[i]->text(), text);
            QCOMPARE(m_window->menus().recentFiles[i]->isVisible(), i < recent.size());
        }
    }

    // The first nine recent items have the access keys 1 to 9; from the tenth on they have none.
    void recentCaptionsHaveAccessKeysUpToNine() {
        QList<QStringList> keys{{"RecentFileCnt", "35"}};
        for (int i = 1; i <= 20; ++i) {
            keys.append({QStringLiteral("RecentFile%1").arg(i), QStringLiteral("/lib/%1.mdb").arg(i)});
        }
        QVERIFY(start({}, {}, keys));
        // The library opened at start-up heads the twenty items; the last path drops out.
        const QList<QAction*>& items = m_window->menus().recentFiles;
        QCOMPARE(items[8]->text(), QStringLiteral("&9 /lib/8.mdb"));
        QCOMPARE(items[9]->text(), QStringLiteral("10 /lib/9.mdb"));
        QCOMPARE(items[19]->text(), QStringLiteral("20 /lib/19.mdb"));
    }

    void chooseLevel_data() {
        QTest::addColumn<int>("item");
        QTest::addColumn<QString>("level");
        QTest::newRow("Plus") << 1 << "Plus";
        QTest::newRow("C1") << 4 << "C1";
        QTest::newRow("AllLevel") << 14 << "%";
    }

    void chooseLevel() {
        QFETCH(int, item);
        QFETCH(QString, level);
        QVERIFY(start({"linux.Plus", "linux.C1"}));
        levelItem(item == 14 ? 1 : 14)->trigger();
        levelItem(item)->trigger();

        QCOMPARE(seqCount(), number(QStringLiteral("SELECT COUNT(*) FROM tblSequence WHERE Level LIKE ?"), {level}));
        QCOMPARE(settings().ViewLevel, levelItem(item)->text());
        for (int i = 0; i < MainMenus::LevelItems; ++i) {
            QCOMPARE(levelItem(i)->isChecked(), i == item);
            QVERIFY(levelItem(i)->actionGroup() && levelItem(i)->actionGroup()->isExclusive());
        }
        // The state items show the icons of the list.
        for (int i = 0; i < MainMenus::StateItems; ++i) {
            QCOMPARE(m_window->menus().sequenceStates[i]->icon().cacheKey(), StateIcons::icon(i).cacheKey());
        }
        // The first sequence is shown; its level heads the caption.
        checkShown(0, 0);
        QVERIFY(m_window->windowTitle().startsWith(QStringLiteral("【%1】 Dance.mdb").arg(label("lblLevel"))));
    }

    void figures_data() {
        QTest::addColumn<bool>("hexSwitch");
        QTest::addColumn<bool>("pause");
        QTest::addColumn<int>("call");
        QTest::addColumn<bool>("after");
        QTest::addColumn<int>("shown");
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
        QVERIFY(start({"generated Plus"}));
        settings().HexSwitch = hexSwitch;
        showSequence(0, call);
        QTableView* calls = grid(QStringLiteral("grdCall"));
        QVERIFY(focus(calls));
        if (pause) {
            QTest::keyClick(calls, Qt::Key_Pause);
        }
        QCOMPARE(settings().HexMode, hexSwitch && pause);
        QCOMPARE(grid(QStringLiteral("grdHexInfo(0)"))->isVisible(), settings().HexMode);

        const auto* view = m_window->findChild<FigureView*>(after ? "picAfterFig" : "picBeforeFig");
        const QString figure2 = sql(QStringLiteral("SELECT Figure FROM tblCall WHERE Sequence = ? AND Number = 2"),
                                    {m_window->state().currentSequence})
                                    .value(0);
        QVERIFY(!figure2.isEmpty());
        QCOMPARE(view->isEmpty(), shown == Nothing);
        QCOMPARE(view->figureText(), (QStringList{modPrint::squaredSetText(), QString(), figure2}[shown]));
        // Pause again leaves hexagon mode.
        if (settings().HexMode) {
            QTest::keyClick(calls, Qt::Key_Pause);
            QVERIFY(!settings().HexMode && !view->isEmpty());
            QVERIFY(!grid(QStringLiteral("grdHexInfo(1)"))->isVisible());
        }
    }

    void moveRows_data() {
        QTest::addColumn<QString>("target");
        QTest::addColumn<int>("input");
        QTest::addColumn<QList<int>>("fromTo"); // list row and call row, before and after
        const QString calls = QStringLiteral("grdCall");
        const QString list = QStringLiteral("grdSeqList");
        QTest::newRow("down inside") << calls << int(KeyDown) << QList<int>{0, 0, 0, 1};
        QTest::newRow("down from the last call") << calls << int(KeyDown) << QList<int>{0, -1, 1, 0};
        QTest::newRow("up from the first call") << calls << int(KeyUp) << QList<int>{2, 0, 1, -1};
        QTest::newRow("down at the end of the list") << calls << int(KeyDown) << QList<int>{-1, -1, -1, -1};
        QTest::newRow("up at the start of the list") << calls << int(KeyUp) << QList<int>{0, 0, 0, 0};
        QTest::newRow("list down opens the first call") << list << int(KeyDown) << QList<int>{0, 1, 1, 0};
        QTest::newRow("wheel calls down from the last call") << calls << int(WheelDown) << QList<int>{0, -1, 1, 0};
        QTest::newRow("wheel calls up from the first call") << calls << int(WheelUp) << QList<int>{1, 0, 0, -1};
        // With a mouse button held on the calls the wheel moves the list.
        QTest::newRow("wheel calls, button held") << calls << int(HeldWheelDown) << QList<int>{0, 0, 1, 0};
        // The wheel on the list opens the call row last chosen in the level.
        QTest::newRow("wheel list up") << list << int(WheelUp) << QList<int>{2, 1, 1, 1};
        QTest::newRow("wheel list down at the last row") << list << int(WheelDown) << QList<int>{-1, 1, -1, 1};
    }

    void moveRows() {
        QFETCH(QString, target);
        QFETCH(int, input);
        QFETCH(QList<int>, fromTo);
        QVERIFY(start({"linux.Plus"}));
        showSequence(fromTo[0], fromTo[1]);
        QTableView* view = grid(target);
        QVERIFY(focus(view));
        QWidget* viewport = view->viewport();
        const bool holdButton = input == HeldWheelDown;
        if (input == KeyDown || input == KeyUp) {
            QTest::keyClick(view, input == KeyDown ? Qt::Key_Down : Qt::Key_Up);
        } else {
            if (holdButton) {
                QTest::mousePress(viewport, Qt::LeftButton, {}, view->visualRect(view->currentIndex()).center());
                QCOMPARE(m_window->state().callGridButton, int(Qt::LeftButton));
            }
            const QPoint at = viewport->rect().center();
            QWheelEvent event(at, viewport->mapToGlobal(at), QPoint(), QPoint(0, input == WheelUp ? 120 : -120),
                              holdButton ? Qt::LeftButton : Qt::NoButton, Qt::NoModifier, Qt::NoScrollPhase, false);
            QApplication::sendEvent(viewport, &event);
            if (holdButton) {
                QTest::mouseRelease(viewport, Qt::LeftButton);
            }
        }
        checkShown(fromTo[2], fromTo[3]);
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
        const int listed = seqCount();
        const QString folder = QFileInfo(m_library).absolutePath();
        const QString path = create ? createLibrary(fileName, {"linux.C1"}) : folder + QLatin1Char('/') + fileName;
        if (!fileName.isEmpty()) {
            m_dialogs->fileToOpen = path;
        }
        m_window->menus().fileOpen->trigger();

        QCOMPARE(m_dialogs->openRequests, (QList<QStringList>{{modGeneral::LoadTransString(30101), folder}}));
        const QList<QAction*>& recent = m_window->menus().recentFiles;
        if (message != 0) {
            const QVariantList arguments = message == 40101 ? QVariantList{path} : QVariantList{};
            QCOMPARE(m_dialogs->exclamations, QStringList{modGeneral::TransMessage(message, arguments)});
            // The library that was open stays open: a wrong choice costs the caller nothing.
            QVERIFY(m_window->session().isOpen() && seqCount() == listed);
            QCOMPARE(recent[0]->text(), QStringLiteral("&1 ") + m_library);
            return;
        }
        QVERIFY(m_dialogs->exclamations.isEmpty() && m_window->session().isOpen());
        const QString opened = fileName.isEmpty() ? m_library : path;
        QCOMPARE(settings().MdbPath + '/' + settings().MdbFile, opened);
        QCOMPARE(
            m_window->windowTitle(),
            QStringLiteral("【%1】 %2 (%3) - VornReader").arg(label("lblLevel"), QFileInfo(opened).fileName(), folder));
        QCOMPARE(recent[0]->text(), QStringLiteral("&1 ") + opened);
        if (opened != m_library) { // the second recent item opens the first library again
            recent[1]->trigger();
            QCOMPARE(settings().MdbFile + recent[0]->text(), QStringLiteral("Dance.mdb&1 ") + m_library);
        }
    }

    // Dropped generator files are read into the open library, one report each with its count; a
    // dropped library opens first and takes the generator files dropped with it. With no library
    // open a generator file is refused as no database. The library starts with the 19 sequences of
    // linux.Plus.
    void dropFiles_data() {
        QTest::addColumn<QString>("target");
        QTest::addColumn<bool>("closeFirst");
        QTest::addColumn<QStringList>("files");
        QTest::addColumn<QList<int>>("added");
        QTest::addColumn<int>("stored");
        QTest::newRow("generator file on the list")
            << "grdSeqList" << false << QStringList{"linux.C1"} << QList<int>{1} << 20;
        QTest::newRow("two files on the window")
            << "frmVornReader" << false << QStringList{"linux.C1", "windows.Plus"} << QList<int>{1, 6} << 26;
        QTest::newRow("library and generator file on the calls")
            << "grdCall" << false << QStringList{"windows.Plus", "Other.MDB"} << QList<int>{6} << 7;
        QTest::newRow("no library open") << "grdSeqList" << true << QStringList{"linux.C1"} << QList<int>{} << 0;
    }

    void dropFiles() {
        QFETCH(QString, target);
        QFETCH(bool, closeFirst);
        QFETCH(QStringList, files);
        QFETCH(QList<int>, added);
        QFETCH(int, stored);
        QVERIFY(start({"linux.Plus"}));
        if (closeFirst) {
            m_window->menus().fileClose->trigger();
        }
        QString library = m_library;
        QList<QUrl> urls;
        QStringList reports;
        for (const QString& file : files) {
            QString path = m_home->file(file);
            if (file.endsWith(QLatin1String(".MDB"))) {
                path = library = createLibrary(file, {"linux.C1"});
            } else {
                // A copy, so that the reader may move it.
                QVERIFY(QFile::copy(Fixtures::dataFile(file), path));
                const int count = added.value(reports.size());
                reports.append(count == 1 ? modGeneral::TransMessage(40306, {'"' + path + '"'})
                                          : modGeneral::TransMessage(40301, {'"' + path + '"', count}));
            }
            urls.append(QUrl::fromLocalFile(path));
        }
        QMimeData data;
        data.setUrls(urls);
        QWidget* receiver = target == QLatin1String("frmVornReader")
                                ? static_cast<QWidget*>(m_window.get())
                                : m_window->findChild<QTableView*>(target)->viewport();
        // As a drag does: the widget that accepts the entering drag receives the drop.
        QDragEnterEvent enter(QPoint(5, 5), Qt::CopyAction, &data, Qt::LeftButton, Qt::NoModifier);
        QApplication::sendEvent(receiver, &enter);
        QVERIFY(enter.isAccepted());
        QDropEvent drop(QPointF(5, 5), Qt::CopyAction, &data, Qt::LeftButton, Qt::NoModifier);
        QApplication::sendEvent(receiver, &drop);

        if (closeFirst) {
            QCOMPARE(m_dialogs->exclamations, QStringList{modGeneral::TransMessage(40103)});
            QVERIFY(m_dialogs->informations.isEmpty() && !m_window->session().isOpen());
            return;
        }
        QVERIFY(m_dialogs->exclamations.isEmpty());
        QCOMPARE(m_window->session().database().path(), library);
        QCOMPARE(m_dialogs->informations, reports);
        QCOMPARE(number(QStringLiteral("SELECT COUNT(*) FROM tblSequence")), stored);
        QCOMPARE(seqCount(),
                 number(QStringLiteral("SELECT COUNT(*) FROM tblSequence WHERE Level = ?"), {settings().ViewLevel}));
    }

    // File > Close clears the window. Closing the window writes the INI file, its size in twips and
    // the library (none after File > Close, so the next start opens nothing), unless the library
    // has gone.
    // Something else under the remembered library name is refused once at start-up and
    // forgotten: no error report, nothing at the close, and the next start opens nothing.
    void startUpWithSomethingElse() {
        const QString path = createLibrary(QStringLiteral("Dance.mdb"), {});
        QFile file(path);
        QVERIFY(file.open(QIODevice::WriteOnly | QIODevice::Truncate));
        file.write(QByteArray(2000, 'x'));
        file.close();
        for (const auto& [key, value] :
             {std::pair{"MdbPath", QFileInfo(path).absolutePath()}, std::pair{"MdbFile", QStringLiteral("Dance.mdb")},
              std::pair{"Language", QStringLiteral("English")}}) {
            modSystem::WriteIniValue(QStringLiteral("VornReader"), QLatin1String(key), value, iniPath());
        }
        m_window = std::make_unique<frmVornReader>(QString(), m_dialogs.get());
        m_window->show();
        QTRY_COMPARE(m_dialogs->exclamations.size(), 1);
        QVERIFY(m_dialogs->exclamations.front().contains(QLatin1String("not a VornReader library")));
        QVERIFY(!m_window->session().isOpen());
        QVERIFY(m_window->close());
        QCOMPARE(m_dialogs->exclamations.size(), 1);
        QCOMPARE(ini(QStringLiteral("VornReader"), "MdbFile"), QString());
        QCOMPARE(QFileInfo(path).size(), 2000);
    }

    void closing_data() {
        QTest::addColumn<bool>("fileClose");
        QTest::addColumn<bool>("fileDeleted");
        QTest::newRow("library open") << false << false;
        QTest::newRow("after File > Close") << true << false;
        QTest::newRow("library deleted") << false << true;
    }

    void closing() {
        QFETCH(bool, fileClose);
        QFETCH(bool, fileDeleted);
        QVERIFY(start({"linux.Plus", "linux.C1"}));
        const auto content = [this] {
            QFile file(iniPath());
            return file.open(QIODevice::ReadOnly) ? file.readAll() : QByteArray();
        };
        const QByteArray written = content();
        QVERIFY(!fileDeleted || QFile::remove(m_library));
        if (fileClose) {
            m_window->menus().fileClose->trigger();
            QVERIFY(!m_window->session().isOpen());
            QCOMPARE(settings().MdbPath + settings().MdbFile, QString());
            for (const char* name : {"grdSeqList", "grdCall", "grdHistory"}) {
                QCOMPARE(grid(QLatin1String(name))->model()->rowCount(), 0);
            }
            for (int i = 0; i < MainMenus::LevelItems; ++i) {
                QVERIFY(!levelItem(i)->isVisible());
            }
            QCOMPARE(m_window->windowTitle() + label("lblLevel") + label("stbCallNote(1)") + label("stbCallNote(2)"),
                     QStringLiteral("VornReader"));
            QCOMPARE(label("lblDate"), QStringLiteral("0000/00/00"));
            QVERIFY(m_window->findChild<FigureView*>("picBeforeFig")->isEmpty());
        }
        QVERIFY(m_window->close());

        QCOMPARE(content() == written, fileDeleted);
        QCOMPARE(m_window->session().isOpen(), fileDeleted);
        const double perPixel = qobject_cast<SplitLayout*>(m_window->centralWidget())->twipsPerPixel();
        const QString form = QStringLiteral("frmVornReader");
        QVERIFY(fileDeleted || ini(form, "FormWidth").toInt() == qRound(m_window->width() * perPixel));
        QVERIFY(fileDeleted || ini(form, "FormHeight").toInt() == qRound(m_window->height() * perPixel));
        QCOMPARE(ini(QStringLiteral("VornReader"), "MdbFile"), fileClose ? QString() : QStringLiteral("Dance.mdb"));
    }

    // The number column never becomes current, and the standard shortcuts stand on the menus.
    void numberColumnAndShortcuts() {
        QVERIFY(start({"generated Plus"}));
        GridView* calls = m_window->callList().grid();
        QTest::mouseClick(calls->viewport(), Qt::LeftButton, {},
                          calls->visualRect(calls->model()->index(2, 0)).center());
        QCOMPARE(calls->currentIndex(), calls->model()->index(2, 1));
        const MainMenus& menus = m_window->menus();
        const QList<std::pair<QAction*, const char*>> expected{
            {menus.fileNew, "Ctrl+N"},   {menus.fileOpen, "Ctrl+O"},   {menus.fileClose, "Ctrl+W"},
            {menus.fileExit, "Ctrl+Q"},  {menus.editCut, "Ctrl+X"},    {menus.editCopy, "Ctrl+C"},
            {menus.editPaste, "Ctrl+V"}, {menus.editSearch, "Ctrl+F"}, {menus.editReplace, "Ctrl+H"}};
        for (const auto& [action, keys] : expected) {
            QCOMPARE(action->shortcut(), QKeySequence(QLatin1String(keys)));
        }
        QGuiApplication::clipboard()->setText(QString());
        QVERIFY(focus(m_window->sequenceList().view()));
        QTest::keyClick(m_window->sequenceList().view(), Qt::Key_C, Qt::ControlModifier);
        QTRY_VERIFY(QGuiApplication::clipboard()->text().contains(QLatin1String("generated sequence")));
    }

    // Call rows are measured again whenever the call pane changes its width (here: the split bar is
    // dragged): a narrower pane gives a long call more lines, a wider one takes them back.
    void callRowsFollowThePaneWidth() {
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
        split->dragTo(0, 600);
        QTRY_VERIFY(lines() <= 3);
    }

    // In a narrow window every pane keeps its minimum width inside the window; resizing shares the
    // width among the panes in the proportions they had.
    void panesShareTheWidth_data() {
        QTest::addColumn<int>("width");
        QTest::newRow("800 px") << 800;
        QTest::newRow("1600 px") << 1600;
        QTest::newRow("narrower than the panes allow") << 400;
    }
    void panesShareTheWidth() {
        QFETCH(int, width);
        QVERIFY(start({"generated Plus"}));
        auto* split = qobject_cast<SplitLayout*>(m_window->centralWidget());
        const auto shares = [split] {
            QList<double> list;
            for (const char* name : {"picFrame1", "picFrame2", "picFrame3"}) {
                const QRect pane = split->findChild<QWidget*>(QLatin1String(name))->geometry();
                list.append(pane.left() >= 0 && pane.right() < split->width() ? double(pane.width()) / split->width()
                                                                              : -1.0);
            }
            return list;
        };
        m_window->resize(1200, 700);
        QTRY_COMPARE(m_window->width(), 1200);
        const QList<double> before = shares();
        m_window->resize(width, 700);
        QTRY_COMPARE(m_window->width(), std::max(width, m_window->minimumSizeHint().width()));
        const QList<double> after = shares();
        for (int i = 0; i < 3; ++i) {
            QVERIFY2(after[i] * split->width() >= SplitLayout::MinimumPaneWidth[i],
                     qPrintable(QDebug::toString(after)));
            QVERIFY2(width < 800 || qAbs(after[i] - before[i]) < 0.03, qPrintable(QDebug::toString(before + after)));
        }
    }

    // A first start without settings: the window takes most of the screen, centred; Qt's own
    // buttons speak the program's language (Japanese by default); File > New proposes a new file in
    // the caller's documents, under a name no file there has.
    void firstStart() {
        m_window = std::make_unique<frmVornReader>(QString(), m_dialogs.get());
        m_window->show();
        QVERIFY(QTest::qWaitForWindowActive(m_window.get()));
        const QRect available = m_window->screen()->availableGeometry();
        QVERIFY(qAbs(m_window->width() - available.width() * 0.8) <= 2);
        QVERIFY(qAbs(m_window->height() - available.height() * 0.8) <= 2);
        QVERIFY(qAbs(m_window->geometry().center().x() - available.center().x()) <= 2);
        QDialogButtonBox buttons(QDialogButtonBox::Ok | QDialogButtonBox::Cancel);
        QCOMPARE(buttons.button(QDialogButtonBox::Cancel)->text(), QStringLiteral("キャンセル"));
        const QDir documents(QStandardPaths::writableLocation(QStandardPaths::DocumentsLocation));
        const QString name = modGeneral::LoadTransString(30106);
        QVERIFY(name.endsWith(QLatin1String(".mdb")));
        const bool taken = QFile::exists(documents.filePath(name));
        m_window->menus().fileNew->trigger();
        QCOMPARE(m_dialogs->saveRequests.size(), 1);
        QCOMPARE(m_dialogs->saveRequests[0][0], modGeneral::LoadTransString(30102));
        QCOMPARE(m_dialogs->saveRequests[0][1] == documents.filePath(name), !taken);
        QVERIFY(!QFile::exists(m_dialogs->saveRequests[0][1]));
        QVERIFY(m_dialogs->openRequests.isEmpty());
    }

    // View > Not called for: the list less what Club 1 heard, the state keys on what is shown,
    // the filter kept over a restart and cleared by the status bar or the menu item; View >
    // History: the parties' rows, one party's written to a spreadsheet.
    void notCalledFor_data() {
        QTest::addColumn<bool>("byClick");
        QTest::newRow("cleared on the status bar") << true;
        QTest::newRow("cleared by the menu item") << false;
    }
    void notCalledFor() {
        QFETCH(bool, byClick);
        QVERIFY(start({"generated Plus"}));
        m_dialogs->notCalled = NotCalledChoice{QStringLiteral("Club 1"), 52};
        m_window->menus().viewNotCalledFor->trigger();
        QCOMPARE(m_dialogs->partyChoices, (QStringList{"Club 0", "Club 1", "Club 2"}));
        // Club 1 heard sequence 2 on 2026/01/02, within the year.
        QCOMPARE(m_window->sequenceList().model()->sequences(), (QList<qint64>{1, 3}));
        selectRows(0, 1);
        m_window->menus().sequenceStates[2]->trigger();
        QCOMPARE(sql(QStringLiteral("SELECT group_concat(Sequence) FROM tblSequence WHERE Property = 2")),
                 QStringList{"1,3"});
        QVERIFY(m_window->close());
        QCOMPARE(ini(QStringLiteral("VornReader"), "NotCalledParty"), QStringLiteral("Club 1"));

        m_window.reset();
        settings().NotCalledFor = false;
        m_window = std::make_unique<frmVornReader>(QString(), m_dialogs.get());
        m_window->show();
        QTRY_VERIFY(m_window->session().isOpen());
        QToolButton* status = m_window->historyViews().statusButton();
        QVERIFY(status->isVisible() && status->text().contains(QLatin1String("Club 1")));
        QVERIFY(m_window->menus().viewNotCalledFor->isChecked());
        QCOMPARE(m_window->sequenceList().rowCount(), 2);
        if (byClick) {
            QTest::mouseClick(status, Qt::LeftButton);
        } else {
            m_window->menus().viewNotCalledFor->trigger();
        }
        QCOMPARE(m_window->sequenceList().rowCount(), 3);
        QVERIFY(!status->isVisible() && !m_window->menus().viewNotCalledFor->isChecked());

        FakePrintDialogs print;
        m_window->printCommands().setPrintDialogs(&print);
        m_window->menus().viewHistory->trigger();
        frmHistory* history = m_window->historyViews().historyWindow();
        QVERIFY(history && history->isVisible());
        QCOMPARE(history->shownRows().size(), 3);
        history->parties()->setCurrentIndex(history->parties()->findText(QStringLiteral("Club 2")));
        QCOMPARE(history->shownRows(), (QList<QStringList>{{"Club 2", "Plus", "2026/12/06 00:00:02",
                                                            "generated sequence 2", "1", "2026/01/03"}}));
        QTest::mouseClick(history->findChild<QPushButton*>(QStringLiteral("cmdExcelOut")), Qt::LeftButton);
        QVERIFY(print.openedExisted);
        m_window->printCommands().setPrintDialogs(nullptr);
    }

    // Every menu item the shipped help page names in 「」 is an item of the Japanese window's
    // menus, spelled as the menu spells it; Help > Index shows that page.
    void helpPageNamesTheMenus() {
        QVERIFY(start({"generated Plus"}, {}, {{QStringLiteral("Language"), QStringLiteral("Japanese")}}));
        QSet<QString> captions;
        QList<QAction*> actions = m_window->findChildren<QAction*>();
        for (QMenu* popup :
             {m_window->menus().sequencePopup, m_window->menus().historyPopup, m_window->menus().callEditPopup}) {
            actions += popup->actions();
        }
        for (const QAction* action : std::as_const(actions)) {
            captions.insert(MainMenus::plainCaption(action));
        }
        QFile page(AppHome::path() + QStringLiteral("/System/VornReader.html"));
        QVERIFY(page.open(QIODevice::ReadOnly));
        const QString text = QString::fromUtf8(page.readAll());
        static const QRegularExpression named(QStringLiteral("「([^」]+)」"));
        int names = 0;
        for (const QRegularExpressionMatch& match : named.globalMatch(text)) {
            QVERIFY2(captions.contains(match.captured(1)), qPrintable(match.captured(1)));
            ++names;
        }
        QVERIFY(names >= 20);
        m_window->menus().helpIndex->trigger();
        auto* help = m_window->findChild<QTextBrowser*>(QStringLiteral("frmHelp"));
        QVERIFY(help && help->isVisible());
        QVERIFY(help->toPlainText().contains(QStringLiteral("シーケンスファイル読み込み")));
    }
};

QTEST_MAIN(TestMainWindow)
#include "TestMainWindow.moc"
