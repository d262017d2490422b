#include "platform/foundation/FastBlockLimit.h"

#include "platform/foundation/AllocatorTunables.h"

#include <cstdlib>

namespace platform::fastblocklimit {

namespace {

constexpr int kDefault = 64 * sizeof(size_t) / 4;
// Larger limits are refused, leaving the default.
constexpr unsigned long long kLargestAccepted = 80 * sizeof(size_t) / 4;

// Read before main, where nothing has changed the environment yet.
const int s_atStart = setBy(std::getenv("GLIBC_TUNABLES"));

} // namespace

int atStart()
{
    return s_atStart;
}

int setBy(const char* tunables)
{
    // The last setting wins, refused or not.
    const unsigned long long value =
        allocatorTunable(tunables, QByteArrayLiteral("glibc.malloc.mxfast")).value_or(kDefault);
    return value <= kLargestAccepted ? int(value) : kDefault;
}

} // namespace platform::fastblocklimit
