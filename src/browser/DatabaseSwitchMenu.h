#pragma once

#include <QKeySequence>
#include <QList>
#include <QObject>

class LibraryCommands;
class QAction;
class QMenu;
struct Settings;

// The Database menu: the 27 database-switch items mnuDBSwitchFunc(0) ... (26) carry the paths of
// FuncFile as captions (file name first, then its folder) and the keys F1-F9, Shift+F1-F9 and
// Ctrl+F1-F9; an item or key opens its library with its key as switch label. Empty slots are
// hidden, and a disabled hint item stands in when all are. The keys do not act while a grid's cell
// editor is open.
class DatabaseSwitchMenu : public QObject {
    Q_OBJECT

public:
    DatabaseSwitchMenu(QMenu* menu, const QList<QAction*>& items, const Settings& settings, LibraryCommands& library,
                       QObject* parent = nullptr);

    // The key of slot index: "F1" ... "F9" for 0-8, "Shift+F1" ... for 9-17, "Ctrl+F1" ... for 18-26.
    static QString label(int index);
    static QKeySequence shortcut(int index);
    // The menu caption of a path: the file name, then the folder in brackets (shortened in the
    // middle when long); "&" shows as itself.
    static QString caption(const QString& path);

    // Captions and visibility from FuncFile; the hint item when every slot is empty.
    void updateCaptions();
    // Opens slot index's library; an empty slot does nothing.
    void openSwitchLibrary(int index);

    QAction* hintItem() const { return m_hint; }

protected:
    bool eventFilter(QObject* watched, QEvent* event) override;

private:
    QList<QAction*> m_items;
    const Settings& m_settings;
    LibraryCommands& m_library;
    QAction* m_hint = nullptr;
};
