// The in-place editors and the clipboard and font manager: rich text pasted with Ctrl+V, and
// font changes that reach the characters selected in an editor of runs.

#include "platform/vantrix/view/ViewTestSupport.h"

#include "platform/graphics/AttributedStringLayout.h"
#include "platform/ui/Application.h"
#include "platform/ui/FontManager.h"
#include "platform/ui/MenuItem.h"
#include "platform/vantrix/drawables/VXTextShape.h"
#include "platform/vantrix/view/VXTextEditingDelegate.h"
#include "platform/ui/ResponderChain.h"
#include "platform/ui/UiTestSupport.h"

#include <QApplication>
#include <QClipboard>
#include <QMessageBox>
#include <QMimeData>
#include <QTextEdit>

using platform::AttributedString;
using platform::TextAttributes;
using viewtest::ViewFixture;

namespace {

const QFont kSans(QStringLiteral("DejaVu Sans"), 12);

// Keeps the text an edit ends with.
struct Ending : QObject, VXTextEditingDelegate {
    std::optional<AttributedString> text;
    void attributedTextEditingDidEnd(const AttributedString& ended, bool) override { text = ended; }
};

void putOnClipboard(const QString& mimeType, const QByteArray& data)
{
    auto* mime = new QMimeData;
    mime->setData(mimeType, data);
    QApplication::clipboard()->setMimeData(mime);
}

QFont fontAt(const AttributedString& text, qsizetype index)
{
    return text.attributeAtIndexEffectiveRange(platform::kFontAttributeName, index).value<QFont>();
}

QColor colourAt(const AttributedString& text, qsizetype index)
{
    return text.attributeAtIndexEffectiveRange(platform::kForegroundColourAttributeName, index).value<QColor>();
}

// "Market  North" being edited in runs, shown in an active window, the caret between the blanks
// (markup drops blanks at the ends of what it holds).
struct RunsFixture : ViewFixture {
    Ending ending;
    TextAttributes plain{{platform::kFontAttributeName, kSans}, {platform::kKernAttributeName, 1.0}};

    RunsFixture()
    {
        uitest::activate(&view);
        platform::TextEditingOptions asLabels;
        asLabels.returnCommits = true;
        view.editAttributedTextInRectDelegate(AttributedString(QStringLiteral("Market  North"), plain),
                                              {20, 20, 150, 30}, &ending, kSans, asLabels);
        select(7, 7);
    }
    QTextEdit* editor() const { return view.textEditor(); }
    void select(int from, int to) const
    {
        QTextCursor cursor = editor()->textCursor();
        cursor.setPosition(from);
        cursor.setPosition(to, QTextCursor::KeepAnchor);
        editor()->setTextCursor(cursor);
    }
    AttributedString end()
    {
        view.endTextEditing();
        return ending.text.value_or(AttributedString());
    }
};

} // namespace

TEST(RichTextEditing, CtrlVPastesHTMLOrRTFAloneAsRunsOverTheTextWhereTheyLand)
{
    for (const auto& [type, data] :
         {std::pair{QStringLiteral("text/html"), QByteArray("<b><span style=\"color:#ff0000\">Square</span></b>")},
          std::pair{QStringLiteral("text/rtf"), QByteArray("{\\rtf1{\\colortbl;\\red255\\green0\\blue0;}{\\b\\cf1 Square}}")}}) {
        RunsFixture f;
        putOnClipboard(type, data);
        QTest::keyClick(f.editor(), Qt::Key_V, Qt::ControlModifier);
        ASSERT_EQ(f.editor()->toPlainText(), QStringLiteral("Market Square North")) << type.toStdString();
        const AttributedString text = f.end();
        ASSERT_EQ(text.string(), QStringLiteral("Market Square North"));
        EXPECT_TRUE(fontAt(text, 8).bold()) << type.toStdString();
        EXPECT_EQ(colourAt(text, 8), QColor(Qt::red));
        EXPECT_FALSE(fontAt(text, 0).bold());
        EXPECT_FALSE(fontAt(text, 15).bold());
        EXPECT_FALSE(colourAt(text, 15).isValid());
        // What the HTML does not say comes from where it landed.
        EXPECT_EQ(text.attributeAtIndexEffectiveRange(platform::kKernAttributeName, 8).toDouble(), 1.0);
        if (type == QStringLiteral("text/html"))
            EXPECT_EQ(fontAt(text, 8).pointSizeF(), 12.0);
    }
}

TEST(RichTextEditing, MarkupThatCannotBeReadPastesNothingAndSaysWhy)
{
    RunsFixture f;
    QString deep;
    for (int i = 0; i < 600; ++i)
        deep += QStringLiteral("<span>");
    putOnClipboard(QStringLiteral("text/html"), (deep + QStringLiteral("Square")).toUtf8());
    QTest::keyClick(f.editor(), Qt::Key_V, Qt::ControlModifier);
    EXPECT_EQ(f.editor()->toPlainText(), QStringLiteral("Market  North"));
    auto* alert = uitest::shownWindow<QMessageBox>();
    ASSERT_TRUE(alert);
    EXPECT_EQ(alert->text(), QStringLiteral("The text on the clipboard could not be pasted."));
    EXPECT_EQ(alert->informativeText(), QStringLiteral("The HTML nests its elements more than 512 deep."));
    alert->close();
    // The alert coming forward does not end the edit.
    EXPECT_TRUE(f.editor());
}

TEST(RichTextEditing, FontChangesReachOnlyTheSelectedCharactersAndTheFontManagerHearsTheSelection)
{
    RunsFixture f;
    QTest::keyClicks(f.editor(), QStringLiteral("Square"));
    platform::FontManager* fonts = platform::FontManager::sharedFontManager();
    f.select(7, 13);
    EXPECT_FALSE(fonts->selectedFont().bold());
    platform::MenuItem bold;
    bold.setTag(platform::FontManager::BoldFontMask);
    fonts->addFontTrait(&bold); // as Format > Bold: to the first responder, the editor
    EXPECT_TRUE(fonts->selectedFont().bold());
    EXPECT_FALSE(fonts->isMultiple());
    f.select(0, 13);
    EXPECT_TRUE(fonts->isMultiple());

    // With nothing selected the change is for what is typed next.
    f.select(19, 19);
    fonts->addFontTrait(&bold);
    QTest::keyClicks(f.editor(), QStringLiteral("!"));

    const AttributedString text = f.end();
    ASSERT_EQ(text.string(), QStringLiteral("Market Square North!"));
    for (int i = 0; i < text.length(); ++i)
        EXPECT_EQ(fontAt(text, i).bold(), (i >= 7 && i < 13) || i == 19) << i;
    EXPECT_EQ(fontAt(text, 8).pointSizeF(), 12.0);
    EXPECT_EQ(text.attributeAtIndexEffectiveRange(platform::kKernAttributeName, 8).toDouble(), 1.0);
}

TEST(RichTextEditing, AnEditorOfCharactersPastesTheCharactersOfRichTextAndTakesNoFontMessages)
{
    ViewFixture f;
    auto shape = VXTextShape::textShapeWithStringInRect(QStringLiteral("Harbour"), {20, 20, 100, 40});
    f.layer->addObject(shape);
    uitest::activate(&f.view);
    Ending ending;
    f.view.editTextInRectDelegate(QStringLiteral("Harbour "), {20, 20, 100, 40}, &ending);
    putOnClipboard(QStringLiteral("text/html"), "<b>Quay</b>");
    QTest::keyClick(f.view.textEditor(), Qt::Key_End);
    QTest::keyClick(f.view.textEditor(), Qt::Key_V, Qt::ControlModifier);
    EXPECT_EQ(f.view.textEditor()->toPlainText(), QStringLiteral("Harbour Quay"));
    EXPECT_FALSE(platform::ResponderChain::respondsToAction(f.view.textEditor(), "changeFont"));
    f.view.endTextEditing();
    EXPECT_EQ(ending.text->string(), QStringLiteral("Harbour Quay"));
}

namespace {

// Centres what it converts, as the text inspector's alignment does through the font manager.
class CentringFontManager : public platform::FontManager {
public:
    TextAttributes convertAttributes(const TextAttributes& attributes) const override
    {
        platform::ParagraphStyle centred;
        centred.alignment = platform::TextAlignment::Centre;
        TextAttributes converted = attributes;
        converted.insert(platform::kParagraphStyleAttributeName, QVariant::fromValue(centred));
        return converted;
    }
};

} // namespace

TEST(RichTextEditing, AParagraphStyleReachesTheWholeParagraphOfTheCaret)
{
    RunsFixture f;
    QTest::keyClicks(f.editor(), QStringLiteral("Square"));
    QTest::keyClick(f.editor(), Qt::Key_End);
    QTest::keyClick(f.editor(), Qt::Key_Return, Qt::ShiftModifier);
    QTest::keyClicks(f.editor(), QStringLiteral("Quay"));
    f.select(3, 3);
    CentringFontManager centring;
    platform::Application::sendActionToFrom("changeAttributes", nullptr, &centring);
    const AttributedString text = f.end();
    ASSERT_EQ(text.string(), QStringLiteral("Market Square North\nQuay"));
    const auto alignmentAt = [&](qsizetype index) {
        return text.attributeAtIndexEffectiveRange(platform::kParagraphStyleAttributeName, index)
            .value<platform::ParagraphStyle>()
            .alignment;
    };
    for (qsizetype i : {0, 3, 18})
        EXPECT_EQ(alignmentAt(i), platform::TextAlignment::Centre) << i;
    EXPECT_NE(alignmentAt(21), platform::TextAlignment::Centre);
}
