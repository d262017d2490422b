// The map document's side of the drawing set-up: the settings dictionary it hands out and
// applies, and the set-up sheet it keeps.
#include "app/utilities/DictionaryUtilities.h"
#include "app/setup/DrawingSetupSettings.h"
#include "app/setup/DrawingSetupSheet.h"
#include "app/setup/PaperMargins.h"
#include "app/services/WindowServices.h"
#include "app/document/ZQQuorvaneDocument.h"
#include "platform/foundation/UndoSuspension.h"
#include "platform/foundation/ZQAssert.h"
#include "platform/foundation/ZQLog.h"
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

QVariantMap ZQQuorvaneDocument::dictionaryOfDrawingSettings()
{
    QVariantMap settings;
    const VXDrawingPtr& drawing = this->drawing();
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
    setFloatValueForKey(settings, float(prescale()), kQVNDocumentPrescale);
    if (const std::shared_ptr<VXGridLayer> grid = drawing->gridLayer())
        recordGrid(settings, *drawing, *grid, undoManager());
    else
        setBoolValueForKey(settings, true, kQVNDrawingGridMissing);
    setFloatValueForKey(settings, float(size.width() / factor), kQVNDrawingSizeHorizontalValue);
    setFloatValueForKey(settings, float(size.height() / factor), kQVNDrawingSizeVerticalValue);
    drawingsetup::setMapScale(settings, mapScale());
    setBoolValueForKey(settings, true, kQVNIndexGridMissing);
    return settings;
}

void ZQQuorvaneDocument::performDrawingSetUpWithOptionsIsPreviewOrCancel(const QVariantMap& settings,
                                                                          bool previewOrCancel)
{
    const VXDrawingPtr drawing = this->drawing();
    if (!ZQ_EXPECT(!settings.isEmpty(), QStringLiteral("settings dictionary was nil - can't set up drawing")) || !drawing)
        return;
    ZQUndoManager* undo = undoManager();
    const bool replaying = undo->isUndoing() || undo->isRedoing();
    if (!previewOrCancel) {
        // Undo goes back to what the sheet opened with (or last applied); a replay records the
        // state it leaves, so redo comes back to it.
        const QVariantMap inverse = replaying || !m_drawingGridController ? dictionaryOfDrawingSettings()
                                                                          : m_drawingGridController->originalSettings();
        undo->registerUndoWithTargetHandler(
            this, [this, inverse] { performDrawingSetUpWithOptionsIsPreviewOrCancel(inverse, false); });
    }
    {
        const platform::UndoSuspension quiet(undo);
        performDrawingPreviewWithOptions(settings);
        const QSizeF size = drawingsetup::committedDrawingSize(settings, paperMargins(printInfo()));
        if (VXDrawing::isUsableDrawingSize(size))
            drawing->setDrawingSize(size);
        else
            ZQLogObjCMethod(QStringLiteral("drawing size %1 x %2 refused").arg(size.width()).arg(size.height()));
        const QMarginsF margins = drawingsetup::marginsInPoints(settings);
        drawing->setMarginsLeftTopRightBottom(margins.left(), margins.top(), margins.right(), margins.bottom());
        const std::shared_ptr<VXGridLayer> grid = drawing->gridLayer();
        if (grid && boolValueForKey(settings, kQVNDrawingTweakMarginsFlagValue))
            grid->tweakDrawingMargins();
        setPrescale(floatValueForKey(settings, kQVNDocumentPrescale));
        if (grid && !previewOrCancel && setUpLocksGrid(*grid))
            grid->setLocked(true);
    }
    if (!previewOrCancel && !replaying)
        undo->setActionName(tr("Drawing Setup"));
}

void ZQQuorvaneDocument::performDrawingPreviewWithOptions(const QVariantMap& settings)
{
    const VXDrawingPtr drawing = this->drawing();
    if (!ZQ_EXPECT(!settings.isEmpty(), QStringLiteral("settings dictionary was nil - can't preview")) || !drawing)
        return;
    if (const VXQMapScalePtr scale = drawingsetup::mapScale(settings))
        setMapScale(scale);
    if (const ZQUnitLengthPtr units = drawingsetup::units(settings))
        drawing->setUnits(units);
    if (!boolValueForKey(settings, kQVNDrawingGridMissing))
        previewGrid(settings, *drawing);
    previewPaper(settings, *drawing);
}

void ZQQuorvaneDocument::openDrawingSizePanel(QObject*)
{
    runDrawingSetupSheetOnPage(DrawingSetupSheet::kDrawingPage);
}

void ZQQuorvaneDocument::openGridSettingsPanel(QObject*)
{
    runDrawingSetupSheetOnPage(DrawingSetupSheet::kGraphPaperPage);
}

void ZQQuorvaneDocument::runDrawingSetupSheetOnPage(int page)
{
    if (!m_drawingGridController && WindowServices::installed().makeDrawingSetupSheet)
        m_drawingGridController = WindowServices::installed().makeDrawingSetupSheet();
    if (!m_drawingGridController) {
        ZQLogObjCMethod(QStringLiteral("no drawing set-up sheet in this build"));
        return;
    }
    m_drawingGridController->beginDialogWithParentWindowDelegateInitialPage(windowForSheet(), this, page);
}

bool ZQQuorvaneDocument::canOpenDrawingSizePanel() const
{
    return m_drawingGridController || WindowServices::installed().makeDrawingSetupSheet;
}
