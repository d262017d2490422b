#include "platform/foundation/PropertyList.h"

#include <QDateTime>
#include <QFile>
#include <QSaveFile>
#include <QtEndian>

#include <plist/plist.h>

#include <algorithm>
#include <cctype>
#include <cmath>
#include <cstdlib>
#include <memory>
#include <vector>

namespace platform {

// ---------------------------------------------------------------------------------------
// OrderedDictionary

void OrderedDictionary::insert(const QString& key, const QVariant& value)
{
    const auto found = m_index.constFind(key);
    if (found != m_index.cend()) {
        m_entries[*found].second = value;
        return;
    }
    m_index.insert(key, m_entries.size());
    m_entries.append({key, value});
}

QVariant OrderedDictionary::value(const QString& key, const QVariant& fallback) const
{
    const auto found = m_index.constFind(key);
    return found == m_index.cend() ? fallback : m_entries[*found].second;
}

QStringList OrderedDictionary::keys() const
{
    QStringList keys;
    keys.reserve(m_entries.size());
    for (const auto& entry : m_entries)
        keys.append(entry.first);
    return keys;
}

QVariantMap OrderedDictionary::toMap() const
{
    QVariantMap map;
    for (const auto& entry : m_entries)
        map.insert(entry.first, entry.second);
    return map;
}

namespace {

struct PlistDeleter {
    void operator()(void* node) const { plist_free(node); }
};
using PlistPtr = std::unique_ptr<void, PlistDeleter>;

// Plist dates count seconds from 2001-01-01 00:00:00 UTC.
constexpr qint64 kPlistEpochMSecs = 978307200000;
// Dates further out (about three million years) are taken for damage.
constexpr double kMaximumDateSeconds = 1e14;

const QString kUidKey = QStringLiteral("CF$UID");

// Thrown inside a conversion and turned into an error value at the public boundary.
struct ConversionFailure {
    QString reason;
};

[[noreturn]] void fail(const QString& reason) { throw ConversionFailure{reason}; }

[[noreturn]] void failTooDeep()
{
    fail(QStringLiteral("it nests deeper than %1 levels").arg(PropertyList::kMaximumDepth));
}

// Counts one more level of containers; `depth` is the number of containers around this one.
int enterContainer(int depth)
{
    if (depth >= PropertyList::kMaximumDepth)
        failTooDeep();
    return depth + 1;
}

// ---------------------------------------------------------------------------------------
// Binary writing.
//
// Our own encoder: libplist 2.2's binary writer slows down with the square of the object
// count (a large keyed archive would take minutes), and it writes nothing for a scalar root.

// Objects are numbered as they are added, children before their container; strings are
// written once and shared, as common writers do.
class BinaryWriter {
public:
    using Result = quint32; // object number

    Result boolean(bool value) { return addScalar(QByteArray(1, value ? '\x09' : '\x08')); }

    Result integer(qint64 value)
    {
        QByteArray object;
        appendInteger(object, value);
        return addScalar(object);
    }

    Result unsignedInteger(quint64 value)
    {
        if (value <= quint64(std::numeric_limits<qint64>::max()))
            return integer(qint64(value));
        QByteArray object(17, '\0'); // 16-byte integer: the high half zero
        object[0] = char(0x14);
        qToBigEndian(value, object.data() + 9);
        return addScalar(object);
    }

    Result real(double value) { return addScalar(markedDouble(0x23, value)); }
    Result date(double secondsSince2001) { return addScalar(markedDouble(0x33, secondsSince2001)); }

    Result uid(quint64 value)
    {
        const int size = byteCount(value);
        QByteArray object(1, char(0x80 | (size - 1)));
        appendBigEndian(object, value, size);
        return addScalar(object);
    }

    Result data(const QByteArray& bytes)
    {
        QByteArray object;
        appendMarker(object, 0x4, quint64(bytes.size()));
        return addScalar(object + bytes);
    }

    Result string(const QString& text)
    {
        const auto known = m_strings.constFind(text);
        if (known != m_strings.cend())
            return *known;
        QByteArray object;
        const bool ascii = std::all_of(text.cbegin(), text.cend(), [](QChar c) { return c.unicode() < 0x80; });
        appendMarker(object, ascii ? 0x5 : 0x6, quint64(text.size()));
        if (ascii) {
            object += text.toLatin1();
        } else {
            for (QChar c : text)
                appendBigEndian(object, c.unicode(), 2);
        }
        const Result number = addScalar(object);
        m_strings.insert(text, number);
        return number;
    }

    Result array(std::vector<Result>&& items) { return addContainer(0xA, items.size(), items); }

    Result dictionary(std::vector<std::pair<QString, Result>>&& entries)
    {
        std::vector<Result> references;
        references.reserve(entries.size() * 2);
        for (const auto& entry : entries)
            references.push_back(string(entry.first));
        for (const auto& entry : entries)
            references.push_back(entry.second);
        return addContainer(0xD, entries.size(), references);
    }

    QByteArray finish(Result top) const
    {
        const int referenceSize = byteCount(m_objects.size() - 1);
        QByteArray encoded("bplist00");
        std::vector<quint64> offsets;
        offsets.reserve(m_objects.size());
        for (const Object& object : m_objects) {
            offsets.push_back(quint64(encoded.size()));
            encoded.append(QByteArrayView(m_bytes).sliced(object.start, object.size));
            for (qsizetype i = 0; i < object.referenceCount; ++i)
                appendBigEndian(encoded, m_references[object.firstReference + i], referenceSize);
        }
        const quint64 offsetTable = quint64(encoded.size());
        const int offsetSize = byteCount(offsets.empty() ? 0 : offsets.back());
        for (quint64 offset : offsets)
            appendBigEndian(encoded, offset, offsetSize);
        encoded += QByteArray(6, '\0');
        encoded += char(offsetSize);
        encoded += char(referenceSize);
        appendBigEndian(encoded, m_objects.size(), 8);
        appendBigEndian(encoded, top, 8);
        appendBigEndian(encoded, offsetTable, 8);
        return encoded;
    }

private:
    struct Object {
        qsizetype start = 0; // marker and payload in m_bytes
        qsizetype size = 0;
        qsizetype firstReference = 0; // in m_references
        qsizetype referenceCount = 0;
    };

    static int byteCount(quint64 value)
    {
        return value <= 0xFF ? 1 : value <= 0xFFFF ? 2 : value <= 0xFFFFFFFF ? 4 : 8;
    }

    static void appendBigEndian(QByteArray& bytes, quint64 value, int size)
    {
        for (int shift = 8 * (size - 1); shift >= 0; shift -= 8)
            bytes += char(value >> shift);
    }

    static void appendInteger(QByteArray& bytes, qint64 value)
    {
        const int size = value < 0 ? 8 : byteCount(quint64(value)); // negative: 8-byte two's complement
        bytes += char(0x10 | qCountTrailingZeroBits(quint32(size)));
        appendBigEndian(bytes, quint64(value), size);
    }

    // The marker of a sized object; counts from 15 on follow as an integer object.
    static void appendMarker(QByteArray& bytes, int type, quint64 count)
    {
        if (count < 15) {
            bytes += char(type << 4 | int(count));
            return;
        }
        bytes += char(type << 4 | 0xF);
        appendInteger(bytes, qint64(count));
    }

    static QByteArray markedDouble(int marker, double value)
    {
        QByteArray object(9, '\0');
        object[0] = char(marker);
        qToBigEndian(value, object.data() + 1);
        return object;
    }

    Result addScalar(const QByteArray& object)
    {
        m_objects.push_back({m_bytes.size(), object.size()});
        m_bytes += object;
        return Result(m_objects.size() - 1);
    }

    Result addContainer(int type, size_t count, const std::vector<Result>& references)
    {
        QByteArray header;
        appendMarker(header, type, count);
        const qsizetype firstReference = qsizetype(m_references.size());
        m_references.insert(m_references.end(), references.begin(), references.end());
        m_objects.push_back({m_bytes.size(), header.size(), firstReference, qsizetype(references.size())});
        m_bytes += header;
        return Result(m_objects.size() - 1);
    }

    std::vector<Object> m_objects;
    QByteArray m_bytes;
    std::vector<Result> m_references;
    QHash<QString, Result> m_strings;
};

// ---------------------------------------------------------------------------------------
// Values libplist 2.2 cannot make or read through its API: unsigned integers above
// INT64_MAX (16-byte integers in binary form) and dates outside 32-bit seconds; its date
// getter also loses the sign of the fraction before 2001. They pass through the binary
// form, whose encoding is fixed.

template <class Make>
PlistPtr nodeFromSingleObject(Make make)
{
    BinaryWriter writer;
    const QByteArray encoded = writer.finish(make(writer));
    plist_t node = nullptr;
    plist_from_bin(encoded.constData(), uint32_t(encoded.size()), &node);
    if (!node)
        fail(QStringLiteral("a value could not be encoded"));
    return PlistPtr(node);
}

// The binary object of a scalar node, cut from libplist's encoding of a one-element array:
// the objects are the array and then the scalar, which runs up to the offset table.
QByteArray binaryObjectOfNode(plist_t node)
{
    const PlistPtr array(plist_new_array());
    plist_array_append_item(array.get(), plist_copy(node));
    char* bytes = nullptr;
    uint32_t length = 0;
    plist_to_bin(array.get(), &bytes, &length);
    const QByteArray encoded(bytes, qsizetype(length));
    plist_to_bin_free(bytes);

    const qsizetype trailer = encoded.size() - 32;
    if (trailer < 8)
        fail(QStringLiteral("a value could not be decoded"));
    const int offsetSize = quint8(encoded[trailer + 6]);
    const quint64 objectCount = qFromBigEndian<quint64>(encoded.constData() + trailer + 8);
    const quint64 topObject = qFromBigEndian<quint64>(encoded.constData() + trailer + 16);
    const quint64 table = qFromBigEndian<quint64>(encoded.constData() + trailer + 24);
    if (objectCount != 2 || topObject > 1 || offsetSize > 8 || table + 2 * offsetSize > quint64(trailer))
        fail(QStringLiteral("a value could not be decoded"));
    quint64 offset = 0;
    for (int i = 0; i < offsetSize; ++i)
        offset = (offset << 8) | quint8(encoded[qsizetype(table + (1 - topObject) * offsetSize) + i]);
    if (offset < 8 || offset >= table)
        fail(QStringLiteral("a value could not be decoded"));
    return encoded.mid(qsizetype(offset), qsizetype(table - offset));
}

QVariant integerValue(plist_t node)
{
    uint64_t value = 0;
    plist_get_uint_val(node, &value);
    if (value <= quint64(std::numeric_limits<qint64>::max()))
        return QVariant(qint64(value));
    // Eight bytes hold a negative number; sixteen an unsigned one.
    const bool isUnsigned = binaryObjectOfNode(node).startsWith(char(0x14));
    return isUnsigned ? QVariant(quint64(value)) : QVariant(qint64(value));
}

QVariant dateValue(plist_t node)
{
    const QByteArray object = binaryObjectOfNode(node);
    if (object.size() != 9 || quint8(object[0]) != 0x33)
        fail(QStringLiteral("a date could not be decoded"));
    const double seconds = qFromBigEndian<double>(object.constData() + 1);
    if (!(std::fabs(seconds) < kMaximumDateSeconds))
        fail(QStringLiteral("a date lies outside the supported range"));
    return QDateTime::fromMSecsSinceEpoch(kPlistEpochMSecs + std::llround(seconds * 1000.0), Qt::UTC);
}

// ---------------------------------------------------------------------------------------
// Reading: libplist nodes to QVariant.

class NodeReader {
public:
    explicit NodeReader(PropertyList::DictionaryType dictionaries) : m_dictionaries(dictionaries) {}

    QVariant read(plist_t node, int depth = 0) const
    {
        switch (plist_get_node_type(node)) {
        case PLIST_BOOLEAN: {
            uint8_t value = 0;
            plist_get_bool_val(node, &value);
            return QVariant(value != 0);
        }
        case PLIST_UINT:
            return integerValue(node);
        case PLIST_REAL: {
            double value = 0;
            plist_get_real_val(node, &value);
            return QVariant(value);
        }
        case PLIST_STRING:
        case PLIST_KEY: {
            uint64_t length = 0;
            const char* text = plist_get_string_ptr(node, &length);
            return QVariant(QString::fromUtf8(text, qsizetype(length)));
        }
        case PLIST_DATA: {
            uint64_t length = 0;
            const char* bytes = plist_get_data_ptr(node, &length);
            return QVariant(QByteArray(bytes, qsizetype(length)));
        }
        case PLIST_DATE:
            return dateValue(node);
        case PLIST_UID: {
            uint64_t value = 0;
            plist_get_uid_val(node, &value);
            return QVariant::fromValue(PlistUid{value});
        }
        case PLIST_ARRAY:
            return readArray(node, enterContainer(depth));
        case PLIST_DICT:
            return readDictionary(node, enterContainer(depth));
        case PLIST_NONE:
            break;
        }
        fail(QStringLiteral("it holds a value of unknown type"));
    }

private:
    QVariant readArray(plist_t node, int depth) const
    {
        QVariantList list;
        list.reserve(plist_array_get_size(node));
        plist_array_iter iter = nullptr;
        plist_array_new_iter(node, &iter);
        std::unique_ptr<void, decltype(&std::free)> iterGuard(iter, &std::free);
        for (plist_t item = nullptr;;) {
            plist_array_next_item(node, iter, &item);
            if (!item)
                break;
            list.append(read(item, depth));
        }
        return list;
    }

    QVariant readDictionary(plist_t node, int depth) const
    {
        OrderedDictionary entries;
        plist_dict_iter iter = nullptr;
        plist_dict_new_iter(node, &iter);
        std::unique_ptr<void, decltype(&std::free)> iterGuard(iter, &std::free);
        for (;;) {
            char* key = nullptr;
            plist_t value = nullptr;
            plist_dict_next_item(node, iter, &key, &value);
            std::unique_ptr<char, decltype(&std::free)> keyGuard(key, &std::free);
            if (!value)
                break;
            entries.insert(QString::fromUtf8(key ? key : ""), read(value, depth));
        }
        if (const auto uid = uidOfXmlReference(entries))
            return QVariant::fromValue(*uid);
        if (m_dictionaries == PropertyList::DictionaryType::Ordered)
            return QVariant::fromValue(entries);
        return entries.toMap();
    }

    // XML spells a UID as the dictionary {"CF$UID": n}.
    static std::optional<PlistUid> uidOfXmlReference(const OrderedDictionary& entries)
    {
        if (entries.size() != 1 || !entries.contains(kUidKey))
            return std::nullopt;
        const QVariant value = entries.value(kUidKey);
        if (value.typeId() != QMetaType::LongLong || value.toLongLong() < 0)
            return std::nullopt;
        return PlistUid{quint64(value.toLongLong())};
    }

    PropertyList::DictionaryType m_dictionaries;
};

// ---------------------------------------------------------------------------------------
// Writing: QVariant through a builder, which makes libplist nodes (for XML) or binary objects.

class NodeBuilder {
public:
    using Result = PlistPtr;

    Result boolean(bool value) { return PlistPtr(plist_new_bool(value)); }
    Result integer(qint64 value) { return PlistPtr(plist_new_uint(uint64_t(value))); }
    Result unsignedInteger(quint64 value)
    {
        if (value <= quint64(std::numeric_limits<qint64>::max()))
            return integer(qint64(value));
        return nodeFromSingleObject([value](BinaryWriter& writer) { return writer.unsignedInteger(value); });
    }
    Result real(double value) { return PlistPtr(plist_new_real(value)); }
    Result date(double secondsSince2001)
    {
        return nodeFromSingleObject([secondsSince2001](BinaryWriter& writer) { return writer.date(secondsSince2001); });
    }
    Result uid(quint64 value) { return PlistPtr(plist_new_uid(value)); }
    Result data(const QByteArray& bytes) { return PlistPtr(plist_new_data(bytes.constData(), uint64_t(bytes.size()))); }
    Result string(const QString& text) { return PlistPtr(plist_new_string(text.toUtf8().constData())); }

    Result array(std::vector<Result>&& items)
    {
        PlistPtr array(plist_new_array());
        for (Result& item : items)
            plist_array_append_item(array.get(), item.release());
        return array;
    }

    Result dictionary(std::vector<std::pair<QString, Result>>&& entries)
    {
        PlistPtr dictionary(plist_new_dict());
        for (auto& [key, value] : entries)
            plist_dict_set_item(dictionary.get(), key.toUtf8().constData(), value.release());
        return dictionary;
    }
};

// Decides once, for every builder, what each QVariant type becomes.
template <class Builder>
class VariantWalker {
public:
    using Result = typename Builder::Result;

    explicit VariantWalker(Builder& builder) : m_builder(builder) {}

    Result walk(const QVariant& value, int depth = 0)
    {
        switch (value.typeId()) {
        case QMetaType::Bool:
            return m_builder.boolean(value.toBool());
        case QMetaType::Char:
        case QMetaType::SChar:
        case QMetaType::Short:
        case QMetaType::Int:
        case QMetaType::Long:
        case QMetaType::LongLong:
            return m_builder.integer(value.toLongLong());
        case QMetaType::UChar:
        case QMetaType::UShort:
        case QMetaType::UInt:
        case QMetaType::ULong:
        case QMetaType::ULongLong:
            return m_builder.unsignedInteger(value.toULongLong());
        case QMetaType::Float:
        case QMetaType::Double:
            return m_builder.real(value.toDouble());
        case QMetaType::QString:
            return m_builder.string(checkedText(value.toString()));
        case QMetaType::QByteArray:
            return m_builder.data(value.toByteArray());
        case QMetaType::QDateTime:
            return m_builder.date(secondsSince2001(value.toDateTime()));
        case QMetaType::QDate:
            return m_builder.date(secondsSince2001(value.toDate().startOfDay(Qt::UTC)));
        case QMetaType::QStringList:
        case QMetaType::QVariantList:
            return walkList(value.toList(), enterContainer(depth));
        case QMetaType::QVariantMap: {
            const QVariantMap map = value.toMap();
            return walkEntries(map.asKeyValueRange(), map.size(), enterContainer(depth));
        }
        case QMetaType::QVariantHash: {
            const auto entries = sortedEntries(value.toHash());
            return walkEntries(entries, entries.size(), enterContainer(depth));
        }
        default:
            break;
        }
        if (value.typeId() == qMetaTypeId<PlistUid>())
            return m_builder.uid(value.value<PlistUid>().value);
        if (value.typeId() == qMetaTypeId<OrderedDictionary>()) {
            const auto entries = value.value<OrderedDictionary>().entries();
            return walkEntries(entries, entries.size(), enterContainer(depth));
        }
        fail(value.isValid() ? QStringLiteral("values of type %1 have no property-list form").arg(value.typeName())
                             : QStringLiteral("it holds an empty value"));
    }

private:
    // libplist takes C strings: an embedded NUL would cut the text short.
    static const QString& checkedText(const QString& text)
    {
        if (text.contains(QChar(0)))
            fail(QStringLiteral("a string contains a NUL character"));
        return text;
    }

    static double secondsSince2001(const QDateTime& date)
    {
        if (!date.isValid())
            fail(QStringLiteral("an invalid date cannot be stored"));
        return double(date.toMSecsSinceEpoch() - kPlistEpochMSecs) / 1000.0;
    }

    static QList<std::pair<QString, QVariant>> sortedEntries(const QVariantHash& hash)
    {
        QList<std::pair<QString, QVariant>> entries(hash.keyValueBegin(), hash.keyValueEnd());
        std::sort(entries.begin(), entries.end(), [](const auto& a, const auto& b) { return a.first < b.first; });
        return entries;
    }

    Result walkList(const QVariantList& list, int depth)
    {
        std::vector<Result> items;
        items.reserve(size_t(list.size()));
        for (const QVariant& item : list)
            items.push_back(walk(item, depth));
        return m_builder.array(std::move(items));
    }

    template <class Entries>
    Result walkEntries(const Entries& entries, qsizetype count, int depth)
    {
        std::vector<std::pair<QString, Result>> walked;
        walked.reserve(size_t(count));
        for (const auto& [key, value] : entries)
            walked.emplace_back(checkedText(key), walk(value, depth));
        return m_builder.dictionary(std::move(walked));
    }

    Builder& m_builder;
};

// ---------------------------------------------------------------------------------------
// Structural checks before libplist parses.

// Measures the nesting of <array> and <dict> elements. libplist's XML parser recurses once
// per level and overflows the stack on a few hundred thousand; counting tags inside
// comments as well only errs towards refusing.
bool xmlNestsWithin(QByteArrayView xml, int maximumDepth)
{
    int depth = 0;
    qsizetype tagEnd = -1; // the first '>' at or after the current '<' (size() when none)
    for (qsizetype at = xml.indexOf('<'); at >= 0; at = xml.indexOf('<', at + 1)) {
        const QByteArrayView rest = xml.sliced(at + 1);
        const bool closing = rest.startsWith('/');
        const QByteArrayView name = rest.sliced(closing ? 1 : 0);
        const qsizetype nameLength = name.startsWith("array") ? 5 : name.startsWith("dict") ? 4 : 0;
        if (nameLength == 0 || (name.size() > nameLength && std::isalnum(uchar(name[nameLength]))))
            continue;
        if (closing) {
            depth = std::max(0, depth - 1);
            continue;
        }
        if (tagEnd < at) {
            tagEnd = xml.indexOf('>', at);
            if (tagEnd < 0)
                tagEnd = xml.size();
        }
        if (tagEnd < xml.size() && xml[tagEnd - 1] == '/')
            continue; // <array/>
        if (++depth > maximumDepth)
            return false;
    }
    return true;
}

// Walks a binary property list's object graph before libplist expands it. libplist parses
// a shared object once for every reference to it, so a few kilobytes of layered shared
// references stand for billions of objects; it also recurses once per nesting level.
// Expanded sizes are therefore bounded by what an unshared tree of this input could hold.
class BinaryPlistGuard {
public:
    explicit BinaryPlistGuard(QByteArrayView data)
        : m_data(data)
        , m_nodeBudget(std::min<quint64>(quint64(data.size()) + 64, kMaximumObjectCount))
        , m_payloadBudget(32 * quint64(data.size()) + (1 << 20))
    {
    }

    // Answers an empty string when libplist may parse the data.
    QString problem()
    {
        try {
            readTrailer();
            measure(m_topObject, 0);
        } catch (const ConversionFailure& failure) {
            return failure.reason;
        }
        return {};
    }

private:
    // Beyond this many objects the parsed tree alone would take gigabytes.
    static constexpr quint64 kMaximumObjectCount = quint64(1) << 24;
    static constexpr qsizetype kTrailerSize = 32;
    static constexpr qsizetype kHeaderSize = 8;

    enum class State : quint8 { Unvisited, InProgress, Done };
    struct Measure {
        quint64 payload = 0;
        quint32 nodes = 0;
        quint16 height = 0; // levels of containers, this one included
        State state = State::Unvisited;
        bool checkedAsKey = false;
    };

    struct Object {
        qsizetype payloadStart = 0;
        quint64 count = 0;
        int type = 0;
    };

    [[noreturn]] static void damaged() { fail(QStringLiteral("its binary structure is damaged")); }

    quint64 readUnsigned(qsizetype at, int size) const
    {
        if (at < 0 || size > 8 || at + size > m_objectsEnd)
            damaged();
        quint64 value = 0;
        for (int i = 0; i < size; ++i)
            value = (value << 8) | quint8(m_data[at + i]);
        return value;
    }

    void readTrailer()
    {
        if (m_data.size() < kHeaderSize + 1 + kTrailerSize)
            damaged();
        m_objectsEnd = m_data.size() - kTrailerSize;
        const qsizetype trailer = m_objectsEnd;
        m_offsetSize = quint8(m_data[trailer + 6]);
        m_referenceSize = quint8(m_data[trailer + 7]);
        const auto field = [&](int at) { return qFromBigEndian<quint64>(m_data.data() + trailer + at); };
        const quint64 objectCount = field(8);
        m_topObject = field(16);
        const quint64 offsetTable = field(24);
        const auto validSize = [](int size) { return size >= 1 && size <= 8; }; // writers use 3, too
        if (!validSize(m_offsetSize) || !validSize(m_referenceSize) || objectCount == 0
            || objectCount > kMaximumObjectCount || m_topObject >= objectCount || offsetTable < quint64(kHeaderSize)
            || offsetTable > quint64(m_objectsEnd)
            || objectCount > (quint64(m_objectsEnd) - offsetTable) / m_offsetSize)
            damaged();
        m_offsetTable = qsizetype(offsetTable);
        m_objectCount = objectCount;
        m_measures.assign(objectCount, Measure{});
    }

    // The count after a marker: its low nibble, or an integer object after it.
    quint64 readCount(qsizetype& at, int lowNibble) const
    {
        if (lowNibble != 0xF)
            return quint64(lowNibble);
        const int marker = int(readUnsigned(at, 1));
        if ((marker >> 4) != 0x1 || (marker & 0xF) > 3)
            damaged();
        const int size = 1 << (marker & 0xF);
        const quint64 count = readUnsigned(at + 1, size);
        at += 1 + size;
        return count;
    }

    Object readObject(quint64 index) const
    {
        const quint64 offset = readOffsetTableEntry(index);
        if (offset < quint64(kHeaderSize) || offset >= quint64(m_objectsEnd))
            damaged();
        qsizetype at = qsizetype(offset);
        const int marker = int(readUnsigned(at, 1));
        ++at;
        Object object;
        object.type = marker >> 4;
        const int low = marker & 0xF;
        quint64 unitSize = 1;
        switch (object.type) {
        case 0x0: // null, booleans, fill
            break;
        case 0x1: // integer
        case 0x2: // real
            if (low > 4)
                damaged();
            unitSize = quint64(1) << low;
            object.count = 1;
            break;
        case 0x3: // date
            unitSize = 8;
            object.count = 1;
            break;
        case 0x8: // UID
            unitSize = quint64(low) + 1;
            object.count = 1;
            break;
        case 0x4: // data
        case 0x5: // ASCII string
        case 0x7: // UTF-8 string
            object.count = readCount(at, low);
            break;
        case 0x6: // UTF-16 string
            object.count = readCount(at, low);
            unitSize = 2;
            break;
        case 0xA: // array
        case 0xB: // ordered set
        case 0xC: // set
            object.count = readCount(at, low);
            unitSize = m_referenceSize;
            break;
        case 0xD: // dictionary: keys, then values
            object.count = readCount(at, low);
            if (object.count > std::numeric_limits<quint64>::max() / 2)
                damaged();
            object.count *= 2;
            unitSize = m_referenceSize;
            break;
        default:
            damaged();
        }
        if (object.count > quint64(m_objectsEnd - at) / unitSize)
            damaged();
        object.payloadStart = at;
        return object;
    }

    quint64 readOffsetTableEntry(quint64 index) const
    {
        return readUnsigned(m_offsetTable + qsizetype(index) * m_offsetSize, m_offsetSize);
    }

    static bool isContainer(int type) { return type >= 0xA && type <= 0xD; }

    static quint64 payloadBytes(const Object& object)
    {
        switch (object.type) {
        case 0x4:
        case 0x5:
        case 0x7:
            return object.count;
        case 0x6:
            return object.count * 3; // UTF-16 units become up to three UTF-8 bytes
        default:
            return 0;
        }
    }

    // Keys must be strings, and libplist aborts on a key holding a NUL character.
    void checkKey(quint64 index)
    {
        if (m_measures[index].checkedAsKey)
            return;
        const Object key = readObject(index);
        const int unitSize = key.type == 0x6 ? 2 : 1;
        if (key.type != 0x5 && key.type != 0x6)
            fail(QStringLiteral("a dictionary key is not a string"));
        for (quint64 unit = 0; unit < key.count; ++unit) {
            const QByteArrayView character = m_data.sliced(key.payloadStart + qsizetype(unit) * unitSize, unitSize);
            if (std::all_of(character.begin(), character.end(), [](char byte) { return byte == 0; }))
                fail(QStringLiteral("a dictionary key holds a NUL character"));
        }
        m_measures[index].checkedAsKey = true;
    }

    const Measure& measure(quint64 index, int depth)
    {
        Measure& known = m_measures[index];
        if (known.state == State::Done) {
            if (depth + known.height > PropertyList::kMaximumDepth)
                failTooDeep();
            return known;
        }
        if (known.state == State::InProgress)
            fail(QStringLiteral("its objects refer to each other in a cycle"));
        const Object object = readObject(index);
        Measure result;
        result.nodes = 1;
        result.payload = payloadBytes(object);
        if (isContainer(object.type)) {
            enterContainer(depth);
            known.state = State::InProgress;
            quint16 deepestChild = 0;
            for (quint64 i = 0; i < object.count; ++i) {
                const quint64 child = readUnsigned(object.payloadStart + qsizetype(i) * m_referenceSize, m_referenceSize);
                if (child >= m_objectCount)
                    damaged();
                if (object.type == 0xD && i < object.count / 2)
                    checkKey(child);
                const Measure& measured = measure(child, depth + 1);
                result.nodes = quint32(std::min<quint64>(quint64(result.nodes) + measured.nodes, m_nodeBudget + 1));
                result.payload = std::min(result.payload + measured.payload, m_payloadBudget + 1);
                deepestChild = std::max(deepestChild, measured.height);
            }
            result.height = deepestChild + 1;
            if (result.nodes > m_nodeBudget || result.payload > m_payloadBudget)
                fail(QStringLiteral("its shared objects expand beyond the size limit"));
        }
        result.state = State::Done;
        result.checkedAsKey = known.checkedAsKey;
        m_measures[index] = result;
        return m_measures[index];
    }

    QByteArrayView m_data;
    quint64 m_nodeBudget;
    quint64 m_payloadBudget;
    qsizetype m_objectsEnd = 0;
    qsizetype m_offsetTable = 0;
    quint64 m_objectCount = 0;
    quint64 m_topObject = 0;
    int m_offsetSize = 0;
    int m_referenceSize = 0;
    std::vector<Measure> m_measures;
};

QString structuralProblem(const QByteArray& data)
{
    if (data.isEmpty())
        return QStringLiteral("it is empty");
    if (data.size() > PropertyList::kMaximumInputSize)
        return QStringLiteral("it is larger than %1 bytes").arg(PropertyList::kMaximumInputSize);
    if (plist_is_binary(data.constData(), uint32_t(data.size())))
        return BinaryPlistGuard(data).problem();
    if (!xmlNestsWithin(data, PropertyList::kMaximumDepth))
        return QStringLiteral("it nests deeper than %1 levels").arg(PropertyList::kMaximumDepth);
    return {};
}

void setError(QuorvaneError* error, const QString& description)
{
    if (error)
        *error = QuorvaneError(kQuorvaneDocumentError, description);
}

QByteArray encodeXml(const QVariant& value)
{
    NodeBuilder builder;
    const PlistPtr root = VariantWalker(builder).walk(value);
    char* bytes = nullptr;
    uint32_t length = 0;
    plist_to_xml(root.get(), &bytes, &length);
    const QByteArray encoded(bytes, qsizetype(length));
    plist_to_xml_free(bytes);
    return encoded;
}

QByteArray encodeBinary(const QVariant& value)
{
    BinaryWriter writer;
    return writer.finish(VariantWalker(writer).walk(value));
}

} // namespace

// ---------------------------------------------------------------------------------------
// PropertyList

std::optional<QVariant> PropertyList::fromData(const QByteArray& data, QuorvaneError* error,
                                               DictionaryType dictionaries)
{
    const auto refuse = [&](const QString& reason) {
        setError(error, QStringLiteral("The property list could not be read because %1.").arg(reason));
        return std::nullopt;
    };
    if (const QString problem = structuralProblem(data); !problem.isEmpty())
        return refuse(problem);
    plist_t parsed = nullptr;
    plist_from_memory(data.constData(), uint32_t(data.size()), &parsed);
    const PlistPtr root(parsed);
    if (!root)
        return refuse(QStringLiteral("it is not a valid property list"));
    try {
        return NodeReader(dictionaries).read(root.get());
    } catch (const ConversionFailure& failure) {
        return refuse(failure.reason);
    }
}

std::optional<QByteArray> PropertyList::toData(const QVariant& value, Format format, QuorvaneError* error)
{
    try {
        return format == Format::Xml ? encodeXml(value) : encodeBinary(value);
    } catch (const ConversionFailure& failure) {
        setError(error, QStringLiteral("The property list could not be written because %1.").arg(failure.reason));
        return std::nullopt;
    }
}

bool PropertyList::isPropertyListValue(const QVariant& value)
{
    try {
        BinaryWriter writer;
        VariantWalker(writer).walk(value);
        return true;
    } catch (const ConversionFailure&) {
        return false;
    }
}

std::optional<QVariant> PropertyList::readFile(const QString& path, QuorvaneError* error, DictionaryType dictionaries)
{
    QFile file(path);
    if (!file.open(QIODevice::ReadOnly)) {
        setError(error, QStringLiteral("The file “%1” could not be opened: %2.").arg(path, file.errorString()));
        return std::nullopt;
    }
    if (file.size() > kMaximumInputSize) {
        setError(error, QStringLiteral("The file “%1” is too large to be a property list.").arg(path));
        return std::nullopt;
    }
    QuorvaneError readError;
    std::optional<QVariant> value = fromData(file.readAll(), &readError, dictionaries);
    if (!value)
        setError(error, QStringLiteral("“%1”: %2").arg(path, readError.localizedDescription()));
    return value;
}

bool PropertyList::writeFile(const QVariant& value, const QString& path, Format format, QuorvaneError* error)
{
    const std::optional<QByteArray> data = toData(value, format, error);
    if (!data)
        return false;
    QSaveFile file(path);
    if (!file.open(QIODevice::WriteOnly) || file.write(*data) != data->size() || !file.commit()) {
        setError(error, QStringLiteral("The file “%1” could not be written: %2.").arg(path, file.errorString()));
        return false;
    }
    return true;
}

} // namespace platform
