#include "panels/search/Soundex.h"

#include <gtest/gtest.h>

namespace {

TEST(Soundex, CodesFollowTheVariantRules)
{
    const std::pair<const char*, const char*> cases[] = {
        {"Robert", "r163"}, {"Rupert", "r163"}, {"Smith", "s530"}, {"Smyth", "s530"},
        // The second l is coded: the previous digit starts at 0.
        {"Lloyd", "l430"},
        {" Main Street", "m523"}, {"x", "x000"},
        // h separates equal digits as a vowel does.
        {"Ashcraft", "a226"},
        // Upper case is lowered first; digits and marks are kept as the first character only.
        {"ROBERT", "r163"}, {"9lives", "9412"}, {"", ""}, {"   \t\n", ""},
    };
    for (const auto& [text, code] : cases)
        EXPECT_EQ(soundexString(QString::fromUtf8(text)), QString::fromUtf8(code)) << text;
    EXPECT_EQ(soundexStringOfLength(QStringLiteral("Ab"), 12), QStringLiteral("a100000000"));
    EXPECT_EQ(soundexStringOfLength(QStringLiteral("Ab"), 1), QStringLiteral("a100"));
    EXPECT_EQ(soundexStringOfLength(QStringLiteral("Washington"), 10), QStringLiteral("w252350000"));
    EXPECT_EQ(soundexValueForCharacter(u'y'), 0);
    EXPECT_EQ(soundexValueForCharacter(u'B'), 0);
    EXPECT_EQ(soundexValueForCharacter(u'r'), 6);
    EXPECT_EQ(soundexCharacterSets().size(), 7);
}

TEST(Soundex, JaroWinklerOfCodesDecidesWhatSoundsAlike)
{
    struct Case {
        const char* a;
        const char* b;
        double similarity;
        bool alike;
    };
    const Case cases[] = {
        {"Mill", "Hill", 0.8333, true},     {"Smith", "Schmidt", 0.85, true},
        {"Church", "Chapel", 0.7, false},   {"Street", "Road", 0.5, false},
        {"Robert", "Rupert", 1.0, true},
    };
    for (const Case& c : cases) {
        const QString a = QString::fromUtf8(c.a), b = QString::fromUtf8(c.b);
        EXPECT_NEAR(jaroWinklerDistanceWithString(soundexString(a), soundexString(b)), c.similarity, 1e-4) << c.a;
        EXPECT_EQ(soundsLikeString(a, b), c.alike) << c.a << " " << c.b;
    }
    EXPECT_NEAR(jaroDistanceWithString(QStringLiteral("s530"), QStringLiteral("s253")), 0.8333, 1e-4);
    EXPECT_NEAR(jaroDistanceWithString(QStringLiteral("c620"), QStringLiteral("c140")), 0.6667, 1e-4);
    // Only equal codes reach 1.0.
    EXPECT_TRUE(soundsLikeStringWithJaroWinklerThreshold(QStringLiteral("Smith"), QStringLiteral("Smyth"), 1.0));
    EXPECT_FALSE(soundsLikeStringWithJaroWinklerThreshold(QStringLiteral("Mill"), QStringLiteral("Hill"), 1.0));
    // Blank texts have no code and sound like nothing, not even each other.
    EXPECT_FALSE(soundsLikeString(QStringLiteral("  "), QStringLiteral(" ")));
    EXPECT_EQ(jaroDistanceWithString(QString(), QStringLiteral("abc")), 0.0);
}

TEST(Soundex, ComparingWithACodeAgreesWithComparingTexts)
{
    // Upper case and letters past ASCII are lowered the same way on either path.
    EXPECT_EQ(soundexString(QStringLiteral("\u00C9MILE")), QStringLiteral("\u00E9540"));
    EXPECT_EQ(soundexString(QStringLiteral("\u00C4RGER")), QStringLiteral("\u00E4626"));
    EXPECT_EQ(soundexString(QStringLiteral("\u00A0Zed")), QStringLiteral("z300"));
    const QString texts[] = {QStringLiteral("Robert"), QStringLiteral("RUPERT"), QStringLiteral("Smith"),
                             QStringLiteral("Mill"),   QStringLiteral("Hill"),   QStringLiteral("\u00C9mile"),
                             QStringLiteral("\u00E9MILE"), QStringLiteral("  "), QString()};
    for (const QString& text : texts)
        for (const QString& other : texts)
            EXPECT_EQ(soundsLikeCode(text, soundexString(other)), soundsLikeString(text, other))
                << qPrintable(text) << " / " << qPrintable(other);
}

TEST(Soundex, CommonCharactersAndPrefix)
{
    // The window's far end is excluded, and each partner is used once.
    EXPECT_EQ(stringWithCommonCharactersFromStringSeparationDistance(QStringLiteral("m400"), QStringLiteral("h400"), 2),
              QStringLiteral("400"));
    EXPECT_EQ(stringWithCommonCharactersFromStringSeparationDistance(QStringLiteral("aa"), QStringLiteral("a"), 2),
              QStringLiteral("a"));
    EXPECT_EQ(stringWithCommonCharactersFromStringSeparationDistance(QStringLiteral("ab"), QStringLiteral("ba"), 1),
              QStringLiteral("b"));
    EXPECT_EQ(stringWithCommonCharactersFromStringSeparationDistance(QString(), QStringLiteral("abc"), 3), QString());
    EXPECT_EQ(prefixLengthWithString(QStringLiteral("abcdefgh"), QStringLiteral("abcdefgx")), 6);
    EXPECT_EQ(prefixLengthWithString(QStringLiteral("Ab"), QStringLiteral("ab")), 0);
    // Long texts compare as well as codes do.
    EXPECT_NEAR(jaroDistanceWithString(QStringLiteral("abcdefghijkl"), QStringLiteral("abcdefghijkl")), 1.0, 1e-6);
}

} // namespace
