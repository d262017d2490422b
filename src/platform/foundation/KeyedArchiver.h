#pragma once

// Writes an object graph as a keyed archive: a binary property list with "$archiver",
// "$version", "$top" and "$objects", objects referenced by UID. Shared objects are
// written once; conditional references resolve when encoding finishes (to "$null"
// when the object was never encoded unconditionally).
//
// Keys written outside any object go into "$top". Numbers, booleans and data are stored
// in place; strings (each distinct one once), objects, lists, dictionaries and the Qt
// value types are entries of "$objects". Points, sizes and rects are strings such as
// "{{x, y}, {w, h}}". Archiving a value of any other type is a programming error.

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

class KeyedArchiver {
public:
    KeyedArchiver();
    ~KeyedArchiver();

    static QByteArray archivedDataWithRootObject(const ZQObject* root);
    // An archive made only to copy the graph: classes leave out what their copies take over
    // from the originals by reference (see isForCopying).
    static QByteArray archivedDataForCopyingRootObject(const ZQObject* root);
    // The same for several graphs, their roots in one list: copying thousands of objects an
    // archive each costs more than the copies themselves.
    static QByteArray archivedDataForCopyingRootObjects(const QList<std::shared_ptr<ZQObject>>& roots);
    bool isForCopying() const;

    // Objects (null allowed); numbers, strings, data, lists and dictionaries of these and of
    // objects (ZQObjectPtr), and the Qt value types below, all as QVariant.
    void encodeObject(const ZQObject* object, const QString& key);
    void encodeConditionalObject(const ZQObject* object, const QString& key);
    void encodeObject(const QVariant& value, const QString& key);
    // What encodeObject writes for a QVariantMap under `keys` (in the map's order) whose values
    // are objects of `valueClass` that nothing else references, without making the objects:
    // `fields(i)` encodes the i-th value's fields, as its encodeWithCoder would.
    void encodeUnsharedObjectDictionary(const QStringList& keys, const QMetaObject& valueClass,
                                        const std::function<void(qsizetype)>& fields, const QString& key);

    void encodeBool(bool value, const QString& key);
    void encodeInt(qint64 value, const QString& key);
    void encodeDouble(double value, const QString& key);
    void encodeString(const QString& value, const QString& key);
    // A string no other of the archive repeats, such as an object's unique key: written without
    // looking for an equal one to share, as a million of them would make that search the cost
    // of copying and saving.
    void encodeUniqueString(const QString& value, const QString& key);
    void encodeData(const QByteArray& value, const QString& key);
    void encodePoint(QPointF value, const QString& key);
    void encodeSize(QSizeF value, const QString& key);
    void encodeRect(const QRectF& value, const QString& key);
    void encodeColor(const QColor& value, const QString& key);
    void encodeFont(const QFont& value, const QString& key);
    void encodeTransform(const QTransform& value, const QString& key);
    void encodePath(const QPainterPath& value, const QString& key);
    void encodeImage(const QImage& value, const QString& key);

    void encodeRootObject(const ZQObject* root);
    // Resolves conditional references and answers the archive.
    QByteArray finishEncoding();

private:
    struct Private;
    std::unique_ptr<Private> d;
};

} // namespace platform
