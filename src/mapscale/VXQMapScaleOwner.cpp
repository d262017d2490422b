#include "mapscale/VXQMapScaleOwner.h"

#include "mapscale/VXQMapScale.h"
#include "platform/foundation/ZQLog.h"

std::shared_ptr<VXQMapScale> mapScaleOfDrawingOwner(const QObject* drawingOwner)
{
    const auto* owner = dynamic_cast<const VXQMapScaleOwner*>(drawingOwner);
    return owner ? owner->mapScale() : nullptr;
}

void setMapScaleOfDrawingOwner(QObject* drawingOwner, std::shared_ptr<VXQMapScale> mapScale)
{
    if (auto* owner = dynamic_cast<VXQMapScaleOwner*>(drawingOwner))
        owner->setMapScale(std::move(mapScale));
    else
        ZQLog(QStringLiteral("the drawing has no owner that keeps a map scale; map scale not set"));
}
