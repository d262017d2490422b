#include "symbols/placed/SymbolValueValidator.h"

#include "platform/foundation/Markers.h"
#include "platform/foundation/NumericVariant.h"
#include "platform/graphics/FontUtilities.h"
#include "symbols/placed/SymbolLabelDefaults.h"
#include "symbols/utilities/SymbolUtilities.h"

#include <QColor>
#include <QFont>
#include <algorithm>
#include <cmath>

namespace {

const QString kStyleKey = QStringLiteral("style");
const QString kScaleFactorKey = QStringLiteral("scaleFactor");
const QString kAngleKey = QStringLiteral("angle");
const QString kLabelAttributesKey = QStringLiteral("labelAttributes");

constexpr double kMinimumLabelFontSize = 4.0;
constexpr double kMaximumLabelFontSize = 72.0;

bool isNumber(const QVariant& value)
{
    const bool real = value.typeId() == QMetaType::Double || value.typeId() == QMetaType::Float;
    return (real || platform::isIntegralVariant(value)) && std::isfinite(value.toDouble());
}

// A mutable copy of the default text style whose text attributes take the change (a text
// component is added when the style has none).
VXStylePtr defaultTextStyleWith(const QString& attribute, const QVariant& value)
{
    const VXStylePtr style = VXStyle::defaultTextStyle()->mutableCopy();
    platform::TextAttributes attributes =
        style->hasTextAttributes() ? style->textAttributes() : SymbolLabelDefaults::builtInAttributes();
    if (attribute == platform::kFontAttributeName) {
        QFont font = attributes.value(platform::kFontAttributeName).value<QFont>();
        font.setPointSizeF(value.toDouble());
        attributes.insert(platform::kFontAttributeName, font);
    } else {
        attributes.insert(attribute, value);
    }
    style->addOrSetComponentForObject(QVariant(attributes));
    return style;
}

VXStylePtr labelStyleOfValue(const QVariant& value)
{
    if (const VXStylePtr given = styleOfValue(value))
        return given->hasTextAttributes() ? given : nullptr;
    if (value.metaType() == QMetaType::fromType<QColor>())
        return defaultTextStyleWith(platform::kForegroundColourAttributeName, value);
    if (platform::isNumericVariant(value)) {
        const double size = double(value.toFloat());
        return std::isfinite(size) ? defaultTextStyleWith(platform::kFontAttributeName,
                                                          std::clamp(size, kMinimumLabelFontSize, kMaximumLabelFontSize))
                                   : nullptr;
    }
    if (value.metaType() == QMetaType::fromType<QFont>())
        return VXStyle::textStyleWithFont(value.value<QFont>());
    if (value.metaType() == QMetaType::fromType<QString>()) {
        if (const std::optional<QFont> font = platform::fontValue(value.toString()))
            return VXStyle::textStyleWithFont(*font);
    }
    return nullptr;
}

} // namespace

SymbolValueValidator::SymbolValueValidator(VXStylePtr style, bool groupMaster)
    : m_style(std::move(style))
    , m_groupMaster(groupMaster)
{
}

bool SymbolValueValidator::validatesKey(const QString& key)
{
    return key == kStyleKey || key == kScaleFactorKey || key == kAngleKey || key == kLabelAttributesKey;
}

bool SymbolValueValidator::validateValueForKey(QVariant& value, const QString& key, QuorvaneError* error) const
{
    if (key == kStyleKey)
        return validateStyle(value, error);
    if (key == kLabelAttributesKey)
        return validateLabelAttributes(value, error);
    return validateNumber(value, key, error);
}

bool SymbolValueValidator::validateStyle(QVariant& value, QuorvaneError* error) const
{
    if (!value.isValid() || value.isNull() || value.metaType() == QMetaType::fromType<platform::Null>())
        return true;
    const VXStylePtr given = value.metaType() == QMetaType::fromType<ZQObjectPtr>()
                                 ? std::dynamic_pointer_cast<VXStyle>(value.value<ZQObjectPtr>())
                                 : value.value<VXStylePtr>();
    const VXStylePtr style = m_groupMaster ? nullptr : given ? given : styleHoldingValue(value);
    return accept(value, style, kStyleKey, error);
}

VXStylePtr SymbolValueValidator::styleHoldingValue(const QVariant& value) const
{
    if (!m_style)
        return VXStyle::styleWithObject(value);
    const VXStylePtr copy = m_style->mutableCopy();
    return copy->addOrSetComponentForObject(value) ? copy : nullptr;
}

bool SymbolValueValidator::validateNumber(const QVariant& value, const QString& key, QuorvaneError* error)
{
    return isNumber(value) || refuse(key, error);
}

bool SymbolValueValidator::validateLabelAttributes(QVariant& value, QuorvaneError* error)
{
    if (platform::isNull(value))
        return false;
    return accept(value, labelStyleOfValue(value), kLabelAttributesKey, error);
}

bool SymbolValueValidator::accept(QVariant& value, const VXStylePtr& style, const QString& key, QuorvaneError* error)
{
    if (!style)
        return refuse(key, error);
    value = QVariant::fromValue(style);
    return true;
}

bool SymbolValueValidator::refuse(const QString& key, QuorvaneError* error)
{
    if (error)
        *error = QuorvaneError(kQuorvaneValidationError, tr("The value is not valid for the symbol's %1.").arg(key));
    return false;
}
