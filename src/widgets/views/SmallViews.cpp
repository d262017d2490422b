#include "widgets/views/SmallViews.h"

#include "platform/graphics/ColourUtilities.h"
#include "platform/graphics/FontUtilities.h"

#include <QFocusEvent>
#include <QMenu>
#include <QMouseEvent>
#include <QPainter>
#include <QTimer>

ZQBlankingView::ZQBlankingView(QWidget* parent)
    : QWidget(parent)
{
    setAttribute(Qt::WA_OpaquePaintEvent);
}

void ZQBlankingView::paintEvent(QPaintEvent* event)
{
    QPainter painter(this);
    painter.setCompositionMode(QPainter::CompositionMode_Source);
    painter.fillRect(event->rect(), palette().window());
}

ZQLimelightHoggingView::ZQLimelightHoggingView(QWidget* parent)
    : QWidget(parent)
{
    setFocusPolicy(Qt::StrongFocus);
}

void ZQLimelightHoggingView::focusOutEvent(QFocusEvent* event)
{
    QWidget::focusOutEvent(event);
    // Giving focus back from within the change would fight the widget taking it.
    if (event->reason() != Qt::ActiveWindowFocusReason && event->reason() != Qt::PopupFocusReason)
        QTimer::singleShot(0, this, [this] { setFocus(Qt::OtherFocusReason); });
}

ZQNonDeactivatingWindow::ZQNonDeactivatingWindow(QWidget* parent)
    : QWidget(parent, Qt::Tool)
{
    setAttribute(Qt::WA_ShowWithoutActivating);
    keepControlsActive();
}

void ZQNonDeactivatingWindow::changeEvent(QEvent* event)
{
    QWidget::changeEvent(event);
    if (event->type() == QEvent::PaletteChange || event->type() == QEvent::StyleChange)
        keepControlsActive();
}

void ZQNonDeactivatingWindow::keepControlsActive()
{
    QPalette active = palette();
    bool differs = false;
    for (int role = 0; role < QPalette::NColorRoles; ++role) {
        const auto r = QPalette::ColorRole(role);
        if (active.brush(QPalette::Inactive, r) != active.brush(QPalette::Active, r)) {
            active.setBrush(QPalette::Inactive, r, active.brush(QPalette::Active, r));
            differs = true;
        }
    }
    if (differs)
        setPalette(active);
}

ZQGradientBackgroundView::ZQGradientBackgroundView(QWidget* parent)
    : QWidget(parent), m_background(platform::rgbGrey(0.98), platform::rgbGrey(0.88))
{
    setAttribute(Qt::WA_OpaquePaintEvent);
}

void ZQGradientBackgroundView::setBackground(const platform::Gradient& gradient)
{
    m_background = gradient;
    update();
}

void ZQGradientBackgroundView::paintEvent(QPaintEvent*)
{
    QPainter painter(this);
    // Upwards from the bottom edge.
    m_background.drawInRect(painter, rect(), -90);
}

ZQBorderView::ZQBorderView(QWidget* parent)
    : QWidget(parent)
{
}

void ZQBorderView::paintEvent(QPaintEvent*)
{
    QPainter painter(this);
    const QRectF bounds = rect();
    painter.fillRect(bounds, platform::rgbGrey(0.96));
    painter.setPen(QPen(platform::rgbGrey(0.5), 1.0));
    painter.drawLine(QLineF(bounds.left(), bounds.top(), bounds.right(), bounds.top()));
    painter.drawLine(QLineF(bounds.left(), bounds.bottom() - 0.5, bounds.right(), bounds.bottom() - 0.5));
}

void ZQBorderView::mousePressEvent(QMouseEvent* event)
{
    update();
    if (QMenu* menu = m_menu) {
        menu->setFont(platform::systemFontOfSize(10));
        menu->exec(event->globalPosition().toPoint());
        update();
    }
}

void ZQBorderView::mouseReleaseEvent(QMouseEvent*)
{
    update();
}
