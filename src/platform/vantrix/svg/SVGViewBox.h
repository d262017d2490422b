#pragma once

// SVG viewBox attributes and how preserveAspectRatio fits them into a viewport (also used
// to fit images into their boxes).

#include <QRectF>
#include <QString>
#include <QTransform>

#include <optional>

namespace platform {

class SVGViewBox {
public:
    // "min-x min-y width height"; nothing unless both sizes are positive.
    static std::optional<QRectF> parse(QStringView text);
    // Maps `viewBox` into a viewport of that size at the origin: "none" stretches, otherwise
    // the alignment (default xMidYMid) with meet (default) or slice. Identity for an empty box.
    static QTransform transform(const QRectF& viewBox, QStringView preserveAspectRatio, QSizeF viewport);
};

} // namespace platform
