#include "panels/search/SearchableProperties.h"

#include "panels/search/MPSearchQuery.h"
#include "platform/vantrix/drawables/VXDrawablePath.h"
#include "platform/vantrix/drawables/VXDrawableShape.h"
#include "platform/vantrix/model/VXDrawing.h"
#include "platform/vantrix/model/VXObjectDrawingLayer.h"
#include "platform/vantrix/styles/VXStyle.h"
#include "symbols/masters/VXQSymbolMaster.h"
#include "symbols/placed/VXQSymbol.h"

#include <QUrl>
#include <gtest/gtest.h>

namespace {

using namespace SearchableProperties;

VXDrawableObjectPtr rectangle(const QRectF& rect)
{
    return VXDrawableShape::drawableShapeWithRect(rect, VXStyle::styleWithFillColourStrokeColour(Qt::red, Qt::black));
}

bool matches(const QString& identifier, int kind, double value, const VXDrawableObject& object)
{
    MPSearchQuery query;
    query.addCriterion(MPSearchCriterion::criterionWithFloatMatchKindIdentifier(value, kind, identifier));
    return query.queryMatchesObject(&object);
}

TEST(SearchableProperties, ClassTablesAndLayerTables)
{
    EXPECT_EQ(drawableSearchableProperties().size(), 10);
    EXPECT_EQ(pathSearchableProperties().size(), 12);
    EXPECT_EQ(pathSearchableProperties().value("Track Width")->identifier(), QStringLiteral("trackWidth"));
    EXPECT_EQ(drawableSearchableProperties().value("Style Name")->identifier(), QStringLiteral("style.name"));
    EXPECT_EQ(drawableSearchableProperties().value("Searchable Text")->dataType(), kMPStringType);

    VXObjectDrawingLayer empty;
    EXPECT_EQ(gatherSearchableProperties(empty).keys(), pathSearchableProperties().keys());

    VXObjectDrawingLayer layer;
    const VXDrawableObjectPtr first = rectangle({0, 0, 5, 5});
    first->setMetadataItemValueForKey(qint64(1200), QStringLiteral("population"));
    first->setMetadataItemValueForKey(QUrl(QStringLiteral("https://example.org")), QStringLiteral("site"));
    first->setMetadataItemValueForKey(QColor(Qt::red), QStringLiteral("tint"));
    first->setMetadataItemValueForKey(QDateTime::currentDateTimeUtc(), QStringLiteral("surveyed"));
    const VXDrawableObjectPtr second = rectangle({10, 0, 5, 5});
    second->setVisible(false); // hidden objects offer their attributes too
    second->setMetadataItemValueForKey(QStringLiteral("many"), QStringLiteral("POPULATION"));
    layer.addObject(first);
    layer.addObject(second);

    const SearchablePropertyTable table = gatherSearchableProperties(layer);
    EXPECT_EQ(table.size(), 14);
    const ZQSearchablePropertyPtr population = table.value("POPULATION");
    ASSERT_TRUE(population);
    EXPECT_EQ(population->identifier(), QStringLiteral("POPULATION"));
    EXPECT_EQ(population->dataType(), kMPStringType); // the later object's type wins
    EXPECT_TRUE(population->propertyIsMetadata());
    EXPECT_EQ(table.value("SURVEYED")->dataType(), kMPDateType);
    EXPECT_FALSE(table.contains("SITE"));
    EXPECT_FALSE(table.contains("TINT"));
    EXPECT_FALSE(table.value("Area")->propertyIsMetadata());

    const int expected[] = {kMPStringType, kMPIntegerType, kMPFloatType, kMPBooleanType, kMPIntegerType,
                            -1, -1, -1, -1, kMPDateType, -1, -1};
    for (int code = 0; code < int(std::size(expected)); ++code)
        EXPECT_EQ(ZQSearchableProperty::dataTypeForMetadataType(code), expected[code]) << code;
}

TEST(SearchableProperties, PlacedSymbolsOfferTheirMasterNameInstead)
{
    const VXDrawableObjectPtr graphic = rectangle({0, 0, 4, 4});
    const VXQSymbolPtr symbol = VXQSymbol::symbolWithMaster(VXQSymbolMaster::symbolMasterWithObjectName(*graphic, "Church"));
    symbol->setMetadataItemValueForKey(QStringLiteral("x"), QStringLiteral("denomination"));
    SearchablePropertyTable table;
    addSearchablePropertiesToDictionary(*symbol, table);
    ASSERT_EQ(table.keys(), QStringList{"Symbol Master Name"});
    EXPECT_EQ(table.first()->identifier(), QStringLiteral("masterName"));
    EXPECT_EQ(symbol->valueForKeyPath(table.first()->identifier()).toString(), QStringLiteral("Church"));
}

TEST(SearchableProperties, ValuesInDrawingUnitsAndAttributesIgnoringCase)
{
    const VXDrawingPtr owner = VXDrawing::drawingWithSize({2000, 2000});
    VXDrawing& drawing = *owner;
    auto layer = std::make_shared<VXObjectDrawingLayer>();
    drawing.addLayer(layer);
    const double pointsPerUnit = drawing.unitToPointsConversionFactor();
    const VXDrawableObjectPtr shape = rectangle({0, 0, 20 * pointsPerUnit, 5 * pointsPerUnit});
    shape->setMetadataItemValueForKey(qint64(1200), QStringLiteral("population"));
    layer->addObject(shape);

    EXPECT_TRUE(matches("searchableWidth", kMPIsGreaterThan, 10, *shape));
    EXPECT_FALSE(matches("searchableHeight", kMPIsGreaterThan, 10, *shape));
    EXPECT_NEAR(shape->valueForKey("searchableXLocation").toDouble(), drawing.convertPoint(shape->location()).x(), 1e-9);
    // A shape has no length: the null object, which matches nothing.
    EXPECT_TRUE(platform::isNull(shape->valueForKey("lengthInDrawingUnits")));
    EXPECT_FALSE(matches("lengthInDrawingUnits", kMPIsNotEqualTo, 3, *shape));
    EXPECT_FALSE(matches("trackWidth", kMPIsEqualToOrGreaterThan, 0, *shape));
    // Attribute names are searched in upper case; the attributes keep theirs.
    MPSearchQuery query;
    query.addCriterion(MPSearchCriterion::criterionWithIntegerMatchKindIdentifier(1000, kMPIsGreaterThan, "POPULATION"));
    EXPECT_TRUE(query.queryMatchesObject(shape.get()));
    EXPECT_FALSE(matches("MISSING", kMPIsNotEqualTo, 1, *shape));

    const auto path = VXDrawablePath::drawablePathWithBezierPathWithStyle(
        platform::BezierPath::bezierPathWithRect(QRectF(0, 0, 3 * pointsPerUnit, pointsPerUnit)),
        VXStyle::styleWithFillColourStrokeColour(QColor(), Qt::black));
    layer->addObject(path);
    EXPECT_NEAR(path->lengthInDrawingUnits(), 8.0, 1e-6);
    EXPECT_NEAR(path->trackWidth(), drawing.convertLength(path->style()->maxStrokeWidth()), 1e-9);
}

TEST(SearchableProperties, SearchableTextJoinsStyleTextAndAttributes)
{
    const VXDrawableObjectPtr shape = rectangle({0, 0, 5, 5});
    EXPECT_EQ(shape->searchableString(), QStringLiteral(""));
    EXPECT_FALSE(shape->searchableString().isNull());
    shape->setMetadataItemValueForKey(QStringLiteral("A"), QStringLiteral("a"));
    shape->setMetadataItemValueForKey(QStringLiteral("B"), QStringLiteral("b"));
    EXPECT_EQ(shape->searchableString(), QStringLiteral(" A B"));
    EXPECT_EQ(shape->searchableStringsFromMetadata(), (QStringList{"A", "B"}));

    // Without a style there is no text at all, whatever the attributes.
    shape->setStyle(nullptr);
    EXPECT_TRUE(shape->searchableString().isNull());
    EXPECT_FALSE(shape->valueForKey("searchableString").isValid());
    const auto contains = MPSearchQuery::searchQueryForObjectsContainingString("A");
    contains->criterionAtIndex(0)->setIdentifier("searchableString");
    contains->criterionAtIndex(0)->setMatchKind(kMPDoesNotContain);
    EXPECT_FALSE(contains->queryMatchesObject(shape.get()));
}

TEST(SearchableProperties, SearchableTextFollowsEveryWayAttributesChange)
{
    const VXDrawableObjectPtr shape = rectangle({0, 0, 5, 5});
    // One empty text joins to nothing; two join to a blank.
    shape->setMetadataItemValueForKey(QStringLiteral(""), QStringLiteral("a"));
    EXPECT_EQ(shape->searchableString(), QStringLiteral(""));
    shape->setMetadataItemValueForKey(QStringLiteral(""), QStringLiteral("b"));
    EXPECT_EQ(shape->searchableString(), QStringLiteral("  "));
    shape->setMetadataItemValueForKey(QStringLiteral("7.0"), QStringLiteral("B"));
    EXPECT_EQ(shape->searchableString(), QStringLiteral("  7.0"));
    shape->setMetadataItemTypeForKey(kVXMetadataTypeInteger, QStringLiteral("b"));
    EXPECT_EQ(shape->searchableString(), QStringLiteral("  7"));
    shape->removeMetadataForKey(QStringLiteral("A"));
    EXPECT_EQ(shape->searchableString(), QStringLiteral(" 7"));
    shape->setMetadata({{QStringLiteral("c"), VXMetadataItem::metadataItemWithValue(2.5)}});
    EXPECT_EQ(shape->searchableString(), QStringLiteral(" 2.5"));
    shape->initMetadata({{QStringLiteral("d"), VXMetadataValue::withValue(QStringLiteral("Dene"))}});
    EXPECT_EQ(shape->searchableString(), QStringLiteral(" Dene"));

    // A copy travels through an archive and answers its own text from then on.
    const VXDrawableObjectPtr copy = shape->copyDrawable();
    EXPECT_EQ(copy->searchableString(), QStringLiteral(" Dene"));
    copy->setMetadataItemValueForKey(QStringLiteral("Dale"), QStringLiteral("d"));
    EXPECT_EQ(copy->searchableString(), QStringLiteral(" Dale"));
    EXPECT_EQ(shape->searchableString(), QStringLiteral(" Dene"));
}

} // namespace
