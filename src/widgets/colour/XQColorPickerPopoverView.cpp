#include "widgets/colour/XQColorPickerPopoverView.h"

#include "platform/ui/ColourPanel.h"
#include "widgets/colour/XQColorPickerPopover.h"
#include "widgets/views/EffectAnimation.h"

#include <QKeyEvent>
#include <QMouseEvent>
#include <QPointer>
#include <cmath>

XQColorPickerPopoverView::XQColorPickerPopoverView(QWidget* parent)
    : QWidget(parent)
{
    setFocusPolicy(Qt::ClickFocus);
}

XQColorPickerPopoverView::~XQColorPickerPopoverView()
{
    if (!platform::ColourPanel::sharedColorPanelExists())
        return;
    platform::ColourPanel* panel = platform::ColourPanel::sharedColorPanel();
    if (panel->isContentLent() && isAncestorOf(panel->contentView()))
        panel->takeBackContentView();
}

void XQColorPickerPopoverView::mousePressEvent(QMouseEvent* event)
{
    const QWidget* popoverWindow = XQColorPickerPopover::sharedPopover()->window();
    if (event->button() != Qt::LeftButton || !popoverWindow)
        return;
    m_originalWindowOrigin = popoverWindow->pos();
    m_originalMouseOffset = event->globalPosition().toPoint();
    m_dragging = true;
}

void XQColorPickerPopoverView::mouseMoveEvent(QMouseEvent* event)
{
    XQColorPickerPopover* popover = XQColorPickerPopover::sharedPopover();
    QWidget* popoverWindow = popover->window();
    if (!m_dragging || !popoverWindow)
        return;
    popoverWindow->move(m_originalWindowOrigin + event->globalPosition().toPoint() - m_originalMouseOffset);
    popover->setShouldHideAnchor(movedDistance() >= kTearOffDistance ? 1 : 0);
}

void XQColorPickerPopoverView::mouseReleaseEvent(QMouseEvent*)
{
    if (!m_dragging)
        return;
    m_dragging = false;
    XQColorPickerPopover* popover = XQColorPickerPopover::sharedPopover();
    if (movedDistance() >= kTearOffDistance) {
        tearOff();
    } else if (QWidget* popoverWindow = popover->window()) {
        const QPoint from = popoverWindow->pos();
        const QPoint to = m_originalWindowOrigin;
        const QPointer<QWidget> moving(popoverWindow);
        new EffectAnimation(popoverWindow, kSpringBackSeconds, [moving, from, to](double t) {
            if (moving)
                moving->move(from + (to - from) * t);
        });
    }
    popover->setShouldHideAnchor(0);
}

void XQColorPickerPopoverView::keyPressEvent(QKeyEvent* event)
{
    if (event->key() == Qt::Key_Escape)
        XQColorPickerPopover::sharedPopover()->cancelOperation(this);
    else
        QWidget::keyPressEvent(event);
}

double XQColorPickerPopoverView::movedDistance() const
{
    const QWidget* popoverWindow = XQColorPickerPopover::sharedPopover()->window();
    if (!popoverWindow)
        return 0;
    const QPoint moved = popoverWindow->pos() - m_originalWindowOrigin;
    return std::hypot(double(moved.x()), double(moved.y()));
}

void XQColorPickerPopoverView::tearOff()
{
    XQColorPickerPopover* popover = XQColorPickerPopover::sharedPopover();
    platform::ColourPanel* panel = popover->colorPanel();
    if (!panel)
        return;
    const QWidget* content = panel->contentView();
    const QRect contentRect(content->mapToGlobal(QPoint(0, 0)), content->size());
    panel->setFrameForContentRect(contentRect);
    popover->closeForTearOff();
    panel->orderFront(this);
}
