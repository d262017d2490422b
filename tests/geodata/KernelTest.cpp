#include "geodata/ZQKernel.h"

#include "platform/foundation/ZQAssert.h"

#include <gtest/gtest.h>

namespace {

std::shared_ptr<ZQMatrixArray> flatGrid(quint64 columns, quint64 rows, double height)
{
    auto grid = ZQMatrixArray::makeWithRowWidth(columns);
    grid->setObjectsFromArray(QList<double>(qsizetype(columns * rows), height));
    return grid;
}

// Positions of the cells that differ between two grids of the same shape.
QList<ZQMatrixArray::Index> changedCells(const ZQMatrixArray& before, const ZQMatrixArray& after)
{
    QList<ZQMatrixArray::Index> cells;
    for (qint64 i = 0; i < qint64(before.count()); ++i) {
        const auto index = before.indexForLinearIndex(i);
        if (before.objectAtIndex(index) != after.objectAtIndex(index))
            cells.append(index);
    }
    return cells;
}

} // namespace

TEST(Kernel, GaussianWeightsComeFromPascalRows)
{
    EXPECT_EQ(ZQKernel::pascalAtRow(0), QList<quint64>{1});
    EXPECT_EQ(ZQKernel::pascalAtRow(1), QList<quint64>{1});
    EXPECT_EQ(ZQKernel::pascalAtRow(7), (QList<quint64>{1, 6, 15, 20, 15, 6, 1}));
    EXPECT_EQ(ZQKernel::pascalAtRow(63)[31], 465428353255261088ull) << "C(62, 31)";
    EXPECT_THROW(ZQKernel::pascalAtRow(64), platform::AssertionFailure);

    EXPECT_EQ(ZQKernel::gaussianKernelWithKernelSize(1)->objects(), QList<double>{1});
    EXPECT_EQ(ZQKernel::gaussianKernelWithKernelSize(3)->objects(),
              (QList<double>{0.0625, 0.125, 0.0625, 0.125, 0.25, 0.125, 0.0625, 0.125, 0.0625}));
    auto seven = ZQKernel::gaussianKernelWithKernelSize(7);
    EXPECT_EQ(seven->centreValue(), 400.0 / 4096);
    EXPECT_EQ(seven->valueAtIndex({0, 3}), 20.0 / 4096);
    EXPECT_EQ(seven->sum(), 1.0);

    for (quint64 size : {quint64(4), quint64(0), ZQKernel::kMaximumKernelSize + 2})
        EXPECT_FALSE(ZQKernel::gaussianKernelWithKernelSize(size)) << size;
    EXPECT_FALSE(ZQKernel::boxKernelWithKernelSize(6));
    ZQKernel even;
    EXPECT_FALSE(even.initWithKernelSize(2));
    auto largest = ZQKernel::gaussianKernelWithKernelSize(ZQKernel::kMaximumKernelSize);
    ASSERT_TRUE(largest);
    EXPECT_NEAR(largest->sum(), 1.0, 1e-5);
}

TEST(Kernel, BoxAndTentShapesAreNormalisedAndNormalisingASumOfOneChangesNoBit)
{
    for (double value : ZQKernel::boxKernelWithKernelSize(3)->objects())
        EXPECT_EQ(value, double(1.0f / 9));
    EXPECT_EQ(ZQKernel::tentKernelWithKernelSize(3)->objects(),
              (QList<double>{1.0 / 16, 2.0 / 16, 1.0 / 16, 2.0 / 16, 4.0 / 16, 2.0 / 16, 1.0 / 16, 2.0 / 16, 1.0 / 16}));
    EXPECT_GT(ZQKernel::tentKernelWithKernelSize(5)->centreValue(), ZQKernel::boxKernelWithKernelSize(5)->centreValue());

    auto kernel = ZQKernel::gaussianKernelWithKernelSize(5);
    const QList<double> before = kernel->objects();
    kernel->normalize();
    EXPECT_EQ(kernel->objects(), before);
    auto scaled = kernel->kernelByMultiplyingBy(3);
    EXPECT_EQ(scaled->sum(), 3.0);
    scaled->normalize();
    EXPECT_EQ(scaled->objects(), before);
    auto zeroSum = ZQKernel::boxKernelWithKernelSize(1)->kernelByAddingOffset(-1);
    zeroSum->normalize();
    EXPECT_EQ(zeroSum->objects(), QList<double>{0}) << "a zero sum has no normal form and stays";
}

TEST(Kernel, BrushStepsRaiseLevelAndCutExactly)
{
    auto heights = flatGrid(35, 48, 3.5);
    auto brush = ZQKernel::gaussianKernelWithKernelSize(7)->kernelByMultiplyingBy(20);
    heights->offsetInPlaceWithKernelAtIndex(*brush, {10, 10});
    EXPECT_EQ(heights->objectAtIndex({10, 10}), 3.5 + 1.953125);
    for (int step = 1; step < 5; ++step)
        heights->offsetInPlaceWithKernelAtIndex(*brush, {10, 10});
    EXPECT_EQ(heights->objectAtIndex({10, 10}), 13.265625);

    // Levelling scales the brush so that the centre reaches the target exactly.
    const double target = 8.25, current = heights->objectAtIndex({10, 10});
    heights->offsetInPlaceWithKernelAtIndex(*brush->kernelByMultiplyingBy((target - current) / brush->centreValue()),
                                            {10, 10});
    EXPECT_EQ(heights->objectAtIndex({10, 10}), target);

    auto valley = ZQKernel::gaussianKernelWithKernelSize(3)->kernelByMultiplyingBy(4);
    EXPECT_EQ(valley->centreValue(), 1.0);
    heights->offsetInPlaceWithKernelAtIndexWithSign(*valley, {20, 30}, true);
    EXPECT_EQ(heights->objectAtIndex({20, 30}), 2.5);
    EXPECT_EQ(heights->objectAtIndex({21, 30}), 3.0);
}

TEST(Kernel, FootprintsAreClippedAtTheGridEdges)
{
    auto heights = flatGrid(10, 8, 0);
    const auto before = std::static_pointer_cast<ZQMatrixArray>(heights->copy());
    heights->offsetInPlaceWithKernelAtIndex(*ZQKernel::gaussianKernelWithKernelSize(7), {0, 0});
    const auto changed = changedCells(*before, *heights);
    EXPECT_EQ(changed.size(), 16) << "only the 4 x 4 cells inside the grid";
    for (const auto& cell : changed)
        EXPECT_TRUE(cell.x < 4 && cell.y < 4);

    // Far-away or not-found centres touch nothing.
    heights->offsetInPlaceWithKernelAtIndex(*ZQKernel::gaussianKernelWithKernelSize(7),
                                            {ZQMatrixArray::kNotFound, ZQMatrixArray::kNotFound});
    heights->offsetInPlaceWithKernelAtIndex(*ZQKernel::gaussianKernelWithKernelSize(7), {-100, 4});
    EXPECT_EQ(changedCells(*before, *heights).size(), 16);

    // A short last row is not written past.
    auto shortRow = ZQMatrixArray::makeWithRowWidth(3);
    shortRow->setObjectsFromArray({0, 0, 0, 0});
    shortRow->offsetInPlaceWithKernelAtIndex(*ZQKernel::boxKernelWithKernelSize(3), {2, 1});
    EXPECT_EQ(shortRow->count(), 4u);
}

TEST(Kernel, ConvolutionReplacesOneCellByItsWeightedNeighbourhood)
{
    auto heights = ZQMatrixArray::makeWithRowWidth(3);
    heights->setObjectsFromArray({1, 2, 3, 4, 5, 6, 7, 8, 9});
    auto box = ZQKernel::boxKernelWithKernelSize(3);
    const auto original = std::static_pointer_cast<ZQMatrixArray>(heights->copy());

    auto convolved = heights->matrixArrayByConvolvingWithKernelAtIndex(*box, {1, 1});
    EXPECT_NEAR(convolved->objectAtIndex({1, 1}), 5.0, 1e-6);
    EXPECT_EQ(changedCells(*original, *convolved).size(), 1) << "other cells are copied";
    EXPECT_EQ(heights->objectAtIndex({1, 1}), 5) << "the receiver is unchanged";

    // At the corner only the four cells inside the grid contribute.
    heights->convolveInPlaceWithKernelAtIndex(*box, {0, 0});
    EXPECT_NEAR(heights->objectAtIndex({0, 0}), (1 + 2 + 4 + 5) / 9.0, 1e-6);
    EXPECT_EQ(changedCells(*original, *heights).size(), 1);
}
