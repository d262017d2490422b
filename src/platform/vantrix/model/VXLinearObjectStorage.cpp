#include "platform/vantrix/model/VXLinearObjectStorage.h"

#include "platform/vantrix/drawables/VXDrawableObject.h"

VXLinearObjectStorage::VXLinearObjectStorage() = default;

QList<VXDrawableObject*> VXLinearObjectStorage::candidatesIntersectingRect(const QRectF&) const
{
    QList<VXDrawableObject*> all;
    all.reserve(objects().size());
    for (const VXDrawableObjectPtr& object : objects())
        all.append(object.get());
    return all;
}
