#include "panels/tabs/TabStripGeometry.h"

#include <gtest/gtest.h>

namespace {

const QRectF kStrip(0, 0, 300, 29);
const QList<double> kThreeIcons{50, 50, 50};

QList<double> xs(const QList<QRectF>& rects)
{
    QList<double> result;
    for (const QRectF& rect : rects)
        result << rect.x();
    return result;
}

TEST(TabStripGeometry, RowsAreCentredAlignedOrJustified)
{
    const QList<QRectF> centred = tabstrip::tabRects(kStrip, kThreeIcons, tabstrip::Centred);
    EXPECT_EQ(xs(centred), QList<double>({76, 125, 174}));
    EXPECT_EQ(centred[0], QRectF(76, 3, 50, 25));

    EXPECT_EQ(xs(tabstrip::tabRects(kStrip, kThreeIcons, tabstrip::Right)), QList<double>({152, 201, 250}));
    EXPECT_EQ(xs(tabstrip::tabRects(kStrip, kThreeIcons, 7)), QList<double>({152, 201, 250})) << "unknown values align right";
    EXPECT_EQ(xs(tabstrip::tabRects(kStrip, kThreeIcons, tabstrip::Left)), QList<double>({0, 49, 98}));

    const QList<QRectF> justified = tabstrip::tabRects(kStrip, kThreeIcons, tabstrip::Justified);
    EXPECT_EQ(xs(justified), QList<double>({0, 100, 200}));
    EXPECT_EQ(justified[0].width(), 101);
    EXPECT_EQ(justified[1].width(), 101);
    EXPECT_EQ(justified[2].width(), 100) << "the row ends at the strip's right end";
}

TEST(TabStripGeometry, WidthsStayBetweenTheMinimumAndTheShare)
{
    // A 14-point tab is drawn 38 wide, but the centring counts 14.
    const QList<QRectF> rects = tabstrip::tabRects(kStrip, {14, 50}, tabstrip::Centred);
    EXPECT_EQ(rects[0].width(), 38);
    const double free = 300 - 64 + 1;
    EXPECT_EQ(rects[0].x(), std::floor(free / 2));
    EXPECT_EQ(rects[1].x(), rects[0].x() + 37);

    // Wide tabs are capped at their share plus one; with nothing left over the row starts at 0.
    const QList<QRectF> wide = tabstrip::tabRects(kStrip, {400, 400, 400, 400}, tabstrip::Centred);
    EXPECT_EQ(wide[0], QRectF(0, 3, 76, 25));
    EXPECT_EQ(wide[3].x(), 225);

    // Justified tabs that would be narrower than the minimum overflow rather than shrink.
    const QList<QRectF> crowded = tabstrip::tabRects(QRectF(0, 0, 60, 29), {20, 20, 20}, tabstrip::Justified);
    EXPECT_EQ(crowded[0].width(), 38);
    EXPECT_EQ(crowded[2].width(), 38);
}

TEST(TabStripGeometry, IndexesOutOfRangeAndHitTesting)
{
    EXPECT_EQ(tabstrip::rectOfTabAtIndex(kStrip, kThreeIcons, 0, 3), QRectF());
    EXPECT_EQ(tabstrip::rectOfTabAtIndex(kStrip, kThreeIcons, 0, -1), QRectF());
    EXPECT_EQ(tabstrip::rectOfTabAtIndex(kStrip, {}, 0, 0), QRectF());
    EXPECT_EQ(tabstrip::rectOfTabAtIndex(kStrip, kThreeIcons, 0, 1), QRectF(125, 3, 50, 25));

    const QList<QRectF> rects = tabstrip::tabRects(kStrip, kThreeIcons, tabstrip::Centred);
    EXPECT_EQ(tabstrip::indexOfTabContainingPoint(rects, {125.5, 10}), 0) << "the overlap belongs to the left tab";
    EXPECT_EQ(tabstrip::indexOfTabContainingPoint(rects, {200, 10}), 2);
    EXPECT_EQ(tabstrip::indexOfTabContainingPoint(rects, {10, 10}), -1);
    EXPECT_EQ(tabstrip::indexOfTabContainingPoint(rects, {100, 1}), -1);
}

} // namespace
