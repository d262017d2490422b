#include "widgets/views/ZQCustomDragImageTableView.h"

#include <QDrag>
#include <QItemSelectionModel>
#include <QMimeData>
#include <algorithm>

QPixmap ZQCustomDragImageTableView::dragImageForRowsWithIndexesTableColumnsEventOffset(const QList<int>& rows,
                                                                                        QPoint* offset)
{
    auto* supplier = dynamic_cast<ZQCustomDragImageTableViewDelegate*>(m_delegate.data());
    if (!supplier)
        return {};
    if (offset)
        *offset = QPoint();
    return supplier->customDragImageInTableViewSelectedRowIndexes(this, rows);
}

void ZQCustomDragImageTableView::startDrag(Qt::DropActions supportedActions)
{
    QList<int> rows;
    for (const QModelIndex& index : selectionModel()->selectedRows())
        rows << index.row();
    std::sort(rows.begin(), rows.end());
    QPoint offset;
    const QPixmap image = dragImageForRowsWithIndexesTableColumnsEventOffset(rows, &offset);
    QMimeData* data = image.isNull() ? nullptr : model()->mimeData(selectedIndexes());
    if (!data) {
        QTableView::startDrag(supportedActions);
        return;
    }
    auto* drag = new QDrag(this);
    drag->setMimeData(data);
    drag->setPixmap(image);
    drag->setHotSpot(offset);
    drag->exec(supportedActions, defaultDropAction());
}
