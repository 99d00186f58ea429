#pragma once

#include <QString>

// How far a long piece of work has got, and whether the user wants it stopped. The work calls
// step where stopping leaves everything whole (after a sequence, between statements); the window
// answers with a progress dialog, the command-line tool with a line on the terminal, tests with a
// recording that stops at a chosen step.
class IProgress {
public:
    virtual ~IProgress() = default;

    // What is being done, in the user's words.
    virtual void setLabel(const QString& text) = 0;
    // done of total units (total 0: not known). False once the user has asked to stop: the work
    // then ends at once, keeping or undoing what it did as its own description says.
    virtual bool step(qint64 done, qint64 total) = 0;
    // The work waits for the user's answer to a question: nothing of the progress shows until the
    // next step.
    virtual void pause() {}
    // Whether the user may still stop the work (at first yes). Work that has begun what it cannot
    // take back (pages on their way to a printer) turns it off; its steps then only show how far.
    virtual void setCancellable(bool) {}
    // True once the user has asked to stop.
    virtual bool cancelled() const = 0;
};

// Thrown by work that was asked to stop, so that its transaction rolls back on the way out.
struct WorkCancelled {};

// A step on an optional progress: without one the work always goes on.
inline bool progressStep(IProgress* progress, qint64 done, qint64 total) {
    return progress == nullptr || progress->step(done, total);
}

// A label on an optional progress.
inline void progressLabel(IProgress* progress, const QString& text) {
    if (progress != nullptr) {
        progress->setLabel(text);
    }
}
