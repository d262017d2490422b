#pragma once

// One grid reference: the column's label (eastings) and the row's (northings) of the cell
// holding a point, as in "C4" or, with the division digit of a finer precision, "C45".

#include <QPointF>
#include <QString>

class VXQSquareAnnotatedGrid;

class VXQGridReference {
public:
    VXQGridReference(QPointF point, const VXQSquareAnnotatedGrid& grid, quint64 precision);

    const QString& northings() const { return m_northings; }
    const QString& eastings() const { return m_eastings; }
    QPointF representedPoint() const { return m_representedPoint; }
    quint64 precision() const { return m_precision; }
    // Eastings followed directly by northings.
    QString string() const { return m_eastings + m_northings; }

private:
    QString m_northings;
    QString m_eastings;
    QPointF m_representedPoint;
    quint64 m_precision;
};
