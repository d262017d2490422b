#pragma once

// The pane of a solid fill (colour and shadow) and of the zig-zag fill derived from it.

#include "style_editor/panes/table/StyleTablePane.h"
#include "style_editor/panes/shadow/ShadowControls.h"


class VLTMStyleEditSub_VXFill : public StyleTablePane {
    Q_OBJECT

public:
    // Each key shown through a setter, bound to it.
    const platform::DisplayBindings& displayBindings() const override;
    const QMetaObject* managedObjectClass() const override;
    QString helpIdentifier() const override { return QStringLiteral("color-fill"); }
    StylePaneTable table() const override;
    QStringList customKeyPaths() const override { return {QStringLiteral("shadow")}; }

    ShadowControls* shadowControls() { view(); return m_shadowControls; }
    void setShadow(const QVariant& shadow);

protected:
    void addCustomControls(QFormLayout& form) override;
    void setCustomStates(bool mayEdit) override;

private:
    QPointer<ShadowControls> m_shadowControls;
};

class VLTMStyleEditSub_VXZigZagFill : public VLTMStyleEditSub_VXFill {
    Q_OBJECT

public:
    const QMetaObject* managedObjectClass() const override;
    QString helpIdentifier() const override { return QStringLiteral("zig-zag-fill"); }
    StylePaneTable table() const override;
};
