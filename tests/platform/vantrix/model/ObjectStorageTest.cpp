// The spatial index answers exactly what a linear scan answers, in stacking order, through
// insertions, removals, reordering and moving objects, for small objects and long ones alike.

#include "platform/vantrix/DrawingTestSupport.h"

#include "platform/foundation/KeyedArchiver.h"
#include "platform/foundation/KeyedUnarchiver.h"
#include "platform/foundation/ZQAssert.h"
#include "platform/vantrix/model/VXBSPDirectObjectStorage.h"
#include "platform/vantrix/model/VXLinearObjectStorage.h"
#include "platform/vantrix/settings/VXDrawingPreferences.h"
#include "support/PreferencesScope.h"

#include <QRandomGenerator>
#include <malloc.h>
#include <numeric>

namespace {

QList<VXDrawableObject*> scan(const VXObjectOwnerLayer& layer, const QRectF& rect)
{
    QList<VXDrawableObject*> found;
    for (const VXDrawableObjectPtr& object : layer.objects())
        if (platform::rectsMeet(object->bounds(), rect))
            found.append(object.get());
    return found;
}

QRectF randomRect(QRandomGenerator& random, double extent, double maximumSide)
{
    const double w = random.bounded(maximumSide);
    const double h = random.bounded(maximumSide);
    return {random.bounded(extent + 200) - 100, random.bounded(extent + 200) - 100, w, h};
}

VXDrawableObjectPtr randomObject(QRandomGenerator& random, double extent)
{
    const int kind = random.bounded(6);
    if (kind == 0) { // a horizontal line: bounds of no height
        platform::BezierPath line;
        const double y = random.bounded(extent);
        line.moveToPoint({random.bounded(extent), y});
        line.lineToPoint({random.bounded(extent), y});
        return VXDrawablePath::drawablePathWithBezierPath(line);
    }
    if (kind >= 4) { // a road or river: a long wandering line, sometimes leaving the area
        platform::BezierPath road;
        QPointF point(random.bounded(extent + 400) - 200, random.bounded(extent + 400) - 200);
        road.moveToPoint(point);
        const double stride = random.bounded(extent / 4);
        const bool alongX = kind == 4;
        for (int i = 0; i < 4; ++i) {
            point += alongX ? QPointF(stride, random.bounded(20.0) - 10) : QPointF(random.bounded(stride) - stride / 2, stride);
            road.lineToPoint(point);
        }
        return VXDrawablePath::drawablePathWithBezierPath(road);
    }
    // Mostly small objects, some spanning much of the area, some outside it.
    const double side = kind == 1 ? random.bounded(extent) : random.bounded(30.0);
    return VXDrawableShape::drawableShapeWithRect(randomRect(random, extent, side), nullptr);
}

} // namespace

TEST(ObjectStorage, BothStoragesAnswerQueriesAsALinearScanDoesThroughChurn)
{
    for (const QMetaObject* storageClass : {&VXBSPDirectObjectStorage::staticMetaObject, &VXLinearObjectStorage::staticMetaObject}) {
        SCOPED_TRACE(storageClass->className());
        const testsupport::PreferencesScope scope(&VXDrawingPreferences::layerStorageClass, storageClass);
        drawingtest::Fixture f({1000, 1000});
        ASSERT_EQ(f.layer->storage().metaObject(), storageClass);
        QRandomGenerator random(20240611);
        QList<VXDrawableObjectPtr> objects;
        for (int i = 0; i < 3000; ++i)
            objects.append(randomObject(random, 1000));
        f.layer->addObjectsFromArray(objects);

        auto compare = [&](int queries) {
            for (int q = 0; q < queries; ++q) {
                const QRectF rect = randomRect(random, 1000, random.bounded(2) ? 40.0 : 600.0);
                ASSERT_EQ(f.layer->objectsInRect(rect), scan(*f.layer, rect)) << "query " << q;
            }
        };
        compare(300);

        // Churn: removals, insertions, reordering and moves, one object or a batch at a time,
        // each of which the index must follow.
        const auto someObjects = [&] {
            QList<VXDrawableObjectPtr> some;
            for (int n = random.bounded(1, 9); n > 0; --n)
                some.append(f.layer->objectInObjectsAtIndex(random.bounded(f.layer->countOfObjects())));
            return some;
        };
        for (int i = 0; i < 1000; ++i) {
            const int index = random.bounded(f.layer->countOfObjects());
            const VXDrawableObjectPtr object = f.layer->objectInObjectsAtIndex(index);
            switch (random.bounded(7)) {
            case 0: f.layer->removeObjectFromObjectsAtIndex(index); break;
            case 1: f.layer->moveObjectToIndex(object.get(), random.bounded(f.layer->countOfObjects())); break;
            case 2: f.layer->removeObjectsInArray(someObjects()); break;
            case 3:
                random.bounded(2) ? f.layer->moveObjectsForwards(someObjects())
                                  : f.layer->moveObjectsInArrayToIndex(someObjects(), index);
                break;
            case 4: {
                QList<VXDrawableObjectPtr> added{randomObject(random, 1000), randomObject(random, 1000)};
                const int at = random.bounded(f.layer->countOfObjects() + 1);
                f.layer->insertObjectsAtIndexes(added, {at, at + random.bounded(1, 5)});
                break;
            }
            case 5: // a nudge, as a drag makes, that mostly keeps the object in its cell
                object->applyTransform(QTransform::fromTranslate(random.bounded(8.0) - 4, random.bounded(8.0) - 4));
                break;
            default: object->setLocation({random.bounded(1200.0) - 100, random.bounded(1200.0) - 100}); break;
            }
        }
        compare(300);
        // A point query and a query of the whole plane.
        EXPECT_EQ(f.layer->objectsInRect({500, 500, 0, 0}), scan(*f.layer, {500, 500, 0, 0}));
        EXPECT_EQ(f.layer->objectsInRect({-1e9, -1e9, 2e9, 2e9}).size(), f.layer->countOfObjects());
    }
    VXDrawingPreferences::edit([](VXDrawingPreferences& p) { p.layerStorageClass = &QObject::staticMetaObject; }); // not a storage: ignored
    EXPECT_EQ(VXObjectOwnerLayer::storageClass(), &VXBSPDirectObjectStorage::staticMetaObject);
}

TEST(ObjectStorage, ObjectsMovedWhileReindexingIsDeferredAreFoundWhereTheyAre)
{
    drawingtest::Fixture f({1000, 1000});
    QRandomGenerator random(20261208);
    QList<VXDrawableObjectPtr> objects;
    for (int i = 0; i < 2000; ++i)
        objects.append(randomObject(random, 1000));
    f.layer->addObjectsFromArray(objects);
    const auto compare = [&](const char* stage) {
        for (int q = 0; q < 200; ++q) {
            const QRectF rect = randomRect(random, 1000, random.bounded(2) ? 40.0 : 600.0);
            ASSERT_EQ(f.layer->objectsInRect(rect), scan(*f.layer, rect)) << stage << ", query " << q;
        }
    };
    {
        auto outer = std::make_optional(f.layer->deferringReindex());
        {
            const auto inner = f.layer->deferringReindex();
            for (int move = 0; move < 20; ++move)
                for (int i = 0; i < 2000; i += 10)
                    objects[i]->applyTransform(QTransform::fromTranslate(random.bounded(60.0) - 30, 25));
            compare("moving");
        }
        // Moved objects leave and arrive while the gesture lasts.
        f.layer->removeObjectsInArray({objects[0], objects[10], objects[11]});
        objects[20]->setLocation({-300, 1500});
        f.layer->insertObjectsAtIndexes({randomObject(random, 1000)}, {5});
        compare("inner deferral ended");
        outer.reset();
    }
    compare("re-indexed");

    // A deferral that outlives its layer's storage ends quietly.
    auto layer = std::make_shared<VXObjectDrawingLayer>();
    std::optional<platform::ObjectStorage::ReindexDeferral> orphan(layer->deferringReindex());
    layer.reset();
    orphan.reset();
}

TEST(ObjectStorage, IndexDeepensWithTheObjectCount)
{
    VXBSPDirectObjectStorage storage;
    const int shallow = storage.depth();
    for (int i = 0; i < 5000; ++i)
        storage.insertObjectsAtIndexes({VXDrawableShape::drawableShapeWithRect(QRectF(i % 100 * 10, i / 100 * 10, 5, 5),
                                                                              nullptr)},
                                       {storage.count()});
    EXPECT_GT(storage.depth(), shallow + 4);
    EXPECT_EQ(storage.objectsIntersectingRect({0, 0, 12, 12}).size(), 4);
    EXPECT_THROW(storage.insertObjectsAtIndexes({storage.objects().first()}, {0}), platform::AssertionFailure);
    EXPECT_THROW(storage.removeObjectsAtIndexes({3, 2}), platform::AssertionFailure);
    EXPECT_THROW(storage.moveObjectsAtIndexesToIndexes({0}, {storage.count()}), platform::AssertionFailure);
    EXPECT_EQ(storage.count(), 5000);
}

TEST(ObjectStorage, ALayerReadBackHoldsItsObjectsInOrderAndFindsThemAsTheLayerFilledOneByOne)
{
    drawingtest::Fixture f({1000, 1000});
    QRandomGenerator random(20261208);
    for (int i = 0; i < 3000; ++i)
        f.layer->addObject(randomObject(random, 1000));
    const auto read = std::dynamic_pointer_cast<VXObjectOwnerLayer>(platform::KeyedUnarchiver::unarchiveObjectWithData(
        platform::KeyedArchiver::archivedDataWithRootObject(f.layer.get())));
    ASSERT_TRUE(read);
    ASSERT_EQ(read->countOfObjects(), f.layer->countOfObjects());
    for (int i = 0; i < read->countOfObjects(); ++i) {
        ASSERT_EQ(read->objectInObjectsAtIndex(i)->bounds(), f.layer->objectInObjectsAtIndex(i)->bounds()) << i;
        ASSERT_EQ(read->indexOfObject(read->objectInObjectsAtIndex(i).get()), i);
        ASSERT_EQ(read->objectInObjectsAtIndex(i)->container(), read.get());
    }
    // Hits named by their places in the stacking order.
    const auto places = [](const VXObjectOwnerLayer& layer, const QRectF& rect) {
        QList<int> found;
        for (VXDrawableObject* object : layer.objectsInRect(rect))
            found.append(layer.indexOfObject(object));
        return found;
    };
    for (int q = 0; q < 300; ++q) {
        const QRectF rect = randomRect(random, 1000, random.bounded(2) ? 40.0 : 600.0);
        ASSERT_EQ(places(*read, rect), places(*f.layer, rect)) << "query " << q;
    }
}

// A paste joins a filled layer in place, and objects moved to another layer and back are found
// only where they are, through the re-partitions each layer makes on the way. Filing them is the
// index's own business, beside the objects: a few bytes each, not a table entry apiece.
TEST(ObjectStorage, ObjectsPastedOrMovedBetweenLayersAreFoundOnlyWhereTheyAreAndCostTheIndexLittle)
{
    drawingtest::Fixture f({1000, 1000});
    auto other = std::make_shared<VXObjectDrawingLayer>();
    f.drawing->addLayer(other);
    QRandomGenerator random(20261211);
    const auto randomObjects = [&](int count) {
        QList<VXDrawableObjectPtr> objects;
        for (int i = 0; i < count; ++i)
            objects.append(randomObject(random, 1000));
        return objects;
    };
    const auto compare = [&](const char* stage) {
        for (const VXObjectOwnerLayer* layer : {f.layer.get(), other.get()})
            for (int q = 0; q < 200; ++q) {
                const QRectF rect = randomRect(random, 1000, random.bounded(2) ? 40.0 : 600.0);
                ASSERT_EQ(layer->objectsInRect(rect), scan(*layer, rect)) << stage << ", query " << q;
            }
    };

    f.layer->addObjectsFromArray(randomObjects(4000));
    const QList<VXDrawableObjectPtr> pasted = randomObjects(1500);
    f.layer->addObjectsFromArray(pasted); // under half the layer: joins the partition in place
    compare("pasted");
    other->addObjectsFromArray(pasted.mid(0, 1000)); // leave the first layer
    compare("moved");
    other->addObjectsFromArray(randomObjects(9000)); // the other layer re-partitions
    f.drawing->setDrawingSize({1400, 1200}); // the first re-partitions over the new page
    compare("re-partitioned");
    f.layer->addObjectsFromArray(pasted.mid(0, 500)); // back again
    for (int i = 0; i < 300; ++i)
        pasted[i]->setLocation({random.bounded(1200.0) - 100, random.bounded(1200.0) - 100});
    other->removeObjectsInArray(pasted.mid(500, 500));
    compare("back");

    VXBSPDirectObjectStorage storage;
    const QList<VXDrawableObjectPtr> filed = randomObjects(50'000);
    QList<int> indexes(filed.size());
    std::iota(indexes.begin(), indexes.end(), 0);
    const size_t before = mallinfo2().uordblks;
    storage.insertObjectsAtIndexes(filed, indexes);
    // The list of the objects takes 16 bytes each and the index's cells 8 and their slack.
    EXPECT_LT(double(mallinfo2().uordblks - before) / double(filed.size()), 48) << "bytes per object stored";
}
