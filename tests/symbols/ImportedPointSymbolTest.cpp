// Shapefile points become symbols of the master for imported points, made on import workers.

#include "app/ZQShapefileObjectFactory.h"
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
