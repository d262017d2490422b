#pragma once

// The polyline shapefile the shapefile benchmarks read: `records` records of 4 to 16 vertices
// (every fifth in two parts) from a deterministic random walk, with a six-field table of
// every dBase type the reader decodes, or a ten-field one with a road's kind, lanes, speed
// and surface besides. Written through shapelib, so the reader under test does not also
// write its own input; link PkgConfig::SHAPELIB.
//
// Also the map of short lines the document benchmarks save and open: `records` segments
// 0.05 units long laid in rows over a 100 x 100 square, each with a numeric ID.

#include <QString>
#include <cmath>
#include <shapefil.h>
#include <vector>

namespace bench {

enum class SampleTable { SixFields, TenFields };

inline void writeSampleShapefile(const QString& base, int records, SampleTable table = SampleTable::SixFields)
{
    struct FieldSpec {
        const char* name;
        char type;
        int width;
        int decimals;
    };
    constexpr FieldSpec kFields[] = {{"NAME", 'C', 24, 0}, {"ID", 'N', 10, 0}, {"AREA", 'N', 19, 6},
                                     {"RATIO", 'F', 12, 4}, {"FLAG", 'L', 1, 0}, {"BORN", 'D', 8, 0}};
    constexpr FieldSpec kRoadFields[] = {{"KIND", 'C', 12, 0}, {"LANES", 'N', 2, 0}, {"SPEED", 'N', 4, 0},
                                         {"SURFACE", 'C', 10, 0}};
    const char* const kKinds[] = {"motorway", "primary", "secondary", "residential", "track"};
    const char* const kSurfaces[] = {"asphalt", "concrete", "gravel", "dirt"};
    const bool roads = table == SampleTable::TenFields;
    quint64 state = 42;
    auto walk = [&state] { return double((state = state * 6364136223846793005ull + 1442695040888963407ull) >> 11 & 0xFFFF); };

    SHPHandle shp = SHPCreate(qPrintable(base), SHPT_ARC);
    DBFHandle dbf = DBFCreate(qPrintable(base + ".dbf"));
    for (const FieldSpec& field : kFields)
        DBFAddNativeFieldType(dbf, field.name, field.type, field.width, field.decimals);
    for (const FieldSpec& field : kRoadFields) {
        if (roads)
            DBFAddNativeFieldType(dbf, field.name, field.type, field.width, field.decimals);
    }

    std::vector<double> xs, ys;
    for (int i = 0; i < records; ++i) {
        const int count = 4 + i % 13;
        xs.assign(1, walk());
        ys.assign(1, walk());
        for (int v = 1; v < count; ++v) {
            xs.push_back(xs.back() + walk() / 1000 - 32);
            ys.push_back(ys.back() + walk() / 1000 - 32);
        }
        const int partStarts[2] = {0, count / 2};
        SHPObject* object = SHPCreateObject(SHPT_ARC, -1, i % 5 == 0 ? 2 : 1, partStarts, nullptr, count, xs.data(),
                                            ys.data(), nullptr, nullptr);
        SHPWriteObject(shp, -1, object);
        SHPDestroyObject(object);

        DBFWriteStringAttribute(dbf, i, 0, qPrintable(QStringLiteral("Feature %1").arg(i)));
        DBFWriteIntegerAttribute(dbf, i, 1, i);
        DBFWriteDoubleAttribute(dbf, i, 2, i * 0.731);
        DBFWriteDoubleAttribute(dbf, i, 3, (i % 1000) / 7.0);
        DBFWriteLogicalAttribute(dbf, i, 4, i % 3 ? 'T' : 'F');
        DBFWriteIntegerAttribute(dbf, i, 5, (1950 + i % 70) * 10000 + (1 + i % 12) * 100 + 1 + i % 28);
        if (roads) {
            DBFWriteStringAttribute(dbf, i, 6, kKinds[i % 5]);
            DBFWriteIntegerAttribute(dbf, i, 7, 1 + i % 4);
            DBFWriteIntegerAttribute(dbf, i, 8, 30 + 10 * (i % 9));
            DBFWriteStringAttribute(dbf, i, 9, kSurfaces[i % 4]);
        }
    }
    SHPClose(shp);
    DBFClose(dbf);
}

inline void writeSegmentGridShapefile(const QString& base, int records)
{
    constexpr double kSide = 100, kLength = 0.05;
    const int perRow = int(std::ceil(std::sqrt(double(records))));
    const double spacing = kSide / perRow;
    SHPHandle shp = SHPCreate(qPrintable(base), SHPT_ARC);
    DBFHandle dbf = DBFCreate(qPrintable(base + ".dbf"));
    DBFAddField(dbf, "ID", FTInteger, 10, 0);
    for (int i = 0; i < records; ++i) {
        const double x = (i % perRow) * spacing, y = (i / perRow) * spacing;
        const double xs[2] = {x, x + kLength}, ys[2] = {y, y};
        SHPObject* object = SHPCreateSimpleObject(SHPT_ARC, 2, xs, ys, nullptr);
        SHPWriteObject(shp, -1, object);
        SHPDestroyObject(object);
        DBFWriteIntegerAttribute(dbf, i, 0, i);
    }
    SHPClose(shp);
    DBFClose(dbf);
}

} // namespace bench
