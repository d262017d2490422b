#pragma once

// The artwork the library's windows show for its elements and groups, 16 points high.

#include <QImage>
#include <QString>

class QAction;

// The named artwork 16 points square: a library's, a category's or a smart category's icon.
QImage librarySquareIcon(const QString& artworkName);
// The factory group shows the maker's mark, every other group a library's shelf; the width
// follows the artwork's proportions.
QImage libraryGroupIcon(const QString& groupName);
// Gives a menu item an element's icon (none clears it), shown even where the desktop keeps
// menus plain.
void setLibraryMenuIcon(QAction* item, const QImage& icon);
