#include "platform/vantrix/view/InPlaceTextEditing.h"

#include "platform/foundation/NotificationCenter.h"
#include "platform/vantrix/drawables/VXTextShape.h"
#include "platform/vantrix/view/VXDrawingView.h"
#include "platform/vantrix/view/VXTextEditingDelegate.h"

#include <QAbstractTextDocumentLayout>
#include <QKeyEvent>
#include <QPlainTextEdit>
#include <QScopedValueRollback>
#include <QTextBlock>
#include <QtMath>
#include <algorithm>
#include <functional>

namespace platform {
namespace {

constexpr QSize kMinimumEditorSize{48, 24}; // room to type into for text that covers nothing yet

} // namespace

// Reports the end of typing (Escape, Return, the focus leaving) once. Never scrolls: it reaches down past
// its area as far as its text needs.
class InPlaceTextEditing::Editor : public QPlainTextEdit {
public:
    using Finish = std::function<void()>;

    Editor(const QString& text, QWidget* parent, Finish finish)
        : QPlainTextEdit(text, parent)
        , m_finish(std::move(finish))
    {
        setFrameShape(QFrame::Box);
        setLineWrapMode(QPlainTextEdit::WidgetWidth);
        setVerticalScrollBarPolicy(Qt::ScrollBarAlwaysOff);
        setHorizontalScrollBarPolicy(Qt::ScrollBarAlwaysOff);
        moveCursor(QTextCursor::End);
        connect(document()->documentLayout(), &QAbstractTextDocumentLayout::documentSizeChanged, this,
                [this] { fitText(); });
    }

    // The editor may outlive the edit (it goes later); later events must not end another edit.
    void detach() { m_finish = nullptr; }

    // Covers `area`, and more of the viewport below it when the text is taller.
    void setArea(const QRect& area)
    {
        m_area = area;
        fitText();
    }

protected:
    void keyPressEvent(QKeyEvent* event) override
    {
        const bool isReturn = event->key() == Qt::Key_Return || event->key() == Qt::Key_Enter;
        if (event->key() == Qt::Key_Escape || (isReturn && !VXTextShape::returnInsertsNewline()))
            finish();
        else
            QPlainTextEdit::keyPressEvent(event);
    }

    void focusOutEvent(QFocusEvent* event) override
    {
        QPlainTextEdit::focusOutEvent(event);
        // A context menu or another window coming forward does not end the edit.
        if (event->reason() != Qt::PopupFocusReason && event->reason() != Qt::ActiveWindowFocusReason)
            finish();
    }

    void resizeEvent(QResizeEvent* event) override
    {
        QPlainTextEdit::resizeEvent(event);
        // A new width wraps the text anew (the first resize of a shown editor comes from nothing).
        if (event->oldSize().width() != event->size().width())
            fitText();
    }

private:
    void finish()
    {
        if (Finish finish = std::exchange(m_finish, nullptr))
            finish();
    }

    // The editor's height that shows every line of its text.
    int heightOfText() const
    {
        double lines = 0;
        for (QTextBlock block = document()->begin(); block.isValid(); block = block.next())
            lines += blockBoundingRect(block).height(); // the last block's includes the bottom margin
        // The top margin, and the spare pixel row below the text without which the editor scrolls.
        const double viewport = lines + document()->documentMargin() + 1;
        return qCeil(viewport) + 2 * frameWidth();
    }

    void fitText()
    {
        // Measuring lays the text out, which may report a new size again.
        if (m_fitting || m_area.isNull())
            return;
        const QScopedValueRollback fitting(m_fitting, true);
        setGeometry(QRect(m_area.topLeft(), QSize(m_area.width(), std::max(m_area.height(), heightOfText()))));
    }

    Finish m_finish;
    QRect m_area;
    bool m_fitting = false;
};

InPlaceTextEditing::InPlaceTextEditing(VXDrawingView& view)
    : m_view(view)
{
}

QPlainTextEdit* InPlaceTextEditing::editor() const { return m_editor; }

void InPlaceTextEditing::begin(const QString& text, const QRectF& drawingRect, QObject* delegate,
                               const QFont& font)
{
    finish(false);
    m_drawingRect = drawingRect.normalized();
    m_font = font;
    m_delegate = delegate;
    m_editor = new Editor(text, m_view.viewport(), [this] { finish(false); });
    place();
    m_editor->show();
    m_editor->setFocus(Qt::OtherFocusReason);
    NotificationCenter::defaultCenter().postNotificationName(kVXDrawingViewDidBeginTextEditing, &m_view);
}

void InPlaceTextEditing::finish(bool cancelled)
{
    // Taken first: hiding the editor moves the focus, which would end the edit again.
    const QPointer<Editor> editor = std::exchange(m_editor, nullptr);
    if (!editor)
        return;
    editor->detach();
    const QString text = editor->toPlainText();
    const QPointer<QObject> delegateObject = std::exchange(m_delegate, nullptr);
    if (auto* delegate = dynamic_cast<VXTextEditingDelegate*>(delegateObject.data()))
        delegate->textEditingDidEnd(text, cancelled);
    NotificationCenter::defaultCenter().postNotificationName(kVXDrawingViewDidEndTextEditing, &m_view);
    if (editor) {
        const bool hadFocus = editor->hasFocus();
        editor->hide();
        // Deleted later: the edit may end inside one of the editor's own event handlers.
        editor->deleteLater();
        if (hadFocus)
            m_view.setFocus(Qt::OtherFocusReason);
    }
}

void InPlaceTextEditing::place()
{
    if (!m_editor)
        return;
    // Drawings lay text out at 72 units per inch: a 12 point font is 12 points high on the paper.
    const double pointsOnPaper = m_font.pointSizeF() > 0 ? m_font.pointSizeF() : m_font.pixelSize();
    QFont zoomed = m_font;
    zoomed.setPointSizeF(std::max(1.0, pointsOnPaper * m_view.scale() * 72.0 / m_editor->logicalDpiY()));
    m_editor->setFont(zoomed); // first: the font decides how tall the text is
    const QRect area = m_view.convertRectFromDrawing(m_drawingRect).toAlignedRect();
    m_editor->setArea(QRect(area.topLeft(), area.size().expandedTo(kMinimumEditorSize)));
}

} // namespace platform
