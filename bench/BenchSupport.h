#pragma once

#include "IErrorBox.h"

#include <QString>
#include <QTemporaryDir>
#include <QtGlobal>
#include <functional>
#include <vector>

// What every timing program needs besides the work it measures: ending a run that went wrong, a
// throw-away application home, a repeatable random source, and wall and processor clocks with the
// statistics the figures are printed from.
namespace BenchSupport {

// Prints "<program>: what" to stderr and ends the program with exit code 2.
[[noreturn]] void fail(const QString& what);

// A temporary folder for one run: the application home ($VORNREADER_HOME, set on construction)
// and, beside it, whatever files the run writes. All of it is removed at the end.
class TempHome {
public:
    TempHome();
    QString home() const { return m_home; }
    QString filePath(const QString& name) const { return m_dir.filePath(name); }

private:
    QTemporaryDir m_dir;
    QString m_home;
};

// While it lives, any error report the program raises ends the run: the figures of a run that
// hit an error are worthless.
class FailOnErrorReport final : public IErrorBox {
public:
    FailOnErrorReport();
    ~FailOnErrorReport() override;
    FailOnErrorReport(const FailOnErrorReport&) = delete;
    FailOnErrorReport& operator=(const FailOnErrorReport&) = delete;
    bool askContinue(const ErrorBoxReport& report) override;
};

// A small deterministic generator, so every run builds and picks the same.
class Lcg {
public:
    explicit Lcg(quint64 seed) : m_state(seed) {}
    quint32 next() {
        m_state = m_state * 6364136223846793005ULL + 1442695040888963407ULL;
        return static_cast<quint32>(m_state >> 33);
    }
    int between(int low, int high) { return low + static_cast<int>(next() % quint32(high - low + 1)); }

private:
    quint64 m_state;
};

// Wall-clock and processor time of one piece of work, in milliseconds. The processor time leaves
// out the waits for the disk and for other processes, so beside the wall time it shows how much
// of a figure is waiting for a busy machine.
struct Timing {
    double wall = 0;
    double cpu = 0;
};

Timing timed(const std::function<void()>& work);

// The median of the wall times and the median of the processor times, each taken on its own.
Timing median(const std::vector<Timing>& timings);

// The wall time that the given fraction of the runs do not exceed (nearest rank).
double percentile(const std::vector<Timing>& timings, double fraction);

double slowest(const std::vector<Timing>& timings);

const char* verdict(bool pass);

} // namespace BenchSupport
