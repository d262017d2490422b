#include "platform/vantrix/text/HTMLTextReading.h"

#include "platform/vantrix/text/HTMLRunStyle.h"

#include <QCoreApplication>
#include <QList>
#include <QStringDecoder>
#include <libxml/HTMLparser.h>
#include <libxml/parser.h>
#include <libxml/tree.h>
#include <algorithm>
#include <memory>
#include <new>

namespace platform {

namespace {

QString tr(const char* text) { return QCoreApplication::translate("HTMLTextReading", text); }

struct ParserDeleter {
    void operator()(htmlParserCtxt* parser) const { htmlFreeParserCtxt(parser); }
};

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

// Writes the text of the elements and characters the parser finds, in document order.
class TextBuilder {
public:
    explicit TextBuilder(qsizetype maximumLength)
        : m_maximumLength(maximumLength)
    {
        m_levels.append(Level{});
    }

    bool isFull() const { return m_text.length() > m_maximumLength; }
    const AttributedString& text() const { return m_text; }

    void open(QByteArrayView name, const HTMLRunStyle::AttributeLookup& attribute)
    {
        const Level& outer = m_levels.last();
        const HTMLRunStyle style = outer.style.inElement(name, attribute);
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

    void close(QByteArrayView name)
    {
        m_levels.removeLast();
        switch (placementOf(name)) {
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

    // The parser hands a text over in pieces, each of whole characters.
    void characters(QStringView raw)
    {
        const Level& level = m_levels.last();
        if (level.keepsWhiteSpace) {
            QString kept = raw.toString();
            // A line's end may be split between two pieces.
            if (std::exchange(m_afterCarriageReturn, kept.endsWith(u'\r')) && kept.startsWith(u'\n'))
                kept.remove(0, 1);
            kept.replace(QStringLiteral("\r\n"), QStringLiteral("\n")).replace(u'\r', u'\n');
            write(kept, level.attributes);
            return;
        }
        m_afterCarriageReturn = false;
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

private:
    struct Level {
        HTMLRunStyle style;
        TextAttributes attributes;
        bool keepsWhiteSpace = false;
    };

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

    // Past the most characters wanted, only the first one over is kept.
    void append(const QString& text, const TextAttributes& attributes)
    {
        const qsizetype room = m_maximumLength - m_text.length();
        if (room < 0)
            return;
        m_text.appendAttributedString(
            AttributedString(text.size() > room ? text.first(room + 1) : text, attributes));
    }

    qsizetype m_maximumLength;
    AttributedString m_text;
    QList<Level> m_levels; // the root's, then one per open element
    QList<int> m_cellsInRow; // cells so far in each open table row, innermost last
    bool m_lineBreakDue = false;
    bool m_spaceDue = false;
    bool m_afterCarriageReturn = false;
    TextAttributes m_spaceAttributes;
};

void initialiseParserOnce()
{
    static const bool initialised = (xmlInitParser(), true);
    Q_UNUSED(initialised);
}

QByteArrayView viewOf(const xmlChar* text)
{
    return QByteArrayView(reinterpret_cast<const char*>(text));
}

// Runs the system's HTML parser over the markup and hands what it finds to a TextBuilder. The
// parser stops as soon as the text is full or the markup passes a bound, so that no shape of
// markup costs more than its length in the parser's own work.
class MarkupReader {
public:
    MarkupReader(const QByteArray& utf8, TextBuilder& builder)
        : m_markup(utf8)
        , m_builder(builder)
    {
    }

    // Why the markup was refused; empty when it was read, as far as the text wanted.
    QString read()
    {
        initialiseParserOnce();
        const std::unique_ptr<htmlParserCtxt, ParserDeleter> parser(htmlNewParserCtxt());
        if (!parser)
            throw std::bad_alloc();
        // No tree is built: the text is written as the parser goes.
        xmlSAXHandler handler{};
        handler.initialized = 1;
        handler.startElement = startElement;
        handler.endElement = endElement;
        handler.characters = characters;
        *parser->sax = handler;
        parser->_private = this;
        m_parser = parser.get();
        // The text is UTF-8 whatever the markup claims; nothing is fetched, nothing printed.
        const int options = HTML_PARSE_RECOVER | HTML_PARSE_NONET | HTML_PARSE_NOERROR | HTML_PARSE_NOWARNING |
                            HTML_PARSE_IGNORE_ENC;
        xmlFreeDoc(htmlCtxtReadIO(parser.get(), input, nullptr, this, nullptr, "UTF-8", options));
        switch (m_bound) {
        case Bound::Depth:
            return tr("The HTML nests its elements more than %1 deep.").arg(kMaximumHTMLDepth);
        case Bound::Attributes:
            return tr("An element of the HTML has more than %1 attributes.").arg(kMaximumHTMLAttributes);
        case Bound::None:
            break;
        }
        if (parser->errNo == XML_ERR_NO_MEMORY)
            throw std::bad_alloc();
        return {};
    }

private:
    enum class Bound { None, Depth, Attributes };

    static MarkupReader& of(void* parser)
    {
        return *static_cast<MarkupReader*>(static_cast<htmlParserCtxt*>(parser)->_private);
    }

    // Only from the parser's callbacks of what it found, where it may be stopped; a full text
    // stops it within no bound.
    void stop(Bound bound)
    {
        m_bound = bound;
        m_stopped = true;
        xmlStopParser(m_parser);
    }

    static void startElement(void* parser, const xmlChar* name, const xmlChar** attributes)
    {
        MarkupReader& reader = of(parser);
        if (reader.m_stopped)
            return;
        qsizetype count = 0;
        while (attributes && attributes[2 * count])
            ++count;
        if (++reader.m_depth > kMaximumHTMLDepth)
            return reader.stop(Bound::Depth);
        if (count > kMaximumHTMLAttributes)
            return reader.stop(Bound::Attributes);
        const QByteArrayView element = viewOf(name);
        if (reader.m_leftOutDepth > 0 || placementOf(element) == Placement::LeftOut) {
            ++reader.m_leftOutDepth;
            return;
        }
        reader.m_builder.open(element, [attributes, count](const char* wanted) {
            for (qsizetype i = 0; i < count; ++i) {
                if (viewOf(attributes[2 * i]) == QByteArrayView(wanted))
                    return attributes[2 * i + 1] ? QString::fromUtf8(viewOf(attributes[2 * i + 1])) : QString();
            }
            return QString();
        });
        if (reader.m_builder.isFull())
            reader.stop(Bound::None);
    }

    static void endElement(void* parser, const xmlChar* name)
    {
        MarkupReader& reader = of(parser);
        if (reader.m_stopped)
            return;
        --reader.m_depth;
        if (reader.m_leftOutDepth > 0)
            --reader.m_leftOutDepth;
        else
            reader.m_builder.close(viewOf(name));
    }

    static void characters(void* parser, const xmlChar* text, int length)
    {
        MarkupReader& reader = of(parser);
        if (reader.m_stopped || reader.m_leftOutDepth > 0)
            return;
        reader.m_builder.characters(QString::fromUtf8(reinterpret_cast<const char*>(text), length));
        if (reader.m_builder.isFull())
            reader.stop(Bound::None);
    }

    // The parser draws its input a few kilobytes at a time as it goes, within tags too; here it
    // is seen to have read more attributes of a tag than are taken before it compares each with
    // all before it. Its array of a tag's attributes doubles when half full, so an array of more
    // than 4 n + 2 entries holds more than n attributes.
    static int input(void* context, char* buffer, int length)
    {
        auto& reader = *static_cast<MarkupReader*>(context);
        if (reader.m_parser->maxatts > 4 * kMaximumHTMLAttributes + 2) {
            // The parser may not be stopped while it reads: the markup ends here instead.
            reader.m_bound = Bound::Attributes;
            reader.m_stopped = true;
        }
        if (reader.m_stopped)
            return 0;
        const qsizetype size = std::min<qsizetype>(length, reader.m_markup.size() - reader.m_read);
        std::copy_n(reader.m_markup.constData() + reader.m_read, size, buffer);
        reader.m_read += size;
        return int(size);
    }

    const QByteArray& m_markup;
    TextBuilder& m_builder;
    htmlParserCtxt* m_parser = nullptr;
    qsizetype m_read = 0;
    int m_depth = 0; // of the elements open, html and body included
    int m_leftOutDepth = 0; // of those open within one left out
    bool m_stopped = false;
    Bound m_bound = Bound::None;
};

std::nullopt_t refuse(QString* refusal, const QString& reason)
{
    if (refusal)
        *refusal = reason;
    return std::nullopt;
}

QString tooLong()
{
    return tr("The HTML is longer than %1 MB.").arg(kMaximumHTMLTextLength / (1024 * 1024));
}

} // namespace

std::optional<AttributedString> attributedStringFromHTML(const QString& html, QString* refusal, qsizetype maximumLength)
{
    if (html.size() > kMaximumHTMLTextLength)
        return refuse(refusal, tooLong());
    TextBuilder builder(maximumLength);
    if (const QString reason = MarkupReader(html.toUtf8(), builder).read(); !reason.isEmpty())
        return refuse(refusal, reason);
    return builder.text();
}

std::optional<AttributedString> attributedStringFromHTMLData(const QByteArray& data, QString* refusal,
                                                             qsizetype maximumLength)
{
    // No encoding takes more than four bytes a character: longer data is longer text.
    if (data.size() > 4 * kMaximumHTMLTextLength)
        return refuse(refusal, tooLong());
    QStringDecoder decoder(QStringConverter::encodingForData(data, u'<').value_or(QStringConverter::Utf8),
                           QStringConverter::Flag::Stateless);
    const QString html = decoder(data);
    if (decoder.hasError())
        return refuse(refusal, tr("The HTML is neither UTF-8 nor UTF-16."));
    return attributedStringFromHTML(html, refusal, maximumLength);
}

} // namespace platform
