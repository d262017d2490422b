#include "furniture/edges/GridEdgeDecoration.h"

#include "platform/foundation/KeyedArchiver.h"
#include "platform/foundation/KeyedUnarchiver.h"
#include "platform/foundation/NamedException.h"

#include <cmath>

GridEdgeDecoration::GridEdgeDecoration() = default;

GridEdgeDecoration::~GridEdgeDecoration() = default;

void GridEdgeDecoration::setOwner(QObject* owner)
{
    auto* info = dynamic_cast<VXQGridInfoProtocol*>(owner);
    if (!info)
        throw platform::NamedException(QStringLiteral("NSInternalInconsistencyException"),
                                       QStringLiteral("owner object must implement the VXQGridInfo protocol"));
    m_owner = owner;
    m_gridInfo = info;
}

VXQGridInfoProtocol* GridEdgeDecoration::gridInfo() const
{
    return m_owner ? m_gridInfo : nullptr;
}

void GridEdgeDecoration::setNeedsDisplay() const
{
    if (const VXQGridInfoProtocol* info = gridInfo()) {
        for (int edge : {kVXQGridEdgeLeft, kVXQGridEdgeRight, kVXQGridEdgeTop, kVXQGridEdgeBottom})
            info->setNeedsDisplayInRect(boundsForEdge(edge));
    }
}

QRectF GridEdgeDecoration::ownerBorderRect() const
{
    const VXQGridInfoProtocol* info = gridInfo();
    return info ? info->borderRect() : QRectF();
}

std::optional<double> GridEdgeDecoration::ownerSpanLength() const
{
    const VXQGridInfoProtocol* info = gridInfo();
    const double span = info ? info->spanLength() : 0;
    return span > 0 && std::isfinite(span) ? std::optional<double>(span) : std::nullopt;
}

void GridEdgeDecoration::encodeOwner(platform::KeyedArchiver& coder, const QString& key) const
{
    coder.encodeConditionalObject(qobject_cast<ZQObject*>(owner()), key);
}

void GridEdgeDecoration::decodeOwner(platform::KeyedUnarchiver& coder, const QString& key)
{
    const ZQObjectPtr owner = coder.decodeObject(key);
    if (dynamic_cast<VXQGridInfoProtocol*>(owner.get()))
        setOwner(owner.get());
}
