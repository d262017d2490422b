#include "platform/foundation/BinaryPropertyListReader.h"

#include "platform/foundation/BinaryPropertyListCheck.h"

#include <QtEndian>

#include <bit>

namespace platform {
namespace {

constexpr qsizetype kHeaderSize = 8;
constexpr qsizetype kTrailerSize = 32;

constexpr int kAscii = 0x5, kUtf16 = 0x6, kUtf8 = 0x7;

} // namespace

QString BinaryPropertyListReader::open(QByteArrayView data, int maximumDepth, const std::function<bool(double)>& progress)
{
    if (const QString problem = binaryPropertyListProblem(data, maximumDepth, progress); !problem.isEmpty())
        return problem;
    return adoptTrailer(data);
}

QString BinaryPropertyListReader::openWritten(QByteArrayView data)
{
    return adoptTrailer(data);
}

// Objects are still checked as they are read.
QString BinaryPropertyListReader::adoptTrailer(QByteArrayView data)
{
    const std::optional<BinaryPropertyListTrailer> trailer = binaryPropertyListTrailer(data);
    if (!trailer)
        return QStringLiteral("its binary structure is damaged");
    m_data = data;
    m_offsetSize = trailer->offsetSize;
    m_referenceSize = trailer->referenceSize;
    m_objectCount = trailer->objectCount;
    m_topObject = trailer->topObject;
    m_offsetTable = trailer->offsetTable;
    return {};
}

// Callers have checked that the bytes lie inside the data.
quint64 BinaryPropertyListReader::readUnsigned(qsizetype at, int size) const
{
    const auto* bytes = reinterpret_cast<const uchar*>(m_data.data()) + at;
    switch (size) {
    case 1: return bytes[0];
    case 2: return qFromBigEndian<quint16>(bytes);
    case 4: return qFromBigEndian<quint32>(bytes);
    case 8: return qFromBigEndian<quint64>(bytes);
    default: break;
    }
    quint64 value = 0;
    for (int i = 0; i < size; ++i)
        value = (value << 8) | bytes[i];
    return value;
}

BinaryPropertyListReader::Object BinaryPropertyListReader::object(quint64 index) const
{
    if (index >= m_objectCount)
        return {};
    const qsizetype offsetAt = m_offsetTable + qsizetype(index) * m_offsetSize;
    if (offsetAt > m_data.size() - kTrailerSize - m_offsetSize)
        return {};
    const quint64 offset = readUnsigned(offsetAt, m_offsetSize);
    if (offset < quint64(kHeaderSize) || offset >= quint64(m_offsetTable))
        return {};
    qsizetype at = qsizetype(offset);
    Object object;
    object.marker = quint8(m_data[at++]);
    const int low = object.marker & 0xF;
    // A count in the low nibble, or 0xF and an integer of 1 to 8 bytes after the marker.
    const auto readCount = [&]() -> std::optional<quint64> {
        if (low != 0xF)
            return quint64(low);
        if (at >= m_offsetTable)
            return std::nullopt;
        const int marker = quint8(m_data[at]);
        const int size = 1 << (marker & 0xF);
        if ((marker >> 4) != 0x1 || (marker & 0xF) > 3 || at + 1 + size > m_offsetTable)
            return std::nullopt;
        const quint64 count = readUnsigned(at + 1, size);
        at += 1 + size;
        return count;
    };
    quint64 unitSize = 1;
    switch (object.marker >> 4) {
    case 0x0:
        if (object.marker != 0x08 && object.marker != 0x09)
            return {};
        object.type = Type::Boolean;
        unitSize = 0;
        break;
    case 0x1:
        if (low > 4)
            return {};
        object.type = Type::Integer;
        unitSize = quint64(1) << low;
        object.count = 1;
        break;
    case 0x2:
        if (low != 2 && low != 3)
            return {};
        object.type = Type::Real;
        unitSize = quint64(1) << low;
        object.count = 1;
        break;
    case 0x3:
        if (low != 3)
            return {};
        object.type = Type::Date;
        unitSize = 8;
        object.count = 1;
        break;
    case 0x4:
    case kAscii:
    case kUtf8:
    case kUtf16: {
        const auto count = readCount();
        if (!count)
            return {};
        object.type = object.marker >> 4 == 0x4 ? Type::Data : Type::String;
        object.count = *count;
        unitSize = object.marker >> 4 == kUtf16 ? 2 : 1;
        break;
    }
    case 0x8:
        if (low > 7)
            return {};
        object.type = Type::Uid;
        unitSize = quint64(low) + 1;
        object.count = 1;
        break;
    case 0xA:
    case 0xD: {
        const auto count = readCount();
        if (!count)
            return {};
        object.type = object.marker >> 4 == 0xA ? Type::Array : Type::Dictionary;
        object.count = *count;
        unitSize = quint64(m_referenceSize) * (object.type == Type::Dictionary ? 2 : 1);
        break;
    }
    default:
        return {};
    }
    if (at > m_offsetTable || (unitSize && object.count > quint64(m_offsetTable - at) / unitSize))
        return {};
    object.at = at;
    return object;
}

quint64 BinaryPropertyListReader::integer(const Object& object) const
{
    if (object.type != Type::Integer)
        return 0;
    const int size = 1 << (object.marker & 0xF);
    return size == 16 ? readUnsigned(object.at + 8, 8) : readUnsigned(object.at, size);
}

double BinaryPropertyListReader::real(const Object& object) const
{
    if (object.type != Type::Real)
        return 0;
    if ((object.marker & 0xF) == 2)
        return double(std::bit_cast<float>(quint32(readUnsigned(object.at, 4))));
    return std::bit_cast<double>(readUnsigned(object.at, 8));
}

double BinaryPropertyListReader::date(const Object& object) const
{
    return object.type == Type::Date ? std::bit_cast<double>(readUnsigned(object.at, 8)) : 0;
}

quint64 BinaryPropertyListReader::uid(const Object& object) const
{
    return object.type == Type::Uid ? readUnsigned(object.at, (object.marker & 0xF) + 1) : 0;
}

QString BinaryPropertyListReader::string(const Object& object) const
{
    if (object.type != Type::String)
        return {};
    const char* bytes = m_data.data() + object.at;
    if (object.marker >> 4 == kAscii)
        return QString::fromLatin1(bytes, qsizetype(object.count));
    if (object.marker >> 4 == kUtf8)
        return QString::fromUtf8(bytes, qsizetype(object.count));
    QString text(qsizetype(object.count), Qt::Uninitialized);
    char16_t* out = reinterpret_cast<char16_t*>(text.data());
    for (quint64 i = 0; i < object.count; ++i)
        out[i] = qFromBigEndian<quint16>(bytes + 2 * i);
    return text;
}

QByteArray BinaryPropertyListReader::data(const Object& object) const
{
    if (object.type != Type::Data)
        return {};
    return QByteArray(m_data.data() + object.at, qsizetype(object.count));
}

bool BinaryPropertyListReader::equals(const Object& string, QAnyStringView text) const
{
    if (string.type != Type::String)
        return false;
    if (string.marker >> 4 == kAscii)
        return QAnyStringView::equal(QLatin1StringView(m_data.data() + string.at, qsizetype(string.count)), text);
    return QAnyStringView::equal(this->string(string), text);
}

quint64 BinaryPropertyListReader::referenceIndex(const Object& container, quint64 position) const
{
    return readUnsigned(container.at + qsizetype(position) * m_referenceSize, m_referenceSize);
}

BinaryPropertyListReader::Object BinaryPropertyListReader::reference(const Object& container, quint64 position) const
{
    return object(referenceIndex(container, position));
}

BinaryPropertyListReader::Object BinaryPropertyListReader::member(const Object& array, quint64 position) const
{
    return array.type == Type::Array && position < array.count ? reference(array, position) : Object();
}

BinaryPropertyListReader::Object BinaryPropertyListReader::key(const Object& dictionary, quint64 position) const
{
    return dictionary.type == Type::Dictionary && position < dictionary.count ? reference(dictionary, position)
                                                                               : Object();
}

BinaryPropertyListReader::Object BinaryPropertyListReader::value(const Object& dictionary, quint64 position) const
{
    return dictionary.type == Type::Dictionary && position < dictionary.count
        ? reference(dictionary, dictionary.count + position)
        : Object();
}

std::optional<quint64> BinaryPropertyListReader::find(const Object& dictionary, QAnyStringView key, quint64 from) const
{
    if (dictionary.type != Type::Dictionary)
        return std::nullopt;
    quint64 position = dictionary.count ? from % dictionary.count : 0;
    for (quint64 i = 0; i < dictionary.count; ++i) {
        if (equals(this->key(dictionary, position), key))
            return position;
        if (++position == dictionary.count)
            position = 0;
    }
    return std::nullopt;
}

quint64 BinaryPropertyListReader::keyIndex(const Object& dictionary, quint64 position) const
{
    return dictionary.type == Type::Dictionary && position < dictionary.count ? referenceIndex(dictionary, position)
                                                                               : m_objectCount;
}

std::optional<quint64> BinaryPropertyListReader::findKeyIndex(const Object& dictionary, quint64 keyIndex,
                                                              quint64 from) const
{
    if (dictionary.type != Type::Dictionary)
        return std::nullopt;
    quint64 position = dictionary.count ? from % dictionary.count : 0;
    for (quint64 i = 0; i < dictionary.count; ++i) {
        if (referenceIndex(dictionary, position) == keyIndex)
            return position;
        if (++position == dictionary.count)
            position = 0;
    }
    return std::nullopt;
}

} // namespace platform
