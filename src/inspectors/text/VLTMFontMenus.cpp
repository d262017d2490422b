#include "inspectors/text/VLTMFontMenus.h"

#include "platform/foundation/UserDefaults.h"
#include "platform/foundation/ZQAssert.h"
#include "platform/graphics/FontUtilities.h"
#include "platform/ui/FontManager.h"
#include "platform/ui/MenuItem.h"

#include <QCoreApplication>
#include <QMenu>
#include <algorithm>

namespace {

constexpr double kFontMenuTitleSize = 11;
constexpr double kFaceMenuTitleSize = 12;

platform::FontManager& fontManager()
{
    return *platform::FontManager::sharedFontManager();
}

platform::UserDefaults& defaults()
{
    return *platform::UserDefaults::standardUserDefaults();
}

QString tr(const char* text)
{
    return QCoreApplication::translate("VLTMFontMenus", text);
}

platform::MenuItem* addItem(QMenu* menu, const QString& title, const QVariant& represented, QObject* target,
                            const QByteArray& action)
{
    auto* item = new platform::MenuItem(title, action, menu);
    item->setRepresentedObject(represented);
    item->setTarget(target);
    menu->addAction(item);
    return item;
}

void markItem(QAction* action, bool marked, platform::MenuItem::State state)
{
    if (auto* item = qobject_cast<platform::MenuItem*>(action))
        item->setState(marked ? state : platform::MenuItem::OffState);
}

bool isMarked(const QAction* action, const QSet<QString>& names)
{
    const auto* item = qobject_cast<const platform::MenuItem*>(action);
    return item && names.contains(item->representedObject().toString());
}

platform::MenuItem::State markingState(const QSet<QString>& names)
{
    return names.size() < 2 ? platform::MenuItem::OnState : platform::MenuItem::MixedState;
}

bool familyHasTrait(const QString& family, quint32 trait)
{
    const QList<platform::FontFace> faces = fontManager().availableMembersOfFontFamily(family);
    return std::any_of(faces.begin(), faces.end(), [trait](const platform::FontFace& face) { return face.traits & trait; });
}

} // namespace

bool VLTMFontMenus::hasWYSIWYGFontMenu()
{
    return defaults().boolForKey(kHasWYSIWYGFontMenuKey);
}

void VLTMFontMenus::setHasWYSIWYGFontMenu(bool wysiwyg)
{
    defaults().setBoolForKey(wysiwyg, kHasWYSIWYGFontMenuKey);
}

bool VLTMFontMenus::hasWYSIWYGFaceMenu()
{
    return defaults().boolForKey(kHasWYSIWYGFaceMenuKey);
}

void VLTMFontMenus::setHasWYSIWYGFaceMenu(bool wysiwyg)
{
    defaults().setBoolForKey(wysiwyg, kHasWYSIWYGFaceMenuKey);
}

QMenu* VLTMFontMenus::makeFontsMenu(QObject* target, const QByteArray& action, bool withFacesSubmenus)
{
    auto* menu = new QMenu(tr("Font"));
    platform::FontManager& manager = fontManager();
    const QStringList families = manager.availableFontFamilies();
    for (const QString& family : families) {
        const QList<platform::FontFace> faces = manager.availableMembersOfFontFamily(family);
        const QString represented = withFacesSubmenus && !faces.isEmpty() ? faces.first().postScriptName : family;
        platform::MenuItem* item = addItem(menu, manager.localizedNameForFamilyFace(family), represented, target, action);
        const std::optional<QFont> titleFont =
            hasWYSIWYGFontMenu() ? platform::fontWithNameSize(represented, kFontMenuTitleSize) : std::nullopt;
        if (titleFont)
            item->setFont(*titleFont);
        if (!withFacesSubmenus || faces.size() < 2)
            continue;
        auto* submenu = new QMenu(family, menu);
        for (const platform::FontFace& face : faces) {
            platform::MenuItem* faceItem = addItem(submenu, face.faceName, face.postScriptName, target, action);
            if (titleFont)
                faceItem->setFont(manager.convertFontToHaveTrait(*titleFont, face.traits));
        }
        item->setMenu(submenu);
    }
    return menu;
}

QMenu* VLTMFontMenus::makeFacesMenu(QObject* target, const QString& family)
{
    auto* menu = new QMenu(tr("Face"));
    const QList<platform::FontFace> faces = fontManager().availableMembersOfFontFamily(family);
    for (int index = 0; index < faces.size(); ++index) {
        auto* item = new platform::MenuItem(QString(), kFontFaceAction, menu);
        menu->addAction(item);
        populateFacesMenuItem(item, index, family, target);
    }
    return menu;
}

void VLTMFontMenus::populateFacesMenuItem(platform::MenuItem* item, int index, const QString& family, QObject* target)
{
    if (!ZQ_EXPECT(item, QStringLiteral("menu item expected, got nil")))
        return;
    const QList<platform::FontFace> faces = fontManager().availableMembersOfFontFamily(family);
    if (!ZQ_EXPECT(index >= 0 && index < faces.size(), QStringLiteral("index of menu item exceeds available members count")))
        return;
    const platform::FontFace& face = faces.at(index);
    item->setRepresentedObject(face.postScriptName);
    item->setTitle(face.faceName);
    item->setAction(kFontFaceAction);
    item->setTarget(target);
    if (!hasWYSIWYGFaceMenu())
        return;
    if (const auto font = fontManager().fontWithFamilyTraitsWeightSize(family, face.traits, face.weight, kFaceMenuTitleSize))
        item->setFont(*font);
}

QAction* VLTMFontMenus::selectFontsMenu(QMenu* menu, const QSet<QString>& names, QString* face)
{
    if (!menu)
        return nullptr;
    const platform::MenuItem::State state = markingState(names);
    QAction* answer = nullptr;
    bool faceFound = false;
    const QList<QAction*> items = menu->actions();
    for (QAction* item : items) {
        markItem(item, false, state);
        bool matched = false;
        if (QMenu* submenu = item->menu()) {
            const QList<QAction*> faceItems = submenu->actions();
            for (QAction* faceItem : faceItems) {
                const bool marked = isMarked(faceItem, names);
                markItem(faceItem, marked, state);
                if (marked && !faceFound && face) {
                    *face = static_cast<platform::MenuItem*>(faceItem)->title();
                    faceFound = true;
                }
                matched = matched || marked;
            }
        } else {
            matched = isMarked(item, names);
        }
        if (matched) {
            markItem(item, true, state);
            if (!answer)
                answer = item;
        }
    }
    return answer;
}

QAction* VLTMFontMenus::selectFacesMenu(QMenu* menu, const QSet<QString>& names)
{
    if (!menu)
        return nullptr;
    const platform::MenuItem::State state = markingState(names);
    QAction* answer = nullptr;
    const QList<QAction*> items = menu->actions();
    for (QAction* item : items) {
        const bool marked = isMarked(item, names);
        markItem(item, marked, state);
        if (marked && !answer)
            answer = item;
    }
    return answer;
}

bool VLTMFontMenus::hasBoldFont(const QString& family)
{
    return familyHasTrait(family, platform::kBoldFontTrait);
}

bool VLTMFontMenus::hasItalicFont(const QString& family)
{
    return familyHasTrait(family, platform::kItalicFontTrait);
}
