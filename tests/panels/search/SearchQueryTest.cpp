#include "panels/search/MPSearchQuery.h"

#include "SearchTesting.h"
#include "platform/foundation/KeyedArchiver.h"
#include "platform/foundation/KeyedUnarchiver.h"
#include "support/ArchiveTesting.h"
#include "support/LogCapture.h"

#include <gtest/gtest.h>

namespace {

using searchtest::Probe;

std::shared_ptr<Probe> box(double width, double height)
{
    return std::make_shared<Probe>(QVariantMap{{QStringLiteral("Width"), width}, {QStringLiteral("Height"), height}});
}

MPSearchCriterionPtr greaterThan(const QString& key, double value)
{
    return MPSearchCriterion::criterionWithFloatMatchKindIdentifier(value, kMPIsGreaterThan, key);
}

TEST(SearchQuery, MatchModesAndEmptyQueries)
{
    const auto object = box(5, 20);
    MPSearchQuery query;
    // Without criteria: everything in "all", nothing in "any"; the finds return nothing.
    EXPECT_TRUE(query.queryMatchesObject(object.get()));
    query.setMatchMode(kMPMatchAny);
    EXPECT_FALSE(query.queryMatchesObject(object.get()));
    EXPECT_TRUE(query.findAllMatchingObjects(QList<ZQObjectPtr>{object}).isEmpty());
    EXPECT_EQ(query.findNextMatchingObjectIn(QList<ZQObjectPtr>{object}), nullptr);

    query.addCriterion(greaterThan(QStringLiteral("Width"), 10));
    EXPECT_EQ(query.addCriterion(greaterThan(QStringLiteral("Height"), 10)), 1);
    EXPECT_TRUE(query.queryMatchesObject(object.get()));
    query.setMatchMode(kMPMatchAll);
    EXPECT_FALSE(query.queryMatchesObject(object.get()));
    EXPECT_FALSE(query.queryMatchesObject(nullptr));

    query.removeCriterion(query.criterionAtIndex(0).get());
    EXPECT_EQ(query.criteriaCount(), 1);
    query.removeCriterionAtIndex(5);
    EXPECT_EQ(query.criteriaCount(), 1);
}

TEST(SearchQuery, FindAllFollowsTheSearchMode)
{
    const QList<ZQObjectPtr> objects{box(1, 0), box(20, 0), box(3, 0), box(30, 0)};
    MPSearchQuery query;
    query.addCriterion(greaterThan(QStringLiteral("Width"), 10));
    EXPECT_EQ(query.findAllMatchingObjects(objects), (QList<ZQObjectPtr>{objects[1], objects[3]}));
    query.setSearchMode(kMPFindFirst);
    EXPECT_EQ(query.findAllMatchingObjects(objects), QList<ZQObjectPtr>{objects[1]});
    EXPECT_EQ(query.foundObjectIndex(), 1);
    query.setSearchMode(kMPFindLast);
    EXPECT_EQ(query.findAllMatchingObjects(objects), QList<ZQObjectPtr>{objects[3]});
    EXPECT_EQ(query.foundObjectIndex(), 3);
    query.setSearchMode(7); // unknown modes find all
    EXPECT_EQ(query.findAllMatchingObjects(objects).size(), 2);
}

TEST(SearchQuery, FindAllAmongCandidatesCountsOnlyThem)
{
    const QList<ZQObjectPtr> objects{box(20, 1), box(30, 0), box(3, 1), box(40, 1), box(50, 0)};
    const auto candidate = [](const ZQObjectPtr& object) {
        return static_cast<const Probe*>(object.get())->values.value(QStringLiteral("Height")).toInt() == 1;
    };
    MPSearchQuery query;
    EXPECT_TRUE(query.findAllMatchingObjects(objects, candidate).isEmpty()); // no criteria
    query.addCriterion(greaterThan(QStringLiteral("Width"), 10));
    EXPECT_EQ(query.findAllMatchingObjects(objects, candidate), (QList<ZQObjectPtr>{objects[0], objects[3]}));
    // The cursor is an index among the candidates, as if only they had been given.
    query.setSearchMode(kMPFindFirst);
    EXPECT_EQ(query.findAllMatchingObjects(objects, candidate), QList<ZQObjectPtr>{objects[0]});
    EXPECT_EQ(query.foundObjectIndex(), 0);
    query.setSearchMode(kMPFindLast);
    EXPECT_EQ(query.findAllMatchingObjects(objects, candidate), QList<ZQObjectPtr>{objects[3]});
    EXPECT_EQ(query.foundObjectIndex(), 2);
    EXPECT_TRUE(query.findAllMatchingObjects(objects, [](const ZQObjectPtr&) { return false; }).isEmpty());
}

TEST(SearchQuery, IncrementalFindsWrapOnlyWhenAllowed)
{
    const QList<ZQObjectPtr> objects{box(1, 0), box(20, 0), box(3, 0)};
    MPSearchQuery query;
    query.addCriterion(greaterThan(QStringLiteral("Width"), 10));
    EXPECT_EQ(query.findPrevMatchingObjectIn(objects), objects[1]);
    EXPECT_EQ(query.findPrevMatchingObjectIn(objects), objects[1]); // wrapped round to the lone match
    query.setWraps(false);
    EXPECT_EQ(query.findPrevMatchingObjectIn(objects), nullptr);

    query.reset();
    EXPECT_EQ(query.findNextMatchingObjectIn(objects), objects[1]);
    EXPECT_EQ(query.findNextMatchingObjectIn(objects), nullptr);
    query.setWraps(true);
    EXPECT_EQ(query.findNextMatchingObjectIn(objects), objects[1]);
    EXPECT_EQ(query.foundObjectIndex(), 1);
    // A cursor left beyond a shorter list does not reach outside it.
    EXPECT_EQ(query.findNextMatchingObjectIn(QList<ZQObjectPtr>{objects[0]}), nullptr);
}

TEST(SearchQuery, TextSearchStepsPastMatchesAndWraps)
{
    const auto query = MPSearchQuery::searchQueryForTextContainingString(QStringLiteral("a"));
    const QString text = QStringLiteral("aab a");
    // The step past each match skips the one right after it.
    EXPECT_EQ(query->findNextMatchInText(text), (SearchRange{0, 1}));
    EXPECT_EQ(query->findNextMatchInText(text), (SearchRange{4, 1}));
    // That match ends the text: the next search starts past the end, finds nothing there
    // and wraps to the start.
    EXPECT_EQ(query->findNextMatchInText(text), (SearchRange{0, 1}));
    query->setWraps(false);
    query->findNextMatchInText(text);
    EXPECT_EQ(query->findNextMatchInText(text).location, kSearchNotFound);

    EXPECT_EQ(query->queryMatchesTextSearchingFrom(text, 99).location, kSearchNotFound);
    EXPECT_EQ(query->queryMatchesTextSearchingFrom(QString(), 0).location, kSearchNotFound);
    query->setSearchMode(kMPFindAll);
    EXPECT_EQ(query->queryMatchesTextSearchingFrom(text, 0).location, kSearchNotFound);
}

TEST(SearchQuery, ReadableDescriptionsNameEachPropertyOnce)
{
    MPSearchQuery area;
    area.addCriterion(MPSearchCriterion::criterionWithStringMatchKindIdentifier(QStringLiteral("10"), kMPIsGreaterThan, QStringLiteral("Area")));
    area.addCriterion(MPSearchCriterion::criterionWithStringMatchKindIdentifier(QStringLiteral("20"), kMPIsLessThan, QStringLiteral("Area")));
    EXPECT_EQ(area.userReadableDescription(), QStringLiteral(" Area > '10' and < '20'"));
    area.setMatchMode(kMPMatchAny);
    area.addCriterion(MPSearchCriterion::criterionWithIntegerMatchKindIdentifier(3, kMPIsEqualTo, QStringLiteral("Lanes")));
    area.addCriterion(MPSearchCriterion::criterionWithFloatMatchKindIdentifier(0.25, kMPIsGreaterThan, QStringLiteral("BIR74")));
    // Numbers are quoted as text is.
    EXPECT_EQ(area.userReadableDescription(), QStringLiteral(" Area > '10' or < '20' or Lanes is '3' or BIR74 > '0.25'"));
    EXPECT_EQ(MPSearchQuery::searchQueryForObjectsContainingString(QStringLiteral("x"))->userReadableDescription(),
              QStringLiteral(" stringValue: contains 'x'"));
    const QString log = area.description();
    EXPECT_TRUE(log.contains(QStringLiteral(", match mode = 1; 4 criteria = \n\t1. ")));
    EXPECT_TRUE(log.contains(QStringLiteral("type = 3, matchkind = 1 (' >'), value = 10, identifier = Area")));
    EXPECT_TRUE(log.endsWith(QStringLiteral("identifier = BIR74\n")));
}

TEST(SearchQuery, OptionsAndDataTypes)
{
    MPSearchQuery query;
    EXPECT_FALSE(query.auxiliaryDataBooleanValueForKey(kVXQSearchAllLayersOption));
    EXPECT_EQ(query.auxiliaryDataIntegerValueForKey(QStringLiteral("n")), 0);
    query.setAuxiliaryDataBooleanValueForKey(true, kVXQSearchAllLayersOption);
    query.setAuxiliaryDataFloatValueForKey(0.25f, QStringLiteral("f"));
    query.setAuxiliaryDataIntegerValueForKey(-7, QStringLiteral("n"));
    EXPECT_TRUE(query.auxiliaryDataBooleanValueForKey(kVXQSearchAllLayersOption));
    EXPECT_FLOAT_EQ(query.auxiliaryDataFloatValueForKey(QStringLiteral("f")), 0.25f);
    EXPECT_EQ(query.auxiliaryDataIntegerValueForKey(QStringLiteral("n")), -7);

    EXPECT_EQ(MPSearchQuery::dataTypeForObject(QVariant()), -1);
    EXPECT_EQ(MPSearchQuery::dataTypeForObject(QStringLiteral("a")), kMPStringType);
    EXPECT_EQ(MPSearchQuery::dataTypeForObject(qint64(3)), kMPIntegerType);
    EXPECT_EQ(MPSearchQuery::dataTypeForObject(3.5), kMPFloatType);
    EXPECT_EQ(MPSearchQuery::dataTypeForObject(true), kMPBooleanType);
    EXPECT_EQ(MPSearchQuery::dataTypeForObject(3.5f), -1);
    EXPECT_EQ(MPSearchQuery::dataTypeForObject(QDateTime::currentDateTimeUtc()), kMPDateType);
    EXPECT_EQ(MPSearchQuery::dataTypeForObject(QVariant::fromValue(SearchIndexSet(2))), kMPSetType);
    EXPECT_EQ(MPSearchQuery::dataTypeForObject(QVariant::fromValue<ZQObjectPtr>(std::make_shared<Probe>())), kMPObjectType);
}

TEST(SearchQuery, CopiesAndArchivesKeepTheQuery)
{
    MPSearchQuery query;
    query.setMatchMode(kMPMatchAny);
    query.setSearchMode(kMPFindLast);
    query.setWraps(false);
    query.addCriterion(greaterThan(QStringLiteral("Width"), 10));
    query.addCriterion(MPSearchCriterion::criterionWithStringMatchKindIdentifier(QStringLiteral("Mill"), kMPSoundsLike, QStringLiteral("NAME")));
    query.setAuxiliaryDataBooleanValueForKey(true, kVXQSearchAllLayersOption);
    query.findAllMatchingObjects(QList<ZQObjectPtr>{box(20, 0)});

    for (const auto& other : {query.copyQuery(), testsupport::roundTrip<MPSearchQuery>(query)}) {
        ASSERT_TRUE(other);
        EXPECT_EQ(other->matchMode(), kMPMatchAny);
        EXPECT_EQ(other->searchMode(), kMPFindLast);
        EXPECT_FALSE(other->wraps());
        EXPECT_EQ(other->foundObjectIndex(), -1);
        EXPECT_EQ(other->userReadableDescription(), query.userReadableDescription());
        EXPECT_TRUE(other->auxiliaryDataBooleanValueForKey(kVXQSearchAllLayersOption));
        ASSERT_EQ(other->criteriaCount(), 2);
        EXPECT_NE(other->criterionAtIndex(0), query.criterionAtIndex(0));
        EXPECT_TRUE(other->queryMatchesObject(std::make_shared<Probe>(QVariantMap{{"NAME", "Hill"}}).get()));
    }
    // A query without criteria or options archives neither.
    const auto empty = testsupport::roundTrip<MPSearchQuery>(MPSearchQuery());
    ASSERT_TRUE(empty);
    EXPECT_EQ(empty->criteriaCount(), 0);
    EXPECT_EQ(empty->searchMode(), kMPFindAll);
    EXPECT_TRUE(empty->wraps());
}

TEST(SearchQuery, DecodingSkipsCriteriaOfTheWrongKind)
{
    // A criteria list holding a query: the query is skipped with a log line.
    testsupport::ArchiveStub stub;
    stub.values = {{QStringLiteral("mp_sq_searchmode"), 1}, {QStringLiteral("mp_sq_wraps"), true}};
    auto list = std::make_shared<MPSearchQuery>();
    list->addCriterion(greaterThan(QStringLiteral("Width"), 1));
    stub.objects = {{QStringLiteral("mp_sq_criteria"), list}};
    testsupport::LogCapture log;
    const auto decoded = std::dynamic_pointer_cast<MPSearchQuery>(
        platform::KeyedUnarchiver::unarchiveObjectWithData(stub.archiveAs(QStringLiteral("MPSearchQuery"))));
    ASSERT_TRUE(decoded);
    EXPECT_EQ(decoded->criteriaCount(), 0);
    EXPECT_TRUE(decoded->wraps());
}

} // namespace
