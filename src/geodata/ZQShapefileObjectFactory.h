#pragma once

// Turns one shapefile record, converted into a path in drawing coordinates and paired with
// its attributes, into a drawable. Called on the parsing thread; one factory per import.

#include "geodata/AttributeValue.h"

#include <QPainterPath>
#include <memory>

class ZQObject;

class ZQShapefileObjectFactory {
public:
    virtual ~ZQShapefileObjectFactory() = default;

    // The drawable for a record of `shapeType`, or null for shape types it does not make.
    // May throw; the reader then counts the record as not loaded and goes on.
    virtual std::shared_ptr<ZQObject> objectForShapeWithPathAttributes(qint32 shapeType, const QPainterPath& path,
                                                                       const geodata::AttributeDictionary* attributes) = 0;
};
