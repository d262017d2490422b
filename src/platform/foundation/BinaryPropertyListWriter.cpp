#include "platform/foundation/BinaryPropertyListWriter.h"

#include "platform/foundation/ArchiveProgress.h"
#include "platform/foundation/ZQAssert.h"

#include <algorithm>
#include <bit>
#include <cmath>
#include <cstring>
#include <limits>

namespace platform {
namespace {

constexpr quint8 kFalse = 0x08, kTrue = 0x09;
constexpr quint8 kInteger = 0x10, kReal = 0x20, kDate = 0x33, kData = 0x40, kAscii = 0x50, kUtf16 = 0x60,
                 kUid = 0x80, kArray = 0xa0, kDictionary = 0xd0;

int bytesFor(quint64 value)
{
    int bytes = 1;
    while (bytes < 8 && value >> (8 * bytes))
        ++bytes;
    return bytes;
}

char* putBigEndian(char* out, quint64 value, int bytes)
{
    for (int i = bytes - 1; i >= 0; --i)
        *out++ = char(value >> (8 * i));
    return out;
}

// Integers of 1, 2 and 4 bytes are unsigned; 8 bytes are signed.
int integerBytes(qint64 value)
{
    return value < 0 || value > 0xffffffffLL ? 8 : value > 0xffff ? 4 : value > 0xff ? 2 : 1;
}

char* putInteger(char* out, qint64 value)
{
    const int bytes = integerBytes(value);
    *out++ = char(kInteger | std::countr_zero(unsigned(bytes)));
    return putBigEndian(out, quint64(value), bytes);
}

// A marker with a count: in its low nibble, or 0xf and an integer after it.
char* putMarker(char* out, quint8 type, quint64 count)
{
    if (count < 15) {
        *out++ = char(type | count);
        return out;
    }
    *out++ = char(type | 0x0f);
    return putInteger(out, qint64(count));
}

quint64 markerBytes(quint64 count)
{
    return count < 15 ? 1 : 2 + quint64(integerBytes(qint64(count)));
}

// Reals a float holds exactly take four bytes.
bool isNarrowReal(double value)
{
    return double(float(value)) == value && !std::isnan(value);
}

bool isAsciiWithoutNul(QStringView text)
{
    return std::all_of(text.begin(), text.end(), [](QChar c) { return c.unicode() != 0 && c.unicode() < 0x80; });
}

} // namespace

BinaryPropertyListWriter::Ref BinaryPropertyListWriter::add(Object object)
{
    ZQ_ASSERT(m_objects.size() < std::numeric_limits<Ref>::max(), QStringLiteral("property list too large"));
    m_objects.append(object);
    return Ref(m_objects.size() - 1);
}

void BinaryPropertyListWriter::appendRefs(std::span<const Ref> refs)
{
    const qsizetype at = m_refs.size();
    m_refs.resize(at + qsizetype(refs.size()));
    std::copy(refs.begin(), refs.end(), m_refs.begin() + at);
}

BinaryPropertyListWriter::Ref BinaryPropertyListWriter::shared(Kind kind, quint64 value)
{
    QHash<quint64, Ref>& known = m_scalars[size_t(kind)];
    const auto found = known.constFind(value);
    if (found != known.cend())
        return *found;
    const Ref ref = add({kind, value});
    known.insert(value, ref);
    return ref;
}

BinaryPropertyListWriter::Ref BinaryPropertyListWriter::boolean(bool value)
{
    return shared(Kind::Bool, value);
}

BinaryPropertyListWriter::Ref BinaryPropertyListWriter::integer(qint64 value)
{
    return shared(Kind::Integer, quint64(value));
}

BinaryPropertyListWriter::Ref BinaryPropertyListWriter::unsignedInteger(quint64 value)
{
    if (value <= quint64(std::numeric_limits<qint64>::max()))
        return integer(qint64(value));
    return shared(Kind::WideInteger, value);
}

BinaryPropertyListWriter::Ref BinaryPropertyListWriter::real(double value)
{
    return shared(Kind::Real, std::bit_cast<quint64>(value));
}

BinaryPropertyListWriter::Ref BinaryPropertyListWriter::date(double secondsSince2001)
{
    return shared(Kind::Date, std::bit_cast<quint64>(secondsSince2001));
}

BinaryPropertyListWriter::Ref BinaryPropertyListWriter::uid(quint64 value)
{
    if (value > quint64(m_objects.size()))
        return shared(Kind::Uid, value);
    if (value >= quint64(m_uids.size()))
        m_uids.resize(std::max<qsizetype>(qsizetype(value) + 1, m_uids.size() * 2), kNoRef);
    Ref& ref = m_uids[value];
    if (ref == kNoRef)
        ref = m_scalars[size_t(Kind::Uid)].isEmpty() ? add({Kind::Uid, value}) : shared(Kind::Uid, value);
    return ref;
}

BinaryPropertyListWriter::Ref BinaryPropertyListWriter::pendingUid()
{
    return add({Kind::Uid, 0});
}

void BinaryPropertyListWriter::setUid(Ref pending, quint64 value)
{
    m_objects[pending].value = value;
}

BinaryPropertyListWriter::Ref BinaryPropertyListWriter::string(const QString& value)
{
    // One lookup: a new string grows the table by its (default) entry.
    const qsizetype known = m_strings.size();
    Ref& ref = m_strings[value];
    if (m_strings.size() != known)
        ref = uniqueString(value);
    return ref;
}

BinaryPropertyListWriter::Ref BinaryPropertyListWriter::uniqueString(const QString& value)
{
    const quint64 at = quint64(m_bytes.size());
    if (isAsciiWithoutNul(value)) {
        m_bytes.resize(m_bytes.size() + value.size());
        std::transform(value.cbegin(), value.cend(), m_bytes.data() + at, [](QChar c) { return char(c.unicode()); });
        return add({Kind::Ascii, at, quint64(value.size())});
    }
    for (QChar c : value) {
        m_bytes.append(char(c.unicode() >> 8));
        m_bytes.append(char(c.unicode()));
    }
    return add({Kind::Utf16, at, quint64(value.size())});
}

BinaryPropertyListWriter::Ref BinaryPropertyListWriter::data(QByteArrayView value)
{
    const quint64 at = quint64(m_bytes.size());
    m_bytes += value;
    return add({Kind::Data, at, quint64(value.size())});
}

BinaryPropertyListWriter::Ref BinaryPropertyListWriter::array(std::span<const Ref> members)
{
    const quint64 at = m_refs.size();
    appendRefs(members);
    return add({Kind::Array, at, members.size()});
}

BinaryPropertyListWriter::Ref BinaryPropertyListWriter::dictionary(std::span<const Ref> keys, std::span<const Ref> values)
{
    ZQ_ASSERT(keys.size() == values.size(), QStringLiteral("a dictionary needs a value for every key"));
    const quint64 at = m_refs.size();
    appendRefs(keys);
    appendRefs(values);
    return add({Kind::Dictionary, at, keys.size()});
}

char* BinaryPropertyListWriter::writeObject(char* out, const Object& object, int refSize) const
{
    const auto putRefs = [&](quint64 at, quint64 count) {
        for (quint64 i = 0; i < count; ++i)
            out = putBigEndian(out, m_refs[at + i], refSize);
        return out;
    };
    const auto putPayload = [&](quint8 type, quint64 bytes) {
        out = putMarker(out, type, object.length);
        std::memcpy(out, m_bytes.constData() + object.value, bytes);
        return out + bytes;
    };
    switch (object.kind) {
    case Kind::Bool: *out++ = char(object.value ? kTrue : kFalse); return out;
    case Kind::Integer: return putInteger(out, qint64(object.value));
    case Kind::WideInteger: // the high eight bytes are zero
        *out++ = char(kInteger | 4);
        out = putBigEndian(out, 0, 8);
        return putBigEndian(out, object.value, 8);
    case Kind::Real: {
        const double value = std::bit_cast<double>(object.value);
        if (isNarrowReal(value)) {
            *out++ = char(kReal | 2);
            return putBigEndian(out, std::bit_cast<quint32>(float(value)), 4);
        }
        *out++ = char(kReal | 3);
        return putBigEndian(out, object.value, 8);
    }
    case Kind::Date:
        *out++ = char(kDate);
        return putBigEndian(out, object.value, 8);
    case Kind::Uid: {
        const int bytes = bytesFor(object.value);
        *out++ = char(kUid | (bytes - 1));
        return putBigEndian(out, object.value, bytes);
    }
    case Kind::Ascii: return putPayload(kAscii, object.length);
    case Kind::Utf16: return putPayload(kUtf16, object.length * 2);
    case Kind::Data: return putPayload(kData, object.length);
    case Kind::Array:
        out = putMarker(out, kArray, object.length);
        return putRefs(object.value, object.length);
    case Kind::Dictionary:
        out = putMarker(out, kDictionary, object.length);
        return putRefs(object.value, object.length * 2);
    }
    return out;
}

quint64 BinaryPropertyListWriter::objectBytes(const Object& object, int refSize) const
{
    switch (object.kind) {
    case Kind::Bool: return 1;
    case Kind::Integer: return 1 + quint64(integerBytes(qint64(object.value)));
    case Kind::WideInteger: return 17;
    case Kind::Real: return isNarrowReal(std::bit_cast<double>(object.value)) ? 5 : 9;
    case Kind::Date: return 9;
    case Kind::Uid: return 1 + quint64(bytesFor(object.value));
    case Kind::Ascii:
    case Kind::Data: return markerBytes(object.length) + object.length;
    case Kind::Utf16: return markerBytes(object.length) + object.length * 2;
    case Kind::Array: return markerBytes(object.length) + object.length * quint64(refSize);
    case Kind::Dictionary: return markerBytes(object.length) + object.length * 2 * quint64(refSize);
    }
    return 0;
}

QByteArray BinaryPropertyListWriter::serialize(Ref top, const std::function<bool(double)>& progress) const
{
    ZQ_ASSERT(top < m_objects.size(), QStringLiteral("the top object was never added"));
    const int refSize = bytesFor(m_objects.size() - 1);
    constexpr char kHeader[] = "bplist00";
    constexpr qsizetype kHeaderSize = sizeof(kHeader) - 1, kTrailerSize = 32;
    // Measured first, so that each offset goes straight into its table and nothing is
    // allocated beyond the file.
    quint64 offsetTable = kHeaderSize;
    for (const Object& object : m_objects)
        offsetTable += objectBytes(object, refSize);
    const int offsetSize = bytesFor(offsetTable);
    QByteArray out(qsizetype(offsetTable + m_objects.size() * offsetSize) + kTrailerSize, Qt::Uninitialized);
    char* const begin = out.data();
    char* at = std::copy_n(kHeader, kHeaderSize, begin);
    char* offsetAt = begin + offsetTable;
    quint64 written = 0;
    for (const Object& object : m_objects) {
        offsetAt = putBigEndian(offsetAt, quint64(at - begin), offsetSize);
        at = writeObject(at, object, refSize);
        if (progress && ++written % archive::kPropertyListProgressInterval == 0
            && !progress(double(written) / double(m_objects.size())))
            return {};
    }
    ZQ_ASSERT(at == begin + offsetTable, QStringLiteral("an object took other than its measure"));
    at = std::fill_n(offsetAt, 6, '\0');
    *at++ = char(offsetSize);
    *at++ = char(refSize);
    at = putBigEndian(at, m_objects.size(), 8);
    at = putBigEndian(at, top, 8);
    putBigEndian(at, offsetTable, 8);
    return out;
}

} // namespace platform
