#pragma once

// Fonts by name. Documents name fonts by PostScript name ("Helvetica-Bold"), family name
// ("DejaVu Sans") or full name ("Helvetica Bold"); fontWithNameSize resolves all three
// against the installed families (PostScript names of installed faces exactly, see
// InstalledFonts). Well-known families this system may lack (Helvetica,
// Times, Courier and their usual companions) still resolve: the font keeps the name it was
// asked for, so it is written back unchanged, and draws with the closest installed face.
// Sizes are in points.

#include <QFont>
#include <QString>
#include <optional>

namespace platform {

// A family name longer than this names no font: installed families' names are far shorter, and a
// font's name is compared and folded wherever the font is used.
inline constexpr qsizetype kMaximumFontFamilyLength = 255;

// The font of that name and size, or none when the name matches no installed family and
// no well-known one. A size that is not positive is the default size, 12.
std::optional<QFont> fontWithNameSize(const QString& name, double size);

// Splits "Name Size" at its last space: answers the name and stores the size (0 when the
// last word is not a number, in which case the whole text is the name).
QString fontNameAndSize(const QString& description, double* size);

// The font a "Name Size" description names, or none.
std::optional<QFont> fontValue(const QString& description);

// The PostScript name of the installed face the font draws with ("DejaVuSans-BoldOblique");
// for a family not installed, the family without spaces, "-" and the style ("Helvetica-Bold"),
// no suffix for the regular style.
QString postScriptName(const QFont& font);

// The system's font, named by the installed family that draws it: the name the system gives
// may be an alias ("Sans Serif") that lists no faces to choose.
QFont systemFontOfSize(double size);
QFont boldSystemFontOfSize(double size);

} // namespace platform
