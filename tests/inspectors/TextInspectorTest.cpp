#include "InspectorTesting.h"
#include "furniture/scalebar/VXQScaleBarShape.h"
#include "inspectors/text/PopUpMenuButton.h"
#include "inspectors/text/SegmentButtons.h"
#include "inspectors/text/VLTMFontManagerTrampoline.h"
#include "inspectors/text/VLTMTextController.h"
#include "inspectors/text/VLTM_VXTextShapeController.h"
#include "platform/foundation/RunLoop.h"
#include "platform/foundation/ZQUndoManager.h"
#include "platform/graphics/BezierPath.h"
#include "platform/graphics/FontUtilities.h"
#include "platform/graphics/InstalledFonts.h"
#include "platform/ui/Menu.h"
#include "platform/ui/MenuDelegate.h"
#include "platform/vantrix/drawables/VXDrawableShape.h"
#include "platform/vantrix/drawables/VXTextPath.h"
#include "platform/vantrix/drawables/VXTextShape.h"
#include "platform/vantrix/model/VXDrawing.h"
#include "platform/vantrix/styles/VXStyle.h"
#include "platform/vantrix/view/ObjectStringEditing.h"
#include "platform/vantrix/view/VXDrawingView.h"
#include "style_editor/panes/shadow/VLTMStyleEditSub_NSShadow.h"
#include "style_editor/panes/text/VLTMStyleEditSub_VXTextAdornment.h"
#include "symbols/labels/VXQTextBlockLabel.h"
#include "symbols/placed/VXQSymbol.h"
#include "symbols/shapes/VXQLabelledShape.h"
#include "platform/ui/ColourWell.h"
#include "platform/ui/UiTestSupport.h"
#include "widgets/fields/ZQAugmentedTextField.h"
#include "widgets/previews/ZQTextPreviewView.h"

#include <QCheckBox>
#include <QFontDialog>
#include <QFontInfo>
#include <QMenu>
#include <QTest>
#include <QTextEdit>
#include <gtest/gtest.h>

namespace {

QFont font(const QString& postScriptName, double size)
{
    return *platform::fontWithNameSize(postScriptName, size);
}

// Counts the pane's loads, so a notification that should change nothing can be seen not to.
class CountingTextController : public VLTMTextController {
public:
    int loads = 0;
    QList<ZQObjectPtr> selectedContentForObjectController(VLTMGenericObjectController* controller) override
    {
        ++loads;
        return VLTMTextController::selectedContentForObjectController(controller);
    }
};

struct TextFixture : inspectortest::InspectorTabFixture<CountingTextController> {
    TextFixture() : InspectorTabFixture(std::make_shared<CountingTextController>(), {280, 900}) {}

    VLTM_VXTextShapeController& pane() const { return *tab->textShapeController(); }
    std::shared_ptr<VXTextShape> addText(const QFont& textFont, QRectF rect = {10, 10, 200, 60})
    {
        auto shape = VXTextShape::textShapeWithStringInRect(QStringLiteral("Harbour"), rect);
        shape->textAdornment()->setFont(textFont);
        layer->addObject(shape);
        return shape;
    }
};

platform::MenuItem* itemTitled(QMenu* menu, const QString& title)
{
    for (QAction* action : menu->actions()) {
        if (action->text() == title)
            return qobject_cast<platform::MenuItem*>(action);
    }
    return nullptr;
}

VXQSymbolPtr labelledSymbol(const std::shared_ptr<VXQTextBlockLabel>& label)
{
    const auto square = VXDrawableShape::drawableShapeWithRect({-5, -5, 10, 10}, nullptr);
    VXQSymbolPtr symbol = VXQSymbol::symbolWithMaster(VXQSymbolMaster::symbolMasterWithObjectName(*square, "Town"));
    symbol->setLocation({300, 300});
    symbol->addTextLabel(label);
    return symbol;
}

} // namespace

TEST(TextTab, EditsSelectedLabelsElseTheSelectionAndTheTrampolineWhileTextIsEdited)
{
    TextFixture f;
    const auto shape = f.addText(font("DejaVuSans", 12));
    const auto label = VXQTextBlockLabel::label();
    const VXQSymbolPtr town = labelledSymbol(label);
    f.layer->addObject(town);

    f.select({shape, town});
    EXPECT_EQ(f.tab->selection().size(), 2);
    EXPECT_EQ(f.pane().content(), (QList<ZQObjectPtr>{shape})); // a symbol has no text of its own
    town->selectTextLabelExtendingSelection(label.get(), false);
    f.settle();
    EXPECT_EQ(f.tab->selection(), (QList<ZQObjectPtr>{label}));
    EXPECT_EQ(f.pane().content(), (QList<ZQObjectPtr>{label}));

    // Text edited in a view of another drawing changes nothing here.
    VXDrawingView otherView;
    otherView.setDrawing(VXDrawing::drawingWithSize({100, 100}));
    platform::NotificationCenter& centre = platform::NotificationCenter::defaultCenter();
    centre.postNotificationName(kVXDrawingViewDidBeginTextEditing, &otherView);
    f.settle();
    EXPECT_FALSE(f.pane().fontPanelMode());

    VXDrawingView view;
    view.setDrawing(f.drawing);
    centre.postNotificationName(kVXDrawingViewDidBeginTextEditing, &view);
    f.settle();
    EXPECT_TRUE(f.pane().fontPanelMode());
    ASSERT_EQ(f.pane().content().size(), 1);
    EXPECT_EQ(f.pane().content().first().get(), VLTMFontManagerTrampoline::sharedFontManagerTrampoline());
    EXPECT_FALSE(f.pane().verticalAlignmentSelector()->isEnabled());
    EXPECT_FALSE(f.pane().wrapsLinesCheckbox()->isEnabled());
    EXPECT_TRUE(f.pane().fontSizeField()->isEnabled());

    centre.postNotificationName(kVXDrawingViewDidEndTextEditing, &view);
    f.settle();
    EXPECT_FALSE(f.pane().fontPanelMode());
    EXPECT_EQ(f.pane().content(), (QList<ZQObjectPtr>{label}));
}

// Labels are gathered from every symbol among other objects, in stacking order.
TEST(TextTab, SelectedLabelsOfSymbolsAmongShapesAreEditedInStackingOrder)
{
    TextFixture f;
    QList<VXDrawableObjectPtr> selection;
    QList<ZQObjectPtr> labels;
    for (int i = 0; i < 3; ++i) {
        selection.append(f.addText(font("DejaVuSans", 12)));
        const auto label = VXQTextBlockLabel::label();
        const VXQSymbolPtr town = labelledSymbol(label);
        f.layer->addObject(town);
        town->selectTextLabelExtendingSelection(label.get(), false);
        selection.append(town);
        labels.append(label);
    }
    f.select(selection);
    EXPECT_EQ(f.tab->selection(), labels);
    EXPECT_EQ(f.pane().content(), labels);
}

TEST(TextTab, WhileTextIsEditedThePaneShowsItsFontAndChangesReachIt)
{
    TextFixture f;
    const auto shape = f.addText(font("DejaVuSerif-Italic", 15));
    f.select({shape});
    VXDrawingView view;
    view.setDrawing(f.drawing);
    platform::NotificationCenter& centre = platform::NotificationCenter::defaultCenter();
    centre.postNotificationName(kVXDrawingViewDidBeginTextEditing, &view);
    f.settle();
    f.forgetEdits();
    VLTMFontManagerTrampoline* trampoline = VLTMFontManagerTrampoline::sharedFontManagerTrampoline();
    EXPECT_EQ(trampoline->textAdornment()->font(), shape->font());
    EXPECT_EQ(f.pane().facesPopUpButton()->text(), "Italic");
    EXPECT_TRUE(f.pane().fontSizeField()->text().startsWith("15"));

    f.pane().fontSizeField()->setText("33");
    f.pane().fontSizeAction(f.pane().fontSizeField());
    f.endStep();
    EXPECT_EQ(shape->font().pointSizeF(), 33);
    EXPECT_EQ(platform::postScriptName(shape->font()), "DejaVuSerif-Italic");
    f.pane().alignmentSelector()->button(1)->click(); // centre
    f.endStep();
    EXPECT_EQ(shape->textAdornment()->alignment(), int(platform::TextAlignment::Centre));
    f.undo.undo();
    EXPECT_EQ(shape->textAdornment()->alignment(), int(platform::TextAlignment::Left));

    centre.postNotificationName(kVXDrawingViewDidEndTextEditing, &view);
    f.settle();
    EXPECT_EQ(trampoline->target(), nullptr);
}

TEST(TextTab, ANotificationBringingTheSameSetDoesNotReload)
{
    TextFixture f;
    const auto a = f.addText(font("DejaVuSans", 12));
    const auto b = f.addText(font("DejaVuSerif", 14));
    f.select({a, b});
    ASSERT_EQ(f.pane().content().size(), 2);
    const int loads = f.tab->loads;
    platform::NotificationCenter::defaultCenter().postNotificationName(kVXLayerSelectionDidChange, f.layer.get());
    f.settle();
    EXPECT_EQ(f.tab->loads, loads);
    f.select({a});
    EXPECT_EQ(f.tab->loads, loads + 1);
    EXPECT_EQ(f.pane().content(), (QList<ZQObjectPtr>{a}));

    // Without an active object layer the pane has nothing and shows it.
    f.drawing->setActiveLayer(nullptr);
    f.settle();
    EXPECT_TRUE(f.pane().content().isEmpty());
    EXPECT_FALSE(f.pane().fontSizeField()->isEnabled());
    EXPECT_FALSE(f.pane().fontsPopUpButton()->isEnabled());
}

TEST(TextPane, ChoosingAFamilyOrFaceKeepsEachObjectsSizeAndUndoesInOneStep)
{
    TextFixture f;
    const auto small = f.addText(font("DejaVuSans-Bold", 10));
    const auto large = f.addText(font("DejaVuSans-Oblique", 20));
    const auto locked = f.addText(font("DejaVuSans", 30));
    locked->setLocked(true);
    f.select({small, large, locked});
    f.forgetEdits();

    platform::MenuItem* nimbus = itemTitled(f.pane().fontsMenu(), "Nimbus Sans");
    ASSERT_TRUE(nimbus);
    nimbus->trigger();
    f.endStep();
    EXPECT_EQ(platform::postScriptName(small->font()), "NimbusSans-Bold");
    EXPECT_EQ(small->font().pointSizeF(), 10);
    EXPECT_EQ(platform::postScriptName(large->font()), "NimbusSans-Italic");
    EXPECT_EQ(large->font().pointSizeF(), 20);
    EXPECT_EQ(locked->font().family(), "DejaVu Sans");
    EXPECT_EQ(f.undo.undoActionName(), "Change Font");
    EXPECT_EQ(nimbus->state(), platform::MenuItem::MixedState); // beside the locked one's family

    f.undo.undo();
    f.settle();
    EXPECT_EQ(platform::postScriptName(small->font()), "DejaVuSans-Bold");
    EXPECT_EQ(platform::postScriptName(large->font()), "DejaVuSans-Oblique");

    // A family that has gone since the menu was built leaves every font as it is.
    nimbus->setRepresentedObject(QStringLiteral("Uninstalled Grotesque"));
    nimbus->trigger();
    f.endStep();
    EXPECT_EQ(small->font().family(), "DejaVu Sans");

    f.select({small});
    platform::MenuItem* boldOblique = itemTitled(f.pane().facesPopUpButton()->popUpMenu(), "Bold Oblique");
    ASSERT_TRUE(boldOblique);
    boldOblique->trigger();
    f.endStep();
    EXPECT_EQ(platform::postScriptName(small->font()), "DejaVuSans-BoldOblique");
    EXPECT_EQ(small->font().pointSizeF(), 10);
    EXPECT_EQ(f.undo.undoActionName(), "Font Face");
    EXPECT_TRUE(f.pane().textStyleSelector()->isSelected(VLTM_VXTextShapeController::kItalicSegment));

    f.pane().textStyleSelector()->button(VLTM_VXTextShapeController::kBoldSegment)->click();
    f.endStep();
    EXPECT_EQ(platform::postScriptName(small->font()), "DejaVuSans-Oblique");
    EXPECT_EQ(f.undo.undoActionName(), "Change Bold");
}

TEST(TextPane, AFaceMenuWithThePaneAsDelegateFillsFromTheFirstObjectsFamily)
{
    TextFixture f;
    const auto mono = f.addText(font("DejaVuSansMono-Bold", 12));
    f.select({mono, f.addText(font("DejaVuSerif", 12))});
    QMenu faces;
    platform::setMenuDelegate(&faces, &f.pane());
    platform::fillMenuFromDelegate(&faces);
    const QList<platform::FontFace> members = platform::InstalledFonts::shared().facesOfFamily("DejaVu Sans Mono");
    ASSERT_EQ(faces.actions().size(), members.size());
    for (int i = 0; i < members.size(); ++i) {
        const auto* item = qobject_cast<platform::MenuItem*>(faces.actions()[i]);
        ASSERT_TRUE(item);
        EXPECT_EQ(item->representedObject().toString(), members[i].postScriptName);
        EXPECT_EQ(item->action(), "fontFaceAction");
    }
}

TEST(TextPane, MixedFontsMarkBothFamiliesAndShowThePlaceholder)
{
    TextFixture f;
    const auto sans = f.addText(font("DejaVuSans", 12));
    const auto serif = f.addText(font("DejaVuSerif-Bold", 12));
    f.select({sans, serif});
    QMenu* families = f.pane().fontsMenu();
    EXPECT_EQ(itemTitled(families, "DejaVu Sans")->state(), platform::MenuItem::MixedState);
    EXPECT_EQ(itemTitled(families, "DejaVu Serif")->state(), platform::MenuItem::MixedState);
    EXPECT_EQ(itemTitled(families, "Nimbus Sans")->state(), platform::MenuItem::OffState);
    EXPECT_EQ(f.pane().usedFonts(), (QSet<QString>{"DejaVuSans", "DejaVuSerif-Bold"}));
    EXPECT_EQ(f.pane().usedFamilies(), (QSet<QString>{"DejaVu Sans", "DejaVu Serif"}));
    ASSERT_TRUE(f.pane().fontPreview()->placeholderString());
    EXPECT_EQ(f.pane().fontPreview()->placeholderString()->string(), "Multiple Fonts");
    EXPECT_FALSE(f.pane().fontPreview()->string());
    EXPECT_TRUE(f.pane().fontSizeField()->text().startsWith("12"));

    f.select({serif});
    EXPECT_EQ(itemTitled(families, "DejaVu Serif")->state(), platform::MenuItem::OnState);
    EXPECT_EQ(itemTitled(families, "DejaVu Sans")->state(), platform::MenuItem::OffState);
    EXPECT_EQ(f.pane().facesPopUpButton()->text(), "Bold");
    EXPECT_TRUE(f.pane().textStyleSelector()->isSelected(VLTM_VXTextShapeController::kBoldSegment));
    ASSERT_TRUE(f.pane().fontPreview()->string());
    EXPECT_EQ(f.pane().fontPreview()->string()->string(), "DejaVu Serif");
    // Attributes whose font is not one show nothing of it.
    f.pane().setTextAttributes(QVariantMap{{platform::kFontAttributeName, QStringLiteral("Nimbus Sans,12,-1")}});
    EXPECT_EQ(f.pane().fontsPopUpButton()->text(), "DejaVu Serif");
}

TEST(TextPane, TaggedPopUpsMarkTheStylesInUseWhenLoadedAndWhenAnObjectChanges)
{
    TextFixture f;
    const auto plain = f.addText(font("DejaVuSans", 12));
    const auto underlined = f.addText(font("DejaVuSans", 12));
    underlined->textAdornment()->setUnderlines(1);
    f.select({plain, underlined});
    QMenu* underlines = f.pane().underlinePopUpButton()->popUpMenu();
    EXPECT_EQ(itemTitled(underlines, "None")->state(), platform::MenuItem::MixedState);
    EXPECT_EQ(itemTitled(underlines, "Single")->state(), platform::MenuItem::MixedState);

    // Values read while loading are not kept for later displays.
    plain->textAdornment()->setUnderlines(1);
    f.settle();
    EXPECT_EQ(itemTitled(underlines, "None")->state(), platform::MenuItem::OffState);
    EXPECT_EQ(itemTitled(underlines, "Single")->state(), platform::MenuItem::OnState);
}

TEST(TextPane, OutlineWidthShowsWithTheOppositeSignClippingIsToThePathAndNumbersAreChecked)
{
    TextFixture f;
    const auto shape = f.addText(font("DejaVuSans", 12));
    shape->textAdornment()->setOutlineWidth(3);
    f.select({shape});
    EXPECT_EQ(f.pane().outlineSizeField()->doubleValue(), -3);
    f.pane().outlineSizeField()->selectAll();
    QTest::keyClicks(f.pane().outlineSizeField(), "2");
    QTest::keyClick(f.pane().outlineSizeField(), Qt::Key_Return);
    f.endStep();
    EXPECT_EQ(shape->textAdornment()->outlineWidth(), -2);
    EXPECT_EQ(f.undo.undoActionName(), "Text Outline Width");

    // The clip check box is clipping to the path.
    EXPECT_EQ(f.pane().clipsCheckbox()->checkState(), Qt::Unchecked);
    QTest::mouseClick(f.pane().clipsCheckbox(), Qt::LeftButton);
    f.endStep();
    EXPECT_EQ(shape->textAdornment()->clipping(), VXTextAdornment::kClipToPath);
    EXPECT_EQ(f.undo.undoActionName(), "Text Clipping");
    EXPECT_TRUE(shape->metadataKeys().isEmpty()); // not an attribute of the shape
    shape->textAdornment()->setClipping(VXTextAdornment::kClipToBox);
    f.settle();
    EXPECT_EQ(f.pane().clipsCheckbox()->checkState(), Qt::Unchecked);

    f.forgetEdits();
    f.pane().fontSizeField()->setText(" ");
    f.pane().fontSizeAction(f.pane().fontSizeField());
    f.endStep();
    EXPECT_EQ(shape->font().pointSizeF(), 12);
    EXPECT_FALSE(f.undo.canUndo());
    f.pane().fontSizeField()->setText("27");
    f.pane().fontSizeAction(f.pane().fontSizeField());
    f.endStep();
    EXPECT_EQ(shape->font().pointSizeF(), 27);
    EXPECT_EQ(f.undo.undoActionName(), "Font Size");
}

TEST(TextPane, TheShadowCheckboxGivesEveryObjectTheDefaultShadowAndLoadingEditsNothing)
{
    TextFixture f;
    const auto a = f.addText(font("DejaVuSans", 12));
    const auto b = f.addText(font("DejaVuSans", 12));
    f.select({a, b});
    f.forgetEdits();
    EXPECT_EQ(f.pane().textShadowEnableCheckbox()->checkState(), Qt::Unchecked);
    EXPECT_FALSE(f.pane().textShadowController()->blurSlider()->isEnabled());

    f.pane().textShadowEnableCheckbox()->click();
    f.endStep();
    const VXShadowPtr standard = VXStyle::defaultShadow();
    for (const auto& shape : {a, b}) {
        ASSERT_TRUE(shape->textAdornment()->shadow());
        EXPECT_TRUE(shape->textAdornment()->shadow()->isEqualToValue(*standard));
    }
    EXPECT_EQ(f.undo.undoActionName(), "Text Shadow");

    // Showing one object's shadow moves the pane's sliders; that is not an edit.
    f.forgetEdits();
    f.select({b});
    EXPECT_FALSE(f.undo.canUndo());
    EXPECT_TRUE(f.pane().textShadowController()->blurSlider()->isEnabled());

    f.pane().textShadowController()->blurSlider()->setValue(int(standard->blurRadius()) + 7);
    f.endStep();
    EXPECT_EQ(b->textAdornment()->shadow()->blurRadius(), standard->blurRadius() + 7);
    EXPECT_EQ(a->textAdornment()->shadow()->blurRadius(), standard->blurRadius());
}

TEST(TextPane, LayoutItemsInABoxAreDisabledForTextPaths)
{
    TextFixture f;
    platform::BezierPath line;
    line.moveToPoint({10, 300});
    line.lineToPoint({300, 300});
    const auto path = VXTextPath::textPathWithStringOnPath("Along", line);
    f.layer->addObject(path);
    f.select({path});
    QMenu* layouts = f.pane().layoutModePopUpButton()->popUpMenu();
    EXPECT_FALSE(f.pane().validateMenuItem(itemTitled(layouts, "In Box")));
    EXPECT_TRUE(f.pane().validateMenuItem(itemTitled(layouts, "Along Path")));
    EXPECT_TRUE(f.pane().validateMenuItem(itemTitled(layouts, "Along Reversed Path")));

    const auto shape = f.addText(font("DejaVuSans", 12));
    f.select({shape});
    EXPECT_TRUE(f.pane().validateMenuItem(itemTitled(layouts, "In Box")));
    platform::Menu* commands = f.pane().textStyleCommandsMenu();
    EXPECT_TRUE(f.pane().validateMenuItem(itemTitled(commands, "Reset Text Style")));
    f.select({shape, path});
    EXPECT_FALSE(f.pane().validateMenuItem(itemTitled(commands, "Save Text Style…")));
    f.pane().setFontPanelMode(true);
    EXPECT_FALSE(f.pane().validateMenuItem(itemTitled(commands, "Reset Text Style")));
    f.pane().setFontPanelMode(false);
}

TEST(TextPane, ResetGivesUnlockedObjectsOneCopyOfTheDefaultTextStyleAsOneStep)
{
    TextFixture f;
    const auto a = f.addText(font("DejaVuSans", 12));
    const auto b = f.addText(font("DejaVuSans", 12));
    const auto locked = f.addText(font("DejaVuSans", 12));
    locked->setLocked(true);
    f.select({a, b, locked});
    // A mixed lock leaves the controls usable for the unlocked ones.
    EXPECT_TRUE(f.pane().fontsPopUpButton()->isEnabled());
    EXPECT_TRUE(f.pane().fontSizeField()->isEnabled());
    f.forgetEdits();
    const VXStylePtr before = a->style();
    const VXStylePtr beforeB = b->style();
    const VXStylePtr lockedBefore = locked->style();

    f.pane().resetTextStyleAction(nullptr);
    f.endStep();
    ASSERT_TRUE(a->style());
    EXPECT_NE(a->style(), before);
    EXPECT_EQ(a->style(), b->style());
    EXPECT_EQ(locked->style(), lockedBefore);
    EXPECT_EQ(f.undo.undoActionName(), "Reset Text Style");
    f.undo.undo();
    EXPECT_EQ(a->style(), before);
    EXPECT_EQ(b->style(), beforeB);

    f.select({locked});
    EXPECT_FALSE(f.pane().fontsPopUpButton()->isEnabled());
    EXPECT_FALSE(f.pane().textShadowController()->blurSlider()->isEnabled());
}

TEST(TextPane, TheStyleEditorsTextPaneEmbedsIt)
{
    VLTMStyleEditSub_VXTextAdornment adornmentPane;
    EXPECT_TRUE(qobject_cast<VLTM_VXTextShapeController*>(adornmentPane.textController()));
}

TEST(TextPane, AFamilyThatIsNotInstalledStillShowsItsFace)
{
    TextFixture f;
    const auto title = f.addText(*platform::fontWithNameSize("Helvetica Bold", 14));
    ASSERT_FALSE(platform::InstalledFonts::shared().hasFamily("Helvetica"));
    f.select({title});
    EXPECT_EQ(f.pane().fontsPopUpButton()->text(), "Helvetica");
    EXPECT_EQ(f.pane().facesPopUpButton()->text(), "Bold");
    const auto label = f.addText(*platform::fontWithNameSize("Helvetica", 11));
    f.select({label});
    EXPECT_EQ(f.pane().facesPopUpButton()->text(), QFontInfo(label->font()).styleName());
    EXPECT_FALSE(f.pane().facesPopUpButton()->text().isEmpty());
    EXPECT_NE(f.pane().facesPopUpButton()->text(), "Bold");
}

TEST(TextTab, WhileALabelIsEditedBoldAndColourReachOnlyTheSelectedWordInTheEditsOneStep)
{
    TextFixture f;
    const auto shape = f.add(std::make_shared<VXQLabelledShape>());
    shape->adoptPathFromDrawing(platform::BezierPath::bezierPathWithRect({100, 100, 240, 80}));
    shape->newTextLabel();
    VXQTextLabel& label = *shape->textLabels().first();
    label.setFont(font("DejaVuSans", 12));
    label.setText(QStringLiteral("Market Square North"));
    f.select({shape});
    shape->selectTextLabelExtendingSelection(&label, false);
    VXDrawingView view;
    view.setDrawing(f.drawing);
    view.resize(600, 400);
    uitest::activate(&view);
    f.forgetEdits();

    label.startEditingInView(&view);
    f.settle();
    ASSERT_TRUE(f.pane().fontPanelMode());
    QTextCursor square = view.textEditor()->textCursor();
    square.setPosition(7);
    square.setPosition(13, QTextCursor::KeepAnchor);
    view.textEditor()->setTextCursor(square);
    f.settle();
    EXPECT_FALSE(f.pane().textStyleSelector()->isSelected(0));
    f.pane().textStyleSelector()->button(0)->click(); // B
    f.settle();
    EXPECT_TRUE(f.pane().textStyleSelector()->isSelected(0)) << "the pane shows the word's font";
    f.pane().textColourWell()->takeColorFrom(Qt::red); // as the colour panel does
    f.settle();
    EXPECT_EQ(f.undo.numberOfUndoActions(), 0) << "nothing is a step of its own while the text is edited";
    view.endTextEditing();
    f.endStep();

    const platform::AttributedString text = label.text();
    ASSERT_EQ(text.string(), QStringLiteral("Market Square North"));
    for (int i = 0; i < text.length(); ++i) {
        const bool word = i >= 7 && i < 13;
        EXPECT_EQ(text.attributeAtIndexEffectiveRange(platform::kFontAttributeName, i).value<QFont>().bold(), word) << i;
        EXPECT_EQ(text.attributeAtIndexEffectiveRange(platform::kForegroundColourAttributeName, i).value<QColor>() == Qt::red,
                  word) << i;
    }
    EXPECT_EQ(f.undo.numberOfUndoActions(), 1);
    EXPECT_EQ(f.undo.undoActionName(), QStringLiteral("Edit Label Text"));
    f.undo.undo();
    EXPECT_FALSE(label.text().attributeAtIndexEffectiveRange(platform::kFontAttributeName, 8).value<QFont>().bold());
}

TEST(TextTab, AScaleBarShowsItsFontAndTakesASizeTypedAndBold)
{
    TextFixture f;
    const auto bar = f.add(std::make_shared<VXQScaleBarShape>());
    bar->setLocation({300, 300});
    f.forgetEdits();
    f.select({bar});
    ASSERT_EQ(f.pane().content(), (QList<ZQObjectPtr>{bar}));
    const auto barFont = [&bar] { return bar->textAttributes().value(platform::kFontAttributeName).value<QFont>(); };
    EXPECT_EQ(f.pane().fontsPopUpButton()->text(), barFont().family());
    EXPECT_FALSE(f.pane().facesPopUpButton()->text().isEmpty());
    EXPECT_TRUE(f.pane().fontSizeField()->text().startsWith("9"));
    EXPECT_TRUE(f.pane().textStyleSelector()->button(0)->isEnabled());
    EXPECT_TRUE(f.pane().textStyleSelector()->button(1)->isEnabled());

    f.pane().fontSizeField()->selectAll();
    QTest::keyClicks(f.pane().fontSizeField(), QStringLiteral("14"));
    QTest::keyClick(f.pane().fontSizeField(), Qt::Key_Return);
    f.endStep();
    EXPECT_EQ(barFont().pointSizeF(), 14.0);
    EXPECT_EQ(bar->lowerElement()->textAttributes().value(platform::kFontAttributeName).value<QFont>().pointSizeF(),
              14.0);
    EXPECT_EQ(f.undo.undoActionName(), QStringLiteral("Font Size"));
    f.pane().textStyleSelector()->button(0)->click(); // B
    f.endStep();
    EXPECT_TRUE(barFont().bold());
    EXPECT_TRUE(f.pane().textStyleSelector()->isSelected(0));
    f.undo.undo();
    f.undo.undo();
    EXPECT_EQ(barFont().pointSizeF(), 9.0);
    EXPECT_FALSE(barFont().bold());
}

TEST(TextTab, WhileATextBoxIsEditedItsBAndIReachOnlyTheSelectedWordInTheEditsOneStep)
{
    TextFixture f;
    const auto box = f.addText(font("DejaVuSans", 12), {100, 100, 260, 60});
    box->setString(QStringLiteral("Market Square North"));
    f.select({box});
    VXDrawingView view;
    view.setDrawing(f.drawing);
    view.resize(600, 400);
    uitest::activate(&view);
    f.forgetEdits();

    ASSERT_TRUE(platform::editObjectStringInView(box, view));
    f.settle();
    ASSERT_TRUE(f.pane().fontPanelMode());
    QTest::keyClick(view.textEditor(), Qt::Key_End);
    QTest::keyClick(view.textEditor(), Qt::Key_Left, Qt::ControlModifier | Qt::ShiftModifier); // "North"
    f.settle();
    SegmentButtons* style = f.pane().textStyleSelector();
    style->button(0)->click(); // B
    style->button(1)->click(); // I
    f.settle();
    EXPECT_TRUE(style->isSelected(0) && style->isSelected(1)) << "the pane shows the word's font";
    EXPECT_EQ(f.undo.numberOfUndoActions(), 0) << "nothing is a step of its own while the text is edited";
    view.endTextEditing();
    f.endStep();

    const platform::AttributedString text = box->textAdornment()->textForEditing();
    ASSERT_EQ(text.string(), QStringLiteral("Market Square North"));
    for (int i = 0; i < text.length(); ++i) {
        const QFont shown = text.attributeAtIndexEffectiveRange(platform::kFontAttributeName, i).value<QFont>();
        EXPECT_EQ(shown.bold() && shown.italic(), i >= 14) << i;
        EXPECT_EQ(shown.bold() || shown.italic(), i >= 14) << i;
    }
    EXPECT_EQ(f.undo.numberOfUndoActions(), 1);
    EXPECT_EQ(f.undo.undoActionName(), QStringLiteral("Edit Text"));
}

// The font panel changes the characters selected in the editor: the pane shows the size they
// now have while the text is edited, and the box's size once all of its text has it.
TEST(TextTab, ASizeChosenInTheFontPanelWhileATextBoxIsEditedShowsInThePane)
{
    TextFixture f;
    const auto box = f.addText(font("DejaVuSans", 30), {100, 100, 400, 80});
    f.select({box});
    VXDrawingView view;
    view.setDrawing(f.drawing);
    view.resize(600, 400);
    uitest::activate(&view);
    f.forgetEdits();

    ASSERT_TRUE(platform::editObjectStringInView(box, view));
    f.settle();
    ASSERT_TRUE(f.pane().fontPanelMode());
    QTest::keyClick(view.textEditor(), Qt::Key_A, Qt::ControlModifier);
    f.settle();
    EXPECT_TRUE(f.pane().fontSizeField()->text().startsWith("30"));

    QFontDialog* panel = platform::FontManager::sharedFontManager()->fontPanel(true);
    QFont bigger = panel->currentFont();
    bigger.setPointSizeF(36);
    panel->setCurrentFont(bigger);
    f.settle();
    EXPECT_TRUE(f.pane().fontSizeField()->text().startsWith("36"));

    // Once the edit ends the pane shows the box itself, at the size its text is drawn at.
    view.endTextEditing();
    f.endStep();
    ASSERT_FALSE(f.pane().fontPanelMode());
    const platform::AttributedString text = box->textAdornment()->textForEditing();
    for (int i : {0, int(text.length()) - 1})
        EXPECT_EQ(text.attributeAtIndexEffectiveRange(platform::kFontAttributeName, i).value<QFont>().pointSizeF(), 36.0) << i;
    EXPECT_EQ(box->font().pointSizeF(), 36.0);
    EXPECT_TRUE(f.pane().fontSizeField()->text().startsWith("36"));
    EXPECT_EQ(f.undo.numberOfUndoActions(), 1);
    f.undo.undo();
    f.settle();
    EXPECT_EQ(box->font().pointSizeF(), 30.0);
    EXPECT_EQ(box->textAdornment()->textForEditing().attributeAtIndexEffectiveRange(platform::kFontAttributeName, 0)
                  .value<QFont>().pointSizeF(), 30.0);
    EXPECT_TRUE(f.pane().fontSizeField()->text().startsWith("30"));

    // Only the first word made bigger stays the word's own: the box keeps its size.
    ASSERT_TRUE(platform::editObjectStringInView(box, view));
    f.settle();
    QTest::keyClick(view.textEditor(), Qt::Key_Home);
    QTest::keyClick(view.textEditor(), Qt::Key_Right, Qt::ShiftModifier);
    panel->setCurrentFont(bigger);
    view.endTextEditing();
    f.endStep();
    EXPECT_EQ(box->font().pointSizeF(), 30.0);
    EXPECT_EQ(box->textAdornment()->textForEditing().attributeAtIndexEffectiveRange(platform::kFontAttributeName, 0)
                  .value<QFont>().pointSizeF(), 36.0);
}
