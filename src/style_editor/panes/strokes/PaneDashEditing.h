#pragma once

// The dash editor as the stroke and hatching panes use it: "Custom..." opens it on the
// component's dash and line; every change of the edited dash is written to the pane's "dash"
// (so the object follows live, each change undoable); a newly registered dash rebuilds the
// dash menu. For a stroke, the style's strokes below it are drawn under the preview.

#include "style_editor/dash/ZQDashEditor.h"

#include <memory>

class DashMenu;
class StyleTablePane;

class PaneDashEditing : public ZQDashEditorDelegate {
public:
    PaneDashEditing(StyleTablePane& pane, DashMenu& menu, bool drawsStrokesBelow);
    ~PaneDashEditing() override;

    void openDashEditor();
    ZQDashEditor* dashEditor() const { return m_editor.get(); }

    void dashDidChange(ZQDashEditor& editor) override;
    void dashEditorDidRegisterDash(ZQDashEditor& editor, const VXStrokeDashPtr& dash) override;
    void drawBackgroundForDashStroke(QPainter& painter, platform::BezierPath& path) override;

private:
    StyleTablePane& m_pane;
    DashMenu& m_menu;
    bool m_drawsStrokesBelow;
    std::unique_ptr<ZQDashEditor> m_editor;
};
