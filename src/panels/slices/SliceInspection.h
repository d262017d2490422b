#pragma once

// The export slices as the Geometry tab and its slice pane reach them.

#include "inspectors/geometry/SliceServices.h"

class SliceInspection : public VLTMSliceServices {
public:
    const QMetaObject* sliceClass() const override;
    QList<ZQObjectPtr> selectedSlicesOfLayer(VXLayer* slicesLayer) const override;
    VXLayer* slicesLayerOfSlice(const ZQObject* slice) const override;
    // Asks the drawing's document for its export sheet with slices as the source, when it has one.
    void exportSlicesOfDrawing(VXDrawing* drawing) override;
};
