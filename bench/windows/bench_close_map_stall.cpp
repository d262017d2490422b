// Two map windows, both opened from their files as File > Open does, so their objects lie in
// the main thread's heap arena; one is closed as File > Close closes its window, while the
// pointer moves over the other's view every 6 ms (its rulers follow it) and its lines are moved
// one at a time every 20 ms. The longest the main thread is kept from its events, from the close
// until three seconds after the closed map's objects have all been let go (when the allocator
// could hand its pages back), must stay within three frames, the other map's own redraws
// included: no piece of the release may take more than a frame, and nothing the allocator does
// to hand the pages back may hold the main thread's arena for longer. The cases: a map of the
// import benchmark's 200,000 lines closed beside another; a map of 1,000,000 short segments
// closed beside the first; a case named on the command line runs alone. The resident memory
// after the other map closes too shows the pages going back to the system.

#include "support/BenchSupport.h"
#include "support/MainThreadStall.h"
#include "support/SampleShapefile.h"
#include "support/DocumentShapefileImport.h"

#include "app/document/QuorvaneDocumentController.h"
#include "platform/foundation/GradualRelease.h"
#include "platform/vantrix/drawables/VXDrawableObject.h"
#include "platform/vantrix/view/VXDrawingView.h"
#include "windows/WindowsClasses.h"

#include <QApplication>
#include <QElapsedTimer>
#include <QMouseEvent>
#include <QTemporaryDir>
#include <cstdio>

#if defined(__GLIBC__)
#include <malloc.h>
#endif

namespace {

constexpr int kLines = 200'000;
constexpr int kSegments = 1'000'000;
constexpr double kTargetMilliseconds = 50;
constexpr qint64 kWatchedAfterReleaseMilliseconds = 3000;

// The shapefile imported into a new map and saved as `copies` map files.
bool savedMaps(const QString& shpPath, int records, const QList<QUrl>& copies)
{
    const auto document = bench::newMapForImport();
    if (bench::importShapefileIntoDocument(*document, shpPath) != records)
        return false;
    for (const QUrl& copy : copies) {
        QuorvaneError error;
        if (!document->saveToURLOfTypeForSaveOperationError(copy, kZQMapDocumentType,
                                                            platform::Document::SaveToOperation, &error))
            return false;
    }
    return true;
}

ZQTrueQuorvaneDocument* openedMap(const QUrl& url)
{
    QuorvaneError error;
    auto* document = qobject_cast<ZQTrueQuorvaneDocument*>(
        platform::DocumentController::sharedDocumentController()->openDocumentWithContentsOfURLDisplayError(url, true,
                                                                                                          &error));
    if (!document)
        return nullptr;
    document->mainView()->zoomViewToFitInWindow();
    document->mainView()->finishRendering();
    return document;
}

// A pointer moving over the view, as a mouse with no button held does.
void movePointerOver(VXDrawingView& view, int step)
{
    QWidget* viewport = view.viewport();
    const QPointF local((step * 37) % std::max(viewport->width(), 1), (step * 53) % std::max(viewport->height(), 1));
    QMouseEvent move(QEvent::MouseMove, local, viewport->mapToGlobal(local), Qt::NoButton, Qt::NoButton,
                     Qt::NoModifier);
    QCoreApplication::sendEvent(viewport, &move);
}

void runEventsFor(qint64 milliseconds)
{
    QElapsedTimer clock;
    clock.start();
    while (clock.elapsed() < milliseconds)
        QCoreApplication::processEvents(QEventLoop::WaitForMoreEvents, 50);
}

// What a map made for a case left behind goes before the case starts.
void settleAfterMaking()
{
    runEventsFor(500);
    platform::GradualRelease::releaseAll();
#if defined(__GLIBC__)
    malloc_trim(0);
#endif
}

// Whether the window left takes the keys after the close, as a window manager gives them, or
// no window has them while the pointer moves over it, as with none or with another application.
enum class KeysAfterClose { ToTheWindowLeft, Elsewhere };

// `closing` is closed beside `staying`; the longest stall in milliseconds, or -1.
double longestStallClosing(const QUrl& closingFile, const QUrl& stayingFile, KeysAfterClose keys)
{
    std::printf("resident before opening them: %.0f MB\n", bench::statusMegabytes("VmRSS:"));
    ZQTrueQuorvaneDocument* closing = openedMap(closingFile);
    ZQTrueQuorvaneDocument* staying = openedMap(stayingFile);
    if (!closing || !staying) {
        std::fprintf(stderr, "the saved maps did not open\n");
        return -1;
    }
    std::printf("resident with both maps: %.0f MB\n", bench::statusMegabytes("VmRSS:"));
    // The keys go to the window closed, as for File > Close.
    closing->windowForSheet()->activateWindow();
    runEventsFor(100);

    const auto* layer = dynamic_cast<const VXObjectOwnerLayer*>(staying->drawing()->layers().first().get());
    QList<VXDrawableObjectPtr> lines = layer->objects();
    int moved = 0;
    QTimer editing;
    editing.callOnTimeout([&] {
        const VXDrawableObjectPtr& line = lines[(moved++ * 7919) % lines.size()];
        line->setLocation(line->location() + QPointF(3, 2));
    });
    editing.start(20);
    int pointerSteps = 0;
    QTimer pointing;
    pointing.callOnTimeout([&] { movePointerOver(*staying->mainView(), pointerSteps++); });
    pointing.start(6);
    QElapsedTimer sinceClose, sinceRelease;
    const double stall = bench::longestMainThreadStall(
        [&] {
            sinceClose.start();
            closing->windowForSheet()->close();
            if (keys == KeysAfterClose::ToTheWindowLeft)
                staying->windowForSheet()->activateWindow();
        },
        [&] {
            if (!sinceClose.isValid() || sinceClose.elapsed() < 500)
                return false;
            if (!sinceRelease.isValid() && platform::GradualRelease::pendingCount() == 0)
                sinceRelease.start();
            return sinceRelease.isValid() && sinceRelease.elapsed() > kWatchedAfterReleaseMilliseconds;
        });
    editing.stop();
    pointing.stop();
    std::printf("%s window has the keys after the close\n", QGuiApplication::focusWindow() ? "a" : "no");
    std::printf("resident after closing one: %.0f MB, %d lines moved meanwhile, its objects let go in %.1f s\n",
                bench::statusMegabytes("VmRSS:"), moved, (sinceClose.elapsed() - sinceRelease.elapsed()) / 1000.0);

    lines.clear();
    staying->close();
    runEventsFor(500);
    while (platform::GradualRelease::pendingCount() > 0)
        QCoreApplication::processEvents(QEventLoop::WaitForMoreEvents, 50);
    runEventsFor(3000);
    std::printf("resident after closing both: %.0f MB\n", bench::statusMegabytes("VmRSS:"));
    return stall;
}

} // namespace

int main(int argc, char** argv)
{
    bench::useOffscreenPlatformUnlessTold();
    QApplication app(argc, argv);
    registerWindowsClasses(); // and those of every library below
    platform::DocumentController::setSharedDocumentController(std::make_unique<QuorvaneDocumentController>());

    QTemporaryDir folder;
    bench::importUnsimplifiedWithSettingsIn(folder.path());
    const QString lines = folder.filePath(QStringLiteral("roads"));
    const QString segments = folder.filePath(QStringLiteral("segments"));
    const QList<QUrl> lineMaps{QUrl::fromLocalFile(lines + QStringLiteral("-1.qvnl")),
                               QUrl::fromLocalFile(lines + QStringLiteral("-2.qvnl"))};
    const QUrl segmentMap = QUrl::fromLocalFile(segments + QStringLiteral(".qvnl"));
    bench::writeSampleShapefile(lines, kLines);
    if (!savedMaps(lines + QStringLiteral(".shp"), kLines, lineMaps)) {
        std::fprintf(stderr, "the import did not make %d lines, or the map was not saved\n", kLines);
        return 1;
    }
    settleAfterMaking();

    const QStringList only = QCoreApplication::arguments().mid(1);
    const auto runs = [&only](const char* name) { return only.isEmpty() || only.contains(QString::fromLatin1(name)); };
    if (runs("close_map_longest_stall_200k")) {
        const double stall = longestStallClosing(lineMaps[0], lineMaps[1], KeysAfterClose::ToTheWindowLeft);
        if (stall < 0)
            return 1;
        bench::printValue(QStringLiteral("close_map_longest_stall_200k"), stall, "ms", kTargetMilliseconds);
    }
    if (runs("close_map_longest_stall_1m")) {
        bench::writeSegmentGridShapefile(segments, kSegments);
        if (!savedMaps(segments + QStringLiteral(".shp"), kSegments, {segmentMap})) {
            std::fprintf(stderr, "the import did not make %d segments, or the map was not saved\n", kSegments);
            return 1;
        }
        settleAfterMaking();
        const double stall = longestStallClosing(segmentMap, lineMaps[1], KeysAfterClose::Elsewhere);
        if (stall < 0)
            return 1;
        bench::printValue(QStringLiteral("close_map_longest_stall_1m"), stall, "ms", kTargetMilliseconds);
    }
    return 0;
}
