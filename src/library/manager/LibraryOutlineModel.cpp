#include "library/manager/LibraryOutlineModel.h"

#include "widgets/cells/ZQSourceListCell.h"

#include <QFont>

LibraryOutlineModel::LibraryOutlineModel(LibraryOutlineDataSource* dataSource, QObject* parent)
    : QAbstractItemModel(parent)
    , m_dataSource(dataSource)
    , m_root(std::make_unique<Node>())
{
}

LibraryOutlineModel::~LibraryOutlineModel() = default;

void LibraryOutlineModel::reloadData()
{
    beginResetModel();
    m_root = std::make_unique<Node>();
    endResetModel();
}

void LibraryOutlineModel::refreshDisplay()
{
    // Every loaded row, a level at a time.
    std::vector<Node*> pending{m_root.get()};
    while (!pending.empty()) {
        Node* node = pending.back();
        pending.pop_back();
        if (!node->loaded || node->children.empty())
            continue;
        const QModelIndex parent = node == m_root.get() ? QModelIndex() : createIndex(node->row, 0, node);
        Q_EMIT dataChanged(index(0, 0, parent), index(int(node->children.size()) - 1, 0, parent));
        for (const auto& child : node->children)
            pending.push_back(child.get());
    }
}

LibraryOutlineModel::Node* LibraryOutlineModel::nodeFor(const QModelIndex& index) const
{
    return index.isValid() ? static_cast<Node*>(index.internalPointer()) : m_root.get();
}

void LibraryOutlineModel::loadChildren(Node* node) const
{
    if (node->loaded)
        return;
    node->loaded = true;
    if (node != m_root.get() && !node->item)
        return;
    const QList<VXQLibraryElement*> children = m_dataSource->outlineViewChildrenOfItem(node->item);
    node->children.reserve(children.size());
    for (VXQLibraryElement* child : children) {
        auto childNode = std::make_unique<Node>();
        childNode->item = child;
        childNode->parent = node;
        childNode->row = int(node->children.size());
        node->children.push_back(std::move(childNode));
    }
}

VXQLibraryElement* LibraryOutlineModel::itemForIndex(const QModelIndex& index) const
{
    return index.isValid() ? nodeFor(index)->item.data() : nullptr;
}

QModelIndex LibraryOutlineModel::indexForItem(const VXQLibraryElement* item) const
{
    return item ? search(m_root.get(), item) : QModelIndex();
}

QModelIndex LibraryOutlineModel::search(Node* node, const VXQLibraryElement* item) const
{
    loadChildren(node);
    for (const auto& child : node->children)
        if (child->item == item)
            return createIndex(child->row, 0, child.get());
    for (const auto& child : node->children)
        if (child->item && m_dataSource->outlineViewIsItemExpandable(child->item))
            if (QModelIndex found = search(child.get(), item); found.isValid())
                return found;
    return {};
}

QModelIndex LibraryOutlineModel::index(int row, int column, const QModelIndex& parent) const
{
    Node* node = nodeFor(parent);
    loadChildren(node);
    if (column != 0 || row < 0 || row >= int(node->children.size()))
        return {};
    return createIndex(row, 0, node->children[size_t(row)].get());
}

QModelIndex LibraryOutlineModel::parent(const QModelIndex& child) const
{
    if (!child.isValid())
        return {};
    Node* parent = nodeFor(child)->parent;
    return !parent || parent == m_root.get() ? QModelIndex() : createIndex(parent->row, 0, parent);
}

int LibraryOutlineModel::rowCount(const QModelIndex& parent) const
{
    if (parent.column() > 0)
        return 0;
    Node* node = nodeFor(parent);
    loadChildren(node);
    return int(node->children.size());
}

int LibraryOutlineModel::columnCount(const QModelIndex&) const
{
    return 1;
}

bool LibraryOutlineModel::hasChildren(const QModelIndex& parent) const
{
    if (!parent.isValid())
        return true;
    VXQLibraryElement* item = itemForIndex(parent);
    return item && m_dataSource->outlineViewIsItemExpandable(item);
}

QVariant LibraryOutlineModel::data(const QModelIndex& index, int role) const
{
    VXQLibraryElement* item = itemForIndex(index);
    if (!item)
        return {};
    switch (role) {
    case Qt::DisplayRole:
    case Qt::EditRole:
        return m_dataSource->outlineViewObjectValueForItem(item);
    case Qt::ToolTipRole:
        return m_dataSource->outlineViewToolTipForItem(item);
    case Qt::DecorationRole:
        return m_dataSource->outlineViewWillDisplayItem(item).icon;
    case ZQSourceListCell::BadgeCountRole:
        return m_dataSource->outlineViewWillDisplayItem(item).badgeCount;
    case BadgeColourRole:
        return m_dataSource->outlineViewWillDisplayItem(item).badgeColour;
    case ReadOnlyRole:
        return m_dataSource->outlineViewWillDisplayItem(item).readOnly;
    case GroupRowRole:
        return m_dataSource->outlineViewIsGroupItem(item);
    case ElementRole:
        return QVariant::fromValue(static_cast<QObject*>(item));
    default:
        return {};
    }
}

bool LibraryOutlineModel::setData(const QModelIndex& index, const QVariant& value, int role)
{
    VXQLibraryElement* item = itemForIndex(index);
    if (!item || role != Qt::EditRole)
        return false;
    m_dataSource->outlineViewSetObjectValueForItem(value.toString(), item);
    return true;
}

Qt::ItemFlags LibraryOutlineModel::flags(const QModelIndex& index) const
{
    VXQLibraryElement* item = itemForIndex(index);
    if (!item)
        return Qt::ItemIsDropEnabled;
    if (m_dataSource->outlineViewIsGroupItem(item))
        return Qt::ItemIsEnabled | Qt::ItemIsDropEnabled;
    Qt::ItemFlags flags = Qt::ItemIsEnabled | Qt::ItemIsSelectable | Qt::ItemIsDragEnabled | Qt::ItemIsDropEnabled;
    if (m_dataSource->outlineViewShouldEditItem(item))
        flags |= Qt::ItemIsEditable;
    return flags;
}
