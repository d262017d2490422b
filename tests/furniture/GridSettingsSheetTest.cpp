#include "furniture/edges/GridSettingsKeys.h"
#include "furniture/edges/VXQGridAnnotation.h"
#include "furniture/edges/VXQGridBorder.h"
#include "furniture/grid/VXQSquareAnnotatedGrid.h"
#include "furniture/settings/VLQNAnnotationController.h"
#include "furniture/settings/VLQNGridBorderController.h"
#include "furniture/settings/VLQNMapGridSettingsController.h"
#include "furniture/settings/VLQNSquareAnnotatedGridController.h"
#include "platform/foundation/RunLoop.h"
#include "platform/foundation/ZQUndoManager.h"
#include "platform/ui/ColourWell.h"
#include "platform/ui/Menu.h"
#include "platform/vantrix/model/VXDrawing.h"
#include "support/LogCapture.h"
#include "widgets/controls/ScrollwheelControls.h"

#include <QCheckBox>
#include <QDialog>
#include <QFontDatabase>
#include <QPushButton>
#include <QRadioButton>
#include <QTest>
#include <QToolButton>
#include <gtest/gtest.h>

namespace {

// A drawing with an index grid, its undo manager, and the settings sheet open on it.
class GridSettingsSheet : public ::testing::Test {
protected:
    void SetUp() override
    {
        drawing = VXDrawing::drawingWithSize({600, 400});
        drawing->setMargins({40, 40, 40, 40});
        drawing->setUndoManager(&undo);
        grid = VXQSquareAnnotatedGrid::defaultMapGrid();
        drawing->addLayer(grid);
        undo.removeAllActions();
        openSheet();
    }

    // A sheet left open keeps its controller alive.
    void TearDown() override
    {
        if (sheet && sheet->sheet()->isVisible())
            clickSheetButton(QStringLiteral("Cancel"));
    }

    void openSheet()
    {
        sheet = VLQNMapGridSettingsController::mapGridSettingsController();
        sheet->beginModalWithParentWindowForGridLayer(&window, grid);
        platform::RunLoop::runUntilIdle();
        pane = sheet->gridController();
    }

    void closeTurn()
    {
        platform::RunLoop::runUntilIdle();
        undo.closeAutomaticGroup();
    }

    static void type(ZQScrollwheelStepper* field, const QString& text)
    {
        field->selectAll();
        QTest::keyClicks(field, text);
        QTest::keyClick(field, Qt::Key_Return);
    }

    // On the box or dot: a check box stretched by its layout takes no click beyond its title.
    static void click(QAbstractButton* button)
    {
        QTest::mouseClick(button, Qt::LeftButton, {}, QPoint(6, button->height() / 2));
    }

    void clickSheetButton(const QString& title)
    {
        for (QPushButton* button : sheet->sheet()->findChildren<QPushButton*>())
            if (button->text() == title)
                return click(button);
        FAIL() << "no button " << title.toStdString();
    }

    VLQNAnnotationController* columns() const { return pane->horizontalAnnotationController(); }
    VLQNAnnotationController* rows() const { return pane->verticalAnnotationController(); }
    VLQNGridBorderController* bands() const { return pane->borderController(); }
    VXQGridBorder& firstBorder() const { return *grid->borders().first(); }

    // Changes a value of every kind the sheet edits: the grid's, both annotations', the bands'.
    void editEverything()
    {
        type(pane->spacingField(), QStringLiteral("3"));
        click(pane->divisionsCheckbox());
        type(pane->majorsField(), QStringLiteral("7"));
        pane->gridColourWell()->takeColorFrom(QColor(200, 30, 40));
        click(pane->gridVisibleCheckbox());
        click(pane->showBorderCheckbox());
        click(pane->annotationEdgeCheckbox(kVXQGridEdgeRight));
        click(pane->borderEdgeCheckbox(kVXQGridEdgeBottom));
        type(pane->fontSizeField(), QStringLiteral("21"));
        pane->fontColourWell()->takeColorFrom(QColor(10, 120, 30));
        click(pane->betweenGridlinesRadio());
        click(columns()->lettersRadio());
        click(rows()->lettersRadio());
        type(columns()->startAtField(), QStringLiteral("4"));
        type(rows()->incrementField(), QStringLiteral("3"));
        type(rows()->digitsField(), QStringLiteral("3"));
        click(columns()->rotatedCheckbox());
        click(rows()->reversedCheckbox());
        type(bands()->widthField(), QStringLiteral("9"));
        type(bands()->gapField(), QStringLiteral("4.5"));
        click(bands()->barredCheckbox());
        click(bands()->alternatingCheckbox());
        click(bands()->extendedCheckbox());
        bands()->firstColourWell()->takeColorFrom(QColor(250, 250, 100));
        bands()->secondColourWell()->takeColorFrom(QColor(20, 20, 100));
        closeTurn();
    }

    ZQUndoManager undo;
    VXDrawingPtr drawing;
    std::shared_ptr<VXQSquareAnnotatedGrid> grid;
    QWidget window;
    std::shared_ptr<VLQNMapGridSettingsController> sheet;
    VLQNSquareAnnotatedGridController* pane = nullptr;
};

TEST_F(GridSettingsSheet, EdgeAndPlacementControlsChangeTheGridAtOnceWithoutUndoSteps)
{
    ASSERT_EQ(grid->annotationEdges(), 15);
    EXPECT_TRUE(pane->annotationEdgeCheckbox(kVXQGridEdgeTop)->isChecked());
    click(pane->annotationEdgeCheckbox(kVXQGridEdgeTop));
    EXPECT_EQ(grid->annotationEdges(), 11);
    EXPECT_FALSE(grid->settings().value(kVXQMapGridHasTopAnnotation).toBool());
    click(pane->annotationEdgeCheckbox(kVXQGridEdgeLeft));
    EXPECT_EQ(grid->annotationEdges(), 10);

    click(pane->betweenGridlinesRadio());
    EXPECT_EQ(grid->horizontalAnnotation()->placement(), 1);
    EXPECT_EQ(grid->verticalAnnotation()->placement(), 1);
    EXPECT_EQ(grid->settings().value(kVXQMapGridHorizontalAnnotationPlacement).toInt(), 1);
    click(pane->onGridlinesRadio());
    EXPECT_EQ(grid->horizontalAnnotation()->placement(), 0);

    click(pane->showBorderCheckbox());
    EXPECT_FALSE(grid->drawsBorderLine());
    EXPECT_FALSE(grid->settings().value(kVXQMapGridBorderLineEnabled).toBool());

    click(pane->borderEdgeCheckbox(kVXQGridEdgeBottom));
    EXPECT_EQ(firstBorder().borderEdges(), 7);
    click(pane->divisionsCheckbox());
    EXPECT_EQ(grid->divisionsHidden(), pane->divisionsCheckbox()->isChecked() == false);
    EXPECT_FALSE(pane->divisionsField()->isEnabled() && grid->divisionsHidden());

    closeTurn();
    EXPECT_FALSE(undo.canUndo());
}

TEST_F(GridSettingsSheet, CancelRestoresTheGridItsAnnotationsAndItsBandsExactly)
{
    const QVariantMap opening = grid->settings();
    const QFont openingFont = grid->font();
    const QColor stroke = firstBorder().strokeColour();
    const int columnsOffset = int(grid->horizontalAnnotation()->offset());

    editEverything();
    click(pane->boldSegment());
    closeTurn();
    ASSERT_NE(grid->settings(), opening);
    ASSERT_TRUE(grid->font().bold());

    testsupport::LogCapture log;
    clickSheetButton(QStringLiteral("Cancel"));
    sheet.reset();
    closeTurn();

    const QVariantMap restored = grid->settings();
    for (auto entry = opening.begin(); entry != opening.end(); ++entry)
        EXPECT_EQ(restored.value(entry.key()), entry.value()) << entry.key().toStdString();
    EXPECT_EQ(restored.size(), opening.size());
    EXPECT_EQ(grid->font(), openingFont);
    EXPECT_EQ(firstBorder().strokeColour(), stroke);
    EXPECT_EQ(int(grid->horizontalAnnotation()->offset()), columnsOffset);
    EXPECT_FALSE(undo.canUndo());
    EXPECT_TRUE(log.contains(QStringLiteral("deallocating")));
}

TEST_F(GridSettingsSheet, OkRegistersOneUndoStepThatPutsBackTheOpeningSettings)
{
    const QVariantMap opening = grid->settings();
    editEverything();
    const QVariantMap edited = grid->settings();
    // Return in the fields committed their values without ending the sheet.
    ASSERT_TRUE(sheet->sheet()->isVisible());
    ASSERT_FALSE(undo.canUndo());

    clickSheetButton(QStringLiteral("OK"));
    closeTurn();
    ASSERT_EQ(undo.numberOfUndoActions(), 1);
    EXPECT_EQ(undo.undoActionName(), QStringLiteral("Index Grid Settings"));
    EXPECT_EQ(grid->settings(), edited);

    undo.undo();
    EXPECT_EQ(grid->settings(), opening);
    EXPECT_EQ(undo.numberOfUndoActions(), 0);
    undo.redo();
    EXPECT_EQ(grid->settings(), edited);
}

TEST_F(GridSettingsSheet, TypedValuesGoThroughTheModelsClampsAndTheFieldsShowWhatWasKept)
{
    VXQGridAnnotation& rowLabels = *grid->verticalAnnotation();
    type(rows()->digitsField(), QStringLiteral("0"));
    EXPECT_EQ(rowLabels.digits(), 1u);
    type(rows()->digitsField(), QStringLiteral("99"));
    EXPECT_EQ(rowLabels.digits(), 4u);
    closeTurn();
    EXPECT_EQ(rows()->digitsField()->value(), 4);
    type(rows()->startAtField(), QStringLiteral("3"));
    type(rows()->startAtField(), QStringLiteral("-5"));
    EXPECT_EQ(rowLabels.startingOffset(), 3u); // an unsigned field takes no sign
    EXPECT_EQ(rows()->startAtField()->value(), 3);

    click(pane->divisionsCheckbox());
    type(pane->divisionsField(), QStringLiteral("0"));
    EXPECT_EQ(grid->divisions(), 1);
    const double spacing = grid->spanMultiplier();
    type(pane->spacingField(), QStringLiteral("0"));
    type(pane->spacingField(), QStringLiteral("-2"));
    type(pane->spacingField(), QStringLiteral("abc"));
    EXPECT_EQ(grid->spanMultiplier(), spacing);
    closeTurn();
    EXPECT_EQ(pane->spacingField()->value(), spacing);

    type(bands()->widthField(), QStringLiteral("-3"));
    EXPECT_EQ(firstBorder().width(), 0);
    type(bands()->widthField(), QStringLiteral("999999999"));
    EXPECT_EQ(firstBorder().width(), VXQGridBorder::kMaximumExtent);
    closeTurn();
    EXPECT_EQ(bands()->widthField()->value(), VXQGridBorder::kMaximumExtent);
}

TEST_F(GridSettingsSheet, ALockedGridTakesNoValueFromAnyPane)
{
    grid->setLocked(true);
    const QVariantMap opening = grid->settings();
    click(pane->annotationEdgeCheckbox(kVXQGridEdgeTop));
    click(pane->betweenGridlinesRadio());
    type(pane->spacingField(), QStringLiteral("6"));
    type(columns()->digitsField(), QStringLiteral("3"));
    click(bands()->barredCheckbox());
    click(pane->boldSegment());
    closeTurn();
    EXPECT_EQ(grid->settings(), opening);
}

TEST_F(GridSettingsSheet, TheFontComesFromTheMenuAndItsFacesFromTheFamily)
{
    const QStringList families = QFontDatabase::families();
    const auto withoutItalic = std::find_if(families.begin(), families.end(), [](const QString& family) {
        return !VLQNSquareAnnotatedGridController::hasItalicFont(family) &&
               VLQNSquareAnnotatedGridController::fontsMenu()->actions().size() > 0;
    });
    EXPECT_TRUE(VLQNSquareAnnotatedGridController::hasBoldFont(QStringLiteral("Helvetica")));
    EXPECT_TRUE(VLQNSquareAnnotatedGridController::hasItalicFont(QStringLiteral("Helvetica")));
    EXPECT_TRUE(pane->italicSegment()->isEnabled());

    click(pane->boldSegment());
    EXPECT_TRUE(grid->font().bold());
    click(pane->boldSegment());
    EXPECT_FALSE(grid->font().bold());

    if (withoutItalic == families.end())
        GTEST_SKIP() << "every installed family has an italic member";
    platform::MenuItem* item = nullptr;
    for (QAction* action : VLQNSquareAnnotatedGridController::fontsMenu()->actions())
        if (auto* candidate = qobject_cast<platform::MenuItem*>(action); candidate && candidate->representedObject() == *withoutItalic)
            item = candidate;
    ASSERT_NE(item, nullptr);
    pane->gridFontAction(item);
    closeTurn();
    EXPECT_EQ(grid->fontName(), *withoutItalic);
    EXPECT_EQ(pane->fontPopUp()->text(), *withoutItalic);
    EXPECT_EQ(item->state(), platform::MenuItem::OnState);
    EXPECT_FALSE(pane->italicSegment()->isEnabled());
}

TEST_F(GridSettingsSheet, HelpLogsItsPage)
{
    testsupport::LogCapture log;
    clickSheetButton(QStringLiteral("?"));
    EXPECT_TRUE(log.contains(QStringLiteral("Index_Grid")));
    clickSheetButton(QStringLiteral("Cancel"));
}


} // namespace
