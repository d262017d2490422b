#pragma once

// What the application delegate asks of the windows and media libraries built above it, which
// install these at start-up. Until then each service is unset and its launch step logs that
// this build lacks it.

#include <functional>

struct WindowServices {
    // Starts loading the system's photo library in the background; the result is not kept.
    std::function<void()> startLoadingPhotoLibrary;
    // Shows the media browser's window, first putting it back to its factory state when asked.
    std::function<void(bool resetToFactoryState)> showMediaBrowser;

    static WindowServices& installed();
};
