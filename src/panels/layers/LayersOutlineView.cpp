#include "panels/layers/LayersOutlineView.h"

#include "panels/layers/LayerRowDelegate.h"
#include "panels/layers/LayerTreeModel.h"
#include "panels/layers/VLTMLayersController.h"
#include "platform/ui/Menu.h"
#include "platform/ui/Pasteboard.h"
#include "platform/ui/ModifierKeys.h"
#include "platform/vantrix/drawables/VXDrawableObject.h"
#include "platform/vantrix/model/VXObjectOwnerLayer.h"
#include "widgets/paint/ApplicationColours.h"

#include <QContextMenuEvent>
#include <QDrag>
#include <QMimeData>
#include <QHeaderView>
#include <QMouseEvent>
#include <QPainter>
#include <QPainterPath>
#include <utility>

LayersOutlineView::LayersOutlineView(VLTMLayersController* controller, QWidget* parent)
    : QTreeView(parent)
    , m_controller(controller)
{
    setHeaderHidden(true);
    setUniformRowHeights(false);
    setSelectionMode(QAbstractItemView::ExtendedSelection);
    setSelectionBehavior(QAbstractItemView::SelectRows);
    setEditTriggers(QAbstractItemView::EditKeyPressed);
    setIndentation(14);
    setFocusPolicy(Qt::NoFocus);
    setAutoScroll(true);
    setExpandsOnDoubleClick(false);
    QPalette colours = palette();
    colours.setColor(QPalette::Base, VLTMWindowBackgroundColour());
    // Rows paint their own selection gradient; the style's highlight would cover it.
    colours.setColor(QPalette::Highlight, Qt::transparent);
    setPalette(colours);
    header()->setStretchLastSection(false);
    setDragEnabled(true);
    setAcceptDrops(true);
    setDropIndicatorShown(false);
    setDragDropMode(QAbstractItemView::DragDrop);
}

void LayersOutlineView::setAcceptsFirstResponder(bool accepts)
{
    m_acceptsFirstResponder = accepts;
    setFocusPolicy(accepts ? Qt::StrongFocus : Qt::NoFocus);
}

void LayersOutlineView::rowHeightsDidChange()
{
    scheduleDelayedItemsLayout();
    viewport()->update();
}

void LayersOutlineView::setDropTargetRow(const QModelIndex& index)
{
    if (m_dropTarget == index)
        return;
    m_dropTarget = index.siblingAtColumn(LayerTreeModel::MainColumn);
    viewport()->update();
}

QColor LayersOutlineView::colourBarColourOfItem(const QObject* item)
{
    if (const auto* object = qobject_cast<const VXDrawableObject*>(item))
        item = object->layer();
    const auto* layer = qobject_cast<const VXLayer*>(item);
    return layer ? layer->selectionColour() : QColor();
}

// --- Drawing rows -----------------------------------------------------------------------------------

void LayersOutlineView::drawRow(QPainter* painter, const QStyleOptionViewItem& option, const QModelIndex& index) const
{
    const QRect row(0, option.rect.top(), viewport()->width(), option.rect.height());
    const QObject* item = m_controller->model().itemForIndex(index);
    if (selectionModel()->isRowSelected(index.row(), index.parent()))
        VLTMSelectedTableRowGradient().drawInRect(*painter, row, -90);
    if (m_dropTarget.isValid() && m_dropTarget == index.siblingAtColumn(LayerTreeModel::MainColumn)) {
        painter->save();
        painter->setRenderHint(QPainter::Antialiasing);
        QPainterPath rounded;
        const QRectF inset = QRectF(row).adjusted(2, 2, -2, -2);
        rounded.addRoundedRect(inset, 8, 8);
        painter->fillPath(rounded, VLTMSelectedTableRowGradient().linearGradientInRect(inset, -90));
        painter->setPen(QPen(Qt::white, 2));
        painter->drawPath(rounded);
        painter->restore();
    }
    QStyleOptionViewItem plain = option;
    plain.state &= ~QStyle::State_Selected;
    QTreeView::drawRow(painter, plain, index);

    if (const QColor bar = colourBarColourOfItem(item); bar.isValid())
        painter->fillRect(QRect(row.left(), row.top(), kColourBarWidth, row.height()), bar);
    painter->save();
    painter->setPen(QPen(VLTMLightControlFrameColour(), 0.25));
    const qreal y = row.bottom() + 1 - 0.5;
    painter->drawLine(QPointF(row.left(), y), QPointF(row.right() + 1, y));
    painter->restore();
}

// --- Clicks on controls -----------------------------------------------------------------------------

LayersOutlineView::ControlHit LayersOutlineView::controlAt(QPoint point) const
{
    const QModelIndex index = indexAt(point);
    if (!index.isValid())
        return {};
    const QRect cell = visualRect(index);
    const int control = LayerRowDelegate::controlAtPoint(cell, m_controller->model().itemForIndex(index),
                                                         index.column(), m_controller->compactRows(), point);
    if (control == LayerRowDelegate::NoControl)
        return {};
    return {index, control, cell};
}

void LayersOutlineView::mousePressEvent(QMouseEvent* event)
{
    if (platform::isContextClick(event->button(), event->modifiers())) {
        m_trackedControl = {};
        event->accept();
        contextClickAt(event->position().toPoint(), event->globalPosition().toPoint());
        return;
    }
    if (event->button() == Qt::LeftButton) {
        if (ControlHit hit = controlAt(event->position().toPoint()); hit.control != LayerRowDelegate::NoControl) {
            m_trackedControl = hit;
            event->accept();
            return;
        }
    }
    m_trackedControl = {};
    QTreeView::mousePressEvent(event);
}

void LayersOutlineView::mouseMoveEvent(QMouseEvent* event)
{
    if (m_trackedControl.index.isValid()) {
        event->accept();
        return;
    }
    QTreeView::mouseMoveEvent(event);
}

void LayersOutlineView::mouseReleaseEvent(QMouseEvent* event)
{
    if (!m_trackedControl.index.isValid() && m_trackedControl.control == LayerRowDelegate::NoControl) {
        QTreeView::mouseReleaseEvent(event);
        return;
    }
    const ControlHit tracked = std::exchange(m_trackedControl, {});
    event->accept();
    // The row may have gone while the button was down (undo, another view).
    if (!tracked.index.isValid())
        return;
    const ControlHit released = controlAt(event->position().toPoint());
    if (released.index != tracked.index || released.control != tracked.control)
        return;
    if (auto* delegate = qobject_cast<LayerRowDelegate*>(itemDelegate()))
        delegate->performControl(m_controller->model().itemForIndex(tracked.index),
                                 LayerRowDelegate::Control(tracked.control), event->modifiers());
    viewport()->update();
}

void LayersOutlineView::contextMenuEvent(QContextMenuEvent* event)
{
    event->accept();
    // A mouse's context click was handled as it was pressed.
    if (event->reason() != QContextMenuEvent::Mouse)
        contextClickAt(visualRect(currentIndex()).center(), event->globalPos());
}

void LayersOutlineView::contextClickAt(QPoint point, QPoint globalPoint)
{
    const QModelIndex index = indexAt(point);
    QObject* item = m_controller->model().itemForIndex(index);
    const QRect cell = visualRect(index);
    if (item && index.column() == LayerTreeModel::MainColumn) {
        const LayerRowDelegate::Layout layout =
            LayerRowDelegate::layoutOfCell(cell, item, index.column(), m_controller->compactRows());
        if (layout.visibility.contains(point) &&
            m_controller->showOpacityPopoverForLayer(qobject_cast<VXLayer*>(item), layout.visibility))
            return;
    }
    const std::unique_ptr<platform::Menu> menu = m_controller->contextMenuForItem(item);
    menu->exec(globalPoint);
}

// --- Dragging rows ----------------------------------------------------------------------------------

void LayersOutlineView::startDrag(Qt::DropActions)
{
    const QList<QObject*> items = m_controller->selectedItems();
    const QString type = LayerDropRules::pasteboardTypeForDraggedItems(items);
    if (type.isEmpty())
        return;
    LayerDropRules::setDraggedItems(items);
    auto* data = new QMimeData;
    data->setData(platform::mimeTypeForPasteboardType(type), {});
    auto* drag = new QDrag(this);
    drag->setMimeData(data);
    drag->exec(Qt::MoveAction);
    // However the drag ended, its items are no longer dragged.
    LayerDropRules::setDraggedItems({});
    setDropTargetRow({});
}

QString LayersOutlineView::dragTypeOf(const QMimeData* data)
{
    for (const QString& type : {kVLTMLayerDragPasteboardType, kVLTMDrawableRowPasteboardType})
        if (data && data->hasFormat(platform::mimeTypeForPasteboardType(type)))
            return type;
    return {};
}

std::pair<QObject*, int> LayersOutlineView::dropProposalAt(QPoint point) const
{
    const LayerTreeModel& model = m_controller->model();
    const QModelIndex index = indexAt(point).siblingAtColumn(LayerTreeModel::MainColumn);
    if (!index.isValid())
        return {nullptr, -1};
    const QRect row = visualRect(index);
    const int edge = std::max(4, row.height() / 4);
    QObject* parentItem = model.itemForIndex(index.parent());
    if (point.y() < row.top() + edge)
        return {parentItem, index.row()};
    if (point.y() > row.bottom() - edge) {
        // Below an open row is above its first child.
        if (isExpanded(index) && model.rowCount(index) > 0)
            return {model.itemForIndex(index), 0};
        return {parentItem, index.row() + 1};
    }
    return {model.itemForIndex(index), -1};
}

void LayersOutlineView::dragEnterEvent(QDragEnterEvent* event)
{
    dragMoveEvent(event);
}

void LayersOutlineView::dragMoveEvent(QDragMoveEvent* event)
{
    const QString type = dragTypeOf(event->mimeData());
    const auto [item, position] = dropProposalAt(event->position().toPoint());
    const LayerDropRules::Drop drop = type.isEmpty() ? LayerDropRules::Drop() : m_controller->validateDrop(type, item, position);
    if (!drop.accepted) {
        setDropTargetRow({});
        event->ignore();
        return;
    }
    setDropTargetRow(m_controller->model().indexForItem(drop.item));
    event->setDropAction(Qt::MoveAction);
    event->accept();
}

void LayersOutlineView::dragLeaveEvent(QDragLeaveEvent* event)
{
    setDropTargetRow({});
    event->accept();
}

void LayersOutlineView::dropEvent(QDropEvent* event)
{
    setDropTargetRow({});
    const QString type = dragTypeOf(event->mimeData());
    const auto [item, position] = dropProposalAt(event->position().toPoint());
    if (!type.isEmpty() && m_controller->acceptDrop(type, item, position)) {
        event->setDropAction(Qt::MoveAction);
        event->accept();
    } else {
        event->ignore();
    }
}
