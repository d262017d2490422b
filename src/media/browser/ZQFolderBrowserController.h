#pragma once

// Drives a folder outline: a tree view showing a list of root folder nodes, kept sorted by
// name unless the owner gives them in its own order, and the folders (and, where the nodes
// include them, files) beneath them. Owners set the roots and hear, as its delegate, about
// selection, double clicks, clicks on files that cannot be selected and changes on disk. The
// browser is the refresh delegate of every root it shows: a node that changed on disk has its
// rows taken out of the outline before its old children are let go, then refilled.
//
// Expansion and selection are kept by node identifier, so they survive reloads and sorting.

#include "media/browser/FolderOutlineModel.h"
#include "media/browser/ZQFolderBrowserDelegate.h"
#include "platform/foundation/NotificationCenter.h"
#include "platform/foundation/ZQObject.h"

#include <QPointer>
#include <functional>

class QAbstractButton;
class QItemSelection;
class QTreeView;
class FolderSelectionModel;

class ZQFolderBrowserController : public ZQObject, public FolderOutlineDataSource {
    Q_OBJECT

public:
    ZQFolderBrowserController();
    ~ZQFolderBrowserController() override;

    // --- Outlets ----------------------------------------------------------------------------
    // Takes over the view's model, selection and double clicks; single selection, sorted by
    // name ascending. Not owned.
    void setFolderTable(QTreeView* view);
    QTreeView* folderTable() const;
    FolderOutlineModel* outlineModel() const { return m_model.get(); }
    // Enabled while the selected node's root may be deleted; clicking removes that root.
    void setDeleteFolderButton(QAbstractButton* button);

    // --- Roots ------------------------------------------------------------------------------
    void setRootItems(const QList<ZQFolderInfoPtr>& roots);
    QList<ZQFolderInfoPtr> rootItems() const { return m_roots; }
    // Null, changing nothing, when a root already has the URL's path.
    ZQFolderInfoPtr addRootItemWithURL(const QUrl& url);
    void addRootItem(const ZQFolderInfoPtr& root);
    void removeRootItem(const ZQFolderInfoPtr& root);
    void removeRootItemWithURL(const QUrl& url);
    bool isRootItemURL(const QUrl& url) const { return rootInfoForURL(url) != nullptr; }
    // Paths compare exactly ("/a/b/" is not "/a/b").
    ZQFolderInfoPtr rootInfoForURL(const QUrl& url) const;
    // After "~" expansion.
    ZQFolderInfoPtr rootInfoForPath(const QString& path) const;
    void removeSelectedItemAction();

    // --- Finding and showing nodes ----------------------------------------------------------
    ZQFolderInfoPtr itemWithURL(const QUrl& url) const;
    ZQFolderInfoPtr itemWithIdentifier(const QString& identifier) const;
    // Expands the node's ancestors and the node itself (not its children); null when not found.
    ZQFolderInfoPtr expandItemWithIdentifier(const QString& identifier);
    void expandItem(const ZQFolderInfoPtr& item, bool selectIt);
    void selectItemWithIdentifier(const QString& identifier);
    ZQFolderInfo* selectedItem() const;
    void reload();
    // The identifiers of the expanded nodes, outermost first, and back.
    QStringList expandedItemIdentifiers() const;
    void restoreExpandedItemIdentifiers(const QStringList& identifiers);

    // --- Settings ---------------------------------------------------------------------------
    ZQFolderBrowserDelegate* delegate() const { return m_delegate; }
    void setDelegate(ZQFolderBrowserDelegate* delegate) { m_delegate = delegate; }
    bool showRootItems() const { return m_showRootItems; }
    void setShowRootItems(bool flag);
    // Roots then stay in the order they were added, as a folder's presorted subfolders do.
    bool rootItemsPresorted() const { return m_rootItemsPresorted; }
    void setRootItemsPresorted(bool flag) { m_rootItemsPresorted = flag; }
    // Stored only: the nodes decide whether they include files.
    bool showFiles() const { return m_showFiles; }
    void setShowFiles(bool flag) { m_showFiles = flag; }
    bool canSelectFiles() const { return m_canSelectFiles; }
    void setCanSelectFiles(bool flag) { m_canSelectFiles = flag; }
    // Given to the roots the browser makes.
    bool includesFilePackages() const { return m_includesFilePackages; }
    void setIncludesFilePackages(bool flag) { m_includesFilePackages = flag; }

    // --- From the folder nodes --------------------------------------------------------------
    Q_INVOKABLE void setNeedsUpdateWithItem(ZQFolderInfo* item);
    Q_INVOKABLE void folderChangedOnDisk(const platform::Notification& notification);

    // --- Outline data source ----------------------------------------------------------------
    QList<ZQFolderInfoPtr> outlineChildrenOfItem(ZQFolderInfo* item) override;
    bool outlineItemIsExpandable(ZQFolderInfo* item) override;
    QVariant outlineValueOfItem(ZQFolderInfo* item, const QString& columnIdentifier, int role) override;
    void outlineSortOrderDidChange(Qt::SortOrder order) override;

private:
    static bool isFileLeaf(const ZQFolderInfo& node);
    bool wants(ZQFolderBrowserDelegate::Message message) const;
    // Roots sorted (unless presorted), each with this browser as its refresh delegate; the
    // outline reloaded and nothing selected.
    void rootsChanged();
    ZQFolderInfo* topItem() const;
    // Null for the hidden top root.
    ZQFolderInfo* modelKeyFor(ZQFolderInfo* item) const;
    void reloadItemKeepingSelection(ZQFolderInfo* item);
    // Runs the change, then expands and selects again what was by identifier; the delegate
    // hears once, and only when the selected node is another one.
    void changeKeepingSelection(const std::function<void()>& change);
    QItemSelection proposedSelection(const QItemSelection& proposed);
    void selectionDidChange();
    void doubleClicked();
    void selectIndexAlone(const QModelIndex& index);
    void updateDeleteButton();

    std::unique_ptr<FolderOutlineModel> m_model;
    QPointer<QTreeView> m_folderTable;
    QPointer<FolderSelectionModel> m_selectionModel;
    QPointer<QAbstractButton> m_deleteFolderButton;
    ZQFolderBrowserDelegate* m_delegate = nullptr;
    QList<ZQFolderInfoPtr> m_roots;
    Qt::SortOrder m_sortOrder = Qt::AscendingOrder;
    bool m_includesFilePackages = false;
    bool m_showRootItems = true;
    bool m_rootItemsPresorted = false;
    bool m_showFiles = false;
    bool m_canSelectFiles = false;
    bool m_selectionQuiet = false;
};
