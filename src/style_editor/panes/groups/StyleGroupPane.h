#pragma once

// What the panes of component groups share: they keep the panes of their members (the
// editor builds those and hands them over in building order), pass the lock on to them, and
// have the editor rebuild its stack when the group's render list changes after the first
// load. Their menu pastes a component from the pasteboard into the group, one named undo
// step; groups themselves are refused, so a group never ends up inside itself.

#include "style_editor/panes/table/StyleTablePane.h"

#include <QPointer>

class StyleGroupPane : public StyleTablePane {
    Q_OBJECT

public:
    StyleGroupPane();
    ~StyleGroupPane() override;
    // Each key shown through a setter, bound to it.
    const platform::DisplayBindings& displayBindings() const override;

    QStringList customKeyPaths() const override { return {QStringLiteral("renderList")}; }
    void addSubcontroller(VLTMStyleComponentController* pane) override;
    QList<VLTMStyleComponentController*> subcontrollers() const;
    void setStatesForLockEnabled(bool locked, bool enabled) override;

    void setRenderList(const QVariantList&);
    Q_INVOKABLE void pasteIntoGroupAction(QObject* sender);
    // "Paste Component", or "Paste Component (<kind>)" when one can be pasted.
    bool validateMenuItem(platform::MenuItem* item) override;

protected:
    void addComponentMenuItems(platform::Menu& menu) override;
    // Told before the editor rebuilds for a new render list.
    virtual void renderListDidChange() {}

private:
    QList<QPointer<VLTMStyleComponentController>> m_subcontrollers;
};
