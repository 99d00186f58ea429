#pragma once

#include <QList>
#include <QObject>

class QAction;
class QMenu;
class QMenuBar;

// The menu bar and the pop-up menus of the main window. Every item carries its designed control
// name as objectName; captions come from the translation texts.
class MainMenus : public QObject {
    Q_OBJECT

public:
    static constexpr int LevelItems = 16;
    static constexpr int RecentItems = 20;
    static constexpr int StateItems = 14;
    static constexpr int SwitchItems = 27;

    MainMenus(QMenuBar* bar, QObject* parent);

    // Sets every caption from its translation key.
    void setCaptions();
    // A caption as words in a sentence: without its access key and trailing dots.
    static QString plainCaption(const QAction* item);

    QMenu* fileMenu = nullptr;
    QAction* fileNew = nullptr;
    QAction* fileOpen = nullptr;
    QAction* fileClose = nullptr;
    QAction* fileRead = nullptr;
    QAction* fileExport = nullptr;
    QAction* filePrintSet = nullptr;
    QAction* filePrint = nullptr;
    QAction* filePrintPreview = nullptr;
    QAction* fileExcelOut = nullptr;
    QAction* fileExit = nullptr;
    QAction* recentSeparator = nullptr;
    QList<QAction*> recentFiles;
    QAction* editUndo = nullptr;
    QAction* editRedo = nullptr;
    QAction* editCut = nullptr;
    QAction* editCopy = nullptr;
    QAction* editPaste = nullptr;
    QAction* editSearch = nullptr;
    QAction* editReplace = nullptr;
    QList<QAction*> switchFuncs;
    QList<QAction*> viewLevels;
    QAction* viewNotCalledFor = nullptr;
    QAction* viewHistory = nullptr;
    QAction* settingOptions = nullptr;
    QAction* helpIndex = nullptr;
    QAction* helpVersion = nullptr;

    QMenu* sequencePopup = nullptr;
    QAction* sequenceAddHist = nullptr;
    QAction* sequenceDelHist = nullptr;
    QList<QAction*> sequenceStates;
    QAction* sequenceChangeLevel = nullptr;
    QAction* sequenceDelete = nullptr;

    QMenu* historyPopup = nullptr;
    QAction* historyDelete = nullptr;

    QMenu* callEditPopup = nullptr;
    QAction* callEditInsert = nullptr;
    QAction* callEditAdd = nullptr;
    QAction* callEditDelete = nullptr;
    QAction* callEditFormation = nullptr;

private:
    struct Caption {
        QObject* item;
        int key;
    };
    QAction* action(QMenu* menu, const char* name, int key);
    QMenu* menu(QMenuBar* bar, const char* name, int key);

    QList<Caption> m_captions;
};
