#pragma once

// Finding a window's menu items by their titles, as a user reads them.

#include "platform/ui/MenuItem.h"

#include <QMenu>
#include <QMenuBar>
#include <gtest/gtest.h>

namespace testsupport {

// What an entry shows: an item's title, another entry's text.
inline QString entryTitle(const QAction* action)
{
    const auto* item = qobject_cast<const platform::MenuItem*>(action);
    return item ? item->title() : action->text();
}

// The entry titled `title` in the menu bar's menu `menuTitle`; a test failure without one.
inline QAction* menuEntry(QMenuBar* bar, const QString& menuTitle, const QString& title)
{
    for (QAction* menuAction : bar->actions())
        if (menuAction->menu() && menuAction->text().remove('&') == menuTitle)
            for (QAction* action : menuAction->menu()->actions())
                if (entryTitle(action) == title)
                    return action;
    ADD_FAILURE() << "no entry " << qPrintable(menuTitle) << " > " << qPrintable(title);
    return nullptr;
}

inline platform::MenuItem* menuItem(QMenuBar* bar, const QString& menuTitle, const QString& itemTitle)
{
    return qobject_cast<platform::MenuItem*>(menuEntry(bar, menuTitle, itemTitle));
}

inline QMenu* submenu(QMenuBar* bar, const QString& menuTitle, const QString& title)
{
    QAction* entry = menuEntry(bar, menuTitle, title);
    return entry ? entry->menu() : nullptr;
}

} // namespace testsupport
