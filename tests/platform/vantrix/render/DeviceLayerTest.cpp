#include "platform/vantrix/render/DeviceLayer.h"

#include <gtest/gtest.h>

using platform::DeviceLayer;

// A layer has one pixel per device pixel at any pixel ratio, and what is drawn into it lands
// where it would have on the device.
TEST(DeviceLayer, HasOnePixelPerDevicePixelAtEveryRatioAndDrawsBackInPlace)
{
    for (const double ratio : {1.0, 2.0, 3.0}) {
        SCOPED_TRACE(ratio);
        QImage target(int(200 * ratio), int(200 * ratio), QImage::Format_ARGB32_Premultiplied);
        target.setDevicePixelRatio(ratio);
        target.fill(Qt::white);
        QPainter painter(&target);
        painter.translate(10, 20);
        EXPECT_DOUBLE_EQ(DeviceLayer::devicePixelsPerUnit(painter), ratio);

        DeviceLayer layer(painter, QRectF(0, 0, 50, 50));
        ASSERT_FALSE(layer.isEmpty());
        EXPECT_EQ(layer.image().size(), QSize(int(50 * ratio), int(50 * ratio)));
        EXPECT_DOUBLE_EQ(layer.pixelsPerUnit(), ratio);

        layer.image().fill(Qt::black);
        layer.drawBack(layer.image());
        painter.end();
        EXPECT_EQ(target.pixelColor(int(35 * ratio), int(45 * ratio)), QColor(Qt::black));
        EXPECT_EQ(target.pixelColor(int(5 * ratio), int(45 * ratio)), QColor(Qt::white));
        EXPECT_EQ(target.pixelColor(int(65 * ratio), int(45 * ratio)), QColor(Qt::white));
    }
}
