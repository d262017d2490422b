#pragma once

// The system's folder events through inotify, one watch per folder, kept in hash tables both
// ways so that a tree of thousands of folders is registered in linear time. Unlike a single
// event stream: the system drops the watch of a deleted folder (it is watched again once a
// change of a watched folder shows it back), changes to the contents of a file may go
// unreported, and a folder the system refuses to watch (the per-user watch limit) is logged
// and stays unwatched.

#include "media/watcher/FolderEventSource.h"

#include <QHash>
#include <QSet>
#include <memory>

class QSocketNotifier;

class FileSystemEventSource : public FolderEventSource {
public:
    FileSystemEventSource();
    ~FileSystemEventSource() override;

    QStringList addWatchedPaths(const QStringList& folderPaths) override;
    void removeWatchedPaths(const QStringList& folderPaths) override;

private:
    // Reads what the system queued and reports each folder it names once.
    void readEvents();
    void folderChanged(const QString& path);
    // Answers the refused folders that exist.
    QStringList watch(const QStringList& paths);
    bool addWatch(const QString& path);
    void removeWatch(const QString& path);
    // The system dropped the watch (its folder went, or it was removed).
    void forgetWatch(int descriptor);

    int m_inotify = -1;
    std::unique_ptr<QSocketNotifier> m_notifier;
    // Two paths of one folder (through a link) share the system's watch.
    QMultiHash<int, QString> m_pathsByWatch;
    QHash<QString, int> m_watchByPath;
    QSet<QString> m_lost; // watched folders whose watch went with their deletion
};
