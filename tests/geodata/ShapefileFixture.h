#pragma once

// Builds small shapefile sets in memory, so tests can state exactly which bytes a reader
// meets, including damaged ones.

#include <QByteArray>
#include <QList>
#include <QPointF>

namespace fixture {

void appendBigEndian32(QByteArray& bytes, quint32 value);
void appendLittleEndian32(QByteArray& bytes, quint32 value);
void appendLittleEndianDouble(QByteArray& bytes, double value);

// A main file (.shp): records are added in order and numbered from 1.
class ShpBuilder {
public:
    void addNull();
    void addPoint(QPointF point);
    void addMultiPoint(const QList<QPointF>& points);
    // PolyLine (3), Polygon (5) or one of their Z and M forms (Z values are written as 0).
    void addParts(qint32 shapeType, const QList<QList<QPointF>>& parts);
    // A record with this content, declaring `declaredWords` 16-bit words (its real size by default).
    void addContent(const QByteArray& content, qint64 declaredWords = -1);

    // The file with the header's length word matching its size.
    QByteArray bytes() const;

private:
    QByteArray m_records;
    quint32 m_count = 0;
};

// The content of a PolyLine or Polygon record from raw counts, for lying records.
QByteArray polyContent(qint32 shapeType, quint32 partCount, quint32 pointCount, const QList<quint32>& partStarts,
                       const QList<QPointF>& points);

// A dBase table (.dbf).
class DbfBuilder {
public:
    struct Field {
        QByteArray name;
        char type;
        quint8 length;
    };
    explicit DbfBuilder(QList<Field> fields) : m_fields(std::move(fields)) {}
    // Values are space-padded (or cut) to their field's length.
    void addRow(const QList<QByteArray>& values, bool deleted = false);
    QByteArray bytes() const;

private:
    QList<Field> m_fields;
    QList<QByteArray> m_rows;
};

} // namespace fixture
