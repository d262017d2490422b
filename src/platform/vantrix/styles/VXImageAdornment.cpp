#include "platform/vantrix/styles/VXImageAdornment.h"

#include "platform/graphics/GraphicsContext.h"
#include "platform/vantrix/drawables/VXRenderable.h"
#include "platform/vantrix/render/ImageEffects.h"

#include <QPainter>
#include <QtMath>

VXImageAdornment::VXImageAdornment() = default;

QString VXImageAdornment::displayName() const
{
    return tr("Image");
}

void VXImageAdornment::setImage(const QImage& image)
{
    setValueForKeyWithUndo(m_image, image.isNull() ? image : image.convertToFormat(QImage::Format_ARGB32_Premultiplied),
                           "image");
}

void VXImageAdornment::setClipping(int clipping)
{
    if (platform::isClippingValue(clipping))
        setValueForKeyWithUndo(m_clipping, clipping, "clipping");
}

void VXImageAdornment::setScale(double scale)
{
    if (scale > 0)
        setValueForKeyWithUndo(m_scale, scale, "scale");
}

void VXImageAdornment::setOpacity(double opacity)
{
    setValueForKeyWithUndo(m_opacity, std::clamp(opacity, 0.0, 1.0), "opacity");
}

void VXImageAdornment::setAngleInDegrees(double angle)
{
    setValueForKeyWithUndo(m_angleInDegrees, angle, "angleInDegrees");
}

void VXImageAdornment::setFittingOption(int option)
{
    if (option >= kFitToObject && option <= kScaleBy)
        setValueForKeyWithUndo(m_fittingOption, option, "fittingOption");
}

void VXImageAdornment::setOperation(int operation)
{
    if (platform::isBlendOperation(operation))
        setValueForKeyWithUndo(m_operation, operation, "operation");
}

QSizeF VXImageAdornment::drawnSizeForObjectSize(QSizeF objectSize) const
{
    const QSizeF image = m_image.size();
    switch (m_fittingOption) {
    case kFitToObject: return objectSize;
    case kFitProportionally: return image.scaled(objectSize, Qt::KeepAspectRatio);
    default: return image * m_scale;
    }
}

void VXImageAdornment::render(const VXRenderable& object) const
{
    platform::GraphicsContext* context = platform::GraphicsContext::current();
    if (!context || !isValid())
        return;
    const QSizeF size = drawnSizeForObjectSize(object.size());
    if (size.isEmpty())
        return;
    QPainter* painter = context->painter();
    painter->save();
    platform::clipPainterToPath(*painter, object.renderingPath().painterPathWithWindingRule(), m_clipping);
    painter->translate(object.location());
    painter->rotate(qRadiansToDegrees(object.angle()) + m_angleInDegrees);
    painter->setOpacity(painter->opacity() * m_opacity);
    painter->setCompositionMode(QPainter::CompositionMode(m_operation));
    painter->setRenderHint(QPainter::SmoothPixmapTransform);
    painter->drawImage(QRectF(QPointF(-size.width() / 2, -size.height() / 2), size), m_image);
    painter->restore();
}

QSizeF VXImageAdornment::extraSpaceNeeded() const
{
    // Fitted images stay within the object's box unless turned; an image at its own size
    // may reach anywhere.
    if (m_clipping == kVXClipInsidePath || m_fittingOption != kScaleBy || m_image.isNull())
        return {0, 0};
    const double reach = std::hypot(m_image.width(), m_image.height()) * m_scale / 2;
    return {reach, reach};
}

bool VXImageAdornment::isValid() const
{
    return !m_image.isNull() && m_opacity > 0;
}
