#pragma once

// The pane of a plain stroke, and the base of the panes of every other stroke: width (field,
// stepper and width menu), colour, dash menu, cap and join, lateral offset, clipping and the
// shadow checkbox.

#include "style_editor/panes/table/StyleTablePane.h"
#include "style_editor/panes/strokes/StrokeWidthMenu.h"
#include "style_editor/panes/strokes/DashMenu.h"
#include "style_editor/panes/shadow/ShadowControls.h"

class PaneDashEditing;

class VLTMStyleEditSub_VXStroke : public StyleTablePane {
    Q_OBJECT

public:
    VLTMStyleEditSub_VXStroke();
    ~VLTMStyleEditSub_VXStroke() override;
    // Each key shown through a setter, bound to it.
    const platform::DisplayBindings& displayBindings() const override;
    const QMetaObject* managedObjectClass() const override;
    QString helpIdentifier() const override { return QStringLiteral("stroke"); }
    StylePaneTable table() const override;
    QStringList customKeyPaths() const override;
    void changeUnitsConversionFactorToWithUnits(double factor, const QString& units) override;

    StrokeWidthMenu* widthMenu() { view(); return m_widthMenu; }
    DashMenu* dashMenu() { view(); return m_dashMenu; }
    PaneDashEditing* dashEditing() { view(); return m_dashEditing.get(); }
    ShadowControls* shadowControls() { view(); return m_shadowControls; }

    void setDash(const QVariant& dash);
    void setShadow(const QVariant& shadow);

protected:
    void addCustomControls(QFormLayout& form) override;
    void setCustomStates(bool mayEdit) override;
    void observedValueForKeyDidChangeTo(const QString& keyPath, const QVariant& value) override;

private:
    QPointer<StrokeWidthMenu> m_widthMenu;
    QPointer<DashMenu> m_dashMenu;
    std::unique_ptr<PaneDashEditing> m_dashEditing;
    QPointer<ShadowControls> m_shadowControls;
};
