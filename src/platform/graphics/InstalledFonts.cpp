#include "platform/graphics/InstalledFonts.h"

#include <QHash>
#include <QSet>
#include <algorithm>
#include <cmath>
#include <fontconfig/fontconfig.h>
#include <tuple>
#include <memory>

namespace platform {

namespace {

QString stringOf(FcPattern* pattern, const char* object)
{
    FcChar8* value = nullptr;
    if (FcPatternGetString(pattern, object, 0, &value) != FcResultMatch || !value)
        return {};
    return QString::fromUtf8(reinterpret_cast<const char*>(value));
}

int integerOf(FcPattern* pattern, const char* object, int fallback)
{
    int value = fallback;
    FcPatternGetInteger(pattern, object, 0, &value);
    return value;
}

FontFace faceOfPattern(FcPattern* pattern)
{
    FontFace face;
    face.postScriptName = stringOf(pattern, FC_POSTSCRIPT_NAME);
    face.faceName = stringOf(pattern, FC_STYLE);
    face.weight = std::clamp(FcWeightToOpenType(integerOf(pattern, FC_WEIGHT, FC_WEIGHT_REGULAR)), 1, 1000);
    face.width = integerOf(pattern, FC_WIDTH, FC_WIDTH_NORMAL);
    if (integerOf(pattern, FC_SLANT, FC_SLANT_ROMAN) != FC_SLANT_ROMAN)
        face.traits |= kItalicFontTrait;
    // Qt's own rule: a font heavier than Medium is bold.
    if (face.weight > QFont::Medium)
        face.traits |= kBoldFontTrait;
    return face;
}

QList<FontFamily> readFontconfigFamilies()
{
    if (!FcInit())
        return {};
    std::unique_ptr<FcPattern, decltype(&FcPatternDestroy)> pattern(FcPatternCreate(), FcPatternDestroy);
    FcPatternAddBool(pattern.get(), FC_SCALABLE, FcTrue);
    std::unique_ptr<FcObjectSet, decltype(&FcObjectSetDestroy)> objects(
        FcObjectSetBuild(FC_FAMILY, FC_STYLE, FC_POSTSCRIPT_NAME, FC_WEIGHT, FC_SLANT, FC_WIDTH, nullptr),
        FcObjectSetDestroy);
    std::unique_ptr<FcFontSet, decltype(&FcFontSetDestroy)> fonts(FcFontList(nullptr, pattern.get(), objects.get()),
                                                                  FcFontSetDestroy);
    QHash<QString, FontFamily> families;
    QSet<QString> seen;
    for (int index = 0; fonts && index < fonts->nfont; ++index) {
        FcPattern* font = fonts->fonts[index];
        const QString family = stringOf(font, FC_FAMILY);
        FontFace face = faceOfPattern(font);
        // The same face often comes in two formats; a face without a PostScript name cannot be chosen by one.
        if (family.isEmpty() || face.postScriptName.isEmpty() || seen.contains(face.postScriptName))
            continue;
        seen.insert(face.postScriptName);
        FontFamily& entry = families[family];
        entry.name = family;
        entry.faces.append(std::move(face));
    }
    return families.values();
}

// Lower is closer.
double distance(const FontFace& face, quint32 traits, int weight, int width)
{
    const bool italicMismatch = bool(face.traits & kItalicFontTrait) != bool(traits & kItalicFontTrait);
    return (italicMismatch ? 1e6 : 0) + std::abs(face.width - width) * 1e3 + std::abs(face.weight - weight);
}

std::optional<FontFace> nearestFace(const QList<FontFace>& faces, quint32 traits, int weight, int width)
{
    const auto best = std::min_element(faces.begin(), faces.end(), [&](const FontFace& a, const FontFace& b) {
        return distance(a, traits, weight, width) < distance(b, traits, weight, width);
    });
    if (best == faces.end())
        return std::nullopt;
    return *best;
}

} // namespace

const InstalledFonts& InstalledFonts::shared()
{
    static const InstalledFonts fonts(readFontconfigFamilies());
    return fonts;
}

InstalledFonts::InstalledFonts(QList<FontFamily> families)
    : m_families(std::move(families))
{
    std::sort(m_families.begin(), m_families.end(), [](const FontFamily& a, const FontFamily& b) {
        return QString::compare(a.name, b.name, Qt::CaseInsensitive) < 0;
    });
    for (FontFamily& family : m_families) {
        std::sort(family.faces.begin(), family.faces.end(), [](const FontFace& a, const FontFace& b) {
            const auto key = [](const FontFace& face) {
                return std::tuple(face.width != QFont::Unstretched, -face.width, face.weight != QFont::Normal, face.weight,
                                  face.traits & kItalicFontTrait, face.faceName);
            };
            return key(a) < key(b);
        });
    }
}

QStringList InstalledFonts::familyNames() const
{
    QStringList names;
    names.reserve(m_families.size());
    for (const FontFamily& family : m_families)
        names.append(family.name);
    return names;
}

const FontFamily* InstalledFonts::family(const QString& name) const
{
    const auto found = std::find_if(m_families.begin(), m_families.end(),
                                    [&](const FontFamily& family) { return family.name == name; });
    return found == m_families.end() ? nullptr : &*found;
}

QList<FontFace> InstalledFonts::facesOfFamily(const QString& name) const
{
    const FontFamily* found = family(name);
    return found ? found->faces : QList<FontFace>();
}

bool InstalledFonts::hasFamily(const QString& name) const
{
    return family(name) != nullptr;
}

std::optional<std::pair<QString, FontFace>> InstalledFonts::faceWithPostScriptName(const QString& postScriptName) const
{
    for (const FontFamily& family : m_families) {
        for (const FontFace& face : family.faces) {
            if (face.postScriptName == postScriptName)
                return std::pair{family.name, face};
        }
    }
    return std::nullopt;
}

std::optional<FontFace> InstalledFonts::faceForFont(const QFont& font) const
{
    const FontFamily* found = family(font.family());
    if (!found)
        return std::nullopt;
    const quint32 traits = font.italic() ? kItalicFontTrait : 0;
    const int width = font.stretch() == QFont::AnyStretch ? int(QFont::Unstretched) : font.stretch();
    return nearestFace(found->faces, traits, font.weight(), width);
}

std::optional<FontFace> InstalledFonts::faceWithTraitsWeight(const QString& name, quint32 traits, int weight) const
{
    const FontFamily* found = family(name);
    return found ? nearestFace(found->faces, traits, weight, QFont::Unstretched) : std::nullopt;
}

QFont InstalledFonts::fontForFace(const QString& family, const FontFace& face, double size)
{
    QFont font(family);
    font.setWeight(QFont::Weight(face.weight));
    font.setItalic(face.traits & kItalicFontTrait);
    if (face.width != QFont::Unstretched)
        font.setStretch(face.width);
    if (size > 0 && std::isfinite(size))
        font.setPointSizeF(size);
    return font;
}

} // namespace platform
