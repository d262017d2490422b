#pragma once

// The application object of Quorvane: who the user is, what the product is called, and a
// modal pump that keeps one window in charge for a turn of the event loop.
//
// Document windows close by hiding, which Qt does not count as closing the last window; the
// application quits itself once no window is shown any more, as nothing could reach it then.
// Palettes and panels (tool windows) do not count: they serve a window, and have no menus.
// The application's own commands answer their keys in every window (ApplicationKeys).
//
// Undo and Redo reach the key window's delegate when it asks for them (UndoRedirector);
// every other action travels the responder chain of platform::Application.

#include "platform/ui/Application.h"

class VLTMApplication : public platform::Application {
    Q_OBJECT

public:
    VLTMApplication(int& argc, char** argv);
    ~VLTMApplication() override;

    // The user's full name as the system records it; the login name when it records none.
    static QString registeredUserName();
    // The name of the product, as menus, folders and exported files show it.
    static QString productName();

    // Runs one turn of the event loop (waiting for an event) with `window` modal: input for
    // other windows is dropped, and a mouse down on one of them beeps.
    void runModalEventForWindow(QWidget* window);

    // Whether the window, shown, keeps the application running.
    static bool keepsApplicationRunning(const QWidget& window);

    // Sent when the application is asked to quit, before Qt closes its windows: what they show
    // then (palettes open or not) is what termination keeps for the next launch.
    Q_SIGNAL void willTerminate();

protected:
    bool eventFilter(QObject* watched, QEvent* event) override;

private:
    void quitUnlessAWindowIsShown();
};
