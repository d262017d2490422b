#include "platform/vantrix/inspector/InspectedContent.h"

#include "platform/foundation/RunLoop.h"
#include "platform/foundation/ZQAssert.h"

#include <QScopeGuard>

namespace platform {

namespace {

const QByteArray kReloadKey = "reloadChangedKeyPaths";

} // namespace

InspectedContent::InspectedContent(QObject* owner, Reload reload, BeforeFirstChange beforeFirstChange)
    : m_owner(owner)
    , m_reload(std::move(reload))
    , m_beforeFirstChange(std::move(beforeFirstChange))
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

void InspectedContent::observe(const QStringList& keyPaths, const QStringList& kept)
{
    stopObserving();
    m_keptUntold.resize(size_t(keyPaths.size()));
    for (qsizetype i = 0; i < keyPaths.size(); ++i)
        m_keptUntold[size_t(i)] = kept.contains(keyPaths[i]);
    m_watch = std::make_unique<ObjectsChangeWatch>(
        m_objects, keyPaths, [this](qsizetype index, bool prior, const ZQObject&) { return wantsChange(index, prior); },
        [this](qsizetype index, bool prior) { changed(index, prior); });
}

void InspectedContent::stopObserving()
{
    m_watch.reset();
    m_keptUntold.clear();
    m_changedKeyPaths.clear();
    m_commonValues.clear();
    if (m_owner)
        RunLoop::cancelPreviousPerformRequests(m_owner, kReloadKey);
}

bool InspectedContent::wantsChange(qsizetype index, bool prior) const
{
    // By index: asked before each change of each watched object, a million of them per edit.
    if (prior)
        return m_keptUntold[size_t(index)];
    const QString& keyPath = m_watch->keyPaths().at(index);
    // A marked key path is read again at the end of the turn whatever changes meanwhile.
    return !m_changedKeyPaths.contains(keyPath) && (keyPath != m_settingKeyPath || m_commonValues.contains(keyPath));
}

void InspectedContent::changed(qsizetype index, bool prior)
{
    const QString keyPath = m_watch->keyPaths().at(index);
    if (!prior) {
        keyPathChanged(keyPath);
    } else if (m_keptUntold[size_t(index)]) {
        m_keptUntold[size_t(index)] = false;
        if (m_beforeFirstChange)
            m_beforeFirstChange(keyPath);
    }
}

bool InspectedContent::mayKeep(const QString& keyPath) const
{
    // Only a change the watch follows clears a kept value; a marked key path hears no more
    // changes this turn.
    return m_watch && m_watch->keyPaths().contains(keyPath) && !m_changedKeyPaths.contains(keyPath)
           && keyPath != m_settingKeyPath;
}

QVariant InspectedContent::commonValue(const QString& keyPath, const ValueAdjuster& adjust,
                                      const UnreadableReporter& unreadable) const
{
    const bool keep = !adjust && mayKeep(keyPath);
    if (keep) {
        const auto kept = m_commonValues.constFind(keyPath);
        if (kept != m_commonValues.cend())
            return shownValue(*kept, keyPath);
    }
    const QVariant common = commonValueOfObjects(m_objects, keyPath, adjust, unreadable);
    if (keep)
        m_commonValues.insert(keyPath, common);
    return shownValue(common, keyPath);
}

QVariantList InspectedContent::commonValues(const QStringList& keyPaths, const QList<ValueAdjuster>& adjusters,
                                            const PathUnreadableReporter& unreadable) const
{
    const QVariantList common = commonValuesOfObjects(m_objects, keyPaths, adjusters, unreadable);
    QVariantList shown;
    shown.reserve(keyPaths.size());
    for (qsizetype p = 0; p < keyPaths.size(); ++p) {
        if (!adjusters.value(p) && mayKeep(keyPaths[p]))
            m_commonValues.insert(keyPaths[p], common[p]);
        shown.append(shownValue(common[p], keyPaths[p]));
    }
    return shown;
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
    m_commonValues.remove(keyPath);
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
    m_commonValues.remove(keyPath);
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
