#include "furniture/border/BorderStyleDrop.h"

#include "platform/foundation/ZQUndoManager.h"
#include "platform/graphics/GraphicsContext.h"

#include <QPainter>

namespace {

constexpr double kHighlightOutset = 3.0;
constexpr double kHighlightWidth = 3.0;

} // namespace

BorderStyleDrop::BorderStyleDrop(VXLayer& layer, StyleSetter setStyle) : m_layer(layer), m_setStyle(std::move(setStyle))
{
}

QStringList BorderStyleDrop::pasteboardTypesForOperation(int operation)
{
    return operation == kVXReadableTypesForDrop ? QStringList{kVXStylePasteboardType} : QStringList{};
}

int BorderStyleDrop::draggingEntered()
{
    setShowDragHighlight(true);
    return kVXDragOperationGeneric;
}

void BorderStyleDrop::draggingExited()
{
    setShowDragHighlight(false);
}

bool BorderStyleDrop::performDragOperation(const platform::DraggingInfo& info)
{
    setShowDragHighlight(false);
    const VXStylePtr style = VXStyle::styleFromPasteboard(info.pasteboard);
    if (!style)
        return false;
    m_setStyle(style);
    if (ZQUndoManager* undo = m_layer.undoManager())
        undo->setActionName(QObject::tr("Drag and Drop Border Style"));
    return true;
}

void BorderStyleDrop::setShowDragHighlight(bool show)
{
    m_showDragHighlight = show;
    m_layer.setNeedsDisplay();
}

void BorderStyleDrop::drawDragHighlight(const QRectF& interior) const
{
    platform::GraphicsContext* context = platform::GraphicsContext::current();
    if (!m_showDragHighlight || !context)
        return;
    QPainter& painter = *context->painter();
    painter.save();
    painter.setPen(QPen(m_layer.selectionColour(), kHighlightWidth));
    painter.setBrush(Qt::NoBrush);
    painter.drawRect(interior.adjusted(-kHighlightOutset, -kHighlightOutset, kHighlightOutset, kHighlightOutset));
    painter.restore();
}
