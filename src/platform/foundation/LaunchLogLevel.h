#pragma once

// The log level chosen at launch, by name: "trace", "info", "file", "life", "reactive",
// "state" or "user" (any case), or a number.

#include <QStringList>
#include <optional>

namespace platform {

// The level of a kind's name or of a number; none for anything else.
std::optional<int> logLevelNamed(const QString& name);

// Sets the level from the environment's QUORVANE_LOG_LEVEL, then from a "--log-level=NAME"
// among `arguments`, which is taken out of them (it names no file to open). A name that is no
// level is said on stderr and changes nothing.
void setLogLevelFromLaunch(QStringList& arguments);

} // namespace platform
