#pragma once

// The measuring ruler: a translucent bar a user stretches between two points of the map to
// read the distance, with tick marks, the length as its label and a small logo. It is an
// overlay of the document's view, never a drawable: it is not saved, printed or exported.
//
// In ruler coordinates (origin at the start point, x along the ruler, y across it) the body
// runs from -overhang to length + overhang and is rulerHeight high; the end boxes are the
// overhangs. Ticks stand on the measured line every markDistance, a third of the height at
// every stepUpRatio-th tick, a quarter at every stepDownRatio-th, an eighth elsewhere.
//
// Its delegate (the document) answers distanceLabelForLength(double) with the label, asked
// whenever the ruler moves and when it is drawn.

#include "app/commands/ZQMeasuringRuler.h"
#include "platform/foundation/ZQObject.h"
#include "platform/graphics/AttributedString.h"
#include "platform/graphics/BezierPath.h"

#include <QColor>
#include <QPointer>
#include <QTransform>

class VXQRuler : public ZQObject, public ZQMeasuringRuler {
    Q_OBJECT

public:
    // Parts answered by hitTest.
    static constexpr int kNoPart = 0;
    static constexpr int kBodyPart = -1;
    static constexpr int kLeftEndPart = 20;
    static constexpr int kRightEndPart = 21;

    static constexpr double kRulerHeight = 32.0;
    static constexpr double kRulerEndOverhang = 8.0;
    // Where a new ruler waits: off the drawing, with no length.
    static constexpr QPointF kParkedPoint{-10000, -10000};

    VXQRuler();
    ~VXQRuler() override;

    // --- Class-wide look -------------------------------------------------------------------
    // The latched-tool orange at alpha 0.8.
    static QColor defaultRulerColour();
    static const platform::TextAttributes& labelTextAttributes();
    static const platform::TextAttributes& logoAttributes();
    static const platform::AttributedString& logoText();

    // --- Geometry ----------------------------------------------------------------------------
    QPointF startPoint() const { return m_startPoint; }
    void setStartPoint(QPointF point);
    QPointF endPoint() const { return m_endPoint; }
    void setEndPoint(QPointF point);
    double length() const;
    // Radians, of the line from start to end in drawing coordinates.
    double angle() const;

    double markDistance() const { return m_markDistance; }
    qint64 stepUpRatio() const { return m_stepUpRatio; }
    qint64 stepDownRatio() const { return m_stepDownRatio; }
    // The distance is raised to at least 1, then doubled or halved into 2 ... 32. A distance
    // that is not finite leaves the spacing as it was.
    void setMarksDistanceStepUpRatioStepDownRatio(double distance, qint64 stepUpRatio, qint64 stepDownRatio) override;

    // Drawing coordinates.
    const platform::BezierPath& boundingPath() const { return m_boundingPath; }
    const platform::BezierPath& marksPath() const { return m_marksPath; }
    const platform::BezierPath& leftEndPath() const { return m_leftEndPath; }
    const platform::BezierPath& rightEndPath() const { return m_rightEndPath; }
    // The body's bounds, and the label's where it runs past the ends, grown by one point all
    // round.
    QRectF bounds() const override;
    int hitTest(QPointF point) const;

    // --- Look --------------------------------------------------------------------------------
    QColor rulerColour() const { return m_rulerColour; }
    void setRulerColour(const QColor& colour) { m_rulerColour = colour; }
    QColor marksColour() const { return m_marksColour; }
    void setMarksColour(const QColor& colour) { m_marksColour = colour; }
    QColor borderColour() const { return m_borderColour; }
    void setBorderColour(const QColor& colour) { m_borderColour = colour; }
    // The label: set on one line along the lower half of the body, centred on the ruler and,
    // when longer than the ruler, running past its ends rather than being cut.
    const platform::AttributedString& annotation() const { return m_annotation; }
    void setAnnotation(const platform::AttributedString& annotation);
    // Ruler coordinates; empty while the ruler is too short to show its label.
    QRectF labelRect() const { return m_labelRect; }

    QObject* delegate() const { return m_delegate; }
    void setDelegate(QObject* delegate) override { m_delegate = delegate; }

    // --- Dragging (drawing coordinates) ------------------------------------------------------
    // kNoPart starts a new ruler at the point; another part keeps where the point lies
    // against both ends, for the drag.
    void mouseDownWithPartInView(QPointF point, int part, VXDrawingView* view);
    // Moves the end or the whole ruler the part stands for, redrawing the old and new bounds.
    void mouseDraggedWithPartInView(QPointF point, int part, VXDrawingView* view);

    // --- Drawing ----------------------------------------------------------------------------
    // Into the view's paint, when it covers the ruler and paints the screen; takes the label
    // from the delegate first.
    void drawInView(VXDrawingView* view) override;
    void calculatePaths();
    // Into the current graphics context.
    void drawPaths() const;

private:
    // Ruler coordinates to drawing coordinates.
    QTransform rulerTransform() const;
    void updateAnnotationFromDelegate();
    void placeLabel();
    void redisplayInView(VXDrawingView* view) const;

    QColor m_rulerColour;
    QColor m_marksColour;
    QColor m_borderColour;
    platform::AttributedString m_annotation;
    double m_markDistance = 5.66929;
    qint64 m_stepUpRatio = 10;
    qint64 m_stepDownRatio = 5;
    QPointF m_startPoint = kParkedPoint;
    QPointF m_endPoint = kParkedPoint;
    QPointF m_leftDragOffset;
    QPointF m_rightDragOffset;
    platform::BezierPath m_boundingPath;
    platform::BezierPath m_marksPath;
    platform::BezierPath m_leftEndPath;
    platform::BezierPath m_rightEndPath;
    QRectF m_labelRect;
    QPointer<QObject> m_delegate;
};
