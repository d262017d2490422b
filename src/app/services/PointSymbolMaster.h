#pragma once

// What a shapefile import asks of the symbol master its points are placed with. The symbols
// library's master implements it and installs the master for imported points with
// ZQShapefileObjectFactory::setDefaultSymbolMasterProvider; the core stays free of symbols.

#include <QPointF>
#include <memory>

class VXDrawableObject;

class PointSymbolMaster {
public:
    virtual ~PointSymbolMaster() = default;

    // A new placed symbol of this master at `location`. Called on an import's parsing
    // thread, so it must not post notifications or touch what the main thread is using.
    virtual std::shared_ptr<VXDrawableObject> symbolWithLocation(QPointF location) = 0;
};
