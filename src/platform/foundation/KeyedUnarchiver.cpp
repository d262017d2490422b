#include "platform/foundation/KeyedUnarchiver.h"

#include "platform/foundation/ArchiveFormat.h"
#include "platform/foundation/ArchiveMemoryBudget.h"
#include "platform/foundation/ArchiveProgress.h"
#include "platform/foundation/ArchiveValueCoding.h"
#include "platform/foundation/BinaryPropertyListReader.h"
#include "platform/foundation/ClassRegistry.h"
#include "platform/foundation/KeyBufferCache.h"
#include "platform/foundation/ZQLog.h"

#include <QColor>
#include <QFont>
#include <QHash>
#include <QImage>
#include <QPainterPath>
#include <QReadWriteLock>
#include <QScopeGuard>
#include <QTransform>
#include <QVarLengthArray>
#include <algorithm>
#include <limits>
#include <optional>
#include <unordered_map>
#include <vector>

namespace platform {

using namespace archive;

namespace {

// Containers in an archive nest four deep (root, $objects, an entry, "$classes"); this
// leaves room without letting a hostile file go deeper.
constexpr int kMaximumPlistDepth = 16;
constexpr qint64 kImageBytesFloor = qint64(256) << 20;
constexpr qint64 kImageBytesPerArchiveByte = 16;
// Rough costs of what decoding makes, beyond the bytes of text and data.
constexpr qint64 kObjectCost = 128;
constexpr qint64 kCollectionMemberCost = sizeof(QVariant);
constexpr qint64 kDictionaryMemberCost = sizeof(QString) + sizeof(QVariant) + 32;
// Of the progress told: checking the structure, about a sixth of decoding a large map;
// reading the entries takes the rest.
constexpr double kCheckShare = 0.15;

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

using PlistObject = BinaryPropertyListReader::Object;
using PlistType = BinaryPropertyListReader::Type;

QString typeName(PlistType type)
{
    switch (type) {
    case PlistType::Boolean: return QStringLiteral("a boolean");
    case PlistType::Integer: return QStringLiteral("an integer");
    case PlistType::Real: return QStringLiteral("a number");
    case PlistType::String: return QStringLiteral("a string");
    case PlistType::Array: return QStringLiteral("an array");
    case PlistType::Dictionary: return QStringLiteral("a dictionary");
    case PlistType::Date: return QStringLiteral("a date");
    case PlistType::Data: return QStringLiteral("data");
    case PlistType::Uid: return QStringLiteral("a reference");
    case PlistType::Invalid: break;
    }
    return QStringLiteral("an unknown value");
}

QString typeName(const QVariant& value)
{
    return QString::fromLatin1(value.metaType().name());
}

// Finds keys in dictionaries. Archives store each key once and refer to it from every
// entry, so the object each key was last found as is remembered, and so are the key objects
// known to hold other text: most lookups then compare references instead of text, and a key
// that an entry left out (an optional field) is missed without comparing text again.
class KeyFinder {
public:
    explicit KeyFinder(const BinaryPropertyListReader& plist) : m_plist(plist) {}

    std::optional<quint64> find(const PlistObject& dictionary, const QString& key, quint64 from)
    {
        std::optional<KeyObjects>& known = m_keyObjects.valueFor(key);
        if (!known)
            known.emplace();
        if (known->match) {
            if (const auto position = m_plist.findKeyIndex(dictionary, *known->match, from))
                return position;
        }
        if (dictionary.type != PlistType::Dictionary || dictionary.count == 0)
            return std::nullopt;
        quint64 position = from % dictionary.count;
        for (quint64 i = 0; i < dictionary.count; ++i) {
            const quint64 index = m_plist.keyIndex(dictionary, position);
            if (!known->isOtherText(index)) {
                if (m_plist.equals(m_plist.object(index), key)) {
                    known->match = index;
                    return position;
                }
                known->noteOtherText(index);
            }
            if (++position == dictionary.count)
                position = 0;
        }
        return std::nullopt;
    }

private:
    struct KeyObjects {
        // Enough for the keys of every class in an archive; beyond it text is compared again.
        static constexpr qsizetype kMostOthers = 64;

        std::optional<quint64> match;
        QVarLengthArray<quint64, 16> others;

        bool isOtherText(quint64 index) const { return std::find(others.cbegin(), others.cend(), index) != others.cend(); }
        void noteOtherText(quint64 index)
        {
            if (others.size() < kMostOthers)
                others.append(index);
        }
    };

    const BinaryPropertyListReader& m_plist;
    KeyBufferCache<KeyObjects> m_keyObjects;
};

} // namespace

struct KeyedUnarchiver::Private {
    // The dictionary keys are read from ($top, or the entry being decoded), and where
    // the last key was found: objects read their keys in the order they wrote them.
    struct Dictionary {
        PlistObject object;
        quint64 nextKey = 0;
    };

    // Makes an entry the dictionary that keys are read from, for the scope's life.
    class EntryScope {
    public:
        EntryScope(Private* d, const PlistObject& entry) : m_d(d), m_saved(std::exchange(d->current, {entry})) {}
        ~EntryScope() { m_d->current = m_saved; }
        EntryScope(const EntryScope&) = delete;
        EntryScope& operator=(const EntryScope&) = delete;

    private:
        Private* m_d;
        Dictionary m_saved;
    };

    // Lent: a value entry read once and handed over whole (see valueAt); read again, it is
    // decoded again and kept.
    enum class State : quint8 { Unread, Decoding, Decoded, Lent, Skipped };
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
    QByteArray data; // the bytes the reader views
    BinaryPropertyListReader plist;
    KeyFinder keys{plist};
    bool opened = false;
    bool forCopying = false;
    bool makesNewObjects = false;
    PlistObject entries; // $objects; a UID is a position in it
    std::vector<Slot> slots; // made when the first entry is read: an archive only opened takes none
    // Node-based: references to a class stay valid while nested entries add classes.
    std::unordered_map<quint64, ClassInfo> classes;
    Dictionary current;
    int depth = 0;
    QuorvaneError error;
    ImageBudget images;
    qint64 memoryBudget = 0;
    qint64 remainingMemory = 0;
    ProgressClaim progress;
    quint64 entriesRead = 0;

    Private(KeyedUnarchiver& owner, qint64 budget) : q(owner), memoryBudget(budget), remainingMemory(budget) {}

    QString overBudget() const
    {
        return QStringLiteral("reading it would take more than %1 MB of memory").arg(memoryBudget >> 20);
    }

    bool tryCharge(qint64 bytes)
    {
        if (bytes > remainingMemory)
            return false;
        remainingMemory -= bytes;
        return true;
    }

    void charge(qint64 bytes)
    {
        if (!tryCharge(bytes))
            throw ArchiveFailure{overBudget()};
    }

    void setError(const QString& reason)
    {
        logProblem(reason);
        error = QuorvaneError(kQuorvaneDocumentError, QStringLiteral("The archive could not be read: %1").arg(reason));
    }

    void open(const QByteArray& archive, Origin origin)
    {
        data = archive;
        if (const QString problem = parse(origin); !problem.isEmpty())
            setError(problem);
        else
            opened = true;
        images.remainingBytes = qMax(kImageBytesFloor, qint64(data.size()) * kImageBytesPerArchiveByte);
    }

    // Answers a problem, or empty when the data is an archive.
    QString parse(Origin origin)
    {
        std::function<bool(double)> check;
        if (progress)
            check = [this](double fraction) { return progress.tell(kCheckShare * fraction); };
        const QString problem =
            origin == Origin::ThisProcess ? plist.openWritten(data) : plist.open(data, kMaximumPlistDepth, check);
        if (!problem.isEmpty())
            return problem;
        const PlistObject root = plist.top();
        if (root.type != PlistType::Dictionary)
            return QStringLiteral("not a keyed archive");
        const FormatKeys& format = formatKeys();
        const PlistObject archiver = valueIn(root, format.archiver);
        const PlistObject version = valueIn(root, format.version);
        const PlistObject top = valueIn(root, format.top);
        entries = valueIn(root, format.objects);
        if (!plist.equals(archiver, QLatin1StringView(kArchiverName)) || version.type != PlistType::Integer)
            return QStringLiteral("not a keyed archive");
        if (top.type != PlistType::Dictionary || entries.type != PlistType::Array || entries.count == 0)
            return QStringLiteral("missing or malformed $top or $objects");
        current = {top};
        if (entries.count > quint64(memoryBudget) / sizeof(Slot) || !tryCharge(qint64(entries.count * sizeof(Slot))))
            return overBudget();
        return {};
    }

    // The slot of an entry; null when there is no such entry.
    Slot* slotOf(quint64 uid)
    {
        if (uid >= entries.count)
            return nullptr;
        if (slots.empty())
            slots.resize(entries.count);
        return &slots[uid];
    }

    bool usable() const { return opened && !error; }

    void entryRead()
    {
        if (progress && ++entriesRead % kProgressInterval == 0)
            tellProgress(kCheckShare + (1 - kCheckShare) * std::min(1.0, double(entriesRead) / double(entries.count)));
    }

    void tellProgress(double fraction)
    {
        if (!progress.tell(fraction))
            throw ArchiveFailure{QStringLiteral("decoding was stopped")};
    }

    PlistObject valueIn(const PlistObject& dictionary, const QString& key)
    {
        const auto position = keys.find(dictionary, key, 0);
        return position ? plist.value(dictionary, *position) : PlistObject();
    }

    // The position of `key` in the current dictionary.
    std::optional<quint64> position(const QString& key)
    {
        return usable() ? keys.find(current.object, key, current.nextKey) : std::nullopt;
    }

    // The value under `key` in the current dictionary; nullopt when absent.
    std::optional<PlistObject> lookup(const QString& key)
    {
        const auto found = position(key);
        if (!found)
            return std::nullopt;
        current.nextKey = *found + 1;
        return plist.value(current.object, *found);
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
        } catch (const std::bad_alloc&) {
            setError(QStringLiteral("there is not enough memory to read it"));
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
        Slot* const found = slotOf(uid);
        if (!found)
            return reject(topLevel, QStringLiteral("reference %1 out of range").arg(uid));
        Slot& slot = *found;
        if (slot.state == State::Decoding && !slot.isObject)
            return reject(topLevel, QStringLiteral("entry %1 contains itself").arg(uid));
        if (slot.state != State::Unread && slot.state != State::Lent)
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
        entryRead();
        return slot;
    }

    // A plain value held in place or as an entry; nullopt for other types.
    std::optional<QVariant> scalar(const PlistObject& object) const
    {
        switch (object.type) {
        case PlistType::String: return plist.string(object);
        case PlistType::Integer: return qint64(plist.integer(object));
        case PlistType::Real: return plist.real(object);
        case PlistType::Boolean: return plist.boolean(object);
        case PlistType::Data: return plist.data(object);
        default: return std::nullopt;
        }
    }

    // The bytes a decoded text or data entry holds.
    static qint64 heldBytes(const PlistObject& entry)
    {
        switch (entry.type) {
        case PlistType::String: return qint64(entry.count) * qint64(sizeof(QChar));
        case PlistType::Data: return qint64(entry.count);
        default: return 0;
        }
    }

    // Fills the slot; answers a problem, or empty.
    QString decodeEntry(quint64 uid, Slot& slot)
    {
        const PlistObject entry = plist.member(entries, uid);
        if (auto value = scalar(entry)) {
            charge(heldBytes(entry));
            slot.value = std::move(*value);
            return {};
        }
        if (entry.type != PlistType::Dictionary)
            return QStringLiteral("%1 is not an entry").arg(typeName(entry.type));
        const ClassInfo& info = classInfo(valueIn(entry, formatKeys().classReference));
        switch (info.kind) {
        case ClassKind::Malformed: return QStringLiteral("malformed class");
        case ClassKind::Unknown: return QStringLiteral("unknown class %1").arg(info.name);
        case ClassKind::Object: return decodeObjectEntry(entry, info, slot);
        case ClassKind::List: return decodeList(entry, slot.value);
        case ClassKind::Dictionary: return decodeDictionary(entry, slot.value);
        case ClassKind::Value: {
            const EntryScope scope(this, entry);
            slot.value = decodeValueFields(q, info.name, images).value_or(QVariant());
            return {};
        }
        }
        return {};
    }

    QString decodeObjectEntry(const PlistObject& entry, const ClassInfo& info, Slot& slot)
    {
        charge(kObjectCost);
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

    const ClassInfo& classInfo(const PlistObject& reference)
    {
        static const ClassInfo malformed;
        if (reference.type != PlistType::Uid)
            return malformed;
        const quint64 uid = plist.uid(reference);
        if (const auto found = classes.find(uid); found != classes.end())
            return found->second;
        ClassInfo info;
        const PlistObject entry = plist.member(entries, uid);
        const PlistObject name = entry.type == PlistType::Dictionary ? valueIn(entry, formatKeys().className) : PlistObject();
        if (name.type == PlistType::String) {
            info.name = currentClassName(plist.string(name));
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

    // The value of an entry a key refers to. A value (not an object) is handed over at its
    // first read rather than kept: kept, the object reading a path or a text would share it
    // with the table and copy it at its first change, and the table would hold the values of a
    // million objects until the end. An entry read again is decoded again and then kept, so
    // no entry is decoded more than twice however often it is referred to.
    QVariant valueAt(quint64 uid)
    {
        const Slot* const before = slotOf(uid);
        const bool firstRead = before && before->state == State::Unread;
        const Slot& slot = resolve(uid);
        if (!firstRead || slot.isObject || slot.state != State::Decoded)
            return valueOf(slot);
        Slot& lent = slots[uid];
        lent.state = State::Lent;
        return std::exchange(lent.value, {});
    }

    // A member of a list or dictionary; nullopt when it was skipped.
    std::optional<QVariant> member(const PlistObject& reference)
    {
        if (reference.type != PlistType::Uid) {
            logProblem(
                QStringLiteral("a collection holds %1 instead of a reference; skipped").arg(typeName(reference.type)));
            return std::nullopt;
        }
        const quint64 uid = plist.uid(reference);
        if (uid == 0)
            return QVariant();
        const Slot& slot = resolve(uid);
        return slot.state == State::Skipped ? std::nullopt : std::optional(valueOf(slot));
    }

    QString decodeList(const PlistObject& entry, QVariant& result)
    {
        const PlistObject members = valueIn(entry, formatKeys().members);
        if (members.type != PlistType::Array)
            return QStringLiteral("list without members");
        charge(qint64(members.count) * kCollectionMemberCost);
        QVariantList list;
        list.reserve(qsizetype(members.count));
        for (quint64 i = 0; i < members.count; ++i) {
            if (auto value = member(plist.member(members, i)))
                list.append(std::move(*value));
        }
        result = std::move(list);
        return {};
    }

    QString decodeDictionary(const PlistObject& entry, QVariant& result)
    {
        const PlistObject names = valueIn(entry, formatKeys().dictionaryKeys);
        const PlistObject members = valueIn(entry, formatKeys().members);
        if (names.type != PlistType::Array || members.type != PlistType::Array || names.count != members.count)
            return QStringLiteral("dictionary without matching keys and members");
        charge(qint64(names.count) * kDictionaryMemberCost);
        QVariantMap map;
        for (quint64 i = 0; i < names.count; ++i) {
            const auto key = member(plist.member(names, i));
            const auto value = member(plist.member(members, i));
            if (key && key->metaType() == QMetaType::fromType<QString>() && value)
                map.insert(key->toString(), *value);
            else if (key && value)
                logProblem(QStringLiteral("a dictionary key is not a string; skipped"));
        }
        result = std::move(map);
        return {};
    }

    // Nesting one level deeper, as resolving an entry does.
    [[nodiscard]] auto deeper()
    {
        if (depth >= kMaximumDepth)
            throw ArchiveFailure{QStringLiteral("nesting deeper than %1").arg(kMaximumDepth)};
        ++depth;
        return qScopeGuard([this] { --depth; });
    }

    // The entry a reference leads to when it is an unread dictionary entry of `kind`, whose
    // class (for objects) is named `className`.
    std::optional<PlistObject> unreadEntry(const PlistObject& reference, ClassKind kind, QLatin1StringView className = {})
    {
        if (reference.type != PlistType::Uid)
            return std::nullopt;
        const quint64 uid = plist.uid(reference);
        const Slot* const slot = uid == 0 ? nullptr : slotOf(uid);
        if (!slot || slot->state != State::Unread)
            return std::nullopt;
        const PlistObject entry = plist.member(entries, uid);
        if (entry.type != PlistType::Dictionary)
            return std::nullopt;
        const ClassInfo& info = classInfo(valueIn(entry, formatKeys().classReference));
        if (info.kind != kind || (kind == ClassKind::Object && info.name != className))
            return std::nullopt;
        return entry;
    }

    void readDictionaryOfClass(const QString& key, const QMetaObject& valueClass,
                               const std::function<void(const QString&)>& fields,
                               const std::function<void(const QString&, const QVariant&)>& other)
    {
        const std::optional<PlistObject> node = lookup(key);
        const std::optional<PlistObject> dictionary = node ? unreadEntry(*node, ClassKind::Dictionary) : std::nullopt;
        const PlistObject names = dictionary ? valueIn(*dictionary, formatKeys().dictionaryKeys) : PlistObject();
        const PlistObject members = dictionary ? valueIn(*dictionary, formatKeys().members) : PlistObject();
        if (names.type != PlistType::Array || members.type != PlistType::Array || names.count != members.count) {
            // Anything unusual takes the general way, with its checks and messages.
            const QVariantMap map = valueOfNode(node, key).toMap();
            for (auto it = map.cbegin(); it != map.cend(); ++it)
                other(it.key(), it.value());
            return;
        }
        const auto leave = deeper();
        const QLatin1StringView className(valueClass.className());
        for (quint64 i = 0; i < names.count; ++i) {
            const auto name = member(plist.member(names, i));
            if (!name || name->metaType() != QMetaType::fromType<QString>()) {
                if (name)
                    logProblem(QStringLiteral("a dictionary key is not a string; skipped"));
                continue;
            }
            const PlistObject reference = plist.member(members, i);
            if (const auto entry = unreadEntry(reference, ClassKind::Object, className)) {
                const auto leaveEntry = deeper();
                const EntryScope scope(this, *entry);
                fields(name->toString());
                entryRead();
            } else if (const auto value = member(reference)) {
                other(name->toString(), *value);
            }
        }
    }

    // The value a key holds: inline scalars as they are, references resolved.
    QVariant valueOfNode(const std::optional<PlistObject>& node, const QString& key)
    {
        if (!node)
            return {};
        if (node->type == PlistType::Uid) {
            const quint64 uid = plist.uid(*node);
            return uid == 0 ? QVariant() : valueAt(uid);
        }
        if (auto value = scalar(*node))
            return std::move(*value);
        logWrongType(key, typeName(node->type));
        return {};
    }

    static void logWrongType(const QString& key, const QString& found)
    {
        logProblem(QStringLiteral("unexpected %1 for key \"%2\"").arg(found, key));
    }

    template <class T>
    T typedValue(const QString& key)
    {
        return guarded([&]() -> T {
            const QVariant value = valueOfNode(lookup(key), key);
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
            const QVariant value = valueOfNode(lookup(key), key);
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

KeyedUnarchiver::KeyedUnarchiver(const QByteArray& data, Origin origin)
    : d(std::make_unique<Private>(*this, MemoryBudgetScope::current(data.size())))
{
    d->open(data, origin);
}

KeyedUnarchiver::~KeyedUnarchiver() = default;

ZQObjectPtr KeyedUnarchiver::unarchiveObjectWithData(const QByteArray& data, QuorvaneError* error)
{
    KeyedUnarchiver unarchiver(data);
    ZQObjectPtr root = unarchiver.decodeRootObject();
    if (unarchiver.d->progress)
        unarchiver.d->guarded([&] {
            unarchiver.d->tellProgress(1.0);
            return true;
        });
    if (error)
        *error = unarchiver.error();
    return unarchiver.isValid() ? root : nullptr;
}

ZQObjectPtr KeyedUnarchiver::unarchiveObjectForCopyingWithData(const QByteArray& data)
{
    KeyedUnarchiver unarchiver(data, Origin::ThisProcess);
    unarchiver.d->forCopying = true;
    ZQObjectPtr root = unarchiver.decodeRootObject();
    return unarchiver.isValid() ? root : nullptr;
}

QList<ZQObjectPtr> KeyedUnarchiver::unarchiveObjectsForCopyingWithData(const QByteArray& data)
{
    KeyedUnarchiver unarchiver(data, Origin::ThisProcess);
    unarchiver.d->forCopying = true;
    const QVariantList values = unarchiver.decodeValue(formatKeys().root).toList();
    QList<ZQObjectPtr> roots;
    roots.reserve(values.size());
    for (const QVariant& value : values) {
        roots.append(value.value<ZQObjectPtr>());
        if (!roots.constLast())
            return {};
    }
    return unarchiver.isValid() ? roots : QList<ZQObjectPtr>();
}

bool KeyedUnarchiver::isForCopying() const
{
    return d->forCopying;
}

void KeyedUnarchiver::setMakesNewObjects(bool makesNew)
{
    d->makesNewObjects = makesNew;
}

bool KeyedUnarchiver::makesNewObjects() const
{
    return d->makesNewObjects || d->forCopying;
}

void KeyedUnarchiver::setClassForClassName(const QString& currentClassName, const QString& oldClassName)
{
    RenamedClasses& r = renamedClasses();
    QWriteLocker lock(&r.lock);
    if (currentClassName.isEmpty())
        r.currentForOld.remove(oldClassName);
    else
        r.currentForOld.insert(oldClassName, currentClassName);
}

QString KeyedUnarchiver::classForClassName(const QString& oldClassName)
{
    RenamedClasses& r = renamedClasses();
    QReadLocker lock(&r.lock);
    return r.currentForOld.value(oldClassName);
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
    const QString& key = formatKeys().root;
    if (isValid() && d->depth == 0 && !containsValueForKey(key))
        d->setError(QStringLiteral("no root object"));
    const auto reference = d->lookup(key);
    ZQObjectPtr root = decodeObject(key);
    if (!root && isValid() && !(reference && reference->type == PlistType::Uid && d->plist.uid(*reference) == 0))
        d->setError(QStringLiteral("the root is not an object"));
    return root;
}

bool KeyedUnarchiver::containsValueForKey(const QString& key) const
{
    return d->position(key).has_value();
}

ZQObjectPtr KeyedUnarchiver::decodeObject(const QString& key)
{
    return d->guarded([&]() -> ZQObjectPtr {
        const auto reference = d->lookup(key);
        if (!reference)
            return nullptr;
        if (reference->type != PlistType::Uid) {
            d->logWrongType(key, typeName(reference->type));
            return nullptr;
        }
        const quint64 uid = d->plist.uid(*reference);
        if (uid == 0)
            return nullptr;
        const Private::Slot& slot = d->resolve(uid);
        if (slot.state != Private::State::Skipped && !slot.isObject)
            d->logWrongType(key, QStringLiteral("%1 where an object was expected").arg(typeName(slot.value)));
        return slot.object;
    });
}

QVariant KeyedUnarchiver::decodeValue(const QString& key)
{
    return d->guarded([&] { return d->valueOfNode(d->lookup(key), key); });
}

void KeyedUnarchiver::decodeDictionaryReadingClass(const QString& key, const QMetaObject& valueClass,
                                                   const std::function<void(const QString&)>& fields,
                                                   const std::function<void(const QString&, const QVariant&)>& other)
{
    d->guarded([&] {
        d->readDictionaryOfClass(key, valueClass, fields, other);
        return true;
    });
}

bool KeyedUnarchiver::decodeBool(const QString& key)
{
    const auto node = d->lookup(key);
    if (!node)
        return false;
    switch (node->type) {
    case PlistType::Boolean: return d->plist.boolean(*node);
    case PlistType::Integer: return d->plist.integer(*node) != 0;
    default: d->logWrongType(key, typeName(node->type)); return false;
    }
}

qint64 KeyedUnarchiver::decodeInt(const QString& key)
{
    const auto node = d->lookup(key);
    if (!node)
        return 0;
    switch (node->type) {
    case PlistType::Integer: return qint64(d->plist.integer(*node));
    case PlistType::Boolean: return d->plist.boolean(*node) ? 1 : 0;
    case PlistType::Real: {
        // Out of range (or not a number) is damage, not a value to convert.
        const double value = d->plist.real(*node);
        if (value >= -0x1p63 && value < 0x1p63)
            return qint64(value);
        break;
    }
    default: break;
    }
    d->logWrongType(key, typeName(node->type));
    return 0;
}

double KeyedUnarchiver::decodeDouble(const QString& key)
{
    const auto node = d->lookup(key);
    if (!node)
        return 0;
    switch (node->type) {
    case PlistType::Real: return d->plist.real(*node);
    case PlistType::Integer: return double(qint64(d->plist.integer(*node)));
    case PlistType::Boolean: return d->plist.boolean(*node) ? 1 : 0;
    default: d->logWrongType(key, typeName(node->type)); return 0;
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
