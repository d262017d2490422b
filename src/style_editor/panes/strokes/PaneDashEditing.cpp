#include "style_editor/panes/strokes/PaneDashEditing.h"

#include "platform/graphics/BezierPath.h"
#include "platform/vantrix/styles/VXStroke.h"
#include "platform/vantrix/styles/VXStyle.h"
#include "style_editor/panes/strokes/DashMenu.h"
#include "style_editor/panes/table/StyleTablePane.h"

#include <QPainter>

namespace {

const QString kDashKey = QStringLiteral("dash");

} // namespace

PaneDashEditing::PaneDashEditing(StyleTablePane& pane, DashMenu& menu, bool drawsStrokesBelow)
    : m_pane(pane)
    , m_menu(menu)
    , m_drawsStrokesBelow(drawsStrokesBelow)
{
}

PaneDashEditing::~PaneDashEditing() = default;

void PaneDashEditing::openDashEditor()
{
    const VXRasterizerPtr component = m_pane.representedComponent();
    if (!component)
        return;
    if (!m_editor)
        m_editor = std::make_unique<ZQDashEditor>();
    m_editor->setDash(component->valueForKey(kDashKey).value<VXStrokeDashPtr>());
    m_editor->openDashEditorInParentWindowDelegate(m_pane.windowForSheet(), this);
    m_editor->setLineWidth(component->valueForKey(QStringLiteral("width")).toDouble());
    m_editor->setLineCapStyle(component->valueForKey(QStringLiteral("lineCapStyle")).toInt());
    m_editor->setLineJoinStyle(component->valueForKey(QStringLiteral("lineJoinStyle")).toInt());
    m_editor->setLineColour(component->valueForKey(QStringLiteral("colour")).value<QColor>());
}

void PaneDashEditing::dashDidChange(ZQDashEditor& editor)
{
    VXStrokeDashPtr dash = editor.dash();
    // While edited the dash changes in place: the component gets a copy it can tell apart.
    if (dash && dash->isBeingEdited()) {
        dash = std::static_pointer_cast<VXStrokeDash>(dash->copy());
        dash->setIsBeingEdited(false);
    }
    m_pane.setCommonValueForKeyPath(QVariant::fromValue(dash), kDashKey);
}

void PaneDashEditing::dashEditorDidRegisterDash(ZQDashEditor&, const VXStrokeDashPtr&)
{
    m_menu.rebuild();
    m_menu.selectDash(m_pane.commonValueForKeyPath(kDashKey).value<VXStrokeDashPtr>());
}

void PaneDashEditing::drawBackgroundForDashStroke(QPainter& painter, platform::BezierPath& path)
{
    const VXRasterizerPtr component = m_pane.representedComponent();
    const VXStyle* style = component && m_drawsStrokesBelow ? component->style() : nullptr;
    if (!style)
        return;
    const QList<VXRasterizerPtr> strokes = style->renderersOfClass(&VXStroke::staticMetaObject);
    const qsizetype index = strokes.indexOf(component);
    for (qsizetype i = 0; i < index; ++i) {
        const auto stroke = std::static_pointer_cast<VXStroke>(strokes[i]);
        path.setLineWidth(stroke->width());
        painter.strokePath(path.painterPath(), path.penWithColour(stroke->colour()));
    }
}
