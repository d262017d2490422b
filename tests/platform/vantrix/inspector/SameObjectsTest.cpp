#include "platform/vantrix/inspector/SameObjects.h"

#include "platform/foundation/ZQObject.h"

#include <gtest/gtest.h>

namespace {

QList<ZQObjectPtr> makeObjects(int count)
{
    QList<ZQObjectPtr> objects;
    for (int i = 0; i < count; ++i)
        objects.append(std::make_shared<ZQObject>());
    return objects;
}

QList<ZQObjectPtr> reversed(QList<ZQObjectPtr> objects)
{
    std::reverse(objects.begin(), objects.end());
    return objects;
}

TEST(SameObjectsTest, ListsOfTheSameObjectsAgreeInAnyOrder)
{
    const QList<ZQObjectPtr> objects = makeObjects(1000);
    EXPECT_TRUE(platform::sameObjects(objects, objects));
    EXPECT_TRUE(platform::sameObjects(objects, QList<ZQObjectPtr>(objects.begin(), objects.end())));
    EXPECT_TRUE(platform::sameObjects(objects, reversed(objects)));
    QList<ZQObjectPtr> tailSwapped = objects;
    tailSwapped.swapItemsAt(998, 999);
    EXPECT_TRUE(platform::sameObjects(objects, tailSwapped));
    EXPECT_TRUE(platform::sameObjects(QList<ZQObjectPtr>(), QList<ZQObjectPtr>()));
}

TEST(SameObjectsTest, ListsOfOtherObjectsDiffer)
{
    const QList<ZQObjectPtr> objects = makeObjects(1000);
    // Copies of as many objects, as a paste makes them.
    EXPECT_FALSE(platform::sameObjects(objects, makeObjects(1000)));
    EXPECT_FALSE(platform::sameObjects(objects, objects.first(999)));
    EXPECT_FALSE(platform::sameObjects(QList<ZQObjectPtr>(), objects.first(1)));
    for (qsizetype at : {qsizetype(0), qsizetype(500), qsizetype(999)}) {
        QList<ZQObjectPtr> oneReplaced = objects;
        oneReplaced[at] = std::make_shared<ZQObject>();
        EXPECT_FALSE(platform::sameObjects(objects, oneReplaced)) << at;
        EXPECT_FALSE(platform::sameObjects(reversed(oneReplaced), objects)) << at;
    }
}

TEST(SameObjectsTest, AnObjectTwiceInPlaceOfAnotherDiffers)
{
    const QList<ZQObjectPtr> objects = makeObjects(3);
    EXPECT_FALSE(platform::sameObjects(objects, QList<ZQObjectPtr>{objects[1], objects[0], objects[0]}));
    EXPECT_FALSE(platform::sameObjects(QList<ZQObjectPtr>{objects[2], objects[2], objects[1]}, objects));
}

} // namespace
