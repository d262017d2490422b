#include "IconViewTestSupport.h"
#include "support/ChildRun.h"

#include "platform/foundation/NotificationCenter.h"
#include "platform/foundation/PropertyList.h"
#include "platform/foundation/RunLoop.h"
#include "platform/ui/MenuItem.h"
#include "widgets/badge/CTBadge.h"
#include "widgets/cells/ZQLabelledIconCell.h"

#include <QAccessible>
#include <QApplication>
#include <QLineEdit>
#include <QMouseEvent>
#include <QPaintEvent>
#include <QPainter>
#include <QScreen>
#include <QScrollBar>
#include <QTest>
#include <gtest/gtest.h>
#include <functional>

using icontest::Items;

namespace {

struct Fixture {
    explicit Fixture(std::unique_ptr<Items> source)
        : items(std::move(source))
    {
        view.resize(540, 420);
        view.setDataSource(items.get());
        view.setDelegate(items.get());
        view.show();
        platform::NotificationCenter::defaultCenter().addObserver(
            &counter, JXDistributedViewSelectionDidChange, &view,
            [this](const platform::Notification&) { ++notifications; });
    }

    // The centre of an item's icon and of its title, in viewport coordinates.
    QPoint icon(qint64 index) const
    {
        return view.prototype()->imageRectForBounds(view.rectForItemAtIndex(index)).center().toPoint();
    }
    QPoint title(qint64 index) const
    {
        return view.prototype()->titleRectForBounds(view.rectForItemAtIndex(index)).center().toPoint();
    }
    void send(QEvent::Type type, QPoint at, Qt::MouseButtons buttons, Qt::KeyboardModifiers modifiers = {})
    {
        const Qt::MouseButton button = type == QEvent::MouseMove ? Qt::NoButton : Qt::LeftButton;
        QMouseEvent event(type, QPointF(at), view.viewport()->mapToGlobal(QPointF(at)), button, buttons, modifiers);
        QApplication::sendEvent(view.viewport(), &event);
    }
    void press(QPoint at, Qt::KeyboardModifiers modifiers = {}) { send(QEvent::MouseButtonPress, at, Qt::LeftButton, modifiers); }
    void drag(QPoint to, Qt::KeyboardModifiers modifiers = {}) { send(QEvent::MouseMove, to, Qt::LeftButton, modifiers); }
    void release(QPoint at, Qt::KeyboardModifiers modifiers = {}) { send(QEvent::MouseButtonRelease, at, Qt::NoButton, modifiers); }
    void type(const QString& text) { QTest::keyClicks(&view, text); }

    std::unique_ptr<Items> items;
    icontest::RecordingView view;
    QObject counter;
    int notifications = 0;
};

// Collects the regions the watched widget is asked to paint.
class PaintRecorder : public QObject {
public:
    explicit PaintRecorder(QRegion& painted)
        : m_painted(painted)
    {
    }
    bool eventFilter(QObject*, QEvent* event) override
    {
        if (event->type() == QEvent::Paint)
            m_painted += static_cast<QPaintEvent*>(event)->region();
        return false;
    }

private:
    QRegion& m_painted;
};

platform::Pasteboard readOnly(const QMimeData& data)
{
    return platform::Pasteboard(&data);
}

JXIndexSet selection(const JXDistributedView& view)
{
    return view.selectedItemIndexes();
}

} // namespace

TEST(IconViewSelection, CentralChangeRules)
{
    Fixture f(Items::grid(10));
    icontest::RecordingView& view = f.view;
    view.selectItemsAtIndexesByExtendingSelection({3, 5, 9}, false);
    EXPECT_EQ(selection(view), (JXIndexSet{3, 5, 9}));
    EXPECT_EQ(f.notifications, 1);
    EXPECT_EQ(f.items->selections.back(), (JXIndexSet{3, 5, 9}));
    // The same set again changes nothing and posts nothing.
    view.selectItemsAtIndexesByExtendingSelection({3, 5, 9}, false);
    EXPECT_EQ(f.notifications, 1);

    view.setAllowsMultipleSelection(false);
    EXPECT_EQ(selection(view), JXIndexSet{3});
    EXPECT_EQ(f.notifications, 1);
    // Without multiple selection an extension replaces, and only the first index is taken.
    view.selectItemsAtIndexesByExtendingSelection({6, 7}, true);
    EXPECT_EQ(selection(view), JXIndexSet{6});

    // -1 empties the selection and posts, without telling the delegate.
    const size_t told = f.items->selections.size();
    view.selectItemByExtendingSelection(-1, false);
    EXPECT_TRUE(selection(view).empty());
    EXPECT_EQ(f.notifications, 3);
    EXPECT_EQ(f.items->selections.size(), told);

    // Not allowed to become empty: a replacing empty change is refused.
    view.selectItemByExtendingSelection(4, false);
    view.setAllowsEmptySelection(false);
    view.selectItemByExtendingSelection(-1, false);
    view.deselectAll();
    EXPECT_EQ(selection(view), JXIndexSet{4});

    // Indexes outside the items never enter the selection.
    view.setAllowsEmptySelection(true);
    view.setAllowsMultipleSelection(true);
    view.selectItemsAtIndexesByExtendingSelection({2, 40, -7}, false);
    EXPECT_EQ(selection(view), JXIndexSet{2});
}

TEST(IconViewSelection, ShrinkingCountsTrimTheSelectionSilently)
{
    Fixture f(Items::grid(10));
    icontest::RecordingView& view = f.view;
    view.selectItemsAtIndexesByExtendingSelection({2, 5, 7}, false);
    const int posted = f.notifications;
    f.items->items.resize(4);
    view.noteNumberOfItemsChanged();
    EXPECT_EQ(selection(view), JXIndexSet{2});
    EXPECT_EQ(f.notifications, posted);

    // A count that drops to 0 without a reload: nothing asks for an index that is gone.
    view.selectAll();
    f.items->reportedCount = 0;
    view.repaint();
    view.moveRight();
    view.insertTab();
    f.type(QStringLiteral("it"));
    view.selectAll();
    f.press(QPoint(30, 30));
    f.release(QPoint(30, 30));
    view.setAllowsEmptySelection(false);
    view.reloadData();
    EXPECT_TRUE(selection(view).empty());
    EXPECT_EQ(f.items->badIndexQueries, 0);
}

TEST(IconViewSelection, ProposedSelectionFilterAndRubberBand)
{
    Fixture f(Items::grid(10));
    icontest::RecordingView& view = f.view;
    f.items->delegateMessages |= JXDistributedViewDelegate::Message::ProposedSelectionAtIndexes;
    f.items->proposedAnswer = JXIndexSet{};
    f.press(f.icon(1));
    f.release(f.icon(1));
    view.selectAll();
    view.moveRight();
    EXPECT_TRUE(selection(view).empty());
    EXPECT_EQ(f.notifications, 0);

    // The rubber band is not filtered: it selects what it touches, and only that.
    const QPoint start(2, 2);
    f.press(start);
    f.drag(f.icon(1));
    EXPECT_EQ(selection(view), (JXIndexSet{0, 1}));
    f.drag(f.icon(6));
    EXPECT_EQ(selection(view), (JXIndexSet{0, 1, 5, 6}));
    f.drag(f.icon(0));
    EXPECT_EQ(selection(view), JXIndexSet{0});
    EXPECT_FALSE(view.selectionRect().isEmpty());
    f.release(f.icon(0));
    EXPECT_TRUE(view.selectionRect().isEmpty());

    // With Shift, items once touched stay when the band shrinks away from them.
    f.press(start, Qt::ShiftModifier);
    f.drag(f.icon(2), Qt::ShiftModifier);
    f.drag(f.icon(1), Qt::ShiftModifier);
    f.release(f.icon(1), Qt::ShiftModifier);
    EXPECT_EQ(selection(view), (JXIndexSet{0, 1, 2}));

    // Empty selection not allowed: a press on empty space draws no band.
    view.setAllowsEmptySelection(false);
    f.press(QPoint(530, 410));
    f.drag(QPoint(300, 300));
    EXPECT_TRUE(view.selectionRect().isEmpty());
    f.release(QPoint(300, 300));
}

TEST(IconViewSelection, ClicksShiftClicksAndDoubleClicks)
{
    Fixture f(Items::grid(10));
    icontest::RecordingView& view = f.view;
    view.selectItemsAtIndexesByExtendingSelection({1, 2, 3}, false);
    // A press on a member keeps the whole selection, for a drag; the release reduces it.
    f.press(f.icon(2));
    EXPECT_EQ(selection(view), (JXIndexSet{1, 2, 3}));
    f.release(f.icon(2));
    EXPECT_EQ(selection(view), JXIndexSet{2});
    EXPECT_EQ(f.items->clicks, std::vector<qint64>{2});

    // Shift extends; Shift on a selected item deselects it and starts no drag.
    f.press(f.icon(4), Qt::ShiftModifier);
    f.release(f.icon(4), Qt::ShiftModifier);
    EXPECT_EQ(selection(view), (JXIndexSet{2, 4}));
    f.press(f.icon(4), Qt::ShiftModifier);
    f.drag(f.icon(4) + QPoint(40, 40), Qt::ShiftModifier);
    f.release(f.icon(4) + QPoint(40, 40), Qt::ShiftModifier);
    EXPECT_EQ(selection(view), JXIndexSet{2});
    EXPECT_EQ(f.view.drags, 0);

    // A press on empty space deselects.
    f.press(QPoint(530, 410));
    f.release(QPoint(530, 410));
    EXPECT_TRUE(selection(view).empty());

    // Double-clicking the icon opens; the title of an editable cell edits.
    QTest::mouseDClick(view.viewport(), Qt::LeftButton, {}, f.icon(3));
    EXPECT_EQ(f.items->doubleClicks, std::vector<qint64>{3});
    EXPECT_EQ(view.editedItem(), -1);
    view.prototype()->setEditable(true);
    QTest::mouseDClick(view.viewport(), Qt::LeftButton, {}, f.title(3));
    EXPECT_EQ(view.editedItem(), 3);
    EXPECT_EQ(f.items->doubleClicks.size(), 1u);
}

TEST(IconViewSelection, InPlaceEditingRenamesThroughTheDataSource)
{
    Fixture f(Items::grid(4));
    icontest::RecordingView& view = f.view;
    view.prototype()->setEditable(true);
    view.editItemIndexWithEventSelect(1);
    ASSERT_NE(view.fieldEditor(), nullptr);
    EXPECT_EQ(view.fieldEditor()->text(), QStringLiteral("Item 1"));
    view.fieldEditor()->setText(QStringLiteral("Harbour"));
    QTest::keyClick(view.fieldEditor(), Qt::Key_Return);
    EXPECT_EQ(f.items->items[1].title, QStringLiteral("Harbour"));
    EXPECT_EQ(view.editedItem(), -1);

    // A new cell size ends the edit; so does any press. Empty text renames nothing.
    view.editItemIndexWithEventSelect(2);
    view.fieldEditor()->setText(QStringLiteral("Quay"));
    view.setCellSize(QSizeF(90, 90));
    EXPECT_EQ(view.editedItem(), -1);
    EXPECT_EQ(f.items->items[2].title, QStringLiteral("Quay"));
    view.editItemIndexWithEventSelect(0);
    view.fieldEditor()->clear();
    f.press(QPoint(530, 410));
    f.release(QPoint(530, 410));
    EXPECT_EQ(view.editedItem(), -1);
    EXPECT_EQ(f.items->items[0].title, QStringLiteral("Item 0"));

    // Not editable, or refused by the delegate: no edit.
    view.prototype()->setEditable(false);
    view.editItemIndexWithEventSelect(0);
    EXPECT_EQ(view.editedItem(), -1);
}

TEST(IconViewKeyboard, ArrowsTabsAndTypeAhead)
{
    Fixture f(Items::grid(10));
    icontest::RecordingView& view = f.view;
    // No selection: right and down start from item 0, left and up from the last.
    view.moveDown();
    EXPECT_EQ(selection(view), JXIndexSet{5});
    view.selectItemByExtendingSelection(-1, false);
    view.moveUp();
    EXPECT_EQ(selection(view), JXIndexSet{4});
    QTest::keyClick(&view, Qt::Key_Right);
    EXPECT_EQ(selection(view), JXIndexSet{4});
    QTest::keyClick(&view, Qt::Key_Left);
    EXPECT_EQ(selection(view), JXIndexSet{3});
    QTest::keyClick(&view, Qt::Key_Down);
    EXPECT_EQ(selection(view), JXIndexSet{8});

    view.selectItemByExtendingSelection(9, false);
    view.insertTab();
    EXPECT_EQ(selection(view), JXIndexSet{0});
    view.insertBacktab();
    EXPECT_EQ(selection(view), JXIndexSet{9});

    // Default type-select: the first title at or after the typed text, in index order.
    f.items->items[0].title = QStringLiteral("Apple");
    f.items->items[1].title = QStringLiteral("Cherry");
    f.items->items[2].title = QStringLiteral("Banana");
    EXPECT_EQ(defaultItemIndexForString(&view, QStringLiteral("b"), 9), 1);
    EXPECT_EQ(defaultItemIndexForString(&view, QStringLiteral("z"), 9), -1);
    EXPECT_EQ(defaultItemIndexForString(&view, QStringLiteral("Applesauce"), 9), -1);

    f.items->searches.clear();
    f.type(QStringLiteral("a"));
    platform::RunLoop::runFor(500);
    f.type(QStringLiteral("b"));
    platform::RunLoop::runFor(900);
    f.type(QStringLiteral("b"));
    EXPECT_EQ(f.items->searches, (std::vector<QString>{QStringLiteral("a"), QStringLiteral("ab"), QStringLiteral("b")}));
    EXPECT_EQ(selection(view), JXIndexSet{1});
}

TEST(IconViewMenu, ValidationTable)
{
    Fixture f(Items::grid(3));
    icontest::RecordingView& view = f.view;
    const auto enabled = [&](const char* action) {
        platform::MenuItem item(QStringLiteral("x"), QByteArray(action));
        return view.validateMenuItem(&item);
    };
    EXPECT_TRUE(enabled("selectAll"));
    EXPECT_FALSE(enabled("deselectAll"));
    EXPECT_FALSE(enabled("copy"));
    view.selectItemByExtendingSelection(1, false);
    EXPECT_TRUE(enabled("deselectAll"));
    EXPECT_TRUE(enabled("copy"));
    EXPECT_TRUE(enabled("positionAllItems"));
    f.items->sourceMessages = {};
    EXPECT_FALSE(enabled("copy"));
    EXPECT_FALSE(enabled("snapAllItemsToGrid"));
    EXPECT_TRUE(enabled("rescrollItems"));
    EXPECT_TRUE(enabled("pageDown"));
    EXPECT_FALSE(enabled("paste"));

    platform::MenuItem grid(QStringLiteral("Grid"), QByteArray("toggleDrawsGrid"));
    view.setDrawsGrid(true);
    EXPECT_TRUE(view.validateMenuItem(&grid));
    EXPECT_EQ(grid.state(), platform::MenuItem::OnState);
}

TEST(IconViewMoving, LocalMovesSnapAtTheRelease)
{
    Fixture f(Items::grid(4));
    icontest::RecordingView& view = f.view;
    view.setDragMovesItems(true);
    view.setDragsLocally(true);
    // Snap off: the items follow the mouse and stay where they were dropped.
    QPoint at = f.icon(0);
    f.press(at);
    f.drag(at + QPoint(13, 7));
    EXPECT_FALSE(view.drawsSnappedRects());
    f.release(at + QPoint(13, 7));
    EXPECT_EQ(f.items->items[0].position, QPointF(21, 15));
    EXPECT_EQ(view.drags, 0);

    // Command inverts snapping for one move: guides during it, a grid position after it.
    at = f.icon(0);
    f.press(at, Qt::ControlModifier);
    f.drag(at + QPoint(20, 20), Qt::ControlModifier);
    EXPECT_TRUE(view.drawsSnappedRects());
    f.release(at + QPoint(20, 20), Qt::ControlModifier);
    EXPECT_FALSE(view.drawsSnappedRects());
    EXPECT_EQ(f.items->items[0].position, QPointF(58, 58));

    // Snap on, Command held: no snapping. A move the release adds to is stored too.
    view.setSnapToGrid(true);
    at = f.icon(0);
    f.press(at, Qt::ControlModifier);
    f.drag(at + QPoint(3, 4), Qt::ControlModifier);
    f.release(at + QPoint(5, 4), Qt::ControlModifier);
    EXPECT_EQ(f.items->items[0].position, QPointF(63, 62));
    // Snap on: the release snaps.
    at = f.icon(0);
    f.press(at);
    f.drag(at + QPoint(30, 0));
    f.release(at + QPoint(30, 0));
    EXPECT_EQ(f.items->items[0].position, QPointF(108, 58));
    view.setSnapToGrid(false);
    view.moveItemsByOffset({0}, QSizeF(-37, 6));
    EXPECT_EQ(f.items->items[0].position, QPointF(71, 52));

    // Leaving the view with the moved items turns the move into a drag of them.
    at = f.icon(0);
    f.press(at);
    f.drag(at + QPoint(10, 10));
    f.drag(QPoint(900, 900));
    f.release(QPoint(900, 900));
    EXPECT_EQ(view.drags, 1);
    EXPECT_EQ(f.items->written.back(), JXIndexSet{0});
}

TEST(IconViewDragging, DelayBadgeAndPositions)
{
    Fixture f(Items::grid(10));
    icontest::RecordingView& view = f.view;
    view.setDragDelay(1.0);
    view.selectItemsAtIndexesByExtendingSelection({0, 1, 2, 3, 4}, false);
    f.press(f.icon(2));
    f.drag(f.icon(2) + QPoint(10, 0));
    EXPECT_EQ(view.drags, 0);
    platform::RunLoop::runFor(1000);
    f.drag(f.icon(2) + QPoint(20, 0));
    ASSERT_EQ(view.drags, 1);
    f.release(f.icon(2) + QPoint(20, 0));
    EXPECT_EQ(f.items->written.back(), (JXIndexSet{0, 1, 2, 3, 4}));

    // Five 16-byte points, each an item's origin relative to the image's.
    const std::optional<QVariant> plist = platform::PropertyList::fromData(view.dragPositions);
    ASSERT_TRUE(plist.has_value());
    const QVariantList entries = plist->toList();
    ASSERT_EQ(entries.size(), 5);
    for (const QVariant& entry : entries)
        EXPECT_EQ(entry.toByteArray().size(), 16);
    EXPECT_EQ(view.dragStartImagePos(), QPointF(8, 8));
    QMimeData data;
    data.setData(platform::mimeTypeForPasteboardType(JXDistributedViewPositionsPboardType), view.dragPositions);
    const QList<QPointF> read = view.positionsOfItemsOnPasteboardForImagePosition(readOnly(data),
                                                                                  QPointF(100, 100));
    ASSERT_EQ(read.size(), 5);
    EXPECT_EQ(read[0], QPointF(100, 100));
    EXPECT_EQ(read[4], QPointF(500, 100));

    // The badge reads 5, at the image's left edge level with the first item's top.
    CTBadge badge;
    badge.setDevicePixelRatio(view.dragImage.devicePixelRatio());
    const QImage five = badge.smallBadgeForValue(5);
    const QImage withBadge = view.dragImage;
    view.setAllowsMultipleSelection(false);
    QPointF origin;
    view.setAllowsMultipleSelection(true);
    view.selectItemsAtIndexesByExtendingSelection({0, 1, 2, 3, 4}, false);
    const QImage again = view.dragImageForVisibleItemsAtIndexes(selection(view), &origin);
    EXPECT_EQ(again.size(), withBadge.size());
    const QPoint centre(five.width() / 2, five.height() / 2);
    EXPECT_EQ(withBadge.pixelColor(centre).alpha(), five.pixelColor(centre).alpha());
    EXPECT_GT(withBadge.pixelColor(centre).alpha(), 200);
    view.setAllowsMultipleSelection(false);
    view.selectItemByExtendingSelection(0, false);
    const QImage single = view.dragImageForVisibleItemsAtIndexes(selection(view), &origin);
    EXPECT_LT(single.pixelColor(centre).alpha(), 200);
}

TEST(IconViewDragging, ForeignPositionsAndRefusedDrags)
{
    Fixture f(Items::grid(3));
    icontest::RecordingView& view = f.view;
    const QString mime = platform::mimeTypeForPasteboardType(JXDistributedViewPositionsPboardType);
    QByteArray good(16, '\0');
    const QVariantList entries{good, QByteArray(15, 'x'), QStringLiteral("text"), QByteArray(16, '\xff'), 42};
    QMimeData data;
    data.setData(mime, *platform::PropertyList::toData(entries, platform::PropertyList::Format::Binary));
    EXPECT_EQ(view.positionsOfItemsOnPasteboardForImagePosition(readOnly(data), QPointF(5, 5)),
              QList<QPointF>{QPointF(5, 5)});
    data.setData(mime, *platform::PropertyList::toData(QVariantMap{{QStringLiteral("a"), 1}},
                                                        platform::PropertyList::Format::Binary));
    EXPECT_TRUE(view.positionsOfItemsOnPasteboardForImagePosition(readOnly(data), {}).isEmpty());
    data.setData(mime, QByteArray("garbage"));
    EXPECT_TRUE(view.positionsOfItemsOnPasteboardForImagePosition(readOnly(data), {}).isEmpty());

    // A drag from an unselected item, or with dragging disabled, does not start.
    view.selectItemByExtendingSelection(0, false);
    EXPECT_FALSE(view.initiateDrag(QPointF(f.icon(1)), platform::RunLoop::now()));
    view.setDragsDisabled(true);
    EXPECT_FALSE(view.initiateDrag(QPointF(f.icon(0)), platform::RunLoop::now()));
    EXPECT_EQ(view.drags, 0);
}

TEST(IconViewAccessibility, ItemsAreNamedListItems)
{
    Fixture f(Items::grid(3));
    f.view.selectItemByExtendingSelection(1, false);
    QAccessibleInterface* list = QAccessible::queryAccessibleInterface(&f.view);
    ASSERT_NE(list, nullptr);
    EXPECT_EQ(list->role(), QAccessible::List);
    ASSERT_EQ(list->childCount(), 3);
    QAccessibleInterface* item = list->child(1);
    ASSERT_NE(item, nullptr);
    EXPECT_EQ(item->role(), QAccessible::ListItem);
    EXPECT_EQ(item->text(QAccessible::Name), QStringLiteral("Item 1"));
    EXPECT_TRUE(item->state().selected);
    EXPECT_FALSE(list->child(0)->state().selected);
    EXPECT_EQ(list->indexOfChild(item), 1);
    EXPECT_EQ(list->child(3), nullptr);
    // Focus follows the key-view setting.
    EXPECT_EQ(f.view.focusPolicy(), Qt::StrongFocus);
    f.view.setCanBecomeKeyView(false);
    EXPECT_EQ(f.view.focusPolicy(), Qt::NoFocus);
}

TEST(IconViewDragging, DropsGoThroughTheDataSource)
{
    Fixture f(Items::grid(4));
    icontest::RecordingView& view = f.view;
    // Its window decides what the view receives.
    view.viewport()->setAcceptDrops(true);
    QMimeData text;
    text.setText(QStringLiteral("Lighthouse"));
    QMimeData image;
    image.setImageData(QImage(4, 4, QImage::Format_RGB32));
    const auto enter = [&](const QMimeData& data, QPoint at) {
        QDragEnterEvent event(at, Qt::CopyAction, &data, Qt::LeftButton, {});
        QApplication::sendEvent(view.viewport(), &event);
        return event.isAccepted() && event.dropAction() == Qt::CopyAction;
    };
    const auto move = [&](const QMimeData& data, QPoint at) {
        QDragMoveEvent event(at, Qt::CopyAction, &data, Qt::LeftButton, {});
        QApplication::sendEvent(view.viewport(), &event);
        return event.isAccepted();
    };

    // Refused on entry: no drop frame; accepted: the frame and the item under the pointer.
    enter(image, f.icon(1));
    EXPECT_FALSE(view.drawsDropHilite());
    EXPECT_FALSE(move(image, f.icon(2)));
    QDragLeaveEvent leave;
    QApplication::sendEvent(view.viewport(), &leave);
    EXPECT_TRUE(enter(text, f.icon(1)));
    EXPECT_TRUE(view.drawsDropHilite());
    EXPECT_EQ(view.dragDestItem(), 1);
    EXPECT_TRUE(move(text, QPoint(530, 410)));
    EXPECT_EQ(view.dragDestItem(), -1);
    // The data source may move the destination; out-of-range answers mean no item.
    f.items->retarget = 3;
    move(text, f.icon(0));
    EXPECT_EQ(view.dragDestItem(), 3);
    QDropEvent drop(QPointF(f.icon(0)), Qt::CopyAction, &text, Qt::LeftButton, {});
    QApplication::sendEvent(view.viewport(), &drop);
    EXPECT_EQ(f.items->drops, std::vector<qint64>{3});
    EXPECT_EQ(view.dragDestItem(), -1);
    EXPECT_FALSE(view.drawsDropHilite());

    f.items->retarget = 99;
    enter(text, f.icon(0));
    EXPECT_EQ(view.dragDestItem(), -1);
    QApplication::sendEvent(view.viewport(), &leave);
    EXPECT_FALSE(view.drawsDropHilite());
}

// Scrolling from the keyboard or by code moves what is drawn and paints only the strips it
// uncovers, as the scroll bars do.
TEST(IconViewDrawing, ScrollingByCodePaintsOnlyTheUncoveredStrips)
{
    Fixture f(Items::grid(400, 20));
    JXDistributedView& view = f.view;
    ASSERT_TRUE(QTest::qWaitForWindowExposed(&view));
    QRegion painted;
    PaintRecorder recorder(painted);
    view.viewport()->installEventFilter(&recorder);
    const auto paintedBy = [&](const std::function<void()>& scroll) {
        QCoreApplication::sendPostedEvents(nullptr, QEvent::UpdateRequest);
        painted = QRegion();
        scroll();
        QCoreApplication::sendPostedEvents(nullptr, QEvent::UpdateRequest);
        return painted;
    };
    const QSize shown = view.viewport()->size();
    EXPECT_EQ(paintedBy([&] { view.scrollByXY(0, 37); }), QRegion(0, shown.height() - 37, shown.width(), 37));
    EXPECT_EQ(paintedBy([&] { view.scrollByXY(11, -20); }),
              QRegion(shown.width() - 11, 0, 11, shown.height()) + QRegion(0, 0, shown.width(), 20));
    view.scrollItemToVisible(399);
    EXPECT_EQ(view.visibleRect().bottomRight(), view.frame().bottomRight());
    EXPECT_EQ(paintedBy([&] { view.scrollToPoint(view.visibleRect().topLeft()); }), QRegion());
    EXPECT_EQ(paintedBy([&] { view.scrollItemToVisible(398); }), QRegion()) << "already shown";
}

// How many device pixels of two images differ by more than two levels in a channel; all of
// them when their sizes do. A smoothly placed image cut by a clip edge may come out up to two
// levels apart from the same image drawn whole: the rasteriser rounds the ends of its spans
// on their own. Stale or smeared strips differ by far more.
qsizetype differingPixels(const QImage& a, const QImage& b)
{
    if (a.size() != b.size())
        return qsizetype(std::max(a.width(), b.width())) * std::max(a.height(), b.height());
    const auto apart = [](QRgb p, QRgb q) {
        return std::abs(qRed(p) - qRed(q)) > 2 || std::abs(qGreen(p) - qGreen(q)) > 2
            || std::abs(qBlue(p) - qBlue(q)) > 2;
    };
    qsizetype count = 0;
    for (int y = 0; y < a.height(); ++y) {
        const auto* lineA = reinterpret_cast<const QRgb*>(a.constScanLine(y));
        const auto* lineB = reinterpret_cast<const QRgb*>(b.constScanLine(y));
        for (int x = 0; x < a.width(); ++x)
            count += apart(lineA[x], lineB[x]);
    }
    return count;
}

// An icon with soft edges, drawn at a fraction of a pixel in the cells.
QImage softIcon()
{
    QImage image(QSize(96, 96), QImage::Format_ARGB32_Premultiplied);
    image.setDevicePixelRatio(2.0);
    image.fill(Qt::transparent);
    QPainter painter(&image);
    painter.setRenderHint(QPainter::Antialiasing);
    painter.setBrush(QColor(40, 120, 200, 180));
    painter.drawEllipse(QRectF(3, 5, 41, 37));
    return image;
}

// The screen after scroll steps (odd amounts, both ways on both axes) and rubber-band moves,
// each repainting only what it made dirty, with a selection and a band on screen, shows what
// the view draws afresh; at device pixel ratio 2 too, in a child run of this executable, as
// the ratio is fixed when the application starts.
TEST(IconViewDrawing, FramesRepaintedInPartsShowWhatTheViewDrawsAfresh)
{
    static const char* const kChildMarker = "QUORVANE_ICONVIEW_FRAMES_CHILD";
    if (!testsupport::isChildRun(kChildMarker))
        testsupport::expectThisTestPassesInAChild(
            kChildMarker, {{QStringLiteral("QT_SCALE_FACTOR"), QStringLiteral("2")}}, 240000, "at ratio 2:\n");

    Fixture f(Items::grid(400, 20));
    f.items->icon = softIcon();
    JXDistributedView& view = f.view;
    // Within the offscreen screen at ratio 2 (400 points square).
    view.resize(380, 300);
    view.setPrototype(std::make_shared<ZQLabelledIconCell>());
    const auto afresh = [&] { return view.grab().toImage().convertToFormat(QImage::Format_RGB32); };
    ASSERT_TRUE(QTest::qWaitForWindowExposed(&view));
    // The screen in device pixels; where the window lies on it is found from the first frame,
    // as the offscreen screen does not scale the window frame's margins.
    const auto screen = [&] {
        QCoreApplication::sendPostedEvents(nullptr, QEvent::UpdateRequest);
        return view.screen()->grabWindow(0).toImage().convertToFormat(QImage::Format_RGB32);
    };
    const QImage first = afresh();
    const QImage firstScreen = screen();
    std::optional<QPoint> place;
    for (int y = 0; y <= 4 && !place; ++y)
        for (int x = 0; x <= 4 && !place; ++x)
            if (differingPixels(firstScreen.copy(QRect(QPoint(x, y), first.size())), first) == 0)
                place = QPoint(x, y);
    ASSERT_TRUE(place) << "the first frame is not on the screen";
    const auto onScreen = [&] { return screen().copy(QRect(*place, first.size())); };
    QScrollBar* vertical = view.verticalScrollBar();
    QScrollBar* horizontal = view.horizontalScrollBar();
    ASSERT_GT(vertical->maximum(), 1000);
    ASSERT_GT(horizontal->maximum(), 1000);
    view.selectItemsAtIndexesByExtendingSelection({0, 7, 21, 22, 45, 199, 230, 399}, false);
    const auto scrollTo = [&](int x, int y) {
        horizontal->setValue(x);
        vertical->setValue(y);
    };
    for (const auto& [x, y] : std::vector<std::pair<int, int>>{
             {0, 37}, {0, 180}, {0, 181}, {0, 90}, {13, 90}, {131, 91}, {130, 333}, {0, 0},
             {horizontal->maximum(), vertical->maximum()},
             {horizontal->maximum() - 77, vertical->maximum() - 59}, {5, 3}, {0, 0}}) {
        scrollTo(x, y);
        EXPECT_EQ(differingPixels(onScreen(), afresh()), 0) << "with a selection, scrolled to " << x << ", " << y;
    }

    // The band's left edge stays in view: Qt strokes a translucent outline's corner twice once
    // its left side is cut off, which the moved pixels, drawn whole, do not show.
    f.press(QPoint(100, 3));
    for (const QPoint to : {QPoint(60, 40), QPoint(150, 130), QPoint(152, 131), QPoint(260, 250), QPoint(120, 280),
                            QPoint(40, 20), QPoint(350, 280)}) {
        f.drag(to);
        EXPECT_EQ(differingPixels(onScreen(), afresh()), 0) << "rubber band to " << to.x() << ", " << to.y();
    }
    EXPECT_FALSE(selection(view).empty());
    // The band belongs to the document: it moves with it.
    for (const auto& [x, y] : std::vector<std::pair<int, int>>{{0, 17}, {23, 17}, {23, 150}, {3, 1}, {0, 0}}) {
        scrollTo(x, y);
        EXPECT_EQ(differingPixels(onScreen(), afresh()), 0) << "band on screen, scrolled to " << x << ", " << y;
    }
    f.release(QPoint(350, 280));
    EXPECT_EQ(differingPixels(onScreen(), afresh()), 0) << "rubber band gone";
}
