#pragma once

// The menus the text pane chooses fonts with, built from the shared font manager's list of
// installed fonts: a family menu (optionally with a submenu of faces under each family of two
// or more faces) and the face menu of one family. Items are platform::MenuItems: a family
// item's represented object is the family name, or, with face submenus, the PostScript name
// of its first face; a face item's is the face's PostScript name.
//
// Either menu can draw each title in the typeface it stands for (WYSIWYG), each by its own
// user default, read again for every item built: a family menu's titles at 11 points, a face
// menu's at 12. A font that does not load leaves its title plain.
//
// Marking: items whose represented object is among the names get the on state when there is
// one name, the mixed state when there are several; every other item is off. The menus take
// no part in automatic enabling: their items are always enabled.

#include <QByteArray>
#include <QSet>
#include <QString>

class QAction;
class QMenu;
class QObject;

namespace platform {
class MenuItem;
}

class VLTMFontMenus {
public:
    static inline const QString kHasWYSIWYGFontMenuKey = QStringLiteral("kVLTMHasWYSIWYGFontMenu");
    static inline const QString kHasWYSIWYGFaceMenuKey = QStringLiteral("kVLTMHasWYSIWYGFaceMenu");
    // Face items always send this action.
    static inline const QByteArray kFontFaceAction = "fontFaceAction";

    static bool hasWYSIWYGFontMenu();
    static void setHasWYSIWYGFontMenu(bool wysiwyg);
    static bool hasWYSIWYGFaceMenu();
    static void setHasWYSIWYGFaceMenu(bool wysiwyg);

    // A new menu titled "Font"; the caller owns it.
    static QMenu* makeFontsMenu(QObject* target, const QByteArray& action, bool withFacesSubmenus);
    // A new menu titled "Face" of the family's faces; the caller owns it.
    static QMenu* makeFacesMenu(QObject* target, const QString& family);
    // Makes the item the face at `index` of the family. A null item or an index past the
    // family's faces is a programming error.
    static void populateFacesMenuItem(platform::MenuItem* item, int index, const QString& family, QObject* target);

    // Marks a family menu and its submenus; answers the first marked top-level item, or null.
    // `face`, when given, receives the title of the first marked submenu item.
    static QAction* selectFontsMenu(QMenu* menu, const QSet<QString>& names, QString* face = nullptr);
    // Marks a flat menu; answers its first marked item, or null.
    static QAction* selectFacesMenu(QMenu* menu, const QSet<QString>& names);

    // Whether any installed face of the family is bold, or italic.
    static bool hasBoldFont(const QString& family);
    static bool hasItalicFont(const QString& family);
};
