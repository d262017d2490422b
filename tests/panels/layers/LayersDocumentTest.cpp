// The map document's Layer commands reach the layers panel of its window.

#include "app/document/MapDocumentWindowController.h"
#include "app/sidebar/TabControllerRegistry.h"
#include "app/document/ZQTrueQuorvaneDocument.h"
#include "panels/layers/VLTMLayersController.h"
#include "platform/foundation/UserDefaults.h"
#include "platform/ui/MenuItem.h"
#include "platform/vantrix/model/VXDrawing.h"

#include <gtest/gtest.h>

namespace {

using SplitItem = MapDocumentWindowController::SplitItem;

TEST(LayersDocument, LayerCommandsSelectTheTabAndGoThroughThePanel)
{
    platform::UserDefaults::standardUserDefaults()->removeObjectForKey(kVLTMDocument_DefaultRestorableState);
    auto document = std::make_shared<ZQTrueQuorvaneDocument>();
    QuorvaneError error;
    ASSERT_TRUE(document->initWithTypeError(kZQMapDocumentType, &error));
    document->makeWindowControllers();
    document->mapWindowController()->window()->resize(1000, 600);
    SidebarTabView* right = document->mapWindowController()->sidebarTabView(SplitItem::RightSidePanel);
    ASSERT_TRUE(right);
    SidebarTab* tab = right->tabWithIdentifier(kVLTMTabViewLayers);
    ASSERT_TRUE(tab);
    auto* panel = qobject_cast<VLTMLayersController*>(tab->viewController());
    ASSERT_TRUE(panel);
    EXPECT_EQ(panel->drawing(), document->drawing().get());
    EXPECT_EQ(panel->delegate(), document.get());

    right->setCurrentTab(0);
    ASSERT_TRUE(document->couldAddNewLayerOrLayerGroup());
    const int before = document->drawing()->countOfLayers();
    document->newDrawingLayer();
    EXPECT_EQ(right->tabAtIndex(right->currentTab()), tab);
    ASSERT_EQ(document->drawing()->countOfLayers(), before + 1);
    const VXLayerPtr added = document->drawing()->objectInLayersAtIndex(0);
    EXPECT_EQ(added->layerName(), QStringLiteral("Drawing Layer"));
    // The document's own kind of drawing layer.
    EXPECT_STREQ(added->metaObject()->className(), document->classOfDefaultDrawingLayer().className());
    EXPECT_EQ(document->undoManager()->undoActionName(), QStringLiteral("Add Layer"));

    // Validation asks the panel: the drawing row selected cannot be deleted.
    panel->selectItem(document->drawing().get());
    EXPECT_FALSE(document->couldDeleteLayer());
    platform::MenuItem item;
    item.setAction("deleteLayerAction");
    EXPECT_FALSE(document->validateMenuItem(&item));
    panel->selectItem(added.get());
    EXPECT_TRUE(document->validateMenuItem(&item));
    document->close();
}

} // namespace
