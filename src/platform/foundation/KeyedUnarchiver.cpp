#include "platform/foundation/KeyedUnarchiver.h"

#include "platform/foundation/ArchiveFormat.h"
#include "platform/foundation/ArchiveValueCoding.h"
#include "platform/foundation/BinaryPropertyListCheck.h"
#include "platform/foundation/ClassRegistry.h"
#include "platform/foundation/ZQLog.h"

#include <QColor>
#include <QFont>
#include <QHash>
#include <QImage>
#include <QPainterPath>
#include <QReadWriteLock>
#include <QScopeGuard>
#include <QTransform>
#include <limits>
#include <unordered_map>
#include <plist/plist.h>
#include <vector>

namespace platform {

using namespace archive;

namespace {

// Containers in an archive nest four deep (root, $objects, an entry, "$classes"); this
// leaves room without letting a hostile file go deeper.
constexpr int kMaximumPlistDepth = 16;
constexpr qint64 kImageBytesFloor = qint64(256) << 20;
constexpr qint64 kImageBytesPerArchiveByte = 16;

struct RenamedClasses {
    QReadWriteLock lock;
    QHash<QString, QString> currentForOld;
};

RenamedClasses& renamedClasses()
{
    static RenamedClasses r;
    return r;
}

QString currentClassName(const QString& archivedName)
{
    RenamedClasses& r = renamedClasses();
    QReadLocker lock(&r.lock);
    return r.currentForOld.value(archivedName, archivedName);
}

void logProblem(const QString& problem)
{
    LogEvent(kFileEvent, QStringLiteral("keyed archive: ") + problem);
}

// Ends the whole decoding; caught where a top-level decode began.
struct ArchiveFailure {
    QString reason;
};

// A plist node and its type in one go; a null node has PLIST_NONE.
struct Node {
    plist_t node = nullptr;
    plist_type type = PLIST_NONE;

    explicit Node(plist_t n) : node(n), type(n ? plist_get_node_type(n) : PLIST_NONE) {}
    explicit operator bool() const { return node != nullptr; }

    quint64 uint() const
    {
        uint64_t v = 0;
        plist_get_uint_val(node, &v);
        return v;
    }
    quint64 uid() const
    {
        uint64_t v = 0;
        plist_get_uid_val(node, &v);
        return v;
    }
    double real() const
    {
        double v = 0;
        plist_get_real_val(node, &v);
        return v;
    }
    bool boolean() const
    {
        uint8_t v = 0;
        plist_get_bool_val(node, &v);
        return v != 0;
    }
    QString string() const
    {
        uint64_t length = 0;
        const char* text = plist_get_string_ptr(node, &length);
        return QString::fromUtf8(text, qsizetype(length));
    }
    QByteArray data() const
    {
        uint64_t length = 0;
        const char* bytes = plist_get_data_ptr(node, &length);
        return QByteArray(bytes, qsizetype(length));
    }
};

// A key as the NUL-terminated UTF-8 that libplist compares, without a heap allocation
// for the usual short ASCII keys.
class Utf8Key {
public:
    explicit Utf8Key(const QString& key)
    {
        const bool ascii = key.size() < kInline
            && std::all_of(key.begin(), key.end(), [](QChar c) { return c.unicode() != 0 && c.unicode() < 0x80; });
        if (!ascii) {
            m_heap = key.toUtf8();
            return;
        }
        for (qsizetype i = 0; i < key.size(); ++i)
            m_inline[i] = char(key[i].unicode());
        m_inline[key.size()] = '\0';
    }
    const char* get() const { return m_heap.isNull() ? m_inline : m_heap.constData(); }

private:
    static constexpr qsizetype kInline = 64;
    char m_inline[kInline];
    QByteArray m_heap;
};

template <class Visit>
void forEachItem(plist_t array, Visit&& visit)
{
    // Arrays parsed from binary have no index, so item-by-index access would be quadratic.
    plist_array_iter iter = nullptr;
    plist_array_new_iter(array, &iter);
    const auto release = qScopeGuard([&] { free(iter); });
    for (plist_t item = nullptr;;) {
        plist_array_next_item(array, iter, &item);
        if (!item)
            break;
        visit(item);
    }
}

QString typeName(plist_type type)
{
    switch (type) {
    case PLIST_BOOLEAN: return QStringLiteral("a boolean");
    case PLIST_UINT: return QStringLiteral("an integer");
    case PLIST_REAL: return QStringLiteral("a number");
    case PLIST_STRING: return QStringLiteral("a string");
    case PLIST_ARRAY: return QStringLiteral("an array");
    case PLIST_DICT: return QStringLiteral("a dictionary");
    case PLIST_DATE: return QStringLiteral("a date");
    case PLIST_DATA: return QStringLiteral("data");
    case PLIST_UID: return QStringLiteral("a reference");
    default: return QStringLiteral("an unknown value");
    }
}

QString typeName(const QVariant& value)
{
    return QString::fromLatin1(value.metaType().name());
}

} // namespace

struct KeyedUnarchiver::Private {
    // Makes an entry the dictionary that keys are read from, for the scope's life.
    class EntryScope {
    public:
        EntryScope(Private* d, plist_t entry) : m_d(d), m_saved(std::exchange(d->current, entry)) {}
        ~EntryScope() { m_d->current = m_saved; }
        EntryScope(const EntryScope&) = delete;
        EntryScope& operator=(const EntryScope&) = delete;

    private:
        Private* m_d;
        plist_t m_saved;
    };

    enum class State : quint8 { Unread, Decoding, Decoded, Skipped };
    struct Slot {
        ZQObjectPtr object;
        QVariant value;
        State state = State::Unread;
        bool isObject = false;
    };
    enum class ClassKind : quint8 { Malformed, Unknown, Object, List, Dictionary, Value };
    struct ClassInfo {
        ClassKind kind = ClassKind::Malformed;
        QString name;
        ClassRegistry::Factory factory;
    };

    KeyedUnarchiver& q;
    plist_t root = nullptr;
    std::vector<plist_t> entries;
    std::vector<Slot> slots;
    // Node-based: references to a class stay valid while nested entries add classes.
    std::unordered_map<quint64, ClassInfo> classes;
    // The dictionary keys are read from: $top, or the entry being decoded.
    plist_t current = nullptr;
    int depth = 0;
    QuorvaneError error;
    ImageBudget images;

    explicit Private(KeyedUnarchiver& owner) : q(owner) {}
    ~Private() { plist_free(root); }

    void setError(const QString& reason)
    {
        logProblem(reason);
        error = QuorvaneError(kQuorvaneDocumentError, QStringLiteral("The archive could not be read: %1").arg(reason));
    }

    void open(const QByteArray& data)
    {
        if (const QString problem = parse(data); !problem.isEmpty())
            setError(problem);
        images.remainingBytes = qMax(kImageBytesFloor, qint64(data.size()) * kImageBytesPerArchiveByte);
    }

    // Answers a problem, or empty.
    QString parse(const QByteArray& data)
    {
        if (data.size() > qsizetype(std::numeric_limits<uint32_t>::max()))
            return QStringLiteral("archive too large");
        if (const QString problem = binaryPropertyListProblem(data, kMaximumPlistDepth); !problem.isEmpty())
            return problem;
        plist_from_bin(data.constData(), uint32_t(data.size()), &root);
        return root ? readFrame() : QStringLiteral("damaged binary property list");
    }

    // Answers a problem, or empty when the root dictionary is an archive.
    QString readFrame()
    {
        if (plist_get_node_type(root) != PLIST_DICT)
            return QStringLiteral("not a keyed archive");
        const Node archiver(plist_dict_get_item(root, kArchiverKey));
        const Node version(plist_dict_get_item(root, kVersionKey));
        const Node topNode(plist_dict_get_item(root, kTopKey));
        const Node objects(plist_dict_get_item(root, kObjectsKey));
        if (archiver.type != PLIST_STRING || archiver.string() != QLatin1StringView(kArchiverName)
            || version.type != PLIST_UINT)
            return QStringLiteral("not a keyed archive");
        if (topNode.type != PLIST_DICT || objects.type != PLIST_ARRAY || plist_array_get_size(objects.node) == 0)
            return QStringLiteral("missing or malformed $top or $objects");
        current = topNode.node;
        entries.reserve(plist_array_get_size(objects.node));
        forEachItem(objects.node, [&](plist_t entry) { entries.push_back(entry); });
        slots.resize(entries.size());
        return {};
    }

    bool usable() const { return root && !error; }

    plist_t lookup(const QString& key) const
    {
        return usable() ? plist_dict_get_item(current, Utf8Key(key).get()) : nullptr;
    }

    // A public decode that starts at the top level catches what ends decoding; nested
    // ones let it travel up to there.
    template <class Decode>
    auto guarded(Decode&& decode) -> decltype(decode())
    {
        if (!usable())
            return {};
        if (depth > 0)
            return decode();
        try {
            return decode();
        } catch (const ArchiveFailure& failure) {
            setError(failure.reason);
        } catch (const std::exception& exception) {
            setError(QStringLiteral("decoding raised: %1").arg(QString::fromUtf8(exception.what())));
        } catch (...) {
            setError(QStringLiteral("decoding raised an unknown exception"));
        }
        return {};
    }

    // Damage of an entry asked for at the top level ends decoding; deeper, the entry is skipped.
    static const Slot& reject(bool topLevel, const QString& problem)
    {
        static const Slot skipped{nullptr, {}, State::Skipped};
        if (topLevel)
            throw ArchiveFailure{problem};
        logProblem(problem + QStringLiteral("; skipped"));
        return skipped;
    }

    const Slot& resolve(quint64 uid)
    {
        const bool topLevel = depth == 0;
        if (uid >= entries.size())
            return reject(topLevel, QStringLiteral("reference %1 out of range").arg(uid));
        Slot& slot = slots[uid];
        if (slot.state == State::Decoding && !slot.isObject)
            return reject(topLevel, QStringLiteral("entry %1 contains itself").arg(uid));
        if (slot.state != State::Unread)
            return slot;
        if (depth >= kMaximumDepth)
            throw ArchiveFailure{QStringLiteral("nesting deeper than %1").arg(kMaximumDepth)};
        ++depth;
        const auto leave = qScopeGuard([this] { --depth; });
        slot.state = State::Decoding;
        if (const QString problem = decodeEntry(uid, slot); !problem.isEmpty()) {
            slot = Slot{nullptr, {}, State::Skipped};
            return reject(topLevel, QStringLiteral("entry %1: %2").arg(uid).arg(problem));
        }
        slot.state = State::Decoded;
        return slot;
    }

    // Fills the slot; answers a problem, or empty.
    QString decodeEntry(quint64 uid, Slot& slot)
    {
        const Node entry(entries[uid]);
        switch (entry.type) {
        case PLIST_STRING: slot.value = entry.string(); return {};
        case PLIST_UINT: slot.value = qint64(entry.uint()); return {};
        case PLIST_REAL: slot.value = entry.real(); return {};
        case PLIST_BOOLEAN: slot.value = entry.boolean(); return {};
        case PLIST_DATA: slot.value = entry.data(); return {};
        case PLIST_DICT: break;
        default: return QStringLiteral("%1 is not an entry").arg(typeName(entry.type));
        }
        const ClassInfo& info = classInfo(Node(plist_dict_get_item(entry.node, kClassKey)));
        switch (info.kind) {
        case ClassKind::Malformed: return QStringLiteral("malformed class");
        case ClassKind::Unknown: return QStringLiteral("unknown class %1").arg(info.name);
        case ClassKind::Object: return decodeObjectEntry(entry.node, info, slot);
        case ClassKind::List: return decodeList(entry.node, slot.value);
        case ClassKind::Dictionary: return decodeDictionary(entry.node, slot.value);
        case ClassKind::Value: {
            const EntryScope scope(this, entry.node);
            slot.value = decodeValueFields(q, info.name, images).value_or(QVariant());
            return {};
        }
        }
        return {};
    }

    QString decodeObjectEntry(plist_t entry, const ClassInfo& info, Slot& slot)
    {
        const ZQObjectPtr object = info.factory();
        if (!object)
            return QStringLiteral("class %1 made no object").arg(info.name);
        // In the table before its fields are read, so references back to it resolve.
        slot.object = object;
        slot.isObject = true;
        {
            const EntryScope scope(this, entry);
            object->initWithCoder(q);
        }
        slot.object = object->awakeAfterUsingCoder(q);
        return {};
    }

    const ClassInfo& classInfo(const Node& reference)
    {
        static const ClassInfo malformed;
        if (reference.type != PLIST_UID)
            return malformed;
        const quint64 uid = reference.uid();
        if (const auto found = classes.find(uid); found != classes.end())
            return found->second;
        ClassInfo info;
        const Node entry(uid < entries.size() ? entries[uid] : nullptr);
        const Node name(entry.type == PLIST_DICT ? plist_dict_get_item(entry.node, kClassNameKey) : nullptr);
        if (name.type == PLIST_STRING) {
            info.name = currentClassName(name.string());
            if (info.name == QLatin1StringView(kArrayClass))
                info.kind = ClassKind::List;
            else if (info.name == QLatin1StringView(kDictionaryClass))
                info.kind = ClassKind::Dictionary;
            else if (isValueClassName(info.name))
                info.kind = ClassKind::Value;
            else if ((info.factory = ClassRegistry::factoryForName(info.name)))
                info.kind = ClassKind::Object;
            else
                info.kind = ClassKind::Unknown;
        }
        return classes.emplace(uid, std::move(info)).first->second;
    }

    QVariant valueOf(const Slot& slot) const
    {
        return slot.isObject ? QVariant::fromValue(slot.object) : slot.value;
    }

    // A member of a list or dictionary; nullopt when it was skipped.
    std::optional<QVariant> member(plist_t reference)
    {
        const Node node(reference);
        if (node.type != PLIST_UID) {
            logProblem(QStringLiteral("a collection holds %1 instead of a reference; skipped").arg(typeName(node.type)));
            return std::nullopt;
        }
        if (node.uid() == 0)
            return QVariant();
        const Slot& slot = resolve(node.uid());
        return slot.state == State::Skipped ? std::nullopt : std::optional(valueOf(slot));
    }

    QString decodeList(plist_t entry, QVariant& result)
    {
        const Node members(plist_dict_get_item(entry, kMembersKey));
        if (members.type != PLIST_ARRAY)
            return QStringLiteral("list without members");
        QVariantList list;
        list.reserve(plist_array_get_size(members.node));
        forEachItem(members.node, [&](plist_t item) {
            if (auto value = member(item))
                list.append(std::move(*value));
        });
        result = list;
        return {};
    }

    QString decodeDictionary(plist_t entry, QVariant& result)
    {
        const Node keys(plist_dict_get_item(entry, kDictionaryKeysKey));
        const Node members(plist_dict_get_item(entry, kMembersKey));
        if (keys.type != PLIST_ARRAY || members.type != PLIST_ARRAY
            || plist_array_get_size(keys.node) != plist_array_get_size(members.node))
            return QStringLiteral("dictionary without matching keys and members");
        std::vector<plist_t> memberNodes;
        memberNodes.reserve(plist_array_get_size(members.node));
        forEachItem(members.node, [&](plist_t item) { memberNodes.push_back(item); });
        QVariantMap map;
        size_t index = 0;
        forEachItem(keys.node, [&](plist_t item) {
            const auto key = member(item);
            const auto value = member(memberNodes[index++]);
            if (key && key->metaType() == QMetaType::fromType<QString>() && value)
                map.insert(key->toString(), *value);
            else if (key && value)
                logProblem(QStringLiteral("a dictionary key is not a string; skipped"));
        });
        result = map;
        return {};
    }

    // The value a key holds: inline scalars as they are, references resolved.
    QVariant valueOfNode(const Node& node, const QString& key)
    {
        switch (node.type) {
        case PLIST_NONE: return {};
        case PLIST_UID: {
            if (node.uid() == 0)
                return {};
            return valueOf(resolve(node.uid()));
        }
        case PLIST_STRING: return node.string();
        case PLIST_UINT: return qint64(node.uint());
        case PLIST_REAL: return node.real();
        case PLIST_BOOLEAN: return node.boolean();
        case PLIST_DATA: return node.data();
        default: logWrongType(key, typeName(node.type)); return {};
        }
    }

    static void logWrongType(const QString& key, const QString& found)
    {
        logProblem(QStringLiteral("unexpected %1 for key \"%2\"").arg(found, key));
    }

    template <class T>
    T typedValue(const QString& key)
    {
        return guarded([&]() -> T {
            const QVariant value = valueOfNode(Node(lookup(key)), key);
            if (value.metaType() == QMetaType::fromType<T>())
                return value.value<T>();
            if (value.isValid())
                logWrongType(key, typeName(value));
            return T();
        });
    }

    // Points, sizes and rects: their string form, or the value entry lists hold.
    template <class T, class Parse>
    T geometry(const QString& key, Parse&& parse)
    {
        return guarded([&]() -> T {
            const QVariant value = valueOfNode(Node(lookup(key)), key);
            if (value.metaType() == QMetaType::fromType<T>())
                return value.value<T>();
            if (value.metaType() == QMetaType::fromType<QString>()) {
                if (const std::optional<T> parsed = parse(value.toString()))
                    return *parsed;
            }
            if (value.isValid())
                logWrongType(key, QStringLiteral("value"));
            return T();
        });
    }
};

KeyedUnarchiver::KeyedUnarchiver(const QByteArray& data) : d(std::make_unique<Private>(*this))
{
    d->open(data);
}

KeyedUnarchiver::~KeyedUnarchiver() = default;

ZQObjectPtr KeyedUnarchiver::unarchiveObjectWithData(const QByteArray& data, QuorvaneError* error)
{
    KeyedUnarchiver unarchiver(data);
    ZQObjectPtr root = unarchiver.decodeRootObject();
    if (error)
        *error = unarchiver.error();
    return unarchiver.isValid() ? root : nullptr;
}

void KeyedUnarchiver::setClassForClassName(const QString& currentClassName, const QString& oldClassName)
{
    RenamedClasses& r = renamedClasses();
    QWriteLocker lock(&r.lock);
    r.currentForOld.insert(oldClassName, currentClassName);
}

bool KeyedUnarchiver::isValid() const
{
    return d->usable();
}

QuorvaneError KeyedUnarchiver::error() const
{
    return d->error;
}

ZQObjectPtr KeyedUnarchiver::decodeRootObject()
{
    const QString key = QString::fromLatin1(kRootKey);
    if (isValid() && d->depth == 0 && !containsValueForKey(key))
        d->setError(QStringLiteral("no root object"));
    const Node reference(d->lookup(key));
    ZQObjectPtr root = decodeObject(key);
    if (!root && isValid() && !(reference.type == PLIST_UID && reference.uid() == 0))
        d->setError(QStringLiteral("the root is not an object"));
    return root;
}

bool KeyedUnarchiver::containsValueForKey(const QString& key) const
{
    return d->lookup(key) != nullptr;
}

ZQObjectPtr KeyedUnarchiver::decodeObject(const QString& key)
{
    return d->guarded([&]() -> ZQObjectPtr {
        const Node reference(d->lookup(key));
        if (reference.type == PLIST_NONE || (reference.type == PLIST_UID && reference.uid() == 0))
            return nullptr;
        if (reference.type != PLIST_UID) {
            d->logWrongType(key, typeName(reference.type));
            return nullptr;
        }
        const Private::Slot& slot = d->resolve(reference.uid());
        if (slot.state != Private::State::Skipped && !slot.isObject)
            d->logWrongType(key, QStringLiteral("%1 where an object was expected").arg(typeName(slot.value)));
        return slot.object;
    });
}

QVariant KeyedUnarchiver::decodeValue(const QString& key)
{
    return d->guarded([&] { return d->valueOfNode(Node(d->lookup(key)), key); });
}

bool KeyedUnarchiver::decodeBool(const QString& key)
{
    const Node node(d->lookup(key));
    switch (node.type) {
    case PLIST_NONE: return false;
    case PLIST_BOOLEAN: return node.boolean();
    case PLIST_UINT: return node.uint() != 0;
    default: d->logWrongType(key, typeName(node.type)); return false;
    }
}

qint64 KeyedUnarchiver::decodeInt(const QString& key)
{
    const Node node(d->lookup(key));
    switch (node.type) {
    case PLIST_NONE: return 0;
    case PLIST_UINT: return qint64(node.uint());
    case PLIST_BOOLEAN: return node.boolean() ? 1 : 0;
    case PLIST_REAL: {
        // Out of range (or not a number) is damage, not a value to convert.
        const double value = node.real();
        if (value >= -0x1p63 && value < 0x1p63)
            return qint64(value);
        break;
    }
    default: break;
    }
    d->logWrongType(key, typeName(node.type));
    return 0;
}

double KeyedUnarchiver::decodeDouble(const QString& key)
{
    const Node node(d->lookup(key));
    switch (node.type) {
    case PLIST_NONE: return 0;
    case PLIST_REAL: return node.real();
    case PLIST_UINT: return double(qint64(node.uint()));
    case PLIST_BOOLEAN: return node.boolean() ? 1 : 0;
    default: d->logWrongType(key, typeName(node.type)); return 0;
    }
}

QString KeyedUnarchiver::decodeString(const QString& key)
{
    return d->typedValue<QString>(key);
}

QByteArray KeyedUnarchiver::decodeData(const QString& key)
{
    return d->typedValue<QByteArray>(key);
}

QPointF KeyedUnarchiver::decodePoint(const QString& key)
{
    return d->geometry<QPointF>(key, parsePoint);
}

QSizeF KeyedUnarchiver::decodeSize(const QString& key)
{
    return d->geometry<QSizeF>(key, parseSize);
}

QRectF KeyedUnarchiver::decodeRect(const QString& key)
{
    return d->geometry<QRectF>(key, parseRect);
}

QColor KeyedUnarchiver::decodeColor(const QString& key)
{
    return d->typedValue<QColor>(key);
}

QFont KeyedUnarchiver::decodeFont(const QString& key)
{
    return d->typedValue<QFont>(key);
}

QTransform KeyedUnarchiver::decodeTransform(const QString& key)
{
    return d->typedValue<QTransform>(key);
}

QPainterPath KeyedUnarchiver::decodePath(const QString& key)
{
    return d->typedValue<QPainterPath>(key);
}

QImage KeyedUnarchiver::decodeImage(const QString& key)
{
    return d->typedValue<QImage>(key);
}

void KeyedUnarchiver::logUnexpectedClass(const QString& key, const ZQObject& object)
{
    Private::logWrongType(key, QStringLiteral("object of class %1").arg(object.className()));
}

} // namespace platform
