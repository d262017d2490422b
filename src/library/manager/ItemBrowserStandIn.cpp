#include "library/manager/ItemBrowserStandIn.h"

#include <QAbstractListModel>

class ItemBrowserStandIn::Model : public QAbstractListModel {
public:
    explicit Model(ItemBrowserStandIn& browser)
        : m_browser(browser)
    {
    }
    void reset()
    {
        beginResetModel();
        endResetModel();
    }
    int rowCount(const QModelIndex& parent) const override { return parent.isValid() ? 0 : int(m_browser.m_content.size()); }
    QVariant data(const QModelIndex& index, int role) const override
    {
        if (index.row() < 0 || index.row() >= m_browser.m_content.size())
            return {};
        const VXQLibraryItemPtr& item = m_browser.m_content[index.row()];
        if (role == Qt::DisplayRole)
            return item->name();
        if (role == Qt::DecorationRole) {
            const QImage preview = item->previewImage();
            return preview.isNull() ? QVariant() : preview.scaled(32, 32, Qt::KeepAspectRatio, Qt::SmoothTransformation);
        }
        return {};
    }

private:
    ItemBrowserStandIn& m_browser;
};

ItemBrowserStandIn::ItemBrowserStandIn(QObject* parent)
    : QObject(parent)
    , m_model(new Model(*this))
    , m_view(new QListView)
{
    m_model->setParent(this);
    m_view->setModel(m_model);
    m_view->setSelectionMode(QAbstractItemView::ExtendedSelection);
    m_view->setUniformItemSizes(true);
    connect(m_view->selectionModel(), &QItemSelectionModel::selectionChanged, this, [this] {
        if (!m_settingContent && m_selectionHandler)
            m_selectionHandler(selectedItemIndexes());
    });
}

ItemBrowserStandIn::~ItemBrowserStandIn()
{
    delete m_view;
}

void ItemBrowserStandIn::setContentPreservingSelection(const QList<VXQLibraryItemPtr>& content, bool preserving)
{
    if (!content.isEmpty() && content == m_content)
        return;
    if (preserving)
        saveSelectedItems();
    m_settingContent = true;
    m_content = content;
    m_model->reset();
    m_settingContent = false;
    if (preserving)
        restoreSelectedItems();
    else if (m_selectionHandler)
        m_selectionHandler({});
}

qint64 ItemBrowserStandIn::indexOfItem(const VXQLibraryItem* item) const
{
    for (qint64 index = 0; index < m_content.size(); ++index)
        if (m_content[index].get() == item)
            return index;
    return -1;
}

JXIndexSet ItemBrowserStandIn::selectedItemIndexes() const
{
    JXIndexSet indexes;
    for (const QModelIndex& index : m_view->selectionModel()->selectedIndexes())
        indexes.insert(index.row());
    return indexes;
}

QList<VXQLibraryItemPtr> ItemBrowserStandIn::selectedItems() const
{
    QList<VXQLibraryItemPtr> items;
    for (qint64 index : selectedItemIndexes())
        items.append(m_content[index]);
    return items;
}

void ItemBrowserStandIn::selectItemsAtIndexes(const JXIndexSet& indexes)
{
    m_preservedSelection.clear();
    QItemSelection selection;
    for (qint64 index : indexes)
        if (index >= 0 && index < m_content.size())
            selection.select(m_model->index(int(index)), m_model->index(int(index)));
    m_view->selectionModel()->select(selection, QItemSelectionModel::ClearAndSelect);
    if (!indexes.empty())
        m_view->scrollTo(m_model->index(int(*indexes.begin())));
}

void ItemBrowserStandIn::selectItems(const QList<VXQLibraryItemPtr>& items)
{
    JXIndexSet indexes;
    for (const VXQLibraryItemPtr& item : items)
        if (qint64 index = indexOfItem(item.get()); index >= 0)
            indexes.insert(index);
    selectItemsAtIndexes(indexes);
}

bool ItemBrowserStandIn::revealItemSelectIt(const VXQLibraryItem* item, bool select)
{
    const qint64 index = indexOfItem(item);
    if (index < 0)
        return false;
    if (select)
        selectItemsAtIndexes({index});
    else
        m_view->scrollTo(m_model->index(int(index)));
    return true;
}

void ItemBrowserStandIn::saveSelectedItems()
{
    m_preservedSelection = selectedItems();
}

void ItemBrowserStandIn::restoreSelectedItems()
{
    const QList<VXQLibraryItemPtr> items = m_preservedSelection;
    selectItems(items);
}

void ItemBrowserStandIn::refreshActiveView()
{
    m_view->viewport()->update();
}
