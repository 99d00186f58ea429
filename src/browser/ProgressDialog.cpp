#include "ProgressDialog.h"

#include "modGeneral.h"

#include <QApplication>
#include <QKeyEvent>
#include <QLabel>
#include <QProgressDialog>
#include <QPushButton>
#include <algorithm>

namespace {

// The bar's resolution, whatever the units of the work.
constexpr int kScale = 1000;
// Between two updates of the dialog (and two rounds of the event loop): often enough for a
// smooth bar and a prompt Cancel, seldom enough to cost nothing beside the work.
constexpr int kUpdateMs = 40;

} // namespace

ProgressDialog::ProgressDialog(QWidget* parent) {
    m_dialog = new QProgressDialog(parent);
    m_dialog->setObjectName(QStringLiteral("frmProgress"));
    m_dialog->setWindowTitle(QStringLiteral("VornReader"));
    m_dialog->setWindowModality(Qt::ApplicationModal);
    auto* label = new QLabel;
    label->setWordWrap(true);
    label->setMinimumWidth(420);
    m_dialog->setLabel(label);
    auto* cancel = new QPushButton(modGeneral::LoadTransString(20992, QStringLiteral("Cancel")));
    cancel->setObjectName(QStringLiteral("cmdCancel"));
    m_dialog->setCancelButton(cancel);
    m_dialog->setAutoClose(false);
    m_dialog->setAutoReset(false);
    // The dialog is shown from step, not by the dialog's own estimate (which may show it after a
    // few milliseconds) nor by its timer (which could fire while the work waits for a question).
    m_dialog->reset();
    m_dialog->setMinimumDuration(s_showAfterMs);
    // Closing the window or dropping files on it would start other work in the middle of this one;
    // until the dialog shows (and blocks the other windows), those events are held off here.
    m_window = parent != nullptr ? parent->window() : nullptr;
    QCoreApplication::instance()->installEventFilter(this);
    m_running.start();
}

ProgressDialog::~ProgressDialog() {
    hide();
    delete m_dialog;
}

void ProgressDialog::setLabel(const QString& text) {
    m_label = text;
}

bool ProgressDialog::step(qint64 done, qint64 total) {
    m_done = done;
    m_total = total;
    m_paused = false;
    if (m_cancellable && m_dialog && m_dialog->wasCanceled()) {
        m_cancelled = true;
    }
    if (m_cancelled || (m_sinceUpdate.isValid() && m_sinceUpdate.elapsed() < kUpdateMs)) {
        return !m_cancelled;
    }
    m_sinceUpdate.start();
    if (m_dialog && !m_dialog->isVisible() && m_running.elapsed() >= s_showAfterMs) {
        show();
    }
    const bool shown = m_dialog && m_dialog->isVisible();
    if (shown) {
        update();
    }
    // Paint events and timers run; what the user types or clicks waits until the dialog shows,
    // and then reaches only the dialog.
    QCoreApplication::processEvents(shown ? QEventLoop::AllEvents : QEventLoop::ExcludeUserInputEvents);
    if (m_cancellable && m_dialog && m_dialog->wasCanceled()) {
        m_cancelled = true;
    }
    return !m_cancelled;
}

void ProgressDialog::update() {
    if (m_dialog->labelText() != m_label) {
        m_dialog->setLabelText(m_label);
    }
    if (m_total <= 0) {
        m_dialog->setRange(0, 0);
        return;
    }
    m_dialog->setRange(0, kScale);
    const qint64 done = std::clamp<qint64>(m_done, 0, m_total);
    m_dialog->setValue(static_cast<int>(done * kScale / m_total));
}

void ProgressDialog::show() {
    update();
    // The dialog's own slot, so that it counts as shown and no later value shows it again.
    QMetaObject::invokeMethod(m_dialog, "forceShow", Qt::DirectConnection);
    if (!m_arrowCursor) {
        // A wait cursor set around the work would hide that Cancel can be clicked.
        QApplication::setOverrideCursor(Qt::ArrowCursor);
        m_arrowCursor = true;
    }
}

void ProgressDialog::hide() {
    if (m_dialog) {
        m_dialog->hide();
    }
    if (m_arrowCursor) {
        QApplication::restoreOverrideCursor();
        m_arrowCursor = false;
    }
}

void ProgressDialog::pause() {
    m_paused = true;
    hide();
    if (m_dialog && !m_cancelled) {
        m_dialog->reset();
    }
    m_sinceUpdate.invalidate();
    m_running.start();
}

// Once the work can no longer be stopped, Cancel goes (and Escape with it), and the window's close
// button does nothing.
void ProgressDialog::setCancellable(bool cancellable) {
    if (cancellable || !m_cancellable || !m_dialog) {
        return;
    }
    m_cancellable = false;
    m_dialog->setCancelButton(nullptr);
}

// Escape is Cancel while the work can be stopped, and nothing after; it never merely hides the
// dialog (as a dialog's Escape would) while the work goes on. It is taken here as a key, before
// any shortcut: the dialog's own Escape shortcut outlives its Cancel button.
bool ProgressDialog::eventFilter(QObject* watched, QEvent* event) {
    if (watched != m_dialog) {
        // Only the window the work belongs to is held open: a box the work shows meanwhile (a
        // question, a file chooser, an error) closes itself through its close event. While the
        // work waits for an answer, that box holds the other windows.
        const QEvent::Type type = event->type();
        if (!m_paused && ((type == QEvent::Close && m_window != nullptr && watched == m_window) ||
                          type == QEvent::DragEnter || type == QEvent::DragMove || type == QEvent::Drop)) {
            event->ignore();
            return true;
        }
        return QObject::eventFilter(watched, event);
    }
    const bool escape = (event->type() == QEvent::ShortcutOverride || event->type() == QEvent::KeyPress) &&
                        static_cast<QKeyEvent*>(event)->matches(QKeySequence::Cancel);
    if (escape && event->type() == QEvent::ShortcutOverride) {
        event->accept();
        return true;
    }
    if (escape) {
        if (m_cancellable) {
            m_dialog->cancel();
        }
        return true;
    }
    if (event->type() == QEvent::Close && !m_cancellable) {
        event->ignore();
        return true;
    }
    return QObject::eventFilter(watched, event);
}
