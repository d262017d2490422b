#pragma once

// The device pixels that selected objects smaller than a pixel have highlighted during one
// paint of a view. Zoomed out on a large selection, thousands of such objects fall on each
// pixel and would each draw the same knobs there: the first one draws, the others are
// skipped. Objects a pixel or larger are always drawn, so what a view shows at usual zooms
// does not change.
//
// A HighlightPixels lives for one paint and is the current one while it lives; without one
// (images, prints, exports) every object draws its highlights.

#include <QColor>
#include <QRectF>
#include <QSize>
#include <vector>

class QPainter;

namespace platform {

struct KnobBox;

class HighlightPixels {
public:
    // For one paint with `painter`.
    explicit HighlightPixels(const QPainter& painter);
    ~HighlightPixels();
    HighlightPixels(const HighlightPixels&) = delete;
    HighlightPixels& operator=(const HighlightPixels&) = delete;

    static HighlightPixels* current();

    // Whether highlights in `colour` on an object's knob box, drawn with `painter`, are to be
    // drawn: false when the box is unturned and smaller than a device pixel and an earlier
    // one of that colour already drew on its pixel.
    bool claimKnobBox(const QPainter& painter, const KnobBox& box, const QColor& colour);

private:
    bool claim(const QPainter& painter, const QRectF& bounds, const QColor& colour);

    QSize m_size;
    qreal m_ratio; // widgets work it out anew each time they are asked
    QRgb m_colour = 0;
    std::vector<bool> m_drawn;
    HighlightPixels* m_previous;
};

} // namespace platform
