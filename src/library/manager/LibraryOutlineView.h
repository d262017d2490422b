#pragma once

// The library manager's outline: a tree view over a LibraryOutlineModel that reloads without
// losing what was expanded or selected, hands drags and drops to the model's data source (a
// drop always lands on a row, never between rows) and reports expansion by element.

#include "library/manager/LibraryOutlineModel.h"

#include <QPersistentModelIndex>
#include <QTreeView>
#include <functional>

class LibraryOutlineView : public QTreeView {
    Q_OBJECT

public:
    LibraryOutlineView(LibraryOutlineDataSource* dataSource, QWidget* parent = nullptr);

    LibraryOutlineModel* outlineModel() const { return m_model; }

    // Asks the data source again, keeping expanded rows and the selection where they still exist.
    void reloadData();
    // Marks every row for redrawing (badges, read-only names).
    void redisplay();

    // The elements of the selected rows, in display order.
    QList<VXQLibraryElement*> selectedItems() const;
    VXQLibraryElement* firstSelectedItem() const;
    // Selects that row alone; false when it has none.
    bool selectItem(const VXQLibraryElement* item);
    void deselectAll();
    bool hasRowForItem(const VXQLibraryElement* item) const;
    void scrollToItem(const VXQLibraryElement* item);
    void expandItem(const VXQLibraryElement* item);
    bool isItemExpanded(const VXQLibraryElement* item) const;
    // Starts editing the row's name; false when it has no row.
    bool editItem(const VXQLibraryElement* item);

    // Called after the user (or code) expands or collapses a row.
    void setExpansionHandler(std::function<void()> handler) { m_expansionHandler = std::move(handler); }
    // Called when the selected rows change.
    void setSelectionHandler(std::function<void()> handler) { m_selectionHandler = std::move(handler); }
    QList<VXQLibraryElement*> expandedItems() const;

    // The element a drop at `position` (viewport coordinates) lands on; null for none.
    VXQLibraryElement* itemAtPosition(QPoint position) const;

protected:
    void startDrag(Qt::DropActions supportedActions) override;
    void dragEnterEvent(QDragEnterEvent* event) override;
    void dragMoveEvent(QDragMoveEvent* event) override;
    void dragLeaveEvent(QDragLeaveEvent* event) override;
    void dropEvent(QDropEvent* event) override;
    void paintEvent(QPaintEvent* event) override;
    void selectionChanged(const QItemSelection& selected, const QItemSelection& deselected) override;

private:
    void setDropTarget(const QModelIndex& index);
    // Tells the handler unless a reload is putting rows back.
    void expansionChanged();

    LibraryOutlineDataSource* m_dataSource;
    LibraryOutlineModel* m_model;
    QPersistentModelIndex m_dropTarget;
    std::function<void()> m_expansionHandler;
    std::function<void()> m_selectionHandler;
    bool m_reloading = false;
};
