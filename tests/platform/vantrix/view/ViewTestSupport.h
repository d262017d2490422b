#pragma once

// A drawing view shown offscreen on a drawing test fixture, with helpers that press, drag
// and release the mouse at drawing coordinates through QTest.

#include "platform/vantrix/DrawingTestSupport.h"

#include "platform/vantrix/view/VXDrawingView.h"
#include "platform/vantrix/tools/VXToolController.h"

#include <QScrollBar>
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

    void useTool(const QString& name) { view.toolController()->selectDrawingToolByName(name); }

    void press(QPointF p, Qt::KeyboardModifiers mods = Qt::NoModifier)
    {
        QTest::mousePress(view.viewport(), Qt::LeftButton, mods, at(p));
    }
    void move(QPointF p, Qt::KeyboardModifiers mods = Qt::NoModifier)
    {
        QTest::mouseMove(view.viewport(), at(p));
        Q_UNUSED(mods);
    }
    void release(QPointF p, Qt::KeyboardModifiers mods = Qt::NoModifier)
    {
        QTest::mouseRelease(view.viewport(), Qt::LeftButton, mods, at(p));
    }
    // Press, move in two steps (through a whole-point midpoint), release: one gesture.
    void drag(QPointF from, QPointF to, Qt::KeyboardModifiers mods = Qt::NoModifier)
    {
        press(from, mods);
        move(((from + to) / 2).toPoint(), mods);
        move(to, mods);
        release(to, mods);
    }
    void click(QPointF p, Qt::KeyboardModifiers mods = Qt::NoModifier)
    {
        press(p, mods);
        release(p, mods);
    }
};

inline void expectRectNear(const QRectF& actual, const QRectF& expected, double tolerance = 1e-6)
{
    EXPECT_NEAR(actual.x(), expected.x(), tolerance);
    EXPECT_NEAR(actual.y(), expected.y(), tolerance);
    EXPECT_NEAR(actual.width(), expected.width(), tolerance);
    EXPECT_NEAR(actual.height(), expected.height(), tolerance);
}

} // namespace viewtest
