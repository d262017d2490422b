#pragma once

// Where the folder watcher learns of changes: a stream of "something changed in this folder"
// reports over a set of folders. The application uses the system's (FileSystemEventSource);
// tests install one they drive themselves.

#include <QString>
#include <QStringList>
#include <functional>

class FolderEventSource {
public:
    // Called on the main thread with the folder's path, ending in "/", as soon as the source
    // notices the change; coalescing is the watcher's business.
    using Handler = std::function<void(const QString& folderPath)>;

    virtual ~FolderEventSource() = default;

    void setHandler(Handler handler) { m_handler = std::move(handler); }

    // Starts and stops watching folders (each path ending in "/"). Only what happens from
    // now on is reported. Adding answers the existing folders that could not be watched (the
    // system's limit on watched folders was reached).
    virtual QStringList addWatchedPaths(const QStringList& folderPaths) = 0;
    virtual void removeWatchedPaths(const QStringList& folderPaths) = 0;

protected:
    void report(const QString& folderPath) const
    {
        if (m_handler)
            m_handler(folderPath);
    }

private:
    Handler m_handler;
};
