#pragma once

// The original date an Exif block gives a JPEG file ("YYYY:MM:DD hh:mm:ss"), read from the
// segments before the image data only, with every offset checked against the block.

#include <QString>
#include <optional>

class QIODevice;

std::optional<QString> exifDateTimeOriginal(QIODevice& jpeg);
