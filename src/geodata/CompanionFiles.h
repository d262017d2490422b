#pragma once

// Finds the files of a shapefile set beside its .shp. Sets copied from other systems often
// spell their extensions in capitals, so each companion is looked for spelt in the case of
// the .shp's own extension first ("X.SHP" beside "X.DBF"), then in lower case, then in
// whatever case the folder holds it. A name that is there counts even when it is a link
// leading nowhere: opening it then says why it cannot be read.

#include <QString>
#include <QStringList>
#include <optional>

namespace geodata {

class CompanionFiles {
public:
    explicit CompanionFiles(const QString& shpPath);

    // The path of the companion with this lower-case extension ("dbf"); nullopt when the
    // folder holds none.
    std::optional<QString> find(const QString& extension);
    // How the companion is spelt when the .shp's case is followed: the path it is looked
    // for at first.
    QString preferredPath(const QString& extension) const;

private:
    QString pathWithExtension(const QString& extension) const;
    const QStringList& folderNames();

    QString m_folder;
    QString m_baseName;
    QString m_shpExtension;
    std::optional<QStringList> m_folderNames; // listed once, when first needed
};

} // namespace geodata
