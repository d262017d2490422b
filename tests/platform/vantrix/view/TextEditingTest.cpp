#include "platform/vantrix/view/ViewTestSupport.h"

#include "platform/foundation/NotificationCenter.h"
#include "platform/graphics/AttributedStringLayout.h"
#include "platform/vantrix/view/VXTextEditingDelegate.h"
#include "platform/vantrix/drawables/VXTextPath.h"
#include "platform/vantrix/drawables/VXTextShape.h"
#include "platform/vantrix/svg/VXSVGImporter.h"
#include "platform/vantrix/text/VXTextAdornment.h"
#include "platform/vantrix/tools/VXObjectCreationTool.h"
#include "platform/vantrix/settings/VXDrawingPreferences.h"
#include "support/PreferencesScope.h"

#include <QTextEdit>
#include <QScrollBar>
#include <QTextBlock>
#include <QTextLayout>

using viewtest::ViewFixture;

namespace {

const QRectF kBox{20, 20, 100, 40};

// A text shape in the layer with nothing to undo.
// Where an editor's text lies in the view's viewport: its frame and margins lie around.
QRect textArea(const QTextEdit* editor)
{
    const int inset = editor->frameWidth() + int(editor->document()->documentMargin());
    return editor->geometry().adjusted(inset, inset, -inset, -inset);
}

struct TextFixture : ViewFixture {
    std::shared_ptr<VXTextShape> text = VXTextShape::textShapeWithStringInRect(QStringLiteral("Harbour"), kBox);

    TextFixture()
    {
        text->setStyle(drawingtest::fillStyle(Qt::yellow));
        layer->addObject(text);
        forgetEdits();
    }
    QTextEdit* editor() const { return view.textEditor(); }
    // What a window system delivers: QTest's double click alone is just the second press's event.
    void doubleClick(QPointF p)
    {
        const QPoint pixel = view.convertPointFromDrawing(p).toPoint();
        QWidget* port = view.viewport();
        QTest::mouseClick(port, Qt::LeftButton, Qt::NoModifier, pixel);
        QTest::mousePress(port, Qt::LeftButton, Qt::NoModifier, pixel);
        QTest::mouseDClick(port, Qt::LeftButton, Qt::NoModifier, pixel);
        QTest::mouseRelease(port, Qt::LeftButton, Qt::NoModifier, pixel);
    }
};

// Records each ending, and the notifications posted around it, in order.
struct Recorder : QObject, VXTextEditingDelegate {
    QStringList events;
    QObject* sender = nullptr;

    explicit Recorder(QObject* view)
    {
        const auto record = [this](const platform::Notification& note) {
            events << note.name;
            sender = note.sender;
        };
        for (const QString& name : {kVXDrawingViewDidBeginTextEditing, kVXDrawingViewDidEndTextEditing})
            platform::NotificationCenter::defaultCenter().addObserver(this, name, view, record);
    }
    void textEditingDidEnd(const QString& text, bool cancelled) override
    {
        events << (cancelled ? QStringLiteral("cancelled ") : QStringLiteral("ended ")) + text;
    }
};

} // namespace

TEST(InPlaceTextEditing, DoubleClickEditsTheStringAndAClickElsewhereCommitsOneUndoStep)
{
    TextFixture f;
    f.doubleClick({40, 30});
    ASSERT_NE(f.editor(), nullptr);
    EXPECT_TRUE(f.editor()->isVisible());
    EXPECT_EQ(f.editor()->toPlainText(), "Harbour");
    EXPECT_EQ(textArea(f.editor()), f.view.convertRectFromDrawing(kBox).toAlignedRect());
    const int stepsBefore = f.undo->numberOfUndoActions();

    QTest::keyClicks(f.editor(), " Bay");
    EXPECT_EQ(f.text->string(), "Harbour"); // nothing changes while typing
    f.click({150, 150});
    EXPECT_EQ(f.editor(), nullptr);
    EXPECT_EQ(f.text->string(), "Harbour Bay");
    EXPECT_EQ(f.undo->numberOfUndoActions(), stepsBefore + 1);
    EXPECT_EQ(f.undo->undoActionName(), "Edit Text");
    f.undo->undo();
    EXPECT_EQ(f.text->string(), "Harbour");
    f.undo->redo();
    EXPECT_EQ(f.text->string(), "Harbour Bay");

    // A text path's string is edited the same way.
    platform::BezierPath baseline;
    baseline.moveToPoint({20, 150});
    baseline.lineToPoint({180, 150});
    auto road = VXTextPath::textPathWithStringOnPath(QStringLiteral("Road"), baseline);
    road->setStyle(drawingtest::strokeStyle(Qt::black, 4));
    f.layer->addObject(road);
    f.endStep();
    ASSERT_EQ(f.layer->hitTest({60, 150}).get(), road.get());
    f.doubleClick({60, 150}); // clear of the selection knobs
    ASSERT_NE(f.editor(), nullptr);
    EXPECT_EQ(f.editor()->toPlainText(), "Road");
    EXPECT_TRUE(f.editor()->geometry().contains(f.view.convertPointFromDrawing({60, 150}).toPoint()));
    QTest::keyClicks(f.editor(), "side");
    f.click({190, 10});
    EXPECT_EQ(road->string(), "Roadside");
    EXPECT_EQ(f.text->string(), "Harbour Bay");
    f.undo->undo();
    EXPECT_EQ(road->string(), "Road");
}

TEST(InPlaceTextEditing, EscapeKeepsWhatWasTypedAndUnchangedOrCancelledEditsLeaveNoUndoStep)
{
    TextFixture f;
    f.doubleClick({40, 30});
    ASSERT_NE(f.editor(), nullptr);
    const int stepsBefore = f.undo->numberOfUndoActions();
    QTest::keyClicks(f.editor(), "XYZ");
    QTest::keyClick(f.editor(), Qt::Key_Escape);
    EXPECT_EQ(f.editor(), nullptr);
    EXPECT_EQ(f.text->string(), "HarbourXYZ");
    EXPECT_EQ(f.undo->numberOfUndoActions(), stepsBefore + 1);
    f.undo->undo();
    EXPECT_EQ(f.text->string(), "Harbour");

    // Typed and deleted again: committed, but nothing to record; cancelled: nothing at all.
    f.doubleClick({40, 30});
    ASSERT_NE(f.editor(), nullptr);
    QTest::keyClicks(f.editor(), "!");
    QTest::keyClick(f.editor(), Qt::Key_Backspace);
    f.view.endTextEditing();
    f.doubleClick({40, 30});
    QTest::keyClicks(f.editor(), "?");
    f.view.cancelTextEditing();
    EXPECT_EQ(f.text->string(), "Harbour");
    EXPECT_EQ(f.undo->numberOfUndoActions(), stepsBefore);

    // A locked shape's text is not offered for editing.
    f.text->setLocked(true);
    f.doubleClick({40, 30});
    EXPECT_EQ(f.editor(), nullptr);
}

TEST(InPlaceTextEditing, NotificationsBracketTheDelegateAndReturnFollowsTheClassSetting)
{
    TextFixture f;
    Recorder recorder(&f.view);
    const testsupport::PreferencesScope inserts(&VXDrawingPreferences::returnInsertsNewline, false);
    f.view.editTextInRectDelegate(QStringLiteral("Quay"), {10, 10, 50, 30}, &recorder);
    ASSERT_NE(f.editor(), nullptr);
    EXPECT_EQ(recorder.sender, &f.view);
    QTest::keyClicks(f.editor(), "s");
    QTest::keyClick(f.editor(), Qt::Key_Return);
    EXPECT_EQ(f.editor(), nullptr);

    inserts.set(&VXDrawingPreferences::returnInsertsNewline, true);
    f.view.editTextInRectDelegate(QStringLiteral("North"), {10, 10, 50, 30}, &recorder);
    QTest::keyClick(f.editor(), Qt::Key_Return);
    QTest::keyClicks(f.editor(), "Mole");
    ASSERT_NE(f.editor(), nullptr);
    // Starting another edit commits the open one first.
    f.view.editTextInRectDelegate(QStringLiteral("Pier"), {10, 10, 50, 30}, &recorder);
    f.view.cancelTextEditing();
    const QString begin = kVXDrawingViewDidBeginTextEditing, end = kVXDrawingViewDidEndTextEditing;
    EXPECT_EQ(recorder.events, QStringList({begin, "ended Quays", end, begin, "ended North\nMole", end, begin,
                                            "cancelled Pier", end}));
}

TEST(InPlaceTextEditing, EditorCoversTheTextAndItsFontFollowsTheZoom)
{
    TextFixture f;
    f.view.setScale(2.0);
    QFont font(QStringLiteral("DejaVu Serif"));
    font.setPointSizeF(15);
    font.setItalic(true);
    f.view.editTextInRectDelegate(QStringLiteral("Harbour"), kBox, nullptr, font);
    const QTextEdit* editor = f.editor();
    ASSERT_TRUE(editor);
    EXPECT_EQ(textArea(editor), f.view.convertRectFromDrawing(kBox).toAlignedRect());
    // Pixels on screen: 15 points of paper at 2 pixels per point.
    const auto pixels = [&] { return editor->font().pointSizeF() * editor->logicalDpiY() / 72.0; };
    EXPECT_NEAR(pixels(), 30, 1e-6);
    EXPECT_EQ(editor->font().family(), font.family());
    EXPECT_TRUE(editor->font().italic());

    // Smaller than the text at half size only where the minimum room to type applies.
    f.view.setScale(0.5);
    EXPECT_NEAR(pixels(), 7.5, 1e-6);
    EXPECT_EQ(textArea(editor).topLeft(), f.view.convertRectFromDrawing(kBox).toAlignedRect().topLeft());
    EXPECT_EQ(textArea(editor).width(), 50);
    EXPECT_GE(textArea(editor).height(), 12);
    f.view.cancelTextEditing();
}

TEST(InPlaceTextEditing, TextToolTypingReplacesThePlaceholderAndTheEditorGrowsWithTheLines)
{
    TextFixture f;
    const testsupport::PreferencesScope starts(&VXDrawingPreferences::startEditingOnObjectCreation, true);
    f.useTool(QStringLiteral("Text"));
    f.drag({20, 100}, {120, 140});
    ASSERT_EQ(f.layer->objects().size(), 2);
    auto* created = qobject_cast<VXTextShape*>(f.layer->objects().last().get());
    ASSERT_NE(created, nullptr);
    QTextEdit* editor = f.editor();
    ASSERT_NE(editor, nullptr);
    const QRect box = f.view.convertRectFromDrawing(created->logicalBounds()).toAlignedRect();
    EXPECT_EQ(textArea(editor), box);
    const QString placeholder = created->string();

    // Three lines do not fit the 40 point box: the editor reaches down instead of scrolling.
    QTest::keyClicks(editor, "Riverside Park");
    QTest::keyClick(editor, Qt::Key_Return);
    QTest::keyClicks(editor, "Quay");
    QTest::keyClick(editor, Qt::Key_Return);
    QTest::keyClicks(editor, "North");
    EXPECT_EQ(textArea(editor).topLeft(), box.topLeft());
    EXPECT_EQ(textArea(editor).width(), box.width());
    EXPECT_GE(editor->height(), 3 * editor->fontMetrics().lineSpacing());
    EXPECT_EQ(editor->verticalScrollBar()->maximum(), 0);
    EXPECT_EQ(editor->verticalScrollBar()->value(), 0);
    // Fewer lines give the room back, down to the box.
    const int tall = editor->height();
    for (int i = 0; i < 6; ++i) // "\nNorth"
        QTest::keyClick(editor, Qt::Key_Backspace);
    EXPECT_LT(editor->height(), tall);
    EXPECT_EQ(editor->verticalScrollBar()->maximum(), 0);

    QTest::keyClick(editor, Qt::Key_Escape);
    EXPECT_EQ(f.editor(), nullptr);
    EXPECT_EQ(created->string(), "Riverside Park\nQuay");
    EXPECT_EQ(f.undo->undoActionName(), "Edit Text");
    f.undo->undo();
    EXPECT_EQ(created->string(), placeholder);
    EXPECT_EQ(f.layer->objects().size(), 2); // the edit goes, the new shape stays

    starts.set(&VXDrawingPreferences::startEditingOnObjectCreation, false);
    f.useTool(QStringLiteral("Text"));
    f.drag({20, 150}, {120, 190});
    EXPECT_EQ(f.layer->objects().size(), 3);
    EXPECT_EQ(f.editor(), nullptr);
}

TEST(InPlaceTextEditing, AClickWithTheTextToolMakesTextThereUnlessItLandsOnText)
{
    TextFixture f;
    const testsupport::PreferencesScope starts(&VXDrawingPreferences::startEditingOnObjectCreation, true);
    f.useTool(QStringLiteral("Text"));
    const auto tool = std::dynamic_pointer_cast<VXObjectCreationTool>(VXDrawingTool::drawingToolWithName("Text"));
    ASSERT_TRUE(tool);
    f.click({150, 60});
    ASSERT_EQ(f.layer->objects().size(), 2);
    auto* created = qobject_cast<VXTextShape*>(f.layer->objects().last().get());
    ASSERT_NE(created, nullptr);
    EXPECT_EQ(created->logicalBounds().topLeft(), QPointF(150, 60));
    EXPECT_EQ(created->size(), tool->prototype()->size());
    ASSERT_NE(f.editor(), nullptr);
    QTest::keyClicks(f.editor(), "Quay");
    QTest::keyClick(f.editor(), Qt::Key_Escape);
    EXPECT_EQ(created->string(), "Quay");

    // A click on that text edits it rather than stacking another on it.
    f.useTool(QStringLiteral("Text"));
    f.click({160, 70});
    EXPECT_EQ(f.layer->objects().size(), 2);
    ASSERT_NE(f.editor(), nullptr);
    QTest::keyClick(f.editor(), Qt::Key_Escape);
    f.undo->undo();
    f.undo->undo();
    EXPECT_EQ(f.layer->objects().size(), 1);
}

TEST(InPlaceTextEditing, LabelOptionsCommitOnReturnBreakOnShiftReturnAndKeepTheEditorWithinItsLimits)
{
    TextFixture f;
    Recorder recorder(&f.view);
    // The options win over the text shapes' setting.
    const testsupport::PreferencesScope inserts(&VXDrawingPreferences::returnInsertsNewline, true);
    platform::TextEditingOptions options;
    options.returnCommits = true;
    options.growsHorizontally = true;
    options.minimumSize = {30, 30};
    options.maximumSize = {120, 50};
    f.view.setScale(2.0);
    const QFont font = platform::AttributedStringLayout::defaultFont();
    f.view.editTextInRectDelegate(QStringLiteral("Bay"), {10, 10, 5, 5}, &recorder, font, options);
    QTextEdit* editor = f.editor();
    ASSERT_NE(editor, nullptr);
    // The minimum in drawing units, at the view's scale.
    EXPECT_EQ(textArea(editor).size(), QSize(60, 60));
    // Typing widens the editor to its longest line, up to the maximum width, then wraps and deepens.
    QTest::keyClicks(editor, " of Islands");
    QTest::keyClick(editor, Qt::Key_Tab);
    const int oneLine = textArea(editor).width();
    EXPECT_GT(oneLine, 60);
    EXPECT_LT(oneLine, 240);
    EXPECT_EQ(textArea(editor).height(), 60);
    QTest::keyClick(editor, Qt::Key_Return, Qt::ShiftModifier);
    QTest::keyClicks(editor, "North");
    EXPECT_EQ(textArea(editor).width(), oneLine); // a shorter second line
    for (int i = 0; i < 4; ++i)
        QTest::keyClicks(editor, " and far far away");
    EXPECT_EQ(textArea(editor).size(), QSize(240, 100));
    QTest::keyClick(editor, Qt::Key_Return);
    EXPECT_EQ(f.editor(), nullptr);
    ASSERT_EQ(recorder.events.size(), 3);
    EXPECT_EQ(recorder.events[1],
              "ended Bay of Islands\t\nNorth and far far away and far far away and far far away and far far away");

    // A fixed width stays the area's however long the line.
    options.growsHorizontally = false;
    f.view.setScale(1.0);
    f.view.editTextInRectDelegate(QStringLiteral("Cape"), {10, 10, 80, 20}, &recorder, font, options);
    QTest::keyClicks(f.editor(), " Reinga and the lighthouse beyond");
    EXPECT_EQ(textArea(f.editor()).width(), 80);
    EXPECT_GT(textArea(f.editor()).height(), 20);
    f.view.cancelTextEditing();
}


TEST(InPlaceTextEditing, TheEditorShowsTheTextWhereTheDrawingDoesAndTheBoxGrowsToHoldWhatWasTyped)
{
    TextFixture f;
    QFont font(QStringLiteral("DejaVu Sans"));
    font.setPointSizeF(12);
    f.text->setFont(font);
    // The first line starts on the same pixel at every zoom, and wraps at the box's width.
    for (const double scale : {1.0, 2.0, 0.5, 1.5}) {
        f.view.setScale(scale);
        f.doubleClick({40, 30});
        QTextEdit* editor = f.editor();
        ASSERT_TRUE(editor);
        const QRect line = editor->cursorRect(QTextCursor(editor->document()));
        const QPointF shown = f.view.convertPointFromDrawing(
            kBox.topLeft() + f.text->textAdornment()->textLayoutRectForObject(*f.text).topLeft());
        viewtest::expectPointNear(editor->viewport()->mapTo(f.view.viewport(), line.topLeft()), shown, 0.5);
        EXPECT_NEAR(editor->document()->firstBlock().layout()->lineAt(0).width(), kBox.width() * scale, 1) << scale;
        QTest::keyClick(editor, Qt::Key_Escape);
    }

    // Imported text sits in a box just wider than its line: the editor keeps it on one line.
    f.view.setScale(1);
    const auto imported = VXSVGImporter::importData(
        "<svg xmlns='http://www.w3.org/2000/svg' width='200' height='200'><text x='10' y='150'>Central Park</text></svg>", {});
    ASSERT_TRUE(imported);
    const auto park = std::dynamic_pointer_cast<VXTextShape>(imported->objects.value(0));
    ASSERT_TRUE(park);
    f.layer->addObject(park);
    const QRectF parkBox = park->logicalBounds();
    f.doubleClick(parkBox.center());
    ASSERT_TRUE(f.editor());
    EXPECT_EQ(f.editor()->document()->firstBlock().layout()->lineCount(), 1);
    QTest::keyClick(f.editor(), Qt::Key_Escape);
    EXPECT_LE(park->textAdornment()->textLayoutRectForObject(*park).height(), parkBox.height());

    // Typed past its box, a text shape's box reaches down to hold it, in the same undo step.
    f.forgetEdits();
    f.view.setScale(1);
    f.doubleClick({40, 30});
    QTest::keyClicks(f.editor(), " and the long quay along the northern harbour wall");
    QTest::keyClick(f.editor(), Qt::Key_Escape);
    const QRectF grown = f.text->logicalBounds();
    const QRectF text = f.text->textAdornment()->textLayoutRectForObject(*f.text);
    EXPECT_GT(text.height(), kBox.height());
    viewtest::expectRectNear(grown, QRectF(kBox.topLeft(), QSizeF(kBox.width(), std::ceil(text.height()))));
    EXPECT_EQ(f.undo->numberOfUndoActions(), 1);
    f.undo->undo();
    EXPECT_EQ(f.text->string(), "Harbour");
    viewtest::expectRectNear(f.text->logicalBounds(), kBox);
}

TEST(InPlaceTextEditing, TextPathsOpenForTypingWhenMadeAndWhenClickedWithTheirTool)
{
    TextFixture f;
    const testsupport::PreferencesScope starts(&VXDrawingPreferences::startEditingOnObjectCreation, true);
    f.useTool(QStringLiteral("Text Path"));
    f.drag({20, 120}, {180, 120});
    ASSERT_EQ(f.layer->objects().size(), 2);
    const auto lane = std::dynamic_pointer_cast<VXTextPath>(f.layer->objects().last());
    ASSERT_TRUE(lane);
    ASSERT_TRUE(f.editor());
    EXPECT_EQ(f.editor()->textCursor().selectedText(), lane->string()); // the placeholder, replaced by typing
    QTest::keyClicks(f.editor(), "Mill Lane");
    QTest::keyClick(f.editor(), Qt::Key_Return); // one line: Return commits
    EXPECT_EQ(f.editor(), nullptr);
    EXPECT_EQ(lane->string(), "Mill Lane");
    EXPECT_EQ(f.undo->undoActionName(), "Edit Text");

    // A click on it with the tool edits it rather than making another; a drag from it makes one.
    f.useTool(QStringLiteral("Text Path"));
    f.click({60, 120});
    ASSERT_TRUE(f.editor());
    EXPECT_EQ(f.editor()->toPlainText(), "Mill Lane");
    QTest::keyClicks(f.editor(), " East");
    QTest::keyClick(f.editor(), Qt::Key_Escape);
    EXPECT_EQ(lane->string(), "Mill Lane East");
    EXPECT_EQ(f.layer->objects().size(), 2);
    f.view.toolController()->setDrawingTool(nullptr);
    f.doubleClick({40, 113}); // and a double click on its text with the selection tool
    ASSERT_TRUE(f.editor());
    QTest::keyClick(f.editor(), Qt::Key_Escape);
    f.useTool(QStringLiteral("Text Path"));
    f.drag({60, 120}, {60, 180});
    EXPECT_EQ(f.layer->objects().size(), 3);
    QTest::keyClick(f.editor(), Qt::Key_Escape);
}
