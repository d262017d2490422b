// Where an interrupted rendering stops and goes on: layers and objects drawn before the stop
// are skipped, without being read, when it is taken up, every run draws something before it
// stops, and a stop inside a layer composed apart keeps that layer's image to draw on when
// taken up.

#include "platform/vantrix/render/RenderGate.h"
#include "platform/vantrix/render/RenderSteps.h"

#include <QThread>
#include <algorithm>
#include <atomic>
#include <gtest/gtest.h>
#include <ranges>
#include <thread>

using platform::RenderGate;
using platform::RenderSteps;
using Next = RenderSteps::Next;
using Position = RenderSteps::Position;
using Stop = RenderSteps::Stop;

namespace {

// Runs `render` inside the gate on a thread of its own, `untilStop` being called once the
// main thread is taking the gate back; answers where the rendering may be taken up.
std::optional<Stop> stopAfter(std::optional<Stop> resumeFrom, const std::function<void()>& render,
                              const std::function<void()>& afterStop)
{
    RenderGate& gate = RenderGate::instance();
    std::atomic<bool> entered{false};
    std::optional<Stop> stop;
    std::thread rendering([&] {
        while (!gate.tryEnter())
            QThread::msleep(1);
        {
            RenderSteps::Scope steps(resumeFrom);
            render();
            entered = true;
            while (!RenderGate::stopRequested())
                QThread::msleep(1);
            afterStop();
            stop = steps.takeStop();
        }
        gate.leave();
    });
    gate.waitLending([&] {
        while (!entered)
            QThread::msleep(1);
    });
    rendering.join();
    return stop;
}

} // namespace

TEST(RenderSteps, InterruptedRenderingsGoOnWhereTheyStopped)
{
    // Layer 0 drawn whole, 3 objects of layer 1, then the stop: taken up at layer 1, step 3.
    const auto firstRun = stopAfter(
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
    EXPECT_EQ(firstRun->at, (Position{1, 3}));

    // Taken up there: layer 0 and the 3 objects are skipped, 2 more drawn; a stop between
    // layers then goes on at the next layer.
    const auto secondRun = stopAfter(
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
    EXPECT_EQ(secondRun->at, (Position{2, 0}));

    // Asked to stop before reaching the place taken up: it gets there and draws one object
    // first, so that each loan, however short, goes further.
    const auto thirdRun = stopAfter(
        Stop{{1, 3}, {}},
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
    EXPECT_EQ(thirdRun->at, (Position{1, 4}));

    // A fresh start asked to stop at once draws an object first too.
    const auto fresh = stopAfter(
        std::nullopt, [] { EXPECT_TRUE(RenderSteps::beginLayer()); },
        [] {
            EXPECT_FALSE(RenderSteps::shouldStop());
            EXPECT_EQ(RenderSteps::nextStep(), Next::Draw);
            EXPECT_EQ(RenderSteps::nextStep(), Next::Stop);
        });
    ASSERT_TRUE(fresh);
    EXPECT_EQ(fresh->at, (Position{0, 1}));
}

TEST(RenderSteps, AStopInsideALayerComposedApartKeepsItsImage)
{
    // A faded group (composed apart) over leaf layers 1 and 2, a faded layer inside it for leaf
    // 2: stopped at its 3rd object, neither is composed and both images are kept, outermost first.
    const int group = 0, faded = 0;
    const auto imageOf = [](QRgb pixel) {
        QImage image(4, 4, QImage::Format_ARGB32_Premultiplied);
        image.fill(pixel);
        return image;
    };
    bool composed = true;
    const auto stopped = stopAfter(
        std::nullopt,
        [&] {
            EXPECT_TRUE(RenderSteps::beginLayer());
            EXPECT_EQ(RenderSteps::nextStep(), Next::Draw);
        },
        [&] {
            QImage outer = imageOf(qRgba(10, 0, 0, 255));
            const RenderSteps::Composing outerApart(&group, outer);
            EXPECT_TRUE(RenderSteps::beginLayer());
            QImage inner = imageOf(qRgba(0, 20, 0, 255));
            {
                const RenderSteps::Composing innerApart(&faded, inner);
                EXPECT_TRUE(RenderSteps::beginLayer());
                EXPECT_EQ(RenderSteps::nextStep(), Next::Stop);
                composed = !innerApart.stopped();
            }
            composed = composed || !outerApart.stopped();
        });
    ASSERT_TRUE(stopped);
    EXPECT_FALSE(composed);
    EXPECT_EQ(stopped->at, (Position{2, 0}));
    ASSERT_EQ(stopped->apart.size(), 2u);
    EXPECT_EQ(stopped->apart[0].layer, &group);
    EXPECT_EQ(stopped->apart[0].image.pixel(0, 0), qRgba(10, 0, 0, 255));
    EXPECT_EQ(stopped->apart[1].layer, &faded);
    EXPECT_EQ(stopped->apart[1].image.pixel(0, 0), qRgba(0, 20, 0, 255));

    // Taken up: each layer goes on with its own image, the layers met before are skipped, and
    // it runs to the end.
    const auto ended = stopAfter(stopped, [&] {
        EXPECT_FALSE(RenderSteps::beginLayer());
        QImage outer = imageOf(qRgba(0, 0, 0, 0));
        const RenderSteps::Composing outerApart(&group, outer);
        EXPECT_EQ(outer.pixel(0, 0), qRgba(10, 0, 0, 255));
        EXPECT_FALSE(RenderSteps::beginLayer());
        QImage inner = imageOf(qRgba(0, 0, 0, 0));
        const RenderSteps::Composing innerApart(&faded, inner);
        EXPECT_EQ(inner.pixel(0, 0), qRgba(0, 20, 0, 255));
        EXPECT_TRUE(RenderSteps::beginLayer());
        EXPECT_EQ(RenderSteps::nextStep(), Next::Draw);
        EXPECT_FALSE(innerApart.stopped());
    }, [] {});
    EXPECT_FALSE(ended);
}

TEST(RenderSteps, ALayerTakenUpDrawsWhatItCollectedBeforeTheStop)
{
    // Collecting the objects of a tile of a large map may take longer than a loan: taken up in
    // the layer it stopped in, a rendering draws what it had collected, after any number of
    // stops there; in another layer it collects again.
    int collected = 0;
    const auto beginAndCollect = [&] {
        EXPECT_TRUE(RenderSteps::beginLayer());
        const QList<int> items = RenderSteps::itemsToDraw([&] {
            ++collected;
            return QList<int>{10, 20, 30};
        });
        EXPECT_EQ(items, (QList<int>{10, 20, 30}));
    };
    const auto first = stopAfter(std::nullopt, beginAndCollect, [] {
        EXPECT_EQ(RenderSteps::nextStep(), Next::Draw);
        EXPECT_EQ(RenderSteps::nextStep(), Next::Stop);
    });
    ASSERT_TRUE(first);
    const auto second = stopAfter(first, beginAndCollect, [] {
        EXPECT_EQ(RenderSteps::nextStep(), Next::Skip);
        EXPECT_EQ(RenderSteps::nextStep(), Next::Draw);
        EXPECT_EQ(RenderSteps::nextStep(), Next::Stop);
    });
    ASSERT_TRUE(second);
    const auto third = stopAfter(second, beginAndCollect, [] {
        EXPECT_EQ(RenderSteps::nextStep(), Next::Skip);
        EXPECT_EQ(RenderSteps::nextStep(), Next::Skip);
        EXPECT_EQ(RenderSteps::nextStep(), Next::Draw);
    });
    EXPECT_FALSE(third);
    EXPECT_EQ(collected, 1);

    // Stopped after the layer, it goes on in the next one, which collects its own.
    const auto betweenLayers = stopAfter(
        first,
        [&] {
            beginAndCollect();
            EXPECT_EQ(RenderSteps::nextStep(), Next::Skip);
            EXPECT_EQ(RenderSteps::nextStep(), Next::Draw);
            EXPECT_EQ(RenderSteps::nextStep(), Next::Draw);
        },
        [] { EXPECT_TRUE(RenderSteps::shouldStop()); });
    ASSERT_TRUE(betweenLayers);
    EXPECT_EQ(betweenLayers->at, (Position{1, 0}));
    EXPECT_EQ(collected, 1);
    stopAfter(betweenLayers, [&] {
        EXPECT_FALSE(RenderSteps::beginLayer());
        beginAndCollect();
    }, [] {});
    EXPECT_EQ(collected, 2);
}

TEST(RenderSteps, ALayerTakenUpDeepInsideGoesStraightToItsPlace)
{
    // A layer drawn in two passes over its objects (shapes, then labels), taken up at several
    // places: each pass draws from the first object it had not drawn, and the objects drawn
    // before are not even read, so a tile taken up deep in a large map loses no time on them.
    constexpr int kObjects = 100000;
    for (const int stoppedAt : {1, 37, kObjects - 1, kObjects, kObjects + 40, 2 * kObjects - 1}) {
        int read = 0;
        const auto objects = std::views::iota(0, kObjects) | std::views::transform([&read](int i) {
                                 ++read;
                                 return i;
                             });
        std::vector<int> shapes, labels;
        const auto ended = stopAfter(
            Stop{{0, stoppedAt}, {}, {}},
            [&] {
                EXPECT_TRUE(RenderSteps::beginLayer());
                EXPECT_TRUE(RenderSteps::drawInSteps(objects, [&](int i) { shapes.push_back(i); }));
                EXPECT_TRUE(RenderSteps::drawInSteps(objects, [&](int i) { labels.push_back(i); }));
            },
            [] {});
        EXPECT_FALSE(ended);
        const int firstShape = std::min(stoppedAt, kObjects), firstLabel = std::max(stoppedAt - kObjects, 0);
        ASSERT_EQ(shapes.size(), size_t(kObjects - firstShape)) << "taken up at step " << stoppedAt;
        ASSERT_EQ(labels.size(), size_t(kObjects - firstLabel)) << "taken up at step " << stoppedAt;
        if (!shapes.empty())
            EXPECT_EQ(shapes.front(), firstShape);
        EXPECT_EQ(labels.front(), firstLabel) << "taken up at step " << stoppedAt;
        EXPECT_EQ(read, 2 * kObjects - stoppedAt) << "taken up at step " << stoppedAt;
    }
}
