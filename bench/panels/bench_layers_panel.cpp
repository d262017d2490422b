// The layers panel shown in a window over a drawing of 200 layers (some in groups) holding
// 100,000 objects, object rows shown and ten layers expanded. 300 mixed edits (objects added
// and removed, selections of 1 to 500 objects, reorders, renames, visibility and lock flips,
// layers added and deleted), each timed from the model change to the outline repainted. The
// figure is the 95th percentile in milliseconds.
//
// Run with QT_QPA_PLATFORM=offscreen.

#include "support/BenchSupport.h"

#include "panels/PanelsClasses.h"
#include "panels/layers/LayerTreeModel.h"
#include "panels/layers/LayersOutlineView.h"
#include "panels/layers/VLTMLayersController.h"
#include "platform/foundation/UserDefaults.h"
#include "platform/vantrix/drawables/VXDrawablePath.h"
#include "platform/vantrix/model/VXDrawing.h"
#include "platform/vantrix/model/VXObjectDrawingLayer.h"

#include <QApplication>
#include <QRandomGenerator>
#include <QTemporaryDir>
#include <chrono>

namespace {

constexpr int kLayers = 200;
constexpr int kObjects = 100000;
constexpr int kExpanded = 10;
constexpr int kEdits = 300;

VXDrawableObjectPtr makeObject(int number, const VXStylePtr& style)
{
    const double x = (number % 400) * 2.0;
    const double y = (number / 400 % 400) * 2.0;
    auto path = VXDrawablePath::drawablePathWithBezierPathWithStyle(
        platform::BezierPath::bezierPathWithRect({x, y, 1.5, 1.5}), style);
    path->setName(QStringLiteral("Object %1").arg(number));
    return path;
}

} // namespace

int main(int argc, char** argv)
{
    QApplication application(argc, argv);
    registerPanelsClasses();
    QTemporaryDir folder;
    platform::UserDefaults::setStorageLocationForTesting(folder.filePath(QStringLiteral("defaults")));
    platform::UserDefaults::standardUserDefaults()->setBoolForKey(true, kVLTMLayersControllerShowsGraphicObjects);

    const VXStylePtr style = VXStyle::styleWithFillColourStrokeColour(Qt::darkGreen, Qt::black);
    VXDrawingPtr drawing = VXDrawing::drawingWithSize({800, 800});
    QList<VXObjectDrawingLayerPtr> layers;
    std::shared_ptr<VXLayerGroup> group;
    int made = 0;
    for (int i = 0; i < kLayers; ++i) {
        // Every tenth layer opens a group holding the next four.
        if (i % 10 == 0) {
            group = std::make_shared<VXLayerGroup>();
            group->setLayerName(QStringLiteral("Group %1").arg(i / 10));
            drawing->addLayer(group);
        }
        auto layer = std::make_shared<VXObjectDrawingLayer>();
        layer->setLayerName(QStringLiteral("Layer %1").arg(i));
        QList<VXDrawableObjectPtr> objects;
        for (int j = 0; j < kObjects / kLayers; ++j)
            objects.append(makeObject(made++, style));
        layer->addObjectsFromArray(objects);
        if (i % 10 < 4)
            group->addLayer(layer);
        else
            drawing->addLayer(layer);
        layers.append(layer);
    }

    VLTMLayersController controller;
    controller.setDrawing(drawing.get());
    controller.view()->resize(320, 900);
    controller.view()->show();
    LayersOutlineView* outline = controller.outlineView();
    for (int i = 0; i < kExpanded; ++i) {
        VXLayer* layer = layers[i * 17].get();
        for (VXLayer* each = layer; each; each = each->layerGroup())
            outline->expand(controller.model().indexForItem(each));
    }
    drawing->setActiveLayer(layers[0].get());
    QApplication::processEvents();

    QRandomGenerator random(48);
    std::vector<double> milliseconds;
    for (int edit = 0; edit < kEdits; ++edit) {
        const VXObjectDrawingLayerPtr layer = layers[random.bounded(int(layers.size()))];
        const auto start = std::chrono::steady_clock::now();
        switch (edit % 9) {
        case 0: layer->addObject(makeObject(made++, style)); break;
        case 1:
            if (layer->countOfObjects() > 1)
                layer->removeObject(layer->objectInObjectsAtIndex(0).get());
            break;
        case 2: {
            layer->attemptToMakeActive();
            QList<VXDrawableObjectPtr> chosen;
            const int count = 1 + random.bounded(std::min(500, layer->countOfObjects()));
            for (int i = 0; i < count; ++i)
                chosen.append(layer->objectInObjectsAtIndex(i));
            layer->exchangeSelectionWithObjectsFromArray(chosen);
            break;
        }
        case 3: layer->moveObjectToIndex(layer->objectInObjectsAtIndex(0).get(), layer->countOfObjects() - 1); break;
        case 4: layer->setLayerName(QStringLiteral("Renamed %1").arg(edit)); break;
        case 5: layer->setVisible(!layer->visible()); break;
        case 6: layer->setLocked(!layer->locked()); break;
        case 7: {
            auto added = std::make_shared<VXObjectDrawingLayer>();
            added->setLayerName(QStringLiteral("Added %1").arg(edit));
            drawing->insertObjectInLayersAtIndex(added, 0);
            break;
        }
        default:
            if (drawing->objectInLayersAtIndex(0)->layerName().startsWith(u"Added"))
                drawing->removeObjectFromLayersAtIndex(0);
            break;
        }
        outline->viewport()->repaint();
        milliseconds.push_back(std::chrono::duration<double, std::milli>(std::chrono::steady_clock::now() - start).count());
    }
    bench::printValue(QStringLiteral("layers_panel_update_100k"), bench::percentile(milliseconds, 0.95), "ms", 16);
    return 0;
}
