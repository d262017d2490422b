#pragma once

// What the kit's number formatters share: the text a field shows when the selected objects
// hold different values, and showing a string value as it is.

#include "platform/graphics/AttributedString.h"

#include <QString>
#include <QVariant>
#include <optional>

inline const QString kZQMixedValuesText = QStringLiteral("--");

// "--" or an empty field: the values differ and are to be left alone.
inline bool isMixedValuesText(const std::optional<QString>& text)
{
    return text && (text->isEmpty() || *text == kZQMixedValuesText);
}

// A string value as it is, with the default attributes; none for any other value.
inline std::optional<platform::AttributedString> attributedStringForStringValue(const QVariant& value,
                                                                                const platform::TextAttributes& attributes)
{
    if (value.typeId() != QMetaType::QString)
        return std::nullopt;
    return platform::AttributedString(value.toString(), attributes);
}
