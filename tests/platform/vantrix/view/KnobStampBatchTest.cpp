// Knob stamps held back over a pass: those that later opaque ones cover are left out, and
// what shows is the same pixel for pixel as stamping each at once.

#include "platform/vantrix/view/KnobStampBatch.h"

#include <QPainter>
#include <QPicture>
#include <QRandomGenerator>
#include <gtest/gtest.h>

namespace {

// A knob-like image: an opaque middle, a soft edge unless `hard`, and a clear margin.
QImage knob(int side, bool round, QColor colour, bool hard = false)
{
    QImage image(side, side, QImage::Format_ARGB32_Premultiplied);
    image.fill(Qt::transparent);
    QPainter painter(&image);
    painter.setRenderHint(QPainter::Antialiasing, !hard);
    painter.setPen(QPen(Qt::white, 0));
    painter.setBrush(colour);
    const QRectF body(2.5, 2.3, side - 5.2, side - 4.9);
    if (round)
        painter.drawEllipse(body);
    else
        painter.drawRect(body);
    return image;
}

struct Stamp {
    int image;
    QPoint corner;
};

// `stamps` drawn one by one, or held in a batch; `drawn` gets how many the batch drew.
QImage stamped(const QList<QImage>& images, const std::vector<Stamp>& stamps, bool held, qsizetype* drawn = nullptr)
{
    QImage canvas(150, 97, QImage::Format_ARGB32_Premultiplied);
    canvas.fill(QColor(250, 240, 200));
    QPainter painter(&canvas);
    painter.scale(0.3, 0.3); // stamps are placed on device pixels whatever the world
    platform::KnobStampBatch batch(painter);
    for (const Stamp& stamp : stamps) {
        if (held && batch.canHoldFor(painter)) {
            batch.hold(images[stamp.image], stamp.corner);
        } else {
            const QTransform world = painter.worldTransform();
            painter.resetTransform();
            painter.drawImage(stamp.corner, images[stamp.image]);
            painter.setWorldTransform(world);
        }
    }
    const qsizetype count = batch.flush();
    if (drawn)
        *drawn = count;
    return canvas;
}

} // namespace

TEST(KnobStampBatch, LeavesOutCoveredStampsAndShowsTheSamePixels)
{
    const QList<QImage> images{knob(16, false, Qt::blue), knob(14, true, QColor(200, 30, 30)),
                               knob(70, false, Qt::darkGreen), // too wide to be told covered
                               knob(12, false, Qt::blue, true)};
    QRandomGenerator random(5);
    std::vector<Stamp> crowded;
    for (int i = 0; i < 20000; ++i) // about 20 stamps on every pixel, some past every edge
        crowded.push_back({int(random.bounded(2)), QPoint(random.bounded(-20, 160), random.bounded(-20, 105))});
    crowded.insert(crowded.begin() + 500, {2, QPoint(-30, 40)});
    crowded.insert(crowded.begin() + 9000, {2, QPoint(100, -10)});
    qsizetype drawn = 0;
    EXPECT_EQ(stamped(images, crowded, true, &drawn), stamped(images, crowded, false));
    EXPECT_LT(drawn, 4000) << "of " << crowded.size();
    EXPECT_GE(drawn, 2);

    // Apart, every stamp shows. Piled on one spot, soft edges add up, so all of those show,
    // while only the last of hard-edged ones does.
    std::vector<Stamp> apart, piled, piledHard;
    for (int i = 0; i < 40; ++i) {
        apart.push_back({i % 2, QPoint(-6 + 17 * (i % 10), -4 + 25 * (i / 10))});
        piled.push_back({0, QPoint(63, 40)});
        piledHard.push_back({3, QPoint(63, 40)});
    }
    EXPECT_EQ(stamped(images, apart, true, &drawn), stamped(images, apart, false));
    EXPECT_EQ(drawn, 40);
    EXPECT_EQ(stamped(images, piled, true, &drawn), stamped(images, piled, false));
    EXPECT_EQ(drawn, 40);
    EXPECT_EQ(stamped(images, piledHard, true, &drawn), stamped(images, piledHard, false));
    EXPECT_EQ(drawn, 1);
}

TEST(KnobStampBatch, HoldsOnlyWhatItCanTellCovered)
{
    QImage canvas(40, 40, QImage::Format_ARGB32_Premultiplied);
    QPainter painter(&canvas);
    const platform::KnobStampBatch batch(painter);
    QImage elsewhere(40, 40, QImage::Format_ARGB32_Premultiplied);
    QPainter other(&elsewhere);
    EXPECT_FALSE(batch.canHoldFor(other));
    painter.setOpacity(0.5);
    EXPECT_FALSE(batch.canHoldFor(painter));
    painter.setOpacity(1);
    painter.setCompositionMode(QPainter::CompositionMode_Plus);
    EXPECT_FALSE(batch.canHoldFor(painter));
    painter.setCompositionMode(QPainter::CompositionMode_SourceOver);
    EXPECT_TRUE(batch.canHoldFor(painter));

    QPicture picture; // drawn again later, anywhere
    QPainter recording(&picture);
    EXPECT_FALSE(platform::KnobStampBatch(recording).canHoldFor(recording));
}
