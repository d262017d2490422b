#include "media/window/ListedFolderWatches.h"

#include "media/watcher/ZQFolderWatcher.h"
#include "platform/foundation/ZQLog.h"

#include <QFileInfo>

ListedFolderWatches::~ListedFolderWatches()
{
    clear();
}

void ListedFolderWatches::watch(const QStringList& folders)
{
    ZQFolderWatcher& watcher = ZQFolderWatcher::defaultWatcher();
    bool refused = false;
    for (const QString& folder : folders) {
        if (m_folders.contains(folder))
            continue;
        if (m_folders.size() >= kBound) {
            giveReason(tr("Changes in some folders are not followed: the folder holds more than %1 folders.")
                           .arg(kBound));
            break;
        }
        // A folder removed since it was listed has nothing left to follow.
        if (!QFileInfo(folder).isDir())
            continue;
        const QUrl url = QUrl::fromLocalFile(folder);
        try {
            watcher.addObserverSelectorForFolderUserInfo(this, "folderDidChange", url);
        } catch (const std::exception& failure) {
            ZQLogObjCMethod(QString::fromUtf8(failure.what()));
            continue;
        }
        m_folders.insert(folder);
        refused |= !watcher.isFollowing(url);
    }
    if (refused)
        giveReason(tr("Changes in some folders are not followed: the system's limit on watched folders was reached."));
}

void ListedFolderWatches::clear()
{
    if (!m_folders.isEmpty())
        ZQFolderWatcher::defaultWatcher().removeObserver(this);
    m_folders.clear();
    m_reason.clear();
}

void ListedFolderWatches::folderDidChange(const platform::Notification&)
{
    Q_EMIT folderChanged();
}

void ListedFolderWatches::giveReason(const QString& reason)
{
    if (!m_reason.isEmpty())
        return;
    m_reason = reason;
    Q_EMIT foldersUnfollowed(reason);
}
