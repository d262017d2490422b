#include "platform/vantrix/settings/VXDrawingPreferences.h"

#include "platform/foundation/NotificationCenter.h"
#include "platform/foundation/ZQLog.h"
#include "platform/vantrix/model/ObjectStorage.h"
#include "platform/vantrix/model/VXBSPDirectObjectStorage.h"
#include "platform/vantrix/styles/VXStyle.h"
#include "platform/vantrix/view/VXDrawingView.h"

#include <algorithm>
#include <cmath>

namespace {

VXDrawingPreferences& stored()
{
    static VXDrawingPreferences preferences;
    return preferences;
}

bool usableSize(QSizeF size)
{
    return std::isfinite(size.width()) && std::isfinite(size.height()) && size.width() > 0 && size.height() > 0;
}

// `next` with the values no class could use replaced by those of `now`, or brought into range.
VXDrawingPreferences acceptable(VXDrawingPreferences next, const VXDrawingPreferences& now)
{
    if (!std::isfinite(next.freehandEpsilon) || next.freehandEpsilon < 0)
        next.freehandEpsilon = now.freehandEpsilon;
    if (!usableSize(next.controlKnobSize))
        next.controlKnobSize = now.controlKnobSize;
    if (!next.layerStorageClass || !next.layerStorageClass->inherits(&platform::ObjectStorage::staticMetaObject)) {
        if (next.layerStorageClass != now.layerStorageClass)
            ZQLog(QStringLiteral("VXDrawingPreferences: not an object storage class; the storage class is unchanged"));
        next.layerStorageClass = now.layerStorageClass;
    }
    next.levelsOfUndo = std::max(0, next.levelsOfUndo);
    next.shadowScaleLimit = std::isnan(next.shadowScaleLimit) || next.shadowScaleLimit <= 0
        ? 0.0
        : std::min(next.shadowScaleLimit, VXDrawingPreferences::kMaximumShadowScaleLimit);
    return next;
}

bool changesDrawing(const VXDrawingPreferences& a, const VXDrawingPreferences& b)
{
    return a.shouldAntialias != b.shouldAntialias || a.willDrawShadows != b.willDrawShadows
        || a.shadowScaleLimit != b.shadowScaleLimit || a.controlKnobSize != b.controlKnobSize
        || a.showsDirectControls != b.showsDirectControls;
}

} // namespace

const VXDrawingPreferences& VXDrawingPreferences::current()
{
    return stored();
}

void VXDrawingPreferences::setCurrent(const VXDrawingPreferences& preferences)
{
    const VXDrawingPreferences before = stored();
    stored() = acceptable(preferences, before);
    if (stored().styleSharingEnabled != before.styleSharingEnabled)
        platform::NotificationCenter::defaultCenter().postNotificationName(kVXStyleSharingEnabledChangeNotification,
                                                                           nullptr);
    if (changesDrawing(stored(), before))
        VXDrawingView::discardRenderingsOfAllViews();
}

const QMetaObject* VXDrawingPreferences::indexedLayerStorage()
{
    return &VXBSPDirectObjectStorage::staticMetaObject;
}
