#pragma once

// The controls a window puts in its toolbar for an item browser: the icon sizes (one segment
// per sizing: 48, 80, 96, 128 points), the layout (one segment per mode) and the sort pop-up
// (its entries carry the sort modes as data). Each is made when first asked for and shows
// what the browser tells it; placing them is the window's business.
//
// The same choices, with the icon view's options, make up the View menu a window puts in its
// menu bar; the item commands (delete, select, rename, lock, reveal) make up the browser's part
// of an Edit menu. Their items are aimed at the browser whatever has the keyboard.

#include <QPointer>
#include <functional>

class QComboBox;
class QObject;
class QWidget;
class ZQSegmentedControl;
namespace platform {
class Menu;
}

class LibraryItemBrowserControls {
public:
    // The segmented controls send "iconSizingAction" and "layoutModeAction" to `target`; the
    // pop-up hands the mode chosen to `sortChosen`.
    LibraryItemBrowserControls(QObject* target, std::function<void(int mode)> sortChosen);

    ZQSegmentedControl* iconSizeControl(int sizing, int mode);
    ZQSegmentedControl* layoutModeControl(int mode);
    QComboBox* sortByPopUpButton(int sortMode);

    // Icons or list, the icon sizes, enlarging small previews, lock badges, the background.
    platform::Menu* makeViewMenu(const QString& title, QWidget* parent) const;
    // Delete (the Delete key), Select All, Select None, Select Others, Rename, Enable Editing,
    // Show in File Manager, appended to `menu`.
    void addItemCommands(platform::Menu& menu) const;

    // Icon sizes are offered in icon mode only.
    void showLayoutMode(int mode);
    void showIconSizing(int sizing);
    void showSortMode(int sortMode);

private:
    QObject* m_target;
    std::function<void(int)> m_sortChosen;
    QPointer<ZQSegmentedControl> m_iconSize;
    QPointer<ZQSegmentedControl> m_layoutMode;
    QPointer<QComboBox> m_sortBy;
};
