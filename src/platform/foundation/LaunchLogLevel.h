#pragma once

// The log level chosen at launch, by name: "trace", "info", "file", "life", "reactive",
// "state" or "user" (any case), or a number.

#include <QStringList>
#include <optional>

namespace platform {

// The level of a kind's name or of a number; none for anything else.
std::optional<int> logLevelNamed(const QString& name);

// Sets the level from the environment's QUORVANE_LOG_LEVEL, then from "--log-level NAME" or
// "--log-level=NAME" among `arguments` (the program's name first). Every option is taken out
// of them, so that only files to open remain; after "--" every argument is a file. A name that
// is no level, and an option that is not known, are said on stderr and change nothing.
void setLogLevelFromLaunch(QStringList& arguments);

} // namespace platform
