#include "platform/foundation/AllocatorTunables.h"

#include <QList>
#include <cstdlib>

namespace platform {

std::optional<unsigned long long> allocatorTunable(const char* tunables, const QByteArray& name)
{
    const QByteArray prefix = name + '=';
    std::optional<unsigned long long> value;
    for (const QByteArray& setting : QByteArray(tunables).split(':'))
        if (setting.startsWith(prefix))
            value = std::strtoull(setting.constData() + prefix.size(), nullptr, 0);
    return value;
}

} // namespace platform
