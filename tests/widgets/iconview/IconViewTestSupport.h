#pragma once

// A data source and delegate for the icon view's tests: items with titles and stored
// positions, and a record of what the view told the delegate.

#include "widgets/iconview/JXDistributedView.h"

#include "platform/ui/Pasteboard.h"

#include <QDrag>
#include <QDropEvent>
#include <QMimeData>
#include <QObject>
#include <vector>

namespace icontest {

class Items : public QObject, public JXDistributedViewDataSource, public JXDistributedViewDelegate {
    Q_OBJECT

public:
    struct Item {
        QString title;
        QPointF position;
    };
    std::vector<Item> items;
    JXDistributedViewDataSource::Messages sourceMessages = JXDistributedViewDataSource::Message::SetPosition
        | JXDistributedViewDataSource::Message::SetObjectValue | JXDistributedViewDataSource::Message::WriteItems
        | JXDistributedViewDataSource::Message::DraggingSourceOperationMask
        | JXDistributedViewDataSource::Message::ValidateDrop | JXDistributedViewDataSource::Message::AcceptDrop;
    JXDistributedViewDelegate::Messages delegateMessages = JXDistributedViewDelegate::Message::DidSelectItemsAtIndexes
        | JXDistributedViewDelegate::Message::CellClickedAtItemIndex
        | JXDistributedViewDelegate::Message::CellDoubleClickedAtItemIndex;
    // The count the data source reports, when set (a source whose count drops without reload).
    std::optional<qint64> reportedCount;
    std::optional<JXIndexSet> proposedAnswer;
    std::vector<JXIndexSet> selections;
    std::vector<qint64> clicks, doubleClicks;
    std::vector<QString> searches;
    std::vector<JXIndexSet> written;
    // The image every item shows, when set.
    QImage icon;
    // Every index asked about; none may lie outside 0 ... count - 1.
    qint64 badIndexQueries = 0;

    // `count` items titled "Item 0" ... laid out in rows of `perRow` cells of 100.
    static std::unique_ptr<Items> grid(int count, int perRow = 5, double cell = 100.0, double inset = 8.0)
    {
        auto items = std::make_unique<Items>();
        for (int i = 0; i < count; ++i)
            items->items.push_back({QStringLiteral("Item %1").arg(i),
                                    QPointF(inset + (i % perRow) * cell, inset + (i / perRow) * cell)});
        return items;
    }

    JXDistributedViewDataSource::Messages implementedDataSourceMessages() const override { return sourceMessages; }
    qint64 numberOfItemsInDistributedView(JXDistributedView*) override
    {
        return reportedCount.value_or(qint64(items.size()));
    }
    QPointF distributedViewPositionForCellAtItemIndex(JXDistributedView*, JXDistributedViewCell* cell,
                                                      qint64 index) override
    {
        if (index < 0 || index >= qint64(items.size())) {
            ++badIndexQueries;
            return {};
        }
        if (cell) {
            cell->setStringValue(items[size_t(index)].title);
            if (!icon.isNull())
                cell->setImage(icon);
        }
        return items[size_t(index)].position;
    }
    void distributedViewSetPositionForItemIndex(JXDistributedView*, QPointF position, qint64 index) override
    {
        items.at(size_t(index)).position = position;
    }
    void distributedViewSetObjectValueForItemIndex(JXDistributedView*, const QString& value, qint64 index) override
    {
        items.at(size_t(index)).title = value;
    }
    bool distributedViewWriteItemsAtIndexesToPasteboard(JXDistributedView* view, const JXIndexSet& indexes,
                                                        platform::Pasteboard& pasteboard) override
    {
        written.push_back(indexes);
        QStringList titles;
        for (qint64 index : indexes)
            titles << items.at(size_t(index)).title;
        pasteboard.declareTypes({platform::kPasteboardTypeString});
        pasteboard.setStringForType(titles.join(u'\n'), platform::kPasteboardTypeString);
        view->addPositionsOfItemsToPasteboard(std::vector<qint64>(indexes.begin(), indexes.end()), pasteboard);
        return true;
    }
    Qt::DropActions distributedViewDraggingSourceOperationMaskForLocal(JXDistributedView*, bool) override
    {
        return Qt::CopyAction;
    }
    // Text is accepted, on an item or between items; `retarget` moves the drop to that item.
    std::optional<qint64> retarget;
    std::vector<qint64> drops;
    Qt::DropAction distributedViewValidateDropProposedItem(JXDistributedView*, const QDropEvent& event,
                                                           qint64& proposedItem) override
    {
        if (retarget)
            proposedItem = *retarget;
        return event.mimeData()->hasText() ? Qt::CopyAction : Qt::IgnoreAction;
    }
    bool distributedViewAcceptDropOnItem(JXDistributedView*, const QDropEvent&, qint64 item) override
    {
        drops.push_back(item);
        return true;
    }

    JXDistributedViewDelegate::Messages implementedDelegateMessages() const override { return delegateMessages; }
    JXIndexSet distributedViewProposedSelectionAtIndexes(JXDistributedView*, const JXIndexSet& proposed) override
    {
        return proposedAnswer.value_or(proposed);
    }
    void distributedViewDidSelectItemsAtIndexes(JXDistributedView*, const JXIndexSet& indexes) override
    {
        selections.push_back(indexes);
    }
    void distributedViewCellClickedAtItemIndex(JXDistributedView*, qint64 index) override { clicks.push_back(index); }
    void distributedViewCellDoubleClickedAtItemIndex(JXDistributedView*, qint64 index) override
    {
        doubleClicks.push_back(index);
    }
    qint64 distributedViewItemIndexForStringOptions(JXDistributedView* view, const QString& string,
                                                    unsigned options) override
    {
        searches.push_back(string);
        return JXDistributedViewDelegate::distributedViewItemIndexForStringOptions(view, string, options);
    }
};

// A view whose drags are recorded instead of run (a real drag blocks in its own loop).
class RecordingView : public JXDistributedView {
public:
    using JXDistributedView::JXDistributedView;
    int drags = 0;
    QStringList dragFormats;
    QByteArray dragPositions;
    QImage dragImage;

protected:
    Qt::DropAction execDrag(QDrag& drag, Qt::DropActions) override
    {
        ++drags;
        dragFormats = drag.mimeData()->formats();
        dragPositions = drag.mimeData()->data(platform::mimeTypeForPasteboardType(JXDistributedViewPositionsPboardType));
        dragImage = drag.pixmap().toImage();
        return Qt::CopyAction;
    }
};

} // namespace icontest
