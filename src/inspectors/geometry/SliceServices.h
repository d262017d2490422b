#pragma once

// The drawing's export slices, as the Geometry tab and the slice pane need them. The slices
// and their layer belong to a library built after this one, which installs the services and
// registers the slice pane under its slice class's name; without them slices are never shown.

#include "platform/foundation/ZQObject.h"

#include <memory>

class VXDrawing;
class VXLayer;

class VLTMSliceServices {
public:
    virtual ~VLTMSliceServices() = default;

    // The class of slices (what the slice pane edits).
    virtual const QMetaObject* sliceClass() const = 0;
    // The selected slices of a slices layer, in the layer's order.
    virtual QList<ZQObjectPtr> selectedSlicesOfLayer(VXLayer* slicesLayer) const = 0;
    // The layer holding the slice; null when it is in none.
    virtual VXLayer* slicesLayerOfSlice(const ZQObject* slice) const = 0;
    // Opens the export sheet of the drawing's document with the slices as its source.
    virtual void exportSlicesOfDrawing(VXDrawing* drawing) = 0;

    static void install(std::shared_ptr<VLTMSliceServices> services);
    // Null until a library installs them.
    static VLTMSliceServices* installed();
};
