// Rich text from the clipboard into labels, as a user pastes it in a map window: Ctrl+V and
// Edit > Paste in a label being edited, and Ctrl+V on a selected label; and text too long for a
// label or a text box.

#include "platform/foundation/RunLoop.h"
#include "platform/foundation/ZQUndoManager.h"
#include "platform/ui/Menu.h"
#include "platform/ui/ResponderChain.h"
#include "platform/graphics/RTFReading.h"
#include "platform/vantrix/drawables/VXTextShape.h"
#include "platform/vantrix/model/VXObjectDrawingLayer.h"
#include "platform/vantrix/text/PastedText.h"
#include "platform/vantrix/view/ObjectStringEditing.h"
#include "platform/vantrix/view/VXDrawingView.h"
#include "symbols/shapes/VXQLabelledShape.h"
#include "platform/ui/UiTestSupport.h"
#include "support/MapWindowTesting.h"
#include "support/ThreadTime.h"

#include <QApplication>
#include <QClipboard>
#include <QLocale>
#include <QMessageBox>
#include <QMimeData>
#include <QTest>
#include <QTextEdit>
#include <gtest/gtest.h>

namespace {

const QByteArray kBoldRedHTML = "<b><span style=\"color:#ff0000\">Square</span></b>";
const QByteArray kBoldRedRTF = "{\\rtf1{\\colortbl;\\red255\\green0\\blue0;}{\\b\\cf1 Square}}";

void putOnClipboard(const QString& mimeType, const QByteArray& data)
{
    auto* mime = new QMimeData;
    mime->setData(mimeType, data);
    QApplication::clipboard()->setMimeData(mime);
}

// A map window with a labelled square whose label, "Market  North", is selected.
class LabelWindow : public testsupport::MapWindowTest {
protected:
    void SetUp() override
    {
        MapWindowTest::SetUp();
        if (HasFatalFailure())
            return;
        layer = objectLayer();
        ASSERT_TRUE(layer);
        shape->adoptPathFromDrawing(platform::BezierPath::bezierPathWithRect({100, 100, 200, 80}));
        layer->addObject(shape);
        shape->newTextLabel();
        label().setText(QStringLiteral("Market  North"));
        layer->replaceSelectionWithObject(shape);
        shape->selectTextLabelExtendingSelection(&label(), false);
        document->undoManager()->removeAllActions();
    }

    VXQTextLabel& label() const { return *shape->textLabels().first(); }
    VXDrawingView* view() const { return document->mainView(); }
    // Edits the label in place with the caret between the blanks.
    QTextEdit* startEditing() const
    {
        label().startEditingInView(view());
        QTextEdit* editor = view()->textEditor();
        if (editor) {
            QTextCursor caret = editor->textCursor();
            caret.setPosition(7);
            editor->setTextCursor(caret);
        }
        return editor;
    }
    bool boldAt(qsizetype index) const
    {
        return label().text().attributeAtIndexEffectiveRange(platform::kFontAttributeName, index).value<QFont>().bold();
    }
    QColor colourAt(qsizetype index) const
    {
        return label()
            .text()
            .attributeAtIndexEffectiveRange(platform::kForegroundColourAttributeName, index)
            .value<QColor>();
    }
    VXObjectDrawingLayer* layer = nullptr;
    VXQLabelledShapePtr shape = std::make_shared<VXQLabelledShape>();
};

} // namespace

TEST_F(LabelWindow, CtrlVAndEditPastePutHTMLOrRTFIntoALabelBeingEdited)
{
    // Ctrl+V with HTML alone, then Edit > Paste with RTF alone.
    putOnClipboard(QStringLiteral("text/html"), kBoldRedHTML);
    QTextEdit* editor = startEditing();
    ASSERT_TRUE(editor);
    QTest::keyClick(editor, Qt::Key_V, Qt::ControlModifier);
    EXPECT_EQ(editor->toPlainText(), QStringLiteral("Market Square North"));
    view()->endTextEditing();
    ASSERT_EQ(label().text().string(), QStringLiteral("Market Square North"));
    EXPECT_TRUE(boldAt(8));
    EXPECT_EQ(colourAt(8), QColor(Qt::red));
    EXPECT_FALSE(boldAt(0));
    EXPECT_FALSE(boldAt(15));
    EXPECT_EQ(document->undoManager()->undoActionName(), QStringLiteral("Edit Label Text"));
    document->undoManager()->undo();
    EXPECT_EQ(label().text().string(), QStringLiteral("Market  North"));

    putOnClipboard(QStringLiteral("text/rtf"), kBoldRedRTF);
    editor = startEditing();
    platform::MenuItem* paste = item("Edit", "Paste");
    ASSERT_TRUE(paste && paste->validate());
    paste->trigger();
    view()->endTextEditing();
    ASSERT_EQ(label().text().string(), QStringLiteral("Market Square North"));
    EXPECT_TRUE(boldAt(8));
    EXPECT_EQ(colourAt(8), QColor(Qt::red));
    EXPECT_FALSE(boldAt(15));
}

TEST_F(LabelWindow, CtrlVOnASelectedLabelReplacesItsTextAsOneStepAndSaysWhyWhenItCannot)
{
    putOnClipboard(QStringLiteral("text/html"), kBoldRedHTML);
    ASSERT_TRUE(item("Edit", "Paste")->validate());
    QTest::keyClick(view(), Qt::Key_V, Qt::ControlModifier);
    ASSERT_EQ(label().text().string(), QStringLiteral("Square"));
    EXPECT_TRUE(boldAt(0));
    EXPECT_EQ(colourAt(0), QColor(Qt::red));
    document->undoManager()->closeAutomaticGroup();
    EXPECT_EQ(document->undoManager()->undoActionName(), QStringLiteral("Paste Text"));
    document->undoManager()->undo();
    EXPECT_EQ(label().text().string(), QStringLiteral("Market  North"));

    // Markup nested past the bound: nothing changes, and an alert says why.
    QString deep;
    for (int i = 0; i < 600; ++i)
        deep += QStringLiteral("<span>");
    putOnClipboard(QStringLiteral("text/html"), (deep + QStringLiteral("Square")).toUtf8());
    QTest::keyClick(view(), Qt::Key_V, Qt::ControlModifier);
    EXPECT_EQ(label().text().string(), QStringLiteral("Market  North"));
    auto* alert = uitest::shownWindow<QMessageBox>();
    ASSERT_TRUE(alert);
    EXPECT_EQ(alert->informativeText(), QStringLiteral("The HTML nests its elements more than 256 deep."));
    alert->close();
    platform::RunLoop::runUntilIdle();
}

TEST_F(LabelWindow, TextTooLongForALabelOrATextBoxIsRefusedAtOnceAndAnAlertSaysWhy)
{
    const QString tooLong = QStringLiteral("The text is longer than the %1 characters a label or a text box can hold.")
                                .arg(QLocale().toString(platform::kMaximumPastedTextLength));
    // Nearly 16 MiB of RTF on a selected label: refused, not read and laid out for half a minute.
    const QByteArray paragraph = "{\\b bold} {\\i italic} plain\\par ";
    const QByteArray rtf = "{\\rtf1 " + paragraph.repeated((platform::kMaximumRTFLength - 64) / paragraph.size()) + "}";
    const auto pasteOnTheLabel = [&](const QString& type, const QByteArray& data) {
        putOnClipboard(type, data);
        QTest::keyClick(view(), Qt::Key_V, Qt::ControlModifier);
        view()->repaint();
    };
    pasteOnTheLabel(QStringLiteral("text/rtf"), rtf);
    EXPECT_EQ(label().text().string(), QStringLiteral("Market  North"));
    auto* alert = uitest::shownWindow<QMessageBox>();
    ASSERT_TRUE(alert);
    EXPECT_EQ(alert->informativeText(), tooLong);
    alert->close();
    platform::RunLoop::runUntilIdle();
    // The longest text a label holds is pasted, laid out and drawn.
    const QByteArray words = QByteArray("Quay ").repeated(platform::kMaximumPastedTextLength / 5);
    pasteOnTheLabel(QStringLiteral("text/plain"), words);
    EXPECT_EQ(label().text().length(), platform::kMaximumPastedTextLength);

    // The refusal takes about as long as a paste of the same runs up to the bound, not the half
    // minute of reading them all; the longest paste about four times an eighth of it, not the
    // seconds of visiting every tile it spans nor the square of its length.
    constexpr int kParagraphText = 18; // "bold italic plain\n"
    const QByteArray upToTheBound =
        "{\\rtf1 " + paragraph.repeated(platform::kMaximumPastedTextLength / kParagraphText) + "}";
    const testsupport::PairedTimes refusal = testsupport::leastThreadSecondsInTurns(
        [&] {
            pasteOnTheLabel(QStringLiteral("text/rtf"), rtf);
            if (auto* shown = uitest::shownWindow<QMessageBox>())
                shown->close();
        },
        [&] { pasteOnTheLabel(QStringLiteral("text/rtf"), upToTheBound); });
    EXPECT_LT(refusal.ratio(), 3.0) << refusal;
    const testsupport::PairedTimes longest = testsupport::leastThreadSecondsInTurns(
        [&] { pasteOnTheLabel(QStringLiteral("text/plain"), words); },
        [&] { pasteOnTheLabel(QStringLiteral("text/plain"), words.first(words.size() / 8)); });
    EXPECT_LT(longest.ratio(), 12.0) << longest;
    platform::RunLoop::runUntilIdle();

    // A text box being edited takes none of it either.
    auto box = VXTextShape::textShapeWithStringInRect(QStringLiteral("Harbour"), {100, 300, 200, 40});
    layer->addObject(box);
    ASSERT_TRUE(platform::editObjectStringInView(box, *view()));
    QTextEdit* editor = view()->textEditor();
    ASSERT_TRUE(editor);
    putOnClipboard(QStringLiteral("text/plain"), QByteArray(platform::kMaximumPastedTextLength + 1, 'x'));
    QTest::keyClick(editor, Qt::Key_V, Qt::ControlModifier);
    EXPECT_EQ(editor->toPlainText(), QStringLiteral("Harbour"));
    alert = uitest::shownWindow<QMessageBox>();
    ASSERT_TRUE(alert);
    EXPECT_EQ(alert->informativeText(), tooLong);
    alert->close();
    view()->endTextEditing();
    platform::RunLoop::runUntilIdle();
    EXPECT_EQ(box->valueForKey(QStringLiteral("string")).toString(), QStringLiteral("Harbour"));
}
