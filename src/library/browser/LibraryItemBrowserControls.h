#pragma once

// The controls a window puts in its toolbar for an item browser: the icon sizes (one segment
// per sizing: 48, 80, 96, 128 points), the layout (one segment per mode) and the sort pop-up
// (its entries carry the sort modes as data). Each is made when first asked for and shows
// what the browser tells it; placing them is the window's business.

#include <QPointer>
#include <functional>

class QComboBox;
class QObject;
class ZQSegmentedControl;

class LibraryItemBrowserControls {
public:
    // The segmented controls send "iconSizingAction" and "layoutModeAction" to `target`; the
    // pop-up hands the mode chosen to `sortChosen`.
    LibraryItemBrowserControls(QObject* target, std::function<void(int mode)> sortChosen);

    ZQSegmentedControl* iconSizeControl(int sizing, int mode);
    ZQSegmentedControl* layoutModeControl(int mode);
    QComboBox* sortByPopUpButton(int sortMode);

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
