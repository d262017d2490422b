#pragma once

// Whether a view sits on a tab behind another one of a shown window. Nobody sees it there, so
// what it shows of a selection may wait until it comes to the front, which a show event tells.
// A view of a window not shown yet (or of none) is not behind anything: it loads as asked.

#include <QWidget>

inline bool isOnTabBehindAnother(const QWidget& view)
{
    return !view.isVisible() && view.window()->isVisible();
}
