#include "style_editor/StyleEditorTesting.h"

#include "app/sidebar/VLTMGenericObjectController.h"
#include "platform/ui/ColourWell.h"
#include "platform/ui/MenuItem.h"
#include "platform/vantrix/styles/VXCIFilterTypeBlurGroup.h"
#include "platform/vantrix/styles/VXGloomGroup.h"
#include "platform/vantrix/styles/VXRepeatTransformGroup.h"
#include "platform/vantrix/text/VXTextAdornment.h"
#include "style_editor/panes/groups/GroupPanes.h"
#include "style_editor/panes/table/StylePaneRowControl.h"
#include "style_editor/panes/text/VLTMStyleEditSub_VXTextAdornment.h"

#include <QApplication>
#include <QClipboard>
#include <QMimeData>
#include <gtest/gtest.h>

using namespace styleeditortest;

namespace {

template <class Pane>
Pane* paneOf(EditorFixture& f, const VXRasterizerPtr& component)
{
    return dynamic_cast<Pane*>(f.editor->subcontrollerForComponent(component.get()));
}

platform::MenuItem* pasteItemOf(VLTMStyleComponentController& pane)
{
    for (QAction* action : pane.componentMenu()->actions())
        if (auto* item = qobject_cast<platform::MenuItem*>(action); item && item->action() == "pasteIntoGroupAction")
            return item;
    return nullptr;
}

void copyToClipboard(const VXRasterizer& component)
{
    auto* data = new QMimeData;
    component.copyToPasteboard(data);
    QApplication::clipboard()->setMimeData(data);
}

// Stands in for the object inspectors' text pane.
class FakeTextPane : public VLTMGenericObjectController {
public:
    const QMetaObject* managedObjectClass() const override { return &VXTextAdornment::staticMetaObject; }
    QStringList keyPathsOfInterest() const override { return {}; }
    void setLocked(bool locked) override { shownLocked = locked; }
    bool shownLocked = false;

protected:
    QWidget* loadView() override { return new QWidget; }
};

} // namespace

TEST(GroupPanes, TheBlendBoxRemembersTheLastColourShownAndRemovesTheBlend)
{
    auto group = std::make_shared<VXRepeatTransformGroup>();
    EditorFixture f;
    f.select({f.addShape(styleOf({group}))});
    f.forgetEdits();
    auto* pane = paneOf<VLTMStyleEditSub_VXRepeatTransformGroup>(f, group);
    ASSERT_TRUE(pane);
    EXPECT_EQ(pane->savedBlendColour(), QColor(Qt::white));
    EXPECT_FALSE(pane->blendCheckbox()->isChecked());
    EXPECT_FALSE(pane->blendColourWell()->isEnabled());

    group->setBlendColour(QColor(200, 0, 0));
    f.forgetEdits();
    EXPECT_TRUE(pane->blendCheckbox()->isChecked());
    EXPECT_TRUE(pane->blendColourWell()->isEnabled());
    EXPECT_EQ(pane->savedBlendColour(), QColor(200, 0, 0));

    pane->blendCheckbox()->click();
    EXPECT_FALSE(group->blendColour().isValid());
    EXPECT_EQ(f.undo.undoActionName(), QStringLiteral("Repeat Blend Colour"));
    EXPECT_FALSE(pane->blendColourWell()->isEnabled());
    f.endStep();
    pane->blendCheckbox()->click();
    EXPECT_EQ(group->blendColour(), QColor(200, 0, 0));
    f.endStep();

    pane->blendColourWell()->setColor(QColor(0, 0, 90));
    pane->blendColourAction(pane->blendColourWell());
    EXPECT_EQ(group->blendColour(), QColor(0, 0, 90));
    f.endStep();
    f.undo.undo();
    f.undo.undo();
    f.settle();
    EXPECT_FALSE(group->blendColour().isValid());
    EXPECT_FALSE(pane->blendCheckbox()->isChecked());
}

TEST(GroupPanes, GroupsCollectTheirMembersPassTheLockOnAndRebuildForNewMembers)
{
    auto stroke = std::make_shared<VXStroke>();
    auto fill = std::make_shared<VXFill>();
    auto gloom = std::make_shared<VXGloomGroup>();
    gloom->addRenderer(fill);
    gloom->addRenderer(stroke);
    auto style = styleOf({gloom});
    EditorFixture f;
    f.select({f.addShape(style)});
    f.forgetEdits();
    auto* pane = paneOf<VLTMStyleEditSub_VXGloomGroup>(f, gloom);
    ASSERT_TRUE(pane);
    const QList<VLTMStyleComponentController*> members = pane->subcontrollers();
    ASSERT_EQ(members.size(), 2);
    EXPECT_EQ(members[0]->representedComponent(), stroke); // top of the stack first
    EXPECT_EQ(members[1]->representedComponent(), fill);

    auto* strokePane = dynamic_cast<StyleTablePane*>(members[0]);
    pane->setStatesForLockEnabled(true, true);
    EXPECT_FALSE(strokePane->controlsMayEdit());
    EXPECT_FALSE(pane->rowControl(QStringLiteral("radius"))->widget()->isEnabled());
    pane->setStatesForLockEnabled(false, true);
    EXPECT_TRUE(strokePane->controlsMayEdit());

    // The title follows the kind, which follows the type.
    gloom->setType(VXGloomGroup::kBloom);
    f.settle();
    EXPECT_EQ(f.containerOf(gloom)->title(), gloom->displayName());
    EXPECT_NE(gloom->displayName(), VXGloomGroup().displayName());

    auto hatching = std::make_shared<VXHatching>();
    gloom->addRenderer(hatching);
    f.settle();
    ASSERT_TRUE(f.editor->subcontrollerForComponent(hatching.get()));
    EXPECT_EQ(f.componentsShownIn(f.containerOf(gloom)),
              (QList<VXRasterizer*>{hatching.get(), stroke.get(), fill.get()}));
}

TEST(GroupPanes, PastingIntoAGroupTakesComponentsButNoGroups)
{
    auto repeat = std::make_shared<VXRepeatTransformGroup>();
    auto style = styleOf({repeat});
    EditorFixture f;
    f.select({f.addShape(style)});
    f.forgetEdits();
    auto* pane = paneOf<VLTMStyleEditSub_VXRepeatTransformGroup>(f, repeat);
    platform::MenuItem* paste = pasteItemOf(*pane);
    ASSERT_TRUE(paste);

    QApplication::clipboard()->clear();
    EXPECT_FALSE(pane->validateMenuItem(paste));
    EXPECT_EQ(paste->title(), QStringLiteral("Paste Component"));

    copyToClipboard(VXGloomGroup());
    EXPECT_FALSE(pane->validateMenuItem(paste));
    pane->pasteIntoGroupAction(paste);
    EXPECT_EQ(repeat->countOfRenderList(), 0);

    VXStroke stroke;
    copyToClipboard(stroke);
    EXPECT_TRUE(pane->validateMenuItem(paste));
    EXPECT_EQ(paste->title(), QStringLiteral("Paste Component (%1)").arg(stroke.displayName()));
    pane->pasteIntoGroupAction(paste);
    ASSERT_EQ(repeat->countOfRenderList(), 1);
    EXPECT_TRUE(qobject_cast<VXStroke*>(repeat->renderList().first().get()));
    EXPECT_EQ(f.undo.undoActionName(), QStringLiteral("Paste %1").arg(stroke.displayName()));
    f.endStep();
    f.settle();
    pane = paneOf<VLTMStyleEditSub_VXRepeatTransformGroup>(f, repeat); // the stack was rebuilt
    ASSERT_TRUE(pane);
    EXPECT_TRUE(f.editor->subcontrollerForComponent(repeat->renderList().first().get()));
    f.undo.undo();
    EXPECT_EQ(repeat->countOfRenderList(), 0);

    style->setLocked(true);
    f.settle();
    pane = paneOf<VLTMStyleEditSub_VXRepeatTransformGroup>(f, repeat);
    EXPECT_FALSE(pane->validateMenuItem(pasteItemOf(*pane)));
    pane->pasteIntoGroupAction(nullptr);
    EXPECT_EQ(repeat->countOfRenderList(), 0);
}

TEST(GroupPanes, TheBlurAngleIsEditableForMotionBlursOnly)
{
    auto blur = std::make_shared<VXCIFilterTypeBlurGroup>();
    EditorFixture f;
    f.select({f.addShape(styleOf({blur}))});
    auto* pane = paneOf<VLTMStyleEditSub_VXCIFilterTypeBlurGroup>(f, blur);
    ASSERT_TRUE(pane);
    QWidget* angle = pane->rowControl(QStringLiteral("blurAngle"))->widget();
    EXPECT_FALSE(angle->isEnabled());
    blur->setBlurType(VXCIFilterTypeBlurGroup::kMotionBlur);
    f.settle();
    EXPECT_TRUE(angle->isEnabled());
    blur->setEnabled(false);
    f.settle();
    EXPECT_FALSE(angle->isEnabled());
}

TEST(GroupPanes, TheTextPaneMatchesStandardTagsAndWritesTheLabel)
{
    using Pane = VLTMStyleEditSub_VXTextAdornment;
    EXPECT_EQ(Pane::standardTagForString(QStringLiteral("%%name")), 1);
    EXPECT_EQ(Pane::standardTagForString(QStringLiteral("%%QVNL_Sequence_Card")), 5);
    for (const char* other : {"%%", "%", "", "NAME", "%%NAMES", " %%NAME"})
        EXPECT_EQ(Pane::standardTagForString(QString::fromLatin1(other)), Pane::kNoStandardTag) << other;

    auto text = std::make_shared<VXTextAdornment>();
    text->setString(QStringLiteral("%%route_num"));
    text->setClipping(kVXClipOutsidePath);
    EditorFixture f;
    f.select({f.addShape(styleOf({text}))});
    f.forgetEdits();
    auto* pane = paneOf<Pane>(f, text);
    ASSERT_TRUE(pane);
    EXPECT_EQ(pane->stringField()->text(), QStringLiteral("%%route_num"));
    EXPECT_EQ(pane->standardTagsPopUp()->currentData().toInt(), 2);
    EXPECT_TRUE(pane->rowControl(QStringLiteral("clipping"))->checkbox()->isChecked());

    pane->standardTagsPopUp()->setCurrentIndex(pane->standardTagsPopUp()->findData(3));
    pane->standardTagAction(pane->standardTagsPopUp());
    EXPECT_EQ(text->string(), QStringLiteral("%%BUS_ROUTE"));
    EXPECT_EQ(f.undo.undoActionName(), QStringLiteral("Change Text"));
    f.endStep();
    pane->standardTagsPopUp()->setCurrentIndex(pane->standardTagsPopUp()->findData(Pane::kNoStandardTag));
    pane->standardTagAction(pane->standardTagsPopUp());
    EXPECT_EQ(text->string(), QStringLiteral("%%BUS_ROUTE"));

    pane->stringField()->setText(QStringLiteral("Main Street"));
    pane->stringFieldAction(pane->stringField());
    f.settle();
    EXPECT_EQ(text->string(), QStringLiteral("Main Street"));
    EXPECT_EQ(pane->standardTagsPopUp()->currentData().toInt(), Pane::kNoStandardTag);
    pane->stringField()->clear();
    pane->stringFieldAction(pane->stringField());
    EXPECT_TRUE(text->string().isEmpty());
    f.endStep();
    f.undo.undo();
    f.undo.undo();
    f.settle();
    EXPECT_EQ(text->string(), QStringLiteral("%%BUS_ROUTE"));
    EXPECT_EQ(pane->stringField()->text(), QStringLiteral("%%BUS_ROUTE"));
}

TEST(GroupPanes, TheEmbeddedTextPaneEditsThePanesAdornmentAndFollowsItsLock)
{
    std::shared_ptr<FakeTextPane> made;
    VLTMStyleEditSub_VXTextAdornment::setTextControllerFactory([&made] { return made = std::make_shared<FakeTextPane>(); });
    auto text = std::make_shared<VXTextAdornment>();
    {
        EditorFixture f;
        f.select({f.addShape(styleOf({text, std::make_shared<VXTextAdornment>()}))});
        auto* pane = paneOf<VLTMStyleEditSub_VXTextAdornment>(f, text);
        ASSERT_TRUE(pane);
        ASSERT_EQ(pane->textController(), made.get());
        EXPECT_EQ(made->content(), QList<ZQObjectPtr>{text});
        EXPECT_EQ(made->undoManager(), &f.undo);
        EXPECT_FALSE(made->shownLocked);
        text->setEnabled(false);
        f.settle();
        EXPECT_TRUE(made->shownLocked);
        text->setEnabled(true);
        f.settle();
        EXPECT_FALSE(made->shownLocked);
    }
    VLTMStyleEditSub_VXTextAdornment::setTextControllerFactory({});
}
