// Shapefile points become symbols of the master for imported points, made on import workers.

#include "app/import/ZQShapefileObjectFactory.h"
#include "platform/vantrix/model/VXDrawing.h"
#include "platform/vantrix/model/VXObjectDrawingLayer.h"
#include "platform/vantrix/render/DrawingRenderer.h"
#include "symbols/masters/VXQSymbolMaster.h"
#include "symbols/placed/VXQSymbol.h"

#include <QCoreApplication>
#include <QPainterPath>
#include <gtest/gtest.h>
#include <thread>

namespace {

constexpr qint32 kPointShape = 1;

} // namespace

TEST(ImportedPointSymbolTest, PointsOnTwoWorkersBecomeSymbolsOfTheImportMasterWithTheirAttributes)
{
    const VXQSymbolMasterPtr master = VXQSymbolMaster::defaultSymbolMasterForPointObjectImport();
    const int liveBefore = int(master->symbols().size());
    const int slotsBefore = master->symbolSlotCount();
    constexpr int kPerWorker = 300;
    QList<std::shared_ptr<ZQObject>> made[2];
    // One factory per import, as each reader makes its own.
    const std::shared_ptr<ZQShapefileObjectFactory> factories[2] = {ZQShapefileObjectFactory::makeFactory(),
                                                                    ZQShapefileObjectFactory::makeFactory()};
    const auto place = [&](int worker) {
        for (int i = 0; i < kPerWorker; ++i) {
            QPainterPath point;
            point.moveTo(worker * 1000 + i, 20);
            geodata::AttributeDictionary attributes;
            attributes.insert(QStringLiteral("price"), geodata::AttributeValue::integer(i));
            std::shared_ptr<ZQObject> object =
                factories[worker]->objectForShapeWithPathAttributes(kPointShape, point, &attributes);
            factories[worker]->moveObjectToThread(object, QCoreApplication::instance()->thread());
            made[worker].append(std::move(object));
        }
    };
    std::thread first(place, 0), second(place, 1);
    first.join();
    second.join();

    EXPECT_EQ(master->symbols().size(), liveBefore + 2 * kPerWorker);
    EXPECT_EQ(master->symbolSlotCount(), slotsBefore + 2 * kPerWorker);
    for (int worker : {0, 1}) {
        for (int i : {0, kPerWorker - 1}) {
            const auto* symbol = dynamic_cast<const VXQSymbol*>(made[worker][i].get());
            ASSERT_TRUE(symbol);
            EXPECT_EQ(symbol->master(), master);
            EXPECT_EQ(symbol->location(), QPointF(worker * 1000 + i, 20));
            EXPECT_EQ(symbol->metadataValueForKey(QStringLiteral("price")).toInt(), i);
        }
    }
    // Each took the master's bounds, though the other worker measured the master meanwhile.
    const QRectF masterBounds = master->objectBoundsIgnoringLabels();
    ASSERT_FALSE(masterBounds.isEmpty());
    for (int worker : {0, 1})
        for (const std::shared_ptr<ZQObject>& object : made[worker])
            EXPECT_EQ(static_cast<const VXQSymbol*>(object.get())->cachedMasterBounds(), masterBounds);
    made[0].clear();
    made[1].clear();
    EXPECT_EQ(master->symbols().size(), liveBefore);
}

namespace {

class NumberingProvider : public VXStyleNameProvider {
public:
    QString nameForCopyOfStyle(const VXStyle&) const override { return QStringLiteral("Style %1").arg(++asked); }
    mutable int asked = 0;
};

} // namespace

// The built-in masters are remade on each launch, maybe while a document is read: their style
// must not depend on whether a provider was numbering copies at that moment.
TEST(ImportedPointSymbolTest, BuiltInMastersTakeNoNameFromTheStyleNameProvider)
{
    NumberingProvider provider;
    VXStyle::setNameProvider(&provider);
    const VXStylePtr pointStyle = VXQSymbolMaster::defaultSymbolMasterForPointObjectImport()->object()->style();
    const VXStylePtr starStyle = VXQSymbolMaster::defaultSymbolMaster()->object()->style();
    VXStyle::setNameProvider(nullptr);
    ASSERT_TRUE(pointStyle && starStyle);
    EXPECT_EQ(provider.asked, 0);
    EXPECT_FALSE(pointStyle->name().startsWith(QStringLiteral("Style ")));
    EXPECT_FALSE(starStyle->name().startsWith(QStringLiteral("Style ")));
}

// An import places points on its worker while the map's tiles draw symbols of the same master.
TEST(ImportedPointSymbolTest, PointsPlacedOnAWorkerWhileTilesDrawTheMasterTakeItsBoundsAndLeaveTheImageAlone)
{
    const VXQSymbolMasterPtr master = VXQSymbolMaster::defaultSymbolMasterForPointObjectImport();
    const VXDrawingPtr drawing = VXDrawing::drawingWithSize({200, 150});
    const auto layer = std::make_shared<VXObjectDrawingLayer>();
    drawing->addLayer(layer);
    QList<VXDrawableObjectPtr> shown;
    for (int i = 0; i < 200; ++i)
        shown.append(master->symbolWithLocation({5.0 + (i * 13) % 190, 5.0 + (i * 7) % 140}));
    layer->addObjectsFromArray(shown);
    const auto draw = [&] { return platform::DrawingRenderer::imageOfDrawing(*drawing, {0, 0, 200, 150}, {800, 600}, Qt::white); };
    const QImage before = draw();
    ASSERT_NE(before.pixelColor(20, 20), QColor(Qt::white));

    QList<std::shared_ptr<ZQObject>> placed;
    const std::shared_ptr<ZQShapefileObjectFactory> factory = ZQShapefileObjectFactory::makeFactory();
    std::thread worker([&] {
        for (int i = 0; i < 400; ++i) {
            QPainterPath point;
            point.moveTo(i, 1000);
            placed.append(factory->objectForShapeWithPathAttributes(kPointShape, point, nullptr));
            factory->moveObjectToThread(placed.last(), QCoreApplication::instance()->thread());
        }
    });
    for (int run = 0; run < 3; ++run)
        EXPECT_EQ(draw(), before) << "run " << run;
    worker.join();

    const QRectF bounds = master->objectBoundsIgnoringLabels();
    ASSERT_FALSE(bounds.isEmpty());
    for (const std::shared_ptr<ZQObject>& object : placed)
        EXPECT_EQ(static_cast<const VXQSymbol*>(object.get())->cachedMasterBounds(), bounds);
}
