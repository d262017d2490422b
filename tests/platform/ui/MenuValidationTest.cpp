#include "UiTestSupport.h"

#include "platform/foundation/ZQUndoManager.h"
#include "platform/ui/Application.h"
#include "platform/ui/Document.h"
#include "platform/ui/Menu.h"
#include "platform/ui/Toolbar.h"
#include "platform/ui/WindowController.h"

#include <QMenuBar>
#include <QTest>
#include <QVBoxLayout>
#include <gtest/gtest.h>

using platform::Menu;
using platform::MenuItem;

namespace {

class Canvas : public QWidget {
    Q_OBJECT

public:
    Canvas() { setFocusPolicy(Qt::StrongFocus); }

    bool gridShown = false;
    bool canZoom = true;
    int zoomCount = 0;
    int alignment = 0; // the tag of the current alignment; -1 for a mixed selection
    QVariant lastRepresented;

    Q_INVOKABLE void toggleGrid(QObject*) { gridShown = !gridShown; }
    Q_INVOKABLE void zoomIn(QObject*) { ++zoomCount; }
    Q_INVOKABLE void alignAction(QObject* sender)
    {
        alignment = sender->property("tag").toInt();
        lastRepresented = sender->property("representedObject");
    }

    Q_INVOKABLE bool validateMenuItem(platform::MenuItem* item)
    {
        if (item->action() == "toggleGrid") {
            item->setTitle(gridShown ? "Hide Grid" : "Show Grid");
            item->setState(gridShown ? MenuItem::OnState : MenuItem::OffState);
            return true;
        }
        if (item->action() == "zoomIn")
            return canZoom;
        if (item->action() == "alignAction") {
            item->setState(alignment == -1           ? MenuItem::MixedState
                           : item->tag() == alignment ? MenuItem::OnState
                                                      : MenuItem::OffState);
            return true;
        }
        return true;
    }
};

class CanvasWindowController : public platform::WindowController {
    Q_OBJECT

public:
    Canvas* canvas = nullptr;

protected:
    QWidget* loadWindow() override
    {
        auto* window = new QWidget(nullptr, Qt::Window);
        canvas = new Canvas;
        (new QVBoxLayout(window))->addWidget(canvas);
        return window;
    }
};

// Answers through the generic validator only.
class Inspector : public QObject {
    Q_OBJECT

public:
    Q_INVOKABLE void lockAction(QObject*) {}
    Q_INVOKABLE bool validateUserInterfaceItem(QObject* item) { return item->property("tag").toInt() != 2; }
};

class MenuValidationTest : public ::testing::Test {
protected:
    void SetUp() override
    {
        document = std::make_shared<platform::Document>();
        controller = std::make_shared<CanvasWindowController>();
        document->addWindowController(controller);
        uitest::activate(controller->window());
        canvas()->setFocus();
        platform::RunLoop::runUntilIdle();
    }

    void TearDown() override
    {
        document->close();
        platform::RunLoop::runUntilIdle();
    }

    Canvas* canvas() const { return controller->canvas; }

    // Shows and closes the menu, which validates it.
    static void showAndClose(Menu& menu)
    {
        menu.popup(QPoint(10, 10));
        platform::RunLoop::runUntilIdle();
        menu.close();
        platform::RunLoop::runUntilIdle();
    }

    std::shared_ptr<platform::Document> document;
    std::shared_ptr<CanvasWindowController> controller;
};

} // namespace

TEST_F(MenuValidationTest, AboutToShowUpdatesEnabledStateTitleAndState)
{
    Menu menu("View");
    MenuItem* grid = menu.addItemWithTitleActionKeyEquivalent("Grid", "toggleGrid");
    MenuItem* zoom = menu.addItemWithTitleActionKeyEquivalent("Zoom In", "zoomIn");
    MenuItem* orphan = menu.addItemWithTitleActionKeyEquivalent("Nobody", "nobodyHandlesThis");
    menu.addSeparator();
    // An explicit target is asked through its generic validator, and only it: the canvas has zoomIn, the target not.
    Inspector inspector;
    MenuItem* locks[] = {menu.addItemWithTitleActionKeyEquivalent("Lock 1", "lockAction"),
                         menu.addItemWithTitleActionKeyEquivalent("Lock 2", "lockAction"),
                         menu.addItemWithTitleActionKeyEquivalent("Zoom", "zoomIn")};
    for (int i = 0; i < 3; ++i) {
        locks[i]->setTag(i + 1);
        locks[i]->setTarget(&inspector);
    }

    canvas()->canZoom = false;
    showAndClose(menu);
    EXPECT_EQ(grid->title(), "Show Grid");
    EXPECT_EQ(grid->state(), MenuItem::OffState);
    EXPECT_EQ((QList<bool>{grid->isEnabled(), zoom->isEnabled(), orphan->isEnabled()}), (QList<bool>{true, false, false}));
    EXPECT_EQ((QList<bool>{locks[0]->isEnabled(), locks[1]->isEnabled(), locks[2]->isEnabled()}),
              (QList<bool>{true, false, false}));

    grid->trigger();
    canvas()->canZoom = true;
    showAndClose(menu);
    EXPECT_EQ(grid->title(), "Hide Grid");
    EXPECT_EQ(grid->state(), MenuItem::OnState);
    EXPECT_TRUE(grid->isChecked());
    EXPECT_TRUE(zoom->isEnabled());

    // Triggering an item with no handler does nothing and stays harmless.
    orphan->setEnabled(true);
    orphan->trigger();
    EXPECT_FALSE(orphan->isEnabled() && orphan->validate());
}

TEST_F(MenuValidationTest, TitlesShowAnAmpersandAsWrittenAndTakeNoMnemonicFromIt)
{
    Menu menu("Layer");
    MenuItem* item = menu.addItemWithTitleActionKeyEquivalent("Drawing Size & Units...", "toggleGrid");
    EXPECT_EQ(item->title(), "Drawing Size & Units...");
    EXPECT_TRUE(QKeySequence::mnemonic(item->text()).isEmpty());

    // Titles set by validators and names from the user's data are shown as written too.
    item->setTitle("Roads & Tracks && Paths");
    EXPECT_EQ(item->title(), "Roads & Tracks && Paths");
    EXPECT_TRUE(QKeySequence::mnemonic(item->text()).isEmpty());
    MenuItem plain("A&B");
    EXPECT_EQ(plain.title(), "A&B");
    EXPECT_TRUE(QKeySequence::mnemonic(plain.text()).isEmpty());
}

TEST_F(MenuValidationTest, TagsStatesAndRepresentedObjectsReachValidatorsAndActions)
{
    Menu menu("Align");
    for (int tag = 1; tag <= 3; ++tag) {
        MenuItem* item = menu.addItemWithTitleActionKeyEquivalent(QString("Align %1").arg(tag), "alignAction");
        item->setTag(tag);
        item->setRepresentedObject(tag * 10);
    }
    menu.itemWithTag(2)->trigger();
    EXPECT_EQ(canvas()->alignment, 2);
    EXPECT_EQ(canvas()->lastRepresented.toInt(), 20);

    showAndClose(menu);
    EXPECT_EQ(menu.itemWithTag(1)->state(), MenuItem::OffState);
    EXPECT_EQ(menu.itemWithTag(2)->state(), MenuItem::OnState);
    // A click on a checkable item leaves the state to the validators.
    menu.itemWithTag(2)->trigger();
    EXPECT_EQ(menu.itemWithTag(2)->state(), MenuItem::OnState);
    EXPECT_TRUE(menu.itemWithTag(2)->isChecked());

    canvas()->alignment = -1;
    showAndClose(menu);
    for (int tag = 1; tag <= 3; ++tag)
        EXPECT_EQ(menu.itemWithTag(tag)->state(), MenuItem::MixedState);
    EXPECT_FALSE(menu.itemWithTag(1)->icon().isNull());
    EXPECT_EQ(menu.itemWithTag(4), nullptr);
}

TEST_F(MenuValidationTest, ShortcutsValidateBeforeFiringAndToolbarsAfterInput)
{
    auto* zoom = new MenuItem("Zoom In", "zoomIn", controller->window());
    zoom->setKeyEquivalent("k");
    controller->window()->addAction(zoom);
    EXPECT_EQ(zoom->shortcut(), QKeySequence(Qt::CTRL | Qt::Key_K));
    zoom->setShortcuts({zoom->shortcut(), QKeySequence(Qt::CTRL | Qt::Key_Equal)});
    // Disabled at its last validation, the item still fires once the handler allows it, by any of its keys.
    canvas()->canZoom = false;
    EXPECT_FALSE(zoom->validate());
    canvas()->canZoom = true;
    QTest::keyClick(canvas(), Qt::Key_Equal, Qt::ControlModifier);
    EXPECT_EQ(canvas()->zoomCount, 1);
    canvas()->canZoom = false;
    EXPECT_FALSE(zoom->validate());
    canvas()->canZoom = true;
    QTest::keyClick(canvas(), Qt::Key_K, Qt::ControlModifier);
    EXPECT_EQ(canvas()->zoomCount, 2);
    canvas()->canZoom = false;
    QTest::keyClick(canvas(), Qt::Key_K, Qt::ControlModifier);
    EXPECT_EQ(canvas()->zoomCount, 2);
    EXPECT_FALSE(zoom->isEnabled());

    auto* toolbar = new platform::Toolbar("Tools");
    controller->window()->layout()->addWidget(toolbar);
    auto* tool = new MenuItem("Zoom", "zoomIn", toolbar);
    toolbar->addAction(tool);
    QTest::mouseClick(canvas(), Qt::LeftButton);
    platform::RunLoop::runUntilIdle();
    EXPECT_FALSE(tool->isEnabled());
    canvas()->canZoom = true;
    QTest::keyClick(canvas(), Qt::Key_A);
    platform::RunLoop::runUntilIdle();
    EXPECT_TRUE(tool->isEnabled());
}

TEST_F(MenuValidationTest, AWindowsMenusValidateAndActFromThatWindowWhicheverIsActive)
{
    auto* bar = new QMenuBar(controller->window());
    auto* view = new Menu("View", bar);
    bar->addMenu(view);
    auto* grid = new Menu("Grid", view);
    view->addMenu(grid);
    MenuItem* zoom = view->addItemWithTitleActionKeyEquivalent("Zoom In", "zoomIn");
    MenuItem* showGrid = grid->addItemWithTitleActionKeyEquivalent("Grid", "toggleGrid");
    Menu freeStanding("Loose");
    MenuItem* looseZoom = freeStanding.addItemWithTitleActionKeyEquivalent("Zoom In", "zoomIn");
    EXPECT_EQ(showGrid->owningWindow(), controller->window());
    EXPECT_EQ(looseZoom->owningWindow(), nullptr);

    // Another window is active, then none (no window manager gives focus): the menus still
    // reach the canvas that last had the focus in their window.
    QWidget other;
    for (QWidget* active : {&other, static_cast<QWidget*>(nullptr)}) {
        if (active)
            uitest::activate(active);
        else
            QApplication::setActiveWindow(nullptr);
        SCOPED_TRACE(active ? "another window" : "no window");
        EXPECT_FALSE(looseZoom->validate()); // it goes by the active window's chain
        ASSERT_TRUE(zoom->validate());
        ASSERT_TRUE(showGrid->validate());
        zoom->trigger();
        showGrid->trigger();
    }
    EXPECT_EQ(canvas()->zoomCount, 2);
    EXPECT_FALSE(canvas()->gridShown); // toggled twice
}

TEST_F(MenuValidationTest, DocumentValidatesUndoAndRedoWithActionNames)
{
    Menu menu("Edit");
    MenuItem* undo = menu.addItemWithTitleActionKeyEquivalent("Undo", "undo", "z");
    MenuItem* redo = menu.addItemWithTitleActionKeyEquivalent("Redo", "redo", "Z");
    EXPECT_EQ(redo->shortcut(), QKeySequence(Qt::CTRL | Qt::SHIFT | Qt::Key_Z));
    showAndClose(menu);
    EXPECT_FALSE(undo->isEnabled());
    EXPECT_FALSE(redo->isEnabled());

    int value = 0;
    ZQUndoManager* undoManager = document->undoManager();
    std::function<void(int)> setValue = [&](int newValue) {
        undoManager->registerUndoWithTargetHandler(nullptr, [&setValue, old = value] { setValue(old); });
        value = newValue;
    };
    setValue(1);
    undoManager->setActionName("Move");
    undoManager->closeAutomaticGroup();
    showAndClose(menu);
    EXPECT_TRUE(undo->isEnabled());
    EXPECT_EQ(undo->title(), "Undo Move");
    undo->trigger();
    EXPECT_EQ(value, 0);
    showAndClose(menu);
    EXPECT_FALSE(undo->isEnabled());
    EXPECT_TRUE(redo->isEnabled());
}

#include "MenuValidationTest.moc"
