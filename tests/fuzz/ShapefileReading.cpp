#include "ShapefileReading.h"

#include "geodata/ZQESRIFile.h"

#include <limits>

namespace fuzz {

namespace {

// Looks at every path and attribute it is given, and makes nothing.
class InspectingFactory : public ZQShapefileObjectMaker {
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
    file.headerProblem();
    file.setObjectFactory(std::make_shared<InspectingFactory>());
    file.parse();
    // Fitted into a page as an import fits it, leaving out what falls outside, and told.
    file.setDocumentRect(QRectF(36, 36, 523, 770));
    file.setDiscardOutOfViewObjects(true);
    file.calculateTransformIfNeeded();
    file.parseUsingTransform(*file.usedTransform());
    file.leftOut().description();
    // Every record's geometry whatever its type, wherever a header lets a reader walk them.
    if (file.checkHeader()) {
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
    }
    // The import has read the rows its records name; these are the rows around them.
    const qint64 count = qint64(file.countOfObjects());
    for (qint64 row : {qint64(-1), qint64(0), count - 1, count, count + 1, std::numeric_limits<qint64>::max()})
        file.metadataForRecord(row);
    file.projectionData();
}

} // namespace fuzz
