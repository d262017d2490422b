// Edits of large selections on a layer of 25,000 shapes, each as a user makes it: Select All
// then Delete through the view's edit commands, and its Undo; bringing 5,000 selected objects
// to the front as one step; dragging 2,000 selected objects with the Select tool through 200
// mouse moves, and its Undo. Each figure is the median of three runs, in milliseconds; the
// drag also reports the closures its undo step keeps. Run with QT_QPA_PLATFORM=offscreen.
// Arguments name the jobs to run alone: delete, front, drag.

#include "support/BenchSupport.h"

#include "platform/foundation/FoundationClasses.h"
#include "platform/foundation/ZQUndoManager.h"
#include "platform/vantrix/drawables/VXDrawableShape.h"
#include "platform/vantrix/model/VantrixDrawingClasses.h"
#include "platform/vantrix/model/VXDrawing.h"
#include "platform/vantrix/model/VXObjectDrawingLayer.h"
#include "platform/vantrix/styles/VantrixStyleClasses.h"
#include "platform/vantrix/tools/VXToolController.h"
#include "platform/vantrix/view/ObjectLayerEditing.h"
#include "platform/vantrix/view/VXDrawingView.h"

#include <QApplication>
#include <QMouseEvent>
#include <QRandomGenerator>
#include <cstdio>

namespace {

constexpr QSizeF kPaper(4800, 3000);
constexpr int kObjects = 25000;
constexpr int kReordered = 5000;
constexpr int kDragged = 2000;
constexpr int kMoves = 200;
constexpr int kRuns = 3;
constexpr double kTarget = 100; // ms

class ModelBench {
public:
    ModelBench()
        : m_drawing(VXDrawing::drawingWithSize(kPaper))
        , m_layer(std::make_shared<VXObjectDrawingLayer>())
    {
        m_drawing->setUndoManager(&m_undo);
        m_drawing->addLayer(m_layer);
        m_drawing->setActiveLayer(m_layer.get());
        QRandomGenerator random(2026);
        const VXStylePtr style = VXStyle::styleWithFillColourStrokeColourStrokeWidth(Qt::lightGray, Qt::black, 1);
        QList<VXDrawableObjectPtr> objects;
        for (int i = 0; i < kObjects; ++i) {
            const QPointF origin(random.bounded(kPaper.width() - 60), random.bounded(kPaper.height() - 60));
            objects.append(VXDrawableShape::drawableShapeWithRect(
                QRectF(origin, QSizeF(8 + random.bounded(40.0), 8 + random.bounded(40.0))), style));
        }
        m_layer->addObjectsFromArray(objects);
        m_undo.removeAllActions(); // building the drawing is not an edit
        m_view.resize(800, 600);
        m_view.setDrawing(m_drawing);
        m_view.toolController()->setDrawingTool(nullptr); // the Select tool
    }

    double selectAllDeleteMs()
    {
        platform::ObjectLayerEditing editing(m_drawing.get());
        const double seconds = bench::secondsOf([&] {
            editing.selectAll();
            editing.deleteSelection();
            m_undo.closeAutomaticGroup();
        });
        bench::require(m_layer->countOfObjects() == 0, "model_bulk", "Delete left objects");
        return seconds * 1000;
    }

    double undoMs(int expectedCount)
    {
        const double seconds = bench::secondsOf([&] { m_undo.undo(); });
        bench::require(m_layer->countOfObjects() == expectedCount, "model_bulk", "Undo did not restore the objects");
        return seconds * 1000;
    }

    // Every fifth object, so the block gathers from all over the stack.
    double bringToFrontMs()
    {
        QList<VXDrawableObjectPtr> chosen;
        for (int i = 0; i < kReordered; ++i)
            chosen.append(m_layer->objects()[i * (kObjects / kReordered)]);
        m_layer->exchangeSelectionWithObjectsFromArray(chosen);
        const double seconds = bench::secondsOf([&] {
            m_undo.beginUndoGrouping();
            m_layer->moveObjectsInArrayToIndex(m_layer->selection(), m_layer->countOfObjects());
            m_undo.setActionName(QStringLiteral("Move To Front"));
            m_undo.endUndoGrouping();
        });
        bench::require(m_layer->objects().constLast() == chosen.constLast(), "model_bulk", "the selection is not on top");
        m_undo.undo();
        bench::require(m_layer->objects().constLast() != chosen.constLast(), "model_bulk", "Undo left the selection on top");
        return seconds * 1000;
    }

    // Selects every twelfth object and the top one, presses on the top one and drags.
    struct Drag {
        double dragMs = 0;
        double undoMs = 0;
        int closures = 0;
    };
    Drag drag()
    {
        QList<VXDrawableObjectPtr> chosen;
        const int stride = kObjects / kDragged;
        for (int i = 1; i < kDragged; ++i)
            chosen.append(m_layer->objects()[i * stride - 1]);
        const VXDrawableObjectPtr grip = m_layer->objects().constLast();
        chosen.append(grip);
        m_layer->exchangeSelectionWithObjectsFromArray(chosen);
        m_undo.closeAutomaticGroup();
        const QPointF start = grip->location();
        const QPointF gripPoint = m_view.convertPointFromDrawing(grip->logicalBounds().center());
        VXToolController& tools = *m_view.toolController();
        Drag figures;
        figures.dragMs = 1000 * bench::secondsOf([&] {
            QMouseEvent press(QEvent::MouseButtonPress, gripPoint, gripPoint, Qt::LeftButton, Qt::LeftButton, {});
            tools.mouseDown(&press);
            for (int i = 1; i <= kMoves; ++i) {
                const QPointF to = gripPoint + QPointF(i, i / 2.0);
                QMouseEvent move(QEvent::MouseMove, to, to, Qt::NoButton, Qt::LeftButton, {});
                tools.mouseMoved(&move);
            }
            const QPointF end = gripPoint + QPointF(kMoves, kMoves / 2.0);
            QMouseEvent release(QEvent::MouseButtonRelease, end, end, Qt::LeftButton, Qt::NoButton, {});
            tools.mouseUp(&release);
        });
        bench::require(grip->location() != start, "model_bulk", "the drag moved nothing");
        figures.closures = m_undo.peekUndo() ? m_undo.peekUndo()->actionCount() : 0;
        figures.undoMs = 1000 * bench::secondsOf([&] { m_undo.undo(); });
        bench::require(grip->location() == start, "model_bulk", "Undo did not put the objects back");
        return figures;
    }

private:
    ZQUndoManager m_undo;
    VXDrawingPtr m_drawing;
    std::shared_ptr<VXObjectDrawingLayer> m_layer;
    VXDrawingView m_view;
};

} // namespace

int main(int argc, char** argv)
{
    QApplication app(argc, argv);
    registerFoundationClasses();
    registerVantrixStyleClasses();
    registerVantrixDrawingClasses();

    // Jobs named on the command line run alone ("delete", "front", "drag"); all run by default.
    QStringList jobs = app.arguments().mid(1);
    if (jobs.isEmpty())
        jobs = {QStringLiteral("delete"), QStringLiteral("front"), QStringLiteral("drag")};
    ModelBench bench;
    std::vector<double> deletes, deleteUndos, fronts, drags, dragUndos;
    int closures = 0;
    for (int run = 0; run < kRuns; ++run) {
        if (jobs.contains(QStringLiteral("delete"))) {
            deletes.push_back(bench.selectAllDeleteMs());
            deleteUndos.push_back(bench.undoMs(kObjects));
            std::printf("run %d: select all + delete %.1f ms, its undo %.1f ms\n", run, deletes.back(),
                        deleteUndos.back());
        }
        if (jobs.contains(QStringLiteral("front"))) {
            fronts.push_back(bench.bringToFrontMs());
            std::printf("run %d: bring to front %.1f ms\n", run, fronts.back());
        }
        if (jobs.contains(QStringLiteral("drag"))) {
            const ModelBench::Drag drag = bench.drag();
            drags.push_back(drag.dragMs);
            dragUndos.push_back(drag.undoMs);
            closures = drag.closures;
            std::printf("run %d: drag %.1f ms, its undo %.1f ms (%d closures)\n", run, drags.back(),
                        dragUndos.back(), closures);
        }
        std::fflush(stdout);
    }
    if (!deletes.empty()) {
        bench::printValue("model_bulk_select_all_delete_25k", bench::median(deletes), "ms", kTarget);
        bench::printValue("model_bulk_select_all_delete_undo_25k", bench::median(deleteUndos), "ms", kTarget);
    }
    if (!fronts.empty())
        bench::printValue("model_bulk_bring_to_front_5k_of_25k", bench::median(fronts), "ms", kTarget);
    if (!drags.empty()) {
        bench::printValue("model_bulk_drag_2k_200_moves", bench::median(drags), "ms", kTarget);
        bench::printValue("model_bulk_drag_2k_undo", bench::median(dragUndos), "ms", kTarget);
        bench::printValue("model_bulk_drag_undo_closures", closures, "closures", 2 * kDragged);
    }
    return 0;
}
