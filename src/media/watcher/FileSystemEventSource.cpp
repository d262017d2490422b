#include "media/watcher/FileSystemEventSource.h"

#include "platform/foundation/ZQLog.h"

#include <QFile>
#include <QFileInfo>
#include <QSocketNotifier>

#include <sys/inotify.h>
#include <unistd.h>

#include <cerrno>

namespace {

// What changes a folder's listing, and the folder itself going.
constexpr quint32 kFolderEvents = IN_ONLYDIR | IN_ATTRIB | IN_MOVE | IN_CREATE | IN_DELETE | IN_DELETE_SELF | IN_MOVE_SELF;

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
    : m_inotify(inotify_init1(IN_NONBLOCK | IN_CLOEXEC))
{
    if (m_inotify < 0) {
        LogEvent(kFileEvent, QStringLiteral("folders cannot be watched for changes: %1").arg(qt_error_string(errno)));
        return;
    }
    m_notifier = std::make_unique<QSocketNotifier>(m_inotify, QSocketNotifier::Read);
    QObject::connect(m_notifier.get(), &QSocketNotifier::activated, m_notifier.get(), [this] { readEvents(); });
}

FileSystemEventSource::~FileSystemEventSource()
{
    m_notifier.reset();
    if (m_inotify >= 0)
        ::close(m_inotify);
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
    // A deleted folder has left the watch already; removing it again is no failure.
    for (const QString& path : withoutTrailingSlashes(folderPaths)) {
        m_lost.remove(path);
        removeWatch(path);
    }
}

QStringList FileSystemEventSource::watch(const QStringList& paths)
{
    QStringList existing;
    for (const QString& path : paths) {
        if (addWatch(path))
            continue;
        LogEvent(kFileEvent, QStringLiteral("the folder '%1' cannot be watched for changes (it may be gone, or the "
                                            "system's limit of watched folders is reached)")
                                 .arg(path));
        if (QFileInfo(path).isDir())
            existing.append(path);
    }
    return existing;
}

bool FileSystemEventSource::addWatch(const QString& path)
{
    if (m_watchByPath.contains(path))
        return true;
    if (m_inotify < 0 || path.isEmpty())
        return false;
    const int descriptor = inotify_add_watch(m_inotify, QFile::encodeName(path).constData(), kFolderEvents);
    if (descriptor < 0)
        return false;
    m_watchByPath.insert(path, descriptor);
    m_pathsByWatch.insert(descriptor, path);
    return true;
}

void FileSystemEventSource::removeWatch(const QString& path)
{
    const auto found = m_watchByPath.constFind(path);
    if (found == m_watchByPath.cend())
        return;
    const int descriptor = *found;
    m_watchByPath.erase(found);
    m_pathsByWatch.remove(descriptor, path);
    if (!m_pathsByWatch.contains(descriptor))
        inotify_rm_watch(m_inotify, descriptor);
}

void FileSystemEventSource::forgetWatch(int descriptor)
{
    for (const QString& path : m_pathsByWatch.values(descriptor))
        m_watchByPath.remove(path);
    m_pathsByWatch.remove(descriptor);
}

void FileSystemEventSource::readEvents()
{
    alignas(inotify_event) char buffer[16384];
    QList<int> changed; // in the order the system told them
    QSet<int> seen, gone;
    for (;;) {
        const ssize_t length = ::read(m_inotify, buffer, sizeof buffer);
        if (length <= 0)
            break;
        for (ssize_t at = 0; at < length;) {
            const auto* event = reinterpret_cast<const inotify_event*>(buffer + at);
            at += ssize_t(sizeof(inotify_event) + event->len);
            if (!seen.contains(event->wd)) {
                seen.insert(event->wd);
                changed.append(event->wd);
            }
            if (event->mask & (IN_IGNORED | IN_DELETE_SELF | IN_MOVE_SELF | IN_UNMOUNT))
                gone.insert(event->wd);
        }
    }
    for (const int descriptor : std::as_const(changed)) {
        const QStringList paths = m_pathsByWatch.values(descriptor);
        // A folder that went cannot be watched under this descriptor again: the system may
        // hand it to the next folder watched.
        if (gone.contains(descriptor)) {
            forgetWatch(descriptor);
            inotify_rm_watch(m_inotify, descriptor);
        }
        for (const QString& path : paths)
            folderChanged(path);
    }
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
