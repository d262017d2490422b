#pragma once

// The artwork the library's windows show for its elements, 16 points square.

#include <QImage>
#include <QString>

class VXQLibraryElement;

// A library's (factory or user), a category's or a smart category's icon; null for others.
QImage libraryElementIcon(const VXQLibraryElement* element);
// The factory group shows the maker's mark, every other group a collection.
QImage libraryGroupIcon(const QString& groupName);
