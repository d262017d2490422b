// Selecting 5,000 of a layer's 10,000 objects, each with 20 attributes (8 every object shares
// with equal values, 8 whose values differ, 4 that only a hundred objects each have), until the
// Attributes tab's table has its rows; then typing one character into its search field until
// the table has refiltered. Each figure is the 95th percentile over the runs, in milliseconds.
//
// Run with QT_QPA_PLATFORM=offscreen.

#include "support/InspectorBench.h"

#include "app/document/VXQMappingLayer.h"
#include "inspectors/attributes/AttributeTableModel.h"
#include "inspectors/attributes/AttributeTables.h"
#include "inspectors/attributes/VLQNAttributesController.h"
#include "inspectors/attributes/VXQAttributeController.h"

#include <cstdio>

namespace {

constexpr int kObjects = 10000;
constexpr int kSelected = 5000;
constexpr int kGroups = 50;
constexpr int kRuns = 20;
constexpr double kShowTargetMs = 100;
constexpr double kFilterTargetMs = 16;

VXDrawableObjectPtr objectWithAttributes(int index)
{
    VXDrawableObjectPtr shape = VXDrawableShape::drawableShapeWithRect(QRectF(index % 100 * 30, index / 100 * 30, 20, 20), nullptr);
    platform::MetadataContainer::Values values;
    for (int key = 0; key < 8; ++key)
        values.insert(QStringLiteral("shared%1").arg(key), VXMetadataValue::withValue(QStringLiteral("county %1").arg(key)));
    for (int key = 0; key < 8; ++key)
        values.insert(QStringLiteral("mixed%1").arg(key), VXMetadataValue::withValue(qint64(index * 8 + key)));
    for (int key = 0; key < 4; ++key)
        values.insert(QStringLiteral("group%1_%2").arg(index % kGroups).arg(key), VXMetadataValue::withValue(index % 3 == 0));
    shape->initMetadata(values);
    return shape;
}

} // namespace

int main(int argc, char** argv)
{
    inspectorbench::Application app(argc, argv);
    benchscene::OneLayerDrawing scene({3000, 3000}, std::make_shared<VXQMappingLayer>());
    QList<VXDrawableObjectPtr> objects;
    for (int i = 0; i < kObjects; ++i)
        objects.append(objectWithAttributes(i));
    scene.layer->addObjectsFromArray(objects);
    scene.undo.removeAllActions();

    const auto tab = VLQNAttributesController::make();
    inspectorbench::showTab(*tab, {300, 700}, scene.drawing.get());
    VXQAttributeController& editor = *tab->attributeController();
    AttributeTableModel* model = editor.tableModel();
    const int rows = 8 + 8 + 4 * kGroups;

    std::vector<double> showing, filtering;
    for (int run = 0; run < kRuns; ++run) {
        editor.setFilterString({});
        const QList<VXDrawableObjectPtr> chosen = inspectorbench::blockForRun(objects, run, kSelected);
        showing.push_back(inspectorbench::millisecondsToSelect(*scene.layer, chosen));
        if (model->rowCount() != rows || !editor.isMixedKey(QStringLiteral("mixed0")) || editor.isMixedKey(QStringLiteral("shared0"))) {
            std::fprintf(stderr, "run %d did not show the attributes (%d rows)\n", run, model->rowCount());
            return 1;
        }
        editor.setFindOption(attributetables::kKeyBeginsWith);
        editor.setFilterString(QStringLiteral("group1"));
        filtering.push_back(bench::millisecondsOf([&] {
            editor.setFilterString(QStringLiteral("group12"));
            platform::RunLoop::runUntilIdle();
        }));
        if (model->rowCount() != 4) {
            std::fprintf(stderr, "run %d did not refilter (%d rows)\n", run, model->rowCount());
            return 1;
        }
    }
    std::printf("showing: median %.2f ms; filtering: median %.3f ms over %d runs\n", bench::median(showing),
                bench::median(filtering), kRuns);
    std::printf("BENCH attributes_5000x20 value=%.2f unit=ms target=%.0f\n", bench::percentile(showing, 0.95), kShowTargetMs);
    std::printf("BENCH attributes_filter_typing value=%.3f unit=ms target=%.0f\n", bench::percentile(filtering, 0.95),
                kFilterTargetMs);
    return 0;
}
