#pragma once

// What the application asks of the style and symbol library, which is built above it and
// installs these at start-up (the application never includes the library's headers). Until
// then each service does nothing and answers nothing, so documents keep no library and the
// launch runs no migration.

#include "platform/foundation/ZQObject.h"

#include <QList>
#include <functional>

class QWidget;
class VXDrawingTool;
class VXLayerGroup;

// Posted when a style was swapped for a library's copy {"old_style", "new_style"}; documents
// replace the old one throughout their drawing.
inline const QString kVXQStyleSubstitutionWasPerformed = QStringLiteral("kVXQStyleSubstitutionWasPerformed");

// Posted by the library's picker palette when its chosen item changes {"lib_object": the
// item, absent for none; "aux_style_flag": whether Alt was held}. The item answers its style or
// symbol master as the property "representedObject".
inline const QString kVXQLibraryPickerSelectedObjectDidChange = QStringLiteral("kVXQLibraryPickerSelectedObjectDidChange");
// Posted with the tool whose style or symbol master was set from outside the tool itself.
inline const QString kQuorvaneToolControllerStyleChangedExternally =
    QStringLiteral("kQuorvaneToolControllerStyleChangedExternally");

struct LibraryServices {
    // A new registry of symbol masters that looks them up in the libraries; the symbol manager
    // asks the application delegate for one once and keeps it.
    std::function<ZQObjectPtr()> makeSymbolRegistry;
    // The symbol masters the drawing's placed symbols use, each once.
    std::function<QList<ZQObjectPtr>(const VXLayerGroup& drawing)> symbolMastersOfDrawing;
    // Runs the library update window when old files need it; 0 means quit.
    std::function<int()> runMigrationIfNeeded;
    // A document library named after the document, holding the objects no library knows.
    std::function<ZQObjectPtr(const QString& name, const QList<ZQObjectPtr>& objects)> makeDocumentLibrary;
    std::function<void(const ZQObjectPtr& library, const QList<ZQObjectPtr>& objects)> addUnknownObjects;
    // Drops the object's item from the document library when it holds one.
    std::function<void(const ZQObjectPtr& library, const ZQObjectPtr& object)> forgetObject;
    // The library's own objects for those whose keys a library holds (see VXQLibraryCatalogue).
    std::function<QList<ZQObjectPtr>(const QList<ZQObjectPtr>& objects)> matchingLibraryObjects;
    std::function<void(const ZQObjectPtr& library)> removeDocumentLibrary;
    std::function<void(bool writable)> setFactoryLibrariesWritable;
    // The library manager: shows its window; its window while the manager exists (asking
    // never makes it); asks, then imports a library folder opened from outside.
    std::function<void()> showLibraryManager;
    std::function<QWidget*()> existingLibraryManagerWindow;
    std::function<bool(const QString& path)> confirmAndImportLibraryFile;
    // Shows the library manager with the item of that unique key chosen; false when no
    // library holds it.
    std::function<bool(const QString& uniqueKey)> showLibraryItemWithUniqueID;
    // Asks first when there are many, then makes symbol items of the objects that can be
    // symbols, in the default library, shown in the library manager.
    std::function<bool(const QList<ZQObjectPtr>& objects)> createSymbolsFromObjects;

    // The "Styles & Symbols" palette: shows it; stores and restores its state with the other
    // window states; records a use of a picked item in its library (its recent list).
    std::function<void()> showLibraryPicker;
    std::function<void()> saveLibraryPickerState;
    std::function<void()> restoreLibraryPickerState;
    std::function<void(QObject* item)> recordUseOfItem;
    // Makes the item's style the tool's (a tool taking styles) or its symbol master the
    // tool's (the symbol tool); answers whether the tool took it.
    std::function<bool(VXDrawingTool& tool, QObject* item)> setToolStyleOrSymbol;

    static LibraryServices& installed();
};
