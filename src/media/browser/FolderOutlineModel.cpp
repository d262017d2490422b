#include "media/browser/FolderOutlineModel.h"

FolderOutlineModel::FolderOutlineModel(FolderOutlineDataSource& source, QObject* parent)
    : QAbstractItemModel(parent)
    , m_source(source)
{
}

FolderOutlineModel::~FolderOutlineModel() = default;

ZQFolderInfo* FolderOutlineModel::itemAtIndex(const QModelIndex& index) const
{
    return index.isValid() ? static_cast<ZQFolderInfo*>(index.internalPointer()) : nullptr;
}

QModelIndex FolderOutlineModel::indexForItem(const ZQFolderInfo* item) const
{
    const auto placement = m_placement.constFind(item);
    if (!item || placement == m_placement.cend())
        return {};
    return createIndex(placement->first, 0, const_cast<ZQFolderInfo*>(item));
}

bool FolderOutlineModel::containsItem(const ZQFolderInfo* item) const
{
    return m_placement.contains(item);
}

const QList<ZQFolderInfoPtr>& FolderOutlineModel::childrenOf(ZQFolderInfo* item) const
{
    auto cached = m_children.find(item);
    if (cached == m_children.end()) {
        cached = m_children.insert(item, m_source.outlineChildrenOfItem(item));
        for (int row = 0; row < cached->size(); ++row)
            m_placement.insert(cached->at(row).get(), {row, item});
    }
    return *cached;
}

void FolderOutlineModel::forgetChildrenOf(const ZQFolderInfo* item)
{
    const auto cached = m_children.constFind(item);
    if (cached == m_children.cend())
        return;
    const QList<ZQFolderInfoPtr> children = *cached;
    m_children.erase(cached);
    for (const ZQFolderInfoPtr& child : children) {
        m_placement.remove(child.get());
        forgetChildrenOf(child.get());
    }
}

void FolderOutlineModel::reloadItem(ZQFolderInfo* item)
{
    if (item && !containsItem(item))
        return;
    const QModelIndex index = indexForItem(item);
    if (const auto cached = m_children.constFind(item); cached != m_children.cend()) {
        // The old nodes stay alive until the view has let go of their rows.
        const QList<ZQFolderInfoPtr> old = *cached;
        if (!old.isEmpty())
            beginRemoveRows(index, 0, int(old.size()) - 1);
        forgetChildrenOf(item);
        m_children.insert(item, {});
        if (!old.isEmpty())
            endRemoveRows();
        const QList<ZQFolderInfoPtr> fresh = m_source.outlineChildrenOfItem(item);
        if (!fresh.isEmpty()) {
            beginInsertRows(index, 0, int(fresh.size()) - 1);
            m_children.insert(item, fresh);
            for (int row = 0; row < fresh.size(); ++row)
                m_placement.insert(fresh.at(row).get(), {row, item});
            endInsertRows();
        }
    }
    if (index.isValid())
        Q_EMIT dataChanged(index, index);
}

void FolderOutlineModel::reload()
{
    beginResetModel();
    m_children.clear();
    m_placement.clear();
    endResetModel();
}

QModelIndex FolderOutlineModel::index(int row, int column, const QModelIndex& parent) const
{
    if (column != 0 || row < 0 || (parent.isValid() && parent.column() != 0))
        return {};
    const QList<ZQFolderInfoPtr>& children = childrenOf(itemAtIndex(parent));
    return row < children.size() ? createIndex(row, 0, children.at(row).get()) : QModelIndex();
}

QModelIndex FolderOutlineModel::parent(const QModelIndex& index) const
{
    const auto placement = m_placement.constFind(itemAtIndex(index));
    return placement == m_placement.cend() ? QModelIndex() : indexForItem(placement->second);
}

int FolderOutlineModel::rowCount(const QModelIndex& parent) const
{
    if (parent.isValid() && parent.column() != 0)
        return 0;
    return int(childrenOf(itemAtIndex(parent)).size());
}

int FolderOutlineModel::columnCount(const QModelIndex&) const
{
    return 1;
}

bool FolderOutlineModel::hasChildren(const QModelIndex& parent) const
{
    if (!parent.isValid())
        return true;
    ZQFolderInfo* item = itemAtIndex(parent);
    return m_children.contains(item) ? !m_children.value(item).isEmpty() : m_source.outlineItemIsExpandable(item);
}

QVariant FolderOutlineModel::data(const QModelIndex& index, int role) const
{
    ZQFolderInfo* item = itemAtIndex(index);
    return item ? m_source.outlineValueOfItem(item, kNameColumn, role) : QVariant();
}

QVariant FolderOutlineModel::headerData(int section, Qt::Orientation orientation, int role) const
{
    if (section == 0 && orientation == Qt::Horizontal && role == Qt::DisplayRole)
        return tr("Name");
    return {};
}

Qt::ItemFlags FolderOutlineModel::flags(const QModelIndex& index) const
{
    // File leaves stay selectable: the browser redirects a click on one to its folder.
    return index.isValid() ? Qt::ItemIsEnabled | Qt::ItemIsSelectable : Qt::NoItemFlags;
}

void FolderOutlineModel::sort(int column, Qt::SortOrder order)
{
    if (column == 0)
        m_source.outlineSortOrderDidChange(order);
}
