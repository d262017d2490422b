#pragma once

// The slice pane: position and size of the selected export slices (as for drawables), their
// title and colour, the slices tool's mode and the export of the slices. Slices come from a
// library built later, which installs the slice services and, with them, this pane under its
// slice class's name.

#include "inspectors/geometry/SliceServices.h"
#include "inspectors/panes/VLTM_VXDrawableObjectController.h"

class QButtonGroup;
class QPushButton;
class VXLayer;

class VLTM_VXQSliceController : public VLTM_VXDrawableObjectController {
    Q_OBJECT

public:
    VLTM_VXQSliceController();
    ~VLTM_VXQSliceController() override;

    // Installs the services and registers the pane for their slice class.
    static void installWithServices(std::shared_ptr<VLTMSliceServices> services);

    const QMetaObject* managedObjectClass() const override;
    GeometryPaneTable table() const override;
    QStringList customKeyPaths() const override { return {}; }
    QString paneTitle() const override;

    // The slices layer of the first selected slice; null without one.
    VXLayer* slicesLayer();
    QButtonGroup* toolModeSegmentedControl();
    QPushButton* exportButton();

    Q_INVOKABLE void toolModeAction(QObject* sender = nullptr);
    Q_INVOKABLE void exportAction(QObject* sender = nullptr);
    QString helpIdentifier() const override { return QStringLiteral("slices-layer"); }
    void toolModeChanged(const platform::Notification& notification);

protected:
    void addCustomControls(QFormLayout& form) override;
    void setCustomEnabling(bool mayEdit) override;
    void observedValueForKeyDidChangeTo(const QString& keyPath, const QVariant& value) override;

private:
    void showToolMode();

    QPointer<QButtonGroup> m_toolModeSegmentedControl;
    QPointer<QPushButton> m_exportButton;
};
