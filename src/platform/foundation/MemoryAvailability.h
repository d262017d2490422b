#pragma once

// What a reader may take of the memory for what a file asks of it. Amounts up to
// kMemoryTakenForGranted are taken without asking the system (which costs a few reads of
// /proc and /sys each time); larger ones when the memory available holds them.

#include <QtGlobal>

namespace platform {

inline constexpr qint64 kMemoryTakenForGranted = qint64(64) << 20;

// The memory available now, and no less than kMemoryTakenForGranted; without bound when the
// memory available cannot be told.
qint64 memoryAReaderMayTake();
bool memoryIsAvailableFor(qint64 bytes);

} // namespace platform
