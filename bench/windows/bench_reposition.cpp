// The reposition overlay over a map of 100,000 paths at 1600 x 1000 points and two pixels per
// point: 300 pan steps and 300 handle-drag steps, each a mouse move routed to the overlay and
// the overlay painted into an image; entering the mode (fitting, picturing the drawing) beside.

#include "support/BenchSupport.h"
#include "support/PathMap100k.h"

#include "platform/vantrix/view/VXDrawingView.h"
#include "windows/WindowsClasses.h"
#include "windows/reposition/VLTMTransformAdjustmentView.h"

#include <QApplication>
#include <QMainWindow>
#include <QPainter>
#include <QTest>
#include <cstdio>

namespace {

constexpr int kSteps = 300;
constexpr QSize kViewport(1600, 1000);

} // namespace

int main(int argc, char** argv)
{
    qputenv("QT_SCALE_FACTOR", "2");
    QApplication app(argc, argv);
    registerWindowsClasses();
    const auto document = benchscene::makePathMapDocument(20261207);
    benchscene::givePrintedPaperTexture(*document->drawing());
    document->makeWindowControllers();
    document->showWindows();
    VXDrawingView* view = document->mainView();
    QWidget* window = view->window();
    window->resize(window->size() + kViewport - view->viewport()->size());
    QApplication::processEvents();

    const double enterSeconds = bench::secondsOf([&] { document->repositionContentAction(); });
    auto* overlay = qobject_cast<VLTMTransformAdjustmentView*>(document->adjustmentView());
    if (!overlay) {
        std::fprintf(stderr, "no overlay\n");
        return 1;
    }
    QImage frame(overlay->size() * overlay->devicePixelRatioF(), QImage::Format_ARGB32_Premultiplied);
    frame.setDevicePixelRatio(overlay->devicePixelRatioF());
    std::vector<double> steps;
    const auto step = [&](QPoint point) {
        steps.push_back(1000 * bench::secondsOf([&] {
            QTest::mouseMove(overlay, point);
            overlay->render(&frame);
        }));
    };

    const QPoint middle = overlay->rect().center();
    QTest::mousePress(overlay, Qt::LeftButton, {}, middle);
    for (int i = 1; i <= kSteps; ++i)
        step(middle + QPoint(i % 97, i % 61));
    QTest::mouseRelease(overlay, Qt::LeftButton, {}, middle);

    const QPoint corner = view->convertPointFromDrawing(overlay->handlesRect().bottomRight()).toPoint();
    QTest::mousePress(overlay, Qt::LeftButton, {}, corner);
    for (int i = 1; i <= kSteps; ++i)
        step(corner - QPoint(i % 151, i % 89));
    QTest::mouseRelease(overlay, Qt::LeftButton, {}, corner);

    if (overlay->transform().isIdentity()) {
        std::fprintf(stderr, "the drags did not adjust\n");
        return 1;
    }
    std::printf("entering reposition mode: %.1f ms\n", 1000 * enterSeconds);
    bench::printValue(QStringLiteral("reposition_drag_step"), bench::percentile(steps, 0.95), "ms", 16);
    document->close();
    return 0;
}
