#pragma once

// Where a component may draw relative to the object's path. The adornment panes write 2 for
// their "clip to path" checkbox, so the inside is 2.

class QPainter;
class QPainterPath;

enum VXClipping { kVXNoClipping = 0, kVXClipOutsidePath = 1, kVXClipInsidePath = 2 };

namespace platform {

bool isClippingValue(int clipping);

// Narrows the painter's clip to the inside or the outside of `area` (filled shape, drawing
// coordinates); kVXNoClipping leaves it as it is. Callers save and restore the painter.
void clipPainterToPath(QPainter& painter, const QPainterPath& area, int clipping);

} // namespace platform
