#pragma once

// The installed font families and their faces as fontconfig lists them, read once. Qt names
// neither PostScript names nor faces by traits, and lists one family per foundry ("Nimbus
// Sans [urw]"); this list has one entry per family, each face once however many files hold
// it, with the PostScript name that documents and the font menus know the face by.
//
// A face's QFont is its family with the face's weight, slope and width, which Qt resolves to
// that face; fonts made elsewhere find their face by the same three (closest weight wins).

#include <QFont>
#include <QList>
#include <QString>
#include <QStringList>
#include <optional>

namespace platform {

// Trait bits of a face, as the font manager's masks number them.
inline constexpr quint32 kItalicFontTrait = 0x1;
inline constexpr quint32 kBoldFontTrait = 0x2;

struct FontFace {
    QString postScriptName; // "DejaVuSans-BoldOblique"
    QString faceName;       // "Bold Oblique"
    int weight = QFont::Normal; // QFont's scale, 100 ... 900
    quint32 traits = 0;
    int width = QFont::Unstretched; // QFont's stretch scale: 100 normal, below narrower

    bool operator==(const FontFace& other) const = default;
};

struct FontFamily {
    QString name;
    // Normal width first; within a width the regular weight, then by weight, upright before sloped.
    QList<FontFace> faces;
};

class InstalledFonts {
public:
    // What fontconfig lists now; read on first use and kept for the run.
    static const InstalledFonts& shared();

    // For tests and for lists read elsewhere: sorts the families and their faces.
    explicit InstalledFonts(QList<FontFamily> families);

    // Sorted case-insensitively.
    QStringList familyNames() const;
    // Empty for a family that is not installed.
    QList<FontFace> facesOfFamily(const QString& family) const;
    bool hasFamily(const QString& family) const;
    // The family and face of a PostScript name (exact, case-sensitive), or none.
    std::optional<std::pair<QString, FontFace>> faceWithPostScriptName(const QString& postScriptName) const;
    // The face of the family that `font` draws with: same slope first, then width, then the
    // closest weight. None when the family is not installed.
    std::optional<FontFace> faceForFont(const QFont& font) const;
    // The installed face nearest to those traits and weight (QFont's scale).
    std::optional<FontFace> faceWithTraitsWeight(const QString& family, quint32 traits, int weight) const;

    // The font of that face at that size (points).
    static QFont fontForFace(const QString& family, const FontFace& face, double size);

private:
    const FontFamily* family(const QString& name) const;

    QList<FontFamily> m_families;
};

} // namespace platform
