#include "library/manager/LibraryOutlineView.h"

#include "library/manager/LibraryOutlineCell.h"

#include <QDrag>
#include <QDragMoveEvent>
#include <QHeaderView>
#include <QMimeData>
#include <QPainter>
#include <QPointer>

LibraryOutlineView::LibraryOutlineView(LibraryOutlineDataSource* dataSource, QWidget* parent)
    : QTreeView(parent)
    , m_dataSource(dataSource)
    , m_model(new LibraryOutlineModel(dataSource, this))
{
    setModel(m_model);
    setItemDelegate(new LibraryOutlineCell(this));
    setHeaderHidden(true);
    setUniformRowHeights(false);
    setSelectionMode(QAbstractItemView::ExtendedSelection);
    setEditTriggers(QAbstractItemView::EditKeyPressed | QAbstractItemView::SelectedClicked);
    setDragEnabled(true);
    setAcceptDrops(true);
    setDragDropMode(QAbstractItemView::DragDrop);
    setDropIndicatorShown(false);
    setAttribute(Qt::WA_MacShowFocusRect, false);
    connect(this, &QTreeView::expanded, this, [this] { expansionChanged(); });
    connect(this, &QTreeView::collapsed, this, [this] { expansionChanged(); });
}

void LibraryOutlineView::expansionChanged()
{
    if (!m_reloading && m_expansionHandler)
        m_expansionHandler();
}

void LibraryOutlineView::reloadData()
{
    QList<QPointer<VXQLibraryElement>> expanded;
    for (VXQLibraryElement* item : expandedItems())
        expanded.append(item);
    QList<QPointer<VXQLibraryElement>> selected;
    const QList<VXQLibraryElement*> selectedBefore = selectedItems();
    for (VXQLibraryElement* item : selectedBefore)
        selected.append(item);

    m_reloading = true;
    m_model->reloadData();
    for (const QPointer<VXQLibraryElement>& item : expanded)
        if (const QModelIndex index = m_model->indexForItem(item); index.isValid())
            expand(index);
    QItemSelection selection;
    for (const QPointer<VXQLibraryElement>& item : selected)
        if (const QModelIndex index = m_model->indexForItem(item); index.isValid())
            selection.select(index, index);
    selectionModel()->select(selection, QItemSelectionModel::ClearAndSelect);
    if (!selection.isEmpty())
        selectionModel()->setCurrentIndex(selection.indexes().constFirst(), QItemSelectionModel::NoUpdate);
    m_reloading = false;
    if (selectedItems() != selectedBefore && m_selectionHandler)
        m_selectionHandler();
}

void LibraryOutlineView::redisplay()
{
    m_model->refreshDisplay();
    viewport()->update();
}

QList<VXQLibraryElement*> LibraryOutlineView::selectedItems() const
{
    QModelIndexList rows = selectionModel()->selectedRows();
    std::sort(rows.begin(), rows.end(), [this](const QModelIndex& a, const QModelIndex& b) {
        return visualRect(a).top() < visualRect(b).top();
    });
    QList<VXQLibraryElement*> items;
    for (const QModelIndex& row : rows)
        if (VXQLibraryElement* item = m_model->itemForIndex(row))
            items.append(item);
    return items;
}

VXQLibraryElement* LibraryOutlineView::firstSelectedItem() const
{
    const QList<VXQLibraryElement*> items = selectedItems();
    return items.isEmpty() ? nullptr : items.first();
}

bool LibraryOutlineView::selectItem(const VXQLibraryElement* item)
{
    const QModelIndex index = m_model->indexForItem(item);
    if (!index.isValid() || !(m_model->flags(index) & Qt::ItemIsSelectable))
        return false;
    selectionModel()->setCurrentIndex(index, QItemSelectionModel::ClearAndSelect | QItemSelectionModel::Rows);
    return true;
}

void LibraryOutlineView::deselectAll()
{
    selectionModel()->clearSelection();
}

bool LibraryOutlineView::hasRowForItem(const VXQLibraryElement* item) const
{
    return m_model->indexForItem(item).isValid();
}

void LibraryOutlineView::scrollToItem(const VXQLibraryElement* item)
{
    if (const QModelIndex index = m_model->indexForItem(item); index.isValid())
        scrollTo(index);
}

void LibraryOutlineView::expandItem(const VXQLibraryElement* item)
{
    if (const QModelIndex index = m_model->indexForItem(item); index.isValid())
        expand(index);
}

bool LibraryOutlineView::isItemExpanded(const VXQLibraryElement* item) const
{
    const QModelIndex index = m_model->indexForItem(item);
    return index.isValid() && isExpanded(index);
}

bool LibraryOutlineView::editItem(const VXQLibraryElement* item)
{
    const QModelIndex index = m_model->indexForItem(item);
    if (!index.isValid())
        return false;
    scrollTo(index);
    edit(index);
    return true;
}

QList<VXQLibraryElement*> LibraryOutlineView::expandedItems() const
{
    QList<VXQLibraryElement*> items;
    std::function<void(const QModelIndex&)> walk = [&](const QModelIndex& parent) {
        for (int row = 0, rows = m_model->rowCount(parent); row < rows; ++row) {
            const QModelIndex index = m_model->index(row, 0, parent);
            if (!isExpanded(index))
                continue;
            if (VXQLibraryElement* item = m_model->itemForIndex(index))
                items.append(item);
            walk(index);
        }
    };
    walk({});
    return items;
}

VXQLibraryElement* LibraryOutlineView::itemAtPosition(QPoint position) const
{
    return m_model->itemForIndex(indexAt(position));
}

void LibraryOutlineView::startDrag(Qt::DropActions)
{
    QMimeData* data = m_dataSource->outlineViewWriteItems(selectedItems());
    if (!data)
        return;
    auto* drag = new QDrag(this);
    drag->setMimeData(data);
    drag->exec(Qt::CopyAction | Qt::MoveAction | Qt::LinkAction, Qt::MoveAction);
}

void LibraryOutlineView::dragEnterEvent(QDragEnterEvent* event)
{
    event->accept();
}

void LibraryOutlineView::dragMoveEvent(QDragMoveEvent* event)
{
    const QPoint position = event->position().toPoint();
    const QModelIndex index = indexAt(position);
    const Qt::DropAction action
        = m_dataSource->outlineViewValidateDrop(event->mimeData(), event->possibleActions(), m_model->itemForIndex(index));
    if (action == Qt::IgnoreAction) {
        setDropTarget({});
        event->ignore();
        return;
    }
    setDropTarget(index);
    event->setDropAction(action);
    event->accept();
}

void LibraryOutlineView::dragLeaveEvent(QDragLeaveEvent* event)
{
    setDropTarget({});
    event->accept();
}

void LibraryOutlineView::dropEvent(QDropEvent* event)
{
    VXQLibraryElement* target = itemAtPosition(event->position().toPoint());
    setDropTarget({});
    const Qt::DropAction action = m_dataSource->outlineViewValidateDrop(event->mimeData(), event->possibleActions(), target);
    if (action != Qt::IgnoreAction && m_dataSource->outlineViewAcceptDrop(event->mimeData(), event->possibleActions(), target)) {
        event->setDropAction(action);
        event->accept();
        return;
    }
    event->ignore();
}

void LibraryOutlineView::setDropTarget(const QModelIndex& index)
{
    if (QPersistentModelIndex(index) == m_dropTarget)
        return;
    if (m_dropTarget.isValid())
        viewport()->update(visualRect(m_dropTarget));
    m_dropTarget = index;
    if (m_dropTarget.isValid())
        viewport()->update(visualRect(m_dropTarget));
}

void LibraryOutlineView::paintEvent(QPaintEvent* event)
{
    QTreeView::paintEvent(event);
    if (!m_dropTarget.isValid())
        return;
    // The row a drop would land on carries a rounded frame.
    QPainter painter(viewport());
    painter.setRenderHint(QPainter::Antialiasing);
    painter.setPen(QPen(palette().highlight().color(), 2));
    painter.drawRoundedRect(QRectF(visualRect(m_dropTarget)).adjusted(1, 1, -1, -1), 4, 4);
}

void LibraryOutlineView::selectionChanged(const QItemSelection& selected, const QItemSelection& deselected)
{
    QTreeView::selectionChanged(selected, deselected);
    if (!m_reloading && m_selectionHandler)
        m_selectionHandler();
}
