#pragma once

// What an icon view of an item browser asks about its items: their count, their cells (preview
// or placeholder, name, lock badge, enabled state), tool tips, renaming in place, the drag of
// the selection as library items, which items may be selected, and the pages' headers and
// footers. It serves the browser's own view, printed pages and PDF previews alike; only the
// browser's own view draws to the screen. Printing draws each icon afresh for the printer.

#include "library/browser/LibraryItemPrinter.h"
#include "widgets/iconview/ZQPrintableJXDistributedView.h"

class VXQLibraryItemViewController;

class LibraryItemIconSource : public JXDistributedViewDataSource,
                              public JXDistributedViewDelegate,
                              public ZQPrintableJXDistributedViewDelegate {
public:
    explicit LibraryItemIconSource(VXQLibraryItemViewController& browser);

    // The browser's items on the printer's pages; answers the number of pages.
    int print(QPrinter& printer);

    JXDistributedViewDataSource::Messages implementedDataSourceMessages() const override;
    qint64 numberOfItemsInDistributedView(JXDistributedView* view) override;
    QPointF distributedViewPositionForCellAtItemIndex(JXDistributedView* view, JXDistributedViewCell* cell,
                                                      qint64 index) override;
    void distributedViewSetPositionForItemIndex(JXDistributedView* view, QPointF position, qint64 index) override;
    // Renames the item and selects it.
    void distributedViewSetObjectValueForItemIndex(JXDistributedView* view, const QString& value,
                                                   qint64 index) override;
    bool distributedViewWriteItemsAtIndexesToPasteboard(JXDistributedView* view, const JXIndexSet& indexes,
                                                        platform::Pasteboard& pasteboard) override;
    // The item's kind and quoted name.
    QString distributedViewToolTipForItemAtIndex(JXDistributedView* view, qint64 index) override;
    Qt::DropActions distributedViewDraggingSourceOperationMaskForLocal(JXDistributedView* view, bool local) override;
    void distributedViewDraggedImageMovedTo(JXDistributedView* view, const QImage& image, QPointF screenPoint) override;
    void distributedViewDragEndedWithOperation(JXDistributedView* view, Qt::DropAction operation) override;

    JXDistributedViewDelegate::Messages implementedDelegateMessages() const override;
    JXIndexSet distributedViewProposedSelectionAtIndexes(JXDistributedView* view, const JXIndexSet& proposed) override;
    void distributedViewDidSelectItemsAtIndexes(JXDistributedView* view, const JXIndexSet& indexes) override;
    // Asks the browser's delegate to edit the item.
    void distributedViewCellDoubleClickedAtItemIndex(JXDistributedView* view, qint64 index) override;
    bool distributedViewShouldEditItemAtIndex(JXDistributedView* view, qint64 index) override;

    // Printed pages ask the browser's delegate, when it also answers the printable view's messages.
    QString printableDistributedViewHeaderStringForPage(JXDistributedView* view, qint64 page) override;
    QString printableDistributedViewFooterStringForPage(JXDistributedView* view, qint64 page) override;

private:
    void prepareCell(JXDistributedViewCell* cell, qint64 index, bool toScreen);

    VXQLibraryItemViewController& m_browser;
    LibraryItemPrinter m_printer;
};
