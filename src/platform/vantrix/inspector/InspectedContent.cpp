#include "platform/vantrix/inspector/InspectedContent.h"

#include "platform/foundation/RunLoop.h"
#include "platform/foundation/ZQAssert.h"

#include <QScopeGuard>

namespace platform {

namespace {

const QByteArray kReloadKey = "reloadChangedKeyPaths";

} // namespace

InspectedContent::InspectedContent(QObject* owner, Reload reload)
    : m_owner(owner)
    , m_reload(std::move(reload))
{
}

InspectedContent::~InspectedContent()
{
    stopObserving();
}

void InspectedContent::setObjects(const QList<ZQObjectPtr>& objects)
{
    stopObserving();
    m_objects = objects;
}

void InspectedContent::observe(ZQObject& object, const QStringList& keyPaths)
{
    if (keyPaths.isEmpty())
        return;
    // No old or new values: a change only marks the key path, the reload reads it. No
    // receiver either: the owner's destructor ends the observations through ours.
    const ObservationToken token = object.observeKeyPaths(
        keyPaths, {}, nullptr, [this](const KeyValueChange& change) { keyPathChanged(change.keyPath); });
    m_observations.emplace_back(&object, token);
}

void InspectedContent::stopObserving()
{
    // Newest first, as objects sharing a linked object (a style) keep their watchers there
    // in the order they came.
    for (auto it = m_observations.rbegin(); it != m_observations.rend(); ++it) {
        if (it->first)
            it->first->removeObservation(it->second);
    }
    m_observations.clear();
    m_changedKeyPaths.clear();
    if (m_owner)
        RunLoop::cancelPreviousPerformRequests(m_owner, kReloadKey);
}

QVariant InspectedContent::commonValue(const QString& keyPath, const ValueAdjuster& adjust) const
{
    return shownValue(commonValueOfObjects(m_objects, keyPath, adjust), keyPath);
}

QVariant InspectedContent::shownValue(const QVariant& common, const QString& keyPath) const
{
    return displayValue(transformer(keyPath), common);
}

QVariant InspectedContent::modelValue(const QVariant& shown, const QString& keyPath) const
{
    return platform::modelValue(transformer(keyPath), shown);
}

void InspectedContent::write(const QString& keyPath, const ObjectValue& valueFor)
{
    if (!m_settingKeyPath.isEmpty())
        return;
    m_settingKeyPath = keyPath;
    {
        const auto finished = qScopeGuard([this] { m_settingKeyPath.clear(); });
        const QList<ZQObjectPtr> objects = m_objects;
        for (qsizetype i = 0; i < objects.size(); ++i) {
            if (const std::optional<QVariant> value = valueFor(i, *objects[i]))
                objects[i]->setValueForKeyPath(*value, keyPath);
        }
    }
    m_reload(keyPath);
}

void InspectedContent::setTransformer(std::shared_ptr<ValueTransformer> transformer, const QString& keyPath)
{
    if (transformer)
        m_transformers.insert(keyPath, std::move(transformer));
    else
        m_transformers.remove(keyPath);
}

void InspectedContent::keyPathChanged(const QString& keyPath)
{
    if (keyPath == m_settingKeyPath || m_changedKeyPaths.contains(keyPath))
        return;
    if (m_changedKeyPaths.isEmpty() && m_owner)
        RunLoop::performAfterDelay(m_owner, [this] { reloadChangedKeyPaths(); }, 0, kReloadKey);
    m_changedKeyPaths.append(keyPath);
}

void InspectedContent::reloadChangedKeyPaths()
{
    // A reload may change values again: those are marked for the next turn.
    const QStringList changed = std::exchange(m_changedKeyPaths, {});
    for (const QString& keyPath : changed)
        runGuarded("InspectedContent", [&] { m_reload(keyPath); });
}

} // namespace platform
