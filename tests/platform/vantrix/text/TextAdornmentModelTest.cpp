#include "platform/vantrix/text/TextTestSupport.h"

#include "support/ArchiveTesting.h"
#include "platform/foundation/KeyedUnarchiver.h"
#include "platform/foundation/ZQUndoManager.h"
#include "platform/vantrix/text/TextAttributeCoding.h"
#include "platform/vantrix/styles/VXFill.h"
#include "platform/vantrix/styles/VXStroke.h"
#include "platform/vantrix/styles/VXStyle.h"
#include "platform/vantrix/text/VXTextAdornment.h"

#include <QStringList>
#include <functional>

using platform::AttributedString;
using platform::TextRange;

namespace {

QFont bold(QFont font)
{
    font.setBold(true);
    return font;
}

// A text component in a style, edited under an undo manager one explicit group at a time.
class TextEditing : public ::testing::Test {
protected:
    void SetUp() override
    {
        undo.setGroupsByEvent(false);
        style = std::make_shared<VXStyle>();
        text = VXTextAdornment::textAdornmentWithText(QStringLiteral("Harbour Road"));
        text->setFont(texttest::testFont(12));
        style->addRenderer(text);
    }

    void edit(const std::function<void()>& change)
    {
        const VXRasterizer::EditingScope editing(&undo); // the document doing the edit
        undo.beginUndoGrouping();
        change();
        undo.endUndoGrouping();
    }

    // Changes that set the scene rather than being tested.
    void prepare(const std::function<void()>& change)
    {
        undo.disableUndoRegistration();
        change();
        undo.enableUndoRegistration();
    }

    // The label "Harbour Road" with "Harbour" bold and "Road" red.
    AttributedString richLabel() const
    {
        AttributedString label(QStringLiteral("Harbour Road"));
        label.addAttributeValueRange(platform::kFontAttributeName, bold(texttest::testFont(12)), {0, 7});
        label.addAttributeValueRange(platform::kForegroundColourAttributeName, QColor(Qt::red), {8, 4});
        return label;
    }

    VXTextAdornmentPtr snapshot() const { return std::static_pointer_cast<VXTextAdornment>(text->copy()); }

    ZQUndoManager undo;
    VXStylePtr style;
    VXTextAdornmentPtr text;
};

struct KeyRecorder : QObject, VXRasterizerObserver {
    QStringList keys;
    void rasterizerWillChangeKeyPath(VXRasterizer*, const QString&) override {}
    void rasterizerDidChangeKeyPath(VXRasterizer*, const QString& keyPath) override { keys << keyPath; }
};

} // namespace

TEST_F(TextEditing, CommandsAreOneUndoStepUnderTheirNames)
{
    struct Command {
        const char* name;
        std::function<void(VXTextAdornment&)> perform;
    };
    const QList<Command> commands{
        {"Loosen Kerning", [](VXTextAdornment& t) { t.loosenKerning(); }},
        {"Tighten Kerning", [](VXTextAdornment& t) { t.tightenKerning(); }},
        {"Turn Off Kerning", [](VXTextAdornment& t) { t.turnOffKerning(); }},
        {"Use Standard Kerning", [](VXTextAdornment& t) { t.useStandardKerning(); }},
        {"Raise Baseline", [](VXTextAdornment& t) { t.raiseBaseline(); }},
        {"Lower Baseline", [](VXTextAdornment& t) { t.lowerBaseline(); }},
        {"Superscript", [](VXTextAdornment& t) { t.superscript(); }},
        {"Subscript", [](VXTextAdornment& t) { t.subscript(); }},
        {"Unscript", [](VXTextAdornment& t) { t.unscript(); }},
        {"Change Font", [](VXTextAdornment& t) { t.changeFont(texttest::testFont(30)); }},
        {"Change Attributes", [](VXTextAdornment& t) { t.changeAttributes({{platform::kUnderlineStyleAttributeName, 1}}); }},
        {"Font Size", [](VXTextAdornment& t) { t.setFontSize(17); }},
        {"Text Alignment", [](VXTextAdornment& t) { t.setAlignment(2); }},
        {"Text Wrapping", [](VXTextAdornment& t) { t.setWrapsLines(false); }},
        {"Text Baseline", [](VXTextAdornment& t) { t.setBaselineProportion(0.8); }},
        {"Text Attributes", [](VXTextAdornment& t) { t.setTextAttributes({{platform::kKernAttributeName, 2.0}}); }},
    };
    // Commands that change nothing, and any on a locked style, leave no step.
    edit([&] {
        text->unscript();
        text->useStandardKerning();
        text->setAlignment(0);
        text->setFontSize(12);
        text->setFontSize(-3);
        text->setLayoutMode(5);
    });
    EXPECT_EQ(undo.numberOfUndoActions(), 0);
    prepare([&] { style->setLocked(true); });
    edit([&] {
        text->loosenKerning();
        text->setFont(texttest::testFont(40));
        text->setString(QStringLiteral("changed"));
    });
    EXPECT_EQ(undo.numberOfUndoActions(), 0);
    EXPECT_EQ(text->kerning(), 0);
    EXPECT_EQ(text->string(), "Harbour Road");

    // Each command starts from a state its own change is visible in.
    prepare([&] {
        style->setLocked(false);
        text->setLabel(richLabel());
        text->setBaseline(0.5);
    });
    for (const Command& command : commands) {
        const VXTextAdornmentPtr before = snapshot();
        const int steps = undo.numberOfUndoActions();
        edit([&] { command.perform(*text); });
        ASSERT_EQ(undo.numberOfUndoActions(), steps + 1) << command.name;
        EXPECT_EQ(undo.undoActionName(), command.name);
        const VXTextAdornmentPtr after = snapshot();
        EXPECT_FALSE(after->isEqualToRasterizer(*before)) << command.name;
        undo.undo();
        EXPECT_TRUE(text->isEqualToRasterizer(*before)) << command.name;
        undo.redo();
        EXPECT_TRUE(text->isEqualToRasterizer(*after)) << command.name;
    }
}

TEST_F(TextEditing, AttributesOfTheWholeTextOverrideTheLabelsOwnAndUndoBringsThemBack)
{
    prepare([&] { text->setLabel(richLabel()); });
    EXPECT_FALSE(text->attributeIsHomogeneous(platform::kFontAttributeName));
    EXPECT_FALSE(text->attributeIsHomogeneous(platform::kForegroundColourAttributeName));
    const AttributedString rich = text->labelText();

    edit([&] { text->setFont(texttest::testFont(14)); });
    EXPECT_TRUE(text->attributeIsHomogeneous(platform::kFontAttributeName));
    EXPECT_FALSE(text->attributeIsHomogeneous(platform::kForegroundColourAttributeName)); // untouched
    EXPECT_EQ(undo.undoActionName(), "Change Font");
    undo.undo();
    EXPECT_EQ(text->labelText(), rich);
    EXPECT_EQ(text->fontSize(), 12);

    // Size changes keep the label's own faces: the bold word stays bold.
    edit([&] { text->setFontSize(20); });
    const AttributedString drawn = text->textForEditing();
    EXPECT_TRUE(drawn.attributeAtIndexEffectiveRange(platform::kFontAttributeName, 0).value<QFont>().bold());
    EXPECT_EQ(drawn.attributeAtIndexEffectiveRange(platform::kFontAttributeName, 0).value<QFont>().pointSizeF(), 20);
    EXPECT_EQ(drawn.attributeAtIndexEffectiveRange(platform::kFontAttributeName, 9).value<QFont>().pointSizeF(), 20);
    undo.undo();
    EXPECT_EQ(text->labelText(), rich);

    // Edited text goes back without repeating the whole text's attributes.
    edit([&] { text->setLabel(text->textForEditing()); });
    EXPECT_EQ(text->labelText(), rich);
    EXPECT_EQ(undo.numberOfUndoActions(), 0);
    edit([&] { text->setLabel(QVariant(QStringLiteral("Plain"))); });
    TextRange run;
    EXPECT_TRUE(text->labelText().attributesAtIndexEffectiveRange(0, &run).isEmpty());
    EXPECT_EQ(run.length, 5);
}

TEST_F(TextEditing, ObserversHearTheKeysThatChange)
{
    KeyRecorder recorder;
    text->addRastObserver(&recorder);
    QStringList heard;
    for (const QString key : {"fontSize", "textAttributes", "string"})
        text->observeKeyPath(key, {}, &recorder, [&heard, key](const platform::KeyValueChange&) { heard << key; });

    prepare([&] {
        text->setFontSize(30);
        text->setAlignment(1);
        text->setString(QStringLiteral("Quay"));
    });
    EXPECT_EQ(recorder.keys, (QStringList{"font", "paragraphStyle", "label"}));
    EXPECT_EQ(heard, (QStringList{"fontSize", "textAttributes", "textAttributes", "string"}));
}

TEST_F(TextEditing, EveryKeyGoesBetweenAdornmentsAndThroughArchivesWhole)
{
    prepare([&] {
        platform::ParagraphStyle paragraph = text->paragraphStyle();
        paragraph.lineSpacing = 3;
        text->setParagraphStyle(paragraph);
        text->setAlignment(3);
        text->setColour(Qt::blue);
        text->setUnderlines(1);
        text->setOutlineWidth(-3);
        text->setOutlineColour(Qt::green);
        text->setTextKnockoutDistance(2.5);
        text->setTextKnockoutColour(Qt::yellow);
        text->setShadow(VXStyle::defaultShadow());
        text->setKerning(-0.5);
        text->setBaseline(2);
        text->setSuperscriptAttribute(-1);
    });
    // The whole text's attributes carry every text setting to another adornment, shadow copied.
    VXTextAdornment other;
    other.setTextAttributes(text->textAttributes());
    EXPECT_EQ(other.textAttributes().keys(), text->textAttributes().keys());
    other.setLabel(text->labelText());
    EXPECT_TRUE(other.isEqualToRasterizer(*text));
    EXPECT_NE(other.shadow(), text->shadow());
    // A dictionary of wrong types gives the defaults.
    other.setTextAttributes({{platform::kFontAttributeName, "Helvetica"},
                             {platform::kForegroundColourAttributeName, 7},
                             {VXTextKnockoutDistanceAttributeName, std::nan("")},
                             {platform::kUnderlineStyleAttributeName, QStringLiteral("1")}});
    EXPECT_TRUE(other.isEqualToRasterizer(*VXTextAdornment::textAdornmentWithText(QStringLiteral("Harbour Road"))));

    // An archive keeps those, the label's runs, the paragraph style and the layout keys.
    prepare([&] {
        text->setLabel(richLabel());
        text->setPlaceholder(QStringLiteral("Label"));
        text->setAbbreviates(true);
        text->setCapitalization(VXTextAdornment::kCapitalizationUpper);
        text->setLayoutMode(VXTextAdornment::kLayoutAlongReversedPath);
        text->setVerticalAlignment(VXTextAdornment::kAlignProportionally);
        text->setVerticalAlignmentProportion(0.75);
        text->setAngleInDegrees(30);
        text->setAppliesObjectAngle(false);
        text->setClipping(VXTextAdornment::kClipToPath);
    });
    const auto decoded = testsupport::roundTrip<VXStyle>(*style);
    ASSERT_TRUE(decoded);
    EXPECT_TRUE(decoded->isEqualToStyle(style.get()));
    const auto texts = decoded->renderersOfClass<VXTextAdornment>();
    ASSERT_EQ(texts.size(), 1);
    EXPECT_TRUE(texts.first()->isEqualToRasterizer(*text));
    EXPECT_EQ(texts.first()->labelText(), text->labelText());
    EXPECT_EQ(texts.first()->paragraphStyle().lineSpacing, 3);
    EXPECT_EQ(texts.first()->font(), text->font());
}

TEST(TextArchive, DamagedRunsLeaveTheRestOfTheTextPlainAndHostileValuesTheirDefaults)
{
    const QString string = QStringLiteral("abcdef");
    const QVariantMap underlined{{platform::kUnderlineStyleAttributeName, qint64(1)}};
    auto run = [](const QVariant& length, const QVariant& attributes) {
        return QVariant(QVariantMap{{"length", length}, {"attributes", attributes}});
    };
    struct Case {
        QVariant runs;
        qsizetype underlinedUpTo; // characters from the start that keep the underline
    };
    const QList<Case> cases{
        {QVariantList{run(qint64(2), underlined), run(qint64(4), QVariantMap())}, 2},
        {QVariantList{run(qint64(2), underlined), run(qint64(99), underlined)}, 2},  // too long
        {QVariantList{run(qint64(0), underlined), run(qint64(2), underlined)}, 0},   // empty run
        {QVariantList{run(qint64(-3), underlined)}, 0},
        {QVariantList{run("2", underlined)}, 0},
        {QVariantList{run(std::nan(""), underlined)}, 0},
        {QVariantList{QVariant(5), run(qint64(2), underlined)}, 0},
        {QVariant(QStringLiteral("not runs")), 0},
        {QVariantList{run(qint64(3), QVariant(4))}, 0}, // attributes not a dictionary
        {QVariantList{run(qint64(3), QVariantMap{{platform::kParagraphStyleAttributeName, 3}})}, 0},
    };
    for (qsizetype i = 0; i < cases.size(); ++i) {
        const AttributedString text = platform::attributedStringFromArchive(string, cases[i].runs);
        EXPECT_EQ(text.string(), string) << i;
        TextRange range;
        const QVariant underline = text.attributeAtIndexEffectiveRange(platform::kUnderlineStyleAttributeName, 0, &range);
        EXPECT_EQ(underline.isValid() ? range.length : 0, cases[i].underlinedUpTo) << i;
    }
    // Numbers come back as ints, the type layout expects.
    const AttributedString first = platform::attributedStringFromArchive(string, cases[0].runs);
    EXPECT_EQ(first.attributeAtIndexEffectiveRange(platform::kUnderlineStyleAttributeName, 0).metaType(),
              QMetaType::fromType<int>());

    const auto style = platform::paragraphStyleFromArchive(
        QVariantMap{{"alignment", qint64(9)}, {"lineSpacing", -4.0}, {"headIndent", 1e300}, {"lineBreakMode", qint64(2)}});
    ASSERT_TRUE(style);
    EXPECT_EQ(style->alignment, platform::TextAlignment::Natural);
    EXPECT_EQ(style->lineSpacing, 0);
    EXPECT_LE(style->headIndent, 10000);
    EXPECT_EQ(style->lineBreakMode, platform::LineBreakMode::Clipping);

    // Hostile values of the adornment's own keys give a usable adornment.
    testsupport::ArchiveStub stub;
    stub.values = {{"VXTextAdornment_label", "Quay"},
                   {"VXTextAdornment_labelRuns", "runs"},
                   {"VXTextAdornment_paragraphStyle", 5},
                   {"VXTextAdornment_layoutMode", 99},
                   {"VXTextAdornment_verticalAlignmentProportion", 7.5},
                   {"VXTextAdornment_textKnockoutDistance", -4.0},
                   {"VXTextAdornment_capitalization", -2},
                   {"VXTextAdornment_font", "not a font"},
                   {"VXTextAdornment_kerning", 1e300}};
    QuorvaneError error;
    const auto text = std::dynamic_pointer_cast<VXTextAdornment>(
        platform::KeyedUnarchiver::unarchiveObjectWithData(stub.archiveAs("VXTextAdornment"), &error));
    ASSERT_TRUE(text) << qPrintable(error.localizedDescription());
    EXPECT_EQ(text->string(), "Quay");
    EXPECT_TRUE(text->attributeIsHomogeneous(platform::kFontAttributeName));
    EXPECT_EQ(text->alignment(), 0);
    EXPECT_EQ(text->layoutMode(), VXTextAdornment::kLayoutInBox);
    EXPECT_EQ(text->verticalAlignmentProportion(), 1);
    EXPECT_EQ(text->textKnockoutDistance(), 0);
    EXPECT_EQ(text->capitalization(), VXTextAdornment::kCapitalizationNone);
    EXPECT_EQ(text->font(), platform::TextStyle::defaultFont());
    EXPECT_LE(text->kerning(), 1000);
}

TEST(TextStyles, StylesAreMadeFromFontsColoursAttributesAndComponents)
{
    const VXStylePtr byFont = VXStyle::textStyleWithFont(texttest::testFont(9));
    EXPECT_TRUE(byFont->hasTextAttributes());
    EXPECT_EQ(byFont->name(), "DejaVu Sans 9 pt");
    EXPECT_EQ(byFont->textAttributes().value(platform::kFontAttributeName).value<QFont>().pointSizeF(), 9);

    const VXStylePtr byAttributes = VXStyle::textStyleWithAttributes(byFont->textAttributes());
    EXPECT_TRUE(byAttributes->isEqualToStyle(byFont.get()));

    EXPECT_TRUE(VXStyle::styleWithObject(QColor(Qt::red))->hasFill());
    EXPECT_TRUE(VXStyle::styleWithObject(texttest::testFont())->hasTextAdornment());
    EXPECT_TRUE(VXStyle::styleWithObject(QVariant::fromValue(VXRasterizerPtr(VXStroke::strokeWithWidthColour(2, Qt::blue))))
                    ->hasStroke());
    EXPECT_FALSE(VXStyle::styleWithObject(3));
    EXPECT_FALSE(VXStyle::styleWithObject(QVariant()));

    // A font sets the existing text component rather than adding another.
    const VXStylePtr copy = byFont->mutableCopy();
    EXPECT_TRUE(copy->addOrSetComponentForObject(texttest::testFont(24)));
    EXPECT_EQ(copy->renderersOfClass<VXTextAdornment>().size(), 1);
    EXPECT_EQ(copy->renderersOfClass<VXTextAdornment>().first()->fontSize(), 24);
}
