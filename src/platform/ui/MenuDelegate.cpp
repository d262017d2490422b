#include "platform/ui/MenuDelegate.h"

#include "platform/foundation/ZQAssert.h"
#include "platform/ui/Menu.h"
#include "platform/ui/MenuItem.h"

#include <QMenu>

namespace platform {

namespace {

constexpr const char* kDelegateProperty = "quorvaneMenuDelegate";
constexpr const char* kConnectedProperty = "quorvaneMenuDelegateConnected";

} // namespace

void setMenuDelegate(QMenu* menu, MenuDelegate* delegate)
{
    ZQ_ASSERT(menu, "no menu given");
    QObject* object = delegate ? dynamic_cast<QObject*>(delegate) : nullptr;
    ZQ_ASSERT(!delegate || object, "a menu delegate must be a QObject");
    menu->setProperty(kDelegateProperty, QVariant::fromValue(QPointer<QObject>(object)));
    // A platform Menu fills itself, before its items are validated.
    if (!qobject_cast<Menu*>(menu) && !menu->property(kConnectedProperty).toBool()) {
        menu->setProperty(kConnectedProperty, true);
        QObject::connect(menu, &QMenu::aboutToShow, menu, [menu] { fillMenuFromDelegate(menu); });
    }
}

MenuDelegate* menuDelegate(const QMenu* menu)
{
    const QPointer<QObject> object = menu->property(kDelegateProperty).value<QPointer<QObject>>();
    return object ? dynamic_cast<MenuDelegate*>(object.data()) : nullptr;
}

void fillMenuFromDelegate(QMenu* menu)
{
    MenuDelegate* delegate = menuDelegate(menu);
    if (!delegate)
        return;
    const int count = std::max(0, delegate->numberOfItemsInMenu(menu));
    QList<QAction*> items = menu->actions();
    while (items.size() > count) {
        QAction* surplus = items.takeLast();
        menu->removeAction(surplus);
        if (surplus->parent() == menu)
            delete surplus;
    }
    while (items.size() < count) {
        auto* item = new MenuItem(QString(), QByteArray(), menu);
        menu->addAction(item);
        items.append(item);
    }
    for (int i = 0; i < count; ++i)
        if (!delegate->menuUpdateItemAtIndex(menu, items[i], i))
            break;
}

} // namespace platform
