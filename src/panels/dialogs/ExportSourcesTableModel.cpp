#include "panels/dialogs/ExportSourcesTableModel.h"

#include "panels/dialogs/ExportSheetRules.h"
#include "platform/foundation/UndoSuspension.h"
#include "platform/vantrix/drawables/VXDrawableObject.h"

ExportSourcesTableModel::ExportSourcesTableModel(QObject* parent) : QAbstractTableModel(parent) {}

void ExportSourcesTableModel::setOperation(const VLTMExportOperationPtr& operation)
{
    beginResetModel();
    m_operation = operation;
    endResetModel();
}

void ExportSourcesTableModel::reload()
{
    beginResetModel();
    endResetModel();
}

void ExportSourcesTableModel::setNameHeader(const QString& title)
{
    m_nameHeader = title;
    Q_EMIT headerDataChanged(Qt::Horizontal, kName, kName);
}

int ExportSourcesTableModel::rowCount(const QModelIndex& parent) const
{
    return parent.isValid() || !m_operation ? 0 : int(m_operation->sources().size());
}

int ExportSourcesTableModel::columnCount(const QModelIndex& parent) const
{
    return parent.isValid() ? 0 : 3;
}

QString ExportSourcesTableModel::columnIdentifier(int column)
{
    switch (column) {
    case kCheck: return exportsheet::kCheckColumn;
    case kName: return exportsheet::kNameColumn;
    default: return exportsheet::kSizeColumn;
    }
}

QVariant ExportSourcesTableModel::data(const QModelIndex& index, int role) const
{
    if (!index.isValid() || index.row() >= rowCount())
        return {};
    const ZQObject* source = m_operation->sources().at(index.row()).get();
    if (index.column() == kSize)
        return role == Qt::DisplayRole ? exportsheet::exportSizeString(source, m_operation->scale()) : QVariant();
    const QString keyPath = exportsheet::keyPathForColumnIdentifier(columnIdentifier(index.column()),
                                                                    m_operation->sourceType());
    if (keyPath.isEmpty() || !source)
        return {};
    const QVariant value = source->valueForKeyPath(keyPath);
    if (index.column() == kCheck)
        return role == Qt::CheckStateRole ? QVariant(value.toBool() ? Qt::Checked : Qt::Unchecked) : QVariant();
    // Most drawn objects have no name: their row says what they are.
    const auto* object = qobject_cast<const VXDrawableObject*>(source);
    if (role == Qt::DisplayRole && object && value.toString().isEmpty())
        return object->userDescription();
    return role == Qt::DisplayRole || role == Qt::EditRole ? value : QVariant();
}

QVariant ExportSourcesTableModel::headerData(int section, Qt::Orientation orientation, int role) const
{
    if (orientation != Qt::Horizontal || role != Qt::DisplayRole)
        return {};
    switch (section) {
    case kName: return m_nameHeader;
    // The size of the source at the chosen scale; a finer resolution makes more pixels.
    case kSize: return tr("Size at 72 dpi");
    default: return QString();
    }
}

Qt::ItemFlags ExportSourcesTableModel::flags(const QModelIndex& index) const
{
    Qt::ItemFlags flags = QAbstractTableModel::flags(index);
    if (index.column() == kCheck)
        flags |= Qt::ItemIsUserCheckable;
    return flags;
}

bool ExportSourcesTableModel::setData(const QModelIndex& index, const QVariant& value, int role)
{
    if (!index.isValid() || index.column() != kCheck || role != Qt::CheckStateRole || index.row() >= rowCount())
        return false;
    if (ZQObject* source = m_operation->sources().at(index.row()).get())
        setVisibleOfSource(*source, value.toInt() == Qt::Checked);
    Q_EMIT dataChanged(index, index, {Qt::CheckStateRole});
    Q_EMIT visibilityEdited();
    return true;
}

void ExportSourcesTableModel::setAllSourcesVisible(bool visible)
{
    if (!m_operation)
        return;
    for (const ZQObjectPtr& source : m_operation->sources())
        if (source)
            setVisibleOfSource(*source, visible);
    reload();
    Q_EMIT visibilityEdited();
}

void ExportSourcesTableModel::setVisibleOfSource(ZQObject& source, bool visible)
{
    const QString keyPath = exportsheet::keyPathForColumnIdentifier(exportsheet::kCheckColumn, m_operation->sourceType());
    if (keyPath.isEmpty())
        return;
    const VXDrawing* drawing = m_operation->drawing().get();
    const platform::UndoSuspension noUndo(drawing ? drawing->undoManager() : nullptr);
    source.setValueForKeyPath(visible, keyPath);
}
