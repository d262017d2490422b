#include "MediaTesting.h"

#include "media/window/UniformCellGrid.h"
#include "media/window/ZQImageBrowserView.h"

#include <QApplication>
#include <QScrollBar>
#include <QStandardItemModel>
#include <QTest>

namespace {

QStandardItemModel* namedItems(int count, QObject* parent)
{
    auto* model = new QStandardItemModel(parent);
    for (int i = 0; i < count; ++i)
        model->appendRow(new QStandardItem(QStringLiteral("image %1").arg(i)));
    return model;
}

} // namespace

TEST(UniformCellGridTest, PlacesHitsAndRangesItemsArithmetically)
{
    // 103 items of 111 x 143 in cells of 117 x 149, three to a row.
    const UniformCellGrid grid(QSize(117, 149), QSize(111, 143), 103, 384);
    EXPECT_EQ(grid.columns(), 3);
    EXPECT_EQ(grid.rows(), 35);
    EXPECT_EQ(grid.contentSize(), QSize(351, 35 * 149));
    EXPECT_EQ(grid.itemRect(0), QRect(3, 0, 111, 143));
    EXPECT_EQ(grid.itemRect(5), QRect(237, 149, 111, 143));
    EXPECT_EQ(grid.itemRect(102), QRect(3, 34 * 149, 111, 143));

    EXPECT_EQ(grid.itemAt(QPoint(3, 0)), 0);
    EXPECT_EQ(grid.itemAt(QPoint(2, 0)), -1) << "the margin left of the item";
    EXPECT_EQ(grid.itemAt(QPoint(113, 142)), 0);
    EXPECT_EQ(grid.itemAt(QPoint(114, 10)), -1) << "the margin right of the item";
    EXPECT_EQ(grid.itemAt(QPoint(10, 145)), -1) << "the gap below the item";
    EXPECT_EQ(grid.itemAt(QPoint(240, 34 * 149 + 5)), -1) << "past the last item of a short last row";
    EXPECT_EQ(grid.itemAt(QPoint(360, 5)), -1) << "right of the last column";
    EXPECT_EQ(grid.itemAt(QPoint(-1, 5)), -1);

    using Range = std::pair<int, int>;
    EXPECT_EQ(grid.itemsMeeting(QRect(0, 0, 384, 298)), Range(0, 6)) << "the first two rows exactly";
    EXPECT_EQ(grid.itemsMeeting(QRect(0, 148, 10, 2)), Range(0, 6));
    EXPECT_EQ(grid.itemsMeeting(QRect(0, 33 * 149, 384, 1000)), Range(99, 103));
    EXPECT_EQ(grid.itemsMeeting(QRect(0, 35 * 149, 384, 100)), Range(0, 0)) << "below the grid";
    EXPECT_EQ(UniformCellGrid(QSize(117, 149), QSize(111, 143), 0, 384).itemsMeeting(QRect(0, 0, 99, 99)),
              Range(0, 0));
    EXPECT_EQ(UniformCellGrid(QSize(117, 149), QSize(111, 143), 5, 50).columns(), 1)
        << "a view narrower than a cell still shows a column";
}

// The places, scroll ranges and hits of the grid as a list view in icon mode showed them.
TEST(ImageBrowserViewTest, KeepsTheGridOfTheIconModeListItReplaced)
{
    ZQImageBrowserView view;
    view.setModel(namedItems(103, &view));
    view.resize(400, 300);
    view.show();
    QApplication::processEvents();
    ASSERT_EQ(view.viewport()->size(), QSize(384, 298));
    ASSERT_EQ(view.gridSize(), QSize(117, 149));
    const auto rect = [&](int row) { return view.visualRect(view.model()->index(row, 0)); };
    EXPECT_EQ(rect(0), QRect(3, 0, 111, 143));
    EXPECT_EQ(rect(3), QRect(3, 149, 111, 143));
    EXPECT_EQ(rect(100), QRect(120, 4917, 111, 143));
    QScrollBar* bar = view.verticalScrollBar();
    EXPECT_EQ(bar->maximum(), 4917);
    EXPECT_EQ(bar->singleStep(), 143);
    EXPECT_EQ(bar->pageStep(), 298);
    EXPECT_EQ(view.horizontalScrollBar()->maximum(), 0);

    bar->setValue(37);
    EXPECT_EQ(rect(5), QRect(237, 112, 111, 143));
    EXPECT_EQ(view.indexAt(QPoint(240, 112)).row(), 5);
    EXPECT_FALSE(view.indexAt(QPoint(116, 120)).isValid());

    bar->setValue(0);
    view.resize(517, 300); // four columns
    QApplication::processEvents();
    EXPECT_EQ(rect(102), QRect(237, 3725, 111, 143));
    EXPECT_EQ(bar->maximum(), 3576);

    view.setZoomValue(0);
    EXPECT_EQ(view.gridSize(), QSize(66, 98));
    EXPECT_EQ(rect(1).size(), QSize(60, 92));
}

TEST(ImageBrowserViewTest, KeysMoveAlongRowsAndColumnsAndClicksSelectOneItem)
{
    ZQImageBrowserView view;
    view.setModel(namedItems(10, &view)); // rows of three: 0-2, 3-5, 6-8, 9
    view.resize(400, 300);
    view.show();
    QApplication::processEvents();
    view.setFocus();
    const auto press = [&](Qt::Key key) {
        QTest::keyClick(&view, key);
        return view.currentIndex().row();
    };
    view.setCurrentIndex(view.model()->index(4, 0));
    EXPECT_EQ(press(Qt::Key_Right), 5);
    EXPECT_EQ(press(Qt::Key_Right), 6) << "on to the next row";
    EXPECT_EQ(press(Qt::Key_Up), 3);
    EXPECT_EQ(press(Qt::Key_Up), 0);
    EXPECT_EQ(press(Qt::Key_Up), 0) << "no row above";
    EXPECT_EQ(press(Qt::Key_Left), 0);
    view.setCurrentIndex(view.model()->index(8, 0));
    EXPECT_EQ(press(Qt::Key_Down), 9) << "the short last row's last item";
    EXPECT_EQ(press(Qt::Key_Down), 9);
    EXPECT_EQ(press(Qt::Key_Home), 0);
    EXPECT_EQ(press(Qt::Key_End), 9);

    QTest::mouseClick(view.viewport(), Qt::LeftButton, {}, view.visualRect(view.model()->index(4, 0)).center());
    EXPECT_EQ(view.selectionModel()->selectedIndexes(), QModelIndexList{view.model()->index(4, 0)});
    QTest::mouseClick(view.viewport(), Qt::LeftButton, {}, QPoint(116, 20)); // between two items
    EXPECT_TRUE(view.selectionModel()->selectedIndexes().isEmpty());
}
