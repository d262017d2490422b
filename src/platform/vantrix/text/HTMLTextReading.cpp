#include "platform/vantrix/text/HTMLTextReading.h"

#include "platform/vantrix/text/HTMLRunStyle.h"

#include <QCoreApplication>
#include <QList>
#include <libxml/HTMLparser.h>
#include <libxml/parser.h>
#include <libxml/parserInternals.h>
#include <libxml/tree.h>
#include <memory>
#include <new>

namespace platform {

namespace {

QString tr(const char* text) { return QCoreApplication::translate("HTMLTextReading", text); }

struct ParserDeleter {
    void operator()(htmlParserCtxt* parser) const { htmlFreeParserCtxt(parser); }
};
struct DocumentDeleter {
    void operator()(xmlDoc* document) const { xmlFreeDoc(document); }
};

QByteArrayView nameOf(const xmlNode* element)
{
    return QByteArrayView(reinterpret_cast<const char*>(element->name));
}

// How an element places its content among the rest of the text.
enum class Placement { Inline, Block, Row, Cell, LineBreak, LeftOut };

Placement placementOf(QByteArrayView name)
{
    if (isElementNamed(name, {"head", "title", "script", "style", "template", "noscript"}))
        return Placement::LeftOut;
    if (name == "br")
        return Placement::LineBreak;
    if (name == "tr")
        return Placement::Row;
    if (name == "td" || name == "th")
        return Placement::Cell;
    if (isElementNamed(name, {"address", "article", "aside", "blockquote", "caption", "center", "dd", "details",
                              "dialog", "dir", "div", "dl", "dt", "fieldset", "figcaption", "figure", "footer",
                              "form", "h1", "h2", "h3", "h4", "h5", "h6", "header", "hgroup", "hr", "li", "listing",
                              "main", "menu", "nav", "ol", "p", "plaintext", "pre", "section", "summary", "table",
                              "ul", "xmp"}))
        return Placement::Block;
    return Placement::Inline;
}

bool keepsWhiteSpace(QByteArrayView name)
{
    return isElementNamed(name, {"pre", "xmp", "listing", "plaintext"});
}

bool isHTMLSpace(QChar c)
{
    return c == u' ' || c == u'\t' || c == u'\n' || c == u'\r' || c == u'\f';
}

// Walks the parsed tree in document order and writes its text.
class TextBuilder {
public:
    explicit TextBuilder(qsizetype maximumLength)
        : m_maximumLength(maximumLength)
    {
        m_levels.append(Level{});
    }

    AttributedString build(xmlNode* first)
    {
        // Iterative: the tree's depth is bounded by the parser, but the walk need not rely on it.
        xmlNode* node = first;
        while (node && !isFull()) {
            if (node->type == XML_ELEMENT_NODE && placementOf(nameOf(node)) != Placement::LeftOut) {
                open(node);
                if (node->children) {
                    node = node->children;
                    continue;
                }
                close(node);
            } else if (node->type == XML_TEXT_NODE || node->type == XML_CDATA_SECTION_NODE) {
                characters(QString::fromUtf8(reinterpret_cast<const char*>(node->content)));
            }
            // On to the next sibling, or to that of the nearest element left that has one.
            while (node && !node->next) {
                node = node->parent;
                if (node && node->type == XML_ELEMENT_NODE)
                    close(node);
                else
                    node = nullptr;
            }
            if (node)
                node = node->next;
        }
        return m_text;
    }

private:
    struct Level {
        HTMLRunStyle style;
        TextAttributes attributes;
        bool keepsWhiteSpace = false;
    };

    bool isFull() const { return m_text.length() > m_maximumLength; }

    void open(xmlNode* element)
    {
        const QByteArrayView name = nameOf(element);
        const Level& outer = m_levels.last();
        const HTMLRunStyle style = outer.style.inElement(name, [element](const char* attribute) {
            xmlChar* value = xmlGetProp(element, reinterpret_cast<const xmlChar*>(attribute));
            const QString text = value ? QString::fromUtf8(reinterpret_cast<const char*>(value)) : QString();
            xmlFree(value);
            return text;
        });
        m_levels.append({style, style.attributes(), outer.keepsWhiteSpace || keepsWhiteSpace(name)});
        switch (placementOf(name)) {
        case Placement::Block:
            m_lineBreakDue = true;
            break;
        case Placement::Row:
            // Cells follow the row's line break at once: a row's first cells may be empty.
            m_lineBreakDue = false;
            m_spaceDue = false;
            if (!atLineStart(u'\n'))
                append(QStringLiteral("\n"), m_levels.last().attributes);
            m_cellsInRow.append(0);
            break;
        case Placement::Cell:
            if (!m_cellsInRow.isEmpty() && m_cellsInRow.last()++ > 0) {
                // Blocks within the cell before end there: the next cell goes on the same line.
                m_lineBreakDue = false;
                m_spaceDue = false;
                append(QStringLiteral("\t"), m_levels.last().attributes);
            }
            break;
        case Placement::LineBreak:
            m_spaceDue = false;
            write(QStringLiteral("\n"), m_levels.last().attributes);
            break;
        case Placement::Inline:
        case Placement::LeftOut:
            break;
        }
    }

    void close(xmlNode* element)
    {
        m_levels.removeLast();
        switch (placementOf(nameOf(element))) {
        case Placement::Block:
            m_lineBreakDue = true;
            break;
        case Placement::Row:
            if (!m_cellsInRow.isEmpty())
                m_cellsInRow.removeLast();
            m_lineBreakDue = true;
            break;
        default:
            break;
        }
    }

    void characters(const QString& raw)
    {
        const Level& level = m_levels.last();
        if (level.keepsWhiteSpace) {
            QString kept = raw;
            kept.replace(QStringLiteral("\r\n"), QStringLiteral("\n")).replace(u'\r', u'\n');
            write(kept, level.attributes);
            return;
        }
        // Every run of white space is one blank, written only before more text.
        QString words;
        words.reserve(raw.size());
        bool blank = false;
        for (const QChar c : raw) {
            if (isHTMLSpace(c)) {
                blank = true;
                continue;
            }
            if (blank && !words.isEmpty())
                words += u' ';
            else if (blank)
                dueSpace(level.attributes);
            blank = false;
            words += c;
        }
        write(words, level.attributes);
        if (blank)
            dueSpace(level.attributes);
    }

    void dueSpace(const TextAttributes& attributes)
    {
        if (!m_spaceDue)
            m_spaceAttributes = attributes;
        m_spaceDue = true;
    }

    // Writes `text` after the line break or blank due before it.
    void write(const QString& text, const TextAttributes& attributes)
    {
        if (text.isEmpty())
            return;
        if (std::exchange(m_lineBreakDue, false) && !atLineStart(u'\n')) {
            m_spaceDue = false;
            append(QStringLiteral("\n"), attributes);
        }
        if (std::exchange(m_spaceDue, false) && !atLineStart(u'\n') && !atLineStart(u'\t'))
            append(QStringLiteral(" "), m_spaceAttributes);
        append(text, attributes);
    }

    // Whether the text is empty or ends with `separator`.
    bool atLineStart(char16_t separator) const
    {
        return m_text.isEmpty() || m_text.string().back() == separator;
    }

    void append(const QString& text, const TextAttributes& attributes)
    {
        m_text.appendAttributedString(AttributedString(text, attributes));
    }

    qsizetype m_maximumLength;
    AttributedString m_text;
    QList<Level> m_levels; // the root's, then one per open element
    QList<int> m_cellsInRow; // cells so far in each open table row, innermost last
    bool m_lineBreakDue = false;
    bool m_spaceDue = false;
    TextAttributes m_spaceAttributes;
};

void initialiseParserOnce()
{
    static const bool initialised = (xmlInitParser(), true);
    Q_UNUSED(initialised);
}

} // namespace

std::optional<AttributedString> attributedStringFromHTML(const QString& html, QString* refusal, qsizetype maximumLength)
{
    const auto refuse = [refusal](const QString& reason) {
        if (refusal)
            *refusal = reason;
        return std::nullopt;
    };
    if (html.size() > kMaximumHTMLTextLength)
        return refuse(tr("The HTML is longer than %1 MB.").arg(kMaximumHTMLTextLength / (1024 * 1024)));
    initialiseParserOnce();
    const std::unique_ptr<htmlParserCtxt, ParserDeleter> parser(htmlNewParserCtxt());
    if (!parser)
        throw std::bad_alloc();
    const QByteArray utf8 = html.toUtf8();
    // The text is UTF-8 whatever the markup claims; nothing is fetched, nothing printed.
    const int options = HTML_PARSE_RECOVER | HTML_PARSE_NONET | HTML_PARSE_NOERROR | HTML_PARSE_NOWARNING |
                        HTML_PARSE_IGNORE_ENC | HTML_PARSE_COMPACT;
    const std::unique_ptr<xmlDoc, DocumentDeleter> document(
        htmlCtxtReadMemory(parser.get(), utf8.constData(), int(utf8.size()), nullptr, "UTF-8", options));
    // The parser halts only when memory runs out or elements nest deeper than it builds.
    if (parser->disableSAX) {
        if (parser->errNo == XML_ERR_NO_MEMORY)
            throw std::bad_alloc();
        return refuse(tr("The HTML nests its elements more than %1 deep.").arg(xmlParserMaxDepth));
    }
    if (!document)
        return AttributedString();
    return TextBuilder(maximumLength).build(document->children);
}

} // namespace platform
