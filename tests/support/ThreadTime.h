#pragma once

// The processor time of the calling thread: a busy test machine delays a thread's turns, not
// the work done in them, so timing tests compare this rather than the wall clock. Even so, a
// shared core or cache stretches a run now and then, so they compare two pieces of work timed in
// the same run, never one against a fixed bound (those belong to the benchmarks).

#include <algorithm>
#include <ctime>
#include <functional>
#include <limits>
#include <ostream>

namespace testsupport {

inline double threadSeconds()
{
    timespec now{};
    clock_gettime(CLOCK_THREAD_CPUTIME_ID, &now);
    return double(now.tv_sec) + double(now.tv_nsec) * 1e-9;
}

// The least time of each of two pieces of work over a few runs.
struct PairedTimes {
    double first = std::numeric_limits<double>::max();
    double second = std::numeric_limits<double>::max();
    double ratio() const { return first / second; }
};

inline std::ostream& operator<<(std::ostream& out, const PairedTimes& times)
{
    return out << times.first << " s against " << times.second << " s";
}

// Times FIRST and SECOND on this thread's clock, ROUNDS times each, taken in turns so that both
// meet the machine's load alike.
inline PairedTimes leastThreadSecondsInTurns(const std::function<void()>& first, const std::function<void()>& second,
                                             int rounds = 3)
{
    const auto timed = [](const std::function<void()>& work) {
        const double start = threadSeconds();
        work();
        return threadSeconds() - start;
    };
    PairedTimes least;
    for (int round = 0; round < rounds; ++round) {
        least.first = std::min(least.first, timed(first));
        least.second = std::min(least.second, timed(second));
    }
    return least;
}

} // namespace testsupport
