#include "TerrainTestSupport.h"

#include "platform/graphics/GraphicsContext.h"
#include "terrain/section/StripPainting.h"
#include "platform/vantrix/view/VXKnob.h"
#include "terrain/section/VXQContourCrossSection.h"

#include <QImage>
#include <QPainter>

using terraintest::LayerFixture;

namespace {

// A layer on a 160 x 120 grid of noise one point apart (heights 0-200): a profile of spikes
// narrower than a pixel when zoomed out.
struct NoisyLayer : LayerFixture {
    NoisyLayer()
        : LayerFixture({158, 118})
    {
        layer->setCellSize(1);
        QList<double> heights;
        quint32 state = 11;
        for (int i = 0; i < 160 * 120; ++i) {
            state = state * 1664525u + 1013904223u;
            heights.append(double((state >> 8) % 201));
        }
        layer->setHeightMap(terraintest::grid(160, heights));
        layer->setShowsCrossSection(true);
    }

    // The section drawn at `scale` into an image, through a clip as a view's tile draws it, either
    // by the section itself or whole by its style.
    QImage rendered(double scale, bool bySection) const
    {
        QImage image(360, 300, QImage::Format_ARGB32_Premultiplied);
        image.fill(Qt::white);
        QPainter painter(&image);
        const platform::GraphicsContext::Scope scope(&painter);
        painter.setClipRect(QRect(7, 5, 340, 283));
        painter.scale(scale, scale);
        const QRectF bounds = layer->crossSectionBounds();
        painter.translate(-bounds.topLeft() + QPointF(3, 3));
        if (bySection)
            layer->crossSection()->drawContent();
        else
            VXQContourCrossSection::sectionStyle()->render(*layer->crossSection());
        return image;
    }
};

// The largest difference of any colour channel of any pixel.
int largestDifference(const QImage& a, const QImage& b)
{
    int largest = 0;
    for (int y = 0; y < a.height(); ++y)
        for (int x = 0; x < a.width(); ++x) {
            const QRgb p = a.pixel(x, y), q = b.pixel(x, y);
            largest = std::max({largest, std::abs(qRed(p) - qRed(q)), std::abs(qGreen(p) - qGreen(q)),
                                std::abs(qBlue(p) - qBlue(q))});
        }
    return largest;
}

// Twice the signed area (shoelace).
double doubleArea(const QPolygonF& polygon)
{
    double sum = 0;
    for (qsizetype i = 0; i < polygon.size(); ++i) {
        const QPointF a = polygon[i], b = polygon[(i + 1) % polygon.size()];
        sum += a.x() * b.y() - b.x() * a.y();
    }
    return sum;
}

int inkedPixels(const QImage& image)
{
    int count = 0;
    for (int y = 0; y < image.height(); ++y)
        for (int x = 0; x < image.width(); ++x)
            count += image.pixel(x, y) != qRgb(255, 255, 255);
    return count;
}

} // namespace

TEST(CrossSectionDrawing, StripByStripItDrawsWhatItsStyleDrawsWhole)
{
    NoisyLayer f;
    for (bool vertical : {false, true}) {
        f.layer->setCrossSectionIsVertical(vertical);
        ASSERT_EQ(f.layer->crossSection()->isVertical(), vertical);
        // A hairline pen, a pen of about a pixel, and a wide one Qt outlines.
        for (double scale : {0.4, 1.3, 3.0}) {
            const QImage strips = f.rendered(scale, true);
            EXPECT_GT(inkedPixels(strips), 1000) << vertical << " " << scale;
            // The fill's curves are flattened apart from Qt's rasteriser: a level or three of 255 at edges.
            EXPECT_LE(largestDifference(strips, f.rendered(scale, false)), 3) << vertical << " " << scale;
        }
    }
}

TEST(CrossSectionDrawing, StripsTileTheirPixelsOnMultiplesOfTheirWidth)
{
    using sectionstrips::kStripPixels;
    const QRect pixels(kStripPixels + 3, -5, 2 * kStripPixels + 1, 2 * kStripPixels + 2);
    const QList<QRect> across = sectionstrips::stripsOf(pixels, Qt::Vertical);
    ASSERT_EQ(across.size(), 3);
    const int height = pixels.height();
    EXPECT_EQ(across[0], QRect(kStripPixels + 3, -5, kStripPixels - 3, height));
    EXPECT_EQ(across[1], QRect(2 * kStripPixels, -5, kStripPixels, height));
    EXPECT_EQ(across[2], QRect(3 * kStripPixels, -5, 4, height));
    // Horizontal cuts stack the strips, from below zero too.
    const QList<QRect> down = sectionstrips::stripsOf(pixels, Qt::Horizontal);
    ASSERT_EQ(down.size(), 3);
    EXPECT_EQ(down.first(), QRect(pixels.left(), -5, pixels.width(), 5));
    EXPECT_EQ(down.last().bottom(), pixels.bottom());
    int covered = 0;
    for (const QRect& strip : down)
        covered += strip.height();
    EXPECT_EQ(covered, pixels.height());
    EXPECT_TRUE(sectionstrips::stripsOf({}, Qt::Vertical).isEmpty());
}

TEST(CrossSectionDrawing, APolygonCutToARectKeepsJustTheAreaWithinIt)
{
    // A square 10 wide, anticlockwise on the screen, cut to a rect reaching past two of its sides.
    const QPolygonF square({{0, 0}, {0, 10}, {10, 10}, {10, 0}});
    const QPolygonF part = sectionstrips::polygonWithin(square, QRectF(2, -1, 3, 5));
    EXPECT_DOUBLE_EQ(doubleArea(part), doubleArea(square) * 12 / 100);
    for (const QPointF& p : part)
        EXPECT_TRUE(QRectF(2, 0, 3, 4).adjusted(-1e-9, -1e-9, 1e-9, 1e-9).contains(p)) << p.x() << " " << p.y();
    // A spike crossing the rect twice: the part between its flanks, with the cut edge along the rect.
    const QPolygonF spike({{0, 10}, {5, 0}, {10, 10}});
    EXPECT_DOUBLE_EQ(doubleArea(sectionstrips::polygonWithin(spike, QRectF(-5, 5, 20, 10))),
                     doubleArea(spike) * 3 / 4);
    EXPECT_TRUE(sectionstrips::polygonWithin(spike, QRectF(20, 0, 5, 5)).isEmpty());
}

TEST(CrossSectionDrawing, ItsKnobsSitOnTheSmoothedProfileItDraws)
{
    // Smoothing a zigzag bulges past its points: the knob box follows the drawn curve.
    auto section = std::make_shared<VXQContourCrossSection>();
    platform::BezierPath zigzag;
    zigzag.appendBezierPathWithPoints(QPolygonF{{0, 0}, {10, 40}, {20, 0}, {30, 40}});
    section->setPath(zigzag);
    const QRectF drawn = section->renderingPath().bounds();
    ASSERT_NE(drawn, zigzag.bounds());
    EXPECT_EQ(platform::KnobBox::ofObject(*section).box, drawn);
    EXPECT_EQ(section->logicalBounds(), drawn);
}
