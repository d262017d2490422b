// The bins table's model keeps Qt's model contract through what the sheet does to the bins:
// counts typed, colours blended, values spread and edited out of order. The tester aborts the
// test at the first broken rule.

#include "symbols/transformers/editor/VXQDataTransformerController.h"

#include "TransformerSheetHost.h"
#include "platform/vantrix/drawables/VXDrawableShape.h"
#include "symbols/transformers/editor/BinsTableModel.h"

#include <QAbstractItemModelTester>
#include <QDialog>
#include <QItemSelectionModel>
#include <QLineEdit>
#include <QTableView>
#include <gtest/gtest.h>

namespace {

TEST(BinsTableContract, TheTableThroughTypedCountsBlendsSpreadsAndEdits)
{
    auto transformer = VXQBinningDataTransformer::dataTransformerWithFormula(QStringLiteral("QVNL_POPULATION"));
    transformer->setOutputPropertyKey(QStringLiteral("style"));
    transformer->setBinningEnabled(true);
    transformer->addBinForStartValue(100);
    transformer->setBinDataType(1);
    const auto shape = VXDrawableShape::drawableShapeWithRect({0, 0, 10, 10}, VXStyle::styleWithFillColourStrokeColour(Qt::blue, {}));
    TransformerSheetHost host{VXQSymbol::symbolWithMaster(VXQSymbolMaster::symbolMasterWithObjectName(*shape, "Dot")),
                              transformer};
    QWidget window;
    window.show();
    const auto controller = std::make_shared<VXQDataTransformerController>();
    controller->beginDataTransformerEditorInParentWindowWithDelegate(&window, &host);
    VXQBinningController& bins = *controller->binningController();
    QAbstractItemModel* table = bins.binsTable()->model();
    const QAbstractItemModelTester tester(table, QAbstractItemModelTester::FailureReportingMode::Fatal);
    const auto typeCount = [&bins](const QString& count) {
        bins.numberOfBinsTextField()->setText(count);
        bins.numberOfBinsAction(bins.numberOfBinsTextField());
    };

    typeCount(QStringLiteral("6"));
    EXPECT_EQ(table->rowCount(), 6);
    typeCount(QStringLiteral("3"));
    EXPECT_EQ(table->rowCount(), 3);
    bins.blendColoursAction();
    bins.binsTable()->selectAll();
    bins.spreadValuesAction();
    // A start typed past the next bin's puts the rows in order again.
    const int start = BinsTableModel::columnOfIdentifier(QStringLiteral("startValue"));
    ASSERT_GE(start, 0);
    ASSERT_TRUE(table->setData(table->index(1, start), 1000.0, Qt::EditRole));
    EXPECT_EQ(table->rowCount(), 3);
    EXPECT_EQ(table->index(2, start).data().toString(), BinsTableModel::textForNumber(1000));
    typeCount(QStringLiteral("1"));
    EXPECT_EQ(table->rowCount(), 1);
    controller->cancelButtonAction();
}

} // namespace
