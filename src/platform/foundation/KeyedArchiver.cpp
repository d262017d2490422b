#include "platform/foundation/KeyedArchiver.h"

#include "platform/foundation/ArchiveFormat.h"
#include "platform/foundation/ArchiveProgress.h"
#include "platform/foundation/ArchiveValueCoding.h"
#include "platform/foundation/BinaryPropertyListWriter.h"
#include "platform/foundation/KeyBufferCache.h"
#include "platform/foundation/ZQAssert.h"

#include <QColor>
#include <QFont>
#include <QHash>
#include <QImage>
#include <QPainterPath>
#include <QScopeGuard>
#include <QTransform>
#include <QVarLengthArray>
#include <algorithm>
#include <optional>
#include <vector>

namespace platform {

using namespace archive;
using Ref = BinaryPropertyListWriter::Ref;

namespace {
// Of the progress told: walking the graph; laying out the bytes takes the rest, about a
// sixth of encoding a large map.
constexpr double kWalkShare = 0.85;
} // namespace

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
    bool forCopying = false;

    QHash<const ZQObject*, quint64> objectUids;
    // The encoded objects stay alive until the archive is done: one made just for encoding
    // and gone before the next would otherwise leave its address, and its UID, to another.
    std::vector<std::shared_ptr<const ZQObject>> encodedObjects;
    // Keyed by QMetaObject for objects and by the (static) name for value classes.
    QHash<const void*, quint64> classUids;
    // The entry of each string, by the string's plist object (0 until it has one).
    std::vector<quint64> stringUids;
    KeyBufferCache<Ref> keyNames;
    std::vector<std::pair<Ref, const ZQObject*>> conditionals;

    // The share of the root that the value being encoded stands for.
    struct Share {
        double start;
        double width;
    };
    ProgressClaim progress;
    std::vector<Share> shares{{0.0, 1.0}};
    double reported = 0.0;
    bool stopped = false;

    Private() { entries.push_back(plist.string(QString::fromLatin1(kNullEntry))); }

    void checkOpen() const { ZQ_ASSERT(!finished, QStringLiteral("encoding after finishEncoding")); }

    // Once every reference is resolved: a large map's tables go before its bytes are laid out.
    void releaseLookups()
    {
        objectUids = {};
        encodedObjects = {};
        classUids = {};
        stringUids = {};
        conditionals = {};
    }

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

    void set(const QString& name, Ref value) { set(keyName(name), value); }

    Ref keyName(const QString& name)
    {
        std::optional<Ref>& ref = keyNames.valueFor(name);
        if (!ref)
            ref = plist.string(name);
        return *ref;
    }

    quint64 appendEntry(Ref entry)
    {
        checkOpen();
        entries.push_back(entry);
        if (progress && entries.size() % kProgressInterval == 0)
            report(kWalkShare * shares.back().start);
        return entries.size() - 1;
    }

    void report(double fraction)
    {
        // A second list in one share walks that share again from its start.
        reported = std::max(reported, fraction);
        if (!stopped && !progress.tell(reported))
            stopped = true;
    }

    // Narrows the share to member `index` of `count` for the guard's life.
    [[nodiscard]] auto memberShare(qsizetype index, qsizetype count)
    {
        const bool narrows = bool(progress);
        if (narrows) {
            const Share whole = shares.back();
            const double width = whole.width / double(count);
            shares.push_back({whole.start + width * double(index), width});
        }
        return qScopeGuard([this, narrows] {
            if (narrows)
                shares.pop_back();
        });
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
        set(formatKeys().classReference, plist.uid(classUid));
        fields(uid);
        entries[uid] = plist.dictionary(frames[frame].keys, frames[frame].values);
        return uid;
    }

    // `chain` answers the class's name and its superclasses' names.
    template <class Chain>
    quint64 classUid(const void* memoKey, Chain&& chain)
    {
        const auto found = classUids.constFind(memoKey);
        if (found != classUids.cend())
            return *found;
        std::vector<Ref> names;
        for (const QString& name : chain())
            names.push_back(plist.string(name));
        const Ref keys[] = {keyName(formatKeys().className), keyName(formatKeys().classChain)};
        const Ref values[] = {names.front(), plist.array(names)};
        const quint64 uid = appendEntry(plist.dictionary(keys, values));
        classUids.insert(memoKey, uid);
        return uid;
    }

    quint64 objectClassUid(const QMetaObject* metaObject)
    {
        return classUid(metaObject, [metaObject] {
            QStringList chain;
            for (const QMetaObject* m = metaObject; m && m != &QObject::staticMetaObject; m = m->superClass())
                chain << QString::fromLatin1(m->className());
            return chain;
        });
    }

    quint64 valueClassUid(const char* name)
    {
        return classUid(name, [name] { return QStringList{QString::fromLatin1(name)}; });
    }

    quint64 objectUid(const ZQObject* object, KeyedArchiver& coder)
    {
        // Once stopped, nothing more is worth walking: the archive will not be answered.
        if (!object || stopped)
            return 0;
        // One lookup finds or makes the object's place; 0 ($null) means not encoded yet.
        quint64& known = objectUids[object];
        if (known != 0)
            return known;
        return encodeEntry(objectClassUid(object->metaObject()), [&](quint64 uid) {
            // Remembered first, so references back to the object while it is encoding resolve.
            // Nothing has been added to objectUids since `known` was found.
            known = uid;
            if (std::shared_ptr<const ZQObject> owned = object->weak_from_this().lock())
                encodedObjects.push_back(std::move(owned));
            object->encodeWithCoder(coder);
        });
    }

    quint64 stringUid(const QString& string)
    {
        const Ref ref = plist.string(string);
        if (ref >= stringUids.size())
            stringUids.resize(std::max<size_t>(ref + 1, stringUids.size() * 2), 0);
        quint64& uid = stringUids[ref];
        if (uid == 0)
            uid = appendEntry(ref);
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

    // The UIDs of `values` as an array; values are encoded in order.
    template <class Values, class Encode>
    Ref uidArray(const Values& values, Encode&& encode)
    {
        QVarLengthArray<Ref, 16> uids;
        for (const auto& value : values)
            uids.push_back(plist.uid(encode(value)));
        return plist.array(uids);
    }

    Ref members(const QVariantList& list, KeyedArchiver& coder)
    {
        qsizetype index = 0;
        return uidArray(list, [&](const QVariant& member) {
            const auto share = memberShare(index++, list.size());
            return variantUid(member, coder);
        });
    }

    // Keys first, then values, each in key order.
    quint64 dictionaryUid(const QVariantMap& map, KeyedArchiver& coder)
    {
        return encodeEntry(valueClassUid(kDictionaryClass), [&](quint64) {
            const auto keys = map.asKeyValueRange();
            set(formatKeys().dictionaryKeys, uidArray(keys, [&](const auto& entry) { return stringUid(entry.first); }));
            qsizetype index = 0;
            set(formatKeys().members, uidArray(keys, [&](const auto& entry) {
                const auto share = memberShare(index++, map.size());
                return variantUid(entry.second, coder);
            }));
        });
    }

    // Entries in the order dictionaryUid and objectUid would make them for the same objects.
    quint64 unsharedObjectDictionaryUid(const QStringList& keys, const QMetaObject& valueClass,
                                        const std::function<void(qsizetype)>& fields)
    {
        return encodeEntry(valueClassUid(kDictionaryClass), [&](quint64) {
            set(formatKeys().dictionaryKeys, uidArray(keys, [&](const QString& key) { return stringUid(key); }));
            qsizetype index = 0;
            set(formatKeys().members, uidArray(keys, [&](const QString&) {
                const auto share = memberShare(index, keys.size());
                return encodeEntry(objectClassUid(&valueClass), [&](quint64) { fields(index++); });
            }));
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
                               [&](quint64) { set(formatKeys().members, members(value.toList(), coder)); });
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

QByteArray KeyedArchiver::archivedDataForCopyingRootObject(const ZQObject* root)
{
    KeyedArchiver archiver;
    archiver.d->forCopying = true;
    archiver.encodeRootObject(root);
    return archiver.finishEncoding();
}

QByteArray KeyedArchiver::archivedDataForCopyingRootObjects(const QList<std::shared_ptr<ZQObject>>& roots)
{
    KeyedArchiver archiver;
    archiver.d->forCopying = true;
    QVariantList list;
    list.reserve(roots.size());
    for (const std::shared_ptr<ZQObject>& root : roots)
        list.append(QVariant::fromValue(root));
    archiver.encodeObject(QVariant(list), formatKeys().root);
    return archiver.finishEncoding();
}

bool KeyedArchiver::isForCopying() const
{
    return d->forCopying;
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

void KeyedArchiver::encodeUnsharedObjectDictionary(const QStringList& keys, const QMetaObject& valueClass,
                                                   const std::function<void(qsizetype)>& fields, const QString& key)
{
    d->set(key, d->plist.uid(d->unsharedObjectDictionaryUid(keys, valueClass, fields)));
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

void KeyedArchiver::encodeUniqueString(const QString& value, const QString& key)
{
    d->set(key, d->plist.uid(d->appendEntry(d->plist.uniqueString(value))));
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
    encodeObject(root, formatKeys().root);
}

QByteArray KeyedArchiver::finishEncoding()
{
    d->checkOpen();
    if (d->stopped) {
        d->finished = true;
        return {};
    }
    for (const auto& [pending, object] : d->conditionals) {
        d->plist.setUid(pending, d->objectUids.value(object, 0));
    }
    d->releaseLookups();
    BinaryPropertyListWriter& plist = d->plist;
    const Ref top = plist.dictionary(d->frames[0].keys, d->frames[0].values);
    const FormatKeys& format = formatKeys();
    const Ref keys[] = {d->keyName(format.archiver), d->keyName(format.version), d->keyName(format.top),
                        d->keyName(format.objects)};
    const Ref values[] = {plist.string(QString::fromLatin1(kArchiverName)), plist.integer(kVersion), top,
                          plist.array(d->entries)};
    d->finished = true;
    std::function<bool(double)> layout;
    if (d->progress)
        layout = [this](double fraction) {
            d->report(kWalkShare + (1 - kWalkShare) * fraction);
            return !d->stopped;
        };
    QByteArray archive = plist.serialize(plist.dictionary(keys, values), layout);
    if (d->progress)
        d->report(1.0);
    return d->stopped ? QByteArray() : archive;
}

} // namespace platform
