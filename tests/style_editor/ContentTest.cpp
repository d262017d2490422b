#include "style_editor/StyleEditorTesting.h"

#include "platform/foundation/Markers.h"
#include "platform/vantrix/styles/VXStyleHistory.h"
#include "style_editor/swatch/VXQStyleImageView.h"
#include "support/TabBehindAnother.h"

#include <QApplication>
#include <QCheckBox>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QToolButton>
#include <gtest/gtest.h>

using namespace styleeditortest;

namespace {

TEST(StyleEditorContent, FollowsTheSelectionCoalescedAndKeepsTheStyleWhenNothingIsSelected)
{
    EditorFixture f;
    const VXStylePtr red = styleOf({std::make_shared<VXFill>()}, QStringLiteral("Red"));
    const VXStylePtr blue = styleOf({std::make_shared<VXStroke>()}, QStringLiteral("Blue"));
    const VXDrawableObjectPtr one = f.addShape(red);
    const VXDrawableObjectPtr two = f.addShape(red, QRectF(100, 100, 20, 20));
    const VXDrawableObjectPtr three = f.addShape(blue, QRectF(200, 200, 20, 20));

    // A burst of selection changes is one update on the next turn.
    f.layer->replaceSelectionWithObject(three);
    f.layer->exchangeSelectionWithObjectsFromArray({one, two});
    EXPECT_TRUE(f.editor->content().isEmpty());
    f.settle();
    EXPECT_EQ(f.editor->style(), red);
    EXPECT_EQ(f.editor->nameField()->text(), QStringLiteral("Red"));
    EXPECT_EQ(f.editor->libraryInfoField()->text(), QStringLiteral("Ad-Hoc Style, used by 2 objects"));
    EXPECT_EQ(f.editor->previewView()->style(), red);
    EXPECT_EQ(f.componentsShownIn(f.stack()).size(), 1);

    // Different styles: the header says so and the stack is empty.
    f.select({one, three});
    EXPECT_EQ(f.editor->style(), nullptr);
    EXPECT_EQ(f.editor->content().size(), 2);
    EXPECT_EQ(f.editor->nameField()->text(), QStringLiteral("Multiple Styles"));
    EXPECT_EQ(f.editor->libraryInfoField()->text(), QStringLiteral("Simplify the selection to edit the style"));
    EXPECT_TRUE(f.editor->subControllers().isEmpty());
    EXPECT_TRUE(f.containersIn(f.stack()).isEmpty());
    EXPECT_TRUE(f.editor->resetButton()->isEnabled());
    EXPECT_FALSE(f.editor->cloneButton()->isEnabled());
    EXPECT_FALSE(f.editor->editableCheckbox()->isEnabled());
    EXPECT_TRUE(platform::isMultipleValuesMarker(f.editor->commonValueForKeyPath(QStringLiteral("name"))));

    // Nothing selected: the last content stays.
    f.select({three});
    f.select({});
    EXPECT_EQ(f.editor->style(), blue);
    EXPECT_EQ(f.editor->nameField()->text(), QStringLiteral("Blue"));

    // A selected object given another style is followed.
    f.select({three});
    three->setStyle(red);
    f.settle();
    EXPECT_EQ(f.editor->style(), red);

    // Selections of other drawings are not the editor's.
    VXDrawingPtr elsewhere = VXDrawing::drawingWithSize({100, 100});
    auto otherLayer = std::make_shared<VXObjectDrawingLayer>();
    elsewhere->addLayer(otherLayer);
    auto foreign = VXDrawableShape::drawableShapeWithRect(QRectF(0, 0, 5, 5), blue);
    otherLayer->addObject(foreign);
    otherLayer->replaceSelectionWithObject(foreign);
    f.settle();
    EXPECT_EQ(f.editor->style(), red);
}

TEST(StyleEditorContent, TheHeaderFollowsTheStyleAndItsLock)
{
    EditorFixture f;
    auto stroke = std::make_shared<VXStroke>();
    const VXStylePtr style = styleOf({stroke}, QStringLiteral("Road"));
    style->setOpacity(0.5);
    f.select({f.addShape(style)});
    EXPECT_EQ(f.editor->opacityField()->text(), QStringLiteral("0.50"));
    EXPECT_TRUE(f.editor->editableCheckbox()->isChecked());
    EXPECT_TRUE(f.editor->opacityField()->isEnabled());

    style->setName(QStringLiteral("Lane"));
    EXPECT_EQ(f.editor->nameField()->text(), QStringLiteral("Lane"));

    style->setLocked(true);
    EXPECT_FALSE(f.editor->editableCheckbox()->isChecked());
    EXPECT_FALSE(f.editor->opacityField()->isEnabled());
    EXPECT_FALSE(f.editor->componentMenuButton()->isEnabled());
    VLTMStyleComponentController* pane = f.editor->subcontrollerForComponent(stroke.get());
    EXPECT_TRUE(pane->isShownLocked());
    EXPECT_FALSE(pane->enabledCheckbox()->isEnabled());
    EXPECT_FALSE(pane->hostingView()->closingButton()->isEnabled());
    EXPECT_FALSE(pane->hostingView()->allowsReordering());
    // A rebuilt stack keeps the lock.
    f.editor->rebuildUI();
    f.settle();
    EXPECT_TRUE(f.editor->subcontrollerForComponent(stroke.get())->isShownLocked());
}

TEST(StyleEditorContent, TheHeaderSaysHowManyObjectsAnEditRestyles)
{
    EditorFixture f;
    const VXStylePtr road = styleOf({std::make_shared<VXStroke>()}, QStringLiteral("Road"));
    road->setStyleSharable(false);
    const VXDrawableObjectPtr first = f.addShape(road);
    f.select({first});
    EXPECT_EQ(f.editor->libraryInfoField()->text(), QStringLiteral("Ad-Hoc Style"));

    // Unticked Shared or not, three roads hold the one style.
    f.addShape(road, QRectF(100, 100, 20, 20));
    const VXDrawableObjectPtr third = f.addShape(road, QRectF(200, 200, 20, 20));
    f.select({third});
    EXPECT_FALSE(f.editor->sharedCheckbox()->isChecked());
    EXPECT_EQ(f.editor->libraryInfoField()->text(), QStringLiteral("Ad-Hoc Style, used by 3 objects"));
    EXPECT_FALSE(f.editor->sharedCheckbox()->toolTip().isEmpty());

    // A road given a style of its own leaves the count.
    first->setStyle(styleOf({std::make_shared<VXStroke>()}, QStringLiteral("Lane")));
    f.select({});
    f.select({third});
    f.editor->rebuildUI();
    f.settle();
    EXPECT_EQ(f.editor->libraryInfoField()->text(), QStringLiteral("Ad-Hoc Style, used by 2 objects"));

    // Deleting what was selected leaves nothing selected: the style stays, its count follows.
    const VXDrawableObjectPtr fourth = f.addShape(road, QRectF(300, 300, 20, 20));
    f.select({third, fourth});
    EXPECT_EQ(f.editor->libraryInfoField()->text(), QStringLiteral("Ad-Hoc Style, used by 3 objects"));
    f.layer->removeObjectsInArray({third, fourth});
    f.settle();
    EXPECT_EQ(f.editor->style(), road);
    EXPECT_EQ(f.editor->libraryInfoField()->text(), QStringLiteral("Ad-Hoc Style"));
}

TEST(StyleEditorContent, BehindAnotherTabTheSelectionShowsWhenTheTabComesToTheFront)
{
    EditorFixture f;
    testsupport::TabBehindAnother tab(f.editor->view());
    const VXStylePtr road = styleOf({std::make_shared<VXStroke>()}, QStringLiteral("Road"));
    const VXDrawableObjectPtr first = f.addShape(road);
    f.select({first});
    f.addShape(road, QRectF(100, 100, 20, 20));
    f.select({first, f.addShape(road, QRectF(200, 200, 20, 20))});
    EXPECT_EQ(f.editor->style(), nullptr);

    tab.bringToFront();
    EXPECT_EQ(f.editor->style(), road);
    EXPECT_EQ(f.editor->libraryInfoField()->text(), QStringLiteral("Ad-Hoc Style, used by 3 objects"));
}

TEST(StyleEditorContent, TheToolStyleIsShownOnlyWhileTheWindowIsActive)
{
    EditorFixture f;
    const VXStylePtr tool = styleOf({std::make_shared<VXStroke>()}, QStringLiteral("Tool"));
    const VXStylePtr previous = VXStyleHistory::defaultHistory().currentStyle();
    VXStyleHistory::defaultHistory().setCurrentStyle(tool);
    f.settle();
    EXPECT_NE(f.editor->style(), tool);

    QWidget* window = f.editor->view()->window();
    window->show();
    QApplication::setActiveWindow(window);
    ASSERT_TRUE(f.editor->isInMainWindow());
    VXStyleHistory::defaultHistory().setCurrentStyle(styleOf({}, QStringLiteral("Other")));
    VXStyleHistory::defaultHistory().setCurrentStyle(tool);
    f.settle();
    EXPECT_EQ(f.editor->style(), tool);
    // Its edits are undone on the document's undo manager, though no object uses it.
    f.endStep();
    f.editor->addComponentForTag(1);
    EXPECT_EQ(tool->countOfRenderList(), 2);
    f.endStep();
    f.undo.undo();
    EXPECT_EQ(tool->countOfRenderList(), 1);
    window->hide();
    VXStyleHistory::defaultHistory().setCurrentStyle(previous);
}

} // namespace
