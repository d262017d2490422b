// Saves, opens and closes a map document of 100,000 paths (eight-vertex polylines sharing
// 24 styles, each carrying two metadata items) as a package, and prints the package's size.

#include "support/BenchSupport.h"
#include "support/PathMap100k.h"

#include "app/application/AppClasses.h"
#include "mapscale/MapScaleClasses.h"
#include "platform/foundation/FoundationClasses.h"
#include "platform/measurement/MeasurementClasses.h"
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

} // namespace

int main(int argc, char** argv)
{
    QApplication app(argc, argv);
    registerClasses();
    QTemporaryDir folder;
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
    return 0;
}
