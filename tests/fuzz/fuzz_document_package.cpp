// Reads arbitrary bytes as a map document package. The input is cut at each "\0VL\0" into
// the drawing archive, the drawing information, the auxiliary archive, the window state
// and the export settings, in that order; an empty piece leaves that file out. A package
// that reads must write and read back with the same map scale.
#include "FuzzSupport.h"
#include "app/application/AppClasses.h"
#include "app/document/MapDocumentPackage.h"
#include "platform/foundation/ZQLog.h"

#include <QGuiApplication>
#include <cstdint>

namespace {

const QByteArray kSeparator("\0VL\0", 4);
const QStringList kPlaces{MapDocumentPackage::kContentFileName, MapDocumentPackage::kInfoFileName,
                          MapDocumentPackage::kAuxiliaryFileName, MapDocumentPackage::kWindowStateFileName,
                          MapDocumentPackage::kExportSettingsFileName};

void setUp()
{
    fuzz::startQuietApplication("fuzz_document_package");
    registerAppClasses();
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
