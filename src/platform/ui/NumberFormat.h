#pragma once

// Numbers as text by a format pattern such as "0.0%", "#,##0.00" or "0.0°".
//
// The pattern's digits part ("#", "0", "," and ".") sets the digits: a "0" before the
// point is a digit always shown, "0"s after it are decimals always shown, "#"s after them
// decimals shown when not zero, and a "," groups thousands by three. What stands before
// and after it is kept as text; a "%" there multiplies by 100 and a "‰" by 1000. Negative
// numbers take a leading minus. Written the same in every locale.
//
// The last decimal shown is rounded half away from zero, or half to even; a tie is decided on
// the number as written (0.125 is a tie, though the double nearest to it may lie either side).

#include <QString>

namespace platform {

class NumberFormat {
public:
    enum class Rounding { HalfAwayFromZero, HalfEven };

    // The default pattern, "0.##".
    NumberFormat();
    explicit NumberFormat(const QString& pattern);

    QString pattern() const { return m_pattern; }
    Rounding rounding() const { return m_rounding; }
    void setRounding(Rounding rounding) { m_rounding = rounding; }
    QString stringFromNumber(double value) const;

private:
    QString m_pattern;
    QString m_prefix;
    QString m_suffix;
    int m_minimumIntegerDigits = 1;
    int m_minimumFractionDigits = 0;
    int m_maximumFractionDigits = 0;
    bool m_groupsThousands = false;
    double m_multiplier = 1.0;
    Rounding m_rounding = Rounding::HalfAwayFromZero;
};

} // namespace platform
