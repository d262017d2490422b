#include "platform/vantrix/model/VXLayerMouseEvent.h"

#include "platform/vantrix/view/VXDrawingView.h"

#include <QMouseEvent>

VXLayerMouseEvent VXLayerMouseEvent::fromEventInView(const QMouseEvent& event, const VXDrawingView& view)
{
    return {view.convertPointToDrawing(event.position()), event.type() == QEvent::MouseButtonDblClick ? 2 : 1,
            platform::modifierFlagsFromQt(event.modifiers())};
}
