#include "platform/foundation/KeyedArchiver.h"

#include "platform/foundation/ArchiveFormat.h"
#include "platform/foundation/ArchiveValueCoding.h"
#include "platform/foundation/BinaryPropertyListWriter.h"
#include "platform/foundation/ZQAssert.h"

#include <QColor>
#include <QFont>
#include <QHash>
#include <QImage>
#include <QPainterPath>
#include <QScopeGuard>
#include <QTransform>
#include <optional>
#include <vector>

namespace platform {

using namespace archive;
using Ref = BinaryPropertyListWriter::Ref;

struct KeyedArchiver::Private {
    // The keys and values of a dictionary being filled: $top, or an entry being encoded.
    struct Frame {
        std::vector<Ref> keys;
        std::vector<Ref> values;
    };

    BinaryPropertyListWriter plist;
    std::vector<Ref> entries; // $objects; a UID is an index here
    std::vector<Frame> frames{1};
    size_t openFrames = 1;    // frames beyond this are kept for their capacity
    bool finished = false;

    QHash<const ZQObject*, quint64> objectUids;
    // Keyed by QMetaObject for objects and by the (static) name for value classes.
    QHash<const void*, quint64> classUids;
    QHash<QString, quint64> stringUids;
    std::vector<std::pair<Ref, const ZQObject*>> conditionals;

    Private() { entries.push_back(plist.string(QString::fromLatin1(kNullEntry))); }

    void checkOpen() const { ZQ_ASSERT(!finished, QStringLiteral("encoding after finishEncoding")); }

    Ref key(const char* name) { return plist.string(QString::fromLatin1(name)); }

    void set(Ref key, Ref value)
    {
        checkOpen();
        Frame& frame = frames[openFrames - 1];
        const auto existing = std::find(frame.keys.begin(), frame.keys.end(), key);
        if (existing != frame.keys.end()) {
            frame.values[size_t(existing - frame.keys.begin())] = value;
            return;
        }
        frame.keys.push_back(key);
        frame.values.push_back(value);
    }

    void set(const QString& name, Ref value) { set(plist.string(name), value); }

    quint64 appendEntry(Ref entry)
    {
        checkOpen();
        entries.push_back(entry);
        return entries.size() - 1;
    }

    // Reserves an entry of the class and collects the keys written until `fields` returns
    // into its dictionary; the entry's UID is known (and can be remembered) before that.
    template <class Fields>
    quint64 encodeEntry(quint64 classUid, Fields&& fields)
    {
        const quint64 uid = appendEntry(0);
        if (openFrames == frames.size())
            frames.emplace_back();
        const size_t frame = openFrames++;
        const auto close = qScopeGuard([this] { --openFrames; });
        frames[frame].keys.clear();
        frames[frame].values.clear();
        set(key(kClassKey), plist.uid(classUid));
        fields(uid);
        entries[uid] = plist.dictionary(frames[frame].keys, frames[frame].values);
        return uid;
    }

    quint64 classUid(const void* memoKey, const QStringList& chain)
    {
        const auto found = classUids.constFind(memoKey);
        if (found != classUids.cend())
            return *found;
        std::vector<Ref> names;
        for (const QString& name : chain)
            names.push_back(plist.string(name));
        const Ref keys[] = {key(kClassNameKey), key(kClassChainKey)};
        const Ref values[] = {names.front(), plist.array(names)};
        const quint64 uid = appendEntry(plist.dictionary(keys, values));
        classUids.insert(memoKey, uid);
        return uid;
    }

    quint64 objectClassUid(const QMetaObject* metaObject)
    {
        QStringList chain;
        for (const QMetaObject* m = metaObject; m && m != &QObject::staticMetaObject; m = m->superClass())
            chain << QString::fromLatin1(m->className());
        return classUid(metaObject, chain);
    }

    quint64 valueClassUid(const char* name) { return classUid(name, {QString::fromLatin1(name)}); }

    quint64 objectUid(const ZQObject* object, KeyedArchiver& coder)
    {
        if (!object)
            return 0;
        const auto found = objectUids.constFind(object);
        if (found != objectUids.cend())
            return *found;
        return encodeEntry(objectClassUid(object->metaObject()), [&](quint64 uid) {
            // Remembered first, so references back to the object while it is encoding resolve.
            objectUids.insert(object, uid);
            object->encodeWithCoder(coder);
        });
    }

    quint64 stringUid(const QString& string)
    {
        const auto found = stringUids.constFind(string);
        if (found != stringUids.cend())
            return *found;
        const quint64 uid = appendEntry(plist.string(string));
        stringUids.insert(string, uid);
        return uid;
    }

    // Numbers, booleans and data are written in place; other types are entries.
    std::optional<Ref> scalar(const QVariant& value)
    {
        switch (value.metaType().id()) {
        case QMetaType::Bool: return plist.boolean(value.toBool());
        case QMetaType::Int:
        case QMetaType::UInt:
        case QMetaType::Long:
        case QMetaType::ULong:
        case QMetaType::LongLong:
        case QMetaType::ULongLong:
        case QMetaType::Short:
        case QMetaType::UShort:
        case QMetaType::Char:
        case QMetaType::SChar:
        case QMetaType::UChar: return plist.integer(value.toLongLong());
        case QMetaType::Double:
        case QMetaType::Float: return plist.real(value.toDouble());
        case QMetaType::QByteArray: return plist.data(value.toByteArray());
        default: return std::nullopt;
        }
    }

    Ref members(const QVariantList& list, KeyedArchiver& coder)
    {
        std::vector<Ref> uids;
        uids.reserve(size_t(list.size()));
        for (const QVariant& member : list)
            uids.push_back(plist.uid(variantUid(member, coder)));
        return plist.array(uids);
    }

    quint64 dictionaryUid(const QVariantMap& map, KeyedArchiver& coder)
    {
        return encodeEntry(valueClassUid(kDictionaryClass), [&](quint64) {
            std::vector<Ref> keys;
            keys.reserve(size_t(map.size()));
            for (const QString& k : map.keys())
                keys.push_back(plist.uid(stringUid(k)));
            set(key(kDictionaryKeysKey), plist.array(keys));
            set(key(kMembersKey), members(map.values(), coder));
        });
    }

    quint64 variantUid(const QVariant& value, KeyedArchiver& coder)
    {
        if (isNull(value))
            return 0;
        if (const auto ref = scalar(value))
            return appendEntry(*ref);
        if (ZQObject* object = objectFromVariant(value))
            return objectUid(object, coder);
        if (const char* valueClass = valueClassName(value.metaType()))
            return encodeEntry(valueClassUid(valueClass), [&](quint64) { encodeValueFields(coder, value); });
        switch (value.metaType().id()) {
        case QMetaType::QString: return stringUid(value.toString());
        case QMetaType::QStringList:
        case QMetaType::QVariantList:
            return encodeEntry(valueClassUid(kArrayClass),
                               [&](quint64) { set(key(kMembersKey), members(value.toList(), coder)); });
        case QMetaType::QVariantMap: return dictionaryUid(value.toMap(), coder);
        case QMetaType::QVariantHash: {
            // Sorted, so equal graphs give equal archives.
            const QVariantHash hash = value.toHash();
            QVariantMap sorted;
            for (auto it = hash.cbegin(); it != hash.cend(); ++it)
                sorted.insert(it.key(), it.value());
            return dictionaryUid(sorted, coder);
        }
        default: break;
        }
        failAssertion(QStringLiteral("cannot archive a value of type %1").arg(QLatin1StringView(value.metaType().name())),
                      Q_FUNC_INFO, __FILE__, __LINE__);
    }
};

KeyedArchiver::KeyedArchiver() : d(std::make_unique<Private>()) {}

KeyedArchiver::~KeyedArchiver() = default;

QByteArray KeyedArchiver::archivedDataWithRootObject(const ZQObject* root)
{
    KeyedArchiver archiver;
    archiver.encodeRootObject(root);
    return archiver.finishEncoding();
}

void KeyedArchiver::encodeObject(const ZQObject* object, const QString& key)
{
    d->set(key, d->plist.uid(d->objectUid(object, *this)));
}

void KeyedArchiver::encodeConditionalObject(const ZQObject* object, const QString& key)
{
    const auto found = d->objectUids.constFind(object);
    if (!object || found != d->objectUids.cend()) {
        d->set(key, d->plist.uid(object ? *found : 0));
        return;
    }
    const Ref pending = d->plist.pendingUid();
    d->set(key, pending);
    d->conditionals.emplace_back(pending, object);
}

void KeyedArchiver::encodeObject(const QVariant& value, const QString& key)
{
    const auto ref = d->scalar(value);
    d->set(key, ref ? *ref : d->plist.uid(d->variantUid(value, *this)));
}

void KeyedArchiver::encodeBool(bool value, const QString& key)
{
    d->set(key, d->plist.boolean(value));
}

void KeyedArchiver::encodeInt(qint64 value, const QString& key)
{
    d->set(key, d->plist.integer(value));
}

void KeyedArchiver::encodeDouble(double value, const QString& key)
{
    d->set(key, d->plist.real(value));
}

void KeyedArchiver::encodeString(const QString& value, const QString& key)
{
    d->set(key, d->plist.uid(d->stringUid(value)));
}

void KeyedArchiver::encodeData(const QByteArray& value, const QString& key)
{
    d->set(key, d->plist.data(value));
}

void KeyedArchiver::encodePoint(QPointF value, const QString& key)
{
    encodeString(pointString(value), key);
}

void KeyedArchiver::encodeSize(QSizeF value, const QString& key)
{
    encodeString(sizeString(value), key);
}

void KeyedArchiver::encodeRect(const QRectF& value, const QString& key)
{
    encodeString(rectString(value), key);
}

void KeyedArchiver::encodeColor(const QColor& value, const QString& key)
{
    encodeObject(QVariant(value), key);
}

void KeyedArchiver::encodeFont(const QFont& value, const QString& key)
{
    encodeObject(QVariant(value), key);
}

void KeyedArchiver::encodeTransform(const QTransform& value, const QString& key)
{
    encodeObject(QVariant(value), key);
}

void KeyedArchiver::encodePath(const QPainterPath& value, const QString& key)
{
    encodeObject(QVariant::fromValue(value), key);
}

void KeyedArchiver::encodeImage(const QImage& value, const QString& key)
{
    encodeObject(QVariant(value), key);
}

void KeyedArchiver::encodeRootObject(const ZQObject* root)
{
    encodeObject(root, QString::fromLatin1(kRootKey));
}

QByteArray KeyedArchiver::finishEncoding()
{
    d->checkOpen();
    for (const auto& [pending, object] : d->conditionals) {
        d->plist.setUid(pending, d->objectUids.value(object, 0));
    }
    BinaryPropertyListWriter& plist = d->plist;
    const Ref top = plist.dictionary(d->frames[0].keys, d->frames[0].values);
    const Ref keys[] = {d->key(kArchiverKey), d->key(kVersionKey), d->key(kTopKey), d->key(kObjectsKey)};
    const Ref values[] = {plist.string(QString::fromLatin1(kArchiverName)), plist.integer(kVersion), top,
                          plist.array(d->entries)};
    d->finished = true;
    return plist.serialize(plist.dictionary(keys, values));
}

} // namespace platform
