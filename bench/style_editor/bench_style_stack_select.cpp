// Selecting one object of a drawing of 25,000 (rectangles, ovals and polylines on a 4800 x 3000
// sheet, as in the view drag benchmark) until the Style tab has built and laid out its pane
// stack. The objects share 100 styles of 8 components each, one of them a group of 3; each of
// the 100 selections picks an object of another style. The figure is the 95th percentile of the
// selections, in milliseconds: the cost must follow the style, never the drawing. A second
// figure selects all 25,000 objects at once (100 styles: the header says so and no stack is
// built), which must stay a fraction of a second.
//
// Run with QT_QPA_PLATFORM=offscreen.

#include "support/BenchSupport.h"
#include "support/RandomObjects.h"

#include "platform/foundation/FoundationClasses.h"
#include "platform/foundation/RunLoop.h"
#include "platform/foundation/ZQUndoManager.h"
#include "platform/vantrix/model/VXDrawing.h"
#include "platform/vantrix/model/VXObjectDrawingLayer.h"
#include "platform/vantrix/styles/VXFill.h"
#include "platform/vantrix/styles/VXHatching.h"
#include "platform/vantrix/styles/VXRoughStroke.h"
#include "platform/vantrix/styles/VXStroke.h"
#include "platform/vantrix/styles/VXZigZagStroke.h"
#include "style_editor/StyleEditorClasses.h"
#include "style_editor/editor/VLTMStyleEditorController.h"
#include "widgets/stacks/ZQCollapsibleContainerView.h"

#include <QApplication>
#include <QRandomGenerator>
#include <chrono>
#include <cstdio>

namespace {

constexpr QSizeF kPaper(4800, 3000);
constexpr int kObjects = 25000;
constexpr int kStyles = 100;
constexpr int kSelections = 100;
constexpr double kTargetMs = 50;
constexpr double kSelectAllTargetMs = 500;

// Eight components: a fill, a hatching, a group of three strokes, and five single strokes.
VXStylePtr eightComponentStyle(int index)
{
    const QColor colour = QColor::fromHsv((index * 37) % 360, 120, 200);
    auto style = VXStyle::styleWithFillColourStrokeColourStrokeWidth(colour, colour.darker(150), 1.0);
    style->setName(QStringLiteral("Style %1").arg(index));
    style->addRenderer(std::make_shared<VXHatching>());
    auto group = std::make_shared<VXRastGroup>();
    for (double width : {0.5, 1.0, 2.0})
        group->addRenderer(VXStroke::strokeWithWidthColour(width, colour));
    style->addRenderer(group);
    style->addRenderer(std::make_shared<VXZigZagStroke>());
    style->addRenderer(std::make_shared<VXRoughStroke>());
    style->addRenderer(VXStroke::strokeWithWidthColour(0.25, Qt::black));
    style->addRenderer(VXStroke::strokeWithWidthColour(3.0, Qt::white));
    return style;
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
    QList<VXStylePtr> styles;
    for (int i = 0; i < kStyles; ++i)
        styles.append(eightComponentStyle(i));
    QRandomGenerator random(2027);
    QList<VXDrawableObjectPtr> objects;
    for (int i = 0; i < kObjects; ++i) {
        const auto style = [&] { return styles[i % kStyles]; };
        objects.append(benchscene::randomObject(random, kPaper, style, style));
    }
    layer->addObjectsFromArray(objects);
    undo.removeAllActions();

    const auto editor = VLTMStyleEditorController::make();
    editor->view()->resize(260, 900);
    editor->view()->show();
    editor->setDrawing(drawing.get());
    QCoreApplication::processEvents();

    std::vector<double> milliseconds;
    for (int i = 0; i < kSelections; ++i) {
        const VXDrawableObjectPtr& picked = objects[(i * 7919) % kObjects];
        const auto start = std::chrono::steady_clock::now();
        layer->replaceSelectionWithObject(picked);
        platform::RunLoop::runUntilIdle();
        editor->styleComponentStackView()->arrangeSubviews();
        milliseconds.push_back(std::chrono::duration<double, std::milli>(std::chrono::steady_clock::now() - start).count());
        if (editor->style() != picked->style() || editor->subControllers().size() != 11) {
            std::fprintf(stderr, "selection %d did not build the stack of its style\n", i);
            return 1;
        }
    }
    const double selectAllMs = 1000 * bench::secondsOf([&] {
        layer->selectAll();
        platform::RunLoop::runUntilIdle();
    });
    if (editor->content().size() != kStyles) {
        std::fprintf(stderr, "selecting all did not show the %d styles\n", kStyles);
        return 1;
    }
    std::printf("median %.2f ms, slowest %.2f ms over %d selections\n", bench::median(milliseconds),
                bench::percentile(milliseconds, 1.0), kSelections);
    std::printf("BENCH style_stack_select_25k value=%.2f unit=ms target=%.0f\n", bench::percentile(milliseconds, 0.95),
                kTargetMs);
    std::printf("BENCH style_select_all_25k value=%.1f unit=ms target=%.0f\n", selectAllMs, kSelectAllTargetMs);
    return 0;
}
