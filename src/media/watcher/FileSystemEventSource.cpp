#include "media/watcher/FileSystemEventSource.h"

#include "platform/foundation/ZQLog.h"

#include <QFileInfo>

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
    QObject::connect(&m_watcher, &QFileSystemWatcher::directoryChanged, &m_watcher,
                     [this](const QString& path) { folderChanged(path); });
}

QStringList FileSystemEventSource::addWatchedPaths(const QStringList& folderPaths)
{
    QStringList refused = watch(withoutTrailingSlashes(folderPaths));
    for (QString& path : refused)
        path = path.endsWith(QLatin1Char('/')) ? path : path + QLatin1Char('/');
    return refused;
}

void FileSystemEventSource::removeWatchedPaths(const QStringList& folderPaths)
{
    const QStringList paths = withoutTrailingSlashes(folderPaths);
    for (const QString& path : paths)
        m_lost.remove(path);
    // A deleted folder has left the watch already; removing it again is no failure.
    m_watcher.removePaths(paths);
}

QStringList FileSystemEventSource::watch(const QStringList& paths)
{
    QStringList existing;
    for (const QString& refused : m_watcher.addPaths(paths)) {
        LogEvent(kFileEvent, QStringLiteral("the folder '%1' cannot be watched for changes (it may be gone, or the "
                                            "system's limit of watched folders is reached)")
                                 .arg(refused));
        if (QFileInfo(refused).isDir())
            existing.append(refused);
    }
    return existing;
}

void FileSystemEventSource::folderChanged(const QString& path)
{
    if (!QFileInfo(path).isDir())
        m_lost.insert(path);
    // A folder made again under a watched name shows up as a change of the folder holding it.
    QStringList returned;
    for (const QString& lost : std::as_const(m_lost)) {
        if (QFileInfo(lost).isDir())
            returned.append(lost);
    }
    for (const QString& folder : std::as_const(returned))
        m_lost.remove(folder);
    if (!returned.isEmpty())
        watch(returned);
    report(path.endsWith(QLatin1Char('/')) ? path : path + QLatin1Char('/'));
}
