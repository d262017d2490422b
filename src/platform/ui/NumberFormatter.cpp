#include "platform/ui/NumberFormatter.h"

#include "platform/foundation/NumericVariant.h"

#include <QLocale>
#include <algorithm>
#include <cmath>

namespace platform {

namespace {

constexpr int kMostFractionDigits = 15;

} // namespace

void NumberFormatter::setNumberStyle(Style style)
{
    m_style = style;
    m_minimumFractionDigits = 0;
    m_maximumFractionDigits = style == Style::Decimal ? 3 : 0;
    if (style == Style::Percent)
        m_multiplier = 100.0;
}

double NumberFormatter::effectiveMultiplier() const
{
    return m_multiplier && *m_multiplier != 0 && std::isfinite(*m_multiplier) ? *m_multiplier : 1.0;
}

void NumberFormatter::setMinimumFractionDigits(int digits)
{
    m_minimumFractionDigits = std::clamp(digits, 0, kMostFractionDigits);
    m_maximumFractionDigits = std::max(m_maximumFractionDigits, m_minimumFractionDigits);
}

void NumberFormatter::setMaximumFractionDigits(int digits)
{
    m_maximumFractionDigits = std::clamp(digits, 0, kMostFractionDigits);
    m_minimumFractionDigits = std::min(m_minimumFractionDigits, m_maximumFractionDigits);
}

QString NumberFormatter::stringFromNumber(double value) const
{
    QString pattern = m_style == Style::None ? QStringLiteral("0") : QStringLiteral("#,##0");
    if (m_maximumFractionDigits > 0)
        pattern += QLatin1Char('.') + QString(m_minimumFractionDigits, QLatin1Char('0')) +
                   QString(m_maximumFractionDigits - m_minimumFractionDigits, QLatin1Char('#'));
    // The percent sign is added here, as the pattern's own "%" would multiply a second time.
    NumberFormat format(pattern);
    format.setRounding(m_rounding);
    const QString text = format.stringFromNumber(value * effectiveMultiplier());
    return m_style == Style::Percent ? text + QLatin1Char('%') : text;
}

std::optional<double> NumberFormatter::numberFromString(const QString& text, QString* error) const
{
    const auto fail = [error](const QString& reason) -> std::optional<double> {
        if (error)
            *error = reason;
        return std::nullopt;
    };
    QString digits = text.trimmed();
    if (m_style == Style::Percent && digits.endsWith(QLatin1Char('%')))
        digits = digits.chopped(1).trimmed();
    if (m_style != Style::None)
        digits.remove(QLatin1Char(','));
    bool ok = false;
    const double entered = QLocale::c().toDouble(digits, &ok);
    if (!ok || !std::isfinite(entered))
        return fail(QStringLiteral("Invalid number"));
    if (!m_allowsFloats && entered != std::trunc(entered))
        return fail(QStringLiteral("Enter a whole number"));
    const double value = entered / effectiveMultiplier();
    if (!std::isfinite(value))
        return fail(QStringLiteral("Invalid number"));
    if (m_minimum && value < *m_minimum)
        return fail(QStringLiteral("Enter a number no less than %1").arg(stringFromNumber(*m_minimum)));
    if (m_maximum && value > *m_maximum)
        return fail(QStringLiteral("Enter a number no greater than %1").arg(stringFromNumber(*m_maximum)));
    return value;
}

QString NumberFormatter::stringForObjectValue(const QVariant& value) const
{
    return isNumericVariant(value) ? stringFromNumber(value.toDouble()) : QString();
}

bool NumberFormatter::getObjectValueForStringErrorDescription(QVariant* value, const std::optional<QString>& string,
                                                              QString* error) const
{
    if (!string) {
        if (error)
            *error = QStringLiteral("No text");
        return false;
    }
    const std::optional<double> number = numberFromString(*string, error);
    if (number && value)
        *value = *number;
    return number.has_value();
}

AttributedString NumberFormatter::attributedStringForObjectValueWithDefaultAttributes(const QVariant& value,
                                                                                      const TextAttributes& attributes) const
{
    return AttributedString(stringForObjectValue(value), attributes);
}

namespace {

const QString kStyleKey = QStringLiteral("numberStyle");
const QString kMultiplierKey = QStringLiteral("multiplier");
const QString kMinimumFractionDigitsKey = QStringLiteral("minimumFractionDigits");
const QString kMaximumFractionDigitsKey = QStringLiteral("maximumFractionDigits");
const QString kRoundingModeKey = QStringLiteral("roundingMode");
const QString kAllowsFloatsKey = QStringLiteral("allowsFloats");
const QString kMinimumKey = QStringLiteral("minimum");
const QString kMaximumKey = QStringLiteral("maximum");

std::optional<double> finiteNumber(const QVariantMap& archived, const QString& key)
{
    const QVariant value = archived.value(key);
    if (!isNumericVariant(value) || !std::isfinite(value.toDouble()))
        return std::nullopt;
    return value.toDouble();
}

} // namespace

QVariantMap archivedNumberFormatter(const NumberFormatter& formatter)
{
    QVariantMap archived{{kStyleKey, int(formatter.numberStyle())},
                         {kMinimumFractionDigitsKey, formatter.minimumFractionDigits()},
                         {kMaximumFractionDigitsKey, formatter.maximumFractionDigits()},
                         {kRoundingModeKey, int(formatter.roundingMode())},
                         {kAllowsFloatsKey, formatter.allowsFloats()}};
    const std::pair<const QString&, std::optional<double>> optionals[] = {
        {kMultiplierKey, formatter.multiplier()}, {kMinimumKey, formatter.minimum()}, {kMaximumKey, formatter.maximum()}};
    for (const auto& [key, value] : optionals) {
        if (value)
            archived.insert(key, *value);
    }
    return archived;
}

std::shared_ptr<NumberFormatter> numberFormatterFromArchive(const QVariant& archived)
{
    if (archived.typeId() != QMetaType::QVariantMap)
        return nullptr;
    const QVariantMap map = archived.toMap();
    auto formatter = std::make_shared<NumberFormatter>();
    const int style = int(finiteNumber(map, kStyleKey).value_or(0));
    if (style == int(NumberFormatter::Style::Decimal) || style == int(NumberFormatter::Style::Percent))
        formatter->setNumberStyle(NumberFormatter::Style(style));
    formatter->setMultiplier(finiteNumber(map, kMultiplierKey));
    if (const auto digits = finiteNumber(map, kMaximumFractionDigitsKey))
        formatter->setMaximumFractionDigits(int(std::clamp(*digits, 0.0, 100.0)));
    if (const auto digits = finiteNumber(map, kMinimumFractionDigitsKey))
        formatter->setMinimumFractionDigits(int(std::clamp(*digits, 0.0, 100.0)));
    if (finiteNumber(map, kRoundingModeKey) == int(NumberFormatter::Rounding::HalfEven))
        formatter->setRoundingMode(NumberFormatter::Rounding::HalfEven);
    if (map.value(kAllowsFloatsKey).typeId() == QMetaType::Bool)
        formatter->setAllowsFloats(map.value(kAllowsFloatsKey).toBool());
    formatter->setMinimum(finiteNumber(map, kMinimumKey));
    formatter->setMaximum(finiteNumber(map, kMaximumKey));
    return formatter;
}

} // namespace platform
