#pragma once

// The data source and the delegate of the free-layout icon view. The view keeps no item data:
// the data source owns the items, their positions, their pasteboard form and drops; the
// delegate hears about, and may steer, selection, clicks, editing and type-select. The view
// keeps neither alive.
//
// Optional messages are virtual members with a harmless default; a receiver lists the ones it
// answers in implementedDataSourceMessages() or
// implementedDelegateMessages(), and the view sends no other optional message (it falls
// back as each message's comment says). Item indexes run from 0 to count - 1; -1 is no item.

#include <QFlags>
#include <QPointF>
#include <QString>
#include <Qt>
#include <set>

class JXDistributedView;
class JXDistributedViewCell;
class QDropEvent;
class QImage;

namespace platform {
class MenuItem;
class Pasteboard;
}

using JXIndexSet = std::set<qint64>;

// String comparison options of type-select: case-insensitive and anchored at the start.
enum JXStringCompareOption : unsigned { JXCaseInsensitiveSearch = 1, JXAnchoredSearch = 8 };

class JXDistributedViewDataSource {
public:
    enum class Message : unsigned {
        SetPosition = 1 << 0,        // without it flow layout and snap-all do nothing
        SetObjectValue = 1 << 1,     // without it an in-place edit is dropped
        WriteItems = 1 << 2,         // without it copy is disabled and no drag starts
        ToolTip = 1 << 3,            // without it items have no tool tips
        DraggingSourceOperationMask = 1 << 4, // without it a drag offers no operation
        DraggedImageMovedTo = 1 << 5,
        DragEndedWithOperation = 1 << 6,
        ValidateDrop = 1 << 7,       // required when the view's window accepts drops
        AcceptDrop = 1 << 8,         // likewise
    };
    Q_DECLARE_FLAGS(Messages, Message)

    virtual ~JXDistributedViewDataSource() = default;
    virtual Messages implementedDataSourceMessages() const { return {}; }
    bool answers(Message message) const { return implementedDataSourceMessages().testFlag(message); }

    virtual qint64 numberOfItemsInDistributedView(JXDistributedView* view) = 0;
    // With a null cell: the top-left corner of the item's box. With the prototype: fill the
    // cell for the item (title, image, state); the answer is then ignored.
    virtual QPointF distributedViewPositionForCellAtItemIndex(JXDistributedView* view, JXDistributedViewCell* cell,
                                                              qint64 index) = 0;

    virtual void distributedViewSetPositionForItemIndex(JXDistributedView*, QPointF, qint64) {}
    virtual void distributedViewSetObjectValueForItemIndex(JXDistributedView*, const QString&, qint64) {}
    // Declares the data source's types and writes the items; false cancels a drag.
    virtual bool distributedViewWriteItemsAtIndexesToPasteboard(JXDistributedView*, const JXIndexSet&,
                                                                platform::Pasteboard&)
    {
        return false;
    }
    virtual QString distributedViewToolTipForItemAtIndex(JXDistributedView*, qint64) { return {}; }
    virtual Qt::DropActions distributedViewDraggingSourceOperationMaskForLocal(JXDistributedView*, bool)
    {
        return Qt::IgnoreAction;
    }
    virtual void distributedViewDraggedImageMovedTo(JXDistributedView*, const QImage&, QPointF) {}
    virtual void distributedViewDragEndedWithOperation(JXDistributedView*, Qt::DropAction) {}
    // May change `proposedItem`, which then becomes the drop destination.
    virtual Qt::DropAction distributedViewValidateDropProposedItem(JXDistributedView*, const QDropEvent&,
                                                                   qint64& proposedItem)
    {
        Q_UNUSED(proposedItem);
        return Qt::IgnoreAction;
    }
    virtual bool distributedViewAcceptDropOnItem(JXDistributedView*, const QDropEvent&, qint64) { return false; }
};
Q_DECLARE_OPERATORS_FOR_FLAGS(JXDistributedViewDataSource::Messages)

class JXDistributedViewDelegate {
public:
    enum class Message : unsigned {
        ProposedSelectionAtIndexes = 1 << 0, // without it the proposal stands
        DidSelectItemsAtIndexes = 1 << 1,    // without it DidSelectItemIndex is tried
        DidSelectItemIndex = 1 << 2,
        ShouldSelectItemIndex = 1 << 3,      // without it the rubber band selects every item it touches
        CellClickedAtItemIndex = 1 << 4,
        CellDoubleClickedAtItemIndex = 1 << 5,
        ShouldEditItemAtIndex = 1 << 6,      // without it editing is allowed
        DidStartCachingItems = 1 << 7,
        WillEndCachingItems = 1 << 8,
        ValidateMenuItem = 1 << 9,           // without it the delegate's own actions are enabled
    };
    Q_DECLARE_FLAGS(Messages, Message)

    virtual ~JXDistributedViewDelegate() = default;
    virtual Messages implementedDelegateMessages() const { return {}; }
    bool answers(Message message) const { return implementedDelegateMessages().testFlag(message); }

    // An empty answer cancels the change.
    virtual JXIndexSet distributedViewProposedSelectionAtIndexes(JXDistributedView*, const JXIndexSet& proposed)
    {
        return proposed;
    }
    virtual void distributedViewDidSelectItemsAtIndexes(JXDistributedView*, const JXIndexSet&) {}
    virtual void distributedViewDidSelectItemIndex(JXDistributedView*, qint64) {}
    virtual bool distributedViewShouldSelectItemIndex(JXDistributedView*, qint64) { return true; }
    virtual void distributedViewCellClickedAtItemIndex(JXDistributedView*, qint64) {}
    virtual void distributedViewCellDoubleClickedAtItemIndex(JXDistributedView*, qint64) {}
    virtual bool distributedViewShouldEditItemAtIndex(JXDistributedView*, qint64) { return true; }
    // Every delegate answers type-select; the default is defaultItemIndexForString().
    virtual qint64 distributedViewItemIndexForStringOptions(JXDistributedView* view, const QString& string,
                                                            unsigned options);
    virtual void distributedViewDidStartCachingItems(JXDistributedView*) {}
    virtual void distributedViewWillEndCachingItems(JXDistributedView*) {}
    // Whether a menu item whose action the delegate implements is enabled.
    virtual bool validateMenuItem(platform::MenuItem*) { return true; }
    // The actions (by name) the delegate implements itself; their menu items ask validateMenuItem().
    virtual bool implementsAction(const QByteArray&) const { return false; }
};
Q_DECLARE_OPERATORS_FOR_FLAGS(JXDistributedViewDelegate::Messages)

// The default type-select: the first item, in index order, whose title is at least as long as
// `string` and whose leading part of that length compares (with `options`) equal to or after
// it; -1 when none does. It fills the view's prototype for each item to read the titles.
qint64 defaultItemIndexForString(JXDistributedView* view, const QString& string, unsigned options);
