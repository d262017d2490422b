#pragma once

// Turns numbers into the text of a field and the text back into numbers, as fields that edit
// numbers need: a number style (plain, decimal with grouping, percent), the digits after the
// point and how the last one is rounded, a multiplier between value and text (100 for
// percent), whole numbers only when floats are not allowed, and optional bounds. Written and read the same in every locale.
//
// Reading answers a value or a failure with its reason; text that is not a finite number is
// a failure, never NaN or infinity. A multiplier of 0 or none multiplies and divides as 1.
// Subclasses refine the object-value conversions, which fields and validators call.

#include "platform/graphics/AttributedString.h"
#include "platform/ui/NumberFormat.h"

#include <QString>
#include <QVariant>
#include <memory>
#include <optional>

namespace platform {

class NumberFormatter {
public:
    enum class Style { None, Decimal, Percent };
    using Rounding = NumberFormat::Rounding;

    NumberFormatter() = default;
    virtual ~NumberFormatter() = default;

    Style numberStyle() const { return m_style; }
    // Percent sets the multiplier to 100 and no decimals; Decimal groups thousands and shows
    // up to 3 decimals; None shows whole numbers.
    void setNumberStyle(Style style);

    std::optional<double> multiplier() const { return m_multiplier; }
    void setMultiplier(std::optional<double> multiplier) { m_multiplier = multiplier; }
    // The multiplier in use: 1 when none is set or it is 0 or not finite.
    double effectiveMultiplier() const;

    int minimumFractionDigits() const { return m_minimumFractionDigits; }
    void setMinimumFractionDigits(int digits);
    int maximumFractionDigits() const { return m_maximumFractionDigits; }
    void setMaximumFractionDigits(int digits);

    // Half away from zero unless set.
    Rounding roundingMode() const { return m_rounding; }
    void setRoundingMode(Rounding rounding) { m_rounding = rounding; }

    bool allowsFloats() const { return m_allowsFloats; }
    void setAllowsFloats(bool allows) { m_allowsFloats = allows; }

    std::optional<double> minimum() const { return m_minimum; }
    void setMinimum(std::optional<double> minimum) { m_minimum = minimum; }
    std::optional<double> maximum() const { return m_maximum; }
    void setMaximum(std::optional<double> maximum) { m_maximum = maximum; }

    QString stringFromNumber(double value) const;
    // The value the text stands for, or none with the reason in `error`.
    std::optional<double> numberFromString(const QString& text, QString* error = nullptr) const;

    // A number's text; an empty text for anything else.
    virtual QString stringForObjectValue(const QVariant& value) const;
    // Reads `string` into `value` (a double); answers false with a reason in `error` when it
    // does not read. No string at all does not read.
    virtual bool getObjectValueForStringErrorDescription(QVariant* value, const std::optional<QString>& string,
                                                         QString* error) const;
    // The text of stringForObjectValue with `attributes`.
    virtual AttributedString attributedStringForObjectValueWithDefaultAttributes(const QVariant& value,
                                                                                 const TextAttributes& attributes) const;

private:
    Style m_style = Style::None;
    std::optional<double> m_multiplier;
    int m_minimumFractionDigits = 0;
    int m_maximumFractionDigits = 0;
    Rounding m_rounding = Rounding::HalfAwayFromZero;
    bool m_allowsFloats = true;
    std::optional<double> m_minimum;
    std::optional<double> m_maximum;
};

// A formatter's configuration as a dictionary of numbers for archives, and back: entries
// that are missing or damaged keep the defaults. Anything but a dictionary reads as no formatter.
QVariantMap archivedNumberFormatter(const NumberFormatter& formatter);
std::shared_ptr<NumberFormatter> numberFormatterFromArchive(const QVariant& archived);

} // namespace platform
