#include "style_editor/StyleEditorTesting.h"

#include "platform/foundation/UserDefaults.h"
#include "style_editor/panes/VLTMStyleComponentPlaceholder.h"

#include <QTest>
#include <gtest/gtest.h>

using namespace styleeditortest;

namespace {

TEST(StylePaneStack, ShowsTheTopmostComponentFirstAndReordersByDragPosition)
{
    EditorFixture f;
    auto a = std::make_shared<VXStroke>();
    auto b = std::make_shared<VXFill>();
    auto c = std::make_shared<VXHatching>();
    const VXStylePtr style = styleOf({a, b, c});
    f.addShape(style);
    f.show(style);
    EXPECT_EQ(f.componentsShownIn(f.stack()), (QList<VXRasterizer*>{c.get(), b.get(), a.get()}));
    ASSERT_EQ(f.editor->subControllers().size(), 3);
    for (const auto& pane : f.editor->subControllers())
        EXPECT_EQ(pane->hostingView()->title(), pane->representedComponent()->displayName());

    // A's panel moved to the top of three: A is drawn last.
    f.endStep();
    f.editor->containerViewDidMoveSubviewToIndex(f.stack(), f.containerOf(a), 0);
    EXPECT_EQ(style->renderList(), (QList<VXRasterizerPtr>{b, c, a}));
    EXPECT_EQ(f.undo.undoActionName(), QStringLiteral("Change Style Component Order"));
    f.endStep();
    // The list change rebuilt the stack in the new order.
    EXPECT_EQ(f.componentsShownIn(f.stack()), (QList<VXRasterizer*>{a.get(), c.get(), b.get()}));
    f.undo.undo();
    EXPECT_EQ(style->renderList(), (QList<VXRasterizerPtr>{a, b, c}));
    f.settle();
    EXPECT_EQ(f.componentsShownIn(f.stack()), (QList<VXRasterizer*>{c.get(), b.get(), a.get()}));

    // A move to where the panel already stands changes nothing.
    const bool undoable = f.undo.canUndo();
    f.editor->containerViewDidMoveSubviewToIndex(f.stack(), f.containerOf(b), 1);
    f.endStep();
    EXPECT_EQ(style->renderList(), (QList<VXRasterizerPtr>{a, b, c}));
    EXPECT_EQ(f.undo.canUndo(), undoable);
}

TEST(StylePaneStack, DropsInsertCountingFromTheTopAndAnswerNo)
{
    struct Case {
        int groupSize;
        int position;
        int expectedIndex;
    };
    for (const Case& c : {Case{0, 0, 0}, Case{3, 0, 3}, Case{3, 3, 0}, Case{3, 1, 2}}) {
        EditorFixture f;
        QList<VXRasterizerPtr> members;
        for (int i = 0; i < c.groupSize; ++i)
            members.append(std::make_shared<VXFill>());
        const VXRastGroupPtr group = groupOf(members);
        auto moved = std::make_shared<VXStroke>();
        const VXStylePtr style = styleOf({group, moved});
        f.addShape(style);
        f.show(style);
        f.endStep();

        EXPECT_FALSE(f.editor->containerViewWillAcceptDroppedViewAtIndex(f.containerOf(group), f.containerOf(moved),
                                                                         c.position));
        EXPECT_EQ(group->indexOfRenderer(moved.get()), c.expectedIndex) << c.groupSize << " at " << c.position;
        EXPECT_EQ(style->indexOfRenderer(moved.get()), -1);
        EXPECT_EQ(f.undo.undoActionName(), QStringLiteral("Change Style Component Order"));
        f.endStep();
        // The stack shows the component inside the group now.
        EXPECT_TRUE(f.componentsShownIn(f.containerOf(group)).contains(moved.get()));

        f.undo.undo();
        EXPECT_EQ(style->renderList(), (QList<VXRasterizerPtr>{group, moved}));
        EXPECT_EQ(group->renderList(), members);
    }
}

TEST(StylePaneStack, DropsOutOfAGroupGoToTheStyleAndNeverIntoTheirOwnGroups)
{
    EditorFixture f;
    auto inner = std::make_shared<VXFill>();
    const VXRastGroupPtr subgroup = groupOf({inner});
    auto stroke = std::make_shared<VXStroke>();
    const VXRastGroupPtr group = groupOf({subgroup, stroke});
    const VXStylePtr style = styleOf({group});
    f.addShape(style);
    f.show(style);
    f.forgetEdits();

    // A group dropped into a group of its own: refused before the model could make a cycle.
    EXPECT_FALSE(f.editor->containerViewWillAcceptDroppedViewAtIndex(f.containerOf(subgroup), f.containerOf(group), 0));
    EXPECT_EQ(style->renderList(), (QList<VXRasterizerPtr>{group}));
    EXPECT_EQ(group->renderList(), (QList<VXRasterizerPtr>{subgroup, stroke}));
    EXPECT_FALSE(f.undo.canUndo());

    // The stroke dropped on the top stack below the group's panel: at the bottom of the style.
    EXPECT_FALSE(f.editor->containerViewWillAcceptDroppedViewAtIndex(f.stack(), f.containerOf(stroke), 1));
    EXPECT_EQ(style->renderList(), (QList<VXRasterizerPtr>{stroke, group}));
    EXPECT_EQ(group->renderList(), (QList<VXRasterizerPtr>{subgroup}));
    f.endStep();
    EXPECT_EQ(f.componentsShownIn(f.stack()), (QList<VXRasterizer*>{group.get(), stroke.get()}));
}

TEST(StylePaneStack, ClosingAPanelDeletesItsComponentAsOneNamedStep)
{
    EditorFixture f;
    auto stroke = std::make_shared<VXStroke>();
    auto fill = std::make_shared<VXFill>();
    const VXStylePtr style = styleOf({fill, stroke});
    f.addShape(style);
    f.show(style);
    f.endStep();

    f.editor->subcontrollerForComponent(fill.get())->deleteComponentAction(nullptr);
    EXPECT_EQ(style->renderList(), (QList<VXRasterizerPtr>{stroke}));
    EXPECT_EQ(f.editor->subcontrollerForComponent(fill.get()), nullptr);
    EXPECT_EQ(f.undo.undoActionName(), QStringLiteral("Delete Fill"));
    f.endStep();
    f.undo.undo();
    EXPECT_EQ(style->renderList(), (QList<VXRasterizerPtr>{fill, stroke}));
    f.settle();
    EXPECT_EQ(f.componentsShownIn(f.stack()), (QList<VXRasterizer*>{stroke.get(), fill.get()}));

    // A locked style keeps its component and shows it again.
    style->setLocked(true);
    f.settle();
    f.editor->containerViewDidRemoveSubview(f.stack(), f.containerOf(fill));
    f.settle();
    EXPECT_EQ(style->renderList(), (QList<VXRasterizerPtr>{fill, stroke}));
    EXPECT_EQ(f.componentsShownIn(f.stack()).size(), 2);
}

TEST(StylePaneStack, UnknownClassesGetThePlaceholderAndNestedGroupsTheirMembers)
{
    EditorFixture f;
    auto unknown = std::make_shared<VXRasterizer>();
    auto inner = std::make_shared<VXStroke>();
    const VXRastGroupPtr group = groupOf({inner});
    const VXStylePtr style = styleOf({unknown, group});
    f.show(style);
    VLTMStyleComponentController* pane = f.editor->subcontrollerForComponent(unknown.get());
    ASSERT_TRUE(pane);
    EXPECT_TRUE(qobject_cast<VLTMStyleComponentPlaceholder*>(pane));
    EXPECT_EQ(pane->nibName(), QStringLiteral("VLTMStyleComponentPlaceholder"));
    // The group's container holds its own pane's view (ignored for reordering), then its members.
    ZQCollapsibleContainerView* groupContainer = f.containerOf(group);
    EXPECT_EQ(groupContainer->ignoredViewCount(), 1);
    EXPECT_EQ(f.componentsShownIn(groupContainer), (QList<VXRasterizer*>{inner.get()}));
    EXPECT_TRUE(groupContainer->allowsDragsFromOtherViews());
    // Building order: the top of the stack first, a group before its members.
    QList<VXRasterizer*> built;
    for (const auto& each : f.editor->subControllers())
        built.append(each->representedComponent().get());
    EXPECT_EQ(built, (QList<VXRasterizer*>{group.get(), inner.get(), unknown.get()}));

    // The placeholder still enables its component, as one undoable change.
    f.endStep();
    QTest::mouseClick(pane->enabledCheckbox(), Qt::LeftButton);
    EXPECT_FALSE(unknown->enabled());
    f.endStep();
    f.undo.undo();
    EXPECT_TRUE(unknown->enabled());
}

TEST(StylePaneStack, CollapseStatesAreSharedPerPaneClassAndStored)
{
    platform::UserDefaults* defaults = platform::UserDefaults::standardUserDefaults();
    defaults->removeObjectForKey(VLTMStyleEditorController::kCollapseStateKey);
    EditorFixture f;
    auto first = std::make_shared<VXStroke>();
    auto second = std::make_shared<VXStroke>();
    auto fill = std::make_shared<VXFill>();
    const VXStylePtr style = styleOf({first, fill, second});
    f.show(style);
    VLTMStyleComponentController* pane = f.editor->subcontrollerForComponent(first.get());
    pane->hostingView()->setCollapsed(true);
    platform::RunLoop::runFor(1000); // the collapse is reported when its animation ends
    const QString name = QStringLiteral("VLTMStyleEditSub_VXStroke");
    EXPECT_EQ(f.editor->stackCollapseStates().value(name).toInt(), 1);
    EXPECT_EQ(defaults->objectForKey(VLTMStyleEditorController::kCollapseStateKey).toMap().value(name).toInt(), 1);

    f.editor->rebuildUI();
    f.settle();
    EXPECT_TRUE(f.containerOf(first)->collapsed());
    EXPECT_TRUE(f.containerOf(second)->collapsed());
    // Components without panes of their own keep their own states.
    EXPECT_FALSE(f.containerOf(fill)->collapsed());

    // A new editor reads the stored states; entries of the wrong type are ignored.
    defaults->setObjectForKey(QVariantMap{{name, 1}, {QStringLiteral("VLTMStyleEditSub_VXFill"), QStringLiteral("yes")},
                                          {QStringLiteral("VLTMStyleEditSub_VXHatching"), 7}},
                              VLTMStyleEditorController::kCollapseStateKey);
    EditorFixture g;
    EXPECT_EQ(g.editor->stackCollapseStates(), (QVariantMap{{name, 1}}));
    defaults->setObjectForKey(QStringLiteral("not a dictionary"), VLTMStyleEditorController::kCollapseStateKey);
    EditorFixture h;
    EXPECT_EQ(h.editor->stackCollapseStates().value(QStringLiteral("VLTMStyleEditSub_VXTextAdornment")).toInt(), 1);
    defaults->removeObjectForKey(VLTMStyleEditorController::kCollapseStateKey);
}

} // namespace
