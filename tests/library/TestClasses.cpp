#include "library/LibraryClasses.h"

#include <gtest/gtest.h>

namespace {

class RegisterClasses : public ::testing::Environment {
public:
    void SetUp() override { registerLibraryClasses(); }
};

const auto* const registration = ::testing::AddGlobalTestEnvironment(new RegisterClasses);

} // namespace
