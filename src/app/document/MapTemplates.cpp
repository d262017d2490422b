#include "app/document/MapTemplates.h"

#include "app/document/MapTemplateLister.h"
#include "app/document/QuorvaneDocumentController.h"
#include "app/document/ZQQuorvaneDocument.h"
#include "app/utilities/FileUtilities.h"
#include "platform/foundation/BundleFolder.h"
#include "platform/foundation/ZQLog.h"

#include <QDir>

namespace {

QString expandingTilde(const QString& path)
{
    if (path == QLatin1String("~") || path.startsWith(QLatin1String("~/")))
        return QDir::homePath() + path.mid(1);
    return path;
}

} // namespace

const QStringList& MapTemplates::templateFileExtensions()
{
    static const QStringList extensions = QuorvaneDocumentController::fileExtensionsOfMapTypes(
        {kQuorvaneMapTemplateType, kZQLegacyMapDocumentType, kZQMapDocumentType});
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

MapTemplateLister::Function& MapTemplateLister::installed()
{
    static Function lister;
    return lister;
}

QList<QUrl> MapTemplates::availableTemplatesAtURLIncludingSubfolders(const QUrl& folder, bool includingSubfolders)
{
    const MapTemplateLister::Function& list = MapTemplateLister::installed();
    if (!folder.isLocalFile() || !createDirectoryIfNeeded(folder) || !list)
        return {};
    return list(folder.toLocalFile(), includingSubfolders, templateFileExtensions());
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
