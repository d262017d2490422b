#include "platform/vantrix/view/InPlaceTextEditing.h"

#include "platform/foundation/NotificationCenter.h"
#include "platform/graphics/AttributedTextDocument.h"
#include "platform/vantrix/view/InPlaceTextEditor.h"
#include "platform/vantrix/view/VXDrawingView.h"
#include "platform/vantrix/view/VXTextEditingDelegate.h"

#include <QSize>
#include <QtMath>
#include <algorithm>

namespace platform {
namespace {

constexpr QSize kMinimumTypingRoom{36, 12}; // for text that covers nothing yet

} // namespace

InPlaceTextEditing::InPlaceTextEditing(VXDrawingView& view)
    : m_view(view)
{
}

QTextEdit* InPlaceTextEditing::editor() const { return m_editor; }

void InPlaceTextEditing::begin(const AttributedString& text, const QRectF& drawingRect, QObject* delegate,
                               const QFont& font, const TextEditingOptions& options)
{
    finish(false);
    m_drawingRect = drawingRect.normalized();
    m_font = font;
    m_options = options;
    m_delegate = delegate;
    const auto finishEdit = [this] { finish(false); };
    m_editor = options.editsRuns ? new AttributedTextEditor(m_view.viewport(), options, font, finishEdit)
                                 : new InPlaceTextEditor(m_view.viewport(), options, finishEdit);
    m_editor->setFontScale(fontScale());
    m_editor->prepareForText(text.string());
    setDocumentAttributedString(*m_editor->document(), text, fontScale());
    m_editor->moveCursor(QTextCursor::End);
    // Fonts sized anew for a zoom change the document too: only a new text is reported.
    QObject::connect(m_editor, &QTextEdit::textChanged, m_editor, [this, reportedText = text.string()]() mutable {
        auto* reported = dynamic_cast<VXTextEditingDelegate*>(m_delegate.data());
        if (!reported || !m_editor || m_editor->toPlainText() == reportedText)
            return;
        reportedText = m_editor->toPlainText();
        reported->textEditingDidChange(reportedText, m_editor->textCursor().position());
    });
    place();
    m_editor->show();
    m_editor->setFocus(Qt::OtherFocusReason);
    if (auto* runs = qobject_cast<AttributedTextEditor*>(m_editor.data()))
        runs->reportSelectionToFontManager();
    NotificationCenter::defaultCenter().postNotificationName(kVXDrawingViewDidBeginTextEditing, &m_view);
}

void InPlaceTextEditing::finish(bool cancelled)
{
    // Taken first: hiding the editor moves the focus, which would end the edit again.
    const QPointer<InPlaceTextEditor> editor = std::exchange(m_editor, nullptr);
    if (!editor)
        return;
    editor->detach();
    const AttributedString text = attributedStringFromDocument(*editor->document(), m_options.typingAttributes);
    const QPointer<QObject> delegateObject = std::exchange(m_delegate, nullptr);
    if (auto* delegate = dynamic_cast<VXTextEditingDelegate*>(delegateObject.data()))
        delegate->attributedTextEditingDidEnd(text, cancelled);
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

double InPlaceTextEditing::fontScale() const
{
    // Drawings lay text out at 72 units per inch: a 12 point font is 12 points high on the paper.
    return m_view.scale() * 72.0 / (m_editor ? m_editor->logicalDpiY() : m_view.logicalDpiY());
}

void InPlaceTextEditing::place()
{
    if (!m_editor)
        return;
    const double pointsOnPaper = m_font.pointSizeF() > 0 ? m_font.pointSizeF() : m_font.pixelSize();
    QFont zoomed = m_font;
    zoomed.setPointSizeF(std::max(1.0, pointsOnPaper * fontScale()));
    // First: the fonts decide how tall the text is.
    m_editor->setFont(zoomed);
    m_editor->setFontScale(fontScale());
    scaleDocumentFonts(*m_editor->document(), fontScale());
    // The nearest pixel to where the drawing shows the text, not the one before it.
    const QRectF exact = m_view.convertRectFromDrawing(m_drawingRect);
    const QRect area(exact.topLeft().toPoint(), QSize(qCeil(exact.width()), qCeil(exact.height())));
    const auto inViewport = [this](QSizeF size) { return (size * m_view.scale()).toSize(); };
    m_editor->setArea(area, inViewport(m_options.minimumSize).expandedTo(kMinimumTypingRoom),
                      inViewport(m_options.maximumSize));
}

} // namespace platform
