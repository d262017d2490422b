#include "symbols/sequences/SequenceNumbering.h"

#include <QCoreApplication>
#include <array>
#include <optional>

namespace sequencenumbering {
namespace {

const QString kFactoryAlphabet = QStringLiteral("ABCDEFGHIJKLMNOPQRSTUVWXYZ");
constexpr int kTensBase = 18; // cardinals[m / 10 + 18] is the word for the tens of m
constexpr int kHundredWord = 28;
constexpr int kThousandWord = 29;
constexpr int kMillionWord = 30;

QString& alphabetSetting()
{
    static QString alphabet = kFactoryAlphabet;
    return alphabet;
}

// The magnitude as an unsigned value: the most negative integer has no positive counterpart.
quint64 magnitudeOf(qint64 number)
{
    return number < 0 ? quint64(0) - quint64(number) : quint64(number);
}

QString cardinalWords(quint64 m);

// "<lead> <unit>" and the forms with a rest: ", <rest>" past 99, " and <rest>" below 100.
// The last part is in words of `last` (cardinal or ordinal); the leading part always cardinal.
template <typename Last>
QString wordsWithUnit(quint64 m, quint64 unit, int unitWord, const QString& unitWhenLast, Last last)
{
    const quint64 lead = m / unit;
    const quint64 rest = m % unit;
    if (rest == 0)
        return QStringLiteral("%1 %2").arg(cardinalWords(lead), unitWhenLast);
    const QString joiner = rest > 99 ? QStringLiteral("%1 %2, %3") : QStringLiteral("%1 %2 and %3");
    return joiner.arg(cardinalWords(lead), cardinals()[unitWord], last(rest));
}

QString cardinalWords(quint64 m)
{
    const QStringList& words = cardinals();
    if (m < 21)
        return words[int(m)];
    if (m < 100) {
        const QString tens = words[int(m / 10) + kTensBase];
        return m % 10 == 0 ? tens : QStringLiteral("%1-%2").arg(tens, words[int(m % 10)]);
    }
    if (m < 1000) {
        if (m % 100 == 0)
            return QStringLiteral("%1 %2").arg(cardinalWords(m / 100), words[kHundredWord]);
        return QStringLiteral("%1 %2 and %3").arg(cardinalWords(m / 100), words[kHundredWord], cardinalWords(m % 100));
    }
    if (m < 1000000)
        return wordsWithUnit(m, 1000, kThousandWord, words[kThousandWord], cardinalWords);
    return wordsWithUnit(m, 1000000, kMillionWord, words[kMillionWord], cardinalWords);
}

QString ordinalWords(quint64 m)
{
    const QStringList& words = ordinals();
    if (m < 21)
        return words[int(m)];
    if (m < 100) {
        if (m % 10 == 0)
            return words[int(m / 10) + kTensBase];
        return QStringLiteral("%1-%2").arg(cardinals()[int(m / 10) + kTensBase], words[int(m % 10)]);
    }
    if (m < 1000) {
        if (m % 100 == 0)
            return QStringLiteral("%1 %2").arg(cardinalWords(m / 100), words[kHundredWord]);
        return QStringLiteral("%1 %2 and %3").arg(cardinalWords(m / 100), cardinals()[kHundredWord], ordinalWords(m % 100));
    }
    if (m < 1000000)
        return wordsWithUnit(m, 1000, kThousandWord, words[kThousandWord], ordinalWords);
    return wordsWithUnit(m, 1000000, kMillionWord, words[kMillionWord], ordinalWords);
}

QString signedWords(qint64 number, QString (*words)(quint64))
{
    const QString magnitude = words(magnitudeOf(number));
    return number < 0 ? QStringLiteral("minus %1").arg(magnitude) : magnitude;
}

// The letter-based kinds; nothing when the number lies outside what they can show.
std::optional<QString> lettered(qint64 n, int kind, const QString& alphabet)
{
    const qint64 length = alphabet.size();
    if (n < 1)
        return std::nullopt;
    if (n <= length)
        return QString(alphabet[n - 1]);
    const qint64 place = (n - 1) / length;
    const qint64 rest = (n - 1) % length;
    if (kind == ReverseAlphaNumeric)
        return QString(QString::number(place) + alphabet[rest]);
    if (place > length)
        return std::nullopt;
    const QString lead = alphabet[place - 1];
    return QString(lead + (kind == Alphabetical ? QString(alphabet[rest]) : QString::number(rest + 1)));
}

} // namespace

QString displayNameForSequenceKind(int kind)
{
    static const std::array<const char*, kLastKind + 1> names{
        QT_TRANSLATE_NOOP("SequenceNumbering", "Numeric"),
        QT_TRANSLATE_NOOP("SequenceNumbering", "Alphabetical"),
        QT_TRANSLATE_NOOP("SequenceNumbering", "Alpha-numeric"),
        QT_TRANSLATE_NOOP("SequenceNumbering", "Reverse Alpha-numeric"),
        QT_TRANSLATE_NOOP("SequenceNumbering", "Roman Numerals"),
        QT_TRANSLATE_NOOP("SequenceNumbering", "Hexadecimal"),
        QT_TRANSLATE_NOOP("SequenceNumbering", "Cardinal Numbers"),
        QT_TRANSLATE_NOOP("SequenceNumbering", "Ordinal Numbers"),
        QT_TRANSLATE_NOOP("SequenceNumbering", "Abbreviated Ordinal Numbers"),
    };
    if (kind < 0 || kind > kLastKind)
        return {};
    return QCoreApplication::translate("SequenceNumbering", names[kind]);
}

QString defaultAlphabet()
{
    return alphabetSetting();
}

void setDefaultAlphabet(const QString& alphabet)
{
    alphabetSetting() = alphabet.isEmpty() ? kFactoryAlphabet : alphabet;
}

const QStringList& cardinals()
{
    static const QStringList words{
        "zero",    "one",     "two",     "three",     "four",     "five",    "six",      "seven",
        "eight",   "nine",    "ten",     "eleven",    "twelve",   "thirteen", "fourteen", "fifteen",
        "sixteen", "seventeen", "eighteen", "nineteen", "twenty",  "thirty",  "forty",    "fifty",
        "sixty",   "seventy", "eighty",  "ninety",    "hundred",  "thousand", "million"};
    return words;
}

const QStringList& ordinals()
{
    static const QStringList words{
        "zeroth",     "first",       "second",      "third",       "fourth",     "fifth",
        "sixth",      "seventh",     "eighth",      "ninth",       "tenth",      "eleventh",
        "twelfth",    "thirteenth",  "fourteenth",  "fifteenth",   "sixteenth",  "seventeenth",
        "eighteenth", "nineteenth",  "twentieth",   "thirtieth",   "fourtieth",  "fiftieth",
        "sixtieth",   "seventieth",  "eightieth",   "ninetieth",   "hundredth",  "thousandth",
        "millionth"};
    return words;
}

const QStringList& ordinalAbbreviations()
{
    static const QStringList suffixes{"th", "st", "nd", "rd"};
    return suffixes;
}

QString cardinalWithInteger(qint64 number)
{
    return signedWords(number, cardinalWords);
}

QString ordinalWithInteger(qint64 number)
{
    return signedWords(number, ordinalWords);
}

QString ordinalAbbreviationWithInteger(qint64 number)
{
    const quint64 m = magnitudeOf(number);
    quint64 suffix = 0;
    if (m < 4)
        suffix = m;
    else if (m >= 21 && m % 10 < 4)
        suffix = m % 10;
    return QString::number(number) + ordinalAbbreviations()[int(suffix)];
}

QString romanWithInteger(qint64 number)
{
    static const std::array<std::pair<int, const char*>, 13> numerals{{
        {1000, "M"}, {900, "CM"}, {500, "D"}, {400, "CD"}, {100, "C"}, {90, "XC"}, {50, "L"},
        {40, "XL"}, {10, "X"}, {9, "IX"}, {5, "V"}, {4, "IV"}, {1, "I"},
    }};
    if (number < 1 || number > 3999)
        return {};
    QString roman;
    for (const auto& [value, letters] : numerals) {
        for (; number >= value; number -= value)
            roman += QLatin1String(letters);
    }
    return roman;
}

QString formattedNumber(qint64 number, int kind, const QString& alphabet)
{
    switch (kind) {
    case Alphabetical:
    case AlphaNumeric:
    case ReverseAlphaNumeric:
        return lettered(number, kind, alphabet.isEmpty() ? defaultAlphabet() : alphabet).value_or(QString::number(number));
    case RomanNumerals:
        return romanWithInteger(number);
    case Hexadecimal:
        return QString::number(quint32(quint64(number)), 16).toUpper();
    case CardinalNumbers:
        return cardinalWithInteger(number);
    case OrdinalNumbers:
        return ordinalWithInteger(number);
    case AbbreviatedOrdinalNumbers:
        return ordinalAbbreviationWithInteger(number);
    default:
        return QString::number(number);
    }
}

} // namespace sequencenumbering
