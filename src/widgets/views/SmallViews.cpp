#include "widgets/views/SmallViews.h"

#include "platform/foundation/RunLoop.h"
#include "platform/graphics/ColourUtilities.h"
#include "platform/graphics/FontUtilities.h"

#include <QFocusEvent>
#include <QKeyEvent>
#include <QMenu>
#include <QMouseEvent>
#include <QPainter>
#include <QStyleOptionFocusRect>

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
        platform::RunLoop::runOnMainThread([this] { setFocus(Qt::OtherFocusReason); }, this);
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
    setFocusPolicy(Qt::StrongFocus);
}

void ZQBorderView::paintEvent(QPaintEvent*)
{
    QPainter painter(this);
    const QRectF bounds = rect();
    painter.fillRect(bounds, platform::rgbGrey(0.96));
    painter.setPen(QPen(platform::rgbGrey(0.5), 1.0));
    painter.drawLine(QLineF(bounds.left(), bounds.top(), bounds.right(), bounds.top()));
    painter.drawLine(QLineF(bounds.left(), bounds.bottom() - 0.5, bounds.right(), bounds.bottom() - 0.5));
    if (hasFocus()) {
        QStyleOptionFocusRect focus;
        focus.initFrom(this);
        focus.rect = rect().adjusted(1, 2, -1, -2);
        style()->drawPrimitive(QStyle::PE_FrameFocusRect, &focus, &painter, this);
    }
}

void ZQBorderView::mousePressEvent(QMouseEvent* event)
{
    popUpMenuAt(event->globalPosition().toPoint());
}

void ZQBorderView::keyPressEvent(QKeyEvent* event)
{
    switch (event->key()) {
    case Qt::Key_Space:
    case Qt::Key_Return:
    case Qt::Key_Enter:
    case Qt::Key_Menu:
        popUpMenuAt(mapToGlobal(rect().bottomLeft()));
        break;
    default:
        QWidget::keyPressEvent(event);
    }
}

void ZQBorderView::popUpMenuAt(const QPoint& globalPosition)
{
    update();
    if (QMenu* menu = m_menu) {
        menu->setFont(platform::systemFontOfSize(10));
        menu->exec(globalPosition);
        update();
    }
}

void ZQBorderView::mouseReleaseEvent(QMouseEvent*)
{
    update();
}
