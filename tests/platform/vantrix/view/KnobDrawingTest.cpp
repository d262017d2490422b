#include "platform/graphics/GraphicsContext.h"
#include "platform/vantrix/drawables/VXDrawablePath.h"
#include "platform/vantrix/drawables/VXDrawableShape.h"
#include "platform/vantrix/view/DevicePixel.h"
#include "platform/vantrix/view/KnobStampBatch.h"
#include "platform/vantrix/view/VXKnob.h"

#include <QImage>
#include <QPainter>
#include <QRandomGenerator>
#include <cmath>
#include <functional>
#include <optional>
#include <gtest/gtest.h>
#include <malloc.h>

namespace {

// What `draw` paints with `world` on a clear antialiased canvas at `ratio`.
QImage paintKnobs(const QTransform& world, qreal ratio, const std::function<void()>& draw)
{
    QImage image(QSize(120, 120) * ratio, QImage::Format_ARGB32_Premultiplied);
    image.setDevicePixelRatio(ratio);
    image.fill(Qt::transparent);
    QPainter painter(&image);
    painter.setRenderHint(QPainter::Antialiasing);
    painter.setWorldTransform(world);
    const platform::GraphicsContext::Scope context(&painter);
    draw();
    EXPECT_EQ(painter.worldTransform(), world); // left as it was
    return image;
}

// The box of pixels a knob drawn at `point` (drawing units) covers, in device pixels.
QRect knobPixels(const QTransform& world, QPointF point, int type, double angle, qreal ratio = 1)
{
    const QImage image = paintKnobs(world, ratio, [&] {
        VXKnob::knobs().drawKnobAtPointOfTypeAngleHighlightColour(point, type, angle, Qt::red);
    });
    QRect covered;
    for (int y = 0; y < image.height(); ++y)
        for (int x = 0; x < image.width(); ++x)
            if (qAlpha(image.pixel(x, y)) > 128)
                covered |= QRect(x, y, 1, 1);
    return covered;
}

} // namespace

TEST(KnobDrawing, UnturnedKnobsAreStampedWhereAndAsLargeAsTheirOutlines)
{
    const QTransform zoomed = QTransform::fromTranslate(7, 11).scale(2.5, 2.5);
    for (int type : {int(kVXBoundingRectKnobType), int(kVXRotationKnobType)}) {
        for (qreal ratio : {1.0, 2.0}) {
            SCOPED_TRACE(testing::Message() << "type " << type << " ratio " << ratio);
            // A turn too small to see takes the outline's way.
            const QRect stamped = knobPixels(zoomed, {14.3, 9.1}, type, 0, ratio);
            const QRect outlined = knobPixels(zoomed, {14.3, 9.1}, type, 1e-9, ratio);
            ASSERT_FALSE(stamped.isEmpty());
            EXPECT_LE(std::abs(stamped.center().x() - outlined.center().x()), ratio);
            EXPECT_LE(std::abs(stamped.center().y() - outlined.center().y()), ratio);
            EXPECT_LE(std::abs(stamped.width() - outlined.width()), ratio);
            EXPECT_NEAR(stamped.width(), VXKnob::controlKnobSize().width() * ratio, 2 * ratio);
        }
    }
    // A turned painter keeps drawing outlines, turned with it.
    const QTransform turned = QTransform().translate(60, 60).rotate(45);
    const QRect diamond = knobPixels(turned, {0, 0}, kVXBoundingRectKnobType, 0);
    EXPECT_GT(diamond.width(), VXKnob::controlKnobSize().width() * 1.3);
}

TEST(KnobDrawing, AnObjectsBoundsKnobsAreTheKnobsDrawnOneByOne)
{
    // Upright and turned, at one and two pixels per point under a zoom: the eight knobs drawn
    // together are pixel for pixel the eight drawn one at a time, and the painter is left as it was.
    const auto oneByOne = [](const platform::KnobBox& box) {
        for (int knob = kVXTopLeftKnob; knob <= kVXLeftKnob; ++knob)
            VXKnob::knobs().drawKnobAtPointOfTypeAngleHighlightColour(box.pointOfKnob(VXBoundsKnob(knob)),
                                                                      kVXBoundingRectKnobType, box.angle, Qt::red);
    };
    for (const double angle : {0.0, 0.4}) {
        const auto shape = VXDrawableShape::drawableShapeWithRect(QRectF(12.3, 20.6, 41.5, 27.2), nullptr);
        shape->rotateByAngle(angle);
        const platform::KnobBox box = platform::KnobBox::ofObject(*shape);
        for (const qreal ratio : {1.0, 2.0}) {
            const QTransform world = QTransform::fromScale(1.5, 1.5);
            const auto paint = [&](const std::function<void()>& draw) { return paintKnobs(world, ratio, draw); };
            const QImage together = paint([&] { VXKnob::knobs().drawBoundsKnobsOfObject(*shape, Qt::red); });
            EXPECT_EQ(together, paint([&] { oneByOne(box); })) << "angle " << angle << " ratio " << ratio;
            EXPECT_NE(together, paint([] {})) << "the knobs were drawn";
        }
    }
    // Boxes of a few device pixels at sub-pixel places, under zooms that move, flip and scale
    // each way apart: each knob lands on the pixel it lands on alone.
    QRandomGenerator random(3);
    const std::array<QTransform, 3> worlds{QTransform(0.37, 0, 0, 0.41, 13.3, 7.7), QTransform(1.3, 0, 0, -0.9, 2.6, 104.2),
                                           QTransform::fromTranslate(0.45, 0.55)};
    for (const QTransform& world : worlds) {
        for (const qreal ratio : {1.0, 2.0}) {
            for (int i = 0; i < 40; ++i) {
                const QPointF place(10 + random.bounded(60.0), 10 + random.bounded(60.0));
                const platform::KnobBox box{QRectF(place, QSizeF(2 + random.bounded(8.0), 2 + random.bounded(8.0)) /
                                                              (world.m11() * ratio)),
                                            0};
                EXPECT_EQ(paintKnobs(world, ratio, [&] { VXKnob::knobs().drawBoundsKnobsOnBox(box, Qt::red); }),
                          paintKnobs(world, ratio, [&] { oneByOne(box); }))
                    << "box " << i << " ratio " << ratio;
            }
        }
    }
}

// Drawing a selection keeps nothing per object: a million selected lines seen at once would
// otherwise hold gigabytes after the first paint.
TEST(KnobDrawing, DrawingTheSelectedStateOfManyObjectsKeepsNoMemoryForEach)
{
    constexpr int kObjects = 5000;
    QList<VXDrawableObjectPtr> lines;
    for (int i = 0; i < kObjects; ++i) {
        platform::BezierPath path;
        const QPointF start(i % 100, i / 100 * 2);
        path.appendBezierPathWithPoints(QPolygonF{start, start + QPointF(3, 1)});
        lines.append(VXDrawablePath::drawablePathWithBezierPathWithStyle(path, nullptr));
    }
    const auto inUse = [] { return double(mallinfo2().uordblks); };
    double before = 0;
    double after = 0;
    const QImage image = paintKnobs({}, 1, [&] {
        before = inUse();
        for (const VXDrawableObjectPtr& line : std::as_const(lines))
            line->drawSelectedState();
        after = inUse();
    });
    EXPECT_LT((after - before) / kObjects, 200) << "bytes kept per object";
    EXPECT_EQ(qAlpha(image.pixel(1, 0)), 255) << "the first line's outline or knobs are drawn";
}

// Knobs of a line on at most three device pixels each way cover every pixel its outline
// touches: drawn without the outline, the line looks the same, pixel for pixel, and the knobs
// of many such lines can be held back and drawn together.
TEST(KnobDrawing, TheKnobsOfABoxOnThreeDevicePixelsHideItsOutline)
{
    QRandomGenerator random(17);
    const QColor colour(20, 90, 200);
    for (const qreal ratio : {1.0, 2.0}) {
        const QTransform world = QTransform::fromScale(1.7, 1.7);
        int hidden = 0;
        for (int i = 0; i < 300; ++i) {
            const QPointF start(10 + random.bounded(40.0), 10 + random.bounded(40.0));
            // Up to 2.9 device pixels long each way: most lie on three pixels or fewer, some on four.
            const QPointF reach(random.bounded(2.9) / (1.7 * ratio), random.bounded(2.9) / (1.7 * ratio));
            platform::BezierPath path;
            path.appendBezierPathWithPoints(QPolygonF{start, start + reach});
            const auto line = VXDrawablePath::drawablePathWithBezierPathWithStyle(path, nullptr);
            const platform::KnobBox box = platform::KnobBox::ofObject(*line);
            bool hides = false;
            const QImage knobsAlone = paintKnobs(world, ratio, [&] {
                hides = VXKnob::knobs().boundsKnobsHideOutlineInBox(*platform::GraphicsContext::current()->painter(),
                                                                     box, colour);
                VXKnob::knobs().drawBoundsKnobsOnBox(box, colour);
            });
            const QImage outlined = paintKnobs(world, ratio, [&] {
                platform::GraphicsContext::current()->painter()->strokePath(line->path().painterPath(),
                                                                            QPen(colour, 0));
                VXKnob::knobs().drawBoundsKnobsOnBox(box, colour);
            });
            if (hides) {
                ++hidden;
                EXPECT_EQ(knobsAlone, outlined) << "line " << i << " ratio " << ratio;
            }
        }
        EXPECT_GT(hidden, 150) << "ratio " << ratio;
    }
}

// A file may place an object anywhere a double reaches: its knobs far off the device land on
// pixels an int holds and show nothing, while its knobs in view still show.
TEST(KnobDrawing, KnobsFarOffTheDeviceShowNothingAndLandOnPixelsAnIntHolds)
{
    constexpr int far = platform::kFarOffDevicePixel;
    EXPECT_EQ(platform::nearestDevicePixel(2.5), 3);
    EXPECT_EQ(platform::nearestDevicePixel(-2.5), -3);
    EXPECT_EQ(platform::nearestDevicePixel(far - 0.6), far - 1);
    EXPECT_EQ(platform::nearestDevicePixel(0.49999999999999994), 0);
    EXPECT_EQ(platform::nearestDevicePixel(-1e-300), 0);
    for (const double beyond : {double(far), 1.1e15, 6.7e25, 2.28824e+86, HUGE_VAL, std::nan("")}) {
        EXPECT_EQ(platform::nearestDevicePixel(beyond), far) << beyond;
        if (!std::isnan(beyond)) {
            EXPECT_EQ(platform::nearestDevicePixel(-beyond), -far) << beyond;
        }
    }

    const QColor colour(200, 30, 60);
    for (const double reach : {1.1e15, 6.7e25, 2.28824e+86}) {
        // Reaching right and down from the view: only the knobs on its left and top edges show.
        const platform::KnobBox box{QRectF(20, 30, reach, reach), 0};
        for (const bool held : {false, true}) {
            const auto knobs = [&](const std::function<void()>& draw) {
                return paintKnobs(QTransform::fromScale(1.5, 1.5), 1, [&] {
                    std::optional<platform::KnobStampBatch> batch;
                    if (held)
                        batch.emplace(*platform::GraphicsContext::current()->painter());
                    draw();
                });
            };
            const QImage drawn = knobs([&] {
                VXKnob::knobs().drawBoundsKnobsOnBox(box, colour);
                VXKnob::knobs().drawRotationKnobOnBox(box, colour);
            });
            const QImage inView = knobs([&] {
                for (const VXBoundsKnob knob : {kVXTopLeftKnob, kVXTopKnob, kVXTopRightKnob, kVXLeftKnob,
                                                kVXBottomLeftKnob})
                    if (const QPointF point = box.pointOfKnob(knob); point.x() < 100 && point.y() < 100)
                        VXKnob::knobs().drawKnobAtPointOfTypeAngleHighlightColour(point, kVXBoundingRectKnobType,
                                                                                  0, colour);
            });
            EXPECT_EQ(drawn, inView) << reach << (held ? " held" : "");
            EXPECT_NE(drawn, knobs([] {})) << "the top left knob shows";
        }
    }
}
