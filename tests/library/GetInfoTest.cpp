#include "LibraryTesting.h"

#include "library/info/VXQLibraryGetInfoController.h"
#include "platform/foundation/NotificationCenter.h"

#include <QLabel>
#include <QLineEdit>

TEST_F(LibraryTest, GetInfoShowsPlaceholdersWithoutOneItem)
{
    VXQLibraryGetInfoController info;
    info.setContent({});
    EXPECT_EQ(info.nameField()->text(), u"No Selection");
    EXPECT_EQ(info.creationDateField()->text(), u"N/A");
    EXPECT_EQ(info.sizeField()->text(), u"N/A");
    EXPECT_EQ(info.categoriesListField()->text(), u"N/A");
    EXPECT_TRUE(info.imageView()->pixmap().isNull());
    EXPECT_TRUE(info.lockedIcon()->pixmap().isNull());
    EXPECT_FALSE(info.descriptionField()->isEnabled());

    info.setContent({makeStyleItem(QStringLiteral("A")), makeStyleItem(QStringLiteral("B"))});
    EXPECT_EQ(info.nameField()->text(), u"<Multiple Selection>");
    EXPECT_TRUE(info.kindField()->text().isEmpty());
    EXPECT_TRUE(info.modificationDateField()->text().isEmpty());
}

TEST_F(LibraryTest, GetInfoFillsTheFieldsOfOneItem)
{
    VXQLibraryPtr library = makeLibrary(QStringLiteral("Base"));
    const VXQLibraryItemPtr item = makeSymbolItem(QStringLiteral("Church"));
    library->addItem(item);
    for (const char* name : {"Roads", "10 Lanes", "2 Lanes"})
        library->addCategoryWithName(QString::fromLatin1(name))->addItem(item);
    item->setUserDescription(QStringLiteral("A place of worship"));
    item->setLocked(true);

    VXQLibraryGetInfoController info;
    info.setContent({item});
    EXPECT_EQ(info.nameField()->text(), u"Church");
    EXPECT_EQ(info.descriptionField()->text(), u"A place of worship");
    EXPECT_EQ(info.kindField()->text(), item->kind());
    EXPECT_EQ(info.uniqueKeyField()->text(), item->uniqueKey());
    EXPECT_EQ(info.whereField()->text(), u"Base");
    EXPECT_EQ(info.sizeField()->text(), u"30.00 x 20.00");
    EXPECT_EQ(info.creationDateField()->text(), LibraryItemInfoFields::formattedDate(item->creationDate()));
    EXPECT_NE(info.creationDateField()->text(), u"N/A");
    // Numbers in names sort by value; All Items and the other standard categories are left out.
    EXPECT_EQ(info.categoriesListField()->text(), u"2 Lanes,\n10 Lanes,\nRoads");
    EXPECT_FALSE(info.lockedIcon()->pixmap().isNull());
    EXPECT_EQ(LibraryItemInfoFields::forItem(item.get()).lockIcon.deviceIndependentSize(), QSizeF(16, 16));
}

TEST_F(LibraryTest, GetInfoWritesTheDescriptionToEveryItemShown)
{
    VXQLibraryPtr library = makeLibrary(QStringLiteral("Base"));
    QList<VXQLibraryItemPtr> items;
    for (const char* name : {"A", "B", "C"}) {
        items.append(makeStyleItem(QString::fromLatin1(name)));
        library->addItem(items.last());
    }
    VXQLibraryGetInfoController info;
    info.setContent(items);
    info.descriptionField()->setText(QStringLiteral("Shared \"note\" %1"));
    info.descriptionAction(info.descriptionField());
    for (const VXQLibraryItemPtr& item : items)
        EXPECT_EQ(item->userDescription(), u"Shared \"note\" %1");
}

TEST_F(LibraryTest, GetInfoRefreshesOnlyForItemsItShows)
{
    VXQLibraryPtr library = makeLibrary(QStringLiteral("Base"));
    const VXQLibraryItemPtr shown = makeStyleItem(QStringLiteral("Shown"));
    const VXQLibraryItemPtr other = makeStyleItem(QStringLiteral("Other"));
    library->addItem(shown);
    library->addItem(other);
    VXQLibraryGetInfoController info;
    info.setContent({shown});

    // Change behind the panel's back, then announce it from another item: nothing moves.
    info.nameField()->setText(QStringLiteral("stale"));
    platform::NotificationCenter::defaultCenter().postNotificationName(kVXQLibraryObjectImageUpdated, other.get());
    EXPECT_EQ(info.nameField()->text(), u"stale");
    platform::NotificationCenter::defaultCenter().postNotificationName(kVXQLibraryObjectImageUpdated, shown.get());
    EXPECT_EQ(info.nameField()->text(), u"Shown");
}
