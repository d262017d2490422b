#pragma once

// Attributed text from HTML (a pasteboard's "html" type). The system's HTML parser reads the
// markup into a tree, as forgiving of broken markup as a browser, and the text is built from the
// tree: runs styled as their elements say (HTMLRunStyle), paragraphs, headings, list items and
// table rows on lines of their own, <br> as a line break, a row's cells separated by tabs, white
// space collapsed outside <pre>. The head, scripts and style sheets are left out, and nothing
// the markup refers to is loaded.
//
// The text is written as the parser goes, and the parser stops as soon as the text is as long as
// wanted or the markup passes a bound: elements nested more than 256 deep (html and body
// included), or one with more than 100 attributes. Such markup is refused at once, so no shape
// of markup costs more to read than its length.

#include "platform/graphics/AttributedString.h"

#include <QString>
#include <limits>
#include <optional>

namespace platform {

// Markup longer than this is not read.
inline constexpr qsizetype kMaximumHTMLTextLength = 4 * 1024 * 1024;
inline constexpr int kMaximumHTMLDepth = 256;
// The parser compares each attribute of a tag with all before it.
inline constexpr qsizetype kMaximumHTMLAttributes = 100;

// None when the markup is too long or passes a bound; `refusal` then says which. Reading stops
// as soon as the text is longer than `maximumLength`: the text is then cut short there.
std::optional<AttributedString> attributedStringFromHTML(const QString& html, QString* refusal = nullptr,
                                                         qsizetype maximumLength = std::numeric_limits<qsizetype>::max());

// The same from markup as a pasteboard holds it: UTF-16 or UTF-32 (as a byte order mark says, or as
// its first character "<" shows), or else UTF-8. None also when it is in no encoding of these.
std::optional<AttributedString> attributedStringFromHTMLData(const QByteArray& data, QString* refusal = nullptr,
                                                             qsizetype maximumLength = std::numeric_limits<qsizetype>::max());

} // namespace platform
