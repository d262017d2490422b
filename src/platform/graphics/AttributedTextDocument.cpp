#include "platform/graphics/AttributedTextDocument.h"

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

QTextCharFormat formatForRun(const TextAttributes& attributes, double fontScale)
{
    QTextCharFormat format;
    format.setProperty(kAttributesProperty, attributes);
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

QString withNewlines(QString text)
{
    return text.replace(QChar::LineSeparator, QLatin1Char('\n')).replace(QChar::ParagraphSeparator, QLatin1Char('\n'));
}

} // namespace

void setDocumentAttributedString(QTextDocument& document, const AttributedString& text, double fontScale)
{
    document.clear();
    QTextCursor cursor(&document);
    text.enumerateAttributesInRange({0, text.length()}, [&](const TextAttributes& attributes, TextRange run) {
        const QTextCharFormat format = formatForRun(attributes, fontScale);
        // insertText makes a new paragraph of "\n", in the run's format like the rest.
        cursor.insertText(text.string().mid(run.location, run.length), format);
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

AttributedString attributedStringFromDocument(const QTextDocument& document, const TextAttributes& typingAttributes)
{
    AttributedString result;
    TextAttributes previous = typingAttributes;
    for (QTextBlock block = document.begin(); block.isValid(); block = block.next()) {
        if (block != document.begin())
            result.appendAttributedString(AttributedString(QStringLiteral("\n"), previous));
        for (auto it = block.begin(); !it.atEnd(); ++it) {
            const QTextFragment fragment = it.fragment();
            const QTextCharFormat format = fragment.charFormat();
            previous = format.hasProperty(kAttributesProperty) ? format.property(kAttributesProperty).toMap()
                                                               : typingAttributes;
            result.appendAttributedString(AttributedString(withNewlines(fragment.text()), previous));
        }
    }
    return result;
}

} // namespace platform
