#pragma once

// Short forms of words for map labels ("Street" -> "St"). Words match whole and without
// regard to case; a short form takes the case of the word it replaces, so "MAIN STREET"
// becomes "MAIN ST" and "main street" "main st".

#include <QHash>
#include <QString>

namespace platform {

class AbbreviationTable {
public:
    AbbreviationTable() = default;

    // Streets, roads and the like, compass points, and common geographic words.
    static AbbreviationTable cartographicTable();

    // An empty abbreviation removes the word's entry.
    void setAbbreviationForWord(const QString& abbreviation, const QString& word);
    // Empty when the word has no short form.
    QString abbreviationForWord(const QString& word) const;
    qsizetype count() const { return m_abbreviations.size(); }
    bool isEmpty() const { return m_abbreviations.isEmpty(); }

    // The text with every word that has a short form replaced by it.
    QString abbreviatedString(const QString& text) const;

private:
    QHash<QString, QString> m_abbreviations; // case-folded word -> short form
};

} // namespace platform
