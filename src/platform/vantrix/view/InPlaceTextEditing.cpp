#include "platform/vantrix/view/InPlaceTextEditing.h"

#include "platform/foundation/NotificationCenter.h"
#include "platform/vantrix/drawables/VXTextShape.h"
#include "platform/vantrix/view/VXDrawingView.h"
#include "platform/vantrix/view/VXTextEditingDelegate.h"

#include <QKeyEvent>
#include <QPlainTextEdit>
#include <algorithm>
#include <functional>

namespace platform {
namespace {

constexpr QSize kMinimumEditorSize{48, 24}; // room to type into for text that covers nothing yet

} // namespace

// Reports Escape, Return and the focus leaving, once.
class InPlaceTextEditing::Editor : public QPlainTextEdit {
public:
    using Finish = std::function<void(bool cancelled)>;

    Editor(const QString& text, QWidget* parent, Finish finish)
        : QPlainTextEdit(text, parent)
        , m_finish(std::move(finish))
    {
        setFrameShape(QFrame::Box);
        setLineWrapMode(QPlainTextEdit::WidgetWidth);
        moveCursor(QTextCursor::End);
    }

    // The editor may outlive the edit (it goes later); later events must not end another edit.
    void detach() { m_finish = nullptr; }

protected:
    void keyPressEvent(QKeyEvent* event) override
    {
        const bool isReturn = event->key() == Qt::Key_Return || event->key() == Qt::Key_Enter;
        if (event->key() == Qt::Key_Escape)
            finish(true);
        else if (isReturn && !VXTextShape::returnInsertsNewline())
            finish(false);
        else
            QPlainTextEdit::keyPressEvent(event);
    }

    void focusOutEvent(QFocusEvent* event) override
    {
        QPlainTextEdit::focusOutEvent(event);
        // A context menu or another window coming forward does not end the edit.
        if (event->reason() != Qt::PopupFocusReason && event->reason() != Qt::ActiveWindowFocusReason)
            finish(false);
    }

private:
    void finish(bool cancelled)
    {
        if (Finish finish = std::exchange(m_finish, nullptr))
            finish(cancelled);
    }

    Finish m_finish;
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
    m_editor = new Editor(text, m_view.viewport(), [this](bool cancelled) { finish(cancelled); });
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
    const QRect area = m_view.convertRectFromDrawing(m_drawingRect).toAlignedRect();
    m_editor->setGeometry(QRect(area.topLeft(), area.size().expandedTo(kMinimumEditorSize)));
    // Drawings lay text out at 72 units per inch: a 12 point font is 12 points high on the paper.
    const double pointsOnPaper = m_font.pointSizeF() > 0 ? m_font.pointSizeF() : m_font.pixelSize();
    QFont zoomed = m_font;
    zoomed.setPointSizeF(std::max(1.0, pointsOnPaper * m_view.scale() * 72.0 / m_editor->logicalDpiY()));
    m_editor->setFont(zoomed);
}

} // namespace platform
