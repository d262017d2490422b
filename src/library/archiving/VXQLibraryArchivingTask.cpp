#include "library/archiving/VXQLibraryArchivingTask.h"

#include "library/archiving/FolderSnapshot.h"
#include "library/archiving/FolderZipWriter.h"
#include "library/store/VXQLibrary.h"
#include "platform/foundation/RunLoop.h"
#include "platform/foundation/ZQLog.h"

#include <QRunnable>
#include <QThreadPool>
#include <atomic>

std::shared_ptr<VXQLibraryArchivingTask>
VXQLibraryArchivingTask::newArchivingTaskWithLibraryDelegateDestinationURL(const std::shared_ptr<VXQLibrary>& library,
                                                                          QObject* delegate, const QUrl& destination)
{
    std::shared_ptr<VXQLibraryArchivingTask> task(new VXQLibraryArchivingTask);
    task->m_library = library;
    task->m_delegate = delegate;
    if (library)
        library->writeCategoryFile();
    if (destination.isValid()) {
        task->m_destinationURL = destination;
        task->m_destinationPath = destination.toLocalFile();
    } else {
        const QString name = QStringLiteral("%1_LIBZ_%2.zip").arg(library ? library->name() : QString()).arg(taskID());
        task->m_destinationPath = VXQLibrary::userLibrariesFolder() + u'/' + name;
        task->m_destinationURL = QUrl::fromLocalFile(task->m_destinationPath);
    }
    task->start();
    return task;
}

std::shared_ptr<VXQLibraryArchivingTask>
VXQLibraryArchivingTask::newArchivingTaskWithLibraryDelegateDestination(const std::shared_ptr<VXQLibrary>&, QObject*,
                                                                       const QString&)
{
    ZQLogObjCMethod(QStringLiteral("this method is deprecated - use URL based method instead"));
    return nullptr;
}

qint64 VXQLibraryArchivingTask::taskID()
{
    static std::atomic<qint64> counter = 0;
    return ++counter;
}

VXQLibraryArchivingDelegate* VXQLibraryArchivingTask::delegateInterface() const
{
    return m_delegate ? dynamic_cast<VXQLibraryArchivingDelegate*>(m_delegate.data()) : nullptr;
}

void VXQLibraryArchivingTask::start()
{
    if (VXQLibraryArchivingDelegate* delegate = delegateInterface())
        delegate->libraryWillCreateZipArchiveAtURL(m_library.get(), m_destinationURL);
    // The main thread goes on editing the library while the worker zips: it zips a snapshot.
    const QString folder = m_library ? m_library->path() : QString();
    QString reason = folder.isEmpty() ? QStringLiteral("the library has no folder") : QString();
    std::shared_ptr<FolderSnapshot> snapshot = folder.isEmpty() ? nullptr : FolderSnapshot::take(folder, &reason);
    const QString destination = m_destinationPath;
    // The worker holds the task until its result is handed back.
    QThreadPool::globalInstance()->start([self = shared_from_this(), snapshot, folder, destination, reason]() mutable {
        const bool written = snapshot && FolderZipWriter::writeArchive(snapshot->path(), destination, &reason);
        snapshot.reset();
        if (!written)
            LogEvent(kFileEvent, QStringLiteral("zip archive of '%1' failed: %2").arg(folder, reason));
        platform::RunLoop::runOnMainThread([self, written] { self->taskCompleted(written ? 0 : 1); });
    });
}

void VXQLibraryArchivingTask::taskCompleted(int status)
{
    LogEvent(kFileEvent, QStringLiteral("task completed, exit status = %1, dest file = %2").arg(status).arg(m_destinationPath));
    if (VXQLibraryArchivingDelegate* delegate = delegateInterface())
        delegate->libraryAvailableAsZipArchiveURL(m_library.get(), status == 0 ? m_destinationURL : QUrl());
}
