// A generated SVG map of about 5 MB: 20,000 paths (lines, curves, arcs, closed areas) in 200
// groups with transforms and inherited styles, fills and strokes given as attributes and as
// style properties, some translucent, some dashed. Importing it and rendering the objects to
// a 2000 x 1500 PNG file is timed against rsvg-convert making the same PNG from the file.

#include "support/BenchSupport.h"

#include "platform/foundation/FoundationClasses.h"
#include "platform/vantrix/model/VantrixDrawingClasses.h"
#include "platform/vantrix/model/VXDrawing.h"
#include "platform/vantrix/model/VXObjectDrawingLayer.h"
#include "platform/vantrix/render/DrawingRenderer.h"
#include "platform/vantrix/styles/VantrixStyleClasses.h"
#include "platform/vantrix/svg/VXSVGImporter.h"

#include <QFile>
#include <QGuiApplication>
#include <QImage>
#include <QProcess>
#include <QRandomGenerator>
#include <QStandardPaths>
#include <QTemporaryDir>
#include <chrono>
#include <cmath>
#include <cstdio>
#include <optional>

namespace {

constexpr QSize kMapSize(4000, 3000);
constexpr QSize kPixels(2000, 1500);
constexpr int kGroups = 200;
constexpr int kPathsPerGroup = 100;
constexpr int kRuns = 3;

const char* const kColours[] = {"#c8e6be", "#b4d2f0", "#ebdcc8", "#dcc8e6", "#5a5a5a", "#fadc78", "#2e3436", "#ed333b"};

QByteArray number(double value)
{
    return QByteArray::number(value, 'f', 2);
}

class MapWriter {
public:
    QByteArray svg()
    {
        m_svg.reserve(6 << 20);
        m_svg += "<?xml version=\"1.0\" encoding=\"UTF-8\"?>\n<svg xmlns=\"http://www.w3.org/2000/svg\" width=\""
                 + QByteArray::number(kMapSize.width()) + "\" height=\"" + QByteArray::number(kMapSize.height())
                 + "\" viewBox=\"0 0 " + QByteArray::number(kMapSize.width() / 2) + ' '
                 + QByteArray::number(kMapSize.height() / 2) + "\">\n";
        for (int g = 0; g < kGroups; ++g)
            writeGroup();
        m_svg += "</svg>\n";
        return m_svg;
    }

private:
    const char* colour() { return kColours[m_random.bounded(int(std::size(kColours)))]; }
    double coordinate(double extent) { return m_random.bounded(extent); }

    void writeGroup()
    {
        const double dx = coordinate(kMapSize.width() / 2.0) - kMapSize.width() / 8.0;
        const double dy = coordinate(kMapSize.height() / 2.0) - kMapSize.height() / 8.0;
        m_svg += "<g transform=\"translate(" + number(dx) + ' ' + number(dy) + ")\" stroke=\"" + colour()
                 + "\" stroke-width=\"1.5\" fill=\"none\">\n";
        for (int p = 0; p < kPathsPerGroup; ++p) {
            switch (m_random.bounded(4)) {
            case 0: writeRoad(); break;
            case 1: writeArea(); break;
            case 2: writeRiver(); break;
            default: writeBoundary(); break;
            }
        }
        m_svg += "</g>\n";
    }

    // Relative line segments with round joins, styled by the group.
    void writeRoad()
    {
        m_svg += "<path stroke-linejoin=\"round\" stroke-linecap=\"round\" d=\"M" + number(coordinate(500)) + ','
                 + number(coordinate(400));
        for (int i = 0; i < 14; ++i)
            m_svg += " l" + number(coordinate(16) - 8) + ',' + number(coordinate(16) - 8);
        m_svg += "\"/>\n";
    }

    // A closed area of cubic curves, styled through the style attribute.
    void writeArea()
    {
        m_svg += "<path style=\"fill:" + QByteArray(colour()) + ";fill-opacity:0.7;stroke:" + colour()
                 + ";stroke-width:0.5\" d=\"M" + number(coordinate(500)) + ' ' + number(coordinate(400));
        for (int i = 0; i < 5; ++i)
            m_svg += " c" + number(coordinate(20) - 10) + ' ' + number(coordinate(20) - 10) + ' '
                     + number(coordinate(20) - 10) + ' ' + number(coordinate(20) - 10) + ' '
                     + number(coordinate(30) - 15) + ' ' + number(coordinate(30) - 15);
        m_svg += "z\"/>\n";
    }

    // Smooth quadratic curves with absolute coordinates and their own stroke.
    void writeRiver()
    {
        double x = coordinate(500);
        double y = coordinate(400);
        m_svg += "<path stroke=\"#3584e4\" stroke-width=\"2\" d=\"M" + number(x) + ' ' + number(y) + " Q"
                 + number(x + 10) + ' ' + number(y + 5) + ' ' + number(x + 20) + ' ' + number(y);
        for (int i = 0; i < 8; ++i) {
            x += 8 + coordinate(12);
            y += coordinate(16) - 8;
            m_svg += " T" + number(x) + ' ' + number(y);
        }
        m_svg += "\"/>\n";
    }

    // Dashed arcs and lines, closed.
    void writeBoundary()
    {
        m_svg += "<path stroke-dasharray=\"4 2\" fill=\"" + QByteArray(colour()) + "\" fill-opacity=\"0.3\" d=\"M"
                 + number(coordinate(500)) + ' ' + number(coordinate(400));
        for (int i = 0; i < 4; ++i)
            m_svg += " a" + number(5 + coordinate(10)) + ' ' + number(5 + coordinate(10)) + ' '
                     + number(coordinate(90)) + " 0 1 " + number(coordinate(24) - 12) + ' '
                     + number(coordinate(24) - 12) + " h" + number(coordinate(12) - 6) + " v"
                     + number(coordinate(12) - 6);
        m_svg += "z\"/>\n";
    }

    QRandomGenerator m_random{20260};
    QByteArray m_svg;
};

// Seconds spent in each step of one run.
struct Phases {
    double import = 0;
    double place = 0;
    double render = 0;
    double write = 0;
};

class Stopwatch {
public:
    double lap()
    {
        const auto now = std::chrono::steady_clock::now();
        const double seconds = std::chrono::duration<double>(now - m_last).count();
        m_last = now;
        return seconds;
    }

private:
    std::chrono::steady_clock::time_point m_last = std::chrono::steady_clock::now();
};

// Import, place on a drawing the SVG's size, render and write the PNG: what opening the
// file and exporting it as an image costs.
std::optional<Phases> importAndRender(const QString& svgPath, const QString& pngPath)
{
    Phases phases;
    Stopwatch watch;
    QuorvaneError error;
    const std::optional<VXSVGImporter::Result> imported = VXSVGImporter::importFile(svgPath, &error);
    phases.import = watch.lap();
    if (!imported) {
        std::fprintf(stderr, "import failed: %s\n", qPrintable(error.localizedDescription()));
        return std::nullopt;
    }
    const VXDrawingPtr drawing = VXDrawing::drawingWithSize(imported->size);
    const auto layer = std::make_shared<VXObjectDrawingLayer>();
    drawing->addLayer(layer);
    layer->addObjectsFromArray(imported->objects);
    phases.place = watch.lap();
    const QImage image = platform::DrawingRenderer::imageOfDrawing(*drawing, drawing->bounds(), kPixels, QColor());
    phases.render = watch.lap();
    if (!image.save(pngPath, "PNG"))
        return std::nullopt;
    phases.write = watch.lap();
    return phases;
}

} // namespace

int main(int argc, char** argv)
{
    QGuiApplication app(argc, argv);
    registerFoundationClasses();
    registerVantrixStyleClasses();
    registerVantrixDrawingClasses();

    QTemporaryDir folder;
    const QString svgPath = folder.filePath(QStringLiteral("map.svg"));
    const QByteArray svg = MapWriter().svg();
    QFile file(svgPath);
    if (!file.open(QIODevice::WriteOnly) || file.write(svg) != svg.size())
        return 1;
    file.close();
    std::fprintf(stderr, "map: %.2f MB, %d paths in %d groups\n", svg.size() / 1e6, kGroups * kPathsPerGroup,
                 kGroups);

    std::vector<Phases> runs;
    const double ours = bench::medianSeconds(kRuns, [&] {
        if (const std::optional<Phases> phases = importAndRender(svgPath, folder.filePath(QStringLiteral("ours.png"))))
            runs.push_back(*phases);
    });
    if (runs.size() != size_t(kRuns))
        return 1;
    const Phases& last = runs.back();
    std::fprintf(stderr, "ours (last run): import %.3f s, place %.3f s, render %.3f s, write PNG %.3f s\n",
                 last.import, last.place, last.render, last.write);

    const QString rsvg = QStandardPaths::findExecutable(QStringLiteral("rsvg-convert"));
    if (rsvg.isEmpty()) {
        std::fprintf(stderr, "rsvg-convert not found (Debian librsvg2-bin); no comparison\n");
        return 0;
    }
    const QStringList arguments{QStringLiteral("-w"), QString::number(kPixels.width()), QStringLiteral("-h"),
                                QString::number(kPixels.height()), QStringLiteral("-o"),
                                folder.filePath(QStringLiteral("peer.png")), svgPath};
    const double peer = bench::medianSeconds(kRuns, [&] { QProcess::execute(rsvg, arguments); });
    bench::printComparison("svg_import_render_5mb", ours, peer, 1.0);
    return 0;
}
