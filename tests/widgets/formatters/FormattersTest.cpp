#include "platform/foundation/Markers.h"
#include "widgets/formatters/ZQNumberFormatter.h"
#include "widgets/formatters/ZQPercentFormatter.h"
#include "widgets/formatters/ZQValueMultiplierTransformer.h"

#include <QColor>
#include <cmath>
#include <gtest/gtest.h>

namespace {

QVariant read(const platform::NumberFormatter& formatter, const std::optional<QString>& text, bool* answer = nullptr)
{
    QVariant value;
    QString error;
    const bool ok = formatter.getObjectValueForStringErrorDescription(&value, text, &error);
    if (answer)
        *answer = ok;
    return value;
}

} // namespace

TEST(PercentFormatter, ShowsTheSinglePrecisionProductRoundedHalvesToEven)
{
    ZQPercentFormatter formatter;
    EXPECT_EQ(formatter.stringForObjectValue(0.5), "50%");
    EXPECT_EQ(formatter.stringForObjectValue(0.125), "12%"); // 12.5 exactly: to even
    EXPECT_EQ(formatter.stringForObjectValue(0.135), "14%"); // 13.500000953... in single precision
    EXPECT_EQ(formatter.stringForObjectValue(0.145f), "14%");
    EXPECT_EQ(formatter.stringForObjectValue(-0.5), "-50%");
    EXPECT_EQ(formatter.stringForObjectValue(3), "300%");
    formatter.setMultiplier(1000.0);
    EXPECT_EQ(formatter.stringForObjectValue(0.0125), "12%");
}

TEST(PercentFormatter, ReadsAnyTextAsItsLeadingNumberOverTheMultiplier)
{
    ZQPercentFormatter formatter;
    for (const char* text : {"12%", "12", "12 percent", " 12 ", "+12.0%", "1.2e1"}) {
        bool answer = false;
        EXPECT_EQ(read(formatter, QString::fromLatin1(text), &answer), QVariant(double(0.12f))) << text;
        EXPECT_TRUE(answer);
    }
    // Text without a finite leading number reads as 0, and is still an answer.
    const QString longText(10000, QLatin1Char('7'));
    for (const QString& text : {QStringLiteral("abc"), QStringLiteral("%12"), QStringLiteral("1e999"),
                                QStringLiteral("nan"), QStringLiteral("inf"), QStringLiteral("-1e50"), longText}) {
        bool answer = false;
        const QVariant value = read(formatter, text, &answer);
        EXPECT_TRUE(answer);
        EXPECT_EQ(value, QVariant(0.0)) << text.left(12).toStdString();
    }
    // A multiplier of 0 or none divides as 1.
    formatter.setMultiplier(0.0);
    EXPECT_EQ(read(formatter, QStringLiteral("12%")), QVariant(12.0));
    formatter.setMultiplier(std::nullopt);
    EXPECT_EQ(read(formatter, QStringLiteral("12%")), QVariant(12.0));
    EXPECT_EQ(formatter.stringForObjectValue(0.5), "0%"); // 0.5 to even
}

TEST(MixedValueFormatters, DashesAndEmptyTextAreTheMarkerAndStringsShowAsTheyAre)
{
    const ZQNumberFormatter number;
    const ZQPercentFormatter percent;
    const platform::TextAttributes attributes{{platform::kForegroundColourAttributeName, QColor(Qt::blue)}};
    for (const platform::NumberFormatter* formatter : {static_cast<const platform::NumberFormatter*>(&number),
                                                       static_cast<const platform::NumberFormatter*>(&percent)}) {
        for (const QString& text : {QStringLiteral("--"), QString(), QStringLiteral("")}) {
            bool answer = false;
            EXPECT_TRUE(platform::isMultipleValuesMarker(read(*formatter, text, &answer)));
            EXPECT_TRUE(answer);
        }
        const platform::AttributedString shown =
            formatter->attributedStringForObjectValueWithDefaultAttributes(QStringLiteral("-- 12% x"), attributes);
        EXPECT_EQ(shown, platform::AttributedString(QStringLiteral("-- 12% x"), attributes));
    }
    EXPECT_EQ(number.attributedStringForObjectValueWithDefaultAttributes(7, attributes).string(), "7");
    EXPECT_EQ(percent.attributedStringForObjectValueWithDefaultAttributes(0.07, attributes).string(), "7%");

    // Other text is parsed in the standard way by the number formatter, and no text at all
    // by both.
    bool answer = true;
    EXPECT_EQ(read(number, QStringLiteral("2.5"), &answer), QVariant(2.5));
    EXPECT_TRUE(answer);
    read(number, QStringLiteral("abc"), &answer);
    EXPECT_FALSE(answer);
    read(number, std::nullopt, &answer);
    EXPECT_FALSE(answer);
    read(percent, std::nullopt, &answer);
    EXPECT_FALSE(answer);
}

TEST(ValueMultiplierTransformer, MultipliesOnTheWayOutDividesBackAndNeverDividesByZero)
{
    ZQValueMultiplierTransformer transformer;
    ASSERT_TRUE(transformer.allowsReverseTransformation());
    EXPECT_EQ(transformer.transformedValue(2.5), QVariant(2.5)); // no multiplier set: 1
    transformer.setMultiplier(-1.0);
    EXPECT_EQ(transformer.transformedValue(2.5), QVariant(-2.5));
    EXPECT_EQ(transformer.reverseTransformedValue(-2.5), QVariant(2.5));
    transformer.setMultiplier(4.0);
    for (double value : {0.0, 1.5, -7.25, 1e9})
        EXPECT_DOUBLE_EQ(transformer.reverseTransformedValue(transformer.transformedValue(value)).toDouble(), value);
    EXPECT_EQ(transformer.transformedValue(QStringLiteral("x")), QVariant(QStringLiteral("x")));
    for (double multiplier : {0.0, std::nan(""), double(INFINITY)}) {
        transformer.setMultiplier(multiplier);
        EXPECT_EQ(transformer.reverseTransformedValue(3), QVariant(3.0));
        EXPECT_EQ(transformer.transformedValue(3), QVariant(3.0));
    }
}
