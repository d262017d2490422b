// Selecting 5,000 of the 25,000 objects of the view drag benchmark's drawing (rectangles, ovals
// and wandering polylines on a 4800 x 3000 sheet) until the Geometry tab has installed its panes and shown the selection's common
// values; then typing one width for all of them, one undo step. Each figure is the 95th
// percentile over the runs, in milliseconds: the cost must follow the selection, not the map.
//
// Run with QT_QPA_PLATFORM=offscreen.

#include "support/BenchSupport.h"
#include "support/RandomObjects.h"

#include "inspectors/InspectorClasses.h"
#include "inspectors/geometry/VLTMGeometryController.h"
#include "inspectors/panes/VLTM_VXDrawableObjectController.h"
#include "inspectors/panes/table/GeometryRowControl.h"
#include "platform/foundation/FoundationClasses.h"
#include "platform/foundation/RunLoop.h"
#include "platform/foundation/ZQUndoManager.h"
#include "platform/vantrix/model/VXDrawing.h"
#include "platform/vantrix/model/VXObjectDrawingLayer.h"
#include "widgets/fields/ZQAugmentedTextField.h"

#include <QApplication>
#include <QRandomGenerator>
#include <chrono>
#include <cmath>
#include <cstdio>

namespace {

constexpr QSizeF kPaper(4800, 3000);
constexpr int kObjects = 25000;
constexpr int kSelected = 5000;
constexpr int kRuns = 20;
constexpr double kTargetMs = 100;

double millisecondsOf(const std::function<void()>& work)
{
    return 1000 * bench::secondsOf(work);
}

} // namespace

int main(int argc, char** argv)
{
    qputenv("QT_QPA_PLATFORM", qgetenv("QT_QPA_PLATFORM").isEmpty() ? "offscreen" : qgetenv("QT_QPA_PLATFORM"));
    QApplication app(argc, argv);
    registerFoundationClasses();
    registerInspectorClasses();

    benchscene::OneLayerDrawing scene(kPaper);
    ZQUndoManager& undo = scene.undo;
    const VXDrawingPtr& drawing = scene.drawing;
    const std::shared_ptr<VXObjectDrawingLayer>& layer = scene.layer;
    const VXStylePtr area = VXStyle::styleWithFillColourStrokeColourStrokeWidth(QColor(200, 230, 190), Qt::darkGray, 1.0);
    const VXStylePtr line = VXStyle::styleWithFillColourStrokeColourStrokeWidth(QColor(), QColor(90, 90, 90), 2.0);
    QRandomGenerator random(2027);
    QList<VXDrawableObjectPtr> objects;
    for (int i = 0; i < kObjects; ++i)
        objects.append(benchscene::randomObject(random, kPaper, [&] { return area; }, [&] { return line; }));
    layer->addObjectsFromArray(objects);
    undo.removeAllActions();

    const auto tab = VLTMGeometryController::make();
    tab->view()->resize(260, 900);
    tab->view()->show();
    tab->setDrawing(drawing.get());
    QCoreApplication::processEvents();
    auto* pane = qobject_cast<VLTM_VXDrawableObjectController*>(tab->subcontrollerForKey(QStringLiteral("VXDrawableObject")));

    std::vector<double> selecting, writing;
    for (int run = 0; run < kRuns; ++run) {
        // Alternate blocks of objects, so every run shows a new selection.
        const QList<VXDrawableObjectPtr> chosen = objects.mid((run % 2) * kSelected, kSelected);
        selecting.push_back(millisecondsOf([&] {
            layer->exchangeSelectionWithObjectsFromArray(chosen);
            platform::RunLoop::runUntilIdle();
        }));
        if (tab->selection().size() != kSelected || tab->installedSubcontrollers().value(0) != pane) {
            std::fprintf(stderr, "run %d did not show the selection\n", run);
            return 1;
        }
        GeometryRowControl* width = pane->rowControl(QStringLiteral("width"));
        const double target = 20 + run;
        writing.push_back(millisecondsOf([&] {
            width->field()->setText(QString::number(target));
            width->rowAction(width->field());
            undo.closeAutomaticGroup();
            platform::RunLoop::runUntilIdle();
        }));
        if (std::abs(chosen.first()->width() - target) > 1e-6 || undo.undoActionName() != QStringLiteral("Change Width")) {
            std::fprintf(stderr, "run %d did not write the width as one step\n", run);
            return 1;
        }
    }
    std::printf("selecting: median %.2f ms; writing: median %.2f ms over %d runs\n", bench::median(selecting),
                bench::median(writing), kRuns);
    std::printf("BENCH geometry_select_5000 value=%.2f unit=ms target=%.0f\n", bench::percentile(selecting, 0.95), kTargetMs);
    std::printf("BENCH geometry_width_5000 value=%.2f unit=ms target=%.0f\n", bench::percentile(writing, 0.95), kTargetMs);
    return 0;
}
