#include "platform/vantrix/render/PoolPainting.h"

#include "support/LogCapture.h"

#include <gtest/gtest.h>

#include <atomic>
#include <stdexcept>
#include <vector>

using platform::paintInParallel;
using platform::paintOnPoolThread;

TEST(PoolPainting, AFailingPartIsLoggedAndTheOthersAreStillPainted)
{
    const testsupport::LogCapture log;
    constexpr qsizetype kParts = 64;
    std::vector<std::atomic<int>> paintedTimes(kParts);
    bool allPainted = true;
    EXPECT_NO_THROW(allPainted = paintInParallel(kParts, [&](qsizetype index) {
        if (index == 3)
            throw std::runtime_error("broken object");
        ++paintedTimes[size_t(index)];
    }));
    EXPECT_FALSE(allPainted);
    for (qsizetype i = 0; i < kParts; ++i)
        EXPECT_EQ(paintedTimes[size_t(i)], i == 3 ? 0 : 1) << i;
    EXPECT_TRUE(log.contains("painting failed: broken object"));

    EXPECT_TRUE(paintInParallel(kParts, [](qsizetype) {}));
    EXPECT_FALSE(paintOnPoolThread([] { throw 42; }));
    EXPECT_TRUE(paintOnPoolThread([] {}));
}
