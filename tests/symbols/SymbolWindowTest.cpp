#include "app/MapMenuBar.h"
#include "app/QuorvaneDocumentController.h"
#include "app/VLTMAppDelegate.h"
#include "app/ZQTrueQuorvaneDocument.h"

#include "platform/foundation/RunLoop.h"
#include "platform/foundation/ZQUndoManager.h"
#include "platform/ui/Application.h"
#include "platform/ui/Menu.h"
#include "platform/ui/ResponderChain.h"
#include "platform/vantrix/model/VXObjectDrawingLayer.h"
#include "platform/vantrix/view/VXDrawingView.h"
#include "symbols/masters/VXQSymbolMaster.h"
#include "symbols/placed/VXQSymbol.h"

#include <QApplication>
#include <QMainWindow>
#include <QMenuBar>
#include <gtest/gtest.h>

using platform::MenuItem;

namespace {

// A map window shown as the key window with its drawing view focused, and a star in its
// active layer.
class SymbolWindow : public ::testing::Test {
protected:
    void SetUp() override
    {
        platform::ResponderChain::trackWindowActivation(); // as the application object does
        platform::DocumentController::setSharedDocumentController(std::make_unique<QuorvaneDocumentController>());
        platform::Application::setDelegate(&delegate);
        QuorvaneError error;
        document = qobject_cast<ZQQuorvaneDocument*>(
            platform::DocumentController::sharedDocumentController()->openUntitledDocumentAndDisplayError(true, &error));
        ASSERT_TRUE(document);
        window = qobject_cast<QMainWindow*>(document->windowForSheet());
        ASSERT_TRUE(window);
        window->show();
        QApplication::setActiveWindow(window);
        document->mainView()->setFocus();
        platform::RunLoop::runUntilIdle();
        layer = qobject_cast<VXObjectDrawingLayer*>(document->drawing()->activeLayer());
        ASSERT_TRUE(layer);
        star = VXQSymbolMaster::defaultSymbolMaster()->symbolWithLocation(QPointF(100, 100));
        layer->addObject(star);
        layer->replaceSelectionWithObject(star);
        document->undoManager()->removeAllActions();
    }

    void TearDown() override
    {
        platform::Application::setDelegate(nullptr);
        platform::DocumentController::sharedDocumentController()->closeAllDocuments();
        platform::RunLoop::runUntilIdle();
    }

    MenuItem* item(const QString& menuTitle, const QString& title) const
    {
        for (QAction* menuAction : window->menuBar()->actions())
            if (menuAction->menu() && menuAction->text().remove('&') == menuTitle)
                for (QAction* action : menuAction->menu()->actions())
                    if (auto* found = qobject_cast<MenuItem*>(action); found && found->text() == title)
                        return found;
        ADD_FAILURE() << "no item " << qPrintable(menuTitle) << " > " << qPrintable(title);
        return nullptr;
    }

    VLTMAppDelegate delegate;
    ZQQuorvaneDocument* document = nullptr;
    QMainWindow* window = nullptr;
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

} // namespace
