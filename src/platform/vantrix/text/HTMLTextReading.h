#pragma once

// Attributed text from HTML (a pasteboard's "html" type). The system's HTML parser reads the
// markup into a tree, as forgiving of broken markup as a browser, and the text is built from the
// tree: runs styled as their elements say (HTMLRunStyle), paragraphs, headings, list items and
// table rows on lines of their own, <br> as a line break, a row's cells separated by tabs, white
// space collapsed outside <pre>. The head, scripts and style sheets are left out, and nothing
// the markup refers to is loaded.
//
// The parser builds elements only so deep (256 levels, html and body included) and stops at the
// first nested deeper; such markup is refused, so deep markup costs no more than shallow.

#include "platform/graphics/AttributedString.h"

#include <QString>
#include <limits>
#include <optional>

namespace platform {

// Markup longer than this is not read.
inline constexpr qsizetype kMaximumHTMLTextLength = 4 * 1024 * 1024;

// None when the markup is too long or nests too deeply; `refusal` then says which. Reading stops
// as soon as the text is longer than `maximumLength`: the text is then cut short there.
std::optional<AttributedString> attributedStringFromHTML(const QString& html, QString* refusal = nullptr,
                                                         qsizetype maximumLength = std::numeric_limits<qsizetype>::max());

} // namespace platform
