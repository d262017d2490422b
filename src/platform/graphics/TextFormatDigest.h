#pragma once

// A hash of a run's attributes for the text formats made of them. Qt keeps one copy of each
// distinct text format, found by a hash that sees only the type of a map or of a list of font
// families: formats that differ in those alone share one hash, and each new one is compared with
// every other (minutes for a paste of thousands of fonts). A format that carries this digest as
// well is told from the others at once.

#include "platform/graphics/AttributedString.h"

#include <QHashFunctions>
#include <QTextFormat>

namespace platform {

// The property of a text format that carries the digest.
inline constexpr int kAttributesDigestProperty = QTextFormat::UserProperty + 0x52;

// The same for equal attributes.
inline int attributesDigest(const TextAttributes& attributes)
{
    size_t digest = 0;
    for (auto it = attributes.begin(); it != attributes.end(); ++it)
        digest = qHashMulti(digest, it.key(), it.value().toString());
    return int(digest);
}

} // namespace platform
