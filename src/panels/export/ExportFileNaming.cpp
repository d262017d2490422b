#include "panels/export/ExportFileNaming.h"

#include <QDir>
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

QString uniqueBaseNameInFolder(const QString& base, const QString& extension, const QString& folder)
{
    const QDir dir(folder);
    const auto taken = [&](const QString& candidate) {
        return QFileInfo::exists(dir.filePath(candidate + u'.' + extension));
    };
    if (!taken(base))
        return base;
    for (qint64 n = 1;; ++n) {
        const QString candidate = QStringLiteral("%1-%2").arg(base).arg(n);
        if (!taken(candidate))
            return candidate;
    }
}

} // namespace exportnaming
