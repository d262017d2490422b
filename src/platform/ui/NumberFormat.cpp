#include "platform/ui/NumberFormat.h"

#include <QLocale>

#include <algorithm>
#include <cmath>

namespace platform {

namespace {

bool isDigitsCharacter(QChar c)
{
    return c == QLatin1Char('#') || c == QLatin1Char('0') || c == QLatin1Char(',') || c == QLatin1Char('.');
}

QString groupedThousands(const QString& digits)
{
    QString grouped;
    for (qsizetype i = 0; i < digits.size(); ++i) {
        if (i > 0 && (digits.size() - i) % 3 == 0)
            grouped += QLatin1Char(',');
        grouped += digits[i];
    }
    return grouped;
}

// Adds one to the last digit of a string of digits with at most one point.
QString incrementedLastDigit(QString digits)
{
    for (qsizetype i = digits.size() - 1; i >= 0; --i) {
        if (digits[i] == QLatin1Char('.'))
            continue;
        if (digits[i] != QLatin1Char('9')) {
            digits[i] = QChar(digits[i].unicode() + 1);
            return digits;
        }
        digits[i] = QLatin1Char('0');
    }
    return QLatin1Char('1') + digits;
}

// `magnitude` (not negative, finite) with exactly `fractionDigits` decimals.
QString fixedDigits(double magnitude, int fractionDigits, NumberFormat::Rounding rounding)
{
    const QString rounded = QString::number(magnitude, 'f', fractionDigits);
    if (rounding == NumberFormat::Rounding::HalfAwayFromZero)
        return rounded;
    // The shortest text that reads back as the number, as the user would have written it.
    const QString written = QString::number(magnitude, 'f', QLocale::FloatingPointShortest);
    const qsizetype point = written.indexOf(QLatin1Char('.'));
    // The shortest text has no trailing zeros: a tie is a single 5 after the digits kept.
    if (point < 0 || written.size() != point + fractionDigits + 2 || written.back() != QLatin1Char('5'))
        return rounded;
    QString kept = written.left(point + 1 + fractionDigits);
    if (fractionDigits == 0)
        kept.chop(1);
    const bool oddLast = (kept.back().unicode() - '0') % 2 == 1;
    return oddLast ? incrementedLastDigit(kept) : kept;
}

} // namespace

NumberFormat::NumberFormat()
    : NumberFormat(QStringLiteral("0.##"))
{
}

NumberFormat::NumberFormat(const QString& pattern)
    : m_pattern(pattern)
{
    qsizetype first = 0;
    while (first < pattern.size() && !isDigitsCharacter(pattern[first]))
        ++first;
    qsizetype end = first;
    while (end < pattern.size() && isDigitsCharacter(pattern[end]))
        ++end;
    m_prefix = pattern.left(first);
    m_suffix = pattern.mid(end);
    const QString digits = pattern.mid(first, end - first);

    const qsizetype point = digits.indexOf(QLatin1Char('.'));
    const QString integerPart = point < 0 ? digits : digits.left(point);
    const QString fractionPart = point < 0 ? QString() : digits.mid(point + 1);
    m_minimumIntegerDigits = int(integerPart.count(QLatin1Char('0')));
    m_minimumFractionDigits = int(fractionPart.count(QLatin1Char('0')));
    m_maximumFractionDigits = m_minimumFractionDigits + int(fractionPart.count(QLatin1Char('#')));
    m_groupsThousands = integerPart.contains(QLatin1Char(','));
    const QString affixes = m_prefix + m_suffix;
    if (affixes.contains(QLatin1Char('%')))
        m_multiplier = 100.0;
    else if (affixes.contains(QChar(0x2030)))
        m_multiplier = 1000.0;
}

QString NumberFormat::stringFromNumber(double value) const
{
    if (std::isnan(value))
        return QStringLiteral("NaN");
    const double scaled = value * m_multiplier;
    if (std::isinf(scaled))
        return (scaled < 0 ? QStringLiteral("-") : QString()) + m_prefix + QStringLiteral("∞") + m_suffix;

    QString text = fixedDigits(std::fabs(scaled), m_maximumFractionDigits, m_rounding);
    qsizetype point = text.indexOf(QLatin1Char('.'));
    if (point >= 0) {
        // Optional decimals go when they are zero.
        qsizetype keep = text.size();
        while (keep > point + 1 + m_minimumFractionDigits && text[keep - 1] == QLatin1Char('0'))
            --keep;
        if (keep == point + 1)
            keep = point;
        text.truncate(keep);
    }
    point = text.indexOf(QLatin1Char('.'));
    QString integerDigits = point < 0 ? text : text.left(point);
    const QString fraction = point < 0 ? QString() : text.mid(point);
    if (integerDigits == QLatin1String("0") && m_minimumIntegerDigits == 0 && !fraction.isEmpty())
        integerDigits.clear();
    while (integerDigits.size() < m_minimumIntegerDigits)
        integerDigits.prepend(QLatin1Char('0'));
    if (m_groupsThousands)
        integerDigits = groupedThousands(integerDigits);

    // A value that rounds to zero shows no minus.
    const QString shown = integerDigits + fraction;
    const bool negative = scaled < 0 && std::any_of(shown.begin(), shown.end(), [](QChar c) {
        return c.isDigit() && c != QLatin1Char('0');
    });
    return (negative ? QStringLiteral("-") : QString()) + m_prefix + integerDigits + fraction + m_suffix;
}

} // namespace platform
