#pragma once

// A pane made from a table of rows (StylePaneRow): one builder turns the rows into controls
// laid out as a form, shows each row's key path in its control, writes the user's changes
// through the common-value path and enables each control by the lock rule (not locked and
// enabled) and the row's own condition. Keys a pane edits with controls of its own
// (customKeyPaths) reach the setters it binds in displayBindings; it adds those
// controls in addCustomControls and enables them in setCustomStates.

#include "style_editor/panes/VLTMStyleComponentController.h"
#include "style_editor/panes/table/StylePaneRow.h"

#include <QHash>

class QFormLayout;
class StylePaneRowControl;

class StyleTablePane : public VLTMStyleComponentController {
    Q_OBJECT

public:
    StyleTablePane();
    ~StyleTablePane() override;

    // A subclass returns its parent's table with its own rows appended.
    virtual StylePaneTable table() const { return {}; }
    // Keys shown by the pane's own controls, not by rows.
    virtual QStringList customKeyPaths() const { return {}; }
    QStringList keyPathsOfInterest() const final;

    // The control of a row, once the view is made; null for a key without a row.
    StylePaneRowControl* rowControl(const QString& keyPath);

    void setValueForKeyPath(const QVariant& value, const QString& keyPath) override;
    // Writes, then shows the value the component took (a setter may adjust it) and enables
    // the controls again: the pane's own change does not come back as a notice.
    void setCommonValueForKeyPath(const QVariant& value, const QString& keyPath) override;
    void setStatesForLockEnabled(bool locked, bool enabled) override;
    void changeUnitsConversionFactorToWithUnits(double factor, const QString& units) override;

    // The common value of a key path of interest as a flag (off without content).
    bool commonFlagForKeyPath(const QString& keyPath) { return commonValueForKeyPath(keyPath).toBool(); }
    // Whether the controls may edit: the last lock and enabled flags given were off and on.
    bool controlsMayEdit() const { return !m_shownLock && m_shownEnabled; }

protected:
    QWidget* makeControls() final;
    virtual void addCustomControls(QFormLayout& form) { Q_UNUSED(form) }
    // Enables the pane's own controls; `mayEdit` is the lock rule.
    virtual void setCustomStates(bool mayEdit) { Q_UNUSED(mayEdit) }
    // Length fields of the pane's own controls, re-labelled with the rows'.
    virtual QList<QWidget*> customLengthFields() const { return {}; }

private:
    void applyStates();

    QHash<QString, StylePaneRowControl*> m_rows;
    QList<StylePaneRowControl*> m_rowOrder;
    bool m_shownLock = false;
    bool m_shownEnabled = true;
    // Custom controls are added while the view loads: rows are looked up without asking for it.
    bool m_buildingControls = false;
};
