#pragma once

// What the inspector tab benchmarks share: the offscreen application with the classes the
// inspectors need, a busy map of plain objects, a tab shown on a drawing, and the timing of
// one change of selection until the tab has shown it.

#include "support/BenchSupport.h"
#include "support/RandomObjects.h"

#include "inspectors/InspectorClasses.h"
#include "platform/foundation/FoundationClasses.h"
#include "platform/foundation/RunLoop.h"

#include <QApplication>
#include <QRandomGenerator>

namespace inspectorbench {

// Offscreen unless QT_QPA_PLATFORM names another platform.
class Application : public QApplication {
public:
    Application(int& argc, char** argv)
        : QApplication(offscreenUnlessTold(argc), argv)
    {
        registerFoundationClasses();
        registerInspectorClasses();
    }

private:
    static int& offscreenUnlessTold(int& argc)
    {
        bench::useOffscreenPlatformUnlessTold();
        return argc;
    }
};

// `count` random rectangles, ovals and polylines on `paper`, in one area and one line style.
inline QList<VXDrawableObjectPtr> plainObjects(QRandomGenerator& random, QSizeF paper, int count)
{
    const VXStylePtr area = VXStyle::styleWithFillColourStrokeColourStrokeWidth(QColor(200, 230, 190), Qt::darkGray, 1.0);
    const VXStylePtr line = VXStyle::styleWithFillColourStrokeColourStrokeWidth(QColor(), QColor(90, 90, 90), 2.0);
    QList<VXDrawableObjectPtr> objects;
    for (int i = 0; i < count; ++i)
        objects.append(benchscene::randomObject(random, paper, [&] { return area; }, [&] { return line; }));
    return objects;
}

// Shows the tab's view at `size` on `drawing` and lets it settle.
template <class Tab>
void showTab(Tab& tab, QSize size, VXDrawing* drawing)
{
    tab.view()->resize(size);
    tab.view()->show();
    tab.setDrawing(drawing);
    platform::RunLoop::runUntilIdle();
}

// The objects run `run` selects: runs alternate between the first two blocks of `size`, so
// that every run shows a new selection.
inline QList<VXDrawableObjectPtr> blockForRun(const QList<VXDrawableObjectPtr>& objects, int run, qsizetype size)
{
    return objects.mid((run % 2) * size, size);
}

// From exchanging the layer's selection for `chosen` until the event loop is idle.
inline double millisecondsToSelect(VXObjectDrawingLayer& layer, const QList<VXDrawableObjectPtr>& chosen)
{
    return bench::millisecondsOf([&] {
        layer.exchangeSelectionWithObjectsFromArray(chosen);
        platform::RunLoop::runUntilIdle();
    });
}

} // namespace inspectorbench
