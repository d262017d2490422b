#include "platform/foundation/HeapGrowthAhead.h"
#include "support/AddressSpaceLimit.h"
#include "support/CLibraryAllocator.h"
#include "support/ChildRun.h"

#include <QElapsedTimer>
#include <QFile>
#include <QThread>
#include <gtest/gtest.h>
#include <algorithm>
#include <cstdint>
#include <cstdlib>
#include <malloc.h>
#include <pthread.h>
#include <sys/mman.h>
#include <sys/resource.h>
#include <unistd.h>
#include <vector>

namespace {

using platform::HeapGrowthAhead;

constexpr qint64 kAside = qint64(64) << 20;

long pageSize()
{
    return sysconf(_SC_PAGESIZE);
}

char* heapEnd()
{
    return static_cast<char*>(sbrk(0));
}

// The share of the pages of [from, to) in memory.
double residentShare(char* from, char* to)
{
    from = reinterpret_cast<char*>(reinterpret_cast<uintptr_t>(from) & ~uintptr_t(pageSize() - 1));
    std::vector<unsigned char> pages(size_t((to - from + pageSize() - 1) / pageSize()));
    if (mincore(from, size_t(to - from), pages.data()) != 0)
        return 0;
    return double(std::count_if(pages.begin(), pages.end(), [](unsigned char page) { return page & 1; })) /
           double(pages.size());
}

long minorFaultsOfThisThread()
{
    rusage usage{};
    getrusage(RUSAGE_THREAD, &usage);
    return usage.ru_minflt;
}

// Small blocks until the heap's break has moved; answers the blocks.
std::vector<void*> allocateUntilTheHeapGrows()
{
    std::vector<void*> blocks;
    for (char* const end = heapEnd(); heapEnd() == end;)
        blocks.push_back(std::malloc(4096));
    return blocks;
}

// A block the compiler cannot leave out, though nothing reads it.
void* allocate(size_t size)
{
    void* const block = std::malloc(size);
    asm volatile("" : : "r"(block) : "memory");
    return block;
}

void freeAll(std::vector<void*>& blocks)
{
    for (void* block : blocks)
        std::free(block);
    blocks.clear();
}

} // namespace

TEST(HeapGrowthAhead, SetsTheHeapAsideFaultedInBeforeTheMainThreadTouchesItAndGivesBackWhatIsLeft)
{
    SKIP_UNLESS_THE_C_LIBRARY_ALLOCATES();
    std::vector<void*> blocks;
    char* const before = heapEnd();
    {
        const HeapGrowthAhead ahead(kAside);
        const HeapGrowthAhead nested(kAside); // leaves the work to the outer scope
        ASSERT_TRUE(ahead.isGrowingAhead());
        EXPECT_FALSE(nested.isGrowingAhead());
        // Free blocks the heap held already count towards it.
        char* const grown = heapEnd();
        ASSERT_GE(grown - before, kAside / 2);

        // The worker's pages, waited for: a busy machine may hold it back, and the kernel may
        // refuse it a page now and then. The last megabyte holds the block kept and the heap's top.
        char* const aside = grown - (1 << 20);
        constexpr double kMostPages = 0.98;
        QElapsedTimer waited;
        waited.start();
        while (residentShare(before + pageSize(), aside) < kMostPages && waited.elapsed() < 20'000)
            QThread::msleep(5);
        ASSERT_GE(residentShare(before + pageSize(), aside), kMostPages);

        // Half of it taken in small blocks costs this thread hardly a fault, and the heap stays.
        const long faults = minorFaultsOfThisThread();
        const long blockCount = kAside / 2 / 4096;
        for (long i = 0; i < blockCount; ++i) {
            auto* block = static_cast<char*>(std::malloc(4096 - 64));
            block[0] = block[4000] = 1;
            blocks.push_back(block);
        }
        EXPECT_LT(minorFaultsOfThisThread() - faults, blockCount / 10);
        EXPECT_EQ(heapEnd(), grown);
    }
    // What the blocks left goes back as the scope closes.
    EXPECT_LT(heapEnd() - before, kAside * 3 / 4);
    freeAll(blocks);

    // Closed, the heap grows by the allocator's own small steps again.
    malloc_trim(0);
    char* const trimmed = heapEnd();
    blocks = allocateUntilTheHeapGrows();
    EXPECT_LT(heapEnd() - trimmed, kAside / 16);
    freeAll(blocks);
}

TEST(HeapGrowthAhead, ALargeBlockComesFromTheHeapSetAsideOnlyWhileAScopeIsOpen)
{
    SKIP_UNLESS_THE_C_LIBRARY_ALLOCATES();
    // A list of a million entries, grown as a paste or a copy grows it: apart from the heap, its
    // fresh pages would all be faulted in by the main thread.
    constexpr size_t kLarge = size_t(96) << 20;
    const auto inHeap = [](void* block) {
        return static_cast<char*>(block) < heapEnd() && static_cast<char*>(block) + kLarge <= heapEnd();
    };
    {
        const HeapGrowthAhead ahead(2 * kLarge);
        void* const block = std::malloc(kLarge);
        ASSERT_NE(block, nullptr);
        EXPECT_TRUE(inHeap(block));
        std::free(block);
    }
    void* const block = std::malloc(kLarge);
    ASSERT_NE(block, nullptr);
    EXPECT_FALSE(inHeap(block)) << "mapped apart again, and given back when freed";
    std::free(block);
}

// The allocator maps blocks above a threshold apart, and raises the threshold to a block of up
// to 32 MiB freed from there; any change of its settings stops that for good. In a child run, so
// that the allocator starts as a process starts it.
TEST(HeapGrowthAhead, LeavesTheAllocatorRaisingTheSizeItMapsBlocksApartAbove)
{
    SKIP_UNLESS_THE_C_LIBRARY_ALLOCATES();
    static const char* const kChildMarker = "QUORVANE_HEAP_GROWTH_AHEAD_THRESHOLD_CHILD";
    if (!testsupport::isChildRun(kChildMarker)) {
        testsupport::expectThisTestPassesInAChild(kChildMarker, {}, 60000);
        return;
    }
    // Whether a block of `size` is mapped apart right after one of its size was freed.
    const auto mappedAgain = [](size_t size) {
        std::free(allocate(size));
        const size_t mapped = mallinfo2().hblks;
        void* const block = allocate(size);
        const bool apart = mallinfo2().hblks > mapped;
        std::free(block);
        return apart;
    };
    ASSERT_FALSE(mappedAgain(size_t(2) << 20)) << "the allocator was started with fixed settings";
    {
        const HeapGrowthAhead ahead(kAside);
        ASSERT_TRUE(ahead.isGrowingAhead());
        std::free(allocate(size_t(1) << 20));
    }
    EXPECT_FALSE(mappedAgain(size_t(8) << 20));
    EXPECT_FALSE(mappedAgain(size_t(24) << 20));
}

// A worker whose thread cannot start (no address space for its stack) leaves the scope doing
// nothing, not counted open: the next scope grows the heap ahead.
TEST(HeapGrowthAhead, AScopeWhoseWorkerCannotStartSetsNothingAsideAndBlocksNoLaterOne)
{
    SKIP_UNLESS_THE_C_LIBRARY_ALLOCATES();
    static const char* const kChildMarker = "QUORVANE_HEAP_GROWTH_AHEAD_NO_THREAD_CHILD";
    if (!testsupport::isChildRun(kChildMarker)) {
        testsupport::expectThisTestPassesInAChild(kChildMarker, {}, 60000);
        return;
    }
    const auto addressSpace = [] {
        QFile status(QStringLiteral("/proc/self/status"));
        EXPECT_TRUE(status.open(QIODevice::ReadOnly));
        for (const QByteArray& line : status.readAll().split('\n')) {
            if (line.startsWith("VmSize:"))
                return line.mid(7).trimmed().split(' ').first().toLongLong() * 1024;
        }
        return 0LL;
    };
    // Room for the heap set aside, none for a thread's stack of a gigabyte.
    pthread_attr_t attributes, previous;
    ASSERT_EQ(pthread_getattr_default_np(&previous), 0);
    pthread_attr_init(&attributes);
    pthread_attr_setstacksize(&attributes, size_t(1) << 30);
    ASSERT_EQ(pthread_setattr_default_np(&attributes), 0);
    char* const before = heapEnd();
    {
        const testsupport::AddressSpaceLimit limit(addressSpace() + 4 * kAside);
        const HeapGrowthAhead failed(kAside);
        EXPECT_FALSE(failed.isGrowingAhead());
        EXPECT_LT(heapEnd() - before, kAside / 2) << "the heap set aside is given back at once";
    }
    ASSERT_EQ(pthread_setattr_default_np(&previous), 0);
    const HeapGrowthAhead later(kAside);
    EXPECT_TRUE(later.isGrowingAhead());
}
