#include "media/watcher/ZQFolderWatcher.h"

#include "media/watcher/FileSystemEventSource.h"
#include "platform/foundation/MetaInvoke.h"
#include "platform/foundation/NamedException.h"
#include "platform/foundation/NotificationCenter.h"
#include "platform/foundation/RunLoop.h"
#include "platform/foundation/ZQAssert.h"

#include <QDir>
#include <QFileInfo>

namespace {

const QByteArray kDeliveryKey = QByteArrayLiteral("deliverCollectedFolders");

QString describe(const QObject* object)
{
    if (const auto* zq = qobject_cast<const ZQObject*>(object))
        return zq->description();
    return object ? QStringLiteral("<%1: 0x%2>")
                        .arg(QLatin1StringView(object->metaObject()->className()))
                        .arg(quintptr(object), 0, 16)
                  : QStringLiteral("(null)");
}

} // namespace

// --- ZQWatcher -------------------------------------------------------------------------------

std::shared_ptr<ZQWatcher> ZQWatcher::makeWithObserverUrlSelectorUserInfo(QObject* observer, const QUrl& url,
                                                                          const QByteArray& selector,
                                                                          const QVariantMap& extraInfo)
{
    auto watcher = std::make_shared<ZQWatcher>();
    watcher->m_observer = observer;
    watcher->m_url = url;
    watcher->m_selector = selector;
    watcher->m_extraInfo = extraInfo;
    return watcher;
}

ZQFolderWatcher* ZQWatcher::owner() const
{
    return m_owner;
}

void ZQWatcher::setOwner(ZQFolderWatcher* owner)
{
    m_owner = owner;
}

void ZQWatcher::sendNotificationWithUserInfo(const QVariantMap& userInfo)
{
    QObject* const target = m_observer;
    if (!target || !platform::selectorMethod(target, m_selector, true).isValid())
        return;
    QVariantMap info = userInfo;
    info.insert(QStringLiteral("path"), ZQFolderWatcher::pathForKey(ZQFolderWatcher::keyForFolder(m_url)));
    info.insert(QStringLiteral("watcher"), QVariant::fromValue<QObject*>(this));
    if (!m_extraInfo.isEmpty())
        info.insert(QStringLiteral("user_info"), m_extraInfo);
    const platform::Notification notification{kZQFolderWatcherFolderDidChangeNotification, m_owner.data(), info};
    platform::invokeSelector(target, m_selector, QVariant::fromValue(notification));
}

QString ZQWatcher::description() const
{
    return QStringLiteral("%1 path='%2', observer=%3")
        .arg(ZQObject::description(), m_url.toLocalFile(), describe(m_observer));
}

// --- ZQFolderWatcher -------------------------------------------------------------------------

ZQFolderWatcher::ZQFolderWatcher() = default;

ZQFolderWatcher::~ZQFolderWatcher()
{
    stopWatching();
}

ZQFolderWatcher& ZQFolderWatcher::defaultWatcher()
{
    // Never destroyed: folder nodes that outlive main() still unregister from it.
    static ZQFolderWatcher* const shared = new ZQFolderWatcher;
    return *shared;
}

QString ZQFolderWatcher::keyForFolder(const QUrl& folder)
{
    const QString path = QDir::cleanPath(folder.toLocalFile());
    return path.endsWith(QLatin1Char('/')) ? path : path + QLatin1Char('/');
}

QString ZQFolderWatcher::pathForKey(const QString& key)
{
    return key.size() > 1 && key.endsWith(QLatin1Char('/')) ? key.chopped(1) : key;
}

FolderEventSource& ZQFolderWatcher::eventSource()
{
    if (!m_source)
        setEventSource(std::make_unique<FileSystemEventSource>());
    return *m_source;
}

void ZQFolderWatcher::setEventSource(std::unique_ptr<FolderEventSource> source)
{
    const bool wasWatching = m_watching;
    stopWatching();
    m_source = std::move(source);
    m_source->setHandler([this](const QString& key) { collectChangedFolder(key); });
    if (wasWatching)
        startWatching();
}

void ZQFolderWatcher::addObserverSelectorForFolderUserInfo(QObject* observer, const QByteArray& selector,
                                                           const QUrl& folder, const QVariantMap& userInfo)
{
    if (!folder.isLocalFile() || !QFileInfo(folder.toLocalFile()).isDir())
        throw platform::NamedException(
            QStringLiteral("NSInternalInconsistencyException"),
            QStringLiteral("Attempt to observe a directory that does not exist or is not a directory: %1, "
                           "offending observer: %2")
                .arg(folder.toString(), describe(observer)));
    auto watcher = ZQWatcher::makeWithObserverUrlSelectorUserInfo(observer, folder, selector, userInfo);
    watcher->setOwner(this);
    const QString key = keyForFolder(folder);
    QList<std::shared_ptr<ZQWatcher>>& registrations = m_watchers[key];
    registrations.append(std::move(watcher));
    if (registrations.size() > 1)
        return;
    if (m_watching)
        addToEventSource({key});
    else
        startWatching();
}

void ZQFolderWatcher::removeObserverForFolder(QObject* observer, const QUrl& folder)
{
    const auto isObserver = [observer](const std::shared_ptr<ZQWatcher>& watcher) {
        return watcher->observer() == observer;
    };
    QStringList dropped;
    const auto filter = [&](auto position) {
        position->second.removeIf(isObserver);
        if (!position->second.isEmpty())
            return std::next(position);
        dropped.append(position->first);
        return m_watchers.erase(position);
    };
    if (folder.isEmpty()) {
        for (auto position = m_watchers.begin(); position != m_watchers.end();)
            position = filter(position);
    } else if (const auto position = m_watchers.find(keyForFolder(folder)); position != m_watchers.end()) {
        filter(position);
    }
    stopWatchingPaths(dropped);
}

void ZQFolderWatcher::removeWatcher(const ZQWatcher* watcher)
{
    const auto position = m_watchers.find(keyForFolder(watcher->url()));
    if (position == m_watchers.end())
        return;
    position->second.removeIf([watcher](const std::shared_ptr<ZQWatcher>& each) { return each.get() == watcher; });
    if (position->second.isEmpty()) {
        const QString key = position->first;
        m_watchers.erase(position);
        stopWatchingPaths({key});
    }
}

void ZQFolderWatcher::stopWatchingPaths(const QStringList& keys)
{
    if (keys.isEmpty() || !m_watching)
        return;
    for (const QString& key : keys)
        m_refused.remove(key);
    eventSource().removeWatchedPaths(keys);
    if (m_watchers.empty())
        m_watching = false;
}

QList<std::shared_ptr<ZQWatcher>> ZQFolderWatcher::watchersForPath(const QString& key) const
{
    const auto position = m_watchers.find(key);
    return position == m_watchers.end() ? QList<std::shared_ptr<ZQWatcher>>() : position->second;
}

QStringList ZQFolderWatcher::pathsToWatch() const
{
    QStringList keys;
    keys.reserve(qsizetype(m_watchers.size()));
    for (const auto& entry : m_watchers)
        keys.append(entry.first);
    return keys;
}

void ZQFolderWatcher::startWatching()
{
    if (m_watching || m_watchers.empty())
        return;
    addToEventSource(pathsToWatch());
    m_watching = true;
}

void ZQFolderWatcher::addToEventSource(const QStringList& keys)
{
    for (const QString& refused : eventSource().addWatchedPaths(keys))
        m_refused.insert(refused);
}

bool ZQFolderWatcher::isFollowing(const QUrl& folder) const
{
    const QString key = keyForFolder(folder);
    return m_watching && m_watchers.contains(key) && !m_refused.contains(key);
}

void ZQFolderWatcher::stopWatching()
{
    if (!m_watching)
        return;
    m_watching = false;
    m_refused.clear();
    eventSource().removeWatchedPaths(pathsToWatch());
}

void ZQFolderWatcher::collectChangedFolder(const QString& key)
{
    if (!m_collectedSet.contains(key)) {
        m_collectedSet.insert(key);
        m_collected.append(key);
    }
    if (std::exchange(m_deliveryPending, true))
        return;
    platform::RunLoop::performAfterDelay(this, [this] { deliverCollectedFolders(); }, m_latency, kDeliveryKey);
}

void ZQFolderWatcher::deliverCollectedFolders()
{
    const QStringList keys = std::exchange(m_collected, {});
    m_collectedSet.clear();
    m_deliveryPending = false;
    eventsDidOccurForPaths(keys);
}

void ZQFolderWatcher::eventsDidOccurForPaths(const QStringList& paths)
{
    for (const QString& key : paths) {
        // Copied: an observer may remove itself, or others, while it is told.
        const QList<std::shared_ptr<ZQWatcher>> registrations = watchersForPath(key);
        for (const auto& registration : registrations) {
            // An observer that died without removing itself would keep the folder watched for good.
            if (!registration->observer()) {
                removeWatcher(registration.get());
                continue;
            }
            platform::runGuarded("folder change notification",
                                 [&] { registration->sendNotificationWithUserInfo(); });
        }
    }
}
