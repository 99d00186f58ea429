#include "frmVornReader.h"

#include "AppHome.h"
#include "CallEditing.h"
#include "CallList.h"
#include "DatabaseSwitchMenu.h"
#include "DbError.h"
#include "ExportCommand.h"
#include "GridView.h"
#include "HistoryViews.h"
#include "IBrowserDialogs.h"
#include "KeyDispatch.h"
#include "LibraryCommands.h"
#include "LibraryOperations.h"
#include "LibrarySession.h"
#include "MainMenus.h"
#include "OptionsCommand.h"
#include "PlayerPanel.h"
#include "PrintCommands.h"
#include "ReadCommands.h"
#include "SearchCommands.h"
#include "SequenceCommands.h"
#include "SequenceList.h"
#include "SequenceListModel.h"
#include "SequenceSelection.h"
#include "Settings.h"
#include "SplitLayout.h"
#include "UndoHistory.h"
#include "VornVersion.h"
#include "modGeneral.h"
#include "modSetting.h"
#include "modSystem.h"

#include <QAction>
#include <QApplication>
#include <QCloseEvent>
#include <QCoreApplication>
#include <QDir>
#include <QDropEvent>
#include <QFileInfo>
#include <QLabel>
#include <QLibraryInfo>
#include <QMenu>
#include <QMenuBar>
#include <QMimeData>
#include <QScreen>
#include <QStandardPaths>
#include <QStatusBar>
#include <QTextBrowser>
#include <QTimer>
#include <QUndoStack>
#include <QVBoxLayout>
#include <QWindow>
#include <algorithm>
#include <cmath>

frmVornReader::frmVornReader(const QString& iniFile, IBrowserDialogs* dialogs)
    : m_settings(settings()), m_ownDialogs(dialogs ? nullptr : std::make_unique<WidgetDialogs>(this)),
      m_dialogs(dialogs ? dialogs : m_ownDialogs.get()) {
    setObjectName(QStringLiteral("frmVornReader"));
    if (!iniFile.isEmpty()) {
        m_settings.IniFile = iniFile;
    }
    m_session = std::make_unique<LibrarySession>(
        LibraryState{m_settings.MdbPath, m_settings.MdbFile, m_settings.RecentFile, m_settings.RecentFileCnt},
        static_cast<ILibraryHost&>(*this));
    m_library = std::make_unique<LibraryOperations>(m_session->database());
    m_undo = new UndoHistory(m_library->undo(), this);
    m_selection = new SequenceSelection(this);
    m_sequences = new SequenceList(m_settings, m_state, m_session->database(), *m_library, *m_selection, this);
    m_calls = new CallList(m_settings, m_state, *m_library, *m_selection, this);

    auto* left = new QWidget;
    left->setObjectName(QStringLiteral("picFrame1"));
    auto* leftLayout = new QVBoxLayout(left);
    leftLayout->setContentsMargins(0, 0, 0, 0);
    leftLayout->addWidget(m_sequences->view());
    m_split = new SplitLayout(left, m_calls->middlePane(), m_calls->rightPane(), this);
    setCentralWidget(m_split);
    statusBar()->setObjectName(QStringLiteral("stbCallNote"));
    statusBar()->addWidget(m_calls->notePanel(), 1);
    statusBar()->addPermanentWidget(m_calls->positionPanel());

    m_player = new PlayerPanel(m_settings, nullptr, nullptr, this);
    if (auto* header = m_calls->middlePane()->findChild<QWidget*>(QStringLiteral("picHeader"))) {
        header->layout()->addWidget(m_player->widget());
    }
    m_menus = new MainMenus(menuBar(), this);
    m_libraryCommands = new LibraryCommands(m_settings, *m_session, *m_dialogs, *m_menus, this);
    m_keys = new KeyDispatch(this, m_settings, m_state, *m_sequences, *m_calls, this);
    m_commands = new SequenceCommands(
        m_settings, m_state, *m_library, *m_sequences, *m_calls, *m_dialogs,
        [this] {
            VisibleLevel();
            CreateList();
        },
        this);
    m_callEditing = new CallEditing(m_settings, m_state, *m_library, *m_selection, *m_calls, *m_dialogs, this);
    m_search = new SearchCommands(m_settings, m_state, *m_library, *m_sequences, *m_calls, *m_dialogs, this, this);
    m_options = new OptionsCommand(m_settings, this, this);
    m_switchMenu = new DatabaseSwitchMenu(menuBar()->findChild<QMenu*>(QStringLiteral("mnuDBSwitch")),
                                          m_menus->switchFuncs, m_settings, *m_libraryCommands, this);
    m_print = new PrintCommands(m_settings, m_session->database(), *m_sequences, *m_dialogs, *m_menus, this);
    m_reads = new ReadCommands(
        m_settings, *m_libraryCommands, *m_library, *m_sequences, *m_dialogs,
        [this] {
            VisibleLevel();
            CreateList();
        },
        this);
    m_export = new ExportCommand(m_settings, *m_libraryCommands, *m_dialogs, this, this);
    m_historyViews = new HistoryViews(
        m_settings, m_session->database(), *m_dialogs, *m_menus, statusBar(),
        [this] {
            // The search steps through the listed sequences only.
            m_search->reset();
            CreateList();
        },
        [this](const QStringList& header, const QList<QStringList>& rows) { m_print->writeTable(header, rows); }, this);
    for (QWidget* grid : {static_cast<QWidget*>(m_sequences->view()), static_cast<QWidget*>(m_calls->grid()),
                          static_cast<QWidget*>(m_calls->historyGrid())}) {
        grid->setAcceptDrops(true);
        static_cast<QAbstractItemView*>(grid)->viewport()->installEventFilter(this);
    }
    // Files dropped anywhere else on the window land here too.
    setAcceptDrops(true);
    installEventFilter(this);
    connectMenus();
    Form_Load();
}

frmVornReader::~frmVornReader() = default;

QString frmVornReader::iniFileFromArguments(const QStringList& words) {
    QString ini;
    for (qsizetype i = 0; i + 1 < words.size(); i += 2) {
        if (words[i].compare(QLatin1String("-ini"), Qt::CaseInsensitive) == 0) {
            ini = words[i + 1];
        }
    }
    return ini;
}

void frmVornReader::connectMenus() {
    connect(m_menus->fileRead, &QAction::triggered, m_reads, &ReadCommands::readSequenceFile);
    connect(m_menus->fileExit, &QAction::triggered, this, &QWidget::close);
    connect(m_menus->editPaste, &QAction::triggered, m_reads, &ReadCommands::pasteSequences);
    connect(m_menus->editUndo, &QAction::triggered, m_undo, &UndoHistory::undo);
    connect(m_menus->editRedo, &QAction::triggered, m_undo, &UndoHistory::redo);
    connect(m_undo->stack(), &QUndoStack::indexChanged, this, &frmVornReader::updateUndoCommands);
    connect(m_undo->stack(), &QUndoStack::cleanChanged, this, &frmVornReader::updateUndoCommands);
    connect(m_undo, &UndoHistory::restored, this, &frmVornReader::showRestored);
    connect(m_menus->helpIndex, &QAction::triggered, this, &frmVornReader::mnuHelpIndex_Click);
    connect(m_menus->helpVersion, &QAction::triggered, this, &frmVornReader::mnuHelpVersion_Click);
    for (int i = 0; i < MainMenus::LevelItems; ++i) {
        connect(m_menus->viewLevels[i], &QAction::triggered, this, [this, i] { mnuViewLevel_Click(i); });
    }
    SequenceCommands* commands = m_commands;
    connect(m_menus->editCopy, &QAction::triggered, commands, &SequenceCommands::copySequences);
    connect(m_menus->editCut, &QAction::triggered, commands, &SequenceCommands::cutSequences);
    connect(m_menus->sequenceAddHist, &QAction::triggered, commands, &SequenceCommands::addHistory);
    connect(m_menus->sequenceDelHist, &QAction::triggered, commands, &SequenceCommands::deleteHistoryDate);
    connect(m_menus->sequenceChangeLevel, &QAction::triggered, commands, &SequenceCommands::changeLevel);
    connect(m_menus->sequenceDelete, &QAction::triggered, commands, &SequenceCommands::deleteSequences);
    connect(m_menus->historyDelete, &QAction::triggered, commands, &SequenceCommands::deleteHistoryRows);
    for (int i = 0; i < MainMenus::StateItems; ++i) {
        connect(m_menus->sequenceStates[i], &QAction::triggered, commands,
                [commands, i] { commands->setSequenceState(i); });
    }
    // The keys run the menu items, so that a key can do no more than its item: nothing while the
    // item is disabled (no library, an empty list, a read-only library).
    m_keys->onStateKey = [this](int index) { m_menus->sequenceStates[index]->trigger(); };
    m_keys->onDeleteKey = [this] { m_menus->sequenceDelete->trigger(); };
    m_keys->onAddHistory = [this] { m_menus->sequenceAddHist->trigger(); };
    m_keys->onPlayerCommand = [this](quint32 command) { m_player->SendVornMP(command); };
    m_keys->onTipTimerSwitch = [this] { m_player->switchTipTimerEverywhere(); };
    CallEditing* editing = m_callEditing;
    connect(m_menus->callEditInsert, &QAction::triggered, editing, &CallEditing::insertCallAtCurrent);
    connect(m_menus->callEditAdd, &QAction::triggered, editing, &CallEditing::addCallAfterCurrent);
    connect(m_menus->callEditDelete, &QAction::triggered, editing, &CallEditing::deleteCurrentCall);
    connect(m_menus->callEditFormation, &QAction::triggered, editing, &CallEditing::editCurrentFormation);
    connect(m_menus->editSearch, &QAction::triggered, m_search, &SearchCommands::showSearch);
    connect(m_menus->editReplace, &QAction::triggered, m_search, &SearchCommands::showReplace);
    connect(m_calls, &CallList::historyMenuRequested, this,
            [this](const QPoint& at) { m_menus->historyPopup->popup(at); });
    connect(m_menus->fileExport, &QAction::triggered, m_export, &ExportCommand::exportLibrary);
    connect(m_menus->settingOptions, &QAction::triggered, m_options, &OptionsCommand::showOptions);
    connect(m_options, &OptionsCommand::switchFilesChanged, m_switchMenu, &DatabaseSwitchMenu::updateCaptions);
    connect(m_options, &OptionsCommand::tipSettingsChanged, m_player, &PlayerPanel::resetIfStopped);
    connect(m_options, &OptionsCommand::displaySettingsChanged, this, [this] {
        m_sequences->applySettings();
        m_calls->applySettings();
    });
    connect(m_options, &OptionsCommand::listOrderChanged, this, [this] {
        if (m_session->isOpen()) {
            CreateList();
        }
    });
    connect(m_sequences, &SequenceList::menuRequested, this,
            [this](const QPoint& at) { m_menus->sequencePopup->popup(at); });
    connect(m_calls, &CallList::callMenuRequested, this,
            [this](const QPoint& at) { m_menus->callEditPopup->popup(at); });
    connect(m_sequences, &SequenceList::filesDropped, m_reads, &ReadCommands::openDroppedFiles);
    connect(m_sequences, &SequenceList::callsFocusRequested, this, [this] { m_calls->grid()->setFocus(); });
    connect(m_calls, &CallList::sequencesFocusRequested, this, [this] { m_sequences->view()->setFocus(); });
    // Commands that need a listed sequence follow the list as it fills and empties.
    connect(m_selection, &SequenceSelection::cleared, this, &frmVornReader::updateLibraryCommands);
    connect(m_selection, &SequenceSelection::currentChanged, this, &frmVornReader::updateLibraryCommands);
    connect(m_sequences, &SequenceList::captionChanged, this, &frmVornReader::DispFormCaption);
    connect(m_calls, &CallList::captionChanged, this, &frmVornReader::DispFormCaption);
}

void frmVornReader::Form_Load() {
    m_activated = false;
    modSetting::ReadIniVornReader(m_settings);
    modGeneral::SetLanguage(m_settings.Language);
    modSystem::setErrorQuestion([] { return modGeneral::LoadTransString(40401); });
    installQtTranslation();
    applyGeometry();
    m_libraryCommands->UpdateRecentFileMenu();
    m_menus->setCaptions();
    m_switchMenu->updateCaptions();
    m_sequences->applySettings();
    m_calls->applySettings();
    m_calls->resetHeader();
    updateLibraryCommands();
    setWindowTitle(QStringLiteral("VornReader"));
}

void frmVornReader::installQtTranslation() {
    // Qt's own texts (the standard buttons OK, Cancel, Yes, No of every box and chooser) in the
    // program's language; English needs none.
    QCoreApplication::removeTranslator(&m_qtTranslator);
    if (m_settings.Language != QLatin1String("English") &&
        m_qtTranslator.load(QLocale(QLocale::Japanese), QStringLiteral("qtbase"), QStringLiteral("_"),
                            QLibraryInfo::path(QLibraryInfo::TranslationsPath))) {
        QCoreApplication::installTranslator(&m_qtTranslator);
    }
}

void frmVornReader::applyGeometry() {
    const double perPixel = m_split->twipsPerPixel();
    const auto px = [perPixel](int twips) { return static_cast<int>(std::lround(twips / perPixel)); };
    const FormGeometry& form = m_settings.mainForm;
    const QRect available = screen()->availableGeometry();
    QRect frame(px(form.FormLeft), px(form.FormTop), std::max(px(form.FormWidth), 400),
                std::max(px(form.FormHeight), 300));
    // A first start fills most of the screen; a window left on a screen that is gone comes back
    // to this one.
    const bool onSomeScreen =
        std::any_of(QGuiApplication::screens().cbegin(), QGuiApplication::screens().cend(),
                    [&frame](const QScreen* s) { return s->availableGeometry().intersects(frame); });
    if (!m_settings.mainFormSaved || !onSomeScreen) {
        frame.setSize(available.size() * 0.8);
        frame.moveCenter(available.center());
    }
    move(frame.topLeft());
    resize(frame.size());
    if (!m_settings.mainFormSaved) {
        // The panes share the first window as a caller reads them: list, calls (the widest),
        // figures and history.
        const int width = static_cast<int>(std::lround(frame.width() * perPixel));
        m_settings.SplitLeft1 = width * 22 / 100;
        m_settings.SplitLeft2 = width * 62 / 100;
    }
    m_split->setSplitLeft(0, m_settings.SplitLeft1);
    m_split->setSplitLeft(1, m_settings.SplitLeft2);
}

void frmVornReader::storeGeometry() {
    const double perPixel = m_split->twipsPerPixel();
    const auto twips = [perPixel](int pixels) { return static_cast<int>(std::lround(pixels * perPixel)); };
    const QRect frame = frameGeometry();
    m_settings.mainForm = {twips(frame.left()), twips(frame.top()), twips(width()), twips(height())};
    m_settings.SplitLeft1 = m_split->splitLeft(0);
    m_settings.SplitLeft2 = m_split->splitLeft(1);
}

void frmVornReader::showEvent(QShowEvent* event) {
    QMainWindow::showEvent(event);
    if (!m_activated) {
        QTimer::singleShot(0, this, &frmVornReader::Form_Activate);
    }
}

void frmVornReader::Form_Activate() {
    if (m_activated) {
        return;
    }
    m_activated = true;
    const QString path = m_settings.MdbPath + QLatin1Char('/') + m_settings.MdbFile;
    if (!m_settings.MdbFile.isEmpty() && QFileInfo(path).isFile()) {
        m_libraryCommands->OpenSequenceMdbFile(path, m_settings.FuncKey);
    }
}

void frmVornReader::closeEvent(QCloseEvent* event) {
    Form_QueryUnload();
    m_player->resetTipTimer();
    event->accept();
}

bool frmVornReader::Form_QueryUnload() {
    const QString path = m_settings.MdbPath + QLatin1Char('/') + m_settings.MdbFile;
    const bool libraryThere = !m_settings.MdbFile.isEmpty() && QFileInfo(path).isFile();
    // After File > Close the settings are written too, so that the next start opens nothing.
    if (libraryThere || m_settings.MdbFile.isEmpty()) {
        const bool minimised = isMinimized();
        if (!minimised) {
            storeGeometry();
        }
        modSetting::WriteIniVornReader(m_settings, minimised);
        if (libraryThere) {
            m_session->CloseSequenceMdbFile();
        }
    }
    return true;
}

void frmVornReader::VisibleLevel() {
    QStringList present;
    if (m_session->isOpen()) {
        try {
            present = m_library->levels();
        } catch (const DbError& error) {
            modSystem::WriteErrorLog(QStringLiteral("frmVornReader.VisibleLevel"), error.info());
        }
    }
    m_menus->viewLevels[15]->setVisible(true);
    bool anyLevel = false;
    QString firstLevel;
    for (int i = 0; i <= 13; ++i) {
        QAction* item = m_menus->viewLevels[i];
        if (!present.contains(item->text())) {
            item->setVisible(false);
            if (item->text() == m_settings.ViewLevel) {
                m_settings.ViewLevel.clear();
            }
        } else {
            item->setVisible(true);
            anyLevel = true;
            if (firstLevel.isEmpty()) {
                firstLevel = item->text();
            }
        }
    }
    // Chosen after the whole menu was seen: a view level that no longer occurs gives way to the
    // first level in menu order that does, even when it stands before the vanished one.
    if (m_settings.ViewLevel.isEmpty()) {
        m_settings.ViewLevel = firstLevel;
    }
    m_menus->viewLevels[15]->setVisible(!anyLevel);
    m_menus->viewLevels[14]->setVisible(anyLevel);
}

void frmVornReader::mnuViewLevel_Click(int index) {
    m_settings.ViewLevel = m_menus->viewLevels[index]->text();
    CreateList();
}

void frmVornReader::CreateList() {
    if (!m_session->isOpen()) {
        m_sequences->clear();
        return;
    }
    for (int i = 0; i < MainMenus::LevelItems; ++i) {
        m_menus->viewLevels[i]->setChecked(false);
        if (m_menus->viewLevels[i]->text() == m_settings.ViewLevel) {
            m_state.levelIndex = i;
        }
    }
    if (m_state.levelIndex >= 0 && m_state.levelIndex < MainMenus::LevelItems) {
        m_menus->viewLevels[m_state.levelIndex]->setChecked(true);
    }
    m_sequences->CreateList(m_settings.ViewLevel, m_historyViews->listFilter());
    // The filter may have left the list empty; it stays on until cleared.
    updateLibraryCommands();
}

void frmVornReader::DispFormCaption() {
    setWindowTitle(m_session->isOpen() ? m_libraryCommands->caption(m_calls->levelCaption())
                                       : QStringLiteral("VornReader"));
}

void frmVornReader::updateLibraryCommands() {
    const bool open = m_session->isOpen();
    const bool writable = open && !m_session->isReadOnly();
    const bool listed = open && m_sequences->rowCount() > 0;
    const bool shown = listed && m_state.currentSequence != 0;
    // No editor opens and no change starts on a library that cannot take it.
    m_state.writable = writable;
    m_sequences->setWritable(writable);
    m_calls->setWritable(writable);
    const auto enable = [](const QList<QAction*>& actions, bool enabled) {
        for (QAction* action : actions) {
            action->setEnabled(enabled);
        }
    };
    enable({m_menus->fileClose}, open);
    enable({m_menus->fileRead, m_menus->editPaste}, writable);
    enable({m_menus->editCopy, m_menus->editSearch}, listed);
    enable({m_menus->editCut, m_menus->editReplace, m_menus->sequenceAddHist, m_menus->sequenceDelHist,
            m_menus->sequenceChangeLevel, m_menus->sequenceDelete},
           listed && writable);
    enable(m_menus->sequenceStates, listed && writable);
    enable({m_menus->historyDelete, m_menus->callEditInsert, m_menus->callEditAdd, m_menus->callEditDelete,
            m_menus->callEditFormation},
           shown && writable);
    updateUndoCommands();
    if (m_historyViews) {
        m_historyViews->update(open);
    }
    // Where the calls would stand, a caller without a library (or with an empty one) is told how
    // to get one, in the words of the menus as they are.
    const auto caption = &MainMenus::plainCaption;
    m_calls->setHint(
        listed || (open && m_settings.NotCalledFor)
            ? QString()
            : modGeneral::MessageFormat(
                  modGeneral::LoadTransString(
                      10210, QStringLiteral("%1 > %2 or %1 > %3 a library; %1 > %4 reads generator files")),
                  {caption(m_menus->fileMenu->menuAction()), caption(m_menus->fileNew), caption(m_menus->fileOpen),
                   caption(m_menus->fileRead)}));
}

void frmVornReader::updateUndoCommands() {
    const bool writable = m_session->isOpen() && !m_session->isReadOnly();
    m_menus->editUndo->setText(m_undo->undoCaption());
    m_menus->editRedo->setText(m_undo->redoCaption());
    m_menus->editUndo->setEnabled(writable && m_undo->stack()->canUndo());
    m_menus->editRedo->setEnabled(writable && m_undo->stack()->canRedo());
}

void frmVornReader::showRestored() {
    const qint64 shown = m_state.currentSequence;
    const int callRow = m_calls->currentRow();
    // The search steps through texts that may have changed.
    m_search->reset();
    VisibleLevel();
    CreateList();
    const int row = m_sequences->model()->rowOf(shown);
    if (row < 0) {
        return;
    }
    if (row != m_sequences->currentRow()) {
        m_state.pendingCallRow = callRow;
        m_sequences->setCurrentRow(row);
    } else {
        m_calls->CreateCallList(shown, callRow);
    }
}

void frmVornReader::mnuHelpIndex_Click() {
    if (m_settings.Language == QLatin1String("English")) {
        m_dialogs->information(QStringLiteral("Sorry, There is no help file yet."));
        return;
    }
    const QString help = AppHome::path() + QStringLiteral("/System/VornReader.html");
    if (!QFileInfo::exists(help)) {
        m_dialogs->exclamation(modGeneral::TransMessage(40101, {help}));
        return;
    }
    auto* window = findChild<QTextBrowser*>(QStringLiteral("frmHelp"));
    if (!window) {
        window = new QTextBrowser(this);
        window->setObjectName(QStringLiteral("frmHelp"));
        window->setWindowFlags(Qt::Window);
        window->setOpenExternalLinks(true);
        window->resize(640, 520);
    }
    window->setSource(QUrl::fromLocalFile(help));
    window->setWindowTitle(window->documentTitle());
    window->show();
    window->raise();
}

void frmVornReader::mnuHelpVersion_Click() {
    m_dialogs->about(modGeneral::LoadTransString(20100),
                     QStringLiteral("VornReader  ver %1").arg(QLatin1String(kVornVersion)));
}

bool frmVornReader::eventFilter(QObject* watched, QEvent* event) {
    if (event->type() == QEvent::DragEnter || event->type() == QEvent::DragMove) {
        auto* drag = static_cast<QDropEvent*>(event);
        if (drag->mimeData()->hasUrls()) {
            drag->setDropAction(Qt::CopyAction);
            drag->accept();
            return true;
        }
    } else if (event->type() == QEvent::Drop) {
        auto* drop = static_cast<QDropEvent*>(event);
        if (drop->mimeData()->hasUrls()) {
            QStringList files;
            for (const QUrl& url : drop->mimeData()->urls()) {
                if (url.isLocalFile()) {
                    files.append(url.toLocalFile());
                }
            }
            drop->acceptProposedAction();
            m_reads->openDroppedFiles(files);
            return true;
        }
    }
    return QMainWindow::eventFilter(watched, event);
}

// ILibraryHost

void frmVornReader::showMessage(int key, const QVariantList& arguments) {
    m_dialogs->exclamation(modGeneral::TransMessage(key, arguments));
}

std::optional<QString> frmVornReader::askAuthor(const QString& prompt) {
    return m_dialogs->inputText(prompt);
}

void frmVornReader::readLibrarySettings(Database& db) {
    modSetting::ReadIniMdbVornReader(m_settings, db, modGeneral::LevelMenuCaptions());
    m_state.levelIndex = -1;
    m_switchMenu->updateCaptions();
    m_sequences->applySettings();
    m_calls->applySettings();
}

void frmVornReader::writeLibrarySettings(Database* db) {
    // The changes of this library cannot be undone once it is closed.
    m_undo->clear();
    modSetting::WriteIniMdbVornReader(m_settings, db, modGeneral::LevelMenuCaptions());
}

void frmVornReader::libraryOpened() {
    m_undo->clear();
    m_player->libraryOpened();
    m_search->libraryOpened();
    updateLibraryCommands();
    VisibleLevel();
    CreateList();
}

void frmVornReader::libraryClosed() {
    m_search->closeDialog();
    m_sequences->clear();
    setWindowTitle(QStringLiteral("VornReader"));
    for (QAction* item : m_menus->viewLevels) {
        item->setVisible(false);
    }
    m_calls->resetHeader();
    m_player->clearTrackInfo();
    updateLibraryCommands();
}

void frmVornReader::recentFilesChanged() {
    m_libraryCommands->UpdateRecentFileMenu();
}
