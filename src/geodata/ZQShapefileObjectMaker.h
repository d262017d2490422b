#pragma once

// What a shapefile reader asks of whoever turns its records into drawables: one record,
// converted into a path in drawing coordinates and paired with its attributes, at a time.
// Geodata does not know the drawing framework; the application implements this. Called on
// the parsing thread; one instance per import.

#include "geodata/AttributeValue.h"

#include <QPainterPath>
#include <memory>

class ZQObject;

class ZQShapefileObjectMaker {
public:
    virtual ~ZQShapefileObjectMaker() = default;

    // The drawable for a record of `shapeType`, or null for shape types it does not make.
    // May throw; the reader then counts the record as not loaded and goes on.
    virtual std::shared_ptr<ZQObject> objectForShapeWithPathAttributes(qint32 shapeType, const QPainterPath& path,
                                                                       const geodata::AttributeDictionary* attributes) = 0;
};
