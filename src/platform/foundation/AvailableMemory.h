#pragma once

// How much more memory this process can take now: the least of what the system has
// available (free memory plus caches it can drop), what the process's own control group and
// each group above it still allow (cgroup v2, or v1's memory controller; the clean file pages
// a group holds count as free, active or not, since it drops them when it needs room), and
// what its address-space limit leaves. Whichever of them is unknown is left out.

#include <QString>
#include <QtGlobal>
#include <optional>

namespace platform {

// Nullopt when none of them can be read.
std::optional<qint64> availableMemoryBytes();
// The same, with /proc and /sys read under `root` (a folder laid out like "/"); the
// address-space limit is always the process's own.
std::optional<qint64> availableMemoryBytesUnderRoot(const QString& root);

// What a reader may take for what a file asks of it. Amounts up to kMemoryTakenForGranted are
// taken without asking the system (which costs a few reads of /proc and /sys each time); larger
// ones when the memory available holds them.
inline constexpr qint64 kMemoryTakenForGranted = qint64(64) << 20;
// The memory available now, and no less than kMemoryTakenForGranted; without bound when the
// memory available cannot be told.
qint64 memoryAReaderMayTake();
bool memoryIsAvailableFor(qint64 bytes);

} // namespace platform
