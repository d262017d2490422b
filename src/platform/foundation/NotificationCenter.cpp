#include "platform/foundation/NotificationCenter.h"

#include "platform/foundation/MetaInvoke.h"

#include "platform/foundation/RunLoop.h"
#include "platform/foundation/ZQAssert.h"

#include <algorithm>

namespace platform {

struct NotificationCenter::Registration {
    NotificationObserverToken token = 0;
    QPointer<QObject> observer;
    bool hasObserver = false;
    QString name;
    QPointer<QObject> sender;
    bool hasSender = false;
    Handler handler;
    bool removed = false;

    bool isDead() const { return (hasObserver && !observer) || (hasSender && !sender); }
    bool matches(const Notification& notification) const
    {
        return !removed && !isDead() && (name.isEmpty() || name == notification.name)
            && (!hasSender || sender == notification.sender);
    }
};

NotificationCenter::NotificationCenter() = default;
NotificationCenter::~NotificationCenter() = default;

NotificationCenter& NotificationCenter::defaultCenter()
{
    static NotificationCenter center;
    return center;
}

NotificationObserverToken NotificationCenter::addObserver(QObject* observer, const QString& name, QObject* sender,
                                                          Handler handler)
{
    auto registration = std::make_shared<Registration>();
    registration->observer = observer;
    registration->hasObserver = observer != nullptr;
    registration->name = name;
    registration->sender = sender;
    registration->hasSender = sender != nullptr;
    registration->handler = std::move(handler);
    return add(std::move(registration));
}

NotificationObserverToken NotificationCenter::addObserverSelectorNameObject(QObject* observer,
                                                                            const QByteArray& selector,
                                                                            const QString& name, QObject* sender)
{
    ZQ_ASSERT(observer && selectorMethod(observer, selector, true).isValid(),
              QStringLiteral("notification observer does not respond to %1").arg(QString::fromLatin1(selector)));
    // Registrations are checked for a live observer before each call.
    return addObserver(observer, name, sender, [observer, selector](const Notification& notification) {
        invokeSelector(observer, selector, QVariant::fromValue(notification));
    });
}

NotificationObserverToken NotificationCenter::add(std::shared_ptr<Registration> registration)
{
    ZQ_ASSERT(RunLoop::isMainThread(), QStringLiteral("notification observers belong to the main thread"));
    // Sweeping on every add made opening a map whose library items each observe their object
    // quadratic; sweeping once the registry has doubled keeps adds constant on average.
    if (m_registrations.size() >= 2 * m_sizeAfterSweep)
        sweep();
    registration->token = m_nextToken++;
    m_registrations.push_back(std::move(registration));
    return m_registrations.back()->token;
}

template <typename Predicate> void NotificationCenter::removeIf(Predicate predicate)
{
    // A post in progress holds its recipients; the flag tells it which have gone.
    std::erase_if(m_registrations, [&](const std::shared_ptr<Registration>& r) {
        if (!predicate(*r))
            return false;
        r->removed = true;
        return true;
    });
}

void NotificationCenter::removeObserver(QObject* observer)
{
    removeIf([&](const Registration& r) { return r.hasObserver && r.observer == observer; });
}

void NotificationCenter::removeObserver(QObject* observer, const QString& name, QObject* sender)
{
    removeIf([&](const Registration& r) {
        return r.hasObserver && r.observer == observer && (name.isEmpty() || r.name == name)
            && (!sender || r.sender == sender);
    });
}

void NotificationCenter::removeObserver(NotificationObserverToken token)
{
    // Tokens grow with each add and sweeps keep the order: the registration is found by halving.
    // It is only marked, so that thousands of items letting go one by one stay linear.
    const auto found = std::lower_bound(m_registrations.begin(), m_registrations.end(), token,
                                        [](const std::shared_ptr<Registration>& r, NotificationObserverToken t) {
                                            return r->token < t;
                                        });
    if (found == m_registrations.end() || (*found)->token != token || (*found)->removed)
        return;
    (*found)->removed = true;
    if (++m_removedSinceSweep > m_registrations.size() / 2)
        sweep();
}

void NotificationCenter::sweep()
{
    removeIf([](const Registration& r) { return r.removed || r.isDead(); });
    m_sizeAfterSweep = std::max<size_t>(m_registrations.size(), kSmallestSweptSize);
    m_removedSinceSweep = 0;
}

namespace {
thread_local int t_suspensions = 0;
}

NotificationSuspension::NotificationSuspension()
{
    ++t_suspensions;
}

NotificationSuspension::~NotificationSuspension()
{
    --t_suspensions;
}

bool NotificationSuspension::isActive()
{
    return t_suspensions > 0;
}

void NotificationCenter::postNotification(const Notification& notification)
{
    if (NotificationSuspension::isActive())
        return;
    ZQ_ASSERT(RunLoop::isMainThread(), QStringLiteral("notifications are posted on the main thread"));
    ZQ_ASSERT(!notification.name.isEmpty(), QStringLiteral("a notification needs a name"));
    sweep();

    std::vector<std::shared_ptr<Registration>> recipients;
    std::copy_if(m_registrations.begin(), m_registrations.end(), std::back_inserter(recipients),
                 [&](const std::shared_ptr<Registration>& r) { return r->matches(notification); });
    for (const auto& recipient : recipients) {
        // Earlier observers may have removed this one, or destroyed it.
        if (recipient->matches(notification))
            runGuarded("notification observer", [&] { recipient->handler(notification); });
    }
}

void NotificationCenter::postNotificationName(const QString& name, QObject* sender, const QVariantMap& userInfo)
{
    postNotification({name, sender, userInfo});
}

} // namespace platform
