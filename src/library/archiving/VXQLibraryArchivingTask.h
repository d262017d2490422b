#pragma once

// Exports a library as a zip archive on a worker of Qt's global pool and reports to a delegate
// on the main thread. The folder is snapshotted when the task starts, so edits made meanwhile
// never reach the archive half-done. The task keeps itself alive until it has reported, so callers may drop it.
// Without a destination it writes "<library>_LIBZ_<task id>.zip" in the user library folder.

#include <QObject>
#include <QPointer>
#include <QUrl>
#include <memory>

class VXQLibrary;

// What a delegate hears; a delegate is any QObject that also derives from this.
class VXQLibraryArchivingDelegate {
public:
    virtual ~VXQLibraryArchivingDelegate() = default;
    virtual void libraryWillCreateZipArchiveAtURL(VXQLibrary*, const QUrl&) {}
    // An empty URL when the archive could not be written.
    virtual void libraryAvailableAsZipArchiveURL(VXQLibrary*, const QUrl&) {}
};

class VXQLibraryArchivingTask : public std::enable_shared_from_this<VXQLibraryArchivingTask> {
public:
    static std::shared_ptr<VXQLibraryArchivingTask>
    newArchivingTaskWithLibraryDelegateDestinationURL(const std::shared_ptr<VXQLibrary>& library, QObject* delegate,
                                                      const QUrl& destination = {});
    // The path-based form is gone: logs so and answers null, archiving nothing.
    static std::shared_ptr<VXQLibraryArchivingTask>
    newArchivingTaskWithLibraryDelegateDestination(const std::shared_ptr<VXQLibrary>& library, QObject* delegate,
                                                   const QString& destinationPath);
    // 1 for the first task of the run, then 2, 3, ...
    static qint64 taskID();

    QObject* delegate() const { return m_delegate; }
    void setDelegate(QObject* delegate) { m_delegate = delegate; }
    QUrl destinationURL() const { return m_destinationURL; }

private:
    VXQLibraryArchivingTask() = default;
    void start();
    // On the main thread: logs and tells the delegate.
    void taskCompleted(int status);
    VXQLibraryArchivingDelegate* delegateInterface() const;

    std::shared_ptr<VXQLibrary> m_library;
    QPointer<QObject> m_delegate;
    QString m_destinationPath;
    QUrl m_destinationURL;
};
