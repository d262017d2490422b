#pragma once

// The puff shown where a dragged item was dropped out of existence: the bundle's
// "DisappearingItemCursor" artwork, growing and fading over a quarter of a second in a window
// of its own that takes no input.

#include <QPoint>
#include <QSize>

namespace DisappearingItemEffect {

inline constexpr QSize kCursorSize{32, 32};

// Plays at `globalPoint` (screen coordinates); the window goes when it ends.
void showAtPoint(QPoint globalPoint);

} // namespace DisappearingItemEffect
