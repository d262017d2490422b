#include "platform/foundation/ArchiveMemoryBudget.h"

#include "platform/foundation/AvailableMemory.h"

#include <algorithm>
#include <limits>
#include <utility>

namespace platform::archive {
namespace {
thread_local std::optional<qint64> t_scopedBudget;
} // namespace

qint64 promisedBudget(qint64 archiveBytes)
{
    constexpr qint64 kMostArchiveBytes = std::numeric_limits<qint64>::max() / kMostBytesPerArchiveByte;
    return std::max(kMemoryBudget, std::min(archiveBytes, kMostArchiveBytes) * kMostBytesPerArchiveByte);
}

MemoryBudgetScope::MemoryBudgetScope(qint64 bytes) : m_saved(std::exchange(t_scopedBudget, bytes)) {}

MemoryBudgetScope::~MemoryBudgetScope()
{
    t_scopedBudget = m_saved;
}

qint64 MemoryBudgetScope::current(qint64 archiveBytes)
{
    if (t_scopedBudget)
        return *t_scopedBudget;
    const qint64 promised = promisedBudget(archiveBytes);
    if (promised <= kMemoryBudget)
        return promised;
    return std::min(promised, availableMemoryBytes().value_or(promised));
}

} // namespace platform::archive
