#pragma once

// Attributed text from HTML (a pasteboard's "html" type), read through QTextDocument: fonts,
// text colours, underlines and strikethroughs of the runs, blocks separated by line breaks.
// Nothing outside the markup is loaded (images and style sheets it refers to are left out).

#include "platform/graphics/AttributedString.h"

#include <optional>

namespace platform {

// Markup longer than this is not read.
inline constexpr qsizetype kMaximumHTMLTextLength = 4 * 1024 * 1024;

// None when the markup is too long.
std::optional<AttributedString> attributedStringFromHTML(const QString& html);

} // namespace platform
