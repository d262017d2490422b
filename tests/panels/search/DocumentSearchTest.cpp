#include "panels/search/DocumentSearch.h"

#include "app/document/VXQMappingLayer.h"
#include "app/document/ZQTrueQuorvaneDocument.h"
#include "panels/dialogs/MPAdvancedSearchController.h"
#include "panels/search/SmartSearchTable.h"
#include "platform/foundation/KeyedArchiver.h"
#include "platform/foundation/UserDefaults.h"
#include "platform/foundation/ZQAssert.h"
#include "platform/ui/Menu.h"
#include "platform/ui/ResponderChain.h"
#include "platform/vantrix/drawables/VXDrawableShape.h"
#include "platform/vantrix/model/VXDrawing.h"
#include "platform/vantrix/model/VXLayerGroup.h"
#include "platform/vantrix/text/VXTextAdornment.h"
#include "platform/foundation/ZQUndoManager.h"
#include "support/LogCapture.h"

#include <QLineEdit>
#include <gtest/gtest.h>

namespace {

VXDrawableObjectPtr namedShape(const QString& name, double x = 0)
{
    auto shape = VXDrawableShape::drawableShapeWithRect(QRectF(x, 0, 10, 10),
                                                        VXStyle::styleWithFillColourStrokeColour(Qt::red, Qt::black));
    shape->setMetadataItemValueForKey(name, QStringLiteral("name"));
    return shape;
}

MPSearchQueryPtr nameQuery(const QString& text, int kind = kMPContains)
{
    auto query = std::make_shared<MPSearchQuery>();
    query->addCriterion(MPSearchCriterion::criterionWithStringMatchKindIdentifier(text, kind, QStringLiteral("NAME")));
    return query;
}

class DocumentSearching : public ::testing::Test {
protected:
    void SetUp() override
    {
        QuorvaneError error;
        ASSERT_TRUE(document->initWithTypeError(kZQMapDocumentType, &error));
        search = DocumentSearch::ofDocument(*document);
        ASSERT_TRUE(search);
        layer = qobject_cast<VXQMappingLayer*>(document->activeLayer());
        ASSERT_TRUE(layer);
        DocumentSearch::setBeepHook([this] { ++beeps; });
        DocumentSearch::emptyPropertyCache();
        SmartSearchTable::removeAllSmartSearches();
    }

    void TearDown() override
    {
        DocumentSearch::setBeepHook(nullptr);
        SmartSearchTable::removeAllSmartSearches();
        platform::UserDefaults::standardUserDefaults()->removeObjectForKey(kQVNLSmartSearchesDefaultsKey);
    }

    QList<VXDrawableObjectPtr> selection() const { return layer->selection(); }

    std::shared_ptr<ZQTrueQuorvaneDocument> document = std::make_shared<ZQTrueQuorvaneDocument>();
    DocumentSearch* search = nullptr;
    VXQMappingLayer* layer = nullptr;
    int beeps = 0;
};

TEST_F(DocumentSearching, QuickSearchOptionsSelectVisibleMatches)
{
    const VXDrawableObjectPtr road = namedShape("Abc road"), upper = namedShape("ABC"), inside = namedShape("xabc"),
                              hidden = namedShape("abc"), other = namedShape("Mill");
    hidden->setVisible(false);
    layer->addObjectsFromArray({road, upper, inside, hidden, other});

    search->performSimpleStringSearchForString("abc");
    EXPECT_EQ(selection(), (QList<VXDrawableObjectPtr>{road, upper, inside}));
    const MPSearchCriterionPtr criterion = search->latestSearch()->criterionAtIndex(0);
    EXPECT_EQ(criterion->identifier(), QStringLiteral("searchableString"));
    EXPECT_EQ(criterion->name(), QStringLiteral("stringValue:"));
    EXPECT_EQ(criterion->matchKind(), kMPContains);
    // With nothing hidden every match is found, in the layer's order.
    hidden->setVisible(true);
    search->performSimpleStringSearchForString("abc");
    EXPECT_EQ(selection(), (QList<VXDrawableObjectPtr>{road, upper, inside, hidden}));
    hidden->setVisible(false);

    // The searchable text starts with a blank (a style without text, then the attributes).
    search->setSimpleSearchOption(kSimpleSearchStartsWith);
    search->performSimpleStringSearchForString(" abc");
    EXPECT_EQ(selection(), (QList<VXDrawableObjectPtr>{road, upper}));
    EXPECT_EQ(search->latestSearch()->criterionAtIndex(0)->matchKind(), kMPStartsWith);
    search->setSimpleSearchOption(kSimpleSearchIsEqualTo);
    search->performSimpleStringSearchForString(" abc");
    EXPECT_EQ(selection(), QList<VXDrawableObjectPtr>{upper});
    EXPECT_EQ(beeps, 0);
    // Without the blank, "is equal to" finds nothing: the selection goes and it beeps.
    search->performSimpleStringSearchForString("abc");
    EXPECT_TRUE(selection().isEmpty());
    EXPECT_EQ(beeps, 1);

    // An empty text does nothing at all.
    const MPSearchQueryPtr last = search->latestSearch();
    search->performSimpleStringSearchForString(QString());
    EXPECT_EQ(search->latestSearch(), last);
    EXPECT_EQ(beeps, 1);
}

TEST_F(DocumentSearching, EditsAfterASearchAreFoundByTheNextSearch)
{
    const VXDrawableObjectPtr mill = namedShape("Old Mill"), pond = namedShape("Pond", 20);
    layer->addObjectsFromArray({mill, pond});
    const auto found = [this](const QString& text) {
        search->performSimpleStringSearchForString(text);
        return selection();
    };
    const QList<VXDrawableObjectPtr> justMill{mill}, justPond{pond};
    EXPECT_EQ(found("mill"), justMill);

    // Attributes set, added, removed, and the removal undone.
    mill->setMetadataItemValueForKey(QStringLiteral("Weir"), QStringLiteral("name"));
    EXPECT_TRUE(found("mill").isEmpty());
    EXPECT_EQ(found("weir"), justMill);
    pond->setMetadataItemValueForKey(qint64(1851), QStringLiteral("built"));
    EXPECT_EQ(found("1851 pond"), justPond);
    ZQUndoManager* undo = document->drawing()->undoManager();
    ASSERT_TRUE(undo);
    undo->closeAutomaticGroup();
    pond->removeMetadataForKey(QStringLiteral("BUILT"));
    undo->closeAutomaticGroup();
    EXPECT_TRUE(found("1851").isEmpty());
    undo->undo();
    EXPECT_EQ(found("1851"), justPond);

    // The style's text, filled from the layer's attributes and then the object's own.
    const auto label = VXTextAdornment::textAdornmentWithText(QStringLiteral("Ferry %%county"));
    mill->style()->addRenderer(label);
    EXPECT_EQ(found("ferry"), justMill);
    layer->setMetadataItemValueForKey(QStringLiteral("Kent"), QStringLiteral("county"));
    EXPECT_EQ(found("ferry kent"), justMill);
    mill->setMetadataItemValueForKey(QStringLiteral("Essex"), QStringLiteral("county"));
    EXPECT_TRUE(found("ferry kent").isEmpty());
    search->setSimpleSearchOption(kSimpleSearchIsEqualTo);
    EXPECT_EQ(found("Ferry Essex  Essex Weir"), justMill);
    label->setString(QStringLiteral("Ford %%county"));
    EXPECT_EQ(found("Ford Essex  Essex Weir"), justMill);
    // Another style, without text.
    mill->setStyle(pond->style());
    EXPECT_EQ(found(" Essex Weir"), justMill);
}

TEST_F(DocumentSearching, AllLayersSearchCoversGroupsAndClearsEveryLayer)
{
    auto group = std::make_shared<VXLayerGroup>();
    auto inner = std::make_shared<VXQMappingLayer>();
    group->addLayer(inner);
    document->drawing()->addLayer(group);
    const VXDrawableObjectPtr top = namedShape("Church Street"), deep = namedShape("Church Lane"), plain = namedShape("Mill");
    layer->addObjectsFromArray({top, plain});
    inner->addObject(deep);
    inner->exchangeSelectionWithObjectsFromArray({deep});
    layer->exchangeSelectionWithObjectsFromArray({plain});

    const MPSearchQueryPtr query = nameQuery("church");
    query->setAuxiliaryDataBooleanValueForKey(true, kVXQSearchAllLayersOption);
    search->searchWithQuery(query);
    EXPECT_EQ(layer->selection(), QList<VXDrawableObjectPtr>{top});
    EXPECT_EQ(inner->selection(), QList<VXDrawableObjectPtr>{deep});
    EXPECT_EQ(beeps, 0);
    EXPECT_EQ(search->objectsInAllLayersMatchingQuery(*query).size(), 2);

    // No match anywhere: every object layer is left without a selection.
    search->searchWithQuery(nameQuery("chapel"));
    EXPECT_TRUE(layer->selection().isEmpty());
    EXPECT_EQ(beeps, 1);
    inner->exchangeSelectionWithObjectsFromArray({deep});
    const MPSearchQueryPtr none = nameQuery("chapel");
    none->setAuxiliaryDataBooleanValueForKey(true, kVXQSearchAllLayersOption);
    search->searchWithQuery(none);
    EXPECT_TRUE(inner->selection().isEmpty());
    EXPECT_EQ(beeps, 2);
}

TEST_F(DocumentSearching, ActionsReachTheSearchThroughTheDocument)
{
    const VXDrawableObjectPtr mill = namedShape("Mill");
    layer->addObject(mill);
    platform::MenuItem repeat(QStringLiteral("Repeat Last Search"));
    repeat.setAction("repeatLatestSearch");
    EXPECT_FALSE(document->validateMenuItem(&repeat));
    // Repeating with no earlier search does nothing.
    EXPECT_TRUE(platform::ResponderChain::performAction(document.get(), "repeatLatestSearch", nullptr));
    EXPECT_EQ(beeps, 0);

    platform::MenuItem startsWith(QStringLiteral("Starts With"));
    startsWith.setAction("simpleSearchOptionsAction");
    startsWith.setTag(kSimpleSearchStartsWith);
    EXPECT_TRUE(document->validateMenuItem(&startsWith));
    EXPECT_EQ(startsWith.state(), platform::MenuItem::OffState);
    platform::ResponderChain::performAction(document.get(), "simpleSearchOptionsAction", &startsWith);
    EXPECT_EQ(search->simpleSearchOption(), kSimpleSearchStartsWith);
    document->validateMenuItem(&startsWith);
    EXPECT_EQ(startsWith.state(), platform::MenuItem::OnState);

    QObject field;
    field.setProperty("text", QStringLiteral(" mi"));
    platform::ResponderChain::performAction(document.get(), "searchFieldAction", &field);
    EXPECT_EQ(selection(), QList<VXDrawableObjectPtr>{mill});
    EXPECT_TRUE(document->validateMenuItem(&repeat));
    layer->deselectAll();
    platform::ResponderChain::performAction(document.get(), "repeatLatestSearch", nullptr);
    EXPECT_EQ(selection(), QList<VXDrawableObjectPtr>{mill});
}

TEST_F(DocumentSearching, PropertyNamesComeFromTheSharedCache)
{
    const VXDrawableObjectPtr shape = namedShape("Mill");
    shape->setMetadataItemValueForKey(qint64(3), QStringLiteral("lanes"));
    layer->addObject(shape);
    const QStringList names = search->allPropertyNames();
    EXPECT_EQ(names.size(), 14);
    EXPECT_EQ(names.first(), QStringLiteral("Angle"));
    EXPECT_LT(names.indexOf("LANES"), names.indexOf("Length"));
    EXPECT_EQ(search->dataTypeForProperty("LANES"), kMPIntegerType);
    EXPECT_EQ(search->identifierForProperty("Width"), QStringLiteral("searchableWidth"));
    EXPECT_EQ(search->dataTypeForProperty("Unknown"), 0);
    EXPECT_EQ(search->identifierForProperty("Unknown"), QStringLiteral("Unknown"));

    // New attributes show only once a sheet about to show has emptied the cache.
    shape->setMetadataItemValueForKey(QStringLiteral("x"), QStringLiteral("owner"));
    EXPECT_FALSE(search->allPropertyNames().contains("OWNER"));
    MPAdvancedSearchController sheet;
    search->searchControllerWillShowWindow(sheet);
    EXPECT_TRUE(search->allPropertyNames().contains("OWNER"));
}

TEST_F(DocumentSearching, RadiusSearchAndTheSheetsCopy)
{
    const VXDrawableObjectPtr near = namedShape("Mill", 0), far = namedShape("Hill", 500);
    layer->addObjectsFromArray({near, far});
    EXPECT_EQ(search->objectsWithinRadiusOfPoint(20, {5, 5}), QList<VXDrawableObjectPtr>{near});
    EXPECT_TRUE(search->objectsWithinRadiusOfPointMatchingQuery(20, {5, 5}, *nameQuery("Hill")).isEmpty());
    EXPECT_EQ(search->objectsWithinRadiusOfPointMatchingQuery(1000, {5, 5}, *nameQuery("Hill")),
              QList<VXDrawableObjectPtr>{far});

    EXPECT_EQ(search->copyOfLatestSearch(), nullptr);
    const MPSearchQueryPtr query = nameQuery("Mill");
    query->setAuxiliaryDataBooleanValueForKey(true, kVXQSaveAsSmartSearchOption);
    search->searchWithQuery(query);
    // The naming sheet proposes a free name; cancelling it stores nothing.
    ZQSmartSearchNamingController* naming = search->namingController();
    ASSERT_TRUE(naming);
    EXPECT_EQ(naming->nameField()->text(), QStringLiteral("Untitled Search"));
    naming->cancelAction();
    EXPECT_FALSE(SmartSearchTable::smartSearches().has_value());
    const MPSearchQueryPtr copy = search->copyOfLatestSearch();
    ASSERT_TRUE(copy);
    EXPECT_NE(copy, query);
    EXPECT_FALSE(copy->auxiliaryDataBooleanValueForKey(kVXQSaveAsSmartSearchOption));
    EXPECT_TRUE(query->auxiliaryDataBooleanValueForKey(kVXQSaveAsSmartSearchOption));
}

TEST_F(DocumentSearching, SmartSearchesAreNamedUniquelyAndKeptByIdentity)
{
    const MPSearchQueryPtr first = nameQuery("Mill"), second = nameQuery("Hill");
    EXPECT_EQ(SmartSearchTable::uniqueSmartSearchKey("Untitled Search"), QStringLiteral("Untitled Search"));
    SmartSearchTable::setSmartSearchForKey(first, "Untitled Search");
    SmartSearchTable::setSmartSearchForKey(second, "Untitled Search 1");
    EXPECT_EQ(SmartSearchTable::uniqueSmartSearchKey("Untitled Search"), QStringLiteral("Untitled Search 2"));
    EXPECT_TRUE(SmartSearchTable::isSavedInSmartSearches(first.get()));
    EXPECT_FALSE(SmartSearchTable::isSavedInSmartSearches(first->copyQuery().get()));

    // An empty name takes the proposed one; a used name replaces its query.
    const MPSearchQueryPtr third = nameQuery("Road");
    search->applyNameWithInfo(QString(), {{"query", QVariant::fromValue<ZQObjectPtr>(third)}, {"key", "Untitled Search 2"}});
    EXPECT_EQ(SmartSearchTable::smartSearchForKey("Untitled Search 2"), third);
    search->applyNameWithInfo("Untitled Search", {{"query", QVariant::fromValue<ZQObjectPtr>(third)}, {"key", "x"}});
    EXPECT_EQ(SmartSearchTable::smartSearchForKey("Untitled Search"), third);

    testsupport::LogCapture log;
    SmartSearchTable::setSmartSearchForKey(first, QString(""));
    SmartSearchTable::setSmartSearchForKey(nullptr, "x");
    SmartSearchTable::setSmartSearchForKey(std::make_shared<MPSearchQuery>(), "x");
    EXPECT_FALSE(SmartSearchTable::smartSearchForKey("x"));
    EXPECT_FALSE(SmartSearchTable::smartSearchForKey(""));
    EXPECT_TRUE(log.contains("query passed to save smart search has no criteria"));

    std::unique_ptr<platform::Menu> menu(SmartSearchTable::menuOfAvailableSearchesWithTargetAction(
        search, "searchWithSmartSearch"));
    const QList<QAction*> items = menu->actions();
    ASSERT_EQ(items.size(), 6); // title, All Items, separator, three searches
    EXPECT_EQ(items[0]->text(), QStringLiteral("Smart Search\u2122"));
    EXPECT_EQ(qobject_cast<platform::MenuItem*>(items[1])->tag(), -1);
    EXPECT_EQ(items[3]->text(), QStringLiteral("Untitled Search"));
    EXPECT_EQ(items[5]->toolTip(), QStringLiteral(" NAME contains 'Road'"));
}

TEST_F(DocumentSearching, StoredSearchesMergeAndSurviveDamage)
{
    SmartSearchTable::setSmartSearchForKey(nameQuery("Mill"), "Mills");
    SmartSearchTable::setSmartSearchForKey(nameQuery("Road"), "Roads");
    SmartSearchTable::saveSmartSearches();
    SmartSearchTable::removeAllSmartSearches();
    SmartSearchTable::setSmartSearchForKey(nameQuery("Old"), "Mills");
    SmartSearchTable::setSmartSearchForKey(nameQuery("Lane"), "Lanes");
    SmartSearchTable::loadSmartSearches();
    ASSERT_TRUE(SmartSearchTable::smartSearches());
    EXPECT_EQ(SmartSearchTable::smartSearches()->keys(), (QStringList{"Lanes", "Mills", "Roads"}));
    EXPECT_EQ(SmartSearchTable::smartSearchForKey("Mills")->userReadableDescription(), QStringLiteral(" NAME contains 'Mill'"));

    // An empty table stores an archive that reads back as no entries.
    SmartSearchTable::removeAllSmartSearches();
    SmartSearchTable::saveSmartSearches();
    SmartSearchTable::loadSmartSearches();
    ASSERT_TRUE(SmartSearchTable::smartSearches());
    EXPECT_TRUE(SmartSearchTable::smartSearches()->isEmpty());

    // Damage of every kind: sound entries load, the rest is logged and skipped.
    auto* defaults = platform::UserDefaults::standardUserDefaults();
    SmartSearchArchive mixed;
    mixed.searches.insert("Good", nameQuery("Mill"));
    mixed.searches.insert("Empty", std::make_shared<MPSearchQuery>());
    const QByteArray mixedData = platform::KeyedArchiver::archivedDataWithRootObject(&mixed);
    const MPSearchQuery foreignRoot;
    const QVariant stored[] = {QStringLiteral("not data"), QByteArray("not an archive"),
                               platform::KeyedArchiver::archivedDataWithRootObject(&foreignRoot), mixedData};
    for (const QVariant& value : stored) {
        SmartSearchTable::removeAllSmartSearches();
        defaults->setObjectForKey(value, kQVNLSmartSearchesDefaultsKey);
        testsupport::LogCapture log;
        SmartSearchTable::loadSmartSearches();
        EXPECT_FALSE(log.lines.isEmpty()) << value.typeName();
    }
    ASSERT_TRUE(SmartSearchTable::smartSearches());
    EXPECT_EQ(SmartSearchTable::smartSearches()->keys(), QStringList{"Good"});
}

} // namespace
