#include "media/enumeration/ZQFolderEnumerator.h"

#include "app/utilities/FileUtilities.h"
#include "media/folders/FilePackages.h"
#include "media/watcher/ZQFolderWatcher.h"
#include "platform/foundation/NamedException.h"
#include "platform/foundation/ZQLog.h"

#include <QDir>
#include <QDirIterator>
#include <QFileInfo>
#include <memory>
#include <vector>

ZQFolderEnumerator::ZQFolderEnumerator() = default;

ZQFolderEnumerator::~ZQFolderEnumerator()
{
    if (m_watched)
        ZQFolderWatcher::defaultWatcher().removeObserver(this);
}

std::shared_ptr<ZQFolderEnumerator> ZQFolderEnumerator::folderEnumeratorWithPath(const QString& path)
{
    return folderEnumeratorWithPathIncludeSubFoldersFileTypes(path, false, {});
}

std::shared_ptr<ZQFolderEnumerator> ZQFolderEnumerator::folderEnumeratorWithPathIncludeSubFoldersFileTypes(
    const QString& path, bool includeSubFolders, const QStringList& fileTypes)
{
    auto enumerator = std::make_shared<ZQFolderEnumerator>();
    enumerator->initWithPath(path);
    enumerator->setIncludesSubFolders(includeSubFolders);
    enumerator->setFileTypes(fileTypes);
    return enumerator;
}

QStringList ZQFolderEnumerator::filesAtFolderPathOfTypes(const QString& path, const QStringList& types)
{
    return folderEnumeratorWithPathIncludeSubFoldersFileTypes(path, false, types)->files();
}

QStringList ZQFolderEnumerator::filesInApplicationSupportFolderOfTypes(const QStringList& types)
{
    return filesAtFolderPathOfTypes(thisApplicationsSupportFolderURL().toLocalFile(), types);
}

void ZQFolderEnumerator::initWithPath(const QString& path)
{
    m_folder = path;
    ZQFolderWatcher::defaultWatcher().addObserverSelectorForFolderUserInfo(this, "folderWatcherNotification",
                                                                           QUrl::fromLocalFile(path));
    m_watched = true;
    ZQLogObjCMethod(QStringLiteral("initialised folder enumerator for path '%1'").arg(path));
}

void ZQFolderEnumerator::setFileTypes(const QStringList& types)
{
    m_fileTypes = types;
    reset();
}

void ZQFolderEnumerator::setIncludesSubFolders(bool flag)
{
    if (flag == m_includesSubFolders)
        return;
    m_includesSubFolders = flag;
    reset();
}

QStringList ZQFolderEnumerator::files()
{
    if (!m_files)
        m_files = scanFolder();
    return *m_files;
}

QList<QUrl> ZQFolderEnumerator::fileURLs()
{
    if (!m_fileURLs) {
        QList<QUrl> urls;
        for (const QString& path : files())
            urls.append(QUrl::fromLocalFile(path));
        m_fileURLs = urls;
    }
    return *m_fileURLs;
}

void ZQFolderEnumerator::reset()
{
    m_files.reset();
    m_fileURLs.reset();
}

bool ZQFolderEnumerator::includeFileAtPath(const QString& path) const
{
    return m_fileTypes.isEmpty() || m_fileTypes.contains(pathExtension(path));
}

void ZQFolderEnumerator::folderWatcherNotification(const platform::Notification& notification)
{
    reset();
    ZQLogObjCMethod(QStringLiteral("folder enumerator %1 automatically reset by notification from file system (path = %2)")
                        .arg(description(), notification.userInfo.value(QStringLiteral("path")).toString()));
}

QStringList ZQFolderEnumerator::scanFolder() const
{
    if (!QFileInfo(m_folder).isDir())
        throw platform::NamedException(QStringLiteral("NSInternalInconsistencyException"),
                                       QStringLiteral("Folder specified does not exist or is not a folder"));
    ZQLogObjCMethod(QStringLiteral("%1 starting scan of folder '%2', fileTypes = (%3)")
                        .arg(description(), m_folder, m_fileTypes.join(QStringLiteral(", "))));
    // Depth first, each folder's entries before its next sibling's, as a directory walk reports them.
    const auto entriesOf = [](const QString& folder) {
        return std::make_unique<QDirIterator>(folder, QDir::AllEntries | QDir::NoDotAndDotDot | QDir::Hidden |
                                                          QDir::System);
    };
    QStringList found;
    std::vector<std::unique_ptr<QDirIterator>> walk;
    walk.push_back(entriesOf(QDir::cleanPath(m_folder)));
    while (!walk.empty()) {
        QDirIterator& entries = *walk.back();
        if (!entries.hasNext()) {
            walk.pop_back();
            continue;
        }
        const QString path = entries.next();
        const QFileInfo entry = entries.fileInfo();
        const bool isDirectory = entry.isDir() && !entry.isSymLink();
        const bool isPackage = isDirectory && hasPackageExtension(entry.fileName());
        // Pipes, devices and sockets are never listed: opening one for a thumbnail can block for ever.
        const bool isSpecial = !entry.isFile() && !entry.isDir();
        if (!isSpecial && includeFileAtPath(path) && !pathExtension(path).isEmpty())
            found.append(path);
        if (isDirectory && m_includesSubFolders && !isPackage)
            walk.push_back(entriesOf(path));
    }
    ZQLogObjCMethod(QStringLiteral("--- folder scan complete ---"));
    return found;
}
