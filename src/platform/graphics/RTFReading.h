#pragma once

// Attributed text from RTF (a pasteboard's "rtf" type, as word processors offer it): the
// characters with the attributes a label holds per run — font family and size, bold, italic,
// colour, underline, super- and subscript, baseline shift and character spacing. Paragraphs and
// line breaks come as "\n", tabs as "\t"; pictures, objects, headers, fields' instructions and
// other destinations are left out.
//
// The data is not trusted: it must start as RTF does, groups may nest only so deep, parameters
// have only so many digits, and unknown control words are skipped. Data cut short is read as
// far as it goes.

#include "platform/graphics/AttributedString.h"

#include <QByteArray>
#include <QString>
#include <limits>
#include <optional>

namespace platform {

inline constexpr qsizetype kMaximumRTFLength = 16 * 1024 * 1024;
inline constexpr int kMaximumRTFGroupDepth = 128;

// None when the data is not RTF, too long, or nests its groups too deep; `refusal` then says which.
// Reading stops as soon as the text is longer than `maximumLength`: the text is then cut short there.
std::optional<AttributedString> attributedStringFromRTF(const QByteArray& rtf, QString* refusal = nullptr,
                                                        qsizetype maximumLength = std::numeric_limits<qsizetype>::max());

} // namespace platform
