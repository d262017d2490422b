#include "geodata/PathSimplification.h"
#include "geodata/ZQDouglasPeuckerSimplifier.h"

#include "platform/foundation/UserDefaults.h"

#include <QPolygonF>
#include <QThread>
#include <cmath>
#include <gtest/gtest.h>

using geodata::bezierPathByInterpolatingEndPoints;
using geodata::simplifyUsingDouglasPeuckerWithAmount;

namespace {

QPainterPath polyline(const QList<QPointF>& points)
{
    QPainterPath path(points.first());
    for (qsizetype i = 1; i < points.size(); ++i)
        path.lineTo(points[i]);
    return path;
}

QList<QPointF> vertices(const QPainterPath& path)
{
    QList<QPointF> list;
    for (int i = 0; i < path.elementCount(); ++i)
        list.append(path.elementAt(i));
    return list;
}

} // namespace

TEST(DouglasPeucker, KeepsTheHandCheckedVerticesShrinksStraightRunsAndKeepsZigZags)
{
    // Chord A-G: C lies 1.66 away, so it splits; in C-G, D lies 1.36 away and splits again;
    // B (0.15 from A-C) and E, F (on the line D-G) fall within 0.5.
    const QList<QPointF> points = {{0, 0}, {1, 0.1}, {2, -0.1}, {3, 5}, {4, 6}, {5, 7}, {6, 8}};
    EXPECT_EQ(vertices(simplifyUsingDouglasPeuckerWithAmount(polyline(points), 0.5)),
              (QList<QPointF>{{0, 0}, {2, -0.1}, {3, 5}, {6, 8}}));
    EXPECT_EQ(vertices(simplifyUsingDouglasPeuckerWithAmount(polyline(points), 0.1)).size(), 5) << "B stays too";

    QList<QPointF> straight, zigzag;
    for (int i = 0; i < 100; ++i) {
        straight.append({i * 0.5, i * 0.25});
        zigzag.append({double(i), i % 2 ? 1.0 : -1.0});
    }
    EXPECT_EQ(vertices(simplifyUsingDouglasPeuckerWithAmount(polyline(straight), 0.01)),
              (QList<QPointF>{straight.first(), straight.last()}));
    EXPECT_EQ(vertices(simplifyUsingDouglasPeuckerWithAmount(polyline(zigzag), 0.9)), zigzag);
}

TEST(DouglasPeucker, ClosedRingsMeasureFromTheirSharedEndInsteadOfCollapsing)
{
    const QList<QPointF> ring = {{0, 0}, {5, 0.01}, {10, 0}, {10, 10}, {0, 10}, {0, 0}};
    const QPainterPath result = simplifyUsingDouglasPeuckerWithAmount(polyline(ring), 0.1);
    EXPECT_EQ(vertices(result), (QList<QPointF>{{0, 0}, {10, 0}, {10, 10}, {0, 10}, {0, 0}}));

    // Two rings in one path are simplified run by run and both stay closed.
    QPainterPath twoRings = polyline(ring);
    twoRings.addPolygon(QPolygonF({{20, 20}, {25, 20.01}, {30, 20}, {30, 30}, {20, 20}}));
    const QList<QPolygonF> rings = simplifyUsingDouglasPeuckerWithAmount(twoRings, 0.1).toSubpathPolygons();
    ASSERT_EQ(rings.size(), 2);
    EXPECT_TRUE(rings[0].isClosed() && rings[1].isClosed());
    EXPECT_EQ(rings[1], QPolygonF({{20, 20}, {30, 20}, {30, 30}, {20, 20}}));
}

TEST(DouglasPeucker, CurvesCountByTheirEndPointsAndNothingIsDoneWithoutTolerance)
{
    QPainterPath curved(QPointF(0, 0));
    curved.cubicTo({0, 50}, {100, 50}, {100, 0});
    curved.lineTo(200, 0);
    const QPainterPath result = simplifyUsingDouglasPeuckerWithAmount(curved, 0.5);
    EXPECT_EQ(vertices(result), (QList<QPointF>{{0, 0}, {200, 0}})) << "control points are not vertices";

    EXPECT_EQ(simplifyUsingDouglasPeuckerWithAmount(curved, 0), curved);
    EXPECT_EQ(simplifyUsingDouglasPeuckerWithAmount(curved, -1), curved);
    EXPECT_TRUE(simplifyUsingDouglasPeuckerWithAmount(QPainterPath(), 1).isEmpty());
}

TEST(DouglasPeucker, DeepSplitsRunOnASmallStack)
{
    // Every split of this zig-zag falls next to the run's first point: recursion would nest
    // once per vertex, far beyond what a 128 KiB stack holds.
    QList<QPointF> points;
    for (int i = 0; i < 20'000; ++i)
        points.append({double(i), i % 2 ? 1.0 : 0.0});
    int kept = 0;
    std::unique_ptr<QThread> thread(QThread::create([&] {
        kept = simplifyUsingDouglasPeuckerWithAmount(polyline(points), 0.1).elementCount();
    }));
    thread->setStackSize(128 * 1024);
    thread->start();
    ASSERT_TRUE(thread->wait(QDeadlineTimer(60'000)));
    EXPECT_EQ(kept, 20'000);
}

TEST(DouglasPeucker, ShortRunsAndRunsWithoutLengthStayWhole)
{
    // A multipoint's points are sub-paths of no length; each must survive.
    QPainterPath points;
    for (QPointF point : {QPointF(0, 0), QPointF(4, 0), QPointF(4, 4)})
        points.addPolygon(QPolygonF({point, point}));
    ZQDouglasPeuckerSimplifier simplifier;
    EXPECT_EQ(simplifier.pathBySimplifyingPath(points).toSubpathPolygons(), points.toSubpathPolygons());

    // Runs no longer than the minimum are kept as they are, not cut to their first point.
    simplifier.setMinPathCount(3);
    const QPainterPath bent = polyline({{0, 0}, {1, 0.001}, {2, 0}});
    EXPECT_EQ(vertices(simplifier.pathBySimplifyingPath(bent)), vertices(bent));
    simplifier.setMinPathCount(2);
    EXPECT_EQ(vertices(simplifier.pathBySimplifyingPath(bent)), (QList<QPointF>{{0, 0}, {2, 0}}));
}

TEST(DouglasPeucker, DetailLevelsMapToTolerancesAndOutOfRangeLevelsAreClamped)
{
    // The import options store the level; an edited default out of range does not fail.
    auto* defaults = platform::UserDefaults::standardUserDefaults();
    const QString key = QStringLiteral("kImportOptionSettingSimplifyDetailLevel");
    for (auto [level, expected] : {std::pair{0, 0.02}, {1, 0.05}, {2, 0.2}, {3, 0.8}, {4, 0.001}, {5, 0.001}, {-3, 0.02}}) {
        EXPECT_EQ(ZQDouglasPeuckerSimplifier::simplificationForDetailLevel(level), expected) << "level " << level;
        defaults->setIntegerForKey(level, key);
        ZQDouglasPeuckerSimplifier simplifier;
        simplifier.init();
        EXPECT_EQ(simplifier.simplification(), expected) << "stored level " << level;
    }
    defaults->removeObjectForKey(key);
    ZQDouglasPeuckerSimplifier fallback;
    EXPECT_EQ(fallback.simplification(), 0.02);
    fallback.init();
    EXPECT_EQ(fallback.simplification(), 0.02);
}

TEST(EndPointInterpolation, LeavesAndArrivesAlongThePathWithArmsHalfTheChord)
{
    const auto straight = bezierPathByInterpolatingEndPoints(polyline({{0, 0}, {10, 0}}));
    ASSERT_TRUE(straight);
    EXPECT_EQ(vertices(*straight), (QList<QPointF>{{0, 0}, {5, 0}, {5, 0}, {10, 0}}));

    // An L-shape leaves downwards (y grows) and arrives moving right.
    const auto bent = bezierPathByInterpolatingEndPoints(polyline({{0, 0}, {0, 30}, {40, 30}}));
    ASSERT_TRUE(bent);
    const QList<QPointF> controls = vertices(*bent);
    ASSERT_EQ(controls.size(), 4);
    EXPECT_NEAR(controls[1].x(), 0, 1e-9);
    EXPECT_NEAR(controls[1].y(), 25, 1e-9);
    EXPECT_NEAR(controls[2].x(), 15, 1e-9);
    EXPECT_NEAR(controls[2].y(), 30, 1e-9);

    EXPECT_FALSE(bezierPathByInterpolatingEndPoints(polyline({{0, 0}, {10, 0}, {10, 10}, {0, 0}})));
    const QPainterPath lone(QPointF(3, 4));
    EXPECT_EQ(bezierPathByInterpolatingEndPoints(lone), lone);
}
