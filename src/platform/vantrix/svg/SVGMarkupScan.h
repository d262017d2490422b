#pragma once

// One pass over SVG markup before the XML reader sees it. It counts the elements and
// attributes, so the element tree can be sized up front, and refuses what would cost the
// reader quadratic time or memory out of proportion to the file:
// - an element with more attributes than any drawing has (the reader compares each
//   attribute with those before it);
// - a document type declaring many attribute defaults (the reader looks each element up in
//   all of them) or referring to parameter entities (each reference declares them again);
// - many references to entities (each one expands their text anew).
// Markup in encodings that do not write it in ASCII, other than UTF-16 and UTF-32, is refused.

#include <QByteArray>
#include <QString>

#include <optional>

namespace platform {

class SVGMarkupScan {
public:
    static constexpr qsizetype kMaximumAttributes = 256;
    static constexpr qsizetype kMaximumDeclaredAttributes = 64;
    static constexpr qsizetype kMaximumEntityReferences = 1024;

    struct Counts {
        qsizetype elements = 0;
        qsizetype attributes = 0;
    };

    // None, with the reason, when the markup asks for more than the limits allow.
    static std::optional<Counts> scan(const QByteArray& data, QString* reason);
};

} // namespace platform
