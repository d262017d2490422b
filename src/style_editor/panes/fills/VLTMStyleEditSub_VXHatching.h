#pragma once

// The pane of hatching: colour, line width with its menu, spacing, lead-in, angle, roughness,
// wobble, relative angle, dash menu, cap and join.

#include "style_editor/panes/table/StyleTablePane.h"
#include "style_editor/panes/strokes/StrokeWidthMenu.h"
#include "style_editor/panes/strokes/DashMenu.h"

class PaneDashEditing;

class VLTMStyleEditSub_VXHatching : public StyleTablePane {
    Q_OBJECT

public:
    VLTMStyleEditSub_VXHatching();
    ~VLTMStyleEditSub_VXHatching() override;
    // Each key shown through a setter, bound to it.
    const platform::DisplayBindings& displayBindings() const override;
    const QMetaObject* managedObjectClass() const override;
    QString helpIdentifier() const override { return QStringLiteral("hatch-fill"); }
    StylePaneTable table() const override;
    QStringList customKeyPaths() const override { return {QStringLiteral("dash")}; }
    void changeUnitsConversionFactorToWithUnits(double factor, const QString& units) override;

    StrokeWidthMenu* widthMenu() { view(); return m_widthMenu; }
    DashMenu* dashMenu() { view(); return m_dashMenu; }
    PaneDashEditing* dashEditing() { view(); return m_dashEditing.get(); }
    void setDash(const QVariant& dash);

protected:
    void addCustomControls(QFormLayout& form) override;
    void setCustomStates(bool mayEdit) override;
    void observedValueForKeyDidChangeTo(const QString& keyPath, const QVariant& value) override;

private:
    QPointer<StrokeWidthMenu> m_widthMenu;
    QPointer<DashMenu> m_dashMenu;
    std::unique_ptr<PaneDashEditing> m_dashEditing;
};
