#include "style_editor/panes/groups/StyleGroupPane.h"

#include "platform/foundation/ZQUndoManager.h"
#include "platform/ui/Menu.h"
#include "platform/ui/MenuItem.h"
#include "platform/vantrix/styles/VXRastGroup.h"
#include "platform/vantrix/styles/VXStyle.h"

#include <QClipboard>
#include <QGuiApplication>

namespace {

// A component the pasteboard holds that may go into a group; null for none or a group.
VXRasterizerPtr pastableComponent()
{
    VXRasterizerPtr component = VXRasterizer::rasterizerFromPasteboard(QGuiApplication::clipboard()->mimeData());
    return qobject_cast<VXRastGroup*>(component.get()) ? nullptr : component;
}

} // namespace

StyleGroupPane::StyleGroupPane() = default;

StyleGroupPane::~StyleGroupPane() = default;

void StyleGroupPane::addComponentMenuItems(platform::Menu& menu)
{
    auto* paste = new platform::MenuItem(tr("Paste Component"), "pasteIntoGroupAction", &menu);
    paste->setTarget(this);
    menu.addAction(paste);
}

void StyleGroupPane::addSubcontroller(VLTMStyleComponentController* pane)
{
    m_subcontrollers.append(pane);
}

QList<VLTMStyleComponentController*> StyleGroupPane::subcontrollers() const
{
    QList<VLTMStyleComponentController*> panes;
    for (const auto& pane : m_subcontrollers)
        if (pane)
            panes.append(pane);
    return panes;
}

void StyleGroupPane::setStatesForLockEnabled(bool locked, bool enabled)
{
    StyleTablePane::setStatesForLockEnabled(locked, enabled);
    // Members keep their own enabled flag: a member switched off stays uneditable.
    for (VLTMStyleComponentController* pane : subcontrollers())
        pane->setStatesForLockEnabled(locked, pane->enabled());
}

void StyleGroupPane::setRenderList(const QVariantList&)
{
    if (isStartingObservation())
        return;
    renderListDidChange();
    if (VLTMStyleEditorController* editor = styleEditorController())
        editor->rebuildUI();
}

void StyleGroupPane::pasteIntoGroupAction(QObject*)
{
    const auto group = std::dynamic_pointer_cast<VXRastGroup>(representedComponent());
    const VXRasterizerPtr component = pastableComponent();
    VLTMStyleEditorController* editor = styleEditorController();
    if (!group || !component || !editor || !editor->styleAllowsChanges())
        return;
    {
        const VXRasterizer::EditingScope scope(editor->undoManager());
        group->addRenderer(component);
    }
    editor->rebuildUI();
    if (ZQUndoManager* undo = editor->undoManager())
        undo->setActionName(QStringLiteral("%1 %2").arg(tr("Paste"), component->displayName()));
}

bool StyleGroupPane::validateMenuItem(platform::MenuItem* item)
{
    if (item->action() != "pasteIntoGroupAction")
        return StyleTablePane::validateMenuItem(item);
    const VXRasterizerPtr component = pastableComponent();
    item->setTitle(component ? QStringLiteral("%1 (%2)").arg(tr("Paste Component"), component->displayName())
                             : tr("Paste Component"));
    const VLTMStyleEditorController* editor = styleEditorController();
    return component && editor && editor->styleAllowsChanges();
}

const platform::DisplayBindings& StyleGroupPane::displayBindings() const
{
    using Self = StyleGroupPane;
    static const auto bindings = platform::DisplayBindings(StyleTablePane::displayBindings())
        .bind(QStringLiteral("renderList"), &Self::setRenderList);
    return bindings;
}
