#include "CellTestObjects.h"
#include "widgets/cells/ImageCells.h"
#include "widgets/cells/RSVerticallyCenteredTextFieldCell.h"
#include "widgets/cells/TableCellViews.h"
#include "widgets/cells/ZQCheckboxCell.h"

#include <QCheckBox>
#include <QHeaderView>
#include <QLineEdit>
#include <QMenu>
#include <QStandardItemModel>
#include <QTableView>
#include <QTest>
#include <gtest/gtest.h>

namespace {

// A table of one column and `rows` rows, 60 points high each, shown.
struct Table {
    explicit Table(int rows = 2)
        : model(rows, 1)
    {
        view.setModel(&model);
        view.verticalHeader()->setDefaultSectionSize(60);
        view.horizontalHeader()->setDefaultSectionSize(120);
        view.resize(300, 300);
        view.show();
    }

    QRect cell(int row) const { return view.visualRect(model.index(row, 0)); }

    QStandardItemModel model;
    QTableView view;
};

} // namespace

TEST(CheckboxCell, TogglesOnlyWhenReleasedInsideAndFromTheKeyboard)
{
    Table table;
    ZQCheckboxCell cell;
    table.view.setItemDelegate(&cell);
    const QModelIndex index = table.model.index(0, 0);
    table.model.setData(index, 0);
    QWidget* viewport = table.view.viewport();
    const QPoint centre = table.cell(0).center();
    const QPoint outside = table.cell(1).center();

    // Pressed, dragged out, released outside: unchanged.
    QTest::mousePress(viewport, Qt::LeftButton, {}, centre);
    QTest::mouseMove(viewport, outside);
    QTest::mouseRelease(viewport, Qt::LeftButton, {}, outside);
    EXPECT_EQ(index.data().toInt(), 0);

    // Out and back in before the release: toggled.
    QTest::mousePress(viewport, Qt::LeftButton, {}, centre);
    QTest::mouseMove(viewport, outside);
    QTest::mouseMove(viewport, centre + QPoint(3, 3));
    QTest::mouseRelease(viewport, Qt::LeftButton, {}, centre + QPoint(3, 3));
    EXPECT_EQ(index.data().toInt(), 1);

    // Any value other than 0 toggles to 0; Space toggles the current cell.
    table.model.setData(index, 300);
    EXPECT_EQ(ZQCheckboxCell::charValue(index), qint8(44));
    table.view.setCurrentIndex(index);
    QTest::keyClick(&table.view, Qt::Key_Space);
    EXPECT_EQ(index.data().toInt(), 0);
    QTest::keyClick(&table.view, Qt::Key_Space);
    EXPECT_EQ(index.data().toInt(), 1);
}

TEST(VerticallyCenteredCell, CentresTheLineForDrawingAndEditing)
{
    using Cell = RSVerticallyCenteredTextFieldCell;
    const QRectF centred = Cell::centredLineRect(QRectF(5, 10, 80, 40), 16);
    EXPECT_EQ(centred, QRectF(5, 22, 80, 16));
    EXPECT_EQ(Cell::centredLineRect(QRectF(5, 10, 80, 40), 50), QRectF(5, 10, 80, 40));
    EXPECT_EQ(Cell::centredLineRect(QRectF(0, 0, 10, 17.1), 16.0).y(), double(float(17.1f - 16.0f) * 0.5f));

    // The editor covers the centred line, not the top of the 60-point row.
    Table table;
    Cell cell;
    table.view.setItemDelegate(&cell);
    const QModelIndex index = table.model.index(0, 0);
    table.model.setData(index, QStringLiteral("Road"));
    table.view.edit(index);
    auto* editor = table.view.viewport()->findChild<QLineEdit*>();
    ASSERT_NE(editor, nullptr);
    const QRect row = table.cell(0);
    EXPECT_NEAR(editor->geometry().center().y(), row.center().y(), 1);
    EXPECT_LT(editor->height(), row.height() - 20);
}

TEST(VerticallyCenteredCell, ContextMenuComesFromTheTablesDelegate)
{
    using Cell = RSVerticallyCenteredTextFieldCell;
    Table table(3);
    const QRect second = table.cell(1);
    EXPECT_EQ(Cell::menuForEventInRectOfView(second, &table.view), nullptr) << "no delegate";

    QObject silent;
    table.view.setProperty("delegate", QVariant::fromValue<QObject*>(&silent));
    EXPECT_EQ(Cell::menuForEventInRectOfView(second, &table.view), nullptr) << "a delegate without menus";

    MenuSupplier supplier;
    table.view.setProperty("delegate", QVariant::fromValue<QObject*>(&supplier));
    EXPECT_EQ(Cell::menuForEventInRectOfView(second, &table.view), &supplier.menu);
    EXPECT_EQ(supplier.asked, std::make_tuple(&table.view, 0, 1));
    Cell::menuForEventInRectOfView(QRectF(250, second.y(), 20, second.height()), &table.view);
    EXPECT_EQ(std::get<1>(supplier.asked), -1) << "no column there";

    QWidget notATable;
    notATable.setProperty("delegate", QVariant::fromValue<QObject*>(&supplier));
    EXPECT_EQ(Cell::menuForEventInRectOfView(second, &notATable), nullptr);
}

TEST(ImageCells, LazyCellAsksItsObjectOnceAndImagesFitTheCell)
{
    Table table(2);
    ZQLazyImageCell cell;
    table.view.setItemDelegate(&cell);
    ImageMaker maker;
    QObject plain;
    table.model.setData(table.model.index(0, 0), QVariant::fromValue<QObject*>(&maker), Qt::UserRole);
    table.model.setData(table.model.index(1, 0), QVariant::fromValue<QObject*>(&plain), Qt::UserRole);
    table.view.grab();
    table.view.grab();
    EXPECT_EQ(maker.calls, 1);
    const QImage kept = table.model.index(0, 0).data(Qt::DecorationRole).value<QImage>();
    EXPECT_EQ(kept.size(), table.cell(0).size());
    EXPECT_TRUE(table.model.index(1, 0).data(Qt::DecorationRole).isNull());

    EXPECT_EQ(imageRectInCell({10, 10}, QRectF(0, 0, 40, 20)), QRectF(15, 5, 10, 10)) << "small images keep their size";
    EXPECT_EQ(imageRectInCell({80, 20}, QRectF(0, 0, 40, 20)), QRectF(0, 5, 40, 10)) << "large ones shrink";
}

TEST(TableCellViews, BooleanCellValueIsItsCheckbox)
{
    ZQBooleanTableCellView cell;
    cell.setObjectValue(true);
    EXPECT_TRUE(cell.checkbox()->isChecked());
    EXPECT_EQ(cell.objectValue(), QVariant(true));
    cell.setObjectValue(QVariant());
    EXPECT_EQ(cell.objectValue(), QVariant(false));
    cell.setRowIndex(7);
    EXPECT_EQ(cell.rowIndex(), 7);
}
