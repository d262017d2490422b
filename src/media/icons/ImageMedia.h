#pragma once

// Image helpers of the media sources: artwork from the application's resources, the generic
// folder icon, facts about an image file read from its header (never a full decode) and their
// readable description, and cropping. Icons are 16 x 16 points drawn at twice that in pixels.

#include <QByteArray>
#include <QImage>
#include <QRect>
#include <QString>
#include <QVariantMap>

namespace iMedia {

// The identifier of this application's own bundle; any other names no bundle here.
inline const QString kApplicationBundleIdentifier = QStringLiteral("com.veltrum.quorvane");
inline constexpr int kIconSide = 16;

// `name` with its extension (as "VL_Category.pdf") from the resources of the bundle named by
// `bundleID`; when none is found and a fallback name is given, that name from this
// application's resources. PDF artwork is shipped as SVG under the same base name.
QImage imageResourceNamedFromApplicationFallbackTo(const QString& name, const QString& bundleID,
                                                   const QString& fallbackName = {});
// The platform's folder icon at 16 x 16 (the resource "folder" when the platform has none).
QImage sharedGenericFolderIcon();
QImage genericFolderIcon();
// An image of 16 x 16 points from any image.
QImage iconFromImage(const QImage& image);

// The type is not used: the bytes say what they are.
QImage imageWithDataMimeType(const QByteArray& data, const QString& mimeType);

// From the file's header: "width", "height", "depth" (bits per component), "model" ("RGB",
// "Gray"), "filetype" (the extension upper-cased) and, for JPEG files, "dateTime" (the EXIF
// original date); each only when known, nothing at all for a file that is no image.
QVariantMap metadataFromImageAtPath(const QString& path);
// "Size: <w>x<h>\n" when both are known, then "Type: [<depth>bit ][<model> ]<ImageType or
// filetype>\n" when any of depth, model or "ImageType" is.
QString imageMetadataDescriptionForMetadata(const QVariantMap& metadata);

// The rectangle of the image as an image of the rectangle's size, copied as it is.
QImage imageCroppedToRect(const QImage& image, const QRect& rect);

} // namespace iMedia
