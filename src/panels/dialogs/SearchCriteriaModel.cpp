#include "panels/dialogs/SearchCriteriaModel.h"

#include "platform/foundation/ZQAssert.h"

#include <algorithm>

SearchCriteriaModel::SearchCriteriaModel(QObject* parent) : QObject(parent) {}

void SearchCriteriaModel::setQuery(const MPSearchQueryPtr& query)
{
    if (query && query == m_query)
        return;
    if (!ZQ_EXPECT(!query || query->criteriaCount() > 0, QStringLiteral("error: attempt to set a query with no criteria")))
        return;
    m_query = query ? query : makeQuery();
    m_rows.clear();
    for (const MPSearchCriterionPtr& criterion : m_query->criteria())
        m_rows.append(std::make_shared<SearchCriterionRow>(SearchCriterionRow{criterion}));
    Q_EMIT rowsReset();
}

MPSearchQueryPtr SearchCriteriaModel::makeQuery() const
{
    auto query = std::make_shared<MPSearchQuery>();
    const QStringList names = m_source ? m_source->searchableProperties() : QStringList();
    if (!names.isEmpty())
        if (MPSearchCriterionPtr criterion = criterionForProperty(names.first()))
            query->addCriterion(criterion);
    return query;
}

qsizetype SearchCriteriaModel::indexOfRow(const SearchCriterionRow* row) const
{
    const auto found = std::find_if(m_rows.cbegin(), m_rows.cend(),
                                    [row](const SearchCriterionRowPtr& each) { return each.get() == row; });
    return found == m_rows.cend() ? -1 : found - m_rows.cbegin();
}

SearchCriterionRowPtr SearchCriteriaModel::addRow()
{
    const QStringList names = m_source ? m_source->searchableProperties() : QStringList();
    if (names.isEmpty() || !m_query)
        return nullptr;
    const QString name = names.at(std::min<qsizetype>(m_rows.size(), names.size() - 1));
    MPSearchCriterionPtr criterion = criterionForProperty(name);
    if (!criterion)
        return nullptr;
    m_query->addCriterion(criterion);
    auto row = std::make_shared<SearchCriterionRow>(SearchCriterionRow{criterion});
    m_rows.append(row);
    Q_EMIT rowInserted(m_rows.size() - 1);
    return row;
}

void SearchCriteriaModel::removeRow(const SearchCriterionRow* row)
{
    const qsizetype index = indexOfRow(row);
    if (index < 0)
        return;
    const SearchCriterionRowPtr removed = m_rows.takeAt(index);
    m_query->removeCriterion(removed->criterion.get());
    Q_EMIT rowRemoved(index);
}

bool SearchCriteriaModel::choosePropertyForRow(const SearchCriterionRow* row, const QString& name)
{
    SearchCriterionRow* chosen = mutableRow(row);
    if (!chosen || !m_source || chosen->criterion->name() == name)
        return false;
    const int dataType = m_source->dataTypeForProperty(name);
    const QString identifier = m_source->identifierForProperty(name);
    if (dataType != chosen->criterion->dataType()) {
        MPSearchCriterionPtr replacement = criterionForProperty(name);
        if (!replacement)
            return false;
        m_query->addCriterion(replacement);
        m_query->removeCriterion(chosen->criterion.get());
        chosen->criterion = replacement;
        Q_EMIT rowReplaced(indexOfRow(chosen));
        return true;
    }
    chosen->criterion->setDefaultValue();
    chosen->criterion->setIdentifier(identifier);
    chosen->criterion->setName(name);
    return false;
}

SearchRange SearchCriteriaModel::setRangeBoundsForRow(const SearchCriterionRow* row, qint64 start, qint64 end)
{
    const quint64 location = quint64(std::max<qint64>(start, 0));
    const quint64 last = quint64(std::max<qint64>(end, 0));
    const SearchRange range{location, last > location ? last - location : 0};
    if (SearchCriterionRow* edited = mutableRow(row))
        edited->criterion->setRangeValue(range);
    return range;
}

void SearchCriteriaModel::setValueForRow(const SearchCriterionRow* row, const QVariant& value)
{
    if (SearchCriterionRow* edited = mutableRow(row))
        edited->criterion->setObjectValue(value);
}

void SearchCriteriaModel::commitRowOrder()
{
    for (const SearchCriterionRowPtr& row : std::as_const(m_rows)) {
        m_query->removeCriterion(row->criterion.get());
        m_query->addCriterion(row->criterion);
    }
}

MPSearchCriterionPtr SearchCriteriaModel::criterionForProperty(const QString& name) const
{
    const int dataType = m_source->dataTypeForProperty(name);
    const QList<int> kinds = MPSearchCriterion::matchKindsForType(dataType);
    MPSearchCriterionPtr criterion = MPSearchCriterion::criterionForDataTypeMatchKindIdentifier(
        dataType, kinds.value(0), m_source->identifierForProperty(name));
    if (criterion)
        criterion->setName(name);
    return criterion;
}

SearchCriterionRow* SearchCriteriaModel::mutableRow(const SearchCriterionRow* row) const
{
    const qsizetype index = indexOfRow(row);
    return index < 0 ? nullptr : m_rows.at(index).get();
}
