#pragma once

// The files of an item package ("<name>.libitem"): "__data" (the object's archive), "__info"
// (an XML property list) and "QuickLook/Thumbnail.jpg" (64 x 64) with "QuickLook/Preview.pdf"
// (the preview as TIFF: images carry no PDF form here; readers go by the bytes, not the name).
// Packages come from disk: a package that is a file or a link is refused, and each member is
// read only when it is a regular file within its size limit.

#include "platform/foundation/ArchiveMemoryBudget.h"

#include <QByteArray>
#include <QImage>
#include <QString>
#include <QVariantMap>
#include <optional>

namespace LibraryItemPackage {

inline const QString kExtension = QStringLiteral("libitem");
inline const QString kDataFile = QStringLiteral("__data");
inline const QString kInfoFile = QStringLiteral("__info");
inline const QString kQuickLookFolder = QStringLiteral("QuickLook");
inline const QString kThumbnailFile = QStringLiteral("Thumbnail.jpg");
inline const QString kPreviewFile = QStringLiteral("Preview.pdf");

// Items this size decode within the unarchiver's memory budget.
inline constexpr qint64 kMaximumDataSize = platform::archive::kMemoryBudget / platform::archive::kMostBytesPerArchiveByte;
inline constexpr qint64 kMaximumInfoSize = qint64(1) << 20;
inline constexpr qint64 kMaximumPreviewSize = qint64(32) << 20;

// A folder (not a link) at `path`.
bool isPackage(const QString& path);
// Nullopt, with a file-event log line, when the member is missing, too large or no file.
std::optional<QByteArray> readMember(const QString& packagePath, const QString& member, qint64 maximumSize);
// The info dictionary; nullopt when it is missing, not a property list or not a dictionary.
std::optional<QVariantMap> readInfo(const QString& packagePath);
// The preview from "Preview.pdf", else from "Preview.tif" beside it; null when neither decodes.
// Safe on any thread.
QImage readPreview(const QString& packagePath);

// The member files' bytes, made from the object's archive, its info and its preview image.
struct Contents {
    QByteArray data;
    QVariantMap info;
    QImage preview;
};
// Writes the whole package atomically at `packagePath` (its folder must exist); false with
// `reason` when it could not.
bool write(const QString& packagePath, const Contents& contents, QString* reason = nullptr);

QByteArray thumbnailData(const QImage& preview);
QByteArray previewData(const QImage& preview);

} // namespace LibraryItemPackage
