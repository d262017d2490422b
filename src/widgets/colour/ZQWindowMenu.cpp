#include "widgets/colour/ZQWindowMenu.h"

#include "platform/foundation/RunLoop.h"
#include "platform/ui/MouseEvents.h"

#include <QApplication>
#include <QEventLoop>
#include <QKeyEvent>
#include <QMouseEvent>
#include <QScreen>
#include <QWheelEvent>
#include <algorithm>

ZQWindowMenu::ZQWindowMenu()
    : QWidget(nullptr, Qt::Popup | Qt::FramelessWindowHint | Qt::NoDropShadowWindowHint)
{
    setWindowOpacity(kOpacity);
    setFocusPolicy(Qt::StrongFocus);
    setGeometry(0, 0, 100, 28);
}

ZQWindowMenu::~ZQWindowMenu()
{
    if (m_tracking)
        endTracking(false);
}

ZQWindowMenu* ZQWindowMenu::windowMenu()
{
    return new ZQWindowMenu;
}

ZQWindowMenu* ZQWindowMenu::windowMenuWithContentView(QWidget* view)
{
    ZQWindowMenu* menu = windowMenu();
    menu->setMainViewSizeToFit(view, true);
    return menu;
}

void ZQWindowMenu::setMainViewSizeToFit(QWidget* view, bool sizeToFit)
{
    if (m_mainView)
        m_mainView->removeEventFilter(this);
    m_mainView = view;
    if (!view)
        return;
    view->setParent(this);
    view->installEventFilter(this);
    // Every mouse event lands on the menu, which hands it on.
    view->setAttribute(Qt::WA_TransparentForMouseEvents);
    if (sizeToFit) {
        view->move(0, 0);
        resize(view->size());
    }
    view->show();
    view->update();
}

void ZQWindowMenu::popUpWindowMenuWithEventForView(ZQWindowMenu* menu, const QInputEvent* event, QWidget* view)
{
    QPoint point;
    if (const auto* mouse = dynamic_cast<const QMouseEvent*>(event); mouse && view)
        point = view->window()->mapFromGlobal(mouse->globalPosition().toPoint());
    popUpWindowMenuAtPointWithEventForView(menu, point + kEventOffset, event, view);
}

void ZQWindowMenu::popUpWindowMenuAtPointWithEventForView(ZQWindowMenu* menu, const QPoint& point,
                                                         const QInputEvent* event, QWidget* view)
{
    QPointer<ZQWindowMenu> guard(menu ? menu : windowMenu());
    const QPoint anchor = view ? view->window()->mapToGlobal(point) : QPoint(0, 0);
    const QScreen* screen = screenForPoint(anchor);
    const QRect frame(anchor, guard->size());
    guard->setGeometry(screen ? frameKeptOnScreen(frame, screen->geometry()) : frame);
    guard->show();
    guard->raise();
    guard->trackWithEvent(event);
    if (guard)
        guard->fadeWithTimeInterval(kFadeSeconds);
}

QRect ZQWindowMenu::frameKeptOnScreen(const QRect& frame, const QRect& screen)
{
    QRect kept = frame;
    if (kept.right() > screen.right())
        kept.moveRight(screen.right());
    if (kept.left() < screen.left())
        kept.moveLeft(screen.left());
    if (kept.bottom() > screen.bottom())
        kept.moveBottom(screen.bottom());
    if (kept.top() < screen.top())
        kept.moveTop(screen.top());
    return kept;
}

QScreen* ZQWindowMenu::screenForPoint(const QPoint& globalPoint)
{
    for (QScreen* screen : QGuiApplication::screens())
        if (screen->geometry().contains(globalPoint))
            return screen;
    return QGuiApplication::primaryScreen();
}

void ZQWindowMenu::beginTrackingWithEvent(const QInputEvent* event)
{
    m_tracking = true;
    m_secondPhase = true;
    m_startTimestamp = event ? event->timestamp() : 0;
    qApp->installEventFilter(this);
    const auto* press = dynamic_cast<const QMouseEvent*>(event);
    if (press && isMouseEventType(*press)) {
        m_secondPhase = false;
        forwardMouse(QEvent::MouseButtonPress, *press);
    }
}

void ZQWindowMenu::trackWithEvent(const QInputEvent* event)
{
    beginTrackingWithEvent(event);
    if (!m_tracking)
        return;
    QEventLoop loop;
    m_loop = &loop;
    loop.exec();
}

void ZQWindowMenu::fadeWithTimeInterval(double seconds)
{
    if (!isVisible()) {
        deleteLater();
        return;
    }
    m_fadeStart = platform::RunLoop::now();
    m_fadeTimer = std::make_unique<platform::Timer>(kFadeTickMilliseconds, true, this, [this, seconds](platform::Timer&) {
        const double elapsed = (platform::RunLoop::now() - m_fadeStart) / 1000.0;
        if (elapsed > seconds) {
            m_fadeTimer->invalidate();
            hide();
            deleteLater();
            return;
        }
        setWindowOpacity(1.0 - elapsed / seconds);
    });
}

bool ZQWindowMenu::event(QEvent* event)
{
    if (m_tracking) {
        switch (event->type()) {
        case QEvent::MouseButtonPress:
        case QEvent::MouseButtonDblClick:
        case QEvent::MouseButtonRelease:
        case QEvent::MouseMove:
            handleMouse(static_cast<QMouseEvent*>(event));
            return true;
        case QEvent::Wheel:
            forwardToMainView(event);
            return true;
        case QEvent::KeyPress:
        case QEvent::KeyRelease:
            // A key the main view ignored comes back up to its parent, the menu: it is done.
            if (!m_forwarding)
                handleKey(static_cast<QKeyEvent*>(event));
            return true;
        default:
            break;
        }
    }
    return QWidget::event(event);
}

bool ZQWindowMenu::eventFilter(QObject* watched, QEvent* event)
{
    if (!m_tracking)
        return false;
    if (watched == qApp) {
        const bool deactivated =
            event->type() == QEvent::ApplicationDeactivate
            || (event->type() == QEvent::ApplicationStateChange
                && static_cast<QApplicationStateChangeEvent*>(event)->applicationState() != Qt::ApplicationActive);
        if (deactivated)
            endTracking(false);
        return false;
    }
    // Keys reach the focused main view first; route them through the menu.
    if (watched == m_mainView && !m_forwarding
        && (event->type() == QEvent::KeyPress || event->type() == QEvent::KeyRelease)) {
        handleKey(static_cast<QKeyEvent*>(event));
        return true;
    }
    return false;
}

void ZQWindowMenu::hideEvent(QHideEvent* event)
{
    QWidget::hideEvent(event);
    // Closed from outside (the window system, another popup): tracking cannot go on.
    if (m_tracking)
        endTracking(false);
}

void ZQWindowMenu::handleMouse(QMouseEvent* event)
{
    m_lastMouse.reset(event->clone());
    switch (event->type()) {
    case QEvent::MouseButtonPress:
    case QEvent::MouseButtonDblClick:
        if (!m_secondPhase)
            return;
        if (!m_mainView || !m_mainView->rect().contains(m_mainView->mapFromGlobal(event->globalPosition()).toPoint())) {
            endTracking(false);
            return;
        }
        forwardMouse(QEvent::MouseButtonPress, *event);
        return;
    case QEvent::MouseMove:
        if (event->buttons() != Qt::NoButton)
            forwardMouse(QEvent::MouseMove, *event);
        return;
    case QEvent::MouseButtonRelease:
        if (!m_secondPhase && event->timestamp() - m_startTimestamp < ulong(kClickToOpenMilliseconds)) {
            m_secondPhase = true;
            return;
        }
        endTracking(true);
        return;
    default:
        return;
    }
}

void ZQWindowMenu::handleKey(QKeyEvent* event)
{
    forwardToMainView(event);
    const bool closes = event->type() == QEvent::KeyPress
                        && (event->key() == Qt::Key_Return || event->key() == Qt::Key_Enter
                            || event->key() == Qt::Key_Escape);
    if (closes)
        endTracking(false);
}

void ZQWindowMenu::forwardToMainView(QEvent* event)
{
    if (!m_mainView)
        return;
    if (auto* wheel = dynamic_cast<QWheelEvent*>(event)) {
        const QPointF local = m_mainView->mapFromGlobal(wheel->globalPosition());
        QWheelEvent moved(local, wheel->globalPosition(), wheel->pixelDelta(), wheel->angleDelta(), wheel->buttons(),
                          wheel->modifiers(), wheel->phase(), wheel->inverted(), wheel->source());
        moved.setTimestamp(wheel->timestamp());
        QCoreApplication::sendEvent(m_mainView, &moved);
        return;
    }
    m_forwarding = true;
    QCoreApplication::sendEvent(m_mainView, event);
    m_forwarding = false;
}

void ZQWindowMenu::forwardMouse(QEvent::Type type, const QMouseEvent& source)
{
    if (!m_mainView)
        return;
    // Re-addressed by the screen position, whichever window the event came from.
    const QPointF local = m_mainView->mapFromGlobal(source.globalPosition());
    QMouseEvent moved(type, local, source.globalPosition(), source.button(), source.buttons(), source.modifiers(),
                      source.pointingDevice());
    moved.setTimestamp(source.timestamp());
    QCoreApplication::sendEvent(m_mainView, &moved);
}

void ZQWindowMenu::endTracking(bool mouseUpToMainView)
{
    m_tracking = false;
    qApp->removeEventFilter(this);
    if (m_loop) {
        m_loop->quit();
        m_loop = nullptr;
    }
    const std::unique_ptr<QMouseEvent> last = std::move(m_lastMouse);
    if (mouseUpToMainView && last)
        forwardMouse(QEvent::MouseButtonRelease, *last);
}
