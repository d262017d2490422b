#pragma once

// The rows of an advanced search sheet, without widgets: one row per criterion of the edited
// query, top to bottom. A row keeps its identity while its criterion is replaced (choosing a
// property of another data type), so a row's delete button always removes that row. The
// replacement criterion joins the end of the query; commitRowOrder puts the query's criteria
// back in row order before the query is used.

#include "panels/dialogs/AdvancedSearchDelegate.h"

#include <QObject>
#include <memory>

struct SearchCriterionRow {
    MPSearchCriterionPtr criterion;
};
using SearchCriterionRowPtr = std::shared_ptr<SearchCriterionRow>;

class SearchCriteriaModel : public QObject {
    Q_OBJECT

public:
    explicit SearchCriteriaModel(QObject* parent = nullptr);

    // Not owned; asked for property names, types and key paths.
    void setPropertySource(const SearchPropertySource* source) { m_source = source; }

    MPSearchQueryPtr query() const { return m_query; }
    // Rebuilds the rows. Null makes a fresh query (makeQuery); a query without criteria is a
    // programming error. The same query again changes nothing.
    void setQuery(const MPSearchQueryPtr& query);
    // A query with one criterion for the first property; without properties, none at all.
    MPSearchQueryPtr makeQuery() const;

    const QList<SearchCriterionRowPtr>& rows() const { return m_rows; }
    qsizetype rowCount() const { return m_rows.size(); }
    // -1 for a row that is not (or no longer) here.
    qsizetype indexOfRow(const SearchCriterionRow* row) const;
    // Match mode and delete buttons only mean something with two rows or more.
    bool matchModeEnabled() const { return m_rows.size() >= 2; }
    bool deleteButtonsShown() const { return m_rows.size() >= 2; }

    // Row k gets the k-th property, rows past the list's end the last one. Null without
    // properties.
    SearchCriterionRowPtr addRow();
    // Removes the row and its criterion; nothing for a row that is not here.
    void removeRow(const SearchCriterionRow* row);
    // Another property of the same data type resets the value and keeps the match kind; one of
    // another type replaces the criterion (rowReplaced). Answers whether it was replaced.
    bool choosePropertyForRow(const SearchCriterionRow* row, const QString& name);
    // A Range row's fields: the range runs from `start` for max(end − start, 0); negative
    // numbers count as 0. Answers the stored range.
    SearchRange setRangeBoundsForRow(const SearchCriterionRow* row, qint64 start, qint64 end);
    // The criterion keeps only a value that fits its data type.
    void setValueForRow(const SearchCriterionRow* row, const QVariant& value);

    // The query's criteria in the rows' order.
    void commitRowOrder();

Q_SIGNALS:
    void rowsReset();
    void rowInserted(qsizetype index);
    void rowRemoved(qsizetype index);
    // The row's criterion is of another data type now: its view must be rebuilt.
    void rowReplaced(qsizetype index);

private:
    MPSearchCriterionPtr criterionForProperty(const QString& name) const;
    SearchCriterionRow* mutableRow(const SearchCriterionRow* row) const;

    const SearchPropertySource* m_source = nullptr;
    MPSearchQueryPtr m_query;
    QList<SearchCriterionRowPtr> m_rows;
};
