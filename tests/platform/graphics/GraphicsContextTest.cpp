// The graphics-context stack and drawing paths into it.

#include "platform/foundation/ZQAssert.h"
#include "platform/graphics/BezierPath.h"
#include "platform/graphics/GraphicsContext.h"

#include <QImage>
#include <QPainter>
#include <gtest/gtest.h>

using namespace platform;

namespace {

QImage blankImage()
{
    QImage image(40, 40, QImage::Format_ARGB32);
    image.fill(Qt::white);
    return image;
}

} // namespace

TEST(GraphicsContext, ScopesNestAndRestoreThePainter)
{
    EXPECT_EQ(GraphicsContext::current(), nullptr);
    QImage a = blankImage(), b = blankImage();
    QPainter outerPainter(&a), innerPainter(&b);
    outerPainter.setBrush(Qt::green);
    {
        GraphicsContext::Scope outer(&outerPainter);
        EXPECT_EQ(GraphicsContext::current(), &outer.context());
        EXPECT_EQ(outer.context().fillColour(), QColor(Qt::black)); // contexts start black
        {
            GraphicsContext::Scope inner(&innerPainter, false);
            EXPECT_EQ(GraphicsContext::current()->painter(), &innerPainter);
            EXPECT_FALSE(GraphicsContext::current()->isFlipped());
        }
        EXPECT_EQ(GraphicsContext::current(), &outer.context());
        outer.context().saveGraphicsState();
        outer.context().setFillColour(Qt::red);
        EXPECT_EQ(outer.context().fillColour(), QColor(Qt::red));
        outer.context().restoreGraphicsState();
        outer.context().restoreGraphicsState(); // unmatched: ignored
        EXPECT_EQ(outer.context().fillColour(), QColor(Qt::black));
        outer.context().saveGraphicsState(); // left unrestored: the scope restores it
    }
    EXPECT_EQ(GraphicsContext::current(), nullptr);
    EXPECT_EQ(outerPainter.brush().color(), QColor(Qt::green));
    EXPECT_THROW(GraphicsContext::Scope(nullptr), AssertionFailure);
}

TEST(GraphicsContext, PathsFillStrokeAndClipInTheCurrentContext)
{
    QImage image = blankImage();
    QPainter painter(&image);
    BezierPath square = BezierPath::bezierPathWithRect({10, 10, 20, 20});
    square.fill(); // no context: nothing happens
    {
        GraphicsContext::Scope scope(&painter);
        scope.context().setFillColour(Qt::blue);
        square.fill();
        BezierPath edge = BezierPath::bezierPathWithRect({0, 35, 40, 0});
        edge.setLineWidth(4);
        scope.context().setStrokeColour(Qt::red);
        edge.stroke();
        scope.context().saveGraphicsState();
        BezierPath::bezierPathWithRect({0, 0, 5, 40}).addClip();
        scope.context().setFillColour(Qt::green);
        BezierPath::bezierPathWithRect({0, 0, 40, 8}).fill();
        scope.context().restoreGraphicsState();
        DrawCrossInRect({0, 0, 8, 8}, 1);
    }
    painter.end();
    // Filled, stroked, untouched, inside the clip, clipped away, the cross in the stroke colour.
    const QPoint probes[] = {{20, 20}, {20, 35}, {20, 31}, {4, 7}, {20, 4}, {6, 6}};
    QList<QColor> colours;
    for (const QPoint& probe : probes)
        colours << image.pixelColor(probe);
    EXPECT_EQ(colours, (QList<QColor>{Qt::blue, Qt::red, Qt::white, Qt::green, Qt::white, Qt::red}));
}
