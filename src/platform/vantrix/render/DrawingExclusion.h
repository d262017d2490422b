#pragma once

// Keeps threads that draw tiles of one drawing at once from drawing the same thing at the same
// time. Drawing code may fill caches, lay text out or update leader lines as it draws, which is
// safe on one thread; an object crossing a tile edge is drawn by two. Each thing drawn (a layer
// that does not draw concurrently, an object) takes one of a fixed set of locks, chosen by its
// address, for as long as it draws; different things mostly take different locks, so tiles still
// draw in parallel. Layers and objects have sets of their own, taken in that order.

#include <mutex>

namespace platform {

class DrawingExclusion {
public:
    enum class Level { Layer, Object };
    DrawingExclusion(const void* thing, Level level);
    ~DrawingExclusion();
    DrawingExclusion(const DrawingExclusion&) = delete;
    DrawingExclusion& operator=(const DrawingExclusion&) = delete;

private:
    std::recursive_mutex& m_lock;
};

} // namespace platform
