#include "style_editor/StyleEditorTesting.h"

#include "app/document/MapDocumentWindowController.h"
#include "app/sidebar/TabControllerRegistry.h"
#include "app/document/ZQTrueQuorvaneDocument.h"
#include "library/LibraryServicesInstallation.h"
#include "library/LibraryTesting.h"
#include "library/manager/VXQLibraryManagerWindowController.h"
#include "platform/foundation/NotificationCenter.h"
#include "platform/ui/Menu.h"
#include "platform/vantrix/styles/VXStyleRegistry.h"

#include <QSplitter>
#include <gtest/gtest.h>

using namespace styleeditortest;

namespace {

class StyleEditorLibrary : public LibraryTest {};

platform::MenuItem* itemWithAction(platform::Menu* menu, const QByteArray& action)
{
    for (QAction* each : menu->actions())
        if (auto* item = qobject_cast<platform::MenuItem*>(each); item && item->action() == action)
            return item;
    return nullptr;
}

TEST_F(StyleEditorLibrary, AStyleInALockedLibraryCannotBeChangedButCanBeRevealed)
{
    const VXQLibraryPtr roads = makeLibrary(QStringLiteral("Roads"));
    const VXStylePtr style = makeStyle(QStringLiteral("Motorway"));
    roads->addItem(VXQLibraryItem::itemWithLibraryObject(style));
    style->setIsStyleRegistered(true);

    EditorFixture f;
    auto stroke = std::make_shared<VXStroke>();
    style->addRenderer(stroke);
    f.select({f.addShape(style)});
    EXPECT_EQ(f.editor->libraryInfoField()->text(), QStringLiteral("In Library \u201CRoads\u201D"));
    EXPECT_EQ(f.editor->styleLibrary(), roads.get());
    platform::Menu* menu = f.editor->actionMenu();
    EXPECT_TRUE(f.editor->validateMenuItem(itemWithAction(menu, "revealInLibraryAction")));
    EXPECT_FALSE(f.editor->validateMenuItem(itemWithAction(menu, "addToLibraryAction")));
    EXPECT_TRUE(f.editor->validateMenuItem(itemWithAction(menu, "renameAction")));

    roads->setAllowsContentChanges(false);
    f.editor->rebuildUI();
    f.settle();
    EXPECT_TRUE(f.editor->styleInLockedLibrary());
    EXPECT_FALSE(f.editor->lockedLibraryIconView()->isHidden());
    EXPECT_FALSE(f.editor->componentMenuButton()->isEnabled());
    EXPECT_FALSE(f.editor->validateMenuItem(itemWithAction(menu, "renameAction")));
    // The pane's copy stays, its delete goes.
    VLTMStyleComponentController* pane = f.editor->subcontrollerForComponent(stroke.get());
    ASSERT_TRUE(pane);
    EXPECT_TRUE(pane->isShownLocked());
    platform::MenuItem* copy = nullptr;
    platform::MenuItem* remove = nullptr;
    for (QAction* each : pane->componentMenu()->actions()) {
        auto* item = qobject_cast<platform::MenuItem*>(each);
        if (item && item->action() == "copyComponentAction")
            copy = item;
        if (item && item->action() == "deleteComponentAction")
            remove = item;
    }
    EXPECT_TRUE(pane->validateMenuItem(copy));
    EXPECT_FALSE(pane->validateMenuItem(remove));
    // Nothing is dropped into a style its library keeps from changing.
    EXPECT_FALSE(f.editor->containerViewWillAcceptDroppedViewAtIndex(f.stack(), f.containerOf(stroke), 0));
    EXPECT_EQ(style->countOfRenderList(), 3);
}

TEST_F(StyleEditorLibrary, AddingToTheLibraryGivesTheSelectionTheLibrarysLockedCopy)
{
    EditorFixture f;
    const VXStylePtr adHoc = makeStyle(QStringLiteral("Forest"), Qt::darkGreen);
    const VXDrawableObjectPtr shape = f.addShape(adHoc);
    f.select({shape});
    f.forgetEdits();
    QList<VXStylePtr> announced;
    QObject receiver;
    platform::NotificationCenter::defaultCenter().addObserver(
        &receiver, kVXStyleInspectorDidCreateNewStyle, f.editor.get(),
        [&](const platform::Notification& n) { announced.append(n.userInfo.value(QStringLiteral("style")).value<VXStylePtr>()); });

    f.editor->addToLibraryAction(nullptr);
    const VXStylePtr registered = shape->style();
    ASSERT_TRUE(registered);
    EXPECT_NE(registered, adHoc);
    EXPECT_TRUE(registered->locked());
    EXPECT_TRUE(VXQLibraryCatalogue::defaultUserLibrary()->containsUniqueID(registered->uniqueKey()));
    EXPECT_EQ(announced, QList<VXStylePtr>{registered});
    EXPECT_EQ(f.editor->style(), registered);
    EXPECT_EQ(f.undo.undoActionName(), QStringLiteral("Add to Library"));
    f.endStep();
    f.undo.undo();
    EXPECT_EQ(shape->style(), adHoc);

    // A style a library holds already is not registered again.
    f.select({});
    f.editor->setContent({registered});
    f.settle();
    f.editor->addToLibraryAction(nullptr);
    EXPECT_EQ(announced.size(), 1);
}

// As launched: the Style tab's Add to Library opens the library manager at the new item, chosen.
TEST_F(StyleEditorLibrary, AddingToTheLibraryShowsTheNewItemChosenInTheLibraryManager)
{
    installLibraryServices();
    EditorFixture f;
    const VXDrawableObjectPtr shape = f.addShape(makeStyle(QStringLiteral("Orchard"), Qt::green));
    f.select({shape});
    itemWithAction(f.editor->actionMenu(), "addToLibraryAction")->trigger();
    f.settle();
    const VXStylePtr registered = shape->style();
    ASSERT_TRUE(registered && registered->locked());

    VXQLibraryManagerWindowController* manager = VXQLibraryManagerWindowController::sharedLibraryManager();
    EXPECT_TRUE(manager->window()->isVisible());
    EXPECT_EQ(manager->selectedLibrary(), VXQLibraryCatalogue::defaultUserLibrary());
    const QList<VXQLibraryItemPtr> chosen = manager->selection();
    ASSERT_EQ(chosen.size(), 1);
    EXPECT_EQ(chosen[0]->uniqueKey(), registered->uniqueKey());
    VXStyleRegistry::setStyleRegistry(nullptr);
}

TEST(StyleTabInTheMapWindow, TheLeftPanelHoldsTheStyleTabFollowingTheDocumentsDrawing)
{
    ASSERT_TRUE(TabControllerRegistry::tabIdentifiers().contains(kVLTMTabViewStyle));
    auto document = std::make_shared<ZQTrueQuorvaneDocument>();
    QuorvaneError error;
    ASSERT_TRUE(document->initWithTypeError(kZQMapDocumentType, &error));
    document->makeWindowControllers();
    MapDocumentWindowController* window = document->mapWindowController();
    window->window();
    auto* editor = qobject_cast<VLTMStyleEditorController*>(window->tabControllerWithIdentifier(kVLTMTabViewStyle));
    ASSERT_TRUE(editor);
    EXPECT_EQ(editor->drawing(), document->drawing().get());
    EXPECT_TRUE(window->leftSidePanel()->isAncestorOf(editor->view()));

    // A selection in the document's active layer reaches the tab.
    auto* layer = qobject_cast<VXObjectDrawingLayer*>(document->drawing()->activeLayer());
    ASSERT_TRUE(layer);
    const VXStylePtr style = styleOf({std::make_shared<VXFill>()}, QStringLiteral("Meadow"));
    const auto shape = VXDrawableShape::drawableShapeWithRect(QRectF(10, 10, 40, 40), style);
    layer->addObject(shape);
    layer->replaceSelectionWithObject(shape);
    platform::RunLoop::runUntilIdle();
    EXPECT_EQ(editor->style(), style);
    document->close();
}

} // namespace
