#pragma once

// The base of the inspector panes. A pane edits the objects its data source has selected
// (those of its managed classes): it watches every key path of interest on all of them and
// shows the common value through its own setter named after the key path's last component
// ("setWidth" for "width"), or "setMixedValueFor<Key>" when the objects differ, once per
// event-loop turn for the key paths that changed in it (see InspectedContent). Its actions
// write back with setCommonValueForKeyPath / takeCommonValueFromForKeyPath; the objects
// register the undo of their changes, so one write is one step of the current undo group,
// which the action then names on undoManager().
//
// Properties may be shown as a percentage of each object's value when the content was
// loaded; a zero reference shows 100 % and is left alone by writes. Those values are read
// when first asked for or before the objects first change, not when the content loads: a
// selection of a million objects then costs no more than its list. Panes that support
// revertOrCancel record every value when the content loads.
//
// Subclasses override the class-level answers (managedObjectClass, keyPathsOfInterest...),
// the display setters (invokable "set<Key>" methods) and the hooks.

#include "app/sidebar/VLTMObjectControllerDataSource.h"
#include "platform/foundation/NotificationCenter.h"
#include "platform/ui/ViewController.h"
#include "platform/vantrix/inspector/InspectedContent.h"

#include <QHash>
#include <QPointer>
#include <QSet>
#include <memory>

class QMenu;
class ZQUndoManager;

// Posted by the Geometry tab, with itself as sender, when its display units change.
inline const QString kVLTMGeometryControllerFormatterDidChange = QStringLiteral("kVLTMGeometryControllerFormatterDidChange");

class VLTMGenericObjectController : public platform::ViewController {
    Q_OBJECT

public:
    VLTMGenericObjectController();
    ~VLTMGenericObjectController() override;

    // --- What a pane edits (overridden per class) --------------------------------------
    // Must be overridden; the base logs and answers the root class.
    virtual const QMetaObject* managedObjectClass() const;
    virtual QList<const QMetaObject*> managedObjectClasses() const;
    // The managed class's observable key paths for drawables, else none.
    virtual QStringList keyPathsOfInterest() const;
    virtual QStringList propertiesExpressibleAsPercentage() const { return {}; }
    virtual bool supportsRevertOrCancel() const { return false; }

    // --- Data source ------------------------------------------------------------------
    QObject* dataSource() const { return m_dataSource; }
    // Must implement VLTMObjectControllerDataSource; reloads the content. Null unloads it.
    void setDataSource(QObject* dataSource);
    std::shared_ptr<platform::NumberFormatter> dataSourceNumberFormatter() const;
    ZQUndoManager* dataSourceUndoManager() const;
    ZQUndoManager* undoManager() const { return dataSourceUndoManager(); }

    // --- Content ----------------------------------------------------------------------
    // Loaded from the data source when first asked for, then observed.
    const QList<ZQObjectPtr>& content();
    void setContent(const QList<ZQObjectPtr>& content);
    // Stops observing and forgets the content and the values recorded when it was loaded.
    void unloadContent();
    // Unloads now and loads again (newObjectWasAssigned) after a zero delay, or, when the
    // pane's window is shown but the pane is not (its tab is behind another), once it shows.
    void reloadContent();
    virtual void newObjectWasAssigned();
    // True while the content is being observed for the first time.
    bool isStartingObservation() const { return m_startingObservation; }

    // --- Reading ----------------------------------------------------------------------
    // The content's shared value: null without content, the multiple-values marker when
    // the objects differ, the not-applicable marker when one cannot answer. Percentages
    // and the transformer apply. The key path must be of interest.
    QVariant commonValueForKeyPath(const QString& keyPath);
    void reloadDataForKeyPath(const QString& keyPath);
    // Every key path of interest again (the nil state without content).
    void reloadData();
    // Shows a value on the pane: see the class comment. Hides the object's own key-value
    // setter on purpose, as a pane is not edited by key.
    virtual void setValueForKeyPath(const QVariant& value, const QString& keyPath);
    // -1 when the objects differ, else 1 or 0 from the common boolean or number, 0 otherwise.
    int stateForKeyPath(const QString& keyPath);
    // Each content object's value, invalid where it has none or cannot answer.
    QVariantList contentValuesForKeyPath(const QString& keyPath);
    // The integer values the content holds (for tagged menus).
    QSet<int> usedIntegerValuesForKeyPath(const QString& keyPath);
    // Every item of the menu off, then the used tags on (one) or mixed (several).
    static void selectMixedValuesInTaggedMenuWithUsedTags(QMenu* menu, const QSet<int>& tags);
    void selectMixedValuesInTaggedMenuForKeyPath(QMenu* menu, const QString& keyPath);

    // --- Writing ----------------------------------------------------------------------
    // Sets the value on every content object the pane allows (shouldSetValueOfObjectForKeyPath),
    // reversing the transformer and the percentage first; markers are ignored, as is a write
    // made while another is in progress. The key path must be of interest.
    virtual void setCommonValueForKeyPath(const QVariant& value, const QString& keyPath);
    // The control's value (a colour well's colour, else its user property); nothing, a null
    // value and, unless allowed, an empty string are ignored.
    void takeCommonValueFromForKeyPath(QObject* control, const QString& keyPath);
    void takeCommonValueFromForKeyPathAllowingEmptyValue(QObject* control, const QString& keyPath, bool allowEmpty);
    // Sets every changed key path of every object back to its value when the content was
    // loaded, when the class supports it.
    virtual void revertOrCancel();
    // The key path being written, whose own change notifications are not shown meanwhile.
    QString settingKeyPath() const { return m_inspected.settingKeyPath(); }
    void setSettingKeyPath(const QString& keyPath) { m_inspected.setSettingKeyPath(keyPath); }

    // --- Percentages ------------------------------------------------------------------
    void setPropertiesExpressibleAsPercentage(bool shown);
    void setPropertyExpressedAsPercentage(const QString& key, bool shown);
    bool propertyIsExpressedAsPercentage(const QString& key) const { return m_percentageShown.contains(key); }

    // --- Transformers -----------------------------------------------------------------
    // Null removes the key path's transformer.
    void setTransformerForKeyPath(std::shared_ptr<platform::ValueTransformer> transformer, const QString& keyPath);
    platform::ValueTransformer* transformerForKeyPath(const QString& keyPath) const
    {
        return m_inspected.transformer(keyPath);
    }

    // Logs that the pane has no display setter for the key.
    void setValueForUndefinedKey(const QVariant& value, const QString& key) override;

    // The display setter of "locked", for panes that only enable controls by it; empty here.
    Q_INVOKABLE virtual void setLocked(bool locked) { Q_UNUSED(locked) }

protected:
    // The object that shows values (the pane itself; trampolines name another).
    virtual ZQObject* displayReceiver() { return this; }
    // May veto or change the value for one object; the base allows everything.
    virtual bool shouldSetValueOfObjectForKeyPath(QVariant& value, ZQObject* object, const QString& keyPath);
    // An object cannot answer a key path of interest: the pane's "invalidateControlsFor<Key>"
    // is told, if it has one. Answers whether it had.
    virtual bool invalidKeyPathForObject(const QString& keyPath, ZQObject* object);

    // Hooks, empty here.
    virtual void setControlStateForNil() {}
    virtual void observedValueForKeyDidChangeTo(const QString& keyPath, const QVariant& value)
    {
        Q_UNUSED(keyPath) Q_UNUSED(value)
    }
    virtual void formatterChanged(const platform::Notification& notification) { Q_UNUSED(notification) }
    virtual void changeUIStateForPercentageProperty(bool shownAsPercentage, const QString& key)
    {
        Q_UNUSED(shownAsPercentage) Q_UNUSED(key)
    }

protected:
    bool eventFilter(QObject* watched, QEvent* event) override;

private:
    void newObjectWasAssignedWhenShown();
    VLTMObjectControllerDataSource* source() const;
    QList<ZQObjectPtr> managedObjectsOf(const QList<ZQObjectPtr>& objects) const;
    void startObservingContent();
    // The common values read, in one pass, when the content loads: objects that cannot
    // answer are told.
    QVariantList loadedCommonValues(const QStringList& keyPaths);
    void recordLoadedValues(const QString& keyPath);
    void assertKeyPathOfInterest(const QString& keyPath, const char* use) const;
    // The percentage reference of content object `index`, or nullopt when the key path is
    // not shown as a percentage.
    std::optional<double> percentageReference(const QString& keyPath, qsizetype index);

    QPointer<QObject> m_dataSource;
    platform::InspectedContent m_inspected{this, [this](const QString& keyPath) { reloadDataForKeyPath(keyPath); },
                                           [this](const QString& keyPath) { recordLoadedValues(keyPath); }};
    bool m_contentLoaded = false;
    // The load waits for the view to show.
    bool m_assignWhenShown = false;
    bool m_startingObservation = false;
    // Per key path, each content object's value when loaded (invalid where it had none):
    // the percentage references and the values revertOrCancel restores. Recorded lazily.
    QHash<QString, QVariantList> m_loadedValues;
    QSet<QString> m_modifiedProperties;
    QSet<QString> m_percentageShown;
};
