#include "BenchSupport.h"

#include "modSystem.h"

#include <QDir>
#include <QFile>
#include <algorithm>
#include <cerrno>
#include <chrono>
#include <cmath>
#include <cstdio>
#include <cstdlib>
#include <ctime>

namespace BenchSupport {

namespace {

double cpuMs() {
    timespec now{};
    clock_gettime(CLOCK_PROCESS_CPUTIME_ID, &now);
    return double(now.tv_sec) * 1000 + double(now.tv_nsec) / 1e6;
}

double medianOf(std::vector<double> values) {
    std::sort(values.begin(), values.end());
    const std::size_t middle = values.size() / 2;
    return values.size() % 2 == 1 ? values[middle] : (values[middle - 1] + values[middle]) / 2;
}

std::vector<double> walls(const std::vector<Timing>& timings) {
    std::vector<double> values;
    values.reserve(timings.size());
    for (const Timing& timing : timings) {
        values.push_back(timing.wall);
    }
    return values;
}

} // namespace

void fail(const QString& what) {
    std::fprintf(stderr, "%s: %s\n", program_invocation_short_name, qPrintable(what));
    std::exit(2);
}

TempHome::TempHome() {
    if (!m_dir.isValid()) {
        fail(QStringLiteral("cannot create a temporary folder"));
    }
    m_home = m_dir.filePath(QStringLiteral("home"));
    QDir().mkpath(m_home);
    qputenv("VORNREADER_HOME", QFile::encodeName(m_home));
}

FailOnErrorReport::FailOnErrorReport() {
    modSystem::setErrorBox(this);
}

FailOnErrorReport::~FailOnErrorReport() {
    modSystem::setErrorBox(nullptr);
}

bool FailOnErrorReport::askContinue(const ErrorBoxReport& report) {
    fail(QStringLiteral("error report: %1").arg(report.report));
}

Timing timed(const std::function<void()>& work) {
    const double cpuStart = cpuMs();
    const auto start = std::chrono::steady_clock::now();
    work();
    const auto stop = std::chrono::steady_clock::now();
    return {std::chrono::duration<double, std::milli>(stop - start).count(), cpuMs() - cpuStart};
}

Timing median(const std::vector<Timing>& timings) {
    std::vector<double> cpu;
    cpu.reserve(timings.size());
    for (const Timing& timing : timings) {
        cpu.push_back(timing.cpu);
    }
    return {medianOf(walls(timings)), medianOf(std::move(cpu))};
}

double percentile(const std::vector<Timing>& timings, double fraction) {
    std::vector<double> values = walls(timings);
    std::sort(values.begin(), values.end());
    const auto rank = static_cast<std::size_t>(std::ceil(fraction * double(values.size())));
    return values[std::clamp<std::size_t>(rank, 1, values.size()) - 1];
}

double slowest(const std::vector<Timing>& timings) {
    const std::vector<double> values = walls(timings);
    return *std::max_element(values.begin(), values.end());
}

const char* verdict(bool pass) {
    return pass ? "PASS" : "MISS";
}

} // namespace BenchSupport
