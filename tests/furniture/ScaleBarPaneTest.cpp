#include "app/sidebar/VLTMObjectControllerDataSource.h"
#include "furniture/scalebar/VXQScaleBarShape.h"
#include "furniture/scalebar/pane/ScaleBarPaneRules.h"
#include "furniture/scalebar/pane/VLTM_VXQScaleBarShapeController.h"
#include "platform/foundation/ZQUndoManager.h"

#include <QCheckBox>
#include <QComboBox>
#include <QLineEdit>
#include <QSpinBox>
#include <gtest/gtest.h>

namespace {

class Selection : public QObject, public VLTMObjectControllerDataSource {
public:
    QList<ZQObjectPtr> bars;
    QList<ZQObjectPtr> selectedContentForObjectController(VLTMGenericObjectController*) override { return bars; }
};

TEST(ScaleBarPaneRules, LockAndSwitchesDecideWhatIsEnabled)
{
    const auto locked = scaleBarPaneEnabling(Qt::Checked, Qt::Checked, Qt::Checked, Qt::Checked);
    EXPECT_FALSE(locked.switches || locked.titleField || locked.upperControls || locked.lowerControls);

    const auto open = scaleBarPaneEnabling(Qt::Unchecked, Qt::Checked, Qt::Checked, Qt::Unchecked);
    EXPECT_TRUE(open.switches);
    EXPECT_TRUE(open.titleField);
    EXPECT_TRUE(open.upperControls);
    EXPECT_FALSE(open.lowerControls);

    // Mixed switches are not on for all; a mixed lock counts as unlocked.
    const auto mixed = scaleBarPaneEnabling(Qt::PartiallyChecked, Qt::PartiallyChecked, Qt::Unchecked,
                                            Qt::PartiallyChecked);
    EXPECT_TRUE(mixed.switches);
    EXPECT_FALSE(mixed.titleField);
    EXPECT_FALSE(mixed.upperControls);
    EXPECT_FALSE(mixed.lowerControls);
}

struct PaneWithBars {
    ZQUndoManager undo;
    Selection selection;
    VLTM_VXQScaleBarShapeController pane;
    VXQScaleBarShapePtr first = std::make_shared<VXQScaleBarShape>();
    VXQScaleBarShapePtr second = std::make_shared<VXQScaleBarShape>();

    PaneWithBars()
    {
        selection.bars = {first, second};
        pane.view();
        pane.setDataSource(&selection);
        pane.content();
        pane.reloadData();
    }
};

TEST(ScaleBarPane, ShowsCommonAndMixedValues)
{
    PaneWithBars fixture;
    VLTM_VXQScaleBarShapeController& pane = fixture.pane;
    EXPECT_EQ(pane.unitsPopUpButton()->currentText(), QStringLiteral("miles"));
    EXPECT_EQ(pane.lowerDivisionsField()->value(), 10);
    EXPECT_TRUE(pane.titleTextField()->isEnabled());

    fixture.second->setSecondaryScaleUnits(ZQUnitLength::feet());
    fixture.second->setSecondaryBarDivisions(3);
    fixture.first->setTitleEnabled(false);
    pane.reloadData();
    EXPECT_EQ(pane.unitsPopUpButton()->currentIndex(), -1);
    EXPECT_TRUE(pane.lowerDivisionsField()->text().isEmpty());
    EXPECT_EQ(pane.titleEnabledCheckbox()->checkState(), Qt::PartiallyChecked);
    EXPECT_FALSE(pane.titleTextField()->isEnabled());

    // Locked bars take no edits; unlocked, the title field waits for the title to be on for all.
    fixture.first->setLocked(true);
    fixture.second->setLocked(true);
    pane.reloadData();
    EXPECT_FALSE(pane.upperBarEnableCheckbox()->isEnabled());
    EXPECT_FALSE(pane.barWidthField()->isEnabled());
    fixture.first->setLocked(false);
    fixture.second->setLocked(false);
    pane.reloadData();
    EXPECT_TRUE(pane.upperBarEnableCheckbox()->isEnabled());
    EXPECT_FALSE(pane.titleTextField()->isEnabled());
}

TEST(ScaleBarPane, WritesToEverySelectedBar)
{
    PaneWithBars fixture;
    VLTM_VXQScaleBarShapeController& pane = fixture.pane;
    fixture.first->setUserTitle(QStringLiteral("Old"));
    fixture.second->setUserTitle(QStringLiteral("Old"));
    pane.reloadData();

    // Clearing the title writes an empty user title, so the automatic one shows again.
    pane.titleTextField()->clear();
    Q_EMIT pane.titleTextField()->editingFinished();
    EXPECT_TRUE(fixture.first->userTitle().isEmpty());
    EXPECT_TRUE(fixture.second->userTitle().isEmpty());

    pane.upperBarEnableCheckbox()->click();
    EXPECT_FALSE(fixture.first->primaryBarEnabled());
    EXPECT_FALSE(fixture.second->primaryBarEnabled());

    const QList<ZQUnitLengthPtr> menu = VLTM_VXQScaleBarShapeController::secondaryUnitsMenu();
    const auto metres = int(std::find_if(menu.begin(), menu.end(), [](const ZQUnitLengthPtr& unit) {
                                return unit && unit->isEqualToUnit(ZQUnitLength::meters().get());
                            }) - menu.begin());
    Q_EMIT pane.unitsPopUpButton()->activated(metres);
    EXPECT_TRUE(fixture.second->secondaryScaleUnits()->isEqualToUnit(ZQUnitLength::meters().get()));
}

} // namespace
