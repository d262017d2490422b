#pragma once

// Named notifications, delivered synchronously to observers in registration order.
//
// An observer registers for a name and a sender, either of which may be empty (any name)
// or null (any sender). Senders match by identity; a sender that dies stops matching.
// Observers are tracked with QPointer: one that dies is never called and is dropped.
// A post delivers to the observers registered when it began and still registered when
// their turn comes; an exception thrown by one observer is logged and the others still run.
// Main thread only: workers hand their news over with RunLoop::runOnMainThread. A worker
// that builds objects nobody sees yet (an import's drawables and styles) drops what they
// would post inside a NotificationSuspension.

#include <QHash>
#include <QMetaType>
#include <QPointer>
#include <QString>
#include <QVariantMap>
#include <functional>
#include <memory>
#include <utility>
#include <vector>

namespace platform {

struct Notification {
    QString name;
    QPointer<QObject> sender;
    QVariantMap userInfo;

    QObject* object() const { return sender; }
};

using NotificationObserverToken = quint64;

class NotificationCenter {
public:
    using Handler = std::function<void(const Notification& notification)>;

    NotificationCenter();
    ~NotificationCenter();
    NotificationCenter(const NotificationCenter&) = delete;
    NotificationCenter& operator=(const NotificationCenter&) = delete;

    static NotificationCenter& defaultCenter();

    // `observer` (may be null) bounds the registration's life and is what removeObserver names.
    NotificationObserverToken addObserver(QObject* observer, const QString& name, QObject* sender, Handler handler);
    // Invokes observer's invokable method `selector`, with the notification when it takes one
    // parameter (declared as `const platform::Notification&`). Raises when there is no such method.
    NotificationObserverToken addObserverSelectorNameObject(QObject* observer, const QByteArray& selector,
                                                            const QString& name, QObject* sender);

    void removeObserver(QObject* observer);
    // Removes the observer's registrations for that name and sender; an empty name or a null
    // sender matches every registration.
    void removeObserver(QObject* observer, const QString& name, QObject* sender);
    void removeObserver(NotificationObserverToken token);

    void postNotification(const Notification& notification);
    void postNotificationName(const QString& name, QObject* sender, const QVariantMap& userInfo = {});

    // How many registrations posts, removals and sweeps have looked at so far: what the registry
    // costs, for tests and benchmarks to count instead of timing it.
    quint64 registrationsExamined() const { return m_registrationsExamined; }

private:
    struct Registration;
    using RegistrationList = std::vector<std::shared_ptr<Registration>>; // in token order
    // A name and a sender as registered: an empty name or a null sender stands for any.
    using Key = std::pair<QString, const QObject*>;

    RegistrationList m_registrations;
    // Posts look only at the four lists that can match, so a bulk edit posting per object
    // stays linear however many objects observe.
    QHash<Key, RegistrationList> m_byNameAndSender;
    QHash<const QObject*, RegistrationList> m_byObserver;
    NotificationObserverToken m_nextToken = 1;
    // A registry this small is not swept on adds before it has doubled from it.
    static constexpr size_t kSmallestSweptSize = 64;
    size_t m_sizeAfterSweep = kSmallestSweptSize;
    size_t m_removedSinceSweep = 0;
    quint64 m_registrationsExamined = 0;

    NotificationObserverToken add(std::shared_ptr<Registration> registration);
    // Drops the registrations removed or whose observer or sender has gone, from every list.
    void sweep();
    void markRemovedIf(const RegistrationList& candidates, const std::function<bool(const Registration&)>& predicate);
    RegistrationList recipientsOf(const Notification& notification);
};

// Drops the notifications the current thread posts for the scope. Only for objects that no
// observer can know of yet: whatever else they post is lost, not delayed.
class NotificationSuspension {
public:
    NotificationSuspension();
    ~NotificationSuspension();
    NotificationSuspension(const NotificationSuspension&) = delete;
    NotificationSuspension& operator=(const NotificationSuspension&) = delete;

    static bool isActive();
};

} // namespace platform

Q_DECLARE_METATYPE(platform::Notification)
