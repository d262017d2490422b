#pragma once

// How a placed symbol's block labels sit round it and what a new label starts as. The symbol
// answers the label container's questions through these; its labels themselves live in its
// TextLabelCollection.

#include "platform/vantrix/drawables/VXDrawableObject.h"
#include "platform/vantrix/text/VXTextAdornment.h"

#include <QPointF>
#include <QSizeF>

class VXQTextLabel;

class SymbolLabels {
public:
    // How far from the symbol's location a label sits for a symbol of `size`: north and south
    // half the height + 3; west and east half the width + 4; others half the diagonal + 1.
    static double offsetRadius(QSizeF size, const VXQTextLabel& label);
    // Within 0.3 of the offset radius of the reference point a dragged label sits on it;
    // farther out it takes the compass placement of its direction. There is no visual centre
    // to snap to.
    static int placementForDraggedLabel(QPointF referencePoint, double offsetRadius, QPointF point);
    // The last text adornment of `style`; else of the first member style of `groupGraphic` (a
    // group master's graphic, or null) that has one; else one showing the default label text.
    static VXTextAdornmentPtr templateAdornment(const VXStylePtr& style, const VXDrawableObjectPtr& groupGraphic);
};
