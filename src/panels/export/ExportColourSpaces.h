#pragma once

// The colour spaces exported bitmaps can be written in: sRGB (the default), Qt's other RGB
// spaces, and grey (8-bit, without a profile). Settings keep the identifier; the menu shows
// the display name.

#include <QImage>
#include <QString>
#include <QStringList>

namespace exportcolour {

inline const QString kSRGB = QStringLiteral("sRGB");
inline const QString kGrey = QStringLiteral("Gray");

// Every identifier, in menu order.
QStringList identifiers();
bool isKnown(const QString& identifier);
// "sRGB IEC61966-2.1", "Generic Gray"...; empty for an unknown identifier.
QString displayName(const QString& identifier);
// The image (rendered in sRGB) in that colour space; unchanged for sRGB and unknown identifiers.
QImage convertedImage(QImage image, const QString& identifier);

} // namespace exportcolour
