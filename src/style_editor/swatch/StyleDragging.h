#pragma once

// Starting the drag of a style or a symbol master from a mouse event in any view: the object
// writes itself to the drag's data (its library pasteboard types) and its image, centred on
// the pointer, is the drag image.
//
// The drag's source is the one given or, without one, the view when it is a
// StyleDraggingSource, else none (the application object stands in for "none"). The desktop's
// slide-back of refused drags is the platform's own behaviour here; the flag is accepted for
// callers that name it.

#include "platform/foundation/ZQObject.h"

#include <Qt>

class QDrag;
class QMouseEvent;
class QWidget;

// A view that is a drag source says which operations its drags offer.
class StyleDraggingSource {
public:
    virtual ~StyleDraggingSource() = default;
    virtual Qt::DropActions draggingSourceOperationMaskForLocal(bool local) const = 0;
};

namespace StyleDragging {

// The drag, ready to run; null when the object is no style or symbol master.
QDrag* makeDragOfStyleOrSymbol(QWidget* view, const ZQObjectPtr& object, const QMouseEvent* event,
                               QObject* source = nullptr);
// Runs the drag to its end and answers the operation the destination took.
Qt::DropAction dragStyleOrSymbolEventSourceSlideBack(QWidget* view, const ZQObjectPtr& object, const QMouseEvent* event,
                                                     QObject* source, bool slideBack);
inline Qt::DropAction dragStyleOrSymbolEvent(QWidget* view, const ZQObjectPtr& object, const QMouseEvent* event)
{
    return dragStyleOrSymbolEventSourceSlideBack(view, object, event, nullptr, true);
}
inline Qt::DropAction dragStyleEvent(QWidget* view, const ZQObjectPtr& style, const QMouseEvent* event)
{
    return dragStyleOrSymbolEvent(view, style, event);
}

} // namespace StyleDragging
