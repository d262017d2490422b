// Chooses a generated flat folder of 5,000 PNG and JPEG images (up to 4,000 pixels a side)
// and 200 SVG files in the media browser at device pixel ratio 2, and times the way to the
// first painted screen of the whole grid with names and pixel sizes (thumbnails still arriving).
// The peer is a plain QFileSystemModel under a QListView in icon mode on the same folder,
// timed until directoryLoaded and the paint after it. Also printed: the time until every
// thumbnail of the first screen has arrived.
#include "support/BenchSupport.h"
#include "support/MediaBench.h"

#include "media/window/MediaGridModel.h"
#include "media/window/ZQImageBrowserView.h"
#include "media/window/ZQMediaBrowserController.h"

#include <QApplication>
#include <QDir>
#include <QFile>
#include <QFileSystemModel>
#include <QImage>
#include <QListView>
#include <QPainter>
#include <QTemporaryDir>
#include <QThread>

namespace {

constexpr int kImages = 5000;
constexpr int kSVGFiles = 200;
constexpr int kRuns = 5;
const QSize kWindowSize(1000, 700);

struct Master {
    QString path;
    QString suffix;
};

// A few images of each kind, copied under many names: the listing and header reading are
// what is timed, and real copies keep every file its own.
QList<Master> writeMasters(const QString& folder)
{
    const struct {
        QSize size;
        const char* format;
    } kinds[] = {{{4000, 3000}, "png"}, {{2000, 1500}, "png"}, {{800, 600}, "png"}, {{300, 200}, "png"},
                 {{1600, 1200}, "jpg"}, {{640, 480}, "jpg"},   {{200, 150}, "jpg"}};
    QList<Master> masters;
    QDir().mkpath(folder);
    int index = 0;
    for (const auto& kind : kinds) {
        QImage image(kind.size, QImage::Format_RGB32);
        image.fill(QColor::fromHsv(index * 45 % 360, 120, 220));
        QPainter painter(&image);
        painter.setBrush(Qt::darkBlue);
        painter.drawEllipse(QRect(QPoint(), kind.size).adjusted(10, 10, -10, -10));
        painter.end();
        const QString path = QStringLiteral("%1/master %2.%3").arg(folder).arg(index++).arg(kind.format);
        image.save(path, nullptr, 80);
        masters.append({path, QString::fromLatin1(kind.format)});
    }
    return masters;
}

void writeFolder(const QString& folder, const QString& masterFolder)
{
    const QList<Master> masters = writeMasters(masterFolder);
    QDir().mkpath(folder);
    for (int index = 0; index < kImages; ++index) {
        // The largest only now and then, as in a real collection.
        const Master& master = masters[index % 25 == 0 ? 0 : 1 + index % (masters.size() - 1)];
        QFile::copy(master.path, QStringLiteral("%1/item %2.%3").arg(folder).arg(index, 5, 10, QLatin1Char('0')).arg(master.suffix));
    }
    // Named among the images, so the first screen holds every kind.
    for (int index = 0; index < kSVGFiles; ++index) {
        QFile file(QStringLiteral("%1/item %2 drawing.svg").arg(folder).arg(index * kImages / kSVGFiles + 3, 5, 10, QLatin1Char('0')));
        file.open(QIODevice::WriteOnly);
        file.write(QStringLiteral("<svg xmlns=\"http://www.w3.org/2000/svg\" width=\"%1\" height=\"80\">"
                                  "<circle cx=\"40\" cy=\"40\" r=\"30\" fill=\"teal\"/></svg>")
                       .arg(80 + index)
                       .toUtf8());
    }
}

int visibleRows(ZQImageBrowserView& grid, MediaGridModel& model)
{
    int visible = 0;
    for (int row = 0; row < model.rowCount(); ++row)
        visible += grid.isRowVisible(row) ? 1 : 0;
    return visible;
}

bool firstScreenThumbnailsArrived(ZQImageBrowserView& grid, MediaGridModel& model)
{
    for (int row = 0; row < model.rowCount(); ++row) {
        if (!grid.isRowVisible(row))
            continue;
        const ZQImagePathPtr item = model.itemAt(row);
        if (!item->hasImage() && !item->previewFailed())
            return false;
    }
    return true;
}

} // namespace

int main(int argc, char** argv)
{
    QTemporaryDir place;
    benchmedia::prepareHome(place);
    QApplication app(argc, argv);
    benchmedia::prepareApplication();
    const QString folder = place.filePath("Images");
    writeFolder(folder, place.filePath("masters"));

    ZQMediaBrowserController browser;
    browser.window()->resize(kWindowSize);
    browser.showWindow(nullptr);
    ZQImageBrowserView& grid = *browser.parts().imageBrowser;
    MediaGridModel& model = *browser.gridModel();
    benchmedia::PaintCounter oursPaints(grid.viewport());

    QListView peerView;
    peerView.setViewMode(QListView::IconMode);
    peerView.setResizeMode(QListView::Adjust);
    peerView.setUniformItemSizes(true);
    peerView.resize(grid.size());
    peerView.show();
    benchmedia::PaintCounter peerPaints(peerView.viewport());
    QCoreApplication::processEvents();

    std::vector<double> ours, peer, thumbnails;
    bool complete = true;
    int firstScreen = 0;
    for (int run = 0; run < kRuns; ++run) {
        const ZQFolderInfoPtr node = ZQFolderInfo::makeWithPath(folder);
        const auto start = std::chrono::steady_clock::now();
        browser.setFolder(node);
        // As for the peer: the whole folder listed (off the main thread), and the paint after.
        complete &= benchmedia::spinUntil([&] { return !browser.folderListing().isListing(); });
        const int paintsListed = oursPaints.paints;
        complete &= benchmedia::spinUntil([&] { return oursPaints.paints > paintsListed; });
        ours.push_back(std::chrono::duration<double>(std::chrono::steady_clock::now() - start).count());
        complete &= benchmedia::spinUntil([&] { return firstScreenThumbnailsArrived(grid, model); });
        thumbnails.push_back(std::chrono::duration<double>(std::chrono::steady_clock::now() - start).count());
        firstScreen = visibleRows(grid, model);
        complete &= model.rowCount() == kImages + kSVGFiles && firstScreen > 10;
        browser.setFolder(nullptr);
        QCoreApplication::processEvents();

        peer.push_back(bench::secondsOf([&] {
            QFileSystemModel files;
            bool loaded = false;
            QObject::connect(&files, &QFileSystemModel::directoryLoaded, [&loaded] { loaded = true; });
            files.setRootPath(folder);
            peerView.setModel(&files);
            peerView.setRootIndex(files.index(folder));
            complete &= benchmedia::spinUntil([&] { return loaded; });
            const int paintsLoaded = peerPaints.paints;
            peerView.viewport()->update();
            complete &= benchmedia::spinUntil([&] { return peerPaints.paints > paintsLoaded; });
            peerView.setModel(nullptr);
        }));
        QCoreApplication::processEvents();
    }
    if (!complete) {
        std::fprintf(stderr, "a screen never arrived or the grid missed files\n");
        return 1;
    }
    std::printf("first screen: %d of %d items\n", firstScreen, kImages + kSVGFiles);
    bench::printComparison(QStringLiteral("media_first_screen_5000"), bench::median(ours), bench::median(peer), 1.5);
    bench::printRecord(QStringLiteral("media_first_screen_5000_thumbnails"), bench::median(thumbnails), "s");
    bench::printValue(QStringLiteral("media_first_screen_5000_ours_absolute"), bench::median(ours), "s", 0.3);
    return 0;
}
