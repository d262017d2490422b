#pragma once

// The item browser: an ordered list of library items shown either as a free-layout icon view
// (layout mode 0) or as a table (mode 1), whose gestures (selection, double-click, renaming,
// dragging out, deleting, locking, sorting, icon size, background, printing) become calls on
// its delegate. It owns no library logic: the library manager and the picker palette each
// make one and act as its delegate.
//
// Previews load lazily: a cell asks its item for its preview only when it is drawn, and an
// item whose preview arrives later is redrawn alone.
//
// Settings live in the user defaults under the delegate's root name ("<root>_VXLIB_ITEM_VIEW_
// layoutMode", "..._iconSizing", "..._iconUpscaling" (true when upscaling is off),
// "..._lockBadging", "<root>_bkgColorIndex"); they are read by awakeFromInterface().
//
// The controls a window puts in its toolbar (icon size, layout mode, sort pop-up) are made
// by the browser and handed out; placing them is the window's business.

#include "library/browser/LibraryItemBrowserControls.h"
#include "library/browser/LibraryItemBrowserRules.h"
#include "library/browser/LibraryItemBrowserSettings.h"
#include "library/browser/LibraryItemDeleteSheet.h"
#include "library/browser/LibraryItemDragOut.h"
#include "library/browser/LibraryItemIconSource.h"
#include "library/browser/LibraryItemPresentations.h"
#include "library/browser/LibraryItemSelection.h"
#include "library/browser/LibraryItemSortOrder.h"
#include "library/browser/VXQLibraryItemViewControllerDelegate.h"
#include "platform/ui/ViewController.h"
#include "widgets/iconview/JXDistributedView.h"
#include "widgets/iconview/ZQPrintableJXDistributedView.h"

#include <QPageLayout>
#include <QPointer>
#include <optional>

class LibraryItemTableModel;
class QComboBox;
class QDialog;
class QLabel;
class QPrinter;
class QStackedWidget;
class QTableView;
class ZQSegmentedControl;
namespace platform {
class Menu;
class MenuItem;
struct Notification;
}

class VXQLibraryItemViewController : public platform::ViewController {
    Q_OBJECT

public:
    enum LayoutMode { IconMode = 0, ListMode = 1 };

    VXQLibraryItemViewController();
    ~VXQLibraryItemViewController() override;

    // Builds the view (if not yet), reads the settings under the delegate's root name, sorts by
    // name and starts following item changes. Call once the delegate is set.
    void awakeFromInterface();

    // --- Shared values ------------------------------------------------------------------------
    static QSizeF iconSizeForSizing(int sizing) { return librarybrowser::iconSizeForSizing(sizing); }
    static QColor cellSelectionColour() { return librarybrowser::cellSelectionColour(); }
    static QColor standardBackgroundColour() { return librarybrowser::standardBackgroundColour(); }
    // What a cell shows while its item's preview is still being read or drawn.
    static QImage placeholderPreviewImage() { return librarybrowser::placeholderPreviewImage(); }
    // "VL_Not_Editable" at 16 x 16 points, made once.
    static QImage lockBadgeImage() { return librarybrowser::lockBadgeImage(); }
    // The items as a PDF page of `columns` columns of icons of the sizing; asserts on no
    // columns ("number of columns must be > 0").
    static QByteArray pdfPreviewForContentArrangedInColumnsIconSize(const QList<VXQLibraryItemPtr>& content,
                                                                    unsigned columns, int sizing);

    // --- Content and delegate -----------------------------------------------------------------
    void setContent(const QList<VXQLibraryItemPtr>& content) { setContentPreservingSelection(content, true); }
    // Nothing when `content` is not empty and equal to what is shown; otherwise takes it,
    // clears the disabled items and, when preserving, selects again those of the selected
    // items that are still there.
    void setContentPreservingSelection(const QList<VXQLibraryItemPtr>& content, bool preserving);
    // The delegate's content when it gives one, else what setContent gave.
    QList<VXQLibraryItemPtr> content();
    qint64 numberOfItemsInContent();
    // Null outside the content.
    VXQLibraryItemPtr itemAtIndex(qint64 index);
    // -1 when the item is not shown.
    qint64 indexOfItem(const VXQLibraryItem* item);

    VXQLibraryItemViewControllerDelegate* delegate() const { return m_delegate; }
    // Not kept alive; must be a QObject (a programming error otherwise).
    void setDelegate(VXQLibraryItemViewControllerDelegate* delegate);
    QString settingsNameRoot() const;

    // --- Presentation -------------------------------------------------------------------------
    int layoutMode() const { return m_presentations.mode(); }
    void setLayoutMode(int mode);
    int iconSizing() const { return m_iconSizing; }
    // In icon mode only.
    void setIconSizing(int sizing);
    bool iconsCanBeScaledUp() const { return m_allowIconUpscaling; }
    void setIconsCanBeScaledUp(bool flag);
    bool showsLockBadging() const { return m_lockBadging; }
    void setShowsLockBadging(bool flag);
    int iconViewBackgroundColourIndex() const { return m_backgroundColourIndex; }
    void setIconViewBackgroundColour(int index);
    void refreshActiveView() { m_presentations.reload(); }
    // The icon view in mode 0, the table in mode 1.
    QWidget* activeView();
    JXDistributedView* iconView();
    // Replaces the icon view (with its cell) by another, e.g. one whose prototype is a style
    // button cell.
    void setIconView(JXDistributedView* view);
    QTableView* listView();
    // The icon view's cell height in icon mode, the table's row height in list mode.
    double rowHeight();
    // The icon view's content inset in icon mode, the table's header height in list mode.
    double fixedHeight();

    // Toolbar controls: icon sizes (one segment per sizing: 48, 80, 96, 128 points), layout
    // (segment = mode), sort (items carry sort modes as data).
    ZQSegmentedControl* iconSizeControl();
    ZQSegmentedControl* layoutModeControl();
    QComboBox* sortByPopUpButton();
    // The item commands as a context menu at `globalPosition`, over the item at `index` (selected
    // first when it is not) or over no item (any other index).
    void showItemMenu(qint64 index, QPoint globalPosition);
    // The browser's View menu and its item commands for an Edit menu, aimed at the browser.
    platform::Menu* makeViewMenu(const QString& title, QWidget* parent) const { return m_controls.makeViewMenu(title, parent); }
    void addItemCommands(platform::Menu& menu) const { m_controls.addItemCommands(menu); }
    // The window the print dialog runs on (the view's window when none is set).
    void setSheetHostWindow(QWidget* window) { m_sheetHostWindow = window; }

    // --- Selection ----------------------------------------------------------------------------
    // The active presentation's selection.
    JXIndexSet selectedItemIndexes() { return m_selection.indexes(); }
    QList<VXQLibraryItemPtr> selectedItems() { return m_selection.items(); }
    QList<VXQLibraryItemPtr> selectedUnlockedItems() { return m_selection.unlockedItems(); }
    // Replaces the selection (when different) and scrolls its first item into view; always
    // forgets the remembered selection.
    void selectItemsAtIndexes(const JXIndexSet& indexes) { m_selection.selectIndexes(indexes); }
    // Those of the items that are shown.
    void selectItems(const QList<VXQLibraryItemPtr>& items) { m_selection.selectItems(items); }
    // Selects just the item, or only scrolls to it; false when it is not shown.
    bool revealItemSelectIt(const VXQLibraryItem* item, bool select) { return m_selection.reveal(item, select); }
    void saveSelectedItems() { m_selection.remember(); }
    void restoreSelectedItems() { m_selection.restore(); }

    // --- Editing ------------------------------------------------------------------------------
    // Locks (false) or unlocks (true) every selected item.
    void setEditingEnabled(bool enabled);
    // 0 with nothing selected, 1 when all selected items are unlocked, 0 when all are locked,
    // -1 when they differ.
    int isEditingEnabled();
    // None: nothing disabled; an empty set: everything; else those indexes.
    std::optional<JXIndexSet> disabledItems() const { return m_disabled.set; }
    void setDisabledItems(const std::optional<JXIndexSet>& items);
    bool isItemDisabled(qint64 index) const { return m_disabled.isDisabled(index); }

    // Sorting: the list's column ("name", "kind", "locked") by the low 15 bits of the mode,
    // descending with bit 15.
    int sortedBy() const;
    void setSortedBy(int mode);
    QList<LibrarySortDescriptor> sortDescriptors() const { return m_sortOrder.descriptors(); }
    void setSortDescriptors(const QList<LibrarySortDescriptor>& descriptors);

    // Starts an in-place rename (not of a locked item).
    void renameItemAtIndex(qint64 index);

    // Printing: the icon grid on 52-point squares over the printable width, with the delegate's
    // headers and footers. Shows the print dialog on the sheet host window (the default
    // layout when `pageLayout` is none) and tells the delegate how it went.
    void performPrintWithPrintInfo(const std::optional<QPageLayout>& pageLayout);
    // Prints without asking; answers the number of pages.
    int printToPrinter(QPrinter& printer);

    // --- Actions ------------------------------------------------------------------------------
    Q_INVOKABLE void iconSizingAction(QObject* sender);
    Q_INVOKABLE void iconContinuousSizingAction(QObject* sender);
    Q_INVOKABLE void layoutModeAction(QObject* sender);
    Q_INVOKABLE void enableEditingAction(QObject* sender);
    Q_INVOKABLE void selectAll(QObject*) { m_selection.selectAll(); }
    Q_INVOKABLE void selectNone(QObject*) { m_selection.selectNone(); }
    Q_INVOKABLE void selectOthers(QObject*) { m_selection.selectOthers(); }
    Q_INVOKABLE void revealInFinderAction(QObject* sender);
    Q_INVOKABLE void renameAction(QObject* sender);
    // Asks before handing the selected unlocked items to the delegate's deleteItemsAtIndexes.
    Q_INVOKABLE void delete_(QObject* sender);
    Q_INVOKABLE void deleteItemsOKAction(QObject* sender);
    Q_INVOKABLE void deleteItemsCancelAction(QObject* sender);
    Q_INVOKABLE void toggleIconScalingAction(QObject*) { setIconsCanBeScaledUp(!m_allowIconUpscaling); }
    Q_INVOKABLE void toggleLockBadgingAction(QObject*) { setShowsLockBadging(!m_lockBadging); }
    Q_INVOKABLE void backgroundColourAction(QObject* sender);
    Q_INVOKABLE void sortByAction(QObject* sender);
    Q_INVOKABLE bool validateMenuItem(platform::MenuItem* item);

    // The delete sheet while it is up, and its message.
    QDialog* deleteSheet() const { return m_deleteSheet.sheet(); }
    QString deleteSheetText() const { return m_deleteSheet.text(); }

    // Drag-out removal: whether the point (screen coordinates) lies outside every window.
    static bool isOutsideEveryWindow(QPoint screenPoint) { return LibraryItemDragOut::isOutsideEveryWindow(screenPoint); }
    bool dragWillRemoveItems() const { return m_dragOut.willRemove(); }
    // The end of a drag of the selected items at `screenPoint`: an ignored drop outside every
    // window removes them when the delegate allows it; answers whether they were removed.
    bool dragEndedWithOperationAtPoint(Qt::DropAction operation, QPoint screenPoint);

    // --- The icon view's questions, as its data source and delegate answers them -------------
    // The view's own title edit: renames the item and selects it.
    void distributedViewSetObjectValueForItemIndex(JXDistributedView* view, const QString& value, qint64 index)
    {
        m_iconSource.distributedViewSetObjectValueForItemIndex(view, value, index);
    }
    QString distributedViewToolTipForItemAtIndex(JXDistributedView* view, qint64 index)
    {
        return m_iconSource.distributedViewToolTipForItemAtIndex(view, index);
    }
    void distributedViewCellDoubleClickedAtItemIndex(JXDistributedView* view, qint64 index)
    {
        m_iconSource.distributedViewCellDoubleClickedAtItemIndex(view, index);
    }
    bool distributedViewShouldEditItemAtIndex(JXDistributedView* view, qint64 index)
    {
        return m_iconSource.distributedViewShouldEditItemAtIndex(view, index);
    }
    // The dragged selection's image moved: outside every window the cursor tells whether the
    // drop will remove the items.
    void distributedViewDraggedImageMovedTo(JXDistributedView* view, const QImage& image, QPointF screenPoint);
    // The icon view, without building the view when it is not built yet.
    JXDistributedView* iconViewIfLoaded() const { return m_presentations.iconView(); }

    // --- Table ----------------------------------------------------------------------------------
    // What the list's model asks.
    bool shouldEditItemAtIndex(qint64 index);
    void tableSelectionDidChange();
    // The user clicked a column header: that column first, flipped when it already led.
    void tableHeaderClicked(int column);
    void tableViewSortDescriptorsDidChange(const QList<LibrarySortDescriptor>& previous);

protected:
    QWidget* loadView() override;

private:
    void libraryItemChanged(const platform::Notification& notification);
    static int validLayoutMode(int mode);
    // Shows the mode's presentation even when it is shown already, and stores the mode.
    void showLayoutMode(int mode);
    void tellSelectionChanged(const JXIndexSet& indexes);
    void finishDeleteSheet(int returnCode);

    LibraryItemIconSource m_iconSource;
    LibraryItemPresentations m_presentations;
    int m_iconSizing = 0;
    QList<VXQLibraryItemPtr> m_content;
    VXQLibraryItemViewControllerDelegate* m_delegate = nullptr;
    QPointer<QObject> m_delegateObject;
    QPointer<QWidget> m_sheetHostWindow;
    bool m_allowIconUpscaling = true;
    bool m_lockBadging = false;
    int m_backgroundColourIndex = 0;
    librarybrowser::DisabledItems m_disabled;
    LibraryItemSelection m_selection;
    LibraryItemBrowserControls m_controls;
    LibraryItemSortOrder m_sortOrder;
    LibraryItemBrowserSettings m_settings;
    LibraryItemDeleteSheet m_deleteSheet;
    LibraryItemDragOut m_dragOut;
    bool m_awake = false;
};
