#pragma once

// What owns a drawing's map scale: the map document. The drawing framework lies below
// this library, so a drawing's mapScale and setMapScale are the two functions at the end,
// which forward to the drawing's owner when it is a map-scale owner.

#include <memory>

class QObject;
class VXQMapScale;

class VXQMapScaleOwner {
public:
    virtual ~VXQMapScaleOwner() = default;

    virtual std::shared_ptr<VXQMapScale> mapScale() const = 0;
    virtual void setMapScale(std::shared_ptr<VXQMapScale> mapScale) = 0;
};

// Null when the drawing has no owner or its owner keeps no map scale.
std::shared_ptr<VXQMapScale> mapScaleOfDrawingOwner(const QObject* drawingOwner);
// Does nothing (but log) when the drawing has no owner that keeps a map scale.
void setMapScaleOfDrawingOwner(QObject* drawingOwner, std::shared_ptr<VXQMapScale> mapScale);
