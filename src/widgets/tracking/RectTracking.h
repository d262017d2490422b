#pragma once

// Following a press on a rectangle of a view the way a button does: the view hears when
// the mouse enters and leaves the rectangle (to change its highlight), and the caller hears
// whether the mouse was released inside. Enter and exit always come in pairs.

#include <QRectF>
#include <functional>

class QMouseEvent;
class QWidget;

// Mixed into a view that highlights tracked rectangles; the hooks do nothing by default.
class RectTrackingConvenience {
public:
    virtual ~RectTrackingConvenience() = default;

    virtual void mouseDidEnterRect(const QRectF& rect) {}
    virtual void mouseDidExitRect(const QRectF& rect) {}
};

using RectTrackingCompletion = std::function<void(bool releasedInside)>;

// Answers false, after calling the completion with false, when the press lies outside
// `rect` (view coordinates); otherwise tracks the gesture and answers true. The
// completion runs once when the mouse is released, unless the view is deleted first.
bool trackMouseEventForRect(QWidget* view, const QMouseEvent& event, const QRectF& rect,
                            RectTrackingCompletion completion);
