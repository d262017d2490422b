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

    platform::BezierPath renderingPath() const override { return m_path; }
    double angle() const override { return m_angle; }
    QSizeF size() const override { return m_size.isValid() ? m_size : m_path.bounds().size(); }
    QPointF location() const override { return m_size.isValid() ? m_location : m_path.bounds().center(); }
    QRectF bounds() const override { return m_path.bounds(); }
    QTransform containerTransform() const override { return {}; }
    quint64 geometryChecksum() const override { return 0; }

private:
    platform::BezierPath m_path;
    double m_angle;
    QSizeF m_size;
    QPointF m_location;
};

// The rasterizer drawn on a white 100 x 100 image, antialiased.
inline QImage render(const VXRasterizer& rasterizer, const VXRenderable& object, QSize size = QSize(100, 100))
{
    QImage image(size, QImage::Format_ARGB32_Premultiplied);
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

} // namespace styletest
