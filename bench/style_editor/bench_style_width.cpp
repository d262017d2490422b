// Entering a new stroke width in the Style tab's stroke pane while 5,000 objects that share the
// style are selected, in a drawing of 25,000 (rectangles, ovals and polylines on a 4800 x 3000
// sheet, as in the view drag benchmark), until the 1600 x 1000 view showing the middle of the
// sheet has repainted. 50 edits; the figure is their 95th percentile, in milliseconds.
//
// One frame is out of reach: a width shared by one object in five changes something in every
// tile in view, so each edit renders the whole view again (35 tiles, on the pool) and paints
// it twice (before the tiles arrive and after) with the outlines and knobs of the ~670
// selected objects in view. Under callgrind an edit costs about 510 M instructions over all
// threads, nearly all of it Qt's rasteriser filling and stroking; the same view redrawn with
// nothing edited, measured below in the same run, costs about 420 M (83 %). On a quiet 8-core
// machine an edit took about 61 ms: the target leaves room for that, not for a frame.
//
// Run with QT_QPA_PLATFORM=offscreen.

#include "support/BenchSupport.h"
#include "support/RandomObjects.h"

#include "platform/foundation/FoundationClasses.h"
#include "platform/foundation/RunLoop.h"
#include "platform/foundation/ZQUndoManager.h"
#include "platform/vantrix/drawables/VXDrawableShape.h"
#include "platform/vantrix/model/VXDrawing.h"
#include "platform/vantrix/model/VXObjectDrawingLayer.h"
#include "platform/vantrix/styles/VXStroke.h"
#include "platform/vantrix/view/VXDrawingView.h"
#include "style_editor/StyleEditorClasses.h"
#include "style_editor/editor/VLTMStyleEditorController.h"
#include "style_editor/panes/strokes/VLTMStyleEditSub_VXStroke.h"
#include "style_editor/panes/table/StylePaneRowControl.h"
#include "widgets/fields/ZQAugmentedTextField.h"

#include <QApplication>
#include <QRandomGenerator>
#include <chrono>
#include <cstdio>

namespace {

constexpr QSize kViewSize(1600, 1000);
constexpr QSizeF kPaper(4800, 3000);
constexpr int kObjects = 25000;
constexpr int kShared = 5000;
constexpr int kEdits = 50;
constexpr double kTargetMs = 70;
constexpr int kRedraws = 20;

VXDrawableObjectPtr randomShape(QRandomGenerator& random, const VXStylePtr& style)
{
    const QRectF box = benchscene::randomBox(random, kPaper);
    return random.bounded(2) ? VXDrawableShape::drawableShapeWithRect(box, style)
                             : VXDrawableShape::drawableShapeWithOvalInRect(box, style);
}

} // namespace

int main(int argc, char** argv)
{
    qputenv("QT_QPA_PLATFORM", qgetenv("QT_QPA_PLATFORM").isEmpty() ? "offscreen" : qgetenv("QT_QPA_PLATFORM"));
    QApplication app(argc, argv);
    registerFoundationClasses();
    registerStyleEditorClasses();

    benchscene::OneLayerDrawing scene(kPaper);
    ZQUndoManager& undo = scene.undo;
    const VXDrawingPtr& drawing = scene.drawing;
    const std::shared_ptr<VXObjectDrawingLayer>& layer = scene.layer;
    const VXStylePtr shared = VXStyle::styleWithFillColourStrokeColourStrokeWidth(QColor(230, 200, 120), Qt::black, 1.0);
    QList<VXStylePtr> others;
    for (int i = 0; i < 8; ++i)
        others.append(VXStyle::styleWithFillColourStrokeColourStrokeWidth(QColor::fromHsv(i * 40, 90, 220), Qt::darkGray, 0.5));
    QRandomGenerator random(2027);
    QList<VXDrawableObjectPtr> objects, selected;
    for (int i = 0; i < kObjects; ++i) {
        const bool sharing = i % (kObjects / kShared) == 0;
        objects.append(randomShape(random, sharing ? shared : others[i % others.size()]));
        if (sharing)
            selected.append(objects.constLast());
    }
    layer->addObjectsFromArray(objects);
    undo.removeAllActions();

    VXDrawingView view;
    view.setFrameShape(QFrame::NoFrame);
    view.setHorizontalScrollBarPolicy(Qt::ScrollBarAlwaysOff);
    view.setVerticalScrollBarPolicy(Qt::ScrollBarAlwaysOff);
    view.resize(kViewSize);
    view.setDrawing(drawing);
    view.show();
    view.scrollToPosition(QPointF(1600, 1000));

    const auto editor = VLTMStyleEditorController::make();
    editor->view()->resize(260, 900);
    editor->view()->show();
    editor->setDrawing(drawing.get());
    layer->exchangeSelectionWithObjectsFromArray(selected);
    platform::RunLoop::runUntilIdle();
    view.viewport()->repaint();
    view.finishRendering();

    const auto stroke = shared->renderersOfClass(&VXStroke::staticMetaObject).value(0);
    auto* pane = dynamic_cast<VLTMStyleEditSub_VXStroke*>(editor->subcontrollerForComponent(stroke.get()));
    if (!pane) {
        std::fprintf(stderr, "the stroke pane is not shown\n");
        return 1;
    }
    StylePaneRowControl* width = pane->rowControl(QStringLiteral("width"));
    std::vector<double> milliseconds;
    for (int i = 0; i < kEdits; ++i) {
        const double points = 1.0 + (i % 10) * 0.5 + (i % 2 ? 0.25 : 0.0);
        const auto start = std::chrono::steady_clock::now();
        width->field()->setText(QString::number(points));
        width->rowAction(width->field());
        platform::RunLoop::runUntilIdle();
        view.viewport()->repaint();
        view.finishRendering();
        milliseconds.push_back(std::chrono::duration<double, std::milli>(std::chrono::steady_clock::now() - start).count());
        if (std::abs(std::static_pointer_cast<VXStroke>(stroke)->width() - points) > 1e-9) {
            std::fprintf(stderr, "edit %d did not reach the stroke\n", i);
            return 1;
        }
        undo.closeAutomaticGroup();
    }
    // What no edit can beat: the same invalidation, tiles and paints without the edit.
    std::vector<double> redraws;
    for (int i = 0; i < kRedraws; ++i) {
        const auto start = std::chrono::steady_clock::now();
        drawing->setNeedsDisplayInRect(drawing->bounds());
        platform::RunLoop::runUntilIdle();
        view.viewport()->repaint();
        view.finishRendering();
        redraws.push_back(std::chrono::duration<double, std::milli>(std::chrono::steady_clock::now() - start).count());
    }
    std::printf("median %.2f ms, slowest %.2f ms over %d edits\n", bench::median(milliseconds),
                bench::percentile(milliseconds, 1.0), kEdits);
    std::printf("the view redrawn with nothing edited: median %.2f ms, 95th percentile %.2f ms over %d redraws\n",
                bench::median(redraws), bench::percentile(redraws, 0.95), kRedraws);
    std::printf("BENCH style_width_5000 value=%.2f unit=ms target=%.1f\n", bench::percentile(milliseconds, 0.95),
                kTargetMs);
    return 0;
}
