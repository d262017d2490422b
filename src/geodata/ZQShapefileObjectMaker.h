#pragma once

// What a shapefile reader asks of whoever turns its records into drawables: one record,
// converted into a path in drawing coordinates and paired with its attributes, at a time.
// Geodata does not know the drawing framework; the application implements this. Called on
// the parsing thread; one instance per import.

#include "geodata/AttributeValue.h"

#include "platform/foundation/ZQObject.h"

#include <QPainterPath>
#include <memory>

class QThread;

class ZQShapefileObjectMaker {
public:
    virtual ~ZQShapefileObjectMaker() = default;

    // The drawable for a record of `shapeType`, or null for shape types it does not make.
    // Records that name one row are handed copies of one dictionary, shared
    // (AttributeDictionary::isShared) while later records will name it again.
    // May throw; the reader then counts the record as not loaded and goes on.
    virtual std::shared_ptr<ZQObject> objectForShapeWithPathAttributes(qint32 shapeType, const QPainterPath& path,
                                                                       const geodata::AttributeDictionary* attributes) = 0;

    // Gives a new object a user-info entry (a property-list value). The default reaches it
    // through the object's setUserInfoObjectForKey, when it has one.
    virtual void setUserInfoObjectForKey(const std::shared_ptr<ZQObject>& object, const QVariant& value,
                                         const QString& key)
    {
        static const QByteArray setter = QByteArrayLiteral("setUserInfoObjectForKey");
        if (object->respondsToSelector(setter))
            object->performSelector(setter, {value, key});
    }

    // Objects made on the parsing thread go to `thread` (the main thread) before they are
    // handed over, with everything they hold that is a QObject (styles, metadata items).
    // The default moves the object alone.
    virtual void moveObjectToThread(const std::shared_ptr<ZQObject>& object, QThread* thread)
    {
        object->moveToThread(thread);
    }
};
