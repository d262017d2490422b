#pragma once

// Walks a grid of heights cell by cell, splits each cell into triangles and sends one
// straight segment per triangle and contour level where the level crosses it. The
// plotter knows nothing of the grid's storage: a data source answers the index range,
// the levels, the heights and the drawing position of each grid point; a receiver takes
// the segments; an optional monitor hears of the progress and may stop the run.
//
// The source, receiver and monitor are QObjects that implement the interfaces below;
// they are not owned.

#include "platform/foundation/ZQObject.h"

#include <QPointF>
#include <QPointer>
#include <QVariant>
#include <span>

class ZQContourPlotter : public ZQObject {
    Q_OBJECT

public:
    class DataSource {
    public:
        virtual ~DataSource() = default;
        // The inclusive index range of grid points.
        virtual qint64 minX() const = 0;
        virtual qint64 minY() const = 0;
        virtual qint64 maxX() const = 0;
        virtual qint64 maxY() const = 0;
        // The levels, listed upward.
        virtual quint64 countOfContours() const = 0;
        virtual double contourForIndex(quint64 index) const = 0;
        virtual double heightForXY(qint64 x, qint64 y) const = 0;
        virtual QPointF coordinateForXY(qint64 x, qint64 y) const = 0;
        // The heights and positions of row y from column x on, one per slot of `heights`
        // (`points` is as long). Point by point unless a source can read a row at once.
        virtual void readRowFromX(qint64 x, qint64 y, std::span<double> heights, std::span<QPointF> points) const;
    };

    class DataReceiver {
    public:
        virtual ~DataReceiver() = default;
        virtual void contourWithIndexLineFromPointToPoint(quint64 index, QPointF from, QPointF to) = 0;
    };

    class ProgressMonitor {
    public:
        virtual ~ProgressMonitor() = default;
        // Answers whether to go on.
        virtual bool notifyProgressValueMaxPhaseUserInfo(qint64 value, qint64 max, qint64 phase,
                                                         const QVariant& userInfo) = 0;
    };

    void initWithDataSourceDataReceiver(QObject* dataSource, QObject* dataReceiver);

    QObject* dataSource() const { return m_dataSource; }
    void setDataSource(QObject* dataSource) { m_dataSource = dataSource; }
    QObject* dataReceiver() const { return m_dataReceiver; }
    void setDataReceiver(QObject* dataReceiver) { m_dataReceiver = dataReceiver; }
    QObject* dataProgressMonitor() const { return m_progressMonitor; }
    void setDataProgressMonitor(QObject* monitor) { m_progressMonitor = monitor; }

    void computeContours() { computeContoursWithUserInfo2({}); }
    // Two triangles per cell: corners (0, 1, 2), then (2, 3, 0), corners counted from
    // (x, y) round the cell.
    void computeContoursWithUserInfo2(const QVariant& userInfo);
    // Four triangles per cell about its centre, whose height is the corners' mean.
    void computeContoursWithUserInfo(const QVariant& userInfo);

    // What the plotter asks, answered by the data source or, without one, by a single
    // cell (0, 0)-(1, 1) of height 1 with level i at height i.
    qint64 minX() const;
    qint64 minY() const;
    qint64 maxX() const;
    qint64 maxY() const;
    quint64 countOfContours() const;
    double contourForIndex(quint64 index) const;
    double heightForXY(qint64 x, qint64 y) const;
    QPointF coordinateForXY(qint64 x, qint64 y) const;
    bool notifyProgressValueMaxPhaseUserInfo(qint64 value, qint64 max, qint64 phase, const QVariant& userInfo);
    void contourWithIndexLineFromPointToPoint(quint64 index, QPointF from, QPointF to);

private:
    void compute(bool fourTriangles, const QVariant& userInfo);
    DataSource* source() const;

    QPointer<QObject> m_dataSource;
    QPointer<QObject> m_dataReceiver;
    QPointer<QObject> m_progressMonitor;
};
