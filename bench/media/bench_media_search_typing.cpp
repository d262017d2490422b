// The media browser showing the root of a generated tree of 20,000 small PNG images in 100
// folders, named after ten words, all listed: each keystroke of a search typed into its field
// and erased again (most of them change what the grid shows),
// timed on the main thread from the keystroke through the delayed search to the window's
// next painted frame. The search's wait is run on the manual clock, so only the work is timed.
// The figure is the main thread's own processor time, which a machine shared with other work
// does not inflate; the wall-clock times are printed beside it.
#include "support/BenchSupport.h"
#include "support/MediaBench.h"

#include "media/window/MediaGridModel.h"
#include "media/window/ZQImageBrowserView.h"
#include "media/window/ZQMediaBrowserController.h"
#include "platform/foundation/RunLoop.h"

#include <QApplication>
#include <QBuffer>
#include <QDir>
#include <QFile>
#include <QImage>
#include <QLineEdit>
#include <QTemporaryDir>
#include <ctime>

namespace {

constexpr int kFolders = 100;
constexpr int kImagesPerFolder = 200;
constexpr int kRuns = 3;
const QString kTyped = QStringLiteral("ridge 1");
const char* const kWords[] = {"harbour", "ridge", "meadow", "quarry", "summit",
                              "valley",  "coast", "forest", "river",  "island"};

QByteArray tinyPNG()
{
    QImage image(8, 6, QImage::Format_RGB32);
    image.fill(Qt::darkCyan);
    QByteArray data;
    QBuffer buffer(&data);
    buffer.open(QIODevice::WriteOnly);
    image.save(&buffer, "PNG");
    return data;
}

void writeTree(const QString& root)
{
    const QByteArray png = tinyPNG();
    for (int folder = 0; folder < kFolders; ++folder) {
        const QString path = QStringLiteral("%1/album %2").arg(root).arg(folder, 3, 10, QLatin1Char('0'));
        QDir().mkpath(path);
        for (int image = 0; image < kImagesPerFolder; ++image) {
            const int number = folder * kImagesPerFolder + image;
            QFile file(QStringLiteral("%1/%2 %3.png").arg(path, QLatin1String(kWords[number % 10])).arg(number));
            file.open(QIODevice::WriteOnly);
            file.write(png);
        }
    }
}

// Milliseconds of processor time the calling thread spends on `work`.
double threadMillisecondsOf(const std::function<void()>& work)
{
    const auto now = [] {
        timespec time{};
        clock_gettime(CLOCK_THREAD_CPUTIME_ID, &time);
        return double(time.tv_sec) * 1000.0 + double(time.tv_nsec) / 1e6;
    };
    const double start = now();
    work();
    return now() - start;
}

} // namespace

int main(int argc, char** argv)
{
    QTemporaryDir place;
    benchmedia::prepareHome(place);
    QApplication app(argc, argv);
    benchmedia::prepareApplication();
    const QString root = place.filePath("Images");
    writeTree(root);

    ZQMediaBrowserController browser;
    browser.window()->resize(1000, 700);
    browser.showWindow(nullptr);
    const double listing = bench::secondsOf([&] {
        browser.setFolder(ZQFolderInfo::makeWithPath(root));
        benchmedia::spinUntil([&] { return !browser.folderListing().isListing(); });
    });
    if (browser.gridModel()->rowCount() != kFolders * kImagesPerFolder) {
        std::fprintf(stderr, "the grid lists %d files\n", browser.gridModel()->rowCount());
        return 1;
    }
    QLineEdit* field = browser.parts().searchField;
    benchmedia::PaintCounter grid(browser.parts().imageBrowser->viewport());
    QApplication::processEvents();

    platform::RunLoop::setManualClock(true);
    std::vector<double> keystrokes, wallClock;
    int unpainted = 0;
    const auto keystroke = [&](qsizetype length) {
        const int paints = grid.paints;
        const int rows = browser.gridModel()->rowCount();
        double onThread = 0;
        wallClock.push_back(bench::millisecondsOf([&] {
            onThread = threadMillisecondsOf([&] {
                field->setText(kTyped.left(length));
                platform::RunLoop::runFor(ZQMediaBrowserController::kSearchDelay);
                QApplication::processEvents();
            });
        }));
        keystrokes.push_back(onThread);
        unpainted += browser.gridModel()->rowCount() != rows && grid.paints == paints ? 1 : 0;
    };
    for (int run = 0; run < kRuns; ++run) {
        for (qsizetype length = 1; length <= kTyped.size(); ++length)
            keystroke(length);
        for (qsizetype length = kTyped.size() - 1; length >= 0; --length)
            keystroke(length);
    }
    if (unpainted > 0) {
        std::fprintf(stderr, "%d keystrokes changed the grid without painting it\n", unpainted);
        return 1;
    }
    if (browser.folderListing().listingsStarted() != 1) {
        std::fprintf(stderr, "a search listed the folder again\n");
        return 1;
    }
    std::printf("listing the tree: %.2f s off the main thread; keystrokes on the main thread: slowest %.1f ms, "
                "median %.1f ms; wall clock: p95 %.1f ms, median %.1f ms\n",
                listing, bench::percentile(keystrokes, 1.0), bench::median(keystrokes),
                bench::percentile(wallClock, 0.95), bench::median(wallClock));
    bench::printValue(QStringLiteral("media_search_typing_20000"), bench::percentile(keystrokes, 0.95), "ms", 16);
    return 0;
}
