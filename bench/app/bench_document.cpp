// Saves, opens and closes a map document of 100,000 paths (eight-vertex polylines sharing
// 24 styles, each carrying two metadata items) as a package, and prints the package's size.
// Then a map of 1,000,000 short lines imported from a shapefile, as File > Import Shapefile...
// makes it, saved as File > Save As saves it and opened again once: the time of each and the
// growth of the peak resident size over it. Such a map archives as more than 2^24 objects.
//
// The reference machine (8 cores, 24 GB, busy with other builds) saves the million lines in
// about 11 s, growing by 1.25 GB, and opens them in about 7 s, growing by 2.2 GB; the targets
// leave twice the time. The memory is printed for the record.

#include "support/BenchSupport.h"
#include "support/DocumentShapefileImport.h"
#include "support/PathMap100k.h"
#include "support/SampleShapefile.h"

#include "app/application/AppClasses.h"
#include "mapscale/MapScaleClasses.h"
#include "platform/foundation/FoundationClasses.h"
#include "platform/foundation/GradualRelease.h"
#include "platform/measurement/MeasurementClasses.h"
#include "platform/ui/DocumentError.h"
#include "platform/vantrix/model/VantrixDrawingClasses.h"
#include "platform/vantrix/styles/VantrixComponentClasses.h"
#include "platform/vantrix/styles/VantrixStyleClasses.h"
#include "platform/vantrix/text/VantrixTextClasses.h"

#include <QApplication>
#include <QDirIterator>
#include <QTemporaryDir>
#include <cstdio>
#include <vector>

namespace {

constexpr int kRuns = 3;
constexpr int kMillion = 1'000'000;
constexpr double kMillionSaveTarget = 20;
constexpr double kMillionOpenTarget = 15;

void registerClasses()
{
    registerFoundationClasses();
    registerMeasurementClasses();
    registerMapScaleClasses();
    registerVantrixStyleClasses();
    registerVantrixComponentClasses();
    registerVantrixTextClasses();
    registerVantrixDrawingClasses();
    registerAppClasses();
}

std::shared_ptr<ZQTrueQuorvaneDocument> makeDocument()
{
    auto document = benchscene::makePathMapDocument(20261206, [](VXDrawablePath& path, int index) {
        path.setMetadataItemValueForKey(index, QStringLiteral("id"));
        path.setMetadataItemValueForKey(QStringLiteral("Road %1").arg(index), QStringLiteral("name"));
    });
    document->undoManager()->removeAllActions();
    return document;
}

qint64 folderSize(const QString& path)
{
    qint64 size = 0;
    QDirIterator it(path, QDir::Files | QDir::Hidden, QDirIterator::Subdirectories);
    while (it.hasNext())
        size += QFileInfo(it.next()).size();
    return size;
}

// The peak resident size is measured from here on (it only grows otherwise).
void resetPeakResidentSize()
{
    QFile clearRefs(QStringLiteral("/proc/self/clear_refs"));
    if (clearRefs.open(QIODevice::WriteOnly))
        clearRefs.write("5");
}

// Seconds and megabytes of peak growth of `work`.
std::pair<double, double> timeAndPeakGrowthOf(const std::function<void()>& work)
{
    resetPeakResidentSize();
    const double before = bench::statusMegabytes("VmRSS:");
    const double seconds = bench::secondsOf(work);
    return {seconds, bench::statusMegabytes("VmHWM:") - before};
}

bool saveAndOpenMillionLines(const QString& folder)
{
    const QString base = QDir(folder).filePath(QStringLiteral("lines1m"));
    bench::writeSegmentGridShapefile(base, kMillion);
    auto document = bench::newMapForImport();
    if (bench::importShapefileIntoDocument(*document, base + ".shp") != kMillion) {
        std::fprintf(stderr, "the million-line import did not land\n");
        return false;
    }
    document->undoManager()->removeAllActions();
    const QUrl url = QUrl::fromLocalFile(QDir(folder).filePath(QStringLiteral("lines1m.qvnl")));
    QuorvaneError error;
    bool ok = false;
    const auto [save, savePeak] = timeAndPeakGrowthOf([&] {
        ok = document->saveToURLOfTypeForSaveOperationError(url, kZQMapDocumentType,
                                                            platform::Document::SaveAsOperation, &error);
    });
    if (!ok) {
        std::fprintf(stderr, "saving the million lines failed: %s\n",
                     qPrintable(platform::DocumentError::failureReason(error)));
        return false;
    }
    // The saved map goes before the open is timed, not slice by slice during it.
    document.reset();
    platform::GradualRelease::releaseAll();
    auto reopened = std::make_shared<ZQTrueQuorvaneDocument>();
    const auto [open, openPeak] = timeAndPeakGrowthOf(
        [&] { ok = reopened->initWithContentsOfURLOfTypeError(url, kZQMapDocumentType, &error); });
    if (!ok) {
        std::fprintf(stderr, "opening the million lines failed: %s\n",
                     qPrintable(platform::DocumentError::failureReason(error)));
        return false;
    }
    std::printf("package size: %.1f MB\n", folderSize(url.toLocalFile()) / 1e6);
    bench::printValue(QStringLiteral("document_save_1m_lines"), save, "s", kMillionSaveTarget);
    bench::printRecord(QStringLiteral("document_save_1m_lines_peak_growth"), savePeak, "MB");
    bench::printValue(QStringLiteral("document_open_1m_lines"), open, "s", kMillionOpenTarget);
    bench::printRecord(QStringLiteral("document_open_1m_lines_peak_growth"), openPeak, "MB");
    return true;
}

} // namespace

int main(int argc, char** argv)
{
    bench::useOffscreenPlatformUnlessTold();
    QApplication app(argc, argv);
    registerClasses();
    QTemporaryDir folder;
    bench::importUnsimplifiedWithSettingsIn(folder.path());
    const QUrl url = QUrl::fromLocalFile(folder.filePath(QStringLiteral("Bench.qvnl")));
    const auto document = makeDocument();

    bool ok = true;
    const double save = bench::medianSeconds(kRuns, [&] {
        QuorvaneError error;
        ok = ok && document->saveToURLOfTypeForSaveOperationError(url, kZQMapDocumentType,
                                                                  platform::Document::SaveToOperation, &error);
    });
    // Reopened documents stay open until the opening is timed: closing one is measured on its own.
    std::vector<std::shared_ptr<ZQTrueQuorvaneDocument>> reopened;
    const double open = bench::medianSeconds(kRuns, [&] {
        auto document = std::make_shared<ZQTrueQuorvaneDocument>();
        QuorvaneError error;
        ok = ok && document->initWithContentsOfURLOfTypeError(url, kZQMapDocumentType, &error);
        reopened.push_back(std::move(document));
    });
    const double close = bench::medianSeconds(kRuns, [&] { reopened.pop_back(); });
    if (!ok) {
        std::fprintf(stderr, "saving or opening the document failed\n");
        return 1;
    }
    std::printf("package size: %.1f MB\n", folderSize(url.toLocalFile()) / 1e6);
    bench::printValue("document_save_100k", save, "s", 1.5);
    bench::printValue("document_open_100k", open, "s", 1.5);
    bench::printValue("document_close_100k", close, "s", 1.5);
    return saveAndOpenMillionLines(folder.path()) ? 0 : 1;
}
