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

TEST(AttributedTextDocument, LineBreaksKeepTheirRunsAndChangesAndInsertionsGoRunByRun)
{
    // A line break that starts the red run comes back red: an untouched text is the same text.
    QFont bold(QStringLiteral("Helvetica"), 10);
    bold.setBold(true);
    AttributedString text(QStringLiteral("Old"), {{kFontAttributeName, bold}});
    text.appendAttributedString(AttributedString(QStringLiteral("\nQuay"), {{kForegroundColourAttributeName, QColor(Qt::red)}}));
    QTextDocument document;
    setDocumentAttributedString(document, text, 1.0);
    EXPECT_EQ(attributedStringFromDocument(document, {}), text);

    // "ld", the break and "Qu" kerned, each keeping what else it had.
    QTextCursor cursor(&document);
    cursor.setPosition(1);
    cursor.setPosition(6, QTextCursor::KeepAnchor);
    EXPECT_EQ(attributesOfSelection(cursor, {}).size(), 3);
    changeAttributesOfSelection(cursor, {}, 1.0, [](TextAttributes attributes) {
        attributes.insert(kKernAttributeName, 3.0);
        return attributes;
    });
    const AttributedString kerned = attributedStringFromDocument(document, {});
    ASSERT_EQ(kerned.string(), text.string());
    for (int i = 0; i < kerned.length(); ++i) {
        const TextAttributes at = kerned.attributesAtIndexEffectiveRange(i);
        EXPECT_EQ(at.value(kKernAttributeName).toDouble(), i >= 1 && i < 6 ? 3.0 : 0.0) << i;
        EXPECT_EQ(at.contains(kFontAttributeName), i < 3) << i;
        EXPECT_EQ(at.contains(kForegroundColourAttributeName), i >= 3) << i;
    }

    // Inserted runs replace the selection and keep their own attributes.
    cursor.setPosition(0);
    cursor.setPosition(3, QTextCursor::KeepAnchor);
    AttributedString inserted(QStringLiteral("New"), {{kUnderlineStyleAttributeName, 1}});
    inserted.appendAttributedString(AttributedString(QStringLiteral("!"), {}));
    insertAttributedString(cursor, inserted, 1.0);
    const AttributedString replaced = attributedStringFromDocument(document, {});
    EXPECT_EQ(replaced.string(), QStringLiteral("New!\nQuay"));
    EXPECT_EQ(replaced.attributesAtIndexEffectiveRange(0), (TextAttributes{{kUnderlineStyleAttributeName, 1}}));
    EXPECT_TRUE(replaced.attributesAtIndexEffectiveRange(3).isEmpty());
}
