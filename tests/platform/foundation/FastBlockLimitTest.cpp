#include "platform/foundation/AllocatorTunables.h"
#include "platform/foundation/FastBlockLimit.h"
#include "platform/foundation/GradualRelease.h"
#include "support/CLibraryAllocator.h"
#include "support/ChildRun.h"

#include <QCoreApplication>
#include <QElapsedTimer>
#include <gtest/gtest.h>
#include <memory>

#if defined(__GLIBC__)
#include <malloc.h>
#endif

namespace fastblocklimit = platform::fastblocklimit;

TEST(AllocatorTunables, TheLastSettingOfANameIsReadAndOthersAreLeftAlone)
{
    const QByteArray topPad = QByteArrayLiteral("glibc.malloc.top_pad");
    EXPECT_EQ(platform::allocatorTunable(nullptr, topPad), std::nullopt);
    EXPECT_EQ(platform::allocatorTunable("glibc.malloc.top_pad_x=5:glibc.malloc.mxfast=0", topPad), std::nullopt);
    EXPECT_EQ(platform::allocatorTunable("glibc.malloc.top_pad=0x1000000", topPad), 0x1000000ULL);
    EXPECT_EQ(platform::allocatorTunable("glibc.malloc.top_pad=7:glibc.malloc.check=3:glibc.malloc.top_pad=0", topPad), 0ULL);
}

TEST(FastBlockLimit, IsReadFromTheAllocatorSettingsAsTheAllocatorReadsThem)
{
    constexpr int kDefault = 64 * sizeof(size_t) / 4;
    EXPECT_EQ(fastblocklimit::setBy(nullptr), kDefault);
    EXPECT_EQ(fastblocklimit::setBy(""), kDefault);
    EXPECT_EQ(fastblocklimit::setBy("glibc.malloc.mxfast=32"), 32);
    EXPECT_EQ(fastblocklimit::setBy("glibc.malloc.tcache_count=0:glibc.malloc.mxfast=0"), 0);
    EXPECT_EQ(fastblocklimit::setBy("glibc.malloc.mxfast=0x30:glibc.malloc.check=3"), 48);
    EXPECT_EQ(fastblocklimit::setBy("glibc.malloc.mxfast=040"), 32);
    EXPECT_EQ(fastblocklimit::setBy("glibc.malloc.mxfast=24 bytes"), 24);
    EXPECT_EQ(fastblocklimit::setBy("glibc.malloc.mxfast=16:glibc.malloc.mxfast=48"), 48);
    // Beyond the largest the allocator takes, even after one it took.
    EXPECT_EQ(fastblocklimit::setBy("glibc.malloc.mxfast=16:glibc.malloc.mxfast=161"), kDefault);
    EXPECT_EQ(fastblocklimit::setBy("glibc.malloc.mxfast=160"), 160);
    EXPECT_EQ(fastblocklimit::setBy("glibc.malloc.mxfast=-5"), kDefault);
    EXPECT_EQ(fastblocklimit::setBy("glibc.malloc.mxfast"), kDefault);
    EXPECT_EQ(fastblocklimit::setBy("my.glibc.malloc.mxfast=32:glibc.malloc.mxfast2=32"), kDefault);
}

#if defined(__GLIBC__)
namespace {

// How many of `count` freed blocks of `size` bytes the allocator keeps in its fast lists.
int freedIntoFastLists(size_t size, int count)
{
    std::vector<void*> blocks;
    for (int i = 0; i < 2 * count; ++i)
        blocks.push_back(std::malloc(size)); // every other one stays, so no two freed ones meet
    const size_t before = mallinfo2().smblks;
    for (int i = 0; i < 2 * count; i += 2)
        std::free(blocks[i]);
    const size_t after = mallinfo2().smblks;
    for (int i = 1; i < 2 * count; i += 2)
        std::free(blocks[i]);
    return int(after - before);
}

void releaseASlice()
{
    std::vector<std::unique_ptr<int>> elements;
    elements.push_back(std::make_unique<int>(1));
    platform::GradualRelease::releaseLater(std::move(elements));
    QElapsedTimer clock;
    clock.start();
    while (platform::GradualRelease::pendingCount() > 0 && clock.elapsed() < 5000)
        QCoreApplication::processEvents(QEventLoop::WaitForMoreEvents, 20);
    ASSERT_EQ(platform::GradualRelease::pendingCount(), 0);
}

} // namespace

// A slice turns the fast lists off while it frees; afterwards small blocks go back to them up
// to the limit the process started with, in a child run of this executable started with its own.
TEST(FastBlockLimit, ASliceOfReleasesPutsBackTheLimitTheProcessStartedWith)
{
    SKIP_UNLESS_THE_C_LIBRARY_ALLOCATES();
    // Allocator blocks of 32 and of 80 bytes; the first few freed of a size go to a thread cache,
    // which earlier work may have left partly full.
    constexpr size_t kSmall = 24, kMiddling = 72;
    constexpr int kFreed = 40, kMost = kFreed / 2;
    static const char* const kChildMarker = "QUORVANE_FAST_BLOCK_LIMIT_CHILD";
    if (!testsupport::isChildRun(kChildMarker)) {
        releaseASlice();
        EXPECT_GE(freedIntoFastLists(kMiddling, kFreed), kMost) << "with the allocator's default";
        testsupport::expectThisTestPassesInAChild(
            kChildMarker, {{QStringLiteral("GLIBC_TUNABLES"), QStringLiteral("glibc.malloc.mxfast=32")}}, 60000);
        return;
    }
    ASSERT_EQ(fastblocklimit::atStart(), 32);
    releaseASlice();
    EXPECT_GE(freedIntoFastLists(kSmall, kFreed), kMost);
    EXPECT_LE(freedIntoFastLists(kMiddling, kFreed), 2) << "fast lists grown back to the allocator's default";
}
#endif
