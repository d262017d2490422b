#include "widgets/cells/ZQIconTextFieldCell.h"
#include "widgets/cells/ZQSourceListCell.h"
#include "widgets/headers/ZQSingleTitleTableHeaderView.h"

#include <QFontMetricsF>
#include <QStandardItemModel>
#include <QTableView>
#include <gtest/gtest.h>

TEST(SourceListCell, IconBadgeBusyAndTextRectangles)
{
    ZQSourceListCell cell;
    const QRectF frame(10, 0, 200, 20);
    EXPECT_TRUE(cell.badgeRectForFrame(frame).isEmpty()) << "a new cell has no badge";
    EXPECT_EQ(cell.textRectForFrame(frame), frame) << "no image: the text starts at the left edge";

    cell.setBadgeCount(7);
    const QRectF badge = cell.badgeRectForFrame(frame);
    EXPECT_EQ(badge.size(), QSizeF(20, 14));
    EXPECT_EQ(frame.right() - badge.right(), 1.0);
    EXPECT_EQ(badge.y(), 3.0);
    EXPECT_EQ(cell.textRectForFrame(frame).right(), badge.x() - 5);

    // A huge count widens the pill; the text keeps clear of it.
    cell.setBadgeCount(std::numeric_limits<qint64>::max());
    EXPECT_GT(cell.badgeRectForFrame(frame).width(), 100);
    EXPECT_GT(cell.textRectForFrame(frame).width(), 0);

    cell.setBadgeCount(0);
    EXPECT_EQ(cell.textRectForFrame(frame), frame) << "a count of 0 is no badge";

    cell.setBadgeCount(7);
    cell.setBusy(true);
    EXPECT_EQ(cell.busyRectForFrame(frame), QRectF(189, 0, 20, 20));
    EXPECT_EQ(cell.textRectForFrame(frame).width(), 189 - 10 - 5) << "busy wins over the badge";

    QImage icon(32, 32, QImage::Format_ARGB32_Premultiplied);
    icon.fill(Qt::red);
    cell.setImage(icon);
    EXPECT_EQ(cell.iconRectForFrame(frame), QRectF(13, 1, 17, 17));
    EXPECT_EQ(cell.textRectForFrame(frame).x(), 33.0);
    EXPECT_EQ(cell.textRectForFrame(frame).right(), 187.0);
}

TEST(SourceListCell, PaintsIconAndPillFromTheItem)
{
    QStandardItemModel model;
    auto* item = new QStandardItem(QString(100000, 'x'));
    QImage icon(16, 16, QImage::Format_ARGB32_Premultiplied);
    icon.fill(Qt::red);
    item->setData(icon, Qt::DecorationRole);
    item->setData(42, ZQSourceListCell::BadgeCountRole);
    model.appendRow(item);
    QTableView table;
    ZQSourceListCell cell;
    cell.setBadgeColour(Qt::blue);
    table.setItemDelegate(&cell);
    table.setModel(&model);
    table.resize(300, 100);
    table.setColumnWidth(0, 250);
    table.setRowHeight(0, 20);
    table.show();
    table.activateWindow();
    const QImage image = table.viewport()->grab().toImage();
    EXPECT_EQ(image.pixelColor(10, 10), QColor(Qt::red)) << "the icon";
    cell.setBadgeCount(42);
    cell.setBadgeCount(42);
    const QRectF badge = cell.badgeRectForFrame(QRectF(table.visualRect(model.index(0, 0))));
    const QColor pill = image.pixelColor(int(badge.x() + 3), int(badge.center().y()));
    EXPECT_TRUE(pill == QColor(Qt::blue) || pill == QColor::fromRgbF(2.0f / 3, 2.0f / 3, 2.0f / 3)) << pill.name().toStdString();
}

TEST(IconTextFieldCell, IconBeforeCentredText)
{
    EXPECT_EQ(ZQIconTextFieldCell::iconRectForFrame(QRectF(0, 0, 100, 22)), QRectF(6, 2, 16, 16));
    QStandardItemModel model;
    model.appendRow(new QStandardItem("folder"));
    QTableView table;
    ZQIconTextFieldCell cell;
    QImage icon(16, 16, QImage::Format_ARGB32_Premultiplied);
    icon.fill(Qt::red);
    cell.setTextFieldIcon(icon);
    table.setItemDelegate(&cell);
    table.setModel(&model);
    table.setRowHeight(0, 22);
    table.resize(200, 80);
    QImage image = table.viewport()->grab().toImage();
    const QRect row = table.visualRect(model.index(0, 0));
    EXPECT_EQ(image.pixelColor(row.x() + 10, row.y() + 10), QColor(Qt::red));
    // Disabled: half opacity over the white cell.
    table.setEnabled(false);
    image = table.viewport()->grab().toImage();
    EXPECT_NEAR(image.pixelColor(row.x() + 10, row.y() + 10).greenF(), 0.5, 0.1);
}

TEST(SingleTitleHeader, OneTitleBarAcrossTheTable)
{
    QStandardItemModel model(1, 3);
    QTableView table;
    table.setModel(&model);
    auto* header = new ZQSingleTitleTableHeaderView;
    table.setHorizontalHeader(header);
    header->resize(300, 40);
    EXPECT_EQ(header->height(), 17) << "whatever height is asked for";
    EXPECT_EQ(header->sizeHint().height(), 17);
    table.setColumnWidth(0, 50);
    table.setColumnWidth(1, 60);
    EXPECT_EQ(header->columnDividerPositions(), (QList<double>{50, 110}));
    QStandardItemModel single(1, 1);
    table.setModel(&single);
    EXPECT_TRUE(header->columnDividerPositions().isEmpty());

    header->resize(200, 17);
    Qt::Alignment alignment;
    header->setTitle(QString(400, 'M'));
    EXPECT_EQ(header->titleRect(&alignment), QRectF(20, 1, 180, 19));
    EXPECT_EQ(alignment, Qt::AlignLeft);
    header->setTitle(QString());
    // Not in the active window: flat very light grey.
    const QImage image = header->viewport()->grab().toImage();
    EXPECT_EQ(image.pixelColor(100, 5), image.pixelColor(100, 12));

    // A title's descenders stay clear of the hairline along the bottom, and its tops of the edge.
    header->setTitle(QStringLiteral("gjpqy Mg"));
    const QImage titled = header->viewport()->grab().toImage();
    int inked = 0;
    for (int y : {0, titled.height() - 3, titled.height() - 2})
        for (int x = 0; x < titled.width(); ++x)
            inked += titled.pixel(x, y) != image.pixel(x, y);
    EXPECT_EQ(inked, 0);
}
