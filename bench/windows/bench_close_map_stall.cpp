// Two map windows of 200,000 imported lines each (the import benchmark's shapefile); one is
// closed while the other's lines are moved one at a time every 20 ms. The longest the main
// thread is kept from its events, from the close until three seconds after (the allocator
// handing the closed map's pages back comes a second after it), must stay under 100 ms.

#include "support/BenchSupport.h"
#include "support/MainThreadStall.h"
#include "support/SampleShapefile.h"
#include "support/DocumentShapefileImport.h"

#include "platform/foundation/UserDefaults.h"
#include "platform/vantrix/drawables/VXDrawableObject.h"
#include "platform/vantrix/view/VXDrawingView.h"
#include "windows/WindowsClasses.h"

#include <QApplication>
#include <QElapsedTimer>
#include <QTemporaryDir>
#include <cstdio>

namespace {

constexpr int kRecords = 200'000;
constexpr double kTargetMilliseconds = 100;
constexpr qint64 kWatchedMilliseconds = 3000;

std::shared_ptr<ZQTrueQuorvaneDocument> openedMap(const QString& shpPath)
{
    auto document = std::make_shared<ZQTrueQuorvaneDocument>();
    QuorvaneError error;
    document->initWithTypeError(kZQMapDocumentType, &error);
    document->drawing()->setDrawingSize(QSizeF(4000, 3000));
    if (bench::importShapefileIntoDocument(*document, shpPath) != kRecords)
        return nullptr;
    document->makeWindowControllers();
    document->showWindows();
    document->mainView()->zoomViewToFitInWindow();
    document->mainView()->finishRendering();
    return document;
}

} // namespace

int main(int argc, char** argv)
{
    bench::useOffscreenPlatformUnlessTold();
    QApplication app(argc, argv);
    registerWindowsClasses(); // and those of every library below

    QTemporaryDir folder;
    platform::UserDefaults::setStorageLocationForTesting(folder.path());
    platform::UserDefaults::standardUserDefaults()->setObjectForKey(false, QStringLiteral("kImportOptionSettingSimplifyEnable"));
    const QString base = folder.filePath(QStringLiteral("roads"));
    bench::writeSampleShapefile(base, kRecords);
    auto closing = openedMap(base + QStringLiteral(".shp"));
    const auto staying = openedMap(base + QStringLiteral(".shp"));
    if (!closing || !staying) {
        std::fprintf(stderr, "the import did not make %d lines\n", kRecords);
        return 1;
    }
    std::printf("resident with both maps: %.0f MB\n", bench::statusMegabytes("VmRSS:"));

    const auto* layer = dynamic_cast<const VXObjectOwnerLayer*>(staying->drawing()->layers().first().get());
    const QList<VXDrawableObjectPtr> lines = layer->objects();
    int moved = 0;
    QTimer editing;
    editing.callOnTimeout([&] {
        const VXDrawableObjectPtr& line = lines[(moved++ * 7919) % lines.size()];
        line->setLocation(line->location() + QPointF(3, 2));
    });
    editing.start(20);
    QElapsedTimer sinceClose;
    const double stall = bench::longestMainThreadStall(
        [&] {
            sinceClose.start();
            closing->close();
            closing.reset();
        },
        [&] { return sinceClose.isValid() && sinceClose.elapsed() > kWatchedMilliseconds; });
    editing.stop();
    std::printf("resident after closing one: %.0f MB, %d lines moved meanwhile\n", bench::statusMegabytes("VmRSS:"),
                moved);
    bench::printValue(QStringLiteral("close_map_longest_stall_200k"), stall, "ms", kTargetMilliseconds);
    return 0;
}
