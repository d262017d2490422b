#pragma once

// The panes of the drawing framework's parametric shapes and paths, below the position and
// size pane: regular polygons and stars, arcs, straight lines and round-cornered rectangles.
// (Image shapes have their own file.) Each is a table of rows; what a row cannot say is here.

#include "inspectors/panes/table/GeometryTablePane.h"

#include <QPointer>

class QLabel;
class ZQRoundRectSelectorControl;

// Sides, radius, inner radius, tip and valley spread, star or polygon. The inner radius and
// valley spread apply to stars only; a star and a polygon together leave them usable.
class VLTM_VXRegularPolygonPathController : public GeometryTablePane {
    Q_OBJECT

public:
    const QMetaObject* managedObjectClass() const override;
    GeometryPaneTable table() const override;
    QStringList customKeyPaths() const override { return {QStringLiteral("locked")}; }
    QString paneTitle() const override;
    QString helpIdentifier() const override { return QStringLiteral("star"); }
};

// Radius and included angle, with the start and end angles of the last arc as a label.
class VLTM_VXArcPathController : public GeometryTablePane {
    Q_OBJECT

public:
    // Each key shown through a setter, bound to it.
    const platform::DisplayBindings& displayBindings() const override;
    const QMetaObject* managedObjectClass() const override;
    GeometryPaneTable table() const override;
    QStringList customKeyPaths() const override;
    QString paneTitle() const override;
    QLabel* anglesTextLabel();
    QString helpIdentifier() const override { return QStringLiteral("arc"); }

    // Either angle changed: the label shows both, or nothing when arcs differ.
    void setStartAngle(double) { showAngles(); }
    void setMixedValueForStartAngle() { showAngles(); }
    void setEndAngle(double) { showAngles(); }
    void setMixedValueForEndAngle() { showAngles(); }

protected:
    void addCustomControls(QFormLayout& form) override;
    void setCustomEnabling(bool mayEdit) override;

private:
    void showAngles();

private:
    QPointer<QLabel> m_anglesTextLabel;
};

// The length of straight lines; shown only when every selected path is one.
class VLTM_VXDrawablePathController : public GeometryTablePane {
    Q_OBJECT

public:
    const QMetaObject* managedObjectClass() const override;
    GeometryPaneTable table() const override;
    QStringList customKeyPaths() const override { return {QStringLiteral("locked")}; }
    QString paneTitle() const override;
    QString helpIdentifier() const override { return QStringLiteral("line"); }
};

// Which corners are rounded, and by how much. Rectangles rounded differently show all four
// corners in the mixed state; a click writes the control's corners to every one.
class VLTM_VXRoundRectShapeController : public GeometryTablePane {
    Q_OBJECT

public:
    // Each key shown through a setter, bound to it.
    const platform::DisplayBindings& displayBindings() const override;
    const QMetaObject* managedObjectClass() const override;
    GeometryPaneTable table() const override;
    QStringList customKeyPaths() const override;
    QString paneTitle() const override;
    ZQRoundRectSelectorControl* cornerControl();

    Q_INVOKABLE void cornerControlAction(QObject* sender = nullptr);
    void setCornerFlags(int flags);
    void setMixedValueForCornerFlags();
    QString helpIdentifier() const override { return QStringLiteral("round-corner-rect"); }

protected:
    void addCustomControls(QFormLayout& form) override;
    void setCustomEnabling(bool mayEdit) override;

private:
    QPointer<ZQRoundRectSelectorControl> m_cornerControl;
};
