#include "widgets/tracking/RectTracking.h"

#include "widgets/tracking/EventTracking.h"

#include <QMouseEvent>
#include <QPointer>
#include <QWidget>
#include <memory>

namespace {

class RectTrackingState {
public:
    RectTrackingState(QWidget* view, const QRectF& rect, RectTrackingCompletion completion)
        : m_view(view), m_hooks(dynamic_cast<RectTrackingConvenience*>(view)), m_rect(rect),
          m_completion(std::move(completion))
    {
    }

    void begin()
    {
        markRect();
        setInside(true);
    }

    void handle(const QInputEvent* event, bool* stop)
    {
        if (!event)
            return;
        const auto type = trackedEventType(*event);
        if (type == kLeftMouseUpEvent) {
            // The exit balances the last enter; the answer stays where the mouse was.
            if (m_inside && m_hooks)
                m_hooks->mouseDidExitRect(m_rect);
            markRect();
            *stop = true;
            if (m_completion)
                m_completion(m_inside);
        } else if (type == kLeftMouseDraggedEvent) {
            const bool inside = m_rect.contains(static_cast<const QMouseEvent*>(event)->position());
            if (inside != m_inside) {
                markRect();
                setInside(inside);
            }
        }
    }

private:
    void markRect()
    {
        m_view->update(m_rect.toAlignedRect());
    }

    void setInside(bool inside)
    {
        m_inside = inside;
        if (!m_hooks)
            return;
        if (inside)
            m_hooks->mouseDidEnterRect(m_rect);
        else
            m_hooks->mouseDidExitRect(m_rect);
    }

    QPointer<QWidget> m_view;
    RectTrackingConvenience* m_hooks;
    QRectF m_rect;
    RectTrackingCompletion m_completion;
    bool m_inside = false;
};

} // namespace

bool trackMouseEventForRect(QWidget* view, const QMouseEvent& event, const QRectF& rect,
                            RectTrackingCompletion completion)
{
    if (!rect.contains(event.position())) {
        if (completion)
            completion(false);
        return false;
    }
    auto state = std::make_shared<RectTrackingState>(view, rect, std::move(completion));
    state->begin();
    trackMouseEventUsingBlock(view, event, [state](const QInputEvent* e, bool* stop) { state->handle(e, stop); });
    return true;
}
