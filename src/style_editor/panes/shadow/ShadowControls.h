#pragma once

// The shadow of a stroke or fill pane: a checkbox that installs the default shadow or
// removes the shadow, and the shadow sub-pane that edits it, both through the pane's
// "shadow" key path.

#include <QPointer>
#include <QVariant>
#include <QWidget>
#include <QCheckBox>
#include "style_editor/panes/shadow/VLTMStyleEditSub_NSShadow.h"

class StyleTablePane;

class ShadowControls : public QWidget {
    Q_OBJECT

public:
    explicit ShadowControls(StyleTablePane& pane, QWidget* parent = nullptr);

    QCheckBox* checkbox() const { return m_checkbox; }
    VLTMStyleEditSub_NSShadow* shadowEditor() const { return m_shadowEditor; }
    void showShadow(const QVariant& shadow);
    // The sub-pane also needs a shadow.
    void setControlsEnabled(bool mayEdit);

private:
    void shadowEnableAction();

    StyleTablePane& m_pane;
    QPointer<QCheckBox> m_checkbox;
    QPointer<VLTMStyleEditSub_NSShadow> m_shadowEditor;
    bool m_hasShadow = false;
};
