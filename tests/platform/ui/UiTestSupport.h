#pragma once

#include "platform/foundation/RunLoop.h"

#include <QApplication>
#include <QWidget>

namespace uitest {

// Shows the window and makes it the active (key) window, as a click on it would.
inline void activate(QWidget* window)
{
    window->show();
    QApplication::setActiveWindow(window);
    platform::RunLoop::runUntilIdle();
}

// The shown top-level window of the kind (a sheet, an alert); null when none is shown.
template <class Window> Window* shownWindow()
{
    for (QWidget* widget : QApplication::topLevelWidgets())
        if (auto* window = qobject_cast<Window*>(widget); window && window->isVisible())
            return window;
    return nullptr;
}

} // namespace uitest
