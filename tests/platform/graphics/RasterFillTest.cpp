// Fills and strokes trimmed to the pixels a clip lets through: the same pixels as Qt's of the whole
// path through the same clip, for every tile of an image, under scaling and rotation, with curves,
// holes, both fill rules, joins, caps and without antialiasing.

#include "platform/graphics/RasterFill.h"

#include <QImage>
#include <QPainter>
#include <cmath>
#include <gtest/gtest.h>
#include <malloc.h>

using namespace platform;

namespace {

// A wavy ring of `count` points around `centre`, as a coastline from a shapefile.
QPolygonF wavyRing(QPointF centre, double radius, int count, double stretch = 1)
{
    QPolygonF ring;
    for (int i = 0; i < count; ++i) {
        const double t = 2 * M_PI * i / count;
        const double r = radius + radius * 0.04 * std::sin(97 * t) + radius * 0.02 * std::sin(613 * t);
        ring << centre + QPointF(stretch * r * std::cos(t), r * std::sin(t));
    }
    return ring;
}

// Land with a lake and an island of curves: three subpaths, two of them closed by Qt.
QPainterPath landWithLake(Qt::FillRule rule)
{
    QPainterPath path;
    path.setFillRule(rule);
    path.addPolygon(wavyRing({300, 220}, 260, 4000, 1.3));
    path.addPolygon(wavyRing({260, 200}, 90, 900));
    path.addEllipse(QRectF(230, 170, 50, 40));
    path.moveTo(-400, -300);
    path.cubicTo(-100, 900, 200, -500, 500, 800);
    path.cubicTo(700, 1200, 1100, 600, 900, -200);
    return path;
}

struct Paint {
    QTransform transform;
    QBrush brush;
    bool antialiased = true;
};

// Painted tile by tile through clips, as images painted on several threads are.
QImage tiledImageOf(QSize size, int side, const Paint& paint, const std::function<void(QPainter&)>& draw)
{
    QImage image(size, QImage::Format_ARGB32_Premultiplied);
    image.fill(Qt::white);
    for (int y = 0; y < size.height(); y += side) {
        for (int x = 0; x < size.width(); x += side) {
            QPainter painter(&image);
            painter.setRenderHint(QPainter::Antialiasing, paint.antialiased);
            painter.setClipRect(QRect(x, y, side, side));
            painter.setTransform(paint.transform);
            draw(painter);
        }
    }
    return image;
}

} // namespace

TEST(RasterFill, TrimmedPathsFillTheSamePixelsAsTheWholePaths)
{
    const QSize size(640, 470);
    const QTransform rotated = QTransform().translate(320, 235).rotate(23).scale(1.1, 0.9).translate(-300, -220);
    struct Case {
        const char* name;
        Paint paint;
        Qt::FillRule rule;
        int tileSide;
    };
    const QList<Case> cases{
        {"scaled", {QTransform::fromScale(1.07, 1.07).translate(0.3, -0.45), QColor(30, 90, 160)}, Qt::WindingFill, 64},
        {"even-odd, translucent", {QTransform::fromTranslate(10.5, 0.25), QColor(0, 120, 0, 130)}, Qt::OddEvenFill, 100},
        {"rotated", {rotated, QColor(200, 60, 20)}, Qt::WindingFill, 77},
        {"reaching far beyond the image", {QTransform::fromScale(2.6, 2.6).translate(-180, -120), QColor(90, 20, 20)},
         Qt::OddEvenFill, 128},
        {"aliased", {QTransform::fromScale(1.3, 1.2), QColor(10, 10, 10), false}, Qt::WindingFill, 90},
    };
    for (const Case& test : cases) {
        SCOPED_TRACE(test.name);
        const QPainterPath path = landWithLake(test.rule);
        const QImage whole = tiledImageOf(size, test.tileSide, test.paint,
                                          [&](QPainter& painter) { painter.fillPath(path, test.paint.brush); });
        const QImage trimmed = tiledImageOf(size, test.tileSide, test.paint,
                                            [&](QPainter& painter) { fillPath(painter, path, test.paint.brush); });
        EXPECT_TRUE(whole == trimmed);
    }
}

TEST(RasterFill, TrimmedStrokesDrawTheSamePixelsAsTheWholePaths)
{
    const QSize size(640, 470);
    // Closed rings (one starting inside the image, one outside), curves, a zigzag with short and
    // repeated points, as rivers, coasts and borders, and long lines crossing tiles.
    QPainterPath path;
    path.addPolygon(wavyRing({300, 220}, 260, 1200, 1.3));
    path.closeSubpath();
    path.addPolygon(wavyRing({600, 400}, 500, 400));
    path.addEllipse(QRectF(230, 170, 50, 40));
    path.moveTo(-400, -300);
    path.cubicTo(-100, 900, 200, -500, 500, 800);
    path.moveTo(-50, 300);
    for (int i = 0; i < 40; ++i) {
        path.lineTo(-50 + 20 * i, 300 + (i % 2 ? 60 : -60));
        path.lineTo(-50 + 20 * i + 0.0001, 300 + (i % 2 ? 60 : -60));
    }
    path.addPolygon(QPolygonF{{-300, -200}, {900, 640}, {-300, 610}, {950, -150}, {320, 900}});
    // Drawn on its own, as Qt draws a path of one line differently.
    QPainterPath crossing;
    crossing.addPolygon(QPolygonF{{-300, -200}, {-100, 100}, {900, 330}, {1100, 700}});
    const QTransform rotated = QTransform().translate(320, 235).rotate(-31).translate(-320, -235);
    struct Case {
        const char* name;
        QTransform transform;
        QPen pen;
    };
    const QList<Case> cases{
        {"mitred", QTransform::fromScale(1.1, 1.1), QPen(QColor(20, 20, 90), 5, Qt::SolidLine, Qt::SquareCap, Qt::MiterJoin)},
        {"round, rotated", rotated, QPen(QColor(120, 30, 30, 150), 9, Qt::SolidLine, Qt::RoundCap, Qt::RoundJoin)},
        {"long miters, past the image", QTransform::fromScale(2.2, 2.2).translate(-150, -100),
         [] {
             QPen pen(QColor(0, 90, 0), 3, Qt::SolidLine, Qt::FlatCap, Qt::MiterJoin);
             pen.setMiterLimit(12);
             return pen;
         }()},
    };
    for (const Case& test : cases) {
        SCOPED_TRACE(test.name);
        const Paint paint{test.transform, QBrush()};
        const QImage whole = tiledImageOf(size, 128, paint, [&](QPainter& painter) {
            painter.strokePath(path, test.pen);
            painter.strokePath(crossing, test.pen);
        });
        const QImage trimmed = tiledImageOf(size, 128, paint, [&](QPainter& painter) {
            strokePathWithQt(painter, path, test.pen);
            strokePathWithQt(painter, crossing, test.pen);
        });
        EXPECT_TRUE(whole == trimmed);
    }
    // Only what the pen reaches a tile from is stroked.
    const QPainterPath near = pathTrimmedForStroke(path, QTransform(), QRect(300, 200, 90, 90), 5);
    EXPECT_LT(near.elementCount(), path.elementCount() / 4);
}

TEST(RasterFill, TrimmingLeavesWhatReachesThePixelsAndDropsWhatCannot)
{
    QPainterPath ring;
    ring.addPolygon(wavyRing({2000, 1500}, 1400, 20000, 1.35));
    // A tile inside the ring: the coastline around it shrinks to a few lines.
    const QPainterPath inside = pathTrimmedToPixels(ring, {}, QRect(1800, 1300, 512, 512));
    EXPECT_LE(inside.elementCount(), 12);
    EXPECT_TRUE(inside.contains(QPointF(2000, 1500)));
    // A tile on the coast keeps the coast crossing it.
    const QRect coast(2000 - 1400 * 1.35 - 256, 1244, 512, 512);
    const QPainterPath crossing = pathTrimmedToPixels(ring, {}, coast);
    EXPECT_GT(crossing.elementCount(), 200);
    EXPECT_LT(crossing.elementCount(), 2000);
    // Wholly beyond one side: nothing left; wholly inside: the very same path.
    EXPECT_TRUE(pathTrimmedToPixels(ring, QTransform::fromTranslate(-5000, 0), QRect(0, 0, 512, 512)).isEmpty());
    EXPECT_TRUE(pathTrimmedToPixels(ring, {}, QRect(0, 0, 4000, 3000)) == ring);
    // Perspective maps straight lines on curved ones in no way the trimming can follow.
    const QTransform perspective(1, 0, 0.0001, 0, 1, 0.0002, 0, 0, 1);
    EXPECT_EQ(pathTrimmedToPixels(ring, perspective, QRect(1800, 1300, 512, 512)).elementCount(), ring.elementCount());
}

TEST(RasterFill, PaintedPathsKeepNothingOfThePainting)
{
    // Thousands of short roads kept as a map keeps them, each filled and stroked (thin, wide,
    // dashed) as a tile draws them, in the same pixels as Qt's own painting: the paths hold no
    // more memory afterwards than before.
    std::vector<QPainterPath> roads;
    for (int i = 0; i < 4000; ++i) {
        QPainterPath road(QPointF(i % 60 * 4, i / 60 * 3));
        road.lineTo(road.currentPosition() + QPointF(2, 1));
        road.lineTo(road.currentPosition() + QPointF(1, 2));
        roads.push_back(road);
    }
    const QPen pens[] = {QPen(Qt::black, 0.4), QPen(Qt::darkRed, 3), QPen(Qt::blue, 2, Qt::DashLine)};
    QImage ours(260, 210, QImage::Format_ARGB32_Premultiplied), theirs = ours;
    ours.fill(Qt::white);
    theirs.fill(Qt::white);
    const size_t before = mallinfo2().uordblks;
    {
        QPainter painter(&ours);
        painter.setRenderHint(QPainter::Antialiasing);
        for (const QPainterPath& road : roads) {
            fillPath(painter, road, QColor(200, 230, 180));
            for (const QPen& pen : pens)
                strokePathWithQt(painter, road, pen);
        }
    }
    const double bytesPerRoad = (double(mallinfo2().uordblks) - double(before)) / double(roads.size());
    EXPECT_LT(bytesPerRoad, 64);

    QPainter painter(&theirs);
    painter.setRenderHint(QPainter::Antialiasing);
    for (QPainterPath road : roads) {
        painter.fillPath(road, QColor(200, 230, 180));
        for (const QPen& pen : pens)
            painter.strokePath(road, pen);
    }
    EXPECT_EQ(ours, theirs);
}

TEST(RasterFill, StretchesAreTheLeastAndMostAnyDirectionIsStretched)
{
    struct Case {
        const char* name;
        QTransform transform;
        double smallest;
        double largest;
    };
    const double root2 = std::sqrt(2.0);
    const QList<Case> cases{
        // A map at half size: a pen of 4 points is 2 pixels wide every way (not 1.41, as a bound
        // through the matrix's norm had it, which left such pens untrimmed).
        {"halved", QTransform::fromScale(0.5, 0.5).translate(300, -20), 0.5, 0.5},
        {"rotated", QTransform().rotate(37).scale(3, 3), 3, 3},
        {"uneven, rotated", QTransform().rotate(-61).scale(4, 0.25), 0.25, 4},
        {"mirrored", QTransform::fromScale(-2, 1), 1, 2},
        // Shear (1, 1; 0, 1): the singular values are the golden ratio and its inverse.
        {"sheared", QTransform(1, 0, 1, 1, 0, 0), (std::sqrt(5.0) - 1) / 2, (std::sqrt(5.0) + 1) / 2},
        {"flattened onto a line", QTransform(1, 1, 1, 1, 0, 0), 0, 2},
        {"nothing", QTransform(0, 0, 0, 0, 5, 5), 0, 0},
        {"diagonal stretch", QTransform(1.5, 0.5, 0.5, 1.5, 0, 0), 1, 2},
        {"halved, turned an eighth", QTransform().rotate(45).scale(0.5 * root2, 0.5 * root2), root2 / 2, root2 / 2},
    };
    for (const Case& test : cases) {
        SCOPED_TRACE(test.name);
        const Stretches stretches = stretchesOf(test.transform);
        EXPECT_NEAR(stretches.smallest, test.smallest, 1e-7);
        EXPECT_NEAR(stretches.largest, test.largest, 1e-9);
    }
}
