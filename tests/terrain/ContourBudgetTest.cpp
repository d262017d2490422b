// Contours within a budget of segments, computed in the background for the views.

#include "TerrainTestSupport.h"

#include "terrain/layer/ContourComputation.h"

using terraintest::LayerFixture;
using terraintest::grid;

namespace {

// Heights alternating between 0 and `high` like a chessboard: every level between crosses
// every cell, two segments per cell.
std::shared_ptr<ZQMatrixArray> chessboard(int side, double high)
{
    QList<double> heights;
    for (int y = 0; y < side; ++y)
        for (int x = 0; x < side; ++x)
            heights.append((x + y) % 2 ? high : 0);
    return grid(quint64(side), heights);
}

// Pseudo-random heights from 0 to 1000.
std::shared_ptr<ZQMatrixArray> noise(int side)
{
    QList<double> heights;
    quint32 state = 1;
    for (int i = 0; i < side * side; ++i) {
        state = state * 1664525u + 1013904223u;
        heights.append(double(state >> 22));
    }
    return grid(quint64(side), heights);
}

ContourRequest requestFor(std::shared_ptr<ZQMatrixArray> heights, QList<double> levels)
{
    ContourRequest request;
    request.grid = std::move(heights);
    request.levels = std::move(levels);
    return request;
}

} // namespace

TEST(ContourBudget, ALevelOverItsShareIsLeftOutAndTheWholeBudgetStopsEverything)
{
    // 20 x 20 cells: 800 segments for each level inside (0, 10).
    ContourRequest request = requestFor(chessboard(21, 10), {2, 5, 12});
    const ContourResult whole = ContourComputation::compute(request);
    EXPECT_FALSE(whole.exhausted);
    EXPECT_TRUE(whole.leftOut.isEmpty());
    ASSERT_EQ(whole.paths.size(), 3);
    EXPECT_FALSE(whole.paths[0].isEmpty());
    EXPECT_TRUE(whole.paths[2].isEmpty()) << "12 lies above every height";

    request.maximumSegmentsPerLevel = 799;
    const ContourResult capped = ContourComputation::compute(request);
    EXPECT_FALSE(capped.exhausted);
    EXPECT_EQ(capped.leftOut, (QSet<qsizetype>{0, 1}));
    EXPECT_TRUE(capped.paths[0].isEmpty() && capped.paths[1].isEmpty());
    request.maximumSegmentsPerLevel = 800;
    EXPECT_TRUE(ContourComputation::compute(request).leftOut.isEmpty()) << "the share itself is allowed";

    request.maximumSegments = 1500;
    const ContourResult exhausted = ContourComputation::compute(request);
    EXPECT_TRUE(exhausted.exhausted);
    EXPECT_TRUE(std::all_of(exhausted.paths.cbegin(), exhausted.paths.cend(), [](const QPainterPath& p) { return p.isEmpty(); }));

    const std::atomic<bool> cancelled{true};
    EXPECT_TRUE(ContourComputation::compute(requestFor(chessboard(21, 10), {5}), &cancelled).cancelled);

    EXPECT_TRUE(ContourComputation::problemText(false, 0).isEmpty());
    EXPECT_TRUE(ContourComputation::problemText(false, 2).startsWith(QStringLiteral("Contour levels not drawn: 2.")));
    EXPECT_TRUE(ContourComputation::problemText(true, 0).startsWith(QStringLiteral("No contours are drawn")));
}

// A 300 x 300 grid of noise needed gigabytes of contours; now it is refused within the budget
// and the layer says why.
TEST(ContourBudget, ANoisyGridDrawsNoContoursAndSaysWhy)
{
    LayerFixture f({4500, 4500});
    f.layer->setHeightMap(noise(300));
    EXPECT_GT(f.layer->countOfContours(), 100u);
    EXPECT_TRUE(f.layer->contourPaths().isEmpty());
    EXPECT_TRUE(f.layer->contourProblem().startsWith(QStringLiteral("No contours are drawn"))) << f.layer->contourProblem().toStdString();

    // A brush step on it changes nothing of that and computes nothing of its own.
    f.layer->modelTerrainAtIndexWithMode({150, 150}, ZQContourLayer::RaiseMode);
    EXPECT_FALSE(f.layer->contoursAreCurrent());
    f.layer->setHeightMap(grid(3, {0, 0, 0, 0, 20, 0, 0, 0, 0}));
    EXPECT_FALSE(f.layer->contourPaths().isEmpty());
    EXPECT_TRUE(f.layer->contourProblem().isEmpty());
}

TEST(ContourBudget, ViewsHaveContoursComputedInTheBackgroundAndShowTheLastMeanwhile)
{
    LayerFixture f;
    f.layer->setHeightMap(grid(3, {0, 0, 0, 0, 20, 0, 0, 0, 0}));
    const QRectF everything(0, 0, 500, 700);
    f.layer->prepareToDrawRect(everything);
    EXPECT_FALSE(f.layer->contoursAreCurrent()) << "drawing for a view does not wait for them";
    f.layer->finishBackgroundContours();
    ASSERT_TRUE(f.layer->contoursAreCurrent());
    const QList<QPainterPath> first = f.layer->contourPaths();
    EXPECT_EQ(first.size(), 1);

    // Changed while a computation runs: the older result is shown, and a newer one follows.
    f.layer->setContourInterval(5);
    f.layer->prepareToDrawRect(everything);
    f.layer->setContourInterval(2.5);
    f.layer->finishBackgroundContours();
    EXPECT_TRUE(f.layer->contoursAreCurrent());
    EXPECT_EQ(f.layer->contourPaths().size(), 7) << "levels 2.5 to 17.5 cross the peak";
}
