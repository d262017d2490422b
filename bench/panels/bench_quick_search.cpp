// The quick search of a map window over 100,000 styled objects (paths and shapes by turns)
// with three attributes each, all in the active layer, for a text about 1% of them contain:
// from the call to the selection set.

#include "support/BenchSupport.h"

#include "app/document/VXQMappingLayer.h"
#include "app/document/ZQTrueQuorvaneDocument.h"
#include "panels/PanelsClasses.h"
#include "panels/PanelsServicesInstallation.h"
#include "panels/search/DocumentSearch.h"
#include "platform/foundation/ZQLog.h"
#include "platform/vantrix/drawables/VXDrawablePath.h"
#include "platform/vantrix/drawables/VXDrawableShape.h"

#include <QApplication>
#include <cstdio>

namespace {

constexpr int kObjects = 100000;
constexpr int kStyles = 12;
constexpr int kRuns = 7;

VXDrawableObjectPtr makeObject(int index, const VXStylePtr& style)
{
    const QRectF rect(index % 400 * 10.0, index / 400 * 10.0, 8, 6);
    VXDrawableObjectPtr object = index % 2
        ? VXDrawableObjectPtr(VXDrawablePath::drawablePathWithBezierPathWithStyle(
              platform::BezierPath::bezierPathWithRect(rect), style))
        : VXDrawableObjectPtr(VXDrawableShape::drawableShapeWithRect(rect, style));
    // One object in a hundred is a mill.
    const QString name = index % 100 == 7 ? QStringLiteral("Millbrook Farm %1").arg(index)
                                          : QStringLiteral("Feature %1").arg(index);
    object->initMetadata({{QStringLiteral("name"), VXMetadataValue::withValue(name)},
                          {QStringLiteral("population"), VXMetadataValue::withValue(qint64(index % 5000))},
                          {QStringLiteral("kind"), VXMetadataValue::withValue(QStringLiteral("settlement"))}});
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

    auto document = std::make_shared<ZQTrueQuorvaneDocument>();
    QuorvaneError error;
    document->initWithTypeError(kZQMapDocumentType, &error);
    auto* layer = dynamic_cast<VXQMappingLayer*>(document->activeLayer());
    QList<VXStylePtr> styles;
    for (int i = 0; i < kStyles; ++i)
        styles << VXStyle::styleWithFillColourStrokeColour(QColor::fromHsv(i * 30, 120, 220), Qt::black);
    QList<VXDrawableObjectPtr> objects;
    objects.reserve(kObjects);
    for (int i = 0; i < kObjects; ++i)
        objects.append(makeObject(i, styles[i % kStyles]));
    layer->addObjectsFromArray(objects);

    DocumentSearch* search = DocumentSearch::ofDocument(*document);
    DocumentSearch::setBeepHook([] {});
    const double seconds = bench::medianSeconds(kRuns, [&] {
        layer->deselectAll();
        search->performSimpleStringSearchForString(QStringLiteral("millbrook"));
    });
    if (layer->countOfSelection() != kObjects / 100) {
        std::fprintf(stderr, "selected %d objects, not %d\n", layer->countOfSelection(), kObjects / 100);
        return 1;
    }
    bench::printValue(QStringLiteral("quick_search_100k"), seconds * 1000.0, "ms", 50);
    return 0;
}
