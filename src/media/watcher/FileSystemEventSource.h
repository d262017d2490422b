#pragma once

// The system's folder events through QFileSystemWatcher (inotify), one watch per folder.
// Unlike a single event stream: the system drops the watch of a deleted folder (it is
// watched again once a change of a watched folder shows it back), changes to the contents
// of a file may go unreported, and a folder the system refuses to watch (the per-user watch
// limit) is logged and stays unwatched.

#include "media/watcher/FolderEventSource.h"

#include <QFileSystemWatcher>
#include <QSet>

class FileSystemEventSource : public FolderEventSource {
public:
    FileSystemEventSource();

    QStringList addWatchedPaths(const QStringList& folderPaths) override;
    void removeWatchedPaths(const QStringList& folderPaths) override;

private:
    void folderChanged(const QString& path);
    // Answers the refused folders that exist.
    QStringList watch(const QStringList& paths);

    QFileSystemWatcher m_watcher;
    QSet<QString> m_lost; // watched folders whose watch went with their deletion
};
