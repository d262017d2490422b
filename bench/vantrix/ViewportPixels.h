#pragma once

// What a drawing view's viewport shows on screen, and how much of it differs from another
// picture of it: how the view benchmarks find areas left stale.

#include "platform/vantrix/view/VXDrawingView.h"

#include <QImage>
#include <QScreen>

namespace bench {

inline QImage viewportOnScreen(VXDrawingView& view)
{
    QWidget* port = view.viewport();
    return port->screen()->grabWindow(view.winId(), 0, 0, port->width(), port->height()).toImage();
}

// Pixels where two pictures of the viewport differ; all of them when the sizes differ.
inline int differingPixels(VXDrawingView& view, const QImage& shown, const QImage& fresh)
{
    if (shown.size() != fresh.size())
        return view.viewport()->width() * view.viewport()->height();
    int differing = 0;
    for (int y = 0; y < shown.height(); ++y)
        for (int x = 0; x < shown.width(); ++x)
            differing += shown.pixel(x, y) != fresh.pixel(x, y);
    return differing;
}

} // namespace bench
