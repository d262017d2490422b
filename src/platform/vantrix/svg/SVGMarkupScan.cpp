#include "platform/vantrix/svg/SVGMarkupScan.h"

#include <QCoreApplication>
#include <QStringDecoder>
#include <QStringEncoder>

#include <algorithm>
#include <cstring>

namespace platform {

namespace {

// The scanner reads bytes of ASCII-compatible encodings and characters of the others alike.
char32_t unit(char c)
{
    return uchar(c);
}
char32_t unit(QChar c)
{
    return c.unicode();
}
qsizetype indexOf(QByteArrayView text, char c, qsizetype from)
{
    return text.indexOf(c, from);
}
qsizetype indexOf(QStringView text, char c, qsizetype from)
{
    return text.indexOf(QLatin1Char(c), from);
}
qsizetype indexOf(QByteArrayView text, const char* s, qsizetype from)
{
    return text.indexOf(QByteArrayView(s), from);
}
qsizetype indexOf(QStringView text, const char* s, qsizetype from)
{
    return text.indexOf(QLatin1StringView(s), from);
}
bool startsWith(QByteArrayView text, const char* s)
{
    return text.startsWith(QByteArrayView(s));
}
bool startsWith(QStringView text, const char* s)
{
    return text.startsWith(QLatin1StringView(s));
}
QString toString(QByteArrayView text)
{
    return QString::fromUtf8(text);
}
QString toString(QStringView text)
{
    return text.toString();
}

bool isSpace(char32_t c)
{
    return c == ' ' || c == '\t' || c == '\r' || c == '\n';
}

bool isNameStart(char32_t c)
{
    return (c >= 'a' && c <= 'z') || (c >= 'A' && c <= 'Z') || c == '_' || c == ':' || c >= 0x80;
}

bool isQuote(char32_t c)
{
    return c == '"' || c == '\'';
}

QString tr(const char* text)
{
    return QCoreApplication::translate("SVG", text);
}

template <class Text>
class Scanner {
public:
    explicit Scanner(Text text) : m_text(text) {}

    std::optional<SVGMarkupScan::Counts> run(QString* reason)
    {
        qsizetype i = 0;
        while (i < size() && m_reason.isEmpty()) {
            i = content(i);
            if (i >= size())
                break;
            if (startsAt(i, "<!--"))
                i = after(i + 4, "-->");
            else if (startsAt(i, "<![CDATA["))
                i = after(i + 9, "]]>");
            else if (startsAt(i, "<?"))
                i = after(i + 2, "?>");
            else if (startsAt(i, "<!"))
                i = documentType(i + 2);
            else if (startsAt(i, "</"))
                i = after(i + 2, ">");
            else
                i = startTag(i + 1);
        }
        if (m_reason.isEmpty())
            return m_counts;
        if (reason)
            *reason = m_reason;
        return std::nullopt;
    }

private:
    qsizetype size() const { return m_text.size(); }
    char32_t at(qsizetype i) const { return unit(m_text[i]); }
    bool startsAt(qsizetype i, const char* s) const { return startsWith(m_text.sliced(i), s); }

    // Past the next `terminator`, or the end.
    qsizetype after(qsizetype i, const char* terminator) const
    {
        const qsizetype found = indexOf(m_text, terminator, i);
        return found < 0 ? size() : found + qsizetype(std::strlen(terminator));
    }

    // Character data, up to the next '<'.
    qsizetype content(qsizetype i)
    {
        qsizetype end = indexOf(m_text, '<', i);
        if (end < 0)
            end = size();
        countReferences(i, end);
        return end;
    }

    // A quoted literal at i; past its closing quote.
    qsizetype literal(qsizetype i, bool expandsReferences)
    {
        qsizetype end = indexOf(m_text, char(at(i)), i + 1);
        if (end < 0)
            end = size();
        if (expandsReferences)
            countReferences(i + 1, end);
        return std::min(end + 1, size());
    }

    void countReferences(qsizetype from, qsizetype to)
    {
        const Text text = m_text.first(to);
        for (qsizetype i = indexOf(text, '&', from); i >= 0 && m_reason.isEmpty(); i = indexOf(text, '&', i + 1)) {
            if (isEntityReference(i) && ++m_references > SVGMarkupScan::kMaximumEntityReferences)
                m_reason = tr("The file refers to its entities more than %L1 times.")
                               .arg(SVGMarkupScan::kMaximumEntityReferences);
        }
    }

    // "&name;" other than the predefined five; character references expand to one character.
    bool isEntityReference(qsizetype i) const
    {
        constexpr qsizetype kLongestName = 256;
        qsizetype end = i + 1;
        while (end < size() && end - i <= kLongestName && !isSpace(at(end)) && at(end) != ';' && at(end) != '&'
               && at(end) != '<' && !isQuote(at(end)))
            ++end;
        if (end >= size() || at(end) != ';' || end == i + 1 || at(i + 1) == '#')
            return false;
        const Text name = m_text.sliced(i + 1, end - i - 1);
        for (const char* predefined : {"lt", "gt", "amp", "apos", "quot"}) {
            if (name.size() == qsizetype(std::strlen(predefined)) && startsWith(name, predefined))
                return false;
        }
        return true;
    }

    qsizetype startTag(qsizetype i)
    {
        const qsizetype nameStart = i;
        while (i < size() && !isSpace(at(i)) && at(i) != '/' && at(i) != '>' && at(i) != '<')
            ++i;
        const Text name = m_text.sliced(nameStart, std::min<qsizetype>(i - nameStart, 64));
        qsizetype attributes = 0;
        while (i < size()) {
            const char32_t c = at(i);
            if (c == '>') {
                ++i;
                break;
            }
            if (c == '<')
                break; // malformed: the reader will say so
            if (isQuote(c)) {
                i = literal(i, true);
                continue;
            }
            if (c == '=')
                ++attributes;
            ++i;
        }
        ++m_counts.elements;
        m_counts.attributes += attributes;
        if (attributes > SVGMarkupScan::kMaximumAttributes && m_reason.isEmpty())
            m_reason = tr("The element <%1> on line %2 has %L3 attributes; no drawing needs more than %L4.")
                           .arg(toString(name))
                           .arg(lineOf(nameStart))
                           .arg(attributes)
                           .arg(SVGMarkupScan::kMaximumAttributes);
        return i;
    }

    qsizetype documentType(qsizetype i)
    {
        while (i < size() && m_reason.isEmpty()) {
            const char32_t c = at(i);
            if (isQuote(c))
                i = literal(i, false);
            else if (c == '[')
                i = internalSubset(i + 1);
            else if (c == '>')
                return i + 1;
            else
                ++i;
        }
        return i;
    }

    qsizetype internalSubset(qsizetype i)
    {
        while (i < size() && m_reason.isEmpty()) {
            const char32_t c = at(i);
            if (c == ']')
                return i + 1;
            if (startsAt(i, "<!--"))
                i = after(i + 4, "-->");
            else if (startsAt(i, "<?"))
                i = after(i + 2, "?>");
            else if (startsAt(i, "<!ATTLIST"))
                i = attributeList(i + 9);
            else if (isQuote(c))
                i = literal(i, false);
            else
                checkParameterEntity(i++);
        }
        return i;
    }

    qsizetype attributeList(qsizetype i)
    {
        while (i < size() && m_reason.isEmpty()) {
            const char32_t c = at(i);
            if (c == '>')
                return i + 1;
            if (isQuote(c)) {
                i = literal(i, false);
                declareAttribute();
                continue;
            }
            if (startsAt(i, "#REQUIRED") || startsAt(i, "#IMPLIED"))
                declareAttribute();
            checkParameterEntity(i++);
        }
        return i;
    }

    void declareAttribute()
    {
        if (++m_declaredAttributes > SVGMarkupScan::kMaximumDeclaredAttributes)
            m_reason = tr("The document type declares more than %L1 attribute defaults; no drawing needs so many.")
                           .arg(SVGMarkupScan::kMaximumDeclaredAttributes);
    }

    // "%name;" repeats what the entity declares as often as it is written.
    void checkParameterEntity(qsizetype i)
    {
        if (at(i) == '%' && i + 1 < size() && isNameStart(at(i + 1)))
            m_reason = tr("The document type refers to parameter entities, which drawings do not use.");
    }

    qsizetype lineOf(qsizetype position) const
    {
        const Text before = m_text.first(position);
        return 1 + std::count_if(before.begin(), before.end(), [](auto c) { return unit(c) == '\n'; });
    }

    Text m_text;
    SVGMarkupScan::Counts m_counts;
    qsizetype m_references = 0;
    qsizetype m_declaredAttributes = 0;
    QString m_reason;
};

// The encoding an XML declaration names; empty for none.
QByteArray declaredEncoding(QByteArrayView data)
{
    const QByteArrayView head = data.first(std::min<qsizetype>(data.size(), 512));
    const qsizetype end = head.indexOf("?>");
    const qsizetype key = head.indexOf("encoding");
    if (!head.contains("<?xml") || key < 0 || end < key)
        return {};
    const qsizetype open = head.indexOf('=', key);
    qsizetype quote = open + 1;
    while (quote < end && isSpace(uchar(head[quote])))
        ++quote;
    const qsizetype close = quote < end && isQuote(uchar(head[quote])) ? head.indexOf(head[quote], quote + 1) : -1;
    return open > 0 && close > quote ? head.sliced(quote + 1, close - quote - 1).toByteArray() : QByteArray();
}

// Whether the encoding writes markup characters as ASCII does, so that bytes can be scanned.
bool writesMarkupAsASCII(const QByteArray& encoding)
{
    QStringEncoder encoder(encoding.constData());
    static const QLatin1StringView probe("<>=&;%#!?[]-/\"' \n\tazAZ09");
    return encoder.isValid() && QByteArray(encoder.encode(QString(probe))) == QByteArrayView(probe);
}

} // namespace

std::optional<SVGMarkupScan::Counts> SVGMarkupScan::scan(const QByteArray& data, QString* reason)
{
    const std::optional<QStringConverter::Encoding> encoding = QStringConverter::encodingForData(data, u'<');
    if (encoding && *encoding != QStringConverter::Utf8) {
        const QString text = QStringDecoder(*encoding).decode(data);
        return Scanner<QStringView>(text).run(reason);
    }
    if (const QByteArray declared = declaredEncoding(data); !declared.isEmpty() && !writesMarkupAsASCII(declared)) {
        if (reason)
            *reason = tr("The file's encoding “%1” is not one drawings are written in.")
                          .arg(QString::fromLatin1(declared));
        return std::nullopt;
    }
    return Scanner<QByteArrayView>(data).run(reason);
}

} // namespace platform
