#include "library/browser/LibraryItemTableModel.h"

#include "library/browser/VXQLibraryItemViewController.h"
#include "library/tree/VXQLibraryElementContainer.h"
#include "platform/ui/Pasteboard.h"

#include <QMimeData>

LibraryItemTableModel::LibraryItemTableModel(VXQLibraryItemViewController& browser, QObject* parent)
    : QAbstractTableModel(parent)
    , m_browser(browser)
    , m_columns(columnKeys())
{
}

QStringList LibraryItemTableModel::columnKeys()
{
    return {QStringLiteral("name"), QStringLiteral("kind"), QStringLiteral("locked")};
}

void LibraryItemTableModel::reload()
{
    beginResetModel();
    endResetModel();
}

void LibraryItemTableModel::rowNeedsDisplay(int row)
{
    if (row >= 0 && row < rowCount())
        Q_EMIT dataChanged(index(row, 0), index(row, columnCount() - 1));
}

int LibraryItemTableModel::rowCount(const QModelIndex& parent) const
{
    return parent.isValid() ? 0 : int(m_browser.numberOfItemsInContent());
}

int LibraryItemTableModel::columnCount(const QModelIndex& parent) const
{
    return parent.isValid() ? 0 : int(m_columns.size());
}

QVariant LibraryItemTableModel::data(const QModelIndex& index, int role) const
{
    const VXQLibraryItemPtr item = m_browser.itemAtIndex(index.row());
    if (!item)
        return {};
    const QString& column = m_columns.at(index.column());
    if (column == u"locked") {
        if (role == Qt::CheckStateRole)
            return item->locked() ? Qt::Checked : Qt::Unchecked;
        return {};
    }
    switch (role) {
    case Qt::DisplayRole:
    case Qt::EditRole:
        return item->valueForKeyPath(column);
    case Qt::DecorationRole:
        if (column == u"name") {
            const QImage preview = item->previewImage();
            if (!preview.isNull())
                return preview.scaled(kPreviewSide, kPreviewSide, Qt::KeepAspectRatio, Qt::SmoothTransformation);
        }
        return {};
    case Qt::ToolTipRole:
        return item->toolTipString();
    default:
        return {};
    }
}

bool LibraryItemTableModel::setData(const QModelIndex& index, const QVariant& value, int role)
{
    const VXQLibraryItemPtr item = m_browser.itemAtIndex(index.row());
    if (!item)
        return false;
    const QString& column = m_columns.at(index.column());
    if (column == u"locked" && role == Qt::CheckStateRole)
        item->setLocked(value.toInt() == Qt::Checked);
    else if (role == Qt::EditRole && column != u"locked")
        item->setValueForKeyPath(value, column);
    else
        return false;
    rowNeedsDisplay(index.row());
    return true;
}

QVariant LibraryItemTableModel::headerData(int section, Qt::Orientation orientation, int role) const
{
    if (orientation != Qt::Horizontal || role != Qt::DisplayRole || section < 0 || section >= m_columns.size())
        return {};
    static const QStringList titles{tr("Name"), tr("Kind"), tr("Locked")};
    return titles.at(section);
}

Qt::ItemFlags LibraryItemTableModel::flags(const QModelIndex& index) const
{
    if (!index.isValid())
        return Qt::NoItemFlags;
    if (m_browser.isItemDisabled(index.row()))
        return Qt::NoItemFlags;
    Qt::ItemFlags flags = Qt::ItemIsEnabled | Qt::ItemIsSelectable | Qt::ItemIsDragEnabled;
    const QString& column = m_columns.at(index.column());
    if (column == u"locked")
        flags |= Qt::ItemIsUserCheckable;
    else if (column == u"name" && m_browser.shouldEditItemAtIndex(index.row()))
        flags |= Qt::ItemIsEditable;
    return flags;
}

QStringList LibraryItemTableModel::mimeTypes() const
{
    return {platform::mimeTypeForPasteboardType(kVXQLibraryItemPasteboardType)};
}

QMimeData* LibraryItemTableModel::mimeData(const QModelIndexList& indexes) const
{
    QList<VXQLibraryItemPtr> items;
    QList<int> rows;
    for (const QModelIndex& index : indexes)
        if (!rows.contains(index.row()))
            rows.append(index.row());
    std::sort(rows.begin(), rows.end());
    for (int row : rows)
        if (VXQLibraryItemPtr item = m_browser.itemAtIndex(row))
            items.append(item);
    if (items.isEmpty())
        return nullptr;
    auto* data = new QMimeData;
    platform::Pasteboard pasteboard(data);
    if (!VXQLibraryItem::writeLibraryItemsToPasteboard(items, pasteboard)) {
        delete data;
        return nullptr;
    }
    return data;
}

Qt::DropActions LibraryItemTableModel::supportedDragActions() const
{
    return Qt::CopyAction;
}
