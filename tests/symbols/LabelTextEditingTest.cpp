// Label text as the user edits, pastes and finds it: in-place editing that keeps the runs'
// attributes, rich text from the clipboard, and Find by what labels say.

#include "symbols/labels/PathLabelContainer.h"
#include "symbols/labels/VXQTextPathLabel.h"
#include "symbols/placed/VXQSymbol.h"
#include "symbols/shapes/VXQLabelledShape.h"
#include "tracks/model/ZQMultiStylePath.h"

#include "platform/graphics/AttributedString.h"
#include "platform/ui/FontManager.h"
#include "platform/ui/Pasteboard.h"
#include "platform/ui/UiTestSupport.h"
#include "platform/vantrix/drawables/VXDrawableShape.h"
#include "platform/vantrix/model/VXObjectDrawingLayer.h"
#include "platform/vantrix/view/VXDrawingView.h"
#include "support/ArchiveTesting.h"
#include "support/UndoableDrawing.h"

#include <QFontDialog>
#include <QMimeData>
#include <QTest>
#include <QTextEdit>
#include <gtest/gtest.h>

using platform::AttributedString;
using platform::TextAttributes;
using platform::TextRange;

namespace {

const QColor kHarbourRed{200, 20, 20};

TextAttributes boldRun()
{
    QFont bold(QStringLiteral("Helvetica"), 12);
    bold.setBold(true);
    return {{platform::kFontAttributeName, bold}};
}

TextAttributes redRun() { return {{platform::kForegroundColourAttributeName, kHarbourRed}}; }

TextAttributes shiftedRun()
{
    return {{platform::kFontAttributeName, QFont(QStringLiteral("Helvetica"), 20)},
            {platform::kKernAttributeName, 2.0},
            {platform::kBaselineOffsetAttributeName, 3.0}};
}

// "Old " bold, "Harbour" red, " Quay" larger, spaced and raised.
AttributedString threeRuns()
{
    AttributedString text;
    text.appendAttributedString(AttributedString(QStringLiteral("Old "), boldRun()));
    text.appendAttributedString(AttributedString(QStringLiteral("Harbour"), redRun()));
    text.appendAttributedString(AttributedString(QStringLiteral(" Quay"), shiftedRun()));
    return text;
}

QVariant attributeOf(const VXQTextLabel& label, const QString& name, qsizetype index)
{
    return label.text().attributeAtIndexEffectiveRange(name, index);
}

// A labelled rectangle in a layer shown in a view.
struct EditingFixture : testsupport::UndoableDrawing<VXObjectDrawingLayer> {
    VXQLabelledShapePtr shape = std::make_shared<VXQLabelledShape>();
    VXDrawingView view;

    EditingFixture()
        : UndoableDrawing({400, 300})
    {
        shape->adoptPathFromDrawing(platform::BezierPath::bezierPathWithRect({100, 100, 160, 60}));
        shape->setStyle(VXStyle::styleWithFillColourStrokeColour(Qt::yellow, Qt::black));
        layer->addObject(shape);
        shape->newTextLabel();
        view.setDrawing(drawing);
        view.resize(500, 400);
        forget();
    }
    VXQTextLabel& label() const { return *shape->textLabels().first(); }
    QTextEdit* startEditing()
    {
        label().startEditingInView(&view);
        return view.textEditor();
    }
    // Selects [from, to) in the editor and types `keys` over it, as a user would.
    static void typeOver(QTextEdit* editor, int from, int to, const QString& keys)
    {
        QTextCursor cursor = editor->textCursor();
        cursor.setPosition(from);
        cursor.setPosition(to, QTextCursor::KeepAnchor);
        editor->setTextCursor(cursor);
        QTest::keyClicks(editor, keys);
    }
};

double sizeOfRun(const VXQTextLabel& label, qsizetype index)
{
    return attributeOf(label, platform::kFontAttributeName, index).value<QFont>().pointSizeF();
}

} // namespace

// Every kind of label that is edited in place: a shape's block label, a symbol's and one along
// a road. Text given one font all over in the font panel takes it as the label's own font, so
// the Text tab shows the size it is drawn at; a font given to one word stays the word's.
TEST(LabelTextEditing, AFontGivenToAllOfTheTextWhileEditedBecomesTheLabelsOwnForEveryKindOfLabel)
{
    EditingFixture f;
    const auto square = VXDrawableShape::drawableShapeWithRect({-10, -10, 20, 20},
                                                               VXStyle::styleWithFillColourStrokeColour(Qt::blue, {}));
    const VXQSymbolPtr symbol
        = VXQSymbol::symbolWithMaster(VXQSymbolMaster::symbolMasterWithObjectName(*square, QStringLiteral("Well")));
    symbol->setLocation({300, 60});
    f.layer->addObject(symbol);
    symbol->newTextLabel();
    platform::BezierPath line;
    line.moveToPoint({20, 250});
    line.lineToPoint({380, 250});
    auto roadStyle = std::make_shared<VXStyle>();
    const ZQMultiStylePathPtr road = ZQMultiStylePath::multiStylePathWithPathStyle(line, roadStyle);
    f.layer->addObject(road);
    const VXQTextPathLabelPtr alongRoad = VXQTextPathLabel::label();
    alongRoad->setStyleRange(ZQMakeAbsoluteStyleRange(20, 300));
    PathLabelContainer::of(*road).addTextLabel(alongRoad);
    const QList<VXQTextLabel*> labels{&f.label(), symbol->textLabels().first().get(), alongRoad.get()};
    for (VXQTextLabel* label : labels)
        label->setText(QStringLiteral("Old Harbour"));
    f.forget();
    uitest::activate(&f.view);
    QFontDialog* panel = platform::FontManager::sharedFontManager()->fontPanel(true);
    const QFont serif30(QStringLiteral("DejaVu Serif"), 30);

    for (VXQTextLabel* label : labels) {
        SCOPED_TRACE(label->metaObject()->className());
        const double before = label->fontSize();
        ASSERT_NE(before, 30.0);
        label->startEditingInView(&f.view);
        ASSERT_TRUE(f.view.textEditor());
        QTest::keyClick(f.view.textEditor(), Qt::Key_A, Qt::ControlModifier);
        panel->setCurrentFont(serif30);
        f.step([&] { f.view.endTextEditing(); });
        const auto expectDrawnAndOwnAt = [&](double size) {
            EXPECT_EQ(label->fontSize(), size);
            EXPECT_EQ(sizeOfRun(*label, 0), size);
            EXPECT_EQ(sizeOfRun(*label, label->text().length() - 1), size);
        };
        expectDrawnAndOwnAt(30.0);
        EXPECT_EQ(label->font().family(), serif30.family());
        EXPECT_EQ(label->text().string(), QStringLiteral("Old Harbour"));
        f.undo.undo();
        expectDrawnAndOwnAt(before);
        f.undo.redo();
        expectDrawnAndOwnAt(30.0);

        // One word made bigger: the label keeps its size.
        label->startEditingInView(&f.view);
        QTextCursor word = f.view.textEditor()->textCursor();
        word.setPosition(0);
        word.setPosition(3, QTextCursor::KeepAnchor);
        f.view.textEditor()->setTextCursor(word);
        panel->setCurrentFont(QFont(QStringLiteral("DejaVu Serif"), 40));
        f.step([&] { f.view.endTextEditing(); });
        EXPECT_EQ(label->fontSize(), 30.0);
        EXPECT_EQ(sizeOfRun(*label, 0), 40.0);
        EXPECT_EQ(sizeOfRun(*label, 5), 30.0);
    }

    const auto reopened = testsupport::roundTrip<VXQLabelledShape>(*f.shape);
    ASSERT_TRUE(reopened && reopened->textLabels().size() == 1);
    EXPECT_EQ(reopened->textLabels().first()->fontSize(), 30.0);
}

TEST(LabelTextEditing, EditingOneWordInPlaceKeepsEveryRunThroughUndoAndSaving)
{
    EditingFixture f;
    f.label().setText(QVariant::fromValue(threeRuns()));
    f.forget();

    QTextEdit* editor = f.startEditing();
    ASSERT_TRUE(editor);
    ASSERT_EQ(editor->toPlainText(), QStringLiteral("Old Harbour Quay"));
    EditingFixture::typeOver(editor, 4, 11, QStringLiteral("Marina"));
    f.step([&] { f.view.endTextEditing(); });

    const auto expectThreeRuns = [](const VXQTextLabel& label) {
        ASSERT_EQ(label.text().string(), QStringLiteral("Old Marina Quay"));
        EXPECT_TRUE(attributeOf(label, platform::kFontAttributeName, 0).value<QFont>().bold());
        TextRange red;
        EXPECT_EQ(label.text().attributeAtIndexEffectiveRange(platform::kForegroundColourAttributeName, 6, &red)
                      .value<QColor>(),
                  kHarbourRed);
        EXPECT_EQ(red, (TextRange{4, 6})); // the typed word, and only it, in the word's colour
        EXPECT_EQ(attributeOf(label, platform::kKernAttributeName, 12).toDouble(), 2.0);
        EXPECT_EQ(attributeOf(label, platform::kBaselineOffsetAttributeName, 12).toDouble(), 3.0);
        EXPECT_EQ(attributeOf(label, platform::kFontAttributeName, 12).value<QFont>().pointSizeF(), 20.0);
        EXPECT_FALSE(attributeOf(label, platform::kFontAttributeName, 12).value<QFont>().bold());
    };
    expectThreeRuns(f.label());
    EXPECT_EQ(f.undo.undoActionName(), QStringLiteral("Edit Label Text"));

    const auto reopened = testsupport::roundTrip<VXQLabelledShape>(*f.shape);
    ASSERT_TRUE(reopened && reopened->textLabels().size() == 1);
    expectThreeRuns(*reopened->textLabels().first());

    f.undo.undo();
    EXPECT_EQ(f.label().text().string(), QStringLiteral("Old Harbour Quay"));
    EXPECT_TRUE(attributeOf(f.label(), platform::kFontAttributeName, 0).value<QFont>().bold());
    EXPECT_EQ(attributeOf(f.label(), platform::kForegroundColourAttributeName, 10).value<QColor>(), kHarbourRed);
    EXPECT_EQ(attributeOf(f.label(), platform::kKernAttributeName, 12).toDouble(), 2.0);
}

TEST(LabelTextEditing, TheEditorShowsTheNameNotItsPlaceholderAndAnUntouchedEditKeepsThePlaceholder)
{
    EditingFixture f;
    f.shape->setName(QStringLiteral("Fishmarket Square"));
    f.forget();
    ASSERT_EQ(f.label().text().string(), QStringLiteral("%%name"));

    QTextEdit* editor = f.startEditing();
    ASSERT_TRUE(editor);
    EXPECT_EQ(editor->toPlainText(), QStringLiteral("Fishmarket Square"));
    // Wide enough for the name it shows.
    EXPECT_GE(editor->width(), editor->fontMetrics().horizontalAdvance(editor->toPlainText()));
    f.step([&] { f.view.endTextEditing(); });
    EXPECT_EQ(f.label().text().string(), QStringLiteral("%%name"));
    EXPECT_EQ(f.undo.numberOfUndoActions(), 0);

    editor = f.startEditing();
    EditingFixture::typeOver(editor, 0, 10, QStringLiteral("Fish"));
    f.step([&] { f.view.endTextEditing(); });
    EXPECT_EQ(f.label().text().string(), QStringLiteral("Fish Square"));

    // Two lines whose second run starts with the line break: an untouched edit is no edit.
    AttributedString lines(QStringLiteral("Old"), boldRun());
    lines.appendAttributedString(AttributedString(QStringLiteral("\nQuay"), redRun()));
    f.label().setText(QVariant::fromValue(lines));
    f.forget();
    const AttributedString before = f.label().text();
    f.startEditing();
    f.step([&] { f.view.endTextEditing(); });
    EXPECT_EQ(f.label().text(), before);
    EXPECT_EQ(f.undo.numberOfUndoActions(), 0);
}

TEST(LabelTextEditing, RichTextFromTheClipboardPastesWithItsFormattingUnlessIgnored)
{
    EditingFixture f;
    const QByteArray rtf = "{\\rtf1\\ansi{\\fonttbl\\f0\\fswiss Helvetica;}{\\colortbl;\\red0\\green0\\blue255;}"
                           "\\f0\\fs28 Old {\\b Harbour} \\cf1 Quay}";
    QMimeData data;
    data.setData(QStringLiteral("text/rtf"), rtf);
    data.setText(QStringLiteral("plain words"));
    platform::Pasteboard pasteboard(&data);

    f.step([&] { f.label().pasteTextFromPasteboardIgnoreFormatting(&pasteboard, false); });
    ASSERT_EQ(f.label().text().string(), QStringLiteral("Old Harbour Quay"));
    EXPECT_TRUE(attributeOf(f.label(), platform::kFontAttributeName, 5).value<QFont>().bold());
    EXPECT_FALSE(attributeOf(f.label(), platform::kFontAttributeName, 0).value<QFont>().bold());
    EXPECT_EQ(attributeOf(f.label(), platform::kForegroundColourAttributeName, 13).value<QColor>(), QColor(Qt::blue));
    EXPECT_EQ(attributeOf(f.label(), platform::kFontAttributeName, 0).value<QFont>().pointSizeF(), 14.0);

    f.step([&] { f.label().pasteTextFromPasteboardIgnoreFormatting(&pasteboard, true); });
    EXPECT_EQ(f.label().text().string(), QStringLiteral("Old Harbour Quay"));
    EXPECT_FALSE(attributeOf(f.label(), platform::kFontAttributeName, 5).value<QFont>().bold());

    // RTF that does not read falls back to the plain text beside it.
    QMimeData broken;
    broken.setData(QStringLiteral("text/rtf"), QByteArray("not rtf at all"));
    broken.setText(QStringLiteral("plain words"));
    platform::Pasteboard fallback(&broken);
    f.label().pasteTextFromPasteboardIgnoreFormatting(&fallback, false);
    EXPECT_EQ(f.label().text().string(), QStringLiteral("plain words"));
}

TEST(LabelTextEditing, FindReachesShapesAndSymbolsThroughTheirLabels)
{
    EditingFixture f;
    f.label().setText(QStringLiteral("Harbour Basin"));
    f.shape->newTextLabel();
    f.shape->textLabels().last()->setText(QStringLiteral("Quay 4"));
    EXPECT_EQ(f.shape->searchableStrings().mid(f.shape->searchableStrings().size() - 2),
              (QStringList{QStringLiteral("Harbour Basin"), QStringLiteral("Quay 4")}));
    EXPECT_TRUE(f.shape->searchableString().contains(QStringLiteral("Harbour Basin Quay 4")));
    EXPECT_TRUE(f.shape->valueForKey(QStringLiteral("searchableString")).toString().contains(QStringLiteral("Quay 4")));

    const VXQSymbolPtr symbol = VXQSymbol::symbolWithMaster(VXQSymbolMaster::defaultSymbolMaster());
    f.layer->addObject(symbol);
    symbol->newTextLabel();
    symbol->textLabels().first()->setText(QStringLiteral("Lighthouse"));
    EXPECT_EQ(symbol->searchableStrings().last(), QStringLiteral("Lighthouse"));
    EXPECT_TRUE(symbol->valueForKey(QStringLiteral("searchableString")).toString().contains(QStringLiteral("Lighthouse")));
    // A label showing the symbol's name is found by the name.
    symbol->newTextLabel();
    symbol->setName(QStringLiteral("North Pier"));
    EXPECT_TRUE(symbol->searchableString().contains(QStringLiteral("North Pier")));

    EXPECT_TRUE(symbol->description().contains(QStringLiteral(", Master: Symbol Master")));
}
