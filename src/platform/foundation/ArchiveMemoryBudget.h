#pragma once

// What decoding a keyed archive may take. The unarchiver charges what it makes against a
// budget as it makes it (the table of entries when the archive opens), and refuses an
// archive that would need more with that reason instead of running the process out of memory.

#include <QtGlobal>

namespace platform::archive {

// Enough for any file the program accepts.
inline constexpr qint64 kMemoryBudget = qint64(1) << 30;
// Decoded objects and values take at most about this many times their archived bytes, so
// an archive of kMemoryBudget / kMostBytesPerArchiveByte bytes always fits.
inline constexpr qint64 kMostBytesPerArchiveByte = 16;

// Unarchivers made on this thread during the scope's life decode within `bytes`.
class MemoryBudgetScope {
public:
    explicit MemoryBudgetScope(qint64 bytes);
    ~MemoryBudgetScope();
    MemoryBudgetScope(const MemoryBudgetScope&) = delete;
    MemoryBudgetScope& operator=(const MemoryBudgetScope&) = delete;

    // The budget for an unarchiver made now on this thread.
    static qint64 current();

private:
    qint64 m_saved;
};

} // namespace platform::archive
