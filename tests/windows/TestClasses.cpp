#include "windows/WindowsClasses.h"

#include <gtest/gtest.h>

namespace {

class RegisterClasses : public ::testing::Environment {
public:
    void SetUp() override { registerWindowsClasses(); }
};

const auto* const registration = ::testing::AddGlobalTestEnvironment(new RegisterClasses);

} // namespace
