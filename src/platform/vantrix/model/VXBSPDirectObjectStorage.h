#pragma once

// Object storage indexed by a loose multi-level grid. The finest level halves the index area
// alternately across x and y down to the partition's depth; coarser levels halve it fewer
// times, independently across and down, so the grid of level (i, j) has 2^i columns and 2^j
// rows. Each object lies in exactly one cell: the one holding the centre of its bounds, on the
// finest grid whose cells are at least as wide and as tall as the object. A query visits, on
// every grid, the cells its rectangle reaches once grown by half a cell, so a long road sits
// with the few long objects of its size, not in every leaf it crosses. Objects outside the
// area fall into the border cells, so nothing is ever lost. The partition deepens as the
// object count grows, and re-partitions when the area changes.

#include "platform/vantrix/model/ObjectStorage.h"

#include <vector>

class VXBSPDirectObjectStorage : public platform::ObjectStorage {
    Q_OBJECT

public:
    VXBSPDirectObjectStorage();
    ~VXBSPDirectObjectStorage() override;

    void setIndexBounds(const QRectF& bounds) override;
    // The partition's depth: 2^depth cells on the finest grid.
    int depth() const { return m_depth; }

protected:
    void didInsertObject(VXDrawableObject* object) override;
    void didInsertObjects(const QList<VXDrawableObject*>& objects) override;
    void willRemoveObject(VXDrawableObject* object) override;
    void didChangeBounds(VXDrawableObject* object) override;
    void didResetObjects() override;
    QList<VXDrawableObject*> candidatesIntersectingRect(const QRectF& rect) const override;

private:
    // One level: 2^columnLevel columns and 2^rowLevel rows, stored from `firstCell` on.
    struct Grid {
        int columns, rows;
        double cellWidth, cellHeight;
        size_t firstCell;
        int count; // objects on this grid; queries skip empty grids
    };

    size_t gridIndex(int columnLevel, int rowLevel) const
    {
        return size_t(rowLevel) * size_t(m_columnLevels + 1) + size_t(columnLevel);
    }
    // The finest grid whose cells are at least the size of `bounds`.
    size_t gridOf(const QRectF& bounds) const;
    // Where an object of these bounds is filed: its grid and its cell on that grid.
    struct Place {
        size_t grid, cell;
    };
    Place placeOf(const QRectF& bounds) const;
    // Files the object, and records where in the object.
    void index(VXDrawableObject* object);
    void index(VXDrawableObject* object, Place place);
    void unindex(VXDrawableObject* object);
    bool isFiledHere(VXDrawableObject* object) const;
    void rebuild(int depth, const QRectF& area);
    int depthForCount(int count) const;
    bool needsDeeperPartition() const;

    QRectF m_area;
    bool m_areaIsExplicit = false;
    int m_depth = 0;
    int m_columnLevels = 0; // the finest grid has 2^m_columnLevels columns
    int m_rowLevels = 0;
    std::vector<Grid> m_grids;
    std::vector<std::vector<VXDrawableObject*>> m_cells;
    // Told apart from every other index, and from this one before its last rebuild: what an
    // object records of an index it has left, or of an earlier partition, is never taken as current.
    quint64 m_identity = 0;
};
