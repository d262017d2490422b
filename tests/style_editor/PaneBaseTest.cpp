#include "style_editor/StyleEditorTesting.h"

#include "support/LogCapture.h"
#include "platform/measurement/ZQUnitLength.h"
#include "platform/ui/Menu.h"
#include "style_editor/StyleEditorClasses.h"
#include "style_editor/panes/StyleComponentPaneRegistry.h"
#include "style_editor/panes/StyleLengthFormatter.h"
#include "widgets/fields/ZQAugmentedTextField.h"

#include <QCheckBox>
#include <gtest/gtest.h>

using namespace styleeditortest;

namespace {

platform::MenuItem* paneItem(VLTMStyleComponentController* pane, const QByteArray& action)
{
    for (QAction* each : pane->componentMenu()->actions())
        if (auto* item = qobject_cast<platform::MenuItem*>(each); item && item->action() == action)
            return item;
    return nullptr;
}

TEST(StyleComponentPane, MenuTitlesNameTheComponentAndDeleteFollowsTheLock)
{
    EditorFixture f;
    auto stroke = std::make_shared<VXStroke>();
    const VXStylePtr style = styleOf({stroke});
    f.show(style);
    VLTMStyleComponentController* pane = f.editor->subcontrollerForComponent(stroke.get());
    ASSERT_TRUE(pane);
    platform::MenuItem* copy = paneItem(pane, "copyComponentAction");
    platform::MenuItem* remove = paneItem(pane, "deleteComponentAction");
    platform::MenuItem* help = paneItem(pane, "componentHelpAction");
    EXPECT_TRUE(pane->validateMenuItem(remove));
    EXPECT_EQ(remove->title(), QStringLiteral("Delete Stroke"));
    EXPECT_TRUE(pane->validateMenuItem(copy));
    EXPECT_EQ(copy->title(), QStringLiteral("Copy Stroke"));
    EXPECT_TRUE(pane->validateMenuItem(help));
    EXPECT_EQ(help->title(), QStringLiteral("Stroke Help..."));
    {
        testsupport::LogCapture log;
        pane->componentHelpAction(help);
        EXPECT_TRUE(log.contains(QStringLiteral("stroke")));
    }

    style->setLocked(true);
    EXPECT_FALSE(pane->validateMenuItem(remove));
    EXPECT_TRUE(pane->validateMenuItem(copy));
}

TEST(StyleComponentPane, TheEnabledCheckboxesMirrorTheComponentBothWays)
{
    EditorFixture f;
    auto fill = std::make_shared<VXFill>();
    const VXStylePtr style = styleOf({fill});
    f.select({f.addShape(style)});
    f.endStep();
    VLTMStyleComponentController* pane = f.editor->subcontrollerForComponent(fill.get());
    QCheckBox* title = pane->hostingView()->titleCheckbox();
    ASSERT_TRUE(title);
    EXPECT_TRUE(title->isChecked());
    EXPECT_TRUE(pane->enabledCheckbox()->isChecked());

    // The title checkbox writes, and the pane's own checkbox follows the change.
    title->click();
    EXPECT_FALSE(fill->enabled());
    f.settle();
    EXPECT_FALSE(pane->enabledCheckbox()->isChecked());
    EXPECT_EQ(f.undo.undoActionName(), QStringLiteral("Enable Fill"));
    f.endStep();
    f.undo.undo();
    EXPECT_TRUE(fill->enabled());
    f.settle();
    EXPECT_TRUE(title->isChecked());
    EXPECT_TRUE(pane->enabledCheckbox()->isChecked());
}

TEST(StyleComponentPane, WidthMenusAndLengthFieldsFollowTheDisplayUnits)
{
    EXPECT_EQ(VLTMStyleComponentController::strokeWidthTitle(3.6, true, 72, QStringLiteral("in")),
              QStringLiteral("0.050in (3.6pt)"));
    EXPECT_EQ(VLTMStyleComponentController::strokeWidthTitle(3.6, false, 72, QStringLiteral("in")), QStringLiteral("3.6pt"));

    EditorFixture f;
    auto stroke = std::make_shared<VXStroke>();
    f.show(styleOf({stroke}));
    VLTMStyleComponentController* pane = f.editor->subcontrollerForComponent(stroke.get());
    platform::Menu menu;
    auto* other = menu.addItemWithTitleActionKeyEquivalent(QStringLiteral("Other..."), "otherWidth");
    other->setTag(0);
    auto* thick = menu.addItemWithTitleActionKeyEquivalent(QString(), "width");
    thick->setTag(36);
    f.drawing->setUnits(ZQUnitLength::inches());
    f.editor->setShowsDrawingUnits(true);
    pane->initialiseStrokeWidthMenu(&menu);
    EXPECT_EQ(thick->title(), QStringLiteral("0.050in (3.6pt)"));
    EXPECT_FALSE(thick->icon().isNull());
    EXPECT_EQ(other->title(), QStringLiteral("Other..."));
    EXPECT_TRUE(other->icon().isNull());
    f.editor->setShowsDrawingUnits(false);
    pane->initialiseStrokeWidthMenu(&menu);
    EXPECT_EQ(thick->title(), QStringLiteral("3.6pt"));

    // A length field shows points in inches with the suffix, and reads typed inches back as points.
    ZQAugmentedTextField field;
    field.setFormatter(std::make_shared<StyleLengthFormatter>());
    field.setDoubleValue(36);
    VLTMStyleComponentController::updateFormatterForControlMultiplierDecimalPlacesSuffix(&field, 1.0 / 72, 2,
                                                                                       QStringLiteral("in"));
    EXPECT_EQ(field.text(), QStringLiteral("0.5in"));
    field.setText(QStringLiteral("0.25in"));
    EXPECT_DOUBLE_EQ(field.doubleValue(), 18);
    field.setText(QStringLiteral("0.75"));
    EXPECT_DOUBLE_EQ(field.doubleValue(), 54);
    // Other controls are left alone.
    QCheckBox box;
    VLTMStyleComponentController::updateFormatterForControlMultiplierDecimalPlacesSuffix(&box, 2, 2, QStringLiteral("x"));
}

TEST(StyleComponentPane, PanesAreFoundByTheComponentClassName)
{
    EXPECT_EQ(StyleComponentPaneRegistry::subcontrollerNibNameForComponentClass(QStringLiteral("VXGradientFill")),
              QStringLiteral("VLTMStyleEditSub_VXGradientFill"));
    int made = 0;
    StyleComponentPaneRegistry::registerPaneNamed(QStringLiteral("VLTMStyleEditSub_VXFill"), [&made] {
        ++made;
        return std::make_shared<VLTMStyleComponentController>();
    });
    const auto pane = StyleComponentPaneRegistry::makePaneForComponent(VXFill());
    EXPECT_EQ(made, 1);
    EXPECT_EQ(pane->nibName(), QStringLiteral("VLTMStyleEditSub_VXFill"));
    EXPECT_EQ(StyleComponentPaneRegistry::makePaneForComponent(VXRasterizer())->nibName(),
              QStringLiteral("VLTMStyleComponentPlaceholder"));
    StyleComponentPaneRegistry::registerPaneNamed(QStringLiteral("VLTMStyleEditSub_VXFill"), {});
    EXPECT_EQ(StyleComponentPaneRegistry::makePaneForComponent(VXFill())->nibName(),
              QStringLiteral("VLTMStyleComponentPlaceholder"));
    // The real panes again, for the tests that follow.
    registerStyleEditorClasses();
}

} // namespace
