#include "platform/foundation/MemoryAvailability.h"

#include "platform/foundation/AvailableMemory.h"

#include <algorithm>
#include <limits>

namespace platform {

qint64 memoryAReaderMayTake()
{
    return std::max(kMemoryTakenForGranted, availableMemoryBytes().value_or(std::numeric_limits<qint64>::max()));
}

bool memoryIsAvailableFor(qint64 bytes)
{
    return bytes <= kMemoryTakenForGranted || bytes <= memoryAReaderMayTake();
}

} // namespace platform
