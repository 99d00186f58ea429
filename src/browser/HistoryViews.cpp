#include "HistoryViews.h"

#include "Database.h"
#include "DbError.h"
#include "IBrowserDialogs.h"
#include "LibraryHistory.h"
#include "MainMenus.h"
#include "Settings.h"
#include "frmHistory.h"
#include "modGeneral.h"
#include "modSystem.h"

#include <QAction>
#include <QStatusBar>
#include <QToolButton>

HistoryViews::HistoryViews(Settings& settings, Database& db, IBrowserDialogs& dialogs, MainMenus& menus,
                           QStatusBar* statusBar, std::function<void()> refill,
                           std::function<void(const QStringList&, const QList<QStringList>&)> writeWorkbook,
                           QWidget* window)
    : QObject(window), m_settings(settings), m_db(db), m_dialogs(dialogs), m_menus(menus), m_refill(std::move(refill)),
      m_writeWorkbook(std::move(writeWorkbook)), m_window(window) {
    setObjectName(QStringLiteral("HistoryViews"));
    m_status = new QToolButton(statusBar);
    m_status->setObjectName(QStringLiteral("cmdNotCalledFor"));
    m_status->setAutoRaise(true);
    m_status->setVisible(false);
    statusBar->addPermanentWidget(m_status);
    connect(m_status, &QToolButton::clicked, this, &HistoryViews::clearFilter);
    connect(m_menus.viewNotCalledFor, &QAction::triggered, this, &HistoryViews::mnuViewNotCalledFor_Click);
    connect(m_menus.viewHistory, &QAction::triggered, this, &HistoryViews::mnuViewHistory_Click);
}

std::optional<SequenceListQuery::NotCalledFor> HistoryViews::listFilter(const Settings& settings, const QDate& today) {
    if (!settings.NotCalledFor) {
        return std::nullopt;
    }
    const int weeks = qBound(1, settings.NotCalledWeeks, NotCalledWeeksMax);
    return SequenceListQuery::NotCalledFor{settings.NotCalledAnyParty ? std::nullopt
                                                                      : std::optional<QString>(settings.NotCalledParty),
                                           today.addDays(-7 * weeks).toString(Qt::ISODate)};
}

std::optional<SequenceListQuery::NotCalledFor> HistoryViews::listFilter() const {
    return listFilter(m_settings, QDate::currentDate());
}

void HistoryViews::mnuViewNotCalledFor_Click() {
    if (m_settings.NotCalledFor) {
        clearFilter();
        return;
    }
    QStringList parties;
    try {
        parties = LibraryHistory(m_db).parties();
    } catch (const DbError& error) {
        modSystem::WriteErrorLog(QStringLiteral("frmVornReader.mnuViewNotCalledFor_Click"), error.info());
        update(m_db.isOpen());
        return;
    }
    const NotCalledChoice proposed{m_settings.NotCalledAnyParty ? std::nullopt
                                                                : std::optional<QString>(m_settings.NotCalledParty),
                                   m_settings.NotCalledWeeks};
    const std::optional<NotCalledChoice> choice = m_dialogs.notCalledFor(parties, proposed);
    if (choice) {
        m_settings.NotCalledFor = true;
        m_settings.NotCalledAnyParty = !choice->party.has_value();
        m_settings.NotCalledParty = choice->party.value_or(QString());
        m_settings.NotCalledWeeks = qBound(1, choice->weeks, NotCalledWeeksMax);
        m_refill();
    }
    update(m_db.isOpen());
}

void HistoryViews::clearFilter() {
    if (!m_settings.NotCalledFor) {
        return;
    }
    m_settings.NotCalledFor = false;
    m_refill();
    update(m_db.isOpen());
}

void HistoryViews::mnuViewHistory_Click() {
    QList<HeardSequence> rows;
    QStringList parties;
    try {
        const LibraryHistory history(m_db);
        rows = history.heardSequences();
        parties = history.parties();
    } catch (const DbError& error) {
        modSystem::WriteErrorLog(QStringLiteral("frmVornReader.mnuViewHistory_Click"), error.info());
        return;
    }
    // One window at a time, showing the history as it is now.
    delete m_history;
    m_history = new frmHistory(rows, parties, m_window);
    m_history->setAttribute(Qt::WA_DeleteOnClose);
    connect(m_history, &QObject::destroyed, this, [this](QObject* gone) {
        if (gone == m_history) {
            m_history = nullptr;
        }
    });
    m_history->onExcelOut = m_writeWorkbook;
    m_history->show();
    m_history->raise();
}

void HistoryViews::update(bool libraryOpen) {
    m_menus.viewNotCalledFor->setEnabled(libraryOpen);
    m_menus.viewHistory->setEnabled(libraryOpen);
    m_menus.viewNotCalledFor->setChecked(m_settings.NotCalledFor);
    const bool on = libraryOpen && m_settings.NotCalledFor;
    m_status->setVisible(on);
    if (on) {
        m_status->setText(
            m_settings.NotCalledAnyParty
                ? modGeneral::MessageFormat(modGeneral::LoadTransString(10221), {m_settings.NotCalledWeeks})
                : modGeneral::MessageFormat(modGeneral::LoadTransString(10220),
                                            {m_settings.NotCalledParty, m_settings.NotCalledWeeks}));
    }
    if (!libraryOpen && m_history) {
        m_history->close();
    }
}
