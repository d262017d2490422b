#include "platform/vantrix/text/HTMLTextReading.h"

#include <QCoreApplication>
#include <QHash>
#include <QSet>
#include <QTextBlock>
#include <QTextDocument>
#include <QTextFragment>

namespace platform {

namespace {

QString tr(const char* text) { return QCoreApplication::translate("HTMLTextReading", text); }

// Markup is untrusted: it may name files and other resources, none of which are read.
class MarkupOnlyDocument : public QTextDocument {
protected:
    QVariant loadResource(int, const QUrl&) override { return {}; }
};

TextAttributes markupAttributesOf(const QTextCharFormat& format)
{
    TextAttributes attributes;
    // Only what the markup set: the rest is left to the text it joins.
    if (const QFont font = format.font(); font.resolveMask() != 0)
        attributes.insert(kFontAttributeName, font);
    if (format.foreground().style() != Qt::NoBrush)
        attributes.insert(kForegroundColourAttributeName, format.foreground().color());
    if (format.fontUnderline())
        attributes.insert(kUnderlineStyleAttributeName, 1);
    if (format.fontStrikeOut())
        attributes.insert(kStrikethroughStyleAttributeName, 1);
    return attributes;
}

bool isNameCharacter(QChar c)
{
    return c.isLetterOrNumber() || c == QLatin1Char('-') || c == QLatin1Char(':') || c == QLatin1Char('_');
}

// Elements that never hold anything.
bool isVoidElement(const QString& name)
{
    static const QSet<QString> names{"area",  "base", "basefont", "br",   "col",   "embed", "hr",
                                     "img",   "input", "keygen",  "link", "meta",  "param", "source",
                                     "track", "wbr"};
    return names.contains(name);
}

// Elements whose end tag may be left out: the next one of the kind closes the one left open.
bool closesItsOwnKind(const QString& name)
{
    static const QSet<QString> names{"li", "p",     "dt",    "dd",    "tr", "td", "th",
                                     "option", "optgroup", "thead", "tbody", "tfoot", "rt", "rp"};
    return names.contains(name);
}

// Elements whose content is text up to their end tag.
bool holdsRawText(const QString& name)
{
    static const QSet<QString> names{"script", "style", "textarea", "title", "xmp"};
    return names.contains(name);
}

class NestingScanner {
public:
    explicit NestingScanner(QStringView html)
        : m_html(html)
    {
    }

    HTMLNesting scan()
    {
        while (!tooDeep()) {
            m_at = m_html.indexOf(QLatin1Char('<'), m_at);
            if (m_at < 0)
                break;
            const QStringView rest = m_html.mid(m_at);
            if (rest.startsWith(QLatin1String("<!--")))
                skipPast(QStringLiteral("-->"));
            else if (rest.startsWith(QLatin1String("</")))
                endTag();
            else if (rest.size() > 1 && rest[1].isLetter())
                startTag();
            else if (rest.startsWith(QLatin1String("<!")) || rest.startsWith(QLatin1String("<?")))
                skipPast(QStringLiteral(">"));
            else
                ++m_at; // a lone "<" is text
        }
        return m_nesting;
    }

private:
    bool tooDeep() const
    {
        return m_nesting.deepest > kMaximumHTMLNestingDepth || m_nesting.work > kMaximumHTMLNestingWork;
    }

    void skipPast(const QString& end)
    {
        const qsizetype found = m_html.indexOf(end, m_at);
        m_at = found < 0 ? m_html.size() : found + end.size();
    }

    // The name from m_at, lower case; m_at moves past it.
    QString name()
    {
        const qsizetype start = m_at;
        while (m_at < m_html.size() && isNameCharacter(m_html[m_at]))
            ++m_at;
        return m_html.mid(start, m_at - start).toString().toLower();
    }

    // Moves past the tag's ">" (quoted values may hold one); whether the tag closed itself ("/>").
    bool skipAttributes()
    {
        QChar quote;
        QChar previous;
        for (; m_at < m_html.size(); ++m_at) {
            const QChar c = m_html[m_at];
            if (!quote.isNull()) {
                if (c == quote)
                    quote = QChar();
            } else if (c == QLatin1Char('"') || c == QLatin1Char('\'')) {
                quote = c;
            } else if (c == QLatin1Char('>')) {
                ++m_at;
                return previous == QLatin1Char('/');
            }
            if (!c.isSpace())
                previous = c;
        }
        return false;
    }

    void startTag()
    {
        ++m_at;
        const QString element = name();
        const bool closedItself = skipAttributes();
        if (closedItself || isVoidElement(element))
            return;
        if (holdsRawText(element)) {
            const QString endTag = QLatin1String("</") + element;
            const qsizetype end = m_html.indexOf(endTag, m_at, Qt::CaseInsensitive);
            m_at = end < 0 ? m_html.size() : end;
        }
        if (closesItsOwnKind(element) && !m_open.isEmpty() && m_open.last() == element)
            close();
        m_open.append(element);
        ++m_openCount[element];
        m_nesting.deepest = std::max(m_nesting.deepest, int(m_open.size()));
        m_nesting.work += m_open.size();
    }

    void endTag()
    {
        m_at += 2;
        const QString element = name();
        skipAttributes();
        // An end tag of nothing open closes nothing; otherwise everything opened since closes too.
        if (m_openCount.value(element) == 0)
            return;
        QString closed;
        do
            closed = close();
        while (closed != element);
    }

    QString close()
    {
        const QString element = m_open.takeLast();
        --m_openCount[element];
        return element;
    }

    QStringView m_html;
    qsizetype m_at = 0;
    QStringList m_open;
    QHash<QString, int> m_openCount;
    HTMLNesting m_nesting;
};

} // namespace

HTMLNesting measureHTMLNesting(QStringView html)
{
    return NestingScanner(html).scan();
}

std::optional<AttributedString> attributedStringFromHTML(const QString& html, QString* refusal)
{
    const auto refuse = [refusal](const QString& reason) {
        if (refusal)
            *refusal = reason;
        return std::nullopt;
    };
    if (html.size() > kMaximumHTMLTextLength)
        return refuse(tr("The HTML is longer than %1 MB.").arg(kMaximumHTMLTextLength / (1024 * 1024)));
    const HTMLNesting nesting = measureHTMLNesting(html);
    if (nesting.deepest > kMaximumHTMLNestingDepth)
        return refuse(tr("The HTML nests its elements more than %1 deep.").arg(kMaximumHTMLNestingDepth));
    if (nesting.work > kMaximumHTMLNestingWork)
        return refuse(tr("The HTML holds too many deeply nested elements to be read."));
    MarkupOnlyDocument document;
    document.setHtml(html);
    AttributedString text;
    for (QTextBlock block = document.begin(); block.isValid(); block = block.next()) {
        if (block != document.begin())
            text.appendAttributedString(AttributedString(QStringLiteral("\n"), markupAttributesOf(block.charFormat())));
        for (auto fragment = block.begin(); !fragment.atEnd(); ++fragment) {
            const QTextFragment piece = fragment.fragment();
            // Images leave an object mark; line breaks within a paragraph are line separators.
            QString characters = piece.text().remove(QChar::ObjectReplacementCharacter);
            characters.replace(QChar::LineSeparator, QLatin1Char('\n'));
            if (piece.isValid() && !characters.isEmpty())
                text.appendAttributedString(AttributedString(characters, markupAttributesOf(piece.charFormat())));
        }
    }
    return text;
}

} // namespace platform
