#include "app/application/MapMenuBar.h"

#include "platform/foundation/RunLoop.h"
#include "platform/foundation/ZQUndoManager.h"
#include "platform/ui/Menu.h"
#include "platform/ui/ResponderChain.h"
#include "platform/vantrix/model/VXObjectDrawingLayer.h"
#include "platform/vantrix/view/VXDrawingView.h"
#include "symbols/masters/VXQSymbolMaster.h"
#include "symbols/keytable/VXQKeyTable.h"
#include "symbols/placed/VXQSymbol.h"
#include "symbols/sequences/VXQSymbolSequence.h"
#include "platform/vantrix/drawables/VXTextShape.h"
#include "support/MapWindowTesting.h"

#include <QApplication>
#include <QMainWindow>
#include <QMenuBar>
#include <gtest/gtest.h>

using platform::MenuItem;

namespace {

// A map window shown as the key window with its drawing view focused, and a star in its
// active layer.
class SymbolWindow : public testsupport::MapWindowTest {
protected:
    void SetUp() override
    {
        MapWindowTest::SetUp();
        if (HasFatalFailure())
            return;
        layer = objectLayer();
        ASSERT_TRUE(layer);
        star = VXQSymbolMaster::defaultSymbolMaster()->symbolWithLocation(QPointF(100, 100));
        layer->addObject(star);
        layer->replaceSelectionWithObject(star);
        document->undoManager()->removeAllActions();
    }

    VXObjectDrawingLayer* layer = nullptr;
    VXQSymbolPtr star;
};

TEST_F(SymbolWindow, EditCommandsStayWithTheSelectionWhileTheMenuBarHoldsTheKeyboard)
{
    star->setLocation(QPointF(150, 120));
    document->undoManager()->closeAutomaticGroup();
    // Escape out of an open menu, or Alt, leaves the keyboard with the menu bar.
    window->menuBar()->setFocus(Qt::MenuBarFocusReason);
    platform::RunLoop::runUntilIdle();
    ASSERT_EQ(QApplication::focusWidget(), window->menuBar());
    MenuItem* undo = item("Edit", "Undo");
    ASSERT_TRUE(undo && undo->validate());
    undo->trigger();
    platform::RunLoop::runUntilIdle();
    ASSERT_EQ(star->location(), QPointF(100, 100));
    ASSERT_EQ(layer->selection(), QList<VXDrawableObjectPtr>{star});
    for (const char* title : {"Cut", "Copy", "Delete", "Select All"})
        EXPECT_TRUE(item("Edit", title)->validate()) << title;
    item("Edit", "Copy")->trigger();
    item("Edit", "Delete")->trigger();
    EXPECT_TRUE(layer->objects().isEmpty()) << "the commands reach the drawing view";
}

TEST_F(SymbolWindow, TheSymbolMenuNumbersTheSelectedSymbolsSequenceAndInsertsItsKey)
{
    auto beacon = VXQSymbolMaster::symbolMasterWithObjectName(*star->masterObject(), QStringLiteral("Beacon"));
    QList<VXQSymbolPtr> placed;
    for (int i = 0; i < 3; ++i) {
        placed << beacon->symbolWithLocation(QPointF(60 + 40 * i, 200));
        layer->addObject(placed.last());
    }
    layer->replaceSelectionWithObject(placed[2]);
    document->undoManager()->closeAutomaticGroup();

    MenuItem* make = item("Symbol", "Make Sequenceable");
    ASSERT_TRUE(make && make->validate());
    make->trigger();
    auto* sequence = placed[2]->sequence();
    ASSERT_TRUE(sequence);
    EXPECT_EQ(sequence->symbols(), placed);
    EXPECT_FALSE(make->validate());

    MenuItem* roman = nullptr;
    for (QAction* menuAction : window->menuBar()->actions())
        if (menuAction->menu() && menuAction->text().remove('&') == "Symbol")
            for (QAction* action : menuAction->menu()->actions())
                if (action->menu() && action->text() == "Sequence Type")
                    roman = qobject_cast<MenuItem*>(action->menu()->actions().value(4));
    ASSERT_TRUE(roman);
    EXPECT_EQ(roman->tag(), 4);
    ASSERT_TRUE(roman->validate());
    roman->trigger();
    EXPECT_EQ(placed[1]->metadataValueForKey(kVXQSequenceNumberKey).toString(), "II");

    MenuItem* start = item("Symbol", "Move To Start Of Sequence");
    ASSERT_TRUE(start->validate());
    start->trigger();
    EXPECT_EQ(sequence->symbols().first(), placed[2]);
    EXPECT_EQ(document->undoManager()->undoActionName(), "Move To Start Of Sequence");

    item("Symbol", "Insert Sequence Key")->trigger();
    ASSERT_EQ(sequence->keytables().size(), 1);
    EXPECT_EQ(layer->selection(), QList<VXDrawableObjectPtr>{sequence->keytables()[0]->textShape()});
    EXPECT_EQ(sequence->keytables()[0]->textShape()->textAdornment()->string(), "\nI\t\nII\t\nIII\t\n");
}

} // namespace
