#pragma once

#include "IProgress.h"

#include <QList>
#include <QPair>
#include <QStringList>
#include <functional>

// A progress that records what the work tells it and asks the work to stop at a chosen step (the
// first step is 1; 0 never stops), or at the first step that the condition accepts.
class StoppingProgress final : public IProgress {
public:
    using Condition = std::function<bool(qint64 done, qint64 total)>;

    explicit StoppingProgress(int stopAt = 0) : m_stopAt(stopAt) {}
    explicit StoppingProgress(Condition condition) : m_condition(std::move(condition)) {}

    void setLabel(const QString& text) override { labels.append(text); }
    bool step(qint64 done, qint64 total) override {
        positions.append({done, total});
        const bool stop = (m_stopAt > 0 && positions.size() >= m_stopAt) || (m_condition && m_condition(done, total));
        if (stop && cancellable) {
            m_cancelled = true;
        }
        return !m_cancelled;
    }
    void pause() override { ++pauses; }
    void setCancellable(bool value) override { cancellable = value; }
    bool cancelled() const override { return m_cancelled; }

    int steps() const { return static_cast<int>(positions.size()); }

    QStringList labels;
    QList<QPair<qint64, qint64>> positions; // done and total of each step
    int pauses = 0;
    bool cancellable = true;

private:
    int m_stopAt = 0;
    Condition m_condition;
    bool m_cancelled = false;
};
