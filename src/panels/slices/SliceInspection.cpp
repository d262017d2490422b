#include "panels/slices/SliceInspection.h"

#include "panels/slices/VLTMSlicesLayer.h"
#include "platform/foundation/MetaInvoke.h"

namespace {

// The export sheet's source type for slices.
constexpr int kSlicesSource = 3;

} // namespace

const QMetaObject* SliceInspection::sliceClass() const
{
    return &VXQSlice::staticMetaObject;
}

QList<ZQObjectPtr> SliceInspection::selectedSlicesOfLayer(VXLayer* slicesLayer) const
{
    QList<ZQObjectPtr> slices;
    if (const auto* layer = qobject_cast<const VLTMSlicesLayer*>(slicesLayer)) {
        for (const VXQSlicePtr& slice : layer->selectedSlices())
            slices.append(slice);
    }
    return slices;
}

VXLayer* SliceInspection::slicesLayerOfSlice(const ZQObject* slice) const
{
    const auto* ownSlice = qobject_cast<const VXQSlice*>(slice);
    return ownSlice ? ownSlice->slicesLayer() : nullptr;
}

void SliceInspection::exportSlicesOfDrawing(VXDrawing* drawing)
{
    if (QObject* document = drawing ? drawing->owner() : nullptr)
        platform::invokeSelector(document, "showExportDialogWithPreferredSource", kSlicesSource);
}
