#include "platform/graphics/FontUtilities.h"
#include "platform/graphics/InstalledFonts.h"
#include "platform/ui/FontManager.h"

#include <QFontInfo>
#include <QSet>
#include <algorithm>
#include <gtest/gtest.h>

using platform::FontFace;
using platform::InstalledFonts;

namespace {

const FontFace* faceNamed(const QList<FontFace>& faces, const QString& postScriptName)
{
    for (const FontFace& face : faces) {
        if (face.postScriptName == postScriptName)
            return &face;
    }
    return nullptr;
}

} // namespace

TEST(InstalledFonts, ListsEachFamilyOnceUnderItsPlainNameWithEveryFaceOnce)
{
    const InstalledFonts& fonts = InstalledFonts::shared();
    const QStringList families = fonts.familyNames();
    ASSERT_TRUE(families.contains("DejaVu Sans")) << "the build installs fonts-dejavu-core";
    ASSERT_TRUE(families.contains("Nimbus Sans")) << "the build installs fonts-urw-base35";
    EXPECT_EQ(QSet<QString>(families.begin(), families.end()).size(), families.size());
    for (const QString& family : families)
        EXPECT_FALSE(family.contains('[')) << family.toStdString(); // no foundry suffixes
    for (qsizetype i = 1; i < families.size(); ++i)
        EXPECT_LE(QString::compare(families[i - 1], families[i], Qt::CaseInsensitive), 0);

    // URW ships each face twice (two formats): the list has it once.
    QSet<QString> postScriptNames;
    for (const QString& family : families) {
        for (const FontFace& face : fonts.facesOfFamily(family)) {
            EXPECT_FALSE(postScriptNames.contains(face.postScriptName)) << face.postScriptName.toStdString();
            postScriptNames.insert(face.postScriptName);
        }
    }

    const QList<FontFace> dejaVu = fonts.facesOfFamily("DejaVu Sans");
    ASSERT_FALSE(dejaVu.isEmpty());
    EXPECT_EQ(dejaVu.first().postScriptName, "DejaVuSans"); // the regular face leads
    const FontFace* boldOblique = faceNamed(dejaVu, "DejaVuSans-BoldOblique");
    ASSERT_TRUE(boldOblique);
    EXPECT_EQ(boldOblique->faceName, "Bold Oblique");
    EXPECT_EQ(boldOblique->weight, QFont::Bold);
    EXPECT_EQ(boldOblique->traits, platform::kBoldFontTrait | platform::kItalicFontTrait);
    const FontFace* condensed = faceNamed(dejaVu, "DejaVuSansCondensed-Bold");
    ASSERT_TRUE(condensed);
    EXPECT_LT(condensed->width, int(QFont::Unstretched));
    EXPECT_GT(dejaVu.indexOf(*condensed), dejaVu.indexOf(*boldOblique)); // narrower faces after the normal ones
    EXPECT_TRUE(fonts.facesOfFamily("No Such Family").isEmpty());
}

TEST(InstalledFonts, EveryFacesPostScriptNameRoundTripsThroughAFont)
{
    const InstalledFonts& fonts = InstalledFonts::shared();
    int checked = 0;
    for (const QString& family : fonts.familyNames()) {
        for (const FontFace& face : fonts.facesOfFamily(family)) {
            const std::optional<QFont> font = platform::fontWithNameSize(face.postScriptName, 13);
            ASSERT_TRUE(font) << face.postScriptName.toStdString();
            EXPECT_EQ(font->family(), family);
            EXPECT_EQ(font->pointSizeF(), 13);
            EXPECT_EQ(platform::postScriptName(*font), face.postScriptName);
            ++checked;
        }
    }
    EXPECT_GT(checked, 20);
    // The face Qt draws is the one named.
    const QFont condensed = *platform::fontWithNameSize("DejaVuSansCondensed-Bold", 12);
    EXPECT_EQ(QFontInfo(condensed).styleName(), "Condensed Bold");
}

TEST(InstalledFonts, NearestFaceGoesBySlopeThenWidthThenWeight)
{
    const auto face = [](const QString& name, int weight, quint32 traits, int width = 100) {
        return FontFace{name, name, weight, traits, width};
    };
    const InstalledFonts fonts({{"Zed", {face("Zed-Bold", 700, platform::kBoldFontTrait), face("Zed", 400, 0)}},
                                {"alpha", {face("Alpha-Italic", 400, platform::kItalicFontTrait),
                                           face("Alpha-Narrow", 400, 0, 75), face("Alpha-Black", 900, 0),
                                           face("Alpha", 400, 0)}}});
    EXPECT_EQ(fonts.familyNames(), (QStringList{"alpha", "Zed"}));
    QStringList order;
    for (const FontFace& f : fonts.facesOfFamily("alpha"))
        order << f.postScriptName;
    EXPECT_EQ(order, (QStringList{"Alpha", "Alpha-Italic", "Alpha-Black", "Alpha-Narrow"}));

    QFont semibold("alpha");
    semibold.setWeight(QFont::DemiBold);
    EXPECT_EQ(fonts.faceForFont(semibold)->postScriptName, "Alpha"); // 600 is nearer 400 than 900
    semibold.setItalic(true);
    EXPECT_EQ(fonts.faceForFont(semibold)->postScriptName, "Alpha-Italic"); // slope before weight
    QFont narrow("alpha");
    narrow.setStretch(80);
    EXPECT_EQ(fonts.faceForFont(narrow)->postScriptName, "Alpha-Narrow");
    EXPECT_EQ(fonts.faceWithTraitsWeight("Zed", platform::kBoldFontTrait, 700)->postScriptName, "Zed-Bold");
    EXPECT_FALSE(fonts.faceForFont(QFont("Missing")));
    EXPECT_EQ(fonts.faceWithPostScriptName("Alpha-Black")->first, "alpha");
    EXPECT_FALSE(fonts.faceWithPostScriptName("alpha-black")); // PostScript names are exact
}

TEST(FontManagerFontList, FamiliesMembersAndFontsByTraits)
{
    platform::FontManager manager;
    EXPECT_EQ(manager.availableFontFamilies(), InstalledFonts::shared().familyNames());
    EXPECT_EQ(manager.availableMembersOfFontFamily("DejaVu Serif"), InstalledFonts::shared().facesOfFamily("DejaVu Serif"));
    EXPECT_EQ(manager.localizedNameForFamilyFace("DejaVu Serif"), "DejaVu Serif");
    // Labels default to a family this system may lack: its stand-in's faces, bold among them.
    if (!InstalledFonts::shared().hasFamily("Helvetica")) {
        const QList<platform::FontFace> standIn = manager.availableMembersOfFontFamily("Helvetica");
        EXPECT_TRUE(std::any_of(standIn.begin(), standIn.end(),
                                [](const platform::FontFace& face) { return face.traits & platform::kBoldFontTrait; }));
    }
    EXPECT_TRUE(manager.availableMembersOfFontFamily("No Such Family").isEmpty());

    const std::optional<QFont> boldItalic = manager.fontWithFamilyTraitsWeightSize(
        "DejaVu Serif", platform::FontManager::BoldFontMask | platform::FontManager::ItalicFontMask, QFont::Bold, 9);
    ASSERT_TRUE(boldItalic);
    EXPECT_EQ(platform::postScriptName(*boldItalic), "DejaVuSerif-BoldItalic");
    EXPECT_EQ(boldItalic->pointSizeF(), 9);
    EXPECT_FALSE(manager.fontWithFamilyTraitsWeightSize("No Such Family", 0, QFont::Normal, 12));

    // A face change keeps the size; a face that is not installed changes nothing.
    const QFont plain = *platform::fontWithNameSize("NimbusSans-Regular", 17);
    const QFont bold = manager.convertFontToFace(plain, "NimbusSans-Bold");
    EXPECT_EQ(platform::postScriptName(bold), "NimbusSans-Bold");
    EXPECT_EQ(bold.pointSizeF(), 17);
    EXPECT_EQ(manager.convertFontToFace(plain, "NimbusSans-Wobbly"), plain);
}
