// Mouse handling of the free-layout icon view: presses, the rubber band with its autoscroll,
// moving items with snapping, dragging items out and receiving drops.

#include "widgets/iconview/JXDistributedView.h"

#include "platform/foundation/PropertyList.h"
#include "platform/foundation/ZQLog.h"
#include "platform/ui/ModifierKeys.h"
#include "platform/ui/Pasteboard.h"
#include "widgets/badge/CTBadge.h"
#include "widgets/paint/KitImage.h"

#include <QDrag>
#include <QDragEnterEvent>
#include <QMimeData>
#include <QMouseEvent>
#include <QPainter>
#include <QScrollBar>
#include <QtEndian>
#include <cmath>

namespace {
constexpr int kAutoscrollIntervalMs = 100;
// More entries than this in a positions list are not from a drag of ours.
constexpr qsizetype kLargestPositionCount = 100000;

// A transparent image of `area` points at `ratio`; null, with the error logged, when it
// cannot be made (too large for memory).
QImage dragCanvas(const QSizeF& area, double ratio)
{
    const QSize pixels = KitImage::pixelSizeFor(area, ratio);
    QImage image = pixels.isEmpty() ? QImage() : QImage(pixels, QImage::Format_ARGB32_Premultiplied);
    if (image.isNull()) {
        ZQLog(QStringLiteral("unable to create image for drag, size = {%1, %2}").arg(area.width()).arg(area.height()));
        return {};
    }
    image.setDevicePixelRatio(ratio);
    image.fill(Qt::transparent);
    return image;
}

} // namespace

bool JXDistributedView::commandHeld(Qt::KeyboardModifiers modifiers) const
{
    return platform::modifierFlagsFromQt(modifiers) & platform::CommandKeyMask;
}

bool JXDistributedView::shiftHeld(Qt::KeyboardModifiers modifiers) const
{
    return platform::modifierFlagsFromQt(modifiers) & platform::ShiftKeyMask;
}

// --- Press, drag, release -------------------------------------------------------------------------

void JXDistributedView::mousePressEvent(QMouseEvent* event)
{
    if (event->button() != Qt::LeftButton) {
        QAbstractScrollArea::mousePressEvent(event);
        return;
    }
    handlePress(documentPoint(event->position()), event->modifiers(), 1, platform::RunLoop::now());
}

void JXDistributedView::mouseDoubleClickEvent(QMouseEvent* event)
{
    if (event->button() != Qt::LeftButton)
        return;
    handlePress(documentPoint(event->position()), event->modifiers(), 2, platform::RunLoop::now());
}

void JXDistributedView::mouseMoveEvent(QMouseEvent* event)
{
    if (event->buttons() & Qt::LeftButton)
        handleDrag(documentPoint(event->position()), event->modifiers(), platform::RunLoop::now());
}

void JXDistributedView::mouseReleaseEvent(QMouseEvent* event)
{
    if (event->button() == Qt::LeftButton)
        handleRelease(documentPoint(event->position()), event->modifiers());
}

void JXDistributedView::handlePress(QPointF point, Qt::KeyboardModifiers modifiers, int clickCount, qint64 timestamp)
{
    textDidEndEditing();
    m_lastPos = point;
    m_lastDragPoint = point;
    m_mouseItem = getItemIndexAtPoint(point);
    m_mouseWasDragged = false;
    m_isTrackingMouse = true;
    m_dragStarted = false;
    m_mouseDownTime = timestamp;
    m_selectionRect = QRectF();
    const bool shift = shiftHeld(modifiers);
    if (m_mouseItem != NSNotFound) {
        if (clickCount >= 2) {
            const QRectF box = snappedRectForItemAtIndex(m_mouseItem);
            if (m_prototype && m_prototype->isEditable() && m_prototype->titleRectForBounds(box).contains(point))
                editItemIndexWithEventSelect(m_mouseItem);
            else if (m_delegate && m_delegate->answers(JXDistributedViewDelegate::Message::CellDoubleClickedAtItemIndex))
                m_delegate->distributedViewCellDoubleClickedAtItemIndex(this, m_mouseItem);
            return;
        }
        if (shift && isItemSelected(m_mouseItem)) {
            deselectItem(m_mouseItem);
            return;
        }
        if (!isItemSelected(m_mouseItem))
            selectItemByExtendingSelection(m_mouseItem, shift);
    } else {
        if (!allowsEmptySelection())
            return;
        selectionSetNeedsDisplay();
        if (!shift)
            deselectAll();
        m_autoscrollTimer = std::make_unique<platform::Timer>(kAutoscrollIntervalMs, true, this,
                                                              [this](platform::Timer&) { autoscrollCallback(); });
    }
    if (useSelectionRect() || m_mouseItem != NSNotFound)
        initiateMove();
}

void JXDistributedView::handleDrag(QPointF point, Qt::KeyboardModifiers modifiers, qint64 timestamp)
{
    if (!m_isTrackingMouse)
        return;
    m_mouseWasDragged = true;
    const bool canDrag = m_dataSource && m_dataSource->answers(JXDistributedViewDataSource::Message::WriteItems);
    if (m_mouseItem == NSNotFound) {
        if (!useSelectionRect())
            return;
        const QRectF band = QRectF(m_lastPos, point).normalized();
        selectionRectChanged(m_selectionRect, band);
        m_selectionRect = band;
        selectItemsInRectByExtendingSelection(m_selectionRect, shiftHeld(modifiers));
        return;
    }
    if (m_dragStarted)
        return;
    if (!dragMovesItems()) {
        if (canDrag)
            initiateDrag(point, timestamp);
    } else if (canDrag && (!visibleRect().contains(point) || !dragsLocally())) {
        initiateDrag(point, timestamp);
    } else {
        moveSelectedItemsBy(point - m_lastDragPoint, commandHeld(modifiers));
    }
    m_lastDragPoint = point;
}

void JXDistributedView::handleRelease(QPointF point, Qt::KeyboardModifiers modifiers)
{
    if (!m_isTrackingMouse)
        return;
    if (m_mouseItem == NSNotFound) {
        setNeedsDisplayInRect(m_selectionRect.adjusted(-1, -1, 1, 1));
        m_selectionRect = QRectF();
        m_autoscrollTimer.reset();
    } else {
        const qint64 item = m_mouseItem;
        if (item < numberOfItems() && snappedRectForItemAtIndex(item).contains(point)
            && (point == m_lastPos || !dragMovesItems()))
            cellClicked();
        const QPointF delta = point - m_lastDragPoint;
        m_lastPos = point;
        if (dragMovesItems() && !m_dragStarted)
            endLocalMove(delta, commandHeld(modifiers));
        if (!m_mouseWasDragged && !shiftHeld(modifiers) && item < numberOfItems())
            selectItemByExtendingSelection(item, false);
        m_mouseWasDragged = false;
        m_mouseItem = NSNotFound;
    }
    m_isTrackingMouse = false;
    contentSizeChanged();
}

void JXDistributedView::cellClicked()
{
    if (m_delegate && m_delegate->answers(JXDistributedViewDelegate::Message::CellClickedAtItemIndex))
        m_delegate->distributedViewCellClickedAtItemIndex(this, m_mouseItem);
}

void JXDistributedView::autoscrollCallback()
{
    if (!m_isTrackingMouse || m_mouseItem != NSNotFound)
        return;
    const QPoint local = viewport()->mapFromGlobal(QCursor::pos());
    const QRect shown = viewport()->rect();
    if (shown.contains(local))
        return;
    const int dx = local.x() < 0 ? local.x() : std::max(0, local.x() - shown.width());
    const int dy = local.y() < 0 ? local.y() : std::max(0, local.y() - shown.height());
    const QPointF before = visibleRect().topLeft();
    scrollByXY(float(dx), float(dy));
    if (visibleRect().topLeft() != before)
        handleDrag(documentPoint(local), platform::qtModifiersFromFlags(platform::currentModifierFlags()),
                   platform::RunLoop::now());
}

// --- Moving items ---------------------------------------------------------------------------------

void JXDistributedView::moveSelectedItemsBy(QPointF delta, bool command)
{
    if (!m_dataSource || !m_dataSource->answers(JXDistributedViewDataSource::Message::SetPosition))
        return;
    if (showsSnapGuides() && !forceToGrid() && (command != snapToGrid()))
        m_drawSnappedRects = true;
    const qint64 count = numberOfItems();
    for (qint64 index : m_selection) {
        if (index >= count)
            continue;
        itemNeedsDisplay(index);
        m_dataSource->distributedViewSetPositionForItemIndex(this, rectForItemAtIndex(index).topLeft() + delta, index);
        itemNeedsDisplay(index);
    }
    invalidateVisibleItemsCache();
}

void JXDistributedView::endLocalMove(QPointF delta, bool command)
{
    if (delta.isNull() && !snapToGrid() && !command)
        return;
    m_drawSnappedRects = false;
    if (!m_dataSource || !m_dataSource->answers(JXDistributedViewDataSource::Message::SetPosition))
        return;
    const bool snaps = forceToGrid() || (command != snapToGrid());
    const qint64 count = numberOfItems();
    for (qint64 index : m_selection) {
        if (index >= count)
            continue;
        itemNeedsDisplay(index);
        QRectF box = rectForItemAtIndex(index).translated(delta);
        if (snaps)
            box = forceRectToGrid(box);
        m_dataSource->distributedViewSetPositionForItemIndex(this, box.topLeft(), index);
        itemNeedsDisplay(index);
    }
    invalidateVisibleItemsCache();
    setNeedsDisplay();
}

void JXDistributedView::moveItemsByOffset(const std::vector<qint64>& indexes, QSizeF offset)
{
    if (!m_dataSource || !m_dataSource->answers(JXDistributedViewDataSource::Message::SetPosition))
        return;
    const qint64 count = numberOfItems();
    for (qint64 index : indexes) {
        if (index < 0 || index >= count)
            continue;
        itemNeedsDisplay(index);
        m_dataSource->distributedViewSetPositionForItemIndex(
            this, rectForItemAtIndex(index).topLeft() + QPointF(offset.width(), -offset.height()), index);
        itemNeedsDisplay(index);
    }
    invalidateVisibleItemsCache();
    contentSizeChanged();
}

// --- Dragging out ---------------------------------------------------------------------------------

QImage JXDistributedView::dragImageForVisibleItemsAtIndexes(const JXIndexSet& indexes, QPointF* imageOrigin) const
{
    const qint64 count = numberOfItems();
    const QRectF near = visibleRect().adjusted(0, -m_cellSize.height(), 0, m_cellSize.height());
    const QRectF area = rectEnclosingItemsAtIndexes(indexes).intersected(near);
    if (area.isEmpty() || !m_prototype)
        return {};
    const double ratio = devicePixelRatioF();
    QImage image = dragCanvas(area.size(), ratio);
    if (image.isNull())
        return {};
    const QSize pixels = image.size();
    double firstTop = area.top();
    bool drewAny = false;
    {
        QPainter painter(&image);
        painter.setRenderHint(QPainter::Antialiasing);
        painter.translate(-area.topLeft());
        JXDistributedViewCell::DrawContext context;
        context.toScreen = false;
        context.controlView = const_cast<JXDistributedView*>(this);
        auto* self = const_cast<JXDistributedView*>(this);
        for (qint64 index : indexes) {
            if (index < 0 || index >= count)
                continue;
            const QRectF box = rectForItemAtIndex(index);
            if (!area.contains(box))
                continue;
            m_prototype->setHighlighted(true);
            m_dataSource->distributedViewPositionForCellAtItemIndex(self, m_prototype.get(), index);
            m_prototype->setHighlighted(true);
            painter.save();
            m_prototype->drawWithFrame(painter, box, context);
            painter.restore();
            if (!drewAny)
                firstTop = box.top();
            drewAny = true;
        }
        painter.resetTransform();
        painter.setCompositionMode(QPainter::CompositionMode_DestinationIn);
        painter.fillRect(QRectF(QPointF(0, 0), QSizeF(pixels)), QColor::fromRgbF(0, 0, 0, 0.5f));
        if (allowsMultipleSelection()) {
            CTBadge badge;
            badge.setDevicePixelRatio(ratio);
            const QImage mark = badge.smallBadgeForValue(quint64(indexes.size()));
            painter.setCompositionMode(QPainter::CompositionMode_SourceOver);
            painter.scale(ratio, ratio);
            painter.drawImage(QPointF(0, firstTop - area.top()), mark);
        }
    }
    if (imageOrigin)
        *imageOrigin = area.topLeft();
    return image;
}

QImage JXDistributedView::dragImageForItemsDragImageOffset(const std::vector<qint64>& indexes,
                                                          QPointF* imageOrigin) const
{
    const QRectF area = rectAroundItems(indexes);
    if (area.isEmpty() || !m_prototype)
        return {};
    QImage image = dragCanvas(area.size(), devicePixelRatioF());
    if (image.isNull())
        return {};
    QPainter painter(&image);
    painter.setRenderHint(QPainter::Antialiasing);
    painter.setOpacity(0.5);
    painter.translate(-area.topLeft());
    JXDistributedViewCell::DrawContext context;
    context.toScreen = false;
    auto* self = const_cast<JXDistributedView*>(this);
    context.controlView = self;
    const qint64 count = numberOfItems();
    for (qint64 index : indexes) {
        if (index < 0 || index >= count)
            continue;
        m_dataSource->distributedViewPositionForCellAtItemIndex(self, m_prototype.get(), index);
        m_prototype->setHighlighted(false);
        painter.save();
        m_prototype->drawWithFrame(painter, rectForItemAtIndex(index), context);
        painter.restore();
    }
    if (imageOrigin)
        *imageOrigin = area.topLeft();
    return image;
}

void JXDistributedView::addPositionsOfItemsToPasteboard(const std::vector<qint64>& indexes,
                                                        platform::Pasteboard& pasteboard)
{
    QVariantList entries;
    const qint64 count = numberOfItems();
    for (qint64 index : indexes) {
        if (index < 0 || index >= count)
            continue;
        const QPointF offset = rectForItemAtIndex(index).topLeft() - m_dragStartImagePos;
        QByteArray bytes(16, '\0');
        qToLittleEndian<double>(offset.x(), bytes.data());
        qToLittleEndian<double>(offset.y(), bytes.data() + 8);
        entries.append(bytes);
    }
    pasteboard.addTypes({JXDistributedViewPositionsPboardType});
    pasteboard.setPropertyListForType(entries, JXDistributedViewPositionsPboardType);
}

QList<QPointF> JXDistributedView::positionsOfItemsOnPasteboardForImagePosition(const platform::Pasteboard& pasteboard,
                                                                              QPointF imagePosition) const
{
    const std::optional<QVariant> list = pasteboard.propertyListForType(JXDistributedViewPositionsPboardType);
    if (!list || list->typeId() != QMetaType::QVariantList)
        return {};
    const QVariantList entries = list->toList();
    if (entries.size() > kLargestPositionCount)
        return {};
    QList<QPointF> positions;
    for (const QVariant& entry : entries) {
        if (entry.typeId() != QMetaType::QByteArray)
            continue;
        const QByteArray bytes = entry.toByteArray();
        if (bytes.size() != 16)
            continue;
        const double x = qFromLittleEndian<double>(bytes.constData());
        const double y = qFromLittleEndian<double>(bytes.constData() + 8);
        if (!std::isfinite(x) || !std::isfinite(y))
            continue;
        QPointF position = imagePosition + QPointF(x, y);
        if (snapToGrid() || forceToGrid())
            position = forceRectToGrid(QRectF(position, m_cellSize)).topLeft();
        positions.append(position);
    }
    return positions;
}

Qt::DropAction JXDistributedView::execDrag(QDrag& drag, Qt::DropActions actions)
{
    return drag.exec(actions);
}

bool JXDistributedView::initiateDrag(QPointF point, qint64 timestamp)
{
    if (dragsDisabled() || double(timestamp - m_mouseDownTime) < m_dragDelay * 1000.0)
        return false;
    // Items moved locally travel with the pointer: the pressed one is still under it, even
    // where the pointer has just left the view.
    const bool moving = dragMovesItems() && m_mouseWasDragged && m_mouseItem != NSNotFound;
    const qint64 item = moving ? m_mouseItem : getItemIndexAtPoint(point);
    if (item == NSNotFound || !isItemSelected(item))
        return false;
    QPointF origin;
    const QImage image = dragImageForVisibleItemsAtIndexes(m_selection, &origin);
    auto* data = new QMimeData;
    platform::Pasteboard pasteboard(data);
    m_dragStartImagePos = origin;
    if (image.isNull() || !m_dataSource->distributedViewWriteItemsAtIndexesToPasteboard(this, m_selection, pasteboard)) {
        delete data;
        initiateMove();
        return false;
    }
    m_dragStarted = true;
    QDrag drag(this);
    drag.setMimeData(data);
    drag.setPixmap(QPixmap::fromImage(image));
    drag.setHotSpot((point - origin).toPoint());
    const Qt::DropActions actions = m_dataSource->answers(JXDistributedViewDataSource::Message::DraggingSourceOperationMask)
        ? m_dataSource->distributedViewDraggingSourceOperationMaskForLocal(this, false)
        : Qt::DropActions(Qt::IgnoreAction);
    if (m_dataSource->answers(JXDistributedViewDataSource::Message::DraggedImageMovedTo))
        connect(&drag, &QDrag::targetChanged, this, [this, image](QObject*) {
            if (m_dataSource)
                m_dataSource->distributedViewDraggedImageMovedTo(this, image, QCursor::pos());
        });
    const Qt::DropAction result = execDrag(drag, actions);
    if (m_dataSource && m_dataSource->answers(JXDistributedViewDataSource::Message::DragEndedWithOperation))
        m_dataSource->distributedViewDragEndedWithOperation(this, result);
    return true;
}

// --- Receiving drops ------------------------------------------------------------------------------

void JXDistributedView::updateDropDestination(QDropEvent* event, bool entering)
{
    itemNeedsDisplay(m_dragDestItem);
    const qint64 hit = getItemIndexAtPoint(documentPoint(event->position()));
    m_dragDestItem = hit == NSNotFound ? -1 : hit;
    Qt::DropAction action = Qt::IgnoreAction;
    if (m_dataSource && m_dataSource->answers(JXDistributedViewDataSource::Message::ValidateDrop)) {
        qint64 proposed = m_dragDestItem;
        action = m_dataSource->distributedViewValidateDropProposedItem(this, *event, proposed);
        m_dragDestItem = proposed >= 0 && proposed < numberOfItems() ? proposed : -1;
    }
    if (entering && action != Qt::IgnoreAction) {
        m_drawDropHilite = true;
        setNeedsDisplay();
    }
    itemNeedsDisplay(m_dragDestItem);
    if (action == Qt::IgnoreAction) {
        event->ignore();
    } else {
        event->setDropAction(action);
        event->accept();
    }
}

void JXDistributedView::dragEnterEvent(QDragEnterEvent* event)
{
    activateWindow();
    updateDropDestination(event, true);
    // Qt sends no further moves unless the entry is accepted; refusal is decided per move.
    event->accept();
}

void JXDistributedView::dragMoveEvent(QDragMoveEvent* event)
{
    updateDropDestination(event, false);
}

void JXDistributedView::dragLeaveEvent(QDragLeaveEvent*)
{
    m_dragDestItem = -1;
    m_mouseItem = -1;
    m_drawDropHilite = false;
    setNeedsDisplay();
}

void JXDistributedView::dropEvent(QDropEvent* event)
{
    bool accepted = false;
    if (m_dataSource && m_dataSource->answers(JXDistributedViewDataSource::Message::AcceptDrop))
        accepted = m_dataSource->distributedViewAcceptDropOnItem(this, *event, m_dragDestItem);
    m_dragDestItem = -1;
    m_mouseItem = -1;
    m_drawDropHilite = false;
    invalidateVisibleItemsCache();
    setNeedsDisplay();
    if (accepted)
        event->acceptProposedAction();
    else
        event->ignore();
}
