#pragma once

// The drop target behind the furniture layers that take a style dragged onto them as their
// border style (the index grid, the border layer): which drags they accept, the highlight
// while one is over them, and the drop itself as one named undo step.

#include "platform/vantrix/model/VXLayer.h"

#include <functional>

class BorderStyleDrop {
public:
    using StyleSetter = std::function<void(const VXStylePtr& style)>;

    // `layer` owns this object; `setStyle` makes a dropped style the border style.
    BorderStyleDrop(VXLayer& layer, StyleSetter setStyle);

    // Styles, for drops only.
    static QStringList pasteboardTypesForOperation(int operation);
    int draggingEntered();
    void draggingExited();
    // Sets the dragged style, naming the undo step "Drag and Drop Border Style"; a drag
    // without a usable style is refused. The highlight goes either way.
    bool performDragOperation(const platform::DraggingInfo& info);

    bool showDragHighlight() const { return m_showDragHighlight; }
    // While a drag is over the layer: `interior` grown by 3 points, framed 3 points wide in
    // the layer's selection colour.
    void drawDragHighlight(const QRectF& interior) const;

private:
    void setShowDragHighlight(bool show);

    VXLayer& m_layer;
    StyleSetter m_setStyle;
    bool m_showDragHighlight = false;
};
