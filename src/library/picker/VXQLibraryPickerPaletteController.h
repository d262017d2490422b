#pragma once

// The "Styles & Symbols" palette: a floating tool window showing the items of one library
// category in an item browser, kept in step with the drawing tool of the front map window.
//
// Choosing an item posts kVXQLibraryPickerSelectedObjectDidChange, on which the current tool
// takes the item's style or symbol master. The same item can be applied to the selection of
// the front map (Apply), or, for a style, as an overlay of the selected tracks (Alt held, or
// the "Apply as Overlay" command, since window managers take Alt-clicks). A search field with
// kind, mode and scope menus narrows the items; a pop-up chooses the library and category; a
// breadcrumb shows where the chosen item lives; back and forward buttons with menus walk the
// history of choices (LibraryPickerHistory).
//
// The palette is shown without taking the keyboard; a click in its search field activates it.
// Its settings are the user defaults below; the item browser's use the root "QVNL_LIB_PICKER".

#include "library/browser/VXQLibraryItemViewController.h"
#include "library/categories/VXQLibraryCategory.h"
#include "library/picker/LibraryPickerHistory.h"
#include "platform/foundation/Predicate.h"
#include "platform/ui/Document.h" // WindowController's inline document() needs it complete
#include "platform/ui/MenuDelegate.h"
#include "platform/ui/WindowController.h"

#include <functional>
#include <optional>

class LibraryPathBar;
class QLineEdit;
class QMenu;
class QPushButton;
class QToolButton;
class VXDrawingTool;
class ZQQuorvaneDocument;
namespace platform {
class Alert;
class MenuItem;
struct Notification;
}

inline const QString kTMSVLibraryPickerVisible = QStringLiteral("kTMSVLibraryPickerVisible");
inline const QString kTMSVLibraryPickerFrame = QStringLiteral("kTMSVLibraryPickerFrame");
inline const QString kQuorvaneLibraryPickerWindowPlacement = QStringLiteral("kQuorvaneLibraryPickerWindowPlacement");
inline const QString kLibraryPickerDisplayedCategory = QStringLiteral("QVNL_PICKER_DISPLAYED_CATEGORY");
inline const QString kLibraryPickerLastSelection = QStringLiteral("QVNL_LIB_PICKER_LAST_SELECTION");
inline const QString kLibraryPickerHideNonMatchingItems = QStringLiteral("kLibraryPickerHideNonMatchingItems");
inline const QString kQuorvaneToolsWindowConfirmDirectApply = QStringLiteral("kQuorvaneToolsWindowConfirmDirectApply");
inline const QString kLibraryPickerSettingsRootName = QStringLiteral("QVNL_LIB_PICKER");

class VXQLibraryPickerPaletteController : public platform::WindowController,
                                          public VXQLibraryItemViewControllerDelegate,
                                          public platform::MenuDelegate {
    Q_OBJECT

public:
    enum FilterScope { DisplayedCategoryScope = 0, WholeLibraryScope = 1 };

    VXQLibraryPickerPaletteController();
    ~VXQLibraryPickerPaletteController() override;

    // --- The one palette ---------------------------------------------------------------------
    static VXQLibraryPickerPaletteController* sharedLibraryPicker();
    // Whether it exists; asking never makes it.
    static bool sharedLibraryPickerAvailable();
    // Stores whether it is visible and its frame (only "not visible" when it was never made).
    static void saveLibraryPickerState();
    // Makes it, takes the stored frame (kept on a screen) and shows it when it was visible.
    static void restoreLibraryPickerState();
    // Shows the palette in front without taking the keyboard from the map window.
    void showPalette();
    static bool hidesNonMatchingItems();
    static void setHidesNonMatchingItems(bool hides);

    // Confirmations run through this (a modal run by default; tests answer for the user).
    using AlertRunner = std::function<int(platform::Alert& alert)>;
    static void setAlertRunner(AlertRunner runner);

    // --- What is shown ------------------------------------------------------------------------
    VXQLibraryCategory* category() const { return m_libraryCategory; }
    // Shows the category (nothing for the one shown), records it in the history and stores it.
    void setCategory(VXQLibraryCategory* category);

    QString filterString() const { return m_filterString; }
    // With the whole-library scope a new text first shows the library's All Items.
    void setFilterString(const QString& text);
    int filterStringMode() const { return m_filterStringMode; }
    void setFilterStringMode(int mode);
    int filterKind() const { return m_filterKind; }
    void setFilterKind(int kind);
    int filterScope() const { return m_filterScope; }
    void setFilterScope(int scope);
    platform::PredicatePtr filterPredicate();

    // The category's items that pass the filter, in the browser's order; kept until invalidated.
    QList<VXQLibraryItemPtr> filteredItems();
    VXQLibraryItemPtr filteredItemWithID(const QString& uniqueKey);
    // Indexes within the filtered items of the styles and of the symbols.
    JXIndexSet styleIndexes();
    JXIndexSet symbolIndexes();
    void invalidateCache();
    // Hands the browser the filtered items (keeping its selection), then follows the main
    // window's tool again.
    void reloadItemsView();
    void disableItemsAtIndexes(const std::optional<JXIndexSet>& indexes);

    // --- The chosen item ------------------------------------------------------------------------
    // Chooses the item in the browser; null clears the choice.
    void selectItem(const VXQLibraryItemPtr& item);
    VXQLibraryItemPtr selectedItem();
    // The category's identifier, with ".<item name>" for a chosen item (see LibraryPickerRules).
    QString identifierForSelectedItem();
    void updateSelectionLabel();

    // --- Following the tool ---------------------------------------------------------------------
    // Matches the items to the tool's kind and chooses the tool's style or master.
    void setUIStateForDrawingTool(VXDrawingTool* tool);
    qint64 classCode() const { return m_currentClassCode; }
    void setClassCode(qint64 kind);
    // The tool of the map document owning the window; null for none.
    static VXDrawingTool* toolForWindow(QWidget* window);

    // --- Applying to the selection ----------------------------------------------------------------
    bool canApplyToSelection();
    bool canApplyAuxiliaryToSelection();
    // Applies the item to the current map's selection through its active layer, after the
    // confirmation unless it is switched off; false when nothing was applied.
    bool applyItemToSelectionAsAuxiliaryStyle(VXQLibraryItem* item, bool auxiliary);

    // --- The path bar and the window ----------------------------------------------------------------
    bool statusBarHidden() const { return !m_statusBarVisible; }
    // Keeps the top edge; the window loses or gains the bar's 24 points.
    void setStatusBarHidden(bool hidden);
    void saveWindowPosition();
    // The window height for a proposed size: whole rows of the browser (see LibraryPickerRules).
    QSize windowWillResizeToSize(QSize proposed);

    // --- History ------------------------------------------------------------------------------------
    LibraryPickerHistory& history() { return m_history; }
    void updateHistoryBuffer();
    void updateHistoryButtons();
    void validateHistory();

    QVariant representedObject() const { return m_repObject; }
    void setRepresentedObject(const QVariant& object) { m_repObject = object; }

    // --- Actions --------------------------------------------------------------------------------------
    Q_INVOKABLE void libraryChoiceAction(QObject* sender);
    Q_INVOKABLE void searchFieldAction(QObject* sender);
    Q_INVOKABLE void searchFieldMenuAction(QObject* sender);
    Q_INVOKABLE void searchFieldModeAction(QObject* sender);
    Q_INVOKABLE void filterScopeAction(QObject* sender);
    Q_INVOKABLE void dummyTitleAction(QObject* sender);
    Q_INVOKABLE void goBackOrForward(QObject* sender);
    Q_INVOKABLE void goBack(QObject* sender);
    Q_INVOKABLE void goForward(QObject* sender);
    Q_INVOKABLE void goToHistoryItem(QObject* sender);
    Q_INVOKABLE void clearHistory(QObject* sender);
    Q_INVOKABLE void applyToSelectionAction(QObject* sender);
    Q_INVOKABLE void applyAuxiliaryToSelectionAction(QObject* sender);
    Q_INVOKABLE void showInLibraryManagerAction(QObject* sender);
    Q_INVOKABLE void toggleStatusBar(QObject* sender);
    Q_INVOKABLE void tableDoubleClickAction(QObject* sender);
    Q_INVOKABLE bool validateMenuItem(platform::MenuItem* item);

    // --- What the item browser asks ---------------------------------------------------------------------
    Messages implementedItemViewControllerMessages() const override;
    void sortDescriptorsChanged(const QList<LibrarySortDescriptor>& previous) override;
    void itemSelectionChanged(const JXIndexSet& indexes) override;
    void editItemsAtIndexes(const JXIndexSet& indexes) override;
    QString saveSettingsRootNameForItemViewController(VXQLibraryItemViewController*) override
    {
        return kLibraryPickerSettingsRootName;
    }
    void iconSizingChanged(QSizeF cellSize) override;

    // --- History menus -----------------------------------------------------------------------------------
    int numberOfItemsInMenu(QMenu* menu) override;
    bool menuUpdateItemAtIndex(QMenu* menu, QAction* item, int index) override;

    // --- Parts of the window (for the application and tests) ---------------------------------------------
    VXQLibraryItemViewController* itemBrowser() const { return m_itemViewController; }
    QLineEdit* searchField() const;
    QToolButton* libraryPopUp() const;
    QPushButton* applyButton() const;
    LibraryPathBar* pathBar() const;
    // 0 back, 1 forward.
    QToolButton* historyButton(int segment) const;
    QMenu* historyMenu(int segment) const;
    QMenu* searchMenu() const;
    QMenu* actionMenu() const;

protected:
    QWidget* loadWindow() override;
    void windowDidLoad() override;
    bool eventFilter(QObject* watched, QEvent* event) override;

private:
    QWidget* makeTopBar();
    QWidget* makeBottomBar();
    void makeSearchMenu();
    void makeActionMenu();
    void awakeFromInterface();
    void observeNotifications();
    void showStoredCategory();
    void keepOnScreen();

    void toolDidChange(const platform::Notification& notification);
    void toolStyleDidChange(const platform::Notification& notification);
    void windowBecameMain();
    void categoryContentChanged(const platform::Notification& notification);
    void libraryRemovedCategory(const platform::Notification& notification);
    void groupContentChanged(const platform::Notification& notification);
    void inspectorStyleChanged(const platform::Notification& notification);

    // The map document of the main window; null when it shows none.
    static ZQQuorvaneDocument* currentMapDocument();
    // The chosen item in the category shown; null without one.
    VXQLibraryPickerHistoryItemPtr presentHistoryEntry();
    int runAlert(platform::Alert& alert) const;
    void snapWindowHeight();
    void setWindowHeightKeepingTop(int height);

    QPointer<QToolButton> m_libraryPopUp;
    QPointer<QLineEdit> m_filterSearchField;
    QPointer<QPushButton> m_applyToSelectionButton;
    QPointer<LibraryPathBar> m_currentLibPathControl;
    QPointer<QWidget> m_bottomBar;
    QPointer<QToolButton> m_historyButtons[2];
    VXQLibraryItemViewController* m_itemViewController = nullptr;
    int m_filterKind = 0;
    QString m_filterString;
    int m_filterStringMode = 0;
    int m_filterScope = DisplayedCategoryScope;
    std::optional<platform::PredicatePtr> m_cachedPredicate;
    std::optional<QList<VXQLibraryItemPtr>> m_cachedFilteredItems;
    QPointer<VXQLibraryCategory> m_libraryCategory;
    qint64 m_currentClassCode = 0;
    QVariant m_repObject;
    bool m_isSendingSelectionChange = false;
    bool m_followingTool = false;
    bool m_statusBarVisible = true;
    bool m_resizing = false;
    std::optional<JXIndexSet> m_styleIndexesCache;
    std::optional<JXIndexSet> m_symbolIndexesCache;
    LibraryPickerHistory m_history;
    QPointer<QMenu> m_backHistoryMenu;
    QPointer<QMenu> m_forwardHistoryMenu;
    QPointer<QMenu> m_searchMenu;
    QPointer<QMenu> m_actionMenu;
    QPointer<QWidget> m_lastMainWindow;
};
