// The in-place editors and the font manager: font changes reach the characters selected in an
// editor of runs, and an editor of characters pastes rich text as characters. (Rich text pasted
// into labels: LabelPasteWindowTest.)

#include "platform/vantrix/view/ViewTestSupport.h"

#include "platform/graphics/AttributedStringLayout.h"
#include "platform/foundation/RunLoop.h"
#include "platform/ui/Application.h"
#include "platform/ui/FontManager.h"
#include "platform/ui/MenuItem.h"
#include "platform/vantrix/drawables/VXTextShape.h"
#include "platform/vantrix/text/PastedText.h"
#include "platform/vantrix/view/VXTextEditingDelegate.h"
#include "platform/ui/ResponderChain.h"
#include "platform/ui/UiTestSupport.h"
#include "support/ThreadTime.h"

#include <QApplication>
#include <QClipboard>
#include <QLocale>
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

// "Market  North" being edited in runs, shown in an active window, the caret between the blanks.
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

// Pastes DATA of TYPE into an editor of its own and closes the alert a refusal shows.
void pasteIntoAnEditorOfItsOwn(const QString& type, const QByteArray& data)
{
    RunsFixture f;
    putOnClipboard(type, data);
    QTest::keyClick(f.editor(), Qt::Key_V, Qt::ControlModifier);
    platform::RunLoop::runUntilIdle();
    if (auto* alert = uitest::shownWindow<QMessageBox>())
        alert->close();
    platform::RunLoop::runUntilIdle();
}

QByteArray runsUnderAFontNamed(const QByteArray& name)
{
    return "{\\rtf1{\\fonttbl{\\f0 " + name + ";}}" + QByteArray("\\b x\\b0 y").repeated(24'000) + "}";
}

QByteArray paragraphWithAttributes(int count)
{
    QByteArray html = "<p";
    for (int i = 0; i < count; ++i)
        html += " a" + QByteArray::number(i);
    return html + ">x</p>";
}

QByteArray kernedRuns(int count)
{
    QByteArray kerned = "{\\rtf1 ";
    for (int i = 1; i <= count; ++i)
        kerned += "\\expnd" + QByteArray::number(i) + " x";
    return kerned + "}";
}

} // namespace

TEST(RichTextEditing, PastedRunsOfALongFontNameAndMarkupPastItsBoundsEndWithinMoments)
{
    // 48,000 runs under a font named with 65,536 letters took half a minute to paste; now no
    // longer than under a name of one letter.
    const QByteArray longName = runsUnderAFontNamed(QByteArray(65'536, 'A'));
    const testsupport::PairedTimes names = testsupport::leastThreadSecondsInTurns(
        [&] { pasteIntoAnEditorOfItsOwn(QStringLiteral("text/rtf"), longName); },
        [&] { pasteIntoAnEditorOfItsOwn(QStringLiteral("text/rtf"), runsUnderAFontNamed("A")); });
    EXPECT_LT(names.ratio(), 3.0) << names;
    // An element of 100,000 attributes took as long to refuse; eight times the attributes now
    // take no more than about eight times as long, square in them sixty-four.
    const testsupport::PairedTimes attributes = testsupport::leastThreadSecondsInTurns(
        [&] { pasteIntoAnEditorOfItsOwn(QStringLiteral("text/html"), paragraphWithAttributes(100'000)); },
        [&] { pasteIntoAnEditorOfItsOwn(QStringLiteral("text/html"), paragraphWithAttributes(12'500)); });
    EXPECT_LT(attributes.ratio(), 20.0) << attributes;

    RunsFixture f;
    putOnClipboard(QStringLiteral("text/rtf"), longName);
    QTest::keyClick(f.editor(), Qt::Key_V, Qt::ControlModifier);
    platform::RunLoop::runUntilIdle();
    EXPECT_EQ(f.editor()->toPlainText().size(), 13 + 48'000);

    // The element of 100,000 attributes is refused, and an alert says why.
    putOnClipboard(QStringLiteral("text/html"), paragraphWithAttributes(100'000));
    QTest::keyClick(f.editor(), Qt::Key_V, Qt::ControlModifier);
    EXPECT_EQ(f.editor()->toPlainText().size(), 13 + 48'000);
    auto* alert = uitest::shownWindow<QMessageBox>();
    ASSERT_TRUE(alert);
    EXPECT_EQ(alert->informativeText(), QStringLiteral("An element of the HTML has more than 100 attributes."));
    alert->close();
    platform::RunLoop::runUntilIdle();

    const AttributedString text = f.end();
    ASSERT_EQ(text.length(), 13 + 48'000);
    EXPECT_TRUE(fontAt(text, 7).bold());
    EXPECT_FALSE(fontAt(text, 8).bold());
    EXPECT_EQ(fontAt(text, 7).family(), kSans.family()); // the long name names no font
}

TEST(RichTextEditing, PastedRunsOfManyDistinctAttributesEndWithinMomentsAndTooManyFontsAreRefused)
{
    // The paste once grew with the square of the runs: eight times the runs took sixty-four times
    // as long, and now about eight.
    constexpr int kRuns = 20'000;
    const testsupport::PairedTimes times = testsupport::leastThreadSecondsInTurns(
        [&] { pasteIntoAnEditorOfItsOwn(QStringLiteral("text/rtf"), kernedRuns(kRuns)); },
        [&] { pasteIntoAnEditorOfItsOwn(QStringLiteral("text/rtf"), kernedRuns(kRuns / 8)); });
    EXPECT_LT(times.ratio(), 20.0) << times;

    // Runs that differ only in their kerning, 1/4 point apart.
    RunsFixture f;
    putOnClipboard(QStringLiteral("text/rtf"), kernedRuns(kRuns));
    QTest::keyClick(f.editor(), Qt::Key_V, Qt::ControlModifier);
    platform::RunLoop::runUntilIdle();

    // Each font is resolved apart as the text is laid out: past the bound the paste is refused.
    QByteArray fonts = "{\\rtf1{\\fonttbl";
    for (int i = 0; i <= platform::kMaximumPastedFontCount; ++i)
        fonts += "{\\f" + QByteArray::number(i) + " F" + QByteArray::number(i) + ";}";
    fonts += "}";
    for (int i = 0; i <= platform::kMaximumPastedFontCount; ++i)
        fonts += "\\f" + QByteArray::number(i) + " y";
    putOnClipboard(QStringLiteral("text/rtf"), fonts + "}");
    QTest::keyClick(f.editor(), Qt::Key_V, Qt::ControlModifier);
    auto* alert = uitest::shownWindow<QMessageBox>();
    ASSERT_TRUE(alert);
    EXPECT_EQ(alert->informativeText(), QStringLiteral("The text uses more than %1 different fonts.")
                                            .arg(QLocale().toString(platform::kMaximumPastedFontCount)));
    alert->close();
    platform::RunLoop::runUntilIdle();

    const AttributedString text = f.end();
    ASSERT_EQ(text.length(), 13 + kRuns);
    const auto kernAt = [&](qsizetype index) {
        return text.attributeAtIndexEffectiveRange(platform::kKernAttributeName, index).toDouble();
    };
    EXPECT_EQ(kernAt(6), 1.0);
    for (int i : {1, 2, kRuns / 2, kRuns})
        EXPECT_EQ(kernAt(6 + i), i / 4.0) << i;
    EXPECT_EQ(kernAt(7 + kRuns), 1.0);
    EXPECT_EQ(fontAt(text, 7 + kRuns / 2).family(), kSans.family());
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
