#include "platform/graphics/AttributedTextDocument.h"

#include "platform/graphics/TextFormatDigest.h"

#include <QBrush>
#include <QColor>
#include <QFont>
#include <QTextBlock>
#include <QTextCursor>
#include <QTextDocument>

namespace platform {
namespace {

constexpr int kAttributesProperty = QTextFormat::UserProperty + 0x51;
// The font size a run shows at `fontScale`; runs without a font take the editor's.
void setScaledFont(QTextCharFormat& format, const TextAttributes& attributes, double fontScale)
{
    const auto font = attributes.value(kFontAttributeName);
    if (!font.canConvert<QFont>())
        return;
    const QFont runFont = font.value<QFont>();
    const double size = runFont.pointSizeF() > 0 ? runFont.pointSizeF() : runFont.pixelSize();
    if (size > 0)
        format.setFontPointSize(std::max(1.0, size * fontScale));
}

QString withNewlines(QString text)
{
    return text.replace(QChar::LineSeparator, QLatin1Char('\n')).replace(QChar::ParagraphSeparator, QLatin1Char('\n'));
}

// Calls `block` with the part [from, to) of each fragment within the cursor's selection, and with
// each paragraph break within it (whose format is its paragraph's).
void forEachRunOfSelection(const QTextCursor& cursor, const std::function<void(int, int, const QTextCharFormat&)>& block)
{
    const int start = cursor.selectionStart(), end = cursor.selectionEnd();
    const QTextDocument& document = *cursor.document();
    for (QTextBlock paragraph = document.findBlock(start); paragraph.isValid() && paragraph.position() < end;
         paragraph = paragraph.next()) {
        if (const int lineBreak = paragraph.position() - 1; lineBreak >= start && paragraph != document.begin())
            block(lineBreak, lineBreak + 1, paragraph.charFormat());
        for (auto it = paragraph.begin(); !it.atEnd(); ++it) {
            const QTextFragment fragment = it.fragment();
            const int from = std::max(start, fragment.position());
            const int to = std::min(end, fragment.position() + fragment.length());
            if (from < to)
                block(from, to, fragment.charFormat());
        }
    }
}

} // namespace

QTextCharFormat formatOfAttributes(const TextAttributes& attributes, double fontScale)
{
    QTextCharFormat format;
    format.setProperty(kAttributesProperty, attributes);
    format.setProperty(kAttributesDigestProperty, attributesDigest(attributes));
    if (const auto font = attributes.value(kFontAttributeName); font.canConvert<QFont>()) {
        const QFont runFont = font.value<QFont>();
        format.setFontFamilies(QStringList{runFont.family()});
        format.setFontWeight(runFont.weight());
        format.setFontItalic(runFont.italic());
        setScaledFont(format, attributes, fontScale);
    }
    if (const auto colour = attributes.value(kForegroundColourAttributeName); colour.canConvert<QColor>())
        format.setForeground(QBrush(colour.value<QColor>()));
    format.setFontUnderline(attributes.value(kUnderlineStyleAttributeName).toInt() != 0);
    const int script = attributes.value(kSuperscriptAttributeName).toInt();
    format.setVerticalAlignment(script > 0   ? QTextCharFormat::AlignSuperScript
                                : script < 0 ? QTextCharFormat::AlignSubScript
                                             : QTextCharFormat::AlignNormal);
    return format;
}

TextAttributes attributesOfFormat(const QTextCharFormat& format, const TextAttributes& typingAttributes)
{
    return format.hasProperty(kAttributesProperty) ? format.property(kAttributesProperty).toMap() : typingAttributes;
}

void setDocumentAttributedString(QTextDocument& document, const AttributedString& text, double fontScale)
{
    document.clear();
    QTextCursor cursor(&document);
    text.enumerateAttributesInRange({0, text.length()}, [&](const TextAttributes& attributes, TextRange run) {
        // insertText makes a new paragraph of "\n", in the run's format like the rest.
        cursor.insertText(text.string().mid(run.location, run.length), formatOfAttributes(attributes, fontScale));
    });
}

void scaleDocumentFonts(QTextDocument& document, double fontScale)
{
    // Gathered first: changing a format may merge or split the fragments being walked.
    struct Sized {
        int position;
        int length;
        QTextCharFormat format;
    };
    QList<Sized> sized;
    for (QTextBlock block = document.begin(); block.isValid(); block = block.next()) {
        for (auto it = block.begin(); !it.atEnd(); ++it) {
            const QTextFragment fragment = it.fragment();
            QTextCharFormat format;
            setScaledFont(format, fragment.charFormat().property(kAttributesProperty).toMap(), fontScale);
            if (format.hasProperty(QTextFormat::FontPointSize))
                sized.append({fragment.position(), fragment.length(), format});
        }
    }
    QTextCursor cursor(&document);
    for (const Sized& run : sized) {
        cursor.setPosition(run.position);
        cursor.setPosition(run.position + run.length, QTextCursor::KeepAnchor);
        cursor.mergeCharFormat(run.format);
    }
}

void insertAttributedString(QTextCursor& cursor, const AttributedString& text, double fontScale)
{
    cursor.beginEditBlock();
    cursor.removeSelectedText();
    text.enumerateAttributesInRange({0, text.length()}, [&](const TextAttributes& attributes, TextRange run) {
        cursor.insertText(text.string().mid(run.location, run.length), formatOfAttributes(attributes, fontScale));
    });
    cursor.endEditBlock();
}

QList<TextAttributes> attributesOfSelection(const QTextCursor& cursor, const TextAttributes& typingAttributes)
{
    QList<TextAttributes> runs;
    forEachRunOfSelection(cursor, [&](int, int, const QTextCharFormat& format) {
        runs.append(attributesOfFormat(format, typingAttributes));
    });
    return runs;
}

void changeAttributesOfSelection(QTextCursor& cursor, const TextAttributes& typingAttributes, double fontScale,
                                 const std::function<TextAttributes(const TextAttributes&)>& change)
{
    // Gathered first: changing a format may merge or split the fragments being walked.
    struct Run {
        int position;
        int end;
        QTextCharFormat format;
    };
    QList<Run> runs;
    forEachRunOfSelection(cursor, [&](int from, int to, const QTextCharFormat& format) {
        runs.append({from, to, formatOfAttributes(change(attributesOfFormat(format, typingAttributes)), fontScale)});
    });
    QTextCursor changing(cursor.document());
    changing.beginEditBlock();
    for (const Run& run : runs) {
        changing.setPosition(run.position);
        changing.setPosition(run.end, QTextCursor::KeepAnchor);
        changing.setCharFormat(run.format);
    }
    changing.endEditBlock();
}

AttributedString attributedStringFromDocument(const QTextDocument& document, const TextAttributes& typingAttributes)
{
    AttributedString result;
    TextAttributes previous = typingAttributes;
    for (QTextBlock block = document.begin(); block.isValid(); block = block.next()) {
        // A paragraph's break carries the format it was inserted with.
        if (block != document.begin())
            result.appendAttributedString(
                AttributedString(QStringLiteral("\n"), attributesOfFormat(block.charFormat(), previous)));
        for (auto it = block.begin(); !it.atEnd(); ++it) {
            const QTextFragment fragment = it.fragment();
            previous = attributesOfFormat(fragment.charFormat(), typingAttributes);
            result.appendAttributedString(AttributedString(withNewlines(fragment.text()), previous));
        }
    }
    return result;
}

} // namespace platform
