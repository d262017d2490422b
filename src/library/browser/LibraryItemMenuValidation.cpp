#include "library/browser/LibraryItemMenuValidation.h"

#include "library/browser/VXQLibraryItemViewController.h"
#include "library/store/VXQLibrary.h"
#include "platform/ui/MenuItem.h"

namespace librarybrowser {

bool validateMenuItem(VXQLibraryItemViewController& browser, platform::MenuItem& menuItem)
{
    const QByteArray action = menuItem.action();
    const auto libraryAllowsChanges = [](const VXQLibraryItemPtr& libraryItem) {
        VXQLibrary* library = libraryItem ? libraryItem->library() : nullptr;
        return library && library->allowsContentChanges();
    };
    if (action == "delete_") {
        const QList<VXQLibraryItemPtr> unlocked = browser.selectedUnlockedItems();
        return !unlocked.isEmpty() && libraryAllowsChanges(unlocked.last());
    }
    if (action == "revealInFinderAction") {
        const QList<VXQLibraryItemPtr> items = browser.selectedItems();
        if (items.size() != 1)
            return false;
        VXQLibrary* library = items.first()->library();
        return library && !library->isFactoryLibrary() && library->hasPresenceOnDisk();
    }
    if (action == "renameAction") {
        const QList<VXQLibraryItemPtr> items = browser.selectedItems();
        return !items.isEmpty() && !items.first()->locked() && libraryAllowsChanges(items.first());
    }
    if (action == "layoutModeAction") {
        menuItem.setState(menuItem.tag() == browser.layoutMode() ? platform::MenuItem::OnState : platform::MenuItem::OffState);
        return true;
    }
    if (action == "iconSizingAction") {
        const bool iconMode = browser.layoutMode() == VXQLibraryItemViewController::IconMode;
        menuItem.setState(iconMode && menuItem.tag() == browser.iconSizing() ? platform::MenuItem::OnState
                                                                             : platform::MenuItem::OffState);
        return iconMode;
    }
    if (action == "toggleIconScalingAction") {
        menuItem.setState(browser.iconsCanBeScaledUp() ? platform::MenuItem::OffState : platform::MenuItem::OnState);
        return browser.layoutMode() == VXQLibraryItemViewController::IconMode;
    }
    if (action == "toggleLockBadgingAction") {
        menuItem.setState(browser.showsLockBadging() ? platform::MenuItem::OnState : platform::MenuItem::OffState);
        return browser.layoutMode() == VXQLibraryItemViewController::IconMode;
    }
    if (action == "backgroundColourAction") {
        menuItem.setState(menuItem.tag() == browser.iconViewBackgroundColourIndex() ? platform::MenuItem::OnState
                                                                                    : platform::MenuItem::OffState);
        return browser.layoutMode() == VXQLibraryItemViewController::IconMode;
    }
    if (action == "sortByAction") {
        VXQLibraryItemViewControllerDelegate* delegate = browser.delegate();
        const bool allowed = !delegate
            || !delegate->answers(VXQLibraryItemViewControllerDelegate::Message::AllowsResorting)
            || delegate->libraryItemViewControllerAllowsResorting(&browser);
        menuItem.setState(allowed && menuItem.tag() == browser.sortedBy() ? platform::MenuItem::OnState
                                                                          : platform::MenuItem::OffState);
        return allowed;
    }
    if (action == "enableEditingAction") {
        const int state = browser.isEditingEnabled();
        menuItem.setState(state < 0 ? platform::MenuItem::MixedState
                                    : (state ? platform::MenuItem::OnState : platform::MenuItem::OffState));
        return !browser.selectedItemIndexes().empty();
    }
    return browser.metaObject()->indexOfMethod(QByteArray(action + "(QObject*)").constData()) >= 0;
}

} // namespace librarybrowser
