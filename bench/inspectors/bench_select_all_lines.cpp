// Select All on a map of short lines as a shapefile import makes them (one style, one numeric
// attribute each) with the Geometry and Style tabs showing, until the event loop is idle: the
// time and the growth of the heap and of the resident size, per selected object. The layer's
// own selection is measured alone first, to tell it from what the tabs add, and last with the
// Text and Attributes tabs showing too, as in the window.
//
// Then, with every tab and the rulers showing, the million lines are copied and pasted, and the
// paste undone and redone, each until the event loop is idle; the same edits on the layer
// alone, measured before any tab is shown, tell what the tabs and rulers add. Last the tabs are
// stacked as the window stacks them, the Style tab in front, and the edits made again. The
// drawing view stays hidden, so no figure includes drawing the map.
//
// Run with QT_QPA_PLATFORM=offscreen; the first argument is the number of lines (1,000,000 by
// default). The reference machine (8 cores, busy with other builds) selects the million lines
// in about 2 s, the tabs holding about 110 bytes per object beyond the layer's 45.

#include "support/InspectorBench.h"

#include "inspectors/attributes/VLQNAttributesController.h"
#include "inspectors/geometry/VLTMGeometryController.h"
#include "inspectors/text/VLTMTextController.h"
#include "platform/foundation/ZQUndoManager.h"
#include "platform/vantrix/drawables/VXDrawablePath.h"
#include "platform/vantrix/model/VXDrawing.h"
#include "platform/vantrix/model/VXObjectDrawingLayer.h"
#include "platform/vantrix/view/VXDrawingView.h"
#include "style_editor/StyleEditorClasses.h"
#include "style_editor/editor/VLTMStyleEditorController.h"

#include <QFile>
#include <QStackedWidget>
#include <cmath>
#include <cstdio>
#include <malloc.h>
#include <unistd.h>

namespace {

constexpr double kTargetMs = 2000;
constexpr double kTargetBytesPerObject = 200;
constexpr double kEditTargetMs = 5000;

double residentBytes()
{
    QFile statm(QStringLiteral("/proc/self/statm"));
    if (!statm.open(QIODevice::ReadOnly))
        return 0;
    const QList<QByteArray> fields = statm.readAll().split(' ');
    return fields.size() > 1 ? fields[1].toDouble() * double(sysconf(_SC_PAGESIZE)) : 0;
}

double heapBytes()
{
    const struct mallinfo2 info = mallinfo2();
    return double(info.uordblks + info.hblkhd);
}

struct Growth {
    double milliseconds = 0;
    double heapPerObject = 0;
    double residentPerObject = 0;
};

// Select All on `layer` until the event loop is idle.
Growth selectAll(VXObjectDrawingLayer& layer, int count)
{
    malloc_trim(0);
    const double heap = heapBytes();
    const double resident = residentBytes();
    Growth growth;
    growth.milliseconds = bench::millisecondsOf([&] {
        layer.selectAll();
        platform::RunLoop::runUntilIdle();
    });
    malloc_trim(0);
    growth.heapPerObject = (heapBytes() - heap) / count;
    growth.residentPerObject = (residentBytes() - resident) / count;
    return growth;
}

// Copy, Paste, its undo and its redo through `view`, as one undo step each, each until the event
// loop is idle. Leaves the paste done.
struct PasteTimes {
    double copy = 0;
    double paste = 0;
    double undo = 0;
    double redo = 0;
};

PasteTimes copyPasteUndoRedo(VXDrawingView& view, ZQUndoManager& undo, VXObjectDrawingLayer& layer, int count)
{
    const auto idle = [](const std::function<void()>& work) {
        return bench::millisecondsOf([&] {
            work();
            platform::RunLoop::runUntilIdle();
        });
    };
    PasteTimes times;
    times.copy = idle([&] { view.copy(); });
    times.paste = idle([&] {
        undo.beginUndoGrouping();
        view.paste();
        undo.endUndoGrouping();
    });
    bench::require(layer.countOfObjects() == 2 * count && layer.countOfSelection() == count, "select_all_lines",
                   "Paste missed objects");
    times.undo = idle([&] { undo.undo(); });
    bench::require(layer.countOfObjects() == count && layer.countOfSelection() == count, "select_all_lines",
                   "Undo did not take the pasted objects away");
    times.redo = idle([&] { undo.redo(); });
    bench::require(layer.countOfObjects() == 2 * count, "select_all_lines", "Redo did not paste again");
    return times;
}

void printPasteTimes(const char* what, const PasteTimes& times)
{
    std::printf("%s: copy %.0f ms, paste %.0f ms, undo %.0f ms, redo %.0f ms\n", what, times.copy, times.paste,
                times.undo, times.redo);
}

} // namespace

int main(int argc, char** argv)
{
    inspectorbench::Application app(argc, argv);
    registerStyleEditorClasses();
    const int count = argc > 1 ? std::atoi(argv[1]) : 1'000'000;
    VXDrawingPtr drawing = VXDrawing::drawingWithSize({4000, 3000});
    auto layer = std::make_shared<VXObjectDrawingLayer>();
    drawing->addLayer(layer);
    drawing->setActiveLayer(layer.get());
    const VXStylePtr style = VXStyle::styleWithFillColourStrokeColourStrokeWidth(QColor(), QColor(90, 90, 90), 1.0);
    QList<VXDrawableObjectPtr> lines;
    lines.reserve(count);
    const int perRow = int(std::ceil(std::sqrt(double(count))));
    for (int i = 0; i < count; ++i) {
        const QPointF at(40 + 3600.0 * (i % perRow) / perRow, 40 + 2800.0 * (i / perRow) / perRow);
        platform::BezierPath path;
        path.moveToPoint(at);
        path.lineToPoint(at + QPointF(1.8, 0.7));
        auto line = VXDrawablePath::drawablePathWithBezierPathWithStyle(path, style);
        line->setMetadataItemValueForKey(i, QStringLiteral("ID"));
        lines.append(line);
    }
    layer->addObjectsFromArray(lines);
    lines.clear();

    ZQUndoManager undo;
    undo.setGroupsByEvent(false);
    drawing->setUndoManager(&undo);
    VXDrawingView view;
    view.setDrawing(drawing);

    const Growth bare = selectAll(*layer, count);
    const PasteTimes barePaste = copyPasteUndoRedo(view, undo, *layer, count);
    undo.undo();
    undo.removeAllActions();
    layer->deselectAll();
    const auto geometry = VLTMGeometryController::make();
    inspectorbench::showTab(*geometry, {260, 900}, drawing.get());
    const auto styles = VLTMStyleEditorController::make();
    inspectorbench::showTab(*styles, {260, 900}, drawing.get());
    const Growth shown = selectAll(*layer, count);
    if (geometry->selection().size() != count) {
        std::fprintf(stderr, "the Geometry tab did not show the selection\n");
        return 1;
    }
    layer->deselectAll();
    const auto text = VLTMTextController::make();
    inspectorbench::showTab(*text, {260, 900}, drawing.get());
    const auto attributes = VLQNAttributesController::make();
    inspectorbench::showTab(*attributes, {260, 900}, drawing.get());
    const Growth every = selectAll(*layer, count);
    view.setRulersVisible(true);
    const PasteTimes shownPaste = copyPasteUndoRedo(view, undo, *layer, count);
    undo.undo();
    if (geometry->selection().size() != count || attributes->selectedObjects().size() != count) {
        std::fprintf(stderr, "the tabs did not follow the undone paste\n");
        return 1;
    }
    // As the window stacks them: the Style tab in front, the others behind it.
    QStackedWidget stackedTabs;
    for (QWidget* tab : {styles->view(), geometry->view(), text->view(), attributes->view()})
        stackedTabs.addWidget(tab);
    stackedTabs.resize(260, 900);
    stackedTabs.show();
    platform::RunLoop::runUntilIdle();
    const PasteTimes stackedPaste = copyPasteUndoRedo(view, undo, *layer, count);
    undo.undo();
    stackedTabs.setCurrentWidget(geometry->view());
    platform::RunLoop::runUntilIdle();
    if (geometry->selection().size() != count) {
        std::fprintf(stderr, "the Geometry tab did not show the selection when brought to the front\n");
        return 1;
    }
    std::printf("layer alone: %.0f ms, heap +%.0f B, resident +%.0f B per object\n", bare.milliseconds,
                bare.heapPerObject, bare.residentPerObject);
    std::printf("with the tabs: %.0f ms, heap +%.0f B, resident +%.0f B per object\n", shown.milliseconds,
                shown.heapPerObject, shown.residentPerObject);
    std::printf("with every tab: %.0f ms, heap +%.0f B, resident +%.0f B per object\n", every.milliseconds,
                every.heapPerObject, every.residentPerObject);
    printPasteTimes("layer alone", barePaste);
    printPasteTimes("with every tab and the rulers", shownPaste);
    printPasteTimes("with the tabs stacked, Style in front", stackedPaste);
    std::printf("BENCH select_all_lines_tabs value=%.0f unit=ms target=%.0f\n", shown.milliseconds, kTargetMs);
    std::printf("BENCH select_all_lines_tabs_heap value=%.0f unit=B/object target=%.0f\n", shown.heapPerObject,
                kTargetBytesPerObject);
    std::printf("BENCH select_all_lines_every_tab value=%.0f unit=ms target=%.0f\n", every.milliseconds, kTargetMs);
    std::printf("BENCH select_all_lines_every_tab_heap value=%.0f unit=B/object target=%.0f\n", every.heapPerObject,
                kTargetBytesPerObject);
    const std::pair<const char*, double> edits[] = {{"paste", shownPaste.paste},
                                                     {"paste_undo", shownPaste.undo},
                                                     {"paste_redo", shownPaste.redo}};
    for (const auto& [name, ms] : edits)
        std::printf("BENCH select_all_lines_every_tab_%s value=%.0f unit=ms target=%.0f\n", name, ms, kEditTargetMs);
    const std::pair<const char*, double> stackedEdits[] = {{"paste", stackedPaste.paste},
                                                            {"paste_undo", stackedPaste.undo},
                                                            {"paste_redo", stackedPaste.redo}};
    for (const auto& [name, ms] : stackedEdits)
        std::printf("BENCH select_all_lines_stacked_tabs_%s value=%.0f unit=ms target=%.0f\n", name, ms, kEditTargetMs);
    return 0;
}
