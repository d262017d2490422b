#include "geodata/NumberText.h"

#include <charconv>
#include <cmath>

namespace geodata {
namespace {

bool isDigit(char c) { return c >= '0' && c <= '9'; }

template <class T>
T leadingNumber(QByteArrayView text)
{
    const char* at = text.data();
    const char* end = at + text.size();
    while (at != end && (*at == ' ' || *at == '\t' || *at == '\v' || *at == '\f'))
        ++at;
    bool negative = false;
    if (at != end && (*at == '+' || *at == '-'))
        negative = *at++ == '-';
    // from_chars would also take "inf" and "nan", which are not numbers here.
    if (at == end || !(isDigit(*at) || (*at == '.' && at + 1 != end && isDigit(at[1]))))
        return 0;
    T value = 0;
    const auto [next, error] = std::from_chars(at, end, value, std::chars_format::general);
    if (error != std::errc() || !std::isfinite(value))
        return 0;
    return negative ? -value : value;
}

} // namespace

double leadingDouble(QByteArrayView text) { return leadingNumber<double>(text); }
float leadingFloat(QByteArrayView text) { return leadingNumber<float>(text); }

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
