#include "app/commands/ObjectBuffering.h"

#include "platform/vantrix/model/VXObjectDrawingLayer.h"
#include "platform/vantrix/styles/VXStyle.h"

#include <QHash>
#include <cmath>

namespace {

struct Registration {
    ObjectBuffering::OutlineMaker outline;
    QString actionName;
};

QHash<QByteArray, Registration>& registrations()
{
    static QHash<QByteArray, Registration> table;
    return table;
}

// The registration of the object's class or of its nearest superclass that has one.
const Registration* registrationFor(const VXDrawableObject& object)
{
    for (const QMetaObject* cls = object.metaObject(); cls; cls = cls->superClass()) {
        const auto found = registrations().constFind(cls->className());
        if (found != registrations().cend())
            return &found.value();
    }
    return nullptr;
}

} // namespace

void ObjectBuffering::registerClass(const QMetaObject& objectClass, OutlineMaker outline, const QString& actionName)
{
    registrations().insert(objectClass.className(), {std::move(outline), actionName});
}

bool ObjectBuffering::answersBufferByDistance(const VXDrawableObject& object)
{
    return registrationFor(object) != nullptr;
}

VXStylePtr ObjectBuffering::styleForBufferedPaths()
{
    return VXStyle::styleWithFillColourStrokeColour(QColor::fromRgbF(0, 1, 0, 0.25), QColor());
}

VXDrawablePathPtr ObjectBuffering::bufferedPathWithDistance(const VXDrawableObject& object, double distance)
{
    const Registration* registration = registrationFor(object);
    // A zone of no width has no area, and a negative one would be drawn inside out.
    if (!registration || !(distance > 0) || !std::isfinite(distance))
        return nullptr;
    const platform::BezierPath outline = registration->outline(object, distance);
    if (outline.isEmpty())
        return nullptr;
    return VXDrawablePath::drawablePathWithBezierPathWithStyle(outline, styleForBufferedPaths());
}

bool ObjectBuffering::bufferByDistance(VXDrawableObject& object, double distance)
{
    auto* layer = dynamic_cast<VXObjectDrawingLayer*>(object.layer());
    const int index = layer ? layer->indexOfObject(&object) : -1;
    if (index < 0)
        return false;
    const VXDrawablePathPtr zone = bufferedPathWithDistance(object, distance);
    if (!zone)
        return false;
    layer->editWithSelectionUndo(registrationFor(object)->actionName, [&] {
        layer->insertObjectInObjectsAtIndex(zone, index);
        layer->replaceSelectionWithObject(zone);
    });
    return true;
}
