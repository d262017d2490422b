#pragma once

// Menus of the library tree, filled each time they are about to show:
// - the menu of all libraries (VXQLibraryGroupMenuHandler): item 0 as its owner set it, then
//   each group as a header followed by its libraries, each with a menu of its categories;
// - a group's menu of libraries, a library's menu of categories, a category's menu of
//   sub-categories (LibraryContainerMenu).
// Items standing for a library or category carry its dotted identifier as represented object
// and get the target and action of their menu's VXQLibraryMenuHelper record.

#include "library/tree/VXQLibraryElementContainer.h"
#include "platform/ui/Menu.h"
#include "platform/ui/MenuDelegate.h"

#include <QFont>

class VXQLibrary;
class VXQLibraryCategory;
class VXQLibraryGroup;

class VXQLibraryGroupMenuHandler : public QObject, public platform::MenuDelegate {
    Q_OBJECT

public:
    // Made on first use; making it discovers every library.
    static VXQLibraryGroupMenuHandler* sharedGroupMenuHandler();
    static QFont standardItemAttributes();
    static QFont boldItemAttributes();
    static QFont groupHeaderItemAttributes();
    // Oblique, for read-only categories.
    static QFont readOnlyCategoryAttributes();

    // Gives the menu a new record of target, action and options and fills it from now on.
    void renewMenu(QMenu* menu, int options, QObject* target, const QByteArray& action);
    // Without a menu a new one titled "Libraries" is made (the caller owns it).
    static QMenu* renewLibrariesMenu(QMenu* menu, int options, QObject* target, const QByteArray& action);

    int numberOfItemsInMenu(QMenu* menu) override;
    bool menuUpdateItemAtIndex(QMenu* menu, QAction* item, int index) override;

    // Bold when the item's identifier leads to `identifier` (a library or category on its
    // trail); otherwise no longer bold. Menus validate their items after filling them, so a
    // validator that calls this marks the trail through submenus made while the menu opens.
    static void setBoldTitlingForMenuTrail(QAction* item, const QString& identifier);

private:
    VXQLibraryGroupMenuHandler() = default;
};

// A menu of one container's sub-containers: a group's libraries, a library's categories or a
// category's sub-categories. The filler lives as long as its menu and holds the container
// weakly: a container that has gone leaves the menu empty.
class LibraryContainerMenu : public QObject, public platform::MenuDelegate {
    Q_OBJECT

public:
    static platform::Menu* librariesMenu(VXQLibraryGroup* group, int options, QObject* target,
                                         const QByteArray& action, QWidget* parent = nullptr);
    static platform::Menu* categoriesMenu(VXQLibrary* library, int options, QObject* target,
                                          const QByteArray& action, QWidget* parent = nullptr);
    static platform::Menu* subcategoriesMenu(VXQLibraryCategory* category, int options, QObject* target,
                                             const QByteArray& action, QWidget* parent = nullptr);

    int numberOfItemsInMenu(QMenu* menu) override;
    bool menuUpdateItemAtIndex(QMenu* menu, QAction* item, int index) override;

private:
    LibraryContainerMenu(VXQLibraryElementContainer* container, QMenu* menu);
    static platform::Menu* make(VXQLibraryElementContainer* container, const QString& title, int options,
                                QObject* target, const QByteArray& action, QWidget* parent);
    VXQLibraryElementContainer::ElementList entries() const;

    QPointer<VXQLibraryElementContainer> m_container;
};
