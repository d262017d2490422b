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
    m_watchers.push_back({id, key, std::move(handler)});
    return id;
}

std::vector<ObservationInfo::Watcher>::iterator ObservationInfo::findWatcher(quint64 id)
{
    const auto found = std::lower_bound(m_watchers.begin(), m_watchers.end(), id,
                                        [](const Watcher& w, quint64 wanted) { return w.id < wanted; });
    return found != m_watchers.end() && found->id == id ? found : m_watchers.end();
}

void ObservationInfo::removeWatcher(quint64 id)
{
    const auto found = findWatcher(id);
    if (found != m_watchers.end())
        m_watchers.erase(found);
}

void ObservationInfo::notify(const QString& key, const KeyChangeEvent& event)
{
    // Watchers may come and go while we call them: walk a snapshot of ids and call only
    // those still present, each through a copy of its handler.
    QVarLengthArray<quint64, 16> ids;
    for (const Watcher& w : m_watchers) {
        if (w.key == key)
            ids.append(w.id);
    }
    for (quint64 id : ids) {
        const auto found = findWatcher(id);
        if (found == m_watchers.end())
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
        if (o.receiver() == observer && o.isOfKeyPath(keyPath) && (!matchContext || o.context() == context)) {
            removeObservation(o.token());
            return;
        }
    }
}

// --- KeyPathBinding -------------------------------------------------------------------

namespace {
thread_local int bindingDepth = 0;
}

KeyPathGroups::KeyPathGroups(const QStringList& keyPaths)
    : m_paths(keyPaths)
{
    for (qsizetype index = 0; index < m_paths.size(); ++index) {
        const QString& keyPath = m_paths.at(index);
        const qsizetype dot = keyPath.indexOf(QLatin1Char('.'));
        const QStringView key = dot < 0 ? QStringView(keyPath) : QStringView(keyPath).left(dot);
        auto group = std::find_if(m_groups.begin(), m_groups.end(), [&](const Group& g) { return g.key == key; });
        if (group == m_groups.end())
            group = m_groups.insert(m_groups.end(), Group{key.toString(), {}, {}});
        group->paths.append(index);
        if (dot >= 0)
            group->rests.append(keyPath.mid(dot + 1));
    }
}

std::shared_ptr<const KeyPathGroups> KeyPathGroups::of(const QStringList& keyPaths)
{
    // The few sets of paths in use lately; bindings through a link ask for its set of rests.
    constexpr std::size_t kRemembered = 16;
    thread_local std::vector<std::shared_ptr<const KeyPathGroups>> recent;
    const auto found = std::find_if(recent.begin(), recent.end(), [&](const auto& g) { return g->paths() == keyPaths; });
    if (found != recent.end())
        return *found;
    if (recent.size() == kRemembered)
        recent.pop_back();
    return *recent.insert(recent.begin(), std::make_shared<const KeyPathGroups>(keyPaths));
}

KeyPathBinding::KeyPathBinding(ZQObject* target, const QStringList& keyPaths, KeyPathChangeHandler handler)
    : m_target(target)
    , m_groups(KeyPathGroups::of(keyPaths))
    , m_handler(std::move(handler))
{
    ZQ_ASSERT(bindingDepth < kMaximumBindingDepth,
              QStringLiteral("key path %1 of %2 depends on itself").arg(keyPaths.join(QLatin1Char(',')), target->className()));
    ++bindingDepth;
    const auto leave = qScopeGuard([] { --bindingDepth; });

    m_links.reserve(m_groups->groups().size());
    for (const KeyPathGroups::Group& group : m_groups->groups())
        m_links.emplace_back().group = &group;
    try {
        for (Link& link : m_links)
            bindLink(link);
    } catch (...) {
        // No watcher may call into a binding that was never made.
        unbind();
        throw;
    }
}

KeyPathBinding::~KeyPathBinding()
{
    *m_alive = false;
    unbind();
}

void KeyPathBinding::unbind()
{
    // In the reverse order of binding, so that each watcher is the last of its object's.
    ObservationInfo* info = m_target ? ZQObject::existingObservationInfoOf(m_target) : nullptr;
    for (auto link = m_links.rbegin(); link != m_links.rend(); ++link) {
        if (info && link->watcher)
            info->removeWatcher(link->watcher);
        link->watcher = 0;
        if (info) {
            for (auto watcher = link->dependencyWatchers.rbegin(); watcher != link->dependencyWatchers.rend(); ++watcher)
                info->removeWatcher(*watcher);
        }
        link->dependencyWatchers.clear();
    }
}

void KeyPathBinding::bindLink(Link& link)
{
    ObservationInfo& info = ZQObject::observationInfoOf(m_target);
    const auto dependencyChanged = [this, &link](const KeyChangeEvent& event) { keyChanged(link, event, false); };
    QStringList bound;
    const QStringList affectingKeyPaths = m_target->keyPathsForValuesAffectingValueForKey(link.group->key);
    for (const QString& affecting : affectingKeyPaths) {
        // Most dependencies are plain keys (a width on the size): a watcher does, without a binding.
        if (!affecting.contains(QLatin1Char('.')) && m_target->keyPathsForValuesAffectingValueForKey(affecting).isEmpty())
            link.dependencyWatchers.append(info.addWatcher(affecting, dependencyChanged));
        else
            bound.append(affecting);
    }
    if (!bound.isEmpty()) {
        link.dependencies = std::make_unique<KeyPathBinding>(
            m_target, bound, [dependencyChanged](const QString&, const KeyChangeEvent& event) { dependencyChanged(event); });
    }
    bindRest(link);
    // Last, so that a link that fails above leaves no watcher calling into it.
    link.watcher = info.addWatcher(link.group->key, [this, &link](const KeyChangeEvent& event) { keyChanged(link, event, true); });
}

void KeyPathBinding::keyChanged(Link& link, const KeyChangeEvent& event, bool direct)
{
    // A link that cannot be bound (a cycle of dependent keys beyond it) is logged; the value
    // still changed, so the observer hears of it.
    if (!event.prior)
        runGuarded("key-value observing", [&] { bindRest(link); });
    // For a longer path, a change of a link or of a dependency replaces the value.
    KeyChangeEvent replaced = event;
    replaced.kind = KeyValueChangeKind::Setting;
    replaced.indexes.clear();
    // The handler may end this binding: touch no member after it.
    const std::shared_ptr<bool> alive = m_alive;
    const KeyPathChangeHandler handler = m_handler;
    const std::shared_ptr<const KeyPathGroups> groups = m_groups;
    const KeyPathGroups::Group& group = *link.group;
    for (qsizetype index : group.paths) {
        if (!*alive)
            return;
        const QString& path = groups->paths().at(index);
        handler(path, direct && path == group.key ? event : replaced);
    }
}

void KeyPathBinding::bindRest(Link& link)
{
    link.rest.reset();
    if (link.group->rests.isEmpty() || !m_target)
        return;
    ZQObject* next = objectFromVariant(guardedValueForKeyPath(m_target, link.group->key));
    if (!next)
        return;
    const QString prefix = link.group->key + QLatin1Char('.');
    link.rest = std::make_unique<KeyPathBinding>(next, link.group->rests, [handler = m_handler, prefix](const QString& rest, const KeyChangeEvent& event) {
        handler(prefix + rest, event);
    });
}

// --- Observation ----------------------------------------------------------------------

Observation::Observation(ZQObject* observed, QStringList keyPaths, KeyValueObservingOptions options, QObject* receiver,
                         KeyValueCallback callback, void* context)
    : m_observed(observed)
    , m_keyPaths(std::move(keyPaths))
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
    m_binding = std::make_unique<KeyPathBinding>(
        m_observed, m_keyPaths, [this](const QString& keyPath, const KeyChangeEvent& event) { changed(keyPath, event); });
    if (m_options & KeyValueObservingOptionInitial) {
        for (const QString& keyPath : std::as_const(m_keyPaths)) {
            KeyValueChange change;
            change.keyPath = keyPath;
            if (m_options & KeyValueObservingOptionNew)
                change.newValue = guardedValueForKeyPath(m_observed, keyPath);
            runGuarded("key-value observer", [&] { m_callback(change); });
        }
    }
}

QVariant Observation::currentValue(const QString& keyPath, const KeyChangeEvent& event) const
{
    const QVariant value = guardedValueForKeyPath(m_observed, keyPath);
    if (event.kind == KeyValueChangeKind::Setting)
        return value;
    return elementsAtIndexes(value, event.indexes);
}

void Observation::changed(const QString& keyPath, const KeyChangeEvent& event)
{
    if (m_hasReceiver && !m_receiver)
        return;
    KeyValueChange change;
    change.keyPath = keyPath;
    change.kind = event.kind;
    change.indexes = event.indexes;

    const bool wantsOld = m_options & KeyValueObservingOptionOld;
    if (event.prior) {
        const bool hasOldElements = event.kind == KeyValueChangeKind::Removal
                                 || event.kind == KeyValueChangeKind::Replacement
                                 || event.kind == KeyValueChangeKind::Setting;
        if (wantsOld)
            m_oldValues[keyPath].push_back(hasOldElements ? currentValue(keyPath, event) : QVariant());
        if (!(m_options & KeyValueObservingOptionPrior))
            return;
        change.isPrior = true;
        if (wantsOld)
            change.oldValue = m_oldValues[keyPath].back();
    } else {
        if (wantsOld) {
            const auto pending = m_oldValues.find(keyPath);
            if (pending != m_oldValues.end() && !pending->empty()) {
                change.oldValue = pending->back();
                pending->pop_back();
            }
        }
        const bool hasNewElements = event.kind != KeyValueChangeKind::Removal;
        if ((m_options & KeyValueObservingOptionNew) && hasNewElements)
            change.newValue = currentValue(keyPath, event);
    }
    // The callback may remove this observation: touch no member after it.
    const KeyValueCallback callback = m_callback;
    callback(change);
}

} // namespace platform
