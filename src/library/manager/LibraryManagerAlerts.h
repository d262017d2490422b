#pragma once

// How the library manager's parts put alerts to the user: modally by default, or through a
// runner that answers instead (tests install one).

#include "platform/ui/Alert.h"

#include <functional>

namespace LibraryManagerAlerts {

using Runner = std::function<int(platform::Alert& alert)>;
void setRunner(Runner runner);

// The alert's answer (platform::Alert::kDefaultReturn and its siblings).
int run(platform::Alert& alert);
// An alert with no third button.
platform::Alert make(const QString& message, const QString& defaultButton, const QString& alternateButton,
                     const QString& informative);
void beep();

} // namespace LibraryManagerAlerts
