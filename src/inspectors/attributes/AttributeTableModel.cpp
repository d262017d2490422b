#include "inspectors/attributes/AttributeTableModel.h"

#include "inspectors/attributes/AttributeTables.h"
#include "inspectors/attributes/VXQAttributeController.h"
#include "platform/foundation/Markers.h"
#include "platform/vantrix/inspector/InspectorValues.h"
#include "platform/vantrix/model/VXMetadataItem.h"

#include <QScopedValueRollback>
#include <QColor>
#include <QDateTime>

AttributeTableModel::AttributeTableModel(VXQAttributeController* controller, QObject* parent)
    : QAbstractTableModel(parent)
    , m_controller(controller)
{
}

void AttributeTableModel::reload()
{
    beginResetModel();
    m_keys = m_controller ? m_controller->sortedKeys() : QStringList();
    m_items = m_controller ? m_controller->sharedAllItems() : nullptr;
    endResetModel();
}

int AttributeTableModel::rowCount(const QModelIndex& parent) const
{
    return parent.isValid() ? 0 : int(m_keys.size());
}

int AttributeTableModel::columnCount(const QModelIndex& parent) const
{
    return parent.isValid() ? 0 : VXQAttributeController::kColumnCount;
}

QString AttributeTableModel::textForValue(const QVariant& value)
{
    if (value.typeId() == QMetaType::QDateTime) {
        const QDateTime date = value.toDateTime();
        return date.time() == QTime(0, 0) ? date.date().toString(Qt::ISODate) : date.toString(Qt::ISODate);
    }
    return VXMetadataValue::withValue(value).stringValue();
}

const CommonAttributes::Entry* AttributeTableModel::entryForRow(int row) const
{
    return row >= 0 && row < m_keys.size() && m_items ? m_items->entryForKey(m_keys[row]) : nullptr;
}

QVariant AttributeTableModel::valueData(const CommonAttributes::Entry& entry, int role) const
{
    const int type = entry.commonType;
    const bool mixed = entry.mixed;
    const QVariant& value = entry.reference.value;
    if (type == kVXMetadataTypeBoolean) {
        if (role == Qt::CheckStateRole)
            return mixed ? Qt::PartiallyChecked : value.toBool() ? Qt::Checked : Qt::Unchecked;
        return {};
    }
    if (mixed) {
        switch (role) {
        case Qt::DisplayRole:
        case Qt::ToolTipRole: return platform::multipleValuesText();
        case Qt::ForegroundRole: return QColor(Qt::red);
        case Qt::EditRole: return QString();
        default: return {};
        }
    }
    if (type == kVXMetadataTypeColour)
        return role == Qt::EditRole || role == Qt::ToolTipRole ? value : QVariant();
    switch (role) {
    case Qt::DisplayRole:
    case Qt::EditRole:
    case Qt::ToolTipRole: return textForValue(value);
    case Qt::TextAlignmentRole:
        return type == kVXMetadataTypeInteger || type == kVXMetadataTypeReal || type == kVXMetadataTypeUnsignedInteger
                   ? QVariant(Qt::AlignRight | Qt::AlignVCenter)
                   : QVariant();
    default: return {};
    }
}

QVariant AttributeTableModel::data(const QModelIndex& index, int role) const
{
    const CommonAttributes::Entry* entry = index.isValid() ? entryForRow(index.row()) : nullptr;
    if (!entry)
        return {};
    if (role == kTypeRole)
        return entry->commonType;
    if (role == kMixedRole)
        return entry->mixed;
    switch (index.column()) {
    case VXQAttributeController::kKeyColumn:
        return role == Qt::DisplayRole || role == Qt::EditRole || role == Qt::ToolTipRole ? QVariant(m_keys[index.row()].toUpper())
                                                                                           : QVariant();
    case VXQAttributeController::kTypeColumn: {
        const int typeIndex = attributetables::indexForType(entry->commonType);
        if (role == Qt::EditRole)
            return typeIndex;
        return role == Qt::DisplayRole ? QVariant(typeIndex < 0 ? QString() : attributetables::titleForIndex(typeIndex)) : QVariant();
    }
    default: return valueData(*entry, role);
    }
}

bool AttributeTableModel::setData(const QModelIndex& index, const QVariant& value, int role)
{
    if (!index.isValid() || index.row() >= m_keys.size() || !m_controller)
        return false;
    // An editor closing on what it was given is no edit.
    if (role == Qt::EditRole && data(index, Qt::EditRole) == value)
        return false;
    const int row = index.row();
    const QScopedValueRollback committing(m_committingEdit, true);
    switch (index.column()) {
    case VXQAttributeController::kKeyColumn:
        return role == Qt::EditRole && m_controller->keyEditedInRow(row, value.toString());
    case VXQAttributeController::kTypeColumn:
        if (role != Qt::EditRole)
            return false;
        m_controller->typeEditedInRow(row, value.toInt());
        return true;
    default:
        if (role == Qt::CheckStateRole)
            return m_controller->valueEditedInRow(row, value.toInt() == Qt::Checked);
        return role == Qt::EditRole && m_controller->valueEditedInRow(row, value);
    }
}

Qt::ItemFlags AttributeTableModel::flags(const QModelIndex& index) const
{
    const CommonAttributes::Entry* entry = index.isValid() ? entryForRow(index.row()) : nullptr;
    if (!entry)
        return Qt::NoItemFlags;
    const Qt::ItemFlags base = Qt::ItemIsSelectable | Qt::ItemIsEnabled;
    if (index.column() != VXQAttributeController::kValueColumn)
        return base | Qt::ItemIsEditable;
    if (entry->commonType == kVXMetadataTypeBoolean)
        return base | Qt::ItemIsUserCheckable;
    // A colour swatch edits through its own pop-up.
    if (entry->commonType == kVXMetadataTypeColour && !entry->mixed)
        return base;
    return base | Qt::ItemIsEditable;
}

QVariant AttributeTableModel::headerData(int section, Qt::Orientation orientation, int role) const
{
    if (orientation != Qt::Horizontal || role != Qt::DisplayRole)
        return QAbstractTableModel::headerData(section, orientation, role);
    switch (section) {
    case VXQAttributeController::kKeyColumn: return tr("Key");
    case VXQAttributeController::kTypeColumn: return tr("Type");
    case VXQAttributeController::kValueColumn: return tr("Value");
    default: return {};
    }
}

void AttributeTableModel::sort(int column, Qt::SortOrder order)
{
    if (m_controller)
        m_controller->sortByColumn(column, order);
}
