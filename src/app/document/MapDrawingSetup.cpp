#include "app/document/MapDrawingSetup.h"

#include "app/utilities/DictionaryUtilities.h"
#include "app/setup/DrawingSetupSettings.h"
#include "app/setup/DrawingSetupSheet.h"
#include "app/setup/PaperMargins.h"
#include "app/services/WindowServices.h"
#include "app/document/ZQQuorvaneDocument.h"
#include "app/setup/MapScaleCalibration.h"
#include "platform/foundation/ClassRegistry.h"
#include "platform/foundation/UndoSuspension.h"
#include "platform/foundation/ZQAssert.h"
#include "platform/foundation/ZQLog.h"
#include "platform/foundation/ZQUndoManager.h"
#include "platform/vantrix/model/VXDrawing.h"
#include "platform/vantrix/model/VXGridLayer.h"
#include "platform/vantrix/model/VXIsometricGridLayer.h"

namespace {

// The set-up sheet unlocks graph paper while it edits it and locks it again on a commit. An index
// grid standing in for graph paper keeps its own lock: its settings sheet refuses a locked grid.
bool setUpLocksGrid(const VXGridLayer& grid)
{
    return grid.isMasterGrid();
}

void recordGrid(QVariantMap& settings, const VXDrawing& drawing, VXGridLayer& grid, ZQUndoManager* undo)
{
    if (setUpLocksGrid(grid)) {
        const platform::UndoSuspension quiet(undo);
        grid.setLocked(false);
    }
    settings.insert(kQVNGridSpanMultiplierValue, grid.spanMultiplier());
    setIntValueForKey(settings, grid.divisions(), kQVNGridDivisionsValue);
    setIntValueForKey(settings, grid.majors(), kQVNGridMajorsValue);
    setIntValueForKey(settings, grid.rulerSteps(), kQVNRulerLabelIntervalValue);
    settings.insert(kQVNGridSpanColourValue, grid.spanColour());
    settings.insert(kQVNGridThemeColourValue, grid.themeColour());
    settings.insert(kQVNGridDivisionsColourValue, grid.divisionColour());
    settings.insert(kQVNGridMajorsColourValue, grid.majorColour());
    setBoolValueForKey(settings, grid.shouldDrawToPrinter(), kQVNPrintGridFlagValue);
    setBoolValueForKey(settings, grid.visible(), kQVNGridVisibleValue);
    setBoolValueForKey(settings, grid.locked(), kQVNGridLockedValue);
    setIntValueForKey(settings, 1, kQVNGridThemeSelectorValue);
    const int type = drawing.gridType();
    setIntValueForKey(settings, type, kQVNGridTypeValue);
    if (const auto* isometric = qobject_cast<const VXIsometricGridLayer*>(&grid); isometric && type == 1)
        setBoolValueForKey(settings, isometric->showsVerticals(), kQVNGridIsoShowVerticalsFlagValue);
}

void previewGrid(const QVariantMap& settings, VXDrawing& drawing)
{
    drawing.setGridType(intValueForKey(settings, kQVNGridTypeValue));
    const std::shared_ptr<VXGridLayer> grid = drawing.gridLayer();
    if (!grid)
        return;
    if (auto* isometric = qobject_cast<VXIsometricGridLayer*>(grid.get()))
        isometric->setShowsVerticals(boolValueForKey(settings, kQVNGridIsoShowVerticalsFlagValue));
    if (intValueForKey(settings, kQVNGridThemeSelectorValue) != 0) {
        grid->setSpanColour(drawingsetup::colour(settings, kQVNGridSpanColourValue));
        grid->setDivisionColour(drawingsetup::colour(settings, kQVNGridDivisionsColourValue));
        grid->setMajorColour(drawingsetup::colour(settings, kQVNGridMajorsColourValue));
    } else {
        grid->setGridThemeColour(drawingsetup::colour(settings, kQVNGridThemeColourValue));
    }
    const double span = floatValueForKey(settings, kQVNGridSpanMultiplierValue);
    if (drawingsetup::isAcceptableSpanMultiplier(span))
        grid->setSpanMultiplier(span);
    const auto setCount = [&](const QString& key, void (VXGridLayer::*setter)(int)) {
        const int count = intValueForKey(settings, key);
        if (drawingsetup::isAcceptableGridCount(count))
            (grid.get()->*setter)(count);
    };
    setCount(kQVNGridDivisionsValue, &VXGridLayer::setDivisions);
    setCount(kQVNGridMajorsValue, &VXGridLayer::setMajors);
    setCount(kQVNRulerLabelIntervalValue, &VXGridLayer::setRulerSteps);
    grid->setVisible(boolValueForKey(settings, kQVNGridVisibleValue));
    grid->setShouldDrawToPrinter(boolValueForKey(settings, kQVNPrintGridFlagValue));
}

void previewPaper(const QVariantMap& settings, VXDrawing& drawing)
{
    const QBrush paper = drawingsetup::paper(settings);
    if (paper.style() == Qt::TexturePattern && !paper.textureImage().isNull()) {
        drawing.setPaperImage(paper.textureImage());
    } else if (paper.style() != Qt::NoBrush) {
        drawing.setPaperColour(paper.color());
        drawing.setPaperImage({});
    }
    drawing.setPaperColourIsPrinted(boolValueForKey(settings, kQVNPaperColourPrintableValue));
    drawing.setPaperTextureName(settings.value(kQVNPaperColourImageNameValue).toString());
}

} // namespace

QVariantMap MapDrawingSetup::currentSettings()
{
    QVariantMap settings;
    const VXDrawingPtr& drawing = m_document.drawing();
    if (!drawing)
        return settings;
    const double factor = drawing->unitToPointsConversionFactor();
    const QSizeF size = drawing->drawingSize();
    settings.insert(kQVNDrawingSizeBaseValue, size);
    settings.insert(kQVNDrawingUnitConversionValue, factor);
    settings.insert(kQVNDrawingUnitStringValue, drawing->drawingUnits());
    settings.insert(kQVNDrawingUnitAbbreviatedStringValue, drawing->abbreviatedDrawingUnits());
    drawingsetup::setUnits(settings, drawing->units());
    setBoolValueForKey(settings, size.height() > size.width(), kQVNPortraitOrLandscape);
    settings.insert(kQVNPaperColourValue, drawing->paperBrush());
    setBoolValueForKey(settings, drawing->paperColourIsPrinted(), kQVNPaperColourPrintableValue);
    if (!drawing->paperTextureName().isEmpty())
        settings.insert(kQVNPaperColourImageNameValue, drawing->paperTextureName());
    else if (drawing->paperImage().isNull())
        settings.insert(kQVNPaperColourImageNameValue, kQVNFixedColourTextureName);
    setBoolValueForKey(settings, false, kQVNDrawingTweakMarginsFlagValue);
    setFloatValueForKey(settings, float(drawing->topMargin() / factor), kQVNDrawingMarginTopValue);
    setFloatValueForKey(settings, float(drawing->leftMargin() / factor), kQVNDrawingMarginLeftValue);
    setFloatValueForKey(settings, float(drawing->rightMargin() / factor), kQVNDrawingMarginRightValue);
    setFloatValueForKey(settings, float(drawing->bottomMargin() / factor), kQVNDrawingMarginBottomValue);
    setFloatValueForKey(settings, float(m_document.prescale()), kQVNDocumentPrescale);
    if (const std::shared_ptr<VXGridLayer> grid = drawing->gridLayer())
        recordGrid(settings, *drawing, *grid, m_document.undoManager());
    else
        setBoolValueForKey(settings, true, kQVNDrawingGridMissing);
    setFloatValueForKey(settings, float(size.width() / factor), kQVNDrawingSizeHorizontalValue);
    setFloatValueForKey(settings, float(size.height() / factor), kQVNDrawingSizeVerticalValue);
    drawingsetup::setMapScale(settings, m_document.mapScale());
    setBoolValueForKey(settings, true, kQVNIndexGridMissing);
    return settings;
}

void MapDrawingSetup::apply(const QVariantMap& settings, bool previewOrCancel)
{
    const VXDrawingPtr drawing = m_document.drawing();
    if (!ZQ_EXPECT(!settings.isEmpty(), QStringLiteral("settings dictionary was nil - can't set up drawing")) || !drawing)
        return;
    ZQUndoManager* undo = m_document.undoManager();
    const bool replaying = undo->isUndoing() || undo->isRedoing();
    if (!previewOrCancel) {
        // Undo goes back to what the sheet opened with (or last applied); a replay records the
        // state it leaves, so redo comes back to it.
        const QVariantMap inverse = replaying || !m_sheet ? currentSettings() : m_sheet->originalSettings();
        undo->registerUndoWithTargetHandler(&m_document, [this, inverse] { apply(inverse, false); });
    }
    {
        const platform::UndoSuspension quiet(undo);
        preview(settings);
        const QSizeF size = drawingsetup::committedDrawingSize(settings, paperMargins(m_document.printInfo()));
        if (VXDrawing::isUsableDrawingSize(size))
            drawing->setDrawingSize(size);
        else
            ZQLogObjCMethod(QStringLiteral("drawing size %1 x %2 refused").arg(size.width()).arg(size.height()));
        const QMarginsF margins = drawingsetup::marginsInPoints(settings);
        drawing->setMarginsLeftTopRightBottom(margins.left(), margins.top(), margins.right(), margins.bottom());
        const std::shared_ptr<VXGridLayer> grid = drawing->gridLayer();
        if (grid && boolValueForKey(settings, kQVNDrawingTweakMarginsFlagValue))
            grid->tweakDrawingMargins();
        m_document.setPrescale(floatValueForKey(settings, kQVNDocumentPrescale));
        if (grid && !previewOrCancel && setUpLocksGrid(*grid))
            grid->setLocked(true);
    }
    if (!previewOrCancel && !replaying)
        undo->setActionName(tr("Drawing Setup"));
}

void MapDrawingSetup::preview(const QVariantMap& settings)
{
    const VXDrawingPtr drawing = m_document.drawing();
    if (!ZQ_EXPECT(!settings.isEmpty(), QStringLiteral("settings dictionary was nil - can't preview")) || !drawing)
        return;
    if (const VXQMapScalePtr scale = drawingsetup::mapScale(settings))
        m_document.setMapScale(scale);
    if (const ZQUnitLengthPtr units = drawingsetup::units(settings))
        drawing->setUnits(units);
    if (!boolValueForKey(settings, kQVNDrawingGridMissing))
        previewGrid(settings, *drawing);
    previewPaper(settings, *drawing);
}

void MapDrawingSetup::runSheetOnPage(int page)
{
    if (!m_sheet && WindowServices::installed().makeDrawingSetupSheet)
        m_sheet = WindowServices::installed().makeDrawingSetupSheet();
    if (!m_sheet) {
        ZQLogObjCMethod(QStringLiteral("no drawing set-up sheet in this build"));
        return;
    }
    m_sheet->beginDialogWithParentWindowDelegateInitialPage(m_document.windowForSheet(), &m_document, page);
}

bool MapDrawingSetup::canRunSheet() const
{
    return m_sheet || WindowServices::installed().makeDrawingSetupSheet;
}

ZQCalibrationPanel* MapDrawingSetup::calibrationPanel()
{
    if (!m_calibrationPanel)
        m_calibrationPanel = platform::ClassRegistry::create(kQVNCalibrationControllerClassName);
    return dynamic_cast<ZQCalibrationPanel*>(m_calibrationPanel.get());
}

void MapDrawingSetup::runCalibrationPanel()
{
    ZQCalibrationPanel* panel = calibrationPanel();
    if (!panel) {
        ZQLogObjCMethod(QStringLiteral("no calibration sheet in this build"));
        return;
    }
    panel->beginDialogOnParentWindowCalibrationDelegate(m_document.windowForSheet(), &m_document);
    panel->setNumeratorFieldEnabled(true);
}
