// Images painted in tiles on several threads: the same pixels as one pass on one thread, also
// where translucent areas, faded layers, blurred shadows and text cross the tiles' edges.

#include "platform/vantrix/DrawingTestSupport.h"

#include "platform/vantrix/drawables/VXTextShape.h"
#include "platform/vantrix/styles/VXFill.h"
#include "platform/vantrix/styles/VXShadow.h"
#include "platform/vantrix/styles/VXStroke.h"
#include "platform/vantrix/styles/VXStrokeDash.h"

#include <QRandomGenerator>

using namespace drawingtest;

namespace {

// Overlapping translucent areas, shadowed shapes, a faded style, text and round-joined lines on
// one layer, and a second layer faded as a whole.
void fillWithEffects(Fixture& f, QRandomGenerator& random)
{
    const VXStylePtr glass = fillStyle(QColor(40, 90, 200, 110));
    const VXStylePtr faded = VXStyle::styleWithFillColourStrokeColourStrokeWidth(Qt::red, Qt::black, 2);
    faded->setOpacity(0.5);
    const auto shadowedFill = VXFill::fillWithColour(QColor(250, 200, 60));
    shadowedFill->setShadow(VXShadow::shadowWithOffsetBlurRadiusColour(QSizeF(6, 5), 4, QColor(0, 0, 0, 160)));
    const auto shadowed = std::make_shared<VXStyle>();
    shadowed->addRenderer(shadowedFill);
    const VXStylePtr line = strokeStyle(QColor(20, 120, 40, 200), 3.5);
    auto dashed = VXStroke::strokeWithWidthColour(1.2, Qt::black);
    dashed->setDash(VXStrokeDash::dashWithPatternPhase({3, 2}, 1));
    line->addRenderer(dashed);
    const QSizeF paper = f.drawing->drawingSize();
    const auto someRect = [&] {
        return QRectF(random.bounded(paper.width() - 80), random.bounded(paper.height() - 60), 20 + random.bounded(60.0),
                      15 + random.bounded(45.0));
    };
    for (int i = 0; i < 60; ++i) {
        f.layer->addObject(VXDrawableShape::drawableShapeWithOvalInRect(someRect(), glass));
        f.layer->addObject(VXDrawableShape::drawableShapeWithRect(someRect(), i % 2 ? shadowed : faded));
        QPolygonF points;
        for (int v = 0; v < 6; ++v)
            points << someRect().center();
        platform::BezierPath path;
        path.appendBezierPathWithPoints(points);
        f.layer->addObject(VXDrawablePath::drawablePathWithBezierPathWithStyle(path, line));
        if (i % 4 == 0)
            f.layer->addObject(VXTextShape::textShapeWithStringInRect(QStringLiteral("Harbour Road %1").arg(i),
                                                                     someRect().adjusted(0, 0, 60, 10)));
    }
    auto upper = std::make_shared<VXObjectDrawingLayer>();
    f.drawing->addLayer(upper);
    upper->setAlpha(0.6);
    for (int i = 0; i < 30; ++i)
        upper->addObject(VXDrawableShape::drawableShapeWithRect(someRect(), fillStyle(QColor(120, 20, 160))));
}

// What imageOfDrawing painted before tiles: one painter over the whole image, on this thread.
QImage serialImage(const VXDrawing& drawing, const QRectF& source, QSize pixels, const QColor& background)
{
    QImage image(pixels, QImage::Format_ARGB32_Premultiplied);
    image.fill(background);
    QPainter painter(&image);
    painter.scale(pixels.width() / source.width(), pixels.height() / source.height());
    painter.translate(-source.topLeft());
    platform::DrawingRenderer::Options options;
    options.printing = true;
    platform::DrawingRenderer::drawDrawing(drawing, painter, source, options);
    return image;
}

} // namespace

TEST(TiledRendering, ThreadedImageEqualsTheSerialOne)
{
    Fixture f({1000, 700});
    f.drawing->setPaperColour(QColor(250, 245, 230));
    QRandomGenerator random(41);
    fillWithEffects(f, random);

    struct Case {
        QRectF source;
        QSize pixels;
        QColor background;
    };
    // The whole sheet over many tiles; a part of it scaled unevenly, off the origin, tiles of
    // uneven size at the right and bottom.
    for (const Case& c : {Case{f.drawing->bounds(), QSize(1150, 805), Qt::white},
                          Case{QRectF(137.5, 90.25, 610, 480), QSize(1033, 577), QColor()}}) {
        const QImage tiled = platform::DrawingRenderer::imageOfDrawing(*f.drawing, c.source, c.pixels, c.background);
        const QImage serial = serialImage(*f.drawing, c.source, c.pixels, c.background.isValid() ? c.background : Qt::transparent);
        ASSERT_EQ(tiled.size(), c.pixels);
        EXPECT_EQ(differingPixels(tiled, serial), 0) << "source " << c.source.x() << "," << c.source.y();
    }
}
