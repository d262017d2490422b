#include "panels/dialogs/SmartSearchListModel.h"

#include "panels/search/SmartSearchTable.h"

#include <QCollator>
#include <algorithm>

namespace {

const QString kCheckMark = QString(QChar(0x2714));

} // namespace

SmartSearchListModel::SmartSearchListModel(QObject* parent) : QAbstractTableModel(parent)
{
    reload();
}

int SmartSearchListModel::rowCount(const QModelIndex& parent) const
{
    return parent.isValid() ? 0 : int(m_names.size());
}

int SmartSearchListModel::columnCount(const QModelIndex& parent) const
{
    return parent.isValid() ? 0 : 2;
}

QVariant SmartSearchListModel::data(const QModelIndex& index, int role) const
{
    if (!index.isValid() || (role != Qt::DisplayRole && role != Qt::EditRole))
        return {};
    if (index.column() == kNameColumn)
        return nameAtRow(index.row());
    const MPSearchQueryPtr query = queryAtRow(index.row());
    return query && query->auxiliaryDataBooleanValueForKey(kVXQSearchAllLayersOption) ? kCheckMark : QString();
}

QVariant SmartSearchListModel::headerData(int section, Qt::Orientation orientation, int role) const
{
    if (orientation != Qt::Horizontal || role != Qt::DisplayRole)
        return {};
    return section == kNameColumn ? tr("Name") : tr("All Layers");
}

Qt::ItemFlags SmartSearchListModel::flags(const QModelIndex& index) const
{
    Qt::ItemFlags flags = QAbstractTableModel::flags(index);
    if (index.column() == kNameColumn)
        flags |= Qt::ItemIsEditable;
    return flags;
}

bool SmartSearchListModel::setData(const QModelIndex& index, const QVariant& value, int role)
{
    if (role != Qt::EditRole || index.column() != kNameColumn)
        return false;
    const QString name = nameAtRow(index.row());
    if (name.isEmpty())
        return false;
    const QString renamed = renameSearch(name, value.toString());
    Q_EMIT searchRenamed(renamed);
    return renamed != name;
}

void SmartSearchListModel::sort(int column, Qt::SortOrder order)
{
    if (column != kNameColumn)
        return;
    m_order = order;
    reload();
}

MPSearchQueryPtr SmartSearchListModel::queryAtRow(int row) const
{
    const QString name = nameAtRow(row);
    return name.isEmpty() ? nullptr : SmartSearchTable::smartSearchForKey(name);
}

void SmartSearchListModel::reload()
{
    beginResetModel();
    m_names.clear();
    if (const auto& searches = SmartSearchTable::smartSearches())
        m_names = searches->keys();
    QCollator collator;
    collator.setCaseSensitivity(Qt::CaseInsensitive);
    std::sort(m_names.begin(), m_names.end(), [&](const QString& a, const QString& b) {
        return m_order == Qt::AscendingOrder ? collator.compare(a, b) < 0 : collator.compare(b, a) < 0;
    });
    endResetModel();
}

QString SmartSearchListModel::renameSearch(const QString& name, const QString& typed)
{
    const MPSearchQueryPtr query = SmartSearchTable::smartSearchForKey(name);
    const QString wanted = typed.trimmed();
    // The table refuses an empty name: checked before the search leaves its old one.
    if (!query || wanted.isEmpty())
        return name;
    SmartSearchTable::removeSmartSearchForKey(name);
    const QString renamed = SmartSearchTable::uniqueSmartSearchKey(wanted);
    SmartSearchTable::setSmartSearchForKey(query, renamed);
    reload();
    return renamed;
}

QString SmartSearchListModel::storeEditedQuery(const MPSearchQueryPtr& query, const QString& editedName)
{
    QString name = editedName;
    if (name.isEmpty())
        name = SmartSearchTable::uniqueSmartSearchKey(QStringLiteral("Untitled Search"));
    else
        SmartSearchTable::removeSmartSearchForKey(name);
    SmartSearchTable::setSmartSearchForKey(query, name);
    reload();
    return name;
}
