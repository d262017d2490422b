#pragma once

// A rectangle whose short ends are half circles, whatever its proportions (a capsule).

#include "platform/vantrix/drawables/VXDrawableShape.h"

class VXRoundEndRectShape : public VXDrawableShape {
    Q_OBJECT
    Q_CLASSINFO("displayName", "Round-Ended Rectangle")

public:
    VXRoundEndRectShape();

    static std::shared_ptr<VXRoundEndRectShape> roundEndRectInRectStyle(const QRectF& rect, const VXStylePtr& style);

protected:
    platform::BezierPath unitPath() const override;
};
