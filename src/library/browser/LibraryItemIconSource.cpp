#include "library/browser/LibraryItemIconSource.h"

#include "library/browser/VXQLibraryItemViewController.h"
#include "library/store/VXQLibrary.h"
#include "platform/ui/Pasteboard.h"
#include "widgets/cells/ZQLabelledIconCell.h"

#include <QCursor>

LibraryItemIconSource::LibraryItemIconSource(VXQLibraryItemViewController& browser)
    : m_browser(browser)
{
}

int LibraryItemIconSource::print(QPrinter& printer)
{
    return m_printer.print(printer, m_browser.numberOfItemsInContent(), this, this);
}

JXDistributedViewDataSource::Messages LibraryItemIconSource::implementedDataSourceMessages() const
{
    using M = JXDistributedViewDataSource::Message;
    return M::SetPosition | M::SetObjectValue | M::WriteItems | M::ToolTip | M::DraggingSourceOperationMask
        | M::DraggedImageMovedTo | M::DragEndedWithOperation;
}

qint64 LibraryItemIconSource::numberOfItemsInDistributedView(JXDistributedView*)
{
    return m_browser.numberOfItemsInContent();
}

QPointF LibraryItemIconSource::distributedViewPositionForCellAtItemIndex(JXDistributedView* view,
                                                                               JXDistributedViewCell* cell,
                                                                               qint64 index)
{
    if (cell)
        // Only the browser's own view draws to the screen; any other prints or renders.
        prepareCell(cell, index, view == m_browser.iconViewIfLoaded());
    return view->itemPositionBasedOnItemIndex(index);
}

void LibraryItemIconSource::prepareCell(JXDistributedViewCell* cell, qint64 index, bool toScreen)
{
    const VXQLibraryItemPtr item = m_browser.itemAtIndex(index);
    if (!item)
        return;
    auto* labelled = dynamic_cast<ZQLabelledIconCell*>(cell);
    if (labelled)
        labelled->setImageScaling(m_browser.iconsCanBeScaledUp() ? ZQLabelledIconCell::ImageScaleProportionallyUpOrDown
                                                       : ZQLabelledIconCell::ImageScaleProportionallyDown);
    if (toScreen) {
        const QImage preview = item->previewImage();
        cell->setImage(preview.isNull() ? VXQLibraryItemViewController::placeholderPreviewImage() : preview);
    } else {
        cell->setImage(m_printer.isPrinting() ? m_printer.printedIcon(*item)
                                              : item->previewImageLoadingAsynchronously(false));
    }
    cell->setStringValue(item->name());
    if (labelled && toScreen)
        labelled->setBadgeImage(m_browser.showsLockBadging() && item->locked()
                                    ? VXQLibraryItemViewController::lockBadgeImage()
                                    : QImage());
    else if (labelled)
        labelled->setBadgeImage({});
    cell->setEnabled(!m_browser.isItemDisabled(index));
}

void LibraryItemIconSource::distributedViewSetPositionForItemIndex(JXDistributedView*, QPointF position,
                                                                         qint64 index)
{
    if (const VXQLibraryItemPtr item = m_browser.itemAtIndex(index))
        item->setIconPosition(position);
}

void LibraryItemIconSource::distributedViewSetObjectValueForItemIndex(JXDistributedView*, const QString& value,
                                                                            qint64 index)
{
    const VXQLibraryItemPtr item = m_browser.itemAtIndex(index);
    if (!item)
        return;
    item->setName(value);
    m_browser.selectItems({item});
}

bool LibraryItemIconSource::distributedViewWriteItemsAtIndexesToPasteboard(JXDistributedView*,
                                                                                 const JXIndexSet& indexes,
                                                                                 platform::Pasteboard& pasteboard)
{
    QList<VXQLibraryItemPtr> items;
    for (qint64 index : indexes)
        if (VXQLibraryItemPtr item = m_browser.itemAtIndex(index))
            items.append(item);
    return !items.isEmpty() && VXQLibraryItem::writeLibraryItemsToPasteboard(items, pasteboard);
}

QString LibraryItemIconSource::distributedViewToolTipForItemAtIndex(JXDistributedView*, qint64 index)
{
    const VXQLibraryItemPtr item = m_browser.itemAtIndex(index);
    if (!item)
        return {};
    return QStringLiteral("%1 \u201C%2\u201D").arg(VXQLibraryItem::localisedKindStringForClassCode(item->classCode()),
                                                   item->name());
}

Qt::DropActions LibraryItemIconSource::distributedViewDraggingSourceOperationMaskForLocal(JXDistributedView*,
                                                                                                bool)
{
    // Copy; removal is read from where an unclaimed drop ends.
    return Qt::CopyAction;
}

JXDistributedViewDelegate::Messages LibraryItemIconSource::implementedDelegateMessages() const
{
    using M = JXDistributedViewDelegate::Message;
    return M::ProposedSelectionAtIndexes | M::DidSelectItemsAtIndexes | M::CellDoubleClickedAtItemIndex
        | M::ShouldEditItemAtIndex;
}

JXIndexSet LibraryItemIconSource::distributedViewProposedSelectionAtIndexes(JXDistributedView*,
                                                                                  const JXIndexSet& proposed)
{
    return librarybrowser::DisabledItems{m_browser.disabledItems()}.filterSelection(proposed);
}

void LibraryItemIconSource::distributedViewDidSelectItemsAtIndexes(JXDistributedView* view,
                                                                         const JXIndexSet& indexes)
{
    VXQLibraryItemViewControllerDelegate* delegate = m_browser.delegate();
    if (view == m_browser.iconViewIfLoaded() && delegate
        && delegate->answers(VXQLibraryItemViewControllerDelegate::Message::ItemSelectionChanged))
        delegate->itemSelectionChanged(indexes);
}

void LibraryItemIconSource::distributedViewCellDoubleClickedAtItemIndex(JXDistributedView*, qint64 index)
{
    VXQLibraryItemViewControllerDelegate* delegate = m_browser.delegate();
    if (delegate && delegate->answers(VXQLibraryItemViewControllerDelegate::Message::EditItemsAtIndexes))
        delegate->editItemsAtIndexes({index});
}

bool LibraryItemIconSource::distributedViewShouldEditItemAtIndex(JXDistributedView*, qint64 index)
{
    return m_browser.shouldEditItemAtIndex(index);
}

void LibraryItemIconSource::distributedViewDraggedImageMovedTo(JXDistributedView* view, const QImage& image,
                                                               QPointF screenPoint)
{
    m_browser.distributedViewDraggedImageMovedTo(view, image, screenPoint);
}

void LibraryItemIconSource::distributedViewDragEndedWithOperation(JXDistributedView*, Qt::DropAction operation)
{
    m_browser.dragEndedWithOperationAtPoint(operation, QCursor::pos());
}

QString LibraryItemIconSource::printableDistributedViewHeaderStringForPage(JXDistributedView* view, qint64 page)
{
    if (auto* printable = dynamic_cast<ZQPrintableJXDistributedViewDelegate*>(m_browser.delegate()))
        return printable->printableDistributedViewHeaderStringForPage(view, page);
    return {};
}

QString LibraryItemIconSource::printableDistributedViewFooterStringForPage(JXDistributedView* view, qint64 page)
{
    if (auto* printable = dynamic_cast<ZQPrintableJXDistributedViewDelegate*>(m_browser.delegate()))
        return printable->printableDistributedViewFooterStringForPage(view, page);
    return {};
}
