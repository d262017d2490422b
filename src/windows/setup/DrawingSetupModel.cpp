#include "windows/setup/DrawingSetupModel.h"

#include "app/utilities/DictionaryUtilities.h"
#include "app/document/ZQQuorvaneDocument.h"

#include <cmath>

int DrawingSetupModel::beginWithInitialPage(int page)
{
    if (m_delegate) {
        m_originalSettings = m_delegate->dictionaryOfDrawingSettings();
        m_currentSettings = m_originalSettings;
        m_mapScale = drawingsetup::mapScale(m_currentSettings);
        m_currentSettings.remove(kQVNMapScaleInfoKey);
        m_hasIndexGrid = !boolValueForKey(m_originalSettings, kQVNIndexGridMissing);
        m_hasDrawingGrid = !boolValueForKey(m_originalSettings, kQVNDrawingGridMissing);
    }
    const int shown = pageForRequest(page);
    setIntValueForKey(m_currentSettings, shown, kQVNInitialPageIndexKey);
    return shown;
}

int DrawingSetupModel::pageForRequest(int page) const
{
    if (page == kGraphPaperPage && m_hasDrawingGrid)
        return kGraphPaperPage;
    if (page == kIndexGridPage && m_hasIndexGrid)
        return kIndexGridPage;
    return kDrawingPage;
}

bool DrawingSetupModel::maySelectPage(int page) const
{
    return page != kIndexGridPage || m_hasIndexGrid;
}

QVariantMap DrawingSetupModel::dictionaryOfCurrentDialogSettings() const
{
    QVariantMap settings = m_currentSettings;
    drawingsetup::setMapScale(settings, m_mapScale);
    return settings;
}

DrawingSetupModel::ControlStates DrawingSetupModel::controlStates() const
{
    const bool locked = boolValueForKey(m_currentSettings, kQVNGridLockedValue);
    const bool theme = intValueForKey(m_currentSettings, kQVNGridThemeSelectorValue) == kThemeColourSelector;
    return {theme && !locked, !theme && !locked, !locked};
}

// --- Preview, Apply, OK, Cancel ---------------------------------------------------------------------

void DrawingSetupModel::send(const QVariantMap& settings, bool previewOrCancel)
{
    if (m_delegate && !settings.isEmpty())
        m_delegate->performDrawingSetUpWithOptionsIsPreviewOrCancel(settings, previewOrCancel);
}

void DrawingSetupModel::setPreviewEnabled(bool enabled)
{
    m_previewEnabled = enabled;
    conditionallyPreview();
}

void DrawingSetupModel::conditionallyPreview()
{
    send(m_previewEnabled ? dictionaryOfCurrentDialogSettings() : m_originalSettings, true);
}

void DrawingSetupModel::apply()
{
    if (!m_delegate)
        return;
    const QVariantMap applied = dictionaryOfCurrentDialogSettings();
    send(applied, false);
    m_originalSettings = applied;
    if (!boolValueForKey(applied, kQVNDrawingTweakMarginsFlagValue))
        return;
    const QVariantMap adjusted = m_delegate->dictionaryOfDrawingSettings();
    for (const QString& key : {kQVNDrawingMarginTopValue, kQVNDrawingMarginLeftValue, kQVNDrawingMarginBottomValue,
                               kQVNDrawingMarginRightValue}) {
        m_currentSettings.insert(key, adjusted.value(key));
        m_originalSettings.insert(key, adjusted.value(key));
    }
}

void DrawingSetupModel::endWithCode(int code)
{
    if (code == 0)
        send(m_originalSettings, true);
    else if (code == 1)
        send(dictionaryOfCurrentDialogSettings(), false);
}

void DrawingSetupModel::setAsDefault() const
{
    ZQQuorvaneDocument::setDefaultDrawingSize(drawingsetup::baseSize(m_currentSettings));
    const float factor = float(floatValueForKey(m_currentSettings, kQVNDrawingUnitConversionValue));
    const auto points = [&](const QString& key) {
        return double(float(floatValueForKey(m_currentSettings, key)) * factor);
    };
    ZQQuorvaneDocument::setDefaultDrawingMargins(QMarginsF(points(kQVNDrawingMarginLeftValue),
                                                           points(kQVNDrawingMarginTopValue),
                                                           points(kQVNDrawingMarginRightValue),
                                                           points(kQVNDrawingMarginBottomValue)));
    if (m_mapScale)
        ZQQuorvaneDocument::setDefaultDrawingScale(m_mapScale);
    if (const ZQUnitLengthPtr units = drawingsetup::units(m_currentSettings))
        ZQQuorvaneDocument::setDefaultDrawingUnits(units);
    const double prescale = floatValueForKey(m_currentSettings, kQVNDocumentPrescale);
    if (drawingsetup::isAcceptablePrescale(prescale))
        ZQQuorvaneDocument::setDefaultPrescale(prescale);
}

// --- Edits ------------------------------------------------------------------------------------------------

void DrawingSetupModel::setValueAndPreview(const QString& key, const QVariant& value)
{
    m_currentSettings.insert(key, value);
    conditionallyPreview();
}

bool DrawingSetupModel::setDrawingWidth(double width)
{
    if (!drawingsetup::editDrawingWidth(m_currentSettings, width))
        return false;
    conditionallyPreview();
    return true;
}

bool DrawingSetupModel::setDrawingHeight(double height)
{
    if (!drawingsetup::editDrawingHeight(m_currentSettings, height))
        return false;
    conditionallyPreview();
    return true;
}

void DrawingSetupModel::setUnits(const ZQUnitLengthPtr& units)
{
    if (!units)
        return;
    drawingsetup::setUnits(m_currentSettings, units);
    // The map scale lives outside the working copy while the sheet is open.
    drawingsetup::setMapScale(m_currentSettings, m_mapScale);
    drawingsetup::changeUnits(m_currentSettings, units);
    m_mapScale = drawingsetup::mapScale(m_currentSettings);
    m_currentSettings.remove(kQVNMapScaleInfoKey);
    conditionallyPreview();
}

void DrawingSetupModel::setSubtractPaperMargins(bool subtract)
{
    setValueAndPreview(kQVNSubtractPaperMargins, subtract);
}

bool DrawingSetupModel::setMargin(const QString& marginKey, double value)
{
    if (!drawingsetup::editMargin(m_currentSettings, marginKey, value))
        return false;
    conditionallyPreview();
    return true;
}

void DrawingSetupModel::setTweakMargins(bool tweak)
{
    setValueAndPreview(kQVNDrawingTweakMarginsFlagValue, tweak);
}

bool DrawingSetupModel::setPrescale(double prescale)
{
    if (!drawingsetup::isAcceptablePrescale(prescale))
        return false;
    setFloatValueForKey(m_currentSettings, float(prescale), kQVNDocumentPrescale);
    return true;
}

bool DrawingSetupModel::setSpanMultiplier(double span)
{
    if (!drawingsetup::isAcceptableSpanMultiplier(span))
        return false;
    setValueAndPreview(kQVNGridSpanMultiplierValue, span);
    return true;
}

bool DrawingSetupModel::setGridCount(const QString& key, double count)
{
    if (!drawingsetup::isAcceptableGridCount(count) || count != std::trunc(count))
        return false;
    setValueAndPreview(key, int(count));
    return true;
}

bool DrawingSetupModel::setDivisions(double divisions)
{
    return setGridCount(kQVNGridDivisionsValue, divisions);
}

bool DrawingSetupModel::setMajors(double majors)
{
    return setGridCount(kQVNGridMajorsValue, majors);
}

bool DrawingSetupModel::setRulerLabelInterval(double interval)
{
    return setGridCount(kQVNRulerLabelIntervalValue, interval);
}

void DrawingSetupModel::setGridPrinted(bool printed)
{
    m_currentSettings.insert(kQVNPrintGridFlagValue, printed);
}

void DrawingSetupModel::setPaperPrinted(bool printed)
{
    m_currentSettings.insert(kQVNPaperColourPrintableValue, printed);
}

void DrawingSetupModel::setGridVisible(bool visible)
{
    setValueAndPreview(kQVNGridVisibleValue, visible);
}

void DrawingSetupModel::setGridType(int type)
{
    setValueAndPreview(kQVNGridTypeValue, type == 1 ? 1 : 0);
}

void DrawingSetupModel::setIsometricVerticals(bool shown)
{
    setValueAndPreview(kQVNGridIsoShowVerticalsFlagValue, shown);
}

void DrawingSetupModel::setThemeSelector(int selector)
{
    setValueAndPreview(kQVNGridThemeSelectorValue, selector);
}

void DrawingSetupModel::setThemeColour(const QColor& colour)
{
    if (colour.isValid())
        setValueAndPreview(kQVNGridThemeColourValue, colour);
}

void DrawingSetupModel::setSpanColour(const QColor& colour)
{
    if (colour.isValid())
        setValueAndPreview(kQVNGridSpanColourValue, colour);
}

void DrawingSetupModel::setDivisionsColour(const QColor& colour)
{
    if (colour.isValid())
        setValueAndPreview(kQVNGridDivisionsColourValue, colour);
}

void DrawingSetupModel::setMajorsColour(const QColor& colour)
{
    if (colour.isValid())
        setValueAndPreview(kQVNGridMajorsColourValue, colour);
}

void DrawingSetupModel::setPaperColour(const QColor& colour)
{
    if (!colour.isValid())
        return;
    m_currentSettings.insert(kQVNPaperColourImageNameValue, kQVNFixedColourTextureName);
    setValueAndPreview(kQVNPaperColourValue, QBrush(colour));
}

bool DrawingSetupModel::setPaperImage(const QImage& image)
{
    if (image.isNull())
        return false;
    m_currentSettings.remove(kQVNPaperColourImageNameValue);
    setValueAndPreview(kQVNPaperColourValue, QBrush(image));
    return true;
}

void DrawingSetupModel::setMapScale(const VXQMapScalePtr& scale)
{
    if (!scale)
        return;
    m_mapScale = scale;
    conditionallyPreview();
}

// --- Texture chooser -----------------------------------------------------------------------------------------

void DrawingSetupModel::applyTexture(const QBrush& paper)
{
    setValueAndPreview(kQVNPaperColourValue, paper.style() == Qt::NoBrush ? QBrush(Qt::white) : paper);
}

void DrawingSetupModel::setBackgroundTextureName(const QString& name)
{
    if (name.isEmpty())
        m_currentSettings.remove(kQVNPaperColourImageNameValue);
    else
        m_currentSettings.insert(kQVNPaperColourImageNameValue, name);
    conditionallyPreview();
}

QBrush DrawingSetupModel::currentBackgroundTexture() const
{
    return drawingsetup::paper(m_currentSettings);
}

QString DrawingSetupModel::currentBackgroundTextureName() const
{
    return m_currentSettings.value(kQVNPaperColourImageNameValue).toString();
}

QColor DrawingSetupModel::lighterColour(const QColor& colour, double level)
{
    const QColor rgb = colour.toRgb();
    const auto toward = [level](double value, double target) { return value + (target - value) * level; };
    return QColor::fromRgbF(float(toward(rgb.redF(), 1)), float(toward(rgb.greenF(), 1)),
                            float(toward(rgb.blueF(), 1)), rgb.alphaF());
}

QColor DrawingSetupModel::darkerColour(const QColor& colour, double level)
{
    const QColor rgb = colour.toRgb();
    const auto toward = [level](double value) { return value * (1 - level); };
    return QColor::fromRgbF(float(toward(rgb.redF())), float(toward(rgb.greenF())), float(toward(rgb.blueF())),
                            rgb.alphaF());
}
