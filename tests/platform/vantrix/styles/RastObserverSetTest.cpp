#include "platform/vantrix/styles/RastObserverSet.h"
#include "platform/vantrix/styles/VXFill.h"
#include "platform/vantrix/styles/VXStyle.h"

#include <QObject>
#include <malloc.h>
#include <memory>
#include <vector>
#include <gtest/gtest.h>

namespace {

// As a drawable observes its style: it stops observing before it goes, so it is not tracked.
struct Drawn : VXRasterizerObserver {
    int told = 0;
    void rasterizerWillChangeKeyPath(VXRasterizer*, const QString&) override { ++told; }
    void rasterizerDidChangeKeyPath(VXRasterizer*, const QString&) override { ++told; }
    bool stopsObservingBeforeDestruction() const override { return true; }
};

// As a view observes a component: forgotten when it is destroyed.
struct Watching : QObject, VXRasterizerObserver {
    int told = 0;
    void rasterizerWillChangeKeyPath(VXRasterizer*, const QString&) override { ++told; }
    void rasterizerDidChangeKeyPath(VXRasterizer*, const QString&) override { ++told; }
};

std::vector<VXRasterizerObserver*> liveObservers(const RastObserverSet& set)
{
    std::vector<VXRasterizerObserver*> live;
    set.forEachLive([&](VXRasterizerObserver* observer) { live.push_back(observer); });
    return live;
}

} // namespace

TEST(RastObserverSet, HoldsEachObserverOnceAndForgetsTrackedObserversOnceDestroyed)
{
    RastObserverSet set;
    Drawn a, b;
    set.insert(&a, nullptr);
    set.insert(&a, nullptr);
    EXPECT_EQ(set.size(), 1);
    EXPECT_FALSE(set.remove(&b));
    set.insert(&b, nullptr);
    set.insert(&a, nullptr);
    EXPECT_EQ(set.size(), 2);
    EXPECT_TRUE(set.remove(&a));
    EXPECT_FALSE(set.remove(&a));
    EXPECT_EQ(liveObservers(set), std::vector<VXRasterizerObserver*>{&b});

    auto watching = std::make_unique<Watching>();
    set.insert(watching.get(), watching.get());
    EXPECT_TRUE(set.containsLive(watching.get()));
    VXRasterizerObserver* gone = watching.get();
    watching.reset();
    EXPECT_FALSE(set.containsLive(gone));
    EXPECT_EQ(liveObservers(set), std::vector<VXRasterizerObserver*>{&b});
    EXPECT_EQ(set.removeGone(), 1);
    EXPECT_EQ(set.size(), 1);
    EXPECT_TRUE(set.remove(&b));
    EXPECT_EQ(set.size(), 0);
    EXPECT_TRUE(liveObservers(set).empty());
}

// Each object of a map observes its style's components: where each has a style of its own, the
// observation must cost the component nothing, and a style shared by a pasted million must
// give back what it took for them once the paste is undone.
TEST(RastObserverSet, AnObjectAloneOnItsStyleCostsNothingAndAnUndonePasteGivesBackItsTable)
{
    constexpr int kStyles = 2000;
    std::vector<VXStylePtr> styles;
    std::vector<Drawn> drawn(kStyles);
    for (int i = 0; i < kStyles; ++i)
        styles.push_back(VXStyle::styleWithFillColourStrokeColour(Qt::white, Qt::black));
    size_t before = mallinfo2().uordblks;
    for (int i = 0; i < kStyles; ++i)
        styles[i]->renderersOfClass<VXFill>().first()->addRastObserver(&drawn[i]);
    EXPECT_LT(double(mallinfo2().uordblks - before) / kStyles, 8) << "bytes for each object alone on its style";

    constexpr int kPasted = 200'000;
    const VXFillPtr shared = styles.front()->renderersOfClass<VXFill>().first();
    std::vector<Drawn> pasted(kPasted);
    shared->setColour(Qt::blue); // what a first edit sets up for good
    before = mallinfo2().uordblks;
    for (Drawn& observer : pasted)
        shared->addRastObserver(&observer);
    EXPECT_EQ(shared->rastObservers().size(), kPasted + 1);
    shared->setColour(Qt::red);
    EXPECT_EQ(pasted.back().told, 2);
    EXPECT_EQ(drawn.front().told, 4);
    for (Drawn& observer : pasted)
        shared->removeRastObserver(&observer);
    // The table for them took 2 MB; a few pages of the allocator's own may stay.
    EXPECT_LT(double(mallinfo2().uordblks) - double(before), 128 * 1024) << "bytes kept after the paste's undo";
    EXPECT_EQ(shared->rastObservers(), QList<VXRasterizerObserver*>{&drawn.front()});
}
