#include "platform/ui/Menu.h"

namespace platform {

Menu::Menu(const QString& title, QWidget* parent)
    : QMenu(title, parent)
{
    connect(this, &QMenu::aboutToShow, this, [this] { validateActions(actions()); });
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
        if (auto* item = qobject_cast<MenuItem*>(action); item && !item->isSeparator() && !item->menu())
            item->validate();
}

} // namespace platform
