// A session's drawing work with and without a copy of one object made at launch: the copy must
// leave the allocator as it found it, so nothing after it costs more. Each session is a child
// process of this benchmark that, copy or not, builds a map of 60,000 parcels and roads in a
// 1600 x 1000 view and then zooms out and in, draws the view's tiles again, exports the sheet
// to PNG, and saves the drawing to a file and opens it again. Sessions of both kinds alternate;
// each figure is the median over them of the process's processor time (tile threads included),
// the session with the copy against the one without.
//   bench_after_copy [SESSIONS]   (default 5 of each)

#include "LargeMapGenerator.h"
#include "support/BenchSupport.h"

#include "platform/foundation/FoundationClasses.h"
#include "platform/graphics/ImageWriter.h"
#include "platform/vantrix/drawables/VXDrawablePath.h"
#include "platform/vantrix/model/VXDrawingDocument.h"
#include "platform/vantrix/model/VantrixDrawingClasses.h"
#include "platform/vantrix/render/DrawingRenderer.h"
#include "platform/vantrix/styles/VantrixStyleClasses.h"
#include "platform/vantrix/view/VXDrawingView.h"

#include <QApplication>
#include <QClipboard>
#include <QFile>
#include <QMimeData>
#include <QProcess>
#include <QTemporaryDir>
#include <ctime>
#include <map>
#include <sys/resource.h>

namespace {

constexpr int kObjects = 60000;
constexpr QSizeF kPaper(24000, 15000);
constexpr QSize kViewSize(1600, 1000);
constexpr QSize kExportPixels(4800, 3000);
constexpr int kZoomSteps = 3; // out, then back in as many
constexpr int kRenderRounds = 3;
constexpr double kTarget = 1.05;
const char* const kFigures[] = {"zoom", "tile_rerender", "png_export", "save_open"};
// Set in a session's environment to "copy" or "plain".
const char* const kSessionVariable = "QUORVANE_AFTER_COPY_SESSION";

double processSeconds()
{
    timespec time{};
    clock_gettime(CLOCK_PROCESS_CPUTIME_ID, &time);
    return double(time.tv_sec) + double(time.tv_nsec) / 1e9;
}

long minorFaults()
{
    rusage usage{};
    getrusage(RUSAGE_SELF, &usage);
    return usage.ru_minflt;
}

// What a step of the session cost the process.
struct Cost {
    double seconds = 0;
    double faults = 0; // pages given their first touch: far fewer than the seconds vary with load
};

Cost costOf(const std::function<void()>& work)
{
    const double start = processSeconds();
    const long faults = minorFaults();
    work();
    return {processSeconds() - start, double(minorFaults() - faults)};
}

void settle(VXDrawingView& view)
{
    QCoreApplication::processEvents();
    view.finishRendering();
    QCoreApplication::processEvents();
}

// Copy of one line in a view of its own, as the first thing the session does.
void copyOneObject()
{
    const VXDrawingPtr drawing = VXDrawing::drawingWithSize(QSizeF(600, 400));
    const auto layer = std::make_shared<VXObjectDrawingLayer>();
    drawing->addLayer(layer);
    drawing->setActiveLayer(layer.get());
    platform::BezierPath path;
    path.appendBezierPathWithPoints(QPolygonF{{10, 10}, {200, 120}});
    layer->addObjectsFromArray({VXDrawablePath::drawablePathWithBezierPath(path)});
    layer->selectAll();
    VXDrawingView view;
    view.setDrawing(drawing);
    view.copy();
    bench::require(QGuiApplication::clipboard()->mimeData()->hasFormat(kVXDrawableObjectPasteboardType),
                   "after_copy", "the copy left the clipboard without the object");
}

// One session; prints a line "FIGURE name seconds" per figure.
int runSession(bool copying)
{
    if (copying)
        copyOneObject();
    const bench::LargeMap map = bench::makeLargeMap(kObjects, kPaper);
    VXDrawingView view;
    view.resize(kViewSize);
    view.setDrawing(map.drawing);
    view.show();
    view.zoomViewToFitInWindow();
    settle(view);
    const QPointF centre = QRectF(view.viewport()->rect()).center();

    std::map<QByteArray, Cost> figures;
    figures["zoom"] = costOf([&] {
        for (int step = 0; step < 2 * kZoomSteps; ++step) {
            view.zoomViewByFactorWithCentre(step < kZoomSteps ? 0.8 : 1.25, centre);
            settle(view);
        }
    });
    figures["tile_rerender"] = costOf([&] {
        for (int round = 0; round < kRenderRounds; ++round) {
            view.discardRenderings();
            settle(view);
        }
    });
    figures["png_export"] = costOf([&] {
        const QImage image = platform::DrawingRenderer::imageOfDrawing(*map.drawing, map.drawing->bounds(),
                                                                       kExportPixels, Qt::white);
        const QByteArray png = platform::ImageWriter::representationUsingTypeProperties(image, platform::ImageFileType::PNG);
        bench::require(!png.isEmpty(), "after_copy", "the export wrote nothing");
    });
    QTemporaryDir folder;
    const QString file = folder.filePath(QStringLiteral("map.drawing"));
    figures["save_open"] = costOf([&] {
        QFile saved(file);
        bench::require(saved.open(QIODevice::WriteOnly) && saved.write(VXDrawingDocument::archivedDrawing(*map.drawing)) > 0,
                       "after_copy", "the drawing was not saved");
        saved.close();
        QFile opened(file);
        bench::require(opened.open(QIODevice::ReadOnly), "after_copy", "the saved drawing could not be opened");
        QuorvaneError error;
        bench::require(VXDrawingDocument::drawingFromArchive(opened.readAll(), &error) != nullptr, "after_copy",
                       "the saved drawing could not be read");
    });
    for (const auto& [name, cost] : figures)
        std::printf("FIGURE %s %.6f %.0f\n", name.constData(), cost.seconds, cost.faults);
    return 0;
}

// Runs a session in a fresh process; its figures by name.
std::map<QByteArray, Cost> session(bool copying)
{
    QProcess child;
    child.setProcessChannelMode(QProcess::ForwardedErrorChannel);
    QProcessEnvironment environment = QProcessEnvironment::systemEnvironment();
    environment.insert(QString::fromLatin1(kSessionVariable), copying ? QStringLiteral("copy") : QStringLiteral("plain"));
    child.setProcessEnvironment(environment);
    child.start(QCoreApplication::applicationFilePath(), {});
    bench::require(child.waitForFinished(-1) && child.exitCode() == 0, "after_copy", "a session failed");
    std::map<QByteArray, Cost> figures;
    for (const QByteArray& line : child.readAllStandardOutput().split('\n')) {
        if (const QList<QByteArray> words = line.split(' '); words.size() == 4 && words[0] == "FIGURE")
            figures[words[1]] = {words[2].toDouble(), words[3].toDouble()};
    }
    return figures;
}

} // namespace

int main(int argc, char** argv)
{
    bench::useOffscreenPlatformUnlessTold();
    QApplication app(argc, argv);
    registerFoundationClasses();
    registerVantrixStyleClasses();
    registerVantrixDrawingClasses();
    if (qEnvironmentVariableIsSet(kSessionVariable))
        return runSession(qgetenv(kSessionVariable) == "copy");
    const QStringList arguments = app.arguments();

    const int sessions = arguments.size() > 1 ? std::max(1, arguments[1].toInt()) : 5;
    std::map<QByteArray, std::vector<Cost>> plain, copied;
    for (int i = 0; i < sessions; ++i) {
        for (const auto& [name, cost] : session(false))
            plain[name].push_back(cost);
        for (const auto& [name, cost] : session(true))
            copied[name].push_back(cost);
    }
    const auto median = [](const std::vector<Cost>& costs, double Cost::*part) {
        std::vector<double> values;
        for (const Cost& cost : costs)
            values.push_back(cost.*part);
        return bench::median(values);
    };
    for (const char* name : kFigures) {
        bench::require(plain[name].size() == size_t(sessions) && copied[name].size() == size_t(sessions), "after_copy",
                       "a session left out a figure");
        const QString figure = QStringLiteral("after_copy_%1").arg(QLatin1String(name));
        bench::printComparison(figure, median(copied[name], &Cost::seconds), median(plain[name], &Cost::seconds), kTarget);
        bench::printRecord(figure + QStringLiteral("_page_faults_copied"), median(copied[name], &Cost::faults), "faults");
        bench::printRecord(figure + QStringLiteral("_page_faults_plain"), median(plain[name], &Cost::faults), "faults");
    }
    return 0;
}
