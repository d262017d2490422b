#include "platform/graphics/GraphicsContext.h"

#include "platform/foundation/ZQAssert.h"
#include "platform/foundation/ZQLog.h"

#include <QPainter>
#include <vector>

namespace platform {

namespace {

thread_local std::vector<GraphicsContext*> contextStack;

QPainter* requirePainter(QPainter* painter)
{
    ZQ_ASSERT(painter, QStringLiteral("a graphics context needs a painter"));
    return painter;
}

} // namespace

GraphicsContext* GraphicsContext::current()
{
    return contextStack.empty() ? nullptr : contextStack.back();
}

GraphicsContext::Scope::Scope(QPainter* painter, bool flipped, bool forScreen)
    : m_context(new GraphicsContext(requirePainter(painter), flipped, forScreen))
{
    contextStack.push_back(m_context);
}

GraphicsContext::Scope::~Scope()
{
    // Scopes nest, so this context is the innermost one.
    contextStack.pop_back();
    delete m_context;
}

GraphicsContext& GraphicsContext::Scope::context()
{
    return *m_context;
}

bool GraphicsContext::isDrawingToScreen() const
{
    return m_forScreen || (m_painter->device() && m_painter->device()->devType() == QInternal::Widget);
}

GraphicsContext::GraphicsContext(QPainter* painter, bool flipped, bool forScreen)
    : m_painter(painter)
    , m_flipped(flipped)
    , m_forScreen(forScreen)
{
    m_painter->save();
    m_painter->setBrush(Qt::black);
    m_painter->setPen(Qt::black);
}

GraphicsContext::~GraphicsContext()
{
    if (m_savedStates > 0)
        ZQLog(QStringLiteral("graphics context popped with %1 unrestored states").arg(m_savedStates));
    for (; m_savedStates > 0; --m_savedStates)
        m_painter->restore();
    m_painter->restore();
}

void GraphicsContext::saveGraphicsState()
{
    m_painter->save();
    ++m_savedStates;
}

void GraphicsContext::restoreGraphicsState()
{
    if (m_savedStates == 0) {
        ZQLog(QStringLiteral("restoreGraphicsState without a matching save ignored"));
        return;
    }
    m_painter->restore();
    --m_savedStates;
}

QColor GraphicsContext::fillColour() const
{
    return m_painter->brush().color();
}

void GraphicsContext::setFillColour(const QColor& colour)
{
    m_painter->setBrush(colour);
}

QColor GraphicsContext::strokeColour() const
{
    return m_painter->pen().color();
}

void GraphicsContext::setStrokeColour(const QColor& colour)
{
    QPen pen = m_painter->pen();
    pen.setColor(colour);
    m_painter->setPen(pen);
}

void DrawCrossInRect(const QRectF& rect, double lineWidth)
{
    GraphicsContext* context = GraphicsContext::current();
    if (!context)
        return;
    QPainter* painter = context->painter();
    painter->save();
    painter->setPen(QPen(context->strokeColour(), lineWidth));
    painter->drawLine(rect.topLeft(), rect.bottomRight());
    painter->drawLine(rect.topRight(), rect.bottomLeft());
    painter->restore();
}

} // namespace platform
