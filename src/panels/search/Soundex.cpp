#include "panels/search/Soundex.h"

#include <QChar>
#include <algorithm>
#include <array>

namespace {

constexpr int kMinimumCodeLength = 4;
constexpr int kMaximumCodeLength = 10;
constexpr int kMaximumPrefixLength = 6;
constexpr double kDefaultThreshold = 0.75;
constexpr double kPrefixScale = 0.1;

// The digit of each letter a to z, built from the classes once.
const std::array<char, 26>& letterDigits()
{
    static const std::array<char, 26> digits = [] {
        std::array<char, 26> table{};
        const QList<QString>& sets = soundexCharacterSets();
        for (int letter = 25; letter >= 0; --letter)
            for (qsizetype digit = sets.size() - 1; digit >= 0; --digit)
                if (sets[digit].contains(QChar(u'a' + letter)))
                    table[letter] = char(digit);
        return table;
    }();
    return digits;
}

// As QChar::toLower, without the call for ASCII, which is nearly every text searched.
char16_t lowered(QChar character)
{
    const char16_t unit = character.unicode();
    if (unit < 0x80)
        return unit >= u'A' && unit <= u'Z' ? char16_t(unit + (u'a' - u'A')) : unit;
    return character.toLower().unicode();
}

// The code into `code` (at least kMaximumCodeLength long); answers its length, 0 for none.
// Works without allocating: a search compares many texts.
int soundexInto(const QString& text, int length, char16_t* code)
{
    length = std::clamp(length, kMinimumCodeLength, kMaximumCodeLength);
    int written = 0;
    int previous = 0;
    for (const QChar character : text) {
        if (character.isSpace())
            continue;
        const char16_t lower = lowered(character);
        if (written == 0) {
            code[written++] = lower;
            continue;
        }
        const int digit = soundexValueForCharacter(lower);
        if (digit != 0 && digit != previous) {
            code[written++] = char16_t(u'0' + digit);
            if (written == length)
                return written;
        }
        previous = digit;
    }
    if (written == 0)
        return 0;
    std::fill(code + written, code + length, u'0');
    return length;
}

// The common characters of a in b within `distance`, into `common`; answers how many.
qsizetype commonCharacters(QStringView a, QStringView b, qsizetype distance, char16_t* common)
{
    std::array<char16_t, kMaximumCodeLength> scratch;
    QString longScratch;
    char16_t* copy = scratch.data();
    if (b.size() > qsizetype(scratch.size())) {
        longScratch = b.toString();
        copy = reinterpret_cast<char16_t*>(longScratch.data());
    } else {
        std::copy(b.utf16(), b.utf16() + b.size(), copy);
    }
    qsizetype found = 0;
    for (qsizetype i = 0; i < a.size(); ++i) {
        const char16_t c = a[i].unicode();
        const qsizetype end = std::min(i + distance, b.size());
        for (qsizetype j = std::max<qsizetype>(i - distance, 0); j < end; ++j) {
            if (copy[j] == c) {
                common[found++] = c;
                copy[j] = u'*';
                break;
            }
        }
    }
    return found;
}

double jaro(QStringView a, QStringView b)
{
    const qsizetype shorter = std::min(a.size(), b.size());
    const qsizetype window = shorter / 2 + shorter % 2;
    // Codes fit on the stack; longer texts need room of their size.
    std::array<char16_t, kMaximumCodeLength> smallA, smallB;
    QString bigA, bigB;
    char16_t* commonA = smallA.data();
    char16_t* commonB = smallB.data();
    if (a.size() > qsizetype(smallA.size()) || b.size() > qsizetype(smallB.size())) {
        bigA.resize(a.size());
        bigB.resize(b.size());
        commonA = reinterpret_cast<char16_t*>(bigA.data());
        commonB = reinterpret_cast<char16_t*>(bigB.data());
    }
    const qsizetype m = commonCharacters(a, b, window, commonA);
    const qsizetype mB = commonCharacters(b, a, window, commonB);
    if (m != mB || m == 0)
        return 0;
    qsizetype unequal = 0;
    for (qsizetype k = 0; k < m; ++k)
        unequal += commonA[k] != commonB[k];
    const qsizetype transpositions = unequal / 2;
    const float sum = float(m) / float(a.size()) + float(m) / float(b.size()) + float(m - transpositions) / float(m);
    return double(sum) / 3.0;
}

int prefixLength(QStringView a, QStringView b)
{
    const qsizetype limit = std::min({a.size(), b.size(), qsizetype(kMaximumPrefixLength)});
    int length = 0;
    while (length < limit && a[length] == b[length])
        ++length;
    return length;
}

double jaroWinkler(QStringView a, QStringView b)
{
    const double j = jaro(a, b);
    return j + (1.0 - j) * prefixLength(a, b) * kPrefixScale;
}

bool soundsLikeCodeWithThreshold(const QString& text, QStringView code, double threshold)
{
    std::array<char16_t, kMaximumCodeLength> own;
    const int length = soundexInto(text, kMinimumCodeLength, own.data());
    return jaroWinkler(QStringView(own.data(), length), code) >= threshold;
}

} // namespace

const QList<QString>& soundexCharacterSets()
{
    static const QList<QString> sets{QStringLiteral("aeiouhw"), QStringLiteral("bfpv"), QStringLiteral("cgjkqsxz"),
                                     QStringLiteral("dt"),      QStringLiteral("l"),    QStringLiteral("mn"),
                                     QStringLiteral("r")};
    return sets;
}

int soundexValueForCharacter(char16_t character)
{
    return character >= u'a' && character <= u'z' ? letterDigits()[character - u'a'] : 0;
}

QString soundexStringOfLength(const QString& text, int length)
{
    std::array<char16_t, kMaximumCodeLength> code;
    const int written = soundexInto(text, length, code.data());
    return QString(reinterpret_cast<const QChar*>(code.data()), written);
}

QString soundexString(const QString& text)
{
    return soundexStringOfLength(text, kMinimumCodeLength);
}

bool soundsLikeStringWithJaroWinklerThreshold(const QString& text, const QString& other, double threshold)
{
    std::array<char16_t, kMaximumCodeLength> code;
    const int length = soundexInto(other, kMinimumCodeLength, code.data());
    return soundsLikeCodeWithThreshold(text, QStringView(code.data(), length), threshold);
}

bool soundsLikeString(const QString& text, const QString& other)
{
    return soundsLikeStringWithJaroWinklerThreshold(text, other, kDefaultThreshold);
}

bool soundsLikeCode(const QString& text, QStringView code)
{
    return soundsLikeCodeWithThreshold(text, code, kDefaultThreshold);
}

QString stringWithCommonCharactersFromStringSeparationDistance(const QString& text, const QString& other,
                                                              int distance)
{
    QString common(text.size(), Qt::Uninitialized);
    const qsizetype found = commonCharacters(text, other, distance, reinterpret_cast<char16_t*>(common.data()));
    common.truncate(found);
    return common;
}

int prefixLengthWithString(const QString& text, const QString& other)
{
    return prefixLength(text, other);
}

double jaroDistanceWithString(const QString& text, const QString& other)
{
    return jaro(text, other);
}

double jaroWinklerDistanceWithString(const QString& text, const QString& other)
{
    return jaroWinkler(text, other);
}
