#pragma once

// A drawable whose casing (the wider outline under its strokes, as on a road) can be drawn
// apart from the rest. Tracks implement it; a mapping layer with modern track rendering
// draws every casing first, so the casings of crossing and joining tracks merge under
// their contents. Mixed into a VXDrawableObject subclass and found with dynamic_cast.

class CasedDrawable {
public:
    virtual ~CasedDrawable() = default;

    // Into GraphicsContext::current(), as drawContent does.
    virtual void drawCasing() const = 0;
    virtual void drawContentWithoutCasing() const = 0;
};
