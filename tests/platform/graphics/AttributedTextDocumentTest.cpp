#include "platform/graphics/AttributedTextDocument.h"

#include <QColor>
#include <QFont>
#include <QTextBlock>
#include <QTextCursor>
#include <QTextDocument>
#include <gtest/gtest.h>

using namespace platform;

namespace {

// "Mill" in 10 point bold, a line break, "Lane" red and kerned.
AttributedString twoLines()
{
    QFont bold(QStringLiteral("Helvetica"), 10);
    bold.setBold(true);
    AttributedString text(QStringLiteral("Mill\n"), {{kFontAttributeName, bold}});
    text.appendAttributedString(AttributedString(
        QStringLiteral("Lane"), {{kForegroundColourAttributeName, QColor(Qt::red)}, {kKernAttributeName, 1.5}}));
    return text;
}

} // namespace

TEST(AttributedTextDocument, RunsComeBackAsTheyWentInAndTypedTextTakesTheRunItJoins)
{
    QTextDocument document;
    setDocumentAttributedString(document, twoLines(), 2.0);
    EXPECT_EQ(document.blockCount(), 2);
    // Shown at twice the size, bold and red as the runs say.
    const QTextCharFormat shown = document.firstBlock().begin().fragment().charFormat();
    EXPECT_EQ(shown.fontPointSize(), 20.0);
    EXPECT_EQ(shown.fontWeight(), QFont::Bold);
    EXPECT_EQ(attributedStringFromDocument(document, {}), twoLines());

    // Typed at the end of "Lane": red and kerned like it. The zoom changes nothing read back.
    QTextCursor cursor(&document);
    cursor.movePosition(QTextCursor::End);
    cursor.insertText(QStringLiteral("s"));
    scaleDocumentFonts(document, 0.5);
    EXPECT_EQ(document.firstBlock().begin().fragment().charFormat().fontPointSize(), 5.0);
    AttributedString expected = twoLines();
    expected.replaceCharactersInRangeWithString({expected.length(), 0}, QStringLiteral("s"));
    EXPECT_EQ(attributedStringFromDocument(document, {}), expected);

    // Emptied and typed into anew: the typing attributes.
    const TextAttributes typing{{kUnderlineStyleAttributeName, 1}};
    document.setPlainText(QStringLiteral("Weir"));
    EXPECT_EQ(attributedStringFromDocument(document, typing), AttributedString(QStringLiteral("Weir"), typing));
}
