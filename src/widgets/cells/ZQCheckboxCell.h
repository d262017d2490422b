#pragma once

// A check box in a table cell that follows the press itself, as a button does: it stays
// pressed while the mouse is inside the cell and toggles the value (0 becomes 1, anything
// else 0, in the edit role) only when the mouse is released inside. Space toggles the
// current cell.

#include <QPersistentModelIndex>
#include <QStyledItemDelegate>

class ZQCheckboxCell : public QStyledItemDelegate {
    Q_OBJECT

public:
    using QStyledItemDelegate::QStyledItemDelegate;

    // The item's value as a signed 8-bit number.
    static qint8 charValue(const QModelIndex& index);

    void paint(QPainter* painter, const QStyleOptionViewItem& option, const QModelIndex& index) const override;
    QSize sizeHint(const QStyleOptionViewItem& option, const QModelIndex& index) const override;
    bool editorEvent(QEvent* event, QAbstractItemModel* model, const QStyleOptionViewItem& option,
                     const QModelIndex& index) override;

private:
    static void toggle(QAbstractItemModel* model, const QModelIndex& index);
    // Follows a press in the view's viewport until the release.
    void trackMouse(QWidget* view, const QRectF& cellFrame, const QModelIndex& index);

    QPersistentModelIndex m_highlighted;
};
