#pragma once

// One shared watcher of folders. Observers register a folder and the method to call; the
// watcher keeps them under the folder's path plus "/" and watches every such folder through
// one event source. Changed folders are collected and handed over once per latency window
// (5 s by default) on the main thread: each registration of exactly that folder gets a
// notification object "kZQFolderWatcherFolderDidChangeNotification" (sender: the watcher;
// "path" without the trailing "/", "watcher": the registration, "user_info": the extra
// information when some was registered), passed straight to its method, not posted.
// A change in a subfolder reaches the subfolder's observers only.
//
// The event source is told to watch a folder when the folder gains its first registration
// and to stop when it loses its last one (what restarts the system's single stream
// elsewhere); further registrations of a watched folder change nothing.

#include "media/watcher/FolderEventSource.h"
#include "platform/foundation/ZQObject.h"

#include <QPointer>
#include <QSet>
#include <QUrl>
#include <QVariantMap>
#include <map>
#include <memory>

inline const QString kZQFolderWatcherFolderDidChangeNotification =
    QStringLiteral("kZQFolderWatcherFolderDidChangeNotification");

class ZQFolderWatcher;

// One registration: who is told, how, about which folder.
class ZQWatcher : public ZQObject {
    Q_OBJECT

public:
    static std::shared_ptr<ZQWatcher> makeWithObserverUrlSelectorUserInfo(QObject* observer, const QUrl& url,
                                                                          const QByteArray& selector,
                                                                          const QVariantMap& extraInfo);

    ZQFolderWatcher* owner() const;
    void setOwner(ZQFolderWatcher* owner);
    // Not owned: observers remove themselves before they go; one that died is skipped.
    QObject* observer() const { return m_observer; }
    QByteArray selector() const { return m_selector; }
    QUrl url() const { return m_url; }
    QVariantMap extraInfo() const { return m_extraInfo; }

    // Calls the observer's method with the notification object; nothing when it has no such
    // method. `userInfo` is the starting dictionary, completed with "path", "watcher" and
    // "user_info".
    void sendNotificationWithUserInfo(const QVariantMap& userInfo = {});

    QString description() const override;

private:
    QPointer<ZQFolderWatcher> m_owner;
    QPointer<QObject> m_observer;
    QByteArray m_selector;
    QUrl m_url;
    QVariantMap m_extraInfo;
};

class ZQFolderWatcher : public ZQObject {
    Q_OBJECT

public:
    static constexpr int kDefaultLatency = 5000; // milliseconds

    ZQFolderWatcher();
    ~ZQFolderWatcher() override;

    // The shared watcher, on the system's event source; it lives for the whole run.
    static ZQFolderWatcher& defaultWatcher();

    // The key a folder is registered under: its clean absolute path ending in "/".
    static QString keyForFolder(const QUrl& folder);
    // The path reported to observers: the key without its trailing "/" ("/" stays).
    static QString pathForKey(const QString& key);

    // Replaces the event source; the stream restarts on the new one when it was running.
    void setEventSource(std::unique_ptr<FolderEventSource> source);
    // How long changes are collected before they are handed over, in run-loop milliseconds.
    void setLatency(int milliseconds) { m_latency = milliseconds; }
    int latency() const { return m_latency; }

    // Raises NSInternalInconsistencyException when `folder` is not an existing directory.
    void addObserverSelectorForFolderUserInfo(QObject* observer, const QByteArray& selector, const QUrl& folder,
                                              const QVariantMap& userInfo = {});
    // Drops the observer's registrations for that folder, or for every folder when `folder`
    // is empty.
    void removeObserverForFolder(QObject* observer, const QUrl& folder);
    void removeObserver(QObject* observer) { removeObserverForFolder(observer, QUrl()); }
    void removeWatcher(const ZQWatcher* watcher);

    QList<std::shared_ptr<ZQWatcher>> watchersForPath(const QString& key) const;
    // Whether changes of the folder reach its observers: it is registered and the event source
    // did not refuse it.
    bool isFollowing(const QUrl& folder) const;
    QStringList pathsToWatch() const;

    // Has the event source watch every key, when it does not yet and there is a key.
    void startWatching();
    void stopWatching();
    bool isWatching() const { return m_watching; }

    // Tells every registration under each of these keys, dropping those whose observer died.
    void eventsDidOccurForPaths(const QStringList& paths);

private:
    FolderEventSource& eventSource();
    void stopWatchingPaths(const QStringList& keys);
    void collectChangedFolder(const QString& key);
    void deliverCollectedFolders();
    void addToEventSource(const QStringList& keys);

    std::map<QString, QList<std::shared_ptr<ZQWatcher>>> m_watchers;
    std::unique_ptr<FolderEventSource> m_source;
    bool m_watching = false;
    QSet<QString> m_refused; // keys the event source could not watch
    int m_latency = kDefaultLatency;
    QStringList m_collected;
    QSet<QString> m_collectedSet;
    bool m_deliveryPending = false;
};
