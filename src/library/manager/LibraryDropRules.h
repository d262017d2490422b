#pragma once

// What dropping (or pasting) onto a row of the library manager's outline does, as one pure
// function of the drag and the outline's state, so the window and its tests share one table.

#include <QString>
#include <QStringList>
#include <Qt>

class VXQLibrary;
class VXQLibraryCategory;
class VXQLibraryElementContainer;

// The outline's pasteboard types, most preferred first. The first one a drag offers decides.
inline const QString kVXQLibraryElementPasteboardType = QStringLiteral("VXQ_LIB_ELEMENT_TYPE");
inline const QString kVXQLibraryCategoryInternalPasteboardType = QStringLiteral("VXQ_LIB_CAT_INTERNAL");

struct LibraryDropContext {
    QString preferredType;                                 // first accepted type the drag offers
    VXQLibrary* targetLibrary = nullptr;                   // T: the row's library
    VXQLibraryCategory* targetCategory = nullptr;          // C: the row when it is a category
    VXQLibrary* selectedLibrary = nullptr;                 // S
    VXQLibraryElementContainer* currentCategory = nullptr; // L
    bool sourceAllowsOnlyCopy = false;                     // the drag offers copying only
    VXQLibraryCategory* draggedCategory = nullptr;         // D, for a dragged category
};

class LibraryDropRules {
public:
    // The outline's accepted types in order of preference.
    static QStringList acceptedPasteboardTypes();
    // Copy, link, move or none (Qt::IgnoreAction).
    static Qt::DropAction dragOperation(const LibraryDropContext& drop);

private:
    static Qt::DropAction itemsOperation(const LibraryDropContext& drop);
    static Qt::DropAction drawablesOperation(const LibraryDropContext& drop);
    static Qt::DropAction categoryOperation(const LibraryDropContext& drop);
};
