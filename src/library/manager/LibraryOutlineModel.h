#pragma once

// The item model of the library manager's outline: a tree of groups, libraries and categories
// that asks a data source for everything it shows, as an outline view asks its data source.
// Rows are loaded when first shown and dropped by reloadData; the view keeps expansion and
// selection across a reload by element.

#include "library/tree/VXQLibraryElementContainer.h"

#include <QAbstractItemModel>
#include <QColor>
#include <QImage>
#include <QPointer>
#include <memory>
#include <vector>

class QMimeData;

// What a row of the outline shows.
struct LibraryOutlineCellValues {
    QImage icon;
    qint64 badgeCount = -1; // -1: no badge
    QColor badgeColour;
    bool readOnly = false;  // drawn in dark grey italics unless selected
};

class LibraryOutlineDataSource {
public:
    virtual ~LibraryOutlineDataSource() = default;
    // The children of `item` (null: the top level), in order.
    virtual QList<VXQLibraryElement*> outlineViewChildrenOfItem(VXQLibraryElement* item) = 0;
    virtual bool outlineViewIsItemExpandable(VXQLibraryElement* item) = 0;
    virtual QString outlineViewObjectValueForItem(VXQLibraryElement* item) = 0;
    virtual void outlineViewSetObjectValueForItem(const QString& value, VXQLibraryElement* item) = 0;
    virtual bool outlineViewShouldEditItem(VXQLibraryElement* item) = 0;
    virtual bool outlineViewIsGroupItem(VXQLibraryElement* item) = 0;
    virtual QString outlineViewToolTipForItem(VXQLibraryElement* item) = 0;
    virtual LibraryOutlineCellValues outlineViewWillDisplayItem(VXQLibraryElement* item) = 0;
    // Drag and drop; `item` is the row dropped on (null: none).
    virtual QMimeData* outlineViewWriteItems(const QList<VXQLibraryElement*>& items) = 0;
    virtual Qt::DropAction outlineViewValidateDrop(const QMimeData* data, Qt::DropActions offered,
                                                   VXQLibraryElement* item) = 0;
    virtual bool outlineViewAcceptDrop(const QMimeData* data, Qt::DropActions offered, VXQLibraryElement* item) = 0;
};

class LibraryOutlineModel : public QAbstractItemModel {
    Q_OBJECT

public:
    enum Role { ElementRole = Qt::UserRole + 1, GroupRowRole, BadgeColourRole, ReadOnlyRole };

    explicit LibraryOutlineModel(LibraryOutlineDataSource* dataSource, QObject* parent = nullptr);
    ~LibraryOutlineModel() override;

    // Forgets every row; they are asked for again.
    void reloadData();
    // Tells views that these rows' own values changed (badges, names).
    void refreshDisplay();

    VXQLibraryElement* itemForIndex(const QModelIndex& index) const;
    // Searches the loaded rows, loading children on the way; invalid when the item has no row.
    QModelIndex indexForItem(const VXQLibraryElement* item) const;

    QModelIndex index(int row, int column, const QModelIndex& parent = {}) const override;
    QModelIndex parent(const QModelIndex& child) const override;
    int rowCount(const QModelIndex& parent = {}) const override;
    int columnCount(const QModelIndex& parent = {}) const override;
    bool hasChildren(const QModelIndex& parent = {}) const override;
    QVariant data(const QModelIndex& index, int role) const override;
    bool setData(const QModelIndex& index, const QVariant& value, int role) override;
    Qt::ItemFlags flags(const QModelIndex& index) const override;

private:
    struct Node {
        QPointer<VXQLibraryElement> item;
        Node* parent = nullptr;
        int row = 0;
        bool loaded = false;
        std::vector<std::unique_ptr<Node>> children;
    };

    Node* nodeFor(const QModelIndex& index) const;
    void loadChildren(Node* node) const;
    QModelIndex search(Node* node, const VXQLibraryElement* item) const;

    LibraryOutlineDataSource* m_dataSource;
    mutable std::unique_ptr<Node> m_root;
};
