#include "ShapefileFixture.h"

#include <QtEndian>
#include <bit>

namespace fixture {

void appendBigEndian32(QByteArray& bytes, quint32 value)
{
    char buffer[4];
    qToBigEndian(value, buffer);
    bytes.append(buffer, 4);
}

void appendLittleEndian32(QByteArray& bytes, quint32 value)
{
    char buffer[4];
    qToLittleEndian(value, buffer);
    bytes.append(buffer, 4);
}

void appendLittleEndianDouble(QByteArray& bytes, double value)
{
    char buffer[8];
    qToLittleEndian(std::bit_cast<quint64>(value), buffer);
    bytes.append(buffer, 8);
}

static void appendPoints(QByteArray& bytes, const QList<QPointF>& points)
{
    for (QPointF point : points) {
        appendLittleEndianDouble(bytes, point.x());
        appendLittleEndianDouble(bytes, point.y());
    }
}

static void appendBox(QByteArray& bytes)
{
    for (int i = 0; i < 4; ++i)
        appendLittleEndianDouble(bytes, 0);
}

void ShpBuilder::addNull()
{
    QByteArray content;
    appendLittleEndian32(content, 0);
    addContent(content);
}

void ShpBuilder::addPoint(QPointF point)
{
    QByteArray content;
    appendLittleEndian32(content, 1);
    appendPoints(content, {point});
    addContent(content);
}

void ShpBuilder::addMultiPoint(const QList<QPointF>& points)
{
    QByteArray content;
    appendLittleEndian32(content, 8);
    appendBox(content);
    appendLittleEndian32(content, quint32(points.size()));
    appendPoints(content, points);
    addContent(content);
}

QByteArray polyContent(qint32 shapeType, quint32 partCount, quint32 pointCount, const QList<quint32>& partStarts,
                       const QList<QPointF>& points)
{
    QByteArray content;
    appendLittleEndian32(content, quint32(shapeType));
    appendBox(content);
    appendLittleEndian32(content, partCount);
    appendLittleEndian32(content, pointCount);
    for (quint32 start : partStarts)
        appendLittleEndian32(content, start);
    appendPoints(content, points);
    return content;
}

void ShpBuilder::addParts(qint32 shapeType, const QList<QList<QPointF>>& parts)
{
    QList<quint32> starts;
    QList<QPointF> points;
    for (const QList<QPointF>& part : parts) {
        starts.append(quint32(points.size()));
        points.append(part);
    }
    QByteArray content = polyContent(shapeType, quint32(parts.size()), quint32(points.size()), starts, points);
    if (shapeType > 10) { // Z and M forms: a range and one value per point
        for (qsizetype i = 0; i < points.size() + 2; ++i)
            appendLittleEndianDouble(content, 0);
    }
    addContent(content);
}

void ShpBuilder::addContent(const QByteArray& content, qint64 declaredWords)
{
    appendBigEndian32(m_records, ++m_count);
    appendBigEndian32(m_records, quint32(declaredWords >= 0 ? declaredWords : content.size() / 2));
    m_records.append(content);
}

QByteArray ShpBuilder::bytes() const
{
    QByteArray file;
    appendBigEndian32(file, 9994);
    file.append(20, '\0');
    appendBigEndian32(file, quint32((100 + m_records.size()) / 2));
    appendLittleEndian32(file, 1000);
    appendLittleEndian32(file, 5);
    // Bounds given max first, to check that the reader orders them.
    for (double value : {10.0, 20.0, -10.0, -20.0})
        appendLittleEndianDouble(file, value);
    file.append(32, '\0');
    return file + m_records;
}

void DbfBuilder::addRow(const QList<QByteArray>& values, bool deleted)
{
    QByteArray row(1, deleted ? '*' : ' ');
    for (qsizetype i = 0; i < m_fields.size(); ++i) {
        const QByteArray value = values.value(i).left(m_fields[i].length);
        row += value + QByteArray(m_fields[i].length - value.size(), ' ');
    }
    m_rows.append(row);
}

QByteArray DbfBuilder::bytes() const
{
    quint16 recordLength = 1;
    for (const Field& field : m_fields)
        recordLength += field.length;
    const quint16 headerLength = quint16(32 + 32 * m_fields.size() + 1);

    QByteArray file(32, '\0');
    file[0] = 3;
    qToLittleEndian(quint32(m_rows.size()), file.data() + 4);
    qToLittleEndian(headerLength, file.data() + 8);
    qToLittleEndian(recordLength, file.data() + 10);
    for (const Field& field : m_fields) {
        QByteArray descriptor(32, '\0');
        descriptor.replace(0, field.name.size(), field.name);
        descriptor[11] = field.type;
        descriptor[16] = char(field.length);
        file += descriptor;
    }
    file += '\x0D';
    for (const QByteArray& row : m_rows)
        file += row;
    return file;
}

} // namespace fixture
