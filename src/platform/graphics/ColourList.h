#pragma once

// A named palette: colours under names, in the order the palette gives them. The
// application's palettes are property lists in the bundle's "ColourLists" folder, one
// dictionary of name -> "#RRGGBB" per file, the file's base name being the list's name.

#include <QColor>
#include <QList>
#include <QString>
#include <QStringList>
#include <memory>

namespace platform {

class ColourList;
using ColourListPtr = std::shared_ptr<const ColourList>;

class ColourList {
public:
    ColourList(QString name, QList<std::pair<QString, QColor>> entries);

    // The bundle's lists, by name in alphabetical order. Read once; safe from any thread.
    static QStringList availableColourListNames();
    // Null for a name no list has.
    static ColourListPtr colourListNamed(const QString& name);
    // A list from a property-list file; null when the file holds no dictionary of colours.
    // Entries whose value is not a colour are left out.
    static ColourListPtr colourListWithContentsOfFile(const QString& path);

    QString name() const { return m_name; }
    qsizetype count() const { return m_entries.size(); }
    bool isEmpty() const { return m_entries.isEmpty(); }
    // The names in the list's order.
    QStringList allKeys() const;
    // An invalid colour for a name the list lacks.
    QColor colourWithKey(const QString& key) const;
    QColor colourAtIndex(qsizetype index) const { return m_entries.at(index).second; }

private:
    QString m_name;
    QList<std::pair<QString, QColor>> m_entries;
};

} // namespace platform
