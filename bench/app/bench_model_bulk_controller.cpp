// Setting one value on 5,000 selected objects through an object controller (a pane showing
// and writing "locked"), and its Undo, on a layer of 25,000 shapes: the controller job of
// bench_model_bulk, here because the controller lives in the application core. Median of
// three runs, in milliseconds. Run with QT_QPA_PLATFORM=offscreen.

#include "support/BenchSupport.h"

#include "app/sidebar/VLTMGenericObjectController.h"
#include "platform/foundation/FoundationClasses.h"
#include "platform/foundation/RunLoop.h"
#include "platform/foundation/ZQUndoManager.h"
#include "platform/vantrix/drawables/VXDrawableShape.h"
#include "platform/vantrix/model/VantrixDrawingClasses.h"
#include "platform/vantrix/model/VXDrawing.h"
#include "platform/vantrix/model/VXObjectDrawingLayer.h"
#include "platform/vantrix/styles/VantrixStyleClasses.h"

#include <QApplication>
#include <algorithm>
#include <cstdio>

namespace {

constexpr int kObjects = 25000;
constexpr int kSelected = 5000;
constexpr int kRuns = 3;

class LockPane : public VLTMGenericObjectController {
public:
    const QMetaObject* managedObjectClass() const override { return &VXDrawableShape::staticMetaObject; }
    QStringList keyPathsOfInterest() const override { return {QStringLiteral("locked")}; }
};

class Selection : public QObject, public VLTMObjectControllerDataSource {
public:
    QList<ZQObjectPtr> objects;
    ZQUndoManager* undo = nullptr;

    QList<ZQObjectPtr> selectedContentForObjectController(VLTMGenericObjectController*) override { return objects; }
    ZQUndoManager* undoManager() const override { return undo; }
};

bool allLocked(const QList<ZQObjectPtr>& objects, bool locked)
{
    return std::all_of(objects.begin(), objects.end(), [locked](const ZQObjectPtr& object) {
        return std::static_pointer_cast<VXDrawableObject>(object)->locked() == locked;
    });
}

} // namespace

int main(int argc, char** argv)
{
    QApplication app(argc, argv);
    registerFoundationClasses();
    registerVantrixStyleClasses();
    registerVantrixDrawingClasses();

    ZQUndoManager undo;
    const VXDrawingPtr drawing = VXDrawing::drawingWithSize({5000, 5000});
    const auto layer = std::make_shared<VXObjectDrawingLayer>();
    drawing->setUndoManager(&undo);
    drawing->addLayer(layer);
    const VXStylePtr style = VXStyle::styleWithFillColourStrokeColour(Qt::lightGray, Qt::black);
    QList<VXDrawableObjectPtr> objects;
    for (int i = 0; i < kObjects; ++i)
        objects.append(VXDrawableShape::drawableShapeWithRect(QRectF(i % 160 * 30, i / 160 * 30, 20, 20), style));
    layer->addObjectsFromArray(objects);
    undo.removeAllActions();

    Selection selection;
    selection.undo = &undo;
    for (int i = 0; i < kSelected; ++i)
        selection.objects.append(objects[i * (kObjects / kSelected)]);
    LockPane pane;
    pane.setDataSource(&selection);
    platform::RunLoop::runUntilIdle();

    std::vector<double> sets, undos;
    for (int run = 0; run < kRuns; ++run) {
        sets.push_back(1000 * bench::secondsOf([&] {
            pane.setCommonValueForKeyPath(true, QStringLiteral("locked"));
            undo.closeAutomaticGroup();
            platform::RunLoop::runUntilIdle();
        }));
        if (!allLocked(selection.objects, true)) {
            std::fprintf(stderr, "model_bulk: the controller left objects unlocked\n");
            return 1;
        }
        undos.push_back(1000 * bench::secondsOf([&] {
            undo.undo();
            platform::RunLoop::runUntilIdle();
        }));
        if (!allLocked(selection.objects, false)) {
            std::fprintf(stderr, "model_bulk: Undo left objects locked\n");
            return 1;
        }
        std::printf("run %d: set %.1f ms, its undo %.1f ms\n", run, sets.back(), undos.back());
    }
    bench::printValue("model_bulk_controller_set_5k_of_25k", bench::median(sets), "ms", 100);
    bench::printValue("model_bulk_controller_set_undo_5k_of_25k", bench::median(undos), "ms", 100);
    return 0;
}
