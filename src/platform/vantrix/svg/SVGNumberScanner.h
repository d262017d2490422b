#pragma once

// Reads the number lists of SVG attributes (path data, points, viewBox, transforms, dash
// arrays) in the SVG grammar: "1.5.5" is two numbers, "-.5e-3" one, commas and white space
// separate. Locale-independent; a number that does not fit a double is refused.

#include <QStringView>

#include <optional>

namespace platform {

class SVGNumberScanner {
public:
    explicit SVGNumberScanner(QStringView text) : m_text(text) {}

    bool atEnd() const { return m_position >= m_text.size(); }
    qsizetype position() const { return m_position; }
    QChar peek() const { return atEnd() ? QChar() : m_text[m_position]; }
    void advance() { ++m_position; }

    void skipSpaces();
    // White space around at most one comma.
    void skipSeparator();
    // Leaves the position unchanged when no number starts here.
    std::optional<double> readNumber();
    // A single '0' or '1', as arc flags are written ("a1 1 0 00 10 10").
    std::optional<bool> readFlag();
    // A plain identifier ("rotate", "px"); empty when none starts here.
    QStringView readIdentifier();

private:
    QStringView m_text;
    qsizetype m_position = 0;
};

// A length with its unit, resolved against the viewport length that "%" refers to.
// Answers user units (CSS px: absolute units go 96 to the inch), or nothing for malformed
// text, an unknown unit or an overflow.
std::optional<double> parseSVGLength(QStringView text, double percentBase);

} // namespace platform
