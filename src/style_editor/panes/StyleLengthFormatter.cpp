#include "style_editor/panes/StyleLengthFormatter.h"

#include "platform/foundation/NumericVariant.h"

QString StyleLengthFormatter::stringForObjectValue(const QVariant& value) const
{
    const QString number = NumberFormatter::stringForObjectValue(value);
    if (number.isEmpty())
        return number;
    return number + (platform::isNumericVariant(value) && value.toDouble() < 0 ? m_negativeSuffix : m_positiveSuffix);
}

bool StyleLengthFormatter::getObjectValueForStringErrorDescription(QVariant* value, const std::optional<QString>& string,
                                                                   QString* error) const
{
    std::optional<QString> number = string;
    if (number) {
        *number = number->trimmed();
        for (const QString& suffix : {m_positiveSuffix, m_negativeSuffix}) {
            if (!suffix.isEmpty() && number->endsWith(suffix)) {
                number->chop(suffix.size());
                break;
            }
        }
    }
    return NumberFormatter::getObjectValueForStringErrorDescription(value, number, error);
}
