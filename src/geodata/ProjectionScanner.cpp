#include "geodata/ProjectionScanner.h"

namespace geodata {
namespace {

bool isDelimiter(QChar c) { return c == u'[' || c == u']' || c == u','; }

} // namespace

bool ProjectionScanner::isAtEnd() const
{
    qsizetype at = m_position;
    while (at < m_text.size() && m_text[at].isSpace())
        ++at;
    return at >= m_text.size();
}

QStringView ProjectionScanner::scanToken()
{
    while (m_position < m_text.size() && m_text[m_position].isSpace())
        ++m_position;
    m_tokenStart = m_position;
    while (m_position < m_text.size() && !isDelimiter(m_text[m_position]))
        ++m_position;
    return QStringView(m_text).sliced(m_tokenStart, m_position - m_tokenStart).trimmed();
}

QChar ProjectionScanner::delimiter() const
{
    return m_position < m_text.size() ? m_text[m_position] : QChar();
}

void ProjectionScanner::skipDelimiter()
{
    if (m_position < m_text.size())
        ++m_position;
}

} // namespace geodata
