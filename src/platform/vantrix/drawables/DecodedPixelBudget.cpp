#include "platform/vantrix/drawables/DecodedPixelBudget.h"

#include "platform/vantrix/drawables/VXImageShape.h"
#include "platform/vantrix/drawables/VXShapeGroup.h"
#include "platform/vantrix/model/VXDrawing.h"
#include "platform/vantrix/model/VXObjectOwnerLayer.h"

#include <QCoreApplication>

namespace platform {

namespace {

QString tr(const char* text)
{
    return QCoreApplication::translate("DecodedPixelBudget", text);
}

} // namespace

bool DecodedPixelBudget::admit(const std::shared_ptr<const SharedImage>& image, QString* reason)
{
    if (!image || m_admitted.contains(image))
        return true;
    const QSize size = image->pixelSize();
    const qint64 pixels = qint64(size.width()) * size.height();
    const auto refuse = [&](const QString& why) {
        if (reason)
            *reason = why;
        return false;
    };
    if (pixels > SharedImage::kMaximumPixels)
        return refuse(tr("the image has %1 × %2 pixels, more than the %L3 one image may have")
                          .arg(size.width())
                          .arg(size.height())
                          .arg(SharedImage::kMaximumPixels));
    if (pixels > m_remaining)
        return refuse(tr("the images would decode to more than %L1 pixels together, which an image of %2 × %3 "
                         "pixels passes")
                          .arg(m_pixels)
                          .arg(size.width())
                          .arg(size.height()));
    m_remaining -= pixels;
    m_admitted.insert(image);
    return true;
}

bool DecodedPixelBudget::admitImagesOf(const VXDrawing& drawing, QString* reason)
{
    QList<VXDrawableObjectPtr> objects;
    for (const VXLayerPtr& layer : drawing.flattenedLayers()) {
        if (const auto* owner = dynamic_cast<const VXObjectOwnerLayer*>(layer.get()))
            objects += owner->objects();
    }
    // Groups open up in place, so the walk needs no recursion.
    for (qsizetype i = 0; i < objects.size(); ++i) {
        const auto* shape = qobject_cast<const VXImageShape*>(objects[i].get());
        if (shape && !admit(shape->sharedImage(), reason))
            return false;
        if (const auto* group = qobject_cast<const VXShapeGroup*>(objects[i].get()))
            objects += group->groupObjects();
    }
    return true;
}

} // namespace platform
