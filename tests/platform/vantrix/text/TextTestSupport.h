#pragma once

// What the text tests draw on and look at: objects with metadata, a font every machine has,
// and the extent of the ink an image received.

#include "platform/vantrix/styles/StyleTestSupport.h"

#include <QFont>
#include <QVariantMap>
#include <algorithm>
#include <cmath>
#include <functional>

namespace texttest {

// A rectangle or path that answers metadata for "%%key" substitutions.
class MetadataRenderable : public styletest::PathRenderable {
public:
    MetadataRenderable(const styletest::PathRenderable& shape, QVariantMap metadata = {})
        : styletest::PathRenderable(shape)
        , m_metadata(std::move(metadata))
    {
    }
    QVariant metadataObjectForKey(const QString& key) const override { return m_metadata.value(key.toLower()); }

private:
    QVariantMap m_metadata;
};

inline QFont testFont(double size = 20)
{
    QFont font(QStringLiteral("DejaVu Sans"));
    font.setPointSizeF(size);
    return font;
}

// The pixels of `image` that `isInk` accepts: their bounding box (empty when there are none)
// and their number.
struct Ink {
    QRect bounds;
    int count = 0;
};

inline Ink ink(const QImage& image, const std::function<bool(QColor)>& isInk)
{
    Ink found;
    for (int y = 0; y < image.height(); ++y)
        for (int x = 0; x < image.width(); ++x)
            if (isInk(image.pixelColor(x, y))) {
                found.bounds |= QRect(x, y, 1, 1);
                ++found.count;
            }
    return found;
}

inline bool isDark(QColor c)
{
    return c.lightness() < 128;
}

inline bool isReddish(QColor c)
{
    return c.red() > 200 && c.green() < 80 && c.blue() < 80;
}

inline bool isNotWhite(QColor c)
{
    return c != QColor(Qt::white);
}

// The dark pixels of `image` and the greatest distance of any of them from the line through a and b.
struct InkAlongLine {
    int pixels = 0;
    double farthest = 0;
};

inline InkAlongLine inkAlongLine(const QImage& image, QPointF a, QPointF b)
{
    const QPointF d = b - a;
    InkAlongLine ink;
    for (int y = 0; y < image.height(); ++y) {
        for (int x = 0; x < image.width(); ++x) {
            if (!isDark(image.pixelColor(x, y)))
                continue;
            ++ink.pixels;
            const double distance = std::abs(d.x() * (a.y() - y) - d.y() * (a.x() - x)) / std::hypot(d.x(), d.y());
            ink.farthest = std::max(ink.farthest, distance);
        }
    }
    return ink;
}

} // namespace texttest
