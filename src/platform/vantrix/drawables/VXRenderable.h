#pragma once

// What a style renders: anything with a rendering path and placement. Styles and their
// rasterizers draw the object they are given into GraphicsContext::current(); drawables
// know their geometry, not how they are painted.

#include "platform/graphics/BezierPath.h"

#include <QPointF>
#include <QRectF>
#include <QSizeF>
#include <QTransform>
#include <QVariant>

class VXRenderable {
public:
    virtual ~VXRenderable() = default;

    // The outline to fill or stroke, in drawing coordinates (y down), container transform applied.
    virtual platform::BezierPath renderingPath() const = 0;
    // Radians, clockwise on screen.
    virtual double angle() const = 0;
    virtual QSizeF size() const = 0;
    virtual QPointF location() const = 0;
    // The area the object covers with its style, in drawing coordinates.
    virtual QRectF bounds() const = 0;
    // Transform from the object's container (a group) to the drawing; identity at top level.
    virtual QTransform containerTransform() const = 0;
    // A value that changes whenever the geometry changes, so rasterizers can cache per object.
    virtual quint64 geometryChecksum() const = 0;
    // True while the object is being dragged or the view asks for speed over quality.
    virtual bool useLowQualityDrawing() const { return false; }
    // Attribute data for text substitution ("%%key"); null when absent.
    virtual QVariant metadataObjectForKey(const QString& key) const { return {}; }
};
