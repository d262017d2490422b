#include "widgets/formatters/ZQNumberFormatter.h"

#include "platform/foundation/Markers.h"
#include "widgets/formatters/MixedValuesText.h"

bool ZQNumberFormatter::getObjectValueForStringErrorDescription(QVariant* value, const std::optional<QString>& string,
                                                                QString* error) const
{
    if (!isMixedValuesText(string))
        return NumberFormatter::getObjectValueForStringErrorDescription(value, string, error);
    if (value)
        *value = platform::multipleValuesMarker();
    return true;
}

platform::AttributedString
ZQNumberFormatter::attributedStringForObjectValueWithDefaultAttributes(const QVariant& value,
                                                                       const platform::TextAttributes& attributes) const
{
    return attributedStringForStringValue(value, attributes)
        .value_or(NumberFormatter::attributedStringForObjectValueWithDefaultAttributes(value, attributes));
}
