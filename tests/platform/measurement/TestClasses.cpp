#include "platform/measurement/MeasurementClasses.h"

#include <gtest/gtest.h>

namespace {

// The test main registers the foundation classes.
class RegisterClasses : public ::testing::Environment {
public:
    void SetUp() override
    {
        registerMeasurementClasses();
    }
};

const auto* const registration = ::testing::AddGlobalTestEnvironment(new RegisterClasses);

} // namespace
