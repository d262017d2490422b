#include "widgets/buttons/ZQRoundCornerButton.h"

#include "platform/graphics/BezierPath.h"
#include "widgets/paint/CenterScanRect.h"

#include <QGridLayout>
#include <QPainter>
#include <QStyle>

using namespace platform;

ZQRoundCornerBezel roundCornerBezel(const QRectF& frame, const std::optional<ZQGridPosition>& position)
{
    ZQRoundCornerBezel bezel{frame.translated(0.5, 0.5).adjusted(0, 0, -1, -1), kRoundedCornerAll};
    if (position) {
        const bool lastRow = position->row == position->rowCount - 1;
        const bool lastColumn = position->column == position->columnCount - 1;
        bezel.corners = 0;
        if (position->row == 0 && position->column == 0)
            bezel.corners |= kRoundedCornerMinXMinY;
        if (position->row == 0 && lastColumn)
            bezel.corners |= kRoundedCornerMaxXMinY;
        if (lastRow && position->column == 0)
            bezel.corners |= kRoundedCornerMinXMaxY;
        if (lastRow && lastColumn)
            bezel.corners |= kRoundedCornerMaxXMaxY;
        // Overlap the neighbours by one point so shared borders are drawn once.
        bezel.rect.adjust(0, 0, lastColumn ? 0 : 1, lastRow ? 0 : 1);
    } else {
        bezel.rect.adjust(5, 3, -5, -3 - 3);
    }
    return bezel;
}

ZQRoundCornerButton::ZQRoundCornerButton(QWidget* parent)
    : QAbstractButton(parent)
{
}

std::optional<ZQGridPosition> ZQRoundCornerButton::gridPosition() const
{
    if (m_gridPosition)
        return m_gridPosition;
    const auto* grid = parentWidget() ? qobject_cast<QGridLayout*>(parentWidget()->layout()) : nullptr;
    const int index = grid ? grid->indexOf(this) : -1;
    if (index < 0)
        return std::nullopt;
    ZQGridPosition position{0, 0, grid->rowCount(), grid->columnCount()};
    int rowSpan = 1;
    int columnSpan = 1;
    grid->getItemPosition(index, &position.row, &position.column, &rowSpan, &columnSpan);
    return position;
}

void ZQRoundCornerButton::setGridPosition(const std::optional<ZQGridPosition>& position)
{
    m_gridPosition = position;
    update();
}

QSize ZQRoundCornerButton::sizeHint() const
{
    const QSize title = fontMetrics().size(Qt::TextShowMnemonic, text().isEmpty() ? QStringLiteral("M") : text());
    return QSize(title.width() + 20, title.height() + 10).expandedTo(iconSize() + QSize(10, 10));
}

void ZQRoundCornerButton::paintEvent(QPaintEvent*)
{
    QPainter painter(this);
    painter.setRenderHint(QPainter::Antialiasing);
    const ZQRoundCornerBezel bezel = roundCornerBezel(centerScanRect(painter, QRectF(rect())), gridPosition());
    BezierPath path = BezierPath::bezierPathWithRoundedRectCornerRadiusCornerOptions(bezel.rect, kCornerRadius,
                                                                                      bezel.corners);
    path.setLineWidth(0.5);
    const bool highlighted = isDown() || isChecked();
    painter.fillPath(path.painterPath(), palette().color(highlighted ? QPalette::Highlight : QPalette::Base));
    painter.strokePath(path.painterPath(), path.penWithColour(Qt::lightGray));
    if (!icon().isNull()) {
        const QRect iconRect = QStyle::alignedRect(layoutDirection(), Qt::AlignCenter, iconSize(), rect());
        icon().paint(&painter, iconRect, Qt::AlignCenter, isEnabled() ? QIcon::Normal : QIcon::Disabled);
    } else {
        painter.setPen(palette().color(isEnabled() ? QPalette::Active : QPalette::Disabled,
                                       highlighted ? QPalette::HighlightedText : QPalette::Text));
        painter.drawText(bezel.rect, Qt::AlignCenter | Qt::TextShowMnemonic, text());
    }
}
