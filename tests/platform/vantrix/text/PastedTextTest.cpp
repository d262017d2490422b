// Text from the clipboard: which type is read, why nothing is, how the runs join the text they
// land in, what the HTML reader makes of markup, and markup built to make reading never end.

#include "platform/graphics/FontUtilities.h"
#include "platform/graphics/RTFReading.h"
#include "platform/ui/Pasteboard.h"
#include "platform/vantrix/text/HTMLTextReading.h"
#include "platform/vantrix/text/PastedText.h"
#include "support/ThreadTime.h"

#include <QColor>
#include <QFont>
#include <QLocale>
#include <QMimeData>
#include <QStringConverter>
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

QFont fontAt(const AttributedString& text, qsizetype index)
{
    return text.attributeAtIndexEffectiveRange(kFontAttributeName, index).value<QFont>();
}

const QByteArray kBlueRTF = "{\\rtf1\\ansi{\\colortbl;\\red0\\green0\\blue255;}Old {\\b Harbour} \\cf1 Quay}";

} // namespace

TEST(HTMLReading, LinesCellsAndBlanksComeAsABrowserLaysThemOut)
{
    const struct {
        const char* html;
        const char* text;
    } cases[] = {
        {"<p>one<p>two  words\n  more<p>three", "one\ntwo words more\nthree"},
        {"<ul><li>a<li>b</ul>c<br>d<br><br>e", "a\nb\nc\nd\n\ne"},
        {"<dl><dt>term<dd>meaning<dt>next</dl>", "term\nmeaning\nnext"},
        {"<table><tr><td>a<td>b<tr><td><td>d</table>after", "a\tb\n\td\nafter"},   // an empty first cell keeps its place
        {"<table><tr><td><p>a</p><td>b</table>", "a\tb"},                            // a block in a cell ends at the cell
        {"x<pre>  a\n\tb</pre>y", "x\n  a\n\tb\ny"},                             // white space kept in <pre>
        {"<head><title>T</title><style>p{}</style></head><script>s()</script>body", "body"},
        {"a&nbsp;&nbsp;b &amp; c <!-- note --> d", "a\u00a0\u00a0b & c d"},
        {"x < div>, <1div> and a<b", "x < div>, <1div> and a"},                       // not tags, and a tag cut short
        {"<div a=b\"c>quoted</div><?x>after", "quoted\nafter"},
    };
    for (const auto& c : cases) {
        const std::optional<AttributedString> read = attributedStringFromHTML(QString::fromUtf8(c.html));
        ASSERT_TRUE(read) << c.html;
        EXPECT_EQ(read->string(), QString::fromUtf8(c.text)) << c.html;
    }
}

TEST(HTMLReading, RunsCarryWhatTheirElementsAndStylesSayAndNothingElse)
{
    const std::optional<AttributedString> read = attributedStringFromHTML(QStringLiteral(
        "<b>B</b><i>I</i><u>U</u><s>S</s><sup>2</sup><sub>n</sub>"
        "<font face=\"'Liberation Serif', serif\" size=\"5\" color=\"00ff00\">F</font>"
        "<span style=\"font-size: 20px; font-weight: 700; color: rgb(0, 0, 255); text-decoration: underline\">C</span>"
        "<b><span style=\"font-weight:normal\">N</span></b><h1>H</h1><code>m</code>plain"));
    ASSERT_TRUE(read);
    ASSERT_EQ(read->string(), QStringLiteral("BIUS2nFCN\nH\nmplain"));
    EXPECT_TRUE(fontAt(*read, 0).bold());
    EXPECT_TRUE(fontAt(*read, 1).italic());
    EXPECT_EQ(read->attributeAtIndexEffectiveRange(kUnderlineStyleAttributeName, 2).toInt(), 1);
    EXPECT_EQ(read->attributeAtIndexEffectiveRange(kStrikethroughStyleAttributeName, 3).toInt(), 1);
    EXPECT_EQ(read->attributeAtIndexEffectiveRange(kSuperscriptAttributeName, 4).toInt(), 1);
    EXPECT_EQ(read->attributeAtIndexEffectiveRange(kSuperscriptAttributeName, 5).toInt(), -1);
    EXPECT_EQ(fontAt(*read, 6).family(), QStringLiteral("Liberation Serif"));
    EXPECT_EQ(fontAt(*read, 6).pointSizeF(), 18.0);
    EXPECT_EQ(read->attributeAtIndexEffectiveRange(kForegroundColourAttributeName, 6).value<QColor>(), QColor(Qt::green));
    const TextAttributes styled = read->attributesAtIndexEffectiveRange(7);
    EXPECT_EQ(styled.value(kFontAttributeName).value<QFont>().pointSizeF(), 15.0);
    EXPECT_TRUE(styled.value(kFontAttributeName).value<QFont>().bold());
    EXPECT_EQ(styled.value(kForegroundColourAttributeName).value<QColor>(), QColor(Qt::blue));
    EXPECT_EQ(styled.value(kUnderlineStyleAttributeName).toInt(), 1);
    // A style may take back what its element set; the font still says so, over the text it joins.
    EXPECT_FALSE(fontAt(*read, 8).bold());
    EXPECT_TRUE(fontAt(*read, 8).resolveMask() & QFont::WeightResolved);
    EXPECT_TRUE(fontAt(*read, 10).bold());
    EXPECT_EQ(fontAt(*read, 10).pointSizeF(), 24.0);
    EXPECT_EQ(fontAt(*read, 12).family(), QStringLiteral("monospace"));
    EXPECT_TRUE(read->attributesAtIndexEffectiveRange(14).isEmpty());
}

TEST(HTMLReading, EveryHostileShapeIsReadOrRefusedWithinMoments)
{
    constexpr double kHostileToPlain = 10;
    const QString depthRefusal = QStringLiteral("The HTML nests its elements more than 256 deep.");
    const QString fiftyCells = repeated(QStringLiteral("<td>x"), 50);
    const struct {
        const char* what;
        QString html;
        qsizetype length; // -1: refused for its depth
    } cases[] = {
        {"300 rows without end tags", "<table>" + repeated(QStringLiteral("<tr><td>a<td>b"), 300) + "</table>", 300 * 4 - 1},
        {"300 list items", "<ul>" + repeated(QStringLiteral("<li>a"), 300) + "</ul>", 300 * 2 - 1},
        {"300 terms", "<dl>" + repeated(QStringLiteral("<dt>a<dd>b"), 300) + "</dl>", 600 * 2 - 1},
        {"quote in an unquoted value", repeated(QStringLiteral("<div a=b\"c>"), 20'000) + "x", -1},
        {"blank after <", "x" + repeated(QStringLiteral("< div>"), 100'000), 600'001}, // text, not tags
        {"digit names", "x" + repeated(QStringLiteral("<1div>"), 100'000), 600'001},
        {"processing instructions", repeated(QStringLiteral("<?x><div>"), 20'000), -1},
        {"deep in xmp", "<xmp>" + repeated(QStringLiteral("<div>"), 100'000) + "</xmp>", -1},
        {"deep in textarea", "<textarea>" + repeated(QStringLiteral("<div>"), 20'000) + "</textarea>", -1},
        {"deep in title", "<title>" + repeated(QStringLiteral("<div>"), 100'000) + "</title>", -1},
        {"deep in script", "<script>" + repeated(QStringLiteral("<div>"), 100'000) + "</script>", 0},
        {"deep in style", "<style>" + repeated(QStringLiteral("<div>"), 20'000) + "</style>", 0},
        {"nested spans", nested(100'000), -1},
        {"huge colspans", repeated(QStringLiteral("<table><tr><td colspan=\"2147483647\">x</td></tr></table>"), 1000),
         1000 * 2 - 1},
        {"a row of 10,000 cells", "<table><tr>" + repeated(QStringLiteral("<td>x"), 10'000) +
                                      repeated(QStringLiteral("<tr><td>y"), 1000) + "</table>",
         10'000 * 2 + 1000 * 2 - 1},
        {"100,000 cells", "<table>" + repeated("<tr>" + fiftyCells, 2000) + "</table>", 100'000 * 2 - 1},
    };
    for (const auto& c : cases) {
        QString refusal;
        const std::optional<AttributedString> read = attributedStringFromHTML(c.html, &refusal);
        // Each once took half a minute or never ended; now no longer than plain markup of its length.
        const QString plain = repeated(QStringLiteral("<b>x</b>"), int(c.html.size() / 8));
        const testsupport::PairedTimes times = testsupport::leastThreadSecondsInTurns(
            [&] { attributedStringFromHTML(c.html); }, [&] { attributedStringFromHTML(plain); }, 5);
        EXPECT_LT(times.ratio(), kHostileToPlain) << c.what << ": " << times;
        if (c.length < 0) {
            EXPECT_FALSE(read) << c.what;
            EXPECT_EQ(refusal, depthRefusal) << c.what;
        } else {
            ASSERT_TRUE(read) << c.what;
            EXPECT_EQ(read->length(), c.length) << c.what;
        }
    }
}

TEST(HTMLReading, DeepMarkupIsRefusedWithItsReasonAndWideMarkupIsRead)
{
    QString refusal;
    EXPECT_FALSE(attributedStringFromHTML(nested(300), &refusal));
    EXPECT_EQ(refusal, QStringLiteral("The HTML nests its elements more than 256 deep."));
    // The document's html and body count among the levels.
    ASSERT_TRUE(attributedStringFromHTML(nested(254)));
    EXPECT_EQ(attributedStringFromHTML(nested(254))->string(), QStringLiteral("deep"));
    EXPECT_FALSE(attributedStringFromHTML(nested(256)));

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
    EXPECT_EQ(refused.refusal, QStringLiteral("The HTML nests its elements more than 256 deep."));
    EXPECT_EQ(paste({{"text/rtf", "not rtf"}, {"text/html", deep}}).refusal, QStringLiteral("The data is not RTF."));
    EXPECT_EQ(paste({{"text/rtf", "{\\rtf1" + QByteArray(200, '{') + "x}"}}).refusal,
              QStringLiteral("The RTF nests its groups more than 128 deep."));

    const PastedText nothing = paste({{"image/png", "\x89PNG"}});
    EXPECT_FALSE(nothing.text);
    EXPECT_TRUE(nothing.refusal.isEmpty());
}

TEST(PastedText, TextLongerThanALabelHoldsIsRefusedAtOnceWhateverItsType)
{
    const QString tooLong = QStringLiteral("The text is longer than the %1 characters a label or a text box can hold.")
                                .arg(QLocale().toString(kMaximumPastedTextLength));
    // Nearly 16 MiB of RTF, under the reader's own cap: refused within moments, not read for half a minute.
    const QByteArray paragraph = "{\\b bold} {\\i italic} plain\\par ";
    QByteArray rtf = "{\\rtf1\\ansi ";
    rtf += QByteArray(paragraph).repeated((kMaximumRTFLength - 64) / paragraph.size()) + "}";
    ASSERT_LE(rtf.size(), kMaximumRTFLength);
    const PastedText fromRTF = paste({{"text/rtf", rtf}, {"text/plain", rtf}});
    EXPECT_FALSE(fromRTF.text);
    EXPECT_EQ(fromRTF.refusal, tooLong);
    // Refused as soon as the text passes the bound: as quickly as the same runs up to the bound
    // are read, not in the half minute all of them took.
    constexpr int kParagraphText = 18; // "bold italic plain\n"
    const QByteArray upToTheBound = "{\\rtf1\\ansi " + paragraph.repeated(kMaximumPastedTextLength / kParagraphText) + "}";
    ASSERT_TRUE(paste({{"text/rtf", upToTheBound}}).text);
    const testsupport::PairedTimes times = testsupport::leastThreadSecondsInTurns(
        [&] { paste({{"text/rtf", rtf}}); }, [&] { paste({{"text/rtf", upToTheBound}}); });
    EXPECT_LT(times.ratio(), 3.0) << times;

    const QByteArray longest(kMaximumPastedTextLength, 'x');
    EXPECT_EQ(paste({{"text/html", "<b>" + longest + "x</b>"}}).refusal, tooLong);
    EXPECT_EQ(paste({{"text/plain", longest + "x"}}).refusal, tooLong);
    EXPECT_EQ(paste({{"text/plain", longest}}).text->length(), kMaximumPastedTextLength);
    EXPECT_EQ(paste({{"text/html", "<p>" + longest}}).text->length(), kMaximumPastedTextLength);
    EXPECT_EQ(paste({{"text/rtf", "{\\rtf1 " + longest + "}"}}).text->length(), kMaximumPastedTextLength);
}

TEST(PastedText, TextInMoreFontsThanTheBoundGivesWayToTheNextTypeOrIsRefused)
{
    // `count` fonts: one family each in HTML, one size each in RTF (where bold and italic double them).
    const auto html = [](int count) -> QByteArray {
        QByteArray data;
        for (int i = 0; i < count; ++i)
            data += "<font face=\"F" + QByteArray::number(i) + "\">x</font>";
        return data;
    };
    const auto rtf = [](int count) -> QByteArray {
        QByteArray data = "{\\rtf1 ";
        for (int i = 0; i < count / 2; ++i)
            data += "\\fs" + QByteArray::number(2 + i) + " x\\b y\\b0 ";
        return data + "}";
    };
    const QString tooMany = QStringLiteral("The text uses more than %1 different fonts.")
                                .arg(QLocale().toString(kMaximumPastedFontCount));
    const struct {
        const char* type;
        QByteArray (*data)(int);
    } cases[] = {{"text/html", html}, {"text/rtf", rtf}};
    for (const auto& [type, data] : cases) {
        const PastedText atTheBound = paste({{type, data(kMaximumPastedFontCount)}});
        ASSERT_TRUE(atTheBound.text) << type;
        EXPECT_EQ(atTheBound.text->length(), kMaximumPastedFontCount) << type;
        EXPECT_EQ(paste({{type, data(kMaximumPastedFontCount + 2)}}).refusal, tooMany) << type;
        const PastedText plain = paste({{type, data(kMaximumPastedFontCount + 2)}, {"text/plain", "words"}});
        ASSERT_TRUE(plain.text) << type;
        EXPECT_EQ(plain.text->string(), QStringLiteral("words")) << type;
    }
    // Runs of one font, however many, are one font.
    EXPECT_TRUE(paste({{"text/html", QByteArray("<b>x</b>y").repeated(10'000)}}).text);
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

namespace {

// A <p> with `count` attributes, each named apart ("a0", "a1"...).
QString paragraphWithAttributes(int count)
{
    QString html = QStringLiteral("<p");
    for (int i = 0; i < count; ++i)
        html += QStringLiteral(" a%1").arg(i);
    return html + QStringLiteral(">x</p>");
}

} // namespace

TEST(HTMLReading, AnElementWithMoreAttributesThanTheBoundIsRefusedAtOnce)
{
    const QString refusalText =
        QStringLiteral("An element of the HTML has more than %1 attributes.").arg(kMaximumHTMLAttributes);
    const int bound = int(kMaximumHTMLAttributes);
    // Counted where the parser hands the element over, or seen as the parser reads a long tag.
    for (const int count : {bound + 1, 3 * bound, 50'000, 100'000}) {
        QString refusal;
        EXPECT_FALSE(attributedStringFromHTML(paragraphWithAttributes(count), &refusal)) << count;
        EXPECT_EQ(refusal, refusalText) << count;
    }
    // 100,000 attributes took half a minute, square in them: eight times the attributes took
    // sixty-four times as long, and now about eight.
    const QString most = paragraphWithAttributes(100'000);
    const QString fewer = paragraphWithAttributes(12'500);
    const testsupport::PairedTimes refusals = testsupport::leastThreadSecondsInTurns(
        [&] { attributedStringFromHTML(most); }, [&] { attributedStringFromHTML(fewer); });
    EXPECT_LT(refusals.ratio(), 20.0) << refusals;
    // At the bound, as often as the markup's length allows: read, and as quickly.
    const std::optional<AttributedString> atBound = attributedStringFromHTML(paragraphWithAttributes(bound));
    ASSERT_TRUE(atBound);
    EXPECT_EQ(atBound->string(), QStringLiteral("x"));
    const QString element = paragraphWithAttributes(bound);
    const int times = int(kMaximumHTMLTextLength / element.size());
    const QString all = repeated(element, times);
    const QString eighth = repeated(element, times / 8);
    ASSERT_TRUE(attributedStringFromHTML(all));
    const testsupport::PairedTimes reads = testsupport::leastThreadSecondsInTurns(
        [&] { attributedStringFromHTML(all); }, [&] { attributedStringFromHTML(eighth); });
    EXPECT_LT(reads.ratio(), 16.0) << reads;
    // The attributes a style is read from are found among the rest.
    const std::optional<AttributedString> styled = attributedStringFromHTML(
        paragraphWithAttributes(bound - 1)
            .replace(QStringLiteral(">x"), QStringLiteral(" style=\"font-weight:bold\">x")));
    ASSERT_TRUE(styled);
    EXPECT_TRUE(fontAt(*styled, 0).bold());
}

TEST(HTMLReading, ALongTextIsCutOneCharacterPastWhatIsWantedAndALineEndSplitByTheParserStaysOne)
{
    // 3.5 million CJK characters in one text: 10.5 MB as the parser reads it.
    const QString cjk(3'500'000, QChar(0x4e2d));
    const std::optional<AttributedString> whole = attributedStringFromHTML("<p>" + cjk + "</p>");
    ASSERT_TRUE(whole);
    EXPECT_EQ(whole->length(), cjk.size());
    for (const qsizetype wanted : {qsizetype(0), qsizetype(999), kMaximumPastedTextLength}) {
        const std::optional<AttributedString> cut = attributedStringFromHTML("<b>a</b>" + cjk, nullptr, wanted);
        ASSERT_TRUE(cut);
        EXPECT_EQ(cut->length(), wanted + 1);
    }
    const QString tooLong = QStringLiteral("The text is longer than the %1 characters a label or a text box can hold.")
                                .arg(QLocale().toString(kMaximumPastedTextLength));
    EXPECT_EQ(paste({{"text/html", ("<p>" + cjk).toUtf8()}}).refusal, tooLong);

    // The parser hands text over in pieces of about a thousand bytes.
    for (int before = 980; before < 1030; ++before) {
        const std::optional<AttributedString> read =
            attributedStringFromHTML("<pre>" + QString(before, u'a') + QStringLiteral("\r\nb\rc</pre>"));
        ASSERT_TRUE(read);
        EXPECT_EQ(read->string(), QString(before, u'a') + QStringLiteral("\nb\nc")) << before;
    }
}

TEST(HTMLReading, AFontNameLongerThanAnyFamilyNamesNoFont)
{
    // Lower case: a style's declarations are read in lower case.
    const QString longest(kMaximumFontFamilyLength, u'a');
    const QString longer = longest + u'a';
    const std::optional<AttributedString> read = attributedStringFromHTML(
        "<font face=\"" + longest + "\">a</font><font face=\"'" + longer + "', serif\">b</font>"
        "<span style=\"font-family: " + longer + "\">c</span><span style=\"font-family: '" + longest + "'\">d</span>");
    ASSERT_TRUE(read);
    ASSERT_EQ(read->string(), QStringLiteral("abcd"));
    EXPECT_EQ(fontAt(*read, 0).family(), longest);
    EXPECT_TRUE(read->attributesAtIndexEffectiveRange(1).isEmpty());
    EXPECT_TRUE(read->attributesAtIndexEffectiveRange(2).isEmpty());
    EXPECT_EQ(fontAt(*read, 3).family(), longest);
}

TEST(PastedText, HTMLInUTF16IsReadAndHTMLInNoEncodingReadIsRefusedWithTheReason)
{
    const QString html = QStringLiteral("<b>Qu\u00e4y \u6e2f</b>");
    const auto utf16 = [&](QStringConverter::Encoding encoding, QStringConverter::Flags flags) {
        return QByteArray(QStringEncoder(encoding, flags).encode(html));
    };
    const QByteArray cases[] = {
        utf16(QStringConverter::Utf16LE, QStringConverter::Flag::WriteBom),
        utf16(QStringConverter::Utf16BE, QStringConverter::Flag::WriteBom),
        utf16(QStringConverter::Utf16LE, QStringConverter::Flag::Default), // no mark, "<" shows it
        utf16(QStringConverter::Utf32LE, QStringConverter::Flag::WriteBom),
        utf16(QStringConverter::Utf8, QStringConverter::Flag::WriteBom),
    };
    for (const QByteArray& data : cases) {
        const PastedText pasted = paste({{"text/html", data}});
        ASSERT_TRUE(pasted.text) << data.toHex().constData();
        EXPECT_EQ(pasted.text->string(), QStringLiteral("Qu\u00e4y \u6e2f"));
        EXPECT_TRUE(fontAt(*pasted.text, 0).bold());
    }
    // Latin-1, even after the mark of UTF-8: said, not pasted as nothing.
    for (const QByteArray& data : {QByteArray("<b>Qu\xe4y</b>"), QByteArray("\xef\xbb\xbf<b>Qu\xe4y</b>")}) {
        const PastedText refused = paste({{"text/html", data}});
        EXPECT_FALSE(refused.text);
        EXPECT_EQ(refused.refusal, QStringLiteral("The HTML is neither UTF-8 nor UTF-16."));
    }
    // Data too long to be 4 MB of text in any encoding is refused before it is decoded.
    EXPECT_EQ(paste({{"text/html", QByteArray(4 * kMaximumHTMLTextLength + 1, 'x')}}).refusal,
              QStringLiteral("The HTML is longer than 4 MB."));
}
