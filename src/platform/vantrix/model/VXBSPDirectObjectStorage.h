#pragma once

// Object storage indexed by a binary space partition of fixed depth: the index area is
// halved alternately across x and y, and the leaves, addressed directly by their row and
// column, list the objects whose bounds meet them. A query visits only the leaves under
// its rectangle. Objects outside the area fall into the border leaves, so nothing is ever
// lost; objects that would fill many leaves are kept in one list that every query checks.
// The tree deepens as the object count grows, and re-partitions when the area changes.

#include "platform/vantrix/model/ObjectStorage.h"

#include <memory>
#include <unordered_map>
#include <vector>

class VXBSPDirectObjectStorage : public platform::ObjectStorage {
    Q_OBJECT

public:
    VXBSPDirectObjectStorage();
    ~VXBSPDirectObjectStorage() override;

    void setIndexBounds(const QRectF& bounds) override;
    // The partition's depth: 2^depth leaves.
    int depth() const { return m_depth; }

protected:
    void didInsertObject(VXDrawableObject* object) override;
    void willRemoveObject(VXDrawableObject* object) override;
    void didChangeBounds(VXDrawableObject* object) override;
    void didResetObjects() override;
    QList<VXDrawableObject*> candidatesIntersectingRect(const QRectF& rect) const override;

private:
    struct Entry {
        VXDrawableObject* object = nullptr;
        QRectF bounds;       // as indexed
        int column0 = 0, row0 = 0, column1 = -1, row1 = -1; // leaf span; empty when oversized
        mutable quint32 visit = 0;
    };
    struct LeafSpan {
        int column0, row0, column1, row1;
        int leafCount() const { return (column1 - column0 + 1) * (row1 - row0 + 1); }
    };

    LeafSpan spanOfRect(const QRectF& rect) const;
    void index(Entry& entry);
    void unindex(Entry& entry);
    void rebuild(int depth, const QRectF& area);
    int depthForCount(int count) const;
    std::vector<Entry*>& leaf(int column, int row) { return m_leaves[size_t(row) * size_t(m_columns) + size_t(column)]; }

    QRectF m_area;
    bool m_areaIsExplicit = false;
    int m_depth = 0;
    int m_columns = 1;
    int m_rows = 1;
    std::vector<std::vector<Entry*>> m_leaves;
    std::vector<Entry*> m_oversized;
    std::unordered_map<const VXDrawableObject*, std::unique_ptr<Entry>> m_entries;
    mutable quint32 m_visit = 0;
};
