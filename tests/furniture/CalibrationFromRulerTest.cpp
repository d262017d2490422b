#include "RulerWindowForTesting.h"

#include "furniture/calibration/QVNCalibrationController.h"
#include "platform/foundation/ZQUndoManager.h"
#include "platform/vantrix/tools/VXToolController.h"

#include <QComboBox>
#include <QDialog>
#include <QDialogButtonBox>
#include <QLineEdit>
#include <QPushButton>

using rulertest::RulerWindow;

namespace {

QVNCalibrationController* sheetOf(ZQTrueQuorvaneDocument& document)
{
    return dynamic_cast<QVNCalibrationController*>(document.calibrationController());
}

std::shared_ptr<VXQMeasureTool> measureTool()
{
    return std::dynamic_pointer_cast<VXQMeasureTool>(VXDrawingTool::drawingToolWithName(kVXQMeasureToolName));
}

void typeInto(QLineEdit* field, const QString& text)
{
    field->setText(text);
    field->setModified(true);
    Q_EMIT field->editingFinished();
}

QPushButton* buttonOf(const QVNCalibrationController& sheet, QDialogButtonBox::StandardButton which)
{
    const auto* buttons = const_cast<QVNCalibrationController&>(sheet).sheet()->findChild<QDialogButtonBox*>();
    return buttons ? buttons->button(which) : nullptr;
}

} // namespace

TEST(CalibrationFromRuler, TheRulersLengthIsTheSampleAndEditsChangeTheDocumentLive)
{
    RulerWindow w;
    w.view->toolController()->selectDrawingToolByName(kVXQMeasureToolName);
    // 113.386 points are 4 cm.
    w.ruler().setStartPoint({100, 100});
    w.ruler().setEndPoint({213.386, 100});
    const VXQMapScalePtr opening = w.document->mapScale();
    measureTool()->doCalibration(w.view->toolController());
    QVNCalibrationController* sheet = sheetOf(*w.document);
    ASSERT_TRUE(sheet);
    EXPECT_TRUE(sheet->sheet()->isVisible());
    const VXQMapScalePtr calibrated = sheet->mapScale();
    EXPECT_NEAR(calibrated->referenceMeasurement()->value(), 4, 1e-4);
    EXPECT_EQ(calibrated->referenceMeasurement()->unit()->symbol(), QStringLiteral("cm"));
    EXPECT_NEAR(calibrated->representedMeasurement()->value(), 1, 1e-4);
    EXPECT_NEAR(calibrated->scale(), 25000, 1e-6);
    EXPECT_EQ(sheet->mapMeasureTextField()->text(), QStringLiteral("1 km"));

    // The measured length stands for 2 km: the document follows at once, as one undo step.
    typeInto(sheet->mapMeasureTextField(), QStringLiteral("2"));
    EXPECT_NEAR(w.document->mapScale()->scale(), 50000, 0.1);
    w.document->undoManager()->closeAutomaticGroup();
    EXPECT_EQ(w.document->undoManager()->undoActionName(), QStringLiteral("Change Map Scale"));
    sheet->cancelAction();
    EXPECT_TRUE(w.document->mapScale()->isEqualToMapScale(opening.get()));
}

TEST(CalibrationFromRuler, AShortRulerKeepsItsLengthAsTheSample)
{
    RulerWindow w;
    w.view->toolController()->selectDrawingToolByName(kVXQMeasureToolName);
    // 1 cm at 4 cm : 1 km is 0.25 km; normalizing would make it 4 cm again.
    w.ruler().setStartPoint({100, 100});
    w.ruler().setEndPoint({100 + 28.3464567, 100});
    measureTool()->doCalibration(w.view->toolController());
    QVNCalibrationController* sheet = sheetOf(*w.document);
    ASSERT_TRUE(sheet);
    EXPECT_NEAR(sheet->mapScale()->referenceMeasurement()->value(), 1, 1e-6);
    EXPECT_NEAR(sheet->mapScale()->representedMeasurement()->value(), 0.25, 1e-6);
    // Its ground length is what the user then states.
    typeInto(sheet->mapMeasureTextField(), QStringLiteral("0.5"));
    EXPECT_NEAR(w.document->mapScale()->scale(), 50000, 0.01);
    sheet->okAction();
    EXPECT_NEAR(w.document->mapScale()->scale(), 50000, 0.01);
}

TEST(CalibrationFromRuler, ADoubleClickOpensTheSheetUnlessTheRulerHasNoLength)
{
    RulerWindow w;
    w.view->toolController()->selectDrawingToolByName(kVXQMeasureToolName);
    const VXQMapScalePtr opening = w.document->mapScale();
    // A double-click right after a click: the first click leaves a ruler of no length.
    w.doubleClick({300, 300});
    EXPECT_EQ(w.ruler().length(), 0.0);
    EXPECT_FALSE(sheetOf(*w.document)->sheet()->isVisible());
    EXPECT_TRUE(w.document->mapScale()->isEqualToMapScale(opening.get()));

    w.drag({100, 100}, {300, 100});
    // The sheet waits for the release: opened modal at the press, it would keep the release
    // from the view and leave the gesture's undo step open.
    w.press({200, 110});
    w.release({200, 110});
    QTest::mouseDClick(w.view->viewport(), Qt::LeftButton, {}, w.pixel({200, 110}));
    EXPECT_FALSE(sheetOf(*w.document)->sheet()->isVisible());
    w.release({200, 110});
    ASSERT_TRUE(sheetOf(*w.document)->sheet()->isVisible());
    EXPECT_NEAR(sheetOf(*w.document)->mapScale()->referenceMeasurement()->value(),
                w.ruler().length() / 28.3464567, 1e-6);
    sheetOf(*w.document)->cancelAction();
}

TEST(CalibrationFromRuler, TheDocumentOpensTheSheetWithTheMapLengthEditable)
{
    RulerWindow w;
    ZQCalibrationPanel* panel = w.document->calibrationController();
    ASSERT_TRUE(panel);
    EXPECT_EQ(panel, w.document->calibrationController()); // kept
    w.document->openCalibrationPanel();
    QVNCalibrationController* sheet = sheetOf(*w.document);
    EXPECT_TRUE(sheet->sheet()->isVisible());
    EXPECT_TRUE(sheet->sampleMeasureTextField()->isEnabled());
    EXPECT_EQ(sheet->delegate(), static_cast<QVNCalibrationDelegate*>(w.document.get()));
    EXPECT_TRUE(sheet->advancedButton()->isHidden());
    typeInto(sheet->sampleMeasureTextField(), QStringLiteral("2 cm"));
    EXPECT_NEAR(w.document->mapScale()->scale(), 50000, 0.01);
    sheet->okAction();
    EXPECT_NEAR(w.document->mapScale()->scale(), 50000, 0.01);
    w.document->undoManager()->closeAutomaticGroup();
    w.document->undoManager()->undo();
    EXPECT_NEAR(w.document->mapScale()->scale(), 25000, 0.01);
}

TEST(CalibrationFromRuler, CancelTakesBackEveryEditLeavingTheMapUnmodifiedAndTheHistoryAsItWas)
{
    RulerWindow w;
    ZQUndoManager& undo = *w.document->undoManager();
    // A scale changed and saved before the sheet opens: that step stays.
    const VXQMapScalePtr first = w.document->mapScale();
    w.document->setMapScale(first->mapScaleWithScale(10000));
    undo.closeAutomaticGroup();
    w.document->updateChangeCount(platform::Document::ChangeCleared);
    const VXQMapScalePtr opening = w.document->mapScale();
    const int steps = undo.numberOfUndoActions();

    for (const bool throughTheRuler : {false, true}) {
        SCOPED_TRACE(throughTheRuler ? "opened by the ruler" : "opened by the document");
        if (throughTheRuler) {
            w.view->toolController()->selectDrawingToolByName(kVXQMeasureToolName);
            w.ruler().setStartPoint({100, 100});
            w.ruler().setEndPoint({213.386, 100});
            measureTool()->doCalibration(w.view->toolController());
        } else {
            w.document->openCalibrationPanel();
        }
        QVNCalibrationController* sheet = sheetOf(*w.document);
        ASSERT_TRUE(sheet && sheet->sheet()->isVisible());
        // Three edits, each in an event of its own: three steps while the sheet is open.
        typeInto(sheet->sampleMeasureTextField(), QStringLiteral("2 cm"));
        undo.closeAutomaticGroup();
        QComboBox* scales = sheet->mapScalePopUpButton();
        scales->setCurrentIndex(0);
        Q_EMIT scales->activated(0);
        undo.closeAutomaticGroup();
        typeInto(sheet->mapMeasureTextField(), QStringLiteral("3"));
        undo.closeAutomaticGroup();
        ASSERT_FALSE(w.document->mapScale()->isEqualToMapScale(opening.get()));
        ASSERT_TRUE(w.document->isDocumentEdited());

        QPushButton* cancel = buttonOf(*sheet, QDialogButtonBox::Cancel);
        ASSERT_TRUE(cancel);
        cancel->click();
        EXPECT_FALSE(sheet->sheet()->isVisible());
        EXPECT_TRUE(w.document->mapScale()->isEqualToMapScale(opening.get()));
        EXPECT_FALSE(w.document->isDocumentEdited()) << "Quit would ask to save a map nobody changed";
        EXPECT_EQ(undo.numberOfUndoActions(), steps);
        EXPECT_FALSE(undo.canRedo()) << "a cancelled calibration is nothing to redo";
    }

    // The step before the sheet is still the one undo takes back.
    undo.undo();
    EXPECT_TRUE(w.document->mapScale()->isEqualToMapScale(first.get()));
}
