// Bitmaps of one layer and of one object, painted in tiles on several threads: the same pixels as
// one painter over the whole image, where wide, dashed and hairline strokes, text and a
// translucent area cross the tiles' edges.

#include "platform/vantrix/DrawingTestSupport.h"

#include "panels/export/ExportRaster.h"
#include "platform/graphics/GraphicsContext.h"
#include "platform/vantrix/drawables/VXTextShape.h"
#include "platform/vantrix/styles/VXStroke.h"
#include "platform/vantrix/styles/VXStrokeDash.h"

using namespace drawingtest;

namespace {

// A line of `count` points zigzagging over the whole sheet, crossing every row of tiles.
platform::BezierPath zigzag(QSizeF paper, int count, double shift)
{
    QPolygonF points;
    for (int i = 0; i < count; ++i)
        points << QPointF(paper.width() * i / (count - 1), (i % 2 ? 0.93 : 0.07) * paper.height() + shift * (i % 3));
    platform::BezierPath path;
    path.appendBezierPathWithPoints(points);
    return path;
}

// One painter over the whole image on this thread, mapping `region` onto it.
QImage onePassImage(const QRectF& region, QSize pixels, const std::function<void()>& draw)
{
    QImage image(pixels, QImage::Format_ARGB32_Premultiplied);
    image.fill(Qt::white);
    QPainter painter(&image);
    painter.setRenderHint(QPainter::Antialiasing);
    painter.setRenderHint(QPainter::SmoothPixmapTransform);
    painter.setClipRect(image.rect());
    painter.scale(pixels.width() / region.width(), pixels.height() / region.height());
    painter.translate(-region.topLeft());
    const platform::GraphicsContext::Scope scope(&painter);
    draw();
    return image;
}

} // namespace

TEST(ExportRaster, LayersAndObjectsPaintedInTilesAreTheOnePassImage)
{
    Fixture f({1000, 700});
    const QSizeF paper = f.drawing->drawingSize();
    // Two pixels wide and mitred, as the one-pass export drew slowest; a hairline; a dashed line.
    auto wide = VXStroke::strokeWithWidthColour(2.2, QColor(30, 30, 110));
    wide->setLineJoinStyle(int(Qt::MiterJoin));
    const auto wideStyle = std::make_shared<VXStyle>();
    wideStyle->addRenderer(wide);
    const VXDrawablePathPtr road = VXDrawablePath::drawablePathWithBezierPathWithStyle(zigzag(paper, 40, 11), wideStyle);
    f.layer->addObject(road);
    f.layer->addObject(VXDrawablePath::drawablePathWithBezierPathWithStyle(zigzag(paper, 31, 5), strokeStyle(Qt::black, 0.3)));
    auto dash = VXStroke::strokeWithWidthColour(1.5, QColor(120, 20, 20));
    dash->setDash(VXStrokeDash::dashWithPatternPhase({7, 3, 1, 3}, 2));
    const auto dashed = std::make_shared<VXStyle>();
    dashed->addRenderer(dash);
    f.layer->addObject(VXDrawablePath::drawablePathWithBezierPathWithStyle(zigzag(paper, 17, 23), dashed));
    f.layer->addObject(VXDrawableShape::drawableShapeWithOvalInRect({200, 150, 600, 400}, fillStyle(QColor(40, 90, 200, 110))));
    f.layer->addObject(VXTextShape::textShapeWithStringInRect(QStringLiteral("Harbour Road"), {470, 330, 200, 60}));
    // Exported whether shown or not.
    f.layer->setVisible(false);

    const QSize pixels(1330, 951); // 3 x 2 tiles, scaled unevenly
    const QRectF region = f.drawing->bounds();
    const QImage layer = exportraster::layerRenderer(*f.layer, region)(pixels, Qt::white);
    const QImage layerInOnePass = onePassImage(region, pixels, [&] {
        platform::DrawingRenderer::Options options;
        options.printing = true;
        options.includeHidden = true;
        platform::DrawingRenderer::drawLayer(*f.layer, region, options);
    });
    ASSERT_EQ(layer.size(), pixels);
    EXPECT_EQ(differingPixels(layer, layerInOnePass), 0);
    EXPECT_NE(layer, onePassImage(region, pixels, [] {})) << "the hidden layer was exported";

    const QRectF bounds = road->bounds();
    const QSize objectPixels(1077, 803);
    const QImage object = exportraster::objectRenderer(*road, bounds)(objectPixels, Qt::white);
    const QImage objectInOnePass = onePassImage(bounds, objectPixels, [&] {
        road->drawContent();
        road->drawTextLabelsInView(nullptr);
    });
    ASSERT_EQ(object.size(), objectPixels);
    EXPECT_EQ(differingPixels(object, objectInOnePass), 0);
}
