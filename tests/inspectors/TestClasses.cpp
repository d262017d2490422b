#include "inspectors/InspectorClasses.h"
#include "inspectors/text/VLTMFontManagerTrampoline.h"

#include <gtest/gtest.h>

namespace {

class RegisterClasses : public ::testing::Environment {
public:
    void SetUp() override
    {
        registerInspectorClasses();
        // As main does: the shared font manager is the trampoline.
        platform::FontManager::setFontManagerFactory([] { return std::make_unique<VLTMFontManagerTrampoline>(); });
    }
};

const auto* const registration = ::testing::AddGlobalTestEnvironment(new RegisterClasses);

} // namespace
