#pragma once

// The number formatter of fields that edit a value shared by a multiple selection: "--" or
// an empty field reads as the multiple-values marker, so bound objects keep their values,
// and a string value (such as "--") is shown as it is.

#include "platform/ui/NumberFormatter.h"

class ZQNumberFormatter : public platform::NumberFormatter {
public:
    bool getObjectValueForStringErrorDescription(QVariant* value, const std::optional<QString>& string,
                                                 QString* error) const override;
    platform::AttributedString
    attributedStringForObjectValueWithDefaultAttributes(const QVariant& value,
                                                        const platform::TextAttributes& attributes) const override;
};
