#include "media/folders/FolderBookmark.h"

#include "media/folders/FileIdentity.h"
#include "platform/foundation/PropertyList.h"

#include <QDir>
#include <QFileInfo>
#include <QVariantMap>

namespace {

const QString kPathKey = QStringLiteral("path");
const QString kDeviceKey = QStringLiteral("device");
const QString kInodeKey = QStringLiteral("inode");

std::optional<FolderBookmark::Resolution> refuse(QString* error, const QString& reason)
{
    if (error)
        *error = reason;
    return std::nullopt;
}

} // namespace

std::optional<QByteArray> FolderBookmark::dataForURL(const QUrl& url)
{
    const QString path = url.isLocalFile() ? QDir::cleanPath(url.toLocalFile()) : QString();
    const std::optional<FileIdentity> identity = FileIdentity::ofPath(path);
    if (!QDir::isAbsolutePath(path) || !identity)
        return std::nullopt;
    const QVariantMap record = {
        {kPathKey, path},
        {kDeviceKey, QVariant::fromValue<qulonglong>(identity->device)},
        {kInodeKey, QVariant::fromValue<qulonglong>(identity->inode)},
    };
    return platform::PropertyList::toData(record, platform::PropertyList::Format::Binary);
}

std::optional<FolderBookmark::Resolution> FolderBookmark::resolve(const QByteArray& data, QString* error)
{
    const std::optional<QVariant> value = platform::PropertyList::fromData(data);
    if (!value || value->typeId() != QMetaType::QVariantMap)
        return refuse(error, QStringLiteral("the data is no bookmark"));
    const QVariantMap record = value->toMap();
    const QVariant path = record.value(kPathKey);
    bool deviceRead = false;
    bool inodeRead = false;
    const FileIdentity bookmarked{record.value(kDeviceKey).toULongLong(&deviceRead),
                                  record.value(kInodeKey).toULongLong(&inodeRead)};
    if (path.typeId() != QMetaType::QString || !deviceRead || !inodeRead)
        return refuse(error, QStringLiteral("the bookmark misses its path or identity"));
    if (!QDir::isAbsolutePath(path.toString()))
        return refuse(error, QStringLiteral("the bookmark's path '%1' is not absolute").arg(path.toString()));

    Resolution resolution{QUrl::fromLocalFile(path.toString()), false};
    const std::optional<FileIdentity> current = FileIdentity::ofPath(path.toString());
    resolution.stale = !QFileInfo(path.toString()).isDir() || !current || *current != bookmarked;
    return resolution;
}
