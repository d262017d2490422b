#include "SequenceFixture.h"

#include "platform/vantrix/text/VXTextAdornment.h"
#include "platform/vantrix/view/ObjectStringEditing.h"
#include "platform/vantrix/view/VXDrawingView.h"
#include "symbols/keytable/VXQKeyTable.h"

#include <QTextEdit>
#include <QTest>
#include <gtest/gtest.h>

using sequencetest::Fixture;

namespace {

// A key table of three numbered symbols, shown in a view.
struct EditingFixture : Fixture {
    VXDrawingView view;
    VXQKeyTablePtr table;

    EditingFixture()
        : Fixture(3)
    {
        symbols[0]->setMetadataItemValueForKey(QStringLiteral("Church"), kVXQSequenceInfoKey);
        table = sequence()->createAndInsertKeyTable();
        view.resize(400, 300);
        view.setDrawing(drawing);
        view.show();
        forget();
    }
    QTextEdit* startEditing()
    {
        EXPECT_TRUE(platform::editObjectStringInView(VXDrawableObjectPtr(table->textShape()), view));
        return view.textEditor();
    }
    void typeAt(QTextEdit* editor, int position, const QString& keys)
    {
        QTextCursor cursor = editor->textCursor();
        cursor.setPosition(position);
        editor->setTextCursor(cursor);
        QTest::keyClicks(editor, keys);
    }
    QString shownText() const { return table->textShape()->textAdornment()->labelText().string(); }
};

} // namespace

TEST(KeyTableEditing, TypingInACellWritesTheRowsInfoAndTheCommitKeepsTheTable)
{
    EditingFixture f;
    QTextEdit* editor = f.startEditing();
    ASSERT_TRUE(editor);
    EXPECT_EQ(editor->toPlainText(), "\n1\tChurch\n2\t\n3\t\n");
    f.typeAt(editor, 12, QStringLiteral("Mill")); // after "2\t"
    ASSERT_EQ(editor->toPlainText(), "\n1\tChurch\n2\tMill\n3\t\n");
    EXPECT_EQ(f.symbols[1]->metadataValueForKey(kVXQSequenceInfoKey).toString(), "Mill");
    EXPECT_EQ(f.shownText(), "\n1\tChurch\n2\t\n3\t\n"); // the text being edited is left alone

    f.view.endTextEditing();
    f.undo.closeAutomaticGroup();
    EXPECT_EQ(f.view.textEditor(), nullptr);
    EXPECT_EQ(f.shownText(), "\n1\tChurch\n2\tMill\n3\t\n");
    const platform::AttributedString text = f.table->textShape()->textAdornment()->labelText();
    EXPECT_EQ(VXQKeyTable::itemIndexInTextAtCharacterIndex(text, 12), 1) << "the cells keep their rows";
    EXPECT_EQ(f.undo.undoActionName(), "Edit Text");

    f.undo.undo();
    EXPECT_EQ(f.symbols[1]->metadataValueForKey(kVXQSequenceInfoKey).toString(), "");
    EXPECT_EQ(f.shownText(), "\n1\tChurch\n2\t\n3\t\n");
}

TEST(KeyTableEditing, ACellWhoseLineEndWentStillReachesItsRow)
{
    EditingFixture f;
    QTextEdit* editor = f.startEditing();
    ASSERT_TRUE(editor);
    QTest::keyClick(editor, Qt::Key_End, Qt::ControlModifier);
    QTest::keyClick(editor, Qt::Key_Backspace); // the last cell's line end
    QTest::keyClicks(editor, QStringLiteral("Ford"));
    EXPECT_EQ(f.symbols[2]->metadataValueForKey(kVXQSequenceInfoKey).toString(), "Ford");
    f.view.endTextEditing();
    EXPECT_EQ(f.shownText(), "\n1\tChurch\n2\t\n3\tFord\n");

    // The number typed over changes nothing but the info.
    editor = f.startEditing();
    f.typeAt(editor, 1, QStringLiteral("9"));
    f.view.endTextEditing();
    EXPECT_EQ(f.symbols[0]->metadataValueForKey(kVXQSequenceInfoKey).toString(), "Church");
    EXPECT_EQ(f.shownText(), "\n1\tChurch\n2\t\n3\tFord\n");
}

TEST(KeyTableEditing, ACopyThatNoTableFeedsIsEditedAsPlainText)
{
    EditingFixture f;
    const auto copy = std::static_pointer_cast<VXTextShape>(f.table->textShape()->copy());
    f.layer->addObject(copy);
    f.forget();
    ASSERT_TRUE(platform::editObjectStringInView(VXDrawableObjectPtr(copy), f.view));
    f.typeAt(f.view.textEditor(), 0, QStringLiteral("Key"));
    f.view.endTextEditing();
    EXPECT_EQ(copy->string(), "Key\n1\tChurch\n2\t\n3\t\n");
    EXPECT_EQ(f.shownText(), "\n1\tChurch\n2\t\n3\t\n");
    f.undo.closeAutomaticGroup();
    EXPECT_EQ(f.undo.undoActionName(), "Edit Text");
}

// A label that is one cell and nothing else: the cell's table block stays with the cell, so
// rebuilds keep the one table and undo brings back a cell that still has it.
TEST(KeyTableEditing, ALabelOfOneCellKeepsItsTableBlockThroughRebuildsAndUndo)
{
    Fixture f(1);
    const VXQKeyTablePtr table = f.sequence()->createAndInsertKeyTable();
    VXTextAdornment* text = table->textShape()->textAdornment().get();
    f.forget();
    const platform::AttributedString built = text->labelText();
    ASSERT_EQ(built.string(), "\n1\t\n");
    const std::shared_ptr<platform::TextTable> cells = VXQKeyTable::tableInTextForItemIndex(built, 0);
    ASSERT_TRUE(cells);
    const auto expectCellInTable = [&](const QString& string) {
        const platform::AttributedString label = text->labelText();
        EXPECT_EQ(label.string(), string);
        EXPECT_EQ(VXQKeyTable::tableInTextForItemIndex(label, 0), cells);
        EXPECT_EQ(VXQKeyTable::tableInTextForItemIndex(text->textForEditing(), 0), cells);
        EXPECT_TRUE(text->paragraphStyle().textBlocks.isEmpty()) << "the box holds no cell's block";
    };

    f.step([&] { text->setLabel(built.attributedSubstringFromRange(VXQKeyTable::rangeOfTextForItemIndex(built, 0))); });
    expectCellInTable("1\t\n");
    table->reloadData();
    table->reloadData();
    expectCellInTable("1\t\n");
    f.step([&] { f.symbols[0]->setMetadataItemValueForKey(QStringLiteral("Church"), kVXQSequenceInfoKey); });
    expectCellInTable("1\tChurch\n");

    f.undo.undo();
    expectCellInTable("1\t\n");
    f.undo.undo();
    expectCellInTable("\n1\t\n");
    f.undo.redo();
    f.undo.redo();
    expectCellInTable("1\tChurch\n");
}
