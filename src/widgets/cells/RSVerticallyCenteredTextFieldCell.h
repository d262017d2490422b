#pragma once

// A table cell whose text line sits in the vertical middle of the cell, in drawing and in
// editing alike: the editor covers the centred line, not the top of the cell. A right
// press asks the table's delegate (the view's "delegate" property) for a context menu with
// its invokable `QMenu* contextualMenuForTableViewTableColumnRow(QTableView*, int, int)`,
// for the row and column at the cell's centre (column -1 outside every column); without
// one there is no menu.

#include <QStyledItemDelegate>

class QMenu;

class RSVerticallyCenteredTextFieldCell : public QStyledItemDelegate {
    Q_OBJECT

public:
    using QStyledItemDelegate::QStyledItemDelegate;

    // `rect` shrunk to one line of `lineHeight`, centred in it (single precision, as the
    // cell keeps it); unchanged when the line does not fit.
    static QRectF centredLineRect(const QRectF& rect, double lineHeight);

    // The rectangle the text of the item is drawn and edited in.
    QRectF drawingRectForBounds(const QStyleOptionViewItem& option, const QModelIndex& index) const;

    // The table delegate's menu for the cell, or null.
    static QMenu* menuForEventInRectOfView(const QRectF& cellFrame, QWidget* view);

    void paint(QPainter* painter, const QStyleOptionViewItem& option, const QModelIndex& index) const override;
    void updateEditorGeometry(QWidget* editor, const QStyleOptionViewItem& option,
                              const QModelIndex& index) const override;
    bool editorEvent(QEvent* event, QAbstractItemModel* model, const QStyleOptionViewItem& option,
                     const QModelIndex& index) override;
};
