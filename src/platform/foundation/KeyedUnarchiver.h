#pragma once

// Reads keyed archives written by KeyedArchiver. Archives come from files written by
// anyone: only registered classes are made, every UID and type is checked, nesting is
// capped, and damage ends in an error (or a skipped object and a log line), never a crash.
//
// A damaged or unknown object asked for at the top level (the root) is an error (code 101);
// one nested in another object or in a list is skipped: it decodes as null (lists drop it)
// and a line is logged. An exception thrown while decoding (ZQ_ASSERT in initWithCoder)
// stops decoding and becomes the error. Each object is made once and shared by every
// reference; it is known before its initWithCoder runs, so references back to it from
// inside (cycles) get the object being decoded.

#include "platform/foundation/QuorvaneError.h"
#include "platform/foundation/ZQObject.h"

#include <QByteArray>
#include <QPointF>
#include <QRectF>
#include <QSizeF>
#include <QString>
#include <functional>
#include <memory>

class QColor;
class QFont;
class QImage;
class QPainterPath;
class QTransform;

namespace platform {

class KeyedUnarchiver {
public:
    // Where the bytes come from. ThisProcess: a KeyedArchiver of this process wrote them, and
    // they have stayed in a buffer no one else can change since (one still shared with the
    // one written); their structure needs no second reading before they are decoded.
    enum class Origin { Anyone, ThisProcess };

    explicit KeyedUnarchiver(const QByteArray& data, Origin origin = Origin::Anyone);
    ~KeyedUnarchiver();

    // The root object, or null with `error` set (code 101).
    static ZQObjectPtr unarchiveObjectWithData(const QByteArray& data, QuorvaneError* error = nullptr);
    // The root of an archive KeyedArchiver::archivedDataForCopyingRootObject made in this
    // process: what the classes left out is missing, and isForCopying tells them so.
    static ZQObjectPtr unarchiveObjectForCopyingWithData(const QByteArray& data);
    // The roots of an archive KeyedArchiver::archivedDataForCopyingRootObjects made, in their
    // order; empty when any of them could not be read.
    static QList<ZQObjectPtr> unarchiveObjectsForCopyingWithData(const QByteArray& data);
    bool isForCopying() const;
    // Whether the decoded objects are to be new ones (a paste, a copy) rather than the archived
    // ones brought back: they then read no identity, such as a unique key, and make their own.
    // Copying archives always make new objects.
    void setMakesNewObjects(bool makesNew);
    bool makesNewObjects() const;

    // Archives name classes that were renamed since; decoding maps the old name to the new.
    // An empty current name forgets the mapping.
    static void setClassForClassName(const QString& currentClassName, const QString& oldClassName);
    // The current name set for an old one; empty when none is.
    static QString classForClassName(const QString& oldClassName);

    // Deeper nesting of objects and lists than this is an error.
    static constexpr int kMaximumDepth = 256;

    bool isValid() const;
    QuorvaneError error() const;
    ZQObjectPtr decodeRootObject();

    bool containsValueForKey(const QString& key) const;

    // Absent keys answer null / zero / empty. An entry of the wrong type answers the same
    // and is logged.
    ZQObjectPtr decodeObject(const QString& key);
    // Null, with a log line, when the object is not a T.
    template <class T>
    std::shared_ptr<T> decodeObjectOfClass(const QString& key)
    {
        const ZQObjectPtr object = decodeObject(key);
        std::shared_ptr<T> typed = std::dynamic_pointer_cast<T>(object);
        if (object && !typed)
            logUnexpectedClass(key, *object);
        return typed;
    }
    // Plist values, lists and dictionaries (objects inside them as ZQObjectPtr), Qt value types.
    QVariant decodeValue(const QString& key);
    // The members of the dictionary decodeValue would answer for `key`, without making the
    // objects of `valueClass` it holds: `fields(name)` reads such a member's fields with this
    // unarchiver's decode calls, as the class's initWithCoder would. Other members are decoded
    // as decodeValue decodes them and given to `other(name, value)`.
    void decodeDictionaryReadingClass(const QString& key, const QMetaObject& valueClass,
                                      const std::function<void(const QString& name)>& fields,
                                      const std::function<void(const QString& name, const QVariant& value)>& other);

    bool decodeBool(const QString& key);
    qint64 decodeInt(const QString& key);
    double decodeDouble(const QString& key);
    QString decodeString(const QString& key);
    QByteArray decodeData(const QString& key);
    QPointF decodePoint(const QString& key);
    QSizeF decodeSize(const QString& key);
    QRectF decodeRect(const QString& key);
    QColor decodeColor(const QString& key);
    QFont decodeFont(const QString& key);
    QTransform decodeTransform(const QString& key);
    QPainterPath decodePath(const QString& key);
    QImage decodeImage(const QString& key);

private:
    static void logUnexpectedClass(const QString& key, const ZQObject& object);

    struct Private;
    std::unique_ptr<Private> d;
};

} // namespace platform
