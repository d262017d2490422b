// Colour helpers and fonts by name.

#include "platform/graphics/ColourUtilities.h"
#include "platform/graphics/FontUtilities.h"
#include "platform/graphics/InstalledFonts.h"

#include <QFontDatabase>
#include <QFontInfo>
#include <QFontMetricsF>
#include <cmath>
#include <tuple>
#include <gtest/gtest.h>

using namespace platform;

TEST(ColourUtilities, HexTextRoundTripsAndRejectsGarbage)
{
    EXPECT_EQ(hexString(QColor(0xAA, 0xD0, 0xE5)), "#AAD0E5");
    EXPECT_EQ(hexString(QColor(0x33, 0x33, 0x33, 10)), "#333333");
    EXPECT_EQ(hexString(QColor::fromHsvF(0.5f, 1.0f, 1.0f)), "#00FFFF");
    EXPECT_EQ(colorWithHexString("#aad0e5"), QColor(0xAA, 0xD0, 0xE5));
    EXPECT_EQ(colorWithHexString("333"), QColor(0x33, 0x33, 0x33));
    EXPECT_EQ(colorWithHexString(" #10203040 "), QColor(0x10, 0x20, 0x30, 0x40));
    for (const char* bad : {"", "#", "#12", "#12345", "#GG0000", "#1234567", "red"})
        EXPECT_FALSE(colorWithHexString(bad).isValid()) << bad;
    for (QRgb rgb : {0xff000000u, 0xffffffffu, 0xff123456u})
        EXPECT_EQ(colorWithHexString(hexString(QColor::fromRgb(rgb))).rgb(), rgb);
}

TEST(ColourUtilities, GreysLuminosityAndContrast)
{
    EXPECT_NEAR(rgbGrey(0.25).redF(), 0.25, 1e-4);
    EXPECT_NEAR(rgbGrey(0.25).blueF(), 0.25, 1e-4);
    EXPECT_EQ((QList<QColor>{rgbGrey(2), rgbGrey(-1), rgbGrey(std::nan(""))}), (QList<QColor>{Qt::white, Qt::black, Qt::black}));
    EXPECT_DOUBLE_EQ(luminosity(Qt::white), 1);
    EXPECT_DOUBLE_EQ(luminosity(Qt::black), 0);
    EXPECT_NEAR(luminosity(QColor(255, 0, 0)), 0.299, 1e-6);
    EXPECT_NEAR(luminosity(rgbGrey(0.6)), 0.6, 1e-6);
    EXPECT_EQ((QList<QColor>{contrastingColor(Qt::yellow), contrastingColor(QColor(0, 0, 128)),
                             contrastingColor(rgbGrey(0.49)), contrastingColor(rgbGrey(0.51))}),
              (QList<QColor>{Qt::black, Qt::white, Qt::white, Qt::black}));
    EXPECT_EQ(shadowWithLevel(QColor(200, 100, 50, 128), 0.5), QColor(100, 50, 25, 128));
    EXPECT_EQ(highlightWithLevel(Qt::black, 1), QColor(Qt::white));
    EXPECT_EQ(shadowWithLevel(Qt::white, 0), QColor(Qt::white));
}

TEST(FontUtilities, NamesAndSizesParse)
{
    const std::tuple<const char*, const char*, double> cases[] = {{"Helvetica Bold 14.5", "Helvetica Bold", 14.5},
                                                                  {"  DejaVu Sans  9 ", "DejaVu Sans", 9},
                                                                  {"Helvetica", "Helvetica", 0},
                                                                  {"Helvetica Bold", "Helvetica Bold", 0}};
    for (const auto& [text, name, expectedSize] : cases) {
        double size = -1;
        EXPECT_EQ(fontNameAndSize(text, &size), name);
        EXPECT_EQ(size, expectedSize) << text;
    }
    EXPECT_EQ(fontNameAndSize("", nullptr), "");
    for (const char* name : {"NoSuchTypeface 12", "Bold 12", "", "12", "Helvetica-Wobbly 10", "-Bold 10"})
        EXPECT_FALSE(fontValue(name)) << name;
    EXPECT_EQ(systemFontOfSize(11).pointSizeF(), 11);
    EXPECT_TRUE(boldSystemFontOfSize(11).bold());
}

TEST(FontUtilities, SystemFontIsAnInstalledFamilyWithFaces)
{
    // A text set in the system font can take its family's other faces.
    const QFont font = systemFontOfSize(18);
    EXPECT_TRUE(InstalledFonts::shared().hasFamily(font.family())) << font.family().toStdString();
    EXPECT_EQ(QFontInfo(font).family().section(QStringLiteral(" ["), 0, 0), font.family());
    EXPECT_GT(InstalledFonts::shared().facesOfFamily(font.family()).size(), 1);
}

TEST(FontUtilities, InstalledFamiliesResolveByFamilyPostScriptAndFullName)
{
    ASSERT_TRUE(QFontDatabase::families().contains("DejaVu Sans")) << "the build installs fonts-dejavu-core";
    const auto plain = fontValue("DejaVu Sans 11");
    ASSERT_TRUE(plain);
    EXPECT_EQ(plain->family(), "DejaVu Sans");
    EXPECT_EQ(plain->pointSizeF(), 11);
    EXPECT_EQ(postScriptName(*plain), "DejaVuSans");

    const auto bold = fontWithNameSize("DejaVuSans-BoldOblique", 20);
    ASSERT_TRUE(bold);
    EXPECT_EQ(bold->family(), "DejaVu Sans");
    EXPECT_EQ(bold->weight(), QFont::Bold);
    EXPECT_TRUE(bold->italic());
    EXPECT_EQ(postScriptName(*bold), "DejaVuSans-BoldOblique"); // the installed face's own name
    EXPECT_EQ(QFontInfo(*bold).family(), "DejaVu Sans");

    const auto full = fontValue("dejavu sans mono bold 8");
    ASSERT_TRUE(full);
    EXPECT_EQ(full->family(), "DejaVu Sans Mono");
    EXPECT_EQ(full->weight(), QFont::Bold);
}

TEST(FontUtilities, WellKnownMissingFamiliesKeepTheirNameAndDrawWithASimilarFace)
{
    const auto helvetica = fontValue("Helvetica-Bold 14");
    ASSERT_TRUE(helvetica);
    EXPECT_EQ(helvetica->family(), "Helvetica"); // written back unchanged
    EXPECT_EQ(helvetica->weight(), QFont::Bold);
    EXPECT_EQ(helvetica->pointSizeF(), 14);
    EXPECT_FALSE(QFontInfo(*helvetica).family().isEmpty());
    EXPECT_EQ(fontWithNameSize("TimesNewRomanPS-BoldMT", 10)->family(), "Times New Roman");
    EXPECT_EQ(fontWithNameSize("ArialMT", 10)->family(), "Arial");
    EXPECT_EQ(fontWithNameSize("Courier", 0)->pointSizeF(), 12); // no size: the default
    EXPECT_EQ(fontWithNameSize("Courier", std::nan(""))->pointSizeF(), 12);
    const auto monaco = fontWithNameSize("Monaco", 12);
    ASSERT_TRUE(monaco);
    const QFontMetricsF metrics(*monaco); // drawn with the system's fixed-pitch face
    EXPECT_EQ(metrics.horizontalAdvance(QStringLiteral("i")), metrics.horizontalAdvance(QStringLiteral("W")));
    EXPECT_EQ(monaco->family(), "Monaco");
}
