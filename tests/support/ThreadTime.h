#pragma once

// The processor time of the calling thread: a busy test machine delays a thread's turns, not
// the work done in them, so timing tests compare this rather than the wall clock.

#include <ctime>

namespace testsupport {

inline double threadSeconds()
{
    timespec now{};
    clock_gettime(CLOCK_THREAD_CPUTIME_ID, &now);
    return double(now.tv_sec) + double(now.tv_nsec) * 1e-9;
}

} // namespace testsupport
