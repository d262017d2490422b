#pragma once

// Draws a shim: the stretch of path where one main style turns into the next, its strokes
// changing width (and colour) along the stretch. Strokes pair up casing with casing and the
// others bottom to top; a stroke without a partner tapers to nothing. Each pair becomes a
// tapered outline, worked out once when the shim is made, so drawing a shim costs a fill or
// two per stroke. Dashes are left out: their pattern cannot follow a changing width.
//
// Without a blend there is no shim to draw: the main styles meet at the boundary. Nor is
// there when a width blend joins strokes of the same widths, which only change colour there.
//
// Immutable once made, so it can be drawn on other threads.

#include "platform/graphics/BezierPath.h"
#include "platform/vantrix/styles/VXStyle.h"

#include <QBrush>
#include <QList>
#include <QPainterPath>

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

    // Into GraphicsContext::current().
    void drawCasing() const;
    void drawContentWithoutCasing() const;

private:
    struct Piece {
        QPainterPath outline;
        QBrush brush;
    };

    static void draw(const QList<Piece>& pieces);

    QList<Piece> m_casing;
    QList<Piece> m_content;
    bool m_needed = false;
};
