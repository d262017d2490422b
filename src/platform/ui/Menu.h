#pragma once

// A menu whose items validate themselves each time it is about to show (see MenuItem).

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

    // Validates the menu items among `actions` (other actions and submenus are left alone).
    static void validateActions(const QList<QAction*>& actions);
};

} // namespace platform
