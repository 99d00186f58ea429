#pragma once

#include "SequenceListQuery.h"

#include <QDate>
#include <QObject>
#include <functional>
#include <optional>

class Database;
class IBrowserDialogs;
class MainMenus;
class QStatusBar;
class QToolButton;
class QWidget;
class frmHistory;
struct Settings;

// What each club has heard: View > "Not called for..." filters the sequence list down to the
// sequences a party (or any party) has not heard within a number of weeks, the status bar says
// so while it is on and clears it on a click; View > "History..." opens the history per party.
class HistoryViews : public QObject {
    Q_OBJECT

public:
    // refill: the sequence list filled anew (with listFilter()); writeWorkbook: the rows written
    // to a spreadsheet and shown.
    HistoryViews(Settings& settings, Database& db, IBrowserDialogs& dialogs, MainMenus& menus, QStatusBar* statusBar,
                 std::function<void()> refill,
                 std::function<void(const QStringList& header, const QList<QStringList>& rows)> writeWorkbook,
                 QWidget* window);

    // The filter the settings hold on the given day; nothing while it is off.
    static std::optional<SequenceListQuery::NotCalledFor> listFilter(const Settings& settings, const QDate& today);
    std::optional<SequenceListQuery::NotCalledFor> listFilter() const;

    // Asks for the party and the period while the filter is off; clears it while it is on.
    void mnuViewNotCalledFor_Click();
    void clearFilter();
    void mnuViewHistory_Click();

    QToolButton* statusButton() const { return m_status; }
    frmHistory* historyWindow() const { return m_history; }
    // The menu item and the status bar after the filter or the library changed.
    void update(bool libraryOpen);

private:
    Settings& m_settings;
    Database& m_db;
    IBrowserDialogs& m_dialogs;
    MainMenus& m_menus;
    std::function<void()> m_refill;
    std::function<void(const QStringList&, const QList<QStringList>&)> m_writeWorkbook;
    QWidget* m_window;
    QToolButton* m_status;
    frmHistory* m_history = nullptr;
};
