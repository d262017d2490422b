#include "app/MapDocumentWindowController.h"
#include "app/MapMenuBar.h"
#include "app/QuorvaneDocumentController.h"
#include "app/UndoRedirector.h"
#include "app/VLTMAppDelegate.h"
#include "app/ZQTrueQuorvaneDocument.h"

#include "platform/foundation/RunLoop.h"
#include "platform/foundation/ZQUndoManager.h"
#include "platform/ui/Application.h"
#include "platform/ui/Menu.h"
#include "platform/ui/WindowController.h"
#include "platform/vantrix/drawables/VXDrawableShape.h"
#include "platform/vantrix/styles/VXStyle.h"
#include "platform/vantrix/tools/VXToolController.h"
#include "platform/vantrix/tools/VXToolRegistry.h"
#include "platform/vantrix/tools/VXZoomTool.h"
#include "platform/vantrix/view/VXDrawingView.h"
#include "platform/vantrix/model/VXObjectDrawingLayer.h"

#include <QApplication>
#include <QMainWindow>
#include <QMenuBar>
#include <gtest/gtest.h>

using platform::MenuItem;

namespace {

void activate(QWidget* window)
{
    window->show();
    QApplication::setActiveWindow(window);
    platform::RunLoop::runUntilIdle();
}

MenuItem* menuItem(QMenuBar* bar, const QString& menuTitle, const QString& itemTitle)
{
    for (QAction* menuAction : bar->actions())
        if (menuAction->menu() && menuAction->text().remove('&') == menuTitle)
            for (QAction* action : menuAction->menu()->actions())
                if (auto* item = qobject_cast<MenuItem*>(action); item && item->text() == itemTitle)
                    return item;
    ADD_FAILURE() << "no item " << qPrintable(menuTitle) << " > " << qPrintable(itemTitle);
    return nullptr;
}

// A map document with its window shown as the key window, the drawing view focused.
class MapMenus : public ::testing::Test {
protected:
    void SetUp() override
    {
        platform::DocumentController::setSharedDocumentController(std::make_unique<QuorvaneDocumentController>());
        platform::Application::setDelegate(&delegate);
        QuorvaneError error;
        document = qobject_cast<ZQQuorvaneDocument*>(
            platform::DocumentController::sharedDocumentController()->openUntitledDocumentAndDisplayError(true, &error));
        ASSERT_TRUE(document);
        window = qobject_cast<QMainWindow*>(document->windowForSheet());
        ASSERT_TRUE(window);
        activate(window);
        document->mainView()->setFocus();
        platform::RunLoop::runUntilIdle();
    }

    void TearDown() override
    {
        platform::Application::setDelegate(nullptr);
        platform::DocumentController::sharedDocumentController()->closeAllDocuments();
        platform::RunLoop::runUntilIdle();
    }

    MenuItem* item(const QString& menu, const QString& title) { return menuItem(window->menuBar(), menu, title); }

    int layerCount() const { return document->drawing()->countOfLayers(); }

    VLTMAppDelegate delegate;
    ZQQuorvaneDocument* document = nullptr;
    QMainWindow* window = nullptr;
};

} // namespace

TEST_F(MapMenus, CommandsReachTheViewTheWindowAndTheDocument)
{
    auto* layer = qobject_cast<VXObjectDrawingLayer*>(document->drawing()->activeLayer());
    ASSERT_TRUE(layer);
    for (int i = 0; i < 3; ++i)
        layer->addObject(VXDrawableShape::drawableShapeWithRect(QRectF(20 * i, 10, 15, 15), VXStyle::defaultStyle()));

    item("Edit", "Select All")->trigger(); // the drawing view
    EXPECT_EQ(layer->selection().size(), 3);

    VXDrawingView* view = document->mainView();
    view->setScale(1.0);
    item("View", "Zoom In")->trigger(); // the window controller
    EXPECT_DOUBLE_EQ(view->scale(), 2.0);
    item("View", "Zoom Out")->trigger();
    EXPECT_DOUBLE_EQ(view->scale(), 1.0);

    const int before = layerCount();
    item("Layer", "Duplicate Layer")->trigger(); // the document
    EXPECT_EQ(layerCount(), before + 1);

    EXPECT_TRUE(item("File", "New")->validate()); // the document controller
    EXPECT_TRUE(item("File", "Close")->validate()); // the application delegate
    EXPECT_FALSE(item("File", "Revert to Saved")->validate()); // never saved
}

TEST_F(MapMenus, WithoutAWindowOnlyApplicationCommandsAreEnabled)
{
    window->hide();
    QApplication::setActiveWindow(nullptr);
    platform::DocumentController::sharedDocumentController()->closeAllDocuments();
    platform::RunLoop::runUntilIdle();

    QWidget host;
    QMenuBar* bar = MapMenuBar::make(&host);
    EXPECT_TRUE(menuItem(bar, "File", "New")->validate());
    EXPECT_TRUE(menuItem(bar, "File", "Open...")->validate());
    EXPECT_TRUE(menuItem(bar, "Help", "About Quorvane")->validate());
    for (const auto& [menu, title] : {std::pair{"File", "Save"}, std::pair{"File", "Close"}, std::pair{"Edit", "Undo"},
                                      std::pair{"Edit", "Paste"}, std::pair{"View", "Zoom In"},
                                      std::pair{"Layer", "New Layer"}})
        EXPECT_FALSE(menuItem(bar, menu, title)->validate()) << menu << " > " << title;
}

TEST_F(MapMenus, ItemsValidateWhenPressedOrShownSkippingGoneToolsAndAnEmptyRecentList)
{
    // An item is validated when the keys of its key equivalent are pressed: they must be its shortcut.
    for (const auto& [menu, title, key] : {std::tuple{"Edit", "Undo", QKeySequence::Undo},
                                           std::tuple{"Edit", "Redo", QKeySequence::Redo},
                                           std::tuple{"Edit", "Delete", QKeySequence::Delete},
                                           std::tuple{"View", "Zoom In", QKeySequence::ZoomIn}}) {
        MenuItem* menuItem = item(menu, title);
        EXPECT_EQ(menuItem->shortcuts(), QKeySequence::keyBindings(key)) << title;
        EXPECT_EQ(platform::keySequenceForKeyEquivalent(menuItem->keyEquivalent(), menuItem->keyEquivalentModifierMask()),
                  menuItem->shortcut()) << title;
    }

    QMap<QString, QMenu*> menus;
    for (QMenu* menu : window->menuBar()->findChildren<QMenu*>())
        menus.insert(menu->title().remove('&'), menu);
    ASSERT_TRUE(menus.value("Tools") && menus.value("Open Recent"));
    VXToolRegistry::sharedToolRegistry().registerDrawingToolWithName(std::make_shared<VXZoomTool>(), "Doomed Zoom");
    Q_EMIT menus["Tools"]->aboutToShow();
    item("Tools", "Rectangle")->trigger();
    EXPECT_EQ(document->mainView()->toolController()->drawingTool()->registeredName(), "Rectangle");
    Q_EMIT menus["Tools"]->aboutToShow();
    EXPECT_EQ(item("Tools", "Rectangle")->state(), MenuItem::OnState);
    EXPECT_EQ(item("Tools", "Select")->state(), MenuItem::OffState);
    // An item shown before its tool was removed must not reach a tool that is not there.
    MenuItem* doomed = item("Tools", "Doomed Zoom");
    VXToolRegistry::sharedToolRegistry().registerDrawingToolWithName(nullptr, "Doomed Zoom");
    EXPECT_FALSE(doomed->validate());
    platform::Application::sendActionToFrom("selectToolAction", nullptr, doomed);
    EXPECT_EQ(document->mainView()->toolController()->drawingTool()->registeredName(), "Rectangle");

    platform::DocumentController::sharedDocumentController()->clearRecentDocuments(nullptr);
    Q_EMIT menus["Open Recent"]->aboutToShow();
    ASSERT_FALSE(menus["Open Recent"]->actions().isEmpty());
    EXPECT_EQ(menus["Open Recent"]->actions().last()->text(), "Clear Menu");
    EXPECT_FALSE(menus["Open Recent"]->actions().last()->isEnabled()); // nothing to clear
}

// --- Undo redirection ----------------------------------------------------------------------------

namespace {

class PanelController : public platform::WindowController {
    Q_OBJECT

public:
    bool redirects = true;
    int undos = 0;
    bool canUndo = true;

    Q_INVOKABLE bool willRedirectUndo() const { return redirects; }
    Q_INVOKABLE void undo(QObject*) { ++undos; }
    Q_INVOKABLE bool validateMenuItem(platform::MenuItem*) { return canUndo; }
};

} // namespace

TEST_F(MapMenus, UndoAndRedoFollowTheDocumentUnlessAKeyWindowAsksForThem)
{
    MenuItem* undo = item("Edit", "Undo");
    MenuItem* redo = item("Edit", "Redo");
    ASSERT_TRUE(undo && redo);
    EXPECT_FALSE(undo->validate()); // nothing to undo yet
    EXPECT_FALSE(redo->validate());
    const int before = layerCount();
    item("Layer", "New Layer")->trigger();
    ASSERT_EQ(layerCount(), before + 1);
    ASSERT_TRUE(undo->validate());
    EXPECT_NE(undo->title(), "Undo"); // named after the change

    PanelController panel;
    activate(panel.window());
    ASSERT_EQ(UndoRedirector::redirectionTarget(), &panel);
    panel.canUndo = false;
    EXPECT_FALSE(undo->validate()); // the panel decides, not the document
    panel.canUndo = true;
    ASSERT_TRUE(undo->validate());
    undo->trigger();
    EXPECT_EQ(panel.undos, 1);
    EXPECT_EQ(layerCount(), before + 1);

    panel.redirects = false;
    EXPECT_EQ(UndoRedirector::redirectionTarget(), nullptr);
    panel.window()->hide();
    activate(window);
    undo->trigger();
    EXPECT_EQ(panel.undos, 1);
    EXPECT_EQ(layerCount(), before);
    EXPECT_FALSE(undo->validate());
    ASSERT_TRUE(redo->validate());
    redo->trigger();
    EXPECT_EQ(layerCount(), before + 1);
}

#include "MenuBarTest.moc"
