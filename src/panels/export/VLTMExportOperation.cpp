#include "panels/export/VLTMExportOperation.h"

#include "app/application/VLTMApplication.h"
#include "app/document/ZQQuorvaneDocument.h"
#include "panels/export/ExportColourSpaces.h"
#include "panels/export/ExportFileNaming.h"
#include "panels/export/ExportFolder.h"
#include "panels/slices/VLTMSlicesLayer.h"
#include "platform/foundation/KeyedArchiver.h"
#include "platform/foundation/KeyedUnarchiver.h"
#include "platform/foundation/UserDefaults.h"
#include "platform/foundation/ZQAssert.h"
#include "platform/foundation/ZQLog.h"
#include "platform/ui/DocumentController.h"
#include "platform/vantrix/drawables/VXDrawableObject.h"

#include <QCoreApplication>
#include <QDir>
#include <cmath>

namespace {

const QString kExportStateKey = QStringLiteral("export_state");
const QString kDrawingKey = QStringLiteral("Exp_drawing");
const QString kSourceTypeKey = QStringLiteral("Exp_sourceType");
const QString kDpiKey = QStringLiteral("Exp_dpi");
const QString kScaleKey = QStringLiteral("Exp_scale");
const QString kQualityKey = QStringLiteral("Exp_quality");
const QString kColorspaceKey = QStringLiteral("Exp_colorspace");
const QString kTransparentKey = QStringLiteral("Exp_transparent");
const QString kFilenameRootKey = QStringLiteral("Exp_filenameRoot");
const QString kFirstIndexKey = QStringLiteral("Exp_firstIndex");
const QString kIndexIncrementKey = QStringLiteral("Exp_indexIncrement");
const QString kIndexPadLengthKey = QStringLiteral("Exp_indexPadLength");
const QString kNamingOptionKey = QStringLiteral("Exp_fnOption");
const QString kFormatKey = QStringLiteral("Exp_format");
const QString kShowInFinderKey = QStringLiteral("Exp_showInFinder");
const QString kOverwriteKey = QStringLiteral("Exp_overwrite");
const QString kGroupInFolderKey = QStringLiteral("Exp_groupInFolder");
const QString kBookmarkVersionKey = QStringLiteral("Exp_bookmarkVersion");
constexpr int kBookmarkVersion = 2;

const QString kIndexToken = QStringLiteral("%%INDEX");
const QString kNameToken = QStringLiteral("%%NAME");


bool isBitmapFormat(qint64 format) { return format >= kVLTMExportTIFF && format <= kVLTMExportPNG; }

platform::ImageFileType imageFileType(qint64 format)
{
    switch (format) {
    case kVLTMExportTIFF: return platform::ImageFileType::TIFF;
    case kVLTMExportBMP: return platform::ImageFileType::BMP;
    case kVLTMExportGIF: return platform::ImageFileType::GIF;
    case kVLTMExportJPEG: return platform::ImageFileType::JPEG;
    case kVLTMExportPNG: return platform::ImageFileType::PNG;
    default: return platform::ImageFileType::PDF;
    }
}

bool isVisibleSource(const ZQObject* source)
{
    if (const auto* layer = qobject_cast<const VXLayer*>(source))
        return layer->visible();
    if (const auto* slice = qobject_cast<const VXQSlice*>(source))
        return slice->visible();
    if (const auto* object = qobject_cast<const VXDrawableObject*>(source))
        return object->visible();
    return false;
}

bool isPositiveNumber(double value) { return std::isfinite(value) && value > 0; }

} // namespace

VLTMExportOperation::VLTMExportOperation()
    : m_colorspace(exportcolour::kSRGB)
    , m_fileNameRoot(QStringLiteral("Untitled_"))
{
}

void VLTMExportOperation::init()
{
    restoreFolderURLFromBookmarkData(platform::UserDefaults::standardUserDefaults()->objectForKey(kVLTMExportOptionsFolderURL));
}

VLTMExportOperationPtr VLTMExportOperation::exportOperation()
{
    auto operation = std::make_shared<VLTMExportOperation>();
    operation->init();
    return operation;
}

// --- Settings -----------------------------------------------------------------------------------

template <class T>
void VLTMExportOperation::changeValueForKey(T& field, const T& value, const char* key)
{
    if (field == value)
        return;
    announceChangeForKey(QString::fromLatin1(key), [&] { field = value; });
}

void VLTMExportOperation::setSourceType(int type) { changeValueForKey(m_sourceType, type, "sourceType"); }

void VLTMExportOperation::setSources(const QList<ZQObjectPtr>& sources)
{
    announceChangeForKeys({QStringLiteral("sources"), QStringLiteral("canExport")}, [&] { m_sources = sources; });
}

void VLTMExportOperation::setFolderURL(const QUrl& url) { changeValueForKey(m_folderURL, url, "folderURL"); }
void VLTMExportOperation::setFormat(qint64 format) { changeValueForKey(m_format, format, "format"); }
void VLTMExportOperation::setQuality(double quality) { changeValueForKey(m_quality, quality, "quality"); }
void VLTMExportOperation::setDpi(double dpi) { changeValueForKey(m_dpi, dpi, "dpi"); }
void VLTMExportOperation::setScale(double scale) { changeValueForKey(m_scale, scale, "scale"); }
void VLTMExportOperation::setTransparent(bool transparent) { changeValueForKey(m_transparent, transparent, "transparent"); }

void VLTMExportOperation::setColorspace(const QString& identifier)
{
    const QString known = exportcolour::isKnown(identifier) ? identifier : exportcolour::kSRGB;
    announceChangeForKeys({QStringLiteral("colorspace"), QStringLiteral("colorspaceName")},
                          [&] { m_colorspace = known; });
}

QString VLTMExportOperation::colorspaceName() const { return exportcolour::displayName(m_colorspace); }
void VLTMExportOperation::setFileNameRoot(const QString& root) { changeValueForKey(m_fileNameRoot, root, "fileNameRoot"); }
void VLTMExportOperation::setFileNamingOption(int option) { changeValueForKey(m_fileNamingOption, option, "fileNamingOption"); }
void VLTMExportOperation::setFirstIndex(quint64 index) { changeValueForKey(m_firstIndex, index, "firstIndex"); }
void VLTMExportOperation::setIndexIncrement(quint64 increment) { changeValueForKey(m_indexIncrement, increment, "indexIncrement"); }
void VLTMExportOperation::setIndexPadLength(quint64 length) { changeValueForKey(m_indexPadLength, length, "indexPadLength"); }
void VLTMExportOperation::setShowInFinder(bool flag) { changeValueForKey(m_showInFinder, flag, "showInFinder"); }
void VLTMExportOperation::setOverwriteExisting(bool flag) { changeValueForKey(m_overwriteExisting, flag, "overwriteExisting"); }
void VLTMExportOperation::setGroupInFolder(bool flag) { changeValueForKey(m_groupInFolder, flag, "groupInFolder"); }

bool VLTMExportOperation::canExport() const
{
    return std::any_of(m_sources.cbegin(), m_sources.cend(),
                       [](const ZQObjectPtr& source) { return isVisibleSource(source.get()); });
}

// --- Writing ------------------------------------------------------------------------------------

std::optional<QuorvaneError> VLTMExportOperation::settingsProblem() const
{
    if (m_folderURL.isEmpty() || !m_folderURL.isLocalFile())
        return QuorvaneError(kQuorvaneDocumentError, tr("There is no folder to export to."));
    if (m_format == kVLTMExportNative && m_sourceType != kVLTMExportSlices)
        return QuorvaneError(kQuorvaneValidationError, tr("Only slices can be exported as map documents."));
    if (isBitmapFormat(m_format)
        && (!isPositiveNumber(m_dpi) || !isPositiveNumber(m_scale) || !std::isfinite(m_quality)))
        return QuorvaneError(kQuorvaneValidationError,
                             tr("The export settings are damaged: resolution %1, scale %2, quality %3.")
                                 .arg(m_dpi)
                                 .arg(m_scale)
                                 .arg(m_quality));
    return std::nullopt;
}

bool VLTMExportOperation::writeToFiles(QuorvaneError* error)
{
    QList<QUrl> written;
    const auto finish = [&](bool result) {
        m_filesWrittenURLs = written;
        m_freeNames.reset();
        return result;
    };
    QList<ZQObjectPtr> sources = m_sources;
    // Tokens in the root decide the naming, and the choice stays with the settings.
    if (m_fileNameRoot.contains(kIndexToken))
        setFileNamingOption(kVLTMNameIndexToken);
    else if (m_fileNameRoot.contains(kNameToken))
        setFileNamingOption(kVLTMNameNameToken);
    if (m_sourceType == kVLTMExportDrawing)
        sources = m_drawing ? QList<ZQObjectPtr>{m_drawing} : QList<ZQObjectPtr>{};
    if (const std::optional<QuorvaneError> problem = settingsProblem()) {
        ZQLog(QStringLiteral("the export cannot start: %1").arg(problem->localizedDescription()));
        if (error)
            *error = *problem;
        return finish(false);
    }
    exportfolder::createFolder(m_folderURL.toLocalFile());
    m_freeNames.emplace(m_folderURL.toLocalFile(), fileExtension());
    qint64 index = 0;
    for (const ZQObjectPtr& source : sources) {
        if (!isVisibleSource(source.get()))
            continue;
        QuorvaneError failure;
        const std::optional<QUrl> url = writeSourceAtIndex(source.get(), index, &failure);
        if (failure) {
            ZQLog(QStringLiteral("the image could not be written, error = %1").arg(failure.localizedDescription()));
            if (error)
                *error = failure;
            return finish(false);
        }
        if (url)
            written.append(*url);
        else
            ZQLog(QStringLiteral("image data could not be created for index %1 in %2").arg(index).arg(description()));
        ++index;
    }
    return finish(true);
}

exportraster::Parameters VLTMExportOperation::rasterParameters() const
{
    exportraster::Parameters parameters;
    parameters.format = imageFileType(m_format);
    parameters.quality = m_quality;
    parameters.dpi = m_dpi;
    parameters.scale = m_scale;
    parameters.colourSpace = m_colorspace;
    if (!m_transparent && m_drawing)
        parameters.background = m_drawing->paperColour();
    return parameters;
}

std::optional<QUrl> VLTMExportOperation::writeSourceAtIndex(const ZQObject* source, qint64 index,
                                                            QuorvaneError* error)
{
    const QDir folder(m_folderURL.toLocalFile());
    if (m_format == kVLTMExportNative) {
        const std::optional<platform::FileWrapper> package = fileWrapperWithSourceAtIndex(source, index, error);
        if (!package || (error && *error))
            return std::nullopt;
        const QString path = folder.filePath(filenameWithSourceAtIndex(source, index));
        return package->writeToPath(path, error) ? std::optional(QUrl::fromLocalFile(path)) : std::nullopt;
    }
    const QByteArray data = imageDataWithSourceAtIndex(source, index, error);
    if (data.isEmpty())
        return std::nullopt;
    // Written as a file, never swapped with whatever holds the name: a folder there is an error.
    const QString path = folder.filePath(filenameWithSourceAtIndex(source, index));
    if (const QuorvaneError failure = platform::ImageWriter::writeDataToFile(data, path)) {
        if (error)
            *error = failure;
        return std::nullopt;
    }
    return QUrl::fromLocalFile(path);
}

QByteArray VLTMExportOperation::rasterImageDataFromSourceRect(const exportraster::RegionRenderer& render,
                                                              const QRectF& region, QuorvaneError* error) const
{
    return exportraster::imageData(region, rasterParameters(), render, error);
}

QByteArray VLTMExportOperation::imageDataWithSourceAtIndex(const ZQObject* source, qint64 /*index*/,
                                                           QuorvaneError* error) const
{
    const bool pdf = !isBitmapFormat(m_format);
    switch (m_sourceType) {
    case kVLTMExportDrawing:
        if (const auto* drawing = qobject_cast<const VXDrawing*>(source))
            return pdf ? drawing->pdf()
                       : rasterImageDataFromSourceRect(exportraster::drawingRenderer(*drawing, drawing->bounds()),
                                                       drawing->bounds(), error);
        break;
    case kVLTMExportLayers:
        if (const auto* layer = qobject_cast<const VXLayer*>(source); layer && layer->drawing()) {
            const QRectF area = layer->drawing()->bounds();
            return pdf ? layer->pdf()
                       : rasterImageDataFromSourceRect(exportraster::layerRenderer(*layer, area), area, error);
        }
        break;
    case kVLTMExportSlices:
        if (const auto* slice = qobject_cast<const VXQSlice*>(source)) {
            platform::ImageWriteOptions options;
            options.compressionFactor = m_quality;
            return pdf ? slice->pdfData()
                       : slice->imageDataInFormatOptionsDpiScaleColorspaceDrawPaperBackground(
                             imageFileType(m_format), options, m_dpi, m_scale, m_colorspace, !m_transparent, error);
        }
        break;
    case kVLTMExportSelection:
        if (const auto* object = qobject_cast<const VXDrawableObject*>(source))
            return pdf ? object->pdf()
                       : rasterImageDataFromSourceRect(exportraster::objectRenderer(*object, object->bounds()),
                                                       object->bounds(), error);
        break;
    default: break;
    }
    return {};
}

std::optional<platform::FileWrapper> VLTMExportOperation::fileWrapperWithSourceAtIndex(const ZQObject* source,
                                                                                       qint64 index,
                                                                                       QuorvaneError* error) const
{
    if (m_format != kVLTMExportNative) {
        const QByteArray data = imageDataWithSourceAtIndex(source, index, error);
        if (data.isEmpty())
            return std::nullopt;
        return platform::FileWrapper::regularFile(data, filenameWithSourceAtIndex(source, index));
    }
    if (!ZQ_EXPECT(m_sourceType == kVLTMExportSlices,
                   QStringLiteral("error: incompatible format (native) and export source (not slices)")))
        return std::nullopt;
    const auto* slice = qobject_cast<const VXQSlice*>(source);
    const VXDrawingPtr drawing = slice ? slice->extractDrawing() : nullptr;
    if (!drawing)
        return std::nullopt;
    const std::shared_ptr<ZQQuorvaneDocument> document = ZQQuorvaneDocument::documentWithDrawingDisplay(drawing, false);
    if (!document)
        return std::nullopt;
    std::optional<platform::FileWrapper> package = document->fileWrapperOfTypeError(kZQMapDocumentType, error);
    // The document only lent its package writing: it is not one the user has open.
    platform::DocumentController::sharedDocumentController()->removeDocument(document.get());
    return package;
}

QString VLTMExportOperation::nameOfSource(const ZQObject* source) const
{
    switch (m_sourceType) {
    case kVLTMExportLayers:
        if (const auto* layer = qobject_cast<const VXLayer*>(source))
            return layer->layerName();
        return {};
    case kVLTMExportSlices:
        if (const auto* slice = qobject_cast<const VXQSlice*>(source))
            return slice->name();
        return {};
    case kVLTMExportSelection:
        if (const auto* object = qobject_cast<const VXDrawableObject*>(source))
            return object->name();
        return {};
    default: return QStringLiteral("");
    }
}

QString VLTMExportOperation::filenameWithSourceAtIndex(const ZQObject* source, qint64 index) const
{
    // The one file of the whole drawing takes the bare root; the chosen naming stays for the next
    // export of several sources.
    const int option = m_sourceType == kVLTMExportDrawing ? int(kVLTMNameRootOnly) : m_fileNamingOption;
    QString part;
    switch (option) {
    case kVLTMNameRootAndIndex:
    case kVLTMNameIndexToken:
        part = QStringLiteral("%1").arg(m_firstIndex + quint64(index) * m_indexIncrement, 4, 10, QChar(u'0'));
        break;
    case kVLTMNameRootAndName:
    case kVLTMNameNameToken: part = nameOfSource(source); break;
    default: break;
    }
    QString base = m_fileNameRoot;
    if (!part.isNull()) {
        if (option == kVLTMNameNameToken)
            base.replace(kNameToken, part, Qt::CaseInsensitive);
        else if (option == kVLTMNameIndexToken)
            base.replace(kIndexToken, part, Qt::CaseInsensitive);
        else
            base += part;
    }
    base = exportnaming::safeFileName(base);
    if (!m_overwriteExisting) {
        base = m_freeNames ? m_freeNames->freeBaseName(base)
                           : exportnaming::FreeNameFinder(m_folderURL.toLocalFile(), fileExtension()).freeBaseName(base);
    }
    return base + u'.' + fileExtension();
}

QString VLTMExportOperation::fileExtension() const
{
    switch (m_format) {
    case kVLTMExportNative: return QStringLiteral("qvnl");
    case kVLTMExportTIFF: return QStringLiteral("tiff");
    case kVLTMExportBMP: return QStringLiteral("BMP");
    case kVLTMExportGIF: return QStringLiteral("gif");
    case kVLTMExportJPEG: return QStringLiteral("jpg");
    case kVLTMExportPNG: return QStringLiteral("png");
    default: return QStringLiteral("pdf");
    }
}

// --- Folder -------------------------------------------------------------------------------------

bool VLTMExportOperation::restoreFolderURLFromBookmarkData(const QVariant& data)
{
    const QString stored = exportfolder::folderForStoredValue(data);
    const bool resolved = !stored.isEmpty();
    QString folder = stored;
    if (!resolved) {
        static bool fallbackLogged = false;
        if (!std::exchange(fallbackLogged, true))
            ZQLog(QStringLiteral("the bookmark data could not be resolved - will fall back to "
                                 "~/Documents/%1/Exported Files/ error=%2")
                      .arg(VLTMApplication::productName(),
                           data.isValid() ? QStringLiteral("no such folder") : QStringLiteral("no bookmark")));
        folder = exportfolder::defaultExportLocation();
        if (!folder.isEmpty())
            platform::UserDefaults::standardUserDefaults()->setObjectForKey(folder, kVLTMExportOptionsFolderURL);
    }
    setFolderURL(folder.isEmpty() ? QUrl() : QUrl::fromLocalFile(folder));
    if (!folder.isEmpty())
        exportfolder::createFolder(folder);
    return resolved;
}

// --- Archiving ----------------------------------------------------------------------------------

QVariantMap VLTMExportOperation::restorableStateInfo() const
{
    return {{kExportStateKey, platform::KeyedArchiver::archivedDataWithRootObject(this)}};
}

VLTMExportOperationPtr VLTMExportOperation::exportOperationWithRestorableStateInfo(const QVariantMap& info)
{
    const QVariant state = info.value(kExportStateKey);
    if (state.typeId() != QMetaType::QByteArray)
        return nullptr;
    QuorvaneError error;
    auto operation = std::dynamic_pointer_cast<VLTMExportOperation>(
        platform::KeyedUnarchiver::unarchiveObjectWithData(state.toByteArray(), &error));
    if (!operation)
        ZQLog(QStringLiteral("export settings could not be read: %1").arg(error.localizedDescription()));
    return operation;
}

QString VLTMExportOperation::description() const
{
    return QStringLiteral("%1 URL=%2, filename='%3', format=%4, dpi=%5, quality=%6, cspace=%7, source=%8")
        .arg(ZQObject::description(), m_folderURL.toString(), m_fileNameRoot)
        .arg(m_format)
        .arg(m_dpi, 0, 'f', 6)
        .arg(m_quality, 0, 'f', 6)
        .arg(m_colorspace)
        .arg(m_sourceType);
}

std::shared_ptr<ZQObject> VLTMExportOperation::copy() const
{
    VLTMExportOperationPtr copy = exportOperation();
    copy->m_drawing = m_drawing;
    copy->m_sourceType = m_sourceType;
    copy->m_sources = m_sources;
    copy->m_folderURL = m_folderURL;
    copy->m_dpi = m_dpi;
    copy->m_quality = m_quality;
    copy->m_colorspace = m_colorspace;
    copy->m_transparent = m_transparent;
    copy->m_fileNameRoot = m_fileNameRoot;
    copy->m_firstIndex = m_firstIndex;
    copy->m_indexIncrement = m_indexIncrement;
    copy->m_indexPadLength = m_indexPadLength;
    copy->m_scale = m_scale;
    copy->m_fileNamingOption = m_fileNamingOption;
    copy->m_format = m_format;
    copy->m_showInFinder = m_showInFinder;
    copy->m_overwriteExisting = m_overwriteExisting;
    copy->m_groupInFolder = m_groupInFolder;
    return copy;
}

void VLTMExportOperation::encodeWithCoder(platform::KeyedArchiver& coder) const
{
    coder.encodeConditionalObject(m_drawing.get(), kDrawingKey);
    coder.encodeInt(m_sourceType, kSourceTypeKey);
    coder.encodeDouble(m_dpi, kDpiKey);
    coder.encodeDouble(m_scale, kScaleKey);
    coder.encodeDouble(m_quality, kQualityKey);
    coder.encodeObject(QVariant(m_colorspace), kColorspaceKey);
    coder.encodeBool(m_transparent, kTransparentKey);
    coder.encodeObject(QVariant(m_fileNameRoot), kFilenameRootKey);
    coder.encodeInt(qint64(m_firstIndex), kFirstIndexKey);
    coder.encodeInt(qint64(m_indexIncrement), kIndexIncrementKey);
    coder.encodeInt(qint64(m_indexPadLength), kIndexPadLengthKey);
    coder.encodeInt(m_fileNamingOption, kNamingOptionKey);
    coder.encodeInt(m_format, kFormatKey);
    coder.encodeBool(m_showInFinder, kShowInFinderKey);
    coder.encodeBool(m_overwriteExisting, kOverwriteKey);
    coder.encodeBool(m_groupInFolder, kGroupInFolderKey);
    coder.encodeInt(kBookmarkVersion, kBookmarkVersionKey);
}

void VLTMExportOperation::initWithCoder(platform::KeyedUnarchiver& coder)
{
    // Settings written by older versions lack keys: those keep the defaults of a new operation.
    const auto has = [&coder](const QString& key) { return coder.containsValueForKey(key); };
    if (has(kSourceTypeKey))
        m_sourceType = int(coder.decodeInt(kSourceTypeKey));
    if (has(kDpiKey))
        m_dpi = coder.decodeDouble(kDpiKey);
    if (has(kScaleKey))
        m_scale = coder.decodeDouble(kScaleKey);
    if (has(kQualityKey))
        m_quality = coder.decodeDouble(kQualityKey);
    if (const QVariant space = coder.decodeValue(kColorspaceKey); space.typeId() == QMetaType::QString)
        m_colorspace = exportcolour::isKnown(space.toString()) ? space.toString() : exportcolour::kSRGB;
    if (has(kTransparentKey))
        m_transparent = coder.decodeBool(kTransparentKey);
    if (const QVariant root = coder.decodeValue(kFilenameRootKey); root.typeId() == QMetaType::QString)
        m_fileNameRoot = root.toString();
    if (has(kFirstIndexKey))
        m_firstIndex = quint64(coder.decodeInt(kFirstIndexKey));
    if (has(kIndexIncrementKey))
        m_indexIncrement = quint64(coder.decodeInt(kIndexIncrementKey));
    if (has(kIndexPadLengthKey))
        m_indexPadLength = quint64(coder.decodeInt(kIndexPadLengthKey));
    if (has(kNamingOptionKey))
        m_fileNamingOption = int(coder.decodeInt(kNamingOptionKey));
    if (has(kFormatKey))
        m_format = coder.decodeInt(kFormatKey);
    if (has(kShowInFinderKey))
        m_showInFinder = coder.decodeBool(kShowInFinderKey);
    if (has(kOverwriteKey))
        m_overwriteExisting = coder.decodeBool(kOverwriteKey);
    if (has(kGroupInFolderKey))
        m_groupInFolder = coder.decodeBool(kGroupInFolderKey);
    restoreFolderURLFromBookmarkData(platform::UserDefaults::standardUserDefaults()->objectForKey(kVLTMExportOptionsFolderURL));
}
