// The Style tab's header driven as a user drives it: typing in the opacity field, stepping,
// clicking the boxes and buttons, a double click on the name, and the menus' items, so that a
// control left unconnected fails here.

#include "style_editor/StyleEditorTesting.h"

#include "platform/ui/Menu.h"

#include <QCheckBox>
#include <QDoubleSpinBox>
#include <QLineEdit>
#include <QPushButton>
#include <QTest>
#include <gtest/gtest.h>

using namespace styleeditortest;

namespace {

struct ShownEditor : EditorFixture {
    VXStylePtr style = styleOf({std::make_shared<VXFill>()}, QStringLiteral("Lake"));
    VXDrawableObjectPtr shape = addShape(style);

    ShownEditor()
    {
        select({shape});
        forgetEdits();
        editor->view()->show();
        editor->view()->activateWindow();
        EXPECT_TRUE(QTest::qWaitForWindowActive(editor->view()));
    }
    // Types over the field's text and presses Return.
    static void typeInto(QLineEdit* field, const QString& text)
    {
        field->setFocus();
        field->selectAll();
        QTest::keyClicks(field, text);
        QTest::keyClick(field, Qt::Key_Return);
    }
    static platform::MenuItem* itemOf(platform::Menu* menu, const QByteArray& action)
    {
        for (QAction* each : menu->actions())
            if (auto* item = qobject_cast<platform::MenuItem*>(each); item && item->action() == action)
                return item;
        return nullptr;
    }
};

TEST(StyleHeaderInput, TypedAndSteppedOpacityAndClickedFlagsEditTheShownStyle)
{
    ShownEditor f;
    ShownEditor::typeInto(f.editor->opacityField(), QStringLiteral("0.4"));
    EXPECT_DOUBLE_EQ(f.style->opacity(), 0.4);
    EXPECT_EQ(f.editor->opacityField()->text(), QStringLiteral("0.40"));
    QTest::keyClick(f.editor->opacityStepper(), Qt::Key_Up);
    EXPECT_DOUBLE_EQ(f.style->opacity(), 0.45);
    f.endStep();

    QTest::mouseClick(f.editor->editableCheckbox(), Qt::LeftButton);
    EXPECT_TRUE(f.style->locked());
    EXPECT_EQ(f.undo.undoActionName(), QStringLiteral("Disable Editing"));
    f.endStep();
    QTest::mouseClick(f.editor->editableCheckbox(), Qt::LeftButton);
    EXPECT_FALSE(f.style->locked());
    f.endStep();

    QTest::mouseClick(f.editor->cloneButton(), Qt::LeftButton);
    EXPECT_NE(f.shape->style(), f.style);
    EXPECT_EQ(f.undo.undoActionName(), QStringLiteral("Clone Style"));
    f.endStep();
    QTest::mouseClick(f.editor->resetButton(), Qt::LeftButton);
    EXPECT_EQ(f.undo.undoActionName(), QStringLiteral("Reset Style"));
    f.settle();
    EXPECT_EQ(f.editor->style(), f.shape->style());
}

TEST(StyleHeaderInput, ADoubleClickedNameIsTypedOverAndTheMenusReachTheirCommands)
{
    ShownEditor f;
    QLineEdit* name = f.editor->nameField();
    QTest::mouseDClick(name, Qt::LeftButton);
    ASSERT_TRUE(f.editor->renamingModeActive());
    QTest::keyClicks(name, QStringLiteral("Sea"));
    QTest::keyClick(name, Qt::Key_Return);
    EXPECT_EQ(f.style->name(), QStringLiteral("Sea"));
    EXPECT_FALSE(f.editor->renamingModeActive());
    EXPECT_TRUE(name->isReadOnly());

    // The first item of the add-component menu adds a stroke, shown on top of the stack.
    platform::MenuItem* stroke = ShownEditor::itemOf(f.editor->componentMenu(), "addComponentWithTagOfSenderAction");
    ASSERT_TRUE(stroke);
    ASSERT_TRUE(f.editor->validateMenuItem(stroke));
    stroke->trigger();
    ASSERT_EQ(f.style->countOfRenderList(), 2);
    EXPECT_TRUE(qobject_cast<VXStroke*>(f.style->renderList().last().get()));
    f.settle();
    const QList<ZQCollapsibleContainerView*> containers = ShownEditor::containersIn(f.stack());
    ASSERT_EQ(containers.size(), 2);
    EXPECT_EQ(f.editor->subcontrollerForHostingView(containers.first())->representedComponent(),
              f.style->renderList().last());

    ShownEditor::itemOf(f.editor->actionMenu(), "collapseAllAction")->trigger();
    for (ZQCollapsibleContainerView* container : ShownEditor::containersIn(f.stack()))
        EXPECT_TRUE(container->collapsed());
    ShownEditor::itemOf(f.editor->actionMenu(), "expandAllAction")->trigger();
    for (ZQCollapsibleContainerView* container : ShownEditor::containersIn(f.stack()))
        EXPECT_FALSE(container->collapsed());
}

} // namespace
