#include "ShapefileReading.h"

#include "geodata/ZQESRIFile.h"

namespace fuzz {

namespace {

// Looks at every path and attribute it is given, and makes nothing.
class InspectingFactory : public ZQShapefileObjectFactory {
public:
    std::shared_ptr<ZQObject> objectForShapeWithPathAttributes(qint32, const QPainterPath& path,
                                                               const geodata::AttributeDictionary* attributes) override
    {
        path.boundingRect();
        if (attributes) {
            for (const auto& [key, value] : *attributes)
                value.value();
        }
        return nullptr;
    }
};

volatile double sink;

} // namespace

void readWholeSet(ZQESRIFile& file)
{
    file.bounds();
    file.countOfObjects();
    file.setObjectFactory(std::make_shared<InspectingFactory>());
    file.parse();
    double sum = 0;
    for (const geodata::ShapeRecord& record : file.records()) {
        if (const auto geometry = geodata::ShapeGeometry::decode(record)) {
            for (quint32 part = 0; part < geometry->partCount(); ++part)
                sum += geometry->partStart(part);
            for (quint32 point = 0; point < geometry->pointCount(); ++point)
                sum += geometry->point(point).x();
        }
    }
    sink = sum;
    // The rows an import asks for, and some past them (the .dbf may declare more).
    const qint64 rows = qint64(file.countOfObjects()) + 16;
    for (qint64 row = -1; row <= rows; ++row)
        file.metadataForRecord(row);
    file.projectionData();
}

} // namespace fuzz
