#include "widgets/headers/ZQSingleTitleTableHeaderView.h"

#include "platform/graphics/ColourUtilities.h"
#include "platform/graphics/FontUtilities.h"
#include "platform/graphics/Gradient.h"

#include <QApplication>
#include <QPainter>

namespace {

constexpr double kTitleInset = 20.0;

const platform::Gradient& titleBarGradient()
{
    static const platform::Gradient gradient(ZQSingleTitleTableHeaderView::titleColour(),
                                             platform::shadowWithLevel(ZQSingleTitleTableHeaderView::titleColour(), 0.15));
    return gradient;
}

QColor hairlineColour()
{
    return platform::shadowWithLevel(QColor(Qt::blue), 0.5);
}

} // namespace

ZQSingleTitleTableHeaderView::ZQSingleTitleTableHeaderView(QWidget* parent)
    : QHeaderView(Qt::Horizontal, parent)
{
    setFixedHeight(kHeight);
}

QColor ZQSingleTitleTableHeaderView::titleColour()
{
    return QApplication::palette().color(QPalette::Active, QPalette::Highlight);
}

// Size 11 in the bar's own units, pixels, so that a line of it fits the 17 high bar.
QFont ZQSingleTitleTableHeaderView::titleAttributesFont()
{
    QFont font = platform::systemFontOfSize(11);
    font.setPixelSize(11);
    return font;
}

QColor ZQSingleTitleTableHeaderView::titleAttributesColour()
{
    return platform::rgbGrey(0.25);
}

QColor ZQSingleTitleTableHeaderView::inactiveTitleAttributesColour()
{
    return QApplication::palette().color(QPalette::Disabled, QPalette::Text);
}

void ZQSingleTitleTableHeaderView::setTitle(const QString& title)
{
    m_title = title;
    viewport()->update();
}

void ZQSingleTitleTableHeaderView::setDrawsColumnDividers(bool draws)
{
    m_drawsColumnDividers = draws;
    viewport()->update();
}

QSize ZQSingleTitleTableHeaderView::sizeHint() const
{
    return QSize(QHeaderView::sizeHint().width(), kHeight);
}

QRectF ZQSingleTitleTableHeaderView::titleRect(Qt::Alignment* alignment) const
{
    const QRectF bar = titleBarRect();
    QRectF text = bar.adjusted(kTitleInset, 1, -kTitleInset, 3);
    Qt::Alignment align = Qt::AlignHCenter;
    if (QFontMetricsF(titleAttributesFont()).horizontalAdvance(m_title) > text.width()) {
        text.setWidth(bar.width() - kTitleInset);
        align = Qt::AlignLeft;
    }
    if (alignment)
        *alignment = align;
    return text;
}

QList<double> ZQSingleTitleTableHeaderView::columnDividerPositions() const
{
    QList<double> positions;
    for (int visual = 0; visual + 1 < count(); ++visual) {
        const int section = logicalIndex(visual);
        positions.append(sectionViewportPosition(section) + sectionSize(section));
    }
    return positions;
}

void ZQSingleTitleTableHeaderView::paintEvent(QPaintEvent*)
{
    QPainter painter(viewport());
    const QRectF bar = titleBarRect();
    const bool key = isActiveWindow();
    if (key)
        titleBarGradient().drawInRect(painter, bar, 90);
    else
        painter.fillRect(bar, platform::veryLightGrey());

    if (m_drawsColumnDividers) {
        painter.setPen(QPen(hairlineColour(), 0.15));
        for (double x : columnDividerPositions())
            painter.drawLine(QPointF(x, bar.top()), QPointF(x, bar.bottom()));
    }
    if (!m_title.isEmpty()) {
        Qt::Alignment alignment;
        const QRectF text = titleRect(&alignment);
        painter.setFont(titleAttributesFont());
        painter.setPen(key ? titleAttributesColour() : inactiveTitleAttributesColour());
        painter.drawText(text, alignment | Qt::AlignTop,
                         painter.fontMetrics().elidedText(m_title, Qt::ElideRight, int(text.width())));
    }
    painter.setPen(QPen(hairlineColour(), 0.5));
    painter.drawLine(QPointF(bar.left(), bar.bottom()), QPointF(bar.right(), bar.bottom()));
}
