#include "platform/foundation/HeapGrowthAhead.h"

#include "platform/foundation/AllocatorTunables.h"

#include <algorithm>
#include <cerrno>
#include <condition_variable>
#include <cstdint>
#include <cstdlib>
#include <limits>
#include <malloc.h>
#include <mutex>
#include <sys/mman.h>
#include <thread>
#include <unistd.h>

namespace platform {

namespace {

// A setting as the process started with it, put back when the outermost scope closes; read
// before main, where nothing has changed the environment yet.
int settingAtStart(const QByteArray& name, int allocatorDefault)
{
    return int(std::min<unsigned long long>(
        allocatorTunable(std::getenv("GLIBC_TUNABLES"), name).value_or(allocatorDefault), std::numeric_limits<int>::max()));
}
const int s_topPadAtStart = settingAtStart(QByteArrayLiteral("glibc.malloc.top_pad"), 128 * 1024);
// How many blocks the allocator may map apart from the heap.
const int s_mmapMaxAtStart = settingAtStart(QByteArrayLiteral("glibc.malloc.mmap_max"), 65536);
// Pages populated per call: few enough that the worker is soon past where the main thread allocates.
constexpr long kChunkBytes = 1024 * 1024;

int s_openScopes = 0; // the first thread's only

char* heapEnd()
{
    return static_cast<char*>(sbrk(0));
}

char* pageStart(char* address)
{
    static const auto pageSize = uintptr_t(sysconf(_SC_PAGESIZE));
    return reinterpret_cast<char*>(reinterpret_cast<uintptr_t>(address) & ~(pageSize - 1));
}

} // namespace

class HeapGrowthAhead::Worker {
public:
    Worker()
        : m_populated(pageStart(heapEnd() - std::ptrdiff_t(mallinfo2().keepcost)))
        , m_thread([this](const std::stop_token& stop) { run(stop); })
    {
    }

    ~Worker()
    {
        {
            const std::lock_guard lock(m_mutex);
            m_thread.request_stop();
        }
        m_wake.notify_one();
    }

private:
    void run(const std::stop_token& stop)
    {
        while (!stop.stop_requested()) {
            char* const end = heapEnd();
            if (end < m_populated) // the heap was trimmed: what grows again is fresh
                m_populated = pageStart(end);
            if (m_populated < end) {
                // Large pages where the kernel has them, asked for the whole step at once: a large
                // page needs all of its range advised. Fewer faults, and fewer misses later.
                if (end != m_advisedEnd)
                    madvise(m_populated, size_t(end - m_populated), MADV_HUGEPAGE);
                m_advisedEnd = end;
                const auto length = size_t(std::min(long(end - m_populated), kChunkBytes));
                // Faults the pages in writable without writing to them: the main thread may be
                // using them already. A range trimmed meanwhile fails and is found again above.
                if (madvise(m_populated, length, MADV_POPULATE_WRITE) != 0 && errno == EINVAL)
                    return; // a kernel without the advice
                m_populated += length;
                continue;
            }
            std::unique_lock lock(m_mutex);
            m_wake.wait_for(lock, std::chrono::milliseconds(1), [&] { return stop.stop_requested(); });
        }
    }

    char* m_populated;
    char* m_advisedEnd = nullptr;
    std::mutex m_mutex;
    std::condition_variable m_wake;
    std::jthread m_thread;
};

HeapGrowthAhead::HeapGrowthAhead()
{
    // Only the process's first thread allocates from the heap's break; others have arenas of
    // their own. A scope inside another leaves the work to the outer one.
    if (gettid() != getpid() || s_openScopes++ > 0)
        return;
    mallopt(M_TOP_PAD, int(kStepBytes));
    mallopt(M_MMAP_MAX, 0);
    m_worker = std::make_unique<Worker>();
}

HeapGrowthAhead::~HeapGrowthAhead()
{
    if (gettid() != getpid() || --s_openScopes > 0)
        return;
    m_worker.reset();
    mallopt(M_TOP_PAD, s_topPadAtStart);
    mallopt(M_MMAP_MAX, s_mmapMaxAtStart);
}

} // namespace platform
