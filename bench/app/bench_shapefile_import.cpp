// Imports a polyline shapefile of 200,000 records with a six-field table (written with
// shapelib) into a map document: from beginLoadWithDelegate until the new layer is in the
// drawing, simplified at detail level 0, with the attributes as metadata. The peer converts
// the same file with ogr2ogr to FlatGeobuf, simplified with the same tolerance (gdal-bin:
// scripts/deps.sh --bench installs it). Also prints the longest time the main thread went
// without turning its event loop during our import.

#include "support/BenchSupport.h"
#include "support/SampleShapefile.h"

#include "app/application/AppClasses.h"
#include "app/import/ZQShapefileObjectFactory.h"
#include "app/document/ZQTrueQuorvaneDocument.h"
#include "geodata/ZQDouglasPeuckerSimplifier.h"
#include "geodata/ZQESRIFile.h"
#include "platform/foundation/GradualRelease.h"
#include "platform/foundation/UserDefaults.h"
#include "platform/vantrix/model/VXDrawing.h"
#include "platform/vantrix/model/VXObjectOwnerLayer.h"

#include <QApplication>
#include <QElapsedTimer>
#include <QFile>
#include <QProcess>
#include <QStandardPaths>
#include <QTemporaryDir>
#include <QTimer>
#include <cstdio>
#include <vector>

namespace {

constexpr int kRecords = 200'000;
constexpr int kRuns = 3;
constexpr int kDetailLevel = 0;
constexpr QSizeF kDrawingSize(4000, 3000);

void chooseImportOptions()
{
    platform::UserDefaults& defaults = *platform::UserDefaults::standardUserDefaults();
    defaults.setObjectForKey(true, QStringLiteral("kImportOptionSettingSimplifyEnable"));
    defaults.setObjectForKey(kDetailLevel, QStringLiteral("kImportOptionSettingSimplifyDetailLevel"));
    defaults.setObjectForKey(QStringLiteral("ZQDouglasPeuckerSimplifier"),
                             QStringLiteral("kImportOptionSettingSimplifyAlgorithmClassname"));
}

struct ImportRun {
    qint64 objects = -1;
    double seconds = 0; // from beginLoadWithDelegate until the layer is in the drawing
    double longestStall = 0;
};

const VXObjectOwnerLayer* importedLayer(const ZQTrueQuorvaneDocument& document, const QString& name)
{
    for (const VXLayerPtr& layer : document.drawing()->layers()) {
        if (layer->layerName() == name)
            return dynamic_cast<const VXObjectOwnerLayer*>(layer.get());
    }
    return nullptr;
}

// One import into a fresh document; the main thread's event loop runs until the layer is
// there, and a 1 ms timer measures the longest gap between its turns. Letting the document
// go afterwards is not part of the import and is not timed.
ImportRun importOnce(const QString& shpPath, const QString& layerName)
{
    auto document = std::make_shared<ZQTrueQuorvaneDocument>();
    QuorvaneError error;
    document->initWithTypeError(kZQMapDocumentType, &error);
    document->drawing()->setDrawingSize(kDrawingSize);

    ImportRun run;
    QEventLoop loop;
    QElapsedTimer sinceStart;
    QElapsedTimer sinceTick;
    QTimer ticker;
    ticker.setInterval(1);
    QObject::connect(&ticker, &QTimer::timeout, [&] {
        run.longestStall = std::max(run.longestStall, sinceTick.nsecsElapsed() / 1e9);
        sinceTick.restart();
        if (const VXObjectOwnerLayer* layer = importedLayer(*document, layerName)) {
            run.seconds = sinceStart.nsecsElapsed() / 1e9;
            run.objects = layer->countOfObjects();
            loop.quit();
        }
    });

    auto reader = std::make_shared<ZQESRIFile>();
    reader->initWithFile(shpPath);
    reader->setDiscardOutOfViewObjects(true);
    reader->setObjectFactory(ZQShapefileObjectFactory::makeFactory());
    sinceStart.start();
    sinceTick.start();
    ticker.start();
    reader->beginLoadWithDelegate(document.get());
    QTimer::singleShot(120'000, &loop, &QEventLoop::quit);
    loop.exec();
    return run;
}

bool convertWithPeer(const QString& ogr2ogr, const QString& shpPath, const QString& outPath)
{
    QFile::remove(outPath);
    const QString tolerance = QString::number(ZQDouglasPeuckerSimplifier::simplificationForDetailLevel(kDetailLevel));
    return QProcess::execute(ogr2ogr, {QStringLiteral("-f"), QStringLiteral("FlatGeobuf"), QStringLiteral("-nlt"),
                                       QStringLiteral("PROMOTE_TO_MULTI"), outPath, shpPath,
                                       QStringLiteral("-simplify"), tolerance})
        == 0;
}

} // namespace

int main(int argc, char** argv)
{
    bench::useOffscreenPlatformUnlessTold();
    QApplication app(argc, argv);
    registerAppClasses(); // and those of every library below

    const QString ogr2ogr = QStandardPaths::findExecutable(QStringLiteral("ogr2ogr"));
    if (ogr2ogr.isEmpty()) {
        std::fprintf(stderr, "ogr2ogr not found: scripts/deps.sh --bench installs gdal-bin\n");
        return 1;
    }
    QTemporaryDir folder;
    // The options chosen here stay in this run: no settings file is left behind or read.
    platform::UserDefaults::setStorageLocationForTesting(folder.path());
    chooseImportOptions();
    const QString base = folder.filePath(QStringLiteral("roads"));
    bench::writeSampleShapefile(base, kRecords);
    const QString shpPath = base + QStringLiteral(".shp");
    const QString outPath = folder.filePath(QStringLiteral("roads.fgb"));

    std::vector<double> oursTimes, peerTimes;
    double longestStall = 0;
    // Alternately, so that both meet the same cache and machine state.
    for (int i = 0; i < kRuns; ++i) {
        const ImportRun run = importOnce(shpPath, QStringLiteral("roads"));
        // The map let go frees its objects now, untimed, not a slice per turn during the next import.
        platform::GradualRelease::releaseAll();
        oursTimes.push_back(run.seconds);
        longestStall = std::max(longestStall, run.longestStall);
        bool peerOk = false;
        peerTimes.push_back(bench::secondsOf([&] { peerOk = convertWithPeer(ogr2ogr, shpPath, outPath); }));
        if (run.objects != kRecords || !peerOk) {
            std::fprintf(stderr, "import made %lld of %d objects; peer %s\n", run.objects, kRecords,
                         peerOk ? "ok" : "failed");
            return 1;
        }
    }
    std::printf("longest main-thread stall during our import: %.3f s\n", longestStall);
    bench::printComparison(QStringLiteral("shapefile_import_200k"), bench::median(oursTimes), bench::median(peerTimes), 0.5);
    return 0;
}
