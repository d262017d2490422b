#pragma once

// The library manager's answers to its item browser, as the browser's delegate: which items
// may be renamed, removed from a category or moved to the Trash (reporting those that could
// not be), opening the symbol editing sheet on the chosen symbols, and what follows a change
// of the browser's selection (the unique-key field, the get-info panel, the count line, the
// current style and the stored last selection). Printed pages get their header and footer
// from the manager's printing.
//
// The manager owns it, installs it as the browser's delegate and forwards "removeItemsAction"
// and "editItemsAction" to it.

#include "library/browser/VXQLibraryItemViewControllerDelegate.h"
#include "library/sheets/VXQLibrarySymbolImportController.h"
#include "widgets/iconview/ZQPrintableJXDistributedView.h"

#include <QLabel>
#include <QObject>
#include <QPointer>

class LibraryManagerItemList;
class LibraryManagerPrinting;
class LibraryOutlineController;
class VXQLibraryGetInfoController;
namespace platform {
class MenuItem;
class WindowController;
}

class LibraryManagerBrowserDelegate : public QObject,
                                      public VXQLibraryItemViewControllerDelegate,
                                      public VXQLibrarySymbolImportDelegate,
                                      public ZQPrintableJXDistributedViewDelegate {
    Q_OBJECT

public:
    LibraryManagerBrowserDelegate(platform::WindowController& owner, LibraryOutlineController& outline,
                                  LibraryManagerItemList& itemList, LibraryManagerPrinting& printing);

    // The widgets a selection change updates, once the window has them.
    void setWidgets(QLabel* itemIdentifierField, VXQLibraryGetInfoController* getInfo);

    Q_INVOKABLE void removeItemsAction(QObject* sender);
    Q_INVOKABLE void editItemsAction(QObject* sender);
    Q_INVOKABLE bool validateMenuItem(platform::MenuItem* item);

    // --- The browser's delegate ---------------------------------------------------------------
    Messages implementedItemViewControllerMessages() const override;
    bool libraryItemViewControllerShouldEditItemAtIndex(VXQLibraryItemViewController* browser, qint64 index) override;
    bool canRemoveItemsAtIndexes(const JXIndexSet& indexes) override;
    bool libraryItemViewControllerAllowsResorting(VXQLibraryItemViewController* browser) override;
    void sortDescriptorsChanged(const QList<LibrarySortDescriptor>& previous) override;
    // Locked items stay; those the Trash refused are reported and stay listed.
    void deleteItemsAtIndexes(const JXIndexSet& indexes) override;
    bool removeItemsAtIndexes(const JXIndexSet& indexes) override;
    // Opens the symbol editing sheet on the symbols among the items (or hands them to it).
    void editItemsAtIndexes(const JXIndexSet& indexes) override;
    void itemSelectionChanged(const JXIndexSet& indexes) override;
    QString saveSettingsRootNameForItemViewController(VXQLibraryItemViewController* browser) override;
    void printOperationDidRunSuccessContextInfo(bool success, const QString& contextInfo) override;
    QString printableDistributedViewHeaderStringForPage(JXDistributedView* view, qint64 page) override;
    QString printableDistributedViewFooterStringForPage(JXDistributedView* view, qint64 page) override;

    // --- The symbol editing sheet ---------------------------------------------------------------
    // A name is accepted when the item's library would keep it as it is; otherwise `name`
    // becomes the name it would take.
    bool validateSymbolNameForLibraryItemEditor(QString& name, VXQLibraryItem* item,
                                                VXQLibrarySymbolImportController* editor) override;
    void symbolEditDidEnd(VXQLibrarySymbolImportController* editor) override;
    VXQLibrarySymbolImportController* symbolImporter() const { return m_symbolImporter; }
    bool symbolEditorIsOpen() const { return m_symbolEditorIsOpen; }

private:
    platform::WindowController& m_owner;
    LibraryOutlineController& m_outline;
    LibraryManagerItemList& m_itemList;
    LibraryManagerPrinting& m_printing;
    QPointer<QLabel> m_itemIdentifierField;
    QPointer<VXQLibraryGetInfoController> m_getInfoController;
    QPointer<VXQLibrarySymbolImportController> m_symbolImporter;
    bool m_symbolEditorIsOpen = false;
};
