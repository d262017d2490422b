#pragma once

// The file types the media browser lists. Extensions compare case-sensitively, so only
// these exact forms count.

#include <QStringList>

namespace media {

const QStringList& imageFileTypes();
const QStringList& svgFileTypes();
// The image types followed by the SVG types.
const QStringList& browsableFileTypes();
bool isSVGFileType(const QString& extension);

} // namespace media
