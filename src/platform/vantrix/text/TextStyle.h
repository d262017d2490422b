#pragma once

// The attributes a text adornment gives its whole text, as typed values, and their form as
// an attribute dictionary (the names of platform::AttributedString plus the ones below).
// Converting from a dictionary takes what is usable and leaves the rest at the defaults.

#include "platform/graphics/AttributedString.h"
#include "platform/vantrix/styles/VXShadow.h"

#include <QColor>
#include <QFont>

// A halo of the knockout colour this far (points) around the glyphs, so text stays
// readable over busy map detail.
inline const QString VXTextKnockoutDistanceAttributeName = QStringLiteral("VXTextKnockoutDistance"); // double
inline const QString VXTextKnockoutColourAttributeName = QStringLiteral("VXTextKnockoutColour");     // QColor

namespace platform {

struct TextStyle {
    QFont font = defaultFont();
    QColor colour = Qt::black;
    ParagraphStyle paragraphStyle = defaultParagraphStyle();
    int underlines = 0;
    int strikethroughs = 0;
    // Percent of the font size; negative outlines filled glyphs, positive draws the outline alone.
    double outlineWidth = 0;
    QColor outlineColour; // invalid: the text colour
    double knockoutDistance = 0;
    QColor knockoutColour = Qt::white;
    VXShadowPtr shadow;
    double kerning = 0;  // points added between letters
    double baseline = 0; // points the baseline is raised
    int superscript = 0; // > 0 superscript, < 0 subscript

    static QFont defaultFont();
    // Left aligned, wrapping at words.
    static ParagraphStyle defaultParagraphStyle();

    // Every attribute, defaults included; the shadow only when there is one.
    TextAttributes attributes() const;
    // Values of the wrong type or out of range are left at their defaults; the shadow is copied.
    static TextStyle fromAttributes(const TextAttributes& attributes);
    // The attribute name of an adornment key ("font", "colour", "underlines"...), or empty.
    static QString attributeNameForKey(QStringView key);
};

// Font sizes outside this range are brought into it.
inline constexpr double kMinimumFontSize = 0.5;
inline constexpr double kMaximumFontSize = 1000;
QFont fontWithValidSize(QFont font);

} // namespace platform
