#include "app/AppClasses.h"
#include "mapscale/MapScaleClasses.h"
#include "platform/measurement/MeasurementClasses.h"
#include "platform/vantrix/VantrixComponentClasses.h"
#include "platform/vantrix/VantrixDrawingClasses.h"
#include "platform/vantrix/VantrixStyleClasses.h"
#include "platform/vantrix/VantrixTextClasses.h"
#include "tracks/TrackClasses.h"

#include <gtest/gtest.h>

namespace {

// The test main registers the foundation classes.
class RegisterClasses : public ::testing::Environment {
public:
    void SetUp() override
    {
        registerMeasurementClasses();
        registerMapScaleClasses();
        registerVantrixStyleClasses();
        registerVantrixComponentClasses();
        registerVantrixTextClasses();
        registerVantrixDrawingClasses();
        registerAppClasses();
        registerTrackClasses();
    }
};

const auto* const registration = ::testing::AddGlobalTestEnvironment(new RegisterClasses);

} // namespace
