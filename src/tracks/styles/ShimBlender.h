#pragma once

// Draws a shim: the stretch of path where one main style turns into the next, its strokes
// changing width (and colour) along the stretch. Strokes pair up casing with casing and the
// others bottom to top; a stroke without a partner tapers to nothing. Each pair becomes a
// tapered outline, worked out once when the shim is made, so drawing a shim costs a fill or
// two per stroke. Dashes are left out: their pattern cannot follow a changing width.
//
// A piece in the colour of a stroke on either side (the halves of a width blend, the pieces of
// strokes whose colour stays) continues that side's stretch: handed over, the stretch's stroke
// fills it in the same fill as its outline, with no seam between them.
//
// Without a blend there is no shim to draw: the main styles meet at the boundary. Nor is
// there when a width blend joins strokes of the same widths, which only change colour there.
//
// Immutable once made, so it can be drawn on other threads.

#include "platform/graphics/BezierPath.h"
#include "platform/vantrix/styles/VXStyle.h"
#include "tracks/styles/StrokeAreas.h"

#include <QBrush>
#include <QList>
#include <QPainterPath>

#include <array>

enum ZQShimBlend : int {
    kZQShimBlendNone = 0,           // the styles meet at the boundary
    kZQShimBlendWidth = 1,          // stroke widths taper, colours change at the boundary
    kZQShimBlendWidthAndColour = 2, // widths and colours both change gradually
};

class ShimBlender {
public:
    // `stretch` is the part of the rendering path the shim covers, running from `before` to
    // `after`; `blending` one of the gradual ZQShimBlend values.
    ShimBlender(const VXStylePtr& before, const VXStylePtr& after, int blending, const platform::BezierPath& stretch);

    // False when the main styles meeting at the boundary would look the same.
    bool isNeeded() const { return m_needed; }

    enum class Side { Before, After };
    // The pieces that continue the stretch on `side`, for its strokes to fill; the shim no
    // longer draws them itself.
    StrokeAreas takeContinuation(Side side);

    // Into GraphicsContext::current().
    void drawCasing() const;
    void drawContentWithoutCasing() const;

private:
    struct Piece {
        QPainterPath outline;
        QBrush brush;
    };

    void draw(const QList<Piece>& pieces, bool casing) const;

    // Blended colours, drawn by the shim.
    QList<Piece> m_casing;
    QList<Piece> m_content;
    // Indexed by Side.
    std::array<StrokeAreas, 2> m_continuations;
    bool m_needed = false;
};
