#include "platform/vantrix/render/DrawingExclusion.h"

#include <array>
#include <cstdint>

namespace platform {

namespace {

// Recursive: drawing one thing may draw another that happens to share its lock. Enough locks,
// each on a cache line of its own, that threads drawing different objects seldom meet on one.
struct alignas(64) PaddedLock {
    std::recursive_mutex mutex;
};
using Locks = std::array<PaddedLock, 1024>;
Locks g_layerLocks;
Locks g_objectLocks;

std::recursive_mutex& lockOf(const void* thing, Locks& locks)
{
    const auto address = reinterpret_cast<std::uintptr_t>(thing);
    return locks[(address >> 4 ^ address >> 14) % locks.size()].mutex;
}

} // namespace

DrawingExclusion::DrawingExclusion(const void* thing, Level level)
    : m_lock(lockOf(thing, level == Level::Layer ? g_layerLocks : g_objectLocks))
{
    m_lock.lock();
}

DrawingExclusion::~DrawingExclusion()
{
    m_lock.unlock();
}

} // namespace platform
