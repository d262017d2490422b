#include "platform/foundation/HeapGrowthAhead.h"

#include <QElapsedTimer>
#include <QThread>
#include <gtest/gtest.h>
#include <cstdint>
#include <cstdlib>
#include <malloc.h>
#include <sys/mman.h>
#include <sys/resource.h>
#include <unistd.h>
#include <vector>

namespace {

using platform::HeapGrowthAhead;

long pageSize()
{
    return sysconf(_SC_PAGESIZE);
}

char* heapEnd()
{
    return static_cast<char*>(sbrk(0));
}

// Whether every page of [from, to) is in memory.
bool resident(char* from, char* to)
{
    from = reinterpret_cast<char*>(reinterpret_cast<uintptr_t>(from) & ~uintptr_t(pageSize() - 1));
    std::vector<unsigned char> pages(size_t((to - from + pageSize() - 1) / pageSize()));
    if (mincore(from, size_t(to - from), pages.data()) != 0)
        return false;
    return std::all_of(pages.begin(), pages.end(), [](unsigned char page) { return page & 1; });
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

} // namespace

TEST(HeapGrowthAhead, TheHeapGrowsALongStepWhosePagesAreInBeforeTheMainThreadTouchesThem)
{
    std::vector<void*> blocks;
    {
        const HeapGrowthAhead ahead;
        const HeapGrowthAhead nested; // leaves the work to the outer scope
        char* const before = heapEnd();
        blocks = allocateUntilTheHeapGrows();
        char* const grown = heapEnd();
        EXPECT_GE(grown - before, HeapGrowthAhead::kStepBytes);

        // The worker's pages, waited for: a busy machine may hold it back.
        char* const top = static_cast<char*>(blocks.back()) + 4096;
        QElapsedTimer waited;
        waited.start();
        while (!resident(top, grown) && waited.elapsed() < 20'000)
            QThread::msleep(5);
        ASSERT_TRUE(resident(top, grown));

        // Half the step taken in small blocks costs this thread hardly a fault.
        const long faults = minorFaultsOfThisThread();
        const long blockCount = HeapGrowthAhead::kStepBytes / 2 / 4096;
        for (long i = 0; i < blockCount; ++i) {
            auto* block = static_cast<char*>(std::malloc(4096 - 64));
            block[0] = block[4000] = 1;
            blocks.push_back(block);
        }
        EXPECT_LT(minorFaultsOfThisThread() - faults, blockCount / 10);
    }
    for (void* block : blocks)
        std::free(block);

    // Closed, the heap grows by the allocator's own small steps again.
    malloc_trim(0);
    char* const before = heapEnd();
    blocks = allocateUntilTheHeapGrows();
    EXPECT_LT(heapEnd() - before, HeapGrowthAhead::kStepBytes / 4);
    for (void* block : blocks)
        std::free(block);
}

TEST(HeapGrowthAhead, ALargeBlockComesFromTheHeapItGrowsOnlyWhileAScopeIsOpen)
{
    // A list of a million entries, grown as a paste or a copy grows it: apart from the heap, its
    // fresh pages would all be faulted in by the main thread.
    constexpr size_t kLarge = size_t(96) << 20;
    const auto inHeap = [](void* block) {
        return static_cast<char*>(block) < heapEnd() && static_cast<char*>(block) + kLarge <= heapEnd();
    };
    {
        const HeapGrowthAhead ahead;
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
