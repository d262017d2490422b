#pragma once

// The item model of a folder outline: a tree of folder nodes whose rows come from a data
// source. Each item's children are asked for once and kept, with shared ownership, until
// the item is reloaded, so no index can point at a node its folder has already dropped.
// The index's internal pointer is the node. One column, named by its identifier "name".

#include "media/folders/ZQFolderInfo.h"

#include <QAbstractItemModel>
#include <QHash>

// What the model asks about the tree. A null item is the top of the outline.
class FolderOutlineDataSource {
public:
    virtual ~FolderOutlineDataSource() = default;
    virtual QList<ZQFolderInfoPtr> outlineChildrenOfItem(ZQFolderInfo* item) = 0;
    virtual bool outlineItemIsExpandable(ZQFolderInfo* item) = 0;
    virtual QVariant outlineValueOfItem(ZQFolderInfo* item, const QString& columnIdentifier, int role) = 0;
    virtual void outlineSortOrderDidChange(Qt::SortOrder order) = 0;
};

class FolderOutlineModel : public QAbstractItemModel {
    Q_OBJECT

public:
    static inline const QString kNameColumn = QStringLiteral("name");

    explicit FolderOutlineModel(FolderOutlineDataSource& source, QObject* parent = nullptr);
    ~FolderOutlineModel() override;

    ZQFolderInfo* itemAtIndex(const QModelIndex& index) const;
    // Invalid for the top and for nodes the outline has not reached.
    QModelIndex indexForItem(const ZQFolderInfo* item) const;
    bool containsItem(const ZQFolderInfo* item) const;

    // Takes the item's rows out (the view lets go of them and of any selection inside) and
    // puts its current children in. A null item is the top.
    void reloadItem(ZQFolderInfo* item);
    // Forgets every row.
    void reload();

    QModelIndex index(int row, int column, const QModelIndex& parent = {}) const override;
    QModelIndex parent(const QModelIndex& index) const override;
    int rowCount(const QModelIndex& parent = {}) const override;
    int columnCount(const QModelIndex& parent = {}) const override;
    bool hasChildren(const QModelIndex& parent = {}) const override;
    QVariant data(const QModelIndex& index, int role = Qt::DisplayRole) const override;
    QVariant headerData(int section, Qt::Orientation orientation, int role = Qt::DisplayRole) const override;
    Qt::ItemFlags flags(const QModelIndex& index) const override;
    void sort(int column, Qt::SortOrder order = Qt::AscendingOrder) override;

private:
    const QList<ZQFolderInfoPtr>& childrenOf(ZQFolderInfo* item) const;
    // Drops the cached rows below the item, its descendants' included.
    void forgetChildrenOf(const ZQFolderInfo* item);

    FolderOutlineDataSource& m_source;
    // Keyed by item, the top under null.
    mutable QHash<const ZQFolderInfo*, QList<ZQFolderInfoPtr>> m_children;
    // Each listed node's row and the item it is listed under.
    mutable QHash<const ZQFolderInfo*, std::pair<int, ZQFolderInfo*>> m_placement;
};
