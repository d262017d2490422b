#include "symbols/masters/SymbolGraphicCopies.h"

#include "platform/vantrix/drawables/VXDrawableShape.h"

#include <QPointer>
#include <gtest/gtest.h>
#include <atomic>
#include <barrier>
#include <thread>

namespace {

struct CountingCopies {
    SymbolGraphicCopies copies;
    int made = 0;

    SymbolGraphicCopies::Loan borrow()
    {
        return copies.borrow([this] {
            ++made;
            return VXDrawableShape::drawableShapeWithRect({0, 0, 4, 4}, nullptr);
        });
    }
};

} // namespace

TEST(SymbolGraphicCopies, ReturnedCopiesAreReusedUntilClearedAndThoseLentOutThenAreDropped)
{
    CountingCopies pool;
    QPointer<VXDrawableObject> first, second;
    {
        const auto a = pool.borrow();
        const auto b = pool.borrow();
        EXPECT_NE(&*a, &*b);
        first = &*a;
        second = &*b;
    }
    EXPECT_EQ(pool.copies.idleCount(), 2);
    {
        const auto again = pool.borrow();
        const auto other = pool.borrow();
        EXPECT_EQ(pool.made, 2);
        pool.copies.clear();
    }
    EXPECT_EQ(pool.copies.idleCount(), 0) << "copies of a replaced graphic are not kept";
    EXPECT_TRUE(first.isNull() && second.isNull());
    { const auto fresh = pool.borrow(); }
    EXPECT_EQ(pool.made, 3);
    EXPECT_EQ(pool.copies.idleCount(), 1);
}

TEST(SymbolGraphicCopies, ThreadsBorrowingAtOnceNeverShareACopy)
{
    SymbolGraphicCopies copies;
    std::atomic<int> made = 0;
    std::atomic<int> shared = 0;
    constexpr int kThreads = 8;
    constexpr int kRounds = 500;
    const QString key = QStringLiteral("holder");
    std::barrier start(kThreads);
    const auto work = [&](int thread) {
        start.arrive_and_wait();
        for (int round = 0; round < kRounds; ++round) {
            const auto loan = copies.borrow([&] {
                ++made;
                return VXDrawableShape::drawableShapeWithRect({0, 0, 4, 4}, nullptr);
            });
            // While lent, a copy is this thread's alone: it keeps what this thread wrote.
            loan->setUserInfoObjectForKey(thread * kRounds + round, key);
            std::this_thread::yield();
            shared += loan->userInfoObjectForKey(key).toInt() != thread * kRounds + round;
        }
    };
    std::vector<std::thread> threads;
    for (int i = 0; i < kThreads; ++i)
        threads.emplace_back(work, i);
    for (std::thread& thread : threads)
        thread.join();
    EXPECT_EQ(shared, 0);
    EXPECT_LE(made, kThreads);
    EXPECT_EQ(copies.idleCount(), made);
}
