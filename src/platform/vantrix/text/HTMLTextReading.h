#pragma once

// Attributed text from HTML (a pasteboard's "html" type), read through QTextDocument: fonts,
// text colours, underlines and strikethroughs of the runs, blocks separated by line breaks.
// A run's font holds only what the markup sets (QFont's resolve mask), so whoever takes the
// text can fill in the rest. Nothing outside the markup is loaded (images and style sheets it
// refers to are left out).
//
// QTextDocument reads markup in time proportional to its elements times their depth, so deep
// markup is measured first and refused: nesting deeper than kMaximumHTMLNestingDepth, or depths
// adding up past kMaximumHTMLNestingWork over all elements.

#include "platform/graphics/AttributedString.h"

#include <QString>
#include <optional>

namespace platform {

// Markup longer than this is not read.
inline constexpr qsizetype kMaximumHTMLTextLength = 4 * 1024 * 1024;
inline constexpr int kMaximumHTMLNestingDepth = 512;
// The sum of every element's depth: about a fifth of a second of reading.
inline constexpr qint64 kMaximumHTMLNestingWork = 8'000'000;

// How deep the markup's elements lie, counted in one pass as a reader builds them: end tags
// close up to their open element, void elements and self-closed tags hold nothing, and a list
// item, paragraph, row or cell closes one of its kind left open just before it.
struct HTMLNesting {
    int deepest = 0;
    qint64 work = 0; // every element's depth, added up
};
// Stops counting once either limit is passed.
HTMLNesting measureHTMLNesting(QStringView html);

// None when the markup is too long or nests too deeply; `refusal` then says which.
std::optional<AttributedString> attributedStringFromHTML(const QString& html, QString* refusal = nullptr);

} // namespace platform
