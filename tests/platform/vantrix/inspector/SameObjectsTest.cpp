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

TEST(SameObjectsTest, OnlyTheSameObjectsInAnyOrderAgree)
{
    const QList<ZQObjectPtr> objects = makeObjects(1000);
    QList<ZQObjectPtr> reversed(objects.crbegin(), objects.crend());
    EXPECT_TRUE(platform::sameObjects(objects, QList<ZQObjectPtr>(objects.begin(), objects.end())));
    EXPECT_TRUE(platform::sameObjects(objects, reversed));
    // Copies of as many objects, as a paste makes them; one fewer; one other, anywhere.
    EXPECT_FALSE(platform::sameObjects(objects, makeObjects(1000)));
    EXPECT_FALSE(platform::sameObjects(objects, objects.first(999)));
    for (qsizetype at : {0, 500, 999}) {
        QList<ZQObjectPtr> oneReplaced = reversed;
        oneReplaced[at] = std::make_shared<ZQObject>();
        EXPECT_FALSE(platform::sameObjects(objects, oneReplaced)) << at;
    }
    // An object twice in place of another.
    EXPECT_FALSE(platform::sameObjects(objects.first(3), QList<ZQObjectPtr>{objects[1], objects[0], objects[0]}));
}

} // namespace
