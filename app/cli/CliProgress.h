#pragma once

#include "IProgress.h"

#include <QElapsedTimer>
#include <QString>

// The progress of a long command on standard error: one line that the tool rewrites in place
// (carriage return) while the work runs, ended with a line feed when the work ends or pauses. It
// shows only when standard error is a terminal and --quiet was not given; otherwise it writes
// nothing. It never asks the work to stop: Ctrl+C ends the tool.
class CliProgress final : public IProgress {
public:
    CliProgress();
    ~CliProgress() override;
    CliProgress(const CliProgress&) = delete;
    CliProgress& operator=(const CliProgress&) = delete;

    // --quiet: no progress for the rest of the run.
    static void setQuiet(bool quiet);
    // Takes the line of the progress on show off the terminal, so that another line can be written
    // to standard error; the progress comes back at its next step.
    static void clearLine();

    void setLabel(const QString& text) override;
    bool step(qint64 done, qint64 total) override;
    void pause() override { finish(); }
    bool cancelled() const override { return false; }

    // Writes the last state once more and ends the line.
    void finish();

private:
    void draw();

    static bool s_quiet;
    static CliProgress* s_shown;

    bool m_enabled;
    QString m_label;
    qint64 m_done = 0;
    qint64 m_total = 0;
    bool m_onScreen = false;
    QElapsedTimer m_sinceDraw;
};
