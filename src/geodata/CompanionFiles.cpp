#include "geodata/CompanionFiles.h"

#include <QDir>
#include <QFileInfo>

namespace geodata {
namespace {

bool isThere(const QString& path)
{
    const QFileInfo entry(path);
    return entry.exists() || entry.isSymLink();
}

} // namespace

CompanionFiles::CompanionFiles(const QString& shpPath)
{
    const QFileInfo shp(shpPath);
    m_folder = shp.path();
    m_baseName = shp.completeBaseName();
    m_shpExtension = shp.suffix();
}

std::optional<QString> CompanionFiles::find(const QString& extension)
{
    for (const QString& path : {preferredPath(extension), pathWithExtension(extension)}) {
        if (isThere(path))
            return path;
    }
    const QString prefix = m_baseName + u'.';
    for (const QString& name : folderNames()) {
        if (name.size() == prefix.size() + extension.size() && name.startsWith(prefix)
            && name.endsWith(extension, Qt::CaseInsensitive))
            return pathWithExtension(name.sliced(prefix.size()));
    }
    return std::nullopt;
}

// Letter by letter, so that ".Shp" looks for ".Dbf" too.
QString CompanionFiles::preferredPath(const QString& extension) const
{
    QString spelt = extension;
    for (qsizetype i = 0; i < spelt.size() && i < m_shpExtension.size(); ++i) {
        if (m_shpExtension[i].isUpper())
            spelt[i] = spelt[i].toUpper();
    }
    return pathWithExtension(spelt);
}

QString CompanionFiles::pathWithExtension(const QString& extension) const
{
    return m_folder + u'/' + m_baseName + u'.' + extension;
}

const QStringList& CompanionFiles::folderNames()
{
    if (!m_folderNames)
        m_folderNames = QDir(m_folder).entryList(QDir::AllEntries | QDir::System | QDir::Hidden | QDir::NoDotAndDotDot,
                                                 QDir::Name);
    return *m_folderNames;
}

} // namespace geodata
