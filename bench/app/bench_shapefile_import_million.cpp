// Imports a road shapefile of 1,000,000 polylines with a ten-field table into a map document
// as File > Import Shapefile... does (unsimplified): the time from the start until the layer
// is in the drawing, and the growth of the peak resident size. Such a file imports on any
// machine whose free memory holds its attributes twice over; the attributes of a million rows
// are estimated at about 1.5 GB. Runs in a process of its own, as the peak only grows.
//
// The time target follows the 200,000-record import (about 3 s on the reference machine)
// five times over with room for the allocator; the memory is printed for the record.

#include "support/BenchSupport.h"
#include "support/DocumentShapefileImport.h"
#include "support/SampleShapefile.h"

#include "app/application/AppClasses.h"
#include "platform/foundation/UserDefaults.h"

#include <QApplication>
#include <QTemporaryDir>
#include <cstdio>

namespace {

constexpr int kRecords = 1'000'000;
constexpr double kTargetSeconds = 30;

} // namespace

int main(int argc, char** argv)
{
    bench::useOffscreenPlatformUnlessTold();
    QApplication app(argc, argv);
    registerAppClasses(); // and those of every library below

    QTemporaryDir folder;
    platform::UserDefaults::setStorageLocationForTesting(folder.path());
    platform::UserDefaults::standardUserDefaults()->setObjectForKey(false, QStringLiteral("kImportOptionSettingSimplifyEnable"));
    const QString base = folder.filePath(QStringLiteral("roads"));
    bench::writeSampleShapefile(base, kRecords, bench::SampleTable::TenFields);

    auto document = std::make_shared<ZQTrueQuorvaneDocument>();
    QuorvaneError error;
    document->initWithTypeError(kZQMapDocumentType, &error);
    document->drawing()->setDrawingSize(QSizeF(4000, 3000));

    const double before = bench::statusMegabytes("VmRSS:");
    qint64 lines = -1;
    const double seconds = bench::secondsOf([&] { lines = bench::importShapefileIntoDocument(*document, base + ".shp"); });
    const double peak = bench::statusMegabytes("VmHWM:") - before;
    if (lines != kRecords) {
        std::fprintf(stderr, "import made %lld of %d lines\n", lines, kRecords);
        return 1;
    }
    bench::printValue(QStringLiteral("shapefile_import_1m_10_fields"), seconds, "s", kTargetSeconds);
    bench::printRecord(QStringLiteral("shapefile_import_1m_10_fields_peak_growth"), peak, "MB");
    return 0;
}
