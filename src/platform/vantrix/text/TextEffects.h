#pragma once

// How text is drawn with effects: in passes over all glyphs, so no glyph's halo covers its
// neighbour: the knockout halo around every glyph, the glyphs, then their outline.

#include "platform/vantrix/text/TextPlacement.h"

#include <QColor>

namespace platform {

struct TextEffects {
    double knockoutDistance = 0; // in the text's coordinates; 0 draws no halo
    QColor knockoutColour;
    double outlineWidth = 0; // in the text's coordinates; 0 draws no outline
    QColor outlineColour;    // invalid: each glyph's own colour
    bool fillsGlyphs = true;

    // How far the effects reach beyond the glyphs.
    double reach() const;
    // Whether drawing needs the text's outlines.
    bool needsOutlines() const;
    // Into GraphicsContext::current().
    void draw(const PlacedText& text) const;
};

} // namespace platform
