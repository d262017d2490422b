#pragma once

// The item browser's list as a table model. Each column is named by an item key path ("name",
// "kind", "locked"); a cell shows the item's value for it, and an edit sets it back the same
// way (renaming in "name", locking with the check box in "locked"). The "name" column shows
// the item's preview, asked for only when a row is drawn. Rows of disabled items cannot be
// selected; rows drag as library items.

#include <QAbstractTableModel>
#include <QStringList>

class VXQLibraryItemViewController;

class LibraryItemTableModel : public QAbstractTableModel {
    Q_OBJECT

public:
    static constexpr int kPreviewSide = 16;

    explicit LibraryItemTableModel(VXQLibraryItemViewController& browser, QObject* parent = nullptr);

    // The columns' keys, in order.
    static QStringList columnKeys();

    QStringList columnIdentifiers() const { return m_columns; }
    int columnWithIdentifier(const QString& identifier) const { return m_columns.indexOf(identifier); }

    // Everything changed (new content, disabled items, sizes).
    void reload();
    void rowNeedsDisplay(int row);

    int rowCount(const QModelIndex& parent = {}) const override;
    int columnCount(const QModelIndex& parent = {}) const override;
    QVariant data(const QModelIndex& index, int role) const override;
    bool setData(const QModelIndex& index, const QVariant& value, int role) override;
    QVariant headerData(int section, Qt::Orientation orientation, int role) const override;
    Qt::ItemFlags flags(const QModelIndex& index) const override;
    QStringList mimeTypes() const override;
    QMimeData* mimeData(const QModelIndexList& indexes) const override;
    Qt::DropActions supportedDragActions() const override;

private:
    VXQLibraryItemViewController& m_browser;
    QStringList m_columns;
};
