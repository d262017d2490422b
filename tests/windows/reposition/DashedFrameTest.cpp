// The reposition frame's dashes drawn one by one against the dashed pen drawing them at once.

#include "windows/reposition/DashedFrame.h"

#include <QImage>
#include <QPainter>
#include <QRandomGenerator>
#include <QTest>
#include <QWidget>
#include <gtest/gtest.h>
#include <optional>

namespace {

QPen framePen(const QColor& colour, Qt::PenCapStyle cap = Qt::SquareCap, Qt::PenJoinStyle join = Qt::BevelJoin)
{
    QPen pen(colour, 4.0);
    pen.setDashPattern({3.0, 2.0});
    pen.setCapStyle(cap);
    pen.setJoinStyle(join);
    return pen;
}

// A 1600 x 1000 point canvas at `pixelRatio` under a half-transparent wash, the frame drawn
// through `transform` by `draw`.
QImage drawn(qreal pixelRatio, const QTransform& transform, const std::function<void(QPainter&)>& draw,
             const QRegion& clip = {})
{
    QImage image(QSize(1600, 1000) * pixelRatio, QImage::Format_ARGB32_Premultiplied);
    image.setDevicePixelRatio(pixelRatio);
    image.fill(QColor(40, 90, 160));
    QPainter painter(&image);
    painter.fillRect(QRectF(0, 0, 1600, 1000), QColor::fromRgbF(1, 1, 1, 0.85));
    painter.setRenderHints(QPainter::Antialiasing | QPainter::SmoothPixmapTransform);
    if (!clip.isEmpty())
        painter.setClipRegion(clip);
    painter.setTransform(transform);
    draw(painter);
    return image;
}

void expectSamePixels(qreal pixelRatio, const QTransform& transform, const QRectF& rect, const QPen& pen,
                      const QRegion& clip = {})
{
    const QImage byPen = drawn(
        pixelRatio, transform,
        [&](QPainter& painter) {
            painter.setPen(pen);
            painter.drawRect(rect);
        },
        clip);
    const QImage byDash = drawn(
        pixelRatio, transform, [&](QPainter& painter) { adjustment::strokeDashedRect(painter, rect, pen); }, clip);
    EXPECT_TRUE(byPen == byDash) << "ratio " << pixelRatio << ", scale " << transform.m11() << ", rect " << rect.x()
                                 << " " << rect.y() << " " << rect.width() << " x " << rect.height() << ", cap " << pen.capStyle()
                                 << ", join " << pen.joinStyle() << ", alpha " << pen.color().alpha();
}

// A widget that asks, while painted, whether its frame's dashes would be filled apart.
class FramedWidget : public QWidget {
public:
    using QWidget::QWidget;
    QRectF frame;
    std::optional<bool> apart;

protected:
    void paintEvent(QPaintEvent*) override
    {
        QPainter painter(this);
        painter.setRenderHint(QPainter::Antialiasing);
        apart = adjustment::fillsDashesApart(painter, frame, framePen(Qt::red));
    }
};

} // namespace

TEST(DashedFrame, AWidgetAnywhereInItsWindowFillsTheDashesOfAFrameInsideItApart)
{
    QWidget window;
    window.resize(900, 700);
    auto* widget = new FramedWidget(&window);
    widget->setGeometry(300, 200, 500, 400);
    window.show();
    ASSERT_TRUE(QTest::qWaitForWindowExposed(&window));
    const auto paintedApart = [&](const QRectF& frame) {
        widget->frame = frame;
        widget->apart.reset();
        widget->repaint();
        return widget->apart;
    };
    // Through the window's backing store, where the widget's pixels start at its place in the window.
    EXPECT_EQ(paintedApart({20, 20, 460, 360}), true) << "well inside the widget";
    EXPECT_EQ(paintedApart({20, 20, 490, 360}), false) << "the pen's width past the right edge";
    EXPECT_EQ(paintedApart({-10, 20, 460, 360}), false) << "past the left edge";
    // Rendered on its own into an image.
    QImage image(widget->size(), QImage::Format_ARGB32_Premultiplied);
    widget->frame = {20, 20, 460, 360};
    widget->render(&image);
    EXPECT_EQ(widget->apart, true);
}

TEST(DashedFrame, EveryPixelIsThePensAtAnyZoomOffsetAndSizeOnAndOffTheCanvas)
{
    const QList<QTransform> mappings{QTransform(), QTransform(0.93, 0, 0, 0.93, 11.2, 7.1),
                                     QTransform(2.5, 0, 0, 2.5, -310.37, -97.9), QTransform(0.3, 0, 0, 0.3, 3.3, 1.7),
                                     QTransform(0.04, 0, 0, 0.04, 0.25, 0.5)};
    const QList<QRectF> rects{{180.3, 120.7, 1234.5, 765.4}, {-50.25, 10.125, 1700.5, 980.75},
                              {400.6, 300.2, 20.3, 13.1}, {0.5, 0.5, 333, 2}};
    for (qreal ratio : {1.0, 2.0})
        for (const QTransform& mapping : mappings)
            for (const QRectF& rect : rects)
                expectSamePixels(ratio, mapping, rect, framePen(Qt::red));
    // Frames inside the canvas at random, where dashes either side of a corner may meet.
    QRandomGenerator random(7);
    for (int i = 0; i < 60; ++i) {
        const double scale = 0.5 + random.bounded(2.5);
        const QSizeF size(40 + random.bounded(1500 / scale - 60), 40 + random.bounded(950 / scale - 60));
        const QPointF corner(5 + random.bounded(std::max(1.0, 1590 / scale - size.width() - 10)),
                             5 + random.bounded(std::max(1.0, 990 / scale - size.height() - 10)));
        const QTransform mapping(scale, 0, 0, scale, random.bounded(20.0), random.bounded(20.0));
        expectSamePixels(random.bounded(2) ? 2 : 1, mapping, QRectF(corner, size), framePen(Qt::red));
    }
    // Other pens: translucent, flat or round ends, mitred or round corners.
    const QTransform mapping(1.7, 0, 0, 1.7, 5.5, 3.25);
    const QRectF rect(100.4, 80.6, 700.2, 420.9);
    // Clipped round a button bar across the frame, or to a part of the frame.
    expectSamePixels(2, mapping, rect, framePen(Qt::red), QRegion(0, 0, 1600, 1000) - QRegion(0, 450, 1600, 60));
    expectSamePixels(2, mapping, rect, framePen(Qt::red), QRegion(300, 100, 500, 400));
    expectSamePixels(2, mapping, rect, framePen(QColor(0, 200, 0, 128)));
    expectSamePixels(2, mapping, rect, framePen(Qt::green, Qt::FlatCap, Qt::MiterJoin));
    expectSamePixels(2, mapping, rect, framePen(Qt::green, Qt::RoundCap, Qt::RoundJoin));
}
