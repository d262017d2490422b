#include "app/document/MapDocumentPackage.h"

#include "app/printing/PrintInfoCoding.h"
#include "platform/foundation/ArchiveMemoryBudget.h"
#include "platform/foundation/ArchiveProgress.h"
#include "platform/foundation/KeyedArchiver.h"
#include "platform/foundation/KeyedUnarchiver.h"
#include "platform/foundation/NumericVariant.h"
#include "platform/foundation/PropertyList.h"
#include "platform/foundation/ZQLog.h"
#include "platform/graphics/ImageWriter.h"
#include "platform/ui/DocumentError.h"
#include "platform/vantrix/drawables/DecodedPixelBudget.h"
#include "platform/vantrix/model/VXDrawingDocument.h"
#include "platform/vantrix/render/DrawingRenderer.h"

#include <QPainter>
#include <cmath>
#include <utility>

using platform::FileWrapper;
using platform::PropertyList;

namespace {

// The key the package's keyed archives keep their root under.
const QString kRootKey = QStringLiteral("root");

void setError(QuorvaneError* error, int code, const QString& description, const QString& key, const QString& reason)
{
    // "The document could not be read: <reason>", without the sentence's own full stop.
    const QString sentence = description.endsWith(QLatin1Char('.')) ? description.chopped(1) : description;
    LogEvent(kFileEvent, QStringLiteral("%1: %2").arg(sentence, reason));
    if (error)
        *error = QuorvaneError(code, description, {{key, reason}});
}

void setReadError(QuorvaneError* error, const QString& reason)
{
    setError(error, kQuorvaneDocumentError, QObject::tr("The document could not be read."), platform::kReadFailureReasonKey, reason);
}

// Asks `proceed` to go on past each fraction; once it stops, `error` says so and no more,
// and every later step stops without asking again.
class StepProgress {
public:
    StepProgress(const MapDocumentPackage::Proceed& proceed, QuorvaneError* error, QString description, QString key)
        : m_proceed(proceed), m_error(error), m_description(std::move(description)), m_key(std::move(key))
    {
    }

    bool goesOn(double fraction)
    {
        if (!m_stopped && m_proceed && !m_proceed(fraction)) {
            m_stopped = true;
            setError(m_error, platform::kUserCancelledErrorCode, m_description, m_key,
                     QObject::tr("stopped by the user"));
        }
        return !m_stopped;
    }

    bool stopped() const { return m_stopped; }

    // Hears the archive a step writes or reads, whose own progress spans `from` to `to` of the whole.
    platform::archive::Progress between(double from, double to)
    {
        return [this, from, to](double fraction) { return goesOn(from + (to - from) * fraction); };
    }

private:
    const MapDocumentPackage::Proceed& m_proceed;
    QuorvaneError* m_error;
    QString m_description;
    QString m_key;
    bool m_stopped = false;
};

// The regular file of that name; null with `reason` set when it is absent, left out on reading (a link,
// a pipe) or a folder.
const FileWrapper* regularFile(const FileWrapper& package, const QString& name, QString* reason)
{
    const FileWrapper* file = package.fileWrapperNamed(name);
    if (const QString leftOut = package.reasonEntryWasLeftOut(name); !file && !leftOut.isEmpty())
        *reason = QStringLiteral("“%1”: %2").arg(name, leftOut);
    else if (!file)
        *reason = QStringLiteral("“%1” is missing").arg(name);
    else if (!file->isRegularFile())
        *reason = QStringLiteral("“%1” is not a file").arg(name);
    else
        return file;
    return nullptr;
}

// The bytes of the regular file of that name, read now when the package was read on demand;
// nullopt with `reason` set as regularFile's, or why the file could not be read.
std::optional<QByteArray> contentsOfRegularFile(const FileWrapper& package, const QString& name, QString* reason)
{
    const FileWrapper* file = regularFile(package, name, reason);
    if (!file)
        return std::nullopt;
    QString why;
    std::optional<QByteArray> contents = file->readRegularFileContents(&why);
    if (!contents)
        *reason = QStringLiteral("“%1”: %2").arg(name, why);
    return contents;
}

std::optional<QVariantMap> dictionaryFromPropertyList(const QByteArray& data, QString* reason)
{
    QuorvaneError parseError;
    const std::optional<QVariant> value = PropertyList::fromData(data, &parseError);
    if (!value) {
        *reason = parseError.localizedDescription();
        return std::nullopt;
    }
    if (value->metaType().id() != QMetaType::QVariantMap) {
        *reason = QStringLiteral("the property list is not a dictionary");
        return std::nullopt;
    }
    return value->toMap();
}

// Only values a property list can hold go into the information file.
QVariantMap propertyListEntries(const QVariantMap& map)
{
    QVariantMap entries;
    for (auto it = map.begin(); it != map.end(); ++it) {
        if (PropertyList::isPropertyListValue(it.value()))
            entries.insert(it.key(), it.value());
    }
    return entries;
}

// Six finite numbers (m11, m12, m21, m22, dx, dy) of an invertible transform, as written.
std::optional<QTransform> shapefileTransformOf(const QVariant& stored)
{
    const QVariantList values = stored.toList();
    if (stored.metaType().id() != QMetaType::QVariantList || values.size() != 6)
        return std::nullopt;
    double m[6];
    for (int i = 0; i < 6; ++i) {
        m[i] = values[i].toDouble();
        if (!platform::isNumericVariant(values[i]) || !std::isfinite(m[i]))
            return std::nullopt;
    }
    const QTransform transform(m[0], m[1], m[2], m[3], m[4], m[5]);
    return transform.isInvertible() ? std::optional(transform) : std::nullopt;
}

// The pixel size of a picture of `size` whose longer side is `side` pixels.
QSize pixelSizeFitting(QSizeF size, int side)
{
    const double scale = side / std::max(size.width(), size.height());
    return {std::max(1, qRound(size.width() * scale)), std::max(1, qRound(size.height() * scale))};
}

} // namespace

// --- Writing ---------------------------------------------------------------------------------------

std::optional<FileWrapper> MapDocumentPackage::write(const MapDocumentContents& contents, QuorvaneError* error,
                                                     const Proceed& proceed)
{
    const QString failure = QObject::tr("The document could not be saved.");
    StepProgress progress(proceed, error, failure, platform::kWriteFailureReasonKey);
    if (!contents.drawing) {
        setError(error, kQuorvaneNoDrawingDataError, failure, platform::kWriteFailureReasonKey, QStringLiteral("there is no drawing"));
        return std::nullopt;
    }
    if (!progress.goesOn(0.0))
        return std::nullopt;
    // Encoding is most of a save; the check and the smaller files take the rest.
    QByteArray drawingData;
    {
        const platform::archive::ProgressScope encoding(progress.between(0.0, 0.8));
        drawingData = VXDrawingDocument::archivedDrawing(*contents.drawing);
    }
    if (!progress.goesOn(0.8))
        return std::nullopt;
    if (drawingData.isEmpty()) {
        setError(error, kQuorvaneNoDrawingDataError, failure, platform::kWriteFailureReasonKey,
                 QStringLiteral("the drawing gave no data"));
        return std::nullopt;
    }
    // A file this program could not open again is not saved as a success. Whether it can be
    // opened where memory allows is asked, not whether it could be now, beside the drawing.
    QString unreadable;
    {
        const platform::archive::ProgressScope checking(progress.between(0.8, 0.9));
        const platform::archive::MemoryBudgetScope promised(platform::archive::promisedBudget(drawingData.size()));
        if (const platform::KeyedUnarchiver check(drawingData); !check.isValid())
            unreadable = check.error().localizedDescription();
    }
    if (!progress.goesOn(0.9))
        return std::nullopt;
    if (!unreadable.isEmpty()) {
        setError(error, kQuorvaneDocumentError, failure, platform::kWriteFailureReasonKey,
                 QStringLiteral("the drawing could not be read back: %1").arg(unreadable));
        return std::nullopt;
    }

    QuorvaneError plistError;
    const auto info = PropertyList::toData(drawingInformation(*contents.drawing), PropertyList::Format::Xml, &plistError);
    const auto window = PropertyList::toData(contents.windowState, PropertyList::Format::Xml, &plistError);
    if (!info || !window) {
        setError(error, kQuorvaneDocumentError, failure, platform::kWriteFailureReasonKey, plistError.localizedDescription());
        return std::nullopt;
    }

    FileWrapper package = contents.otherFiles;
    package.setFilename({});
    package.addRegularFileWithContentsFilename(drawingData, kContentFileName);
    package.addRegularFileWithContentsFilename(*info, kInfoFileName);
    package.addRegularFileWithContentsFilename(auxiliaryArchive(contents), kAuxiliaryFileName);
    // The preview of a large map takes seconds of its own.
    package.addFileWrapper(quickLookFolder(*contents.drawing, contents.otherFiles.fileWrapperNamed(kQuickLookFolderName),
                                           progress.between(0.9, 1.0)));
    if (progress.stopped())
        return std::nullopt;
    package.addRegularFileWithContentsFilename(*window, kWindowStateFileName);
    if (contents.exportSettings) {
        const auto exportData = PropertyList::toData(*contents.exportSettings, PropertyList::Format::Xml, &plistError);
        if (exportData)
            package.addRegularFileWithContentsFilename(*exportData, kExportSettingsFileName);
        else
            ZQLog(QStringLiteral("export settings could not be written because error=%1")
                      .arg(plistError.localizedDescription()));
    }
    if (!progress.goesOn(1.0))
        return std::nullopt;
    return package;
}

FileWrapper MapDocumentPackage::quickLookFolder(const VXDrawing& drawing, const FileWrapper* kept,
                                                const Proceed& proceed)
{
    // One rendering serves both files: a vector preview of a large map costs as much as
    // archiving it, and a preview needs no more than its pixels.
    const QSizeF size = drawing.drawingSize();
    const QImage preview = platform::DrawingRenderer::imageOfDrawing(drawing, drawing.bounds(),
                                                                    pixelSizeFitting(size, kPreviewSide), Qt::white,
                                                                    proceed);
    const QByteArray previewPDF = platform::ImageWriter::pdfRepresentation(
        size, [&](QPainter& painter) { painter.drawImage(QRectF(QPointF(), size), preview); });

    FileWrapper folder = kept && kept->isDirectory() ? *kept : FileWrapper::directory(kQuickLookFolderName);
    folder.addRegularFileWithContentsFilename(platform::ImageWriter::JPEGRepresentationWithSizeCompression(
                                                  preview, pixelSizeFitting(size, kThumbnailSide), 0.8),
                                              kThumbnailFileName);
    folder.addRegularFileWithContentsFilename(previewPDF, kPreviewFileName);
    return folder;
}

FileWrapper MapDocumentPackage::filesNotRead(const FileWrapper& package)
{
    FileWrapper others = package;
    for (const QString& name : {kContentFileName, kInfoFileName, kAuxiliaryFileName, kWindowStateFileName,
                                kExportSettingsFileName})
        others.removeFileWrapperNamed(name);
    if (const FileWrapper* quickLook = package.fileWrapperNamed(kQuickLookFolderName); quickLook && quickLook->isDirectory()) {
        FileWrapper kept = *quickLook;
        kept.removeFileWrapperNamed(kThumbnailFileName);
        kept.removeFileWrapperNamed(kPreviewFileName);
        others.addFileWrapper(std::move(kept));
    }
    return others;
}

QVariantMap MapDocumentPackage::drawingInformation(const VXDrawing& drawing)
{
    QVariantMap info = propertyListEntries(drawing.drawingInfo());
    // In drawing units, as the units beside them say: readers show them without the drawing.
    info.insert(kInfoWidthKey, drawing.convertLength(drawing.drawingSize().width()));
    info.insert(kInfoHeightKey, drawing.convertLength(drawing.drawingSize().height()));
    info.insert(kInfoUnitsKey, drawing.drawingUnits());
    return info;
}

QByteArray MapDocumentPackage::auxiliaryArchive(const MapDocumentContents& contents)
{
    QVariantMap root{{kDocumentInfoKey, propertyListEntries(contents.documentInfo)}};
    if (contents.mapScale)
        root.insert(kMapScaleKey, QVariant::fromValue<ZQObjectPtr>(contents.mapScale));
    if (contents.printInfo)
        root.insert(kPrintInfoKey, PrintInfoCoding::propertyList(*contents.printInfo));
    if (contents.prescale)
        root.insert(kPrescaleKey, *contents.prescale);
    if (const std::optional<QTransform>& t = contents.shapefileTransform)
        root.insert(kShapefileTransformKey, QVariantList{t->m11(), t->m12(), t->m21(), t->m22(), t->dx(), t->dy()});
    platform::KeyedArchiver archiver;
    archiver.encodeObject(QVariant(root), kRootKey);
    return archiver.finishEncoding();
}

// --- Reading ---------------------------------------------------------------------------------------

std::optional<MapDocumentContents> MapDocumentPackage::read(const FileWrapper& package, QuorvaneError* error,
                                                            const Proceed& proceed)
{
    StepProgress progress(proceed, error, QObject::tr("The document could not be read."), platform::kReadFailureReasonKey);
    if (!progress.goesOn(0.0))
        return std::nullopt;
    if (!package.isDirectory()) {
        setReadError(error, QStringLiteral("the document is a single file, not a package"));
        return std::nullopt;
    }
    QString reason;
    std::optional<QByteArray> content = contentsOfRegularFile(package, kContentFileName, &reason);
    if (!content) {
        setReadError(error, reason);
        return std::nullopt;
    }
    MapDocumentContents contents;
    QuorvaneError drawingError;
    {
        const platform::archive::ProgressScope decoding(progress.between(0.0, 0.8));
        // The archive's bytes go as soon as the drawing is decoded.
        contents.drawing = VXDrawingDocument::drawingFromArchive(*std::exchange(content, std::nullopt), &drawingError);
    }
    if (progress.stopped())
        return std::nullopt;
    if (!contents.drawing) {
        setReadError(error, QStringLiteral("“%1”: %2")
                                .arg(kContentFileName, drawingError.userInfo().value(platform::kReadFailureReasonKey).toString()));
        return std::nullopt;
    }
    if (!progress.goesOn(0.8))
        return std::nullopt;
    // Shapes that show one image share its pixels; all of them together have a budget.
    if (!platform::DecodedPixelBudget().admitImagesOf(*contents.drawing, &reason)) {
        setReadError(error, QStringLiteral("“%1”: %2").arg(kContentFileName, reason));
        return std::nullopt;
    }

    // Older packages may lack the information and auxiliary files; present ones must be sound.
    if (package.fileWrapperNamed(kInfoFileName)) {
        const FileWrapper* info = regularFile(package, kInfoFileName, &reason);
        const std::optional<QByteArray> data = info ? info->readRegularFileContents(&reason) : std::nullopt;
        if (!data || !dictionaryFromPropertyList(*data, &reason)) {
            setReadError(error, QStringLiteral("“%1”: %2").arg(kInfoFileName, reason));
            return std::nullopt;
        }
    }
    if (package.fileWrapperNamed(kAuxiliaryFileName)) {
        const FileWrapper* auxiliary = regularFile(package, kAuxiliaryFileName, &reason);
        const std::optional<QByteArray> data = auxiliary ? auxiliary->readRegularFileContents(&reason) : std::nullopt;
        if (!data || !readAuxiliaryArchive(*data, contents, &reason)) {
            setReadError(error, QStringLiteral("“%1”: %2").arg(kAuxiliaryFileName, reason));
            return std::nullopt;
        }
    }
    if (!contents.mapScale)
        contents.mapScale = VXQMapScale::defaultScale();

    contents.windowState = readWindowState(package.fileWrapperNamed(kWindowStateFileName));
    contents.exportSettings = readExportSettings(package.fileWrapperNamed(kExportSettingsFileName));
    contents.otherFiles = filesNotRead(package);
    if (!progress.goesOn(1.0))
        return std::nullopt;
    return contents;
}

VXQMapScalePtr MapDocumentPackage::mapScaleInAuxiliaryArchive(const QByteArray& data)
{
    MapDocumentContents contents;
    QString reason;
    if (!readAuxiliaryArchive(data, contents, &reason))
        ZQLog(QStringLiteral("the auxiliary archive could not be read: %1").arg(reason));
    return contents.mapScale;
}

bool MapDocumentPackage::readAuxiliaryArchive(const QByteArray& data, MapDocumentContents& contents, QString* reason)
{
    platform::KeyedUnarchiver unarchiver(data);
    if (!unarchiver.isValid()) {
        *reason = unarchiver.error().localizedDescription();
        return false;
    }
    const QVariant rootValue = unarchiver.decodeValue(kRootKey);
    if (rootValue.metaType().id() != QMetaType::QVariantMap) {
        *reason = QStringLiteral("the archive's root is not a dictionary");
        return false;
    }
    const QVariantMap root = rootValue.toMap();
    if (root.contains(kMapScaleKey)) {
        contents.mapScale = std::dynamic_pointer_cast<VXQMapScale>(root.value(kMapScaleKey).value<ZQObjectPtr>());
        if (!contents.mapScale)
            ZQLog(QStringLiteral("the document's map scale could not be read; the default scale is used"));
    }
    if (root.contains(kPrintInfoKey)) {
        contents.printInfo = PrintInfoCoding::pageLayout(root.value(kPrintInfoKey));
        if (!contents.printInfo)
            ZQLog(QStringLiteral("the document's print information could not be read; the default is used"));
    }
    if (root.contains(kPrescaleKey)) {
        const QVariant stored = root.value(kPrescaleKey);
        const double prescale = stored.toDouble();
        if (platform::isNumericVariant(stored) && std::isfinite(prescale) && prescale > 0)
            contents.prescale = prescale;
        else
            ZQLog(QStringLiteral("the document's prescale could not be read; the default is used"));
    }
    if (root.contains(kShapefileTransformKey)) {
        contents.shapefileTransform = shapefileTransformOf(root.value(kShapefileTransformKey));
        if (!contents.shapefileTransform)
            ZQLog(QStringLiteral("the document's shapefile transform could not be read; the next import is fitted "
                                 "to the drawing"));
    }
    const QVariant documentInfo = root.value(kDocumentInfoKey);
    if (documentInfo.metaType().id() == QMetaType::QVariantMap)
        contents.documentInfo = propertyListEntries(documentInfo.toMap());
    return true;
}

QVariantMap MapDocumentPackage::readWindowState(const FileWrapper* file)
{
    if (!file)
        return {};
    QString reason = QStringLiteral("“%1” is not a file").arg(kWindowStateFileName);
    std::optional<QVariantMap> state;
    if (const std::optional<QByteArray> data = file->isRegularFile() ? file->readRegularFileContents(&reason) : std::nullopt)
        state = dictionaryFromPropertyList(*data, &reason);
    if (!state) {
        ZQLog(QStringLiteral("window restoration state could not be read, error = %1").arg(reason));
        return {};
    }
    return *state;
}

std::optional<QVariantMap> MapDocumentPackage::readExportSettings(const FileWrapper* file)
{
    if (!file || !file->isRegularFile())
        return std::nullopt;
    QString reason;
    const std::optional<QByteArray> data = file->readRegularFileContents(&reason);
    std::optional<QVariantMap> settings = data ? dictionaryFromPropertyList(*data, &reason) : std::nullopt;
    if (!settings)
        ZQLog(QStringLiteral("export settings could not be read, error = %1").arg(reason));
    return settings;
}
