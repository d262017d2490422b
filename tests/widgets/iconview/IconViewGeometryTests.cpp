#include "IconViewTestSupport.h"

#include "platform/foundation/KeyedArchiver.h"
#include "platform/foundation/KeyedUnarchiver.h"
#include "platform/foundation/PropertyList.h"
#include "support/LogCapture.h"

#include <QtEndian>
#include <gtest/gtest.h>
#include <cmath>
#include <limits>

using icontest::Items;

namespace {

QByteArray sizeData(double width, double height)
{
    QByteArray bytes(16, '\0');
    qToLittleEndian<double>(width, bytes.data());
    qToLittleEndian<double>(height, bytes.data() + 8);
    return bytes;
}

QByteArray archiveOf(const JXDistributedView& view)
{
    platform::KeyedArchiver archiver;
    view.encodeWithCoder(archiver);
    return archiver.finishEncoding();
}

// An archive whose size keys hold `cell` and `grid` as they are.
QByteArray archiveWithSizes(const QByteArray& cell, const QByteArray& grid, qint64 flags)
{
    platform::KeyedArchiver archiver;
    archiver.encodeData(cell, QStringLiteral("JXDVcellSize"));
    archiver.encodeData(grid, QStringLiteral("JXDVgridSize"));
    archiver.encodeDouble(8.0, QStringLiteral("JXDVcontentInset"));
    archiver.encodeInt(flags, QStringLiteral("JXDVflags"));
    return archiver.finishEncoding();
}

struct Shown {
    explicit Shown(std::unique_ptr<Items> source, QSize size = QSize(540, 400))
        : items(std::move(source))
    {
        view.resize(size);
        view.setDataSource(items.get());
        view.setDelegate(items.get());
        view.show();
    }
    std::unique_ptr<Items> items;
    icontest::RecordingView view;
};

} // namespace

TEST(IconViewGeometry, GridSnappingAnchoredAtTheInset)
{
    JXDistributedView view;
    ASSERT_EQ(view.gridSize(), QSizeF(50, 50));
    ASSERT_EQ(view.contentInset(), 8.0f);
    const auto snapped = [&](double x, double y) { return view.forceRectToGrid(QRectF(x, y, 100, 100)); };
    EXPECT_EQ(snapped(33, 33), QRectF(58, 58, 100, 100));
    EXPECT_EQ(snapped(32.9, 32.9), QRectF(8, 8, 100, 100));
    EXPECT_EQ(snapped(-30, -30), QRectF(-42, -42, 100, 100));
    // Exactly halfway goes to the larger grid point, also below the origin.
    EXPECT_EQ(snapped(8 + 25, -17).topLeft(), QPointF(58, 8));
    EXPECT_EQ(snapped(8 - 25, 8 - 75).topLeft(), QPointF(8, -42));
    // Without a forced grid the snapped box is the box itself.
    EXPECT_EQ(view.snapRectToGrid(QRectF(33, 33, 1, 1)), QRectF(33, 33, 1, 1));
    view.setForceToGrid(true);
    EXPECT_EQ(view.snapRectToGrid(QRectF(33, 33, 1, 1)), QRectF(58, 58, 1, 1));
    // A zero grid leaves positions alone rather than dividing by zero.
    view.setGridSize(QSizeF(0, 0));
    EXPECT_EQ(view.forceRectToGrid(QRectF(33, 33, 1, 1)).topLeft(), QPointF(33, 33));
    EXPECT_TRUE(std::isfinite(view.forceRectToGrid(QRectF(1e300, -1e300, 1, 1)).x()));

    view.setCellSize(QSizeF(80, 60));
    EXPECT_EQ(view.gridSize(), QSizeF(40, 30));
}

TEST(IconViewGeometry, NewViewFlagsAndArchiveRoundTrip)
{
    JXDistributedView view;
    EXPECT_EQ(view.flags(), 0x0F800000u);
    EXPECT_TRUE(view.useSelectionRect());
    EXPECT_TRUE(view.canBecomeKeyView());

    view.setCellSize(QSizeF(120, 90));
    view.setGridSize(QSizeF(30, 45));
    view.setContentInset(12.5f);
    view.setDrawsGrid(true);
    view.setSnapToGrid(true);
    view.setGridColor(QColor(10, 20, 30));
    const QByteArray archive = archiveOf(view);

    const std::optional<QVariant> plist = platform::PropertyList::fromData(archive);
    ASSERT_TRUE(plist.has_value());
    const QVariantMap top = plist->toMap().value(QStringLiteral("$top")).toMap();
    EXPECT_EQ(top.value(QStringLiteral("JXDVcellSize")).toByteArray(), sizeData(120, 90));
    EXPECT_EQ(top.value(QStringLiteral("JXDVgridSize")).toByteArray(), sizeData(30, 45));

    platform::KeyedUnarchiver reader(archive);
    JXDistributedView decoded;
    decoded.initWithCoder(reader);
    EXPECT_EQ(decoded.cellSize(), QSizeF(120, 90));
    EXPECT_EQ(decoded.gridSize(), QSizeF(30, 45));
    EXPECT_EQ(decoded.contentInset(), 12.5f);
    EXPECT_EQ(decoded.flags(), view.flags());
    EXPECT_EQ(decoded.gridColor(), QColor(10, 20, 30));
    ASSERT_NE(decoded.prototype(), nullptr);
    // A decoded view waits for its window to ask for focus.
    EXPECT_FALSE(decoded.canBecomeKeyView());
    EXPECT_EQ(decoded.mouseItem(), -1);
    EXPECT_EQ(decoded.editedItem(), -1);
    EXPECT_EQ(decoded.dragDestItem(), -1);
}

TEST(IconViewGeometry, DamagedArchivesFallBackToDefaults)
{
    const double nan = std::numeric_limits<double>::quiet_NaN();
    const double inf = std::numeric_limits<double>::infinity();
    const std::vector<std::pair<QByteArray, QByteArray>> damaged{
        {sizeData(100, 100).left(12), QByteArray()},
        {sizeData(nan, 50) + "x", sizeData(inf, 1)},
        {sizeData(0, 80), sizeData(-5, 5)},
        {sizeData(1e200, 80), sizeData(50, nan)},
    };
    for (const auto& [cell, grid] : damaged) {
        // Unknown and reserved flag bits are kept as they were read.
        platform::KeyedUnarchiver reader(archiveWithSizes(cell, grid, 0x0F800003));
        JXDistributedView view;
        view.initWithCoder(reader);
        EXPECT_EQ(view.cellSize(), QSizeF(100, 100));
        EXPECT_EQ(view.gridSize(), QSizeF(50, 50));
        EXPECT_EQ(view.flags(), 0x0F800003u);
        // No prototype archived: a plain cell draws the items.
        ASSERT_NE(view.prototype(), nullptr);
        EXPECT_EQ(view.gridColor(), JXDistributedView::defaultGridColor());
    }
    // Every flag bit survives, the sign bit included.
    platform::KeyedUnarchiver reader(archiveWithSizes(sizeData(100, 100), sizeData(50, 50), qint32(0xFFFFFFFFu)));
    JXDistributedView view;
    view.initWithCoder(reader);
    EXPECT_EQ(view.flags(), 0xFFFFFFFFu);
    EXPECT_EQ(platform::KeyedUnarchiver(archiveOf(view)).decodeInt(QStringLiteral("JXDVflags")), -1);
}

TEST(IconViewGeometry, FlowLayoutAndContentSize)
{
    Shown shown(Items::grid(7, 7, 10.0));
    JXDistributedView& view = shown.view;
    view.setSizeToFit(false);
    view.setFrameSize(QSizeF(330, 400));
    // (330 - 16) / 100 = 3 columns.
    view.positionAllItems();
    EXPECT_EQ(shown.items->items[0].position, QPointF(8, 8));
    EXPECT_EQ(shown.items->items[2].position, QPointF(208, 8));
    EXPECT_EQ(shown.items->items[3].position, QPointF(8, 108));
    EXPECT_EQ(shown.items->items[6].position, QPointF(8, 208));
    EXPECT_EQ(view.itemPositionBasedOnItemIndex(5), QPointF(208, 108));
    EXPECT_EQ(view.bestRect(), QRectF(0, 0, 316, 316));
    EXPECT_EQ(view.bestSize(), QSizeF(316, 316));
    // The window grows by what the items need beyond what it shows, plus room for scroll bars.
    const QSize chrome = view.window()->frameGeometry().size() - view.viewport()->size();
    EXPECT_EQ(view.windowFrameSizeForBestSize(), chrome + QSize(316 + 17, 316 + 17));
    EXPECT_EQ(view.windowFrameForBestSize().topLeft(), view.window()->frameGeometry().topLeft());

    // Narrower than one cell: a single column.
    view.setFrameSize(QSizeF(50, 400));
    EXPECT_EQ(view.itemPositionBasedOnItemIndex(3), QPointF(8, 308));

    // An empty view.
    shown.items->items.clear();
    view.reloadData();
    EXPECT_EQ(view.bestRect(), QRectF(0, 0, 8, 8));
    EXPECT_EQ(view.bestSize(), QSizeF(0, 0));
    EXPECT_EQ(view.getItemIndexAtPoint(QPointF(10, 10)), JXDistributedView::NSNotFound);
    EXPECT_EQ(view.getItemIndexInRect(QRectF(0, 0, 500, 500)), JXDistributedView::NSNotFound);
    EXPECT_EQ(view.getUncachedItemIndexInRect(QRectF(0, 0, 500, 500)), JXDistributedView::NSNotFound);
}

TEST(IconViewGeometry, LayoutCommandsNeedTheSetter)
{
    Shown shown(Items::grid(3));
    shown.items->items[1].position = QPointF(40, 140);
    shown.items->sourceMessages = {};
    shown.view.positionAllItems();
    shown.view.snapAllItemsToGrid();
    shown.view.rescrollItems();
    EXPECT_EQ(shown.items->items[1].position, QPointF(40, 140));

    shown.items->sourceMessages = JXDistributedViewDataSource::Message::SetPosition;
    shown.view.snapAllItemsToGrid();
    EXPECT_EQ(shown.items->items[1].position, QPointF(58, 158));
    shown.items->items[0].position = QPointF(-20.7, 30.2);
    shown.view.rescrollItems();
    // Smallest x -20 and y 8 land on the inset.
    EXPECT_NEAR(shown.items->items[0].position.x(), 7.3, 1e-9);
    EXPECT_EQ(shown.items->items[0].position.y(), 30.2);
    EXPECT_EQ(shown.items->items[1].position, QPointF(86, 158));
}

TEST(IconViewGeometry, HitTestsOverlapsAndTheCache)
{
    Shown shown(Items::grid(3));
    JXDistributedView& view = shown.view;
    // Items 0 and 1 overlap: a point hits the lowest index, a rectangle through the cache the topmost.
    shown.items->items[1].position = QPointF(58, 8);
    view.reloadData();
    EXPECT_EQ(view.getItemIndexAtPoint(QPointF(80, 50)), 0);
    EXPECT_EQ(view.getItemIndexInRect(QRectF(80, 50, 2, 2)), 1);
    EXPECT_EQ(view.getUncachedItemIndexInRect(QRectF(80, 50, 2, 2)), 0);
    EXPECT_EQ(view.getItemIndexAtPoint(QPointF(500, 500)), JXDistributedView::NSNotFound);
    EXPECT_FALSE(view.visibleItems().empty());
    view.invalidateVisibleItemsCache();
    EXPECT_TRUE(view.visibleItems().empty());
    EXPECT_TRUE(view.itemIsVisible(2));
    EXPECT_FALSE(view.itemIsVisible(3));
}

TEST(IconViewGeometry, FreeSlotsEndOnNarrowViewsAndBadPositions)
{
    Shown shown(Items::grid(4, 4));
    JXDistributedView& view = shown.view;
    view.setSizeToFit(false);
    view.setFrameSize(QSizeF(416, 400));
    shown.items->items.push_back({QStringLiteral("new"), QPointF(-500, -500)});
    view.reloadData();
    // The first free slot: below the first row (slot rows are a cell high).
    view.positionItem(4);
    EXPECT_EQ(shown.items->items[4].position, QPointF(8, 108));
    EXPECT_EQ(view.suggestedPosition(), QPointF(108, 108));

    // Narrower than one grid step: still one column, and the search ends.
    view.setFrameSize(QSizeF(20, 400));
    view.positionItem(4);
    EXPECT_EQ(shown.items->items[4].position.x(), 8);
    EXPECT_GE(shown.items->items[4].position.y(), 108);

    // Positions that are not numbers or lie far away stay finite everywhere.
    shown.items->items[0].position = QPointF(std::numeric_limits<double>::quiet_NaN(), 1e300);
    shown.items->items[1].position = QPointF(-std::numeric_limits<double>::infinity(), 5);
    view.setSizeToFit(true);
    view.reloadData();
    const QRectF best = view.bestRect();
    EXPECT_TRUE(std::isfinite(best.width()) && std::isfinite(best.height()));
    view.setSizeToFit(false);
    view.setFrameSize(QSizeF(416, 400));
    view.positionItem(4);
    EXPECT_TRUE(std::isfinite(shown.items->items[4].position.y()));
    EXPECT_TRUE(std::isfinite(view.suggestedPosition().y()));
}

TEST(IconViewGeometry, MultiPositioningContinuesWhereItStopped)
{
    Shown shown(Items::grid(0));
    JXDistributedView& view = shown.view;
    view.setSizeToFit(false);
    view.setFrameSize(QSizeF(216, 400));
    view.setMultiPositioningMode(true);
    // Each suggestion is taken by a new item before the next is asked for.
    std::vector<QPointF> suggested;
    for (int i = 0; i < 3; ++i) {
        const QPointF position = view.suggestedPosition();
        suggested.push_back(position);
        shown.items->items.push_back({QStringLiteral("n%1").arg(i), position});
    }
    EXPECT_EQ(suggested[0], QPointF(8, 8));
    EXPECT_EQ(suggested[1], QPointF(108, 8));
    EXPECT_EQ(suggested[2], QPointF(8, 108));
    view.setMultiPositioningMode(false);
    EXPECT_EQ(view.suggestedPosition(), QPointF(108, 108));
}

TEST(IconViewGeometry, OutOfRangeIndexesAreLoggedAndLeaveTheViewAsItWas)
{
    Shown shown(Items::grid(2));
    testsupport::LogCapture log;
    const QRectF second = shown.view.rectForItemAtIndex(1);
    EXPECT_TRUE(shown.view.rectForItemAtIndex(2).isNull());
    shown.view.positionItem(-1);
    shown.view.editItemIndexWithEventSelect(5);
    EXPECT_TRUE(log.contains(QStringLiteral("Invalid parameter not satisfying: indx >= 0")));
    EXPECT_TRUE(log.contains(QStringLiteral("Invalid parameter not satisfying: item >= 0")));
    EXPECT_EQ(shown.view.rectForItemAtIndex(1), second);
    EXPECT_EQ(shown.view.editedItem(), -1);
}

TEST(IconViewGeometry, EnclosingRectsAndThePlainDragImage)
{
    Shown shown(Items::grid(7)); // rows of five cells of 100, from (8, 8)
    JXDistributedView& view = shown.view;
    const QSizeF cell = view.rectForItemAtIndex(0).size();
    EXPECT_EQ(view.rectEnclosingItemsInRange(1, 2), QRectF(QPointF(108, 8), QSizeF(100 + cell.width(), cell.height())));
    EXPECT_EQ(view.rectEnclosingItemsInRange(4, 100), view.rectAroundItems({4, 5, 6}));
    EXPECT_EQ(view.rectAroundItems({6, 0, 42, -1}), QRectF(QPointF(8, 8), QSizeF(100 + cell.width(), 100 + cell.height())));
    EXPECT_TRUE(view.rectEnclosingItemsInRange(7, 3).isNull());
    EXPECT_TRUE(view.rectEnclosingItemsInRange(2, -1).isNull());
    EXPECT_EQ(view.flipRectsYAxis(QRectF(1, 2, 3, 4)), QRectF(1, 2, 3, 4));

    QPointF origin;
    const QImage image = view.dragImageForItemsDragImageOffset({0, 6}, &origin);
    EXPECT_EQ(origin, QPointF(8, 8));
    EXPECT_EQ(image.deviceIndependentSize(), view.rectAroundItems({0, 6}).size());
    int maximumAlpha = 0;
    for (int y = 0; y < image.height(); ++y)
        for (int x = 0; x < image.width(); ++x)
            maximumAlpha = std::max(maximumAlpha, image.pixelColor(x, y).alpha());
    EXPECT_GT(maximumAlpha, 0);
    EXPECT_LE(maximumAlpha, 128); // drawn at half opacity
    EXPECT_TRUE(view.dragImageForItemsDragImageOffset({}, &origin).isNull());

    // Items a world apart make an image too large to hold: an error and no image, no crash.
    shown.items->items[6].position = QPointF(9.0e6, 9.0e6);
    view.reloadData();
    testsupport::LogCapture log;
    EXPECT_TRUE(view.dragImageForItemsDragImageOffset({0, 6}, &origin).isNull());
    EXPECT_TRUE(log.contains(QStringLiteral("unable to create image for drag, size = {")));
}
