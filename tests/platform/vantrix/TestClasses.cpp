#include "platform/vantrix/styles/VantrixComponentClasses.h"
#include "platform/vantrix/model/VantrixDrawingClasses.h"
#include "platform/vantrix/styles/VantrixStyleClasses.h"
#include "platform/vantrix/text/VantrixTextClasses.h"

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
