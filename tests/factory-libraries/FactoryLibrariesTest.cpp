// The factory libraries as the application carries them: the town map's point symbols and area
// and line styles, named, filed in categories, drawn, and found by the searches of the library
// manager and the picker.

#include "library/LibraryClasses.h"
#include "library/catalogue/VXQLibraryCatalogue.h"
#include "library/categories/VXQLibraryCategory.h"
#include "library/items/VXQLibraryItem.h"
#include "library/manager/LibraryItemFiltering.h"
#include "library/picker/VXQLibraryPickerPaletteController.h"
#include "library/store/VXQLibrary.h"
#include "platform/vantrix/styles/VXStyle.h"
#include "symbols/masters/VXQSymbolMaster.h"

#include <QLineEdit>
#include <QSet>
#include <QTemporaryDir>
#include <QTest>
#include <gtest/gtest.h>

namespace {

class FactoryLibrariesTest : public ::testing::Test {
protected:
    static void SetUpTestSuite() { registerLibraryClasses(); }

    void SetUp() override
    {
        ASSERT_TRUE(m_user.isValid());
        VXQLibrary::setUserLibrariesFolder(m_user.path());
        VXQLibraryItem::setLoadsImagesUsingThread(false);
    }

    void TearDown() override
    {
        VXQLibraryItem::setLoadsImagesUsingThread(true);
        VXQLibrary::setUserLibrariesFolder({});
    }

    static VXQLibrary& factoryLibrary(const QString& name)
    {
        for (const VXQLibraryPtr& library : VXQLibraryCatalogue::factoryLibraries())
            if (library->name() == name)
                return *library;
        throw std::runtime_error("no factory library " + name.toStdString());
    }

    static QStringList names(const QList<VXQLibraryItemPtr>& items)
    {
        QStringList found;
        for (const VXQLibraryItemPtr& item : items)
            found.append(item->name());
        found.sort();
        return found;
    }

    static QStringList namesIn(const VXQLibraryCategory& category)
    {
        QStringList found;
        for (const VXQLibraryElementPtr& element : category.allElements())
            found.append(element->name());
        found.sort();
        return found;
    }

    QTemporaryDir m_user;
    // Declared last: the libraries go before the folder does.
    VXQLibraryCatalogue::Scope m_catalogue;
};

TEST_F(FactoryLibrariesTest, TownSymbolsAreNamedFiledLockedAndDrawnOnOneGrid)
{
    VXQLibrary& library = factoryLibrary(QStringLiteral("Town Map Symbols"));
    EXPECT_TRUE(library.isFactoryLibrary());
    const QStringList expected{
        "Bus Stop",    "Campsite",   "Castle",   "Church",      "Fire Station", "Fuel",   "Hospital",
        "Information", "Library",    "Lighthouse", "Monument",  "Museum",       "Parking", "Peak",
        "Picnic Site", "Playground", "Police",   "Post Office", "Railway Station", "School", "Spring",
        "Taxi",        "Theatre",    "Toilets",  "Town Hall",   "Tram Stop",    "Tree",   "Viewpoint",
        "Windmill",    "Wood"};
    ASSERT_EQ(names(library.items()), expected);

    // Every symbol is filed under at least one of the town map's categories.
    QSet<QString> filed;
    for (const char* name : {"Culture and Heritage", "Emergency", "Leisure", "Nature", "Public Services", "Transport"}) {
        const VXQLibraryCategory* category = library.categoryWithName(QString::fromLatin1(name));
        ASSERT_TRUE(category) << name;
        for (const QString& member : namesIn(*category))
            filed.insert(member);
    }
    EXPECT_EQ(filed.size(), expected.size());
    const VXQLibraryCategory* transport = library.categoryWithName(QStringLiteral("Transport"));
    ASSERT_TRUE(transport);
    EXPECT_EQ(namesIn(*transport), (QStringList{"Bus Stop", "Fuel", "Parking", "Railway Station", "Taxi", "Tram Stop"}));

    for (const VXQLibraryItemPtr& item : library.items()) {
        SCOPED_TRACE(item->name().toStdString());
        EXPECT_EQ(item->classCode(), 2);
        const auto master = std::dynamic_pointer_cast<VXQSymbolMaster>(item->representedObject());
        ASSERT_TRUE(master);
        EXPECT_EQ(master->name(), item->name());
        EXPECT_TRUE(master->locked());
        // The 24-unit drawing grid is shown 16 points wide; the base square fills 22 of it.
        const QRectF bounds = master->objectBoundsIgnoringLabels();
        EXPECT_NEAR(bounds.width(), 16.0 * 22 / 24, 0.5);
        EXPECT_NEAR(bounds.height(), 16.0 * 22 / 24, 0.5);
        EXPECT_FALSE(item->previewImage().isNull());
    }
}

TEST_F(FactoryLibrariesTest, TownStylesAreAreasWithFillsAndLinesWithout)
{
    VXQLibrary& library = factoryLibrary(QStringLiteral("Town Map Styles"));
    const VXQLibraryCategory* areas = library.categoryWithName(QStringLiteral("Areas"));
    const VXQLibraryCategory* lines = library.categoryWithName(QStringLiteral("Lines"));
    ASSERT_TRUE(areas && lines);
    EXPECT_EQ(namesIn(*areas), (QStringList{"Built-up Area", "Cemetery", "Park", "Water", "Wood"}));
    EXPECT_EQ(namesIn(*lines), (QStringList{"Boundary", "Footpath", "Track"}));
    for (const VXQLibraryItemPtr& item : library.items()) {
        SCOPED_TRACE(item->name().toStdString());
        const auto style = std::dynamic_pointer_cast<VXStyle>(item->representedObject());
        ASSERT_TRUE(style);
        EXPECT_TRUE(style->locked());
        EXPECT_TRUE(style->hasStroke());
        EXPECT_EQ(style->hasFill(), areas->containsElement(item.get()));
    }
}

TEST_F(FactoryLibrariesTest, SearchesFindTheTownContentByNameInAnyCase)
{
    VXQLibrary& symbols = factoryLibrary(QStringLiteral("Town Map Symbols"));
    const auto search = [&](const QString& text, int mode) {
        return names(LibraryItemFiltering::sortedAndFilteredItems(
            *symbols.allItemsCategory(), LibraryItemFiltering::filterPredicate(text, mode), {}));
    };
    EXPECT_EQ(search(QStringLiteral("CHURCH"), LibraryItemFiltering::Contains), QStringList{"Church"});
    EXPECT_EQ(search(QStringLiteral("stop"), LibraryItemFiltering::Contains), (QStringList{"Bus Stop", "Tram Stop"}));
    EXPECT_EQ(search(QStringLiteral("t"), LibraryItemFiltering::BeginsWith),
              (QStringList{"Taxi", "Theatre", "Toilets", "Town Hall", "Tram Stop", "Tree"}));

    // The picker narrows the library as the user types.
    VXQLibraryPickerPaletteController picker;
    picker.window();
    picker.setCategory(symbols.allItemsCategory());
    QTest::keyClicks(picker.searchField(), QStringLiteral("station"));
    EXPECT_EQ(names(picker.filteredItems()), (QStringList{"Fire Station", "Railway Station"}));
    picker.setCategory(factoryLibrary(QStringLiteral("Town Map Styles")).allItemsCategory());
    picker.searchField()->clear();
    QTest::keyClicks(picker.searchField(), QStringLiteral("wood"));
    EXPECT_EQ(names(picker.filteredItems()), QStringList{"Wood"});
}

} // namespace
