#include "style_editor/StyleEditorTesting.h"

#include "support/LogCapture.h"
#include "platform/foundation/NotificationCenter.h"
#include "platform/ui/Menu.h"
#include "platform/vantrix/styles/VXGloomGroup.h"

#include <QApplication>
#include <QClipboard>
#include <QDoubleSpinBox>
#include <QLineEdit>
#include <QMimeData>
#include <gtest/gtest.h>

using namespace styleeditortest;

namespace {

// Names copies, counting the calls.
class CountingNameProvider : public VXStyleNameProvider {
public:
    mutable int calls = 0;
    QString nameForCopyOfStyle(const VXStyle& style) const override
    {
        ++calls;
        return style.name() + QStringLiteral(" copy");
    }
};

platform::MenuItem* itemWithAction(platform::Menu* menu, const QByteArray& action)
{
    for (QAction* each : menu->actions())
        if (auto* item = qobject_cast<platform::MenuItem*>(each); item && item->action() == action)
            return item;
    return nullptr;
}

void putOnClipboard(const std::function<void(QMimeData&)>& fill)
{
    auto* data = new QMimeData;
    fill(*data);
    QApplication::clipboard()->setMimeData(data);
}

TEST(StyleEditorCommands, TagsAddTheirComponentsAndUnknownTagsChangeNothing)
{
    EXPECT_EQ(VLTMStyleEditorController::componentClassForStyleComponentTag(0), &VXStroke::staticMetaObject);
    EXPECT_EQ(VLTMStyleEditorController::componentClassForStyleComponentTag(26), &VXGloomGroup::staticMetaObject);
    EXPECT_EQ(VLTMStyleEditorController::componentClassForStyleComponentTag(27), &VXGloomGroup::staticMetaObject);
    for (int tag : {23, 24, 25, -1, 99})
        EXPECT_EQ(VLTMStyleEditorController::componentClassForStyleComponentTag(tag), nullptr) << tag;

    EditorFixture f;
    const VXStylePtr style = styleOf({std::make_shared<VXFill>()});
    f.select({f.addShape(style)});
    f.forgetEdits();
    {
        testsupport::LogCapture log;
        for (int tag : {23, 24, 25})
            f.editor->addComponentForTag(tag);
        EXPECT_TRUE(log.contains(QStringLiteral("a component (tag=23) could not be added")));
        EXPECT_TRUE(log.contains(QStringLiteral("(tag=25)")));
    }
    EXPECT_EQ(style->countOfRenderList(), 1);
    EXPECT_FALSE(f.undo.canUndo());

    f.editor->addComponentForTag(26);
    f.endStep();
    f.editor->addComponentForTag(27);
    f.endStep();
    f.editor->addComponentForTag(0);
    EXPECT_EQ(f.undo.undoActionName(), QStringLiteral("Add Stroke"));
    f.endStep();
    ASSERT_EQ(style->countOfRenderList(), 4);
    EXPECT_TRUE(qobject_cast<VXGloomGroup*>(style->objectInRenderListAtIndex(1).get()));
    EXPECT_TRUE(qobject_cast<VXGloomGroup*>(style->objectInRenderListAtIndex(2).get()));
    EXPECT_TRUE(qobject_cast<VXStroke*>(style->objectInRenderListAtIndex(3).get()));
    // Built at once: the new stroke is the top pane.
    EXPECT_EQ(f.componentsShownIn(f.stack()).first(), style->objectInRenderListAtIndex(3).get());
    f.undo.undo();
    EXPECT_EQ(style->countOfRenderList(), 3);

    // The menu offers only tags with a class; a locked style takes nothing.
    for (QAction* action : f.editor->componentMenu()->actions()) {
        auto* item = qobject_cast<platform::MenuItem*>(action);
        ASSERT_TRUE(item);
        EXPECT_EQ(f.editor->validateMenuItem(item), VLTMStyleEditorController::componentClassForStyleComponentTag(item->tag()) != nullptr);
    }
    style->setLocked(true);
    f.editor->addComponentForTag(1);
    EXPECT_EQ(style->countOfRenderList(), 3);
}

TEST(StyleEditorCommands, PastingTakesOnlyAComponentThatReads)
{
    EditorFixture f;
    const VXStylePtr style = styleOf({std::make_shared<VXFill>()});
    f.select({f.addShape(style)});
    f.endStep();
    platform::MenuItem* paste = itemWithAction(f.editor->actionMenu(), "pasteComponentAction");
    ASSERT_TRUE(paste);

    // Damaged or foreign data: nothing happens and the item keeps its plain title.
    putOnClipboard([](QMimeData& data) { data.setData(VXRasterizer::pasteboardType(), QByteArray("bplist00 garbage")); });
    EXPECT_FALSE(f.editor->validateMenuItem(paste));
    EXPECT_EQ(paste->title(), QStringLiteral("Paste Component"));
    f.editor->pasteComponentAction(nullptr);
    putOnClipboard([](QMimeData& data) { data.setText(QStringLiteral("a stroke")); });
    f.editor->pasteComponentAction(nullptr);
    EXPECT_EQ(style->countOfRenderList(), 1);

    auto stroke = std::make_shared<VXStroke>();
    stroke->setWidth(4.5);
    putOnClipboard([&](QMimeData& data) { stroke->copyToPasteboard(&data); });
    EXPECT_TRUE(f.editor->validateMenuItem(paste));
    EXPECT_EQ(paste->title(), QStringLiteral("Paste Component (Stroke)"));
    f.editor->pasteComponentAction(nullptr);
    ASSERT_EQ(style->countOfRenderList(), 2);
    const auto* pasted = qobject_cast<VXStroke*>(style->objectInRenderListAtIndex(1).get());
    ASSERT_TRUE(pasted);
    EXPECT_EQ(pasted->width(), 4.5);
    EXPECT_NE(pasted, stroke.get());
    EXPECT_EQ(f.undo.undoActionName(), QStringLiteral("Paste Stroke"));
    f.endStep();
    f.undo.undo();
    EXPECT_EQ(style->countOfRenderList(), 1);

    // A pane's copy command puts its component on the clipboard for the next paste.
    f.settle();
    f.editor->subControllers().first()->copyComponentAction(nullptr);
    QString name;
    EXPECT_TRUE(VLTMStyleEditorController::canPasteComponentFromName(QApplication::clipboard()->mimeData(), &name));
    EXPECT_EQ(name, QStringLiteral("Fill"));
}

TEST(StyleEditorCommands, CloneAndResetGiveTheSelectionItsOwnStyleAndAnnounceIt)
{
    EditorFixture f;
    const VXStylePtr original = styleOf({std::make_shared<VXFill>(), std::make_shared<VXStroke>()}, QStringLiteral("Park"));
    const VXDrawableObjectPtr one = f.addShape(original);
    const VXDrawableObjectPtr two = f.addShape(original, QRectF(100, 100, 30, 30));
    f.select({one, two});
    f.endStep();

    QList<VXStylePtr> announced;
    QObject receiver;
    platform::NotificationCenter::defaultCenter().addObserver(
        &receiver, kVXStyleInspectorDidCreateNewStyle, f.editor.get(),
        [&](const platform::Notification& notification) { announced.append(notification.userInfo.value(QStringLiteral("style")).value<VXStylePtr>()); });
    CountingNameProvider names;
    VXStyle::setNameProvider(&names);
    f.editor->cloneStyleAction(nullptr);
    VXStyle::setNameProvider(nullptr);
    EXPECT_EQ(names.calls, 0);
    const VXStylePtr copy = one->style();
    ASSERT_TRUE(copy);
    EXPECT_NE(copy, original);
    EXPECT_EQ(two->style(), copy);
    EXPECT_TRUE(copy->isEqualToStyle(original.get()));
    EXPECT_EQ(copy->name(), QStringLiteral("Park"));
    EXPECT_NE(copy->uniqueKey(), original->uniqueKey());
    EXPECT_EQ(f.editor->style(), copy);
    EXPECT_EQ(announced, QList<VXStylePtr>{copy});
    EXPECT_EQ(f.undo.undoActionName(), QStringLiteral("Clone Style"));
    f.endStep();
    f.undo.undo();
    EXPECT_EQ(one->style(), original);
    EXPECT_EQ(two->style(), original);

    // Reset hands out a copy of the default: editing it leaves the next default as it was.
    const int defaultCount = VXStyle::defaultStyle()->countOfRenderList();
    f.select({one});
    f.editor->resetStyleAction(nullptr);
    EXPECT_EQ(f.undo.undoActionName(), QStringLiteral("Reset Style"));
    ASSERT_EQ(announced.size(), 2);
    EXPECT_EQ(one->style(), announced.last());
    f.endStep();
    f.editor->addComponentForTag(6);
    f.editor->setCommonValueForKeyPath(QStringLiteral("Changed"), QStringLiteral("name"));
    EXPECT_EQ(VXStyle::defaultStyle()->countOfRenderList(), defaultCount);
    EXPECT_NE(VXStyle::defaultStyle()->name(), QStringLiteral("Changed"));

    // With nothing selected, reset makes the default the edited style.
    f.select({});
    f.editor->resetStyleAction(nullptr);
    EXPECT_EQ(announced.size(), 3);
    EXPECT_EQ(f.editor->style(), announced.last());
    EXPECT_EQ(f.editor->style()->countOfRenderList(), defaultCount);
}

TEST(StyleEditorCommands, EditableOpacityAndNameRefuseWhatCannotBeRight)
{
    EditorFixture f;
    const VXStylePtr style = styleOf({std::make_shared<VXFill>()}, QStringLiteral("Lake"));
    f.select({f.addShape(style)});
    f.endStep();

    f.editor->editableCheckbox()->setChecked(false);
    f.editor->editableAction(f.editor->editableCheckbox());
    EXPECT_TRUE(style->locked());
    EXPECT_EQ(f.undo.undoActionName(), QStringLiteral("Disable Editing"));
    f.endStep();
    f.editor->editableCheckbox()->setChecked(true);
    f.editor->editableAction(f.editor->editableCheckbox());
    EXPECT_FALSE(style->locked());
    EXPECT_EQ(f.undo.undoActionName(), QStringLiteral("Allow Editing"));
    f.endStep();

    QLineEdit* field = f.editor->opacityField();
    for (const QString& text : {QString(), QStringLiteral("abc"), QStringLiteral("nan"), QStringLiteral("inf")}) {
        field->setText(text);
        f.editor->masterOpacityAction(field);
        EXPECT_EQ(style->opacity(), 1.0) << text.toStdString();
        EXPECT_EQ(field->text(), QStringLiteral("1.00"));
    }
    field->setText(QStringLiteral("1.5"));
    f.editor->masterOpacityAction(field);
    EXPECT_EQ(style->opacity(), 1.0);
    field->setText(QStringLiteral("-2"));
    f.editor->masterOpacityAction(field);
    EXPECT_EQ(style->opacity(), 0.0);
    f.editor->opacityStepper()->setValue(0.35);
    EXPECT_DOUBLE_EQ(style->opacity(), 0.35);
    EXPECT_EQ(f.undo.undoActionName(), QStringLiteral("Style Opacity"));

    // Renaming: only in renaming mode, and never to an empty name.
    QLineEdit* name = f.editor->nameField();
    name->setText(QStringLiteral("Sea"));
    f.editor->nameFieldAction(name);
    EXPECT_EQ(style->name(), QStringLiteral("Lake"));
    f.editor->handleNameDoubleClick();
    ASSERT_TRUE(f.editor->renamingModeActive());
    EXPECT_FALSE(name->isReadOnly());
    name->setText(QStringLiteral("  "));
    f.editor->nameFieldAction(name);
    EXPECT_EQ(style->name(), QStringLiteral("Lake"));
    EXPECT_EQ(name->text(), QStringLiteral("Lake"));
    EXPECT_FALSE(f.editor->renamingModeActive());
    f.editor->renameAction(nullptr);
    name->setText(QStringLiteral("Sea"));
    f.editor->nameFieldAction(name);
    EXPECT_EQ(style->name(), QStringLiteral("Sea"));
    EXPECT_TRUE(name->isReadOnly());
    // A locked style is not renamed.
    style->setLocked(true);
    f.editor->renameAction(nullptr);
    EXPECT_FALSE(f.editor->renamingModeActive());
}

TEST(StyleEditorCommands, ValidationFollowsTheLibraryAndTheUnits)
{
    EditorFixture f;
    const VXStylePtr style = styleOf({std::make_shared<VXFill>()});
    f.select({f.addShape(style)});
    platform::Menu* menu = f.editor->actionMenu();
    platform::MenuItem* reveal = itemWithAction(menu, "revealInLibraryAction");
    platform::MenuItem* add = itemWithAction(menu, "addToLibraryAction");
    platform::MenuItem* units = itemWithAction(menu, "toggleDrawingUnitsDisplayAction");
    platform::MenuItem* rename = itemWithAction(menu, "renameAction");
    // An ad-hoc style is in no library.
    EXPECT_FALSE(f.editor->validateMenuItem(reveal));
    EXPECT_TRUE(f.editor->validateMenuItem(add));
    EXPECT_TRUE(f.editor->validateMenuItem(rename));

    const bool shown = f.editor->displaysDrawingUnits();
    f.editor->toggleDrawingUnitsDisplayAction(nullptr);
    EXPECT_TRUE(f.editor->validateMenuItem(units));
    EXPECT_EQ(units->state(), shown ? platform::MenuItem::OffState : platform::MenuItem::OnState);
    f.editor->setShowsDrawingUnits(false);

    style->setLocked(true);
    EXPECT_FALSE(f.editor->validateMenuItem(rename));
}

} // namespace
