#include "platform/foundation/GradualRelease.h"

#include <QCoreApplication>
#include <QElapsedTimer>
#include <QThread>
#include <QTimer>
#include <gtest/gtest.h>
#include <set>
#include <unordered_map>

using platform::GradualRelease;

namespace {

// Slow to destroy, as an object with a large path and many attributes is; records the order.
struct Heavy {
    Heavy(int number, std::vector<int>& destroyed) : number(number), destroyed(destroyed) {}
    ~Heavy()
    {
        QElapsedTimer clock;
        clock.start();
        while (clock.nsecsElapsed() < 200'000) {
        }
        destroyed.push_back(number);
    }
    int number;
    std::vector<int>& destroyed;
};

QList<std::shared_ptr<Heavy>> heavyObjects(int count, std::vector<int>& destroyed)
{
    QList<std::shared_ptr<Heavy>> objects;
    for (int i = 0; i < count; ++i)
        objects.append(std::make_shared<Heavy>(i, destroyed));
    return objects;
}

} // namespace

TEST(GradualRelease, DropsTheLastReferencesASliceAtATimeInTheOrderHandedOver)
{
    std::vector<int> destroyed;
    constexpr int kCount = 500; // 100 ms of destruction
    GradualRelease::releaseLater(heavyObjects(kCount, destroyed));
    EXPECT_TRUE(destroyed.empty());
    EXPECT_EQ(GradualRelease::pendingCount(), kCount);

    // Counted rather than timed: a busy test machine stretches a turn, not the share it frees.
    QCoreApplication::processEvents();
    EXPECT_GT(destroyed.size(), 0u);
    EXPECT_LT(destroyed.size(), size_t(kCount / 2));

    QElapsedTimer clock;
    clock.start();
    while (GradualRelease::pendingCount() > 0 && clock.elapsed() < 5000)
        QCoreApplication::processEvents();
    ASSERT_EQ(destroyed.size(), size_t(kCount));
    for (int i = 0; i < kCount; ++i)
        ASSERT_EQ(destroyed[i], i);
}

TEST(GradualRelease, TakesTablesAndVectorsAndWhatTheirElementsHandOverWhileGoing)
{
    std::vector<int> destroyed;
    std::unordered_map<int, std::shared_ptr<Heavy>> table;
    for (const auto& object : heavyObjects(30, destroyed))
        table.emplace(object->number, object);
    // Each of these hands over three more as it goes, as a layer hands over its objects.
    struct HandingOver {
        std::vector<int>* destroyed;
        int number;
        ~HandingOver()
        {
            QList<std::shared_ptr<Heavy>> more;
            for (int i = 0; i < 3; ++i)
                more.append(std::make_shared<Heavy>(1000 + number * 10 + i, *destroyed));
            GradualRelease::releaseLater(std::move(more));
        }
    };
    std::vector<std::unique_ptr<HandingOver>> handing;
    for (int i = 0; i < 4; ++i)
        handing.push_back(std::unique_ptr<HandingOver>(new HandingOver{&destroyed, i}));

    GradualRelease::releaseLater(std::move(table));
    GradualRelease::releaseLater(std::move(handing));
    EXPECT_TRUE(table.empty());
    EXPECT_EQ(GradualRelease::pendingCount(), 34);
    GradualRelease::releaseAll();
    EXPECT_EQ(GradualRelease::pendingCount(), 0);
    ASSERT_EQ(destroyed.size(), 42u);
    EXPECT_EQ(std::set<int>(destroyed.begin(), destroyed.begin() + 30).size(), 30u);
    // The vector goes last to first, each element's hand-over after what was waiting.
    const std::vector<int> handedOver(destroyed.begin() + 30, destroyed.end());
    EXPECT_EQ(handedOver, (std::vector<int>{1030, 1031, 1032, 1020, 1021, 1022, 1010, 1011, 1012, 1000, 1001, 1002}));
}

TEST(GradualRelease, ReleasesEverythingAtOnceWhenAsked)
{
    std::vector<int> destroyed;
    GradualRelease::releaseLater(heavyObjects(20, destroyed));
    GradualRelease::releaseAll();
    EXPECT_EQ(destroyed.size(), 20u);
    EXPECT_EQ(GradualRelease::pendingCount(), 0);
}

TEST(GradualRelease, KeepsNothingHandedOverOffTheMainThread)
{
    std::vector<int> destroyed;
    QThread* worker = QThread::create([&] { GradualRelease::releaseLater(heavyObjects(5, destroyed)); });
    worker->start();
    worker->wait();
    delete worker;
    EXPECT_EQ(destroyed.size(), 5u);
    EXPECT_EQ(GradualRelease::pendingCount(), 0);
}

TEST(GradualRelease, AQuitReleasesWhatIsStillWaitingWhileTheApplicationIsWhole)
{
    std::vector<int> destroyed;
    constexpr int kCount = 500;
    GradualRelease::releaseLater(heavyObjects(kCount, destroyed));
    QTimer::singleShot(0, QCoreApplication::instance(), &QCoreApplication::quit);
    QCoreApplication::exec();
    EXPECT_EQ(destroyed.size(), size_t(kCount));
    EXPECT_EQ(GradualRelease::pendingCount(), 0);
}
