#include "library/menus/VXQLibraryMenuHelper.h"

#include "platform/ui/MenuItem.h"

#include <QHash>
#include <QMenu>

namespace {

QHash<const QMenu*, std::shared_ptr<VXQLibraryMenuHelper>>& helpers()
{
    static QHash<const QMenu*, std::shared_ptr<VXQLibraryMenuHelper>> table;
    return table;
}

} // namespace

VXQLibraryMenuHelper::VXQLibraryMenuHelper(QObject* target, const QByteArray& action, int options)
    : m_target(target)
    , m_action(action)
    , m_options(options)
{
}

VXQLibraryMenuHelper* VXQLibraryMenuHelper::menuHelperForMenu(const QMenu* menu)
{
    return helpers().value(menu).get();
}

void VXQLibraryMenuHelper::setMenuHelperForMenu(std::unique_ptr<VXQLibraryMenuHelper> helper, QMenu* menu)
{
    if (!menu)
        return;
    if (!helper) {
        helpers().remove(menu);
        return;
    }
    if (!helpers().contains(menu))
        QObject::connect(menu, &QObject::destroyed, [menu] { helpers().remove(menu); });
    helpers().insert(menu, std::shared_ptr<VXQLibraryMenuHelper>(std::move(helper)));
}

void VXQLibraryMenuHelper::applyToItem(QAction* item) const
{
    if (auto* menuItem = qobject_cast<platform::MenuItem*>(item)) {
        menuItem->setTarget(m_target);
        menuItem->setAction(m_action);
    }
}
