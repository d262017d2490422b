#include "library/LibraryClasses.h"

#include "library/categories/VXQLibrarySmartCategory.h"
#include "library/items/VXQLibraryItem.h"
#include "library/store/VXQLibrary.h"
#include "platform/foundation/ClassRegistry.h"
#include "symbols/SymbolClasses.h"

void registerLibraryClasses()
{
    registerSymbolClasses();
    platform::ClassRegistry::registerClass<VXQLibraryItem>();
    platform::ClassRegistry::registerClass<VXQLibrary>();
    platform::ClassRegistry::registerClass<VXQLibraryCategory>();
    platform::ClassRegistry::registerClass<VXQFixedLengthLibraryCategory>();
    platform::ClassRegistry::registerClass<VXQLibrarySmartCategory>();
}
