#include "platform/graphics/RTFReading.h"

#include "platform/graphics/FontUtilities.h"

#include <QColor>
#include <QFont>
#include <gtest/gtest.h>

using namespace platform;

namespace {

QFont fontAt(const AttributedString& text, qsizetype index)
{
    return text.attributeAtIndexEffectiveRange(kFontAttributeName, index).value<QFont>();
}

// What word processors write: tables, a generator, a picture, then formatted text.
const QByteArray kWordProcessorRTF =
    "{\\rtf1\\ansi\\deff0{\\fonttbl{\\f0\\froman\\fcharset0 Liberation Serif;}{\\f1\\fswiss Liberation Sans}}\n"
    "{\\colortbl;\\red255\\green0\\blue0;\\red0\\green128\\blue0;}\n"
    "{\\*\\generator Writer;}{\\info{\\title Secret}}{\\pict\\pngblip 89504e47}\n"
    "\\pard\\plain \\f1\\fs20 Plain {\\b\\i Bold} {\\cf1 red}\\par\n"
    "{\\ul under}\\tab x{\\super 2}{\\sub n}{\\up6 up}{\\expndtw40 wide}\n"
    "caf\\'e9 \\u8364? and \\bin3 xyz\\{end\\}}trailing";

} // namespace

TEST(RTFReading, ReadsTheRunsAttributesALabelHolds)
{
    const std::optional<AttributedString> read = attributedStringFromRTF(kWordProcessorRTF);
    ASSERT_TRUE(read);
    const AttributedString& text = *read;
    ASSERT_EQ(text.string(), QStringLiteral("Plain Bold red\nunder\tx2nupwidecaf\u00e9 \u20ac and {end}"));

    EXPECT_EQ(fontAt(text, 0).family(), QStringLiteral("Liberation Sans")); // an entry closed without ";"
    EXPECT_EQ(fontAt(text, 0).pointSizeF(), 10.0);
    EXPECT_FALSE(fontAt(text, 0).bold());
    EXPECT_TRUE(fontAt(text, 6).bold());
    EXPECT_TRUE(fontAt(text, 6).italic());
    EXPECT_FALSE(fontAt(text, 11).bold()); // the group's end restores
    EXPECT_EQ(text.attributeAtIndexEffectiveRange(kForegroundColourAttributeName, 11).value<QColor>(), QColor(Qt::red));
    EXPECT_FALSE(text.attributeAtIndexEffectiveRange(kForegroundColourAttributeName, 0).isValid());
    EXPECT_EQ(text.attributeAtIndexEffectiveRange(kUnderlineStyleAttributeName, 15).toInt(), 1);
    EXPECT_FALSE(text.attributeAtIndexEffectiveRange(kUnderlineStyleAttributeName, 21).isValid());
    EXPECT_EQ(text.attributeAtIndexEffectiveRange(kSuperscriptAttributeName, 22).toInt(), 1);
    EXPECT_EQ(text.attributeAtIndexEffectiveRange(kSuperscriptAttributeName, 23).toInt(), -1);
    EXPECT_EQ(text.attributeAtIndexEffectiveRange(kBaselineOffsetAttributeName, 24).toDouble(), 3.0);
    EXPECT_EQ(text.attributeAtIndexEffectiveRange(kKernAttributeName, 26).toDouble(), 2.0);
}

TEST(RTFReading, HostileOrDamagedDataIsRefusedOrReadWithinBounds)
{
    EXPECT_FALSE(attributedStringFromRTF("plain text"));
    EXPECT_FALSE(attributedStringFromRTF(""));

    // Nesting deeper than the limit is refused; up to it reads.
    const auto nested = [](int depth) -> QByteArray {
        return "{\\rtf1 " + QByteArray(depth - 1, '{') + "deep" + QByteArray(depth, '}');
    };
    EXPECT_FALSE(attributedStringFromRTF(nested(kMaximumRTFGroupDepth + 1)));
    ASSERT_TRUE(attributedStringFromRTF(nested(kMaximumRTFGroupDepth)));
    EXPECT_EQ(attributedStringFromRTF(nested(kMaximumRTFGroupDepth))->string(), QStringLiteral("deep"));

    // Parameters too long to be numbers are refused; large ones are held within bounds.
    EXPECT_FALSE(attributedStringFromRTF("{\\rtf1\\fs123456789012 big}"));
    const auto huge = attributedStringFromRTF("{\\rtf1\\fs2000000000\\cf2147483647\\u-99999999?\\uc2147483647 x\\f-5 y}");
    ASSERT_TRUE(huge);
    EXPECT_LE(fontAt(*huge, 0).pointSizeF(), 1638.0);
    EXPECT_GT(fontAt(*huge, 0).pointSizeF(), 0.0);

    // Cut short anywhere: read as far as it goes.
    const std::optional<AttributedString> whole = attributedStringFromRTF(kWordProcessorRTF);
    for (qsizetype length = 5; length < kWordProcessorRTF.size(); ++length)
        ASSERT_TRUE(attributedStringFromRTF(kWordProcessorRTF.left(length))) << length;
    EXPECT_EQ(attributedStringFromRTF("{\\rtf1 cut {\\b short")->string(), QStringLiteral("cut short"));
    EXPECT_EQ(attributedStringFromRTF("{\\rtf1 hex\\'4")->string(), QStringLiteral("hex"));
    // Binary data longer than what is left ends the text.
    EXPECT_EQ(attributedStringFromRTF("{\\rtf1 a\\bin99999999 bcd}")->string(), QStringLiteral("a"));
    EXPECT_EQ(attributedStringFromRTF(QByteArray("{\\rtf1 a\\") )->string(), QStringLiteral("a"));
}

TEST(RTFReading, AFontNameLongerThanAnyFamilyNamesNoFontWhateverItsLength)
{
    const QByteArray longest(kMaximumFontFamilyLength, 'A');
    const QString unnamed = QFont().family();
    const struct {
        QByteArray name;
        QString family;
    } cases[] = {
        {longest, QString::fromLatin1(longest)},
        {longest + 'A', unnamed},
        {QByteArray(8 * 1024 * 1024, 'A'), unnamed},
    };
    for (const auto& c : cases) {
        const std::optional<AttributedString> read =
            attributedStringFromRTF("{\\rtf1{\\fonttbl{\\f0 " + c.name + ";}{\\f1 Liberation Sans;}}\\f0 x\\b y\\f1 z}");
        ASSERT_TRUE(read) << c.name.size();
        ASSERT_EQ(read->string(), QStringLiteral("xyz"));
        EXPECT_EQ(fontAt(*read, 0).family(), c.family) << c.name.size();
        EXPECT_EQ(fontAt(*read, 1).family(), c.family) << c.name.size();
        EXPECT_EQ(fontAt(*read, 2).family(), QStringLiteral("Liberation Sans")) << c.name.size();
    }
}
