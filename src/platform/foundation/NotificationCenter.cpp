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

namespace {

template <typename Registrations> void dropGone(Registrations& list)
{
    std::erase_if(list, [](const auto& r) { return r->removed || r->isDead(); });
}

} // namespace

NotificationObserverToken NotificationCenter::add(std::shared_ptr<Registration> registration)
{
    ZQ_ASSERT(RunLoop::isMainThread(), QStringLiteral("notification observers belong to the main thread"));
    // Sweeping on every add made opening a map whose library items each observe their object
    // quadratic; sweeping once the registry has doubled keeps adds constant on average.
    if (m_registrations.size() >= 2 * m_sizeAfterSweep)
        sweep();
    registration->token = m_nextToken++;
    m_byNameAndSender[Key(registration->name, registration->sender.data())].push_back(registration);
    if (registration->hasObserver)
        m_byObserver[registration->observer.data()].push_back(registration);
    m_registrations.push_back(std::move(registration));
    return m_registrations.back()->token;
}

void NotificationCenter::markRemovedIf(const RegistrationList& candidates,
                                       const std::function<bool(const Registration&)>& predicate)
{
    // A post in progress holds its recipients; the flag tells it which have gone. The lists
    // let go of them at the next sweep.
    m_registrationsExamined += candidates.size();
    for (const auto& r : candidates) {
        if (!r->removed && predicate(*r)) {
            r->removed = true;
            ++m_removedSinceSweep;
        }
    }
    if (m_removedSinceSweep > m_registrations.size() / 2)
        sweep();
}

void NotificationCenter::removeObserver(QObject* observer)
{
    removeObserver(observer, QString(), nullptr);
}

void NotificationCenter::removeObserver(QObject* observer, const QString& name, QObject* sender)
{
    const auto found = m_byObserver.constFind(observer);
    if (found == m_byObserver.cend())
        return;
    // Copied: a sweep may drop the list while it is walked.
    const RegistrationList candidates = *found;
    markRemovedIf(candidates, [&](const Registration& r) {
        return r.hasObserver && r.observer == observer && (name.isEmpty() || r.name == name)
            && (!sender || r.sender == sender);
    });
}

void NotificationCenter::removeObserver(NotificationObserverToken token)
{
    // Tokens grow with each add and sweeps keep the order: the registration is found by halving.
    const auto found = std::lower_bound(m_registrations.begin(), m_registrations.end(), token,
                                        [](const std::shared_ptr<Registration>& r, NotificationObserverToken t) {
                                            return r->token < t;
                                        });
    if (found == m_registrations.end() || (*found)->token != token)
        return;
    markRemovedIf({*found}, [](const Registration&) { return true; });
}

void NotificationCenter::sweep()
{
    // Every registration sits in the full list and one or two indexes.
    m_registrationsExamined += 3 * m_registrations.size();
    dropGone(m_registrations);
    for (auto it = m_byNameAndSender.begin(); it != m_byNameAndSender.end();) {
        dropGone(*it);
        it = it->empty() ? m_byNameAndSender.erase(it) : std::next(it);
    }
    for (auto it = m_byObserver.begin(); it != m_byObserver.end();) {
        dropGone(*it);
        it = it->empty() ? m_byObserver.erase(it) : std::next(it);
    }
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

NotificationCenter::RegistrationList NotificationCenter::recipientsOf(const Notification& notification)
{
    const QObject* sender = notification.sender.data();
    std::vector<Key> keys{Key(notification.name, nullptr), Key(QString(), nullptr)};
    // Registrations naming a sender never match a post without one.
    if (sender)
        keys.insert(keys.end(), {Key(notification.name, sender), Key(QString(), sender)});
    RegistrationList recipients;
    for (const Key& key : keys) {
        const auto found = m_byNameAndSender.find(key);
        if (found == m_byNameAndSender.end())
            continue;
        // A list is cleared of the gone as it is read, at no more cost than reading it.
        dropGone(*found);
        m_registrationsExamined += found->size();
        std::copy_if(found->begin(), found->end(), std::back_inserter(recipients),
                     [&](const std::shared_ptr<Registration>& r) { return r->matches(notification); });
    }
    // Delivery follows registration order across the lists.
    std::sort(recipients.begin(), recipients.end(),
              [](const auto& a, const auto& b) { return a->token < b->token; });
    return recipients;
}

void NotificationCenter::postNotification(const Notification& notification)
{
    if (NotificationSuspension::isActive())
        return;
    ZQ_ASSERT(RunLoop::isMainThread(), QStringLiteral("notifications are posted on the main thread"));
    ZQ_ASSERT(!notification.name.isEmpty(), QStringLiteral("a notification needs a name"));
    for (const auto& recipient : recipientsOf(notification)) {
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
