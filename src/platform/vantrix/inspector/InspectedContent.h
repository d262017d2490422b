#pragma once

// The objects an inspector edits, watched at the key paths it shows. A change is not shown
// when it happens: it marks its key path, and the marked key paths are shown once when the
// event-loop turn ends. Writing one value to s objects, or undoing that, then reads each
// object once instead of s/2 times on average, and a burst of changes costs one display.
//
// The objects are watched all at once (ObjectsChangeWatch), not one by one: a selection of a
// million objects costs its list and no more. Common values are read when they are asked for,
// as far as the first difference, and kept until a change marks their key path.

#include "platform/foundation/ValueTransformer.h"
#include "platform/vantrix/inspector/InspectorValues.h"
#include "platform/vantrix/inspector/ObjectsChangeWatch.h"

#include <QHash>
#include <QPointer>
#include <QStringList>
#include <functional>
#include <memory>
#include <optional>
#include <vector>

namespace platform {

class InspectedContent {
public:
    // Shows the common value of one key path; called at the end of the turn for each marked
    // key path, in the order of their first change, and once after each write.
    using Reload = std::function<void(const QString& keyPath)>;
    // What a write gives one object (nullopt leaves the object alone).
    using ObjectValue = std::function<std::optional<QVariant>(qsizetype index, ZQObject& object)>;
    // Told before the objects first change at one of the key paths kept for it (see observe):
    // the last moment their values are those they had when watching began.
    using BeforeFirstChange = std::function<void(const QString& keyPath)>;

    // `owner`, the inspector holding this, is the target of the delayed reloads.
    InspectedContent(QObject* owner, Reload reload, BeforeFirstChange beforeFirstChange = {});
    ~InspectedContent();
    InspectedContent(const InspectedContent&) = delete;
    InspectedContent& operator=(const InspectedContent&) = delete;

    // --- Objects ----------------------------------------------------------------------
    const QList<ZQObjectPtr>& objects() const { return m_objects; }
    // Stops watching the old objects and forgets their pending reloads; watches nothing.
    void setObjects(const QList<ZQObjectPtr>& objects);
    // Watches `keyPaths` of every object; `beforeFirstChange` is told of those of `kept`.
    void observe(const QStringList& keyPaths, const QStringList& kept = {});

    // --- Values -----------------------------------------------------------------------
    // The objects' shared value as shown: see commonValueOfObjects; the transformer applies.
    // Without an adjuster, a value of a watched key path is kept until its key path is marked;
    // others are read again each time.
    QVariant commonValue(const QString& keyPath, const ValueAdjuster& adjust = {},
                         const UnreadableReporter& unreadable = {}) const;
    // The same for several key paths in one pass over the objects (see commonValuesOfObjects).
    QVariantList commonValues(const QStringList& keyPaths, const QList<ValueAdjuster>& adjusters = {},
                              const PathUnreadableReporter& unreadable = {}) const;
    // A common value already gathered, as shown: the transformer applies.
    QVariant shownValue(const QVariant& common, const QString& keyPath) const;
    // The model value of a shown one, through the transformer when it can go back.
    QVariant modelValue(const QVariant& shown, const QString& keyPath) const;

    // The key path being written; its changes are not marked meanwhile.
    const QString& settingKeyPath() const { return m_settingKeyPath; }
    void setSettingKeyPath(const QString& keyPath) { m_settingKeyPath = keyPath; }
    // Gives every object its value, over a copy of the list (a write may change the
    // selection), then reloads the key path. Ignored while another write is in progress.
    void write(const QString& keyPath, const ObjectValue& valueFor);

    void setTransformer(std::shared_ptr<ValueTransformer> transformer, const QString& keyPath);
    ValueTransformer* transformer(const QString& keyPath) const { return m_transformers.value(keyPath).get(); }

private:
    // Whether a common value read now may be kept: the key path is watched and a change to it
    // would be heard.
    bool mayKeep(const QString& keyPath) const;
    bool wantsChange(qsizetype index, bool prior) const;
    void changed(qsizetype index, bool prior);
    void keyPathChanged(const QString& keyPath);
    void reloadChangedKeyPaths();
    void stopObserving();

    QPointer<QObject> m_owner;
    Reload m_reload;
    BeforeFirstChange m_beforeFirstChange;
    QList<ZQObjectPtr> m_objects;
    std::unique_ptr<ObjectsChangeWatch> m_watch;
    // By the index of the watched key path: whether it is still to be told before its first change.
    std::vector<bool> m_keptUntold;
    QStringList m_changedKeyPaths;
    mutable QHash<QString, QVariant> m_commonValues;
    QString m_settingKeyPath;
    QHash<QString, std::shared_ptr<ValueTransformer>> m_transformers;
};

} // namespace platform
