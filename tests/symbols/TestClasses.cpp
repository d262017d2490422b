#include "LabelTestSupport.h"
#include "symbols/SymbolClasses.h"

#include <gtest/gtest.h>

namespace {

class RegisterClasses : public ::testing::Environment {
public:
    void SetUp() override
    {
        registerSymbolClasses();
        labeltest::registerClasses();
    }
};

const auto* const registration = ::testing::AddGlobalTestEnvironment(new RegisterClasses);

} // namespace
