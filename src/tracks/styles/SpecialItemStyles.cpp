#include "tracks/styles/SpecialItemStyles.h"

#include "tracks/rasterizers/VXQBridgeRasterizer.h"
#include "tracks/rasterizers/VXQCuttingAndEmbankmentRasterizer.h"
#include "tracks/rasterizers/VXQTunnelRasterizer.h"

namespace {

VXStylePtr styleWithRasterizer(const QString& name, VXRasterizerPtr rasterizer)
{
    auto style = std::make_shared<VXStyle>();
    style->setName(name);
    style->addRenderer(std::move(rasterizer));
    return style;
}

VXRasterizerPtr cuttingOfKind(int kind)
{
    auto cutting = std::make_shared<VXQCuttingAndEmbankmentRasterizer>();
    cutting->setKind(kind);
    return cutting;
}

} // namespace

VXStylePtr styleForSpecialItem(ZQSpecialItemKind kind)
{
    switch (kind) {
    case ZQSpecialItemKind::Flyover:
        return styleWithRasterizer(QObject::tr("Flyover"), std::make_shared<VXQBridgeRasterizer>());
    case ZQSpecialItemKind::Bridge:
        return styleWithRasterizer(QObject::tr("Bridge"), std::make_shared<VXQBridgeRasterizer>());
    case ZQSpecialItemKind::Tunnel:
        return styleWithRasterizer(QObject::tr("Tunnel"), std::make_shared<VXQTunnelRasterizer>());
    case ZQSpecialItemKind::Cutting:
        return styleWithRasterizer(QObject::tr("Cutting"), cuttingOfKind(VXQCuttingAndEmbankmentRasterizer::kCutting));
    case ZQSpecialItemKind::Embankment:
        return styleWithRasterizer(QObject::tr("Embankment"),
                                   cuttingOfKind(VXQCuttingAndEmbankmentRasterizer::kEmbankment));
    }
    return nullptr;
}
