#include "platform/vantrix/styles/VXRepeatTransformGroup.h"

#include "platform/graphics/GraphicsContext.h"
#include "platform/vantrix/drawables/RenderableWithPath.h"
#include "platform/vantrix/render/DeviceLayer.h"

namespace {

bool isUsable(const QTransform& transform)
{
    return std::isfinite(transform.m11()) && std::isfinite(transform.m12()) && std::isfinite(transform.m21())
        && std::isfinite(transform.m22()) && std::isfinite(transform.dx()) && std::isfinite(transform.dy())
        && transform.isInvertible();
}

double validScale(double scale)
{
    return std::clamp(scale, 1e-3, VXRepeatTransformGroup::kMaximumScale);
}

} // namespace

VXRepeatTransformGroup::VXRepeatTransformGroup() = default;

QString VXRepeatTransformGroup::displayName() const
{
    return tr("Repeat Group");
}

void VXRepeatTransformGroup::setDeltaX(double delta)
{
    setValueForKeyWithUndo(m_deltaX, delta, "deltaX");
}

void VXRepeatTransformGroup::setDeltaY(double delta)
{
    setValueForKeyWithUndo(m_deltaY, delta, "deltaY");
}

void VXRepeatTransformGroup::setScaleX(double scale)
{
    setValueForKeyWithUndo(m_scaleX, validScale(scale), "scaleX");
}

void VXRepeatTransformGroup::setScaleY(double scale)
{
    setValueForKeyWithUndo(m_scaleY, validScale(scale), "scaleY");
}

void VXRepeatTransformGroup::setDeltaAngle(double radians)
{
    setValueForKeyWithUndo(m_deltaAngle, radians, "deltaAngle");
}

void VXRepeatTransformGroup::setNumberOfRepeats(int count)
{
    setValueForKeyWithUndo(m_numberOfRepeats, std::clamp(count, 0, kMaximumNumberOfRepeats), "numberOfRepeats");
}

void VXRepeatTransformGroup::setAngleIsRelative(bool relative)
{
    setValueForKeyWithUndo(m_angleIsRelative, relative, "angleIsRelative");
}

void VXRepeatTransformGroup::setReversed(bool reversed)
{
    setValueForKeyWithUndo(m_reversed, reversed, "reversed");
}

void VXRepeatTransformGroup::setBlendColour(const QColor& colour)
{
    setValueForKeyWithUndo(m_blendColour, colour, "blendColour");
}

QTransform VXRepeatTransformGroup::transformForCopyOfObject(int index, const VXRenderable& object) const
{
    const QPointF centre = object.location();
    QPointF move(m_deltaX, m_deltaY);
    if (m_angleIsRelative)
        move = QTransform().rotateRadians(object.angle()).map(move);
    QTransform step;
    step.translate(centre.x() + move.x(), centre.y() + move.y());
    step.rotateRadians(m_deltaAngle);
    step.scale(m_scaleX, m_scaleY);
    step.translate(-centre.x(), -centre.y());
    QTransform copy;
    for (int i = 0; i < index; ++i)
        copy *= step;
    return copy;
}

void VXRepeatTransformGroup::render(const VXRenderable& object) const
{
    for (int i = 0; i <= m_numberOfRepeats; ++i)
        renderCopy(m_reversed ? m_numberOfRepeats - i : i, object);
}

void VXRepeatTransformGroup::renderCopy(int index, const VXRenderable& object) const
{
    const QTransform placement = transformForCopyOfObject(index, object);
    if (!isUsable(placement))
        return;
    platform::BezierPath path = object.renderingPath();
    path.transformUsingAffineTransform(placement);
    const platform::RenderableWithPath copy(object, path, placement, quint64(index) * 0x9E3779B97F4A7C15ULL);
    platform::GraphicsContext* context = platform::GraphicsContext::current();
    const double tint = m_numberOfRepeats > 0 ? double(index) / m_numberOfRepeats : 0;
    if (!context || !m_blendColour.isValid() || tint == 0) {
        VXRastGroup::render(copy);
        return;
    }
    const QSizeF extra = VXRastGroup::extraSpaceNeeded();
    platform::DeviceLayer layer(*context->painter(), copy.bounds().adjusted(-extra.width(), -extra.height(),
                                                                           extra.width(), extra.height()));
    layer.paint([&] { VXRastGroup::render(copy); });
    if (layer.isEmpty())
        return;
    {
        // Tint what the copy drew, and only that.
        QPainter tinter(&layer.image());
        tinter.setCompositionMode(QPainter::CompositionMode_SourceAtop);
        tinter.setOpacity(tint);
        tinter.fillRect(layer.image().rect(), m_blendColour);
    }
    layer.drawBack(layer.image());
}

QSizeF VXRepeatTransformGroup::extraSpaceNeeded() const
{
    const QSizeF members = VXRastGroup::extraSpaceNeeded();
    const double reach = std::hypot(m_deltaX, m_deltaY) * m_numberOfRepeats;
    return members + QSizeF(reach, reach);
}
