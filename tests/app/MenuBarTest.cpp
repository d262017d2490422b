#include "app/document/MapDocumentWindowController.h"
#include "app/application/MapMenuBar.h"
#include "app/commands/MapSearchToolBar.h"
#include "app/document/QuorvaneDocumentController.h"
#include "app/application/UndoRedirector.h"
#include "app/document/VXQMappingLayer.h"

#include "platform/foundation/RunLoop.h"
#include "platform/foundation/ZQUndoManager.h"
#include "platform/ui/Application.h"
#include "platform/ui/Menu.h"
#include "platform/ui/WindowController.h"
#include "platform/vantrix/drawables/VXDrawableShape.h"
#include "platform/vantrix/styles/VXStyle.h"
#include "platform/vantrix/tools/ToolRegistryScope.h"
#include "platform/vantrix/tools/VXToolController.h"
#include "platform/vantrix/tools/VXToolRegistry.h"
#include "platform/vantrix/tools/VXZoomTool.h"
#include "platform/vantrix/view/VXDrawingView.h"
#include "platform/vantrix/model/VXLayerGroup.h"
#include "platform/vantrix/model/VXObjectDrawingLayer.h"
#include "support/MapWindowTesting.h"

#include <QAbstractButton>
#include <QApplication>
#include <QFileDialog>
#include <QLineEdit>
#include <QMainWindow>
#include <QMenuBar>
#include <QMessageBox>
#include <QRegularExpression>
#include <QTemporaryDir>
#include <QTest>
#include <gtest/gtest.h>

using platform::MenuItem;
using uitest::activate;
using testsupport::menuItem;

namespace {

class MapMenus : public testsupport::MapWindowTest {
protected:
    int layerCount() const { return document->drawing()->countOfLayers(); }
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
    EXPECT_TRUE(item("File", "Import Shapefile...")->validate()); // the map document
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
    for (const auto& [menu, title] : {std::pair{"File", "Save"}, std::pair{"File", "Close"},
                                      std::pair{"File", "Import Shapefile..."}, std::pair{"Edit", "Undo"},
                                      std::pair{"Edit", "Paste"}, std::pair{"View", "Zoom In"},
                                      std::pair{"Layer", "New Layer"}})
        EXPECT_FALSE(menuItem(bar, menu, title)->validate()) << menu << " > " << title;
}

TEST_F(MapMenus, ItemsValidateWhenPressedOrShownSkippingGoneToolsAndAnEmptyRecentList)
{
    // An item is validated when the keys of its key equivalent are pressed: they must be its shortcut.
    // Zoom In also takes Ctrl+=, and Save As Ctrl+Shift+S where the platform binds nothing.
    const QKeySequence ctrlEqual(Qt::CTRL | Qt::Key_Equal), ctrlShiftS(Qt::CTRL | Qt::SHIFT | Qt::Key_S);
    for (const auto& [menu, title, key, expected] :
         {std::tuple{"Edit", "Undo", QKeySequence::Undo, QKeySequence()},
          std::tuple{"Edit", "Redo", QKeySequence::Redo, QKeySequence()},
          std::tuple{"Edit", "Delete", QKeySequence::Delete, QKeySequence()},
          std::tuple{"View", "Zoom In", QKeySequence::ZoomIn, ctrlEqual},
          std::tuple{"File", "Save As...", QKeySequence::SaveAs, ctrlShiftS}}) {
        MenuItem* menuItem = item(menu, title);
        QList<QKeySequence> bindings = QKeySequence::keyBindings(key);
        if (!expected.isEmpty() && !bindings.contains(expected))
            bindings.append(expected);
        EXPECT_EQ(menuItem->shortcuts(), bindings) << title;
        EXPECT_EQ(platform::keySequenceForKeyEquivalent(menuItem->keyEquivalent(), menuItem->keyEquivalentModifierMask()),
                  menuItem->shortcut()) << title;
    }
    VXDrawingView* view = document->mainView();
    view->setScale(1.0);
    QTest::keyClick(view, Qt::Key_Equal, Qt::ControlModifier);
    EXPECT_DOUBLE_EQ(view->scale(), 2.0);

    QMap<QString, QMenu*> menus;
    for (QMenu* menu : window->menuBar()->findChildren<QMenu*>())
        menus.insert(menu->title().remove('&'), menu);
    ASSERT_TRUE(menus.value("Tools") && menus.value("Open Recent"));
    // Tools show their keys; a key registered again is shown by the tool registered last only.
    const testsupport::ToolRegistryScope restoreTools;
    VXToolRegistry& registry = VXToolRegistry::sharedToolRegistry();
    const VXDrawingToolPtr roundRectangle = registry.drawingToolWithName("Round Rectangle");
    const QString roundRectangleKey = roundRectangle->keyboardEquivalent();
    auto doomed = std::make_shared<VXZoomTool>();
    doomed->setKeyboardEquivalent(roundRectangleKey);
    registry.registerDrawingToolWithName(doomed, "Doomed Zoom");
    Q_EMIT menus["Tools"]->aboutToShow();
    EXPECT_EQ(item("Tools", "Rectangle")->shortcut(), QKeySequence(Qt::Key_R));
    EXPECT_EQ(item("Tools", "Doomed Zoom")->shortcut(), QKeySequence(roundRectangleKey.toUpper()));
    EXPECT_TRUE(item("Tools", "Round Rectangle")->shortcut().isEmpty());
    // The keys still reach the view, which selects the tool.
    QTest::keyClick(view, Qt::Key_R);
    EXPECT_EQ(view->toolController()->drawingTool()->registeredName(), "Rectangle");
    item("Tools", "Select")->trigger();
    item("Tools", "Rectangle")->trigger();
    EXPECT_EQ(document->mainView()->toolController()->drawingTool()->registeredName(), "Rectangle");
    Q_EMIT menus["Tools"]->aboutToShow();
    EXPECT_EQ(item("Tools", "Rectangle")->state(), MenuItem::OnState);
    EXPECT_EQ(item("Tools", "Select")->state(), MenuItem::OffState);
    // An item shown before its tool was removed must not reach a tool that is not there.
    MenuItem* doomedItem = item("Tools", "Doomed Zoom");
    registry.registerDrawingToolWithName(nullptr, "Doomed Zoom");
    EXPECT_FALSE(doomedItem->validate());
    platform::Application::sendActionToFrom("selectToolAction", nullptr, doomedItem);
    EXPECT_EQ(document->mainView()->toolController()->drawingTool()->registeredName(), "Rectangle");

    platform::DocumentController::sharedDocumentController()->clearRecentDocuments(nullptr);
    Q_EMIT menus["Open Recent"]->aboutToShow();
    ASSERT_FALSE(menus["Open Recent"]->actions().isEmpty());
    EXPECT_EQ(menus["Open Recent"]->actions().last()->text(), "Clear Menu");
    EXPECT_FALSE(menus["Open Recent"]->actions().last()->isEnabled()); // nothing to clear
}

TEST_F(MapMenus, AnImageOpenedAsAMapIsWorkedOnThroughTheLayerMenu)
{
    QTemporaryDir folder;
    QImage picture(600, 400, QImage::Format_RGB32);
    picture.fill(QColor(40, 120, 60));
    const QString path = folder.filePath("Harbour & Quay.png");
    ASSERT_TRUE(picture.save(path));
    QuorvaneError error;
    auto* controller = static_cast<QuorvaneDocumentController*>(platform::DocumentController::sharedDocumentController());
    document = qobject_cast<ZQQuorvaneDocument*>(
        controller->openDocumentWithImageAtURLDisplayError(QUrl::fromLocalFile(path), true, &error));
    ASSERT_TRUE(document) << qPrintable(error.localizedDescription());
    window = qobject_cast<QMainWindow*>(document->windowForSheet());
    activate(window);
    VXDrawing& drawing = *document->drawing();
    EXPECT_EQ(drawing.interior(), drawing.bounds()); // the grid's rectangle is the image's

    // The layers follow the commands, top first, the image's at the bottom; only object layers may be chosen.
    QMenu* layerMenu = nullptr;
    for (QMenu* menu : window->menuBar()->findChildren<QMenu*>())
        if (menu->title() == "&Layer")
            layerMenu = menu;
    ASSERT_TRUE(layerMenu);
    Q_EMIT layerMenu->aboutToShow();
    QStringList listed, expected;
    for (QAction* action : layerMenu->actions())
        if (auto* menuItem = qobject_cast<MenuItem*>(action); menuItem && menuItem->action() == "makeActiveAction")
            listed.append(menuItem->title());
    for (const VXLayerPtr& layer : drawing.flattenedLayers())
        expected.append(layer->layerName());
    EXPECT_EQ(listed, expected);
    ASSERT_EQ(expected.last(), "Harbour & Quay");
    EXPECT_EQ(item("Layer", "Layer 1")->state(), MenuItem::OnState);
    EXPECT_FALSE(item("Layer", "Grid")->isEnabled());

    // Choosing the image's layer makes it active: a click selects the image, which can then be traced.
    MenuItem* vectorize = item("Edit", "Vectorize...");
    EXPECT_FALSE(vectorize->validate());
    item("Layer", "Harbour & Quay")->trigger();
    const VXLayerPtr imageLayer = drawing.objectInLayersAtIndex(drawing.countOfLayers() - 1);
    ASSERT_TRUE(imageLayer->isActive());
    QWidget* viewport = document->mainView()->viewport();
    QTest::mouseClick(viewport, Qt::LeftButton, {}, viewport->rect().center());
    EXPECT_TRUE(vectorize->validate());
    // The image is locked: Vectorize... says so instead of tracing nothing.
    vectorize->trigger();
    platform::RunLoop::runUntilIdle();
    auto* locked = window->findChild<QMessageBox*>();
    ASSERT_TRUE(locked);
    EXPECT_EQ(locked->text(), "The image is locked.");
    EXPECT_TRUE(locked->informativeText().endsWith("untick Locked in the Geometry tab, then choose Vectorize again."))
        << "the alert tells how to unlock the image";
    locked->buttons().first()->click();
    platform::RunLoop::runUntilIdle();
    EXPECT_EQ(qobject_cast<VXObjectOwnerLayer*>(imageLayer.get())->countOfObjects(), 1);
    // What can be copied can be pasted back.
    MenuItem* copy = item("Edit", "Copy");
    MenuItem* paste = item("Edit", "Paste");
    ASSERT_TRUE(copy->validate());
    copy->trigger();
    ASSERT_TRUE(paste->validate());
    paste->trigger();
    EXPECT_EQ(qobject_cast<VXObjectOwnerLayer*>(imageLayer.get())->countOfObjects(), 2);
    document->undoManager()->undo();

    // Lock Layer locks the active layer as one named undo step, and says Unlock Layer while locked.
    MenuItem* lock = item("Layer", "Lock Layer");
    ASSERT_TRUE(lock->validate());
    lock->trigger();
    EXPECT_TRUE(imageLayer->locked());
    EXPECT_EQ(document->undoManager()->undoActionName(), "Lock Layer");
    EXPECT_TRUE(lock->validate());
    EXPECT_EQ(lock->title(), "Unlock Layer");
    document->undoManager()->undo();
    EXPECT_FALSE(imageLayer->locked());
    document->undoManager()->redo();
    EXPECT_TRUE(imageLayer->locked());
}

TEST_F(MapMenus, LayerGroupsAreListedWithTheirMembersIndentedButCannotBeChosen)
{
    item("Layer", "New Layer Group")->trigger();
    VXLayer* inner = document->drawing()->activeLayer();
    ASSERT_TRUE(inner && inner->layerGroup());
    document->drawing()->setActiveLayer(inner);
    item("Layer", "New Layer Group")->trigger(); // a group inside the group
    QMenu* layerMenu = nullptr;
    for (QMenu* menu : window->menuBar()->findChildren<QMenu*>())
        if (menu->title() == "&Layer")
            layerMenu = menu;
    ASSERT_TRUE(layerMenu);
    Q_EMIT layerMenu->aboutToShow();
    QStringList listed;
    for (const VXLayerPtr& layer : document->drawing()->flattenedLayers(true)) {
        const QString title = QString(4 * layer->level(), ' ') + layer->layerName();
        MenuItem* listedItem = item("Layer", title);
        ASSERT_TRUE(listedItem) << qPrintable(title);
        const bool isGroup = qobject_cast<VXLayerGroup*>(layer.get()) != nullptr;
        EXPECT_EQ(listedItem->isEnabled(), !isGroup && layer->layerMayBecomeActive()) << qPrintable(title);
        listed << title;
    }
    EXPECT_EQ(listed.filter(QRegularExpression("^ {4}Group")).size(), 1) << qPrintable(listed.join('|'));
    EXPECT_EQ(listed.filter(QRegularExpression("^ {8}Layer")).size(), 1) << qPrintable(listed.join('|'));
    EXPECT_EQ(listed.filter(QRegularExpression("^Group")).size(), 1) << qPrintable(listed.join('|'));
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

TEST_F(MapMenus, InsertScaleBarIsEnabledOnlyWhileTheActiveLayerCanTakeOne)
{
    VXDrawing& drawing = *document->drawing();
    auto* mapLayer = drawing.activeLayerOfClass<VXQMappingLayer>();
    ASSERT_TRUE(mapLayer);
    MenuItem* insert = item("Layer", "Insert Scale Bar");
    EXPECT_TRUE(insert->validate());
    mapLayer->setLocked(true);
    EXPECT_FALSE(insert->validate());
    mapLayer->setLocked(false);

    // Another kind of layer is active: the command would do nothing.
    auto plain = std::make_shared<VXObjectDrawingLayer>();
    drawing.addLayer(plain);
    drawing.setActiveLayer(plain.get());
    ASSERT_TRUE(plain->isActive());
    EXPECT_FALSE(insert->validate());
    drawing.setActiveLayer(mapLayer);
    EXPECT_TRUE(insert->validate());
}

TEST_F(MapMenus, WhileATextFieldHasTheFocusUndoAndRedoNameAndFollowItsTyping)
{
    MenuItem* undo = item("Edit", "Undo");
    MenuItem* redo = item("Edit", "Redo");
    item("Layer", "New Layer")->trigger();
    ASSERT_TRUE(undo->validate());
    ASSERT_NE(undo->title(), "Undo");
    const int layers = layerCount();

    QLineEdit* field = MapSearchToolBar::searchField(window);
    ASSERT_TRUE(field);
    field->setFocus();
    ASSERT_EQ(QApplication::focusWidget(), field);
    EXPECT_FALSE(undo->validate()); // the field has nothing to undo, and the new layer is not its to undo
    EXPECT_EQ(undo->title(), "Undo");
    EXPECT_FALSE(redo->validate());
    QTest::keyClicks(field, "harbour");
    EXPECT_TRUE(undo->validate());
    undo->trigger();
    EXPECT_TRUE(field->text().isEmpty());
    EXPECT_EQ(layerCount(), layers);
    EXPECT_TRUE(redo->validate());
    EXPECT_EQ(redo->title(), "Redo");

    document->mainView()->setFocus();
    EXPECT_TRUE(undo->validate());
    EXPECT_NE(undo->title(), "Undo"); // the document's step again
}

namespace {

template <class Window>
QList<Window*> visibleWindowsOf()
{
    QList<Window*> shown;
    for (QWidget* widget : QApplication::allWidgets())
        if (auto* window = qobject_cast<Window*>(widget); window && window->isVisible())
            shown.append(window);
    return shown;
}

QAbstractButton* buttonTitled(QMessageBox* alert, const QString& title)
{
    for (QAbstractButton* button : alert->buttons())
        if (button->text() == title)
            return button;
    return nullptr;
}

// File > Quit chosen in the map's window, as its key does. (The offscreen platform binds no
// key to Quit.)
void quitFrom(ZQQuorvaneDocument* map)
{
    auto* window = qobject_cast<QMainWindow*>(map->windowForSheet());
    uitest::activate(window);
    MenuItem* quit = testsupport::menuItem(window->menuBar(), "File", "Quit");
    ASSERT_TRUE(quit && quit->validate());
    quit->trigger();
    platform::RunLoop::runUntilIdle();
}

} // namespace

TEST_F(MapMenus, QuitWhileUnsavedMapsAreReviewedBringsTheReviewForwardAndAsksNothingTwice)
{
    QuorvaneError error;
    auto* second = qobject_cast<ZQQuorvaneDocument*>(
        platform::DocumentController::sharedDocumentController()->openUntitledDocumentAndDisplayError(true, &error));
    ASSERT_TRUE(second);
    document->updateChangeCount(platform::Document::ChangeDone);
    second->updateChangeCount(platform::Document::ChangeDone);

    ASSERT_TRUE(document->isDocumentEdited() && second->isDocumentEdited());
    quitFrom(second);
    QList<QMessageBox*> alerts = visibleWindowsOf<QMessageBox>();
    ASSERT_EQ(alerts.size(), 1);
    EXPECT_EQ(alerts[0]->parentWidget(), window); // the first map is asked first
    QAbstractButton* save = buttonTitled(alerts[0], "Save");
    ASSERT_TRUE(save);
    save->click();
    platform::RunLoop::runUntilIdle();
    ASSERT_EQ(visibleWindowsOf<QFileDialog>().size(), 1);

    // Quit again and again from the other map: the one save panel comes to the front.
    for (int i = 0; i < 3; ++i)
        quitFrom(second);
    EXPECT_TRUE(visibleWindowsOf<QMessageBox>().isEmpty());
    const QList<QFileDialog*> panels = visibleWindowsOf<QFileDialog>();
    ASSERT_EQ(panels.size(), 1);
    EXPECT_EQ(QApplication::activeWindow(), panels[0]);

    // Cancelling the panel cancels quitting; the next Quit asks afresh, once.
    panels[0]->reject();
    platform::RunLoop::runUntilIdle();
    EXPECT_EQ(platform::DocumentController::sharedDocumentController()->documents().size(), 2);
    quitFrom(second);
    quitFrom(second);
    alerts = visibleWindowsOf<QMessageBox>();
    ASSERT_EQ(alerts.size(), 1);
    buttonTitled(alerts[0], "Cancel")->click();
    platform::RunLoop::runUntilIdle();
    EXPECT_TRUE(visibleWindowsOf<QMessageBox>().isEmpty());
}

#include "MenuBarTest.moc"
