#include "inspectors/text/VLTMFontManagerTrampoline.h"
#include "platform/graphics/FontUtilities.h"
#include "platform/ui/Application.h"
#include "platform/ui/MenuItem.h"

#include <QColor>
#include <gtest/gtest.h>

namespace {

// Takes the font messages as a text view does: asks the sender to convert what it has.
class FontReceiver : public QObject {
    Q_OBJECT

public:
    QFont font = *platform::fontWithNameSize("DejaVuSans", 12);
    platform::TextAttributes attributes{{platform::kStrokeColourAttributeName, QColor(Qt::red)}};
    int fontChanges = 0;
    int attributeChanges = 0;

    Q_INVOKABLE void changeFont(QObject* sender)
    {
        ++fontChanges;
        font = qobject_cast<platform::FontManager*>(sender)->convertFont(font);
    }
    Q_INVOKABLE void changeAttributes(QObject* sender)
    {
        ++attributeChanges;
        attributes = qobject_cast<platform::FontManager*>(sender)->convertAttributes(attributes);
    }
};

// The first responder to changeAttributes in a test with no window: the application delegate.
class DelegateScope {
public:
    explicit DelegateScope(QObject* delegate)
        : m_previous(platform::Application::delegate())
    {
        platform::Application::setDelegate(delegate);
    }
    ~DelegateScope() { platform::Application::setDelegate(m_previous); }

private:
    QObject* m_previous;
};

} // namespace

TEST(FontManagerTrampoline, MapsThirteenAdornmentKeysToTextAttributes)
{
    EXPECT_EQ(VLTMFontManagerTrampoline::attributeNameForKeyPath("underlines"), platform::kUnderlineStyleAttributeName);
    EXPECT_EQ(VLTMFontManagerTrampoline::attributeNameForKeyPath("alignment"), platform::kParagraphStyleAttributeName);
    EXPECT_EQ(VLTMFontManagerTrampoline::attributeNameForKeyPath("paragraphStyle"), platform::kParagraphStyleAttributeName);
    EXPECT_EQ(VLTMFontManagerTrampoline::attributeNameForKeyPath("textKnockoutColour"), VXTextKnockoutColourAttributeName);
    EXPECT_EQ(VLTMFontManagerTrampoline::attributeNameForKeyPath("outlineWidth"), platform::kStrokeWidthAttributeName);
    EXPECT_EQ(VLTMFontManagerTrampoline::attributeNameForKeyPath("baseline"), platform::kBaselineOffsetAttributeName);
    for (const char* key : {"font", "fontSize", "wrapsLines", "layoutMode", ""})
        EXPECT_TRUE(VLTMFontManagerTrampoline::attributeNameForKeyPath(key).isEmpty()) << key;

    VLTMFontManagerTrampoline trampoline;
    EXPECT_FALSE(trampoline.locked());
    EXPECT_EQ(trampoline.textAdornment()->string(), "never seen");
    // The inspector reaches the scratch adornment by key path.
    EXPECT_EQ(trampoline.valueForKeyPath("textAdornment.fontSize").toDouble(), trampoline.textAdornment()->fontSize());
}

TEST(FontManagerTrampoline, InspectorEditsGoOutAsFontAndAttributeChanges)
{
    VLTMFontManagerTrampoline trampoline;
    FontReceiver receiver;
    trampoline.setTarget(&receiver);

    trampoline.setValueForKeyPath(30.0, "textAdornment.fontSize");
    EXPECT_EQ(receiver.fontChanges, 1);
    EXPECT_EQ(trampoline.rastKeyPath(), "fontSize");
    EXPECT_EQ(receiver.font.pointSizeF(), 30);
    EXPECT_EQ(receiver.font.family(), "DejaVu Sans"); // the size alone

    trampoline.setValueForKeyPath(*platform::fontWithNameSize("NimbusRoman-Bold", 9), "textAdornment.font");
    EXPECT_EQ(receiver.fontChanges, 2);
    EXPECT_EQ(platform::postScriptName(receiver.font), "NimbusRoman-Bold");
    EXPECT_EQ(receiver.font.pointSizeF(), 30); // a face change keeps the receiver's size
    EXPECT_EQ(trampoline.changeOriginator(), VLTMFontManagerTrampoline::kNoOriginator);

    trampoline.setValueForKeyPath(2, "textAdornment.alignment");
    EXPECT_EQ(receiver.attributeChanges, 1);
    const auto style = receiver.attributes.value(platform::kParagraphStyleAttributeName).value<platform::ParagraphStyle>();
    EXPECT_EQ(style.alignment, platform::TextAlignment::Centre);
    EXPECT_EQ(receiver.attributes.value(platform::kStrokeColourAttributeName).value<QColor>(), QColor(Qt::red));

    // No outline colour: the attribute goes.
    trampoline.setValueForKeyPath(QColor(Qt::blue), "textAdornment.outlineColour");
    EXPECT_EQ(receiver.attributes.value(platform::kStrokeColourAttributeName).value<QColor>(), QColor(Qt::blue));
    trampoline.setValueForKeyPath(QColor(), "textAdornment.outlineColour");
    EXPECT_FALSE(receiver.attributes.contains(platform::kStrokeColourAttributeName));
    EXPECT_EQ(receiver.fontChanges, 2);
}

TEST(FontManagerTrampoline, SendsAnAttributeChangeOnceWhenItsTargetIsAlsoTheFirstResponder)
{
    VLTMFontManagerTrampoline trampoline;
    FontReceiver first;
    const DelegateScope responder(&first);
    trampoline.setTarget(&first);
    trampoline.setValueForKeyPath(1, "textAdornment.underlines");
    EXPECT_EQ(first.attributeChanges, 1);
    EXPECT_EQ(first.attributes.value(platform::kUnderlineStyleAttributeName).toInt(), 1);

    FontReceiver own;
    trampoline.setTarget(&own);
    trampoline.setValueForKeyPath(0, "textAdornment.underlines");
    EXPECT_EQ(first.attributeChanges, 2);
    EXPECT_EQ(own.attributeChanges, 1);
}

TEST(FontManagerTrampoline, TheTwoDirectionsDoNotFeedEachOther)
{
    VLTMFontManagerTrampoline trampoline;
    FontReceiver receiver;
    trampoline.setTarget(&receiver);

    // A selection report fills the adornment and sends nothing back.
    const QFont reported = *platform::fontWithNameSize("DejaVuSerif-Italic", 21);
    trampoline.setSelectedFontIsMultiple(reported, false);
    EXPECT_EQ(trampoline.textAdornment()->font(), reported);
    EXPECT_EQ(trampoline.selectedFont(), reported);
    trampoline.setSelectedAttributesIsMultiple({{platform::kForegroundColourAttributeName, QColor(Qt::green)}}, true);
    EXPECT_EQ(trampoline.textAdornment()->colour(), QColor(Qt::green));
    EXPECT_TRUE(trampoline.isMultiple());
    EXPECT_EQ(receiver.fontChanges + receiver.attributeChanges, 0);

    // A report arriving while an inspector edit goes out is ignored.
    const QFont shown = trampoline.textAdornment()->font();
    trampoline.setChangeOriginator(VLTMFontManagerTrampoline::kAdornmentOriginator);
    trampoline.setSelectedFontIsMultiple(*platform::fontWithNameSize("DejaVuSans", 8), false);
    EXPECT_EQ(trampoline.textAdornment()->font(), shown);
    EXPECT_EQ(trampoline.selectedFont(), reported);
}

TEST(FontManagerTrampoline, AFormatMenuChangeAfterAnInspectorEditIsTheMenusOwn)
{
    VLTMFontManagerTrampoline trampoline;
    FontReceiver receiver;
    trampoline.setTarget(&receiver);
    trampoline.setValueForKeyPath(30.0, "textAdornment.fontSize");
    ASSERT_EQ(receiver.font.pointSizeF(), 30);

    // Format > Bigger, then Format > Bold: neither is the size the inspector set.
    platform::MenuItem bigger;
    bigger.setTag(platform::FontManager::SizeUpFontAction);
    trampoline.modifyFont(&bigger);
    EXPECT_GT(receiver.font.pointSizeF(), 30);
    platform::MenuItem bold;
    bold.setTag(platform::FontManager::BoldFontMask);
    trampoline.addFontTrait(&bold);
    EXPECT_TRUE(receiver.font.bold());
    EXPECT_EQ(receiver.fontChanges, 3);
}

#include "FontManagerTrampolineTest.moc"
