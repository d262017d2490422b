// An outline of 100,000 rows with every second one selected (50,000 runs of selected rows),
// 1600 x 1000 points at device pixel ratio 2, scrolled top to bottom in 200 steps, each step
// repainted at once: the custom-highlight outline against a plain tree view with the same
// model and selection, in the same run. Compares the 95th percentile of the frame times.

#include "support/BenchSupport.h"
#include "widgets/outline/VLTMCustomHighlightOutlineView.h"

#include <QApplication>
#include <QElapsedTimer>
#include <QImage>
#include <QScrollBar>
#include <QStringListModel>
#include <QTreeView>
#include <algorithm>

namespace {

constexpr int kRows = 100000;
constexpr int kSteps = 200;
constexpr QSize kViewSize(1600, 1000);
constexpr double kRatio = 2.0;

QItemSelection everySecondRow(const QAbstractItemModel& model)
{
    QItemSelection selection;
    selection.reserve(kRows / 2);
    for (int row = 0; row < kRows; row += 2)
        selection.append(QItemSelectionRange(model.index(row, 0)));
    return selection;
}

// The 95th percentile of the frame times of one scroll from top to bottom.
double scrollFrameP95(QTreeView& view, QImage& image)
{
    QScrollBar* bar = view.verticalScrollBar();
    std::vector<double> frames;
    frames.reserve(kSteps);
    for (int step = 0; step < kSteps; ++step) {
        bar->setValue(bar->maximum() * step / (kSteps - 1));
        frames.push_back(bench::secondsOf([&] {
            view.viewport()->render(&image);
            bench::keep(image);
        }));
    }
    std::sort(frames.begin(), frames.end());
    return frames[size_t(frames.size() * 95 / 100)];
}

} // namespace

int main(int argc, char** argv)
{
    bench::useOffscreenPlatformUnlessTold();
    QApplication app(argc, argv);

    QStringList names;
    names.reserve(kRows);
    for (int row = 0; row < kRows; ++row)
        names << QStringLiteral("Layer %1").arg(row);
    QStringListModel model(names);

    VLTMCustomHighlightOutlineView ours;
    QTreeView peer;
    for (QTreeView* view : {static_cast<QTreeView*>(&ours), &peer}) {
        view->setModel(&model);
        view->setHeaderHidden(true);
        view->setUniformRowHeights(true);
        view->resize(kViewSize);
        view->show();
        view->selectionModel()->select(everySecondRow(model), QItemSelectionModel::Select);
    }
    QApplication::processEvents();

    QImage image(ours.viewport()->size() * kRatio, QImage::Format_ARGB32_Premultiplied);
    image.setDevicePixelRatio(kRatio);
    std::vector<double> oursRuns, peerRuns;
    for (int run = 0; run < 5; ++run) {
        oursRuns.push_back(scrollFrameP95(ours, image));
        peerRuns.push_back(scrollFrameP95(peer, image));
    }
    const double oursP95 = bench::median(oursRuns);
    const double peerP95 = bench::median(peerRuns);
    bench::printValue(QStringLiteral("outline_runs_100000_frame_p95"), oursP95, "seconds", 0.016);
    bench::printComparison(QStringLiteral("outline_runs_100000"), oursP95, peerP95, 1.3);
    return 0;
}
