#include "widgets/iconview/JXDistributedViewCell.h"

#include "platform/foundation/KeyedArchiver.h"
#include "platform/foundation/KeyedUnarchiver.h"

#include <QFontMetricsF>
#include <QPainter>
#include <QPalette>
#include <QApplication>

namespace {
constexpr double kTitleHeight = 16.0;
}

JXDistributedViewCell::JXDistributedViewCell() = default;

QRectF JXDistributedViewCell::imageRectForBounds(const QRectF& bounds) const
{
    return QRectF(bounds.x(), bounds.y(), bounds.width(), std::max(0.0, bounds.height() - kTitleHeight));
}

QRectF JXDistributedViewCell::titleRectForBounds(const QRectF& bounds) const
{
    const double height = std::min(kTitleHeight, bounds.height());
    return QRectF(bounds.x(), bounds.bottom() - height, bounds.width(), height);
}

QFont JXDistributedViewCell::editingFont(const QRectF&) const
{
    return QApplication::font();
}

void JXDistributedViewCell::drawWithFrame(QPainter& painter, const QRectF& frame, const DrawContext&)
{
    painter.save();
    const QRectF imageRect = imageRectForBounds(frame);
    if (!m_image.isNull() && !imageRect.isEmpty()) {
        QSizeF size = m_image.deviceIndependentSize();
        size.scale(imageRect.size().boundedTo(size), Qt::KeepAspectRatio);
        const QRectF target(imageRect.center() - QPointF(size.width() / 2, size.height() / 2), size);
        painter.drawImage(target, m_image);
    }
    const QPalette palette = QApplication::palette();
    const QRectF titleRect = titleRectForBounds(frame);
    if (m_highlighted)
        painter.fillRect(titleRect, palette.color(QPalette::Highlight));
    painter.setPen(palette.color(m_highlighted ? QPalette::HighlightedText : QPalette::Text));
    const QFontMetricsF metrics(painter.font());
    painter.drawText(titleRect, Qt::AlignCenter, metrics.elidedText(m_stringValue, Qt::ElideMiddle, titleRect.width()));
    painter.restore();
}

void JXDistributedViewCell::copyCellFieldsTo(JXDistributedViewCell& other) const
{
    other.m_stringValue = m_stringValue;
    other.m_image = m_image;
    other.m_highlighted = m_highlighted;
    other.m_editable = m_editable;
    other.m_enabled = m_enabled;
}

std::shared_ptr<ZQObject> JXDistributedViewCell::copy() const
{
    auto cell = std::make_shared<JXDistributedViewCell>();
    copyCellFieldsTo(*cell);
    return cell;
}

void JXDistributedViewCell::encodeWithCoder(platform::KeyedArchiver& coder) const
{
    coder.encodeString(m_stringValue, QStringLiteral("cellTitle"));
    coder.encodeBool(m_editable, QStringLiteral("cellEditable"));
    coder.encodeBool(!m_enabled, QStringLiteral("cellDisabled"));
}

void JXDistributedViewCell::initWithCoder(platform::KeyedUnarchiver& coder)
{
    m_stringValue = coder.decodeString(QStringLiteral("cellTitle"));
    m_editable = coder.decodeBool(QStringLiteral("cellEditable"));
    m_enabled = !coder.decodeBool(QStringLiteral("cellDisabled"));
}
