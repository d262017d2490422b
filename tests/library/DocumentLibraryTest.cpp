#include "LibraryTesting.h"

#include "../app/MapDocumentTestSupport.h"
#include "app/document/MapDocumentWindowController.h"
#include "library/LibraryServicesInstallation.h"
#include "library/registry/VXQLibraryRegistryShim.h"
#include "symbols/placed/VXQSymbol.h"

TEST_F(LibraryTest, MapDocumentKeepsALibraryOfItsStylesAndTakesRegisteredCopies)
{
    installLibraryServices();
    VXQLibraryCatalogue::setDocumentLibrariesAreTemporary(true);
    const auto document = mapdocumenttest::newMapDocument();
    VXQMappingLayer* layer = mapdocumenttest::activeMappingLayer(*document);
    ASSERT_TRUE(layer);
    mapdocumenttest::addSquares(*layer, 4);
    const VXStylePtr red = std::dynamic_pointer_cast<VXDrawablePath>(layer->objects()[0])->style();
    ASSERT_TRUE(red);
    // Two placed symbols of one master.
    const auto master = makeSymbolItem(QStringLiteral("Tower"))->symbolMaster();
    layer->addObject(master->symbolWithLocation(QPointF(100, 100)));
    layer->addObject(master->symbolWithLocation(QPointF(140, 100)));

    document->makeWindowControllers();
    ASSERT_TRUE(document->mapWindowController()->window());
    auto* library = qobject_cast<VXQLibrary*>(document->library().get());
    ASSERT_TRUE(library);
    EXPECT_EQ(library->group(), kVXQLibraryDocumentGroupName);
    EXPECT_EQ(library->name(), document->displayName());
    EXPECT_TRUE(library->containsUniqueID(red->uniqueKey()));
    EXPECT_TRUE(library->containsUniqueID(master->uniqueKey()));
    EXPECT_EQ(document->allLibraryObjects().count(master), 1);
    EXPECT_EQ(VXQLibraryCatalogue::librariesInGroup(kVXQLibraryDocumentGroupName)->size(), 1);

    // Registering a style swaps the library's locked copy in throughout the drawing.
    const VXQLibraryItemPtr item = VXQLibraryRegistryShim::registerStyle(red);
    ASSERT_TRUE(item);
    const VXStylePtr copy = item->style();
    EXPECT_EQ(item->library(), VXQLibraryCatalogue::defaultUserLibrary());
    for (int i : {0, 2})
        EXPECT_EQ(std::dynamic_pointer_cast<VXDrawablePath>(layer->objects()[i])->style(), copy);
    EXPECT_NE(std::dynamic_pointer_cast<VXDrawablePath>(layer->objects()[1])->style(), copy);
    EXPECT_FALSE(library->containsUniqueID(red->uniqueKey()));
    // The registry now answers the copy by its key.
    EXPECT_EQ(VXStyleRegistry::styleRegistry()->styleForKey(copy->uniqueKey()), copy);

    const QPointer<VXQLibrary> watched = library;
    document->close();
    EXPECT_EQ(document->library(), nullptr);
    EXPECT_TRUE(VXQLibraryCatalogue::librariesInGroup(kVXQLibraryDocumentGroupName)->isEmpty());
    EXPECT_TRUE(watched.isNull());
    VXStyleRegistry::setStyleRegistry(nullptr);
}

TEST_F(LibraryTest, MapDocumentWithoutStylesMakesNoLibrary)
{
    installLibraryServices();
    const auto document = mapdocumenttest::newMapDocument();
    document->makeTemporaryDocumentLibrary();
    EXPECT_EQ(document->library(), nullptr);
    document->close();
    VXStyleRegistry::setStyleRegistry(nullptr);
}
