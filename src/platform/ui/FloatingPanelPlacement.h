#pragma once

// Floating panels (tool windows) open wholly on the screen they open on, however they were
// placed: beside another window, from a saved frame, or at an offset from a screen's corner.
// One application-wide watch does this for every panel as it is shown.

#include <QRect>

namespace platform {

class FloatingPanelPlacement {
public:
    // Starts the watch on the running application; once is enough, more is harmless.
    static void keepPanelsOnScreen();
    // `frame` moved the least that puts it within `available`, shrunk first where it is larger.
    static QRect frameWithin(const QRect& frame, const QRect& available);
};

} // namespace platform
