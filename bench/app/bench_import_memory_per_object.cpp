// Peak memory per imported line: the shapefile of the import benchmark (200,000 polylines of
// 4 to 16 vertices, six attributes each) imported into a map document as File > Import
// Shapefile... does, unsimplified, then shown whole in a drawing view. The growth of the peak
// resident size over both, divided by the lines made. Runs in a process of its own, as the
// peak only grows.
//
// The target stands on what a line must hold, as measured on the objects themselves: the
// drawable (a 384-byte object with its shared count, 400 bytes, and its QObject data, some 130),
// its path (11 elements of 24 bytes on average, some 330 with the path's header), six attribute
// values in their map (some 740, the keys shared), the two user-info entries every imported
// object carries (some 260) and its place in the layer and its index (some 60): about 1,900
// bytes. At the peak the reader also holds each record's attributes and untransformed path
// until the object is made, and the allocator rounds every block up: half as much again,
// 3,000 bytes. Painting the map keeps nothing per line.

#include "support/BenchSupport.h"
#include "support/DocumentShapefileImport.h"
#include "support/SampleShapefile.h"

#include "app/application/AppClasses.h"
#include "app/document/ZQTrueQuorvaneDocument.h"
#include "platform/vantrix/model/VXDrawing.h"
#include "platform/vantrix/view/VXDrawingView.h"

#include <QApplication>
#include <QTemporaryDir>
#include <cstdio>

namespace {

constexpr int kRecords = 200'000;
constexpr double kTargetBytesPerLine = 3000;

} // namespace

int main(int argc, char** argv)
{
    bench::useOffscreenPlatformUnlessTold();
    QApplication app(argc, argv);
    registerAppClasses(); // and those of every library below

    QTemporaryDir folder;
    bench::importUnsimplifiedWithSettingsIn(folder.path());
    const QString base = folder.filePath(QStringLiteral("roads"));
    bench::writeSampleShapefile(base, kRecords);
    const std::shared_ptr<ZQTrueQuorvaneDocument> document = bench::newMapForImport();

    const double before = bench::statusMegabytes("VmRSS:");
    const qint64 lines = bench::importShapefileIntoDocument(*document, base + QStringLiteral(".shp"));
    VXDrawingView view;
    view.resize(1400, 900);
    view.setDrawing(document->drawing());
    view.show();
    view.zoomViewToFitInWindow();
    view.finishRendering();
    const double peak = bench::statusMegabytes("VmHWM:") - before;
    if (lines != kRecords) {
        std::fprintf(stderr, "import made %lld of %d lines\n", lines, kRecords);
        return 1;
    }
    std::printf("peak growth %.1f MB for %lld lines\n", peak, lines);
    bench::printValue(QStringLiteral("import_memory_per_object"), peak * 1024 * 1024 / double(lines), "bytes",
                      kTargetBytesPerLine);
    return 0;
}
