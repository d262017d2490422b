#pragma once

// A borderless pop-up window that behaves like a pop-up menu around one view inside it (the
// main view): press-drag-release, or click-then-click when the first release comes within
// 0.25 s of the press (by the events' timestamps). While it tracks, the main view gets the
// drags, wheel turns, modifier changes and keys, in its own coordinates. A press outside
// the main view in the second phase closes the menu at once; so does deactivating the
// application. Return and Escape (after the main view has seen them) close it too.
//
// popUpWindowMenuAtPointWithEventForView returns when the menu has closed; then the menu
// fades out over 0.15 s and deletes itself (and its main view). Keep no plain pointer to
// either past the call.

#include <QEvent>
#include <QPointer>
#include <QWidget>
#include <memory>

class QEventLoop;
class QInputEvent;
class QMouseEvent;
class QKeyEvent;
class QScreen;

namespace platform {
class Timer;
}

class ZQWindowMenu : public QWidget {
    Q_OBJECT

public:
    static constexpr double kOpacity = 0.95;
    static constexpr int kClickToOpenMilliseconds = 250;
    static constexpr double kFadeSeconds = 0.15;
    static constexpr int kFadeTickMilliseconds = 33;
    // Where popUpWindowMenuWithEventForView puts the menu from the pointer.
    static constexpr QPoint kEventOffset{-10, -5};

    ~ZQWindowMenu() override;

    // A new, empty menu of 100 × 28.
    static ZQWindowMenu* windowMenu();
    static ZQWindowMenu* windowMenuWithContentView(QWidget* view);

    // The menu takes the view. With `sizeToFit` the view moves to the origin and the menu
    // takes its size.
    void setMainViewSizeToFit(QWidget* view, bool sizeToFit);
    QWidget* mainView() const { return m_mainView; }

    // At the event's position in `view`'s window, moved by kEventOffset.
    static void popUpWindowMenuWithEventForView(ZQWindowMenu* menu, const QInputEvent* event, QWidget* view);
    // Pops `menu` (a new empty one when null) up with its top-left corner at `point` of
    // `view`'s window (the origin of the primary screen without a view), kept wholly on the
    // screen holding that point (the primary screen when none does), tracks from `event`
    // and fades out. A press starts in the first phase; any other event (a key) in the second.
    static void popUpWindowMenuAtPointWithEventForView(ZQWindowMenu* menu, const QPoint& point,
                                                       const QInputEvent* event, QWidget* view);

    // The frame moved by as little as possible to lie on `screen` (towards its top-left
    // when larger).
    static QRect frameKeptOnScreen(const QRect& frame, const QRect& screen);
    static QScreen* screenForPoint(const QPoint& globalPoint);

    // Tracking: begin, then feed events (the menu's own event handling does); trackWithEvent
    // waits in a nested event loop until it ends.
    void beginTrackingWithEvent(const QInputEvent* event);
    void trackWithEvent(const QInputEvent* event);
    bool isTracking() const { return m_tracking; }
    // True once a quick release has turned the gesture into click-then-click.
    bool isInSecondPhase() const { return m_secondPhase; }

    // Fades out over `seconds` on the run loop's timers, then hides and deletes itself.
    // A hidden menu is deleted at once.
    void fadeWithTimeInterval(double seconds);

protected:
    bool event(QEvent* event) override;
    bool eventFilter(QObject* watched, QEvent* event) override;
    void hideEvent(QHideEvent* event) override;

private:
    ZQWindowMenu();
    void handleMouse(QMouseEvent* event);
    void handleKey(QKeyEvent* event);
    void forwardToMainView(QEvent* event);
    void forwardMouse(QEvent::Type type, const QMouseEvent& source);
    void endTracking(bool mouseUpToMainView);

    QPointer<QWidget> m_mainView;
    QEventLoop* m_loop = nullptr;
    std::unique_ptr<platform::Timer> m_fadeTimer;
    std::unique_ptr<QMouseEvent> m_lastMouse;
    qint64 m_fadeStart = 0;
    ulong m_startTimestamp = 0;
    bool m_tracking = false;
    bool m_secondPhase = false;
    bool m_forwarding = false;
};
