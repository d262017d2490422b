// Every key an inspector observes reaches a bound display setter: a key without one would
// leave its control showing the previous selection.

#include "inspectors/InspectorTesting.h"

#include "inspectors/attributes/VXQAttributeController.h"
#include "inspectors/geometry/GeometryPaneRegistry.h"
#include "inspectors/object_inspector/VXDrawableController.h"
#include "inspectors/panes/TrackPanes.h"
#include "inspectors/text/VLTM_VXTextShapeController.h"
#include "platform/foundation/Markers.h"
#include "platform/vantrix/inspector/InspectorValues.h"
#include "support/DisplayBindingsTesting.h"

#include <QCheckBox>
#include <gtest/gtest.h>

namespace {

using testsupport::unboundKeys;

// A table pane shows its rows and its lock itself; the rest goes through its bindings.
QStringList unboundCustomKeys(const GeometryTablePane& pane)
{
    QStringList custom = pane.customKeyPaths();
    custom.removeAll(QStringLiteral("locked"));
    return unboundKeys(pane, custom);
}

TEST(DisplayBindings, EveryObservedKeyOfTheInspectorsIsBound)
{
    VLTM_VXTextShapeController text;
    EXPECT_EQ(unboundKeys(text, text.keyPathsOfInterest()), QStringList());
    VXDrawableController general;
    EXPECT_EQ(unboundKeys(general, general.observableKeyPaths()), QStringList());
    VXQAttributeController attributes;
    EXPECT_EQ(unboundKeys(attributes, {QStringLiteral("name"), QStringLiteral("locked")}), QStringList());

    int tablePanes = 0;
    for (const GeometryPaneRegistry::Entry& entry : GeometryPaneRegistry::entries()) {
        const std::shared_ptr<platform::ViewController> pane = entry.factory();
        if (const auto* table = dynamic_cast<const GeometryTablePane*>(pane.get())) {
            ++tablePanes;
            EXPECT_EQ(unboundCustomKeys(*table), QStringList()) << entry.key.toStdString();
        }
    }
    EXPECT_GE(tablePanes, 6);
    VLTM_VXQAdornmentController adornments;
    EXPECT_EQ(unboundCustomKeys(adornments), QStringList());
}

TEST(DisplayBindings, SharedAndMixedValuesReachTheBoundSetters)
{
    VXDrawableController general;
    // A null cannot be a flag: the box keeps what it showed.
    QCheckBox* visible = general.visibleCheckbox();
    platform::showValueForKeyPath(general, true, QStringLiteral("visible"));
    platform::showValueForKeyPath(general, QVariant(), QStringLiteral("visible"));
    EXPECT_EQ(visible->checkState(), Qt::Checked);
    platform::showValueForKeyPath(general, platform::multipleValuesMarker(), QStringLiteral("visible"));
    EXPECT_EQ(visible->checkState(), Qt::PartiallyChecked);
    platform::showValueForKeyPath(general, false, QStringLiteral("visible"));
    EXPECT_EQ(visible->checkState(), Qt::Unchecked);
}

} // namespace
