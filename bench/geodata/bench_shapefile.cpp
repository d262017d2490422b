// Shapefile reading against shapelib.
//
// Without arguments: writes a polyline shapefile of 500,000 records with a six-field table
// (through shapelib) and reads every record and attribute with our reader and with
// shapelib, side by side. With shapefile paths as arguments: reads each file with both and
// prints one line per file with records, shape type, vertices, fields and OK or the first
// difference.

#include "support/BenchSupport.h"
#include "support/SampleShapefile.h"

#include "geodata/ZQESRIFile.h"

#include <QCoreApplication>
#include <QFileInfo>
#include <QTemporaryDir>
#include <cmath>
#include <cstring>
#include <shapefil.h>

namespace {

constexpr int kRecords = 500'000;

QString dbfPathOf(const QString& shpPath)
{
    const QFileInfo info(shpPath);
    return info.path() + '/' + info.completeBaseName() + ".dbf";
}

// What a full read saw; both readers must agree on it.
struct ReadTotals {
    qint64 records = 0;
    qint64 vertices = 0;
    qint64 attributes = 0;
};

ReadTotals readOurs(const QString& path)
{
    ReadTotals totals;
    ZQESRIFile file;
    file.initWithFile(path);
    for (const geodata::ShapeRecord& record : file.records()) {
        ++totals.records;
        if (const auto shape = file.makePathForShapeEsriRecord(record.shapeType().value_or(-1), record))
            totals.vertices += shape->elementCount();
        if (const auto attributes = file.metadataForRecord(record.number - 1))
            totals.attributes += attributes->size();
    }
    return totals;
}

ReadTotals readShapelib(const QString& path)
{
    ReadTotals totals;
    SHPHandle shp = SHPOpen(qPrintable(path), "rb");
    DBFHandle dbf = DBFOpen(qPrintable(dbfPathOf(path)), "rb");
    SHPSetFastModeReadObject(shp, 1);
    int count = 0, type = 0;
    SHPGetInfo(shp, &count, &type, nullptr, nullptr);
    const int fields = DBFGetFieldCount(dbf);
    std::vector<char> types(static_cast<size_t>(fields));
    std::vector<int> decimals(static_cast<size_t>(fields));
    for (int f = 0; f < fields; ++f) {
        int width = 0;
        DBFGetFieldInfo(dbf, f, nullptr, &width, &decimals[size_t(f)]);
        types[size_t(f)] = DBFGetNativeFieldType(dbf, f);
    }
    double sink = 0;
    for (int i = 0; i < count; ++i) {
        SHPObject* object = SHPReadObject(shp, i);
        ++totals.records;
        totals.vertices += object->nVertices;
        SHPDestroyObject(object);
        for (int f = 0; f < fields; ++f) {
            switch (types[size_t(f)]) {
            case 'N':
            case 'F':
                sink += decimals[size_t(f)] == 0 ? DBFReadIntegerAttribute(dbf, i, f) : DBFReadDoubleAttribute(dbf, i, f);
                break;
            case 'L':
                sink += *DBFReadLogicalAttribute(dbf, i, f);
                break;
            default:
                sink += std::strlen(DBFReadStringAttribute(dbf, i, f));
            }
            ++totals.attributes;
        }
    }
    bench::keep(sink);
    SHPClose(shp);
    DBFClose(dbf);
    return totals;
}

// --- Comparison of one file --------------------------------------------------------------

QString firstAttributeDifference(ZQESRIFile& ours, DBFHandle dbf, int row)
{
    const auto attributes = ours.metadataForRecord(row);
    if (DBFIsRecordDeleted(dbf, row) || DBFGetFieldCount(dbf) == 0)
        return attributes ? QStringLiteral("row %1 has attributes, but shapelib finds none").arg(row) : QString();
    if (!attributes)
        return QStringLiteral("row %1 has no attributes").arg(row);
    for (int f = 0; f < DBFGetFieldCount(dbf); ++f) {
        char name[XBASE_FLDNAME_LEN_READ + 1] = {};
        DBFGetFieldInfo(dbf, f, name, nullptr, nullptr);
        const QString key = QString::fromLatin1(name).toLower();
        const QVariant value = attributes->value(key).value();
        const char* text = DBFReadStringAttribute(dbf, row, f);
        bool same = true;
        switch (DBFGetNativeFieldType(dbf, f)) {
        case 'C':
            same = value.toString() == QString::fromLatin1(text).trimmed();
            break;
        case 'N':
        case 'F': {
            const double theirs = DBFReadDoubleAttribute(dbf, row, f);
            same = std::abs(value.toDouble() - theirs) <= std::abs(theirs) * 1.2e-7;
            break;
        }
        case 'L':
            same = value.toBool() == (std::strchr("TtYy1", *text) && *text);
            break;
        case 'D':
            same = value.toDate().toString("yyyyMMdd") == QString::fromLatin1(text).trimmed();
            break;
        default:
            continue;
        }
        if (!same)
            return QStringLiteral("row %1 field %2: ours %3, shapelib \"%4\"").arg(row).arg(name, value.toString(), text);
    }
    return {};
}

void compareFile(const QString& path)
{
    ZQESRIFile ours;
    ours.initWithFile(path);
    SHPHandle shp = SHPOpen(qPrintable(path), "rb");
    DBFHandle dbf = DBFOpen(qPrintable(dbfPathOf(path)), "rb");
    if (!shp) {
        std::printf("%s: shapelib cannot open it\n", qPrintable(path));
        return;
    }
    int count = 0, type = 0;
    SHPGetInfo(shp, &count, &type, nullptr, nullptr);

    QString difference;
    qint64 vertices = 0;
    if (qint64(ours.countOfObjects()) != count)
        difference = QStringLiteral("records: ours %1, shapelib %2").arg(ours.countOfObjects()).arg(count);
    int index = 0;
    for (const geodata::ShapeRecord& record : ours.records()) {
        if (!difference.isEmpty() || index >= count)
            break;
        SHPObject* object = SHPReadObject(shp, index);
        const auto geometry = geodata::ShapeGeometry::decode(record);
        if (!object || !geometry) {
            difference = QStringLiteral("record %1 is unreadable").arg(index);
        } else if (geometry->shapeType() != object->nSHPType) {
            difference = QStringLiteral("record %1 type: ours %2, shapelib %3").arg(index).arg(geometry->shapeType()).arg(object->nSHPType);
        } else if (qint64(geometry->pointCount()) != object->nVertices) {
            difference = QStringLiteral("record %1 vertices: ours %2, shapelib %3").arg(index).arg(geometry->pointCount()).arg(object->nVertices);
        } else {
            for (int v = 0; v < object->nVertices && difference.isEmpty(); ++v) {
                if (geometry->point(quint32(v)) != QPointF(object->padfX[v], object->padfY[v]))
                    difference = QStringLiteral("record %1 vertex %2 differs").arg(index).arg(v);
            }
            vertices += object->nVertices;
        }
        SHPDestroyObject(object);
        if (difference.isEmpty() && dbf)
            difference = firstAttributeDifference(ours, dbf, index);
        ++index;
    }
    const int fields = dbf ? DBFGetFieldCount(dbf) : 0;
    if (difference.isEmpty() && ours.databaseFieldNames().size() != fields)
        difference = QStringLiteral("fields: ours %1, shapelib %2").arg(ours.databaseFieldNames().size()).arg(fields);
    std::printf("%s: records=%d type=%d vertices=%lld fields=%d %s\n", qPrintable(QFileInfo(path).fileName()), count,
                type, vertices, fields, difference.isEmpty() ? "OK" : qPrintable("MISMATCH " + difference));
    SHPClose(shp);
    if (dbf)
        DBFClose(dbf);
}

} // namespace

int main(int argc, char** argv)
{
    QCoreApplication application(argc, argv);
    const QStringList paths = application.arguments().mid(1);
    if (!paths.isEmpty()) {
        for (const QString& path : paths)
            compareFile(path);
        return 0;
    }

    QTemporaryDir folder;
    const QString base = folder.filePath("polylines");
    bench::writeSampleShapefile(base, kRecords);
    const QString path = base + ".shp";
    compareFile(path);

    ReadTotals oursTotals, peerTotals;
    readOurs(path); // warm the file cache for both
    const auto [ours, peer] = bench::medianSecondsSideBySide(
        5, [&] { oursTotals = readOurs(path); }, [&] { peerTotals = readShapelib(path); });
    if (oursTotals.records != peerTotals.records || oursTotals.attributes != peerTotals.attributes)
        std::printf("the readers disagree: records %lld / %lld, attributes %lld / %lld\n", oursTotals.records,
                    peerTotals.records, oursTotals.attributes, peerTotals.attributes);
    bench::printComparison(QStringLiteral("shapefile_read_500000_polylines_6_fields"), ours, peer, 0.7);
    return 0;
}
