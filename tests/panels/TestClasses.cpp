#include "panels/PanelsClasses.h"
#include "panels/PanelsServicesInstallation.h"

#include <gtest/gtest.h>

namespace {

class RegisterClasses : public ::testing::Environment {
public:
    void SetUp() override
    {
        registerPanelsClasses();
        installPanelsServices();
    }
};

const auto* const registration = ::testing::AddGlobalTestEnvironment(new RegisterClasses);

} // namespace
