#include "app/document/MapDocumentWindowController.h"
#include "app/sidebar/TabControllerRegistry.h"
#include "app/document/ZQTrueQuorvaneDocument.h"
#include "platform/foundation/RunLoop.h"
#include "platform/foundation/UserDefaults.h"

#include <QSplitter>
#include <QTemporaryDir>
#include <gtest/gtest.h>

namespace {

using SplitItem = MapDocumentWindowController::SplitItem;

class MapSidebarsTest : public ::testing::Test {
protected:
    static void SetUpTestSuite()
    {
        // Stand-ins for tabs whose libraries are not built yet.
        for (const QString& identifier : {kVLTMTabViewGeometry, kVLTMTabViewLayers, kVLTMUndoHistoryController})
            if (!TabControllerRegistry::classForTabControllerWithIdentifier(identifier))
                TabControllerRegistry::registerTabControllerForIdentifier(
                    identifier, [] { return std::make_shared<VLTMTabContentViewController>(); });
    }
    void SetUp() override { defaults().removeObjectForKey(kVLTMDocument_DefaultRestorableState); }
    void TearDown() override
    {
        for (const auto& document : documents)
            document->close();
        defaults().removeObjectForKey(kVLTMDocument_DefaultRestorableState);
    }
    static platform::UserDefaults& defaults() { return *platform::UserDefaults::standardUserDefaults(); }

    MapDocumentWindowController* openWindow(const std::shared_ptr<ZQTrueQuorvaneDocument>& document)
    {
        documents.append(document);
        document->makeWindowControllers();
        MapDocumentWindowController* controller = document->mapWindowController();
        controller->window()->resize(1000, 600);
        return controller;
    }
    std::shared_ptr<ZQTrueQuorvaneDocument> newDocument()
    {
        auto document = std::make_shared<ZQTrueQuorvaneDocument>();
        QuorvaneError error;
        EXPECT_TRUE(document->initWithTypeError(kZQMapDocumentType, &error));
        return document;
    }
    static QStringList identifiers(const SidebarTabView* view)
    {
        return view->restorableStateInfo().value("identifierList").toStringList();
    }

    QList<std::shared_ptr<ZQTrueQuorvaneDocument>> documents;
};

TEST_F(MapSidebarsTest, ANewMapShowsTheRegisteredDefaultTabsOnTheRight)
{
    MapDocumentWindowController* window = openWindow(newDocument());
    SidebarTabView* left = window->sidebarTabView(SplitItem::LeftSidePanel);
    SidebarTabView* right = window->sidebarTabView(SplitItem::RightSidePanel);
    ASSERT_TRUE(left && right);
    EXPECT_EQ(window->rightSidePanel(), right->widget());
    EXPECT_EQ(left->numberOfTabs(), 0);
    EXPECT_EQ(window->splitView()->sizes()[SplitItem::LeftSidePanel], 0) << "an empty left panel starts collapsed";
    EXPECT_GT(window->splitView()->sizes()[SplitItem::RightSidePanel], 0);
    window->window()->show();
    EXPECT_EQ(window->splitView()->sizes()[SplitItem::LeftSidePanel], 0);
    EXPECT_GT(window->splitView()->sizes()[SplitItem::RightSidePanel], 0);
    QStringList expected;
    for (const QString& identifier : {kVLTMTabViewStyle, kVLTMTabViewGeometry, kVLTMTextController,
                                      kVLQNAttributesController, kVLTMTabViewLayers})
        if (TabControllerRegistry::classForTabControllerWithIdentifier(identifier))
            expected << identifier;
    EXPECT_EQ(identifiers(right), expected);
    EXPECT_EQ(right->currentTab(), 0);
    VLTMTabContentViewController* geometry = window->tabControllerWithIdentifier(kVLTMTabViewGeometry);
    ASSERT_TRUE(geometry);
    EXPECT_EQ(geometry->nibName(), kVLTMTabViewGeometry);
}

TEST_F(MapSidebarsTest, UnknownDuplicateAndHistoryTabsAreTurnedAwayAndEmptiedPanelsCollapse)
{
    auto document = newDocument();
    const QVariantMap sidebar{{"identifierList", QStringList({kVLTMUndoHistoryController, "NoSuchTab", kVLTMTabViewGeometry,
                                                               kVLTMTabViewGeometry, kVLTMTabViewLayers})},
                              {"selectedTab", 1}, {"tabOptions", 3}, {"tabAlignment", 0}};
    document->setWindowRestorationState({{"left_sidebar", sidebar}, {"right_sidebar", QStringLiteral("bad")},
                                         {"splits", QVariantList{200, 600, 200}}});
    MapDocumentWindowController* window = openWindow(document);
    SidebarTabView* left = window->sidebarTabView(SplitItem::LeftSidePanel);
    EXPECT_EQ(identifiers(left), QStringList({kVLTMTabViewGeometry, kVLTMTabViewLayers}));
    EXPECT_EQ(left->currentTab(), 1);
    EXPECT_EQ(window->sidebarTabView(SplitItem::RightSidePanel)->numberOfTabs(), 0);
    EXPECT_GT(window->splitView()->sizes()[0], 0) << "tabs turned away collapse nothing";

    left->removeTabFromView(left->tabAtIndex(1));
    left->removeTabFromView(left->tabAtIndex(0));
    EXPECT_EQ(window->splitView()->sizes()[0], 0);
}

TEST_F(MapSidebarsTest, TheArrangementIsSavedWithTheMapAndBecomesThePreference)
{
    QTemporaryDir folder;
    const QUrl url = QUrl::fromLocalFile(folder.filePath("Coast.qvnl"));
    {
        auto document = newDocument();
        MapDocumentWindowController* window = openWindow(document);
        auto* right = window->sidebarTabView(SplitItem::RightSidePanel);
        right->setCurrentTab(1);
        platform::RunLoop::runFor(ZQQuorvaneDocument::kWindowStateSaveDelay);
        EXPECT_EQ(defaults().dictionaryForKey(kVLTMDocument_DefaultRestorableState).value("right_sidebar").toMap().value("selectedTab").toInt(), 1);
        QuorvaneError error;
        ASSERT_TRUE(document->saveToURLOfTypeForSaveOperationError(url, kZQMapDocumentType,
                                                                   platform::Document::SaveOperation, &error));
    }
    defaults().removeObjectForKey(kVLTMDocument_DefaultRestorableState);

    auto reopened = std::make_shared<ZQTrueQuorvaneDocument>();
    QuorvaneError error;
    ASSERT_TRUE(reopened->initWithContentsOfURLOfTypeError(url, kZQMapDocumentType, &error));
    MapDocumentWindowController* window = openWindow(reopened);
    EXPECT_EQ(window->sidebarTabView(SplitItem::RightSidePanel)->currentTab(), 1);
    EXPECT_EQ(reopened->restorableStateInfo().value("right_sidebar").toMap().value("identifierList"),
              documents.first()->restorableStateInfo().value("right_sidebar").toMap().value("identifierList"));
}

} // namespace
