#pragma once

// Draws a shim: the stretch of path where one main style turns into the next. The blend
// chooses how: the two styles meeting in the middle, or their strokes changing width (and
// colour) step by step along the stretch. Strokes pair up casing with casing and the others
// bottom to top; a stroke without a partner tapers to nothing. Dashes are left out of a
// gradual blend, where their pattern would restart at every step.

#include "platform/graphics/BezierPath.h"
#include "platform/vantrix/VXStroke.h"
#include "platform/vantrix/VXStyle.h"

class VXRenderable;

enum ZQShimBlend : int {
    kZQShimBlendNone = 0,           // the styles meet at the boundary
    kZQShimBlendWidth = 1,          // stroke widths taper, colours change at the boundary
    kZQShimBlendWidthAndColour = 2, // widths and colours both change gradually
};

class ShimBlender {
public:
    ShimBlender(VXStylePtr before, VXStylePtr after, int blending);

    // Into GraphicsContext::current(); `object` supplies everything but the path.
    void drawCasing(const VXRenderable& object, const platform::BezierPath& stretch) const;
    void drawContentWithoutCasing(const VXRenderable& object, const platform::BezierPath& stretch) const;

    // Steps of a gradual blend.
    static constexpr int kSteps = 8;

private:
    struct StrokePair {
        VXStrokePtr before;
        VXStrokePtr after;
    };

    void draw(const VXRenderable& object, const platform::BezierPath& stretch, bool casing) const;
    // Each style on its half of the stretch.
    void drawMeeting(const VXRenderable& object, const platform::BezierPath& stretch, bool casing) const;
    void drawGradually(const platform::BezierPath& stretch, bool casing) const;
    QList<StrokePair> strokePairs(bool casing) const;
    VXStrokePtr strokeAt(const StrokePair& pair, double t) const;

    VXStylePtr m_before;
    VXStylePtr m_after;
    int m_blending;
};
