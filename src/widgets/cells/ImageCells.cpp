#include "widgets/cells/ImageCells.h"

#include "platform/foundation/MetaInvoke.h"
#include "platform/graphics/PathGeometry.h"

#include <QApplication>
#include <QIcon>
#include <QImage>
#include <QPixmap>
#include <QPainter>

namespace {

QImage imageOf(const QVariant& value, const QSize& size)
{
    switch (value.typeId()) {
    case QMetaType::QImage:
        return value.value<QImage>();
    case QMetaType::QPixmap:
        return value.value<QPixmap>().toImage();
    case QMetaType::QIcon:
        return value.value<QIcon>().pixmap(size).toImage();
    default:
        return {};
    }
}

void drawItemImage(QPainter* painter, const QStyleOptionViewItem& option, const QModelIndex& index,
                   bool smooth)
{
    QStyleOptionViewItem background = option;
    background.text.clear();
    background.icon = QIcon();
    background.features &= ~QStyleOptionViewItem::HasDecoration;
    const QWidget* widget = option.widget;
    QStyle* style = widget ? widget->style() : QApplication::style();
    style->drawControl(QStyle::CE_ItemViewItem, &background, painter, widget);

    const QImage image = imageOf(index.data(Qt::DecorationRole), option.rect.size());
    if (image.isNull())
        return;
    painter->save();
    painter->setRenderHint(QPainter::SmoothPixmapTransform, smooth);
    const QSizeF imageSize = image.deviceIndependentSize();
    painter->drawImage(imageRectInCell(imageSize, option.rect), image);
    painter->restore();
}

} // namespace

QRectF imageRectInCell(const QSizeF& imageSize, const QRectF& cell)
{
    if (imageSize.isEmpty())
        return {};
    if (imageSize.width() <= cell.width() && imageSize.height() <= cell.height())
        return platform::CentreRectInRect(QRectF(QPointF(), imageSize), cell);
    return platform::ScaledRectForSize(imageSize, cell);
}

void ZQHighQualityImageCell::paint(QPainter* painter, const QStyleOptionViewItem& option,
                                   const QModelIndex& index) const
{
    drawItemImage(painter, option, index, true);
}

void ZQLazyImageCell::paint(QPainter* painter, const QStyleOptionViewItem& option, const QModelIndex& index) const
{
    if (index.data(Qt::DecorationRole).isNull()) {
        if (QObject* represented = index.data(Qt::UserRole).value<QObject*>()) {
            const QMetaMethod maker = platform::findMethod(represented, "imageToFitSize", 1);
            if (maker.isValid()) {
                const QImage image =
                    platform::invokeMethod(represented, maker, {QSizeF(option.rect.size())}).value<QImage>();
                if (!image.isNull())
                    const_cast<QAbstractItemModel*>(index.model())->setData(index, image, Qt::DecorationRole);
            }
        }
    }
    drawItemImage(painter, option, index, false);
}
