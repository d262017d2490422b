#include "media/enumeration/FolderListing.h"

#include "media/folders/FileIdentity.h"
#include "media/folders/FilePackages.h"
#include "platform/foundation/RunLoop.h"
#include "platform/foundation/WorkInFlight.h"

#include <QCoreApplication>
#include <QDirIterator>
#include <QPointer>
#include <QSet>
#include <QThreadPool>
#include <atomic>

struct FolderListing::Job {
    std::atomic_bool cancelled = false;
};

namespace {

// What an entry stands for: the entry itself, or the target of a link (which may not exist).
QFileInfo resolvedEntry(const QFileInfo& entry)
{
    if (!entry.isSymLink())
        return entry;
    const QString target = entry.canonicalFilePath();
    return target.isEmpty() ? QFileInfo() : QFileInfo(target);
}

// One walk of a tree, on a worker; hands each full batch to `deliver`.
class TreeWalk {
public:
    TreeWalk(const FolderListing::Request& request, const std::atomic_bool& cancelled)
        : m_request(request)
        , m_types(request.types.begin(), request.types.end())
        , m_cancelled(cancelled)
    {
    }

    void run(const std::function<void(FolderListingBatch, bool last)>& deliver)
    {
        QStringList pending{m_request.folder};
        if (const auto identity = FileIdentity::ofPath(m_request.folder))
            m_visitedFolders.insert(*identity);
        FolderListingBatch batch;
        for (qsizetype next = 0; next < pending.size(); ++next) {
            batch.folders.append(pending.at(next));
            for (QDirIterator entries(pending.at(next), QDir::AllEntries | QDir::NoDotAndDotDot | QDir::System);
                 entries.hasNext();) {
                if (m_cancelled)
                    return;
                entries.next();
                takeEntry(entries.fileInfo(), batch, pending);
                if (batch.files.size() >= FolderListing::kBatchSize)
                    deliver(std::exchange(batch, {}), false);
            }
        }
        deliver(std::move(batch), true);
    }

private:
    void takeEntry(const QFileInfo& listed, FolderListingBatch& batch, QStringList& pending)
    {
        const QFileInfo entry = resolvedEntry(listed);
        if (entry.isFile()) {
            const QString path = entry.filePath();
            const bool accepted = m_types.isEmpty() || m_types.contains(pathExtension(entry.fileName()));
            if (accepted && !m_listedFiles.contains(path)) {
                m_listedFiles.insert(path);
                batch.files.append({QUrl::fromLocalFile(path), {}});
            }
        } else if (entry.isDir() && m_request.includesSubfolders &&
                   (m_request.includesPackages || !isFilePackage(entry))) {
            // A link back up the tree, or to a folder walked already, would list it twice or for ever.
            const std::optional<FileIdentity> identity = FileIdentity::ofPath(entry.filePath());
            if (identity && !m_visitedFolders.contains(*identity)) {
                m_visitedFolders.insert(*identity);
                pending.append(entry.filePath());
            }
        }
        // Anything else (pipes, devices, sockets, dangling links) is passed over unopened.
    }

    const FolderListing::Request m_request;
    const QSet<QString> m_types;
    const std::atomic_bool& m_cancelled;
    QSet<FileIdentity> m_visitedFolders;
    QSet<QString> m_listedFiles;
};

} // namespace

FolderWalk FolderListing::treeWalk(const Request& request)
{
    return [request](const std::atomic_bool& cancelled, const auto& deliver) { TreeWalk(request, cancelled).run(deliver); };
}

QThreadPool& FolderListing::listingPool()
{
    static QThreadPool* const pool = [] {
        auto* threads = new QThreadPool(QCoreApplication::instance());
        threads->setObjectName(QStringLiteral("FolderListing"));
        platform::WorkInFlight::waitForPoolAtEnd(threads);
        return threads;
    }();
    return *pool;
}

FolderListing::FolderListing(QObject* parent)
    : QObject(parent)
{
}

FolderListing::~FolderListing()
{
    cancel();
}

void FolderListing::start(const FolderWalk& walk)
{
    cancel();
    auto job = std::make_shared<Job>();
    m_job = job;
    ++m_started;
    // The worker holds a guarded pointer only: this object may go while the walk runs.
    const QPointer<FolderListing> self(this);
    listingPool().start([self, job, walk] {
        walk(job->cancelled, [&](FolderListingBatch batch, bool last) {
            platform::RunLoop::runOnMainThread([self, job, batch = std::move(batch), last] {
                // A cancellation made since the batch was found is seen here, before it goes out.
                if (self && !job->cancelled)
                    self->take(job, batch, last);
            });
        });
    });
}

void FolderListing::cancel()
{
    if (m_job)
        m_job->cancelled = true;
    m_job.reset();
}

void FolderListing::take(const std::shared_ptr<Job>& job, const FolderListingBatch& batch, bool last)
{
    if (job != m_job)
        return;
    if (last)
        m_job.reset();
    Q_EMIT batchListed(batch);
    if (last)
        Q_EMIT finished();
}
