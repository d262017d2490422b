#pragma once

// What decoding a keyed archive may take. The unarchiver charges what it makes against a
// budget as it makes it (the table of entries when the archive opens), and refuses an
// archive that would need more with that reason instead of running the process out of memory.
//
// The budget grows with the archive, as far as the memory available allows: any map that
// could be made and saved can be opened where there is room for it.

#include <QtGlobal>
#include <optional>

namespace platform::archive {

// Enough for any archive of up to kMemoryBudget / kMostBytesPerArchiveByte bytes.
inline constexpr qint64 kMemoryBudget = qint64(1) << 30;
// Decoded objects and values take at most about this many times their archived bytes.
inline constexpr qint64 kMostBytesPerArchiveByte = 16;

// What decoding an archive of `archiveBytes` may take wherever there is memory enough.
qint64 promisedBudget(qint64 archiveBytes);

// Unarchivers made on this thread during the scope's life decode within `bytes`.
class MemoryBudgetScope {
public:
    explicit MemoryBudgetScope(qint64 bytes);
    ~MemoryBudgetScope();
    MemoryBudgetScope(const MemoryBudgetScope&) = delete;
    MemoryBudgetScope& operator=(const MemoryBudgetScope&) = delete;

    // The budget for an unarchiver of `archiveBytes` made now on this thread: the scope's, else
    // the promised one as far as the memory available allows.
    static qint64 current(qint64 archiveBytes);

private:
    std::optional<qint64> m_saved;
};

} // namespace platform::archive
