#pragma once

// The master's graphic as one placed symbol shows it: drawn through the symbol's placement,
// outlined with its knobs while the symbol is selected, and hit through the placement's
// inverse. A short-lived view of the symbol that keeps nothing of its own.
//
// Drawing lends the graphic the symbol as container (placement and attributes) and its local
// style, quietly: nothing is posted, registered for undo or redrawn, as images are painted on
// a pool thread.

#include <QPointF>

class QPainter;
class VXQSymbol;

namespace platform {
class GraphicsContext;
} // namespace platform

class PlacedSymbolGraphic {
public:
    explicit PlacedSymbolGraphic(const VXQSymbol& symbol)
        : m_symbol(symbol)
    {
    }

    // With scaleVisually the placement goes onto the context, so strokes and text scale too.
    void draw(platform::GraphicsContext& context) const;
    // The placed master rectangle in a wide translucent highlight and a thin line of the
    // layer's selection colour (grey while locked); unlocked, the centre knob and the size
    // handle when shown.
    void drawSelection(QPainter& painter) const;

    bool sizeHandleIsAt(QPointF point) const;
    // Whether the master's graphic, placed, takes `point` (drawing coordinates).
    bool graphicIsAt(QPointF point) const;

private:
    const VXQSymbol& m_symbol;
};
