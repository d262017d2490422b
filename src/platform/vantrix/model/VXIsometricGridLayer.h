#pragma once

// Graph paper of equilateral triangles: lines at 30 and 150 degrees and verticals,
// one division apart; snapping pulls points to the triangles' corners.

#include "platform/vantrix/model/VXGridLayer.h"

class VXIsometricGridLayer : public VXGridLayer {
    Q_OBJECT

public:
    VXIsometricGridLayer();

    QPointF nearestGridIntersectionToPoint(QPointF point) const override;
    void drawRectInViewShowingHighlighting(const QRectF& rect, VXDrawingView* view, bool highlighting) const override;
};
