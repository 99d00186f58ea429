#pragma once

#include "IProgress.h"

#include <QElapsedTimer>
#include <QObject>
#include <QPointer>
#include <QProgressDialog>

class QWidget;

// The progress of a long command in the window: a QProgressDialog ("frmProgress") that appears
// once the work has run for half a second, with what is being done, how far, and Cancel
// ("cmdCancel"). While it shows it takes every input of the program, so that no second command
// can start in the middle of one; before it shows, the windows repaint but user input waits, the
// window the work belongs to does not close and no files are dropped.
class ProgressDialog final : public QObject, public IProgress {
    Q_OBJECT

public:
    static constexpr int ShowAfterMs = 500;
    // How long work runs before the dialog shows; tests that must press Cancel set 0, so that
    // the dialog does not depend on how fast the machine is.
    static void setShowAfter(int milliseconds) { s_showAfterMs = milliseconds; }

    explicit ProgressDialog(QWidget* parent);
    ~ProgressDialog() override;

    void setLabel(const QString& text) override;
    bool step(qint64 done, qint64 total) override;
    void pause() override;
    void setCancellable(bool cancellable) override;
    bool cancelled() const override { return m_cancelled; }

    // The dialog, for the tests; nullptr once its window is gone.
    QProgressDialog* dialog() const { return m_dialog; }

protected:
    bool eventFilter(QObject* watched, QEvent* event) override;

private:
    void show();
    void hide();
    void update();

    static inline int s_showAfterMs = ShowAfterMs;

    QPointer<QProgressDialog> m_dialog;
    // The window held open during the work.
    QPointer<QWidget> m_window;
    QElapsedTimer m_running;
    QElapsedTimer m_sinceUpdate;
    QString m_label;
    qint64 m_done = 0;
    qint64 m_total = 0;
    bool m_cancellable = true;
    bool m_cancelled = false;
    bool m_paused = false;
    bool m_arrowCursor = false;
};
