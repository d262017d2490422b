#include "geodata/ShapeRecord.h"

#include <QSysInfo>
#include <QtEndian>
#include <algorithm>
#include <bit>
#include <cstring>
#include <type_traits>

namespace geodata {
namespace {

static_assert(sizeof(QPointF) == 16 && std::is_trivially_copyable_v<QPointF>, "points are copied as pairs of doubles");

double littleEndianDouble(const char* bytes)
{
    return std::bit_cast<double>(qFromLittleEndian<quint64>(bytes));
}

// Shape types grouped by the layout of their X/Y part.
enum class Layout { None, Point, MultiPoint, Poly, MultiPatch };

Layout layoutOf(qint32 shapeType)
{
    switch (shapeType) {
    case kPointShape: case kPointZShape: case kPointMShape:
        return Layout::Point;
    case kMultiPointShape: case kMultiPointZShape: case kMultiPointMShape:
        return Layout::MultiPoint;
    case kPolyLineShape: case kPolygonShape: case kPolyLineZShape: case kPolygonZShape:
    case kPolyLineMShape: case kPolygonMShape:
        return Layout::Poly;
    case kMultiPatchShape:
        return Layout::MultiPatch;
    default:
        return Layout::None;
    }
}

} // namespace

std::optional<qint32> ShapeRecord::shapeType() const
{
    if (content.size() < 4)
        return std::nullopt;
    return qFromLittleEndian<qint32>(content.data());
}

ShapeIndex::ShapeIndex(QByteArrayView data)
{
    constexpr quint32 kFileCode = 9994;
    if (data.size() < kShapeFileHeaderLength || qFromBigEndian<quint32>(data.data()) != kFileCode)
        return;
    m_data = data;
    m_entries = (data.size() - kShapeFileHeaderLength) / 8;
}

qint64 ShapeIndex::recordOffset(qint64 entry) const
{
    return 2 * qint64(qFromBigEndian<quint32>(m_data.data() + kShapeFileHeaderLength + 8 * entry));
}

// Entries are in file order; one out of order can only make the search miss records, and
// an answer is always past `offset`, so a walk never turns back.
std::optional<qint64> ShapeIndex::nextRecordOffsetAfter(qint64 offset, qint64 end) const
{
    qint64 low = 0, high = m_entries;
    while (low < high) {
        const qint64 middle = low + (high - low) / 2;
        if (recordOffset(middle) <= offset)
            low = middle + 1;
        else
            high = middle;
    }
    if (low == m_entries)
        return std::nullopt;
    const qint64 next = recordOffset(low);
    return next > offset && next < end ? std::optional(next) : std::nullopt;
}

ShapeRecordRange::iterator::iterator(QByteArrayView data, ShapeIndex index, qint64 offset)
    : m_data(data), m_index(index)
{
    m_record.offset = offset;
    load();
}

ShapeRecordRange::iterator& ShapeRecordRange::iterator::operator++()
{
    const qint64 size = m_data.size();
    const qint64 next = m_record.isComplete() || m_record.headerIsCut
                          ? m_record.nextOffset()
                          : m_index.nextRecordOffsetAfter(m_record.offset, size).value_or(size);
    m_record = ShapeRecord();
    m_record.offset = next;
    load();
    return *this;
}

void ShapeRecordRange::iterator::load()
{
    const qint64 size = m_data.size();
    if (m_record.offset >= size) {
        m_record = ShapeRecord();
        m_record.offset = std::max(size, kShapeFileHeaderLength);
        return;
    }
    if (size - m_record.offset < 8) {
        m_record.headerIsCut = true;
        return;
    }
    const char* header = m_data.data() + m_record.offset;
    m_record.number = qFromBigEndian<quint32>(header);
    m_record.contentLength = 2 * qint64(qFromBigEndian<qint32>(header + 4));
    const qint64 available = size - m_record.offset - 8;
    m_record.content = m_data.sliced(m_record.offset + 8, std::clamp<qint64>(m_record.contentLength, 0, available));
}

std::optional<ShapeGeometry> ShapeGeometry::decode(const ShapeRecord& record)
{
    const std::optional<qint32> type = record.shapeType();
    if (!record.isComplete() || !type)
        return std::nullopt;

    ShapeGeometry geometry;
    geometry.m_shapeType = *type;
    const char* content = record.content.data();
    const qint64 size = record.content.size();

    switch (layoutOf(*type)) {
    case Layout::None:
        return geometry;
    case Layout::Point:
        if (size < 20)
            return std::nullopt;
        geometry.m_pointCount = 1;
        geometry.m_points = content + 4;
        return geometry;
    case Layout::MultiPoint: {
        if (size < 40)
            return std::nullopt;
        const quint32 points = qFromLittleEndian<quint32>(content + 36);
        if (40 + 16 * qint64(points) > size)
            return std::nullopt;
        geometry.m_pointCount = points;
        geometry.m_points = content + 40;
        return geometry;
    }
    case Layout::Poly:
    case Layout::MultiPatch: {
        if (size < 44)
            return std::nullopt;
        const quint32 parts = qFromLittleEndian<quint32>(content + 36);
        const quint32 points = qFromLittleEndian<quint32>(content + 40);
        // A multipatch stores a part type after each part start.
        const qint64 partBytes = (layoutOf(*type) == Layout::MultiPatch ? 8 : 4) * qint64(parts);
        if (44 + partBytes + 16 * qint64(points) > size)
            return std::nullopt;
        geometry.m_partCount = parts;
        geometry.m_pointCount = points;
        geometry.m_parts = content + 44;
        geometry.m_points = content + 44 + partBytes;
        return geometry;
    }
    }
    return std::nullopt;
}

quint32 ShapeGeometry::partStart(quint32 part) const
{
    return qFromLittleEndian<quint32>(m_parts + 4 * qint64(part));
}

QPointF ShapeGeometry::point(quint32 index) const
{
    const char* at = m_points + 16 * qint64(index);
    return {littleEndianDouble(at), littleEndianDouble(at + 8)};
}

void ShapeGeometry::copyPoints(quint32 first, quint32 count, QPointF* out) const
{
    if constexpr (QSysInfo::ByteOrder == QSysInfo::LittleEndian) {
        std::memcpy(static_cast<void*>(out), m_points + 16 * qint64(first), 16 * size_t(count));
    } else {
        for (quint32 i = 0; i < count; ++i)
            out[i] = point(first + i);
    }
}

} // namespace geodata
