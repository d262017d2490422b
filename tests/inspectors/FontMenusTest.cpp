#include "inspectors/text/VLTMFontMenus.h"
#include "platform/graphics/InstalledFonts.h"
#include "platform/ui/MenuItem.h"
#include "support/SettingScope.h"
#include "support/LogCapture.h"

#include <QMenu>
#include <gtest/gtest.h>
#include <memory>

using platform::MenuItem;

namespace {

auto fontMenuScope(bool wysiwyg)
{
    return std::make_unique<testsupport::SettingScope<bool (*)(), void (*)(bool)>>(
        &VLTMFontMenus::hasWYSIWYGFontMenu, &VLTMFontMenus::setHasWYSIWYGFontMenu, wysiwyg);
}

auto faceMenuScope(bool wysiwyg)
{
    return std::make_unique<testsupport::SettingScope<bool (*)(), void (*)(bool)>>(
        &VLTMFontMenus::hasWYSIWYGFaceMenu, &VLTMFontMenus::setHasWYSIWYGFaceMenu, wysiwyg);
}

MenuItem* itemTitled(QMenu* menu, const QString& title)
{
    for (QAction* action : menu->actions()) {
        if (action->text() == title)
            return qobject_cast<MenuItem*>(action);
    }
    return nullptr;
}

QList<MenuItem::State> states(QMenu* menu)
{
    QList<MenuItem::State> result;
    for (QAction* action : menu->actions())
        result << qobject_cast<MenuItem*>(action)->state();
    return result;
}

} // namespace

TEST(FontMenus, FamilyMenuHasOneItemPerFamilyAndFaceSubmenusOnlyForSeveralFaces)
{
    const auto plain = fontMenuScope(false);
    QObject target;
    std::unique_ptr<QMenu> flat(VLTMFontMenus::makeFontsMenu(&target, "fontMenuAction", false));
    const QStringList families = platform::InstalledFonts::shared().familyNames();
    EXPECT_EQ(flat->title(), "Font");
    ASSERT_EQ(flat->actions().size(), families.size());
    for (int i = 0; i < families.size(); ++i) {
        auto* item = qobject_cast<MenuItem*>(flat->actions()[i]);
        ASSERT_TRUE(item);
        EXPECT_EQ(item->title(), families[i]);
        EXPECT_EQ(item->representedObject().toString(), families[i]);
        EXPECT_EQ(item->action(), "fontMenuAction");
        EXPECT_EQ(item->target(), &target);
        EXPECT_TRUE(item->isEnabled());
        EXPECT_FALSE(item->menu());
        EXPECT_EQ(item->font(), QFont()); // plain titles with the default off
    }

    std::unique_ptr<QMenu> nested(VLTMFontMenus::makeFontsMenu(&target, "fontMenuAction", true));
    MenuItem* dejaVu = itemTitled(nested.get(), "DejaVu Sans");
    ASSERT_TRUE(dejaVu && dejaVu->menu());
    EXPECT_EQ(dejaVu->representedObject().toString(), "DejaVuSans");
    const QList<platform::FontFace> faces = platform::InstalledFonts::shared().facesOfFamily("DejaVu Sans");
    ASSERT_EQ(dejaVu->menu()->actions().size(), faces.size());
    auto* bold = qobject_cast<MenuItem*>(dejaVu->menu()->actions()[3]);
    EXPECT_EQ(bold->representedObject().toString(), faces[3].postScriptName);
    EXPECT_EQ(bold->title(), faces[3].faceName);
    EXPECT_EQ(bold->action(), "fontMenuAction");
    MenuItem* math = itemTitled(nested.get(), "DejaVu Math TeX Gyre"); // one face: no submenu
    ASSERT_TRUE(math);
    EXPECT_FALSE(math->menu());
}

TEST(FontMenus, WysiwygTitlesAreDrawnInTheirOwnFaces)
{
    const auto fonts = fontMenuScope(true);
    const auto facesOn = faceMenuScope(true);
    std::unique_ptr<QMenu> nested(VLTMFontMenus::makeFontsMenu(nullptr, "fontMenuAction", true));
    MenuItem* serif = itemTitled(nested.get(), "DejaVu Serif");
    ASSERT_TRUE(serif);
    EXPECT_EQ(serif->font().family(), "DejaVu Serif");
    EXPECT_EQ(serif->font().pointSizeF(), 11);
    MenuItem* boldItalic = itemTitled(serif->menu(), "Bold Italic");
    ASSERT_TRUE(boldItalic);
    EXPECT_TRUE(boldItalic->font().bold());
    EXPECT_TRUE(boldItalic->font().italic());

    std::unique_ptr<QMenu> faces(VLTMFontMenus::makeFacesMenu(nullptr, "Nimbus Roman"));
    EXPECT_EQ(faces->title(), "Face");
    MenuItem* italic = itemTitled(faces.get(), "Italic");
    ASSERT_TRUE(italic);
    EXPECT_EQ(italic->action(), VLTMFontMenus::kFontFaceAction);
    EXPECT_EQ(italic->representedObject().toString(), "NimbusRoman-Italic");
    EXPECT_EQ(italic->font().family(), "Nimbus Roman");
    EXPECT_TRUE(italic->font().italic());
    EXPECT_EQ(italic->font().pointSizeF(), 12);

    // The face default is read for every item built.
    const auto facesOff = faceMenuScope(false);
    std::unique_ptr<QMenu> plainFaces(VLTMFontMenus::makeFacesMenu(nullptr, "Nimbus Roman"));
    EXPECT_EQ(itemTitled(plainFaces.get(), "Italic")->font(), QFont());
    EXPECT_TRUE(VLTMFontMenus::makeFacesMenu(nullptr, "No Such Family")->actions().isEmpty());
}

TEST(FontMenus, MarkingPutsOneNameOnAndSeveralMixedAndAnswersTheFirstParent)
{
    const auto plain = fontMenuScope(false);
    std::unique_ptr<QMenu> nested(VLTMFontMenus::makeFontsMenu(nullptr, "fontMenuAction", true));
    MenuItem* sans = itemTitled(nested.get(), "DejaVu Sans");
    MenuItem* serif = itemTitled(nested.get(), "DejaVu Serif");
    ASSERT_TRUE(sans && serif);

    QString face;
    QAction* answer = VLTMFontMenus::selectFontsMenu(nested.get(), {"DejaVuSerif-Bold", "DejaVuSans-Oblique"}, &face);
    EXPECT_EQ(answer, sans); // the first parent in menu order
    EXPECT_EQ(sans->state(), MenuItem::MixedState);
    EXPECT_EQ(serif->state(), MenuItem::MixedState);
    EXPECT_EQ(itemTitled(sans->menu(), "Oblique")->state(), MenuItem::MixedState);
    EXPECT_EQ(itemTitled(serif->menu(), "Bold")->state(), MenuItem::MixedState);
    EXPECT_EQ(itemTitled(serif->menu(), "Book")->state(), MenuItem::OffState);
    EXPECT_EQ(face, "Oblique");

    // Marking again clears what the last marking set.
    answer = VLTMFontMenus::selectFontsMenu(nested.get(), {"DejaVuSerif-Bold"});
    EXPECT_EQ(answer, serif);
    EXPECT_EQ(sans->state(), MenuItem::OffState);
    EXPECT_EQ(itemTitled(sans->menu(), "Oblique")->state(), MenuItem::OffState);
    EXPECT_EQ(serif->state(), MenuItem::OnState);
    EXPECT_EQ(itemTitled(serif->menu(), "Bold")->state(), MenuItem::OnState);

    EXPECT_EQ(VLTMFontMenus::selectFontsMenu(nested.get(), {}), nullptr);
    EXPECT_FALSE(states(nested.get()).contains(MenuItem::OnState));

    std::unique_ptr<QMenu> flat(VLTMFontMenus::makeFontsMenu(nullptr, "fontMenuAction", false));
    EXPECT_EQ(VLTMFontMenus::selectFontsMenu(flat.get(), {"Nimbus Sans"})->text(), "Nimbus Sans");

    std::unique_ptr<QMenu> faces(VLTMFontMenus::makeFacesMenu(nullptr, "DejaVu Sans Mono"));
    answer = VLTMFontMenus::selectFacesMenu(faces.get(), {"DejaVuSansMono-Bold", "DejaVuSansMono-Oblique"});
    ASSERT_TRUE(answer);
    EXPECT_EQ(answer->text(), "Oblique"); // upright Book, then Oblique, in the family's order
    EXPECT_EQ(states(faces.get()).count(MenuItem::MixedState), 2);
    EXPECT_EQ(VLTMFontMenus::selectFacesMenu(faces.get(), {"NoSuchFace"}), nullptr);
    EXPECT_EQ(states(faces.get()).count(MenuItem::OffState), faces->actions().size());
}

TEST(FontMenus, FillingAFaceItemChecksItsArguments)
{
    MenuItem item;
    QObject target;
    VLTMFontMenus::populateFacesMenuItem(&item, 1, "DejaVu Sans Mono", &target);
    const platform::FontFace second = platform::InstalledFonts::shared().facesOfFamily("DejaVu Sans Mono").at(1);
    EXPECT_EQ(item.representedObject().toString(), second.postScriptName);
    EXPECT_EQ(item.title(), second.faceName);
    EXPECT_EQ(item.action(), VLTMFontMenus::kFontFaceAction);
    EXPECT_EQ(item.target(), &target);
    // Out of range the item is left as it was and the broken expectation logged.
    testsupport::LogCapture log;
    VLTMFontMenus::populateFacesMenuItem(nullptr, 0, "DejaVu Sans Mono", &target);
    VLTMFontMenus::populateFacesMenuItem(&item, 4, "DejaVu Sans Mono", &target);
    VLTMFontMenus::populateFacesMenuItem(&item, -1, "DejaVu Sans Mono", &target);
    EXPECT_EQ(item.representedObject().toString(), second.postScriptName);
    EXPECT_TRUE(log.contains("menu item expected, got nil"));
    EXPECT_TRUE(log.contains("index of menu item exceeds available members count"));

    EXPECT_TRUE(VLTMFontMenus::hasBoldFont("DejaVu Sans"));
    EXPECT_TRUE(VLTMFontMenus::hasItalicFont("DejaVu Sans"));
    EXPECT_FALSE(VLTMFontMenus::hasBoldFont("DejaVu Math TeX Gyre"));
    EXPECT_FALSE(VLTMFontMenus::hasItalicFont("D050000L"));
    EXPECT_FALSE(VLTMFontMenus::hasBoldFont("No Such Family"));
}
