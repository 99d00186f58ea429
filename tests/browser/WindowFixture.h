#pragma once

#include "CallList.h"
#include "Database.h"
#include "FakeDialogs.h"
#include "FakeSeqTextHost.h"
#include "FigureDiagram.h"
#include "FigureView.h"
#include "Fixtures.h"
#include "GridView.h"
#include "HomeSeeder.h"
#include "KeyCodeConvert.h"
#include "LibraryCommands.h"
#include "LibrarySession.h"
#include "MainMenus.h"
#include "PrintCommands.h"
#include "RecordingErrorBox.h"
#include "SearchCommands.h"
#include "SequenceImport.h"
#include "SequenceList.h"
#include "SequenceListModel.h"
#include "Settings.h"
#include "SplitLayout.h"
#include "TestHome.h"
#include "frmPreview.h"
#include "frmSearchWord.h"
#include "frmVornReader.h"
#include "modDataBase.h"
#include "modGeneral.h"
#include "modSystem.h"

#include <QClipboard>
#include <QtTest>
#include <QtWidgets>
#include <functional>
#include <memory>

// Base of the main-window tests: each test gets a fresh application home with its shipped files,
// default settings and the fake dialogs; afterwards the window closes and no error may have been
// reported.
class WindowFixture : public QObject {
    Q_OBJECT

protected:
    // A library in the home's "lib" folder read from the sources: files of tests/data, or
    // "generated <level>" (three sequences of three calls, a figure after call 2 only); prepare
    // then runs on it.
    QString createLibrary(const QString& name, const QStringList& sources,
                          const std::function<void(Database&)>& prepare = {}) const {
        QDir().mkpath(m_home->file(QStringLiteral("lib")));
        const QString path = m_home->file(QStringLiteral("lib/") + name);
        modDataBase::CreateLibrary(path);
        Database db(path);
        FakeSeqTextHost host;
        for (const QString& source : sources) {
            const bool generated = source.startsWith(QLatin1String("generated "));
            host.clipboard = generated ? Fixtures::generatorText(3, 3, source.mid(10)) : QString();
            modSeqText::ReadSequenceText(db, generated ? QString() : Fixtures::dataFile(source), generated, -1, host);
        }
        if (prepare) {
            prepare(db);
        }
        return path;
    }

    // Library "Dance.mdb" named in the INI file with the extra keys; the window opens on it.
    bool start(const QStringList& sources, const std::function<void(Database&)>& prepare = {},
               const QList<QStringList>& iniKeys = {}) {
        m_library = createLibrary(QStringLiteral("Dance.mdb"), sources, prepare);
        const QList<QStringList> keys{{QStringLiteral("MdbPath"), QFileInfo(m_library).absolutePath()},
                                      {QStringLiteral("MdbFile"), QStringLiteral("Dance.mdb")},
                                      {QStringLiteral("Language"), QStringLiteral("English")}};
        for (const QStringList& key : keys + iniKeys) {
            modSystem::WriteIniValue(QStringLiteral("VornReader"), key[0], key[1], iniPath());
        }
        return openWindow() && QTest::qWaitFor([this] { return m_window->session().isOpen(); });
    }
    bool openWindow() {
        m_window = std::make_unique<frmVornReader>(QString(), m_realDialogs ? nullptr : m_dialogs.get());
        m_window->show();
        return QTest::qWaitForWindowActive(m_window.get());
    }

    // The rows of a table written one a line, columns parted by " => ".
    static QList<QStringList> tableRows(const char* table) {
        QList<QStringList> rows;
        for (const QString& line : QString::fromUtf8(table).split(QLatin1Char('\n'), Qt::SkipEmptyParts)) {
            rows.append(line.split(QStringLiteral(" => ")));
        }
        return rows;
    }

    QString iniPath() const { return m_home->file(QStringLiteral("VornReader.ini")); }

    // The rows of a statement with bound values, each as its columns joined by "|".
    QStringList sql(const QString& statement, const QVariantList& values = {}) const {
        return Fixtures::rows(m_window->session().database(), statement, values);
    }

    int seqCount() const { return m_window->sequenceList().rowCount(); }
    qint64 keyAt(int row) const { return m_window->sequenceList().model()->sequenceAt(row); }
    QList<qint64> listedKeys() const {
        QList<qint64> keys;
        for (int r = 0; r < seqCount(); ++r) {
            keys.append(keyAt(r));
        }
        return keys;
    }
    // The stored calls of a sequence as "<number>. <call>", and the call grid's rows as they show.
    QStringList storedCalls(qint64 sequence) const {
        return sql(
            QStringLiteral("SELECT Number || '. ' || ifnull(Call, '') FROM tblCall WHERE Sequence = ? ORDER BY Number"),
            {sequence});
    }
    QStringList shownCalls() const {
        QStringList calls;
        const QAbstractItemModel* model = m_window->callList().grid()->model();
        for (int r = 0; r < model->rowCount(); ++r) {
            calls.append(model->index(r, 0).data().toString() + model->index(r, 1).data().toString());
        }
        return calls;
    }
    // Selects the list rows first..last, first current; their keys.
    QList<qint64> selectRows(int first, int last) {
        SequenceListModel* model = m_window->sequenceList().model();
        m_window->sequenceList().setCurrentRow(first);
        m_window->sequenceList().view()->selectionModel()->select(
            QItemSelection(model->index(first, 0), model->index(last, 0)),
            QItemSelectionModel::ClearAndSelect | QItemSelectionModel::Rows);
        return m_window->sequenceList().selectedSequences();
    }
    static bool focus(QWidget* widget) {
        widget->setFocus();
        return QTest::qWaitFor([widget] { return widget->hasFocus(); });
    }
    // Files dropped on the receiver as a drag drops them: the widget that accepts the entering drag
    // receives the drop. Whether it accepted.
    static bool drop(QWidget* receiver, const QList<QUrl>& urls) {
        QMimeData data;
        data.setUrls(urls);
        QDragEnterEvent enter(QPoint(5, 5), Qt::CopyAction, &data, Qt::LeftButton, Qt::NoModifier);
        QApplication::sendEvent(receiver, &enter);
        QDropEvent event(QPointF(5, 5), Qt::CopyAction, &data, Qt::LeftButton, Qt::NoModifier);
        QApplication::sendEvent(receiver, &event);
        return enter.isAccepted();
    }

    // Steps of a table row, joined by "; ":
    //   start SOURCES (joined by '+')   ini KEY=VALUE   mdb KEY=VALUE   slot N=PATH   recent N   lib NAME
    //   at ROW.CALL   sel FIRST-LAST   WIDGET:KEYS (WIDGET a grid, "win" or "focus"; KEYS "wheel+",
    //   "wheel-", "held-" or a key sequence)   mnu<Name>   open NAME   read FILE   drop WIDGET FILE,...
    //   edit GRID ROW COLUMN TEXT   histrow N   paste   drag   replace   replaceall   set HexSwitch
    //   assign RECORD=KEYS   state ROWS=STATE   rm   closewin
    // and probes ("?..."), whose answers make the row's outcome with what the window shows. Paths
    // starting "~/" are in the test's home, and the home shows as "~" in answers.
    QStringList m_seen;
    QList<QStringList> m_mdbKeys;

    QString home(QString text) const { return text.replace(m_home->path(), QStringLiteral("~")); }
    QString path(const QString& name) const {
        return name.startsWith(QLatin1String("~/")) ? m_home->file(name.mid(2)) : name;
    }
    QString label(const QString& name) const { return m_window->findChild<QLabel*>(name)->text(); }
    QString ini(const QString& section, const char* key) const {
        return modSystem::GetIniString(section, QLatin1String(key), iniPath(), {});
    }
    QList<QAction*> allActions() const {
        QList<QAction*> actions = m_window->findChildren<QAction*>();
        for (QMenu* popup :
             {m_window->menus().sequencePopup, m_window->menus().historyPopup, m_window->menus().callEditPopup}) {
            actions += popup->actions();
        }
        return actions;
    }
    QWidget* list() const { return m_window->sequenceList().view(); }

    // Enter on a cell, the text typed over it and Enter, as a caller edits in place.
    static void editCell(GridView* view, int row, int column, const QString& text) {
        QVERIFY(focus(view));
        view->setCurrentIndex(view->model()->index(row, column));
        QTest::keyClick(view, Qt::Key_Return);
        if (auto* editor = qobject_cast<QLineEdit*>(QApplication::focusWidget());
            editor && view->isAncestorOf(editor)) {
            QTest::keyClick(editor, Qt::Key_A, Qt::ControlModifier);
            QTest::keyClicks(editor, text);
            QCOMPARE(editor->text(), text);
            QTest::keyClick(editor, Qt::Key_Return);
            QTRY_VERIFY(!view->isEditing());
        }
    }
    void keys(const QString& target, const QString& keys) {
        QWidget* widget = target == QLatin1String("focus") ? QApplication::focusWidget()
                          : target == QLatin1String("win") ? m_window.get()
                                                           : m_window->findChild<QWidget*>(target);
        QVERIFY2(widget, qPrintable(target));
        if (target != QLatin1String("focus") && target != QLatin1String("win")) {
            QVERIFY(focus(widget));
        }
        if (keys.startsWith(QLatin1String("wheel")) || keys.startsWith(QLatin1String("held"))) {
            auto* view = qobject_cast<QAbstractItemView*>(widget);
            QWidget* viewport = view->viewport();
            const bool held = keys.startsWith(QLatin1String("held"));
            if (held) {
                QTest::mousePress(viewport, Qt::LeftButton, {}, view->visualRect(view->currentIndex()).center());
            }
            const QPoint at = viewport->rect().center();
            QWheelEvent event(at, viewport->mapToGlobal(at), QPoint(), QPoint(0, keys.endsWith('+') ? 120 : -120),
                              held ? Qt::LeftButton : Qt::NoButton, Qt::NoModifier, Qt::NoScrollPhase, false);
            QApplication::sendEvent(viewport, &event);
            if (held) {
                QTest::mouseRelease(viewport, Qt::LeftButton);
            }
            return;
        }
        const QKeyCombination key = QKeySequence::fromString(keys)[0];
        if (target == QLatin1String("win")) {
            QTest::keyClick(m_window->windowHandle(), key.key(), key.keyboardModifiers());
        } else {
            QTest::keyClick(widget, key.key(), key.keyboardModifiers());
            // QTest's own Shift release still reports Shift held; a plain one ends it for the steps after.
            QTest::keyRelease(widget, Qt::Key_Shift);
        }
    }

    void act(const QString& step) {
        const QString verb = step.section(QLatin1Char(' '), 0, 0);
        const QString arg = step.section(QLatin1Char(' '), 1);
        const QString name = arg.section(QLatin1Char('='), 0, 0);
        const QString value = arg.section(QLatin1Char('='), 1);
        if (verb.startsWith(QLatin1Char('?'))) {
            m_seen.append(home(probe(verb.mid(1), arg)));
        } else if (verb == QLatin1String("start")) {
            QVERIFY(start(arg.isEmpty() ? QStringList() : arg.split(QLatin1Char('+')), [this](Database& db) {
                for (const QStringList& key : std::as_const(m_mdbKeys)) {
                    modDataBase::WriteINIMdbString(db, key[0], key[1]);
                }
            }));
        } else if (verb == QLatin1String("ini")) {
            modSystem::WriteIniValue(QStringLiteral("VornReader"), name, value, iniPath());
        } else if (verb == QLatin1String("mdb")) {
            m_mdbKeys.append({name, value});
        } else if (verb == QLatin1String("slot")) {
            modSystem::WriteIniValue(QStringLiteral("Setting"), QStringLiteral("FuncFile%1").arg(name.toInt() + 1),
                                     path(value), iniPath());
        } else if (verb == QLatin1String("recent")) {
            act(QStringLiteral("ini RecentFileCnt=35"));
            for (int i = 1; i <= arg.toInt(); ++i) {
                act(QStringLiteral("ini RecentFile%1=/lib/%1.mdb").arg(i));
            }
        } else if (verb == QLatin1String("lib")) {
            createLibrary(arg, {"linux.C1"});
        } else if (verb == QLatin1String("at")) {
            const int row = arg.section('.', 0, 0).toInt();
            const int call = arg.section('.', 1).toInt();
            m_window->sequenceList().setCurrentRow(row < 0 ? seqCount() + row : row);
            m_window->callList().setCurrentRow(call < 0 ? m_window->callList().rowCount() + call : call);
        } else if (verb == QLatin1String("sel")) {
            selectRows(arg.section('-', 0, 0).toInt(), arg.section('-', 1).toInt());
            QVERIFY(focus(list()));
        } else if (verb.contains(QLatin1Char(':'))) {
            keys(verb.section(':', 0, 0), step.section(':', 1));
        } else if (verb.startsWith(QLatin1String("mnu"))) {
            const QList<QAction*> actions = allActions();
            const auto found =
                std::find_if(actions.begin(), actions.end(), [&](const QAction* a) { return a->objectName() == verb; });
            QVERIFY2(found != actions.end(), qPrintable(verb));
            (*found)->trigger();
        } else if (verb == QLatin1String("open")) {
            m_dialogs->fileToOpen = m_home->file(QStringLiteral("lib/") + arg);
        } else if (verb == QLatin1String("read")) {
            m_dialogs->filesToOpen = {Fixtures::dataFile(arg)};
            m_window->menus().fileRead->trigger();
        } else if (verb == QLatin1String("drop")) {
            QList<QUrl> urls;
            for (const QString& file : arg.section(' ', 1).split(',')) {
                QString dropped = m_home->file(file);
                if (file.endsWith(QLatin1String(".MDB"))) {
                    dropped = createLibrary(file, {"linux.C1"});
                } else if (file.startsWith(QLatin1String("gen"))) {
                    act(QStringLiteral("gen ") + file.mid(3));
                    dropped = m_home->file(QStringLiteral("lib/more.Plus"));
                } else {
                    // A copy, so that the reader may move it.
                    QVERIFY(QFile::copy(Fixtures::dataFile(file), dropped));
                }
                urls.append(QUrl::fromLocalFile(dropped));
            }
            auto* view = m_window->findChild<QAbstractItemView*>(arg.section(' ', 0, 0));
            QVERIFY(drop(view ? view->viewport() : m_window.get(), urls));
        } else if (verb == QLatin1String("edit")) {
            editCell(m_window->findChild<GridView*>(arg.section(' ', 0, 0)), arg.section(' ', 1, 1).toInt(),
                     arg.section(' ', 2, 2).toInt(), arg.section(' ', 3));
        } else if (verb == QLatin1String("histrow")) {
            m_window->callList().historyGrid()->selectRow(arg.toInt());
        } else if (verb == QLatin1String("paste")) {
            QGuiApplication::clipboard()->setText(Fixtures::generatorText(2, 3, QStringLiteral("Plus"), 900));
            QTest::keyClick(m_window->windowHandle(), Qt::Key_V, Qt::ControlModifier);
        } else if (verb == QLatin1String("drag")) {
            SequenceListModel* model = m_window->sequenceList().model();
            std::unique_ptr<QMimeData> own(model->mimeData({model->index(0, 0)}));
            model->dropMimeData(own.get(), Qt::MoveAction, 3, 0, {});
        } else if (verb == QLatin1String("replace")) {
            // The first press finds the match, the second replaces it.
            for (int press = 0; press < 2; ++press) {
                m_window->searchCommands().SearchWord(true, QStringLiteral("swing"), QStringLiteral("spin"), 1, 0);
            }
        } else if (verb == QLatin1String("replaceall")) {
            m_window->searchCommands().ReplaceWordAll(QStringLiteral("swing"), QStringLiteral("spin"), 1);
        } else if (verb == QLatin1String("set")) {
            settings().HexSwitch = true;
        } else if (verb == QLatin1String("assign")) {
            KeyAssignment& key = settings().keyTable[name.toInt()];
            key.Text = value;
            key.Count = modGeneral::KeyCodeConvert(value, key.Codes);
        } else if (verb == QLatin1String("state")) {
            QList<int> rows;
            for (const QString& row : name.split(',')) {
                rows.append(row.toInt());
            }
            m_window->sequenceList().model()->setProperties(rows, value.toInt());
        } else if (verb == QLatin1String("plant")) {
            const QStringList planted{"Zebra left", "zebra right", "ZEBRA home"};
            for (int i = 0; i < 3; ++i) {
                sql(QStringLiteral("UPDATE tblCall SET Call = ? WHERE Sequence = ? AND Number = ?"),
                    {planted[i], keyAt(1 + 2 * i), 2 + i});
            }
        } else if (verb == QLatin1String("find")) {
            m_window->menus().editSearch->trigger();
            QTRY_VERIFY(m_window->searchCommands().dialog()->isVisible());
            m_window->searchCommands().dialog()->findChild<QLineEdit*>(QStringLiteral("txtSearchWord"))->setText(arg);
        } else if (verb == QLatin1String("next")) {
            QTest::mouseClick(
                m_window->searchCommands().dialog()->findChild<QPushButton*>(QStringLiteral("cmdSearchNext")),
                Qt::LeftButton);
        } else if (verb == QLatin1String("gen")) {
            Fixtures::writeFile(m_home->file(QStringLiteral("lib/more.Plus")),
                                Fixtures::generatorText(arg.toInt(), 4, QStringLiteral("Plus"), 100).toUtf8());
        } else if (verb == QLatin1String("rm")) {
            QVERIFY(QFile::remove(m_library));
        } else if (verb == QLatin1String("closewin")) {
            QVERIFY(m_window->close());
        } else {
            QFAIL(qPrintable(QStringLiteral("no step ") + step));
        }
    }

    QString probe(const QString& what, const QString& arg) {
        const MainMenus& menus = m_window->menus();
        QStringList parts;
        if (what == QLatin1String("sql") || what == QLatin1String("states") || what == QLatin1String("counts") ||
            what == QLatin1String("calls")) {
            const QHash<QString, QString> named{
                {"states", "SELECT Property FROM tblSequence ORDER BY Sequence"},
                {"counts", "SELECT count(*) FROM tblSequence UNION ALL SELECT count(*) FROM tblCall UNION ALL "
                           "SELECT count(*) FROM tblHistory"},
                {"calls", "SELECT Number || ':' || ifnull(Call, '') FROM tblCall WHERE Sequence = 1 ORDER BY Number"}};
            return sql(named.value(what, arg)).join(QLatin1Char(','));
        }
        // The visible items of a menu's list, by their text (levels: number and * when checked).
        const bool levels = what == QLatin1String("levels");
        const QList<QAction*> items = levels                            ? menus.viewLevels
                                      : what == QLatin1String("recent") ? menus.recentFiles
                                                                        : menus.switchFuncs;
        for (QAction* item : items) {
            if (item->isVisible()) {
                parts.append(levels ? QString::number(items.indexOf(item)) + (item->isChecked() ? "*" : "")
                                    : item->text());
            }
        }
        if (levels) {
            return label("lblLevel") + QLatin1Char(':') + parts.join(QLatin1Char(','));
        }
        if (what == QLatin1String("recent")) {
            return arg.isEmpty() ? parts.join(QLatin1Char(',')) : parts.value(arg.toInt());
        }
        if (what == QLatin1String("switch")) {
            const auto* hint = m_window->findChild<QAction*>(QStringLiteral("mnuDBSwitchNone"));
            return hint->isVisible() && !hint->isEnabled() ? QStringLiteral("hint ") + hint->text()
                                                           : parts.join(QLatin1Char(','));
        }
        if (what == QLatin1String("fig")) {
            const auto* view =
                m_window->findChild<FigureView*>(arg == QLatin1String("after") ? "picAfterFig" : "picBeforeFig");
            const QString figure2 = sql(QStringLiteral("SELECT Figure FROM tblCall WHERE Sequence = ? AND Number = 2"),
                                        {m_window->state().currentSequence})
                                        .value(0);
            const QString shown = view->isEmpty()                                       ? QStringLiteral("none")
                                  : view->figureText() == modPrint::squaredSetText()    ? QStringLiteral("set")
                                  : view->figureText() == figure2 && !figure2.isEmpty() ? QStringLiteral("fig2")
                                                                                        : view->figureText();
            const bool hexGrid = m_window->findChild<QWidget*>(QStringLiteral("grdHexInfo(0)"))->isVisible();
            return QLatin1String(settings().HexMode ? "H" : "") + QLatin1String(hexGrid ? "V" : "") + shown;
        }
        if (what == QLatin1String("msg")) {
            return (m_dialogs->exclamations + m_dialogs->informations).join(QLatin1Char(','));
        }
        if (what == QLatin1String("asked")) {
            for (const QStringList& request : m_dialogs->openRequests) {
                parts.append(request.value(1));
            }
            return parts.join(QLatin1Char(','));
        }
        if (what == QLatin1String("ini")) {
            // The library the next start opens, and the window's size in twips when it was written.
            const double perPixel = qobject_cast<SplitLayout*>(m_window->centralWidget())->twipsPerPixel();
            const bool sized =
                ini(QStringLiteral("frmVornReader"), "FormWidth").toInt() == qRound(m_window->width() * perPixel) &&
                ini(QStringLiteral("frmVornReader"), "FormHeight").toInt() == qRound(m_window->height() * perPixel);
            return QStringLiteral("[%1]%2").arg(ini(QStringLiteral("VornReader"), "MdbFile"),
                                                sized ? QStringLiteral(" sized") : QString());
        }
        if (what == QLatin1String("at")) {
            return view().section(QLatin1Char('/'), 0, 0);
        }
        if (what == QLatin1String("search")) {
            return QLatin1String(m_window->searchCommands().dialog()->isVisible() ? "shown" : "hidden");
        }
        if (what == QLatin1String("setting")) {
            return QString::number(arg == QLatin1String("TipTime") ? settings().TipTime
                                                                   : settings().pageSetup.MarginLeft);
        }
        if (what == QLatin1String("inikey")) {
            return ini(QStringLiteral("VornReader"), qPrintable(arg));
        }
        if (what == QLatin1String("preview")) {
            const frmPreview* preview = m_window->printCommands().preview();
            return QString::number(preview->pages().size()) +
                   (preview->isVisible() ? " pages, shown" : " pages, hidden");
        }
        if (what == QLatin1String("title")) {
            return m_window->windowTitle();
        }
        return QStringLiteral("no probe ") + what;
    }

    // What the window shows: list row, call row, rows listed and the caption up to its folder; the
    // calls, date, note and position panel must show the listed sequence.
    QString view() {
        const qint64 key = m_window->sequenceList().currentSequence();
        const int row = m_window->sequenceList().currentRow();
        const int call = m_window->callList().currentRow();
        [&] {
            QCOMPARE(m_window->state().currentSequence, key);
            if (m_window->session().isOpen() && key != 0) {
                QCOMPARE(shownCalls(), storedCalls(key));
                QCOMPARE(label("lblDate") + '|' + label("stbCallNote(1)") + '|' + label("stbCallNote(2)"),
                         sql(QStringLiteral("SELECT Date, REPLACE(tblCall.Note, char(13, 10), ' '), ? FROM tblSequence "
                                            "JOIN tblCall USING (Sequence) WHERE Sequence = ? AND Number = ?"),
                             {QStringLiteral("%1 / %2").arg(row + 1).arg(seqCount()), key, call + 1})
                             .value(0));
            }
        }();
        return QStringLiteral("%1.%2/%3 %4")
            .arg(row)
            .arg(call)
            .arg(seqCount())
            .arg(m_window->windowTitle().section(QStringLiteral(" ("), 0, 0));
    }
    QString run(const QString& steps) {
        m_seen.clear();
        m_mdbKeys.clear();
        // The answers of the fake dialogs to the commands that ask.
        m_dialogs->level = QStringLiteral("C1");
        m_dialogs->historyEntry = HistoryEntryText{QStringLiteral("2026/12/06"), QStringLiteral("O'Brien")};
        m_dialogs->historyToDelete = QStringLiteral("2026/01/02|Club 1");
        m_dialogs->formationAnswer = FormationText{QStringLiteral(" 1B^"), QStringLiteral("n"), QStringLiteral("2")};
        for (const QString& step : steps.split(QStringLiteral("; "), Qt::SkipEmptyParts)) {
            act(step);
            if (QTest::currentTestFailed()) {
                return QStringLiteral("failed at ") + step;
            }
        }
        return (m_seen + QStringList{m_window ? view() : QString()}).join(QStringLiteral(" | "));
    }

    std::unique_ptr<TestHome> m_home;
    std::unique_ptr<RecordingErrorBox> m_errors;
    std::unique_ptr<FakeDialogs> m_dialogs;
    std::unique_ptr<frmVornReader> m_window;
    QString m_library;
    // The window shows its real dialogs instead of asking the fake ones.
    bool m_realDialogs = false;

private Q_SLOTS:
    void init() {
        m_home = std::make_unique<TestHome>();
        HomeSeeder::SeedApplicationHome();
        settings() = Settings();
        m_errors = std::make_unique<RecordingErrorBox>();
        m_dialogs = std::make_unique<FakeDialogs>();
        m_library.clear();
        m_realDialogs = false;
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
};
