#pragma once

// A drawing view shown offscreen on a drawing test fixture, with helpers that press, drag
// and release the mouse at drawing coordinates through QTest, and compare geometry.

#include "platform/vantrix/DrawingTestSupport.h"

#include "platform/graphics/BezierPath.h"
#include "platform/vantrix/view/VXDrawingView.h"
#include "platform/vantrix/tools/VXToolController.h"

#include <QTest>

namespace viewtest {

struct ViewFixture : drawingtest::Fixture {
    VXDrawingView view;

    explicit ViewFixture(QSizeF paper = {200, 200}, QSize viewSize = {400, 400})
        : drawingtest::Fixture(paper)
    {
        drawing->setActiveLayer(layer.get());
        view.setFrameShape(QFrame::NoFrame);
        view.resize(viewSize);
        view.setDrawing(drawing);
        view.show();
        view.toolController()->setDrawingTool(nullptr);
    }

    // The viewport pixel showing a drawing point; the test's points are chosen to fall on pixels.
    QPoint at(QPointF drawingPoint) const
    {
        const QPointF exact = view.convertPointFromDrawing(drawingPoint);
        const QPoint pixel = exact.toPoint();
        EXPECT_NEAR(exact.x(), pixel.x(), 1e-9);
        EXPECT_NEAR(exact.y(), pixel.y(), 1e-9);
        return pixel;
    }

    // Ends the undo step being built and forgets every step: setting up is not an edit.
    void forgetEdits()
    {
        endStep();
        undo->removeAllActions();
    }

    void useTool(const QString& name) { view.toolController()->selectDrawingToolByName(name); }

    void press(QPointF p, Qt::KeyboardModifiers mods = Qt::NoModifier)
    {
        QTest::mousePress(view.viewport(), Qt::LeftButton, mods, at(p));
    }
    void move(QPointF p) { QTest::mouseMove(view.viewport(), at(p)); }
    void release(QPointF p, Qt::KeyboardModifiers mods = Qt::NoModifier)
    {
        QTest::mouseRelease(view.viewport(), Qt::LeftButton, mods, at(p));
    }
    // Press, move in two steps (through a whole-point midpoint), release: one gesture.
    void drag(QPointF from, QPointF to, Qt::KeyboardModifiers mods = Qt::NoModifier)
    {
        press(from, mods);
        move(((from + to) / 2).toPoint());
        move(to);
        release(to, mods);
    }
    void click(QPointF p, Qt::KeyboardModifiers mods = Qt::NoModifier)
    {
        press(p, mods);
        release(p, mods);
    }
};

inline void expectPointNear(QPointF actual, QPointF expected, double tolerance = 1e-9)
{
    EXPECT_NEAR(actual.x(), expected.x(), tolerance);
    EXPECT_NEAR(actual.y(), expected.y(), tolerance);
}

inline void expectRectNear(const QRectF& actual, const QRectF& expected, double tolerance = 1e-6)
{
    expectPointNear(actual.topLeft(), expected.topLeft(), tolerance);
    expectPointNear(actual.bottomRight(), expected.bottomRight(), tolerance);
}

// The points a path passes through: each element's end point.
inline QList<QPointF> onPathPoints(const platform::BezierPath& path)
{
    QList<QPointF> points;
    for (int i = 0; i < path.elementCount(); ++i) {
        QPointF p[3];
        points.append(path.elementAtIndexAssociatedPoints(i, p) == platform::PathElement::CurveTo ? p[2] : p[0]);
    }
    return points;
}

// A line from `start` to `start + step`, without a style.
inline VXDrawablePathPtr lineFrom(QPointF start, QPointF step)
{
    platform::BezierPath path;
    path.appendBezierPathWithPoints(QPolygonF{start, start + step});
    return VXDrawablePath::drawablePathWithBezierPathWithStyle(path, nullptr);
}

} // namespace viewtest
