#include "platform/ui/Menu.h"

#include "platform/ui/MenuDelegate.h"

namespace platform {

namespace {

// An item that opens a submenu and sends nothing is only a way into the submenu.
bool opensNoSubmenuOrActs(const MenuItem& item)
{
    return !item.menu() || !item.action().isEmpty();
}

} // namespace

Menu::Menu(const QString& title, QWidget* parent)
    : QMenu(title, parent)
{
    // Filled first: validators set state and titles on the items the menu is about to show.
    connect(this, &QMenu::aboutToShow, this, [this] {
        fillMenuFromDelegate(this);
        validateActions(actions());
    });
}

MenuItem* Menu::addItemWithTitleActionKeyEquivalent(const QString& title, const QByteArray& action,
                                                    const QString& key)
{
    auto* item = new MenuItem(title, action, this);
    if (!key.isEmpty())
        item->setKeyEquivalent(key);
    addAction(item);
    return item;
}

MenuItem* Menu::itemWithTag(int tag) const
{
    for (QAction* action : actions())
        if (auto* item = qobject_cast<MenuItem*>(action); item && item->tag() == tag)
            return item;
    return nullptr;
}

void Menu::validateActions(const QList<QAction*>& actions)
{
    for (QAction* action : actions)
        if (auto* item = qobject_cast<MenuItem*>(action); item && !item->isSeparator() && opensNoSubmenuOrActs(*item))
            item->validate();
}

} // namespace platform
