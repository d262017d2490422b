#include "furniture/edges/GridEdgeDecoration.h"

#include "platform/foundation/KeyedArchiver.h"
#include "platform/foundation/KeyedUnarchiver.h"
#include "platform/foundation/NamedException.h"

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
