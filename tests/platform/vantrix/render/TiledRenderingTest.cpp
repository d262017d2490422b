// Images painted in tiles on several threads: the same pixels as one pass on one thread, also
// where translucent areas, faded layers, blurred shadows and text cross the tiles' edges.

#include "platform/vantrix/DrawingTestSupport.h"

#include "platform/vantrix/drawables/VXTextShape.h"
#include "platform/vantrix/styles/VXFill.h"
#include "platform/vantrix/styles/VXShadow.h"
#include "platform/vantrix/styles/VXStroke.h"
#include "platform/vantrix/styles/VXStrokeDash.h"

#include <QRandomGenerator>
#include <algorithm>
#include <cmath>

using namespace drawingtest;

namespace {

// Overlapping translucent areas, shadowed shapes (unless left out), a faded style, text and
// round-joined lines on one layer, and a second layer faded as a whole.
void fillWithEffects(Fixture& f, QRandomGenerator& random, bool shadows = true)
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
        f.layer->addObject(VXDrawableShape::drawableShapeWithRect(someRect(), shadows && i % 2 ? shadowed : faded));
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

// A sea of a few thousand points with a wavy coast, over most of the sheet and past its left edge.
platform::BezierPath seaCoast(QSizeF paper)
{
    QPolygonF coast;
    constexpr int kPoints = 3000;
    for (int i = 0; i < kPoints; ++i) {
        const double t = 2 * M_PI * i / kPoints;
        const double r = 0.4 * paper.height() * (1 + 0.04 * std::sin(97 * t) + 0.02 * std::sin(613 * t));
        coast << QPointF(0.42 * paper.width() + 1.6 * r * std::cos(t), paper.height() / 2 + r * std::sin(t));
    }
    platform::BezierPath path;
    path.appendBezierPathWithPoints(coast);
    path.closePath();
    return path;
}

// A zigzag from the left edge to the right one, crossing every row of tiles.
platform::BezierPath zigzag(QSizeF paper, double shift)
{
    QPolygonF points;
    for (int i = 0; i <= 12; ++i)
        points << QPointF(paper.width() * i / 12, (i % 2 ? 0.95 : 0.05) * paper.height() + shift);
    platform::BezierPath path;
    path.appendBezierPathWithPoints(points);
    return path;
}

// What imageOfDrawing painted before tiles: one painter over the whole image, on this thread.
// Clipped to the image: Qt blends pens thinner than a pixel a level apart with and without a
// clip rectangle, and every tile has one.
QImage serialImage(const VXDrawing& drawing, const QRectF& source, QSize pixels, const QColor& background)
{
    QImage image(pixels, QImage::Format_ARGB32_Premultiplied);
    image.fill(background);
    QPainter painter(&image);
    painter.setClipRect(image.rect());
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

// A preview followed as it is painted comes in smaller tiles, a round at a time. Shadows are left
// out: a blur is worked out per tile and comes out a level apart where a tile's edge cuts it.
TEST(TiledRendering, AnImageFollowedAsItIsPaintedEqualsTheSerialOne)
{
    Fixture f({1000, 700});
    QRandomGenerator random(43);
    fillWithEffects(f, random, false);
    const QSize pixels(700, 490);
    QList<double> told;
    const QImage followed = platform::DrawingRenderer::imageOfDrawing(*f.drawing, f.drawing->bounds(), pixels, Qt::white,
                                                                      [&](double fraction) {
                                                                          told.append(fraction);
                                                                          return true;
                                                                      });
    ASSERT_EQ(followed.size(), pixels);
    EXPECT_EQ(differingPixels(followed, serialImage(*f.drawing, f.drawing->bounds(), pixels, Qt::white)), 0);
    ASSERT_FALSE(told.isEmpty());
    EXPECT_TRUE(std::is_sorted(told.cbegin(), told.cend()));
    EXPECT_EQ(told.last(), 1.0);

    // Stopped after its first round, it gives no image.
    EXPECT_TRUE(platform::DrawingRenderer::imageOfDrawing(*f.drawing, f.drawing->bounds(), pixels, Qt::white,
                                                          [](double) { return false; })
                    .isNull());
}

TEST(TiledRendering, LargeAreasHairlinesAndDashesAcrossManyTilesMatchTheSerialImage)
{
    Fixture f({1000, 700});
    const QSizeF paper = f.drawing->drawingSize();
    // A sea, and an island with the same coast in a faded layer and with a shadow, both painted
    // into offscreen layers per tile.
    f.layer->addObject(VXDrawablePath::drawablePathWithBezierPathWithStyle(seaCoast(paper), fillStyle(QColor(150, 190, 225))));
    auto faded = std::make_shared<VXObjectDrawingLayer>();
    f.drawing->addLayer(faded);
    faded->setAlpha(0.55);
    const auto shadowed = VXFill::fillWithColour(QColor(60, 140, 60));
    shadowed->setShadow(VXShadow::shadowWithOffsetBlurRadiusColour(QSizeF(8, 6), 5, QColor(0, 0, 0, 150)));
    const auto land = std::make_shared<VXStyle>();
    land->addRenderer(shadowed);
    platform::BezierPath island = seaCoast(paper);
    island.transformUsingAffineTransform(QTransform::fromTranslate(300, 150).scale(0.6, 0.6));
    faded->addObject(VXDrawablePath::drawablePathWithBezierPathWithStyle(island, land));
    // A hairline and a dashed line, where per-tile painting would restart or shift them at tile edges.
    f.layer->addObject(VXDrawablePath::drawablePathWithBezierPathWithStyle(zigzag(paper, 0), strokeStyle(Qt::black, 0.3)));
    const VXStylePtr dashed = std::make_shared<VXStyle>();
    auto dash = VXStroke::strokeWithWidthColour(1.5, QColor(120, 20, 20));
    dash->setDash(VXStrokeDash::dashWithPatternPhase({7, 3, 1, 3}, 2));
    dashed->addRenderer(dash);
    f.layer->addObject(VXDrawablePath::drawablePathWithBezierPathWithStyle(zigzag(paper, 9), dashed));

    const QSize pixels(2730, 1911); // 6 x 4 tiles, scaled unevenly
    const QImage tiled = platform::DrawingRenderer::imageOfDrawing(*f.drawing, f.drawing->bounds(), pixels, Qt::white);
    const QImage serial = serialImage(*f.drawing, f.drawing->bounds(), pixels, Qt::white);
    ASSERT_EQ(tiled.size(), pixels);
    EXPECT_EQ(differingPixels(tiled, serial), 0);
}
