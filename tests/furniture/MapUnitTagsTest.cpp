#include "furniture/calibration/QVNCalibrationController.h"
#include "furniture/scalebar/pane/VLTM_VXQScaleBarShapeController.h"

#include <gtest/gtest.h>

namespace {

VXQMeasurementPtr measurement(quint32 system, quint32 measure)
{
    VXQMeasurementPtr made = VXQMeasurement::measurementWithSystem(system);
    made->setMeasure(measure);
    return made;
}

} // namespace

TEST(MapUnitTags, ThePaneAndTheSheetNumberUnitsAlikeUpToNineAndApartAtTen)
{
    const MapUnitTags& pane = VLTM_VXQScaleBarShapeController::mapUnitTags();
    const MapUnitTags& sheet = QVNCalibrationController::mapUnitTags();
    const std::tuple<int, quint32, quint32> shared[] = {
        {1, kMetricMeasurementSystem, 10},      {2, kMetricMeasurementSystem, 1000},
        {3, kMetricMeasurementSystem, 1000000}, {4, kImperialMeasurementSystem, 1},
        {5, kImperialMeasurementSystem, 12},    {6, kImperialMeasurementSystem, 36},
        {7, kImperialMeasurementSystem, 63360}, {8, kNauticalMilesMeasurementSystem, 1},
        {9, kQuartzMeasurementSystem, 1},
    };
    for (const auto& [tag, system, measure] : shared) {
        SCOPED_TRACE(tag);
        for (const MapUnitTags* tags : {&pane, &sheet}) {
            EXPECT_EQ(tags->measurementSystemForTag(tag), system);
            EXPECT_EQ(tags->measureForTag(tag), measure);
            EXPECT_EQ(tags->mapUnitsTagForMeasurement(*measurement(system, measure)), tag);
        }
    }
    // Ten: furlongs in the pane, millimetres in the sheet.
    EXPECT_EQ(pane.measurementSystemForTag(10), kImperialMeasurementSystem);
    EXPECT_EQ(pane.measureForTag(10), 7920u);
    EXPECT_EQ(pane.mapUnitsTagForMeasurement(*measurement(kImperialMeasurementSystem, 7920)), 10);
    EXPECT_EQ(pane.mapUnitsTagForMeasurement(*measurement(kMetricMeasurementSystem, 1)), 0);
    EXPECT_EQ(sheet.measurementSystemForTag(10), kMetricMeasurementSystem);
    EXPECT_EQ(sheet.measureForTag(10), 1u);
    EXPECT_EQ(sheet.mapUnitsTagForMeasurement(*measurement(kMetricMeasurementSystem, 1)), 10);
    EXPECT_EQ(sheet.mapUnitsTagForMeasurement(*measurement(kImperialMeasurementSystem, 7920)), 0);

    for (const MapUnitTags* tags : {&pane, &sheet}) {
        for (int outside : {0, -1, 11, 4096}) {
            EXPECT_EQ(tags->measurementSystemForTag(outside), kNoMeasurementSystem);
            EXPECT_EQ(tags->measureForTag(outside), 1u);
        }
        EXPECT_EQ(tags->mapUnitsTagForMeasurement(*measurement(kNauticalMilesMeasurementSystem, 5)), 8);
        EXPECT_EQ(tags->mapUnitsTagForMeasurement(*measurement(kMetricMeasurementSystem, 100)), 0);
        EXPECT_EQ(tags->mapUnitsTagForMeasurement(VXQMeasurement()), 0);
    }
}
