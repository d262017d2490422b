// Where an interrupted rendering stops and goes on: layers and objects drawn before the stop
// are skipped when it is taken up, a rendering taken up draws something before it stops again,
// and a stop inside a layer composed apart starts over.

#include "platform/vantrix/render/RenderGate.h"
#include "platform/vantrix/render/RenderSteps.h"

#include <QThread>
#include <atomic>
#include <gtest/gtest.h>
#include <thread>

using platform::RenderGate;
using platform::RenderSteps;
using Next = RenderSteps::Next;
using Position = RenderSteps::Position;

namespace {

// Runs `render` inside the gate on a thread of its own, `untilStop` being called once the
// main thread is taking the gate back; answers where the rendering may be taken up.
std::optional<Position> positionAfterStop(std::optional<Position> resumeFrom, const std::function<void()>& render,
                                          const std::function<void()>& afterStop)
{
    RenderGate& gate = RenderGate::instance();
    std::atomic<bool> entered{false};
    std::optional<Position> position;
    std::thread rendering([&] {
        while (!gate.tryEnter())
            QThread::msleep(1);
        {
            const RenderSteps::Scope steps(resumeFrom);
            render();
            entered = true;
            while (!RenderGate::stopRequested())
                QThread::msleep(1);
            afterStop();
            position = steps.resumablePosition();
        }
        gate.leave();
    });
    gate.waitLending([&] {
        while (!entered)
            QThread::msleep(1);
    });
    rendering.join();
    return position;
}

} // namespace

TEST(RenderSteps, InterruptedRenderingsGoOnWhereTheyStopped)
{
    // Layer 0 drawn whole, 3 objects of layer 1, then the stop: taken up at layer 1, step 3.
    const auto firstRun = positionAfterStop(
        std::nullopt,
        [] {
            EXPECT_TRUE(RenderSteps::beginLayer());
            EXPECT_EQ(RenderSteps::nextStep(), Next::Draw);
            EXPECT_TRUE(RenderSteps::beginLayer());
            for (int i = 0; i < 3; ++i)
                EXPECT_EQ(RenderSteps::nextStep(), Next::Draw);
        },
        [] { EXPECT_EQ(RenderSteps::nextStep(), Next::Stop); });
    ASSERT_TRUE(firstRun);
    EXPECT_EQ(*firstRun, (Position{1, 3}));

    // Taken up there: layer 0 and the 3 objects are skipped, 2 more drawn; a stop between
    // layers then goes on at the next layer.
    const auto secondRun = positionAfterStop(
        firstRun,
        [] {
            EXPECT_FALSE(RenderSteps::beginLayer());
            EXPECT_TRUE(RenderSteps::beginLayer());
            for (int i = 0; i < 3; ++i)
                EXPECT_EQ(RenderSteps::nextStep(), Next::Skip);
            for (int i = 0; i < 2; ++i)
                EXPECT_EQ(RenderSteps::nextStep(), Next::Draw);
        },
        [] { EXPECT_TRUE(RenderSteps::shouldStop()); });
    ASSERT_TRUE(secondRun);
    EXPECT_EQ(*secondRun, (Position{2, 0}));

    // Asked to stop before reaching the place taken up: it gets there and draws one object
    // first, so that each loan, however short, goes further.
    const auto thirdRun = positionAfterStop(
        Position{1, 3},
        [] {
            EXPECT_FALSE(RenderSteps::beginLayer());
            EXPECT_TRUE(RenderSteps::beginLayer());
            EXPECT_EQ(RenderSteps::nextStep(), Next::Skip);
        },
        [] {
            EXPECT_FALSE(RenderSteps::shouldStop());
            EXPECT_EQ(RenderSteps::nextStep(), Next::Skip);
            EXPECT_EQ(RenderSteps::nextStep(), Next::Skip);
            EXPECT_EQ(RenderSteps::nextStep(), Next::Draw);
            EXPECT_EQ(RenderSteps::nextStep(), Next::Stop);
        });
    ASSERT_TRUE(thirdRun);
    EXPECT_EQ(*thirdRun, (Position{1, 4}));

    // Stopped inside a layer composed apart: nothing to take up.
    const auto composed = positionAfterStop(
        std::nullopt, [] { EXPECT_TRUE(RenderSteps::beginLayer()); },
        [] {
            const RenderSteps::Composing apart;
            EXPECT_EQ(RenderSteps::nextStep(), Next::Stop);
        });
    EXPECT_FALSE(composed);
}
