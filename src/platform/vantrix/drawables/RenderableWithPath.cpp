#include "platform/vantrix/drawables/RenderableWithPath.h"

#include <cmath>

namespace platform {

RenderableWithPath::RenderableWithPath(const VXRenderable& base, BezierPath path, const QTransform& placement,
                                       quint64 checksumSalt)
    : m_base(base)
    , m_path(std::move(path))
    , m_placement(placement)
    , m_checksumSalt(checksumSalt)
{
}

double RenderableWithPath::angle() const
{
    return m_base.angle() + std::atan2(m_placement.m12(), m_placement.m11());
}

QSizeF RenderableWithPath::size() const
{
    const QSizeF base = m_base.size();
    return {base.width() * std::hypot(m_placement.m11(), m_placement.m12()),
            base.height() * std::hypot(m_placement.m21(), m_placement.m22())};
}

QPointF RenderableWithPath::location() const
{
    return m_placement.map(m_base.location());
}

QRectF RenderableWithPath::bounds() const
{
    return m_placement.mapRect(m_base.bounds()) | m_path.bounds();
}

} // namespace platform
