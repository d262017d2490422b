#pragma once

// A popover: a frameless window shown against a rectangle of a view, on a preferred side.
//
// A transient popover is a Qt::Popup and closes at any click outside it; a semitransient
// one closes at a click in the window of its view; an application-defined one closes only
// when told. Detaching turns it into an ordinary tool window where it stands. The edges
// keep the platform's numbering, in which views count y upwards: 1 (min y) is below the
// rectangle and 3 (max y) above it. When the popover does not fit on the screen on its
// preferred side it opens on the opposite one, and it is always kept on the screen.

#include <QObject>
#include <QPointer>
#include <QRect>
#include <memory>

class QWidget;

namespace platform {

class PopoverWindow;
class ViewController;

class Popover : public QObject {
    Q_OBJECT

public:
    enum Behavior { ApplicationDefinedBehavior = 0, TransientBehavior = 1, SemitransientBehavior = 2 };
    Q_ENUM(Behavior)
    enum Edge { MinXEdge = 0, MinYEdge = 1, MaxXEdge = 2, MaxYEdge = 3 };
    Q_ENUM(Edge)
    enum CloseReason { StandardCloseReason, DetachToWindowCloseReason };
    Q_ENUM(CloseReason)

    // Pixels between the rectangle and the popover.
    static constexpr int kAnchorGap = 2;

    explicit Popover(QObject* parent = nullptr);
    ~Popover() override;

    // The content: a controller's view (the popover keeps the controller) or a widget.
    std::shared_ptr<ViewController> contentViewController() const { return m_contentViewController; }
    void setContentViewController(std::shared_ptr<ViewController> controller);
    QWidget* contentWidget() const;
    void setContentWidget(QWidget* widget);
    // The content's size (its size hint until set).
    QSize contentSize() const;
    void setContentSize(const QSize& size);

    Behavior behavior() const { return m_behavior; }
    void setBehavior(Behavior behavior) { m_behavior = behavior; }
    // Kept for callers that switch animation off around a close; nothing animates here.
    bool animates() const { return m_animates; }
    void setAnimates(bool flag) { m_animates = flag; }

    bool isShown() const;
    bool isDetached() const { return m_detached; }
    // `rect` is in `view`'s coordinates (the whole view when empty).
    void showRelativeToRectOfViewPreferredEdge(const QRect& rect, QWidget* view, Edge edge);
    void close();
    Q_INVOKABLE void performClose(QObject* sender);
    void detach();

    // The frame for content of `size` against `anchor`, within `bounds` (global coordinates).
    static QRect frameForAnchorRect(const QRect& anchor, const QSize& size, Edge edge, const QRect& bounds,
                                    Edge* usedEdge = nullptr);

    // The window while shown (null otherwise).
    QWidget* window() const;

Q_SIGNALS:
    void willShow();
    void didShow();
    void willClose(platform::Popover::CloseReason reason);
    void didClose(platform::Popover::CloseReason reason);

protected:
    bool eventFilter(QObject* watched, QEvent* event) override;

private:
    friend class PopoverWindow;
    PopoverWindow* makeWindow(Qt::WindowFlags flags);
    void windowDidHide();
    void endWatchingAnchorWindow();

    std::shared_ptr<ViewController> m_contentViewController;
    QPointer<QWidget> m_content;
    QPointer<PopoverWindow> m_window;
    QPointer<QWidget> m_anchorWindow;
    QSize m_contentSize;
    Behavior m_behavior = ApplicationDefinedBehavior;
    bool m_animates = true;
    bool m_detached = false;
    bool m_closing = false;
    bool m_reconfiguring = false; // window flags change: Qt hides and shows the window
};

} // namespace platform
