// Text boxes edited as rich text in a map window: Format > Bold and Ctrl+B reach the selected
// characters only, rich text pasted from the clipboard keeps its runs, and the runs survive
// saving and opening the map.

#include "app/document/ZQTrueQuorvaneDocument.h"
#include "platform/foundation/ZQUndoManager.h"
#include "platform/vantrix/drawables/VXTextShape.h"
#include "platform/vantrix/model/VXObjectDrawingLayer.h"
#include "platform/vantrix/text/VXTextAdornment.h"
#include "platform/vantrix/view/VXDrawingView.h"
#include "support/MapWindowTesting.h"

#include <QApplication>
#include <QClipboard>
#include <QMimeData>
#include <QTemporaryDir>
#include <QTest>
#include <QTextEdit>
#include <gtest/gtest.h>

namespace {

void putOnClipboard(const QString& mimeType, const QByteArray& data)
{
    auto* mime = new QMimeData;
    mime->setData(mimeType, data);
    QApplication::clipboard()->setMimeData(mime);
}

platform::TextAttributes attributesAt(const VXTextShape& shape, qsizetype index)
{
    return shape.textAdornment()->textForEditing().attributesAtIndexEffectiveRange(index);
}

bool boldAt(const VXTextShape& shape, qsizetype index)
{
    return attributesAt(shape, index).value(platform::kFontAttributeName).value<QFont>().bold();
}

// A map window with the text box "Market Square North", selected.
class TextBoxWindow : public testsupport::MapWindowTest {
protected:
    void SetUp() override
    {
        MapWindowTest::SetUp();
        if (HasFatalFailure())
            return;
        box->setFont(QFont(QStringLiteral("DejaVu Sans"), 12));
        objectLayer()->addObject(box);
        objectLayer()->replaceSelectionWithObject(box);
        document->undoManager()->removeAllActions();
    }

    VXDrawingView* view() const { return document->mainView(); }
    // Double-clicks the box, as a window system delivers it, and selects the characters.
    QTextEdit* editRange(int from, int to) const
    {
        const QPoint pixel = view()->convertPointFromDrawing({150, 120}).toPoint();
        QWidget* port = view()->viewport();
        QTest::mouseClick(port, Qt::LeftButton, Qt::NoModifier, pixel);
        QTest::mousePress(port, Qt::LeftButton, Qt::NoModifier, pixel);
        QTest::mouseDClick(port, Qt::LeftButton, Qt::NoModifier, pixel);
        QTest::mouseRelease(port, Qt::LeftButton, Qt::NoModifier, pixel);
        QTextEdit* editor = view()->textEditor();
        if (editor) {
            QTextCursor cursor = editor->textCursor();
            cursor.setPosition(from);
            cursor.setPosition(to, QTextCursor::KeepAnchor);
            editor->setTextCursor(cursor);
        }
        return editor;
    }
    void endStep() const
    {
        platform::RunLoop::runUntilIdle();
        document->undoManager()->closeAutomaticGroup();
    }

    std::shared_ptr<VXTextShape> box =
        VXTextShape::textShapeWithStringInRect(QStringLiteral("Market Square North"), {100, 100, 260, 60});
};

} // namespace

TEST_F(TextBoxWindow, FormatBoldAndCtrlBChangeOnlyTheSelectedWordsAsOneStepThatSurvivesSaving)
{
    QTextEdit* editor = editRange(7, 13); // "Square"
    ASSERT_TRUE(editor);
    item("Format", "Bold")->trigger();
    EXPECT_TRUE(editor->textCursor().charFormat().font().bold()) << "the editor shows the change at once";
    EXPECT_FALSE(boldAt(*box, 8)) << "the box changes when the edit ends";
    QTextCursor north = editor->textCursor();
    north.setPosition(14);
    north.setPosition(19, QTextCursor::KeepAnchor);
    editor->setTextCursor(north);
    QTest::keyClick(editor, Qt::Key_B, Qt::ControlModifier);
    view()->endTextEditing();
    endStep();

    ASSERT_EQ(box->string(), QStringLiteral("Market Square North"));
    for (int i = 0; i < 19; ++i)
        EXPECT_EQ(boldAt(*box, i), (i >= 7 && i < 13) || i >= 14) << i;
    ZQUndoManager& undo = *document->undoManager();
    EXPECT_EQ(undo.numberOfUndoActions(), 1);
    EXPECT_EQ(undo.undoActionName(), QStringLiteral("Edit Text"));
    undo.undo();
    EXPECT_FALSE(boldAt(*box, 8));
    undo.redo();
    EXPECT_TRUE(boldAt(*box, 8));

    QTemporaryDir folder;
    const QUrl url = QUrl::fromLocalFile(folder.filePath(QStringLiteral("market.qvnl")));
    QuorvaneError error;
    ASSERT_TRUE(document->saveToURLOfTypeForSaveOperationError(url, kZQMapDocumentType,
                                                               platform::Document::SaveOperation, &error));
    auto reopened = std::make_shared<ZQTrueQuorvaneDocument>();
    ASSERT_TRUE(reopened->initWithContentsOfURLOfTypeError(url, kZQMapDocumentType, &error));
    const auto* layer = qobject_cast<VXObjectDrawingLayer*>(reopened->drawing()->activeLayer());
    ASSERT_TRUE(layer);
    const VXTextShape* read = nullptr;
    for (const VXDrawableObjectPtr& object : layer->objects())
        read = read ? read : qobject_cast<const VXTextShape*>(object.get());
    ASSERT_TRUE(read);
    for (int i = 0; i < 19; ++i)
        EXPECT_EQ(boldAt(*read, i), boldAt(*box, i)) << i;
    EXPECT_EQ(read->font(), box->font());
}

TEST_F(TextBoxWindow, PastedHTMLAndRTFKeepTheirRunsAndAnUnchangedEditLeavesNoStep)
{
    QTextEdit* editor = editRange(7, 13);
    ASSERT_TRUE(editor);
    view()->endTextEditing();
    endStep();
    EXPECT_EQ(document->undoManager()->numberOfUndoActions(), 0);

    putOnClipboard(QStringLiteral("text/html"), "<b><span style=\"color:#ff0000\">Quay</span></b>");
    editor = editRange(7, 13);
    QTest::keyClick(editor, Qt::Key_V, Qt::ControlModifier);
    putOnClipboard(QStringLiteral("text/rtf"), "{\\rtf1{\\i Old }}");
    QTextCursor start = editor->textCursor();
    start.setPosition(0);
    editor->setTextCursor(start);
    item("Edit", "Paste")->trigger();
    view()->endTextEditing();
    endStep();

    ASSERT_EQ(box->string(), QStringLiteral("Old Market Quay North"));
    const auto italicAt = [this](qsizetype i) {
        return attributesAt(*box, i).value(platform::kFontAttributeName).value<QFont>().italic();
    };
    EXPECT_TRUE(italicAt(0));
    EXPECT_FALSE(italicAt(4));
    EXPECT_TRUE(boldAt(*box, 12));
    EXPECT_EQ(attributesAt(*box, 12).value(platform::kForegroundColourAttributeName).value<QColor>(), QColor(Qt::red));
    EXPECT_FALSE(boldAt(*box, 17));
    EXPECT_EQ(document->undoManager()->numberOfUndoActions(), 1);
}
