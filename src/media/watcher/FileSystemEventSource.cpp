#include "media/watcher/FileSystemEventSource.h"

#include "platform/foundation/ZQLog.h"

namespace {

QStringList withoutTrailingSlashes(const QStringList& paths)
{
    QStringList plain;
    plain.reserve(paths.size());
    for (const QString& path : paths)
        plain.append(path.size() > 1 && path.endsWith(QLatin1Char('/')) ? path.chopped(1) : path);
    return plain;
}

} // namespace

FileSystemEventSource::FileSystemEventSource()
{
    QObject::connect(&m_watcher, &QFileSystemWatcher::directoryChanged, &m_watcher, [this](const QString& path) {
        report(path.endsWith(QLatin1Char('/')) ? path : path + QLatin1Char('/'));
    });
}

void FileSystemEventSource::addWatchedPaths(const QStringList& folderPaths)
{
    for (const QString& refused : m_watcher.addPaths(withoutTrailingSlashes(folderPaths)))
        LogEvent(kFileEvent, QStringLiteral("the folder '%1' cannot be watched for changes (it may be gone, or the "
                                            "system's limit of watched folders is reached)")
                                 .arg(refused));
}

void FileSystemEventSource::removeWatchedPaths(const QStringList& folderPaths)
{
    // A deleted folder has left the watch already; removing it again is no failure.
    m_watcher.removePaths(withoutTrailingSlashes(folderPaths));
}
