#include "platform/vantrix/styles/VXTilingFill.h"

#include "platform/foundation/ZQLog.h"
#include "platform/graphics/GraphicsContext.h"
#include "platform/vantrix/drawables/VXRenderable.h"

#include <QBuffer>
#include <QImageReader>
#include <QPainter>

VXTilingFill::VXTilingFill() = default;

QString VXTilingFill::displayName() const
{
    return tr("Tiling Fill");
}

void VXTilingFill::setImage(const QImage& image)
{
    setValueForKeyWithUndo(m_image, image.isNull() ? image : image.convertToFormat(QImage::Format_ARGB32_Premultiplied),
                           "image");
}

void VXTilingFill::setOpacity(double opacity)
{
    setValueForKeyWithUndo(m_opacity, std::clamp(opacity, 0.0, 1.0), "opacity");
}

bool VXTilingFill::setImageData(const QByteArray& data)
{
    QBuffer buffer;
    buffer.setData(data);
    buffer.open(QIODevice::ReadOnly);
    QImageReader reader(&buffer);
    const QSize size = reader.size();
    if (size.isEmpty() || qint64(size.width()) * size.height() > kMaximumImagePixels) {
        ZQLogObjCMethod(QStringLiteral("refused a tiling image of %1 x %2").arg(size.width()).arg(size.height()));
        return false;
    }
    const QImage image = reader.read();
    if (image.isNull()) {
        ZQLogObjCMethod(QStringLiteral("unreadable tiling image: %1").arg(reader.errorString()));
        return false;
    }
    setImage(image);
    return true;
}

void VXTilingFill::render(const VXRenderable& object) const
{
    platform::GraphicsContext* context = platform::GraphicsContext::current();
    if (!context || !isValid())
        return;
    QPainter* painter = context->painter();
    painter->save();
    painter->setOpacity(painter->opacity() * m_opacity);
    painter->fillPath(object.renderingPath().painterPathWithWindingRule(), QBrush(m_image));
    painter->restore();
}

bool VXTilingFill::isValid() const
{
    return !m_image.isNull() && m_opacity > 0;
}
