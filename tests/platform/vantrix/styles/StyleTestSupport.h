#pragma once

// What the style tests draw on: a path standing in for a drawable, rendered into an image.

#include "platform/graphics/BezierPath.h"
#include "platform/graphics/GraphicsContext.h"
#include "platform/vantrix/styles/VXRasterizer.h"
#include "platform/vantrix/drawables/VXRenderable.h"

#include <QColor>
#include <QImage>
#include <QPainter>
#include <gtest/gtest.h>

namespace styletest {

class PathRenderable : public VXRenderable {
public:
    explicit PathRenderable(platform::BezierPath path, double angle = 0) : m_path(std::move(path)), m_angle(angle) {}
    // A rectangle turned by `angle` about its centre.
    static PathRenderable rectangle(const QRectF& rect, double angle = 0)
    {
        platform::BezierPath path = platform::BezierPath::bezierPathWithRect(rect.translated(-rect.center()));
        QTransform placement;
        placement.translate(rect.center().x(), rect.center().y());
        placement.rotateRadians(angle);
        path.transformUsingAffineTransform(placement);
        PathRenderable renderable(path, angle);
        renderable.m_size = rect.size();
        renderable.m_location = rect.center();
        return renderable;
    }
    static PathRenderable line(QPointF from, QPointF to)
    {
        platform::BezierPath path;
        path.moveToPoint(from);
        path.lineToPoint(to);
        return PathRenderable(path);
    }
    // The same geometry under another checksum, which seeds an object's random roughness.
    PathRenderable withChecksum(quint64 checksum) const
    {
        PathRenderable copy(*this);
        copy.m_checksum = checksum;
        return copy;
    }

    platform::BezierPath renderingPath() const override { return m_path; }
    double angle() const override { return m_angle; }
    QSizeF size() const override { return m_size.isValid() ? m_size : m_path.bounds().size(); }
    QPointF location() const override { return m_size.isValid() ? m_location : m_path.bounds().center(); }
    QRectF bounds() const override { return m_path.bounds(); }
    QTransform containerTransform() const override { return {}; }
    quint64 geometryChecksum() const override { return m_checksum; }

private:
    platform::BezierPath m_path;
    double m_angle;
    QSizeF m_size;
    QPointF m_location;
    quint64 m_checksum = 0;
};

// The rasterizer drawn on a white image of `size` units, antialiased, at `pixelRatio` pixels per unit.
inline QImage render(const VXRasterizer& rasterizer, const VXRenderable& object, QSize size = QSize(100, 100),
                     int pixelRatio = 1)
{
    QImage image(size * pixelRatio, QImage::Format_ARGB32_Premultiplied);
    image.setDevicePixelRatio(pixelRatio);
    image.fill(Qt::white);
    QPainter painter(&image);
    painter.setRenderHint(QPainter::Antialiasing);
    const platform::GraphicsContext::Scope scope(&painter);
    rasterizer.render(object);
    return image;
}

inline ::testing::AssertionResult colourNear(const QColor& actual, const QColor& expected, int tolerance = 3)
{
    const int difference = std::max({std::abs(actual.red() - expected.red()), std::abs(actual.green() - expected.green()),
                                     std::abs(actual.blue() - expected.blue()),
                                     std::abs(actual.alpha() - expected.alpha())});
    if (difference <= tolerance)
        return ::testing::AssertionSuccess();
    return ::testing::AssertionFailure() << actual.name(QColor::HexArgb).toStdString() << " is not near "
                                         << expected.name(QColor::HexArgb).toStdString();
}

// Whether every one of `points` has `colour`, within `tolerance`; a failure names those that differ.
inline ::testing::AssertionResult coloursAt(const QImage& image, std::initializer_list<QPoint> points,
                                            const QColor& colour, int tolerance = 0)
{
    std::string wrong;
    for (const QPoint point : points)
        if (!colourNear(image.pixelColor(point), colour, tolerance))
            wrong += " (" + std::to_string(point.x()) + ", " + std::to_string(point.y()) + ") is "
                     + image.pixelColor(point).name(QColor::HexArgb).toStdString();
    if (wrong.empty())
        return ::testing::AssertionSuccess();
    return ::testing::AssertionFailure() << "not " << colour.name(QColor::HexArgb).toStdString() << ":" << wrong;
}

} // namespace styletest
