#include "library/LibraryServicesInstallation.h"

#include "app/services/LibraryServices.h"
#include "library/catalogue/VXQLibraryCatalogue.h"
#include "library/manager/VXQLibraryManagerWindowController.h"
#include "library/migration/VXQLibraryMigrationController.h"
#include "library/picker/VXQLibraryPickerPaletteController.h"
#include "library/registry/VXQLibraryRegistryShim.h"
#include "platform/foundation/ZQAssert.h"
#include "platform/vantrix/tools/VXObjectCreationTool.h"
#include "symbols/placed/VXQSymbol.h"
#include "symbols/tool/VXQSymbolTool.h"
#include "symbols/utilities/SymbolUtilities.h"

#include <QCoreApplication>
#include <QHash>

namespace {

VXQLibrary* libraryOf(const ZQObjectPtr& object)
{
    return qobject_cast<VXQLibrary*>(object.get());
}

} // namespace

void installLibraryServices()
{
    static const std::shared_ptr<VXQLibraryRegistryShim> registry = VXQLibraryRegistryShim::shim();
    VXStyleRegistry::setStyleRegistry(registry.get());
    const auto showItem = [](const QString& key) {
        VXQLibraryManagerWindowController* manager = VXQLibraryManagerWindowController::sharedLibraryManager();
        manager->showWindow(nullptr);
        return manager->showItemWithUniqueIDSelectIt(key, true);
    };
    // A style just added to the library is shown there, chosen.
    VXQLibraryRegistryShim::setManagerReveal(showItem);
    static bool installed = false;
    if (std::exchange(installed, true))
        return;

    LibraryServices& services = LibraryServices::installed();
    services.makeSymbolRegistry = [] { return ZQObjectPtr(VXQLibraryRegistryShim::shim()); };
    services.runMigrationIfNeeded = [] {
        VXQLibraryCatalogue::initialize();
        return VXQLibraryMigrationController::migrationController()->runModal();
    };
    services.makeDocumentLibrary = [](const QString& name, const QList<ZQObjectPtr>& objects) -> ZQObjectPtr {
        VXQLibraryCatalogue::initialize();
        return VXQLibraryCatalogue::documentLibraryWithNameForItemsCreateOnDisk(name, objects, false);
    };
    services.symbolMastersOfDrawing = [](const VXLayerGroup& drawing) {
        QList<ZQObjectPtr> masters;
        QHash<const VXQSymbolMaster*, bool> seen;
        for (const VXDrawableObjectPtr& object : allSymbols(drawing))
            if (auto* symbol = qobject_cast<VXQSymbol*>(object.get()); symbol && symbol->master())
                if (!std::exchange(seen[symbol->master().get()], true))
                    masters.append(symbol->master());
        return masters;
    };
    services.addUnknownObjects = [](const ZQObjectPtr& library, const QList<ZQObjectPtr>& objects) {
        if (VXQLibrary* documentLibrary = libraryOf(library))
            documentLibrary->addUnknownItemsFromSet(objects);
    };
    services.forgetObject = [](const ZQObjectPtr& library, const ZQObjectPtr& object) {
        VXQLibrary* documentLibrary = libraryOf(library);
        const auto style = std::dynamic_pointer_cast<VXStyle>(object);
        if (documentLibrary && style && documentLibrary->containsUniqueID(style->uniqueKey()))
            documentLibrary->removeItem(documentLibrary->itemWithUniqueID(style->uniqueKey()));
    };
    services.matchingLibraryObjects = [](const QList<ZQObjectPtr>& objects) {
        VXQLibraryCatalogue::initialize();
        return VXQLibraryCatalogue::libraryItemsMatchingItemsInSet(objects);
    };
    services.removeDocumentLibrary = [](const ZQObjectPtr& library) {
        if (VXQLibrary* documentLibrary = libraryOf(library))
            VXQLibraryCatalogue::removeDocumentLibrary(documentLibrary);
    };
    services.setFactoryLibrariesWritable = [](bool writable) {
        VXQLibraryCatalogue::initialize();
        VXQLibraryCatalogue::setFactoryLibrariesWritable(writable);
    };
    services.showLibraryManager = [] { VXQLibraryManagerWindowController::sharedLibraryManager()->showWindow(nullptr); };
    services.existingLibraryManagerWindow = []() -> QWidget* {
        if (!VXQLibraryManagerWindowController::sharedLibraryManagerAvailable())
            return nullptr;
        VXQLibraryManagerWindowController* manager = VXQLibraryManagerWindowController::sharedLibraryManager();
        return manager->isWindowLoaded() ? manager->window() : nullptr;
    };
    services.confirmAndImportLibraryFile = [](const QString& path) {
        return VXQLibraryManagerWindowController::sharedLibraryManager()->confirmAndImportLibraryFileConfirm(path, true);
    };
    services.showLibraryItemWithUniqueID = showItem;
    services.createSymbolsFromObjects = [](const QList<ZQObjectPtr>& objects) {
        QList<VXDrawableObjectPtr> drawables;
        for (const ZQObjectPtr& object : objects)
            if (auto drawable = std::dynamic_pointer_cast<VXDrawableObject>(object))
                drawables.append(drawable);
        return VXQLibraryManagerWindowController::sharedLibraryManager()->createSymbolsFromObjects(drawables);
    };
    services.showLibraryPicker = [] { VXQLibraryPickerPaletteController::sharedLibraryPicker()->showPalette(); };
    services.saveLibraryPickerState = [] { VXQLibraryPickerPaletteController::saveLibraryPickerState(); };
    services.restoreLibraryPickerState = [] { VXQLibraryPickerPaletteController::restoreLibraryPickerState(); };
    services.recordUseOfItem = [](QObject* object) {
        auto* item = qobject_cast<VXQLibraryItem*>(object);
        if (VXQLibrary* library = item ? item->library() : nullptr)
            library->useItem(item);
    };
    services.setToolStyleOrSymbol = [](VXDrawingTool& tool, QObject* object) {
        auto* item = qobject_cast<VXQLibraryItem*>(object);
        if (!item)
            return false;
        if (auto* symbolTool = qobject_cast<VXQSymbolTool*>(&tool)) {
            const VXQSymbolMasterPtr master = item->symbolMaster();
            if (master)
                symbolTool->setSymbolMaster(master);
            return master != nullptr;
        }
        auto* creationTool = qobject_cast<VXObjectCreationTool*>(&tool);
        const VXStylePtr style = creationTool && tool.supportedLibraryItemKind() == 1 ? item->style() : nullptr;
        if (style)
            creationTool->setStyle(style);
        return style != nullptr;
    };
    ZQ_ASSERT(QCoreApplication::instance(), "the application object is made first");
    QObject::connect(QCoreApplication::instance(), &QCoreApplication::aboutToQuit, VXQLibraryCatalogue::shared(),
                     [] { platform::runGuarded("discarding document libraries at quit", [] { VXQLibraryCatalogue::applicationWillQuit(); }); });
}
