#include "platform/foundation/NumericVariant.h"

#include <QDate>
#include <gtest/gtest.h>

using platform::isIntegralVariant;
using platform::isNumericVariant;

TEST(NumericVariantTest, WholeNumbersOfEveryWidthAreIntegralAndNumeric)
{
    for (const QVariant& value : {QVariant::fromValue<short>(-3), QVariant::fromValue<ushort>(3), QVariant(-7),
                                  QVariant(7u), QVariant::fromValue<long>(-9), QVariant::fromValue<ulong>(9),
                                  QVariant(qint64(-1) << 40), QVariant(quint64(1) << 63)}) {
        EXPECT_TRUE(isIntegralVariant(value)) << value.typeName();
        EXPECT_TRUE(isNumericVariant(value)) << value.typeName();
    }
}

TEST(NumericVariantTest, CharactersAndRealsAreNumericButNotIntegral)
{
    for (const QVariant& value : {QVariant::fromValue<char>('a'), QVariant::fromValue<signed char>(-1),
                                  QVariant::fromValue<uchar>(200), QVariant(1.5f), QVariant(2.0)}) {
        EXPECT_FALSE(isIntegralVariant(value)) << value.typeName();
        EXPECT_TRUE(isNumericVariant(value)) << value.typeName();
    }
}

TEST(NumericVariantTest, BooleansTextAndEmptyValuesAreNoNumbers)
{
    for (const QVariant& value : {QVariant(true), QVariant(QStringLiteral("12")), QVariant(QDate(2020, 1, 2)),
                                  QVariant(), QVariant(QByteArray("7"))}) {
        EXPECT_FALSE(isIntegralVariant(value)) << value.typeName();
        EXPECT_FALSE(isNumericVariant(value)) << value.typeName();
    }
}
