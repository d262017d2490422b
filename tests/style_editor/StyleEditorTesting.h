#pragma once

// A drawing with one object layer, its own undo manager and a Style tab following it.

#include "platform/foundation/RunLoop.h"
#include "platform/vantrix/drawables/VXDrawableShape.h"
#include "platform/vantrix/model/VXObjectDrawingLayer.h"
#include "platform/vantrix/styles/VXFill.h"
#include "platform/vantrix/styles/VXHatching.h"
#include "platform/vantrix/styles/VXStroke.h"
#include "style_editor/editor/VLTMStyleEditorController.h"
#include "style_editor/panes/VLTMStyleComponentController.h"
#include "support/UndoableDrawing.h"
#include "widgets/stacks/ZQCollapsibleContainerView.h"

#include <QWidget>

namespace styleeditortest {

// A style of the given components, bottom first.
inline VXStylePtr styleOf(const QList<VXRasterizerPtr>& components, const QString& name = QStringLiteral("Test"))
{
    auto style = std::make_shared<VXStyle>();
    style->setName(name);
    for (const VXRasterizerPtr& component : components)
        style->addRenderer(component);
    return style;
}

inline VXRastGroupPtr groupOf(const QList<VXRasterizerPtr>& components)
{
    auto group = std::make_shared<VXRastGroup>();
    for (const VXRasterizerPtr& component : components)
        group->addRenderer(component);
    return group;
}

struct EditorFixture : testsupport::UndoableDrawing<VXObjectDrawingLayer> {
    std::shared_ptr<VLTMStyleEditorController> editor = VLTMStyleEditorController::make();

    EditorFixture()
        : UndoableDrawing({400, 400})
    {
        editor->view()->resize(260, 600);
        editor->setDrawing(drawing.get());
        settle();
    }
    ~EditorFixture() { editor->setDrawing(nullptr); }

    VXDrawableObjectPtr addShape(const VXStylePtr& style, const QRectF& rect = QRectF(10, 10, 50, 40))
    {
        VXDrawableObjectPtr shape = VXDrawableShape::drawableShapeWithRect(rect, style);
        layer->addObject(shape);
        return shape;
    }
    // Selects the objects and lets the editor catch up.
    void select(const QList<VXDrawableObjectPtr>& objects)
    {
        layer->exchangeSelectionWithObjectsFromArray(objects);
        settle();
    }
    void show(const VXStylePtr& style)
    {
        editor->setContent({style});
        settle();
    }
    static void settle() { platform::RunLoop::runUntilIdle(); }
    // Setting up is not an edit.
    void forgetEdits()
    {
        endStep();
        undo.removeAllActions();
    }
    // Ends the undo step under way, as the end of an event would.
    void endStep()
    {
        settle();
        undo.closeAutomaticGroup();
    }

    ZQCollapsibleContainerView* stack() { return editor->styleComponentStackView(); }
    // The component containers of a container, from the top.
    static QList<ZQCollapsibleContainerView*> containersIn(ZQCollapsibleContainerView* container)
    {
        QList<ZQCollapsibleContainerView*> containers;
        for (QWidget* view : container->hostedViews())
            if (auto* sub = qobject_cast<ZQCollapsibleContainerView*>(view))
                containers.append(sub);
        return containers;
    }
    ZQCollapsibleContainerView* containerOf(const VXRasterizerPtr& component)
    {
        VLTMStyleComponentController* pane = editor->subcontrollerForComponent(component.get());
        return pane ? pane->hostingView() : nullptr;
    }
    // The components shown by a container's panes, from the top.
    QList<VXRasterizer*> componentsShownIn(ZQCollapsibleContainerView* container)
    {
        QList<VXRasterizer*> shown;
        for (ZQCollapsibleContainerView* sub : containersIn(container)) {
            VLTMStyleComponentController* pane = editor->subcontrollerForHostingView(sub);
            shown.append(pane ? pane->representedComponent().get() : nullptr);
        }
        return shown;
    }
};

} // namespace styleeditortest
