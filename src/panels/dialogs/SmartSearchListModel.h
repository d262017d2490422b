#pragma once

// The smart searches as a table: one row per name, sorted by name (ignoring case), with the
// name (editable) and a check mark "✔" for searches over all layers. Renaming and storing an
// edited search change the application's smart-search table at once.

#include "panels/search/MPSearchQuery.h"

#include <QAbstractTableModel>

class SmartSearchListModel : public QAbstractTableModel {
    Q_OBJECT

public:
    enum Column { kNameColumn = 0, kAllLayersColumn = 1 };

    explicit SmartSearchListModel(QObject* parent = nullptr);

    int rowCount(const QModelIndex& parent = {}) const override;
    int columnCount(const QModelIndex& parent = {}) const override;
    QVariant data(const QModelIndex& index, int role = Qt::DisplayRole) const override;
    QVariant headerData(int section, Qt::Orientation orientation, int role = Qt::DisplayRole) const override;
    Qt::ItemFlags flags(const QModelIndex& index) const override;
    // The name column renames (searchRenamed tells the name it has then).
    bool setData(const QModelIndex& index, const QVariant& value, int role = Qt::EditRole) override;
    void sort(int column, Qt::SortOrder order = Qt::AscendingOrder) override;

    // The names in the table's order.
    const QStringList& sortedNames() const { return m_names; }
    QString nameAtRow(int row) const { return m_names.value(row); }
    MPSearchQueryPtr queryAtRow(int row) const;
    // -1 when the name is not listed.
    int rowOfName(const QString& name) const { return int(m_names.indexOf(name)); }
    // Reads the smart-search table again.
    void reload();

    // The search takes the typed name, numbered when another search has it already; an empty
    // name leaves it as it was. Answers the name it has now.
    QString renameSearch(const QString& name, const QString& typed);
    // An edited search replaces the one named `editedName`; with no name it is added as
    // "Untitled Search" (numbered when taken). Answers the name it is stored under.
    QString storeEditedQuery(const MPSearchQueryPtr& query, const QString& editedName);

Q_SIGNALS:
    void searchRenamed(const QString& name);

private:
    QStringList m_names;
    Qt::SortOrder m_order = Qt::AscendingOrder;
};
