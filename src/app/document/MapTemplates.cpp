#include "app/document/MapTemplates.h"

#include "app/utilities/FileUtilities.h"
#include "platform/foundation/BundleFolder.h"
#include "platform/foundation/ZQLog.h"

#include <QDir>
#include <QFileInfo>

namespace {

// Folders nested deeper than this are not searched for templates (and links are not followed).
constexpr int kMaximumTemplateFolderDepth = 16;

void collectTemplates(const QDir& folder, bool includingSubfolders, int depth, QList<QUrl>& found)
{
    const QStringList& extensions = MapTemplates::templateFileExtensions();
    const QFileInfoList entries =
        folder.entryInfoList(QDir::Files | QDir::Dirs | QDir::NoDotAndDotDot | QDir::NoSymLinks, QDir::Name);
    for (const QFileInfo& entry : entries) {
        // Templates are packages (folders) or single files; either way they end the descent.
        if (extensions.contains(entry.suffix(), Qt::CaseInsensitive))
            found.append(QUrl::fromLocalFile(entry.absoluteFilePath()));
        else if (entry.isDir() && includingSubfolders && depth < kMaximumTemplateFolderDepth)
            collectTemplates(QDir(entry.absoluteFilePath()), true, depth + 1, found);
    }
}

QString expandingTilde(const QString& path)
{
    if (path == QLatin1String("~") || path.startsWith(QLatin1String("~/")))
        return QDir::homePath() + path.mid(1);
    return path;
}

} // namespace

const QStringList& MapTemplates::templateFileExtensions()
{
    static const QStringList extensions{QStringLiteral("vlm"), QStringLiteral("quorvane_map"), QStringLiteral("tmsv"),
                                        QStringLiteral("qvnl")};
    return extensions;
}

QUrl MapTemplates::documentTemplatesURL()
{
    // Documents are read from files, so the bundle's folder is used through its copy on disk.
    const QString folder = platform::bundleFolderOnDisk(QStringLiteral("Quorvane Templates"));
    return folder.isEmpty() ? QUrl() : QUrl::fromLocalFile(folder);
}

QUrl MapTemplates::userTemplatesURL()
{
    const QString support = thisApplicationsSupportFolderURL().toLocalFile();
    const QUrl folder = QUrl::fromLocalFile(QDir(support).filePath(QStringLiteral("My Templates")));
    if (!createDirectoryIfNeeded(folder))
        ZQLog(QStringLiteral("could not create user templates folder"));
    return folder;
}

QList<QUrl> MapTemplates::availableTemplatesAtURLIncludingSubfolders(const QUrl& folder, bool includingSubfolders)
{
    if (!folder.isLocalFile() || !createDirectoryIfNeeded(folder))
        return {};
    QList<QUrl> templates;
    collectTemplates(QDir(folder.toLocalFile()), includingSubfolders, 0, templates);
    return templates;
}

bool MapTemplates::hasTemplatesAvailable()
{
    return !availableTemplatesAtURLIncludingSubfolders(documentTemplatesURL(), true).isEmpty()
           || !availableTemplatesAtURLIncludingSubfolders(userTemplatesURL(), true).isEmpty();
}

bool MapTemplates::isUserTemplateURL(const QUrl& url)
{
    if (!url.isLocalFile())
        return false;
    // Whole components: "My Templates Old" is not inside "My Templates".
    const QString path = QDir::cleanPath(expandingTilde(url.toLocalFile()));
    const QString folder = QDir::cleanPath(userTemplatesURL().toLocalFile());
    return path.compare(folder, Qt::CaseInsensitive) == 0
           || path.startsWith(folder + QLatin1Char('/'), Qt::CaseInsensitive);
}
