// The SVG number grammar: what reads as one number, where reading stops, and what is refused.

#include "platform/vantrix/svg/SVGNumberScanner.h"

#include <QString>
#include <gtest/gtest.h>

using platform::SVGNumberScanner;

namespace {

struct Reading {
    std::optional<double> value;
    qsizetype position;
};

Reading readOne(const QString& text)
{
    SVGNumberScanner scanner(text);
    const std::optional<double> value = scanner.readNumber();
    return {value, scanner.position()};
}

} // namespace

TEST(SVGNumberScanner, ReadsNumbersAndStopsWhereTheyEnd)
{
    const struct {
        const char* text;
        double value;
        qsizetype end;
    } cases[] = {
        {"0", 0, 1},          {"+1.5", 1.5, 4},       {"-.5e-3", -0.0005, 6}, {"10.", 10, 3},
        {"1.5.5", 1.5, 3},    {"2em", 2, 1},          {"3e", 3, 1},           {"4E+2,", 400, 4},
        {"-0.1-2", -0.1, 4},  {"7e-2x", 0.07, 4},     {"12345678.125", 12345678.125, 12},
        {"1.e2", 100, 4},
    };
    for (const auto& c : cases) {
        const Reading reading = readOne(QString::fromLatin1(c.text));
        ASSERT_TRUE(reading.value) << c.text;
        EXPECT_DOUBLE_EQ(*reading.value, c.value) << c.text;
        EXPECT_EQ(reading.position, c.end) << c.text;
    }
}

TEST(SVGNumberScanner, ReadsNumbersLongerThanAnyShortBuffer)
{
    const QString zeros(90, u'0');
    const Reading longFraction = readOne(QStringLiteral("0.") + zeros + QStringLiteral("25e92"));
    ASSERT_TRUE(longFraction.value);
    EXPECT_DOUBLE_EQ(*longFraction.value, 25);
    const Reading longInteger = readOne(QStringLiteral("-") + zeros + QStringLiteral("3"));
    ASSERT_TRUE(longInteger.value);
    EXPECT_EQ(*longInteger.value, -3);
    EXPECT_EQ(longInteger.position, zeros.size() + 2);
}

TEST(SVGNumberScanner, RefusesWhatIsNotAFiniteNumberAndStaysPut)
{
    for (const char16_t* text : {u"", u"-", u"+", u".", u"e5", u"-.e1", u"1e999", u"-1e400000", u"x1", u"\u0663"}) {
        const Reading reading = readOne(QString::fromUtf16(text));
        EXPECT_FALSE(reading.value) << QString::fromUtf16(text).toStdString();
        EXPECT_EQ(reading.position, 0) << QString::fromUtf16(text).toStdString();
    }
}
