#pragma once

// The small palette that shows and switches the active slices layer's tool mode (draw or
// select). The application windows install the real palette; until they do, a stand-in
// logs what it is asked, so requests can be traced.

#include <memory>

class VLTMSlicesLayer;

class SlicesToolPalette {
public:
    virtual ~SlicesToolPalette() = default;

    // The layer told of the mode the user picks (slicesToolPaletteControllerDidSelectMode).
    virtual void setDelegate(VLTMSlicesLayer* layer) = 0;
    virtual void showWindow() = 0;
    virtual void close() = 0;
    virtual void selectToolMode(int mode) = 0;

    static SlicesToolPalette& sharedSlicesToolPalette();
    // Null puts the logging stand-in back.
    static void setSharedSlicesToolPalette(std::unique_ptr<SlicesToolPalette> palette);
};
