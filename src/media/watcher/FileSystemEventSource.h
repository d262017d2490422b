#pragma once

// The system's folder events through QFileSystemWatcher (inotify), one watch per folder.
// Unlike a single event stream: a deleted folder leaves the watch, changes to the
// contents of a file may go unreported, and a folder the system refuses to watch (the
// per-user watch limit) is logged and stays unwatched.

#include "media/watcher/FolderEventSource.h"

#include <QFileSystemWatcher>

class FileSystemEventSource : public FolderEventSource {
public:
    FileSystemEventSource();

    void addWatchedPaths(const QStringList& folderPaths) override;
    void removeWatchedPaths(const QStringList& folderPaths) override;

private:
    QFileSystemWatcher m_watcher;
};
