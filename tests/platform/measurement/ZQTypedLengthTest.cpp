#include "platform/measurement/ZQTypedLength.h"

#include <gtest/gtest.h>

TEST(ZQTypedLength, ReadsNumbersWithOrWithoutAUnitAndConvertsThem)
{
    const struct {
        const char* text;
        double value;
        const char* symbol; // empty for a bare number
    } readable[] = {
        {"30", 30, ""},    {" 1 cm ", 1, "cm"}, {"1cm", 1, "cm"},    {"200 m", 200, "m"},
        {"-2.5mm", -2.5, "mm"}, {"3 NM", 3, "NM"}, {"4 KM", 4, "km"}, {"1e3 m", 1000, "m"},
    };
    for (const auto& row : readable) {
        SCOPED_TRACE(row.text);
        const auto typed = ZQTypedLength::fromText(QString::fromLatin1(row.text));
        ASSERT_TRUE(typed);
        EXPECT_DOUBLE_EQ(typed->value, row.value);
        EXPECT_EQ(typed->unit ? typed->unit->symbol() : QString(), QString::fromLatin1(row.symbol));
    }
    for (const char* text : {"", "cm", "1 parsec", "1 cm 2", "nan", "inf m", "1..2"})
        EXPECT_FALSE(ZQTypedLength::fromText(QString::fromLatin1(text))) << text;

    // 200 m on a field in kilometres; a bare number stays in the field's unit.
    EXPECT_NEAR(ZQTypedLength::fromText(QStringLiteral("200 m"))->valueInUnit(*ZQUnitLength::kilometers()), 0.2, 1e-12);
    EXPECT_DOUBLE_EQ(ZQTypedLength::fromText(QStringLiteral("30"))->valueInUnit(*ZQUnitLength::kilometers()), 30);
    EXPECT_NEAR(ZQTypedLength::fromText(QStringLiteral("1 in"))->valueInUnitOfPoints(1), 72, 1e-9);
}
