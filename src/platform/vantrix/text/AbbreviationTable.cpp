#include "platform/vantrix/text/AbbreviationTable.h"

namespace platform {

namespace {

const std::pair<const char*, const char*> kCartographicAbbreviations[] = {
    {"Avenue", "Ave"},     {"Boulevard", "Blvd"}, {"Centre", "Ctr"},    {"Center", "Ctr"},
    {"Court", "Ct"},       {"Crescent", "Cres"},  {"Drive", "Dr"},      {"East", "E"},
    {"Fort", "Ft"},        {"Gardens", "Gdns"},   {"Heights", "Hts"},   {"Highway", "Hwy"},
    {"Junction", "Jct"},   {"Lane", "Ln"},        {"Mount", "Mt"},      {"Mountain", "Mtn"},
    {"National", "Natl"},  {"North", "N"},        {"Northeast", "NE"},  {"Northwest", "NW"},
    {"Park", "Pk"},        {"Parkway", "Pkwy"},   {"Place", "Pl"},      {"Point", "Pt"},
    {"Road", "Rd"},        {"Saint", "St"},       {"South", "S"},       {"Southeast", "SE"},
    {"Southwest", "SW"},   {"Square", "Sq"},      {"Street", "St"},     {"Terrace", "Terr"},
    {"West", "W"},
};

bool isAllUpper(const QString& word)
{
    return word.toUpper() == word && word.toLower() != word;
}

bool isAllLower(const QString& word)
{
    return word.toLower() == word && word.toUpper() != word;
}

// The short form in the case of the word it replaces: shouting stays shouting, quiet stays quiet.
QString inCaseOf(const QString& word, const QString& abbreviation)
{
    if (word.size() > 1 && isAllUpper(word))
        return abbreviation.toUpper();
    if (isAllLower(word))
        return abbreviation.toLower();
    return abbreviation;
}

} // namespace

AbbreviationTable AbbreviationTable::cartographicTable()
{
    AbbreviationTable table;
    for (const auto& [word, abbreviation] : kCartographicAbbreviations)
        table.setAbbreviationForWord(QString::fromLatin1(abbreviation), QString::fromLatin1(word));
    return table;
}

void AbbreviationTable::setAbbreviationForWord(const QString& abbreviation, const QString& word)
{
    if (abbreviation.isEmpty())
        m_abbreviations.remove(word.toCaseFolded());
    else if (!word.isEmpty())
        m_abbreviations.insert(word.toCaseFolded(), abbreviation);
}

QString AbbreviationTable::abbreviationForWord(const QString& word) const
{
    return m_abbreviations.value(word.toCaseFolded());
}

QString AbbreviationTable::abbreviatedString(const QString& text) const
{
    if (m_abbreviations.isEmpty())
        return text;
    QString result;
    result.reserve(text.size());
    for (qsizetype i = 0; i < text.size();) {
        if (!text[i].isLetter()) {
            result += text[i++];
            continue;
        }
        qsizetype end = i;
        while (end < text.size() && text[end].isLetter())
            ++end;
        const QString word = text.mid(i, end - i);
        const QString abbreviation = abbreviationForWord(word);
        result += abbreviation.isEmpty() ? word : inCaseOf(word, abbreviation);
        i = end;
    }
    return result;
}

} // namespace platform
