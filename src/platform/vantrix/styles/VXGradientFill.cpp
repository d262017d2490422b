#include "platform/vantrix/styles/VXGradientFill.h"

#include "platform/graphics/BezierPath.h"
#include "platform/graphics/GradientFilling.h"
#include "platform/graphics/GraphicsContext.h"
#include "platform/vantrix/drawables/VXRenderable.h"

#include <QLinearGradient>
#include <QPainter>
#include <QRadialGradient>
#include <QtMath>

namespace {

bool s_pdfTransparencyWorkaround = true;

bool isFinitePoint(QPointF p)
{
    return std::isfinite(p.x()) && std::isfinite(p.y());
}

} // namespace

VXGradientFill::VXGradientFill()
    : m_gradient(std::make_shared<VXGradient>())
{
}

std::shared_ptr<VXGradientFill> VXGradientFill::gradientFillWithGradient(const VXGradientPtr& gradient)
{
    auto fill = std::make_shared<VXGradientFill>();
    fill->setGradient(gradient);
    return fill;
}

QString VXGradientFill::displayName() const
{
    return tr("Gradient Fill");
}

void VXGradientFill::setGradient(const VXGradientPtr& gradient)
{
    setValueForKeyWithUndo(m_gradient, gradient, "gradient");
}

void VXGradientFill::setGradientAngle(double angle)
{
    setValueForKeyWithUndo(m_gradientAngle, angle, "gradientAngle");
}

void VXGradientFill::setStartingLocation(QPointF location)
{
    if (isFinitePoint(location))
        setValueForKeyWithUndo(m_startingLocation, location, "startingLocation");
}

void VXGradientFill::setEndingLocation(QPointF location)
{
    if (isFinitePoint(location))
        setValueForKeyWithUndo(m_endingLocation, location, "endingLocation");
}

void VXGradientFill::setGradientType(int type)
{
    if (type == kLinearGradient || type == kRadialGradient)
        setValueForKeyWithUndo(m_gradientType, type, "gradientType");
}

void VXGradientFill::setStartingRadius(double radius)
{
    setValueForKeyWithUndo(m_startingRadius, std::max(radius, 0.0), "startingRadius");
}

void VXGradientFill::setEndingRadius(double radius)
{
    setValueForKeyWithUndo(m_endingRadius, std::max(radius, 0.0), "endingRadius");
}

void VXGradientFill::setAngleIsRelative(bool relative)
{
    setValueForKeyWithUndo(m_angleIsRelative, relative, "angleIsRelative");
}

void VXGradientFill::setRadialParametersAreRelative(bool relative)
{
    setValueForKeyWithUndo(m_radialParametersAreRelative, relative, "radialParametersAreRelative");
}

QColor VXGradientFill::colourAtStopIndex(int index) const
{
    return m_gradient ? m_gradient->colourAtStopIndex(index) : QColor();
}

int VXGradientFill::numberOfColours() const
{
    return m_gradient ? m_gradient->numberOfColours() : 0;
}

bool VXGradientFill::pdfTransparencyWorkaround()
{
    return s_pdfTransparencyWorkaround;
}

void VXGradientFill::setPdfTransparencyWorkaround(bool workaround)
{
    s_pdfTransparencyWorkaround = workaround;
}

void VXGradientFill::drawInRectAngle(const QRectF& rect, double angle) const
{
    QPainterPath path;
    path.addRect(rect);
    const QRectF box(-rect.width() / 2, -rect.height() / 2, rect.width(), rect.height());
    fillPathInBox(path, box, m_gradientAngle + angle, QTransform::fromTranslate(rect.center().x(), rect.center().y()));
}

void VXGradientFill::render(const VXRenderable& object) const
{
    const platform::BezierPath path = object.renderingPath();
    if (!m_angleIsRelative) {
        fillPathInBox(path.painterPathWithWindingRule(), path.bounds(), m_gradientAngle, QTransform());
        return;
    }
    // The object's own box, turned and placed as the object is.
    const QSizeF size = object.size();
    const QRectF box(-size.width() / 2, -size.height() / 2, size.width(), size.height());
    QTransform boxToDrawing;
    boxToDrawing.translate(object.location().x(), object.location().y());
    boxToDrawing.rotateRadians(object.angle());
    fillPathInBox(path.painterPathWithWindingRule(), box, m_gradientAngle,
                  boxToDrawing * object.containerTransform());
}

void VXGradientFill::fillPathInBox(const QPainterPath& path, const QRectF& box, double angle,
                                   const QTransform& boxToDrawing) const
{
    platform::GraphicsContext* context = platform::GraphicsContext::current();
    if (!context || !isValid() || box.isEmpty())
        return;
    QGradient gradient;
    if (m_gradientType == kRadialGradient) {
        const double scale = m_radialParametersAreRelative ? std::max(box.width(), box.height()) : 1.0;
        const auto at = [&](QPointF location) {
            return m_radialParametersAreRelative
                ? box.center() + QPointF(location.x() * box.width(), location.y() * box.height())
                : box.center() + location;
        };
        gradient = QRadialGradient(at(m_endingLocation), m_endingRadius * scale, at(m_startingLocation),
                                   m_startingRadius * scale);
    } else {
        // The gradient line crosses the box through its centre and spans its projection.
        const QPointF direction(std::cos(angle), std::sin(angle));
        const double halfLength = (box.width() * std::abs(direction.x()) + box.height() * std::abs(direction.y())) / 2;
        gradient = QLinearGradient(box.center() - direction * halfLength, box.center() + direction * halfLength);
    }
    gradient.setStops(m_gradient->gradientStops());
    gradient.setSpread(QGradient::PadSpread);

    QBrush brush(gradient);
    brush.setTransform(boxToDrawing);
    platform::fillPathWithGradient(*context->painter(), path, brush,
                                   s_pdfTransparencyWorkaround ? platform::UnevenGradientAlpha::AsImage
                                                               : platform::UnevenGradientAlpha::AsDrawn);
}

bool VXGradientFill::isValid() const
{
    return m_gradient && m_gradient->numberOfColours() > 0;
}
