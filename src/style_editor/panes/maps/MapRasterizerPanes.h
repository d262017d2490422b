#pragma once

// The panes of the map's track rasterizers: cutting and embankment, tunnel and bridge.

#include "style_editor/panes/table/StyleTablePane.h"
#include "style_editor/panes/strokes/StrokeWidthMenu.h"


class VLTMStyleEditSub_VXQCuttingAndEmbankmentRasterizer : public StyleTablePane {
    Q_OBJECT

public:
    const QMetaObject* managedObjectClass() const override;
    QString helpIdentifier() const override { return QStringLiteral("cutting-embankment-adornment"); }
    StylePaneTable table() const override;

protected:
    void observedValueForKeyDidChangeTo(const QString& keyPath, const QVariant& value) override;
};

// Tunnel and bridge: a width row with the width menu.
class StyleWidthMenuPane : public StyleTablePane {
    Q_OBJECT

public:
    StrokeWidthMenu* widthMenu() { view(); return m_widthMenu; }

protected:
    void addCustomControls(QFormLayout& form) override;
    void setCustomStates(bool mayEdit) override;
    void observedValueForKeyDidChangeTo(const QString& keyPath, const QVariant& value) override;
    // Whether the width may be edited beyond the lock rule.
    virtual bool widthIsEditable() { return true; }

private:
    QPointer<StrokeWidthMenu> m_widthMenu;
};

class VLTMStyleEditSub_VXQTunnelRasterizer : public StyleWidthMenuPane {
    Q_OBJECT

public:
    const QMetaObject* managedObjectClass() const override;
    QString helpIdentifier() const override { return QStringLiteral("tunnel-adornment"); }
    StylePaneTable table() const override;
    // Lengths here are in stroke widths, not in the display units.
    void changeUnitsConversionFactorToWithUnits(double, const QString&) override {}
};

class VLTMStyleEditSub_VXQBridgeRasterizer : public StyleWidthMenuPane {
    Q_OBJECT

public:
    const QMetaObject* managedObjectClass() const override;
    QString helpIdentifier() const override { return QStringLiteral("bridge-adornment"); }
    StylePaneTable table() const override;
    void changeUnitsConversionFactorToWithUnits(double, const QString&) override {}

protected:
    bool widthIsEditable() override;
};
