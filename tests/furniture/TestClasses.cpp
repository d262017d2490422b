#include "furniture/FurnitureClasses.h"

#include <gtest/gtest.h>

namespace {

class RegisterClasses : public ::testing::Environment {
public:
    void SetUp() override { registerFurnitureClasses(); }
};

const auto* const registration = ::testing::AddGlobalTestEnvironment(new RegisterClasses);

} // namespace
