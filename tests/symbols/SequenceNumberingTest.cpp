#include "symbols/sequences/SequenceNumbering.h"

#include <gtest/gtest.h>
#include <limits>

using namespace sequencenumbering;

TEST(SequenceNumbering, LetterKindsCountThroughTheAlphabetAndFallBackToDecimalOutsideIt)
{
    const QString abc = defaultAlphabet();
    EXPECT_EQ(abc, "ABCDEFGHIJKLMNOPQRSTUVWXYZ");
    for (const auto& [n, text] : {std::pair{1, "A"}, {26, "Z"}, {27, "AA"}, {52, "AZ"}, {53, "BA"}, {702, "ZZ"}})
        EXPECT_EQ(formattedNumber(n, Alphabetical, abc), text) << n;
    for (const auto& [n, text] : {std::pair{26, "Z"}, {27, "A1"}, {52, "A26"}, {53, "B1"}})
        EXPECT_EQ(formattedNumber(n, AlphaNumeric, abc), text) << n;
    for (const auto& [n, text] : {std::pair{27, "1A"}, {52, "1Z"}, {53, "2A"}, {703, "27A"}})
        EXPECT_EQ(formattedNumber(n, ReverseAlphaNumeric, abc), text) << n;
    for (const auto& [n, text] : {std::pair{1, "X"}, {3, "Z"}, {4, "X1"}, {6, "X3"}, {7, "Y1"}, {12, "Z3"}})
        EXPECT_EQ(formattedNumber(n, AlphaNumeric, QStringLiteral("XYZ")), text) << n;

    // Past two places, below 1 and with an empty alphabet nothing reaches outside the letters.
    EXPECT_EQ(formattedNumber(703, Alphabetical, abc), "703");
    EXPECT_EQ(formattedNumber(13, AlphaNumeric, QStringLiteral("XYZ")), "13");
    EXPECT_EQ(formattedNumber(0, Alphabetical, abc), "0");
    EXPECT_EQ(formattedNumber(-4, ReverseAlphaNumeric, abc), "-4");
    EXPECT_EQ(formattedNumber(28, Alphabetical, QString()), "AB");
    EXPECT_EQ(formattedNumber(std::numeric_limits<qint64>::max(), AlphaNumeric, abc),
              QString::number(std::numeric_limits<qint64>::max()));

    setDefaultAlphabet(QStringLiteral("αβγ"));
    EXPECT_EQ(formattedNumber(5, Alphabetical, QString()), "αβ");
    setDefaultAlphabet(QString());
    EXPECT_EQ(defaultAlphabet(), abc);
}

TEST(SequenceNumbering, RomanHexadecimalAndDecimalKinds)
{
    EXPECT_EQ(formattedNumber(1994, RomanNumerals, {}), "MCMXCIV");
    EXPECT_EQ(formattedNumber(3999, RomanNumerals, {}), "MMMCMXCIX");
    EXPECT_EQ(formattedNumber(4, RomanNumerals, {}), "IV");
    EXPECT_EQ(formattedNumber(4000, RomanNumerals, {}), "");
    EXPECT_EQ(formattedNumber(0, RomanNumerals, {}), "");
    EXPECT_EQ(formattedNumber(255, Hexadecimal, {}), "FF");
    EXPECT_EQ(formattedNumber(0x1'0000'00AB, Hexadecimal, {}), "AB"); // the low 32 bits
    EXPECT_EQ(formattedNumber(42, Numeric, {}), "42");
    EXPECT_EQ(formattedNumber(42, 9, {}), "42");
    EXPECT_EQ(formattedNumber(42, -1, {}), "42");
}

TEST(SequenceNumbering, NumberWordsKeepTheirTraditionalForms)
{
    EXPECT_EQ(cardinalWithInteger(1234), "one thousand, two hundred and thirty-four");
    EXPECT_EQ(cardinalWithInteger(1050), "one thousand and fifty");
    EXPECT_EQ(cardinalWithInteger(21), "twenty-one");
    EXPECT_EQ(cardinalWithInteger(-3), "minus three");
    EXPECT_EQ(cardinalWithInteger(300), "three hundred");
    EXPECT_EQ(cardinalWithInteger(2000000), "two million");
    EXPECT_EQ(cardinalWithInteger(1000099), "one million and ninety-nine");
    EXPECT_EQ(ordinalWithInteger(40), "fourtieth");
    EXPECT_EQ(ordinalWithInteger(100), "one hundredth");
    EXPECT_EQ(ordinalWithInteger(101), "one hundred and first");
    EXPECT_EQ(ordinalWithInteger(203), "two hundred and third");
    EXPECT_EQ(ordinalWithInteger(21), "twenty-first");
    EXPECT_EQ(ordinalWithInteger(5000), "five thousandth");
    EXPECT_EQ(ordinalWithInteger(1200), "one thousand, two hundredth");
    for (const auto& [n, text] : {std::pair{1, "1st"}, {2, "2nd"}, {3, "3rd"}, {4, "4th"}, {11, "11th"}, {13, "13th"},
                                  {21, "21st"}, {22, "22nd"}, {111, "111st"}, {0, "0th"}, {-2, "-2nd"}})
        EXPECT_EQ(ordinalAbbreviationWithInteger(n), text) << n;

    // The most negative integer has no positive counterpart; its words still come out whole.
    const qint64 lowest = std::numeric_limits<qint64>::min();
    const QString words = cardinalWithInteger(lowest);
    EXPECT_TRUE(words.startsWith("minus nine million, two hundred and twenty-three thousand")) << words.toStdString();
    EXPECT_TRUE(words.endsWith("eight hundred and eight")) << words.toStdString();
    EXPECT_TRUE(ordinalWithInteger(lowest).endsWith("eight hundred and eighth"));
    EXPECT_EQ(ordinalAbbreviationWithInteger(lowest), QString::number(lowest) + "th");

    EXPECT_EQ(formattedNumber(7, CardinalNumbers, {}), "seven");
    EXPECT_EQ(formattedNumber(7, OrdinalNumbers, {}), "seventh");
    EXPECT_EQ(formattedNumber(7, AbbreviatedOrdinalNumbers, {}), "7th");
    EXPECT_EQ(cardinals().size(), 31);
    EXPECT_EQ(ordinals().size(), 31);
}

TEST(SequenceNumbering, DisplayNamesCoverTheNineKindsOnly)
{
    EXPECT_EQ(displayNameForSequenceKind(0), "Numeric");
    EXPECT_EQ(displayNameForSequenceKind(2), "Alpha-numeric");
    EXPECT_EQ(displayNameForSequenceKind(8), "Abbreviated Ordinal Numbers");
    EXPECT_EQ(displayNameForSequenceKind(9), "");
    EXPECT_EQ(displayNameForSequenceKind(-1), "");
}
