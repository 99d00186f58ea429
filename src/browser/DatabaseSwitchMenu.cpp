#include "DatabaseSwitchMenu.h"

#include "GridView.h"
#include "LibraryCommands.h"
#include "Settings.h"
#include "modGeneral.h"

#include <QAction>
#include <QApplication>
#include <QDir>
#include <QFileInfo>
#include <QKeyEvent>
#include <QMenu>

namespace {

constexpr int kFolderChars = 60;

// A cell editor of one of the window's grids has the focus.
bool inCellEditor(QObject* focus) {
    for (QObject* object = focus; object; object = object->parent()) {
        if (const auto* grid = qobject_cast<GridView*>(object)) {
            return grid->isEditing();
        }
    }
    return false;
}

} // namespace

DatabaseSwitchMenu::DatabaseSwitchMenu(QMenu* menu, const QList<QAction*>& items, const Settings& settings,
                                       LibraryCommands& library, QObject* parent)
    : QObject(parent), m_items(items), m_settings(settings), m_library(library) {
    for (int i = 0; i < m_items.size(); ++i) {
        m_items[i]->setShortcut(shortcut(i));
        connect(m_items[i], &QAction::triggered, this, [this, i] { openSwitchLibrary(i); });
    }
    m_hint = menu->addAction(QString());
    m_hint->setObjectName(QStringLiteral("mnuDBSwitchNone"));
    m_hint->setEnabled(false);
    qApp->installEventFilter(this);
    updateCaptions();
}

QString DatabaseSwitchMenu::label(int index) {
    const QString key = QStringLiteral("F%1").arg(index % 9 + 1);
    if (index >= 18) {
        return QStringLiteral("Ctrl+") + key;
    }
    return index >= 9 ? QStringLiteral("Shift+") + key : key;
}

QKeySequence DatabaseSwitchMenu::shortcut(int index) {
    const Qt::Key key = static_cast<Qt::Key>(Qt::Key_F1 + index % 9);
    const Qt::KeyboardModifier modifier =
        index >= 18 ? Qt::ControlModifier : (index >= 9 ? Qt::ShiftModifier : Qt::NoModifier);
    return QKeySequence(QKeyCombination(modifier, key));
}

QString DatabaseSwitchMenu::caption(const QString& path) {
    const QFileInfo file(path);
    QString folder = path.contains(QLatin1Char('/')) ? QDir::toNativeSeparators(file.path()) : QString();
    if (folder.size() > kFolderChars) {
        const int keep = kFolderChars / 2 - 1;
        folder = folder.left(keep) + QStringLiteral("…") + folder.right(keep);
    }
    QString text =
        folder.isEmpty() ? file.fileName() : file.fileName() + QStringLiteral("  (") + folder + QLatin1Char(')');
    return text.replace(QLatin1Char('&'), QStringLiteral("&&"));
}

void DatabaseSwitchMenu::updateCaptions() {
    bool any = false;
    for (int i = 0; i < m_items.size(); ++i) {
        const QString& path = i < FuncFileCount ? m_settings.FuncFile[i] : QString();
        m_items[i]->setText(path.isEmpty() ? QString() : caption(path));
        m_items[i]->setToolTip(path);
        m_items[i]->setStatusTip(path);
        m_items[i]->setVisible(!path.isEmpty());
        any = any || !path.isEmpty();
    }
    m_hint->setText(modGeneral::LoadTransString(10121));
    m_hint->setVisible(!any);
}

void DatabaseSwitchMenu::openSwitchLibrary(int index) {
    if (index < 0 || index >= FuncFileCount || m_settings.FuncFile[index].isEmpty()) {
        return;
    }
    m_library.OpenSequenceMdbFile(m_settings.FuncFile[index], label(index));
}

bool DatabaseSwitchMenu::eventFilter(QObject* watched, QEvent* event) {
    // Claiming the key for an open cell editor keeps the switch keys from acting under it.
    if (event->type() == QEvent::ShortcutOverride && watched == QApplication::focusWidget() && inCellEditor(watched)) {
        const auto* key = static_cast<QKeyEvent*>(event);
        for (const QAction* item : std::as_const(m_items)) {
            if (item->shortcut() == QKeySequence(key->keyCombination())) {
                event->accept();
                return true;
            }
        }
    }
    return QObject::eventFilter(watched, event);
}
