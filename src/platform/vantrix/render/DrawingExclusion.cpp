#include "platform/vantrix/render/DrawingExclusion.h"

#include <array>
#include <cstdint>

namespace platform {

namespace {

// Recursive: drawing one thing may draw another that happens to share its lock.
using Locks = std::array<std::recursive_mutex, 64>;
Locks g_layerLocks;
Locks g_objectLocks;

std::recursive_mutex& lockOf(const void* thing, Locks& locks)
{
    const auto address = reinterpret_cast<std::uintptr_t>(thing);
    return locks[(address >> 4 ^ address >> 10) % locks.size()];
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
