#include "platform/foundation/KeyedArchiver.h"
#include "platform/foundation/Predicate.h"
#include "TestModel.h"

#include <gtest/gtest.h>

using platform::Predicate;
using platform::PredicatePtr;
using Op = Predicate::Operator;

namespace {

constexpr int kCD = Predicate::CaseInsensitive | Predicate::DiacriticInsensitive;

bool matches(const PredicatePtr& predicate, const QString& name, int age = 30)
{
    return predicate->evaluateWithObject(*makePerson(name, age));
}

} // namespace

TEST(PredicateTest, StoredKeyPathsReadPropertiesAndNeverCallMethods)
{
    const auto person = makePerson("Ann", 30);
    person->setNickname("Al");
    const auto partner = makePerson("Bob", 40);
    person->setPartner(partner.get());
    const auto stored = [](const char* keyPath, const QVariant& value) {
        return Predicate::fromArchiveData(Predicate::comparison(keyPath, Op::Equal, value)->archiveData());
    };
    EXPECT_TRUE(stored("partner.name", "Bob")->evaluateWithObject(*person));
    EXPECT_TRUE(stored("partner.age", 40)->evaluateWithObject(*person));
    // An invokable getter is a method all the same: a stored predicate leaves it uncalled.
    EXPECT_FALSE(stored("nickname", "Al")->evaluateWithObject(*person));
}

TEST(PredicateTest, StringOperatorsHonourCaseAndDiacriticOptions)
{
    EXPECT_TRUE(matches(Predicate::comparison("name", Op::Contains, "oad"), "Main Road"));
    EXPECT_FALSE(matches(Predicate::comparison("name", Op::Contains, "ROAD"), "Main Road"));
    EXPECT_TRUE(matches(Predicate::comparison("name", Op::Contains, "ROAD", Predicate::CaseInsensitive), "Main Road"));
    EXPECT_FALSE(matches(Predicate::comparison("name", Op::BeginsWith, "cafe", Predicate::CaseInsensitive), "Café Nord"));
    EXPECT_TRUE(matches(Predicate::comparison("name", Op::BeginsWith, "cafe", kCD), "Café Nord"));
    EXPECT_TRUE(matches(Predicate::comparison("name", Op::EndsWith, "NORD", kCD), "Café Nord"));
    // Marks are stripped from the searched-for text as from the names, whichever is plain ASCII.
    EXPECT_TRUE(matches(Predicate::comparison("name", Op::Contains, "CAFÉ", kCD), "cafe nord"));
    EXPECT_FALSE(matches(Predicate::comparison("name", Op::Contains, "CAFÉ", Predicate::CaseInsensitive), "cafe nord"));
    EXPECT_TRUE(matches(Predicate::comparison("name", Op::Equal, "café nord", Predicate::CaseInsensitive), "Café Nord"));
    // LIKE: only * and ? are wildcards; brackets and dots are literal.
    const auto like = Predicate::comparison("name", Op::Like, "R?ad*[1].x");
    EXPECT_TRUE(matches(like, "Road 7[1].x"));
    EXPECT_FALSE(matches(like, "Road 71.x"));
    EXPECT_FALSE(matches(like, "Rooad[1].x"));
}

TEST(PredicateTest, NumbersCompareByValueAndMissingKeysMatchNothing)
{
    EXPECT_TRUE(matches(Predicate::comparison("age", Op::Equal, 30.0), "Ann", 30));
    EXPECT_TRUE(matches(Predicate::comparison("age", Op::Equal, qint64(30)), "Ann", 30));
    EXPECT_FALSE(matches(Predicate::comparison("age", Op::Equal, 31), "Ann", 30));
    EXPECT_FALSE(matches(Predicate::comparison("noSuchKey", Op::Equal, 1), "Ann"));
    EXPECT_FALSE(matches(Predicate::comparison("noSuchKey", Op::Contains, "x"), "Ann"));
    EXPECT_TRUE(matches(Predicate::comparison("partner", Op::Equal, QVariant()), "Ann"));
}

TEST(PredicateTest, CompoundsCombineAndEmptyOnesAreNeutral)
{
    const auto ann = Predicate::comparison("name", Op::Equal, "Ann");
    const auto old = Predicate::comparison("age", Op::Equal, 70);
    EXPECT_TRUE(matches(Predicate::orPredicate({ann, old}), "Ann", 20));
    EXPECT_FALSE(matches(Predicate::andPredicate({ann, old}), "Ann", 20));
    EXPECT_TRUE(matches(Predicate::andPredicate({ann, old}), "Ann", 70));
    EXPECT_TRUE(matches(Predicate::andPredicate({}), "Bob"));
    EXPECT_FALSE(matches(Predicate::orPredicate({}), "Bob"));
}

TEST(PredicateTest, FormatsReadAsConditions)
{
    const auto styles = Predicate::comparison("classCode", Op::Equal, 1);
    EXPECT_EQ(styles->predicateFormat(), "classCode == 1");
    const auto name = Predicate::comparison("name", Op::Contains, "Say \"hi\"", kCD);
    EXPECT_EQ(name->predicateFormat(), "name CONTAINS[cd] \"Say \\\"hi\\\"\"");
    const auto both = Predicate::andPredicate({styles, Predicate::orPredicate({name, styles})});
    EXPECT_EQ(both->predicateFormat(), "classCode == 1 AND (name CONTAINS[cd] \"Say \\\"hi\\\"\" OR classCode == 1)");
}

TEST(PredicateTest, ArchiveRoundTripKeepsEqualityAndDamageGivesNone)
{
    const auto original = Predicate::orPredicate({Predicate::comparison("name", Op::Like, "R*", kCD),
                                                   Predicate::andPredicate({Predicate::comparison("classCode", Op::Equal, 2),
                                                                            Predicate::comparison("locked", Op::Equal, true)})});
    const QByteArray data = original->archiveData();
    const PredicatePtr back = Predicate::fromArchiveData(data);
    ASSERT_TRUE(back);
    EXPECT_TRUE(back->isEqualTo(*original));
    EXPECT_TRUE(back->evaluateWithObject(*makePerson(QStringLiteral("rôad"), 30)));
    EXPECT_EQ(back->predicateFormat(), original->predicateFormat());
    EXPECT_FALSE(back->isEqualTo(*Predicate::comparison("name", Op::Like, "R*")));

    EXPECT_FALSE(Predicate::fromArchiveData({}));
    EXPECT_FALSE(Predicate::fromArchiveData(data.left(data.size() / 2)));
    EXPECT_FALSE(Predicate::fromArchiveData("not an archive"));
    // An archive of another class is no predicate.
    EXPECT_FALSE(Predicate::fromArchiveData(platform::KeyedArchiver::archivedDataWithRootObject(makePerson("Ann", 1).get())));
}
