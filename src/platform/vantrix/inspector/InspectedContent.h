#pragma once

// The objects an inspector edits, observed at the key paths it shows. A change is not shown
// when it happens: it marks its key path, and the marked key paths are shown once when the
// event-loop turn ends. Writing one value to s objects, or undoing that, then reads each
// object once instead of s/2 times on average, and a burst of changes costs one display.

#include "platform/foundation/ValueTransformer.h"
#include "platform/vantrix/inspector/InspectorValues.h"

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

    // `owner`, the inspector holding this, is the target of the delayed reloads.
    InspectedContent(QObject* owner, Reload reload);
    ~InspectedContent();
    InspectedContent(const InspectedContent&) = delete;
    InspectedContent& operator=(const InspectedContent&) = delete;

    // --- Objects ----------------------------------------------------------------------
    const QList<ZQObjectPtr>& objects() const { return m_objects; }
    // Stops observing the old objects and forgets their pending reloads; observes nothing.
    void setObjects(const QList<ZQObjectPtr>& objects);
    // Observes `keyPaths` of `object`, one of the objects, under one registration: selecting
    // thousands of objects then costs one per object rather than one per object and key path.
    // Raises as observing does.
    void observe(ZQObject& object, const QStringList& keyPaths);

    // --- Values -----------------------------------------------------------------------
    // The objects' shared value as shown: see commonValueOfObjects; the transformer applies.
    QVariant commonValue(const QString& keyPath, const ValueAdjuster& adjust = {}) const;
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
    void keyPathChanged(const QString& keyPath);
    void reloadChangedKeyPaths();
    void stopObserving();

    QPointer<QObject> m_owner;
    Reload m_reload;
    QList<ZQObjectPtr> m_objects;
    std::vector<std::pair<QPointer<ZQObject>, ObservationToken>> m_observations;
    QStringList m_changedKeyPaths;
    QString m_settingKeyPath;
    QHash<QString, std::shared_ptr<ValueTransformer>> m_transformers;
};

} // namespace platform
