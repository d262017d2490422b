#pragma once

// Timing and reporting shared by every benchmark: medians of several runs, and the one summary
// line per figure that bench/run.sh's readers collect:
//   BENCH <name> ours=<s> peer=<s> ratio=<ours/peer> target=<max ratio>
//   BENCH <name> value=<number> unit=<unit> target=<bound>
//   BENCH <name> value=<number> unit=<unit>          (a figure kept for the record, held to nothing)

#include <QFile>
#include <QString>
#include <QtGlobal>
#include <algorithm>
#include <chrono>
#include <cmath>
#include <cstdio>
#include <cstdlib>
#include <functional>
#include <vector>

namespace bench {

// Ends benchmark `name` with `what` when a step did not do its work: its time would mean nothing.
inline void require(bool ok, const char* name, const char* what)
{
    if (!ok) {
        std::fprintf(stderr, "%s: %s\n", name, what);
        std::exit(1);
    }
}

// Benchmarks draw off screen unless QT_QPA_PLATFORM names another platform; call before
// making the application.
inline void useOffscreenPlatformUnlessTold()
{
    if (qEnvironmentVariableIsEmpty("QT_QPA_PLATFORM"))
        qputenv("QT_QPA_PLATFORM", "offscreen");
}

inline double secondsOf(const std::function<void()>& work)
{
    const auto start = std::chrono::steady_clock::now();
    work();
    return std::chrono::duration<double>(std::chrono::steady_clock::now() - start).count();
}

inline double millisecondsOf(const std::function<void()>& work)
{
    return 1000 * secondsOf(work);
}

inline double median(std::vector<double> values)
{
    std::sort(values.begin(), values.end());
    return values[values.size() / 2];
}

// Nearest-rank percentile; 1.0 gives the largest value.
inline double percentile(std::vector<double> values, double fraction)
{
    if (values.empty())
        return 0;
    std::sort(values.begin(), values.end());
    const auto rank = size_t(std::ceil(fraction * double(values.size())));
    return values[std::clamp<size_t>(rank, 1, values.size()) - 1];
}

inline double medianSeconds(int runs, const std::function<void()>& work)
{
    std::vector<double> times;
    for (int i = 0; i < runs; ++i)
        times.push_back(secondsOf(work));
    return median(times);
}

// Runs `ours` and `peer` alternately so that both meet the same cache and machine state.
inline std::pair<double, double> medianSecondsSideBySide(int runs, const std::function<void()>& ours,
                                                         const std::function<void()>& peer)
{
    std::vector<double> oursTimes, peerTimes;
    for (int i = 0; i < runs; ++i) {
        oursTimes.push_back(secondsOf(ours));
        peerTimes.push_back(secondsOf(peer));
    }
    return {median(oursTimes), median(peerTimes)};
}

inline void printComparison(const QString& name, double ours, double peer, double target)
{
    std::printf("BENCH %s ours=%.4g peer=%.4g ratio=%.3f target=%g\n", qPrintable(name), ours, peer, ours / peer,
                target);
    std::fflush(stdout);
}

inline void printValue(const QString& name, double value, const char* unit, double target)
{
    std::printf("BENCH %s value=%.4g unit=%s target=%g\n", qPrintable(name), value, unit, target);
    std::fflush(stdout);
}

// A figure worth keeping beside the others that has no bound of its own: printed without a
// target, so that no reader takes it as missing one.
inline void printRecord(const QString& name, double value, const char* unit)
{
    std::printf("BENCH %s value=%.4g unit=%s\n", qPrintable(name), value, unit);
    std::fflush(stdout);
}

// A field of /proc/self/status ("VmHWM:", the peak resident size) in megabytes.
inline double statusMegabytes(const char* field)
{
    QFile status(QStringLiteral("/proc/self/status"));
    if (!status.open(QIODevice::ReadOnly))
        return 0;
    for (const QByteArray& line : status.readAll().split('\n')) {
        if (line.startsWith(field))
            return line.mid(qstrlen(field)).trimmed().split(' ').first().toDouble() / 1024;
    }
    return 0;
}

// Keeps the optimiser from dropping a result.
template <typename T>
void keep(const T& value)
{
    asm volatile("" : : "g"(&value) : "memory");
}

} // namespace bench
