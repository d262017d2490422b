#include "platform/ui/Popover.h"

#include "platform/ui/ViewController.h"

#include <QApplication>
#include <QFrame>
#include <QMouseEvent>
#include <QScreen>
#include <QVBoxLayout>
#include <algorithm>
#include <utility>

namespace platform {

class PopoverWindow : public QFrame {
public:
    PopoverWindow(Popover* popover, Qt::WindowFlags flags)
        : QFrame(nullptr, flags)
        , m_popover(popover)
    {
        setFrameShape(QFrame::StyledPanel);
        auto* layout = new QVBoxLayout(this);
        layout->setContentsMargins(1, 1, 1, 1);
    }

    void forgetPopover() { m_popover = nullptr; }

protected:
    void hideEvent(QHideEvent* event) override
    {
        QFrame::hideEvent(event);
        if (m_popover)
            m_popover->windowDidHide();
    }

private:
    QPointer<Popover> m_popover;
};

Popover::Popover(QObject* parent)
    : QObject(parent)
{
}

Popover::~Popover()
{
    endWatchingAnchorWindow();
    // A content widget never shown in the window has no other owner.
    if (m_content && !m_content->parent() && !m_contentViewController)
        delete m_content;
    if (m_window) {
        m_window->forgetPopover();
        delete m_window;
    }
}

void Popover::setContentViewController(std::shared_ptr<ViewController> controller)
{
    m_contentViewController = std::move(controller);
    setContentWidget(m_contentViewController ? m_contentViewController->view() : nullptr);
}

QWidget* Popover::contentWidget() const
{
    return m_content;
}

void Popover::setContentWidget(QWidget* widget)
{
    if (widget == m_content)
        return;
    if (m_content && m_window && m_content->parent() == m_window) {
        m_window->layout()->removeWidget(m_content);
        m_content->setParent(nullptr);
    }
    m_content = widget;
    if (m_window && widget)
        m_window->layout()->addWidget(widget);
}

QSize Popover::contentSize() const
{
    if (m_contentSize.isValid())
        return m_contentSize;
    return m_content ? m_content->sizeHint() : QSize();
}

void Popover::setContentSize(const QSize& size)
{
    m_contentSize = size;
    if (m_window && m_content)
        m_content->setFixedSize(size);
}

bool Popover::isShown() const
{
    return m_window && m_window->isVisible();
}

void Popover::showRelativeToRectOfViewPreferredEdge(const QRect& rect, QWidget* view, Edge edge)
{
    if (!view || !m_content)
        return;
    Q_EMIT willShow();
    endWatchingAnchorWindow();
    const Qt::WindowFlags flags = Qt::FramelessWindowHint
                                  | (m_behavior == TransientBehavior ? Qt::Popup : Qt::Tool);
    PopoverWindow* window = makeWindow(flags);
    if (m_contentSize.isValid())
        m_content->setFixedSize(m_contentSize);
    window->adjustSize();

    const QRect local = rect.isEmpty() ? view->rect() : rect;
    const QRect anchor(view->mapToGlobal(local.topLeft()), local.size());
    const QRect bounds = view->screen() ? view->screen()->availableGeometry() : QRect();
    window->setGeometry(frameForAnchorRect(anchor, window->size(), edge, bounds));
    m_detached = false;
    window->show();

    if (m_behavior == SemitransientBehavior) {
        m_anchorWindow = view->window();
        qApp->installEventFilter(this);
    }
    Q_EMIT didShow();
}

void Popover::close()
{
    // A close asked for while one is under way (by an observer of willClose) is the same close.
    if (!isShown() || m_closing)
        return;
    m_closing = true;
    Q_EMIT willClose(StandardCloseReason);
    m_window->hide();
}

void Popover::performClose(QObject*)
{
    close();
}

void Popover::detach()
{
    if (!isShown() || m_detached)
        return;
    const QPoint position = m_window->pos();
    // Observers of a standard close (which commits an edit, say) can tell a tear-off apart.
    Q_EMIT willClose(DetachToWindowCloseReason);
    m_reconfiguring = true;
    m_window->setWindowFlags(Qt::Tool);
    m_window->move(position);
    m_window->show();
    m_reconfiguring = false;
    m_detached = true;
    endWatchingAnchorWindow();
    Q_EMIT didClose(DetachToWindowCloseReason);
}

QRect Popover::frameForAnchorRect(const QRect& anchor, const QSize& size, Edge edge, const QRect& bounds,
                                  Edge* usedEdge)
{
    const auto place = [&](Edge side) {
        const QPoint centre = anchor.center();
        switch (side) {
        case MinXEdge:
            return QRect(QPoint(anchor.left() - kAnchorGap - size.width(), centre.y() - size.height() / 2), size);
        case MaxXEdge:
            return QRect(QPoint(anchor.left() + anchor.width() + kAnchorGap, centre.y() - size.height() / 2), size);
        case MaxYEdge:
            return QRect(QPoint(centre.x() - size.width() / 2, anchor.top() - kAnchorGap - size.height()), size);
        case MinYEdge:
            break;
        }
        return QRect(QPoint(centre.x() - size.width() / 2, anchor.top() + anchor.height() + kAnchorGap), size);
    };
    const auto opposite = [](Edge side) { return Edge((int(side) + 2) % 4); };
    const auto fitsAcross = [&](const QRect& frame, Edge side) {
        if (bounds.isEmpty())
            return true;
        return side == MinXEdge || side == MaxXEdge ? frame.left() >= bounds.left() && frame.right() <= bounds.right()
                                                    : frame.top() >= bounds.top() && frame.bottom() <= bounds.bottom();
    };

    Edge side = edge;
    QRect frame = place(side);
    if (!fitsAcross(frame, side) && fitsAcross(place(opposite(side)), opposite(side))) {
        side = opposite(side);
        frame = place(side);
    }
    if (!bounds.isEmpty()) {
        frame.moveLeft(std::clamp(frame.left(), bounds.left(), std::max(bounds.left(), bounds.right() - frame.width() + 1)));
        frame.moveTop(std::clamp(frame.top(), bounds.top(), std::max(bounds.top(), bounds.bottom() - frame.height() + 1)));
    }
    if (usedEdge)
        *usedEdge = side;
    return frame;
}

QWidget* Popover::window() const
{
    return isShown() ? m_window.data() : nullptr;
}

bool Popover::eventFilter(QObject* watched, QEvent* event)
{
    if (event->type() == QEvent::MouseButtonPress && watched->isWidgetType() && m_anchorWindow && isShown()) {
        auto* widget = static_cast<QWidget*>(watched);
        if (widget->window() == m_anchorWindow)
            close();
    }
    return false;
}

PopoverWindow* Popover::makeWindow(Qt::WindowFlags flags)
{
    if (!m_window) {
        m_window = new PopoverWindow(this, flags);
    } else if (m_window->windowFlags() != flags) {
        m_reconfiguring = true;
        m_window->setWindowFlags(flags);
        m_reconfiguring = false;
    }
    if (m_content && m_content->parent() != m_window)
        m_window->layout()->addWidget(m_content);
    return m_window;
}

void Popover::windowDidHide()
{
    if (m_reconfiguring)
        return;
    endWatchingAnchorWindow();
    // A transient popover hides itself at an outside click: its close starts here.
    if (!std::exchange(m_closing, false))
        Q_EMIT willClose(StandardCloseReason);
    Q_EMIT didClose(StandardCloseReason);
}

void Popover::endWatchingAnchorWindow()
{
    if (m_anchorWindow)
        qApp->removeEventFilter(this);
    m_anchorWindow = nullptr;
}

} // namespace platform
