#pragma once

// How one tab's button looks in the strip: its background by state, with rounded top corners
// and no bottom edge, and the icon and title laid out inside it.

#include <QRectF>

class QPainter;
class VLTMTabContentView;

namespace tabbutton {

struct Layout {
    QRectF iconRect;  // empty without a visible icon
    QRectF titleRect; // empty without a visible title
};

Layout layoutOfTab(const VLTMTabContentView& tab, const QRectF& buttonRect);

void drawTabBackground(QPainter& painter, const QRectF& rect, int state);
// Background, icon (the selected one for the current tab) and title.
void drawTab(QPainter& painter, const VLTMTabContentView& tab, const QRectF& rect);

} // namespace tabbutton
