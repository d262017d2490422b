#include "platform/vantrix/styles/StyleTestSupport.h"
#include "support/ArchiveTesting.h"

#include "platform/vantrix/styles/VXFill.h"
#include "platform/vantrix/styles/VXGradientFill.h"
#include "platform/vantrix/styles/VXStroke.h"
#include "platform/vantrix/styles/VXStyle.h"

#include <QWidget>
#include <QtMath>

using styletest::colourNear;
using styletest::PathRenderable;
using styletest::render;

namespace {

const QColor kWhite(Qt::white);
const QColor kRed(Qt::red);
const QRectF kSquare(20, 20, 60, 60);

QColor at(const QImage& image, int x, int y)
{
    return image.pixelColor(x, y);
}

VXStrokePtr stroke(double width, const QColor& colour = Qt::red)
{
    return VXStroke::strokeWithWidthColour(width, colour);
}

} // namespace

TEST(RasterizerRender, FillCoversTheInsideOnly)
{
    const auto fill = VXFill::fillWithColour(QColor("#AAD0E5"));
    const QImage image = render(*fill, PathRenderable::rectangle(kSquare));
    EXPECT_TRUE(colourNear(at(image, 50, 50), QColor("#AAD0E5"), 0));
    EXPECT_TRUE(colourNear(at(image, 21, 79), QColor("#AAD0E5"), 0));
    EXPECT_TRUE(colourNear(at(image, 18, 50), kWhite, 0));
    EXPECT_TRUE(colourNear(at(image, 81, 50), kWhite, 0));
}

TEST(RasterizerRender, StrokeIsCentredOnThePath)
{
    const QImage image = render(*stroke(6), PathRenderable::rectangle(kSquare));
    for (int x : {17, 19, 20, 22})
        EXPECT_TRUE(colourNear(at(image, x, 50), kRed, 0)) << x;
    EXPECT_TRUE(colourNear(at(image, 15, 50), kWhite, 0));
    EXPECT_TRUE(colourNear(at(image, 24, 50), kWhite, 0));
    EXPECT_TRUE(colourNear(at(image, 50, 50), kWhite, 0));
}

TEST(RasterizerRender, DefaultStyleFillsAndStrokesInItsColours)
{
    const VXStylePtr style = VXStyle::defaultStyle();
    const QImage image = render(*style, PathRenderable::rectangle(kSquare));
    EXPECT_TRUE(colourNear(at(image, 50, 50), QColor("#AAD0E5"), 0));
    // The 1-wide stroke covers half of the pixels on either side of the edge.
    EXPECT_TRUE(colourNear(at(image, 50, 19), QColor(0x99, 0x99, 0x99), 2));
    EXPECT_TRUE(colourNear(at(image, 50, 20), QColor(0x6E, 0x81, 0x8C), 2));
    EXPECT_TRUE(colourNear(at(image, 10, 10), kWhite, 0));
}

TEST(RasterizerRender, CapsEndOpenLinesAsAsked)
{
    const PathRenderable line = PathRenderable::line(QPointF(20, 50), QPointF(80, 50));
    const auto stroked = stroke(10);
    struct Case {
        platform::LineCapStyle cap;
        bool beyondEnd;   // (16, 50): 3.5 before the end
        bool outerCorner; // (15, 45): beyond a round cap, inside a square one
    };
    for (const Case& c : {Case{platform::LineCapStyle::Butt, false, false}, Case{platform::LineCapStyle::Round, true, false},
                          Case{platform::LineCapStyle::Square, true, true}}) {
        stroked->setLineCapStyle(int(c.cap));
        const QImage image = render(*stroked, line);
        EXPECT_TRUE(colourNear(at(image, 16, 50), c.beyondEnd ? kRed : kWhite, 0)) << int(c.cap);
        EXPECT_TRUE(colourNear(at(image, 15, 45), c.outerCorner ? kRed : kWhite, 0)) << int(c.cap);
    }
}

TEST(RasterizerRender, JoinsShapeTheCorners)
{
    const auto stroked = stroke(10);
    stroked->setLineJoinStyle(int(platform::LineJoinStyle::Miter));
    EXPECT_TRUE(colourNear(at(render(*stroked, PathRenderable::rectangle(kSquare)), 16, 16), kRed, 0));
    stroked->setLineJoinStyle(int(platform::LineJoinStyle::Bevel));
    EXPECT_TRUE(colourNear(at(render(*stroked, PathRenderable::rectangle(kSquare)), 16, 16), kWhite, 0));
    stroked->setLineJoinStyle(7); // not a join style
    EXPECT_EQ(stroked->lineJoinStyle(), int(platform::LineJoinStyle::Bevel));

    // A right angle's miter is sqrt(2) widths long: a lower limit bevels it, and survives an archive.
    stroked->setLineJoinStyle(int(platform::LineJoinStyle::Miter));
    stroked->setMiterLimit(1.2);
    stroked->setMiterLimit(0.5); // below one width: ignored
    stroked->setMiterLimit(qInf());
    const auto decoded = testsupport::roundTrip<VXStroke>(*stroked);
    ASSERT_TRUE(decoded);
    EXPECT_DOUBLE_EQ(decoded->miterLimit(), 1.2);
    EXPECT_TRUE(colourNear(at(render(*decoded, PathRenderable::rectangle(kSquare)), 16, 16), kWhite, 0));
}

TEST(RasterizerRender, LateralOffsetMovesTheStrokeToTheRightOfTravel)
{
    // A rectangle runs clockwise on screen, so its right is the inside.
    const auto stroked = stroke(2);
    stroked->setLateralOffset(5);
    QImage image = render(*stroked, PathRenderable::rectangle(kSquare));
    EXPECT_TRUE(colourNear(at(image, 50, 25), kRed, 0));
    EXPECT_TRUE(colourNear(at(image, 25, 50), kRed, 0));
    EXPECT_TRUE(colourNear(at(image, 50, 20), kWhite, 0));
    EXPECT_TRUE(colourNear(at(image, 25, 25), kRed, 0)); // mitered corner of the inner square

    stroked->setLateralOffset(-5);
    image = render(*stroked, PathRenderable::rectangle(kSquare));
    EXPECT_TRUE(colourNear(at(image, 50, 15), kRed, 0));
    EXPECT_TRUE(colourNear(at(image, 50, 25), kWhite, 0));
    EXPECT_DOUBLE_EQ(stroked->extraSpaceNeeded().width(), 2 + 5); // miter reach + offset
}

TEST(RasterizerRender, ClippingKeepsOneSideOfTheStroke)
{
    const auto stroked = stroke(10);
    stroked->setClipping(kVXClipInsidePath);
    QImage image = render(*stroked, PathRenderable::rectangle(kSquare));
    EXPECT_TRUE(colourNear(at(image, 17, 50), kWhite, 0));
    EXPECT_TRUE(colourNear(at(image, 22, 50), kRed, 0));

    stroked->setClipping(kVXClipOutsidePath);
    image = render(*stroked, PathRenderable::rectangle(kSquare));
    EXPECT_TRUE(colourNear(at(image, 17, 50), kRed, 0));
    EXPECT_TRUE(colourNear(at(image, 22, 50), kWhite, 0));
}

TEST(RasterizerRender, LinearGradientRunsAlongItsAngle)
{
    const auto fill = std::make_shared<VXGradientFill>(); // black to white
    const PathRenderable square = PathRenderable::rectangle(QRectF(0, 0, 100, 100));
    QImage image = render(*fill, square);
    EXPECT_TRUE(colourNear(at(image, 0, 50), Qt::black, 4));
    EXPECT_TRUE(colourNear(at(image, 99, 50), kWhite, 4));
    EXPECT_TRUE(colourNear(at(image, 50, 10), QColor(128, 128, 128), 4));

    fill->setGradientAngle(M_PI / 2); // clockwise on screen: top to bottom
    image = render(*fill, square);
    EXPECT_TRUE(colourNear(at(image, 50, 0), Qt::black, 4));
    EXPECT_TRUE(colourNear(at(image, 50, 99), kWhite, 4));
    EXPECT_TRUE(colourNear(at(image, 10, 50), QColor(128, 128, 128), 4));
}

TEST(RasterizerRender, RelativeGradientAngleTurnsWithTheObject)
{
    const auto fill = VXGradientFill::gradientFillWithGradient(
        VXGradient::gradientWithStartingColourEndingColour(Qt::red, Qt::blue));
    const PathRenderable turned = PathRenderable::rectangle(QRectF(0, 0, 100, 100), M_PI / 2);
    QImage image = render(*fill, turned);
    EXPECT_TRUE(colourNear(at(image, 0, 50), kRed, 4)); // absolute angle: left to right
    fill->setAngleIsRelative(true);
    image = render(*fill, turned);
    EXPECT_TRUE(colourNear(at(image, 50, 0), kRed, 4));
    EXPECT_TRUE(colourNear(at(image, 50, 99), Qt::blue, 4));
}

TEST(RasterizerRender, RadialGradientGoesFromTheStartingToTheEndingCircle)
{
    const auto fill = std::make_shared<VXGradientFill>();
    fill->setGradientType(VXGradientFill::kRadialGradient);
    fill->setStartingRadius(0);
    fill->setEndingRadius(0.4); // of the larger side: 40
    QImage image = render(*fill, PathRenderable::rectangle(QRectF(0, 0, 100, 100)));
    EXPECT_TRUE(colourNear(at(image, 50, 50), Qt::black, 8));
    EXPECT_TRUE(colourNear(at(image, 70, 50), QColor(128, 128, 128), 8));
    EXPECT_TRUE(colourNear(at(image, 95, 50), kWhite, 2));
    EXPECT_TRUE(colourNear(at(image, 2, 2), kWhite, 2));

    fill->setStartingLocation(QPointF(-0.25, 0)); // both centres move with the start and end locations
    fill->setEndingLocation(QPointF(-0.25, 0));
    image = render(*fill, PathRenderable::rectangle(QRectF(0, 0, 100, 100)));
    EXPECT_TRUE(colourNear(at(image, 25, 50), Qt::black, 8));
    EXPECT_TRUE(colourNear(at(image, 75, 50), kWhite, 2));
}

TEST(RasterizerRender, GradientColoursAndValidity)
{
    const auto fill = VXGradientFill::gradientFillWithGradient(VXGradient::gradientWithColourStops(
        {{Qt::blue, 1.0}, {Qt::red, 0.0}, {QColor(0, 255, 0, 128), 0.5}}));
    ASSERT_EQ(fill->numberOfColours(), 3);
    EXPECT_EQ(fill->colourAtStopIndex(0), QColor(Qt::red)); // sorted by position
    EXPECT_EQ(fill->colourAtStopIndex(2), QColor(Qt::blue));
    EXPECT_FALSE(fill->colourAtStopIndex(3).isValid());
    EXPECT_TRUE(fill->gradient()->hasTransparency());
    EXPECT_TRUE(colourNear(fill->gradient()->interpolatedColourAtPosition(0.25), QColor(128, 128, 0, 192), 1));
    fill->setGradient(nullptr);
    EXPECT_FALSE(fill->isValid());
    EXPECT_EQ(fill->numberOfColours(), 0);
}

TEST(RasterizerRender, OpacityFadesTheComposedStyle)
{
    // Red fill under a wide blue stroke at half opacity: where they overlap only the blue
    // shows through, faded, as the style is composed before it fades.
    const VXStylePtr style = VXStyle::styleWithFillColourStrokeColourStrokeWidth(Qt::red, Qt::blue, 10);
    style->setOpacity(0.5);
    const QImage image = render(*style, PathRenderable::rectangle(kSquare));
    EXPECT_TRUE(colourNear(at(image, 22, 50), QColor(127, 127, 255), 3));
    EXPECT_TRUE(colourNear(at(image, 50, 50), QColor(255, 127, 127), 3));
    EXPECT_TRUE(colourNear(at(image, 5, 5), kWhite, 0));

    style->setOpacity(0);
    EXPECT_TRUE(colourNear(at(render(*style, PathRenderable::rectangle(kSquare)), 50, 50), kWhite, 0));
    style->setOpacity(7); // clamped
    EXPECT_DOUBLE_EQ(style->opacity(), 1.0);
}

namespace {

// A widget that renders one rasterizer over kSquare, as the drawing view does.
class RasterizerWidget : public QWidget {
public:
    RasterizerWidget(const VXRasterizer& rasterizer, QWidget* parent) : QWidget(parent), m_rasterizer(rasterizer)
    {
        setAutoFillBackground(false);
    }

protected:
    void paintEvent(QPaintEvent*) override
    {
        QPainter painter(this);
        painter.fillRect(rect(), Qt::white);
        const platform::GraphicsContext::Scope scope(&painter);
        m_rasterizer.render(PathRenderable::rectangle(kSquare));
    }

private:
    const VXRasterizer& m_rasterizer;
};

} // namespace

TEST(RasterizerRender, LayeredEffectsStayInPlaceInAWidgetInsideItsWindow)
{
    // A widget paints into its window's surface at its own offset: faded styles and blurred
    // shadows, made in offscreen layers, must land where the widget would draw them directly.
    const VXStylePtr faded = VXStyle::styleWithFillColourStrokeColour(Qt::red, QColor());
    faded->setOpacity(0.5);
    const auto shadowed = VXFill::fillWithColour(Qt::red);
    shadowed->setShadow(VXShadow::shadowWithOffsetBlurRadiusColour(QSizeF(10, 10), 2, Qt::black));
    for (const VXRasterizer* rasterizer : std::initializer_list<const VXRasterizer*>{faded.get(), shadowed.get()}) {
        QWidget window;
        window.resize(200, 160);
        RasterizerWidget child(*rasterizer, &window);
        child.setGeometry(60, 40, 100, 100);
        const QImage direct = render(*rasterizer, PathRenderable::rectangle(kSquare));
        const QImage inWindow = window.grab().toImage().copy(60, 40, 100, 100);
        for (const QPoint probe : {QPoint(50, 50), QPoint(21, 21), QPoint(85, 85), QPoint(95, 60), QPoint(5, 5)})
            EXPECT_TRUE(colourNear(inWindow.pixelColor(probe), direct.pixelColor(probe), 3))
                << rasterizer->metaObject()->className() << " at " << probe.x() << "," << probe.y();
    }
}

TEST(RasterizerRender, ShadowsAreOffsetAndBlurred)
{
    const auto fill = VXFill::fillWithColour(Qt::red);
    fill->setShadow(VXShadow::shadowWithOffsetBlurRadiusColour(QSizeF(10, 10), 0, Qt::black));
    QImage image = render(*fill, PathRenderable::rectangle(kSquare));
    EXPECT_TRUE(colourNear(at(image, 85, 85), Qt::black, 0));
    EXPECT_TRUE(colourNear(at(image, 50, 50), kRed, 0)); // the fill is drawn over its shadow
    EXPECT_TRUE(colourNear(at(image, 25, 85), kWhite, 0));

    fill->shadow()->setBlurRadius(6);
    image = render(*fill, PathRenderable::rectangle(kSquare));
    const QColor edge = at(image, 90, 60); // on the shadow's edge: half dark
    EXPECT_GT(edge.red(), 60);
    EXPECT_LT(edge.red(), 200);
    EXPECT_TRUE(colourNear(at(image, 84, 60), Qt::black, 40));
    EXPECT_TRUE(colourNear(at(image, 98, 60), kWhite, 2));
    EXPECT_DOUBLE_EQ(fill->extraSpaceNeeded().width(), 16);
}

TEST(RasterizerRender, ExtraSpaceAndValidityFollowTheComponents)
{
    const auto wide = stroke(8);
    wide->setLineJoinStyle(int(platform::LineJoinStyle::Round));
    EXPECT_EQ(wide->extraSpaceNeeded(), QSizeF(4, 4));
    wide->setShadow(VXShadow::shadowWithOffsetBlurRadiusColour(QSizeF(3, -2), 4, Qt::black));
    EXPECT_EQ(wide->extraSpaceNeeded(), QSizeF(11, 10));

    VXStyle style;
    style.addRenderer(wide);
    style.addRenderer(stroke(30));
    EXPECT_EQ(style.extraSpaceNeeded(), QSizeF(30, 30)); // 15 with miter reach 2
    style.objectInRenderListAtIndex(1)->setEnabled(false);
    EXPECT_EQ(style.extraSpaceNeeded(), QSizeF(11, 10));

    EXPECT_FALSE(stroke(0)->isValid());
    EXPECT_FALSE(VXFill::fillWithColour(Qt::transparent)->isValid());
    EXPECT_FALSE(VXRastGroup().isValid());
}

TEST(RasterizerRender, SwatchShowsTheStyleWithRoomForItsStroke)
{
    const VXStylePtr style = VXStyle::styleWithFillColourStrokeColourStrokeWidth(Qt::red, Qt::blue, 4);
    const QImage swatch = style->swatchImageWithSize(QSizeF(40, 30));
    ASSERT_EQ(swatch.size(), QSize(40, 30));
    EXPECT_TRUE(colourNear(swatch.pixelColor(20, 15), kRed, 0));
    EXPECT_TRUE(colourNear(swatch.pixelColor(5, 15), Qt::blue, 0)); // stroke centred 4 in from the edge
    EXPECT_EQ(swatch.pixelColor(0, 15).alpha(), 0);

    const QImage fitted = style->imageToFitSize(QSizeF(60, 30));
    EXPECT_EQ(fitted.pixelColor(5, 15).alpha(), 0); // a centred square swatch
    EXPECT_TRUE(colourNear(fitted.pixelColor(30, 15), kRed, 0));
    EXPECT_EQ(style->image().size(), QSize(64, 64));
}

TEST(RasterizerRender, GradientDrawsInARectAtAnAngle)
{
    const auto fill = std::make_shared<VXGradientFill>();
    QImage image(100, 50, QImage::Format_ARGB32_Premultiplied);
    image.fill(Qt::white);
    {
        QPainter painter(&image);
        const platform::GraphicsContext::Scope scope(&painter);
        fill->drawInRectAngle(QRectF(0, 0, 100, 50), M_PI); // turned half round: white on the left
    }
    EXPECT_TRUE(colourNear(at(image, 0, 25), kWhite, 4));
    EXPECT_TRUE(colourNear(at(image, 99, 25), Qt::black, 4));
}

TEST(RasterizerRender, DrawingPreferencesApplyToEveryStyle)
{
    const VXStylePtr style = VXStyle::styleWithFillColourStrokeColour(Qt::red, QColor());
    style->renderersOfClass<VXFill>().first()->setShadow(
        VXShadow::shadowWithOffsetBlurRadiusColour(QSizeF(10, 10), 0, Qt::black));
    VXStyle::setWillDrawShadows(false);
    VXStyle::setShouldAntialias(false);
    const PathRenderable offGrid = PathRenderable::rectangle(QRectF(20.5, 20.5, 60, 60));
    const QImage image = render(*style, offGrid);
    VXStyle::setWillDrawShadows(true);
    VXStyle::setShouldAntialias(true);
    EXPECT_TRUE(colourNear(at(image, 85, 85), kWhite, 0));
    const QColor edge = at(image, 20, 50); // half covered: all or nothing without antialiasing
    EXPECT_TRUE(colourNear(edge, kRed, 0) || colourNear(edge, kWhite, 0)) << edge.name().toStdString();
    EXPECT_FALSE(colourNear(at(render(*style, offGrid), 20, 50), kRed, 0));
}
