#pragma once

// A small timing driver: the median wall-clock time of several runs of a piece of work.

#include <algorithm>
#include <chrono>
#include <functional>
#include <vector>

namespace bench {

inline double medianSeconds(int runs, const std::function<void()>& work)
{
    std::vector<double> times;
    for (int i = 0; i < runs; ++i) {
        const auto start = std::chrono::steady_clock::now();
        work();
        times.push_back(std::chrono::duration<double>(std::chrono::steady_clock::now() - start).count());
    }
    std::sort(times.begin(), times.end());
    return times[times.size() / 2];
}

// Keeps the optimiser from dropping a result.
template <typename T> void keep(const T& value)
{
    asm volatile("" : : "g"(&value) : "memory");
}

} // namespace bench
