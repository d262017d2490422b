// Stroke outlines of polylines against exact areas and against Qt's own stroker.

#include "platform/graphics/PathGeometry.h"
#include "platform/graphics/PolylineStroke.h"

#include <QImage>
#include <QPainter>
#include <QPicture>
#include <cmath>
#include <gtest/gtest.h>

using namespace platform;

namespace {

QPainterPath polyline(const QPolygonF& points, bool closed = false)
{
    QPainterPath path;
    path.addPolygon(points);
    if (closed)
        path.closeSubpath();
    return path;
}

QPen penOf(double width, Qt::PenJoinStyle join, Qt::PenCapStyle cap = Qt::FlatCap)
{
    return QPen(Qt::black, width, Qt::SolidLine, cap, join);
}

// Flattened a hundred times larger, so the arcs' polygons come close to the arcs.
double areaOf(const QPainterPath& outline)
{
    double area = 0;
    for (const QPolygonF& ring : QTransform::fromScale(100, 100).map(outline).toFillPolygons())
        area += std::abs(signedPolygonArea(ring));
    return area / 1e4;
}

// The stroke drawn by `stroke` into a 200 x 200 image at `scale`, as coverage (0 to 255) per pixel.
template <typename Stroke>
QImage coverage(double scale, Stroke stroke)
{
    QImage image(200, 200, QImage::Format_Alpha8);
    image.fill(0);
    QPainter painter(&image);
    painter.setRenderHint(QPainter::Antialiasing);
    painter.scale(scale, scale);
    stroke(painter);
    return image;
}

struct Difference {
    double coverageRatio = 0; // total coverage of the first over the second
    int farPixels = 0;        // pixels differing by more than a quarter of full coverage
};

Difference compare(const QImage& ours, const QImage& theirs)
{
    double a = 0, b = 0;
    Difference difference;
    for (int y = 0; y < ours.height(); ++y) {
        for (int x = 0; x < ours.width(); ++x) {
            const int p = ours.constScanLine(y)[x], q = theirs.constScanLine(y)[x];
            a += p;
            b += q;
            difference.farPixels += std::abs(p - q) > 64;
        }
    }
    difference.coverageRatio = a / b;
    return difference;
}

} // namespace

TEST(PolylineStroke, OutlineAreasAreTheStrokesExactAreas)
{
    const QPainterPath segment = polyline({{0, 0}, {100, 0}});
    EXPECT_NEAR(areaOf(polylineStrokeOutline(segment, penOf(20, Qt::RoundJoin, Qt::FlatCap))), 2000, 1e-9);
    EXPECT_NEAR(areaOf(polylineStrokeOutline(segment, penOf(20, Qt::RoundJoin, Qt::SquareCap))), 2400, 1e-9);
    // Round caps add a disc of radius 10, to within the flattening of its arcs.
    EXPECT_NEAR(areaOf(polylineStrokeOutline(segment, penOf(20, Qt::RoundJoin, Qt::RoundCap))), 2000 + M_PI * 100, 0.1);
    // A square ring's frame leaves its inside empty and has its outer corners bevelled.
    const QPainterPath ring = polyline({{0, 0}, {10, 0}, {10, 10}, {0, 10}}, true);
    const QPainterPath frame = polylineStrokeOutline(ring, penOf(2, Qt::BevelJoin));
    EXPECT_FALSE(frame.contains(QPointF(5, 5)));
    EXPECT_TRUE(frame.contains(QPointF(5, 10.5)));
    EXPECT_FALSE(frame.contains(QPointF(10.9, 10.9))); // the bevel cut the corner
}

TEST(PolylineStroke, CoversWhatQtsStrokerCovers)
{
    struct Case {
        const char* name;
        QPainterPath path;
        QPen pen;
    };
    QPainterPath twoSubpaths = polyline({{20, 20}, {60, 30}, {50, 60}});
    twoSubpaths.addPolygon(QPolygonF{{120, 40}, {150, 40}, {150, 80}});
    const QList<Case> cases{
        {"left and right turns", polyline({{10, 10}, {60, 20}, {90, 60}, {140, 50}, {160, 90}}), penOf(9, Qt::RoundJoin, Qt::RoundCap)},
        {"sharp turn", polyline({{20, 20}, {150, 60}, {30, 80}}), penOf(12, Qt::RoundJoin, Qt::SquareCap)},
        {"turning back", polyline({{20, 50}, {150, 50}, {60, 50}}), penOf(10, Qt::RoundJoin, Qt::RoundCap)},
        {"bevelled", polyline({{20, 20}, {150, 60}, {30, 120}, {170, 170}}), penOf(10, Qt::BevelJoin, Qt::FlatCap)},
        {"closed ring", polyline({{30, 30}, {170, 40}, {150, 160}, {40, 150}}, true), penOf(14, Qt::RoundJoin)},
        {"short segments", polyline({{50, 100}, {52, 101}, {53, 99}, {56, 100}, {60, 104}, {90, 100}}),
         penOf(16, Qt::RoundJoin, Qt::RoundCap)},
        {"two subpaths", twoSubpaths, penOf(8, Qt::RoundJoin, Qt::RoundCap)},
    };
    for (const Case& test : cases) {
        SCOPED_TRACE(test.name);
        const QPainterPath outline = polylineStrokeOutline(test.path, test.pen);
        ASSERT_FALSE(outline.isEmpty());
        const QImage ours = coverage(1, [&](QPainter& painter) { painter.fillPath(outline, Qt::black); });
        const QImage theirs = coverage(1, [&](QPainter& painter) { painter.strokePath(test.path, test.pen); });
        const Difference difference = compare(ours, theirs);
        EXPECT_NEAR(difference.coverageRatio, 1, 0.005);
        // Where several edges cross one pixel, coverage is summed a little differently.
        EXPECT_LE(difference.farPixels, 4);
    }
}

TEST(PolylineStroke, StrokesUnderAClipDrawWhatQtDrawsThereAndNothingWhenTheyMissIt)
{
    // The miter of a sharp turn reaches into the clip from a join point below it; a line and a
    // stroke with its area lie wholly outside the clip.
    const QPainterPath spike = polyline({{30, 200}, {50, 112}, {70, 200}});
    const QPainterPath away = polyline({{20, 150}, {180, 160}});
    QPainterPath area;
    area.addRect(40, 120, 50, 30);
    const QRectF clip(0, 0, 100, 100);
    const auto clipped = [&](auto draw) {
        return coverage(1, [&](QPainter& painter) {
            painter.setClipRect(clip);
            draw(painter);
        });
    };
    for (const QPen& pen : {penOf(10, Qt::MiterJoin), penOf(10, Qt::RoundJoin, Qt::SquareCap)}) {
        const QImage ours = clipped([&](QPainter& painter) { strokePath(painter, spike, pen); });
        const QImage theirs = clipped([&](QPainter& painter) { painter.strokePath(spike, pen); });
        EXPECT_EQ(ours, theirs) << pen.joinStyle();
    }
    EXPECT_GT(compare(clipped([&](QPainter& painter) { strokePath(painter, spike, penOf(10, Qt::MiterJoin)); }),
                      coverage(1, [](QPainter&) {})).coverageRatio, 1);
    QImage nothing = coverage(1, [](QPainter&) {});
    EXPECT_EQ(clipped([&](QPainter& painter) { strokePath(painter, away, penOf(20, Qt::RoundJoin)); }), nothing);
    EXPECT_EQ(clipped([&](QPainter& painter) { strokePathAndFill(painter, away, penOf(20, Qt::RoundJoin), area, {}); }),
              nothing);
}

TEST(PolylineStroke, LeavesToQtWhatItDoesNotOutline)
{
    const QPainterPath line = polyline({{0, 0}, {10, 0}, {10, 10}});
    QPainterPath curved;
    curved.moveTo(0, 0);
    curved.cubicTo(5, 5, 10, 5, 10, 0);
    QPainterPath dot;
    dot.moveTo(5, 5);
    dot.lineTo(5, 5);
    QPen dashed = penOf(2, Qt::RoundJoin);
    dashed.setStyle(Qt::DashLine);
    QPen cosmetic = penOf(2, Qt::RoundJoin);
    cosmetic.setCosmetic(true);
    for (const auto& [path, pen] : {std::pair{curved, penOf(2, Qt::RoundJoin)}, std::pair{line, dashed},
                                    std::pair{line, cosmetic}, std::pair{line, penOf(2, Qt::SvgMiterJoin)},
                                    std::pair{line, penOf(0, Qt::RoundJoin)}, std::pair{dot, penOf(2, Qt::RoundJoin)},
                                    std::pair{polyline({{0, 0}, {NAN, 1}}), penOf(2, Qt::RoundJoin)}})
        EXPECT_TRUE(polylineStrokeOutline(path, pen).isEmpty());
    // A lone move draws nothing and does not stop the rest being outlined.
    QPainterPath trailingMove = line;
    trailingMove.moveTo(20, 20);
    EXPECT_FALSE(polylineStrokeOutline(trailingMove, penOf(2, Qt::RoundJoin)).isEmpty());
}

TEST(PolylineStroke, StrokesThinnerThanAPixelAreQtsOwn)
{
    const QPainterPath path = polyline({{100, 100}, {900, 300}, {300, 900}, {1500, 1700}});
    const QPen pen = penOf(8, Qt::RoundJoin, Qt::RoundCap);
    // Eight points at a tenth of the scale is 0.8 pixels: Qt's hairline rendering, unchanged.
    const auto qt = [&](QPainter& painter) { painter.strokePath(path, pen); };
    const auto ours = [&](QPainter& painter) { strokePath(painter, path, pen); };
    EXPECT_EQ(coverage(0.1, ours), coverage(0.1, qt));
    // At twice that it is filled from the outline.
    const QPainterPath outline = polylineStrokeOutline(path, pen);
    EXPECT_EQ(coverage(0.2, ours), coverage(0.2, [&](QPainter& painter) { painter.fillPath(outline, Qt::black); }));
}

TEST(PolylineStroke, VectorOutputKeepsItsStrokes)
{
    // Recorded as a stroke, as PDF and printers would get it, not as a filled outline.
    const QPainterPath path = polyline({{10, 10}, {90, 30}, {40, 80}});
    const QPen pen = penOf(6, Qt::RoundJoin, Qt::RoundCap);
    const auto record = [&](auto stroke) {
        QPicture picture;
        QPainter painter(&picture);
        painter.scale(3, 3);
        stroke(painter);
        painter.end();
        return QByteArray(picture.data(), picture.size());
    };
    EXPECT_EQ(record([&](QPainter& painter) { strokePath(painter, path, pen); }),
              record([&](QPainter& painter) { painter.strokePath(path, pen); }));
}

TEST(PolylineStroke, FlatEndsAndAreasFillInOneGoWithoutSeams)
{
    const QPainterPath segment = polyline({{0, 0}, {100, 0}});
    const QPen round = penOf(20, Qt::RoundJoin, Qt::RoundCap);
    // Flat ends take no cap, whatever the pen's.
    EXPECT_NEAR(areaOf(polylineStrokeOutline(segment, round, {true, false})), 2000 + M_PI * 50, 0.1);
    EXPECT_NEAR(areaOf(polylineStrokeOutline(segment, round, {true, true})), 2000, 1e-9);

    // A stroke stopping flat at x = 80.3 and an area carrying it on: a translucent fill shows no
    // seam where they meet, and the area's pixels are painted once.
    const QPainterPath stopped = polyline({{20, 100}, {80.3, 100}});
    QPainterPath onwards;
    onwards.addPolygon(QPolygonF({{80.3, 90}, {120, 90}, {120, 110}, {80.3, 110}}));
    onwards = onwards.toReversed(); // anticlockwise on the screen, like the outlines
    const QPen translucent(QColor(0, 0, 0, 128), 20, Qt::SolidLine, Qt::RoundCap, Qt::RoundJoin);
    const QImage drawn = coverage(1, [&](QPainter& painter) {
        strokePathAndFill(painter, stopped, translucent, onwards, {false, true});
    });
    const int inside = drawn.constScanLine(100)[50];
    EXPECT_NEAR(inside, 128, 1);
    for (int x = 76; x <= 86; ++x)
        EXPECT_EQ(drawn.constScanLine(100)[x], inside) << x;
    EXPECT_EQ(drawn.constScanLine(100)[125], 0);

    // Where the outline is Qt's (a hairline pen), the stroke keeps its caps and the area is filled after it.
    const QImage thin = coverage(1, [&](QPainter& painter) {
        strokePathAndFill(painter, stopped, QPen(Qt::black, 0.5), onwards, {false, true});
    });
    EXPECT_GT(thin.constScanLine(100)[50], 0);
    EXPECT_EQ(thin.constScanLine(100)[100], 255);
}
