#include "symbols/keytable/VXQKeyTable.h"

#include "platform/foundation/KeyedUnarchiver.h"
#include "platform/foundation/ZQAssert.h"
#include "platform/vantrix/drawables/VXTextShape.h"
#include "symbols/keytable/VXQKeyTableDatasource.h"
#include "symbols/keytable/VXQKeyTableTextShape.h"
#include "support/ArchiveTesting.h"

#include <gtest/gtest.h>

using platform::AttributedString;
using platform::TextRange;

namespace {

// Rows from a list; an edited row is kept and, as a sequence does, the table rebuilt at once.
class Rows : public QObject, public VXQKeyTableDatasource {
public:
    QStringList rows;
    QList<std::pair<qsizetype, QString>> edits;

    qsizetype numberOfRowsInKeyTable(const VXQKeyTable&) const override { return rows.size(); }
    QString keyTableStringValueForRowAtIndex(const VXQKeyTable&, qsizetype row) const override { return rows.value(row); }
    void keyTableSetStringValueForRowAtIndex(VXQKeyTable& table, const QString& string, qsizetype row) override
    {
        edits.append({row, string});
        rows[row] = string;
        table.reloadData();
    }
};

struct Cell {
    qsizetype item;
    QString text;
    int row;
    int column;
    std::shared_ptr<platform::TextTable> table;
};

// The cells of the shape's text, in text order.
QList<Cell> cellsOf(const AttributedString& text)
{
    QList<Cell> cells;
    text.enumerateAttributesInRange({0, text.length()}, [&](const platform::TextAttributes& attributes, TextRange run) {
        bool isRow = false;
        const qint64 item = attributes.value(kVXQKeyTableItemIndexAttributeName).toLongLong(&isRow);
        if (!isRow)
            return;
        const auto style = attributes.value(platform::kParagraphStyleAttributeName).value<platform::ParagraphStyle>();
        const platform::TextTableBlock block = style.textBlocks.value(0);
        cells.append({qsizetype(item), text.string().mid(run.location, run.length), block.startingRow,
                      block.startingColumn, block.table});
    });
    return cells;
}

AttributedString shapeText(const VXTextShape& shape)
{
    return shape.textAdornment()->textForEditing();
}

struct TableFixture {
    Rows source;
    std::shared_ptr<VXTextShape> shape = std::make_shared<VXQKeyTableTextShape>();
    VXQKeyTable table;

    explicit TableFixture(const QStringList& rows)
    {
        source.rows = rows;
        table.setDatasource(&source);
        table.setTextShape(shape);
    }
    QList<Cell> cells() const { return cellsOf(shapeText(*shape)); }
};

} // namespace

TEST(KeyTable, RowsFlowOverTheColumnsAsCellsOfOneTable)
{
    TableFixture f({"1\tChurch", "2\tMill", "3\tWell", "4\tInn", "5\tFord"});
    f.table.setNumberOfColumns(2);
    EXPECT_EQ(f.table.tableSize(), QSizeF(500, 150));
    const QList<Cell> cells = f.cells();
    ASSERT_EQ(cells.size(), 5);
    const QList<std::pair<int, int>> places{{0, 0}, {0, 1}, {1, 0}, {1, 1}, {2, 0}};
    for (qsizetype i = 0; i < cells.size(); ++i) {
        EXPECT_EQ(cells[i].item, i);
        EXPECT_EQ(cells[i].text, f.source.rows[i] + "\n");
        EXPECT_EQ(std::pair(cells[i].row, cells[i].column), places[i]) << i;
        ASSERT_TRUE(cells[i].table);
        EXPECT_EQ(cells[i].table, cells[0].table);
    }
    EXPECT_EQ(cells[0].table->numberOfColumns, 2);

    // A shape that starts empty gets a leading line and the default cell look.
    const AttributedString text = shapeText(*f.shape);
    EXPECT_TRUE(text.string().startsWith("\n1\tChurch\n"));
    const platform::TextAttributes look = text.attributesAtIndexEffectiveRange(1);
    const platform::TextAttributes defaults = VXQKeyTable::textAttributesForTableCells();
    EXPECT_EQ(look.value(platform::kFontAttributeName), defaults.value(platform::kFontAttributeName));
    EXPECT_EQ(look.value(platform::kFontAttributeName).value<QFont>().pointSizeF(), 14);
    EXPECT_EQ(look.value(platform::kForegroundColourAttributeName).value<QColor>(), QColor(Qt::black));
    EXPECT_EQ(VXQKeyTable::itemIndexInTextAtCharacterIndex(text, 0), VXQKeyTable::kNotFound);
    EXPECT_EQ(VXQKeyTable::itemIndexInTextAtCharacterIndex(text, 12), 1);
    EXPECT_EQ(VXQKeyTable::rangeOfTextForItemIndex(text, 1), (TextRange{10, 7}));
    EXPECT_EQ(VXQKeyTable::rangeOfTextForItemIndex(text, 7), (TextRange{VXQKeyTable::kNotFound, 0}));
    EXPECT_EQ(VXQKeyTable::tableInTextForItemIndex(text, 4), cells[0].table);
    EXPECT_EQ(VXQKeyTable::tableInTextForItemIndex(text, 5), nullptr);

    // 0 columns keep the count; 3 place the cells anew.
    f.table.setNumberOfColumns(0);
    EXPECT_EQ(f.table.numberOfColumns(), 2);
    f.table.setNumberOfColumns(3);
    EXPECT_EQ(f.table.tableSize(), QSizeF(750, 150));
    EXPECT_EQ(std::pair(f.cells()[4].row, f.cells()[4].column), std::pair(1, 1));
}

TEST(KeyTable, RebuildsFollowTheRowsAndKeepEachCellsLook)
{
    TableFixture f({"a", "b", "c", "d", "e"});
    // A cell restyled by hand keeps its look through rebuilds; its text follows the data.
    AttributedString styled = f.shape->textAdornment()->labelText();
    const TextRange second = VXQKeyTable::rangeOfTextForItemIndex(styled, 1);
    styled.addAttributeValueRange(platform::kForegroundColourAttributeName, QColor(Qt::red), second);
    f.shape->textAdornment()->setLabel(styled);

    f.source.rows = {"A", "B", "C"};
    f.table.reloadData();
    QList<Cell> cells = f.cells();
    ASSERT_EQ(cells.size(), 3);
    EXPECT_EQ(cells[1].text, "B\n");
    EXPECT_EQ(shapeText(*f.shape).string(), "\nA\nB\nC\n");
    const AttributedString text = shapeText(*f.shape);
    EXPECT_EQ(text.attributesAtIndexEffectiveRange(3).value(platform::kForegroundColourAttributeName).value<QColor>(),
              QColor(Qt::red));
    f.table.reloadData();
    EXPECT_EQ(f.cells().size(), 3);

    // Growing again appends cells in the first cell's look.
    f.source.rows = {"A", "B", "C", "D"};
    f.table.reloadData();
    EXPECT_EQ(shapeText(*f.shape).string(), "\nA\nB\nC\nD\n");
    f.source.rows.clear();
    f.table.reloadData();
    EXPECT_EQ(shapeText(*f.shape).string(), "\n");
}

TEST(KeyTable, AnEditedCellGoesBackWithoutItsLineEndAndNoRebuildOverwritesIt)
{
    TableFixture f({"1\tChurch", "2\tMill"});
    AttributedString edited = shapeText(*f.shape);
    const TextRange mill = VXQKeyTable::rangeOfTextForItemIndex(edited, 1);
    edited.replaceCharactersInRangeWithString({mill.location + 2, 4}, QStringLiteral("Windmill"));
    f.table.textDidEditCharacterAtIndex(edited, mill.location + 10);
    EXPECT_EQ(f.source.edits, (QList<std::pair<qsizetype, QString>>{{1, "2\tWindmill"}}));
    EXPECT_FALSE(f.table.isEditing());
    // The data source's rebuild during the edit was refused; the next one shows the data.
    EXPECT_EQ(shapeText(*f.shape).string(), "\n1\tChurch\n2\tMill\n");
    f.table.reloadData();
    EXPECT_EQ(shapeText(*f.shape).string(), "\n1\tChurch\n2\tWindmill\n");

    // The caret after the last character, with the last line end deleted, is in the last cell.
    AttributedString cut = shapeText(*f.shape);
    cut.deleteCharactersInRange({cut.length() - 1, 1});
    f.table.textDidEditCharacterAtIndex(cut, cut.length());
    EXPECT_EQ(f.source.edits.last(), std::pair(qsizetype(1), QString("2\tWindmill")));
    // Outside every cell, or outside the text, nothing goes back.
    f.table.textDidEditCharacterAtIndex(cut, 0);
    f.table.textDidEditCharacterAtIndex(cut, cut.length() + 5);
    f.table.textDidEditCharacterAtIndex(AttributedString(), 0);
    EXPECT_EQ(f.source.edits.size(), 2);
}

TEST(KeyTable, DamagedTextAndSourcesGiveASoundTable)
{
    // Text outside the cells stays; cells past the rows and repeated cells go.
    Rows source;
    source.rows = {"x", "y"};
    auto shape = std::make_shared<VXTextShape>();
    AttributedString damaged(QStringLiteral("Legend\n"));
    const auto cell = [](const QString& text, qint64 item) {
        return AttributedString(text, {{kVXQKeyTableItemIndexAttributeName, item}});
    };
    damaged.appendAttributedString(cell(QStringLiteral("old 1\n"), 1));
    damaged.appendAttributedString(cell(QStringLiteral("old 9\n"), 9));
    damaged.appendAttributedString(AttributedString(QStringLiteral("note\n")));
    damaged.appendAttributedString(cell(QStringLiteral("again 1\n"), 1));
    damaged.appendAttributedString(AttributedString(QStringLiteral("bad\n"), {{kVXQKeyTableItemIndexAttributeName, "nine"}}));
    shape->textAdornment()->setLabel(damaged);
    VXQKeyTable table;
    table.setDatasource(&source);
    table.setTextShape(shape);
    EXPECT_EQ(shapeText(*shape).string(), "Legend\ny\nnote\nbad\nx\n");
    const QList<Cell> cells = cellsOf(shapeText(*shape));
    ASSERT_EQ(cells.size(), 2);
    EXPECT_EQ(cells[0].item, 1);
    EXPECT_EQ(std::pair(cells[1].row, cells[1].column), std::pair(0, 0));

    QObject stranger;
    EXPECT_THROW(table.setDatasource(&stranger), platform::AssertionFailure);
    EXPECT_EQ(table.datasource(), &source);
    table.setDatasource(nullptr); // no data: nothing to follow
    table.reloadData();
    EXPECT_EQ(shapeText(*shape).string(), "Legend\ny\nnote\nbad\nx\n");
}

TEST(KeyTable, AnArchiveWithoutItsShapeReadsAsATableWithoutOne)
{
    testsupport::ArchiveStub stub;
    stub.values.insert(QStringLiteral("VXQKeyTable_numberOfColumns"), 0);
    const auto bare = std::dynamic_pointer_cast<VXQKeyTable>(
        platform::KeyedUnarchiver::unarchiveObjectWithData(stub.archiveAs(QStringLiteral("VXQKeyTable"))));
    ASSERT_TRUE(bare);
    EXPECT_EQ(bare->textShape(), nullptr);
    EXPECT_EQ(bare->numberOfColumns(), 1);
    bare->reloadData();
}
