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

} // namespace uitest
