#include "library/items/LibraryItemPackage.h"

#include "platform/foundation/PropertyList.h"
#include "platform/foundation/RegularFile.h"
#include "platform/foundation/ZQLog.h"
#include "platform/ui/FileWrapper.h"

#include <QBuffer>
#include <QDir>
#include <QFileInfo>
#include <QImageReader>
#include <QImageWriter>

namespace LibraryItemPackage {

namespace {

QImage decodeImage(const QByteArray& bytes)
{
    QBuffer buffer;
    buffer.setData(bytes);
    QImageReader reader(&buffer);
    reader.setDecideFormatFromContent(true);
    return reader.read();
}

QByteArray encodeImage(const QImage& image, const char* format, int quality = -1)
{
    if (image.isNull())
        return {};
    QByteArray bytes;
    QBuffer buffer(&bytes);
    buffer.open(QIODevice::WriteOnly);
    QImageWriter writer(&buffer, format);
    if (quality >= 0)
        writer.setQuality(quality);
    return writer.write(image) ? bytes : QByteArray();
}

} // namespace

bool isPackage(const QString& path)
{
    const QFileInfo info(path);
    return info.isDir() && !info.isSymLink();
}

std::optional<QByteArray> readMember(const QString& packagePath, const QString& member, qint64 maximumSize)
{
    if (!isPackage(packagePath))
        return std::nullopt;
    QString reason;
    const QString path = packagePath + u'/' + member;
    std::optional<QByteArray> bytes = platform::readRegularFile(path, maximumSize, &reason, platform::SymbolicLinks::Refuse);
    if (!bytes)
        LogEvent(kFileEvent, QStringLiteral("library item file '%1' could not be read: %2").arg(path, reason));
    return bytes;
}

std::optional<QVariantMap> readInfo(const QString& packagePath)
{
    const std::optional<QByteArray> bytes = readMember(packagePath, kInfoFile, kMaximumInfoSize);
    if (!bytes)
        return std::nullopt;
    const std::optional<QVariant> plist = platform::PropertyList::fromData(*bytes);
    if (!plist || plist->typeId() != QMetaType::QVariantMap) {
        LogEvent(kFileEvent, QStringLiteral("library item info in '%1' is not a dictionary").arg(packagePath));
        return std::nullopt;
    }
    return plist->toMap();
}

QImage readPreview(const QString& packagePath)
{
    const QString member = kQuickLookFolder + u'/' + kPreviewFile;
    std::optional<QByteArray> bytes = readMember(packagePath, member, kMaximumPreviewSize);
    if (!bytes) {
        LogEvent(kFileEvent, QStringLiteral("PDF not found at '%1', trying TIFF").arg(packagePath + u'/' + member));
        bytes = readMember(packagePath, kQuickLookFolder + QStringLiteral("/Preview.tif"), kMaximumPreviewSize);
    }
    return bytes ? decodeImage(*bytes) : QImage();
}

QByteArray thumbnailData(const QImage& preview)
{
    if (preview.isNull())
        return {};
    return encodeImage(preview.scaled(64, 64, Qt::IgnoreAspectRatio, Qt::SmoothTransformation), "jpeg", 33);
}

QByteArray previewData(const QImage& preview)
{
    return encodeImage(preview, "tiff");
}

bool write(const QString& packagePath, const Contents& contents, QString* reason)
{
    using platform::FileWrapper;
    FileWrapper package = FileWrapper::directory(QFileInfo(packagePath).fileName());
    package.addRegularFileWithContentsFilename(contents.data, kDataFile);
    if (const std::optional<QByteArray> info = platform::PropertyList::toData(contents.info, platform::PropertyList::Format::Xml))
        package.addRegularFileWithContentsFilename(*info, kInfoFile);
    FileWrapper quickLook = FileWrapper::directory(kQuickLookFolder);
    quickLook.addRegularFileWithContentsFilename(thumbnailData(contents.preview), kThumbnailFile);
    quickLook.addRegularFileWithContentsFilename(previewData(contents.preview), kPreviewFile);
    package.addFileWrapper(std::move(quickLook));
    QuorvaneError error;
    if (!package.writeToPath(packagePath, &error)) {
        LogEvent(kFileEvent, QStringLiteral("library item package '%1' could not be written: %2")
                                 .arg(packagePath, error.localizedDescription()));
        if (reason)
            *reason = error.localizedDescription();
        return false;
    }
    return true;
}

} // namespace LibraryItemPackage
