// The smart select tool dragged over 100,000 attributed objects of one map layer, with a query
// on one attribute: 200 drag steps growing the circle to a few hundred points and shrinking it
// again, each from the tool's drag call to the selection exchanged and the two squares
// invalidated. Reports the 95th percentile of the steps.

#include "support/BenchSupport.h"

#include "app/document/VXQMappingLayer.h"
#include "panels/PanelsClasses.h"
#include "panels/PanelsServicesInstallation.h"
#include "panels/search/VXQSmartSelectTool.h"
#include "platform/foundation/ZQLog.h"
#include "platform/vantrix/drawables/VXDrawableShape.h"
#include "platform/vantrix/model/VXDrawing.h"

#include <QApplication>
#include <cstdio>

namespace {

constexpr int kObjects = 100000;
constexpr int kSteps = 200;
constexpr int kColumns = 400;

VXDrawableObjectPtr makeObject(int index, const VXStylePtr& style)
{
    const QRectF rect(index % kColumns * 10.0, index / kColumns * 10.0, 8, 6);
    VXDrawableObjectPtr object = VXDrawableShape::drawableShapeWithRect(rect, style);
    // One object in four is a farm.
    object->initMetadata({{QStringLiteral("kind"),
                           VXMetadataValue::withValue(index % 4 ? QStringLiteral("house") : QStringLiteral("farm"))}});
    return object;
}

} // namespace

int main(int argc, char** argv)
{
    bench::useOffscreenPlatformUnlessTold();
    QApplication app(argc, argv);
    registerPanelsClasses();
    installPanelsServices();
    platform::Log::setSink([](LogEventKind, const QString&) {});

    VXDrawingPtr drawing = VXDrawing::drawingWithSize({kColumns * 10.0, kObjects / kColumns * 10.0});
    auto layer = std::make_shared<VXQMappingLayer>();
    drawing->addLayer(layer);
    const VXStylePtr style = VXStyle::styleWithFillColourStrokeColour(QColor(200, 220, 180), Qt::black);
    QList<VXDrawableObjectPtr> objects;
    objects.reserve(kObjects);
    for (int i = 0; i < kObjects; ++i)
        objects.append(makeObject(i, style));
    layer->addObjectsFromArray(objects);

    auto query = std::make_shared<MPSearchQuery>();
    query->addCriterion(MPSearchCriterion::criterionWithStringMatchKindIdentifier(QStringLiteral("farm"), kMPIsEqualTo,
                                                                                 QStringLiteral("KIND")));
    VXQSmartSelectTool tool;
    tool.setSearchQuery(query);
    const QPointF anchor(2000, 1250);
    tool.mouseDownAtPointTargetObjectLayerEventDelegate(anchor, nullptr, layer.get(), nullptr, nullptr);
    std::vector<double> steps;
    int largest = 0;
    for (int step = 0; step < kSteps; ++step) {
        // Out to 300 points over the first half, back in over the second.
        const double reach = 3.0 * (step < kSteps / 2 ? step : kSteps - step);
        steps.push_back(bench::secondsOf([&] {
            tool.mouseDraggedToPointPartCodeLayerEventDelegate(anchor + QPointF(reach, 0), 0, layer.get(), nullptr,
                                                               nullptr);
        }));
        largest = std::max(largest, layer->countOfSelection());
    }
    tool.mouseUpAtPointPartCodeLayerEventDelegate(anchor, 0, layer.get(), nullptr, nullptr);
    if (largest == 0) {
        std::fprintf(stderr, "the drag selected nothing\n");
        return 1;
    }
    bench::printValue(QStringLiteral("smart_select_drag_100k"), bench::percentile(steps, 0.95) * 1000.0, "ms", 16);
    return 0;
}
