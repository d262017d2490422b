// A level's contour cut into the strands views stroke.

#include "terrain/layer/ContourComputation.h"

#include <gtest/gtest.h>

TEST(ContourStrands, StrandsCarryEverySubpathInOrderWithItsBoundsAndDropLoneMoves)
{
    QPainterPath path;
    path.moveTo(0, 0);
    path.lineTo(10, 0);
    path.cubicTo(12, 2, 14, 8, 10, 10);
    path.moveTo(-5, 20);
    path.cubicTo(-8, 30, 4, 40, 6, 25);
    path.lineTo(7, 26);
    path.closeSubpath();
    path.moveTo(50, 50); // nothing drawn from here

    const QList<ContourStrand> strands = ContourComputation::strandsOf(path);
    ASSERT_EQ(strands.size(), 2);
    QPainterPath joined;
    for (const ContourStrand& strand : strands) {
        EXPECT_EQ(strand.bounds, strand.path.controlPointRect());
        joined.addPath(strand.path);
    }
    EXPECT_EQ(strands[0].bounds, QRectF(0, 0, 14, 10));
    ASSERT_EQ(joined.elementCount(), path.elementCount() - 1);
    for (int e = 0; e < joined.elementCount(); ++e) {
        EXPECT_EQ(joined.elementAt(e).type, path.elementAt(e).type) << e;
        EXPECT_EQ(QPointF(joined.elementAt(e)), QPointF(path.elementAt(e))) << e;
    }
    EXPECT_TRUE(ContourComputation::strandsOf(QPainterPath()).isEmpty());
}

// A contour across a whole map (a slope's) would be stroked whole by every tile it crosses.
TEST(ContourStrands, ALongSubpathGoesOnInStrandsOfBoundedLengthThatMeetEndToEnd)
{
    QPainterPath path;
    path.moveTo(0, 0);
    for (int i = 1; i <= 200; ++i)
        i % 2 ? path.lineTo(i * 10, i * 5) : path.cubicTo(i * 10 - 6, i * 5, i * 10 - 3, i * 5, i * 10, i * 5);
    const QList<ContourStrand> strands = ContourComputation::strandsOf(path);
    ASSERT_EQ(strands.size(), 4); // 64 + 64 + 64 + 8 pieces
    QPointF end(0, 0);
    for (const ContourStrand& strand : strands) {
        EXPECT_EQ(QPointF(strand.path.elementAt(0)), end) << "each starts where the last ended";
        EXPECT_EQ(strand.bounds, strand.path.controlPointRect());
        EXPECT_LE(strand.bounds.width(), 64 * 10);
        end = strand.path.currentPosition();
    }
    EXPECT_EQ(end, QPointF(2000, 1000));
    EXPECT_EQ(strands.last().path.elementCount(), 1 + 4 * 1 + 4 * 3) << "the last 8: four lines, four curves";
}
