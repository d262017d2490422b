#pragma once

// The position and size pane: the first pane of the Geometry tab for every selection of
// drawables. It edits position, size, angle, visibility, the lock and the aspect-ratio lock of
// all selected objects at once, shows the common style's name and gives the tab the common
// name. Which controls apply is the tab's options mask (VLTMGeometryController::InterfaceOption):
// every control needs its bit and unlocked objects, except the lock checkbox, which needs only
// its bit, so a locked object can always be unlocked.
//
// Angles show in -180..180 (270 shows -90); width and height may show as percentages of each
// object's size when the selection was loaded, typed between 10 % and 400 %.

#include "inspectors/panes/table/GeometryTablePane.h"

#include <QPointer>

class QCheckBox;
class QLabel;

class VLTM_VXDrawableObjectController : public GeometryTablePane {
    Q_OBJECT

public:
    VLTM_VXDrawableObjectController();
    ~VLTM_VXDrawableObjectController() override;
    // Each key shown through a setter, bound to it.
    const platform::DisplayBindings& displayBindings() const override;

    const QMetaObject* managedObjectClass() const override;
    GeometryPaneTable table() const override;
    QStringList customKeyPaths() const override;
    QString paneTitle() const override;

    // The angle as the pane shows it: folded into (-180, 180], the sign kept below -180.
    static double shownAngle(double degrees);

    quint32 interfaceOptions() const { return m_options; }
    void setInterfaceOptions(quint32 options);
    bool hasOption(quint32 option) const { return (m_options & option) != 0; }

    // Width and height shown as percentages, or plain.
    void sizePercentageAction(bool shown);
    QCheckBox* sizePercentageCheckbox();
    QLabel* styleInfoTextField();

    // Display setters of the keys without rows.
    void setStyle(QObject* style);
    void setMixedValueForStyle();
    void setName(const QString& name);
    void setMixedValueForName();

    void newObjectWasAssigned() override;

protected:
    // The rows of position, size, visibility and lock, which slices share.
    static GeometryPaneTable placementRows();
    void addCustomControls(QFormLayout& form) override;
    void setCustomEnabling(bool mayEdit) override;
    void observedValueForKeyDidChangeTo(const QString& keyPath, const QVariant& value) override;
    void changeUIStateForPercentageProperty(bool shownAsPercentage, const QString& key) override;

private:
    quint32 m_options = 255;
    QPointer<QCheckBox> m_sizePercentageCheckbox;
    QPointer<QLabel> m_styleInfoTextField;
};
