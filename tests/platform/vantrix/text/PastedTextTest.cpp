// Text from the clipboard: which type is read, why nothing is, how the runs join the text they
// land in, and markup nested so deep that reading it would never end.

#include "platform/ui/Pasteboard.h"
#include "platform/vantrix/text/HTMLTextReading.h"
#include "platform/vantrix/text/PastedText.h"

#include <QColor>
#include <QFont>
#include <QMimeData>
#include <gtest/gtest.h>

using namespace platform;

namespace {

QString repeated(const QString& piece, int times)
{
    QString text;
    text.reserve(piece.size() * times);
    for (int i = 0; i < times; ++i)
        text += piece;
    return text;
}

// `depth` elements, each inside the one before.
QString nested(int depth, const QString& element = QStringLiteral("span"))
{
    return repeated('<' + element + '>', depth) + QStringLiteral("deep") + repeated("</" + element + '>', depth);
}

PastedText paste(const QMap<QString, QByteArray>& types)
{
    QMimeData data;
    for (auto it = types.begin(); it != types.end(); ++it)
        data.setData(it.key(), it.value());
    return pastedTextFromPasteboard(Pasteboard(&data));
}

const QByteArray kBlueRTF = "{\\rtf1\\ansi{\\colortbl;\\red0\\green0\\blue255;}Old {\\b Harbour} \\cf1 Quay}";

} // namespace

TEST(HTMLNesting, CountsTheDepthAReaderBuilds)
{
    const struct {
        const char* html;
        int deepest;
        qint64 work;
    } cases[] = {
        {"<b><i>x</i></b><u>y</u>", 2, 4},
        {"<p>one<p>two<p>three", 1, 3},                     // a paragraph closes the one left open
        {"<ul><li>a<li>b</ul><ul><li>c", 2, 8},             // so does a list item
        {"<ul><li><ul><li>inner", 4, 10},                   // but not one of an outer list
        {"<br><img src='a>b'><hr/><span/><P>x</P>", 1, 1},  // void and self-closed elements hold nothing
        {"<!-- <b><b> --><script>if (a<b) {'<i>'}</script>", 1, 1},
        {"</b></i><b>x", 1, 1},                             // end tags of nothing open close nothing
        {"<div><b><i>x</div><s>y", 3, 7},                   // an end tag closes what was opened inside
        {"a < b, <3 and <!doctype html>", 0, 0},
    };
    for (const auto& c : cases) {
        const HTMLNesting nesting = measureHTMLNesting(QString::fromLatin1(c.html));
        EXPECT_EQ(nesting.deepest, c.deepest) << c.html;
        EXPECT_EQ(nesting.work, c.work) << c.html;
    }
}

TEST(HTMLReading, DeepMarkupIsRefusedWithItsReasonAndWideMarkupIsRead)
{
    // 100,000 nested elements (1.3 MB, under the length cap): refused at once, not read for ever.
    QString refusal;
    const QString deepest = nested(100'000);
    ASSERT_LT(deepest.size(), kMaximumHTMLTextLength);
    EXPECT_FALSE(attributedStringFromHTML(deepest, &refusal));
    EXPECT_EQ(refusal, QStringLiteral("The HTML nests its elements more than 512 deep."));

    // Nesting within the bound, but so much of it that the reading would take seconds.
    refusal.clear();
    const QString oneTree = nested(500, QStringLiteral("b"));
    EXPECT_FALSE(attributedStringFromHTML(repeated(oneTree, kMaximumHTMLTextLength / oneTree.size()), &refusal));
    EXPECT_EQ(refusal, QStringLiteral("The HTML holds too many deeply nested elements to be read."));

    ASSERT_TRUE(attributedStringFromHTML(nested(kMaximumHTMLNestingDepth)));
    EXPECT_EQ(attributedStringFromHTML(nested(kMaximumHTMLNestingDepth))->string(), QStringLiteral("deep"));
    const std::optional<AttributedString> wide = attributedStringFromHTML(repeated(QStringLiteral("<b>x</b>"), 100'000));
    ASSERT_TRUE(wide);
    EXPECT_EQ(wide->length(), 100'000);

    EXPECT_FALSE(attributedStringFromHTML(QString(kMaximumHTMLTextLength + 1, QLatin1Char('x')), &refusal));
    EXPECT_EQ(refusal, QStringLiteral("The HTML is longer than 4 MB."));
}

TEST(PastedText, TheRichestTypeThatReadsIsPastedAndOtherwiseTheRichestRefusalIsKept)
{
    const QByteArray html = "<b>bold</b>";
    const QByteArray plain = "plain words";
    const QByteArray deep = nested(600).toUtf8();

    EXPECT_EQ(paste({{"text/rtf", kBlueRTF}, {"text/html", html}, {"text/plain", plain}}).text->string(),
              QStringLiteral("Old Harbour Quay"));
    // RTF that does not read gives way to HTML, deep HTML to plain text, and nothing is refused then.
    const PastedText fromHTML = paste({{"text/rtf", "{\\rtf1\\fs123456789012 x}"}, {"text/html", html}});
    EXPECT_EQ(fromHTML.text->string(), QStringLiteral("bold"));
    EXPECT_TRUE(fromHTML.refusal.isEmpty());
    EXPECT_EQ(paste({{"text/html", deep}, {"text/plain", plain}}).text->string(), QStringLiteral("plain words"));

    const PastedText refused = paste({{"text/html", deep}});
    EXPECT_FALSE(refused.text);
    EXPECT_EQ(refused.refusal, QStringLiteral("The HTML nests its elements more than 512 deep."));
    EXPECT_EQ(paste({{"text/rtf", "not rtf"}, {"text/html", deep}}).refusal, QStringLiteral("The data is not RTF."));
    EXPECT_EQ(paste({{"text/rtf", "{\\rtf1" + QByteArray(200, '{') + "x}"}}).refusal,
              QStringLiteral("The RTF nests its groups more than 128 deep."));

    const PastedText nothing = paste({{"image/png", "\x89PNG"}});
    EXPECT_FALSE(nothing.text);
    EXPECT_TRUE(nothing.refusal.isEmpty());
}

TEST(PastedText, RunsTakeWhatTheyDoNotSayFromTheTextTheyJoin)
{
    const PastedText pasted = paste({{"text/html", "<b>Bold</b> <span style=\"color:#ff0000\">red</span>"}});
    ASSERT_TRUE(pasted.text);
    const QFont serif(QStringLiteral("DejaVu Serif"), 14);
    const TextAttributes where{{kFontAttributeName, serif}, {kKernAttributeName, 2.0}};
    const AttributedString joined = pastedTextOverAttributes(*pasted.text, where);
    ASSERT_EQ(joined.string(), QStringLiteral("Bold red"));

    const QFont bold = joined.attributeAtIndexEffectiveRange(kFontAttributeName, 0).value<QFont>();
    EXPECT_TRUE(bold.bold());
    EXPECT_EQ(bold.family(), serif.family());
    EXPECT_EQ(bold.pointSizeF(), 14.0);
    const TextAttributes red = joined.attributesAtIndexEffectiveRange(6);
    EXPECT_EQ(red.value(kForegroundColourAttributeName).value<QColor>(), QColor(Qt::red));
    EXPECT_FALSE(red.value(kFontAttributeName).value<QFont>().bold());
    EXPECT_EQ(red.value(kFontAttributeName).value<QFont>().pointSizeF(), 14.0);
    EXPECT_EQ(red.value(kKernAttributeName).toDouble(), 2.0);
}
