#pragma once

// An inspector pane made from a table of rows (GeometryPaneRow), for the Geometry tab and the
// panes it embeds. One builder lays the rows out as a form under the pane's title; each row
// shows its key path's common value and writes the user's changes to every selected object
// that is not locked (the lock itself always), then names the undo step after the row.
//
// The common rules live here: "locked" (a key path of every table pane) disables the rows
// while the objects are locked (a mixed lock counts as unlocked) and no content disables them
// all; length rows take the tab's formatter for its display units, or a percent formatter
// while their key path is shown as a percentage. Keys the pane shows with controls of its own
// (customKeyPaths) reach the setters the pane binds in displayBindings.

#include "app/sidebar/VLTMGenericObjectController.h"
#include "inspectors/panes/table/GeometryPaneRow.h"
#include "platform/vantrix/inspector/DisplayBindings.h"

#include <QHash>

class QFormLayout;
class QLabel;
class GeometryRowControl;
class VLTMGeometryPaneDelegate;

class GeometryTablePane : public VLTMGenericObjectController, public platform::DisplayBindingSource {
    Q_OBJECT

public:
    GeometryTablePane();
    ~GeometryTablePane() override;

    // A subclass answers its parent's table with its own rows appended.
    virtual GeometryPaneTable table() const { return {}; }
    // Keys shown by the pane's own controls, not by rows ("locked" is the pane's own).
    virtual QStringList customKeyPaths() const { return {}; }
    // The display setters of the custom keys; none here.
    const platform::DisplayBindings& displayBindings() const override;
    // The rows' key paths, then the custom ones.
    QStringList keyPathsOfInterest() const override;
    QStringList propertiesExpressibleAsPercentage() const override;
    // The pane's heading in the stack.
    virtual QString paneTitle() const { return {}; }
    // The help page of the pane; none shows no help button.
    virtual QString helpIdentifier() const { return {}; }
    void showHelp();

    // The control of a row; null for a key path without one.
    GeometryRowControl* rowControl(const QString& keyPath);

    void setValueForKeyPath(const QVariant& value, const QString& keyPath) override;
    // Loads the content after giving the length rows their formatters.
    void newObjectWasAssigned() override;
    // Writes the value a row's control was given, names the step and shows what the objects took.
    void writeRowValue(const GeometryPaneRow& row, const QVariant& value);
    // The tags of a pop-up row's choices that the objects hold (none for other rows).
    QSet<int> usedTagsForRow(const GeometryPaneRow& row);
    // Names the current undo step, when there is an undo manager.
    void nameUndoAction(const QString& name);

    // The objects' common lock as last shown (mixed counts as unlocked).
    bool isLocked() const { return m_locked; }
    bool hasContent() { return !content().isEmpty(); }
    // The tab, when the data source is one.
    VLTMGeometryPaneDelegate* paneDelegate() const;

    // Enables every row by the lock, its condition and the content, then the pane's own controls.
    void applyEnabling();
    // Every length row takes the formatter for its percentage state.
    void applyLengthFormatters();
    // The formatter of a length row: percent while shown as a percentage, else the tab's.
    std::shared_ptr<platform::NumberFormatter> formatterForRow(const GeometryPaneRow& row);

protected:
    QWidget* loadView() override;
    virtual void addCustomControls(QFormLayout& form) { Q_UNUSED(form) }
    // The objects' common lock changed (a mixed lock is shown unlocked).
    virtual void lockDidChange(bool locked, bool mixed) { Q_UNUSED(locked) Q_UNUSED(mixed) }
    // Enables the pane's own controls; `mayEdit` is the lock and content rule.
    virtual void setCustomEnabling(bool mayEdit) { Q_UNUSED(mayEdit) }
    bool shouldSetValueOfObjectForKeyPath(QVariant& value, ZQObject* object, const QString& keyPath) override;
    void setControlStateForNil() override;
    void formatterChanged(const platform::Notification& notification) override;
    void changeUIStateForPercentageProperty(bool shownAsPercentage, const QString& key) override;

private:
    QHash<QString, GeometryRowControl*> m_rows;
    QList<GeometryRowControl*> m_rowOrder;
    bool m_locked = false;
    bool m_building = false;
};
