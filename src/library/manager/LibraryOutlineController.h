#pragma once

// The library manager's outline of groups, libraries and categories: its data source, the
// cached list of groups, which rows are selected, expanded and how they are sorted, and the
// item-count badges.
//
// The manager owns it and asks it what the outline's selection means (the selected library,
// the current category). It makes the outline view and tells the manager through
// selectionChanged when the user picks other rows. Drags and drops on the rows go to the
// drop handler the manager installs (the transfers). Its settings live in the user defaults
// (LibraryManagerDefaults.h).

#include "library/groups/VXQLibraryGroup.h"
#include "library/tree/LibrarySortDescriptor.h"
#include "library/manager/LibraryOutlineModel.h"

#include <QObject>
#include <optional>

class LibraryOutlineView;
class VXQLibraryCategory;
namespace platform {
class MenuItem;
}

// What the outline does with drags and drops on its rows.
class LibraryOutlineDropHandler {
public:
    virtual ~LibraryOutlineDropHandler() = default;
    virtual QMimeData* outlineViewWriteItems(const QList<VXQLibraryElement*>& items) = 0;
    virtual Qt::DropAction outlineViewValidateDrop(const QMimeData* data, Qt::DropActions offered,
                                                   VXQLibraryElement* item) = 0;
    virtual bool outlineViewAcceptDrop(const QMimeData* data, Qt::DropActions offered, VXQLibraryElement* item) = 0;
};

class LibraryOutlineController : public QObject, public LibraryOutlineDataSource {
    Q_OBJECT

public:
    LibraryOutlineController();
    ~LibraryOutlineController() override;

    // The outline view, made once, with this as its data source.
    LibraryOutlineView* makeView();
    LibraryOutlineView* view() const;
    void setDropHandler(LibraryOutlineDropHandler* handler) { m_dropHandler = handler; }

    // Reads the stored badges and sort mode, then shows the groups expanded as last saved.
    void loadSettingsAndExpandRows();

    // --- Selection ---------------------------------------------------------------------------
    VXQLibrary* selectedLibrary() const;
    VXQLibraryElement* selectedItem() const;
    QList<VXQLibraryCategory*> selectedCategories() const;
    VXQLibraryCategory* currentCategory() const;
    bool selectedCategoriesCanBeDeleted() const;
    // Empties the selection and tells selectionChanged, even when a reload had emptied it already.
    void clearSelection();
    bool selectLibrary(VXQLibrary* library);
    bool selectCategory(VXQLibraryCategory* category);
    // Reloads, expands `parent` and selects and scrolls to `item`'s row; false when it has none.
    bool reloadShowingRow(const VXQLibraryElement* parent, const VXQLibraryElement* item);
    void startEditingItem(VXQLibraryElement* item);

    // --- Content -------------------------------------------------------------------------------
    QList<VXQLibraryGroup*> groups();
    QList<VXQLibraryPtr> userLibraries();
    VXQLibraryElement* itemWithIdentifier(const QString& identifier) const;
    void reloadOutline();
    // Forgets the group list (a group or library came or went).
    void dropCachedGroups() { m_cachedGroups.reset(); }
    // The order or membership of categories may have changed: sorted children are asked again.
    void bumpCategoryChanges() { ++m_categoryChanges; }

    // --- Display -------------------------------------------------------------------------------
    bool showsLibraryCounts() const { return m_showLibraryCounts; }
    void setShowsLibraryCounts(bool flag);
    bool showsCategoryCounts() const { return m_showCategoryCounts; }
    void setShowsCategoryCounts(bool flag);
    bool showsDocumentsLibraries() const;
    void setShowsDocumentsLibraries(bool flag);
    Q_INVOKABLE void toggleShowLibraryCounts(QObject* sender);
    Q_INVOKABLE void toggleShowCategoryCounts(QObject* sender);

    // Sort modes by tag: 0 name, 1 kind, 2 number of items.
    Q_INVOKABLE void sortMainListAction(QObject* sender);
    void setSortMainListModeForced(qint64 mode, bool forced);
    qint64 sortMainListMode() const;
    QList<LibrarySortDescriptor> outlineSortDescriptors() const { return m_sortDescriptors; }

    // Check marks of the badge and sort items.
    Q_INVOKABLE bool validateMenuItem(platform::MenuItem* item);

    // --- The data source -----------------------------------------------------------------------
    QList<VXQLibraryElement*> outlineViewChildrenOfItem(VXQLibraryElement* item) override;
    bool outlineViewIsItemExpandable(VXQLibraryElement* item) override;
    QString outlineViewObjectValueForItem(VXQLibraryElement* item) override;
    void outlineViewSetObjectValueForItem(const QString& value, VXQLibraryElement* item) override;
    bool outlineViewShouldEditItem(VXQLibraryElement* item) override;
    bool outlineViewIsGroupItem(VXQLibraryElement* item) override;
    QString outlineViewToolTipForItem(VXQLibraryElement* item) override;
    LibraryOutlineCellValues outlineViewWillDisplayItem(VXQLibraryElement* item) override;
    QMimeData* outlineViewWriteItems(const QList<VXQLibraryElement*>& items) override;
    Qt::DropAction outlineViewValidateDrop(const QMimeData* data, Qt::DropActions offered,
                                           VXQLibraryElement* item) override;
    bool outlineViewAcceptDrop(const QMimeData* data, Qt::DropActions offered, VXQLibraryElement* item) override;

Q_SIGNALS:
    void selectionChanged();

private:
    void saveExpandedItems();
    void restoreExpandedItems();

    QPointer<LibraryOutlineView> m_view;
    LibraryOutlineDropHandler* m_dropHandler = nullptr;
    quint64 m_categoryChanges = 5;
    std::optional<QList<VXQLibraryGroup*>> m_cachedGroups;
    QList<LibrarySortDescriptor> m_sortDescriptors;
    bool m_showLibraryCounts = false;
    bool m_showCategoryCounts = false;
};
