#include "widgets/formatters/ZQPercentFormatter.h"

#include "platform/foundation/Markers.h"
#include "platform/foundation/NumericVariant.h"
#include "widgets/formatters/MixedValuesText.h"

#include <QLocale>
#include <QRegularExpression>
#include <cmath>
#include <cstdio>

namespace {

// The number a text starts with, as C's strtof reads it but the same in every locale; 0 when
// there is none or it is not finite in single precision.
float leadingFloat(const QString& text)
{
    static const QRegularExpression number(QStringLiteral(R"(^\s*([-+]?(?:\d+\.?\d*|\.\d+)(?:[eE][-+]?\d+)?))"));
    const QRegularExpressionMatch match = number.match(text);
    if (!match.hasMatch())
        return 0;
    bool ok = false;
    const float value = QLocale::c().toFloat(match.capturedView(1), &ok);
    return ok && std::isfinite(value) ? value : 0;
}

} // namespace

ZQPercentFormatter::ZQPercentFormatter()
{
    setNumberStyle(Style::Percent);
}

QString ZQPercentFormatter::stringForObjectValue(const QVariant& value) const
{
    if (!platform::isNumericVariant(value))
        return NumberFormatter::stringForObjectValue(value);
    const float product = value.toFloat() * float(effectiveMultiplier());
    if (!std::isfinite(product))
        return NumberFormatter::stringForObjectValue(value);
    // C's own "%.0f" rounds halves to even, which the shown percentages follow.
    char text[400];
    std::snprintf(text, sizeof text, "%.0f%%", double(product));
    return QString::fromLatin1(text);
}

bool ZQPercentFormatter::getObjectValueForStringErrorDescription(QVariant* value, const std::optional<QString>& string,
                                                                 QString* error) const
{
    if (!string)
        return NumberFormatter::getObjectValueForStringErrorDescription(value, string, error);
    if (value) {
        const float fraction = leadingFloat(*string) / float(effectiveMultiplier());
        *value = isMixedValuesText(string) ? platform::multipleValuesMarker()
                                           : QVariant(double(std::isfinite(fraction) ? fraction : 0.0f));
    }
    return true;
}

platform::AttributedString
ZQPercentFormatter::attributedStringForObjectValueWithDefaultAttributes(const QVariant& value,
                                                                        const platform::TextAttributes& attributes) const
{
    return attributedStringForStringValue(value, attributes)
        .value_or(NumberFormatter::attributedStringForObjectValueWithDefaultAttributes(value, attributes));
}
