#include "TestModel.h"

#include "platform/foundation/ZQAssert.h"

#include <QPointF>
#include <gtest/gtest.h>

TEST(KeyValueCoding, KeyPathsWalkPropertiesInvokableAccessorsLinksDictionariesAndLists)
{
    auto ann = makePerson("Ann", 30);
    auto bob = makePerson("Bob", 32);
    ann->setValueForKey(QStringLiteral("41"), "age"); // strings convert to the property's type
    EXPECT_EQ(ann->valueForKey("age").toInt(), 41);
    ann->setValueForKey(QStringLiteral("Annie"), "nickname");
    EXPECT_EQ(ann->valueForKey("nickname").toString(), "Annie");

    ann->setPartner(bob.get());
    ann->setInfo({{"address", QVariantMap{{"town", "Ely"}}}});
    EXPECT_EQ(ann->valueForKeyPath("partner.name").toString(), "Bob");
    EXPECT_EQ(ann->valueForKeyPath("partner.partner.name"), QVariant()); // null link answers null
    EXPECT_EQ(ann->valueForKeyPath("info.address.town").toString(), "Ely");
    ann->setValueForKeyPath(QStringLiteral("Robert"), "partner.name");
    EXPECT_EQ(bob->name(), "Robert");
    ann->setValueForKeyPath(QStringLiteral("ignored"), "partner.partner.name"); // through null: no effect
    EXPECT_EQ(ann->partner()->partner(), nullptr);
    ann->setValueForKey(QVariant::fromValue(static_cast<Person*>(nullptr)), "partner");
    EXPECT_EQ(ann->partner(), nullptr);
}

TEST(KeyValueCoding, UndefinedKeysGoToTheHooksAndUnhookedClassesRaise)
{
    auto ann = makePerson("Ann", 30);
    EXPECT_TRUE(platform::isNull(ann->valueForKey("height")));
    ann->setValueForKeyPath(172, "height");
    EXPECT_EQ(ann->valueForKey("height").toInt(), 172);
    ann->setValueForKey(platform::nullValue(), "age"); // null into an int goes to setNilValueForKey
    EXPECT_EQ(ann->age(), 0);

    ZQObject plain;
    EXPECT_THROW(plain.valueForKey("nothing"), platform::AssertionFailure);
    EXPECT_THROW(plain.setValueForKey(1, "nothing"), platform::AssertionFailure);
    EXPECT_THROW(plain.copy(), platform::AssertionFailure);
    EXPECT_THROW(ann->setValueForKey(QVariant::fromValue(QPointF(1, 2)), "age"), platform::AssertionFailure);
    // A value of the wrong class is refused for an object link.
    EXPECT_THROW(ann->setValueForKey(QVariant::fromValue(static_cast<QObject*>(&plain)), "partner"),
                 platform::AssertionFailure);

    // The markers are values distinct from null and from one another.
    EXPECT_TRUE(platform::isNull(platform::nullValue()) && platform::isNull(QVariant()));
    EXPECT_FALSE(platform::isNull(platform::multipleValuesMarker()));
    EXPECT_TRUE(platform::isMultipleValuesMarker(platform::multipleValuesMarker()));
    EXPECT_FALSE(platform::isMultipleValuesMarker(platform::notApplicableMarker()));
    EXPECT_TRUE(platform::isNotApplicableMarker(platform::notApplicableMarker()));
    EXPECT_NE(platform::multipleValuesMarker(), platform::notApplicableMarker());
}

TEST(Selectors, RespondPerformByNameWithConvertedArgumentsAndForwardToEveryTarget)
{
    auto ann = makePerson("Ann", 30);
    auto bob = makePerson("Bob", 32);
    EXPECT_TRUE(ann->respondsToSelector("addNumbers"));
    EXPECT_TRUE(ann->respondsToSelector("setName"));
    EXPECT_FALSE(ann->respondsToSelector("fly"));
    EXPECT_EQ(ann->performSelector("addNumbers", {QStringLiteral("2"), 3.5}).toInt(), 5);
    QObject sender;
    ann->performSelector("greet", {QVariant::fromValue(&sender)});
    EXPECT_EQ(ann->lastSender, &sender);
    EXPECT_THROW(ann->performSelector("fly"), platform::AssertionFailure);
    EXPECT_THROW(ann->performSelector("addNumbers", {1}), platform::AssertionFailure); // wrong arity

    // A container passes what it does not implement to its selected children.
    class Container : public ZQObject {
    public:
        QList<QObject*> selected;
        QList<QObject*> forwardingTargetsForSelector(const QByteArray&) const override { return selected; }
    } container;
    container.selected = {ann.get(), bob.get()};
    EXPECT_TRUE(container.respondsToSelector("setNickname"));
    container.performSelector("setNickname", {QStringLiteral("friend")});
    EXPECT_EQ(ann->nickname(), "friend");
    EXPECT_EQ(bob->nickname(), "friend");
    EXPECT_THROW(container.performSelector("fly"), platform::AssertionFailure);
}
