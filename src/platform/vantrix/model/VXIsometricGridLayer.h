#pragma once

// Graph paper of equilateral triangles: lines at 30 and 150 degrees and, when shown, verticals,
// one division apart; snapping pulls points to the triangles' corners.

#include "platform/vantrix/model/VXGridLayer.h"

class VXIsometricGridLayer : public VXGridLayer {
    Q_OBJECT
    Q_PROPERTY(bool showsVerticals READ showsVerticals WRITE setShowsVerticals)

public:
    VXIsometricGridLayer();

    bool showsVerticals() const { return m_showsVerticals; }
    void setShowsVerticals(bool shows);

    QPointF nearestGridIntersectionToPoint(QPointF point) const override;
    QString gridKindName() const override;
    void drawRectInViewShowingHighlighting(const QRectF& rect, VXDrawingView* view, bool highlighting) const override;

    void encodeWithCoder(platform::KeyedArchiver& coder) const override;
    void initWithCoder(platform::KeyedUnarchiver& coder) override;

private:
    bool m_showsVerticals = true;
};
