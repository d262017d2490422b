// Reads arbitrary bytes as a map document package. The input is cut at each "\0VL\0" into
// the drawing archive, the drawing information, the auxiliary archive, the window state
// and the export settings, in that order; an empty piece leaves that file out. A package
// that reads must write and read back with the same map scale.
//
// With QUORVANE_FUZZ_SEED_DIR set, start-up first writes the pieces of a small map there.
#include "FuzzSupport.h"
#include "app/AppClasses.h"
#include "app/MapDocumentPackage.h"
#include "app/VXQMappingLayer.h"
#include "platform/foundation/ZQLog.h"
#include "platform/vantrix/drawables/VXDrawablePath.h"

#include <QDir>
#include <QFile>
#include <QGuiApplication>
#include <cstdint>

namespace {

const QByteArray kSeparator("\0VL\0", 4);
const QStringList kPlaces{MapDocumentPackage::kContentFileName, MapDocumentPackage::kInfoFileName,
                          MapDocumentPackage::kAuxiliaryFileName, MapDocumentPackage::kWindowStateFileName,
                          MapDocumentPackage::kExportSettingsFileName};

QByteArray seedPackage()
{
    MapDocumentContents contents;
    contents.drawing = VXDrawing::drawingWithSize({300, 200});
    auto layer = std::make_shared<VXQMappingLayer>();
    contents.drawing->addLayer(layer);
    auto path = VXDrawablePath::drawablePathWithBezierPathWithStyle(
        platform::BezierPath::bezierPathWithRect({10, 10, 50, 30}), VXStyle::defaultStyle());
    path->setMetadataItemValueForKey(7, QStringLiteral("id"));
    layer->addObject(path);
    contents.mapScale = VXQMapScale::defaultScale()->mapScaleWithScale(50000);
    contents.printInfo = QPageLayout(QPageSize(QPageSize::A4), QPageLayout::Landscape, QMarginsF(10, 10, 10, 10));
    contents.documentInfo = {{QStringLiteral("author"), QStringLiteral("seed")}};
    contents.windowState = {{QStringLiteral("splits"), QVariantList{100, 500, 100}}};
    contents.exportSettings = QVariantMap{{QStringLiteral("format"), QStringLiteral("PNG")}};
    const auto package = MapDocumentPackage::write(contents, nullptr);
    QByteArrayList pieces;
    for (const QString& place : kPlaces)
        pieces << package->fileWrapperNamed(place)->regularFileContents();
    return pieces.join(kSeparator);
}

void setUp()
{
    fuzz::startQuietApplication("fuzz_document_package");
    registerAppClasses();
    const QString seedFolder = qEnvironmentVariable("QUORVANE_FUZZ_SEED_DIR");
    if (!seedFolder.isEmpty()) {
        QDir().mkpath(seedFolder);
        QFile file(QDir(seedFolder).filePath(QStringLiteral("seed-package.bin")));
        if (file.open(QIODevice::WriteOnly))
            file.write(seedPackage());
    }
}

platform::FileWrapper packageFromPieces(const QByteArray& data)
{
    QByteArrayList pieces;
    qsizetype start = 0;
    for (qsizetype at; (at = data.indexOf(kSeparator, start)) >= 0; start = at + kSeparator.size())
        pieces << data.mid(start, at - start);
    pieces << data.mid(start);

    platform::FileWrapper package = platform::FileWrapper::directory();
    for (qsizetype i = 0; i < pieces.size() && i < kPlaces.size(); ++i) {
        if (!pieces[i].isEmpty())
            package.addRegularFileWithContentsFilename(pieces[i], kPlaces[i]);
    }
    return package;
}

} // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* bytes, size_t size)
{
    static const bool ready = (setUp(), true);
    Q_UNUSED(ready);
    const QByteArray data(reinterpret_cast<const char*>(bytes), qsizetype(size));
    const std::optional<MapDocumentContents> contents = MapDocumentPackage::read(packageFromPieces(data), nullptr);
    if (!contents)
        return 0;
    QuorvaneError error;
    const auto written = MapDocumentPackage::write(*contents, &error);
    if (!written)
        qFatal("a package that read did not write: %s", qPrintable(error.localizedDescription()));
    const auto again = MapDocumentPackage::read(*written, &error);
    if (!again || !again->mapScale->isEqualToMapScale(contents->mapScale.get()))
        qFatal("a written package did not read back the same: %s", qPrintable(error.localizedDescription()));
    return 0;
}
