// Selecting 5,000 of the 25,000 objects of the view drag benchmark's drawing (rectangles, ovals
// and wandering polylines on a 4800 x 3000 sheet) until the Geometry tab has installed its panes and shown the selection's common
// values; then typing one width for all of them, one undo step. Each figure is the 95th
// percentile over the runs, in milliseconds: the cost must follow the selection, not the map.
//
// Run with QT_QPA_PLATFORM=offscreen.

#include "support/InspectorBench.h"

#include "inspectors/geometry/VLTMGeometryController.h"
#include "inspectors/panes/VLTM_VXDrawableObjectController.h"
#include "inspectors/panes/table/GeometryRowControl.h"
#include "widgets/fields/ZQAugmentedTextField.h"

#include <cmath>
#include <cstdio>

namespace {

constexpr QSizeF kPaper(4800, 3000);
constexpr int kObjects = 25000;
constexpr int kSelected = 5000;
constexpr int kRuns = 20;
constexpr double kTargetMs = 100;

} // namespace

int main(int argc, char** argv)
{
    inspectorbench::Application app(argc, argv);
    benchscene::OneLayerDrawing scene(kPaper);
    ZQUndoManager& undo = scene.undo;
    QRandomGenerator random(2027);
    const QList<VXDrawableObjectPtr> objects = inspectorbench::plainObjects(random, kPaper, kObjects);
    scene.layer->addObjectsFromArray(objects);
    undo.removeAllActions();

    const auto tab = VLTMGeometryController::make();
    inspectorbench::showTab(*tab, {260, 900}, scene.drawing.get());
    auto* pane = qobject_cast<VLTM_VXDrawableObjectController*>(tab->subcontrollerForKey(QStringLiteral("VXDrawableObject")));

    std::vector<double> selecting, writing;
    for (int run = 0; run < kRuns; ++run) {
        const QList<VXDrawableObjectPtr> chosen = inspectorbench::blockForRun(objects, run, kSelected);
        selecting.push_back(inspectorbench::millisecondsToSelect(*scene.layer, chosen));
        if (tab->selection().size() != kSelected || tab->installedSubcontrollers().value(0) != pane) {
            std::fprintf(stderr, "run %d did not show the selection\n", run);
            return 1;
        }
        GeometryRowControl* width = pane->rowControl(QStringLiteral("width"));
        const double target = 20 + run;
        writing.push_back(bench::millisecondsOf([&] {
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
