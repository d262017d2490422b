// Imports 200,000 points whose records name the rows of a table of 2,046 fields: once naming
// rows 1, 2, 1, 2, ... of a two-row table, once all naming its first row. Each row is decoded
// and converted once however the records take turns, so the two take about as long: the
// target is the turns taking at most half as long again. Written with shapelib; the record
// numbers, which name the rows, are then set in place.

#include "support/BenchSupport.h"
#include "support/DocumentShapefileImport.h"

#include "app/application/AppClasses.h"

#include <QApplication>
#include <QFile>
#include <QTemporaryDir>
#include <QtEndian>
#include <cstdio>
#include <shapefil.h>

namespace {

constexpr int kRecords = 200'000;
constexpr int kFields = 2046;
constexpr qint64 kHeaderBytes = 100;
constexpr qint64 kPointRecordBytes = 28;

// Points in a 400 x 500 grid; record i names row `rowOf(i)` (from 1).
bool writePoints(const QString& base, int (*rowOf)(int))
{
    SHPHandle shp = SHPCreate(qPrintable(base), SHPT_POINT);
    for (int i = 0; i < kRecords; ++i) {
        const double x = i % 400, y = i / 400;
        SHPObject* point = SHPCreateSimpleObject(SHPT_POINT, 1, &x, &y, nullptr);
        SHPWriteObject(shp, -1, point);
        SHPDestroyObject(point);
    }
    SHPClose(shp);
    DBFHandle dbf = DBFCreate(qPrintable(base + ".dbf"));
    for (int f = 0; f < kFields; ++f)
        DBFAddField(dbf, qPrintable(QStringLiteral("F%1").arg(f)), FTInteger, 4, 0);
    for (int row = 0; row < 2; ++row) {
        for (int f = 0; f < kFields; ++f)
            DBFWriteIntegerAttribute(dbf, row, f, row * 1000 + f % 1000);
    }
    DBFClose(dbf);

    QFile file(base + ".shp");
    if (!file.open(QIODevice::ReadWrite))
        return false;
    QByteArray bytes = file.readAll();
    for (int i = 0; i < kRecords; ++i)
        qToBigEndian(quint32(rowOf(i)), bytes.data() + kHeaderBytes + kPointRecordBytes * i);
    return file.seek(0) && file.write(bytes) == bytes.size();
}

double importSeconds(const QString& shpPath)
{
    const std::shared_ptr<ZQTrueQuorvaneDocument> document = bench::newMapForImport();
    qint64 points = -1;
    const double seconds = bench::secondsOf([&] { points = bench::importShapefileIntoDocument(*document, shpPath); });
    if (points != kRecords) {
        std::fprintf(stderr, "import of %s made %lld of %d points\n", qPrintable(shpPath), points, kRecords);
        std::exit(1);
    }
    return seconds;
}

} // namespace

int main(int argc, char** argv)
{
    bench::useOffscreenPlatformUnlessTold();
    QApplication app(argc, argv);
    registerAppClasses(); // and those of every library below

    QTemporaryDir folder;
    bench::importUnsimplifiedWithSettingsIn(folder.path());
    const QString turns = folder.filePath(QStringLiteral("turns"));
    const QString one = folder.filePath(QStringLiteral("one"));
    if (!writePoints(turns, [](int i) { return 1 + i % 2; }) || !writePoints(one, [](int) { return 1; })) {
        std::fprintf(stderr, "the sample could not be written\n");
        return 1;
    }
    const double oneRow = importSeconds(one + ".shp");
    const double alternating = importSeconds(turns + ".shp");
    bench::printRecord(QStringLiteral("shapefile_import_200k_points_one_row_of_2046_fields"), oneRow, "s");
    bench::printComparison(QStringLiteral("shapefile_import_200k_points_alternating_rows_vs_one_row"), alternating,
                           oneRow, 1.5);
    return 0;
}
