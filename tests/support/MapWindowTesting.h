#pragma once

// A map document opened untitled through the application's document controller, with its
// window shown as the key window and its drawing view focused, as a user meets it; every
// document closes again after the test. For test programs that link the application core.

#include "app/document/QuorvaneDocumentController.h"
#include "app/application/VLTMAppDelegate.h"
#include "app/document/ZQQuorvaneDocument.h"
#include "platform/foundation/RunLoop.h"
#include "platform/ui/Application.h"
#include "platform/ui/Menu.h"
#include "platform/ui/ResponderChain.h"
#include "platform/ui/UiTestSupport.h"
#include "platform/vantrix/model/VXObjectDrawingLayer.h"
#include "support/MenuTesting.h"
#include "platform/vantrix/view/VXDrawingView.h"

#include <QMainWindow>
#include <QMenu>
#include <QMenuBar>
#include <gtest/gtest.h>

namespace testsupport {

class MapWindowTest : public ::testing::Test {
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
        uitest::activate(window);
        document->mainView()->setFocus();
        platform::RunLoop::runUntilIdle();
    }

    void TearDown() override
    {
        platform::Application::setDelegate(nullptr);
        platform::DocumentController::sharedDocumentController()->closeAllDocuments();
        platform::RunLoop::runUntilIdle();
    }

    platform::MenuItem* item(const QString& menuTitle, const QString& title) const
    {
        return menuItem(window->menuBar(), menuTitle, title);
    }
    // The map's active layer, where new objects go.
    VXObjectDrawingLayer* objectLayer() const
    {
        return qobject_cast<VXObjectDrawingLayer*>(document->drawing()->activeLayer());
    }

    VLTMAppDelegate delegate;
    ZQQuorvaneDocument* document = nullptr;
    QMainWindow* window = nullptr;
};

} // namespace testsupport
