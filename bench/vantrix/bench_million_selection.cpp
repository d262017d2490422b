// Edits of a selection of 1,000,000 short lines (one layer, one shared style, as an imported
// shapefile makes them) in a shown view of the whole sheet, made through the model as the
// window's commands make them, with no inspector attached: Select All, the view drawn again
// with the selection on it, a nudge of one point, a new style, Copy, Cut, Paste, the selection
// dragged onto a second layer in the shown layers panel, Delete, and the undo and redo of each
// edit. Each figure is one run's time in milliseconds, the view's redraw included, and the
// resident memory it added in bytes per selected object. A zoom out with the selection shown is
// timed in the main thread's processor time until the view has drawn all it shows. Run with
// QT_QPA_PLATFORM=offscreen; an argument gives another number of lines (e.g. 200000 while
// profiling), and a second one, "paint", stops after the repaint and the zoom.

#include "support/BenchSupport.h"

#include "panels/PanelsClasses.h"
#include "panels/layers/VLTMLayersController.h"
#include "platform/foundation/FoundationClasses.h"
#include "platform/foundation/UserDefaults.h"
#include "platform/foundation/ZQUndoManager.h"
#include "platform/vantrix/drawables/VXDrawablePath.h"
#include "platform/vantrix/model/VantrixDrawingClasses.h"
#include "platform/vantrix/model/VXDrawing.h"
#include "platform/vantrix/model/VXObjectDrawingLayer.h"
#include "platform/vantrix/styles/VantrixStyleClasses.h"
#include "platform/vantrix/view/ObjectLayerEditing.h"
#include "platform/vantrix/view/VXDrawingView.h"

#include <QApplication>
#include <QClipboard>
#include <QEventLoop>
#include <QMimeData>
#include <QRandomGenerator>
#include <QTemporaryDir>
#include <QTimer>
#include <cmath>
#include <cstdio>
#include <ctime>
#include <malloc.h>

namespace {

constexpr QSizeF kPaper(7200, 7200);
constexpr double kSelectAllTarget = 2000; // ms
constexpr double kEditTarget = 5000;      // ms, each edit, its undo and its redo
constexpr double kSelectionBytesTarget = 200;
constexpr double kRepaintTarget = 500; // ms
constexpr double kZoomStep = 2;       // the View menu's Zoom Out
constexpr int kZoomPatienceMs = 60000;
constexpr int kPollMs = 10;

double mainThreadMilliseconds()
{
    timespec time{};
    clock_gettime(CLOCK_THREAD_CPUTIME_ID, &time);
    return time.tv_sec * 1e3 + time.tv_nsec / 1e6;
}

class MillionSelection {
public:
    explicit MillionSelection(int lines)
        : m_lines(lines)
        , m_drawing(VXDrawing::drawingWithSize(kPaper))
        , m_layer(std::make_shared<VXObjectDrawingLayer>())
        , m_otherLayer(std::make_shared<VXObjectDrawingLayer>())
    {
        m_drawing->setUndoManager(&m_undo);
        m_drawing->addLayer(m_layer);
        m_drawing->addLayer(m_otherLayer);
        m_drawing->setActiveLayer(m_layer.get());
        QRandomGenerator random(91);
        const VXStylePtr style = VXStyle::styleWithFillColourStrokeColourStrokeWidth(QColor(), Qt::black, 0.5);
        QList<VXDrawableObjectPtr> objects;
        objects.reserve(lines);
        for (int i = 0; i < lines; ++i) {
            const QPointF start(random.bounded(kPaper.width()), random.bounded(kPaper.height()));
            const double heading = random.bounded(2 * M_PI);
            platform::BezierPath path;
            path.appendBezierPathWithPoints(
                QPolygonF{start, start + 6 * QPointF(std::cos(heading), std::sin(heading))});
            objects.append(VXDrawablePath::drawablePathWithBezierPathWithStyle(path, style));
        }
        m_layer->addObjectsFromArray(objects);
        m_undo.removeAllActions(); // building the drawing is not an edit
        m_undo.setGroupsByEvent(false);
        m_view.resize(1600, 1000);
        m_view.setDrawing(m_drawing);
        m_view.show();
        m_view.zoomViewToFitInWindow();
        m_view.finishRendering();
        m_layers.setDrawing(m_drawing.get());
        m_layers.view()->resize(320, 900);
        m_layers.view()->show();
        QCoreApplication::processEvents();
    }

    void selectAll()
    {
        measure(QStringLiteral("select_all"), kSelectAllTarget, [&] { m_layer->selectAll(); });
        bench::require(m_layer->countOfSelection() == m_lines, "million_selection", "Select All missed objects");
    }

    // The view drawn again with the whole selection shown on it, as after every edit.
    void repaint()
    {
        measure(QStringLiteral("repaint_selected"), kRepaintTarget, [&] { m_view.viewport()->repaint(); });
    }

    // Half the layer selected, as after a paste beside the originals: every paint after the
    // first shows the highlights without looking the layer's objects up in the selection.
    void repaintHalfSelected()
    {
        QList<VXDrawableObjectPtr> half;
        half.reserve(m_lines / 2);
        for (qsizetype i = 0; i < m_layer->objects().size(); i += 2)
            half.append(m_layer->objects()[i]);
        m_layer->exchangeSelectionWithObjectsFromArray(half);
        m_view.viewport()->repaint();
        measure(QStringLiteral("repaint_half_selected"), kRepaintTarget, [&] { m_view.viewport()->repaint(); });
        m_layer->selectAll();
        m_undo.removeAllActions(); // the selections are no edit under test
    }

    // Zoom Out with the whole selection shown, up to the view's last frame: what the main thread
    // spends is what the window cannot answer in. The view is zoomed back to fit afterwards.
    void zoomOut()
    {
        const double start = mainThreadMilliseconds();
        m_view.setScale(m_view.scale() / kZoomStep);
        m_view.viewport()->repaint();
        QEventLoop loop; // waiting as the window does, so the view's tiles are drawn meanwhile
        QTimer poll;
        poll.callOnTimeout([&] {
            if (m_view.isRenderingSettled())
                loop.quit();
        });
        poll.start(kPollMs);
        QTimer::singleShot(kZoomPatienceMs, &loop, &QEventLoop::quit);
        loop.exec();
        QCoreApplication::processEvents(); // the frame that shows the finished tiles
        const double ms = mainThreadMilliseconds() - start;
        bench::require(m_view.isRenderingSettled(), "million_selection", "the zoomed-out view never settled");
        bench::printRecord(QStringLiteral("million_selection_zoom_out_selected_%1").arg(label()), ms, "ms");
        m_view.zoomViewToFitInWindow();
        m_view.finishRendering();
        QCoreApplication::processEvents();
    }

    void nudge()
    {
        const VXDrawableObjectPtr first = m_layer->objects().constFirst();
        const QPointF start = first->location();
        editUndoRedo(QStringLiteral("nudge"), [&] {
            VXObjectOwnerLayer::Translation move(*m_layer, m_layer->selectedAvailableObjects());
            move.moveBy(QPointF(1, 0));
            m_undo.setActionName(QStringLiteral("Move"));
        });
        bench::require(first->location() == start + QPointF(1, 0), "million_selection", "the nudge did not move the objects");
    }

    void style()
    {
        const VXStylePtr red = VXStyle::styleWithFillColourStrokeColourStrokeWidth(QColor(), Qt::red, 2);
        editUndoRedo(QStringLiteral("style"), [&] { m_layer->applyStyle(red); });
        bench::require(m_layer->objects().constLast()->style() == red, "million_selection", "the style did not reach the objects");
    }

    void copy()
    {
        measure(QStringLiteral("copy"), kEditTarget, [&] { m_view.copy(); });
        bench::require(QGuiApplication::clipboard()->mimeData()->hasFormat(kVXDrawableObjectPasteboardType),
                       "million_selection", "Copy left the clipboard without objects");
    }

    void cut()
    {
        editUndoRedo(QStringLiteral("cut"), [&] { m_view.cut(); });
        bench::require(m_layer->countOfObjects() == 0, "million_selection", "Cut left objects");
    }

    // Into the layer the cut emptied.
    void paste()
    {
        editUndoRedo(QStringLiteral("paste"), [&] { m_view.paste(); });
        bench::require(m_layer->countOfSelection() == m_lines, "million_selection", "Paste missed objects");
    }

    // The whole selection dropped on the top of the second layer's rows.
    void moveToLayer()
    {
        editUndoRedo(QStringLiteral("move_to_layer"),
                     [&] { m_layers.moveDrawables(m_layer->selection(), m_otherLayer.get(), 0); });
        bench::require(m_otherLayer->countOfObjects() == m_lines && m_layer->countOfObjects() == 0,
                       "million_selection", "the selection did not reach the other layer");
        // The redo moves the objects, not the selection.
        m_drawing->setActiveLayer(m_otherLayer.get());
        m_otherLayer->selectAll();
    }

    void deleteSelection()
    {
        platform::ObjectLayerEditing editing(m_drawing.get());
        editUndoRedo(QStringLiteral("delete"), [&] { editing.deleteSelection(); });
        bench::require(m_otherLayer->countOfObjects() == 0, "million_selection", "Delete left objects");
    }

private:
    // The edit as one undo step, then its undo and its redo, each timed and weighed alone.
    void editUndoRedo(const QString& name, const std::function<void()>& edit)
    {
        const std::pair counts{m_layer->countOfObjects(), m_otherLayer->countOfObjects()};
        measure(name, kEditTarget, [&] {
            m_undo.beginUndoGrouping();
            edit();
            m_undo.endUndoGrouping();
        });
        measure(name + QStringLiteral("_undo"), kEditTarget, [&] { m_undo.undo(); });
        bench::require(std::pair{m_layer->countOfObjects(), m_otherLayer->countOfObjects()} == counts,
                       "million_selection", "Undo did not restore the objects");
        measure(name + QStringLiteral("_redo"), kEditTarget, [&] { m_undo.redo(); });
    }

    void measure(const QString& name, double targetMs, const std::function<void()>& work)
    {
        malloc_trim(0);
        const double before = bench::statusMegabytes("VmRSS:");
        const double ms = bench::millisecondsOf([&] {
            work();
            QCoreApplication::processEvents(); // what the edit left for the view to do
        });
        const double grown = bench::statusMegabytes("VmRSS:") - before;
        const QString figure = QStringLiteral("million_selection_%1_%2").arg(name).arg(label());
        bench::printValue(figure, ms, "ms", targetMs);
        const double bytesPerObject = grown * 1024 * 1024 / m_lines;
        if (name == QLatin1String("select_all"))
            bench::printValue(figure + QStringLiteral("_memory"), bytesPerObject, "bytes/object", kSelectionBytesTarget);
        else
            bench::printRecord(figure + QStringLiteral("_memory"), bytesPerObject, "bytes/object");
    }

    QString label() const
    {
        return m_lines % 1000000 == 0 ? QStringLiteral("%1m").arg(m_lines / 1000000)
                                      : QStringLiteral("%1k").arg(m_lines / 1000);
    }


    int m_lines;
    ZQUndoManager m_undo;
    VXDrawingPtr m_drawing;
    std::shared_ptr<VXObjectDrawingLayer> m_layer;
    std::shared_ptr<VXObjectDrawingLayer> m_otherLayer;
    VXDrawingView m_view;
    VLTMLayersController m_layers;
};

} // namespace

int main(int argc, char** argv)
{
    bench::useOffscreenPlatformUnlessTold();
    QApplication app(argc, argv);
    registerFoundationClasses();
    registerVantrixStyleClasses();
    registerVantrixDrawingClasses();
    registerPanelsClasses();
    QTemporaryDir defaults;
    platform::UserDefaults::setStorageLocationForTesting(defaults.filePath(QStringLiteral("defaults")));

    const int lines = argc > 1 ? std::max(1000, std::atoi(argv[1])) : 1000000;
    MillionSelection bench(lines);
    bench.selectAll();
    bench.repaint();
    bench.repaintHalfSelected();
    bench.zoomOut();
    if (argc > 2 && qstrcmp(argv[2], "paint") == 0)
        return 0;
    bench.nudge();
    bench.style();
    bench.copy();
    bench.cut();
    bench.paste();
    bench.moveToLayer();
    bench.deleteSelection();
    return 0;
}
