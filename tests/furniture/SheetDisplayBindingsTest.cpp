// Every key the scale-bar pane and the grid sheets observe reaches a bound display setter: a
// key without one would leave its control showing the previous selection.

#include "furniture/scalebar/pane/VLTM_VXQScaleBarShapeController.h"
#include "furniture/settings/VLQNAnnotationController.h"
#include "furniture/settings/VLQNGridBorderController.h"
#include "furniture/settings/VLQNSquareAnnotatedGridController.h"
#include "platform/foundation/Markers.h"
#include "platform/vantrix/inspector/InspectorValues.h"
#include "support/DisplayBindingsTesting.h"

#include <QCheckBox>
#include <QLineEdit>
#include <QSpinBox>
#include <gtest/gtest.h>

namespace {

template <class Pane>
QStringList unboundKeys()
{
    const Pane pane;
    return testsupport::unboundKeys(pane, pane.keyPathsOfInterest());
}

TEST(SheetDisplayBindings, EveryObservedKeyOfTheScaleBarPaneAndGridSheetsIsBound)
{
    EXPECT_EQ(unboundKeys<VLTM_VXQScaleBarShapeController>(), QStringList());
    EXPECT_EQ(unboundKeys<VLQNAnnotationController>(), QStringList());
    EXPECT_EQ(unboundKeys<VLQNGridBorderController>(), QStringList());
    EXPECT_EQ(unboundKeys<VLQNSquareAnnotatedGridController>(), QStringList());
}

TEST(SheetDisplayBindings, ScaleBarValuesAndMixedValuesReachTheBoundSetters)
{
    VLTM_VXQScaleBarShapeController pane;
    pane.view();
    platform::showValueForKeyPath(pane, 7, QStringLiteral("secondaryBarDivisions"));
    EXPECT_EQ(pane.lowerDivisionsField()->value(), 7);
    platform::showValueForKeyPath(pane, platform::multipleValuesMarker(), QStringLiteral("secondaryBarDivisions"));
    EXPECT_TRUE(pane.lowerDivisionsField()->text().isEmpty());

    // The bar's own title is the field's placeholder, not the pane's title.
    platform::showValueForKeyPath(pane, QStringLiteral("1 mile"), QStringLiteral("title"));
    EXPECT_EQ(pane.titleTextField()->placeholderText(), QStringLiteral("1 mile"));
    platform::showValueForKeyPath(pane, QStringLiteral("Miles"), QStringLiteral("userTitle"));
    EXPECT_EQ(pane.titleTextField()->text(), QStringLiteral("Miles"));

    platform::showValueForKeyPath(pane, true, QStringLiteral("primaryBarEnabled"));
    EXPECT_EQ(pane.upperBarEnableCheckbox()->checkState(), Qt::Checked);
    platform::showValueForKeyPath(pane, platform::multipleValuesMarker(), QStringLiteral("primaryBarEnabled"));
    EXPECT_EQ(pane.upperBarEnableCheckbox()->checkState(), Qt::PartiallyChecked);
}

} // namespace
