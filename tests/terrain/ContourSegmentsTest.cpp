// Recomputing a few rows' levels from the segments a full computation kept.

#include "TerrainTestSupport.h"

#include "terrain/layer/ContourComputation.h"

#include <cmath>

using terraintest::grid;

namespace {

constexpr int kColumns = 40;
constexpr int kRows = 50; // 49 cell rows: three whole bands and a short one

// Rolling hills from about 0 to 100.
std::shared_ptr<ZQMatrixArray> hills()
{
    QList<double> heights;
    for (int y = 0; y < kRows; ++y)
        for (int x = 0; x < kColumns; ++x)
            heights.append(50 + 30 * std::sin(x / 5.0) * std::cos(y / 7.0) + 15 * std::sin((x + y) / 3.0));
    return grid(kColumns, heights);
}

ContourRequest requestFor(std::shared_ptr<ZQMatrixArray> heights, const QList<double>& levels)
{
    ContourRequest request;
    request.grid = std::move(heights);
    request.levels = levels;
    request.cellSize = 2;
    request.origin = {3, 5};
    request.simplifies = true;
    request.smoothing = 1;
    return request;
}

// Raises the points of rows `first` to `last` near column 20.
void raiseRows(ZQMatrixArray& heights, int first, int last, double by)
{
    for (int y = first; y <= last; ++y)
        for (int x = 17; x <= 23; ++x)
            heights.replaceObjectAtIndexWithObject({x, y}, heights.objectAtIndex({x, y}) + by);
}

void expectSamePaths(const QPainterPath& a, const QPainterPath& b, qsizetype level)
{
    ASSERT_EQ(a.elementCount(), b.elementCount()) << "level " << level;
    for (int e = 0; e < a.elementCount(); ++e) {
        ASSERT_EQ(a.elementAt(e).type, b.elementAt(e).type) << "level " << level;
        ASSERT_EQ(QPointF(a.elementAt(e)), QPointF(b.elementAt(e))) << "level " << level << " element " << e;
    }
}

const QList<double> kLevels{10, 25, 40, 55, 70, 85};

} // namespace

TEST(ContourSegments, StepsAtTheEdgesAndAcrossBandsEndEqualToAComputationFromScratch)
{
    const auto heights = hills();
    ContourRequest full = requestFor(heights, kLevels);
    full.keepsSegments = true;
    ContourResult kept = ContourComputation::compute(full);
    ASSERT_EQ(kept.segments.levelCount(), kLevels.size());
    ASSERT_EQ(kept.segments.bandCount(), 4);

    // The first row, a band's last and the next band's first, the short last band.
    const QList<std::pair<int, int>> steps{{0, 1}, {15, 16}, {30, 33}, {47, 49}, {8, 40}};
    for (const auto& [first, last] : steps) {
        raiseRows(*heights, first, last, 17);
        // Only the levels passing through every row changed are asked for; the others' segments stay.
        const QList<qsizetype> positions{1, 3, 4};
        const QList<double> levels{kLevels[1], kLevels[3], kLevels[4]};
        const std::optional<ContourResult> stepped = ContourComputation::recomputeRows(
            requestFor(heights, levels), positions, first - 1, last, kept.segments);
        ASSERT_TRUE(stepped) << "rows " << first;
        const ContourResult scratch = ContourComputation::compute(requestFor(heights, levels));
        ASSERT_EQ(stepped->paths.size(), levels.size());
        for (qsizetype j = 0; j < levels.size(); ++j) {
            expectSamePaths(stepped->paths[j], scratch.paths[j], j);
            ASSERT_EQ(stepped->strands[j].size(), scratch.strands[j].size());
            for (qsizetype s = 0; s < scratch.strands[j].size(); ++s) {
                expectSamePaths(stepped->strands[j][s].path, scratch.strands[j][s].path, j);
                EXPECT_EQ(stepped->strands[j][s].bounds, scratch.strands[j][s].bounds);
            }
        }
        // Every level's kept segments are those a new computation keeps, band by band.
        const ContourResult again = ContourComputation::compute(full);
        for (qsizetype level : positions) {
            const auto& bands = kept.segments.bandsOfLevel(level);
            const auto& fresh = again.segments.bandsOfLevel(level);
            ASSERT_EQ(bands.size(), fresh.size());
            for (size_t b = 0; b < bands.size(); ++b) {
                ASSERT_EQ(bands[b].size(), fresh[b].size()) << "level " << level << " band " << b;
                for (size_t i = 0; i < bands[b].size(); ++i) {
                    EXPECT_EQ(bands[b][i].from, fresh[b][i].from);
                    EXPECT_EQ(bands[b][i].to, fresh[b][i].to);
                }
            }
        }
    }
}

TEST(ContourSegments, OverTheBudgetNothingIsRecomputedAndTheSegmentsStay)
{
    const auto heights = hills();
    ContourRequest full = requestFor(heights, kLevels);
    full.keepsSegments = true;
    ContourResult kept = ContourComputation::compute(full);
    const quint64 before = kept.segments.countOfLevel(2);
    ASSERT_GT(before, 0u);
    raiseRows(*heights, 20, 24, 25);

    ContourRequest step = requestFor(heights, {kLevels[2]});
    step.maximumSegmentsPerLevel = before / 2;
    EXPECT_FALSE(ContourComputation::recomputeRows(step, {2}, 19, 24, kept.segments));
    step = requestFor(heights, {kLevels[2]});
    step.maximumSegments = before / 2;
    EXPECT_FALSE(ContourComputation::recomputeRows(step, {2}, 19, 24, kept.segments));
    EXPECT_EQ(kept.segments.countOfLevel(2), before);

    // Levels left out keep nothing: their segments were not all seen.
    full.maximumSegmentsPerLevel = before / 2;
    EXPECT_TRUE(ContourComputation::compute(full).segments.isEmpty());
    // Segments of a grid of another size are refused.
    EXPECT_FALSE(ContourComputation::recomputeRows(requestFor(grid(3, {1, 2, 3, 4, 5, 6}), {kLevels[2]}), {2}, 0,
                                                   1, kept.segments));
}
