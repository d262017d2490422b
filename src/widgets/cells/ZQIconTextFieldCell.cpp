#include "widgets/cells/ZQIconTextFieldCell.h"

#include <QPainter>
#include <QWidget>
#include <cmath>

QRectF ZQIconTextFieldCell::iconRectForFrame(const QRectF& frame)
{
    const QRectF r = frame.adjusted(1, 1, -1, -1);
    return QRectF(r.x() + 5, r.y() + std::floor((r.height() - 17) / 2), kIconSide, kIconSide);
}

QImage ZQIconTextFieldCell::iconFor(const QModelIndex& index) const
{
    if (!m_icon.isNull())
        return m_icon;
    const QVariant decoration = index.data(Qt::DecorationRole);
    return decoration.canConvert<QImage>() ? decoration.value<QImage>() : QImage();
}

void ZQIconTextFieldCell::paint(QPainter* painter, const QStyleOptionViewItem& option, const QModelIndex& index) const
{
    const QImage icon = iconFor(index);
    QStyleOptionViewItem text = option;
    text.features &= ~QStyleOptionViewItem::HasDecoration;
    if (!icon.isNull()) {
        const QRectF target = iconRectForFrame(QRectF(option.rect));
        painter->save();
        if (option.backgroundBrush.style() != Qt::NoBrush)
            painter->fillRect(target, option.backgroundBrush);
        painter->setRenderHint(QPainter::SmoothPixmapTransform);
        painter->setOpacity(option.state & QStyle::State_Enabled ? 1.0 : 0.5);
        painter->drawImage(target, icon);
        painter->restore();
        text.rect.adjust(int(kTextShift), 0, 0, 0);
    }
    RSVerticallyCenteredTextFieldCell::paint(painter, text, index);
}

void ZQIconTextFieldCell::updateEditorGeometry(QWidget* editor, const QStyleOptionViewItem& option,
                                               const QModelIndex& index) const
{
    QStyleOptionViewItem text = option;
    text.features &= ~QStyleOptionViewItem::HasDecoration;
    if (!iconFor(index).isNull())
        text.rect.adjust(int(kTextShift), 0, 0, 0);
    text.rect.adjust(5, 0, 0, 0);
    RSVerticallyCenteredTextFieldCell::updateEditorGeometry(editor, text, index);
}

void ZQIconTextFieldCell::initStyleOption(QStyleOptionViewItem* option, const QModelIndex& index) const
{
    RSVerticallyCenteredTextFieldCell::initStyleOption(option, index);
    option->features &= ~QStyleOptionViewItem::HasDecoration;
    option->icon = QIcon();
}
