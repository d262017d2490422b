// Attribute runs of AttributedString and its layout.

#include "platform/graphics/AttributedString.h"
#include "platform/graphics/AttributedStringLayout.h"
#include "platform/graphics/FontUtilities.h"
#include "support/ThreadTime.h"

#include <QImage>
#include <QPainter>
#include <gtest/gtest.h>
#include <algorithm>
#include <limits>

using namespace platform;

namespace {

const QString kRowIndex = QStringLiteral("rowIndex"); // a caller's own attribute

AttributedString rows(const QStringList& cells)
{
    AttributedString text;
    for (int i = 0; i < cells.size(); ++i)
        text.appendAttributedString(AttributedString(cells[i] + "\n", {{kRowIndex, i}}));
    return text;
}

QFont dejaVu(double size)
{
    return *fontWithNameSize("DejaVu Sans", size);
}

// The rows of an image that hold dark pixels.
std::pair<int, int> inkRows(const QImage& image)
{
    int top = -1, bottom = -1;
    for (int y = 0; y < image.height(); ++y) {
        for (int x = 0; x < image.width(); ++x) {
            if (qGray(image.pixel(x, y)) < 128) {
                top = top < 0 ? y : top;
                bottom = y;
                break;
            }
        }
    }
    return {top, bottom};
}

} // namespace

TEST(AttributedString, RunsSplitAndMergeAsAttributesChange)
{
    const AttributedString red("Hello world", {{kForegroundColourAttributeName, QColor(Qt::red)}});
    AttributedString text = red;
    text.addAttributeValueRange(kUnderlineStyleAttributeName, 1, {6, 5});
    TextRange range;
    EXPECT_EQ(text.attributesAtIndexEffectiveRange(0, &range).size(), 1);
    EXPECT_EQ(range, (TextRange{0, 6}));
    EXPECT_EQ(text.attributesAtIndexEffectiveRange(8, &range).value(kUnderlineStyleAttributeName), 1);
    EXPECT_EQ(range, (TextRange{6, 5}));
    // The colour runs the whole text even though the runs are split.
    EXPECT_EQ(text.attributeAtIndexEffectiveRange(kForegroundColourAttributeName, 2, &range), QColor(Qt::red));
    EXPECT_EQ(range, (TextRange{0, 11}));
    text.attributeAtIndexLongestEffectiveRangeInRange(kForegroundColourAttributeName, 7, &range, {4, 5});
    EXPECT_EQ(range, (TextRange{4, 5}));
    text.removeAttributeRange(kUnderlineStyleAttributeName, {0, 100});
    text.attributesAtIndexEffectiveRange(3, &range);
    EXPECT_EQ(range, (TextRange{0, 11})); // merged again
    EXPECT_EQ(text, red);
}

TEST(AttributedString, ReplacementTakesTheAttributesOfTheReplacedTextAndRangesAreClipped)
{
    AttributedString text = rows({"alpha", "beta", "gamma"});
    // Find row 1 by its attribute run, replace its text, and keep the row's attributes.
    TextRange row;
    text.attributeAtIndexEffectiveRange(kRowIndex, 7, &row);
    EXPECT_EQ(row, (TextRange{6, 5}));
    text.replaceCharactersInRangeWithString(row, "BETA-2\n");
    EXPECT_EQ(text.string(), "alpha\nBETA-2\ngamma\n");
    text.attributeAtIndexEffectiveRange(kRowIndex, 7, &row);
    EXPECT_EQ(row, (TextRange{6, 7}));
    EXPECT_EQ(text.attributeAtIndexEffectiveRange(kRowIndex, 12), 1);
    // Insertion with an empty range takes the attributes of the character before it.
    text.replaceCharactersInRangeWithString({5, 0}, "!");
    EXPECT_EQ(text.attributeAtIndexEffectiveRange(kRowIndex, 5), 0);
    text.deleteCharactersInRange({0, 7});
    EXPECT_EQ(text.string(), "BETA-2\ngamma\n");
    EXPECT_EQ(text.attributeAtIndexEffectiveRange(kRowIndex, 0), 1);
    const AttributedString gamma = text.attributedSubstringFromRange({7, 100});
    EXPECT_EQ(gamma.string(), "gamma\n");
    EXPECT_EQ(gamma.attributeAtIndexEffectiveRange(kRowIndex, 0), 2);
    text.insertAttributedStringAtIndex(text, 0); // inserting into itself
    EXPECT_EQ(text.string(), "BETA-2\ngamma\nBETA-2\ngamma\n");
    EXPECT_EQ(text.attributeAtIndexEffectiveRange(kRowIndex, 20), 2);

    // Out-of-range calls are clipped, not fatal.
    AttributedString abc("abc");
    TextRange range{99, 99};
    EXPECT_TRUE(abc.attributesAtIndexEffectiveRange(-1, &range).isEmpty());
    EXPECT_EQ(range, (TextRange{3, 0}));
    EXPECT_FALSE(abc.attributeAtIndexEffectiveRange("x", 3).isValid());
    abc.addAttributeValueRange("x", 1, {-5, 7});
    EXPECT_EQ(abc.attributeAtIndexEffectiveRange("x", 1, &range), 1);
    EXPECT_EQ(range, (TextRange{0, 2}));
    abc.replaceCharactersInRangeWithString({2, 50}, "Z");
    abc.deleteCharactersInRange({10, 2});
    EXPECT_EQ(abc.string(), "abZ");
    EXPECT_TRUE(abc.attributedSubstringFromRange({5, 5}).isEmpty());
    AttributedString empty;
    empty.replaceCharactersInRangeWithString({0, 0}, "x");
    EXPECT_EQ(empty.string(), "x");
}

TEST(AttributedStringLayout, FontSizesArePointsAndLinesWrapToTheWidth)
{
    const QString sentence = QStringLiteral("The quick brown fox jumps over the lazy dog");
    AttributedString text(sentence, {{kFontAttributeName, dejaVu(12)}});
    const AttributedStringLayout oneLine(text, 0);
    EXPECT_EQ(oneLine.lineCount(), 1);
    EXPECT_NEAR(oneLine.size().height(), 14, 1.5); // a 12 point font on a 72 dpi scale
    const AttributedStringLayout wrapped(text, oneLine.size().width() / 2.5);
    EXPECT_GE(wrapped.lineCount(), 3);
    EXPECT_LE(wrapped.size().width(), oneLine.size().width() / 2.5 + 0.01);
    EXPECT_NEAR(wrapped.size().height(), wrapped.lineCount() * oneLine.size().height(), 0.01);

    ParagraphStyle centred;
    centred.alignment = TextAlignment::Centre;
    text.addAttributeValueRange(kParagraphStyleAttributeName, QVariant::fromValue(centred), {0, text.length()});
    const AttributedStringLayout wide(text, 1000);
    EXPECT_NEAR(wide.lineFragmentRects().first().width(), 1000, 0.01);

    ParagraphStyle truncated;
    truncated.lineBreakMode = LineBreakMode::TruncatingTail;
    text.addAttributeValueRange(kParagraphStyleAttributeName, QVariant::fromValue(truncated), {0, text.length()});
    const AttributedStringLayout shortened(text, 80);
    EXPECT_EQ(shortened.lineCount(), 1);
    EXPECT_LE(shortened.size().width(), 80);
}

TEST(AttributedStringLayout, LongUnbrokenRunsBreakWhereTheLineIsFullInLinearTime)
{
    // A run with a bold stretch and a two-unit character inside: broken by words it must fill
    // its lines exactly as breaking anywhere does.
    const QString run = QString(900, QLatin1Char('m')) + QStringLiteral("\U0001F600") + QString(900, QLatin1Char('i'));
    AttributedString text(run, {{kFontAttributeName, dejaVu(12)}});
    QFont bold = dejaVu(12);
    bold.setBold(true);
    text.addAttributeValueRange(kFontAttributeName, bold, {400, 700});
    const AttributedStringLayout byWords(text, 150);
    ParagraphStyle anywhere;
    anywhere.lineBreakMode = LineBreakMode::CharWrapping;
    text.addAttributeValueRange(kParagraphStyleAttributeName, QVariant::fromValue(anywhere), {0, text.length()});
    const AttributedStringLayout byCharacters(text, 150);
    EXPECT_GT(byWords.lineCount(), 60);
    EXPECT_EQ(byWords.lineFragmentRects(), byCharacters.lineFragmentRects());
    EXPECT_EQ(byWords.size(), byCharacters.size());

    // Half a megabyte on one line took about 20 s laid out by words, square in the length.
    const AttributedString huge(QString(512 * 1024, QLatin1Char('x')), {{kFontAttributeName, dejaVu(12)}});
    const AttributedStringLayout layout(huge, 200);
    EXPECT_GT(layout.lineCount(), 10'000);
}

TEST(AttributedStringLayout, ManyRunsAreLaidOutAtOnceAndEachKeepsItsPlace)
{
    // Each run was once found again from the start of the text, square in the runs: a pasted label
    // of as many took seconds, laid out several times. Runs that differ in a caller's attribute
    // alone lay out as one.
    constexpr int kRuns = 48'000;
    constexpr int kFewerRuns = kRuns / 32;
    QFont bold = dejaVu(12);
    bold.setBold(true);
    const auto runs = [&](int count, bool numbered) {
        AttributedString text;
        for (int i = 0; i < count; ++i) {
            TextAttributes attributes{{kFontAttributeName, i % 3 == 0 ? bold : dejaVu(12)}};
            if (numbered)
                attributes.insert(kRowIndex, i);
            text.appendAttributedString(AttributedString(i % 7 ? "x" : "x ", attributes));
        }
        return text;
    };
    const AttributedString many = runs(kRuns, true);
    const AttributedString fewer = runs(kFewerRuns, true);
    // Thirty-two times the runs take thirty to fifty times as long; found run by run, 150.
    const testsupport::PairedTimes times = testsupport::leastThreadSecondsInTurns(
        [&] { const AttributedStringLayout layout(many, 300); }, [&] { const AttributedStringLayout layout(fewer, 300); });
    EXPECT_LT(times.ratio(), 80.0) << times;
    const AttributedStringLayout layout(many, 300);
    const AttributedStringLayout expected(runs(kRuns, false), 300);
    EXPECT_GT(layout.lineCount(), 100);
    EXPECT_EQ(layout.lineFragmentRects(), expected.lineFragmentRects());
}

TEST(AttributedStringLayout, ParagraphsStackAndTableCellsSitSideBySide)
{
    AttributedString text("one\ntwo\nthree", {{kFontAttributeName, dejaVu(10)}});
    const AttributedStringLayout paragraphs(text, 0);
    EXPECT_EQ(paragraphs.lineCount(), 3);
    const QList<QRectF> lines = paragraphs.lineFragmentRects();
    EXPECT_LT(lines[0].bottom(), lines[1].top() + 0.01);
    EXPECT_EQ(AttributedStringLayout(AttributedString("one\n"), 0).lineCount(), 1); // a final newline adds no line
    EXPECT_EQ(AttributedStringLayout(AttributedString(), 100).size(), QSizeF(0, 0));

    // Four cells in two columns: two rows of two.
    auto table = std::make_shared<TextTable>();
    AttributedString cells;
    for (int i = 0; i < 4; ++i) {
        ParagraphStyle cell;
        cell.textBlocks = {{table, i / 2, 1, i % 2, 1, 4.0}};
        cells.appendAttributedString(AttributedString(QStringLiteral("cell %1\n").arg(i),
                                                      {{kFontAttributeName, dejaVu(10)},
                                                       {kParagraphStyleAttributeName, QVariant::fromValue(cell)}}));
    }
    const AttributedStringLayout grid(cells, 200);
    const QList<QRectF> cellLines = grid.lineFragmentRects();
    ASSERT_EQ(cellLines.size(), 4);
    EXPECT_DOUBLE_EQ(cellLines[0].top(), cellLines[1].top());
    EXPECT_DOUBLE_EQ(cellLines[1].left(), 104);
    EXPECT_GT(cellLines[2].top(), cellLines[0].bottom());
    EXPECT_DOUBLE_EQ(cellLines[2].left(), 4);
}

TEST(AttributedStringLayout, DrawsAtPointSizeOnAnyDevice)
{
    AttributedString text("H", {{kFontAttributeName, dejaVu(72)}, {kForegroundColourAttributeName, QColor(Qt::black)}});
    const AttributedStringLayout layout(text, 0);
    int heights[2] = {};
    const int dotsPerMeter[2] = {2835, 3780}; // 72 and 96 dpi
    for (int i = 0; i < 2; ++i) {
        QImage image(120, 120, QImage::Format_RGB32);
        image.setDotsPerMeterX(dotsPerMeter[i]);
        image.setDotsPerMeterY(dotsPerMeter[i]);
        image.fill(Qt::white);
        QPainter painter(&image);
        layout.drawAtPoint(&painter, {10, 10});
        painter.end();
        const auto [top, bottom] = inkRows(image);
        heights[i] = bottom - top;
    }
    // A capital of a 72 point font stands about 52 points tall, whatever the device.
    EXPECT_NEAR(heights[0], 52, 4);
    EXPECT_NEAR(heights[1], heights[0], 1);
}
