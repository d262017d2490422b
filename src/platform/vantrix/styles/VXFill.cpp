#include "platform/vantrix/styles/VXFill.h"

#include "platform/graphics/GraphicsContext.h"
#include "platform/graphics/RasterFill.h"
#include "platform/vantrix/drawables/VXRenderable.h"

#include <QPainter>

VXFill::VXFill() = default;

std::shared_ptr<VXFill> VXFill::fillWithColour(const QColor& colour)
{
    auto fill = std::make_shared<VXFill>();
    fill->setColour(colour);
    return fill;
}

QString VXFill::displayName() const
{
    return tr("Fill");
}

void VXFill::setColour(const QColor& colour)
{
    setValueForKeyWithUndo(m_colour, colour, "colour");
}

void VXFill::setShadow(const VXShadowPtr& shadow)
{
    setValueForKeyWithUndo(m_shadow, shadow, "shadow");
}

void VXFill::render(const VXRenderable& object) const
{
    platform::GraphicsContext* context = platform::GraphicsContext::current();
    if (!context)
        return;
    const QPainterPath path = object.renderingPath().painterPathWithWindingRule();
    if (m_shadow)
        m_shadow->drawShadowForPath(path, m_colour);
    if (m_colour.isValid())
        platform::fillPath(*context->painter(), path, m_colour);
}

QSizeF VXFill::extraSpaceNeeded() const
{
    return m_shadow ? m_shadow->extraSpace() : QSizeF(0, 0);
}

bool VXFill::isValid() const
{
    return (m_colour.isValid() && m_colour.alpha() > 0) || m_shadow;
}
