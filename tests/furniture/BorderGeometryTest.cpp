#include "GridOwnerForTesting.h"
#include "furniture/edges/VXQGridBorder.h"

#include <gtest/gtest.h>
#include <cmath>
#include <limits>

namespace {

struct Segment {
    QPointF from;
    QPointF to;
};

// The path's subpaths, each a move and one line.
QList<Segment> segmentsOf(const platform::BezierPath& path)
{
    QList<Segment> segments;
    QPointF points[3];
    for (int index = 0; index < path.elementCount(); ++index) {
        if (path.elementAtIndexAssociatedPoints(index, points) == platform::PathElement::MoveTo)
            segments.append({points[0], points[0]});
        else
            segments.last().to = points[0];
    }
    return segments;
}

} // namespace

TEST(BorderGeometry, DefaultBandCentreBoundsAndTicks)
{
    GridOwnerForTesting owner; // (0, 0, 100, 50), span 10, 10 divisions
    auto border = VXQGridBorder::defaultBorder();
    border->setOwner(&owner);
    EXPECT_EQ(border->centreLineForEdge(kVXQGridEdgeLeft), QLineF(-4.5, 0, -4.5, 50));
    EXPECT_EQ(border->centreLineForEdge(kVXQGridEdgeRight), QLineF(104.5, 0, 104.5, 50));
    EXPECT_EQ(border->centreLineForEdge(kVXQGridEdgeTop), QLineF(0, -4.5, 100, -4.5));
    EXPECT_EQ(border->centreLineForEdge(kVXQGridEdgeBottom), QLineF(0, 54.5, 100, 54.5));
    EXPECT_EQ(border->boundsForEdge(kVXQGridEdgeLeft), QRectF(-9.5, -0.5, 8, 51));
    EXPECT_EQ(border->boundsForEdge(kVXQGridEdgeBottom), QRectF(-0.5, 51.5, 101, 8));

    const QList<Segment> ticks = segmentsOf(border->tickPathForEdge(kVXQGridEdgeLeft));
    ASSERT_EQ(ticks.size(), 6);
    const double halfLengths[] = {2.5, 2.375, 2.375, 2.375, 2.375, 2.5};
    for (int k = 0; k < 6; ++k) {
        EXPECT_DOUBLE_EQ(ticks[k].from.y(), 10 * k);
        EXPECT_DOUBLE_EQ(ticks[k].to.y(), 10 * k);
        EXPECT_DOUBLE_EQ(ticks[k].from.x(), -4.5 + halfLengths[k]) << k;     // inner end
        EXPECT_DOUBLE_EQ(ticks[k].to.x(), -4.5 - halfLengths[k] - 3) << k; // 3 points beyond the band
    }
    // Bottom ticks stick out downwards; without extended markers they stay in the band.
    EXPECT_DOUBLE_EQ(segmentsOf(border->tickPathForEdge(kVXQGridEdgeBottom)).first().to.y(), 54.5 + 2.5 + 3);
    border->setExtendedMarkers(false);
    EXPECT_DOUBLE_EQ(segmentsOf(border->tickPathForEdge(kVXQGridEdgeBottom)).first().to.y(), 57);
    EXPECT_EQ(border->boundsForEdge(kVXQGridEdgeLeft), QRectF(-7.5, -0.5, 6, 51));

    // Edges the border does not band still answer their bounds.
    border->setBorderEdges(kVXQGridEdgeTop | 64);
    EXPECT_EQ(border->borderEdges(), kVXQGridEdgeTop);
    EXPECT_EQ(border->boundsForEdge(kVXQGridEdgeRight), QRectF(101.5, -0.5, 6, 51));
}

TEST(BorderGeometry, BarredPathMarksEveryDivisionAndBarsEveryOther)
{
    GridOwnerForTesting owner;
    owner.rect = QRectF(0, 0, 50, 50);
    VXQGridBorder border;
    border.setOwner(&owner);
    const QList<Segment> path = segmentsOf(border.osStylePathForEdge(kVXQGridEdgeTop));
    int marks = 0;
    int bars = 0;
    for (const Segment& segment : path) {
        if (segment.from.x() == segment.to.x()) {
            ++marks;
            EXPECT_DOUBLE_EQ(std::abs(segment.to.y() - segment.from.y()), 4.75); // across, 0.125 short each side
        } else {
            ++bars;
            EXPECT_DOUBLE_EQ(segment.to.x() - segment.from.x(), 1);
            EXPECT_EQ(int(segment.from.x()) % 2, 0);
        }
    }
    EXPECT_EQ(marks, 50);
    EXPECT_EQ(bars, 25);

    // The last bar stops at the rectangle's end.
    owner.rect = QRectF(0, 0, 48.5, 30);
    const QList<Segment> cut = segmentsOf(border.osStylePathForEdge(kVXQGridEdgeLeft));
    EXPECT_EQ(cut.size(), 30 + 15);
    const QList<Segment> shortened = segmentsOf(border.osStylePathForEdge(kVXQGridEdgeBottom));
    EXPECT_EQ(shortened.size(), 49 + 25);
    EXPECT_EQ(shortened.last().from, QPointF(48, 34.5));
    EXPECT_EQ(shortened.last().to, QPointF(48.5, 34.5));
}

TEST(BorderGeometry, SpansAndDivisionsThatAreNoPositiveNumberDrawNoDivisions)
{
    constexpr double inf = std::numeric_limits<double>::infinity();
    const std::pair<double, quint64> cases[] = {{0, 10}, {10, 0}, {-10, 10}, {std::nan(""), 10}, {inf, 10}, {1e-9, 10}};
    for (const auto& [span, divisions] : cases) {
        GridOwnerForTesting owner;
        owner.span = span;
        owner.divisions = divisions;
        VXQGridBorder border;
        border.setOwner(&owner);
        border.setOrdnanceSurveyStyleEnabled(true);
        EXPECT_TRUE(border.osStylePathForEdge(kVXQGridEdgeTop).isEmpty()) << span << " " << divisions;
        if (!(span > 0 && std::isfinite(span)) || divisions == 0) {
            EXPECT_FALSE(border.divisionLength()) << span << " " << divisions;
        }
        // The band itself still draws, in one colour.
        const QImage image = paintedImage({140, 100}, QTransform::fromTranslate(20, 20), [&] {
            border.drawInRect(QRectF(-20, -20, 140, 100));
        });
        EXPECT_GT(opaquePixelCount(image), 500);
        EXPECT_NE(image.pixel(70, 20 - 5), border.alternateFillColour().rgba());
    }
    VXQGridBorder orphan;
    EXPECT_TRUE(orphan.tickPathForEdge(kVXQGridEdgeLeft).isEmpty());
    EXPECT_EQ(orphan.centreLineForEdge(kVXQGridEdgeLeft), QLineF(-4.5, 0, -4.5, 0));
}

TEST(BorderGeometry, AlternatingDivisionsStartWithTheSecondColour)
{
    GridOwnerForTesting owner;
    VXQGridBorder border;
    border.setOwner(&owner);
    border.setBorderEdges(kVXQGridEdgeTop | kVXQGridEdgeLeft);
    // Ten pixels to the point, the drawing's (-20, -20) at the image's corner.
    QTransform transform;
    transform.scale(10, 10);
    transform.translate(20, 20);
    const QImage image =
        paintedImage({1300, 800}, transform, [&] { border.drawInRect(QRectF(-20, -20, 130, 80)); });
    const auto sample = [&](double x, double y) { return image.pixel(int((x + 20) * 10), int((y + 20) * 10)); };
    for (int division = 0; division < 6; ++division) {
        const QColor expected = division % 2 == 0 ? border.alternateFillColour() : border.fillColour();
        EXPECT_EQ(sample(division + 0.5, -4.5), expected.rgba()) << division;
        EXPECT_EQ(sample(-4.5, division + 0.5), expected.rgba()) << division;
    }
    EXPECT_EQ(sample(10, -4.5), QColor(Qt::black).rgba()); // a tick
    EXPECT_EQ(sample(5.5, -6.9), QColor(Qt::black).rgba()); // the outline
    EXPECT_EQ(qAlpha(sample(5.5, 54.5)), 0);                // no bottom band
    EXPECT_EQ(qAlpha(sample(5.5, -12)), 0);                 // nothing beyond the ticks
}

TEST(BorderGeometry, ExtentSettersClampAndRedrawOldAndNewArea)
{
    GridOwnerForTesting owner;
    VXQGridBorder border;
    border.setOwner(&owner);
    const QRectF before = border.boundsForEdge(kVXQGridEdgeLeft);
    border.setWidth(8);
    ASSERT_EQ(owner.redrawn.size(), 8);
    EXPECT_EQ(owner.redrawn.first(), before);
    EXPECT_EQ(owner.redrawn[4], border.boundsForEdge(kVXQGridEdgeLeft));
    owner.redrawn.clear();
    border.setWidth(8);
    border.setWidth(std::nan(""));
    border.setOffset(std::numeric_limits<double>::infinity());
    EXPECT_TRUE(owner.redrawn.isEmpty());
    border.setWidth(-3);
    border.setOffset(1e9);
    EXPECT_EQ(border.width(), 0.0);
    EXPECT_EQ(border.offset(), VXQGridBorder::kMaximumExtent);
}
