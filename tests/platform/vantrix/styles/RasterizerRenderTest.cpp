#include "platform/vantrix/styles/StyleTestSupport.h"
#include "support/ArchiveTesting.h"

#include "platform/vantrix/styles/VXFill.h"
#include "platform/vantrix/styles/VXGradientFill.h"
#include "platform/vantrix/styles/VXStroke.h"
#include "platform/vantrix/styles/VXStyle.h"
#include "platform/vantrix/settings/VXDrawingPreferences.h"
#include "support/PreferencesScope.h"

#include <QWidget>
#include <QtMath>

using styletest::colourNear;
using styletest::coloursAt;
using styletest::PathRenderable;
using styletest::render;

namespace {

const QColor kWhite(Qt::white);
const QColor kRed(Qt::red);
const QRectF kSquare(20, 20, 60, 60);

VXStrokePtr stroke(double width, const QColor& colour = Qt::red)
{
    return VXStroke::strokeWithWidthColour(width, colour);
}

} // namespace

TEST(RasterizerRender, FillCoversTheInsideAndStrokesAreCentredOnThePath)
{
    QImage image = render(*VXFill::fillWithColour(kRed), PathRenderable::rectangle(kSquare));
    EXPECT_TRUE(coloursAt(image, {{50, 50}, {21, 79}}, kRed));
    EXPECT_TRUE(coloursAt(image, {{18, 50}, {81, 50}}, kWhite));
    image = render(*stroke(6), PathRenderable::rectangle(kSquare));
    EXPECT_TRUE(coloursAt(image, {{17, 50}, {19, 50}, {20, 50}, {22, 50}}, kRed));
    EXPECT_TRUE(coloursAt(image, {{15, 50}, {24, 50}, {50, 50}}, kWhite));

    // The default style's 1-wide stroke covers half of the pixels on either side of the edge.
    image = render(*VXStyle::defaultStyle(), PathRenderable::rectangle(kSquare));
    EXPECT_TRUE(coloursAt(image, {{50, 50}}, QColor("#AAD0E5")));
    EXPECT_TRUE(coloursAt(image, {{50, 19}}, QColor(0x99, 0x99, 0x99), 2));
    EXPECT_TRUE(coloursAt(image, {{50, 20}}, QColor(0x6E, 0x81, 0x8C), 2));
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
        EXPECT_TRUE(coloursAt(image, {{16, 50}}, c.beyondEnd ? kRed : kWhite)) << int(c.cap);
        EXPECT_TRUE(coloursAt(image, {{15, 45}}, c.outerCorner ? kRed : kWhite)) << int(c.cap);
    }
}

TEST(RasterizerRender, JoinsShapeTheCorners)
{
    const auto stroked = stroke(10);
    stroked->setLineJoinStyle(int(platform::LineJoinStyle::Miter));
    EXPECT_TRUE(coloursAt(render(*stroked, PathRenderable::rectangle(kSquare)), {{16, 16}}, kRed));
    stroked->setLineJoinStyle(int(platform::LineJoinStyle::Bevel));
    EXPECT_TRUE(coloursAt(render(*stroked, PathRenderable::rectangle(kSquare)), {{16, 16}}, kWhite));
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
    EXPECT_TRUE(coloursAt(render(*decoded, PathRenderable::rectangle(kSquare)), {{16, 16}}, kWhite));
}

TEST(RasterizerRender, LateralOffsetAndClippingMoveOrCutTheStroke)
{
    // A rectangle runs clockwise on screen, so its right is the inside.
    const auto offset = stroke(2);
    offset->setLateralOffset(5);
    QImage image = render(*offset, PathRenderable::rectangle(kSquare));
    EXPECT_TRUE(coloursAt(image, {{50, 25}, {25, 50}, {25, 25}}, kRed)); // the last at the inner square's mitred corner
    EXPECT_TRUE(coloursAt(image, {{50, 20}}, kWhite));
    offset->setLateralOffset(-5);
    image = render(*offset, PathRenderable::rectangle(kSquare));
    EXPECT_TRUE(coloursAt(image, {{50, 15}}, kRed));
    EXPECT_TRUE(coloursAt(image, {{50, 25}}, kWhite));
    EXPECT_DOUBLE_EQ(offset->extraSpaceNeeded().width(), 2 + 5); // miter reach + offset

    const auto clipped = stroke(10);
    for (const auto& [clipping, outerHalf] :
         {std::pair{kVXClipInsidePath, kWhite}, std::pair{kVXClipOutsidePath, kRed}}) {
        clipped->setClipping(clipping);
        image = render(*clipped, PathRenderable::rectangle(kSquare));
        EXPECT_TRUE(coloursAt(image, {{17, 50}}, outerHalf)) << clipping;
        EXPECT_TRUE(coloursAt(image, {{22, 50}}, outerHalf == kRed ? kWhite : kRed)) << clipping;
    }
}

TEST(RasterizerRender, LinearGradientRunsAlongItsAngle)
{
    const auto fill = std::make_shared<VXGradientFill>(); // black to white
    const PathRenderable square = PathRenderable::rectangle(QRectF(0, 0, 100, 100));
    QImage image = render(*fill, square);
    EXPECT_TRUE(coloursAt(image, {{0, 50}}, Qt::black, 4));
    EXPECT_TRUE(coloursAt(image, {{99, 50}}, kWhite, 4));
    EXPECT_TRUE(coloursAt(image, {{50, 10}, {50, 90}}, QColor(128, 128, 128), 4));
    fill->setGradientAngle(M_PI / 2); // clockwise on screen: top to bottom
    image = render(*fill, square);
    EXPECT_TRUE(coloursAt(image, {{50, 0}}, Qt::black, 4));
    EXPECT_TRUE(coloursAt(image, {{50, 99}}, kWhite, 4));
    EXPECT_TRUE(coloursAt(image, {{10, 50}, {90, 50}}, QColor(128, 128, 128), 4));

    // A relative angle turns with the object.
    const auto coloured = VXGradientFill::gradientFillWithGradient(
        VXGradient::gradientWithStartingColourEndingColour(Qt::red, Qt::blue));
    const PathRenderable turned = PathRenderable::rectangle(QRectF(0, 0, 100, 100), M_PI / 2);
    EXPECT_TRUE(coloursAt(render(*coloured, turned), {{0, 50}}, kRed, 4)); // absolute angle: left to right
    coloured->setAngleIsRelative(true);
    image = render(*coloured, turned);
    EXPECT_TRUE(coloursAt(image, {{50, 0}}, kRed, 4));
    EXPECT_TRUE(coloursAt(image, {{50, 99}}, Qt::blue, 4));

    // Drawn into a rect turned half round: white on the left.
    image = QImage(100, 50, QImage::Format_ARGB32_Premultiplied);
    image.fill(Qt::white);
    {
        QPainter painter(&image);
        const platform::GraphicsContext::Scope scope(&painter);
        VXGradientFill().drawInRectAngle(QRectF(0, 0, 100, 50), M_PI);
    }
    EXPECT_TRUE(coloursAt(image, {{0, 25}}, kWhite, 4));
    EXPECT_TRUE(coloursAt(image, {{99, 25}}, Qt::black, 4));
}

TEST(RasterizerRender, RadialGradientGoesFromTheStartingToTheEndingCircle)
{
    const auto fill = std::make_shared<VXGradientFill>();
    fill->setGradientType(VXGradientFill::kRadialGradient);
    fill->setStartingRadius(0);
    fill->setEndingRadius(0.4); // of the larger side: 40
    QImage image = render(*fill, PathRenderable::rectangle(QRectF(0, 0, 100, 100)));
    EXPECT_TRUE(coloursAt(image, {{50, 50}}, Qt::black, 8));
    EXPECT_TRUE(coloursAt(image, {{70, 50}, {50, 30}}, QColor(128, 128, 128), 8));
    EXPECT_TRUE(coloursAt(image, {{95, 50}, {2, 2}}, kWhite, 2));

    fill->setStartingLocation(QPointF(-0.25, 0)); // both centres move with the start and end locations
    fill->setEndingLocation(QPointF(-0.25, 0));
    image = render(*fill, PathRenderable::rectangle(QRectF(0, 0, 100, 100)));
    EXPECT_TRUE(coloursAt(image, {{25, 50}}, Qt::black, 8));
    EXPECT_TRUE(coloursAt(image, {{75, 50}}, kWhite, 2));
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
}

TEST(RasterizerRender, OpacityFadesTheComposedStyle)
{
    // Red fill under a wide blue stroke at half opacity: where they overlap only the blue
    // shows through, faded, as the style is composed before it fades.
    const VXStylePtr style = VXStyle::styleWithFillColourStrokeColourStrokeWidth(Qt::red, Qt::blue, 10);
    style->setOpacity(0.5);
    const QImage image = render(*style, PathRenderable::rectangle(kSquare));
    EXPECT_TRUE(coloursAt(image, {{22, 50}}, QColor(127, 127, 255), 3));
    EXPECT_TRUE(coloursAt(image, {{50, 50}}, QColor(255, 127, 127), 3));
    EXPECT_TRUE(coloursAt(image, {{5, 5}}, kWhite));
    style->setOpacity(0);
    EXPECT_TRUE(coloursAt(render(*style, PathRenderable::rectangle(kSquare)), {{50, 50}}, kWhite));
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
    EXPECT_TRUE(coloursAt(image, {{85, 85}}, Qt::black));
    EXPECT_TRUE(coloursAt(image, {{50, 50}}, kRed)); // the fill is drawn over its shadow
    EXPECT_TRUE(coloursAt(image, {{25, 85}}, kWhite));

    fill->shadow()->setBlurRadius(6);
    image = render(*fill, PathRenderable::rectangle(kSquare));
    EXPECT_TRUE(coloursAt(image, {{90, 60}}, QColor(130, 130, 130), 70)); // on the shadow's edge: half dark
    EXPECT_TRUE(coloursAt(image, {{84, 60}}, Qt::black, 40));
    EXPECT_TRUE(coloursAt(image, {{98, 60}}, kWhite, 2));
    EXPECT_DOUBLE_EQ(fill->extraSpaceNeeded().width(), 16);
}

TEST(RasterizerRender, ExtraSpaceFollowsTheEnabledComponents)
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
}

TEST(RasterizerRender, SwatchShowsTheStyleWithRoomForItsStroke)
{
    const VXStylePtr style = VXStyle::styleWithFillColourStrokeColourStrokeWidth(Qt::red, Qt::blue, 4);
    const QImage swatch = style->swatchImageWithSize(QSizeF(40, 30));
    ASSERT_EQ(swatch.size(), QSize(40, 30));
    EXPECT_TRUE(coloursAt(swatch, {{20, 15}}, kRed));
    EXPECT_TRUE(coloursAt(swatch, {{5, 15}}, Qt::blue)); // stroke centred 4 in from the edge
    EXPECT_EQ(swatch.pixelColor(0, 15).alpha(), 0);

    const QImage fitted = style->imageToFitSize(QSizeF(60, 30));
    EXPECT_EQ(fitted.pixelColor(5, 15).alpha(), 0); // a centred square swatch
    EXPECT_TRUE(coloursAt(fitted, {{30, 15}}, kRed));
    EXPECT_EQ(style->image().size(), QSize(64, 64));
}

TEST(RasterizerRender, DrawingPreferencesApplyToEveryStyle)
{
    const VXStylePtr style = VXStyle::styleWithFillColourStrokeColour(Qt::red, QColor());
    style->renderersOfClass<VXFill>().first()->setShadow(
        VXShadow::shadowWithOffsetBlurRadiusColour(QSizeF(10, 10), 0, Qt::black));
    const PathRenderable offGrid = PathRenderable::rectangle(QRectF(20.5, 20.5, 60, 60));
    QImage image;
    {
        const testsupport::PreferencesScope<VXDrawingPreferences> restore;
        restore.set(&VXDrawingPreferences::willDrawShadows, false);
        restore.set(&VXDrawingPreferences::shouldAntialias, false);
        image = render(*style, offGrid);
    }
    EXPECT_TRUE(coloursAt(image, {{85, 85}}, kWhite));
    const QColor edge = image.pixelColor(20, 50); // half covered: all or nothing without antialiasing
    EXPECT_TRUE(colourNear(edge, kRed, 0) || colourNear(edge, kWhite, 0)) << edge.name().toStdString();
    EXPECT_FALSE(coloursAt(render(*style, offGrid), {{20, 50}}, kRed));
}
