// Writes the map templates the application ships, with the map document's own writer, into a
// folder of categories: make_shipped_templates OUT_DIR (scripts/make-shipped-templates.sh runs
// it into resources/bundle/"Quorvane Templates"). The maps are drawn from fixed seeds, so each
// run draws the same land, water and roads.

#include "app/document/VXQMappingLayer.h"
#include "app/document/ZQTrueQuorvaneDocument.h"
#include "furniture/FurnitureClasses.h"
#include "mapscale/VXQMapScale.h"
#include "platform/measurement/ZQUnitLength.h"
#include "platform/vantrix/drawables/VXDrawablePath.h"
#include "platform/vantrix/drawables/VXTextShape.h"
#include "platform/vantrix/model/VXDrawing.h"
#include "platform/vantrix/model/VXGridLayer.h"
#include "platform/vantrix/styles/VXStyle.h"

#include <QApplication>
#include <QDir>
#include <QRandomGenerator>
#include <QStandardPaths>
#include <cmath>
#include <cstdio>
#include <numbers>

namespace {

enum class Theme { Region, Area, World };

struct TemplateSpec {
    QString category; // relative folder, "/" between levels
    QString name;
    QSizeF size; // points
    ZQUnitLengthPtr units;
    double scale;
    double gridSpan; // drawing units
    int divisions;
    int majors;
    Theme theme;
    quint32 seed;
};

QList<TemplateSpec> shippedTemplates()
{
    const auto cm = ZQUnitLength::centimeters();
    const auto mm = ZQUnitLength::millimeters();
    const auto in = ZQUnitLength::inches();
    const auto pt = ZQUnitLength::points();
    const QString regions = QStringLiteral("Medium Scale Regions");
    const QString areas = QStringLiteral("Large Scale Areas");
    const QString towns = QStringLiteral("Large Scale Areas/Towns");
    const QString world = QStringLiteral("World and Continents");
    return {
        {regions, QStringLiteral("County A4 Portrait"), {595.28, 841.89}, cm, 50000, 2, 4, 5, Theme::Region, 11},
        {regions, QStringLiteral("Region A3 Landscape"), {1190.55, 841.89}, cm, 100000, 5, 5, 2, Theme::Region, 23},
        {regions, QStringLiteral("Island Letter"), {612, 792}, in, 63360, 1, 4, 4, Theme::Region, 37},
        {areas, QStringLiteral("Estate Plan A3"), {1190.55, 841.89}, mm, 2500, 20, 4, 5, Theme::Area, 41},
        {areas, QStringLiteral("Trail Map A4 Landscape"), {841.89, 595.28}, cm, 25000, 4, 4, 5, Theme::Area, 53},
        {towns, QStringLiteral("Town Centre A2"), {1683.78, 1190.55}, mm, 5000, 50, 5, 2, Theme::Area, 67},
        {towns, QStringLiteral("Village Square"), {600, 600}, pt, 1250, 72, 6, 2, Theme::Area, 71},
        {world, QStringLiteral("Continent Tabloid"), {792, 1224}, in, 20000000, 2, 4, 2, Theme::World, 83},
        {world, QStringLiteral("World Poster"), {1440, 720}, pt, 50000000, 120, 4, 3, Theme::World, 97},
    };
}

// A closed outline wandering around a circle: coasts, lakes, woods.
platform::BezierPath blob(QPointF centre, double radius, double roughness, QRandomGenerator& random, int points = 48)
{
    platform::BezierPath path;
    double wobble = 0;
    for (int i = 0; i < points; ++i) {
        wobble = 0.6 * wobble + 0.4 * (random.generateDouble() * 2 - 1);
        const double angle = 2 * std::numbers::pi * i / points;
        const double r = radius * (1 + roughness * wobble);
        const QPointF point = centre + QPointF(r * std::cos(angle), r * std::sin(angle) * 0.8);
        if (i == 0)
            path.moveToPoint(point);
        else
            path.lineToPoint(point);
    }
    path.closePath();
    return path;
}

// An open line from one point to another that meanders on its way: rivers, roads, tracks.
platform::BezierPath meander(QPointF from, QPointF to, double sway, QRandomGenerator& random, int steps = 24)
{
    platform::BezierPath path;
    path.moveToPoint(from);
    const QPointF along = to - from;
    const QPointF across(-along.y(), along.x());
    const double length = std::hypot(along.x(), along.y());
    double drift = 0;
    for (int i = 1; i <= steps; ++i) {
        const double t = double(i) / steps;
        drift = i == steps ? 0 : 0.7 * drift + 0.3 * (random.generateDouble() * 2 - 1);
        path.lineToPoint(from + along * t + across / (length > 0 ? length : 1) * drift * sway);
    }
    return path;
}

QPointF pointIn(const QRectF& area, QRandomGenerator& random)
{
    return {area.left() + random.generateDouble() * area.width(), area.top() + random.generateDouble() * area.height()};
}

void addPath(VXQMappingLayer& layer, const platform::BezierPath& path, const VXStylePtr& style)
{
    layer.addObject(VXDrawablePath::drawablePathWithBezierPathWithStyle(path, style));
}

VXQMappingLayer& newLayer(ZQTrueQuorvaneDocument& document, const QString& name)
{
    document.newDrawingLayer();
    auto* layer = dynamic_cast<VXQMappingLayer*>(document.activeLayer());
    layer->setLayerName(name);
    return *layer;
}

void drawRegion(ZQTrueQuorvaneDocument& document, const QRectF& area, QRandomGenerator& random)
{
    document.drawing()->setPaperColour(QColor(0xC6, 0xE2, 0xF0));
    auto* land = dynamic_cast<VXQMappingLayer*>(document.activeLayer());
    land->setLayerName(QStringLiteral("Land"));
    const double radius = std::min(area.width(), area.height()) * 0.42;
    addPath(*land, blob(area.center(), radius, 0.35, random),
            VXStyle::styleWithFillColourStrokeColourStrokeWidth(QColor(0xE8, 0xE4, 0xC8), QColor(0x5A, 0x7D, 0x8C), 1.2));
    const VXStylePtr woods = VXStyle::styleWithFillColourStrokeColour(QColor(0xB5, 0xD3, 0x9C), QColor());
    for (int i = 0; i < 5; ++i)
        addPath(*land, blob(area.center() + QPointF((random.generateDouble() - 0.5) * radius, (random.generateDouble() - 0.5) * radius),
                            radius * (0.08 + 0.08 * random.generateDouble()), 0.5, random, 24),
                woods);

    VXQMappingLayer& water = newLayer(document, QStringLiteral("Water"));
    const VXStylePtr river = VXStyle::styleWithFillColourStrokeColourStrokeWidth(QColor(), QColor(0x4A, 0x90, 0xC2), 1.5);
    for (int i = 0; i < 3; ++i) {
        const double angle = 2 * std::numbers::pi * (i + random.generateDouble() * 0.5) / 3;
        const QPointF mouth = area.center() + QPointF(std::cos(angle), std::sin(angle) * 0.8) * radius * 0.95;
        addPath(water, meander(area.center() + QPointF(random.generateDouble() - 0.5, random.generateDouble() - 0.5) * radius * 0.3, mouth,
                               radius * 0.15, random),
                river);
    }
    addPath(water, blob(area.center() + QPointF(radius * 0.25, -radius * 0.2), radius * 0.07, 0.3, random, 20),
            VXStyle::styleWithFillColourStrokeColour(QColor(0x9C, 0xC8, 0xE6), QColor(0x4A, 0x90, 0xC2)));

    VXQMappingLayer& roads = newLayer(document, QStringLiteral("Roads"));
    const VXStylePtr road = VXStyle::styleWithFillColourStrokeColourStrokeWidth(QColor(), QColor(0xC0, 0x39, 0x2B), 1.8);
    // Roads join a ring of towns, each to the next.
    QList<QPointF> towns;
    for (int i = 0; i < 5; ++i) {
        const double angle = 2 * std::numbers::pi * (i + 0.3 * random.generateDouble()) / 5;
        towns << area.center() + QPointF(std::cos(angle), std::sin(angle) * 0.8) * radius * (0.35 + 0.3 * random.generateDouble());
    }
    for (int i = 0; i < towns.size(); ++i)
        addPath(roads, meander(towns[i], towns[(i + 1) % towns.size()], radius * 0.04, random, 12), road);
    const VXStylePtr town = VXStyle::styleWithFillColourStrokeColour(QColor(0x8E, 0x44, 0x3D), QColor(0x4A, 0x23, 0x1F));
    for (const QPointF& centre : std::as_const(towns))
        roads.addObject(VXDrawablePath::drawablePathWithBezierPathWithStyle(
            platform::BezierPath::bezierPathWithOvalInRect(QRectF(centre - QPointF(4, 4), QSizeF(8, 8))), town));
}

void drawArea(ZQTrueQuorvaneDocument& document, const QRectF& area, QRandomGenerator& random)
{
    document.drawing()->setPaperColour(QColor(0xF4, 0xF1, 0xE6));
    auto* fields = dynamic_cast<VXQMappingLayer*>(document.activeLayer());
    fields->setLayerName(QStringLiteral("Fields"));
    const VXStylePtr field = VXStyle::styleWithFillColourStrokeColour(QColor(0xDD, 0xE8, 0xC4), QColor(0x8A, 0x9A, 0x5B));
    const int columns = 4;
    const int rows = 3;
    const QSizeF cell(area.width() / columns, area.height() / rows);
    for (int row = 0; row < rows; ++row)
        for (int column = 0; column < columns; ++column) {
            if (random.bounded(3) == 0)
                continue;
            const QRectF plot(area.topLeft() + QPointF(column * cell.width(), row * cell.height()), cell);
            fields->addObject(VXDrawablePath::drawablePathWithBezierPathWithStyle(
                platform::BezierPath::bezierPathWithRect(plot.adjusted(6, 6, -6, -6)), field));
        }

    VXQMappingLayer& buildings = newLayer(document, QStringLiteral("Buildings"));
    const VXStylePtr building = VXStyle::styleWithFillColourStrokeColour(QColor(0xB0, 0x8D, 0x6E), QColor(0x5C, 0x45, 0x33));
    const double side = std::min(area.width(), area.height()) / 40;
    for (int i = 0; i < 24; ++i) {
        const QPointF corner = pointIn(area.adjusted(side, side, -3 * side, -3 * side), random);
        buildings.addObject(VXDrawablePath::drawablePathWithBezierPathWithStyle(
            platform::BezierPath::bezierPathWithRect(QRectF(corner, QSizeF(side * (1 + random.generateDouble()), side))), building));
    }

    VXQMappingLayer& tracks = newLayer(document, QStringLiteral("Paths and Tracks"));
    const VXStylePtr track = VXStyle::styleWithFillColourStrokeColourStrokeWidth(QColor(), QColor(0x7F, 0x5F, 0x3F), 1.2);
    addPath(tracks, meander(QPointF(area.left(), area.center().y()), QPointF(area.right(), area.center().y()), area.height() * 0.1, random),
            track);
    addPath(tracks, meander(QPointF(area.center().x(), area.top()), QPointF(area.center().x(), area.bottom()), area.width() * 0.08, random),
            track);
    addPath(tracks, meander(area.topLeft(), area.bottomRight(), area.width() * 0.05, random),
            VXStyle::styleWithFillColourStrokeColourStrokeWidth(QColor(), QColor(0x4A, 0x90, 0xC2), 2.5));
}

void drawWorld(ZQTrueQuorvaneDocument& document, const QRectF& area, QRandomGenerator& random)
{
    document.drawing()->setPaperColour(QColor(0xA9, 0xCD, 0xE6));
    auto* continents = dynamic_cast<VXQMappingLayer*>(document.activeLayer());
    continents->setLayerName(QStringLiteral("Continents"));
    const QColor colours[] = {QColor(0xE3, 0xD8, 0xA6), QColor(0xC9, 0xDB, 0xA3), QColor(0xE8, 0xC3, 0xA0),
                              QColor(0xD4, 0xC4, 0xD9)};
    const double radius = std::min(area.width(), area.height()) * 0.22;
    for (int i = 0; i < 5; ++i) {
        const QPointF centre = pointIn(area.adjusted(radius, radius, -radius, -radius), random);
        addPath(*continents, blob(centre, radius * (0.6 + 0.6 * random.generateDouble()), 0.45, random, 64),
                VXStyle::styleWithFillColourStrokeColourStrokeWidth(colours[i % 4], QColor(0x6B, 0x7F, 0x8C), 0.8));
    }
    VXQMappingLayer& graticule = newLayer(document, QStringLiteral("Graticule"));
    const VXStylePtr line = VXStyle::styleWithFillColourStrokeColourStrokeWidth(QColor(), QColor(0x5B, 0x86, 0xA8), 0.5);
    for (int i = 1; i < 6; ++i) {
        const double y = area.top() + area.height() * i / 6;
        platform::BezierPath parallel;
        parallel.moveToPoint(QPointF(area.left(), y));
        parallel.lineToPoint(QPointF(area.right(), y));
        addPath(graticule, parallel, line);
    }
    for (int i = 1; i < 12; ++i) {
        const double x = area.left() + area.width() * i / 12;
        platform::BezierPath meridian;
        meridian.moveToPoint(QPointF(x, area.top()));
        meridian.lineToPoint(QPointF(x, area.bottom()));
        addPath(graticule, meridian, line);
    }
}

bool writeTemplate(const TemplateSpec& spec, const QString& outFolder)
{
    auto document = std::make_shared<ZQTrueQuorvaneDocument>();
    QuorvaneError error;
    if (!document->initWithTypeError(kZQMapDocumentType, &error))
        return false;
    VXDrawing& drawing = *document->drawing();
    drawing.setUnits(spec.units);
    drawing.setDrawingSize(spec.size);
    drawing.setDrawingInfo({{QStringLiteral("title"), spec.name}});
    document->setMapScale(VXQMapScale::defaultScale()->mapScaleWithScale(spec.scale));
    if (const auto grid = drawing.gridLayer())
        grid->setDistanceForUnitSpanDrawingUnitsSpanDivisionsMajorsRulerSteps(
            spec.units->conversionFactorForPoints(), spec.units, spec.gridSpan, spec.divisions, spec.majors,
            spec.divisions);

    QRandomGenerator random(spec.seed);
    const QRectF area = drawing.interior();
    switch (spec.theme) {
    case Theme::Region:
        drawRegion(*document, area, random);
        break;
    case Theme::Area:
        drawArea(*document, area, random);
        break;
    case Theme::World:
        drawWorld(*document, area, random);
        break;
    }
    VXQMappingLayer& labels = newLayer(*document, QStringLiteral("Labels"));
    labels.addObject(VXTextShape::textShapeWithStringInRect(
        spec.name, QRectF(area.topLeft() + QPointF(12, 12), QSizeF(std::min(260.0, area.width() / 2), 28))));

    const QString folder = QDir(outFolder).filePath(spec.category);
    const QString path = QDir(folder).filePath(spec.name + QStringLiteral(".qvnl"));
    if (!QDir().mkpath(folder)
        || !document->saveToURLOfTypeForSaveOperationError(QUrl::fromLocalFile(path), kZQMapDocumentType,
                                                           platform::Document::SaveOperation, &error)) {
        std::fprintf(stderr, "%s: %s\n", qPrintable(path), qPrintable(error.localizedDescription()));
        return false;
    }
    std::printf("%s\n", qPrintable(QDir(outFolder).relativeFilePath(path)));
    return true;
}

} // namespace

int main(int argc, char** argv)
{
    // Neither the developer's settings nor their fonts' defaults may leak into shipped files.
    QStandardPaths::setTestModeEnabled(true);
    QApplication application(argc, argv);
    if (argc != 2) {
        std::fprintf(stderr, "usage: make_shipped_templates OUT_DIR\n");
        return 2;
    }
    // With the furniture's classes a template starts with the layers of a new map, index grid included.
    registerFurnitureClasses();
    const QString out = QString::fromLocal8Bit(argv[1]);
    QDir(out).removeRecursively();
    for (const TemplateSpec& spec : shippedTemplates())
        if (!writeTemplate(spec, out))
            return 1;
    return 0;
}
