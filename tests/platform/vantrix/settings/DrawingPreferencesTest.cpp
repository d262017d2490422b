// The drawing preferences are applied as a whole: values no class could use are refused or
// held to their range field by field, while the usable fields of the same value are taken.

#include "platform/vantrix/model/VXLinearObjectStorage.h"
#include "platform/vantrix/model/VXObjectOwnerLayer.h"
#include "platform/vantrix/settings/VXDrawingPreferences.h"
#include "platform/vantrix/view/VXKnob.h"
#include "support/PreferencesScope.h"

#include <gtest/gtest.h>
#include <limits>

TEST(DrawingPreferences, UnusableValuesAreRefusedOrClampedAndTheRestTaken)
{
    const testsupport::PreferencesScope<VXDrawingPreferences> restore;
    const VXDrawingPreferences before = VXDrawingPreferences::current();
    constexpr double nan = std::numeric_limits<double>::quiet_NaN();

    VXDrawingPreferences next = before;
    next.freehandEpsilon = -1;
    next.controlKnobSize = {0, 8};
    next.layerStorageClass = &QObject::staticMetaObject;
    next.levelsOfUndo = -5;
    next.shadowScaleLimit = 1e308;
    next.shouldAntialias = !before.shouldAntialias;
    next.autoClosesPath = !before.autoClosesPath;
    VXDrawingPreferences::setCurrent(next);
    const VXDrawingPreferences& kept = VXDrawingPreferences::current();
    EXPECT_EQ(kept.freehandEpsilon, before.freehandEpsilon);
    EXPECT_EQ(kept.controlKnobSize, before.controlKnobSize);
    EXPECT_EQ(kept.layerStorageClass, before.layerStorageClass);
    EXPECT_EQ(kept.levelsOfUndo, 0);
    EXPECT_EQ(kept.shadowScaleLimit, VXDrawingPreferences::kMaximumShadowScaleLimit);
    EXPECT_EQ(kept.shouldAntialias, next.shouldAntialias);
    EXPECT_EQ(kept.autoClosesPath, next.autoClosesPath);

    // Not a number: no freehand smoothing change, no shadow limit, a knob size refused.
    VXDrawingPreferences::edit([&](VXDrawingPreferences& p) {
        p.freehandEpsilon = nan;
        p.shadowScaleLimit = nan;
        p.controlKnobSize = {nan, 8};
    });
    EXPECT_EQ(VXDrawingPreferences::current().freehandEpsilon, before.freehandEpsilon);
    EXPECT_EQ(VXDrawingPreferences::current().shadowScaleLimit, 0.0);
    EXPECT_EQ(VXKnob::controlKnobSize(), before.controlKnobSize);

    // Zero smoothing and a linear storage are values of their own, not refusals.
    VXDrawingPreferences::edit([](VXDrawingPreferences& p) {
        p.freehandEpsilon = 0;
        p.layerStorageClass = &VXLinearObjectStorage::staticMetaObject;
    });
    EXPECT_EQ(VXDrawingPreferences::current().freehandEpsilon, 0.0);
    EXPECT_EQ(VXObjectOwnerLayer::storageClass(), &VXLinearObjectStorage::staticMetaObject);
}

TEST(DrawingPreferences, AScopePutsTheWholeValueBack)
{
    const VXDrawingPreferences before = VXDrawingPreferences::current();
    {
        const testsupport::PreferencesScope scope(&VXDrawingPreferences::layerStorageClass,
                                                  &VXLinearObjectStorage::staticMetaObject);
        scope.set(&VXDrawingPreferences::levelsOfUndo, 12);
        VXDrawingPreferences::edit([](VXDrawingPreferences& p) { p.willDrawShadows = !p.willDrawShadows; });
        EXPECT_FALSE(VXDrawingPreferences::current() == before);
    }
    EXPECT_TRUE(VXDrawingPreferences::current() == before);
}
