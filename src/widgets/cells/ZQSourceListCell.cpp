#include "widgets/cells/ZQSourceListCell.h"

#include "platform/graphics/AttributedStringLayout.h"
#include "platform/graphics/FontUtilities.h"
#include "platform/graphics/PathGeometry.h"

#include <QAbstractItemView>
#include <QApplication>
#include <QPainter>
#include <QPainterPath>
#include <algorithm>

namespace {

// The count laid out in points, as all text is.
platform::AttributedStringLayout badgeLabel(qint64 count, const QColor& colour)
{
    return platform::AttributedStringLayout(
        platform::AttributedString(QString::number(count), {{platform::kFontAttributeName, ZQSourceListCell::badgeAttributesFont()},
                                                            {platform::kForegroundColourAttributeName, colour}}),
        0);
}

} // namespace

ZQSourceListCell::ZQSourceListCell(QObject* parent)
    : RSVerticallyCenteredTextFieldCell(parent)
{
}

QFont ZQSourceListCell::badgeAttributesFont()
{
    static const QFont font =
        platform::fontWithNameSize(QStringLiteral("Helvetica-Bold"), 11).value_or(platform::boldSystemFontOfSize(11));
    return font;
}

QRectF ZQSourceListCell::iconRectForFrame(const QRectF& frame) const
{
    if (m_image.isNull())
        return {};
    const double side = frame.height() - 1;
    return QRectF(frame.x() + 2, frame.y(), side, side).adjusted(1, 1, -1, -1);
}

QRectF ZQSourceListCell::badgeRectForFrame(const QRectF& frame) const
{
    if (!hasBadge())
        return {};
    const QSizeF text = badgeLabel(m_badgeCount, Qt::white).size();
    const double height = std::min(frame.height() - 6, text.height() + 2);
    const double width = std::max(12.0, text.width()) + 8;
    return QRectF(frame.right() - width - 1, frame.y() + (frame.height() - height) / 2, width, height);
}

QRectF ZQSourceListCell::busyRectForFrame(const QRectF& frame) const
{
    if (!m_busy)
        return {};
    return QRectF(frame.right() - frame.height() - 1, frame.y(), frame.height(), frame.height());
}

QRectF ZQSourceListCell::textRectForFrame(const QRectF& frame) const
{
    QRectF text = frame;
    if (m_busy)
        text.setWidth(busyRectForFrame(frame).x() - frame.x() - 5);
    else if (hasBadge())
        text.setWidth(badgeRectForFrame(frame).x() - frame.x() - 5);
    if (!m_image.isNull()) {
        const QRectF icon = iconRectForFrame(frame);
        const double width = text.width() - (icon.width() + 3);
        text.setX(icon.right() + 3);
        text.setWidth(width);
    }
    return text;
}

void ZQSourceListCell::loadItem(const QModelIndex& index, ZQSourceListCell& cell) const
{
    cell.m_badgeColour = m_badgeColour;
    cell.m_image = m_image;
    cell.m_badgeCount = m_badgeCount;
    cell.m_busy = m_busy;
    const QVariant decoration = index.data(Qt::DecorationRole);
    if (decoration.canConvert<QImage>() && !decoration.value<QImage>().isNull())
        cell.m_image = decoration.value<QImage>();
    if (const QVariant count = index.data(BadgeCountRole); count.isValid())
        cell.m_badgeCount = count.toLongLong();
    if (const QVariant busy = index.data(BusyRole); busy.isValid())
        cell.m_busy = busy.toBool();
}

QStyleOptionViewItem ZQSourceListCell::textOption(const QStyleOptionViewItem& option, const QModelIndex&) const
{
    QStyleOptionViewItem text = option;
    text.rect = textRectForFrame(QRectF(option.rect)).toAlignedRect();
    return text;
}

void ZQSourceListCell::paint(QPainter* painter, const QStyleOptionViewItem& option, const QModelIndex& index) const
{
    ZQSourceListCell cell;
    loadItem(index, cell);
    if (cell.m_badgeCount == 0)
        cell.m_badgeCount = kNoBadge;
    const QRectF frame(option.rect);
    // The row's highlight spans the whole frame; the text keeps to its own rectangle.
    QStyleOptionViewItem background = option;
    initStyleOption(&background, index);
    background.text.clear();
    background.icon = QIcon();
    background.features &= ~QStyleOptionViewItem::HasDecoration;
    const QStyle* style = option.widget ? option.widget->style() : QApplication::style();
    style->drawControl(QStyle::CE_ItemViewItem, &background, painter, option.widget);

    QStyleOptionViewItem text = cell.textOption(option, index);
    text.features &= ~QStyleOptionViewItem::HasDecoration;
    text.state &= ~QStyle::State_Selected; // drawn above
    RSVerticallyCenteredTextFieldCell::paint(painter, text, index);

    const bool enabled = option.state & QStyle::State_Enabled;
    const bool highlighted = option.state & QStyle::State_Selected;
    const bool mainWindow = option.widget && option.widget->isActiveWindow();
    painter->save();
    cell.drawIconForFrame(*painter, frame, enabled);
    if (!cell.m_busy)
        cell.drawBadgeForFrame(*painter, frame, highlighted, mainWindow);
    painter->restore();
}

void ZQSourceListCell::updateEditorGeometry(QWidget* editor, const QStyleOptionViewItem& option,
                                            const QModelIndex& index) const
{
    ZQSourceListCell cell;
    loadItem(index, cell);
    RSVerticallyCenteredTextFieldCell::updateEditorGeometry(editor, cell.textOption(option, index), index);
}

void ZQSourceListCell::drawIconForFrame(QPainter& painter, const QRectF& frame, bool enabled) const
{
    if (m_image.isNull())
        return;
    const QRectF target = platform::ScaledRectForSize(m_image.deviceIndependentSize(), iconRectForFrame(frame));
    painter.save();
    painter.setRenderHint(QPainter::SmoothPixmapTransform);
    painter.setOpacity(enabled ? 1.0 : 0.5);
    painter.drawImage(target, m_image);
    painter.restore();
}

void ZQSourceListCell::drawBadgeForFrame(QPainter& painter, const QRectF& frame, bool highlighted, bool mainWindow) const
{
    if (!hasBadge())
        return;
    const QRectF badge = badgeRectForFrame(frame);
    const QColor grey = QColor::fromRgbF(2.0f / 3, 2.0f / 3, 2.0f / 3);
    const QColor colour = mainWindow && m_badgeColour.isValid() ? m_badgeColour : grey;
    const QColor fill = highlighted ? QColor(Qt::white) : colour;
    const QColor ink = highlighted ? colour : QColor(Qt::white);
    painter.save();
    painter.setRenderHint(QPainter::Antialiasing);
    QPainterPath pill;
    pill.addRoundedRect(badge, badge.height() / 2, badge.height() / 2);
    painter.fillPath(pill, fill);
    const platform::AttributedStringLayout label = badgeLabel(m_badgeCount, ink);
    const QSizeF size = label.size();
    label.drawAtPoint(&painter, badge.center() - QPointF(size.width() / 2, size.height() / 2));
    painter.restore();
}

void ZQSourceListCell::initStyleOption(QStyleOptionViewItem* option, const QModelIndex& index) const
{
    RSVerticallyCenteredTextFieldCell::initStyleOption(option, index);
    option->features &= ~QStyleOptionViewItem::HasDecoration;
    option->icon = QIcon();
}
