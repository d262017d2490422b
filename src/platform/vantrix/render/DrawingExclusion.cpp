#include "platform/vantrix/render/DrawingExclusion.h"

#include <array>
#include <cstdint>
#if defined(__x86_64__) || defined(__i386__)
#include <immintrin.h>
#endif

namespace platform {

namespace {

// Recursive: drawing one thing may draw another that happens to share its lock. Enough locks,
// each on a cache line of its own, that eight threads each holding one nearly all the time
// seldom meet on one.
struct alignas(64) PaddedLock {
    std::recursive_mutex mutex;
};
using Locks = std::array<PaddedLock, 8192>;
Locks g_layerLocks;
Locks g_objectLocks;

// An object draws in microseconds: waiting that long beats sleeping, which costs a wake-up
// and, on a busy machine, often a time slice.
constexpr int kSpins = 256;

std::recursive_mutex& lockOf(const void* thing, Locks& locks)
{
    // Fibonacci hashing spreads objects allocated at regular strides over all the locks.
    const auto address = std::uint64_t(reinterpret_cast<std::uintptr_t>(thing));
    return locks[(address * 0x9E3779B97F4A7C15ull) >> 51].mutex;
}

void pause()
{
#if defined(__x86_64__) || defined(__i386__)
    _mm_pause();
#endif
}

} // namespace

DrawingExclusion::DrawingExclusion(const void* thing, Level level)
    : m_lock(lockOf(thing, level == Level::Layer ? g_layerLocks : g_objectLocks))
{
    for (int spin = 0; spin < kSpins; ++spin) {
        if (m_lock.try_lock())
            return;
        pause();
    }
    m_lock.lock();
}

DrawingExclusion::~DrawingExclusion()
{
    m_lock.unlock();
}

} // namespace platform
