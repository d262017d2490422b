#include "platform/foundation/BinaryPropertyListWriter.h"

#include "platform/foundation/ZQAssert.h"

#include <algorithm>
#include <bit>
#include <cmath>
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

void appendBigEndian(QByteArray& out, quint64 value, int bytes)
{
    for (int i = bytes - 1; i >= 0; --i)
        out.append(char(value >> (8 * i)));
}

// Integers of 1, 2 and 4 bytes are unsigned; 8 bytes are signed.
void appendInteger(QByteArray& out, qint64 value)
{
    const int log2 = value < 0 || value > 0xffffffffLL ? 3 : value > 0xffff ? 2 : value > 0xff ? 1 : 0;
    out.append(char(kInteger | log2));
    appendBigEndian(out, quint64(value), 1 << log2);
}

// A marker with a count: in its low nibble, or 0xf and an integer after it.
void appendMarker(QByteArray& out, quint8 type, quint64 count)
{
    if (count < 15) {
        out.append(char(type | count));
        return;
    }
    out.append(char(type | 0x0f));
    appendInteger(out, qint64(count));
}

bool isAsciiWithoutNul(QStringView text)
{
    return std::all_of(text.begin(), text.end(), [](QChar c) { return c.unicode() != 0 && c.unicode() < 0x80; });
}

} // namespace

BinaryPropertyListWriter::Ref BinaryPropertyListWriter::add(Object object)
{
    ZQ_ASSERT(m_objects.size() < std::numeric_limits<Ref>::max(), QStringLiteral("property list too large"));
    m_objects.push_back(object);
    return Ref(m_objects.size() - 1);
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
    return shared(Kind::Uid, value);
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
    const auto found = m_strings.constFind(value);
    if (found != m_strings.cend())
        return *found;
    const quint64 at = quint64(m_bytes.size());
    Ref ref;
    if (isAsciiWithoutNul(value)) {
        m_bytes += value.toLatin1();
        ref = add({Kind::Ascii, at, quint64(value.size())});
    } else {
        for (QChar c : value) {
            m_bytes.append(char(c.unicode() >> 8));
            m_bytes.append(char(c.unicode()));
        }
        ref = add({Kind::Utf16, at, quint64(value.size())});
    }
    m_strings.insert(value, ref);
    return ref;
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
    m_refs.insert(m_refs.end(), members.begin(), members.end());
    return add({Kind::Array, at, members.size()});
}

BinaryPropertyListWriter::Ref BinaryPropertyListWriter::dictionary(std::span<const Ref> keys, std::span<const Ref> values)
{
    ZQ_ASSERT(keys.size() == values.size(), QStringLiteral("a dictionary needs a value for every key"));
    const quint64 at = m_refs.size();
    m_refs.insert(m_refs.end(), keys.begin(), keys.end());
    m_refs.insert(m_refs.end(), values.begin(), values.end());
    return add({Kind::Dictionary, at, keys.size()});
}

void BinaryPropertyListWriter::writeObject(QByteArray& out, const Object& object, int refSize) const
{
    const auto appendRefs = [&](quint64 at, quint64 count) {
        for (quint64 i = 0; i < count; ++i)
            appendBigEndian(out, m_refs[at + i], refSize);
    };
    const auto appendPayload = [&](quint8 type, quint64 bytes) {
        appendMarker(out, type, object.length);
        out.append(m_bytes.constData() + object.value, qsizetype(bytes));
    };
    switch (object.kind) {
    case Kind::Bool: out.append(char(object.value ? kTrue : kFalse)); break;
    case Kind::Integer: appendInteger(out, qint64(object.value)); break;
    case Kind::WideInteger: // the high eight bytes are zero
        out.append(char(kInteger | 4));
        appendBigEndian(out, 0, 8);
        appendBigEndian(out, object.value, 8);
        break;
    case Kind::Real: {
        const double value = std::bit_cast<double>(object.value);
        const float narrow = float(value);
        if (double(narrow) == value && !std::isnan(value)) {
            out.append(char(kReal | 2));
            appendBigEndian(out, std::bit_cast<quint32>(narrow), 4);
        } else {
            out.append(char(kReal | 3));
            appendBigEndian(out, object.value, 8);
        }
        break;
    }
    case Kind::Date:
        out.append(char(kDate));
        appendBigEndian(out, object.value, 8);
        break;
    case Kind::Uid: {
        const int bytes = bytesFor(object.value);
        out.append(char(kUid | (bytes - 1)));
        appendBigEndian(out, object.value, bytes);
        break;
    }
    case Kind::Ascii: appendPayload(kAscii, object.length); break;
    case Kind::Utf16: appendPayload(kUtf16, object.length * 2); break;
    case Kind::Data: appendPayload(kData, object.length); break;
    case Kind::Array:
        appendMarker(out, kArray, object.length);
        appendRefs(object.value, object.length);
        break;
    case Kind::Dictionary:
        appendMarker(out, kDictionary, object.length);
        appendRefs(object.value, object.length * 2);
        break;
    }
}

QByteArray BinaryPropertyListWriter::serialize(Ref top) const
{
    ZQ_ASSERT(top < m_objects.size(), QStringLiteral("the top object was never added"));
    const int refSize = bytesFor(m_objects.size() - 1);
    QByteArray out("bplist00");
    out.reserve(qsizetype(m_objects.size() * 8 + m_refs.size() * refSize + m_bytes.size() + 64));
    std::vector<quint64> offsets;
    offsets.reserve(m_objects.size());
    for (const Object& object : m_objects) {
        offsets.push_back(quint64(out.size()));
        writeObject(out, object, refSize);
    }
    const quint64 offsetTable = quint64(out.size());
    const int offsetSize = bytesFor(offsetTable);
    for (quint64 offset : offsets)
        appendBigEndian(out, offset, offsetSize);
    out.append(QByteArray(6, '\0'));
    out.append(char(offsetSize));
    out.append(char(refSize));
    appendBigEndian(out, m_objects.size(), 8);
    appendBigEndian(out, top, 8);
    appendBigEndian(out, offsetTable, 8);
    return out;
}

} // namespace platform
