#include "platform/foundation/ObservationInfo.h"

#include "platform/foundation/ZQAssert.h"
#include "platform/foundation/ZQLog.h"
#include "platform/foundation/ZQObject.h"

#include <QSequentialIterable>
#include <atomic>

namespace platform {

namespace {

// Dependent keys may refer to each other; a cycle would otherwise recurse forever.
constexpr int kMaximumBindingDepth = 32;

QVariant guardedValueForKeyPath(const ZQObject* object, const QString& keyPath)
{
    QVariant value;
    runGuarded("key-value observing", [&] { value = object->valueForKeyPath(keyPath); });
    return value;
}

QVariant elementsAtIndexes(const QVariant& collection, const QList<int>& indexes)
{
    QVariantList elements;
    if (!collection.canConvert<QVariantList>())
        return elements;
    const QVariantList all = collection.toList();
    for (int index : indexes) {
        if (index >= 0 && index < all.size())
            elements.append(all[index]);
    }
    return elements;
}

std::atomic<ObservationToken> nextToken{1};

} // namespace

// --- ObservationInfo ------------------------------------------------------------------

ObservationInfo::ObservationInfo(ZQObject* owner)
    : m_owner(owner)
{
}

ObservationInfo::~ObservationInfo()
{
    // Observations unbind from other objects as they go; keep our own tables valid meanwhile.
    auto observations = std::move(m_observations);
    observations.clear();
}

quint64 ObservationInfo::addWatcher(const QString& key, KeyChangeHandler handler)
{
    // Objects drawn off the main thread may be observed there too.
    static std::atomic<quint64> nextWatcher{1};
    const quint64 id = nextWatcher++;
    m_watchers[key].push_back({id, std::move(handler)});
    return id;
}

void ObservationInfo::removeWatcher(quint64 id)
{
    for (auto it = m_watchers.begin(); it != m_watchers.end(); ++it) {
        auto& list = it.value();
        // From the back: whoever removes in the reverse order of adding (an inspector
        // letting go of thousands of objects that share a style) finds each at once.
        const auto found = std::find_if(list.rbegin(), list.rend(), [id](const Watcher& w) { return w.id == id; });
        if (found != list.rend()) {
            list.erase(std::next(found).base());
            if (list.empty())
                m_watchers.erase(it);
            return;
        }
    }
}

void ObservationInfo::notify(const QString& key, const KeyChangeEvent& event)
{
    const auto entry = m_watchers.constFind(key);
    if (entry == m_watchers.constEnd())
        return;
    // Watchers may come and go while we call them: walk a snapshot of ids and call only
    // those still present, each through a copy of its handler.
    std::vector<quint64> ids;
    ids.reserve(entry->size());
    for (const Watcher& w : *entry)
        ids.push_back(w.id);
    for (quint64 id : ids) {
        const auto current = m_watchers.constFind(key);
        if (current == m_watchers.constEnd())
            return;
        const auto found = std::find_if(current->begin(), current->end(), [id](const Watcher& w) { return w.id == id; });
        if (found == current->end())
            continue;
        // One observer that throws must not keep the others from hearing of the change.
        const KeyChangeHandler handler = found->handler;
        runGuarded("key-value observer", [&] { handler(event); });
    }
}

ObservationToken ObservationInfo::addObservation(std::unique_ptr<Observation> observation)
{
    const ObservationToken token = nextToken++;
    observation->setToken(token);
    Observation* started = observation.get();
    m_observations.push_back(std::move(observation));
    try {
        started->start();
    } catch (...) {
        // A path that cannot be bound leaves no registration behind.
        removeObservation(token);
        throw;
    }
    return token;
}

void ObservationInfo::removeObservation(ObservationToken token)
{
    const auto found = std::find_if(m_observations.begin(), m_observations.end(),
                                    [token](const auto& o) { return o->token() == token; });
    if (found == m_observations.end())
        return;
    // Destroy outside the vector, in case the destructor reaches back into this table.
    std::unique_ptr<Observation> removed = std::move(*found);
    m_observations.erase(found);
}

void ObservationInfo::removeObservation(QObject* observer, const QString& keyPath, bool matchContext, void* context)
{
    for (auto it = m_observations.rbegin(); it != m_observations.rend(); ++it) {
        const Observation& o = **it;
        if (o.receiver() == observer && o.keyPath() == keyPath && (!matchContext || o.context() == context)) {
            removeObservation(o.token());
            return;
        }
    }
}

// --- KeyPathBinding -------------------------------------------------------------------

namespace {
thread_local int bindingDepth = 0;
}

KeyPathBinding::KeyPathBinding(ZQObject* target, const QString& keyPath, KeyChangeHandler handler)
    : m_target(target)
    , m_handler(std::move(handler))
{
    ZQ_ASSERT(bindingDepth < kMaximumBindingDepth,
              QStringLiteral("key path %1 of %2 depends on itself").arg(keyPath, target->className()));
    ++bindingDepth;
    const auto leave = qScopeGuard([] { --bindingDepth; });

    const qsizetype dot = keyPath.indexOf(QLatin1Char('.'));
    m_firstKey = dot < 0 ? keyPath : keyPath.left(dot);
    m_rest = dot < 0 ? QString() : keyPath.mid(dot + 1);
    for (const QString& affecting : target->keyPathsForValuesAffectingValueForKey(m_firstKey)) {
        m_dependencies.push_back(std::make_unique<KeyPathBinding>(
            target, affecting, [this](const KeyChangeEvent& event) { firstKeyChanged(event, false); }));
    }
    bindRest();
    // Last, so that a binding that fails above leaves no watcher calling into it.
    m_watcher = ZQObject::observationInfoOf(target).addWatcher(
        m_firstKey, [this](const KeyChangeEvent& event) { firstKeyChanged(event, true); });
}

KeyPathBinding::~KeyPathBinding()
{
    if (m_target) {
        if (ObservationInfo* info = ZQObject::existingObservationInfoOf(m_target))
            info->removeWatcher(m_watcher);
    }
}

void KeyPathBinding::firstKeyChanged(const KeyChangeEvent& event, bool direct)
{
    KeyChangeEvent forwarded = event;
    if (!direct || !m_rest.isEmpty()) {
        // For the path as a whole, a change of a link or of a dependency replaces the value.
        forwarded.kind = KeyValueChangeKind::Setting;
        forwarded.indexes.clear();
    }
    // A link that cannot be bound (a cycle of dependent keys beyond it) is logged; the value
    // still changed, so the observer hears of it.
    if (!event.prior)
        runGuarded("key-value observing", [this] { bindRest(); });
    // The handler may remove this binding: touch no member after it.
    const KeyChangeHandler handler = m_handler;
    handler(forwarded);
}

void KeyPathBinding::bindRest()
{
    m_restBinding.reset();
    if (m_rest.isEmpty() || !m_target)
        return;
    ZQObject* next = objectFromVariant(guardedValueForKeyPath(m_target, m_firstKey));
    if (next)
        m_restBinding = std::make_unique<KeyPathBinding>(next, m_rest, m_handler);
}

// --- Observation ----------------------------------------------------------------------

Observation::Observation(ZQObject* observed, QString keyPath, KeyValueObservingOptions options, QObject* receiver,
                         KeyValueCallback callback, void* context)
    : m_observed(observed)
    , m_keyPath(std::move(keyPath))
    , m_options(options)
    , m_receiver(receiver)
    , m_hasReceiver(receiver != nullptr)
    , m_callback(std::move(callback))
    , m_context(context)
{
}

Observation::~Observation()
{
    QObject::disconnect(m_receiverDestroyed);
}

void Observation::start()
{
    if (m_receiver) {
        QPointer<ZQObject> observed = m_observed;
        const ObservationToken token = m_token;
        m_receiverDestroyed = QObject::connect(m_receiver, &QObject::destroyed, [observed, token] {
            if (observed)
                observed->removeObservation(token);
        });
    }
    m_binding = std::make_unique<KeyPathBinding>(m_observed, m_keyPath,
                                                 [this](const KeyChangeEvent& event) { changed(event); });
    if (m_options & KeyValueObservingOptionInitial) {
        KeyValueChange change;
        if (m_options & KeyValueObservingOptionNew)
            change.newValue = guardedValueForKeyPath(m_observed, m_keyPath);
        runGuarded("key-value observer", [&] { m_callback(change); });
    }
}

QVariant Observation::currentValue(const KeyChangeEvent& event) const
{
    const QVariant value = guardedValueForKeyPath(m_observed, m_keyPath);
    if (event.kind == KeyValueChangeKind::Setting)
        return value;
    return elementsAtIndexes(value, event.indexes);
}

void Observation::changed(const KeyChangeEvent& event)
{
    if (m_hasReceiver && !m_receiver)
        return;
    KeyValueChange change;
    change.kind = event.kind;
    change.indexes = event.indexes;

    if (event.prior) {
        const bool wantsOld = m_options & KeyValueObservingOptionOld;
        const bool wantsOldElements = event.kind == KeyValueChangeKind::Removal
                                   || event.kind == KeyValueChangeKind::Replacement
                                   || event.kind == KeyValueChangeKind::Setting;
        m_oldValues.push_back(wantsOld && wantsOldElements ? currentValue(event) : QVariant());
        if (!(m_options & KeyValueObservingOptionPrior))
            return;
        change.isPrior = true;
        change.oldValue = m_oldValues.back();
    } else {
        if (!m_oldValues.empty()) {
            change.oldValue = m_oldValues.back();
            m_oldValues.pop_back();
        }
        const bool hasNewElements = event.kind != KeyValueChangeKind::Removal;
        if ((m_options & KeyValueObservingOptionNew) && hasNewElements)
            change.newValue = currentValue(event);
    }
    // The callback may remove this observation: touch no member after it.
    const KeyValueCallback callback = m_callback;
    callback(change);
}

} // namespace platform
