#include "mapscale/MapScaleClasses.h"
#include "platform/measurement/MeasurementClasses.h"

#include <gtest/gtest.h>

namespace {

// The test main registers the foundation classes.
class RegisterClasses : public ::testing::Environment {
public:
    void SetUp() override
    {
        registerMeasurementClasses();
        registerMapScaleClasses();
    }
};

const auto* const registration = ::testing::AddGlobalTestEnvironment(new RegisterClasses);

} // namespace
