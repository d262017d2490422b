#include "app/setup/DrawingSetupSettings.h"

#include "app/utilities/DictionaryUtilities.h"
#include "platform/vantrix/model/VXDrawing.h"

#include <cmath>
#include <optional>

namespace drawingsetup {

namespace {

constexpr double kMaximumPrescale = 1000;
constexpr double kMaximumSpanMultiplier = 1e6;
constexpr double kMaximumGridCount = 1000;

const QString* const kMarginKeys[] = {&kQVNDrawingMarginTopValue, &kQVNDrawingMarginLeftValue,
                                      &kQVNDrawingMarginRightValue, &kQVNDrawingMarginBottomValue};

bool isMarginKey(const QString& key)
{
    for (const QString* marginKey : kMarginKeys)
        if (*marginKey == key)
            return true;
    return false;
}

double factor(const QVariantMap& settings)
{
    return floatValueForKey(settings, kQVNDrawingUnitConversionValue);
}

// The typed length in single precision, as the sheet's fields hand it over.
std::optional<double> singleLength(double value)
{
    const float single = float(value);
    if (!std::isfinite(single) || single <= 0)
        return std::nullopt;
    return double(single);
}

bool editDrawingSide(QVariantMap& settings, double value, Qt::Orientation side)
{
    const std::optional<double> length = singleLength(value);
    const double pointsPerUnit = factor(settings);
    if (!length || pointsPerUnit <= 0)
        return false;
    QSizeF base = baseSize(settings);
    if (side == Qt::Horizontal)
        base.setWidth(*length * pointsPerUnit);
    else
        base.setHeight(*length * pointsPerUnit);
    if (!VXDrawing::isUsableDrawingSize(base))
        return false;
    settings.insert(side == Qt::Horizontal ? kQVNDrawingSizeHorizontalValue : kQVNDrawingSizeVerticalValue, *length);
    settings.insert(kQVNDrawingSizeBaseValue, base);
    settings.insert(kQVNDrawingSizeCustomValue, base);
    return true;
}

} // namespace

ZQUnitLengthPtr units(const QVariantMap& settings)
{
    return std::dynamic_pointer_cast<ZQUnitLength>(settings.value(kQVNDrawingModernUnitsKey).value<ZQObjectPtr>());
}

VXQMapScalePtr mapScale(const QVariantMap& settings)
{
    return std::dynamic_pointer_cast<VXQMapScale>(settings.value(kQVNMapScaleInfoKey).value<ZQObjectPtr>());
}

QBrush paper(const QVariantMap& settings)
{
    const QVariant value = settings.value(kQVNPaperColourValue);
    if (value.typeId() == QMetaType::QBrush)
        return value.value<QBrush>();
    if (value.typeId() == QMetaType::QColor)
        return QBrush(value.value<QColor>());
    return {};
}

QColor colour(const QVariantMap& settings, const QString& key)
{
    const QVariant value = settings.value(key);
    return value.typeId() == QMetaType::QColor ? value.value<QColor>() : QColor();
}

QSizeF baseSize(const QVariantMap& settings)
{
    const QVariant value = settings.value(kQVNDrawingSizeBaseValue);
    return value.typeId() == QMetaType::QSizeF ? value.toSizeF() : QSizeF();
}

void setUnits(QVariantMap& settings, const ZQUnitLengthPtr& units)
{
    settings.insert(kQVNDrawingModernUnitsKey, QVariant::fromValue<ZQObjectPtr>(units));
}

void setMapScale(QVariantMap& settings, const VXQMapScalePtr& scale)
{
    if (scale)
        settings.insert(kQVNMapScaleInfoKey, QVariant::fromValue<ZQObjectPtr>(scale));
    else
        settings.remove(kQVNMapScaleInfoKey);
}

void changeUnits(QVariantMap& settings, const ZQUnitLengthPtr& newUnits)
{
    if (!newUnits)
        return;
    const double oldFactor = factor(settings);
    const double newFactor = newUnits->conversionFactorForPoints();
    if (oldFactor > 0 && newFactor != oldFactor) {
        setFloatValueForKey(settings, float(newFactor), kQVNDrawingUnitConversionValue);
        for (const QString* key : kMarginKeys)
            settings.insert(*key, floatValueForKey(settings, *key) * oldFactor / newFactor);
        for (const QString& key : {kQVNDrawingSizeHorizontalValue, kQVNDrawingSizeVerticalValue})
            settings.insert(key, floatValueForKey(settings, key) * oldFactor / newFactor);
    } else if (oldFactor <= 0) {
        setFloatValueForKey(settings, float(newFactor), kQVNDrawingUnitConversionValue);
    }
    settings.insert(kQVNDrawingUnitStringValue, newUnits->fullName());
    settings.insert(kQVNDrawingUnitAbbreviatedStringValue, newUnits->symbol());
    if (const VXQMapScalePtr scale = mapScale(settings))
        setMapScale(settings, scale->mapScaleWithReferenceUnits(newUnits));
}

bool editDrawingWidth(QVariantMap& settings, double width)
{
    return editDrawingSide(settings, width, Qt::Horizontal);
}

bool editDrawingHeight(QVariantMap& settings, double height)
{
    return editDrawingSide(settings, height, Qt::Vertical);
}

bool editMargin(QVariantMap& settings, const QString& marginKey, double value)
{
    if (!isMarginKey(marginKey) || !std::isfinite(value) || value < 0)
        return false;
    QVariantMap trial = settings;
    trial.insert(marginKey, value);
    const QMarginsF margins = marginsInPoints(trial);
    const QSizeF base = baseSize(trial);
    if (margins.left() + margins.right() >= base.width() || margins.top() + margins.bottom() >= base.height())
        return false;
    settings = trial;
    return true;
}

bool isAcceptablePrescale(double prescale)
{
    return std::isfinite(prescale) && prescale > 0 && prescale <= kMaximumPrescale;
}

bool isAcceptableSpanMultiplier(double span)
{
    return std::isfinite(span) && span > 0 && span <= kMaximumSpanMultiplier;
}

bool isAcceptableGridCount(double count)
{
    return std::isfinite(count) && count >= 1 && count <= kMaximumGridCount;
}

QMarginsF marginsInPoints(const QVariantMap& settings)
{
    const float pointsPerUnit = float(factor(settings));
    const auto points = [&](const QString& key) {
        return double(float(floatValueForKey(settings, key)) * pointsPerUnit);
    };
    return {points(kQVNDrawingMarginLeftValue), points(kQVNDrawingMarginTopValue), points(kQVNDrawingMarginRightValue),
            points(kQVNDrawingMarginBottomValue)};
}

QSizeF committedDrawingSize(const QVariantMap& settings, const QMarginsF& printerMargins)
{
    QSizeF size = baseSize(settings);
    if (boolValueForKey(settings, kQVNSubtractPaperMargins))
        size -= QSizeF(printerMargins.left() + printerMargins.right(), printerMargins.top() + printerMargins.bottom());
    return size;
}

} // namespace drawingsetup
