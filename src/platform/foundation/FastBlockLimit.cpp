#include "platform/foundation/FastBlockLimit.h"

#include <QByteArray>
#include <QList>
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
    static const QByteArray kName = QByteArrayLiteral("glibc.malloc.mxfast=");
    // The last setting wins, refused or not; its value is read as strtoull reads it (the base
    // from its prefix, a trailing rest ignored), as the allocator's own reader does.
    unsigned long long value = kDefault;
    for (const QByteArray& setting : QByteArray(tunables).split(':'))
        if (setting.startsWith(kName))
            value = std::strtoull(setting.constData() + kName.size(), nullptr, 0);
    return value <= kLargestAccepted ? int(value) : kDefault;
}

} // namespace platform::fastblocklimit
