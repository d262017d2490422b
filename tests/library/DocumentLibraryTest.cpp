#include "LibraryTesting.h"

#include "../app/MapDocumentTestSupport.h"
#include "app/document/MapDocumentWindowController.h"
#include "library/LibraryServicesInstallation.h"
#include "library/registry/VXQLibraryRegistryShim.h"
#include "symbols/placed/VXQSymbol.h"

#include <QScopeGuard>

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

TEST_F(LibraryTest, APlacedSymbolsStyleKeepsItsAutomaticNameThroughSaveAndOpenCycles)
{
    installLibraryServices();
    VXQLibraryCatalogue::setDocumentLibrariesAreTemporary(true);
    const VXStyle::SettingsScope restoreStyles;
    // The user's library numbers the styles that symbols detach.
    const VXQLibraryPtr mine = makeLibrary(QStringLiteral("Mine"));
    VXQLibraryCatalogue::setDefaultUserLibrary(mine.get());
    const auto noDefault = qScopeGuard([] { VXQLibraryCatalogue::setDefaultUserLibrary(nullptr); });
    mine->resetAdHocStyleName();

    QTemporaryDir folder;
    const QUrl url = QUrl::fromLocalFile(folder.filePath(QStringLiteral("Map.qvnl")));
    QuorvaneError error;
    {
        const VXQSymbolManager::SharedRegistryScope registry;
        const auto document = mapdocumenttest::newMapDocument();
        const auto master = makeSymbolItem(QStringLiteral("Tower"))->symbolMaster();
        ASSERT_EQ(master->style()->name(), QStringLiteral("Style 1"));
        mapdocumenttest::activeMappingLayer(*document)->addObject(master->symbolWithLocation(QPointF(100, 100)));
        ASSERT_TRUE(document->saveToURLOfTypeForSaveOperationError(url, kZQMapDocumentType,
                                                                   platform::Document::SaveOperation, &error));
        document->close();
    }
    for (int open = 1; open <= 2; ++open) {
        SCOPED_TRACE(open);
        // Each open as in a new run: no master is known yet.
        const VXQSymbolManager::SharedRegistryScope registry;
        auto reopened = std::make_shared<ZQTrueQuorvaneDocument>();
        ASSERT_TRUE(reopened->initWithContentsOfURLOfTypeError(url, kZQMapDocumentType, &error));
        reopened->makeWindowControllers();
        const QList<VXDrawableObjectPtr>& objects = mapdocumenttest::activeMappingLayer(*reopened)->objects();
        ASSERT_EQ(objects.size(), 1);
        const auto* symbol = qobject_cast<const VXQSymbol*>(objects.first().get());
        ASSERT_TRUE(symbol && symbol->style());
        EXPECT_EQ(symbol->style()->name(), QStringLiteral("Style 1"));
        ASSERT_TRUE(reopened->saveToURLOfTypeForSaveOperationError(url, kZQMapDocumentType,
                                                                   platform::Document::SaveOperation, &error));
        reopened->close();
    }
}
