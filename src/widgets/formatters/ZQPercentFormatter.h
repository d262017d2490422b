#pragma once

// The percentage formatter of fields that edit a fraction shared by a multiple selection:
// 0.5 shows as "50%" (value times the multiplier, 100, rounded halves to even in single
// precision, so 0.125 shows "12%"). Any text reads: "--" and an empty field as the
// multiple-values marker, anything else as its leading number divided by the multiplier
// ("12%", "12" and "12 percent" alike), and text without a finite leading number as 0.

#include "platform/ui/NumberFormatter.h"

class ZQPercentFormatter : public platform::NumberFormatter {
public:
    ZQPercentFormatter();

    QString stringForObjectValue(const QVariant& value) const override;
    bool getObjectValueForStringErrorDescription(QVariant* value, const std::optional<QString>& string,
                                                 QString* error) const override;
    platform::AttributedString
    attributedStringForObjectValueWithDefaultAttributes(const QVariant& value,
                                                        const platform::TextAttributes& attributes) const override;
};
