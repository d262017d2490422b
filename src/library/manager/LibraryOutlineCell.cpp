#include "library/manager/LibraryOutlineCell.h"

#include "library/manager/LibraryOutlineModel.h"
#include "platform/graphics/ColourUtilities.h"
#include "platform/graphics/FontUtilities.h"

#include <QPainter>
#include <QtMath>

namespace {

// Draws a group's icon and name as a heading: small bold capitals, grey.
void paintGroupRow(QPainter* painter, const QStyleOptionViewItem& option, const QModelIndex& index)
{
    painter->save();
    QRect text = option.rect.adjusted(4, 0, -4, -3);
    const QImage icon = index.data(Qt::DecorationRole).value<QImage>();
    if (!icon.isNull()) {
        const QSizeF size = icon.deviceIndependentSize();
        painter->drawImage(QRectF(QPointF(text.left(), text.bottom() - size.height()), size), icon);
        text.setLeft(text.left() + qCeil(size.width()) + 4);
    }
    QFont font = platform::boldSystemFontOfSize(11);
    painter->setFont(font);
    painter->setPen(QColor::fromRgbF(0.44, 0.49, 0.55));
    painter->drawText(text, Qt::AlignLeft | Qt::AlignBottom, index.data(Qt::DisplayRole).toString());
    painter->restore();
}

} // namespace

LibraryOutlineCell::LibraryOutlineCell(QObject* parent)
    : ZQSourceListCell(parent)
    , m_libraryCell(new ZQSourceListCell(this))
{
    setBadgeColour(categoryBadgeColour());
    m_libraryCell->setBadgeColour(libraryBadgeColour());
}

QColor LibraryOutlineCell::libraryBadgeColour()
{
    return platform::shadowWithLevel(QColor::fromRgbF(1.0, 0.5, 0.0), 0.15);
}

QColor LibraryOutlineCell::categoryBadgeColour()
{
    return QColor::fromRgbF(0.6, 0.6627450980392157, 0.796078431372549);
}

void LibraryOutlineCell::paint(QPainter* painter, const QStyleOptionViewItem& option, const QModelIndex& index) const
{
    if (index.data(LibraryOutlineModel::GroupRowRole).toBool()) {
        paintGroupRow(painter, option, index);
        return;
    }
    if (index.data(LibraryOutlineModel::BadgeColourRole).value<QColor>() == libraryBadgeColour()) {
        m_libraryCell->paint(painter, option, index);
        return;
    }
    m_paintingSelectedRow = option.state & QStyle::State_Selected;
    ZQSourceListCell::paint(painter, option, index);
    m_paintingSelectedRow = false;
}

QSize LibraryOutlineCell::sizeHint(const QStyleOptionViewItem& option, const QModelIndex& index) const
{
    const bool group = index.data(LibraryOutlineModel::GroupRowRole).toBool();
    return {ZQSourceListCell::sizeHint(option, index).width(), group ? kGroupRowHeight : kRowHeight};
}

void LibraryOutlineCell::initStyleOption(QStyleOptionViewItem* option, const QModelIndex& index) const
{
    ZQSourceListCell::initStyleOption(option, index);
    if (!index.data(LibraryOutlineModel::ReadOnlyRole).toBool() || m_paintingSelectedRow
        || (option->state & QStyle::State_Selected))
        return;
    QFont italic = platform::fontWithNameSize(QStringLiteral("Helvetica"), 11).value_or(option->font);
    italic.setItalic(true);
    option->font = italic;
    option->palette.setColor(QPalette::Text, Qt::darkGray);
}
