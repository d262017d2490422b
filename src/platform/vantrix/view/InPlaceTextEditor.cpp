#include "platform/vantrix/view/InPlaceTextEditor.h"

#include "platform/graphics/AttributedStringLayout.h"
#include "platform/graphics/AttributedTextDocument.h"
#include "platform/ui/FontManager.h"
#include "platform/ui/Pasteboard.h"
#include "platform/vantrix/drawables/VXTextShape.h"
#include "platform/vantrix/text/PastedText.h"
#include "platform/vantrix/view/InPlaceTextEditing.h"

#include <QAbstractTextDocumentLayout>
#include <QFontMetricsF>
#include <QHash>
#include <QKeyEvent>
#include <QScopedValueRollback>
#include <QTextBlock>
#include <QTextFragment>
#include <QtMath>
#include <algorithm>

namespace platform {

// --- Characters ------------------------------------------------------------------------------

InPlaceTextEditor::InPlaceTextEditor(QWidget* parent, const TextEditingOptions& options, Finish finish)
    : QTextEdit(parent)
    , m_finish(std::move(finish))
    , m_returnCommits(options.returnCommits)
    , m_growsHorizontally(options.growsHorizontally)
{
    setFrameShape(QFrame::Box);
    // The clipboard is read by insertFromMimeData, never as Qt's own rich text.
    setAcceptRichText(false);
    setLineWrapMode(QTextEdit::WidgetWidth);
    setTabChangesFocus(false);
    setVerticalScrollBarPolicy(Qt::ScrollBarAlwaysOff);
    setHorizontalScrollBarPolicy(Qt::ScrollBarAlwaysOff);
    connect(document()->documentLayout(), &QAbstractTextDocumentLayout::documentSizeChanged, this,
            [this] { fitText(); });
}

void InPlaceTextEditor::setArea(const QRect& area, const QSize& minimum, const QSize& maximum)
{
    m_area = area;
    m_minimum = minimum;
    m_maximum = maximum;
    fitText();
}

void InPlaceTextEditor::keyPressEvent(QKeyEvent* event)
{
    const bool isReturn = event->key() == Qt::Key_Return || event->key() == Qt::Key_Enter;
    const bool shift = event->modifiers() & Qt::ShiftModifier;
    if (isReturn && m_returnCommits && shift)
        insertPlainText(QStringLiteral("\n"));
    else if (event->key() == Qt::Key_Escape || (isReturn && (m_returnCommits || !VXTextShape::returnInsertsNewline())))
        finish();
    else
        QTextEdit::keyPressEvent(event);
}

void InPlaceTextEditor::focusOutEvent(QFocusEvent* event)
{
    QTextEdit::focusOutEvent(event);
    // A context menu or another window coming forward does not end the edit.
    if (event->reason() != Qt::PopupFocusReason && event->reason() != Qt::ActiveWindowFocusReason)
        finish();
}

void InPlaceTextEditor::resizeEvent(QResizeEvent* event)
{
    QTextEdit::resizeEvent(event);
    // A new width wraps the text anew (the first resize of a shown editor comes from nothing).
    if (event->oldSize().width() != event->size().width())
        fitText();
}

bool InPlaceTextEditor::canInsertFromMimeData(const QMimeData* source) const
{
    return source && !Pasteboard(source).availableTypeFromArray(pasteableTextTypes()).isEmpty();
}

void InPlaceTextEditor::insertFromMimeData(const QMimeData* source)
{
    if (!source)
        return;
    const PastedText pasted = pastedTextFromPasteboard(Pasteboard(source));
    if (pasted.text) {
        prepareForText(pasted.text->string());
        insertPastedText(*pasted.text);
    } else if (!pasted.refusal.isEmpty()) {
        presentUnpastableText(pasted.refusal, window());
    }
}

void InPlaceTextEditor::prepareForText(QStringView text)
{
    if (hasLongUnbrokenRun(text))
        setWordWrapMode(QTextOption::WrapAnywhere);
}

void InPlaceTextEditor::insertPastedText(const AttributedString& text)
{
    insertPlainText(text.string());
}

void InPlaceTextEditor::finish()
{
    if (Finish finish = std::exchange(m_finish, nullptr))
        finish();
}

int InPlaceTextEditor::inset() const
{
    return qCeil(frameWidth() + document()->documentMargin());
}

int InPlaceTextEditor::heightOfText() const
{
    // The margins above and below, and the spare pixel row below the text without which the editor scrolls.
    return qCeil(document()->size().height() + 1) + 2 * frameWidth();
}

int InPlaceTextEditor::widthOfText() const
{
    // Runs share a few formats, and a font takes long to resolve (the longer its name, the longer).
    QHash<int, QFontMetricsF> metricsOfFormats;
    const auto metricsOf = [&](const QTextFragment& fragment) -> const QFontMetricsF& {
        auto found = metricsOfFormats.find(fragment.charFormatIndex());
        if (found == metricsOfFormats.end())
            found = metricsOfFormats.insert(fragment.charFormatIndex(),
                                            QFontMetricsF(fragment.charFormat().font().resolve(font())));
        return *found;
    };
    double widest = 0;
    for (QTextBlock block = document()->begin(); block.isValid(); block = block.next()) {
        double line = 0;
        for (auto it = block.begin(); !it.atEnd(); ++it)
            line += metricsOf(it.fragment()).horizontalAdvance(it.fragment().text());
        widest = std::max(widest, line);
    }
    return qCeil(widest) + frameAndMargins() + cursorWidth() + 1;
}

void InPlaceTextEditor::fitText()
{
    // Measuring lays the text out, which may report a new size again.
    if (m_fitting || m_area.isNull())
        return;
    const QScopedValueRollback fitting(m_fitting, true);
    const auto limited = [](int length, int minimum, int maximum) {
        return std::max(minimum, maximum > 0 ? std::min(length, maximum) : length);
    };
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

// --- Runs ------------------------------------------------------------------------------------

AttributedTextEditor::AttributedTextEditor(QWidget* parent, const TextEditingOptions& options, const QFont& font,
                                           Finish finish)
    : InPlaceTextEditor(parent, options, std::move(finish))
    , m_typingAttributes(options.typingAttributes)
    , m_font(font)
{
    connect(this, &QTextEdit::cursorPositionChanged, this, &AttributedTextEditor::reportSelectionToFontManager);
    connect(this, &QTextEdit::selectionChanged, this, &AttributedTextEditor::reportSelectionToFontManager);
}

TextAttributes AttributedTextEditor::attributesAtCaret() const
{
    return attributesOfFormat(textCursor().charFormat(), m_typingAttributes);
}

QFont AttributedTextEditor::fontOf(const TextAttributes& attributes) const
{
    const QVariant font = attributes.value(kFontAttributeName);
    return font.canConvert<QFont>() ? font.value<QFont>() : m_font;
}

void AttributedTextEditor::insertPastedText(const AttributedString& text)
{
    QTextCursor cursor = textCursor();
    insertAttributedString(cursor, pastedTextOverAttributes(text, attributesAtCaret()), fontScale());
    setTextCursor(cursor);
}

void AttributedTextEditor::changeSelection(const std::function<TextAttributes(const TextAttributes&)>& change)
{
    QTextCursor cursor = textCursor();
    if (cursor.hasSelection())
        changeAttributesOfSelection(cursor, m_typingAttributes, fontScale(), change);
    else
        setCurrentCharFormat(formatOfAttributes(change(attributesAtCaret()), fontScale()));
    reportSelectionToFontManager();
}

void AttributedTextEditor::changeFont(QObject* sender)
{
    if (const auto* manager = qobject_cast<FontManager*>(sender))
        changeSelection([&](TextAttributes attributes) {
            attributes.insert(kFontAttributeName, manager->convertFont(fontOf(attributes)));
            return attributes;
        });
}

void AttributedTextEditor::changeAttributes(QObject* sender)
{
    const auto* manager = qobject_cast<FontManager*>(sender);
    if (!manager)
        return;
    const auto convert = [manager](const TextAttributes& attributes) { return manager->convertAttributes(attributes); };
    const TextAttributes caret = attributesAtCaret();
    if (convert(caret).value(kParagraphStyleAttributeName) == caret.value(kParagraphStyleAttributeName)) {
        changeSelection(convert);
        return;
    }
    // A paragraph style is its whole paragraphs' (layout reads it from their first character).
    QTextCursor paragraphs = textCursor();
    const int end = paragraphs.selectionEnd();
    paragraphs.setPosition(paragraphs.selectionStart());
    paragraphs.movePosition(QTextCursor::StartOfBlock);
    paragraphs.setPosition(end, QTextCursor::KeepAnchor);
    paragraphs.movePosition(QTextCursor::EndOfBlock, QTextCursor::KeepAnchor);
    changeAttributesOfSelection(paragraphs, m_typingAttributes, fontScale(), convert);
    reportSelectionToFontManager();
}

void AttributedTextEditor::reportSelectionToFontManager()
{
    const QTextCursor cursor = textCursor();
    const QList<TextAttributes> runs =
        cursor.hasSelection() ? attributesOfSelection(cursor, m_typingAttributes) : QList{attributesAtCaret()};
    if (runs.isEmpty())
        return;
    Report report{fontOf(runs.first()), runs.first(), false};
    report.multiple = std::any_of(runs.begin(), runs.end(),
                                  [&](const TextAttributes& run) { return fontOf(run) != report.font; });
    if (m_reported == report)
        return;
    m_reported = report;
    FontManager* manager = FontManager::sharedFontManager();
    manager->setSelectedAttributesIsMultiple(report.attributes, report.multiple);
    manager->setSelectedFontIsMultiple(report.font, report.multiple);
}

} // namespace platform
