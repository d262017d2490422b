#pragma once

// Records of a shapefile main file (.shp), read in place from the file's bytes.
// Every length and count comes from an untrusted file: a record is only decoded after
// its declared sizes have been checked against the record and the buffer, in 64 bits.

#include <QByteArrayView>
#include <QPointF>
#include <cstddef>
#include <iterator>
#include <optional>

namespace geodata {

enum ShapeType : qint32 {
    kNullShape = 0,
    kPointShape = 1,
    kPolyLineShape = 3,
    kPolygonShape = 5,
    kMultiPointShape = 8,
    kPointZShape = 11,
    kPolyLineZShape = 13,
    kPolygonZShape = 15,
    kMultiPointZShape = 18,
    kPointMShape = 21,
    kPolyLineMShape = 23,
    kPolygonMShape = 25,
    kMultiPointMShape = 28,
    kMultiPatchShape = 31,
};

constexpr qint64 kShapeFileHeaderLength = 100;

// One record: where it starts, its number and its content. The content is the declared
// content cut at the end of the buffer, so a record that runs past the end is seen as
// incomplete rather than read beyond it; a negative length gives no content.
struct ShapeRecord {
    qint64 offset = 0;        // of the 8-byte record header
    qint64 number = 0;        // counted from 1; 0 when the header itself is cut off
    qint64 contentLength = 0; // declared, in bytes; negative in a damaged record
    QByteArrayView content;
    bool headerIsCut = false; // fewer than 8 bytes were left for the record header

    // Whether the record holds what it declares, and so ends where the next one begins.
    bool isComplete() const { return !headerIsCut && contentLength >= 0 && content.size() == contentLength; }
    qint64 nextOffset() const { return offset + 8 + contentLength; }
    // The type at content offset 0, or nullopt when the content is shorter than 4 bytes.
    std::optional<qint32> shapeType() const;
};

// The index file of a set (.shx): the offset of every record of the main file, so that the
// records after one whose length is damaged can still be found. An index that is not one
// (file code, size) holds no entries.
class ShapeIndex {
public:
    ShapeIndex() = default;
    explicit ShapeIndex(QByteArrayView data);

    bool isEmpty() const { return m_entries == 0; }
    // The first record the index places after `offset`, when it lies before `end`.
    std::optional<qint64> nextRecordOffsetAfter(qint64 offset, qint64 end) const;

private:
    qint64 recordOffset(qint64 entry) const;

    QByteArrayView m_data;
    qint64 m_entries = 0;
};

// Walks the records of a main file from offset 100 to the end of the buffer. A record that
// does not end where it says is followed by the next record the index names, or by the end.
class ShapeRecordRange {
public:
    explicit ShapeRecordRange(QByteArrayView data, ShapeIndex index = {}) : m_data(data), m_index(index) {}

    class iterator {
    public:
        using iterator_category = std::forward_iterator_tag;
        using value_type = ShapeRecord;
        using difference_type = std::ptrdiff_t;
        using pointer = const ShapeRecord*;
        using reference = const ShapeRecord&;

        iterator() = default;
        iterator(QByteArrayView data, ShapeIndex index, qint64 offset);
        const ShapeRecord& operator*() const { return m_record; }
        const ShapeRecord* operator->() const { return &m_record; }
        iterator& operator++();
        iterator operator++(int)
        {
            iterator before = *this;
            ++*this;
            return before;
        }
        bool operator==(const iterator& other) const { return m_record.offset == other.m_record.offset; }

    private:
        void load();
        QByteArrayView m_data;
        ShapeIndex m_index;
        ShapeRecord m_record;
    };

    iterator begin() const { return {m_data, m_index, kShapeFileHeaderLength}; }
    iterator end() const { return {m_data, m_index, std::max<qint64>(m_data.size(), kShapeFileHeaderLength)}; }

private:
    QByteArrayView m_data;
    ShapeIndex m_index;
};

// The X/Y geometry of a record, validated once and then read in place. Z and M values
// of the Z and M types are not read.
class ShapeGeometry {
public:
    // Nullopt for a record whose content cannot hold what it declares. A null shape or an
    // unknown type decodes to a geometry without points.
    static std::optional<ShapeGeometry> decode(const ShapeRecord& record);

    qint32 shapeType() const { return m_shapeType; }
    quint32 partCount() const { return m_partCount; }
    quint32 pointCount() const { return m_pointCount; }
    quint32 partStart(quint32 part) const;
    QPointF point(quint32 index) const;
    // Copies `count` points from `first` on into `out`, which must hold them.
    void copyPoints(quint32 first, quint32 count, QPointF* out) const;

private:
    qint32 m_shapeType = kNullShape;
    quint32 m_partCount = 0;
    quint32 m_pointCount = 0;
    const char* m_parts = nullptr;
    const char* m_points = nullptr;
};

} // namespace geodata
