#include "platform/graphics/AttributedStringLayout.h"
#include "platform/vantrix/render/DrawingRenderer.h"
#include "platform/vantrix/svg/SVGNumberScanner.h"
#include "platform/vantrix/svg/SVGPathParser.h"
#include "platform/vantrix/svg/SVGTransformParser.h"
#include "platform/vantrix/drawables/VXDrawablePath.h"
#include "platform/vantrix/drawables/VXDrawableShape.h"
#include "platform/vantrix/model/VXDrawing.h"
#include "platform/vantrix/styles/VXFill.h"
#include "platform/vantrix/styles/VXGradientFill.h"
#include "platform/vantrix/drawables/VXImageShape.h"
#include "platform/vantrix/model/VXObjectDrawingLayer.h"
#include "platform/vantrix/svg/SVGImageSource.h"
#include "platform/vantrix/svg/VXSVGImporter.h"
#include "platform/vantrix/drawables/VXShapeGroup.h"
#include "platform/vantrix/styles/VXStroke.h"
#include "platform/vantrix/styles/VXStrokeDash.h"
#include "platform/vantrix/styles/VXStyle.h"
#include "platform/vantrix/drawables/VXTextShape.h"
#include "platform/vantrix/svg/SVGMarkupScan.h"
#include "support/AddressSpaceLimit.h"
#include "support/LogCapture.h"

#include <QBuffer>
#include <QDir>
#include <QFile>
#include <QFontMetricsF>
#include <QImage>
#include <QLocale>
#include <QStringEncoder>
#include <QTemporaryDir>

#include <gtest/gtest.h>
#include <sys/stat.h>

using platform::SVGPathParser;
using platform::SVGTransformParser;

namespace {

constexpr double kTolerance = 1e-6;

// `body` in a document whose user units are points, 100 x 100, reading files from `folder` only.
VXSVGImporter::Result import(const QString& body, const QString& folder = {})
{
    const QByteArray document =
        QStringLiteral("<svg xmlns=\"http://www.w3.org/2000/svg\" xmlns:xlink=\"http://www.w3.org/1999/xlink\" "
                       "width=\"100pt\" height=\"100pt\" viewBox=\"0 0 100 100\">%1</svg>")
            .arg(body)
            .toUtf8();
    QuorvaneError error;
    const std::optional<VXSVGImporter::Result> result = VXSVGImporter::importData(document, folder, &error);
    EXPECT_TRUE(result) << error.localizedDescription().toStdString();
    return result.value_or(VXSVGImporter::Result());
}

VXDrawableObjectPtr only(const VXSVGImporter::Result& result)
{
    EXPECT_EQ(result.objects.size(), 1);
    return result.objects.value(0);
}

template <class Component>
std::shared_ptr<Component> component(const VXDrawableObjectPtr& object)
{
    if (!object || !object->style())
        return nullptr;
    for (const VXRasterizerPtr& renderer : object->style()->renderList()) {
        if (auto found = std::dynamic_pointer_cast<Component>(renderer))
            return found;
    }
    return nullptr;
}

// The members of a group; none when the object is no group.
QList<VXDrawableObjectPtr> members(const VXDrawableObjectPtr& object)
{
    const auto* group = qobject_cast<VXShapeGroup*>(object.get());
    return group ? group->groupObjects() : QList<VXDrawableObjectPtr>();
}

QRectF pageBounds(const VXDrawableObjectPtr& object)
{
    return object->renderingPath().bounds();
}

void expectRect(const QRectF& actual, const QRectF& expected, double tolerance = kTolerance)
{
    EXPECT_NEAR(actual.x(), expected.x(), tolerance);
    EXPECT_NEAR(actual.y(), expected.y(), tolerance);
    EXPECT_NEAR(actual.width(), expected.width(), tolerance);
    EXPECT_NEAR(actual.height(), expected.height(), tolerance);
}

void expectPoint(QPointF actual, QPointF expected, double tolerance = kTolerance)
{
    EXPECT_NEAR(actual.x(), expected.x(), tolerance);
    EXPECT_NEAR(actual.y(), expected.y(), tolerance);
}

QPainterPath parsePath(const QString& data, bool* complete = nullptr)
{
    qsizetype budget = 1'000'000;
    const SVGPathParser::Result result = SVGPathParser::parse(data, budget);
    if (complete)
        *complete = result.complete;
    return result.path;
}

QList<QPointF> elementPoints(const QPainterPath& path)
{
    QList<QPointF> points;
    for (int i = 0; i < path.elementCount(); ++i)
        points.append(path.elementAt(i));
    return points;
}

QuorvaneError importError(const QByteArray& data)
{
    QuorvaneError error;
    EXPECT_FALSE(VXSVGImporter::importData(data, {}, &error));
    return error;
}

const char kPixelPNG[] =
    "iVBORw0KGgoAAAANSUhEUgAAAAEAAAABCAYAAAAfFcSJAAAADUlEQVR42mP8z8DwHwAFBQIAX8jx0gAAAABJRU5ErkJggg==";

} // namespace

// --- Path data -------------------------------------------------------------------------------

TEST(SVGPathDataTest, AbsoluteRelativeImplicitAndCompactCommandsAgree)
{
    const QPainterPath absolute = parsePath(QStringLiteral("M10 10 L20 10 H30 V20 L10 20 Z"));
    EXPECT_EQ(elementPoints(absolute), elementPoints(parsePath(QStringLiteral("m10,10 10,0h10v10l-20,0z"))));
    EXPECT_EQ(elementPoints(absolute),
              (QList<QPointF>{{10, 10}, {20, 10}, {30, 10}, {30, 20}, {10, 20}, {10, 10}}));
    // After a close, a relative move starts from the subpath's start.
    const QPainterPath second = parsePath(QStringLiteral("M10 10 h5 z m5 5 h1"));
    EXPECT_EQ(second.elementAt(second.elementCount() - 2), QPointF(15, 15));
    EXPECT_EQ(elementPoints(parsePath(QStringLiteral("M1.5.5L-.5-1e-3l2E1,0"))),
              (QList<QPointF>{{1.5, 0.5}, {-0.5, -0.001}, {19.5, -0.001}}));
    // A trailing point ends the number: "10." is ten in path data. (Length attributes refuse it.)
    EXPECT_EQ(elementPoints(parsePath(QStringLiteral("M10. 20.L5.,5."))), (QList<QPointF>{{10, 20}, {5, 5}}));
    EXPECT_EQ(platform::parseSVGLength(u"21.", 100), 21.0);
}

TEST(SVGPathDataTest, SmoothCurvesReflectTheirControlPointsOrStartAtTheCurrentPoint)
{
    const QPainterPath cubic = parsePath(QStringLiteral("M0 0 C0 10 10 10 10 0 S20 -10 20 0"));
    ASSERT_EQ(cubic.elementCount(), 7);
    EXPECT_EQ(QPointF(cubic.elementAt(4)), QPointF(10, -10)); // reflection of (10, 10) about (10, 0)
    // A quadratic becomes a cubic with controls two thirds of the way to its control point.
    const QPainterPath quad = parsePath(QStringLiteral("M0 0 Q15 30 30 0 T60 0"));
    ASSERT_EQ(quad.elementCount(), 7);
    expectPoint(quad.elementAt(1), {10, 20});
    expectPoint(quad.elementAt(2), {20, 20});
    expectPoint(quad.elementAt(4), {40, -20}); // reflected control (45, -30)
    // After a line, or a curve of the other kind, there is no control to reflect: the first
    // control is the current point.
    EXPECT_EQ(parsePath(QStringLiteral("M10 10 v10 s10 10 20 0")).elementAt(2), QPointF(10, 20));
    EXPECT_EQ(parsePath(QStringLiteral("M0 0 h10 t10 10")).elementAt(2), QPointF(10, 0));
    const QPainterPath mixed = parsePath(QStringLiteral("M0 0 q5 5 10 0 s5 5 10 0"));
    EXPECT_EQ(mixed.elementAt(mixed.elementCount() - 3), QPointF(10, 0));
}

TEST(SVGPathDataTest, ArcsBecomeCubicsOnTheEllipse)
{
    // A half circle of radius 10 from (0, 0) to (20, 0), sweeping through (10, 10) (y down).
    const QPainterPath arc = parsePath(QStringLiteral("M0 0 A10 10 0 0 0 20 0"));
    ASSERT_EQ(arc.elementCount(), 7); // two quarter-turn cubics
    expectPoint(arc.elementAt(3), {10, 10});
    expectPoint(arc.elementAt(6), {20, 0});
    expectPoint(arc.pointAtPercent(0.25), {10 - 10 / std::sqrt(2.0), 10 / std::sqrt(2.0)}, 0.05);
    // The other sweep goes the other way; radii too small grow to fit; zero radii draw a line.
    expectPoint(parsePath(QStringLiteral("M0 0 A10 10 0 0 1 20 0")).elementAt(3), {10, -10});
    expectPoint(parsePath(QStringLiteral("M0 0 a1 1 0 0 0 20 0")).elementAt(3), {10, 10});
    EXPECT_EQ(elementPoints(parsePath(QStringLiteral("M0 0 A0 5 0 0 0 20 0"))), (QList<QPointF>{{0, 0}, {20, 0}}));
    // Flags may be written without separators.
    EXPECT_EQ(parsePath(QStringLiteral("M0 0a10 10 0 0020 0")).elementCount(), 7);
}

TEST(SVGPathDataTest, BadTokensKeepWhatCameBeforeAndABudgetStopsHugePaths)
{
    bool complete = true;
    EXPECT_EQ(elementPoints(parsePath(QStringLiteral("M0 0 L10 10 L20 x L30 30"), &complete)),
              (QList<QPointF>{{0, 0}, {10, 10}}));
    EXPECT_FALSE(complete);
    EXPECT_TRUE(parsePath(QStringLiteral("L10 10"), &complete).isEmpty());
    EXPECT_FALSE(complete);
    EXPECT_EQ(parsePath(QStringLiteral("M0 0 L1e999 5"), &complete).elementCount(), 1);
    EXPECT_FALSE(complete);
    EXPECT_EQ(parsePath(QStringLiteral("M0 0 A10 10 0 2 0 20 0"), &complete).elementCount(), 1); // flag 2

    const QString huge = QStringLiteral("M0 0") + QStringLiteral(" l1 1").repeated(200'000);
    qsizetype budget = 1000;
    const SVGPathParser::Result result = SVGPathParser::parse(huge, budget);
    EXPECT_TRUE(result.budgetSpent);
    EXPECT_LE(result.path.elementCount(), 1001);
    qsizetype generous = 10'000'000;
    EXPECT_EQ(SVGPathParser::parse(huge, generous).path.elementCount(), 200'001);
}

TEST(SVGTransformTest, EveryFormMapsPointsAsSVGDoesAndMalformedListsAreRefused)
{
    const auto map = [](const char* text, QPointF point) {
        return SVGTransformParser::parse(QString::fromLatin1(text)).value_or(QTransform()).map(point);
    };
    expectPoint(map("matrix(1 2 3 4 5 6)", {1, 1}), {1 + 3 + 5, 2 + 4 + 6});
    expectPoint(map("translate(5)", {1, 1}), {6, 1});
    expectPoint(map("translate(5,-2)", {1, 1}), {6, -1});
    expectPoint(map("scale(2)", {1, 3}), {2, 6});
    expectPoint(map("scale(2 -1)", {1, 3}), {2, -3});
    expectPoint(map("rotate(90)", {1, 0}), {0, 1});
    expectPoint(map("rotate(180 10 10)", {0, 0}), {20, 20});
    expectPoint(map("skewX(45)", {0, 10}), {10, 10});
    expectPoint(map("skewY(45)", {10, 0}), {10, 10});
    // Lists apply right to left: scale first, then translate.
    expectPoint(map("translate(10,0) scale(2)", {1, 1}), {12, 2});
    expectPoint(map("scale(2),translate(10,0)", {1, 1}), {22, 2});

    for (const char* text : {"rotate(", "scale()", "translate(1 2 3)", "spin(4)", "matrix(1 2 3 4 5)", "scale(2) x"})
        EXPECT_FALSE(SVGTransformParser::parse(QString::fromLatin1(text))) << text;
    EXPECT_EQ(SVGTransformParser::parse(QStringLiteral("  ")), QTransform());
}

// --- Elements ------------------------------------------------------------------------------

TEST(SVGImportTest, BasicShapesKeepTheirGeometryAndMalformedLengthsAreRefused)
{
    const VXSVGImporter::Result result = import(QStringLiteral(
        "<rect x='10' y='20' width='30' height='40'/>"
        "<rect x='0' y='0' width='20' height='10' rx='4'/>"
        "<circle cx='50' cy='50' r='10'/>"
        "<ellipse cx='50' cy='50' rx='20' ry='5'/>"
        "<line x1='1' y1='2' x2='3' y2='4' stroke='black'/>"
        "<polyline points='0,0 10,0 10,10'/>"
        "<polygon points='0 0 10 0 10 10 5'/>"
        "<rect width='0' height='10'/><circle r='-1'/>"
        // Path data may end a number with a point; length attributes may not.
        "<rect x='21.' y='19' width='23.5' height='10.' stroke='black'/>"
        "<rect x='21.' y='19' width='23.5' height='10' stroke='black'/>"
        "<path d='M51. 26 h4.' stroke='black'/>"));
    ASSERT_EQ(result.objects.size(), 9);
    EXPECT_TRUE(qobject_cast<VXDrawableShape*>(result.objects[0].get()));
    expectRect(pageBounds(result.objects[0]), {10, 20, 30, 40});
    // Rounded corners: the straight top edge starts after the radius.
    const QPainterPath rounded = result.objects[1]->renderingPath().painterPath();
    expectRect(rounded.boundingRect(), {0, 0, 20, 10});
    EXPECT_FALSE(rounded.contains(QPointF(0.3, 0.3)));
    EXPECT_TRUE(rounded.contains(QPointF(4, 1)));
    expectRect(pageBounds(result.objects[2]), {40, 40, 20, 20});
    expectRect(pageBounds(result.objects[3]), {30, 45, 40, 10});
    auto line = std::dynamic_pointer_cast<VXDrawablePath>(result.objects[4]);
    ASSERT_TRUE(line);
    EXPECT_EQ(elementPoints(line->path().painterPath()), (QList<QPointF>{{1, 2}, {3, 4}}));
    EXPECT_FALSE(result.objects[5]->renderingPath().isClosed());
    EXPECT_EQ(result.objects[5]->renderingPath().elementCount(), 3);
    EXPECT_TRUE(result.objects[6]->renderingPath().isClosed()); // the odd coordinate is dropped
    expectRect(pageBounds(result.objects[7]), {0, 19, 23.5, 10});
    expectRect(pageBounds(result.objects[8]), {51, 26, 4, 0});
    EXPECT_EQ(result.size, QSizeF(100, 100));
}

TEST(SVGImportTest, GroupsUsesAndSwitchesKeepTheStructureAndHiddenContentIsLeftOut)
{
    const VXSVGImporter::Result result = import(QStringLiteral(
        "<g id='outer'><rect width='10' height='10'/><g><circle cx='50' cy='50' r='5'/></g></g>"
        "<g/><g display='none'><rect width='5' height='5'/></g><rect width='5' height='5' style='display:none'/>"
        "<g visibility='hidden'><rect width='5' height='5'/><rect width='7' height='7' visibility='visible'/></g>"
        "<defs><rect id='box' width='10' height='10'/>"
        "<symbol id='icon' viewBox='0 0 1 1'><circle cx='0.5' cy='0.5' r='0.5'/></symbol></defs>"
        "<use xlink:href='#box' x='20' y='30' fill='red'/>"
        "<use href='#box' transform='scale(2)' x='5'/>"
        "<use href='#icon' x='50' y='50' width='20' height='20'/>"
        "<use href='#missing'/>"
        "<switch><foreignObject><p>html</p></foreignObject>"
        "<rect requiredExtensions='http://example.invalid/x' width='1' height='1'/>"
        "<circle cx='5' cy='5' r='5'/><rect width='9' height='9'/></switch>"));
    ASSERT_EQ(result.objects.size(), 6); // nothing for the empty and the hidden groups
    const QList<VXDrawableObjectPtr> outer = members(result.objects[0]);
    ASSERT_EQ(outer.size(), 2);
    EXPECT_EQ(members(outer[1]).size(), 1);
    expectRect(result.objects[0]->logicalBounds(), {0, 0, 55, 55}, 1e-3);
    const QList<VXDrawableObjectPtr> hidden = members(result.objects[1]);
    ASSERT_EQ(hidden.size(), 1);
    expectRect(pageBounds(hidden[0]), {0, 0, 7, 7});

    expectRect(pageBounds(result.objects[2]), {20, 30, 10, 10});
    EXPECT_EQ(component<VXFill>(result.objects[2])->colour(), QColor(Qt::red)); // inherited through use
    expectRect(pageBounds(result.objects[3]), {10, 0, 20, 20});
    expectRect(result.objects[4]->logicalBounds(), {50, 50, 20, 20}, 1e-3);
    EXPECT_EQ(result.skipped, QStringList{QStringLiteral("use")});
    expectRect(pageBounds(result.objects[5]), {0, 0, 10, 10}); // the first child the switch can draw
}

TEST(SVGImportTest, TransformsAndUnitsPlaceObjectsInPoints)
{
    // No viewBox: user units are points, unless the page is sized in absolute units; then
    // the content, in CSS pixels (96 to the inch), is scaled to the page's physical size.
    QuorvaneError error;
    const auto plain = VXSVGImporter::importData(
        "<svg xmlns='http://www.w3.org/2000/svg' width='4in' height='10cm'>"
        "<rect x='10' y='10' width='20' height='20' transform='translate(40 0) scale(2)'/></svg>",
        {}, &error);
    ASSERT_TRUE(plain);
    EXPECT_NEAR(plain->size.width(), 288, kTolerance);
    EXPECT_NEAR(plain->size.height(), 10 / 2.54 * 72, kTolerance);
    expectRect(pageBounds(only(*plain)), {45, 15, 30, 30});
    const auto unitless = VXSVGImporter::importData(
        "<svg xmlns='http://www.w3.org/2000/svg' width='200' height='100'><rect width='20' height='20'/></svg>", {});
    ASSERT_TRUE(unitless);
    EXPECT_EQ(unitless->size, QSizeF(200, 100));
    expectRect(pageBounds(only(*unitless)), {0, 0, 20, 20});

    // A viewBox meets the viewport in the middle; slice fills it; none stretches.
    const auto fitted = [](const char* aspect) {
        const QByteArray svg = QStringLiteral("<svg xmlns='http://www.w3.org/2000/svg' width='200pt' height='100pt' "
                                              "viewBox='0 0 10 10' preserveAspectRatio='%1'><rect width='10' height='10'/></svg>")
                                   .arg(QString::fromLatin1(aspect))
                                   .toUtf8();
        const auto result = VXSVGImporter::importData(svg, {});
        return result && !result->objects.isEmpty() ? pageBounds(result->objects[0]) : QRectF();
    };
    expectRect(fitted(""), {50, 0, 100, 100});
    expectRect(fitted("xMinYMin meet"), {0, 0, 100, 100});
    expectRect(fitted("xMaxYMax"), {100, 0, 100, 100});
    expectRect(fitted("xMidYMin slice"), {0, 0, 200, 200});
    expectRect(fitted("none"), {0, 0, 200, 100});

    // Nested viewports, percentages and font-relative units.
    const VXSVGImporter::Result nested = import(QStringLiteral(
        "<svg x='50' y='50' width='50' height='50' viewBox='0 0 5 5'><rect width='1' height='1'/></svg>"
        "<rect x='10%' y='1em' width='5mm' height='1in'/>"));
    ASSERT_EQ(nested.objects.size(), 2);
    auto group = std::dynamic_pointer_cast<VXShapeGroup>(nested.objects[0]);
    ASSERT_TRUE(group);
    expectRect(pageBounds(group->groupObjects()[0]), {50, 50, 10, 10});
    expectRect(pageBounds(nested.objects[1]), {10, 16, 5 / 25.4 * 96, 96});
}

// --- Style ------------------------------------------------------------------------------

TEST(SVGImportTest, StyleCascadeOrderAndInheritance)
{
    const VXSVGImporter::Result result = import(QStringLiteral(
        "<style>/* sheet */ rect { fill: blue } .warm { fill: orange; stroke: red } #hot { fill: #f00 }"
        " rect.warm { stroke-width: 3 } g > rect { fill: lime }</style>"
        "<g fill='green' stroke='black' stroke-width='2' opacity='0.5'>"
        "  <rect width='10' height='10' fill='yellow'/>"
        "  <rect class='warm' width='10' height='10'/>"
        "  <rect id='hot' class='warm' width='10' height='10' style='stroke: rgb(0, 0, 255); fill-opacity: 50%'/>"
        "  <circle r='5'/>"
        "  <circle r='5' fill='inherit' stroke='none' style='fill: red !important'/>"
        "</g>"));
    auto group = std::dynamic_pointer_cast<VXShapeGroup>(only(result));
    ASSERT_TRUE(group);
    const QList<VXDrawableObjectPtr>& members = group->groupObjects();
    ASSERT_EQ(members.size(), 5);
    // The sheet beats presentation attributes; the combinator rule is ignored.
    EXPECT_EQ(component<VXFill>(members[0])->colour(), QColor(Qt::blue));
    EXPECT_EQ(component<VXFill>(members[1])->colour(), QColor(255, 165, 0));
    EXPECT_EQ(component<VXStroke>(members[1])->colour(), QColor(Qt::red));
    EXPECT_DOUBLE_EQ(component<VXStroke>(members[1])->width(), 3);
    // Id beats class; the style attribute beats the sheet.
    EXPECT_EQ(component<VXFill>(members[2])->colour(), QColor::fromRgbF(1, 0, 0, 0.5));
    EXPECT_EQ(component<VXStroke>(members[2])->colour(), QColor(Qt::blue));
    // Inherited from the group: fill, stroke and width; opacity is not inherited but applies.
    EXPECT_EQ(component<VXFill>(members[3])->colour(), QColor(0, 128, 0));
    EXPECT_DOUBLE_EQ(component<VXStroke>(members[3])->width(), 2);
    EXPECT_DOUBLE_EQ(members[3]->style()->opacity(), 0.5);
    EXPECT_EQ(component<VXFill>(members[4])->colour(), QColor(Qt::red));
    EXPECT_FALSE(component<VXStroke>(members[4]));
}

TEST(SVGImportTest, ColoursAndStrokeDetailsInheritAndScaleWithTheTransform)
{
    const auto fillOf = [](const QString& fill) {
        const VXSVGImporter::Result result =
            import(QStringLiteral("<rect width='1' height='1' color='#123456' fill='%1'/>").arg(fill));
        const auto filled = component<VXFill>(result.objects.value(0));
        return filled ? filled->colour() : QColor();
    };
    EXPECT_EQ(fillOf(QStringLiteral("#abc")), QColor(0xaa, 0xbb, 0xcc));
    EXPECT_EQ(fillOf(QStringLiteral("#A0B1C2")), QColor(0xa0, 0xb1, 0xc2));
    EXPECT_EQ(fillOf(QStringLiteral("cornflowerblue")), QColor(100, 149, 237));
    EXPECT_EQ(fillOf(QStringLiteral("rgb(10%, 50%, 100%)")), QColor(26, 128, 255));
    EXPECT_EQ(fillOf(QStringLiteral("rgba(255,0,0,0.25)")), QColor::fromRgbF(1, 0, 0, 0.25f));
    EXPECT_EQ(fillOf(QStringLiteral("currentColor")), QColor(0x12, 0x34, 0x56));
    EXPECT_FALSE(fillOf(QStringLiteral("none")).isValid());
    // Bad values leave the inherited black.
    for (const char* bad : {"#12", "#1234", "rgb(1,2)", "notacolour", "12"})
        EXPECT_EQ(fillOf(QString::fromLatin1(bad)), QColor(Qt::black)) << bad;

    const VXSVGImporter::Result result = import(QStringLiteral(
        "<path d='M0 0 H10' transform='scale(2)' stroke='navy' stroke-width='1.5' stroke-opacity='0.5' "
        "stroke-linecap='round' stroke-linejoin='bevel' stroke-dasharray='1 2 3' stroke-dashoffset='1' "
        "fill-rule='evenodd'/>"
        "<path d='M0 0 L10 10 L20 0' stroke='black'/>"
        "<g stroke-miterlimit='8'><path d='M0 0 L10 10 L20 0' stroke='black'/>"
        "<path d='M0 0 L10 10 L20 0' stroke='black' stroke-miterlimit='0.5'/></g>"));
    ASSERT_EQ(result.objects.size(), 3);
    const auto stroke = component<VXStroke>(result.objects[0]);
    ASSERT_TRUE(stroke);
    EXPECT_DOUBLE_EQ(stroke->width(), 3);
    EXPECT_EQ(stroke->colour(), QColor::fromRgbF(0, 0, 128 / 255.0f, 0.5f));
    EXPECT_EQ(stroke->lineCapStyle(), int(platform::LineCapStyle::Round));
    EXPECT_EQ(stroke->lineJoinStyle(), int(platform::LineJoinStyle::Bevel));
    ASSERT_TRUE(stroke->dash());
    EXPECT_EQ(stroke->dash()->dashPattern(), (QList<double>{2, 4, 6, 2, 4, 6})); // odd lists repeat
    EXPECT_DOUBLE_EQ(stroke->dash()->phase(), 2);
    EXPECT_EQ(std::dynamic_pointer_cast<VXDrawablePath>(result.objects[0])->path().windingRule(),
              platform::WindingRule::EvenOdd);
    // The miter limit defaults to SVG's and inherits; below 1 it is ignored.
    EXPECT_DOUBLE_EQ(component<VXStroke>(result.objects[1])->miterLimit(), 4);
    const QList<VXDrawableObjectPtr> limited = members(result.objects[2]);
    ASSERT_EQ(limited.size(), 2);
    EXPECT_DOUBLE_EQ(component<VXStroke>(limited[0])->miterLimit(), 8);
    EXPECT_DOUBLE_EQ(component<VXStroke>(limited[1])->miterLimit(), 8);
}

// --- Clipping ---------------------------------------------------------------------------

double area(const VXDrawableObjectPtr& object)
{
    return object ? object->renderingPath().area() : 0;
}

TEST(SVGImportTest, ClipPathsCutFillsAndStrokeOutlines)
{
    const VXSVGImporter::Result result = import(QStringLiteral(
        "<defs><clipPath id='disc'><circle cx='20' cy='20' r='10'/></clipPath>"
        "<clipPath id='band' transform='translate(0 40)'><rect x='20' y='0' width='40' height='30'/></clipPath></defs>"
        "<rect width='40' height='40' fill='teal' clip-path='url(#disc)'/>"
        "<line x1='0' y1='50' x2='100' y2='50' stroke='red' stroke-width='4' clip-path='url(#band)'/>"
        "<rect x='10' y='42' width='80' height='20' fill='navy' stroke='orange' stroke-width='2' "
        "      style='clip-path: url(#band)'/>"));
    ASSERT_EQ(result.objects.size(), 3);

    // A filled shape keeps the part of its fill inside the clip.
    const VXDrawableObjectPtr disc = result.objects[0];
    EXPECT_NEAR(area(disc), M_PI * 100, 1.0);
    expectRect(pageBounds(disc), {10, 10, 20, 20}, 0.05);
    EXPECT_EQ(component<VXFill>(disc)->colour(), QColor(0, 128, 128));

    // A stroke becomes its outline, filled with the stroke's colour.
    const VXDrawableObjectPtr line = result.objects[1];
    EXPECT_NEAR(area(line), 40 * 4, 1e-3);
    expectRect(pageBounds(line), {20, 48, 40, 4}, 1e-3);
    EXPECT_EQ(component<VXFill>(line)->colour(), QColor(Qt::red));
    EXPECT_FALSE(component<VXStroke>(line));

    // Fill and stroke both: the fill under the stroke's outline, each cut.
    auto both = std::dynamic_pointer_cast<VXShapeGroup>(result.objects[2]);
    ASSERT_TRUE(both);
    ASSERT_EQ(both->groupObjects().size(), 2);
    EXPECT_NEAR(area(both->groupObjects()[0]), 40 * 20, 1e-3);
    EXPECT_EQ(component<VXFill>(both->groupObjects()[0])->colour(), QColor(0, 0, 128));
    // The outline inside x 20...60: two horizontal bands, 2 wide, the rect's top and bottom.
    EXPECT_NEAR(area(both->groupObjects()[1]), 2 * 40 * 2, 1e-3);
    EXPECT_EQ(component<VXFill>(both->groupObjects()[1])->colour(), QColor(255, 165, 0));
}

TEST(SVGImportTest, ClipPathUnitsRulesAndGroups)
{
    const VXSVGImporter::Result result = import(QStringLiteral(
        "<defs><clipPath id='left' clipPathUnits='objectBoundingBox'><rect width='0.5' height='1'/></clipPath>"
        "<clipPath id='frame'><path clip-rule='evenodd' d='M0 0 H100 V100 H0 Z M10 10 H90 V90 H10 Z'/></clipPath>"
        "<clipPath id='wide'><rect x='-50' y='-50' width='200' height='200'/></clipPath>"
        "<clipPath id='away'><rect x='500' y='500' width='10' height='10'/></clipPath></defs>"
        "<rect x='10' y='10' width='40' height='20' fill='black' clip-path='url(#left)'/>"
        "<g transform='translate(0 40)' clip-path='url(#left)'>"
        "  <rect x='0' y='0' width='10' height='10'/><rect x='30' y='0' width='10' height='10'/></g>"
        "<rect width='100' height='100' fill='black' clip-path='url(#frame)'/>"
        "<rect x='1' y='1' width='8' height='8' stroke='black' clip-path='url(#wide)'/>"
        "<rect width='50' height='50' clip-path='url(#away)'/>"));
    ASSERT_EQ(result.objects.size(), 4);

    // objectBoundingBox: the left half of the element's own box.
    EXPECT_NEAR(area(result.objects[0]), 20 * 20, 1e-3);
    expectRect(pageBounds(result.objects[0]), {10, 10, 20, 20}, 1e-3);

    // On a group the box is that of all members; each member is cut in the group's units.
    auto group = std::dynamic_pointer_cast<VXShapeGroup>(result.objects[1]);
    ASSERT_TRUE(group);
    ASSERT_EQ(group->groupObjects().size(), 1); // the right square lies outside the left half
    expectRect(pageBounds(group->groupObjects()[0]), {0, 40, 10, 10}, 1e-3);

    // An even-odd clip leaves a frame.
    EXPECT_NEAR(area(result.objects[2]), 100 * 100 - 80 * 80, 1e-3);

    // A clip that leaves the whole paint visible keeps the shape editable as it was.
    auto untouched = std::dynamic_pointer_cast<VXDrawableShape>(result.objects[3]);
    ASSERT_TRUE(untouched);
    EXPECT_TRUE(component<VXStroke>(untouched));
}

TEST(SVGImportTest, ClipsThatAreBrokenOrTooComplexToApplyAreLeftOut)
{
    // A zigzag crossing the clip thousands of times would take path operations seconds.
    QString points;
    for (int i = 0; i < 12'000; ++i)
        points += QStringLiteral("%1,%2 ").arg(i / 120.0).arg(i % 2 ? 100 : 0);
    testsupport::LogCapture log;
    const VXSVGImporter::Result result = import(QStringLiteral(
        "<defs><clipPath id='self' clip-path='url(#self)'><rect width='10' height='10'/></clipPath>"
        "<clipPath id='empty'/><clipPath id='c'><circle cx='50' cy='50' r='30'/></clipPath></defs>"
        "<rect width='50' height='50' clip-path='url(#missing)'/>"
        "<rect width='50' height='50' clip-path='url(#self)'/>"
        "<rect width='50' height='50' clip-path='url(#empty)'/>"
        "<polyline points='%1' fill='none' stroke='black' clip-path='url(#c)'/>").arg(points));
    ASSERT_EQ(result.objects.size(), 3);
    EXPECT_NEAR(area(result.objects[0]), 50 * 50, 1e-3);
    EXPECT_NEAR(area(result.objects[1]), 10 * 10, 1e-3); // the clip is used once, without its loop
    EXPECT_TRUE(component<VXStroke>(result.objects[2])); // drawn as it is, unclipped
    EXPECT_EQ(result.skipped, QStringList{QStringLiteral("clipPath")});
    for (const char* reason : {"names no clipPath", "clips itself", "too complex"})
        EXPECT_EQ(log.lines.filter(QString::fromLatin1(reason)).size(), 1) << reason;
}

// --- Gradients --------------------------------------------------------------------------

TEST(SVGImportTest, GradientsSpanTheObjectAndPlaceCentreAndFocus)
{
    const VXSVGImporter::Result result = import(QStringLiteral(
        "<linearGradient id='base'><stop offset='0' stop-color='red'/>"
        "<stop offset='1' stop-color='blue' stop-opacity='0.5'/></linearGradient>"
        "<linearGradient id='half' xlink:href='#base' x1='0%' x2='50%'/>"
        "<linearGradient id='user' href='#base' gradientUnits='userSpaceOnUse' x1='0' y1='0' x2='0' y2='100'/>"
        "<radialGradient id='r' cx='0.5' cy='0.5' r='0.5' fx='0.25' gradientTransform='translate(0.1 0)'>"
        "<stop offset='0%' stop-color='white'/><stop offset='100%' stop-color='black'/></radialGradient>"
        "<radialGradient id='single'><stop offset='0.3' stop-color='teal'/></radialGradient>"
        "<rect width='40' height='20' fill='url(#base)'/>"
        "<rect width='40' height='20' fill='url(#half)'/>"
        "<rect x='0' y='0' width='40' height='50' fill='url(#user)'/>"
        "<rect x='10' y='10' width='20' height='20' fill='url(#r)'/>"
        "<rect width='20' height='20' fill='url(#single)'/>"
        "<rect width='20' height='20' fill='url(#nothing)'/>"));
    ASSERT_EQ(result.objects.size(), 6);
    const auto full = component<VXGradientFill>(result.objects[0]);
    ASSERT_TRUE(full);
    EXPECT_EQ(full->gradientType(), VXGradientFill::kLinearGradient);
    EXPECT_NEAR(full->gradientAngle(), 0, kTolerance);
    ASSERT_EQ(full->gradient()->numberOfColours(), 2);
    EXPECT_EQ(full->gradient()->colourAtStopIndex(0), QColor(Qt::red));
    EXPECT_EQ(full->gradient()->colourAtStopIndex(1), QColor::fromRgbF(0, 0, 1, 0.5f));
    // Half the width: blue is reached at the middle, then padded.
    const auto half = component<VXGradientFill>(result.objects[1]);
    ASSERT_TRUE(half);
    ASSERT_EQ(half->gradient()->numberOfColours(), 3);
    EXPECT_NEAR(half->gradient()->positionAtStopIndex(1), 0.5, kTolerance);
    EXPECT_EQ(half->gradient()->colourAtStopIndex(2), QColor::fromRgbF(0, 0, 1, 0.5f));
    // User space, straight down over twice the object's height: the object sees the first half.
    const auto user = component<VXGradientFill>(result.objects[2]);
    ASSERT_TRUE(user);
    EXPECT_NEAR(user->gradientAngle(), M_PI / 2, kTolerance);
    const QColor end = user->gradient()->colourAtStopIndex(user->gradient()->numberOfColours() - 1);
    EXPECT_NEAR(end.redF(), 0.5, 0.01);
    EXPECT_NEAR(end.blueF(), 0.5, 0.01);

    const auto radial = component<VXGradientFill>(result.objects[3]);
    ASSERT_TRUE(radial);
    EXPECT_EQ(radial->gradientType(), VXGradientFill::kRadialGradient);
    expectPoint(radial->endingLocation(), {2, 0});    // centre (20, 20) moved by 0.1 of 20
    expectPoint(radial->startingLocation(), {-3, 0}); // focus at a quarter, moved too
    EXPECT_NEAR(radial->endingRadius(), 10, kTolerance);
    EXPECT_EQ(component<VXFill>(result.objects[4])->colour(), QColor(0, 128, 128)); // one stop: a plain fill
    EXPECT_FALSE(component<VXFill>(result.objects[5]));
    EXPECT_TRUE(result.skipped.contains(QStringLiteral("paint")));
}

// --- Text and images ------------------------------------------------------------------------

TEST(SVGImportTest, TextBecomesTextShapesOnTheBaselineAnchoredAndStroked)
{
    const VXSVGImporter::Result result = import(QStringLiteral(
        "<text x='10' y='50' font-family=\"'DejaVu Sans', sans-serif\" font-size='20' fill='maroon'>"
        "  Hello   <tspan font-weight='bold'>big</tspan>"
        "  <tspan x='10' y='80' fill='navy' font-size='10'>world</tspan></text>"
        "<text x='50' y='20' font-size='10'>MMMM</text>"
        "<text x='50' y='40' font-size='10' text-anchor='middle'>MMMM</text>"
        "<text x='50' y='60' font-size='10' style='text-anchor: end'>MMMM</text>"
        "<text x='5' y='40' font-size='40' fill='none' stroke='#ff0000' stroke-width='2'>HH</text>"
        "<text x='5' y='90' font-size='40' fill='blue' stroke='#ff0000' stroke-width='1'>HH</text>"
        "<text x='5' y='90' font-size='40' fill='none'>HH</text>"));
    ASSERT_EQ(result.objects.size(), 7);
    const QList<VXDrawableObjectPtr> lines = members(result.objects[0]);
    ASSERT_EQ(lines.size(), 3);
    auto first = std::dynamic_pointer_cast<VXTextShape>(lines[0]);
    auto bold = std::dynamic_pointer_cast<VXTextShape>(lines[1]);
    auto second = std::dynamic_pointer_cast<VXTextShape>(lines[2]);
    ASSERT_TRUE(first && bold && second);
    EXPECT_EQ(first->string(), QStringLiteral("Hello"));
    EXPECT_EQ(first->font().family(), QStringLiteral("DejaVu Sans"));
    EXPECT_DOUBLE_EQ(first->font().pointSizeF(), 20);
    EXPECT_EQ(first->textColour(), QColor(128, 0, 0));
    const QRectF box = first->logicalBounds();
    EXPECT_NEAR(box.left(), 10, kTolerance);
    EXPECT_LT(box.top(), 50);
    EXPECT_GT(box.bottom(), 50); // the baseline lies inside the box, descenders below it
    // A tspan without a position goes on after one space, in its own weight and the run's colour.
    EXPECT_EQ(bold->string(), QStringLiteral("big"));
    EXPECT_EQ(bold->font().weight(), QFont::Bold);
    EXPECT_EQ(bold->textColour(), QColor(128, 0, 0));
    const QFontMetricsF metrics(first->font(), platform::AttributedStringLayout::pointDevice());
    EXPECT_NEAR(bold->logicalBounds().left(), 10 + metrics.horizontalAdvance(QStringLiteral("Hello ")), kTolerance);
    EXPECT_NEAR(bold->logicalBounds().top(), box.top(), kTolerance);
    EXPECT_EQ(second->string(), QStringLiteral("world"));
    EXPECT_EQ(second->textColour(), QColor(0, 0, 128));
    EXPECT_DOUBLE_EQ(second->font().pointSizeF(), 10);
    EXPECT_GT(second->logicalBounds().top(), box.top() + 20);

    const double start = result.objects[1]->logicalBounds().left();
    const double middle = result.objects[2]->logicalBounds().left();
    EXPECT_NEAR(start, 50, kTolerance);
    EXPECT_LT(middle, start);
    EXPECT_NEAR(start - result.objects[3]->logicalBounds().left(), 2 * (start - middle), kTolerance);

    // A stroke outlines the glyphs by a share of the font size; positive draws the outline alone.
    auto hollow = std::dynamic_pointer_cast<VXTextShape>(result.objects[4]);
    auto filled = std::dynamic_pointer_cast<VXTextShape>(result.objects[5]);
    ASSERT_TRUE(hollow && filled);
    EXPECT_DOUBLE_EQ(hollow->textAdornment()->outlineWidth(), 5);
    EXPECT_EQ(hollow->textAdornment()->outlineColour(), QColor(Qt::red));
    EXPECT_DOUBLE_EQ(filled->textAdornment()->outlineWidth(), -2.5);
    const VXDrawingPtr drawing = VXDrawing::drawingWithSize(result.size);
    const auto layer = std::make_shared<VXObjectDrawingLayer>();
    drawing->addLayer(layer);
    layer->addObjectsFromArray(result.objects);
    const QImage image =
        platform::DrawingRenderer::imageOfDrawing(*drawing, drawing->bounds(), QSize(200, 200), Qt::white);
    int red = 0;
    int blue = 0;
    for (int y = 0; y < image.height(); ++y) {
        for (int x = 0; x < image.width(); ++x) {
            const QColor pixel = image.pixelColor(x, y);
            red += pixel.red() > 200 && pixel.green() < 80 && y < 100;
            blue += pixel.blue() > 200 && pixel.red() < 80 && y >= 100;
        }
    }
    EXPECT_GT(red, 100);  // the hollow text's outline shows
    EXPECT_GT(blue, 100); // filled glyphs inside the outline
    EXPECT_TRUE(result.skipped.isEmpty());
}

TEST(SVGImportTest, ImagesFromDataAndTheBaseFolderOnly)
{
    QTemporaryDir folder;
    ASSERT_TRUE(folder.isValid());
    const QByteArray png = QByteArray::fromBase64(kPixelPNG);
    const QDir base(folder.filePath(QStringLiteral("base")));
    ASSERT_TRUE(QDir().mkpath(base.filePath(QStringLiteral("pictures"))));
    const auto write = [&](const QString& path, const QByteArray& data) {
        QFile file(path);
        ASSERT_TRUE(file.open(QIODevice::WriteOnly));
        file.write(data);
    };
    write(base.filePath(QStringLiteral("pictures/dot.png")), png);
    write(folder.filePath(QStringLiteral("secret.png")), png);
    write(base.filePath(QStringLiteral("notes.txt")), "not an image");
    QFile::link(folder.filePath(QStringLiteral("secret.png")), base.filePath(QStringLiteral("link.png")));
    ASSERT_EQ(mkfifo(QFile::encodeName(base.filePath(QStringLiteral("pipe.png"))).constData(), 0600), 0);

    testsupport::LogCapture log;
    const VXSVGImporter::Result result = import(
        QStringLiteral("<image x='10' y='10' width='20' height='10' xlink:href='data:image/png;base64,%1'/>"
                       "<image width='5' height='5' href='pictures/dot.png'/>"
                       "<image width='5' height='5' href='../secret.png'/>"
                       "<image width='5' height='5' href='pictures/../../secret.png'/>"
                       "<image width='5' height='5' href='%2'/>"
                       "<image width='5' height='5' href='file://%2'/>"
                       "<image width='5' height='5' href='http://example.invalid/a.png'/>"
                       "<image width='5' height='5' href='link.png'/>"
                       "<image width='5' height='5' href='notes.txt'/>"
                       "<image width='5' height='5' href='data:image/png;base64,@@@'/>"
                       "<image width='5' height='5' href='pipe.png'/><image width='5' height='5' href='gone.png'/>")
            .arg(QString::fromLatin1(kPixelPNG), folder.filePath(QStringLiteral("secret.png"))),
        base.path());
    ASSERT_EQ(result.objects.size(), 2);
    auto data = std::dynamic_pointer_cast<VXImageShape>(result.objects[0]);
    ASSERT_TRUE(data);
    EXPECT_EQ(data->imageData(), png);
    // A square image meets a 20 x 10 box in its middle.
    expectRect(data->logicalBounds(), {15, 10, 10, 10});
    EXPECT_TRUE(std::dynamic_pointer_cast<VXImageShape>(result.objects[1]));
    EXPECT_EQ(result.skipped.count(QStringLiteral("image")), 10);
    // Each says why it was left out.
    for (const char* line : {"\"../secret.png\" is left out: only images in the document's folder are read",
                             "\"http://example.invalid/a.png\" is left out: only images in the document's folder",
                             "\"link.png\" is left out: it leads out of the document's folder",
                             "\"notes.txt\" is left out: it is not an image that can be read",
                             "an embedded image of 25 bytes is left out: its data: URI is malformed",
                             "\"pipe.png\" is left out: it is a pipe, not a file",
                             "\"gone.png\" is left out: there is no such file"})
        EXPECT_EQ(log.lines.filter(QString::fromUtf8(line)).size(), 1) << line;
    EXPECT_EQ(result.skipReasons.size(), 10) << "each reason once, for the report";
    EXPECT_EQ(result.skipReasons.filter(QStringLiteral("\"gone.png\" is left out: there is no such file")).size(), 1);

    // Without a base folder no file is read at all.
    EXPECT_TRUE(import(QStringLiteral("<image width='5' height='5' href='pictures/dot.png'/>")).objects.isEmpty());
}

TEST(SVGImportTest, ImagesShownManyTimesDecodeOnceAndPastThePixelBudgetFailTheImport)
{
    SKIP_CAPPED_UNDER_ADDRESS_SANITIZER();
    const auto embedded = [](const QImage& image, const QString& id) {
        QByteArray png;
        QBuffer buffer(&png);
        buffer.open(QIODevice::WriteOnly);
        image.save(&buffer, "PNG");
        return QStringLiteral("<image id='%1' width='10' height='10' href='data:image/png;base64,%2'/>")
            .arg(id, QString::fromLatin1(png.toBase64()));
    };
    // Forty uses of one picture of 4096 x 4096 pixels took forty times its 64 MB.
    QImage red(4096, 4096, QImage::Format_ARGB32);
    red.fill(Qt::red);
    QString uses = QStringLiteral("<defs>%1</defs>").arg(embedded(red, QStringLiteral("red")));
    for (int i = 0; i < 40; ++i)
        uses += QStringLiteral("<use href='#red' x='%1'/>").arg(i * 10);
    VXSVGImporter::Result result;
    {
        testsupport::AddressSpaceLimit limit;
        result = import(uses);
    }
    ASSERT_EQ(result.objects.size(), 40);
    for (const VXDrawableObjectPtr& object : result.objects) {
        const auto* shape = qobject_cast<VXImageShape*>(object.get());
        ASSERT_TRUE(shape);
        EXPECT_EQ(shape->sharedImage(), qobject_cast<VXImageShape*>(result.objects[0].get())->sharedImage());
        EXPECT_EQ(shape->image().pixelColor(2048, 2048), QColor(Qt::red));
    }

    // Five different images of 64 million pixels each: the fifth passes the budget, and the
    // import fails naming it before any of them is decoded.
    QString large;
    for (int i = 0; i < 5; ++i) {
        QImage mono(8192, 8192 - i, QImage::Format_Mono);
        mono.fill(0);
        large += embedded(mono, QStringLiteral("large%1").arg(i));
    }
    const QString reason = importError(QStringLiteral("<svg>%1</svg>").arg(large).toUtf8()).localizedDescription();
    EXPECT_TRUE(reason.startsWith(QStringLiteral("The image “large4” is refused"))) << reason.toStdString();
    EXPECT_TRUE(reason.contains(QStringLiteral("8192 × 8188")));
}

// --- Skipping and hostile input ----------------------------------------------------------------

TEST(SVGImportTest, UnsupportedContentIsSkippedAndLoggedAndMalformedDocumentsFailWithAReason)
{
    testsupport::LogCapture log;
    const VXSVGImporter::Result result = import(QStringLiteral(
        "<foreignObject><div/></foreignObject><script>alert(1)</script>"
        "<rect width='5' height='5'><animate attributeName='x' to='5'/></rect>"
        "<pattern id='p'/><rect width='5' height='5' fill='url(#p)' filter='url(#f)' mask='url(#m)'/>"
        "<metadata><rdf:RDF xmlns:rdf='http://www.w3.org/1999/02/22-rdf-syntax-ns#'/></metadata>"));
    EXPECT_EQ(result.objects.size(), 2);
    EXPECT_EQ(result.skipped, (QStringList{QStringLiteral("foreignObject"), QStringLiteral("script"),
                                           QStringLiteral("animate"), QStringLiteral("filter"),
                                           QStringLiteral("mask"), QStringLiteral("pattern")}));
    EXPECT_EQ(log.lines.filter(QStringLiteral("SVG import skipped")).size(), 6);
    EXPECT_FALSE(component<VXFill>(result.objects[1]));

    for (const QByteArray& data : {QByteArray("<svg><rect></svg>"), QByteArray(""), QByteArray("<html/>"),
                                   QByteArray("<svg/><svg/>"), QByteArray("\xff\xfe<")}) {
        const QuorvaneError error = importError(data);
        EXPECT_EQ(error.code(), kQuorvaneDocumentError) << data.toStdString();
        EXPECT_EQ(error.domain(), QStringLiteral("Quorvane Error"));
        EXPECT_FALSE(error.localizedDescription().isEmpty());
    }
}

TEST(SVGImportTest, HostileDocumentsStayBounded)
{
    // Billion laughs: nested entities are refused before any expansion.
    QByteArray laughs = "<?xml version='1.0'?><!DOCTYPE svg [<!ENTITY l0 'ha'>";
    for (int i = 1; i < 10; ++i)
        laughs += QStringLiteral("<!ENTITY l%1 '&l%2;&l%2;&l%2;&l%2;&l%2;&l%2;&l%2;&l%2;&l%2;&l%2;'>").arg(i).arg(i - 1).toUtf8();
    laughs += "]><svg><text y='9'>&l9;</text></svg>";
    EXPECT_EQ(importError(laughs).code(), kQuorvaneDocumentError);
    // One large internal entity is refused too; a small one reads.
    EXPECT_EQ(importError("<!DOCTYPE svg [<!ENTITY big '" + QByteArray(5000, 'a') + "'>]><svg/>").code(),
              kQuorvaneDocumentError);
    EXPECT_TRUE(VXSVGImporter::importData("<!DOCTYPE svg [<!ENTITY w '10'>]><svg><rect width='&w;' height='1'/></svg>", {}));

    // Deep nesting.
    const QByteArray deep = "<svg>" + QByteArray("<g>").repeated(300) + QByteArray("</g>").repeated(300) + "</svg>";
    EXPECT_EQ(importError(deep).code(), kQuorvaneDocumentError);
    const QByteArray fine = "<svg>" + QByteArray("<g>").repeated(200) + "<rect width='1' height='1'/>"
        + QByteArray("</g>").repeated(200) + "</svg>";
    EXPECT_TRUE(VXSVGImporter::importData(fine, {}));

    // Use cycles and self-references end with a skip.
    const VXSVGImporter::Result cycle = import(QStringLiteral(
        "<g id='a'><rect width='1' height='1'/><use href='#b'/></g><g id='b'><use href='#a'/></g><use id='self' href='#self'/>"));
    EXPECT_GE(cycle.skipped.count(QStringLiteral("use")), 1);
    // Long chains without a cycle say so.
    QString useChain = QStringLiteral("<defs><rect id='u0' width='1' height='1'/>");
    QString clipChain = QStringLiteral("<defs><clipPath id='c0'><rect width='9' height='9'/></clipPath>");
    for (int i = 1; i <= 40; ++i) {
        useChain += QStringLiteral("<g id='u%1'><use href='#u%2'/></g>").arg(i).arg(i - 1);
        clipChain += QStringLiteral("<clipPath id='c%1' clip-path='url(#c%2)'><rect width='9' height='9'/></clipPath>")
                         .arg(i)
                         .arg(i - 1);
    }
    {
        testsupport::LogCapture log;
        import(useChain + QStringLiteral("</defs><use href='#u40'/>") + clipChain
               + QStringLiteral("</defs><rect width='5' height='5' clip-path='url(#c40)'/>"));
        EXPECT_EQ(log.lines.filter(QStringLiteral("ends a chain of more than 32 uses")).size(), 1);
        EXPECT_EQ(log.lines.filter(QStringLiteral("ends a chain of more than 8 clipPaths")).size(), 1);
        EXPECT_TRUE(log.lines.filter(QStringLiteral("itself")).isEmpty());
    }

    // Exponential use fan-out stops at the object budget.
    QString fanOut = QStringLiteral("<defs><rect id='u0' width='1' height='1'/>");
    for (int i = 1; i <= 12; ++i)
        fanOut += QStringLiteral("<g id='u%1'>%2</g>").arg(i).arg(QStringLiteral("<use href='#u%1'/>").arg(i - 1).repeated(10));
    fanOut += QStringLiteral("</defs><use href='#u12'/>");
    const VXSVGImporter::Result fan = import(fanOut);
    EXPECT_EQ(fan.objects.size(), 1);
    EXPECT_FALSE(fan.skipped.isEmpty());

    // Garbage numbers end the path at the error; huge numbers do not make infinite geometry.
    const VXSVGImporter::Result garbage = import(QStringLiteral(
        "<path d='M0 0 L10 10 L20 20 Lnan 5 L30 30'/><path d='M0 0 L1e300 1e300' transform='scale(1e300)'/>"
        "<rect width='1e308' height='1e308' transform='scale(1e10)'/>"));
    ASSERT_GE(garbage.objects.size(), 1);
    expectRect(pageBounds(garbage.objects[0]), {0, 0, 20, 20});
    for (const VXDrawableObjectPtr& object : garbage.objects)
        EXPECT_TRUE(std::isfinite(pageBounds(object).width()));
}

TEST(SVGImportTest, MarkupThatWouldCostTheReaderQuadraticTimeOrOutsizedMemoryIsRefusedSayingWhy)
{
    const auto element = [](int attributes, const QByteArray& prolog = {}) -> QByteArray {
        QByteArray markup = prolog + "<svg>\n<g";
        for (int i = 0; i < attributes; ++i)
            markup += " a" + QByteArray::number(i) + "=''";
        return markup + "/></svg>";
    };
    const auto reason = [](const QByteArray& data) { return importError(data).localizedDescription(); };
    // The reader compared each of 100,000 attributes with those before it for 17 s, in UTF-16 too:
    // now the count alone refuses the element.
    const QString manyAttributes = reason(element(100'000));
    const QString count = QLocale().toString(100'000);
    EXPECT_TRUE(manyAttributes.contains(QStringLiteral("<g> on line 2 has %1 attributes").arg(count)))
        << manyAttributes.toStdString();
    QStringEncoder utf16(QStringEncoder::Utf16LE, QStringEncoder::Flag::WriteBom);
    EXPECT_TRUE(reason(utf16.encode(QString::fromLatin1(element(100'000)))).contains(count));
    EXPECT_TRUE(VXSVGImporter::importData(element(platform::SVGMarkupScan::kMaximumAttributes), {}));
    EXPECT_TRUE(reason(element(platform::SVGMarkupScan::kMaximumAttributes + 1)).contains(QStringLiteral("257")));

    // Defaults a document type gives every element: declared directly, through parameter entities,
    // or more than an element may have.
    const auto declaredDefaults = [](int count) -> QByteArray {
        QByteArray list = "<!DOCTYPE svg [<!ATTLIST g";
        for (int i = 0; i < count; ++i)
            list += " d" + QByteArray::number(i) + " CDATA '1'";
        return list + ">]>";
    };
    EXPECT_TRUE(reason(declaredDefaults(20'000) + "<svg>" + QByteArray("<g/>").repeated(20'000) + "</svg>")
                    .contains(QStringLiteral("attribute defaults")));
    EXPECT_TRUE(reason("<!DOCTYPE svg [<!ENTITY % p \"<!ATTLIST g d CDATA '1'>\"> %p; %p;]><svg/>")
                    .contains(QStringLiteral("parameter entities")));
    EXPECT_TRUE(reason(element(200, declaredDefaults(58))).contains(QStringLiteral("258 attributes")));

    // Each reference expands its entity anew: 100,000 of 4,000 characters took 771 MB.
    const QByteArray entity = "<!DOCTYPE svg [<!ENTITY e '" + QByteArray(4000, 'x') + "'>]>";
    EXPECT_TRUE(reason(entity + "<svg><text>" + QByteArray("&e;").repeated(100'000) + "</text></svg>")
                    .contains(QStringLiteral("entities")));
    const QByteArray word = "<!DOCTYPE svg [<!ENTITY w 'word '>]><svg><text y='9'>";
    const auto words =
        VXSVGImporter::importData(word + QByteArray("&w;&amp;&#65;").repeated(1024) + "</text></svg>", {});
    ASSERT_TRUE(words);
    EXPECT_TRUE(qobject_cast<VXTextShape*>(only(*words).get()));
    EXPECT_EQ(importError(word + QByteArray("&w;").repeated(1025) + "</text></svg>").code(), kQuorvaneDocumentError);

    // Markup whose bytes are not ASCII could hide all of this.
    EXPECT_TRUE(reason("<?xml version='1.0' encoding='IBM037'?><svg/>").contains(QStringLiteral("IBM037")));
}

TEST(SVGImportTest, HugeTextIsRefusedAndHugeDataURIsDecodeInLittleMoreThanTheTreeTakes)
{
    SKIP_CAPPED_UNDER_ADDRESS_SANITIZER();
    // A text past a megabyte is refused saying why (250 MB crashed the text shaper).
    const QByteArray text = "<svg><text y='9'>" + QByteArray((1 << 20) + 1, 'x') + "</text></svg>";
    const QString reason = importError(text).localizedDescription();
    EXPECT_TRUE(reason.startsWith(QStringLiteral("A text is refused: it is longer than"))) << reason.toStdString();
    EXPECT_TRUE(VXSVGImporter::importData("<svg><text y='9'>" + QByteArray(1 << 16, 'x') + "</text></svg>", {}));

    // A data: URI was copied whole four times over on its way to the decoder (8.7 times the file).
    QByteArray payload(16 << 20, '\0');
    for (qsizetype i = 0; i < payload.size(); ++i)
        payload[i] = char(i * 7919 % 251);
    QByteArray lines;
    const QByteArray base64 = payload.toBase64();
    for (qsizetype i = 0; i < base64.size(); i += 76)
        lines += base64.mid(i, 76) + "\n";
    const QByteArray svg = "<svg><image width='5' height='5' href='data:application/octet-stream;base64," + lines + "'/></svg>";
    testsupport::LogCapture log;
    std::optional<VXSVGImporter::Result> result;
    {
        testsupport::AddressSpaceLimit limit(testsupport::addressSpaceInUse() + 5 * svg.size() + (64 << 20));
        result = VXSVGImporter::importData(svg, {});
    }
    ASSERT_TRUE(result);
    EXPECT_TRUE(result->objects.isEmpty());
    EXPECT_EQ(log.lines.filter(QStringLiteral("is left out: it is not an image that can be read")).size(), 1);
    EXPECT_EQ(platform::SVGImageSource::dataFromURI(QString::fromLatin1("data:;base64," + lines)), payload);
    EXPECT_FALSE(platform::SVGImageSource::dataFromURI(u"data:;base64,QQ==QQ=="));
}

TEST(SVGImportTest, TheElementTreeTakesAFewTimesTheFilesSize)
{
    SKIP_CAPPED_UNDER_ADDRESS_SANITIZER();
    // Definitions that draw nothing took 50 times their size, bare elements 90 times; now each
    // reads in an address space a few times the file's size larger than before.
    QByteArray definitions = "<svg xmlns='http://www.w3.org/2000/svg'><defs>\n";
    QByteArray dense = "<linearGradient";
    for (int i = 0; i < 100; ++i)
        dense += " a" + QByteArray::number(i) + "=''";
    dense += "/>\n";
    while (definitions.size() < 16'000'000)
        definitions += dense;
    definitions += "</defs></svg>";
    const QByteArray bare = "<svg>" + QByteArray("<g/>\n").repeated(400'000) + "</svg>";
    QByteArray named = "<svg><defs>";
    for (int i = 0; i < 400'000; ++i)
        named += "<g id='" + QByteArray::number(i) + "'/>";
    named += "<rect id='last' width='1' height='1'/></defs><use href='#last'/></svg>";
    const std::pair<const QByteArray&, int> cases[] = {{definitions, 0}, {bare, 0}, {named, 1}};
    for (const auto& [data, drawn] : cases) {
        std::optional<VXSVGImporter::Result> result;
        {
            testsupport::AddressSpaceLimit limit(testsupport::addressSpaceInUse() + 8 * data.size() + (32 << 20));
            result = VXSVGImporter::importData(data, {});
        }
        ASSERT_TRUE(result) << data.size();
        EXPECT_EQ(result->objects.size(), drawn);
    }
}
