#pragma once

// How much more memory this process can take now: the least of what the system has
// available (free memory plus caches it can drop), what the process's control group still
// allows, and what its address-space limit leaves. Whichever of them is unknown is left out.

#include <QtGlobal>
#include <optional>

namespace platform {

// Nullopt when none of them can be read.
std::optional<qint64> availableMemoryBytes();

} // namespace platform
