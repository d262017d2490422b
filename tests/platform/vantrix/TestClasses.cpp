#include "platform/vantrix/VantrixComponentClasses.h"
#include "platform/vantrix/VantrixDrawingClasses.h"
#include "platform/vantrix/VantrixStyleClasses.h"
#include "platform/vantrix/VantrixTextClasses.h"

#include <gtest/gtest.h>

namespace {

// The test main registers the foundation classes; each part of the framework adds its own here.
class RegisterClasses : public ::testing::Environment {
public:
    void SetUp() override
    {
        registerVantrixStyleClasses();
        registerVantrixDrawingClasses();
        registerVantrixTextClasses();
        registerVantrixComponentClasses();
    }
};

const auto* const registration = ::testing::AddGlobalTestEnvironment(new RegisterClasses);

} // namespace
