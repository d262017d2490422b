#include "support/TestSupport.h"

#include "geodata/GeodataClasses.h"
#include "geodata/ZQKernel.h"
#include "geodata/ZQMatrixArray.h"

#include "platform/foundation/KeyedArchiver.h"
#include "platform/foundation/KeyedUnarchiver.h"
#include "platform/foundation/ZQAssert.h"

#include <QFile>
#include <gtest/gtest.h>

using Index = ZQMatrixArray::Index;

namespace {

std::shared_ptr<ZQMatrixArray> grid(quint64 rowWidth, const QList<double>& values)
{
    auto result = ZQMatrixArray::makeWithRowWidth(rowWidth);
    result->setObjectsFromArray(values);
    return result;
}

std::shared_ptr<ZQMatrixArray> read(const QByteArray& text, QString* error = nullptr)
{
    return ZQMatrixArray::matrixArrayWithTabDelimitedData(text, error);
}

} // namespace

TEST(MatrixArray, ShapeAndIndexesFollowTheRowWidth)
{
    auto seven = grid(3, {1, 2, 3, 4, 5, 6, 7});
    EXPECT_EQ(seven->rows(), 3u) << "a short last row counts";
    EXPECT_EQ(seven->columns(), 3u);
    EXPECT_EQ(grid(10, {1, 2})->columns(), 2u);
    EXPECT_EQ(grid(3, {})->rows(), 0u);

    EXPECT_EQ(seven->objectAtRowColumn(2, 0), 7);
    EXPECT_EQ(seven->objectAtIndex({1, 1}), 5);
    EXPECT_EQ(seven->linearIndexForIndex({2, 1}), 5);
    EXPECT_EQ(seven->indexForLinearIndex(5), (Index{2, 1}));
    EXPECT_EQ(seven->linearIndexForIndex({ZQMatrixArray::kNotFound, 0}), ZQMatrixArray::kNotFound);
    EXPECT_EQ(seven->indexForLinearIndex(ZQMatrixArray::kNotFound), ZQMatrixArray::kNotFoundIndex);

    // Changing the width reinterprets the same values.
    seven->setRowWidth(2);
    EXPECT_EQ(seven->rows(), 4u);
    EXPECT_EQ(seven->objectAtIndex({1, 1}), 4);
    seven->setRowWidth(0);
    EXPECT_EQ(seven->rowWidth(), 2u) << "a width of 0 is refused";
    EXPECT_EQ(ZQMatrixArray::makeWithRowWidth(0)->rowWidth(), 1u);

    EXPECT_THROW(seven->objectAtIndex({2, 0}), platform::AssertionFailure) << "x beyond the row width";
    EXPECT_THROW(seven->objectAtIndex({1, 3}), platform::AssertionFailure) << "beyond the stored values";
    EXPECT_THROW(seven->objectAtIndex({-1, 1}), platform::AssertionFailure);
}

TEST(MatrixArray, EditsShiftFindAndRemoveValues)
{
    auto values = grid(2, {1, 2, 3});
    EXPECT_EQ(values->addObject(4), (Index{1, 1}));
    values->insertObjectAtRowColumn(9, 0, 1);
    EXPECT_EQ(values->objects(), (QList<double>{1, 9, 2, 3, 4}));
    values->replaceObjectAtIndexWithObject({0, 1}, 0.1);
    EXPECT_EQ(values->objects(), (QList<double>{1, 9, 0.1, 3, 4})) << "a double value is kept exactly";
    EXPECT_EQ(values->indexOfObject(3), (Index{1, 1}));
    EXPECT_EQ(values->indexOfObject(42), ZQMatrixArray::kNotFoundIndex);
    values->addObject(3);
    values->removeObject(3);
    EXPECT_EQ(values->objects(), (QList<double>{1, 9, 0.1, 4}));
    values->removeObjectAtIndex({1, 0});
    EXPECT_EQ(values->objects(), (QList<double>{1, 0.1, 4}));

    auto copy = std::static_pointer_cast<ZQMatrixArray>(values->copy());
    values->removeAllObjects();
    EXPECT_EQ(values->count(), 0u);
    EXPECT_EQ(copy->objects(), (QList<double>{1, 0.1, 4}));
    EXPECT_EQ(copy->rowWidth(), 2u);
}

TEST(MatrixArrayText, WritesEveryValueWithATabAndEveryRowWithALineFeedAndReadsThemBackExactly)
{
    EXPECT_EQ(grid(3, {1, 2, 3, 4, 5, 6})->dataAsTabDelimitedString(), QStringLiteral("1\t2\t3\t\n4\t5\t6\t\n"));
    EXPECT_EQ(grid(1, {3.5, -0.25})->dataAsTabDelimitedString(), QStringLiteral("3.5\t\n-0.25\t\n"));
    EXPECT_EQ(grid(4, {})->dataAsTabDelimitedString(), QString(""));
    EXPECT_FALSE(grid(3, {1, 2, 3, 4, 5, 6, 7})->dataAsTabDelimitedString()) << "a short last row is refused";

    const QList<double> values = {0.1, -1e-9, 123456789.125, 1e300, -0.0, 13.265625, 2.0 / 3.0, 7};
    const auto text = grid(4, values)->tabDelimitedData();
    ASSERT_TRUE(text);
    auto back = read(*text);
    ASSERT_TRUE(back);
    EXPECT_EQ(back->rowWidth(), 4u);
    EXPECT_EQ(back->objects(), values);
}

TEST(MatrixArrayText, ReadsLinesOfTabSeparatedNumbersAndRefusesIrregularRows)
{
    // Carriage returns and blank lines count for nothing.
    auto windows = read("\r\n1\t2\t\r\n\r\n\n3\t4\t\r\n\r\n");
    ASSERT_TRUE(windows);
    EXPECT_EQ(windows->rowWidth(), 2u);
    EXPECT_EQ(windows->objects(), (QList<double>{1, 2, 3, 4}));

    auto numbers = read("abc\t1e3\t  7x\t+2.5\t-.5\t\t1e999\tnan\t");
    ASSERT_TRUE(numbers);
    EXPECT_EQ(numbers->objects(), (QList<double>{0, 1000, 7, 2.5, -0.5, 0, 0, 0}));

    auto column = read("5\t\n6\t\n");
    ASSERT_TRUE(column);
    EXPECT_EQ(column->columns(), 1u);
    EXPECT_EQ(column->rows(), 2u);

    const QString unicodeBreaks = QStringLiteral("1\t2\u20283\t4\u2029\u00855\t6");
    auto fromString = ZQMatrixArray::matrixArrayWithTabDelimitedString(unicodeBreaks);
    ASSERT_TRUE(fromString);
    EXPECT_EQ(fromString->rows(), 3u);

    EXPECT_FALSE(read("")) << "no data gives no grid";
    EXPECT_FALSE(read("\n\r\n\n"));
    QString error;
    EXPECT_FALSE(read("1\t2\t\n3\t\n", &error));
    EXPECT_EQ(error, QStringLiteral("number of items in each row differs - irregular matrix is not supported"));
    error.clear();
    EXPECT_FALSE(read("1\t2\n3\t4\t5\n", &error));
    EXPECT_FALSE(error.isEmpty());
}

// Text from outside: the plain reading takes "nan" and overflowing numbers as 0 (as the
// format says); an import asks for them to be refused, and for a bound on the values.
TEST(MatrixArrayText, LimitedReadingsRefuseNonFiniteNumbersAndTooManyValues)
{
    const ZQMatrixArray::TextLimits strict{6, true};
    QString error;
    EXPECT_EQ(read("1\tnan\t\n")->objects(), (QList<double>{1, 0}));
    const auto refusal = [&](const QByteArray& field) {
        error.clear();
        const QByteArray text = "1\t2\t\n3\t" + field + "\t\n";
        EXPECT_FALSE(ZQMatrixArray::matrixArrayWithTabDelimitedData(text, &error, strict)) << field.data();
        return error;
    };
    for (const QByteArray& field : QList<QByteArray>{"nan", "NaN", " -inf", "+Infinity"})
        EXPECT_TRUE(refusal(field).contains(QStringLiteral("in row 2 is not a finite number"))) << field.data();
    // Finite, but beyond what a double holds: said as such.
    for (const QByteArray& field : QList<QByteArray>{"1e999", "-2e400", QByteArray("1") + QByteArray(400, '0')})
        EXPECT_TRUE(refusal(field).endsWith(QStringLiteral("in row 2 is a number out of range"))) << field.data();
    for (const QByteArray& field : QList<QByteArray>{"1e-999", "abc", "12", "-0.5e3", "in", "na"}) {
        error.clear();
        const QByteArray text = "1\t" + field + "\t\n";
        EXPECT_TRUE(ZQMatrixArray::matrixArrayWithTabDelimitedData(text, &error, strict))
            << field.data();
        EXPECT_TRUE(error.isEmpty());
    }
    EXPECT_EQ(ZQMatrixArray::matrixArrayWithTabDelimitedData("1\t2\t3\n4\t5\t6\n", &error, strict)->count(), 6u);
    EXPECT_FALSE(ZQMatrixArray::matrixArrayWithTabDelimitedData("1\t2\t3\n4\t5\t6\n7\n", &error, strict));
    EXPECT_EQ(error, QStringLiteral("more than 6 values"));
}

TEST(MatrixArrayText, TheLuxembourgGridReadsAndWritesBackByteForByte)
{
    QFile file(testsupport::sampleDataPath("terrain/luxembourg-elevation.txt"));
    ASSERT_TRUE(file.open(QIODevice::ReadOnly));
    const QByteArray text = file.readAll();
    auto elevation = read(text);
    ASSERT_TRUE(elevation);
    EXPECT_EQ(elevation->columns(), 95u);
    EXPECT_EQ(elevation->rows(), 90u);
    EXPECT_EQ(elevation->objectAtRowColumn(0, 0), 488);
    EXPECT_EQ(elevation->tabDelimitedData(), text);
}

namespace {

// A root object that archives a height grid's keys with damaged values.
class DamagedGrid : public ZQObject {
public:
    // A list is written as older archives list the values; data with its value size.
    DamagedGrid(QVariant values, qint64 rowWidth, qint64 valueSize = 0)
        : m_values(std::move(values)), m_rowWidth(rowWidth), m_valueSize(valueSize)
    {
    }
    void encodeWithCoder(platform::KeyedArchiver& coder) const override
    {
        if (m_values.typeId() == QMetaType::QByteArray) {
            coder.encodeData(m_values.toByteArray(), QStringLiteral("ZQMatrixArray_valueData"));
            coder.encodeInt(m_valueSize, QStringLiteral("ZQMatrixArray_valueSize"));
        } else {
            coder.encodeObject(m_values, QStringLiteral("ZQMatrixArray_objects"));
        }
        coder.encodeInt(m_rowWidth, QStringLiteral("ZQMatrixArray_rowWidth"));
    }
    const QMetaObject* metaObject() const override { return &ZQMatrixArray::staticMetaObject; }

private:
    QVariant m_values;
    qint64 m_rowWidth;
    qint64 m_valueSize;
};

} // namespace

TEST(MatrixArrayArchive, KeyedArchivesKeepValuesWidthAndClassAndRefuseDamagedValues)
{
    registerGeodataClasses();
    const auto roundTrip = [](const ZQObject& root, QuorvaneError* error = nullptr) {
        return platform::KeyedUnarchiver::unarchiveObjectWithData(platform::KeyedArchiver::archivedDataWithRootObject(&root),
                                                                  error);
    };
    auto heights = grid(3, {1, 2.5, -0.1, 4, 5, 6});
    auto restored = std::dynamic_pointer_cast<ZQMatrixArray>(roundTrip(*heights));
    ASSERT_TRUE(restored);
    EXPECT_EQ(restored->rowWidth(), 3u);
    EXPECT_EQ(restored->objects(), heights->objects());
    auto brush = ZQKernel::gaussianKernelWithKernelSize(5);
    auto kernel = std::dynamic_pointer_cast<ZQKernel>(roundTrip(*brush));
    ASSERT_TRUE(kernel);
    EXPECT_EQ(kernel->objects(), brush->objects());

    auto precise = grid(2, {0.1, 1e300, -2.5, 7});
    auto restoredPrecise = std::dynamic_pointer_cast<ZQMatrixArray>(roundTrip(*precise));
    ASSERT_TRUE(restoredPrecise);
    EXPECT_EQ(restoredPrecise->objects(), precise->objects()) << "double values stay double";

    // Archives written before grids were one block of data list the values.
    auto listed = std::dynamic_pointer_cast<ZQMatrixArray>(roundTrip(DamagedGrid(QVariantList{1.0, 2.5, -3.0, 4.0}, 2)));
    ASSERT_TRUE(listed);
    EXPECT_EQ(listed->rowWidth(), 2u);
    EXPECT_EQ(listed->objects(), (QList<double>{1, 2.5, -3, 4}));

    for (const auto& damaged : {DamagedGrid(QVariantList{1.0, QStringLiteral("two")}, 1),
                                DamagedGrid(QVariantList{1.0, 2.0}, 0), DamagedGrid(QVariantList{1.0}, -4),
                                DamagedGrid(QByteArray(7, '\0'), 1, 4), DamagedGrid(QByteArray(6, '\0'), 1, 3)}) {
        QuorvaneError error;
        EXPECT_FALSE(roundTrip(damaged, &error));
        EXPECT_EQ(error.code(), kQuorvaneDocumentError);
    }
}

// Readers refuse archives of more than 2^24 entries; a noisy grid larger than that still
// saves as one entry and reads back value for value.
TEST(MatrixArrayArchive, GridsOfMoreThanTwoToTheTwentyFourCellsReadBack)
{
    registerGeodataClasses();
    constexpr qsizetype kCells = (qsizetype(1) << 24) + 3;
    QList<double> noise(kCells);
    quint32 state = 12345;
    for (double& value : noise) {
        state = state * 1664525u + 1013904223u;
        value = double(float(state >> 8) / 64.0f);
    }
    auto heights = grid(4099, noise);
    QuorvaneError error;
    auto restored = std::dynamic_pointer_cast<ZQMatrixArray>(platform::KeyedUnarchiver::unarchiveObjectWithData(
        platform::KeyedArchiver::archivedDataWithRootObject(heights.get()), &error));
    ASSERT_TRUE(restored) << error.localizedDescription().toStdString();
    EXPECT_EQ(restored->rowWidth(), 4099u);
    EXPECT_EQ(restored->objects(), noise);
}

TEST(MatrixArrayResampling, SpreadsNewPointsCornerOnCornerAndAsksTheDelegate)
{
    // 2 x 3: 0 10 20 / 30 40 50.
    auto heights = grid(3, {0, 10, 20, 30, 40, 50});
    auto finer = heights->resampledMatrixWithRowsColumnsInterpolationDelegate(3, 5);
    ASSERT_TRUE(finer);
    EXPECT_EQ(finer->rowWidth(), 5u);
    EXPECT_EQ(finer->objects(), (QList<double>{0, 5, 10, 15, 20, 15, 20, 25, 30, 35, 30, 35, 40, 45, 50}));
    EXPECT_EQ(heights->resampledMatrixWithRowsColumnsInterpolationDelegate(1, 2)->objects(), (QList<double>{0, 20}))
        << "a single row samples the first";
    EXPECT_EQ(grid(1, {7})->resampledMatrixWithRowsColumnsInterpolationDelegate(2, 2)->objects(),
              (QList<double>{7, 7, 7, 7}));

    QList<QPointF> asked;
    auto nearest = heights->resampledMatrixWithRowsColumnsInterpolationDelegate(
        2, 2, [&](const ZQMatrixArray& source, double x, double y) {
            asked.append({x, y});
            return source.objectAtIndex({qint64(std::lround(x)), qint64(std::lround(y))});
        });
    EXPECT_EQ(asked, (QList<QPointF>{{0, 0}, {2, 0}, {0, 1}, {2, 1}}));
    EXPECT_EQ(nearest->objects(), (QList<double>{0, 20, 30, 50}));

    auto kernel = ZQKernel::gaussianKernelWithKernelSize(3)->resampledMatrixWithRowsColumnsInterpolationDelegate(5, 5);
    EXPECT_TRUE(std::dynamic_pointer_cast<ZQKernel>(kernel)) << "the result is of the receiver's class";
    EXPECT_FLOAT_EQ(float(kernel->objectAtRowColumn(2, 2)), 0.25f);

    for (const auto& empty : {heights->resampledMatrixWithRowsColumnsInterpolationDelegate(0, 4),
                              grid(3, {})->resampledMatrixWithRowsColumnsInterpolationDelegate(2, 2),
                              grid(3, {1, 2, 3, 4})->resampledMatrixWithRowsColumnsInterpolationDelegate(2, 2)})
        EXPECT_EQ(empty->count(), 0u);
}
