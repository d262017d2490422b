#include "platform/foundation/PropertyList.h"

#include "platform/foundation/BinaryPropertyListCheck.h"
#include "platform/foundation/BinaryPropertyListWriter.h"
#include "platform/foundation/RegularFile.h"

#include <QDateTime>
#include <QtEndian>

#include <plist/plist.h>

#include <algorithm>
#include <cctype>
#include <cmath>
#include <cstdlib>
#include <limits>
#include <memory>
#include <span>
#include <utility>
#include <vector>

namespace platform {
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
// Values libplist 2.2 cannot read whole through its API: it cannot tell a 16-byte
// (unsigned) integer from an 8-byte (negative) one, and its date getter loses the sign of
// the fraction before 2001 and the range beyond 32-bit seconds. Their binary encoding is
// fixed, so they are read from it.

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
// Writing: QVariant into binary objects, or into libplist nodes for XML.

// A libplist node of a value its API cannot make: an unsigned integer above INT64_MAX or
// a date outside 32-bit seconds. It is parsed from a one-object binary property list.
template <class Make>
PlistPtr nodeFromSingleObject(Make make)
{
    BinaryPropertyListWriter writer;
    const QByteArray encoded = writer.serialize(make(writer));
    plist_t node = nullptr;
    plist_from_bin(encoded.constData(), uint32_t(encoded.size()), &node);
    if (!node)
        fail(QStringLiteral("a value could not be encoded"));
    return PlistPtr(node);
}

// Makes the same values as BinaryPropertyListWriter, as libplist nodes.
class NodeBuilder {
public:
    PlistPtr boolean(bool value) { return PlistPtr(plist_new_bool(value)); }
    PlistPtr integer(qint64 value) { return PlistPtr(plist_new_uint(uint64_t(value))); }
    PlistPtr unsignedInteger(quint64 value)
    {
        if (value <= quint64(std::numeric_limits<qint64>::max()))
            return integer(qint64(value));
        return nodeFromSingleObject([value](BinaryPropertyListWriter& writer) { return writer.unsignedInteger(value); });
    }
    PlistPtr real(double value) { return PlistPtr(plist_new_real(value)); }
    PlistPtr date(double secondsSince2001)
    {
        return nodeFromSingleObject(
            [secondsSince2001](BinaryPropertyListWriter& writer) { return writer.date(secondsSince2001); });
    }
    PlistPtr uid(quint64 value) { return PlistPtr(plist_new_uid(value)); }
    PlistPtr data(QByteArrayView bytes) { return PlistPtr(plist_new_data(bytes.data(), uint64_t(bytes.size()))); }
    PlistPtr string(const QString& text) { return PlistPtr(plist_new_string(text.toUtf8().constData())); }

    PlistPtr array(std::span<PlistPtr> items)
    {
        PlistPtr array(plist_new_array());
        for (PlistPtr& item : items)
            plist_array_append_item(array.get(), item.release());
        return array;
    }

    // Keys are string nodes, as the binary writer's are string objects.
    PlistPtr dictionary(std::span<PlistPtr> keys, std::span<PlistPtr> values)
    {
        PlistPtr dictionary(plist_new_dict());
        for (size_t i = 0; i < keys.size(); ++i)
            plist_dict_set_item(dictionary.get(), plist_get_string_ptr(keys[i].get(), nullptr), values[i].release());
        return dictionary;
    }
};

// Decides once, for either builder, what each QVariant type becomes.
template <class Builder>
class VariantWriter {
public:
    using Result = decltype(std::declval<Builder&>().boolean(true));

    explicit VariantWriter(Builder& builder) : m_builder(builder) {}

    Result write(const QVariant& value, int depth = 0)
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
            return writeList(value.toList(), enterContainer(depth));
        case QMetaType::QVariantMap: {
            const QVariantMap map = value.toMap();
            return writeEntries(map.asKeyValueRange(), map.size(), enterContainer(depth));
        }
        case QMetaType::QVariantHash: {
            const auto entries = sortedEntries(value.toHash());
            return writeEntries(entries, entries.size(), enterContainer(depth));
        }
        default:
            break;
        }
        if (value.typeId() == qMetaTypeId<PlistUid>())
            return m_builder.uid(checkedUid(value.value<PlistUid>().value));
        if (value.typeId() == qMetaTypeId<OrderedDictionary>()) {
            const auto entries = value.value<OrderedDictionary>().entries();
            return writeEntries(entries, entries.size(), enterContainer(depth));
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

    // libplist reads UIDs of at most four bytes; an archive never needs more.
    static quint64 checkedUid(quint64 uid)
    {
        if (uid > std::numeric_limits<quint32>::max())
            fail(QStringLiteral("a UID above %1 cannot be read back").arg(std::numeric_limits<quint32>::max()));
        return uid;
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

    Result writeList(const QVariantList& list, int depth)
    {
        std::vector<Result> items;
        items.reserve(size_t(list.size()));
        for (const QVariant& item : list)
            items.push_back(write(item, depth));
        return m_builder.array(items);
    }

    template <class Entries>
    Result writeEntries(const Entries& entries, qsizetype count, int depth)
    {
        std::vector<Result> keys;
        std::vector<Result> values;
        keys.reserve(size_t(count));
        values.reserve(size_t(count));
        for (const auto& [key, value] : entries) {
            keys.push_back(m_builder.string(checkedText(key)));
            values.push_back(write(value, depth));
        }
        return m_builder.dictionary(keys, values);
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

QString structuralProblem(const QByteArray& data)
{
    if (data.isEmpty())
        return QStringLiteral("it is empty");
    if (data.size() > PropertyList::kMaximumInputSize)
        return QStringLiteral("it is larger than %1 bytes").arg(PropertyList::kMaximumInputSize);
    if (plist_is_binary(data.constData(), uint32_t(data.size())))
        return binaryPropertyListTreeProblem(data, PropertyList::kMaximumDepth);
    if (!xmlNestsWithin(data, PropertyList::kMaximumDepth))
        return QStringLiteral("it nests deeper than %1 levels").arg(PropertyList::kMaximumDepth);
    return {};
}

void setError(QuorvaneError* error, const QString& description)
{
    if (error)
        *error = QuorvaneError(kQuorvaneDocumentError, description);
}

QByteArray encodeBinary(const QVariant& value)
{
    BinaryPropertyListWriter writer;
    return writer.serialize(VariantWriter(writer).write(value));
}

QByteArray encodeXml(const QVariant& value)
{
    NodeBuilder builder;
    const PlistPtr root = VariantWriter(builder).write(value);
    char* bytes = nullptr;
    uint32_t length = 0;
    plist_to_xml(root.get(), &bytes, &length);
    const QByteArray encoded(bytes, qsizetype(length));
    plist_to_xml_free(bytes);
    return encoded;
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
    // The common scalars without a writer, which costs far more than they do: a drawable
    // checks every user-info value it is given, an import two for each of its objects.
    switch (value.typeId()) {
    case QMetaType::Bool:
    case QMetaType::Int:
    case QMetaType::LongLong:
    case QMetaType::Double:
        return true;
    case QMetaType::QString:
        return !value.toString().contains(QChar(0)); // as the writer's check
    default:
        break;
    }
    try {
        BinaryPropertyListWriter writer;
        VariantWriter(writer).write(value);
        return true;
    } catch (const ConversionFailure&) {
        return false;
    }
}

std::optional<QVariant> PropertyList::readFile(const QString& path, QuorvaneError* error, DictionaryType dictionaries)
{
    QString reason;
    const std::optional<QByteArray> bytes = readRegularFile(path, kMaximumInputSize, &reason);
    if (!bytes) {
        setError(error, QStringLiteral("The file “%1” could not be opened: %2.").arg(path, reason));
        return std::nullopt;
    }
    QuorvaneError readError;
    std::optional<QVariant> value = fromData(*bytes, &readError, dictionaries);
    if (!value)
        setError(error, QStringLiteral("“%1”: %2").arg(path, readError.localizedDescription()));
    return value;
}

bool PropertyList::writeFile(const QVariant& value, const QString& path, Format format, QuorvaneError* error)
{
    const std::optional<QByteArray> data = toData(value, format, error);
    if (!data)
        return false;
    QString reason;
    if (!writeRegularFileAtomically(path, *data, &reason)) {
        setError(error, QStringLiteral("The file “%1” could not be written: %2.").arg(path, reason));
        return false;
    }
    return true;
}

} // namespace platform
