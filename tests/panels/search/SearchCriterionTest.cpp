#include "panels/search/MPSearchCriterion.h"

#include "SearchTesting.h"
#include "platform/foundation/KeyedUnarchiver.h"
#include "platform/vantrix/drawables/VXDrawablePath.h"
#include "platform/vantrix/drawables/VXDrawableShape.h"
#include "platform/vantrix/styles/VXStyle.h"
#include "support/ArchiveTesting.h"

#include <gtest/gtest.h>
#include <cmath>

namespace {

using searchtest::probe;

const QString kKey = QStringLiteral("value");

bool matches(MPSearchCriterion& criterion, const QVariant& value)
{
    return criterion.testForMatchWithObject(probe(kKey, value).get());
}

TEST(SearchCriterion, FloatAndIntegerComparisons)
{
    const auto equal = MPSearchCriterion::criterionWithFloatMatchKindIdentifier(1.0, kMPIsEqualTo, kKey);
    EXPECT_TRUE(matches(*equal, 1.005));
    EXPECT_TRUE(matches(*equal, 0.995));
    EXPECT_FALSE(matches(*equal, 1.02));
    const auto notEqual = MPSearchCriterion::criterionWithFloatMatchKindIdentifier(1.0, kMPIsNotEqualTo, kKey);
    EXPECT_FALSE(matches(*notEqual, 1.005));
    EXPECT_FALSE(matches(*notEqual, 1.0));
    EXPECT_TRUE(matches(*notEqual, 1.02));
    const auto greater = MPSearchCriterion::criterionWithFloatMatchKindIdentifier(10, kMPIsGreaterThan, kKey);
    EXPECT_TRUE(matches(*greater, qint64(11)));
    EXPECT_FALSE(matches(*greater, std::nan("")));
    EXPECT_FALSE(matches(*greater, QStringLiteral("20"))); // a text is not a number

    const auto atLeast = MPSearchCriterion::criterionWithIntegerMatchKindIdentifier(-3, kMPIsEqualToOrGreaterThan, kKey);
    EXPECT_TRUE(matches(*atLeast, -3));
    EXPECT_FALSE(matches(*atLeast, -4));
    EXPECT_TRUE(matches(*atLeast, 2.9)); // read as a whole number
    EXPECT_TRUE(matches(*atLeast, std::nan(""))); // reads 0, never throws
    EXPECT_FALSE(matches(*atLeast, -1e30)); // saturates low
    EXPECT_TRUE(matches(*atLeast, true));
}

TEST(SearchCriterion, FloatEqualityIsAsFineAsTheValuesDecimalsAndNotEqualIsItsComplement)
{
    // Areas as a county file holds them: two equal 0.114, their neighbours differ in the third decimal.
    const QList<double> areas{0.114, 0.114, 0.11351, 0.11449, 0.115, 0.113, 0.118, 0.104, 0.124, 0.06, std::nan("")};
    const auto equal = MPSearchCriterion::criterionWithFloatMatchKindIdentifier(0.114, kMPIsEqualTo, kKey);
    const auto notEqual = MPSearchCriterion::criterionWithFloatMatchKindIdentifier(0.114, kMPIsNotEqualTo, kKey);
    EXPECT_DOUBLE_EQ(equal->equalityTolerance(), 0.0005);
    int equalCount = 0;
    for (double area : areas) {
        const bool isEqual = matches(*equal, area);
        EXPECT_NE(isEqual, matches(*notEqual, area)) << area;
        equalCount += isEqual;
    }
    EXPECT_EQ(equalCount, 4); // 0.114 twice, 0.11351 and 0.11449 round to it; 0.115 and 0.113 do not

    // Whole and large values keep the stored tolerance; a value with more decimals narrows it.
    EXPECT_DOUBLE_EQ(MPSearchCriterion::criterionWithFloatMatchKindIdentifier(1200, kMPIsEqualTo, kKey)->equalityTolerance(), 0.01);
    EXPECT_DOUBLE_EQ(MPSearchCriterion::criterionWithFloatMatchKindIdentifier(-2.5e-7, kMPIsEqualTo, kKey)->equalityTolerance(),
                     0.5e-8);
    // A tolerance set narrower ("0.10" typed) is kept through an archive; a wider one is not.
    const auto typed = MPSearchCriterion::criterionWithFloatMatchKindIdentifier(0.1, kMPIsEqualTo, kKey);
    typed->setEpsilon(MPSearchCriterion::toleranceForDecimals(2));
    EXPECT_FALSE(matches(*typed, 0.106));
    EXPECT_TRUE(matches(*typed, 0.104));
    const auto decoded = testsupport::roundTrip<MPSearchCriterion>(*typed);
    ASSERT_TRUE(decoded);
    EXPECT_DOUBLE_EQ(decoded->equalityTolerance(), 0.005);
}

TEST(SearchCriterion, StringKindsWithAndWithoutCase)
{
    const auto equal = MPSearchCriterion::criterionWithStringMatchKindIdentifier(QStringLiteral("road"), kMPIsEqualTo, kKey);
    EXPECT_TRUE(matches(*equal, QStringLiteral("Road")));
    EXPECT_FALSE(matches(*equal, QStringLiteral("Roads")));
    equal->setIgnoresCase(false);
    EXPECT_FALSE(matches(*equal, QStringLiteral("Road")));

    const auto starts = MPSearchCriterion::criterionWithStringMatchKindIdentifier(QStringLiteral("ro"), kMPStartsWith, kKey);
    EXPECT_TRUE(matches(*starts, QStringLiteral("Road")));
    EXPECT_FALSE(matches(*starts, QStringLiteral("Hiro")));
    EXPECT_EQ(starts->lastMatchingStringRange(), (SearchRange{0, 2}));

    const auto ends = MPSearchCriterion::criterionWithStringMatchKindIdentifier(QStringLiteral("ad"), kMPEndsWith, kKey);
    EXPECT_TRUE(matches(*ends, QStringLiteral("Road")));
    EXPECT_EQ(ends->lastMatchingStringRange(), (SearchRange{2, 2}));
    ends->setObjectValue(QStringLiteral("the road"));
    EXPECT_FALSE(matches(*ends, QStringLiteral("road")));

    const auto contains = MPSearchCriterion::criterionWithStringMatchKindIdentifier(QString(), kMPContains, kKey);
    contains->setObjectValue(QStringLiteral(""));
    const auto lacks = MPSearchCriterion::criterionWithStringMatchKindIdentifier(QStringLiteral(""), kMPDoesNotContain, kKey);
    for (const QString& text : {QStringLiteral(""), QStringLiteral("anything")}) {
        EXPECT_FALSE(matches(*contains, text)) << qPrintable(text);
        EXPECT_TRUE(matches(*lacks, text)) << qPrintable(text);
    }

    const auto soundsLike = MPSearchCriterion::criterionWithStringMatchKindIdentifier(QStringLiteral("Smyth"), kMPSoundsLike, kKey);
    EXPECT_TRUE(matches(*soundsLike, QStringLiteral("Smith")));
    EXPECT_FALSE(matches(*soundsLike, QStringLiteral("Jones")));
    EXPECT_EQ(soundsLike->lastMatchingStringRange().location, kSearchNotFound);
    // A new value is coded afresh, not compared as the old one.
    soundsLike->setObjectValue(QStringLiteral("Jonas"));
    EXPECT_FALSE(matches(*soundsLike, QStringLiteral("Smith")));
    EXPECT_TRUE(matches(*soundsLike, QStringLiteral("Jones")));

    // From a start index; a start past the end finds nothing, whatever the kind.
    EXPECT_TRUE(contains->stringMatchSearchingFrom(QStringLiteral("ab"), 2) == false);
    EXPECT_FALSE(lacks->stringMatchSearchingFrom(QStringLiteral("ab"), 3));
    starts->setObjectValue(QStringLiteral("b"));
    EXPECT_TRUE(starts->stringMatchSearchingFrom(QStringLiteral("ab"), 1));
}

TEST(SearchCriterion, TextTestsFoldCaseAsQtDoesAndFollowValueChanges)
{
    // Accented, Greek and supplementary-plane letters (a surrogate pair each) fold as in any
    // case-insensitive search of a text.
    const QString deseretUpper = QString::fromUcs4(U"\U00010400\U00010401"), deseretLower = QString::fromUcs4(U"\U00010428\U00010429");
    const QList<std::pair<QString, QString>> cases = {
        {QStringLiteral("Großer ÄRGER am Fluss"), QStringLiteral("ärger")},
        {QStringLiteral("STRASSE"), QStringLiteral("straße")},
        {QStringLiteral("ΣΊΣΥΦΟΣ"), QStringLiteral("σίσυφος")},
        {QStringLiteral("x") + deseretUpper + QStringLiteral("y"), deseretLower},
        {deseretLower, deseretUpper.left(1)},
        {QStringLiteral(" Millbrook Farm 7 settlement"), QStringLiteral("MILLBROOK")},
        {QStringLiteral("mill"), QStringLiteral("millbrook")},
    };
    const auto contains = MPSearchCriterion::criterionWithStringMatchKindIdentifier(QString(), kMPContains, kKey);
    for (const auto& [text, value] : cases) {
        contains->setObjectValue(value);
        EXPECT_EQ(matches(*contains, text), text.contains(value, Qt::CaseInsensitive)) << qPrintable(text);
    }

    // The same criterion after its case rule or value changed between two objects.
    contains->setObjectValue(QStringLiteral("abc"));
    EXPECT_TRUE(matches(*contains, QStringLiteral("xABCx")));
    contains->setIgnoresCase(false);
    EXPECT_FALSE(matches(*contains, QStringLiteral("xABCx")));
    EXPECT_TRUE(matches(*contains, QStringLiteral("xabcx")));
    contains->setObjectValue(QStringLiteral("xa"));
    EXPECT_TRUE(matches(*contains, QStringLiteral("xabcx")));
    EXPECT_EQ(contains->lastMatchingStringRange(), (SearchRange{0, 2}));
}

TEST(SearchCriterion, OneKeyReadFromObjectsOfManyClasses)
{
    // Properties, attributes and dotted paths, on objects whose classes alternate.
    auto wide = VXDrawableShape::drawableShapeWithRect({0, 0, 20, 5}, VXStyle::styleWithFillColourStrokeColour(Qt::red, Qt::black));
    auto narrow = VXDrawablePath::drawablePathWithBezierPathWithStyle(
        platform::BezierPath::bezierPathWithRect({0, 0, 5, 30}), VXStyle::styleWithFillColourStrokeColour(Qt::red, Qt::black));
    narrow->style()->setName(QStringLiteral("Lane"));
    wide->setMetadataItemValueForKey(qint64(12), QStringLiteral("width"));
    const auto stranger = searchtest::probe(QStringLiteral("searchableWidth"), 50.0);
    const QList<const ZQObject*> objects{wide.get(), narrow.get(), stranger.get(), wide.get(), narrow.get()};
    const auto results = [&objects](MPSearchCriterion& criterion) {
        QList<bool> found;
        for (const ZQObject* object : objects)
            found.append(criterion.testForMatchWithObject(object));
        return found;
    };

    const auto size = MPSearchCriterion::criterionWithFloatMatchKindIdentifier(10, kMPIsGreaterThan, "searchableWidth");
    EXPECT_EQ(results(*size), (QList<bool>{true, false, true, true, false}));
    size->setIdentifier(QStringLiteral("searchableHeight"));
    EXPECT_EQ(results(*size), (QList<bool>{false, true, false, false, true}));
    // An attribute, not the framework's width: a missing one reads as the null object.
    size->setIdentifier(QStringLiteral("WIDTH"));
    EXPECT_EQ(results(*size), (QList<bool>{true, false, false, true, false}));

    const auto styleName = MPSearchCriterion::criterionWithStringMatchKindIdentifier("lane", kMPIsEqualTo, "style.name");
    EXPECT_EQ(results(*styleName), (QList<bool>{false, true, false, false, true}));
    const auto copy = std::static_pointer_cast<MPSearchCriterion>(styleName->copy());
    copy->setIdentifier(QStringLiteral("searchableString"));
    copy->setMatchKind(kMPContains);
    copy->setObjectValue(QStringLiteral("12"));
    EXPECT_EQ(results(*copy), (QList<bool>{true, false, false, true, false}));
    EXPECT_EQ(results(*styleName), (QList<bool>{false, true, false, false, true}));
}

TEST(SearchCriterion, SearchableTextOfDrawablesOfEveryClassAndOfOtherObjects)
{
    // A drawable class of its own text, unknown to the property system.
    class Signpost : public VXDrawableShape {
    public:
        QString searchableString() const override { return QStringLiteral("Signpost") + VXDrawableShape::searchableString(); }
    };
    const VXStylePtr style = VXStyle::styleWithFillColourStrokeColour(Qt::red, Qt::black);
    const auto sign = std::make_shared<Signpost>();
    sign->setStyle(style);
    sign->setMetadataItemValueForKey(QStringLiteral("Mill lane"), QStringLiteral("name"));
    const auto shape = VXDrawableShape::drawableShapeWithRect({0, 0, 5, 5}, style);
    shape->setMetadataItemValueForKey(QStringLiteral("Mill pond"), QStringLiteral("name"));
    const auto unstyled = std::make_shared<VXDrawableShape>();
    const auto stranger = searchtest::probe(QStringLiteral("searchableString"), QStringLiteral("Mill race"));
    EXPECT_EQ(sign->valueForKey(QStringLiteral("searchableString")), QVariant(QStringLiteral("Signpost Mill lane")));
    EXPECT_FALSE(unstyled->valueForKey(QStringLiteral("searchableString")).isValid());

    const QList<const ZQObject*> objects{sign.get(), shape.get(), stranger.get(), unstyled.get(), sign.get(), shape.get()};
    const auto results = [&objects](MPSearchCriterion& criterion) {
        QList<bool> found;
        for (const ZQObject* object : objects)
            found.append(criterion.testForMatchWithObject(object));
        return found;
    };
    const auto text = MPSearchCriterion::criterionWithStringMatchKindIdentifier("mill", kMPContains, "searchableString");
    EXPECT_EQ(results(*text), (QList<bool>{true, true, true, false, true, true}));
    text->setObjectValue(QStringLiteral("signpost mill"));
    EXPECT_EQ(results(*text), (QList<bool>{true, false, false, false, true, false}));
    text->setMatchKind(kMPDoesNotContain);
    EXPECT_EQ(results(*text), (QList<bool>{false, true, true, false, false, true}));
    // Another key on the same criterion reads properties again.
    text->setIdentifier(QStringLiteral("searchableWidth"));
    text->setMatchKind(kMPContains);
    EXPECT_EQ(results(*text), (QList<bool>(objects.size(), false)));
}

TEST(SearchCriterion, StoredKeysReadAttributesAndNeverCallMethods)
{
    searchtest::CommandProbe object;
    object.values.insert(QStringLiteral("renumber"), 5);
    const auto stored = testsupport::roundTrip<MPSearchCriterion>(
        *MPSearchCriterion::criterionWithIntegerMatchKindIdentifier(5, kMPIsEqualTo, QStringLiteral("renumber")));
    ASSERT_NE(stored, nullptr);
    EXPECT_TRUE(stored->testForMatchWithObject(&object));
    stored->setIdentifier(QStringLiteral("searchableWidth.renumber"));
    EXPECT_FALSE(stored->testForMatchWithObject(&object));
    EXPECT_EQ(object.commandsRun, 0);
}

TEST(SearchCriterion, NullNoValueAndBooleans)
{
    const auto lacks = MPSearchCriterion::criterionWithStringMatchKindIdentifier(QStringLiteral("x"), kMPDoesNotContain, kKey);
    const auto notEqual = MPSearchCriterion::criterionWithIntegerMatchKindIdentifier(1, kMPIsNotEqualTo, kKey);
    const auto object = MPSearchCriterion::criterionWithObjectMatchKindIdentifier(QStringLiteral("a"), kMPIsNotLike, kKey);
    // The explicit null matches nothing, not even the negations.
    for (auto* criterion : {lacks.get(), notEqual.get(), object.get()})
        EXPECT_FALSE(matches(*criterion, platform::nullValue())) << criterion->matchKind();
    // No value fails every type but Object.
    EXPECT_FALSE(matches(*lacks, QVariant()));
    EXPECT_FALSE(matches(*notEqual, QVariant()));
    EXPECT_TRUE(matches(*object, QVariant()));
    object->setMatchKind(kMPIsEqualTo);
    EXPECT_FALSE(matches(*object, QVariant()));

    // "is true" looks at the tested value only.
    const auto isTrue = MPSearchCriterion::criterionWithBooleanMatchKindIdentifier(false, kMPIsTrue, kKey);
    EXPECT_TRUE(matches(*isTrue, true));
    EXPECT_FALSE(matches(*isTrue, false));
    const auto isFalse = MPSearchCriterion::criterionWithBooleanMatchKindIdentifier(true, kMPIsFalse, kKey);
    EXPECT_TRUE(matches(*isFalse, 0));
    const auto boolEqual = MPSearchCriterion::criterionWithBooleanMatchKindIdentifier(false, kMPIsEqualTo, kKey);
    EXPECT_TRUE(matches(*boolEqual, false));
}

TEST(SearchCriterion, RangesSetsDatesAndObjects)
{
    const auto within = MPSearchCriterion::criterionWithRangeMatchKindIdentifier({5, 3}, kMPIsWithinRange, kKey);
    const auto outside = MPSearchCriterion::criterionWithRangeMatchKindIdentifier({5, 3}, kMPIsNotWithinRange, kKey);
    for (int v : {5, 6, 7})
        EXPECT_TRUE(matches(*within, v)) << v;
    EXPECT_FALSE(matches(*within, 8));
    EXPECT_FALSE(matches(*within, -1)); // unsigned: far above the range
    EXPECT_TRUE(matches(*outside, 8));

    SearchIndexSet set;
    set.addRange({1, 1});
    set.addRange({3, 3});
    set.addRange({6, 2}); // merges with 3-5
    EXPECT_EQ(set.ranges().size(), 2);
    EXPECT_EQ(set.description(), QStringLiteral("(1 3-7)"));
    const auto inSet = MPSearchCriterion::criterionWithIndexSetMatchKindIdentifier(set, kMPIsInSet, kKey);
    EXPECT_TRUE(matches(*inSet, 7));
    EXPECT_FALSE(matches(*inSet, 2));
    inSet->setMatchKind(kMPIsNotInSet);
    EXPECT_TRUE(matches(*inSet, 2));

    const QDateTime first(QDate(2024, 1, 1), QTime(0, 0), Qt::UTC);
    const auto after = MPSearchCriterion::criterionWithDateMatchKindIdentifier(first, kMPIsAfter, kKey);
    EXPECT_TRUE(matches(*after, first.addDays(1)));
    EXPECT_FALSE(matches(*after, first));
    after->setMatchKind(kMPIsOn);
    EXPECT_TRUE(matches(*after, first));

    const auto like = MPSearchCriterion::criterionWithObjectMatchKindIdentifier(QStringLiteral("R?a*"), kMPIsLike, kKey);
    EXPECT_TRUE(matches(*like, QStringLiteral("Roads")));
    EXPECT_FALSE(matches(*like, QStringLiteral("road")));
    const auto larger = MPSearchCriterion::criterionWithObjectMatchKindIdentifier(10, kMPIsGreaterThan, kKey);
    EXPECT_TRUE(matches(*larger, 10.5));
    EXPECT_FALSE(matches(*larger, QStringLiteral("abc")));
}

TEST(SearchCriterion, ValuesOfTheWrongKindLeaveTheOldOne)
{
    const auto integer = MPSearchCriterion::criterionForDataTypeMatchKindIdentifier(kMPIntegerType, kMPIsEqualTo, kKey);
    integer->setObjectValue(QStringLiteral("12"));
    EXPECT_EQ(integer->objectValue(), QVariant(qint32(0)));
    integer->setIntValue(12);
    EXPECT_EQ(integer->objectValue().toInt(), 12);
    integer->setRangeValue({1, 2}); // only a Range criterion takes a range
    EXPECT_EQ(integer->objectValue().toInt(), 12);

    const auto range = MPSearchCriterion::criterionForDataTypeMatchKindIdentifier(kMPRangeType, kMPIsWithinRange, kKey);
    range->setObjectValue(4);
    EXPECT_EQ(range->objectValue().value<SearchRange>(), (SearchRange{0, 0}));
    range->setRangeValue({2, 4});
    EXPECT_TRUE(matches(*range, 5));

    const auto text = MPSearchCriterion::criterionForDataTypeMatchKindIdentifier(kMPStringType, kMPContains, kKey);
    text->setObjectValue(3.5);
    EXPECT_EQ(text->objectValue(), QVariant(QStringLiteral("")));
    text->setObjectValue(QStringLiteral("abc"));
    text->setDefaultValue();
    EXPECT_EQ(text->objectValue(), QVariant(QStringLiteral("")));

    EXPECT_EQ(MPSearchCriterion::criterionForDataTypeMatchKindIdentifier(9, 0, kKey), nullptr);
    EXPECT_EQ(MPSearchCriterion::criterionForDataTypeMatchKindIdentifier(kMPCustomType, 0, kKey)->dataType(), kMPObjectType);
    EXPECT_TRUE(MPSearchCriterion::criterionForDataTypeMatchKindIdentifier(kMPSetType, 0, kKey)
                    ->objectValue().value<SearchIndexSet>().contains(1));
    // The name follows the first identifier only.
    const auto named = MPSearchCriterion::criterionWithStringMatchKindIdentifier(QStringLiteral("x"), kMPContains,
                                                                                  QStringLiteral("first"));
    named->setIdentifier(QStringLiteral("second"));
    EXPECT_EQ(named->name(), QStringLiteral("first"));
}

TEST(SearchCriterion, KindsAndNamesPerType)
{
    EXPECT_EQ(MPSearchCriterion::matchKindsForType(kMPStringType),
              (QList<int>{kMPContains, kMPDoesNotContain, kMPStartsWith, kMPEndsWith, kMPIsEqualTo, kMPIsNotEqualTo}));
    EXPECT_EQ(MPSearchCriterion::matchKindsForType(kMPDateType).first(), kMPIsOn);
    EXPECT_TRUE(MPSearchCriterion::matchKindsForType(42).isEmpty());
    EXPECT_EQ(MPSearchCriterion::displayNamesForAvailableTypes(),
              (QStringList{"Boolean", "Integer", "Float", "String", "Range", "Set", "Object", "Date"}));
    EXPECT_EQ(MPSearchCriterion::displayNameForMatchType(23), QStringLiteral("is on or after"));
    EXPECT_TRUE(MPSearchCriterion::displayNameForMatchType(24).isEmpty());
    MPSearchCriterion criterion;
    criterion.setMatchKind(kMPSoundsLike);
    EXPECT_EQ(criterion.descriptionFragmentForMatchKind(), QStringLiteral(" sounds like"));
    criterion.setMatchKind(99);
    EXPECT_EQ(criterion.descriptionFragmentForMatchKind(), QStringLiteral(" contains"));
}

TEST(SearchCriterion, ArchiveRoundTripKeepsEveryKindOfValue)
{
    SearchIndexSet set;
    set.addRange({2, 3});
    const MPSearchCriterionPtr originals[] = {
        MPSearchCriterion::criterionWithStringMatchKindIdentifier(QStringLiteral("Road"), kMPEndsWith, QStringLiteral("NAME")),
        MPSearchCriterion::criterionWithFloatMatchKindIdentifier(2.5, kMPIsLessThan, QStringLiteral("area")),
        MPSearchCriterion::criterionWithRangeMatchKindIdentifier({5, 3}, kMPIsNotWithinRange, QStringLiteral("n")),
        MPSearchCriterion::criterionWithIndexSetMatchKindIdentifier(set, kMPIsInSet, QStringLiteral("n")),
        MPSearchCriterion::criterionWithDateMatchKindIdentifier(QDateTime(QDate(2020, 5, 1), QTime(8, 0), Qt::UTC),
                                                                kMPIsBefore, QStringLiteral("when")),
        MPSearchCriterion::criterionWithBooleanMatchKindIdentifier(true, kMPIsFalse, QStringLiteral("flag")),
    };
    for (const MPSearchCriterionPtr& original : originals) {
        original->setIgnoresCase(false);
        original->setEpsilon(0.5);
        const auto decoded = testsupport::roundTrip<MPSearchCriterion>(*original);
        ASSERT_TRUE(decoded);
        EXPECT_EQ(decoded->dataType(), original->dataType());
        EXPECT_EQ(decoded->matchKind(), original->matchKind());
        EXPECT_EQ(decoded->objectValue(), original->objectValue()) << qPrintable(original->description());
        EXPECT_EQ(decoded->name(), original->name());
        EXPECT_EQ(decoded->identifier(), original->identifier());
        EXPECT_FALSE(decoded->ignoresCase());
        // The tolerance is written but not read back.
        EXPECT_DOUBLE_EQ(decoded->epsilon(), MPSearchCriterion::kDefaultEpsilon);
    }
}

TEST(SearchCriterion, DecodingAForeignValueKeepsTheDefault)
{
    testsupport::ArchiveStub stub;
    stub.values = {{QStringLiteral("mp_sq_crit_datatype"), kMPStringType},
                   {QStringLiteral("mp_sq_crit_matchkind"), kMPContains},
                   {QStringLiteral("mp_sq_crit_objectvalue"), 42},
                   {QStringLiteral("mp_sq_crit_epsilon"), 0.5}};
    const auto decoded = std::dynamic_pointer_cast<MPSearchCriterion>(
        platform::KeyedUnarchiver::unarchiveObjectWithData(stub.archiveAs(QStringLiteral("MPSearchCriterion"))));
    ASSERT_TRUE(decoded);
    EXPECT_DOUBLE_EQ(decoded->epsilon(), 0.01);
    // A String criterion holding a number finds nothing rather than failing.
    EXPECT_FALSE(matches(*decoded, QStringLiteral("42")));
}

} // namespace
