#include "panels/export/ExportFileNaming.h"

#include <QFileInfo>

namespace exportnaming {

QString safeFileName(const QString& name)
{
    QString safe;
    safe.reserve(name.size());
    for (const QChar c : name)
        safe.append(c == u'/' || c == u'\\' || c.category() == QChar::Other_Control ? QChar(u'-') : c);
    if (safe.isEmpty() || safe == u"." || safe == u"..")
        return QStringLiteral("_");
    return safe;
}

FreeNameFinder::FreeNameFinder(const QString& folder, QString extension, ExistsCheck exists)
    : m_folder(folder)
    , m_extension(std::move(extension))
    , m_exists(exists ? std::move(exists) : ExistsCheck([](const QString& path) { return QFileInfo::exists(path); }))
{
}

bool FreeNameFinder::taken(const QString& candidate) const
{
    return m_exists(m_folder.filePath(candidate + u'.' + m_extension));
}

QString FreeNameFinder::freeBaseName(const QString& base)
{
    qint64& suffix = m_lastSuffix[base];
    for (;; ++suffix) {
        const QString candidate = suffix == 0 ? base : QStringLiteral("%1-%2").arg(base).arg(suffix);
        if (!taken(candidate))
            return candidate;
    }
}

} // namespace exportnaming
