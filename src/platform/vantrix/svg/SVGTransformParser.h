#pragma once

// Reads SVG transform lists: matrix, translate, scale, rotate (about an optional centre),
// skewX and skewY, separated by white space or commas and applied right to left.

#include <QStringView>
#include <QTransform>

#include <optional>

namespace platform {

class SVGTransformParser {
public:
    // Nothing when the list is malformed (SVG then ignores the whole attribute).
    static std::optional<QTransform> parse(QStringView text);
};

} // namespace platform
