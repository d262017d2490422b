#include "platform/ui/NumberFormatter.h"
#include "platform/ui/NumberFormatterValidator.h"

#include <QLocale>
#include <cmath>
#include <gtest/gtest.h>

using platform::NumberFormatter;

namespace {

struct LocaleScope {
    explicit LocaleScope(QLocale::Language language) { QLocale::setDefault(QLocale(language)); }
    ~LocaleScope() { QLocale::setDefault(QLocale::c()); }
};

} // namespace

TEST(NumberFormatter, FormatsByStyleDigitsAndMultiplierInEveryLocale)
{
    const LocaleScope german(QLocale::German);
    NumberFormatter plain;
    EXPECT_EQ(plain.stringFromNumber(1234.6), "1235");
    plain.setMaximumFractionDigits(2);
    EXPECT_EQ(plain.stringFromNumber(-1234.5), "-1234.5");
    plain.setMinimumFractionDigits(2);
    EXPECT_EQ(plain.stringFromNumber(3), "3.00");

    NumberFormatter decimal;
    decimal.setNumberStyle(NumberFormatter::Style::Decimal);
    EXPECT_EQ(decimal.stringFromNumber(1234567.12345), "1,234,567.123");
    decimal.setMultiplier(-1.0);
    EXPECT_EQ(decimal.stringFromNumber(2.5), "-2.5");

    NumberFormatter percent;
    percent.setNumberStyle(NumberFormatter::Style::Percent);
    EXPECT_EQ(percent.multiplier(), 100.0);
    EXPECT_EQ(percent.stringFromNumber(0.25), "25%");
    EXPECT_EQ(percent.stringForObjectValue(QVariant(12)), "1,200%");
    EXPECT_EQ(percent.stringForObjectValue(QStringLiteral("text")), "");
}

TEST(NumberFormatter, ReadsTextBackThroughMultiplierBoundsAndWholeNumbers)
{
    NumberFormatter percent;
    percent.setNumberStyle(NumberFormatter::Style::Percent);
    EXPECT_DOUBLE_EQ(*percent.numberFromString(QStringLiteral(" 12.5 % ")), 0.125);
    EXPECT_DOUBLE_EQ(*percent.numberFromString(QStringLiteral("1,250")), 12.5);
    // What it writes it reads back.
    for (double value : {0.0, 0.07, -3.0, 1234.0})
        EXPECT_DOUBLE_EQ(*percent.numberFromString(percent.stringFromNumber(value)), value) << value;

    NumberFormatter bounded;
    bounded.setMinimum(-1.0);
    bounded.setMaximum(10.0);
    bounded.setAllowsFloats(false);
    QString error;
    EXPECT_EQ(bounded.numberFromString(QStringLiteral("10")), 10.0);
    EXPECT_EQ(bounded.numberFromString(QStringLiteral("-1")), -1.0);
    EXPECT_FALSE(bounded.numberFromString(QStringLiteral("11"), &error));
    EXPECT_TRUE(error.contains(QLatin1String("10"))) << error.toStdString();
    EXPECT_FALSE(bounded.numberFromString(QStringLiteral("-2"), &error));
    EXPECT_FALSE(bounded.numberFromString(QStringLiteral("2.5"), &error));
    EXPECT_FALSE(error.isEmpty());

    // No multiplier, or 0, divides as 1.
    NumberFormatter zero;
    zero.setMultiplier(0.0);
    EXPECT_EQ(zero.effectiveMultiplier(), 1.0);
    EXPECT_EQ(zero.numberFromString(QStringLiteral("7")), 7.0);
    EXPECT_EQ(zero.stringFromNumber(7), "7");
}

TEST(NumberFormatter, BadTextFailsWithAReasonAndNeverGivesNaNOrInfinity)
{
    NumberFormatter formatter;
    formatter.setNumberStyle(NumberFormatter::Style::Decimal);
    const QString longText(10000, QLatin1Char('9'));
    for (const QString& text : {QStringLiteral("abc"), QStringLiteral("1e999"), QStringLiteral("-1e999"),
                                QStringLiteral("nan"), QStringLiteral("inf"), QStringLiteral(""), QStringLiteral("12abc"),
                                QStringLiteral("1.2.3"), longText}) {
        QString error;
        QVariant value(42);
        EXPECT_FALSE(formatter.getObjectValueForStringErrorDescription(&value, text, &error)) << text.left(20).toStdString();
        EXPECT_FALSE(error.isEmpty());
        EXPECT_EQ(value, QVariant(42)) << "a failed read leaves the value alone";
    }
    QVariant value;
    EXPECT_TRUE(formatter.getObjectValueForStringErrorDescription(&value, QStringLiteral(" 12 "), nullptr));
    EXPECT_EQ(value, QVariant(12.0));
    EXPECT_FALSE(formatter.getObjectValueForStringErrorDescription(&value, std::nullopt, nullptr));
}

TEST(NumberFormatter, ValidatorAcceptsWhatTheFormatterReads)
{
    auto formatter = std::make_shared<NumberFormatter>();
    formatter->setMaximum(100.0);
    platform::NumberFormatterValidator validator(formatter);
    int position = 0;
    for (auto [text, state] : std::initializer_list<std::pair<QString, QValidator::State>>{
             {QStringLiteral("42"), QValidator::Acceptable},
             {QStringLiteral("-"), QValidator::Intermediate},
             {QStringLiteral("101"), QValidator::Intermediate},
             {QStringLiteral("abc"), QValidator::Intermediate}}) {
        QString input = text;
        EXPECT_EQ(validator.validate(input, position), state) << text.toStdString();
        EXPECT_EQ(input, text);
    }
}

TEST(NumberFormatter, HalfEvenRoundsTiesAsWrittenToTheEvenDigitAndSurvivesTheArchive)
{
    NumberFormatter formatter;
    formatter.setMaximumFractionDigits(2);
    EXPECT_EQ(formatter.stringFromNumber(0.125), "0.13") << "half away from zero unless set";
    formatter.setRoundingMode(NumberFormatter::Rounding::HalfEven);
    const std::pair<double, const char*> cases[] = {
        {0.125, "0.12"},  {0.375, "0.38"}, {0.0625, "0.06"}, {0.1875, "0.19"}, {-0.125, "-0.12"},
        // Ties as written, though the nearest doubles lie below (0.155) and above (0.145) them.
        {0.155, "0.16"},  {0.145, "0.14"}, {0.995, "1"},     {0.1251, "0.13"}, {0.005, "0"},
    };
    for (const auto& [value, text] : cases)
        EXPECT_EQ(formatter.stringFromNumber(value), text) << value;
    NumberFormatter whole;
    whole.setRoundingMode(NumberFormatter::Rounding::HalfEven);
    EXPECT_EQ(whole.stringFromNumber(2.5), "2");
    EXPECT_EQ(whole.stringFromNumber(9.5), "10");
    EXPECT_EQ(whole.stringFromNumber(-3.5), "-4");

    const auto decoded = platform::numberFormatterFromArchive(platform::archivedNumberFormatter(formatter));
    ASSERT_TRUE(decoded);
    EXPECT_EQ(decoded->roundingMode(), NumberFormatter::Rounding::HalfEven);
    EXPECT_EQ(platform::numberFormatterFromArchive(QVariantMap{})->roundingMode(),
              NumberFormatter::Rounding::HalfAwayFromZero);
}
