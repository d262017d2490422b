#pragma once

// The artwork the library's windows show for its elements and groups, 16 points high.

#include <QImage>
#include <QString>

class VXQLibraryElement;

// A library's (every one a collection), a category's or a smart category's icon, 16 points
// square; null for others.
QImage libraryElementIcon(const VXQLibraryElement* element);
// The factory group shows the maker's mark, every other group a library's shelf; the width
// follows the artwork's proportions.
QImage libraryGroupIcon(const QString& groupName);
