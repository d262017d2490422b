#pragma once

// A menu filled on demand: each time it is about to show, its delegate says how many items it
// has, the menu grows or shrinks to that count (new items are MenuItems) and the delegate fills
// each item. The delegate is not owned; one that has gone leaves the menu as it is.

#include <QPointer>

class QAction;
class QMenu;

namespace platform {

class MenuDelegate {
public:
    virtual ~MenuDelegate() = default;
    virtual int numberOfItemsInMenu(QMenu* menu) = 0;
    // False stops filling the remaining items.
    virtual bool menuUpdateItemAtIndex(QMenu* menu, QAction* item, int index) = 0;
};

// Null detaches. The delegate must be a QObject, so that the menu notices when it dies.
void setMenuDelegate(QMenu* menu, MenuDelegate* delegate);
MenuDelegate* menuDelegate(const QMenu* menu);
// What showing the menu does; for callers that need the items before it shows.
void fillMenuFromDelegate(QMenu* menu);

} // namespace platform
