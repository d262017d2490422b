#include "platform/foundation/HeapGrowthAhead.h"

#include "platform/foundation/AvailableMemory.h"

#include <algorithm>
#include <cerrno>
#include <cstdint>
#include <cstdlib>
#include <sys/mman.h>
#include <system_error>
#include <thread>
#include <unistd.h>
#include <vector>

extern char end; // the end of the executable's data: the heap's break starts above it

namespace platform {

namespace {

// Pieces the heap is grown by while memory is set aside: below the least size the allocator maps
// apart (128 KiB unless the process started with less), and few enough for a gigabyte.
constexpr size_t kPieceBytes = 124 * 1024;
// Pages populated per call: few enough that the worker stops soon when the scope closes.
constexpr size_t kChunkBytes = 1024 * 1024;

bool s_scopeOpen = false; // the first thread's only

char* heapEnd()
{
    return static_cast<char*>(sbrk(0));
}

bool inHeap(const void* block)
{
    return block >= &::end && block < heapEnd();
}

uintptr_t pageSize()
{
    static const auto size = uintptr_t(sysconf(_SC_PAGESIZE));
    return size;
}

char* pageDown(char* address)
{
    return reinterpret_cast<char*>(reinterpret_cast<uintptr_t>(address) & ~(pageSize() - 1));
}

char* pageUp(char* address)
{
    return pageDown(address + pageSize() - 1);
}

} // namespace

// Free memory at the heap's end, below one block kept until the scope closes: the allocator
// hands it out before it grows the heap again, and cannot give it back meanwhile. Freed, the
// kept block joins what is left with the heap's top, which the allocator trims as it always does.
class HeapGrowthAhead::Reserve {
public:
    explicit Reserve(qint64 bytes)
    {
        std::vector<void*> pieces;
        pieces.reserve(size_t(bytes) / kPieceBytes + 1);
        char* const start = heapEnd();
        while (heapEnd() - start < bytes && pieces.size() < pieces.capacity()) {
            void* const piece = std::malloc(kPieceBytes);
            if (!piece)
                break;
            pieces.push_back(piece);
            if (!inHeap(piece))
                break;
        }
        if (!pieces.empty() && inHeap(pieces.back())) {
            m_kept = pieces.back();
            pieces.pop_back();
        }
        for (void* piece : pieces)
            std::free(piece);
        if (m_kept && pageUp(start) < pageDown(static_cast<char*>(m_kept))) {
            m_begin = pageUp(start);
            m_end = pageDown(static_cast<char*>(m_kept));
        }
    }
    ~Reserve() { std::free(m_kept); }
    Reserve(const Reserve&) = delete;
    Reserve& operator=(const Reserve&) = delete;

    // The pages set aside; empty when none could be.
    char* begin() const { return m_begin; }
    char* end() const { return m_end; }

private:
    void* m_kept = nullptr;
    char* m_begin = nullptr;
    char* m_end = nullptr;
};

class HeapGrowthAhead::Worker {
public:
    // Throws std::system_error when the thread cannot start.
    Worker(char* begin, char* end) : m_thread([=](const std::stop_token& stop) { run(stop, begin, end); }) {}

private:
    static void run(const std::stop_token& stop, char* begin, char* end)
    {
        // Large pages where the kernel has them, asked for the whole range at once: a large page
        // needs all of its range advised. Fewer faults, and fewer misses later.
        madvise(begin, size_t(end - begin), MADV_HUGEPAGE);
        for (char* next = begin; next < end && !stop.stop_requested(); next += kChunkBytes) {
            // Writable without writing to them: the main thread may be using them already. A
            // chunk refused for want of memory just now is asked for once more.
            const size_t length = std::min(kChunkBytes, size_t(end - next));
            for (int attempt = 0; attempt < 2 && madvise(next, length, MADV_POPULATE_WRITE) != 0; ++attempt) {
                if (errno == EINVAL)
                    return; // a kernel without the advice
            }
        }
    }

    std::jthread m_thread; // asked to stop and joined when the scope closes
};

HeapGrowthAhead::HeapGrowthAhead(qint64 expectedBytes)
{
    // Only the process's first thread allocates from the heap's break; others have arenas of
    // their own. A scope inside another leaves the work to the outer one.
    if (gettid() != getpid() || s_scopeOpen || expectedBytes <= 0)
        return;
    const qint64 bytes = std::min(expectedBytes, availableMemoryBytes().value_or(expectedBytes) / 2);
    m_reserve = std::make_unique<Reserve>(bytes);
    if (m_reserve->begin() == m_reserve->end()) {
        m_reserve.reset();
        return;
    }
    try {
        m_worker = std::make_unique<Worker>(m_reserve->begin(), m_reserve->end());
    } catch (const std::system_error&) { // no thread (no address space for its stack): faulted in as used
        m_reserve.reset();
        return;
    }
    s_scopeOpen = true;
}

HeapGrowthAhead::~HeapGrowthAhead()
{
    if (!m_worker)
        return;
    m_worker.reset();
    m_reserve.reset();
    s_scopeOpen = false;
}

} // namespace platform
