#include "symbols/transformers/editor/VXQDataTransformerController.h"

#include "TransformerSheetHost.h"
#include "platform/ui/MenuItem.h"
#include "platform/ui/Pasteboard.h"
#include "platform/vantrix/drawables/VXDrawableShape.h"
#include "symbols/transformers/editor/BinPasteboard.h"
#include "symbols/transformers/editor/BinsTableModel.h"

#include <QCheckBox>
#include <QComboBox>
#include <QDialog>
#include <QItemSelectionModel>
#include <QLineEdit>
#include <QMimeData>
#include <QStandardItemModel>
#include <QTableView>
#include <QTest>
#include <gtest/gtest.h>
#include <limits>

namespace {

constexpr double kInfinity = std::numeric_limits<double>::infinity();

VXQSymbolPtr townSymbol()
{
    const auto box = VXDrawableShape::drawableShapeWithRect({-10, -5, 20, 10},
                                                            VXStyle::styleWithFillColourStrokeColour(Qt::red, {}));
    const VXQSymbolPtr symbol = VXQSymbol::symbolWithMaster(VXQSymbolMaster::symbolMasterWithObjectName(*box, "Town"));
    symbol->setMetadataItemValueForKey(25000, QStringLiteral("QVNL_POPULATION"));
    return symbol;
}

// The sheet open on a window, editing a colour transformer of the style with bins at
// negative infinity, 10, 15 and 40, for a symbol of 25,000 people.
struct OpenSheet {
    QWidget window;
    std::shared_ptr<VXQBinningDataTransformer> original =
        VXQBinningDataTransformer::dataTransformerWithFormula(QStringLiteral("QVNL_POPULATION / 1000"));
    TransformerSheetHost host{townSymbol(), original};
    std::shared_ptr<VXQDataTransformerController> controller = std::make_shared<VXQDataTransformerController>();

    OpenSheet()
    {
        original->setName(QStringLiteral("Town colours"));
        original->setOutputPropertyKey(QStringLiteral("style"));
        original->setBinningEnabled(true);
        for (double start : {10.0, 15.0, 40.0})
            original->addBinForStartValue(start);
        original->setBinDataType(1);
        window.show();
        controller->beginDataTransformerEditorInParentWindowWithDelegate(&window, &host);
    }

    VXQBinningController& bins() const { return *controller->binningController(); }
    std::shared_ptr<VXQBinningDataTransformer> working() const
    {
        return std::dynamic_pointer_cast<VXQBinningDataTransformer>(controller->dataTransformer());
    }
    QList<double> starts() const
    {
        QList<double> values;
        for (const VXQBinPtr& bin : working()->bins())
            values.append(bin->startValue());
        return values;
    }
    QAbstractItemModel* table() const { return bins().binsTable()->model(); }
    QModelIndex cell(int row, const char* column) const
    {
        return table()->index(row, BinsTableModel::columnOfIdentifier(QString::fromLatin1(column)));
    }
    void typeBinCount(const QString& text) const
    {
        bins().numberOfBinsTextField()->setText(text);
        bins().numberOfBinsAction(bins().numberOfBinsTextField());
    }
};

} // namespace

TEST(DataTransformerSheetTest, OkHandsBackAnEditedCopyAndCancelKeepsTheOriginal)
{
    {
        OpenSheet sheet;
        EXPECT_TRUE(sheet.controller->sheet()->isVisible());
        EXPECT_EQ(sheet.controller->nameTextField()->text(), QStringLiteral("Town colours"));
        EXPECT_EQ(sheet.controller->outputPropertiesComboBox()->currentText(), QStringLiteral("Style"));
        EXPECT_EQ(sheet.controller->formulaTextField()->text(), QStringLiteral("QVNL_POPULATION / 1000"));
        EXPECT_TRUE(sheet.controller->useBinningCheckbox()->isChecked());
        EXPECT_NE(sheet.controller->dataTransformer(), sheet.original);

        sheet.controller->nameTextField()->setText(QStringLiteral("Big towns"));
        sheet.controller->nameAction(sheet.controller->nameTextField());
        sheet.typeBinCount(QStringLiteral("2"));
        sheet.controller->cancelButtonAction();
        EXPECT_FALSE(sheet.controller->sheet()->isVisible());
        EXPECT_EQ(sheet.host.handedBack, 0);
        EXPECT_EQ(sheet.host.dataTransformer(), sheet.original);
        EXPECT_EQ(sheet.original->name(), QStringLiteral("Town colours"));
        EXPECT_EQ(sheet.original->countOfBins(), 4);
    }
    OpenSheet sheet;
    sheet.controller->nameTextField()->setText(QStringLiteral("Big towns"));
    sheet.controller->nameAction(sheet.controller->nameTextField());
    sheet.controller->useBinningCheckbox()->setChecked(false);
    sheet.controller->useBinningAction(sheet.controller->useBinningCheckbox());
    EXPECT_FALSE(sheet.bins().binsTable()->isEnabled());
    sheet.controller->okButtonAction();
    ASSERT_EQ(sheet.host.handedBack, 1);
    const auto edited = std::dynamic_pointer_cast<VXQBinningDataTransformer>(sheet.host.dataTransformer());
    ASSERT_TRUE(edited);
    EXPECT_NE(edited, sheet.original);
    EXPECT_EQ(edited->name(), QStringLiteral("Big towns"));
    EXPECT_FALSE(edited->binningEnabled());
    EXPECT_EQ(edited->countOfBins(), 4);
    EXPECT_EQ(sheet.original->name(), QStringLiteral("Town colours"));
    EXPECT_TRUE(sheet.original->binningEnabled());
}

TEST(DataTransformerSheetTest, FormulaErrorsShowInTheSheet)
{
    OpenSheet sheet;
    QLineEdit* formula = sheet.controller->formulaTextField();
    formula->setText(QStringLiteral("(QVNL_POPULATION / 10000) + 0.5"));
    sheet.controller->checkFormulaAction();
    EXPECT_EQ(sheet.controller->resultTextField()->text(), QStringLiteral("3"));
    EXPECT_DOUBLE_EQ(sheet.host.symbol()->scaleFactor(), 1.0) << "a check writes nothing";

    formula->setText(QStringLiteral("(1 +"));
    EXPECT_NO_THROW(sheet.controller->formulaAction(formula));
    EXPECT_EQ(formula->selectedText(), QStringLiteral("(1 +"));
    EXPECT_NO_THROW(sheet.controller->checkFormulaAction());
    EXPECT_EQ(sheet.controller->resultTextField()->text(), QStringLiteral("error in formula"));
    sheet.controller->cancelButtonAction();
}

TEST(DataTransformerSheetTest, TheNumberOfBinsIsKeptBetweenOneAndTheCap)
{
    OpenSheet sheet;
    sheet.typeBinCount(QStringLiteral("0"));
    EXPECT_EQ(sheet.working()->countOfBins(), 1);
    EXPECT_EQ(sheet.bins().numberOfBinsTextField()->text(), QStringLiteral("1"));
    sheet.typeBinCount(QStringLiteral("3"));
    EXPECT_EQ(sheet.starts(), (QList<double>{-kInfinity, 0, 0}));
    EXPECT_EQ(sheet.table()->rowCount(), 3);
    sheet.typeBinCount(QStringLiteral("-7"));
    EXPECT_EQ(sheet.working()->countOfBins(), 1);
    sheet.typeBinCount(QStringLiteral("many"));
    EXPECT_EQ(sheet.working()->countOfBins(), 1) << "text that is no number changes nothing";
    // Return applies the typed count and leaves the sheet open.
    QLineEdit* count = sheet.bins().numberOfBinsTextField();
    count->setFocus();
    count->selectAll();
    QTest::keyClicks(count, QStringLiteral("5"));
    QTest::keyClick(count, Qt::Key_Return);
    EXPECT_EQ(sheet.working()->countOfBins(), 5);
    EXPECT_TRUE(sheet.controller->sheet()->isVisible());
    sheet.typeBinCount(QStringLiteral("99999999999"));
    EXPECT_EQ(sheet.working()->countOfBins(), VXQBinningController::kMaximumNumberOfBins);
    EXPECT_EQ(sheet.bins().numberOfBinsTextField()->text(), QString::number(VXQBinningController::kMaximumNumberOfBins));
    sheet.controller->cancelButtonAction();
}

TEST(DataTransformerSheetTest, BlendAndSpreadFillTheMiddleBins)
{
    OpenSheet sheet;
    const QList<VXQBinPtr> bins = sheet.working()->bins();
    bins.last()->setRepresentedObject(QColor(Qt::yellow));
    sheet.bins().blendColoursAction();
    const QColor quarter = bins[1]->representedObject().value<QColor>();
    const QColor half = bins[2]->representedObject().value<QColor>();
    EXPECT_DOUBLE_EQ(quarter.redF(), 1.0);
    EXPECT_NEAR(quarter.greenF(), 0.25, 1e-3);
    EXPECT_NEAR(half.greenF(), 0.5, 1e-3);
    EXPECT_EQ(quarter.blueF(), 0);
    EXPECT_FALSE(bins[0]->representedObject().isValid()) << "the ends keep theirs";
    EXPECT_EQ(sheet.table()->data(sheet.cell(1, "representedObjectValue"), Qt::DecorationRole).value<QColor>(), quarter);

    // Rows 0 to 3: bin 0 ends at 10, bin 3 starts at 40.
    QItemSelectionModel* selection = sheet.bins().binsTable()->selectionModel();
    selection->select(QItemSelection(sheet.cell(0, "index"), sheet.cell(3, "index")),
                      QItemSelectionModel::Select | QItemSelectionModel::Rows);
    sheet.bins().spreadValuesAction();
    EXPECT_EQ(sheet.starts(), (QList<double>{-kInfinity, 20, 30, 40}));
    selection->clearSelection();
    selection->select(sheet.cell(2, "index"), QItemSelectionModel::Select | QItemSelectionModel::Rows);
    sheet.bins().spreadValuesAction();
    EXPECT_EQ(sheet.starts(), (QList<double>{-kInfinity, 20, 30, 40})) << "one row spreads nothing";
    sheet.controller->cancelButtonAction();
}

TEST(DataTransformerSheetTest, TheTableEditsBinsAndKeepsThemInOrder)
{
    OpenSheet sheet;
    QAbstractItemModel* table = sheet.table();
    EXPECT_FALSE(table->flags(sheet.cell(0, "startValue")) & Qt::ItemIsEditable);
    EXPECT_FALSE(table->flags(sheet.cell(3, "endValue")) & Qt::ItemIsEditable);
    EXPECT_FALSE(table->flags(sheet.cell(1, "index")) & Qt::ItemIsEditable);
    EXPECT_TRUE(table->flags(sheet.cell(1, "endValue")) & Qt::ItemIsEditable);
    EXPECT_EQ(table->data(sheet.cell(0, "startValue"), Qt::DisplayRole).toString(), QStringLiteral("-∞"));
    EXPECT_EQ(table->data(sheet.cell(3, "endValue"), Qt::DisplayRole).toString(), QStringLiteral("∞"));
    EXPECT_EQ(table->data(sheet.cell(2, "index"), Qt::DisplayRole).toInt(), 3);
    EXPECT_EQ(table->headerData(3, Qt::Horizontal, Qt::DisplayRole).toString(), QStringLiteral("Colour"));

    // Row 1's end is row 2's start.
    EXPECT_TRUE(table->setData(sheet.cell(1, "endValue"), QStringLiteral("12"), Qt::EditRole));
    EXPECT_EQ(sheet.starts(), (QList<double>{-kInfinity, 10, 12, 40}));
    table->setData(sheet.cell(2, "startValue"), QStringLiteral("twelve"), Qt::EditRole);
    EXPECT_EQ(sheet.starts(), (QList<double>{-kInfinity, 10, 12, 40}));
    // A start beyond its neighbours re-sorts the bins.
    const VXQBinPtr moved = sheet.working()->bins()[1];
    table->setData(sheet.cell(1, "startValue"), QStringLiteral("50"), Qt::EditRole);
    EXPECT_EQ(sheet.starts(), (QList<double>{-kInfinity, 12, 40, 50}));
    EXPECT_EQ(sheet.working()->binForValue(45), sheet.working()->bins()[2]);
    EXPECT_EQ(moved->index(), 4);

    // Colours are typed by name.
    table->setData(sheet.cell(2, "representedObjectValue"), QStringLiteral("#ff8000"), Qt::EditRole);
    table->setData(sheet.cell(2, "representedObjectValue"), QStringLiteral("sunset"), Qt::EditRole);
    EXPECT_EQ(sheet.working()->bins()[2]->representedObject().value<QColor>(), QColor(255, 128, 0));
    EXPECT_EQ(table->data(sheet.cell(2, "representedObjectValue"), Qt::EditRole).toString(), QStringLiteral("#ff8000"));

    // Values are typed as text and kept in single precision.
    sheet.working()->setOutputPropertyKey(QStringLiteral("scaleFactor"));
    sheet.bins().setOutputDataType(4);
    EXPECT_TRUE(table->flags(sheet.cell(1, "representedObjectValue")) & Qt::ItemIsEditable);
    table->setData(sheet.cell(1, "representedObjectValue"), QStringLiteral("1.1"), Qt::EditRole);
    EXPECT_EQ(sheet.working()->bins()[1]->representedObject().toDouble(), double(1.1f));
    EXPECT_EQ(table->data(sheet.cell(1, "representedObjectValue"), Qt::DisplayRole).toString(), QStringLiteral("1.10"));
    // Shown to four decimals; an edit that changes nothing keeps the full value.
    sheet.working()->bins()[2]->setStartValue(40.123456);
    EXPECT_EQ(table->data(sheet.cell(2, "startValue"), Qt::EditRole).toString(), QStringLiteral("40.1235"));
    table->setData(sheet.cell(2, "startValue"), QStringLiteral("40.1235"), Qt::EditRole);
    EXPECT_EQ(sheet.working()->bins()[2]->startValue(), 40.123456);
    table->setData(sheet.cell(1, "representedObjectValue"), QStringLiteral("lots"), Qt::EditRole);
    EXPECT_EQ(sheet.working()->bins()[1]->representedObject().toDouble(), double(1.1f));
    sheet.controller->cancelButtonAction();
}

TEST(DataTransformerSheetTest, TheOutputPropertyDecidesTheDataTypes)
{
    OpenSheet sheet;
    QComboBox* types = sheet.bins().dataTypePopUpButton();
    const auto enabledTypes = [types] {
        QList<int> enabled;
        const auto* items = qobject_cast<QStandardItemModel*>(types->model());
        for (int row = 0; row < items->rowCount(); ++row) {
            if (items->item(row)->isEnabled())
                enabled.append(items->item(row)->data(Qt::UserRole).toInt());
        }
        return enabled;
    };
    EXPECT_EQ(types->currentData().toInt(), 1);
    EXPECT_EQ(enabledTypes(), (QList<int>{0, 1, 2, 3, 4}));

    QComboBox* properties = sheet.controller->outputPropertiesComboBox();
    properties->setCurrentText(QStringLiteral("Angle"));
    sheet.controller->outputPropertyAction(properties);
    EXPECT_EQ(sheet.working()->outputPropertyKey(), QStringLiteral("angle"));
    EXPECT_EQ(sheet.working()->binDataType(), 4);
    EXPECT_EQ(types->currentData().toInt(), 4);
    EXPECT_EQ(enabledTypes(), QList<int>{4});
    EXPECT_EQ(sheet.table()->headerData(3, Qt::Horizontal, Qt::DisplayRole).toString(), QStringLiteral("Value"));
    sheet.bins().setOutputDataType(1);
    EXPECT_EQ(sheet.working()->binDataType(), 4) << "the angle takes no colours";

    platform::MenuItem colourItem(QStringLiteral("Colour"), "dataTypeAction");
    colourItem.setTag(1);
    EXPECT_FALSE(sheet.bins().validateMenuItem(&colourItem));
    properties->setCurrentText(QStringLiteral("Label Style"));
    sheet.controller->outputPropertyAction(properties);
    EXPECT_EQ(sheet.working()->binDataType(), 4) << "label styles take values too";
    EXPECT_TRUE(sheet.bins().validateMenuItem(&colourItem));
    sheet.controller->cancelButtonAction();
}

TEST(DataTransformerSheetTest, BinsTakePastedAndDroppedObjects)
{
    OpenSheet sheet;
    platform::Pasteboard general = platform::Pasteboard::generalPasteboard();
    general.clearContents();
    general.setColor(QColor(Qt::blue));

    platform::MenuItem paste(QStringLiteral("Paste"), "pasteMenuAction");
    sheet.bins().setClickedRow(-1);
    EXPECT_FALSE(sheet.bins().validateMenuItem(&paste));
    sheet.bins().setClickedRow(2);
    EXPECT_TRUE(sheet.bins().validateMenuItem(&paste));
    EXPECT_EQ(paste.title(), QStringLiteral("Paste Colour"));
    sheet.bins().pasteMenuAction(&paste);
    EXPECT_EQ(sheet.working()->bins()[2]->representedObject().value<QColor>(), QColor(Qt::blue));

    // Text becomes a number for values, and only when it reads as one.
    sheet.bins().setOutputDataType(4);
    QMimeData number;
    platform::Pasteboard(&number).setStringForType(QStringLiteral("2.5"), platform::kPasteboardTypeString);
    QMimeData words;
    platform::Pasteboard(&words).setStringForType(QStringLiteral("big"), platform::kPasteboardTypeString);
    QAbstractItemModel* table = sheet.table();
    const QModelIndex row1 = sheet.cell(1, "representedObjectValue");
    EXPECT_FALSE(table->canDropMimeData(&words, Qt::CopyAction, -1, -1, row1));
    EXPECT_FALSE(table->canDropMimeData(&number, Qt::CopyAction, 1, 0, QModelIndex())) << "only onto a row";
    EXPECT_TRUE(table->dropMimeData(&number, Qt::CopyAction, -1, -1, row1));
    EXPECT_EQ(sheet.working()->bins()[1]->representedObject().toDouble(), 2.5);

    sheet.working()->setOutputPropertyKey(QStringLiteral("labelAttributes"));
    sheet.bins().setOutputDataType(5);
    EXPECT_FALSE(table->canDropMimeData(&number, Qt::CopyAction, -1, -1, row1));
    QMimeData font;
    platform::Pasteboard fontBoard(&font);
    binpasteboard::writeFont(fontBoard, QFont(QStringLiteral("Helvetica"), 18));
    EXPECT_TRUE(table->dropMimeData(&font, Qt::CopyAction, -1, -1, row1));
    EXPECT_EQ(sheet.working()->bins()[1]->representedObject().value<QFont>().pointSize(), 18);
    sheet.controller->cancelButtonAction();
}
