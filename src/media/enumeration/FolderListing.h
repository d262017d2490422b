#pragma once

// Lists the files of a folder node on a worker thread, so that a large tree never holds up the
// window: the node hands over the walk that lists it (ZQFolderInfo::fileWalkOfTypes). A folder
// on disk is walked with the rules of folder nodes (treeWalk): hidden entries are left out,
// links are followed (a folder reached again is not walked again and a file reached twice is
// listed once), pipes, devices and sockets are never listed, and packages are entered only
// when asked. Subfolders are walked breadth first, so the folders nearest the top come first.
//
// Results arrive on the main thread in batches. Starting another listing, or cancelling,
// stops the one under way: no batch of a stale listing is delivered after that.

#include "media/items/ZQURLWithThumb.h"

#include <QList>
#include <QObject>
#include <QStringList>
#include <QUrl>
#include <atomic>
#include <functional>
#include <memory>

class QThreadPool;

// What a listing found since its previous batch.
struct FolderListingBatch {
    QList<ZQURLWithThumb> files;
    QStringList folders; // every folder walked, the listed folder first
};

// A listing's work, run on a worker: hands each batch to `deliver`, the last one marked, and
// stops early once `cancelled` is set.
using FolderWalk = std::function<void(const std::atomic_bool& cancelled,
                                      const std::function<void(FolderListingBatch batch, bool last)>& deliver)>;

class FolderListing : public QObject {
    Q_OBJECT

public:
    static constexpr int kBatchSize = 500; // files

    struct Request {
        QString folder;
        QStringList types; // extensions, compared exactly; empty takes every file
        bool includesSubfolders = true;
        bool includesPackages = false;
    };

    // The threads listings run on.
    static QThreadPool& listingPool();
    // The walk of a folder on disk.
    static FolderWalk treeWalk(const Request& request);

    explicit FolderListing(QObject* parent = nullptr);
    ~FolderListing() override;

    void start(const FolderWalk& walk);
    void start(const Request& request) { start(treeWalk(request)); }
    void cancel();
    bool isListing() const { return m_job != nullptr; }
    // How many listings were started: each reads the disk once.
    int listingsStarted() const { return m_started; }

Q_SIGNALS:
    void batchListed(const FolderListingBatch& batch);
    // The listing walked its whole tree (not sent for a cancelled one).
    void finished();

private:
    struct Job;
    // On the main thread: hands a batch of the current listing on.
    void take(const std::shared_ptr<Job>& job, const FolderListingBatch& batch, bool last);

    std::shared_ptr<Job> m_job;
    int m_started = 0;
};
