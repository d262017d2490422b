#include "furniture/ruler/VXQRuler.h"
#include "platform/graphics/AttributedStringLayout.h"
#include "platform/graphics/GraphicsContext.h"

#include <QImage>
#include <QPainter>
#include <gtest/gtest.h>

namespace {

constexpr double H = VXQRuler::kRulerHeight;

std::shared_ptr<VXQRuler> rulerFromTo(QPointF start, QPointF end)
{
    auto ruler = std::make_shared<VXQRuler>();
    ruler->setStartPoint(start);
    ruler->setEndPoint(end);
    return ruler;
}

struct Segment {
    QPointF from;
    QPointF to;
};

// The marks path as its straight strokes, in order.
QList<Segment> segments(const platform::BezierPath& path)
{
    QList<Segment> result;
    for (int i = 0; i + 1 < path.elementCount(); i += 2) {
        QPointF from[3];
        QPointF to[3];
        EXPECT_EQ(path.elementAtIndexAssociatedPoints(i, from), platform::PathElement::MoveTo);
        EXPECT_EQ(path.elementAtIndexAssociatedPoints(i + 1, to), platform::PathElement::LineTo);
        result.append({from[0], to[0]});
    }
    return result;
}

// The ruler drawn alone, four pixels a point, on white.
QImage renderRuler(const VXQRuler& ruler, QSize points)
{
    QImage image(points * 4, QImage::Format_ARGB32_Premultiplied);
    image.fill(Qt::white);
    QPainter painter(&image);
    painter.setRenderHint(QPainter::Antialiasing);
    painter.scale(4, 4);
    const platform::GraphicsContext::Scope scope(&painter);
    ruler.drawPaths();
    return image;
}

// Whether every pixel of the image row at `y` points between x0 and x1 points has one colour.
bool rowIsPlain(const QImage& image, double y, double x0, double x1)
{
    const int row = int(y * 4);
    const QRgb first = image.pixel(int(x0 * 4), row);
    for (int x = int(x0 * 4); x < int(x1 * 4); ++x) {
        if (image.pixel(x, row) != first)
            return false;
    }
    return true;
}

} // namespace

TEST(RulerGeometry, MarksDistanceIsDoubledOrHalvedIntoTwoToThirtyTwo)
{
    VXQRuler ruler;
    EXPECT_DOUBLE_EQ(ruler.markDistance(), 5.66929);
    const struct {
        double given;
        double kept;
    } cases[] = {{0.5, 2.0}, {100, 25.0}, {5.66929, 5.66929}, {0.0, 2.0}, {-3, 2.0}, {1.9, 3.8}, {32, 32}, {33, 16.5}};
    for (const auto& c : cases) {
        ruler.setMarksDistanceStepUpRatioStepDownRatio(c.given, 4, 2);
        EXPECT_DOUBLE_EQ(ruler.markDistance(), c.kept) << c.given;
    }
    EXPECT_EQ(ruler.stepUpRatio(), 4);
    EXPECT_EQ(ruler.stepDownRatio(), 2);
    // A grid without divisions gives an infinite distance: the spacing stays.
    ruler.setMarksDistanceStepUpRatioStepDownRatio(std::numeric_limits<double>::infinity(), 10, 5);
    EXPECT_DOUBLE_EQ(ruler.markDistance(), 16.5);
    ruler.setMarksDistanceStepUpRatioStepDownRatio(std::nan(""), 10, 5);
    EXPECT_DOUBLE_EQ(ruler.markDistance(), 16.5);
}

TEST(RulerGeometry, AHundredPointRulerHasEighteenTicksOfThreeHeights)
{
    const auto ruler = rulerFromTo({0, 0}, {100, 0});
    EXPECT_DOUBLE_EQ(ruler->length(), 100);
    const QList<Segment> strokes = segments(ruler->marksPath());
    ASSERT_EQ(strokes.size(), 2 + 18);
    // The two end lines, half the height.
    EXPECT_EQ(strokes[0].from, QPointF(0, 0));
    EXPECT_EQ(strokes[0].to, QPointF(0, H / 2));
    EXPECT_EQ(strokes[1].from, QPointF(100, H / 2));
    EXPECT_EQ(strokes[1].to, QPointF(100, 0));
    for (int k = 0; k < 18; ++k) {
        const Segment& tick = strokes[2 + k];
        const double expected = k % 10 == 0 ? H / 3 : k % 5 == 0 ? H / 4 : H / 8;
        EXPECT_NEAR(tick.from.x(), k * 5.66929, 1e-9);
        EXPECT_EQ(tick.from.y(), 0.0);
        EXPECT_NEAR(tick.to.y(), expected, 1e-9) << "tick " << k;
    }
    EXPECT_NEAR(strokes.last().from.x(), 96.378, 1e-3);

    // Ratios below one mark no tick of their kind instead of dividing by zero.
    ruler->setMarksDistanceStepUpRatioStepDownRatio(10, 0, -1);
    for (const Segment& tick : segments(ruler->marksPath()).mid(2))
        EXPECT_NEAR(tick.to.y(), H / 8, 1e-9);
}

TEST(RulerGeometry, PathsFollowTheRulerTurnedAndHitPartsAnswerEndsBodyOrNothing)
{
    const auto level = rulerFromTo({100, 100}, {200, 100});
    EXPECT_EQ(level->bounds(), QRectF(91, 99, 118, 34));
    EXPECT_EQ(level->hitTest({95, 110}), VXQRuler::kLeftEndPart);
    EXPECT_EQ(level->hitTest({205, 110}), VXQRuler::kRightEndPart);
    EXPECT_EQ(level->hitTest({150, 110}), VXQRuler::kBodyPart);
    EXPECT_EQ(level->hitTest({150, 50}), VXQRuler::kNoPart);
    EXPECT_EQ(level->hitTest({150, 132.5}), VXQRuler::kNoPart); // in the bounds' margin only

    // Pointing down the page, the body lies to the left of the line.
    const auto down = rulerFromTo({0, 0}, {0, 100});
    EXPECT_NEAR(down->angle(), M_PI / 2, 1e-12);
    EXPECT_EQ(down->hitTest({-16, 50}), VXQRuler::kBodyPart);
    EXPECT_EQ(down->hitTest({-16, -4}), VXQRuler::kLeftEndPart);
    EXPECT_EQ(down->hitTest({-16, 104}), VXQRuler::kRightEndPart);
    EXPECT_EQ(down->hitTest({16, 50}), VXQRuler::kNoPart);
    const QRectF box = down->boundingPath().bounds();
    EXPECT_NEAR(box.left(), -32, 1e-9);
    EXPECT_NEAR(box.top(), -8, 1e-9);
    EXPECT_NEAR(box.bottom(), 108, 1e-9);

    // A new ruler waits off the drawing with no length.
    VXQRuler parked;
    EXPECT_EQ(parked.length(), 0.0);
    EXPECT_EQ(parked.hitTest({0, 0}), VXQRuler::kNoPart);
}

TEST(RulerGeometry, DraggingMovesAnEndOrTheWholeRuler)
{
    VXQRuler ruler;
    // A new ruler at the press; the drag pulls its end.
    ruler.mouseDownWithPartInView({10, 10}, VXQRuler::kNoPart, nullptr);
    EXPECT_EQ(ruler.startPoint(), QPointF(10, 10));
    EXPECT_EQ(ruler.endPoint(), QPointF(10, 10));
    ruler.mouseDraggedWithPartInView({110, 10}, VXQRuler::kRightEndPart, nullptr);
    EXPECT_EQ(ruler.endPoint(), QPointF(110, 10));

    // The body keeps where it was taken.
    ruler.mouseDownWithPartInView({60, 20}, VXQRuler::kBodyPart, nullptr);
    ruler.mouseDraggedWithPartInView({70, 35}, VXQRuler::kBodyPart, nullptr);
    EXPECT_EQ(ruler.startPoint(), QPointF(20, 25));
    EXPECT_EQ(ruler.endPoint(), QPointF(120, 25));
    EXPECT_DOUBLE_EQ(ruler.length(), 100);

    // An end moves alone, by how far the pointer went.
    ruler.mouseDownWithPartInView({15, 30}, VXQRuler::kLeftEndPart, nullptr);
    ruler.mouseDraggedWithPartInView({15, 130}, VXQRuler::kLeftEndPart, nullptr);
    EXPECT_EQ(ruler.startPoint(), QPointF(20, 125));
    EXPECT_EQ(ruler.endPoint(), QPointF(120, 25));
    EXPECT_TRUE(ruler.bounds().contains(QPointF(70, 75)));

    // Any other part changes nothing.
    ruler.mouseDraggedWithPartInView({500, 500}, VXQRuler::kNoPart, nullptr);
    EXPECT_EQ(ruler.startPoint(), QPointF(20, 125));
}

TEST(RulerGeometry, ShortRulersShowNoLogoFrameOrLabel)
{
    const auto drawn = [&](double length, const QString& label) {
        const auto ruler = rulerFromTo({10, 10}, {10 + length, 10});
        ruler->setAnnotation(platform::AttributedString(label, VXQRuler::labelTextAttributes()));
        return renderRuler(*ruler, QSize(int(length) + 30, 50));
    };
    // 20 points leave an inner width of 16: nothing but the body and its marks. The row 14 points
    // across the ruler passes over the logo, above the label and the ticks.
    EXPECT_EQ(drawn(20, QStringLiteral("88.8 mm")), drawn(20, QString()));
    EXPECT_TRUE(rowIsPlain(drawn(20, QString()), 10 + 14, 10 + 2.5, 10 + 17.5));
    // Longer, the label and the logo show.
    EXPECT_NE(drawn(100, QStringLiteral("88.8 mm")), drawn(100, QString()));
    EXPECT_FALSE(rowIsPlain(drawn(100, QString()), 10 + 14, 10 + 10, 10 + 40));
}

TEST(RulerGeometry, ALabelLongerThanTheRulerIsShownWholeOnOneLine)
{
    // 40.09 mm: the label is about as long as the ruler.
    const double length = 40.09 / 25.4 * 72;
    const auto ruler = rulerFromTo({40, 10}, {40 + length, 10});
    const platform::AttributedString label(QStringLiteral("40.09 mm on paper"), VXQRuler::labelTextAttributes());
    ruler->setAnnotation(label);
    const double labelWidth = platform::AttributedStringLayout(label, 0).size().width();
    const QImage image = renderRuler(*ruler, QSize(int(length) + 80, 50));

    // The label's ink, in its half of the body and below it: one line as wide as the label.
    int left = image.width();
    int right = -1;
    int lowest = -1;
    for (int y = int((10 + H / 2) * 4); y < image.height(); ++y)
        for (int x = 0; x < image.width(); ++x)
            if (qGray(image.pixel(x, y)) < 90) {
                left = std::min(left, x);
                right = std::max(right, x);
                lowest = std::max(lowest, y);
            }
    ASSERT_GE(right, left);
    EXPECT_GT((right - left) / 4.0, labelWidth * 0.9);
    EXPECT_NEAR((left + right) / 8.0, 40 + length / 2, 2.0);
    EXPECT_LT(lowest / 4.0, 10 + H);

    // On a ruler half as long the label runs past both ends, and the bounds cover it.
    ruler->setEndPoint({40 + length / 2, 10});
    const QRectF labelArea = ruler->labelRect().translated(ruler->startPoint());
    EXPECT_NEAR(labelArea.center().x(), 40 + length / 4, 1e-9);
    EXPECT_GE(labelArea.width(), labelWidth);
    EXPECT_TRUE(ruler->bounds().contains(labelArea));
    EXPECT_LT(ruler->bounds().left(), 40 - VXQRuler::kRulerEndOverhang);
}
