#pragma once

// Shapefile sets built byte by byte in memory, so that a test states exactly what the reader
// meets, damaged bytes included.

#include <QByteArray>
#include <QList>
#include <QPointF>
#include <QRectF>
#include <QtEndian>
#include <bit>

namespace shapefiletest {

template <class T>
void append(QByteArray& bytes, T value, bool bigEndian = false)
{
    char buffer[sizeof(T)];
    bigEndian ? qToBigEndian(value, buffer) : qToLittleEndian(value, buffer);
    bytes.append(buffer, sizeof(T));
}

inline void appendPoints(QByteArray& bytes, const QList<QPointF>& points)
{
    for (QPointF point : points) {
        append(bytes, std::bit_cast<quint64>(point.x()));
        append(bytes, std::bit_cast<quint64>(point.y()));
    }
}

// The content of a PolyLine (3) or Polygon (5) record from raw counts, so that records can lie.
inline QByteArray polyContent(qint32 shapeType, quint32 partCount, quint32 pointCount,
                              const QList<quint32>& partStarts, const QList<QPointF>& points)
{
    QByteArray content;
    append(content, shapeType);
    content.append(32, '\0'); // bounding box
    append(content, partCount);
    append(content, pointCount);
    for (quint32 start : partStarts)
        append(content, start);
    appendPoints(content, points);
    return content;
}

// A main file (.shp): records are added in order and numbered from 1.
class ShpBuilder {
public:
    // A Null (0), Point (1) or MultiPoint (8) record.
    void addPoints(qint32 shapeType, const QList<QPointF>& points = {})
    {
        QByteArray content;
        append(content, shapeType);
        if (shapeType == 8) {
            content.append(32, '\0'); // bounding box
            append(content, quint32(points.size()));
        }
        appendPoints(content, points);
        addContent(content);
    }
    // PolyLine (3), Polygon (5) or one of their Z and M forms (Z values are written as 0).
    void addParts(qint32 shapeType, const QList<QList<QPointF>>& parts)
    {
        QList<quint32> starts;
        QList<QPointF> points;
        for (const QList<QPointF>& part : parts) {
            starts.append(quint32(points.size()));
            points.append(part);
        }
        QByteArray content = polyContent(shapeType, quint32(parts.size()), quint32(points.size()), starts, points);
        if (shapeType > 10) // a range and one value per point
            content.append(8 * (points.size() + 2), '\0');
        addContent(content);
    }
    // A record with this content, declaring `declaredWords` 16-bit words (its real size by default).
    void addContent(const QByteArray& content, qint64 declaredWords = -1)
    {
        m_index.append({quint32((100 + m_records.size()) / 2), quint32(content.size() / 2)});
        append(m_records, ++m_count, true);
        append(m_records, quint32(declaredWords >= 0 ? declaredWords : content.size() / 2), true);
        m_records.append(content);
    }
    // The header's bounds, written as (max x, max y, min x, min y) for the reader to order.
    void setBounds(const QRectF& bounds) { m_bounds = bounds; }
    // The file, the header's length word matching its size.
    QByteArray bytes() const
    {
        QByteArray file;
        append(file, quint32(9994), true);
        file.append(20, '\0');
        append(file, quint32((100 + m_records.size()) / 2), true);
        append(file, quint32(1000));
        append(file, qint32(5));
        for (double value : {m_bounds.right(), m_bounds.bottom(), m_bounds.left(), m_bounds.top()})
            append(file, std::bit_cast<quint64>(value));
        file.append(32, '\0');
        return file + m_records;
    }
    // The index (.shx): every record's offset and real length, in 16-bit words.
    QByteArray indexBytes() const
    {
        QByteArray file = bytes().left(100);
        qToBigEndian(quint32((100 + 8 * m_index.size()) / 2), file.data() + 24);
        for (const auto& [offset, length] : m_index) {
            append(file, offset, true);
            append(file, length, true);
        }
        return file;
    }

private:
    QList<std::pair<quint32, quint32>> m_index;
    QByteArray m_records;
    quint32 m_count = 0;
    QRectF m_bounds{-10, -20, 20, 40};
};

// A dBase table (.dbf); values are space-padded (or cut) to their field's length.
class DbfBuilder {
public:
    struct Field {
        QByteArray name;
        char type;
        quint8 length;
    };
    explicit DbfBuilder(QList<Field> fields) : m_fields(std::move(fields)) {}
    void addRow(const QList<QByteArray>& values, bool deleted = false)
    {
        QByteArray row(1, deleted ? '*' : ' ');
        for (qsizetype i = 0; i < m_fields.size(); ++i)
            row += values.value(i).left(m_fields[i].length).leftJustified(m_fields[i].length, ' ');
        m_rows.append(row);
    }
    QByteArray bytes() const
    {
        quint16 recordLength = 1;
        for (const Field& field : m_fields)
            recordLength += field.length;
        QByteArray file(32, '\0');
        file[0] = 3;
        qToLittleEndian(quint32(m_rows.size()), file.data() + 4);
        qToLittleEndian(quint16(32 + 32 * m_fields.size() + 1), file.data() + 8);
        qToLittleEndian(recordLength, file.data() + 10);
        for (const Field& field : m_fields) {
            QByteArray descriptor(32, '\0');
            descriptor.replace(0, field.name.size(), field.name);
            descriptor[11] = field.type;
            descriptor[16] = char(field.length);
            file += descriptor;
        }
        return file + '\x0D' + m_rows.join();
    }

private:
    QList<Field> m_fields;
    QList<QByteArray> m_rows;
};

} // namespace shapefiletest
