#include "library/menus/LibraryMenus.h"

#include "library/categories/VXQLibraryCategory.h"
#include "library/catalogue/VXQLibraryCatalogue.h"
#include "library/groups/VXQLibraryGroup.h"
#include "library/menus/LibraryArtwork.h"
#include "library/menus/VXQLibraryMenuHelper.h"
#include "library/store/VXQLibrary.h"
#include "platform/foundation/ZQAssert.h"

#include <QCoreApplication>
#include <QFontDatabase>
#include <QMenu>

namespace {

constexpr int kMenuFontSize = 11;

const QList<LibrarySortDescriptor>& byName()
{
    static const QList<LibrarySortDescriptor> descriptors{{QStringLiteral("name"), true}};
    return descriptors;
}

// The item's earlier submenu (and with it its record) goes; the new one, if any, takes its place.
void replaceSubmenu(QAction* item, QMenu* submenu)
{
    QMenu* old = item->menu();
    item->setMenu(submenu);
    if (old && old != submenu)
        delete old;
}

void setTarget(QMenu* menu, QAction* item)
{
    if (const VXQLibraryMenuHelper* helper = VXQLibraryMenuHelper::menuHelperForMenu(menu))
        helper->applyToItem(item);
}

void fillElementItem(QAction* item, const VXQLibraryElement& element)
{
    item->setText(element.name());
    setLibraryMenuIcon(item, element.icon());
    item->setData(element.identifier());
    if (auto* menuItem = qobject_cast<platform::MenuItem*>(item))
        menuItem->setRepresentedObject(element.identifier());
    item->setToolTip(element.toolTipString());
    item->setEnabled(true);
    item->setFont(VXQLibraryGroupMenuHandler::standardItemAttributes());
}

QVariant representedObject(const QAction* item)
{
    if (auto* menuItem = qobject_cast<const platform::MenuItem*>(item))
        return menuItem->representedObject();
    return item->data();
}

} // namespace

// --- The menu of all libraries ------------------------------------------------------------------

VXQLibraryGroupMenuHandler* VXQLibraryGroupMenuHandler::sharedGroupMenuHandler()
{
    static VXQLibraryGroupMenuHandler* handler = [] {
        VXQLibraryCatalogue::allLibraries();
        return new VXQLibraryGroupMenuHandler;
    }();
    return handler;
}

QFont VXQLibraryGroupMenuHandler::standardItemAttributes()
{
    QFont font = QFontDatabase::systemFont(QFontDatabase::GeneralFont);
    font.setPointSize(kMenuFontSize);
    return font;
}

QFont VXQLibraryGroupMenuHandler::boldItemAttributes()
{
    QFont font = standardItemAttributes();
    font.setBold(true);
    font.setUnderline(true);
    return font;
}

QFont VXQLibraryGroupMenuHandler::groupHeaderItemAttributes()
{
    QFont font = standardItemAttributes();
    font.setBold(true);
    return font;
}

QFont VXQLibraryGroupMenuHandler::readOnlyCategoryAttributes()
{
    QFont font = QFontDatabase::systemFont(QFontDatabase::SmallestReadableFont);
    font.setItalic(true);
    return font;
}

void VXQLibraryGroupMenuHandler::renewMenu(QMenu* menu, int options, QObject* target, const QByteArray& action)
{
    VXQLibraryMenuHelper::setMenuHelperForMenu(std::make_unique<VXQLibraryMenuHelper>(target, action, options), menu);
    platform::setMenuDelegate(menu, this);
}

QMenu* VXQLibraryGroupMenuHandler::renewLibrariesMenu(QMenu* menu, int options, QObject* target, const QByteArray& action)
{
    if (!menu)
        menu = new platform::Menu(QCoreApplication::translate("VXQLibrary", "Libraries"));
    sharedGroupMenuHandler()->renewMenu(menu, options, target, action);
    return menu;
}

int VXQLibraryGroupMenuHandler::numberOfItemsInMenu(QMenu*)
{
    return int(VXQLibraryGroup::flattenedListOfGroupsAndLibraries().size()) + 1;
}

bool VXQLibraryGroupMenuHandler::menuUpdateItemAtIndex(QMenu* menu, QAction* item, int index)
{
    if (index == 0)
        return true;
    const VXQLibraryElementPtr entry = VXQLibraryGroup::libraryOrGroupWithUnifiedIndex(index - 1);
    if (!entry)
        return true;
    auto* menuItem = qobject_cast<platform::MenuItem*>(item);
    if (auto* group = dynamic_cast<VXQLibraryGroup*>(entry.get())) {
        item->setText(group->name());
        setLibraryMenuIcon(item, group->icon());
        item->setEnabled(true);
        item->setToolTip(group->toolTipString());
        item->setData({});
        if (menuItem) {
            menuItem->setTarget(nullptr);
            menuItem->setAction({});
            menuItem->setRepresentedObject({});
        }
        item->setFont(groupHeaderItemAttributes());
        replaceSubmenu(item, nullptr);
        return true;
    }
    auto* library = static_cast<VXQLibrary*>(entry.get());
    fillElementItem(item, *library);
    item->setToolTip({});
    const VXQLibraryMenuHelper* helper = VXQLibraryMenuHelper::menuHelperForMenu(menu);
    if (helper)
        helper->applyToItem(item);
    replaceSubmenu(item, LibraryContainerMenu::categoriesMenu(library, helper ? helper->options() : 0,
                                                              helper ? helper->target() : nullptr,
                                                              helper ? helper->action() : QByteArray(), menu));
    return true;
}

void VXQLibraryGroupMenuHandler::setBoldTitlingForMenuTrail(QAction* item, const QString& identifier)
{
    if (!ZQ_EXPECT(item, "nil menu item") || !ZQ_EXPECT(!identifier.isNull(), "nil identifier"))
        return;
    const QString represented = representedObject(item).toString();
    if (represented.isEmpty())
        return;
    const QStringList parts = represented.split(u'.');
    const QStringList wanted = identifier.split(u'.');
    const qsizetype position = parts.size() - 1;
    const bool onTrail = identifier.contains(represented) && position < wanted.size() && parts.last() == wanted[position];
    if (onTrail)
        item->setFont(boldItemAttributes());
    else if (item->font() == boldItemAttributes())
        item->setFont(standardItemAttributes()); // a read-only category keeps its oblique title
}

// --- Menus of one container ---------------------------------------------------------------------

LibraryContainerMenu::LibraryContainerMenu(VXQLibraryElementContainer* container, QMenu* menu)
    : QObject(menu)
    , m_container(container)
{
}

platform::Menu* LibraryContainerMenu::make(VXQLibraryElementContainer* container, const QString& title, int options,
                                           QObject* target, const QByteArray& action, QWidget* parent)
{
    auto* menu = new platform::Menu(title, parent);
    VXQLibraryMenuHelper::setMenuHelperForMenu(std::make_unique<VXQLibraryMenuHelper>(target, action, options), menu);
    platform::setMenuDelegate(menu, new LibraryContainerMenu(container, menu));
    return menu;
}

platform::Menu* LibraryContainerMenu::librariesMenu(VXQLibraryGroup* group, int options, QObject* target,
                                                    const QByteArray& action, QWidget* parent)
{
    return make(group, QCoreApplication::translate("VXQLibraryGroup", "Collections"), options, target, action, parent);
}

platform::Menu* LibraryContainerMenu::categoriesMenu(VXQLibrary* library, int options, QObject* target,
                                                     const QByteArray& action, QWidget* parent)
{
    return make(library, QCoreApplication::translate("VXQLibrary", "Categories"), options, target, action, parent);
}

platform::Menu* LibraryContainerMenu::subcategoriesMenu(VXQLibraryCategory* category, int options, QObject* target,
                                                        const QByteArray& action, QWidget* parent)
{
    return make(category, QStringLiteral("%1.categories").arg(category->name()), options, target, action, parent);
}

VXQLibraryElementContainer::ElementList LibraryContainerMenu::entries() const
{
    if (!m_container)
        return {};
    if (auto* group = qobject_cast<VXQLibraryGroup*>(m_container.data())) {
        VXQLibraryElementContainer::ElementList list;
        for (const VXQLibraryPtr& library : group->libraries().value_or(QList<VXQLibraryPtr>()))
            list.append(library);
        return list;
    }
    return m_container->sortedSubContainersUsingSortDescriptorsCookie(byName(), 0);
}

int LibraryContainerMenu::numberOfItemsInMenu(QMenu*)
{
    return int(entries().size());
}

bool LibraryContainerMenu::menuUpdateItemAtIndex(QMenu* menu, QAction* item, int index)
{
    const VXQLibraryElementContainer::ElementList list = entries();
    if (index >= list.size())
        return false;
    auto* element = static_cast<VXQLibraryElementContainer*>(list[index].get());
    fillElementItem(item, *element);
    if (auto* category = qobject_cast<VXQLibraryCategory*>(element); category && category->isReadOnly())
        item->setFont(VXQLibraryGroupMenuHandler::readOnlyCategoryAttributes());
    replaceSubmenu(item, nullptr);
    setTarget(menu, item);
    const VXQLibraryMenuHelper* helper = VXQLibraryMenuHelper::menuHelperForMenu(menu);
    const int options = helper ? helper->options() : 0;
    QObject* target = helper ? helper->target() : nullptr;
    const QByteArray action = helper ? helper->action() : QByteArray();
    QMenu* submenu = nullptr;
    if (auto* library = qobject_cast<VXQLibrary*>(element); library && library->countOfSubContainers() > 0)
        submenu = categoriesMenu(library, options, target, action, menu);
    else if (auto* category = qobject_cast<VXQLibraryCategory*>(element); category && category->countOfSubContainers() > 0)
        submenu = subcategoriesMenu(category, options, target, action, menu);
    if (submenu) {
        replaceSubmenu(item, submenu);
        item->setToolTip({});
    }
    return true;
}
