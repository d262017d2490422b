#pragma once

// Table cells that show the item's image (the decoration role: QImage, QPixmap or QIcon),
// centred and scaled down proportionally when it does not fit.

#include <QStyledItemDelegate>

// Scales the image with smooth interpolation.
class ZQHighQualityImageCell : public QStyledItemDelegate {
    Q_OBJECT

public:
    using QStyledItemDelegate::QStyledItemDelegate;

    void paint(QPainter* painter, const QStyleOptionViewItem& option, const QModelIndex& index) const override;
};

// Makes its image on first drawing: when the item has no image and its represented object
// (the user role, a QObject) has an invokable `QImage imageToFitSize(QSizeF)`, the object
// is asked for an image of the cell's size, which the model then keeps as the item's image.
// Without such an object it draws as a plain image cell.
class ZQLazyImageCell : public QStyledItemDelegate {
    Q_OBJECT

public:
    using QStyledItemDelegate::QStyledItemDelegate;

    void paint(QPainter* painter, const QStyleOptionViewItem& option, const QModelIndex& index) const override;
};

// The rectangle an image of `imageSize` takes in `cell`.
QRectF imageRectInCell(const QSizeF& imageSize, const QRectF& cell);
