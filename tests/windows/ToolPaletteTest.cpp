// The main tool palette: the tag table, making tools current by button and following tool
// changes made elsewhere, the style or symbol handed to creation tools, notifications, the
// enabling that follows the main window, double clicks, and the saved frame.

#include "../app/MapDocumentTestSupport.h"
#include "../platform/ui/UiTestSupport.h"
#include "../platform/vantrix/tools/ToolRegistryScope.h"
#include "app/services/LibraryServices.h"
#include "app/document/MapDocumentWindowController.h"
#include "panels/search/SmartSearchTable.h"
#include "panels/search/VXQSmartSelectTool.h"
#include "platform/foundation/NotificationCenter.h"
#include "platform/foundation/UserDefaults.h"
#include "platform/ui/ResponderChain.h"
#include "platform/ui/WindowNotifications.h"
#include "platform/vantrix/drawables/VXDrawableShape.h"
#include "platform/vantrix/styles/VXStyleHistory.h"
#include "platform/vantrix/tools/VXObjectCreationTool.h"
#include "platform/vantrix/tools/VXToolController.h"
#include "platform/vantrix/tools/VXToolRegistry.h"
#include "platform/vantrix/tools/VXZoomTool.h"
#include "platform/vantrix/view/VXDrawingView.h"
#include "support/SettingScope.h"
#include "symbols/masters/VXQSymbolMaster.h"
#include "symbols/tool/VXQSymbolTool.h"
#include "widgets/buttons/ZQStyleButton.h"
#include "windows/palettes/QVNToolsController.h"
#include "windows/palettes/ToolPalettePreview.h"
#include "windows/palettes/VLTMSlicesToolPaletteController.h"
#include "platform/foundation/ZQUndoManager.h"
#include "platform/vantrix/model/VXObjectDrawingLayer.h"

#include <QAbstractButton>
#include <QGuiApplication>
#include <QMenu>
#include <QWindow>
#include <QScopeGuard>
#include <QTest>
#include <gtest/gtest.h>

namespace {

class ToolPaletteTest : public ::testing::Test {
protected:
    void SetUp() override
    {
        platform::ResponderChain::trackWindowActivation();
        document = mapdocumenttest::newMapDocument();
        document->makeWindowControllers();
        uitest::activate(document->mapWindowController()->window());
        // The shared palette: every palette made hears the notifications.
        palette = QVNToolsController::sharedToolsController();
        palette->window()->show();
        platform::NotificationCenter::defaultCenter().addObserver(
            &listener, kQuorvaneToolControllerSetTool, nullptr,
            [this](const platform::Notification& n) { setToolInfos.append(n.userInfo); });
        platform::NotificationCenter::defaultCenter().addObserver(
            &listener, kQuorvaneToolControllerStyleChangedExternally, nullptr,
            [this](const platform::Notification& n) { externalChanges.append(n.object()); });
    }

    void TearDown() override
    {
        VXObjectCreationTool::setStyleForCreatedObjects(nullptr);
        palette->setEnabled(true);
        document->close();
    }

    VXToolController* controller() const { return document->mainView()->toolController(); }

    QList<int> selectedTags() const
    {
        QList<int> tags;
        for (const QList<int>* matrix : {&QVNToolsController::selectionTags(), &QVNToolsController::drawingTags(),
                                         &QVNToolsController::cartographyTags()})
            for (int tag : *matrix)
                if (palette->toolButtonWithTag(tag)->state() == ZQStyleButtonCell::OnState)
                    tags.append(tag);
        return tags;
    }

    testsupport::ToolRegistryScope registry;
    std::shared_ptr<ZQTrueQuorvaneDocument> document;
    QVNToolsController* palette = nullptr;
    QObject listener;
    QList<QVariantMap> setToolInfos;
    QList<QObject*> externalChanges;
};

} // namespace

TEST_F(ToolPaletteTest, TagsNameRegisteredToolsAndButtonsFollowTheCurrentTool)
{
    EXPECT_EQ(QVNToolsController::tagForToolName(QStringLiteral("Zoom Out")), 4);
    EXPECT_EQ(QVNToolsController::tagForToolName(QStringLiteral("Connectable Freehand")), 50);
    EXPECT_EQ(QVNToolsController::tagForToolName(QStringLiteral("No Such Tool")), 6);
    EXPECT_EQ(QVNToolsController::toolNameForTag(0), QString());
    EXPECT_EQ(QVNToolsController::toolNameForTag(7), QString());
    const int buttons = QVNToolsController::selectionTags().size() + QVNToolsController::drawingTags().size()
        + QVNToolsController::cartographyTags().size();
    EXPECT_EQ(buttons, 29);
    for (const QList<int>* matrix : {&QVNToolsController::selectionTags(), &QVNToolsController::drawingTags(),
                                     &QVNToolsController::cartographyTags()})
        for (int tag : *matrix)
            EXPECT_FALSE(QVNToolsController::toolNameForTag(tag).isEmpty()) << tag;
    EXPECT_EQ(selectedTags(), QList<int>{6});
    VXToolRegistry::sharedToolRegistry().drawingToolWithName(QStringLiteral("Oval"))->setKeyboardEquivalent(QStringLiteral("o"));
    EXPECT_EQ(QVNToolsController::tooltipForTag(11), QStringLiteral("Oval [o]"));
    EXPECT_EQ(palette->toolButtonWithTag(11)->toolTip(), QStringLiteral("Oval [o]"));
    EXPECT_TRUE(QVNToolsController::tooltipForTag(6).endsWith(QStringLiteral("Esc]")));

    // Zoom out by its button: the registry's zoom tool, zooming out; tag 3 zooms in.
    auto zoomOut = std::make_shared<VXZoomTool>();
    VXToolRegistry::sharedToolRegistry().registerDrawingToolWithName(zoomOut, QStringLiteral("Zoom Out"));
    QTest::mouseClick(palette->toolButtonWithTag(4), Qt::LeftButton);
    EXPECT_EQ(controller()->drawingTool(), zoomOut.get());
    EXPECT_TRUE(zoomOut->zoomsOut());
    EXPECT_EQ(selectedTags(), QList<int>{4});
    ASSERT_EQ(setToolInfos.size(), 1);
    EXPECT_EQ(setToolInfos[0].value(QStringLiteral("tool_info")).value<VXDrawingToolPtr>(), zoomOut);
    palette->toolsMatrixAction(3);
    auto* zoom = qobject_cast<VXZoomTool*>(controller()->drawingTool());
    ASSERT_TRUE(zoom);
    EXPECT_EQ(zoom->registeredName(), QStringLiteral("Zoom"));
    EXPECT_FALSE(zoom->zoomsOut());

    // No "Smart Select" registered: no tool made current, the notification still posted, bare.
    palette->toolsMatrixAction(44);
    EXPECT_EQ(controller()->drawingTool(), zoom);
    ASSERT_EQ(setToolInfos.size(), 3);
    EXPECT_TRUE(setToolInfos[2].isEmpty());

    // A tool chosen elsewhere moves the selection to its button.
    controller()->selectDrawingToolByName(QStringLiteral("Oval"));
    EXPECT_EQ(selectedTags(), QList<int>{11});
    EXPECT_EQ(palette->tagForCurrentTool(), 11);
}

TEST_F(ToolPaletteTest, TheSmartSelectMenuGivesTheToolTheChosenSmartSearch)
{
    VXQSmartSelectTool::registerWithRegistry(VXToolRegistry::sharedToolRegistry());
    auto* tool = dynamic_cast<VXQSmartSelectTool*>(
        VXToolRegistry::sharedToolRegistry().drawingToolWithName(VXQSmartSelectTool::kToolName).get());
    ASSERT_TRUE(tool);
    auto query = std::make_shared<MPSearchQuery>();
    query->addCriterion(MPSearchCriterion::criterionWithStringMatchKindIdentifier(
        QStringLiteral("Mill"), kMPContains, QStringLiteral("NAME")));
    SmartSearchTable::setSmartSearchForKey(query, QStringLiteral("Mills"));
    const auto forget = qScopeGuard([] { SmartSearchTable::removeSmartSearchForKey(QStringLiteral("Mills")); });
    QMenu* menu = palette->smartSelectMenu();
    ASSERT_TRUE(menu);
    const auto item = [menu](const QString& title) -> QAction* {
        Q_EMIT menu->aboutToShow();
        for (QAction* action : menu->actions())
            if (action->text() == title)
                return action;
        return nullptr;
    };

    ASSERT_TRUE(item(QStringLiteral("Mills")));
    EXPECT_TRUE(item(QStringLiteral("All Items"))->isChecked()) << "no query: every object";
    item(QStringLiteral("Mills"))->trigger();
    EXPECT_EQ(tool->searchQuery(), query);
    EXPECT_EQ(controller()->drawingTool(), tool);
    EXPECT_TRUE(item(QStringLiteral("Mills"))->isChecked());
    EXPECT_FALSE(item(QStringLiteral("All Items"))->isChecked());
    EXPECT_TRUE(palette->toolButtonWithTag(44)->toolTip().endsWith(QStringLiteral("Mills")));
    item(QStringLiteral("All Items"))->trigger();
    EXPECT_EQ(tool->searchQuery(), nullptr);
    EXPECT_FALSE(palette->toolButtonWithTag(44)->toolTip().contains(QStringLiteral("Mills")));
}

TEST_F(ToolPaletteTest, StylesReachTheCreationToolsAsTheBindingSays)
{
    const auto prototype = VXDrawableShape::drawableShapeWithRect(QRectF(0, 0, 1, 1), VXStyle::defaultStyle());
    auto lineTool = std::make_shared<VXObjectCreationTool>(prototype, VXObjectCreationTool::Geometry::Line);
    auto boxTool = std::make_shared<VXObjectCreationTool>(prototype, VXObjectCreationTool::Geometry::Box);
    VXToolRegistry::sharedToolRegistry().registerDrawingToolWithName(lineTool, QStringLiteral("Line"));
    VXToolRegistry::sharedToolRegistry().registerDrawingToolWithName(boxTool, QStringLiteral("Rectangle"));
    palette->toolsMatrixAction(16);
    const VXStylePtr red = VXStyle::styleWithFillColourStrokeColour(Qt::red, Qt::black);
    const VXStylePtr blue = VXStyle::styleWithFillColourStrokeColour(Qt::blue, Qt::black);

    {
        // Bound: only the current tool gets the style, the class style is cleared.
        const testsupport::SettingScope binding(&QVNToolsController::toolStyleBindingEnabled,
                                                &QVNToolsController::setToolStyleBindingEnabled, true);
        VXObjectCreationTool::setStyleForCreatedObjects(blue);
        externalChanges.clear();
        palette->setCurrentStyleOrSymbol(red);
        EXPECT_EQ(lineTool->style(), red);
        EXPECT_EQ(boxTool->style(), nullptr);
        EXPECT_EQ(VXObjectCreationTool::styleForCreatedObjects(), nullptr);
        EXPECT_EQ(VXStyleHistory::defaultHistory().currentStyle(), red);
        EXPECT_TRUE(externalChanges.isEmpty());
    }
    lineTool->setStyle(nullptr);
    // Unbound: every creation tool, through the class style.
    palette->setCurrentStyleOrSymbol(blue);
    EXPECT_EQ(VXObjectCreationTool::styleForCreatedObjects(), blue);
    EXPECT_EQ(lineTool->style(), nullptr);
    EXPECT_EQ(VXStyleHistory::defaultHistory().currentStyle(), blue);
    EXPECT_EQ(palette->stylePreview()->shownObject(), blue);
    EXPECT_TRUE(externalChanges.isEmpty());

    // A style set from outside: adopted, shown, announced once with its sender.
    VXObjectCreationTool::setStyleForCreatedObjects(red);
    EXPECT_EQ(palette->currentStyle(), red);
    EXPECT_EQ(palette->stylePreview()->shownObject(), red);
    EXPECT_EQ(externalChanges.size(), 1);

    // A master goes to "Place Symbol", and the preview shows it.
    auto symbolTool = std::make_shared<VXQSymbolTool>(nullptr);
    VXToolRegistry::sharedToolRegistry().registerDrawingToolWithName(symbolTool, QStringLiteral("Place Symbol"));
    auto master = std::make_shared<VXQSymbolMaster>();
    palette->setCurrentStyleOrSymbol(master);
    EXPECT_EQ(symbolTool->symbolMaster(), master);
    EXPECT_EQ(palette->currentStyle(), nullptr);
    EXPECT_EQ(palette->representedObject(), master);
    EXPECT_EQ(externalChanges.size(), 1);

    // Choosing the symbol tool shows its master; a tool that makes nothing shows nothing.
    palette->toolsMatrixAction(43);
    EXPECT_EQ(palette->representedObject(), master);
    palette->toolsMatrixAction(2);
    EXPECT_EQ(palette->representedObject(), nullptr);
}

TEST_F(ToolPaletteTest, EnablesAfterTheMainWindowChangesAndHandlesDoubleClicks)
{
    palette->setEnabled(false);
    platform::NotificationCenter::defaultCenter().postNotificationName(platform::kNSWindowDidBecomeMainNotification,
                                                                      document->mapWindowController()->window());
    platform::RunLoop::runFor(50);
    EXPECT_FALSE(palette->isEnabled());
    platform::RunLoop::runFor(60);
    EXPECT_TRUE(palette->isEnabled());
    EXPECT_TRUE(palette->toolButtonWithTag(41)->isEnabled());

    // Double clicks: the pan button fits the map in its window, a drawing tool latches.
    document->mainView()->setScale(4.0);
    QTest::mouseDClick(palette->toolButtonWithTag(2), Qt::LeftButton);
    EXPECT_NE(document->mainView()->scale(), 4.0);
    const bool reverts = controller()->automaticallyRevertsToSelectionTool();
    QTest::mouseDClick(palette->toolButtonWithTag(10), Qt::LeftButton);
    EXPECT_NE(controller()->automaticallyRevertsToSelectionTool(), reverts);

    // Without a view able to take a tool the palette disables itself.
    document->mapWindowController()->window()->hide();
    platform::RunLoop::runFor(110);
    EXPECT_FALSE(palette->isEnabled());
}

// With two maps open and the palette itself key, a button sets the tool of the map last in
// front, not of no map at all.
TEST_F(ToolPaletteTest, ButtonsReachTheMainMapWhileThePaletteIsKey)
{
    auto other = mapdocumenttest::newMapDocument();
    other->makeWindowControllers();
    uitest::activate(other->mapWindowController()->window());
    uitest::activate(document->mapWindowController()->window());
    uitest::activate(palette->window());
    ASSERT_EQ(platform::ResponderChain::mainWindow(), document->mapWindowController()->window());
    const auto prototype = VXDrawableShape::drawableShapeWithRect(QRectF(0, 0, 1, 1), VXStyle::defaultStyle());
    auto boxTool = std::make_shared<VXObjectCreationTool>(prototype, VXObjectCreationTool::Geometry::Box);
    VXToolRegistry::sharedToolRegistry().registerDrawingToolWithName(boxTool, QStringLiteral("Rectangle"));

    QTest::mouseClick(palette->toolButtonWithTag(10), Qt::LeftButton);
    EXPECT_EQ(controller()->drawingTool(), boxTool.get());
    EXPECT_NE(other->mainView()->toolController()->drawingTool(), boxTool.get());
    other->close();
}

// A click on a palette leaves the map's window active, so its shortcuts (Ctrl+Z, Ctrl+Q) still
// work: the window system activates a clicked window only when it takes the keyboard.
TEST_F(ToolPaletteTest, TheMapsShortcutsStillWorkAfterAPaletteClick)
{
    QWidget* map = document->mapWindowController()->window();
    auto* layer = qobject_cast<VXObjectDrawingLayer*>(document->drawing()->activeLayer());
    ASSERT_TRUE(layer);
    layer->addObject(VXDrawableShape::drawableShapeWithRect(QRectF(10, 10, 40, 40), VXStyle::defaultStyle()));
    document->undoManager()->closeAutomaticGroup();
    ASSERT_EQ(layer->objects().size(), 1);

    const QList<QWidget*> palettes{palette->window(), VLTMSlicesToolPaletteController::sharedSlicesToolPalette()->window()};
    for (QWidget* each : palettes)
        each->show();
    // The offscreen platform activates windows as they show: the map comes to the front again.
    platform::RunLoop::runUntilIdle();
    map->activateWindow();
    platform::RunLoop::runUntilIdle();
    ASSERT_EQ(QGuiApplication::focusWindow(), map->windowHandle());
    for (QWidget* each : palettes) {
        QTest::mouseClick(each->findChildren<QAbstractButton*>().first(), Qt::LeftButton);
        each->windowHandle()->requestActivate(); // what the window system does on a click
        platform::RunLoop::runUntilIdle();
        EXPECT_EQ(QGuiApplication::focusWindow(), map->windowHandle());
    }
    QTest::keyClick(QGuiApplication::focusWindow(), Qt::Key_Z, Qt::ControlModifier);
    EXPECT_TRUE(layer->objects().isEmpty()) << "Edit > Undo took its shortcut";
}

TEST_F(ToolPaletteTest, FrameAndVisibilityPersistAndBadFramesAreIgnored)
{
    platform::UserDefaults& defaults = *platform::UserDefaults::standardUserDefaults();
    QVNToolsController* shared = palette;
    shared->window()->setGeometry(40, 60, 140, 300);
    shared->window()->show();
    QVNToolsController::saveToolsControllerState();
    EXPECT_TRUE(defaults.boolForKey(kTMSVToolsControllerVisible));
    EXPECT_EQ(defaults.stringForKey(kTMSVToolsControllerFrame), QStringLiteral("40 60 140 300"));

    shared->window()->hide();
    shared->window()->setGeometry(10, 10, 140, 300);
    QVNToolsController::restoreToolsControllerState();
    EXPECT_EQ(shared->window()->geometry(), QRect(40, 60, 140, 300));
    EXPECT_TRUE(shared->window()->isVisible());

    for (const QString& bad : {QStringLiteral("garbage"), QStringLiteral("1 2 3"), QStringLiteral("0 0 -5 10"),
                               QStringLiteral("99999 99999 100 100"), QStringLiteral("1 2 x 4")}) {
        defaults.setObjectForKey(bad, kTMSVToolsControllerFrame);
        QVNToolsController::restoreToolsControllerState();
        EXPECT_EQ(shared->window()->geometry(), QRect(40, 60, 140, 300)) << bad.toStdString();
    }
    shared->window()->hide();
    QVNToolsController::saveToolsControllerState();
    EXPECT_FALSE(defaults.boolForKey(kTMSVToolsControllerVisible));
    defaults.removeObjectForKey(kTMSVToolsControllerFrame);
    defaults.removeObjectForKey(kTMSVToolsControllerVisible);
}
