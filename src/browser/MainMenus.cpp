#include "MainMenus.h"

#include "StateIcons.h"
#include "modGeneral.h"

#include <QActionGroup>
#include <QMenu>
#include <QMenuBar>
#include <QRegularExpression>
#include <utility>

MainMenus::MainMenus(QMenuBar* bar, QObject* parent) : QObject(parent) {
    QMenu* file = menu(bar, "mnuFile", 10100);
    fileMenu = file;
    fileNew = action(file, "mnuFileMdbNew", 10101);
    fileOpen = action(file, "mnuFileMdbOpen", 10102);
    fileClose = action(file, "mnuFileMdbClose", 10103);
    file->addSeparator();
    fileRead = action(file, "mnuFileSeqRead", 10104);
    file->addSeparator();
    fileExport = action(file, "mnuFileExport", 10105);
    file->addSeparator();
    filePrintSet = action(file, "mnuFilePrintSet", 10106);
    filePrint = action(file, "mnuFilePrint", 10107);
    filePrintPreview = action(file, "mnuFilePrintPreview", 10108);
    fileExcelOut = action(file, "mnuFileExcelOut", 10110);
    file->addSeparator();
    for (int i = 0; i < RecentItems; ++i) {
        QAction* item = file->addAction(QString());
        item->setObjectName(QStringLiteral("mnuRecentFile(%1)").arg(i));
        item->setVisible(false);
        recentFiles.append(item);
    }
    recentSeparator = file->addSeparator();
    recentSeparator->setVisible(false);
    fileExit = action(file, "mnuFileExit", 10109);

    QMenu* edit = menu(bar, "mnuEdit", 10500);
    editUndo = action(edit, "mnuEditUndo", 10508);
    editRedo = action(edit, "mnuEditRedo", 10509);
    edit->addSeparator();
    editCut = action(edit, "mnuEditCut", 10501);
    editCopy = action(edit, "mnuEditCopy", 10502);
    editPaste = action(edit, "mnuEditPaste", 10503);
    edit->addSeparator();
    editSearch = action(edit, "mnuEditSearch", 10504);
    editReplace = action(edit, "mnuEditReplace", 10505);

    QMenu* databases = menu(bar, "mnuDBSwitch", 10120);
    for (int i = 0; i < SwitchItems; ++i) {
        QAction* item = databases->addAction(QString());
        item->setObjectName(QStringLiteral("mnuDBSwitchFunc(%1)").arg(i));
        switchFuncs.append(item);
    }

    QMenu* view = menu(bar, "mnuView", 10200);
    const QStringList captions = modGeneral::LevelMenuCaptions();
    // One level is shown at a time: the items are radio items.
    auto* levels = new QActionGroup(this);
    levels->setExclusionPolicy(QActionGroup::ExclusionPolicy::ExclusiveOptional);
    for (int i = 0; i < LevelItems; ++i) {
        QAction* item = view->addAction(captions.value(i));
        item->setObjectName(QStringLiteral("mnuViewLevel(%1)").arg(i));
        item->setCheckable(true);
        item->setActionGroup(levels);
        item->setVisible(false);
        viewLevels.append(item);
    }
    view->addSeparator();
    viewNotCalledFor = action(view, "mnuViewNotCalledFor", 10202);
    // Checked while the filter is on; choosing it then clears the filter.
    viewNotCalledFor->setCheckable(true);
    viewHistory = action(view, "mnuViewHistory", 10203);

    QMenu* setting = menu(bar, "mnuSetting", 10300);
    settingOptions = action(setting, "mnuSettingOptions", 10301);

    QMenu* help = menu(bar, "mnuHelp", 10400);
    helpIndex = action(help, "mnuHelpIndex", 10401);
    help->addSeparator();
    helpVersion = action(help, "mnuHelpVersion", 10402);

    sequencePopup = new QMenu;
    sequencePopup->setObjectName(QStringLiteral("mnuSequencePopup"));
    sequenceAddHist = action(sequencePopup, "mnuSequenceAddHist", 10901);
    sequenceDelHist = action(sequencePopup, "mnuSequenceDelHist", 10902);
    sequencePopup->addSeparator();
    for (int i = 0; i < StateItems; ++i) {
        QAction* item = sequencePopup->addAction(QString());
        item->setObjectName(QStringLiteral("mnuSequenceState(%1)").arg(i));
        // The icon the list shows for the state, so the menu teaches it.
        item->setIcon(StateIcons::icon(i));
        sequenceStates.append(item);
    }
    sequencePopup->addSeparator();
    sequenceChangeLevel = action(sequencePopup, "mnuSequenceChangeLevel", 10932);
    sequencePopup->addSeparator();
    sequenceDelete = action(sequencePopup, "mnuSequenceDelete", 10931);

    historyPopup = new QMenu;
    historyPopup->setObjectName(QStringLiteral("mnuHistoryPopup"));
    historyDelete = action(historyPopup, "mnuHistoryDelete", 10941);

    callEditPopup = new QMenu;
    callEditPopup->setObjectName(QStringLiteral("mnuCallEditPopup"));
    callEditInsert = action(callEditPopup, "mnuCallEditInsert", 10911);
    callEditAdd = action(callEditPopup, "mnuCallEditAdd", 10912);
    callEditPopup->addSeparator();
    callEditDelete = action(callEditPopup, "mnuCallEditDelete", 10913);
    callEditPopup->addSeparator();
    callEditFormation = action(callEditPopup, "mnuCallEditFormation", 10921);

    // The shortcuts every desktop program has, where no key of the caller's own stands in the way.
    const QList<std::pair<QAction*, const char*>> shortcuts{
        {fileNew, "Ctrl+N"},   {fileOpen, "Ctrl+O"},   {fileClose, "Ctrl+W"},
        {fileExit, "Ctrl+Q"},  {editCut, "Ctrl+X"},    {editCopy, "Ctrl+C"},
        {editPaste, "Ctrl+V"}, {editSearch, "Ctrl+F"}, {editReplace, "Ctrl+H"}};
    for (const auto& [item, keys] : shortcuts) {
        item->setShortcut(QKeySequence(QLatin1String(keys)));
    }
    editUndo->setShortcut(QKeySequence(QStringLiteral("Ctrl+Z")));
    editRedo->setShortcuts({QKeySequence(QStringLiteral("Ctrl+Shift+Z")), QKeySequence(QStringLiteral("Ctrl+Y"))});

    for (QMenu* popup : {sequencePopup, historyPopup, callEditPopup}) {
        connect(this, &QObject::destroyed, popup, &QObject::deleteLater);
    }
}

QString MainMenus::plainCaption(const QAction* item) {
    static const QRegularExpression accessKey(QStringLiteral("\\(&.\\)|&|\\.\\.\\.$|\t.*$"));
    return QString(item->text()).remove(accessKey).trimmed();
}

QAction* MainMenus::action(QMenu* parentMenu, const char* name, int key) {
    QAction* item = parentMenu->addAction(QString());
    item->setObjectName(QLatin1String(name));
    m_captions.append({item, key});
    return item;
}

QMenu* MainMenus::menu(QMenuBar* bar, const char* name, int key) {
    QMenu* result = bar->addMenu(QString());
    result->setObjectName(QLatin1String(name));
    m_captions.append({result->menuAction(), key});
    return result;
}

void MainMenus::setCaptions() {
    for (const Caption& caption : std::as_const(m_captions)) {
        static_cast<QAction*>(caption.item)->setText(modGeneral::LoadTransString(caption.key));
    }
    viewLevels[15]->setText(modGeneral::LoadTransString(10201));
    // State names with their keys: 1 to 9, then Shift with 1 to 5.
    const QStringList states = modGeneral::LoadTransString(30302).split(QLatin1Char(','));
    for (int i = 0; i < states.size() && i < StateItems; ++i) {
        const QString hint = i < 9 ? QString::number(i + 1) : QStringLiteral("Shift+%1").arg(i - 8);
        sequenceStates[i]->setText(states[i] + QLatin1Char('\t') + hint);
    }
    sequenceDelete->setText(modGeneral::LoadTransString(10931) + QStringLiteral("\t0"));
}
