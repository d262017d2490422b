#include "platform/vantrix/text/HTMLTextReading.h"

#include <QTextBlock>
#include <QTextDocument>
#include <QTextFragment>

namespace platform {

namespace {

// Markup is untrusted: it may name files and other resources, none of which are read.
class MarkupOnlyDocument : public QTextDocument {
protected:
    QVariant loadResource(int, const QUrl&) override { return {}; }
};

TextAttributes attributesOfFormat(const QTextCharFormat& format)
{
    TextAttributes attributes{{kFontAttributeName, format.font()}};
    if (format.foreground().style() != Qt::NoBrush)
        attributes.insert(kForegroundColourAttributeName, format.foreground().color());
    if (format.fontUnderline())
        attributes.insert(kUnderlineStyleAttributeName, 1);
    if (format.fontStrikeOut())
        attributes.insert(kStrikethroughStyleAttributeName, 1);
    return attributes;
}

} // namespace

std::optional<AttributedString> attributedStringFromHTML(const QString& html)
{
    if (html.size() > kMaximumHTMLTextLength)
        return std::nullopt;
    MarkupOnlyDocument document;
    document.setHtml(html);
    AttributedString text;
    for (QTextBlock block = document.begin(); block.isValid(); block = block.next()) {
        if (block != document.begin())
            text.appendAttributedString(AttributedString(QStringLiteral("\n"), attributesOfFormat(block.charFormat())));
        for (auto fragment = block.begin(); !fragment.atEnd(); ++fragment) {
            const QTextFragment piece = fragment.fragment();
            // Images leave an object mark; line breaks within a paragraph are line separators.
            QString characters = piece.text().remove(QChar::ObjectReplacementCharacter);
            characters.replace(QChar::LineSeparator, QLatin1Char('\n'));
            if (piece.isValid() && !characters.isEmpty())
                text.appendAttributedString(AttributedString(characters, attributesOfFormat(piece.charFormat())));
        }
    }
    return text;
}

} // namespace platform
