#include "platform/vantrix/svg/SVGNumberScanner.h"

#include <QVarLengthArray>

#include <charconv>
#include <cmath>

namespace platform {

namespace {

bool isSpace(QChar c)
{
    return c == u' ' || c == u'\t' || c == u'\n' || c == u'\r' || c == u'\f';
}

bool isDigit(QChar c)
{
    return c >= u'0' && c <= u'9';
}

} // namespace

void SVGNumberScanner::skipSpaces()
{
    while (!atEnd() && isSpace(peek()))
        advance();
}

void SVGNumberScanner::skipSeparator()
{
    skipSpaces();
    if (peek() == u',') {
        advance();
        skipSpaces();
    }
}

std::optional<double> SVGNumberScanner::readNumber()
{
    const qsizetype start = m_position;
    qsizetype p = m_position;
    const auto at = [&](qsizetype i) { return i < m_text.size() ? m_text[i] : QChar(); };
    if (at(p) == u'+' || at(p) == u'-')
        ++p;
    qsizetype digits = 0;
    while (isDigit(at(p)))
        ++p, ++digits;
    if (at(p) == u'.') {
        ++p;
        while (isDigit(at(p)))
            ++p, ++digits;
    }
    if (digits == 0)
        return std::nullopt;
    // An exponent only counts when digits follow it, so "2em" stays a number and a unit.
    if (at(p) == u'e' || at(p) == u'E') {
        qsizetype e = p + 1;
        if (at(e) == u'+' || at(e) == u'-')
            ++e;
        if (isDigit(at(e))) {
            while (isDigit(at(e)))
                ++e;
            p = e;
        }
    }
    // Every character is ASCII by now; from_chars takes no '+'.
    const qsizetype from = at(start) == u'+' ? start + 1 : start;
    QVarLengthArray<char, 64> ascii(p - from);
    for (qsizetype i = 0; i < ascii.size(); ++i)
        ascii[i] = char(m_text[from + i].unicode());
    double value = 0;
    const auto [end, error] = std::from_chars(ascii.begin(), ascii.end(), value);
    if (error != std::errc() || end != ascii.end() || !std::isfinite(value))
        return std::nullopt;
    m_position = p;
    return value;
}

std::optional<bool> SVGNumberScanner::readFlag()
{
    if (peek() != u'0' && peek() != u'1')
        return std::nullopt;
    const bool flag = peek() == u'1';
    advance();
    return flag;
}

QStringView SVGNumberScanner::readIdentifier()
{
    const qsizetype start = m_position;
    while (!atEnd() && (peek().isLetter() || peek() == u'-' || peek() == u'%'))
        advance();
    return m_text.mid(start, m_position - start);
}

namespace {

std::optional<double> inPixels(double value, QStringView unit, double percentBase)
{
    static constexpr double kEmInPixels = 16;
    static constexpr double kPixelsPerInch = 96;
    if (unit.isEmpty() || unit == u"px")
        return value;
    if (unit == u"pt")
        return value * kPixelsPerInch / 72;
    if (unit == u"pc")
        return value * kPixelsPerInch / 6;
    if (unit == u"in")
        return value * kPixelsPerInch;
    if (unit == u"cm")
        return value * kPixelsPerInch / 2.54;
    if (unit == u"mm")
        return value * kPixelsPerInch / 25.4;
    if (unit == u"em")
        return value * kEmInPixels;
    if (unit == u"ex")
        return value * kEmInPixels / 2;
    if (unit == u"%")
        return value * percentBase / 100;
    return std::nullopt;
}

} // namespace

std::optional<double> parseSVGLength(QStringView text, double percentBase)
{
    SVGNumberScanner scanner(text.trimmed());
    const std::optional<double> number = scanner.readNumber();
    if (!number)
        return std::nullopt;
    const QStringView unit = scanner.readIdentifier();
    if (!scanner.atEnd())
        return std::nullopt;
    const std::optional<double> pixels = inPixels(*number, unit, percentBase);
    return pixels && std::isfinite(*pixels) ? pixels : std::nullopt;
}

} // namespace platform
