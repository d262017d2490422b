#include "widgets/WidgetClasses.h"

#include <gtest/gtest.h>

namespace {

class RegisterClasses : public ::testing::Environment {
public:
    void SetUp() override { registerWidgetClasses(); }
};

const auto* const registration = ::testing::AddGlobalTestEnvironment(new RegisterClasses);

} // namespace
