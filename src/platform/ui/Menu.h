#pragma once

// A menu whose items validate themselves each time it is about to show (see MenuItem), after
// its delegate, if it has one, has filled it (see MenuDelegate).

#include "platform/ui/MenuItem.h"

#include <QMenu>

namespace platform {

class Menu : public QMenu {
    Q_OBJECT

public:
    explicit Menu(const QString& title = {}, QWidget* parent = nullptr);

    // An item sending `action` along the responder chain; an empty key gives no shortcut.
    MenuItem* addItemWithTitleActionKeyEquivalent(const QString& title, const QByteArray& action,
                                                  const QString& key = {});
    // The first item with that tag, or null.
    MenuItem* itemWithTag(int tag) const;

    // Validates the menu items among `actions`; other actions, and items that only open a
    // submenu without an action of their own, are left alone.
    static void validateActions(const QList<QAction*>& actions);
};

} // namespace platform
