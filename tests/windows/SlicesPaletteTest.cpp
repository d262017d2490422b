// The slices palette: placed over the main palette, which it hides and brings back only when it
// was up; following the main window; the modes both ways; and a layer that goes away while it
// is the palette's delegate.

#include "../app/MapDocumentTestSupport.h"
#include "../platform/ui/UiTestSupport.h"
#include "app/document/MapDocumentWindowController.h"
#include "panels/PanelsServicesInstallation.h"
#include "panels/dialogs/DocumentExport.h"
#include "panels/slices/VLTMSlicesLayer.h"
#include "platform/foundation/NotificationCenter.h"
#include "platform/ui/ResponderChain.h"
#include "platform/ui/WindowNotifications.h"
#include "platform/vantrix/model/VXDrawing.h"
#include "support/LogCapture.h"
#include "widgets/buttons/ZQStyleButton.h"
#include "windows/palettes/QVNToolsController.h"
#include "windows/palettes/VLTMSlicesToolPaletteController.h"

#include <QTest>
#include <gtest/gtest.h>

namespace {

std::shared_ptr<ZQTrueQuorvaneDocument> shownMap()
{
    platform::ResponderChain::trackWindowActivation();
    auto document = mapdocumenttest::newMapDocument();
    document->makeWindowControllers();
    uitest::activate(document->mapWindowController()->window());
    return document;
}

VLTMSlicesLayer* slicesOf(const ZQQuorvaneDocument& document)
{
    return dynamic_cast<VLTMSlicesLayer*>(document.drawing()->slicesLayer());
}

void becameMain(QWidget* window)
{
    platform::NotificationCenter::defaultCenter().postNotificationName(platform::kNSWindowDidBecomeMainNotification, window);
}

} // namespace

TEST(SlicesPaletteTest, StandsInForTheMainPaletteWhileASlicesLayerIsActive)
{
    installPanelsServices();
    VLTMSlicesToolPaletteController* slicesPalette = VLTMSlicesToolPaletteController::sharedSlicesToolPalette();
    // Without a main palette it opens at the origin.
    slicesPalette->showWindow();
    EXPECT_EQ(slicesPalette->window()->frameGeometry().topLeft(), QPoint(0, 0));
    slicesPalette->close();

    QWidget* mainPalette = QVNToolsController::sharedToolsController()->window();
    mainPalette->move(120, 80);
    mainPalette->show();
    const auto map = shownMap();
    VLTMSlicesLayer* slices = slicesOf(*map);
    ASSERT_TRUE(slices);
    VXLayer* drawn = map->drawing()->activeLayer();
    map->drawing()->setActiveLayer(map->drawing()->slicesLayer());
    EXPECT_TRUE(slicesPalette->window()->isVisible());
    EXPECT_EQ(slicesPalette->window()->frameGeometry().topLeft(), mainPalette->frameGeometry().topLeft());
    EXPECT_FALSE(mainPalette->isVisible());
    EXPECT_EQ(slicesPalette->delegate(), slices);
    EXPECT_EQ(slicesPalette->selectedToolMode(), slices->toolMode());

    // The modes, both ways.
    QTest::mouseClick(slicesPalette->toolButton(kVLTMSlicesSelectMode), Qt::LeftButton);
    EXPECT_EQ(slices->toolMode(), int(kVLTMSlicesSelectMode));
    slices->setToolMode(kVLTMSlicesDrawMode);
    EXPECT_EQ(slicesPalette->selectedToolMode(), int(kVLTMSlicesDrawMode));

    // The export button opens the map's export sheet on its slices.
    slicesPalette->exportAction();
    const DocumentExport* exporting = DocumentExport::ofDocument(*map);
    ASSERT_TRUE(exporting && exporting->exportController());
    EXPECT_TRUE(exporting->exportController()->sourceButton(3)->isChecked());
    exporting->exportController()->cancelAction();

    // Another map whose active layer is not the slices layer: palette down, main palette back.
    const auto other = shownMap();
    becameMain(other->mapWindowController()->window());
    EXPECT_FALSE(slicesPalette->window()->isVisible());
    EXPECT_EQ(slicesPalette->delegate(), nullptr);
    EXPECT_TRUE(mainPalette->isVisible());

    // Back to the first map: up again over the main palette.
    becameMain(map->mapWindowController()->window());
    EXPECT_TRUE(slicesPalette->window()->isVisible());
    EXPECT_EQ(slicesPalette->delegate(), slices);
    EXPECT_FALSE(mainPalette->isVisible());

    // A window of no map: down, delegate dropped, the main palette left hidden.
    QWidget stranger;
    becameMain(&stranger);
    EXPECT_FALSE(slicesPalette->window()->isVisible());
    EXPECT_EQ(slicesPalette->delegate(), nullptr);
    EXPECT_FALSE(mainPalette->isVisible());

    // Back to the map: leaving its slices layer brings back the main palette the slices palette
    // first took the place of, however often it was shown in between.
    becameMain(map->mapWindowController()->window());
    slicesPalette->showWindow();
    EXPECT_TRUE(slicesPalette->window()->isVisible());
    EXPECT_TRUE(slicesPalette->mainToolsPreviouslyVisible());
    ASSERT_TRUE(map->drawing()->setActiveLayer(drawn));
    EXPECT_FALSE(slicesPalette->window()->isVisible());
    EXPECT_TRUE(mainPalette->isVisible());

    // Shown while the user had closed the main palette: closing leaves it down.
    mainPalette->hide();
    slicesPalette->showWindow();
    EXPECT_FALSE(slicesPalette->mainToolsPreviouslyVisible());
    slicesPalette->close();
    EXPECT_FALSE(mainPalette->isVisible());
    other->close();
    map->close();
}

TEST(SlicesPaletteTest, ALayerThatGoesAwayLeavesNoDelegateAndExportWithoutAMapIsLogged)
{
    installPanelsServices();
    VLTMSlicesToolPaletteController* slicesPalette = VLTMSlicesToolPaletteController::sharedSlicesToolPalette();
    {
        auto map = shownMap();
        map->drawing()->setActiveLayer(map->drawing()->slicesLayer());
        EXPECT_NE(slicesPalette->delegate(), nullptr);
        map->close();
        map.reset();
    }
    // The last map closed while its slices layer was active: the palette went down with its
    // window and keeps nothing to call.
    EXPECT_FALSE(slicesPalette->window()->isVisible());
    EXPECT_EQ(slicesPalette->delegate(), nullptr);
    QTest::mouseClick(slicesPalette->toolButton(kVLTMSlicesSelectMode), Qt::LeftButton);

    const testsupport::LogCapture log;
    slicesPalette->exportAction();
    EXPECT_TRUE(log.contains(QStringLiteral("slices export requested with no map")));
}
