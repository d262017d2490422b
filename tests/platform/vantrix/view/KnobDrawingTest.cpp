#include "platform/graphics/GraphicsContext.h"
#include "platform/vantrix/view/VXKnob.h"

#include <QImage>
#include <QPainter>
#include <gtest/gtest.h>

namespace {

// The box of pixels a knob drawn at `point` (drawing units) covers, in device pixels.
QRect knobPixels(const QTransform& world, QPointF point, int type, double angle, qreal ratio = 1)
{
    QImage image(QSize(120, 120) * ratio, QImage::Format_ARGB32_Premultiplied);
    image.setDevicePixelRatio(ratio);
    image.fill(Qt::transparent);
    {
        QPainter painter(&image);
        painter.setRenderHint(QPainter::Antialiasing);
        painter.setWorldTransform(world);
        const platform::GraphicsContext::Scope context(&painter);
        VXKnob::knobs().drawKnobAtPointOfTypeAngleHighlightColour(point, type, angle, Qt::red);
        EXPECT_EQ(painter.worldTransform(), world); // left as it was
    }
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
