#include "platform/vantrix/view/InPlaceTextEditing.h"

#include "platform/foundation/NotificationCenter.h"
#include "platform/graphics/AttributedTextDocument.h"
#include "platform/vantrix/drawables/VXTextShape.h"
#include "platform/vantrix/view/VXDrawingView.h"
#include "platform/vantrix/view/VXTextEditingDelegate.h"

#include <QAbstractTextDocumentLayout>
#include <QFontMetricsF>
#include <QKeyEvent>
#include <QScopedValueRollback>
#include <QTextBlock>
#include <QTextEdit>
#include <QTextFragment>
#include <QtMath>
#include <algorithm>
#include <functional>

namespace platform {
namespace {

constexpr QSize kMinimumTypingRoom{36, 12}; // for text that covers nothing yet

} // namespace

// Reports the end of typing (Escape, Return, the focus leaving) once. Never scrolls: it reaches down past
// its area as far as its text needs, within its limits.
class InPlaceTextEditing::Editor : public QTextEdit {
public:
    using Finish = std::function<void()>;

    Editor(QWidget* parent, bool returnCommits, bool growsHorizontally, Finish finish)
        : QTextEdit(parent)
        , m_finish(std::move(finish))
        , m_returnCommits(returnCommits)
        , m_growsHorizontally(growsHorizontally)
    {
        setFrameShape(QFrame::Box);
        // Pasted text takes the attributes where it lands, as typed text does.
        setAcceptRichText(false);
        setLineWrapMode(QTextEdit::WidgetWidth);
        setTabChangesFocus(false);
        setVerticalScrollBarPolicy(Qt::ScrollBarAlwaysOff);
        setHorizontalScrollBarPolicy(Qt::ScrollBarAlwaysOff);
        connect(document()->documentLayout(), &QAbstractTextDocumentLayout::documentSizeChanged, this,
                [this] { fitText(); });
    }

    // The editor may outlive the edit (it goes later); later events must not end another edit.
    void detach() { m_finish = nullptr; }

    // Covers `area`, and more of the viewport when the text needs it, within the limits (viewport
    // pixels; an empty maximum is no limit).
    void setArea(const QRect& area, const QSize& minimum, const QSize& maximum)
    {
        m_area = area;
        m_minimum = minimum;
        m_maximum = maximum;
        fitText();
    }

protected:
    void keyPressEvent(QKeyEvent* event) override
    {
        const bool isReturn = event->key() == Qt::Key_Return || event->key() == Qt::Key_Enter;
        const bool shift = event->modifiers() & Qt::ShiftModifier;
        if (isReturn && m_returnCommits && shift)
            insertPlainText(QStringLiteral("\n"));
        else if (event->key() == Qt::Key_Escape
                 || (isReturn && (m_returnCommits || !VXTextShape::returnInsertsNewline())))
            finish();
        else
            QTextEdit::keyPressEvent(event);
    }

    void focusOutEvent(QFocusEvent* event) override
    {
        QTextEdit::focusOutEvent(event);
        // A context menu or another window coming forward does not end the edit.
        if (event->reason() != Qt::PopupFocusReason && event->reason() != Qt::ActiveWindowFocusReason)
            finish();
    }

    void resizeEvent(QResizeEvent* event) override
    {
        QTextEdit::resizeEvent(event);
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

    // From the editor's edge to its text: the text starts where the area does.
    int inset() const { return qCeil(frameWidth() + document()->documentMargin()); }
    int frameAndMargins() const { return 2 * inset(); }

    // The editor's height that shows every line of its text.
    int heightOfText() const
    {
        // The margins above and below, and the spare pixel row below the text without which the editor scrolls.
        return qCeil(document()->size().height() + 1) + 2 * frameWidth();
    }

    // The editor's width that shows its longest line unwrapped, with room for the cursor.
    int widthOfText() const
    {
        double widest = 0;
        for (QTextBlock block = document()->begin(); block.isValid(); block = block.next()) {
            double line = 0;
            for (auto it = block.begin(); !it.atEnd(); ++it) {
                const QTextFragment fragment = it.fragment();
                const QFont runFont = fragment.charFormat().font().resolve(font());
                line += QFontMetricsF(runFont).horizontalAdvance(fragment.text());
            }
            widest = std::max(widest, line);
        }
        return qCeil(widest) + frameAndMargins() + cursorWidth() + 1;
    }

    static int limited(int length, int minimum, int maximum)
    {
        return std::max(minimum, maximum > 0 ? std::min(length, maximum) : length);
    }

    void fitText()
    {
        // Measuring lays the text out, which may report a new size again.
        if (m_fitting || m_area.isNull())
            return;
        const QScopedValueRollback fitting(m_fitting, true);
        // The area and its limits are for the text; the frame and margins lie around it.
        const int around = frameAndMargins();
        const QRect area = m_area.adjusted(-inset(), -inset(), inset(), inset());
        const auto outer = [around](QSize limit) {
            return QSize(limit.width() > 0 ? limit.width() + around : 0, limit.height() > 0 ? limit.height() + around : 0);
        };
        const QSize minimum = outer(m_minimum), maximum = outer(m_maximum);
        int width = area.width();
        if (m_growsHorizontally) {
            const int wanted = std::max(width, widthOfText());
            // Past the maximum the lines wrap.
            setLineWrapMode(maximum.width() > 0 && wanted > maximum.width() ? WidgetWidth : NoWrap);
            width = wanted;
        }
        width = limited(width, minimum.width(), maximum.width());
        // The width first: it decides how the lines wrap, and so how tall the text is.
        setGeometry(QRect(area.topLeft(), QSize(width, height())));
        const int height = limited(std::max(area.height(), heightOfText()), minimum.height(), maximum.height());
        setGeometry(QRect(area.topLeft(), QSize(width, height)));
    }

    Finish m_finish;
    const bool m_returnCommits;
    const bool m_growsHorizontally;
    QRect m_area;
    QSize m_minimum;
    QSize m_maximum;
    bool m_fitting = false;
};

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
    m_editor = new Editor(m_view.viewport(), options.returnCommits, options.growsHorizontally,
                          [this] { finish(false); });
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
    NotificationCenter::defaultCenter().postNotificationName(kVXDrawingViewDidBeginTextEditing, &m_view);
}

void InPlaceTextEditing::finish(bool cancelled)
{
    // Taken first: hiding the editor moves the focus, which would end the edit again.
    const QPointer<Editor> editor = std::exchange(m_editor, nullptr);
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
    scaleDocumentFonts(*m_editor->document(), fontScale());
    // The nearest pixel to where the drawing shows the text, not the one before it.
    const QRectF exact = m_view.convertRectFromDrawing(m_drawingRect);
    const QRect area(exact.topLeft().toPoint(), QSize(qCeil(exact.width()), qCeil(exact.height())));
    const auto inViewport = [this](QSizeF size) { return (size * m_view.scale()).toSize(); };
    m_editor->setArea(area, inViewport(m_options.minimumSize).expandedTo(kMinimumTypingRoom),
                      inViewport(m_options.maximumSize));
}

} // namespace platform
