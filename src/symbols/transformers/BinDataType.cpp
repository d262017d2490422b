#include "symbols/transformers/BinDataType.h"

#include "platform/foundation/NumericVariant.h"
#include "platform/vantrix/styles/VXStyle.h"
#include "symbols/utilities/SymbolUtilities.h"

#include <QColor>
#include <QFont>
#include <QImage>
#include <array>
#include <cmath>

namespace bindata {

namespace {

const std::array<QLatin1StringView, kLastType + 1> kClassNames{
    QLatin1StringView("VXStyle"), QLatin1StringView("QColor"), QLatin1StringView("QImage"),
    QLatin1StringView("QString"), QLatin1StringView("double"), QLatin1StringView("QFont")};

} // namespace

QString classNameForType(int type)
{
    return isValidType(type) ? QString(kClassNames[size_t(type)]) : QString();
}

QMetaType metaTypeForType(int type)
{
    switch (type) {
    case Style: return QMetaType::fromType<VXStylePtr>();
    case Colour: return QMetaType::fromType<QColor>();
    case Image: return QMetaType::fromType<QImage>();
    case Text: return QMetaType::fromType<QString>();
    case Value: return QMetaType::fromType<double>();
    case Font: return QMetaType::fromType<QFont>();
    default: return {};
    }
}

QVariant emptyValueForType(int type)
{
    if (type == Text)
        return QString(QLatin1String(""));
    if (type == Value)
        return 0.0;
    return {};
}

std::optional<QVariant> objectOfType(const QVariant& value, int type)
{
    switch (type) {
    case Style:
        if (const VXStylePtr style = styleOfValue(value))
            return QVariant::fromValue(style);
        break;
    case Colour:
        if (value.metaType() == QMetaType::fromType<QColor>() && value.value<QColor>().isValid())
            return value;
        break;
    case Image:
        if (value.metaType() == QMetaType::fromType<QImage>() && !value.value<QImage>().isNull())
            return value;
        break;
    case Text:
        if (value.metaType() == QMetaType::fromType<QString>())
            return value;
        break;
    case Value:
        if (platform::isNumericVariant(value) && std::isfinite(value.toDouble()))
            return value.toDouble();
        break;
    case Font:
        if (value.metaType() == QMetaType::fromType<QFont>())
            return value;
        break;
    default:
        break;
    }
    return std::nullopt;
}

} // namespace bindata
