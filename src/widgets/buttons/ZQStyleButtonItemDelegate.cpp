#include "widgets/buttons/ZQStyleButtonItemDelegate.h"

#include <QIcon>
#include <QPainter>
#include <QPixmap>

ZQStyleButtonItemDelegate::ZQStyleButtonItemDelegate(QObject* parent)
    : QStyledItemDelegate(parent)
{
}

namespace {

QImage decorationImage(const QVariant& decoration, const QSize& size)
{
    switch (decoration.typeId()) {
    case QMetaType::QImage:
        return decoration.value<QImage>();
    case QMetaType::QPixmap:
        return decoration.value<QPixmap>().toImage();
    case QMetaType::QIcon:
        return decoration.value<QIcon>().pixmap(size).toImage();
    default:
        return {};
    }
}

} // namespace

void ZQStyleButtonItemDelegate::paint(QPainter* painter, const QStyleOptionViewItem& option,
                                      const QModelIndex& index) const
{
    const QRectF frame = QRectF(option.rect).adjusted(1, 1, -1, -1);
    m_cell.setImage(decorationImage(index.data(Qt::DecorationRole), option.rect.size()));
    m_cell.setState(option.state & QStyle::State_Selected ? ZQStyleButtonCell::OnState : ZQStyleButtonCell::OffState);
    m_cell.setHighlighted(option.state & QStyle::State_Sunken);
    m_cell.setEnabled(option.state & QStyle::State_Enabled);
    m_cell.drawWithFrame(*painter, frame, nullptr);
}

QSize ZQStyleButtonItemDelegate::sizeHint(const QStyleOptionViewItem& option, const QModelIndex& index) const
{
    return option.decorationSize.expandedTo(QSize(32, 32)) + QSize(6, 6);
}
