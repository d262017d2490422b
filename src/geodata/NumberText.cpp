#include "geodata/NumberText.h"

#include <QByteArrayAlgorithms>
#include <algorithm>
#include <charconv>
#include <cmath>
#include <optional>

namespace geodata {
namespace {

bool isDigit(char c) { return c >= '0' && c <= '9'; }

bool isBlank(char c) { return c == ' ' || c == '\t' || c == '\v' || c == '\f' || c == '\r' || c == '\n'; }

QByteArrayView trimmed(QByteArrayView text)
{
    while (!text.isEmpty() && isBlank(text.front()))
        text = text.sliced(1);
    while (!text.isEmpty() && isBlank(text.back()))
        text.chop(1);
    return text;
}

// The count of significant digits (leading and trailing zeros aside) when the whole of `text`
// is a decimal: optional sign, digits with an optional fraction, optional exponent. `whole`
// tells whether it has neither fraction nor exponent.
std::optional<qsizetype> significantDigits(QByteArrayView text, bool& whole)
{
    qsizetype at = 0;
    if (at < text.size() && (text[at] == '+' || text[at] == '-'))
        ++at;
    qsizetype digits = 0, firstSignificant = -1, lastSignificant = -1;
    bool fraction = false;
    for (; at < text.size() && (isDigit(text[at]) || (text[at] == '.' && !fraction)); ++at) {
        if (text[at] == '.') {
            fraction = true;
            continue;
        }
        if (text[at] != '0') {
            if (firstSignificant < 0)
                firstSignificant = digits;
            lastSignificant = digits;
        }
        ++digits;
    }
    if (digits == 0)
        return std::nullopt;
    bool exponent = false;
    if (at < text.size() && (text[at] == 'e' || text[at] == 'E')) {
        exponent = true;
        if (++at < text.size() && (text[at] == '+' || text[at] == '-'))
            ++at;
        const qsizetype exponentStart = at;
        while (at < text.size() && isDigit(text[at]))
            ++at;
        if (at == exponentStart)
            return std::nullopt;
    }
    if (at != text.size())
        return std::nullopt;
    whole = !fraction && !exponent;
    return firstSignificant < 0 ? 0 : lastSignificant - firstSignificant + 1;
}

// Past the leading blanks and the sign.
const char* numberStart(const char* at, const char* end, bool* negative)
{
    while (at != end && (*at == ' ' || *at == '\t' || *at == '\v' || *at == '\f'))
        ++at;
    *negative = false;
    if (at != end && (*at == '+' || *at == '-'))
        *negative = *at++ == '-';
    return at;
}

// from_chars would also take "inf" and "nan", which are not numbers here.
bool startsWithDigits(const char* at, const char* end)
{
    return at != end && (isDigit(*at) || (*at == '.' && at + 1 != end && isDigit(at[1])));
}

} // namespace

LeadingNumber readLeadingNumber(QByteArrayView text)
{
    const char* end = text.data() + text.size();
    bool negative = false;
    const char* at = numberStart(text.data(), end, &negative);
    if (end - at >= 3 && (qstrnicmp(at, "nan", 3) == 0 || qstrnicmp(at, "inf", 3) == 0))
        return {LeadingNumber::NotFinite};
    if (!startsWithDigits(at, end))
        return {};
    double value = 0;
    const auto [next, error] = std::from_chars(at, end, value, std::chars_format::general);
    if (error == std::errc::result_out_of_range) {
        // Out of range below (1e-999) is a tiny number, not an infinite one.
        const char* exponent = std::find_if(at, next, [](char c) { return c == 'e' || c == 'E'; });
        const bool tiny = exponent != next && exponent + 1 != next && exponent[1] == '-';
        return {tiny ? LeadingNumber::Number : LeadingNumber::BeyondRange};
    }
    if (error != std::errc() || !std::isfinite(value))
        return {};
    return {LeadingNumber::Number, negative ? -value : value};
}

double leadingDouble(QByteArrayView text) { return readLeadingNumber(text).value; }

TextNumber numberOfText(QByteArrayView text)
{
    text = trimmed(text);
    bool whole = false;
    const std::optional<qsizetype> digits = significantDigits(text, whole);
    if (!digits)
        return {};
    // from_chars takes no plus sign.
    const QByteArrayView number = text.front() == '+' ? text.sliced(1) : text;
    if (whole) {
        qint64 integer = 0;
        const auto [end, error] = std::from_chars(number.data(), number.data() + number.size(), integer);
        if (error == std::errc() && end == number.data() + number.size())
            return integer;
    }
    double real = 0;
    const auto [end, error] = std::from_chars(number.data(), number.data() + number.size(), real);
    if (error == std::errc() && end == number.data() + number.size() && std::isfinite(real)
        && (real != 0 || *digits == 0))
        return real;
    return text;
}

void appendNumber(QByteArray& text, double value)
{
    char buffer[64];
    const double magnitude = std::abs(value);
    const bool plain = magnitude == 0 || (magnitude >= 1e-5 && magnitude < 1e15);
    const auto result = plain ? std::to_chars(buffer, buffer + sizeof buffer, value, std::chars_format::fixed)
                              : std::to_chars(buffer, buffer + sizeof buffer, value);
    text.append(buffer, result.ptr - buffer);
}

} // namespace geodata
