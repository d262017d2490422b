#include "TerrainTestSupport.h"

#include "platform/graphics/GraphicsContext.h"
#include "terrain/section/StripPainting.h"
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

int inkedPixels(const QImage& image)
{
    int count = 0;
    for (int y = 0; y < image.height(); ++y)
        for (int x = 0; x < image.width(); ++x)
            count += image.pixel(x, y) != qRgb(255, 255, 255);
    return count;
}

} // namespace

TEST(CrossSectionDrawing, StripByStripItDrawsTheSamePixelsAsItsStyleDrawingItWhole)
{
    NoisyLayer f;
    for (bool vertical : {false, true}) {
        f.layer->setCrossSectionIsVertical(vertical);
        ASSERT_EQ(f.layer->crossSection()->isVertical(), vertical);
        // A hairline pen, a pen of about a pixel, and a wide one Qt outlines.
        for (double scale : {0.4, 1.3, 3.0}) {
            const QImage strips = f.rendered(scale, true);
            EXPECT_GT(inkedPixels(strips), 1000) << vertical << " " << scale;
            EXPECT_EQ(strips, f.rendered(scale, false)) << "vertical " << vertical << ", scale " << scale;
        }
    }
}

TEST(CrossSectionDrawing, StripsTileTheirPixelsOnMultiplesOfTheirWidth)
{
    using sectionstrips::kStripPixels;
    const QRect pixels(kStripPixels + 3, -5, 2 * kStripPixels + 1, 40);
    const QList<QRect> across = sectionstrips::stripsOf(pixels, Qt::Vertical);
    ASSERT_EQ(across.size(), 3);
    EXPECT_EQ(across[0], QRect(kStripPixels + 3, -5, kStripPixels - 3, 40));
    EXPECT_EQ(across[1], QRect(2 * kStripPixels, -5, kStripPixels, 40));
    EXPECT_EQ(across[2], QRect(3 * kStripPixels, -5, 4, 40));
    // Horizontal cuts stack the strips, from below zero too.
    const QList<QRect> down = sectionstrips::stripsOf(pixels, Qt::Horizontal);
    ASSERT_EQ(down.size(), 4);
    EXPECT_EQ(down.first(), QRect(pixels.left(), -5, pixels.width(), 5));
    EXPECT_EQ(down.last().bottom(), pixels.bottom());
    int covered = 0;
    for (const QRect& strip : down)
        covered += strip.height();
    EXPECT_EQ(covered, pixels.height());
    EXPECT_TRUE(sectionstrips::stripsOf({}, Qt::Vertical).isEmpty());
}
