#include "LibraryTesting.h"

#include "support/LogCapture.h"
#include "library/items/LibraryItemPackage.h"
#include "platform/foundation/NotificationCenter.h"
#include "platform/foundation/Predicate.h"
#include "platform/foundation/PropertyList.h"
#include "platform/foundation/RunLoop.h"
#include "platform/ui/Pasteboard.h"

#include <QFile>
#include <QImageReader>
#include <QMimeData>
#include <QThreadPool>

namespace {

int countPosts(const QString& name, const std::function<void()>& work)
{
    int count = 0;
    QObject receiver;
    platform::NotificationCenter::defaultCenter().addObserver(&receiver, name, nullptr,
                                                             [&](const platform::Notification&) { ++count; });
    work();
    return count;
}

QByteArray fileBytes(const QString& path)
{
    QFile file(path);
    return file.open(QIODevice::ReadOnly) ? file.readAll() : QByteArray();
}

} // namespace

TEST_F(LibraryTest, PackageHoldsDataInfoThumbnailAndPreview)
{
    VXQLibraryPtr library = makeLibrary(QStringLiteral("Base"));
    const VXStylePtr style = makeStyle(QStringLiteral("Main Road"));
    const VXQLibraryItemPtr item = VXQLibraryItem::itemWithLibraryObject(style);
    library->addItem(item);
    const QString package = library->path() + QStringLiteral("/Main Road.libitem");
    ASSERT_EQ(item->path(), package);

    const std::optional<QVariant> info = platform::PropertyList::fromData(fileBytes(package + "/__info"));
    ASSERT_TRUE(info);
    const QVariantMap map = info->toMap();
    EXPECT_EQ(map.value("name"), "Main Road");
    EXPECT_EQ(map.value("id"), style->uniqueKey());
    EXPECT_EQ(map.value("locked"), false);
    EXPECT_EQ(map.value("created_by"), VLTMApplication::registeredUserName());
    // The style counts from 1970; the stored date must be the same instant.
    const QDateTime modified = map.value("last_mod_date").toDateTime();
    EXPECT_NEAR(double(modified.toMSecsSinceEpoch()) / 1000.0, style->lastModificationTimestamp(), 1.0);
    EXPECT_TRUE(fileBytes(package + "/__info").startsWith("<?xml"));

    QImageReader thumbnail(package + "/QuickLook/Thumbnail.jpg");
    EXPECT_EQ(thumbnail.format(), "jpeg");
    EXPECT_EQ(thumbnail.size(), QSize(64, 64));
    QImageReader preview(package + "/QuickLook/Preview.pdf");
    preview.setDecideFormatFromContent(true);
    EXPECT_EQ(preview.format(), "tiff");
    EXPECT_FALSE(preview.read().isNull());

    const VXQLibraryItemPtr reread = VXQLibraryItem::itemWithFile(package);
    ASSERT_TRUE(reread);
    EXPECT_EQ(reread->uniqueKey(), style->uniqueKey());
    EXPECT_EQ(reread->classCode(), 1);
    EXPECT_EQ(reread->creationDate().toSecsSinceEpoch(), item->creationDate().toSecsSinceEpoch());
}

TEST_F(LibraryTest, RenamingCleansMakesUniqueMovesThePackageAndReportsFailures)
{
    VXQLibraryPtr library = makeLibrary(QStringLiteral("Names"));
    const VXQLibraryItemPtr road = makeStyleItem(QStringLiteral("Road"));
    const VXQLibraryItemPtr rail = makeStyleItem(QStringLiteral("Rail"));
    library->addItem(road);
    library->addItem(rail);

    road->setName(QStringLiteral("a/b:c"));
    EXPECT_EQ(road->name(), "a-b-c");
    EXPECT_EQ(road->representedObject()->valueForKey("name"), "a-b-c");
    EXPECT_TRUE(QFileInfo::exists(library->path() + "/a-b-c.libitem"));
    EXPECT_FALSE(QFileInfo::exists(library->path() + "/Road.libitem"));

    rail->setName(QStringLiteral("A-B-C"));
    EXPECT_EQ(rail->name(), "A-B-C-1");
    // Only the case changes: the item keeps the name it asked for.
    road->setName(QStringLiteral("A-b-C"));
    EXPECT_EQ(road->name(), "A-b-C");

    QDir().mkpath(library->path() + "/Orphan.libitem");
    rail->setName(QStringLiteral("Orphan"));
    EXPECT_EQ(rail->name(), "A-B-C-1");
    EXPECT_EQ(nameErrors, QStringList({"Orphan"}));
    EXPECT_TRUE(QFileInfo::exists(rail->path()));
    for (const QString& unusable : {QStringLiteral(".."), QStringLiteral("."), QString(300, u'x')})
        rail->setName(unusable);
    EXPECT_EQ(rail->name(), "A-B-C-1");
    EXPECT_EQ(nameErrors.size(), 4);
    EXPECT_EQ(QDir(library->path()).entryList({"*.libitem"}, QDir::Dirs | QDir::Hidden).size(), 3);
    VXQLibraryCategory* roads = library->addCategoryWithName(QStringLiteral("Roads"));
    roads->addCategoryWithName(QStringLiteral("Minor"))->addItem(road);
    // Minor, "All Items", "Recently Added" and "All Styles".
    EXPECT_EQ(road->categories().size(), 4);
    EXPECT_TRUE(road->categories().contains(roads->categoryWithName(QStringLiteral("Minor"))));
    EXPECT_TRUE(road->style());
    EXPECT_FALSE(road->symbolMaster());
}

TEST_F(LibraryTest, ObjectChangesRewriteThePackageOnceAfterReload)
{
    VXQLibraryPtr library = makeLibrary(QStringLiteral("Changes"));
    const VXQLibraryItemPtr item = makeStyleItem(QStringLiteral("Road"));
    library->addItem(item);
    ASSERT_TRUE(item->unload());
    EXPECT_FALSE(item->hasObject());
    const auto style = std::dynamic_pointer_cast<VXStyle>(item->representedObject());
    ASSERT_TRUE(style);
    ASSERT_TRUE(item->unload());
    const auto again = std::dynamic_pointer_cast<VXStyle>(item->representedObject());
    ASSERT_TRUE(again);

    const int writes = countPosts(kVXQLibraryObjectWasUpdatedOnDisk, [&] {
        again->setLocked(true);
        platform::RunLoop::runUntilIdle();
    });
    EXPECT_EQ(writes, 1);
    EXPECT_TRUE(item->locked());
    EXPECT_EQ(LibraryItemPackage::readInfo(item->path())->value("locked"), true);
    // The object dropped by the first unload no longer reaches the item.
    EXPECT_EQ(countPosts(kVXQLibraryObjectWasUpdatedOnDisk, [&] {
                  style->setFillColour(Qt::blue);
                  platform::RunLoop::runUntilIdle();
              }),
              0);
}

TEST_F(LibraryTest, DamagedPackagesGiveNoItem)
{
    testsupport::LogCapture log;
    const QString package = userFolder() + "/Broken.libitem";
    QDir().mkpath(package);
    EXPECT_FALSE(VXQLibraryItem::itemWithFile(package));
    for (const QByteArray& data : {QByteArray("garbage"), QByteArray("bplist00\x01\x02", 10)}) {
        QFile file(package + "/__data");
        ASSERT_TRUE(file.open(QIODevice::WriteOnly));
        file.write(data);
        file.close();
        EXPECT_FALSE(VXQLibraryItem::itemWithFile(package));
    }
    // A foreign class in "__data": a predicate is archivable but no library object.
    QFile file(package + "/__data");
    ASSERT_TRUE(file.open(QIODevice::WriteOnly));
    file.write(platform::Predicate::comparison("name", platform::Predicate::Operator::Equal, "x")->archiveData());
    file.close();
    EXPECT_FALSE(VXQLibraryItem::itemWithFile(package));
    // A file where a package belongs.
    QFile plain(userFolder() + "/Flat.libitem");
    ASSERT_TRUE(plain.open(QIODevice::WriteOnly));
    plain.close();
    EXPECT_FALSE(VXQLibraryItem::itemWithFile(plain.fileName()));
    EXPECT_TRUE(log.kinds.contains(kFileEvent));
}

TEST_F(LibraryTest, PreviewsLoadOffTheMainThreadAndFallBackToTheObject)
{
    VXQLibraryPtr library = makeLibrary(QStringLiteral("Previews"));
    const VXQLibraryItemPtr item = makeStyleItem(QStringLiteral("Road"));
    library->addItem(item);
    item->unload();
    VXQLibraryItem::setIconForItem({}, *item);
    VXQLibraryItem::setLoadsImagesUsingThread(true);

    EXPECT_TRUE(item->previewImage().isNull());
    VXQLibraryItem::iconFetchQueue().waitForDone();
    int updates = countPosts(kVXQLibraryObjectImageUpdated, [] { platform::RunLoop::runUntilIdle(); });
    EXPECT_EQ(updates, 1);
    EXPECT_EQ(item->previewImage().size(), QSize(128, 128));
    EXPECT_FALSE(item->hasObject());

    // A preview file that is garbage: the object is loaded on the main thread and drawn.
    QFile preview(item->path() + "/QuickLook/Preview.pdf");
    ASSERT_TRUE(preview.open(QIODevice::WriteOnly));
    preview.write("not an image");
    preview.close();
    VXQLibraryItem::setIconForItem({}, *item);
    VXQLibraryItem::setLoadsImagesUsingThread(false);
    EXPECT_FALSE(item->previewImageLoadingAsynchronously(false).isNull());
    EXPECT_TRUE(item->hasObject());
}

TEST_F(LibraryTest, PasteboardRoundTripResolvesToTheLibrarysItemWithoutWriting)
{
    VXQLibraryPtr library = makeLibrary(QStringLiteral("Paste"));
    QList<VXQLibraryItemPtr> items;
    for (const QString& name : {QStringLiteral("One"), QStringLiteral("Two"), QStringLiteral("Three")}) {
        items.append(makeStyleItem(name));
        library->addItem(items.last());
    }
    QMimeData data;
    platform::Pasteboard pasteboard(&data);
    ASSERT_TRUE(VXQLibraryItem::writeLibraryItemsToPasteboard(items, pasteboard));
    EXPECT_TRUE(pasteboard.types().contains(kVXQLibraryItemPasteboardType));

    const QDateTime before = QFileInfo(items[2]->path() + "/__data").lastModified();
    const QList<VXQLibraryItemPtr> back = VXQLibraryItem::libraryItemsFromPasteboard(pasteboard);
    ASSERT_EQ(back.size(), 3);
    EXPECT_EQ(back[2], items[2]);
    EXPECT_EQ(QFileInfo(items[2]->path() + "/__data").lastModified(), before);
    EXPECT_EQ(VXQLibraryItem::sourceLibraryOnPasteboard(pasteboard), library);

    // Data from other programs under the type answers nothing.
    platform::Pasteboard foreign(&data);
    foreign.declareTypes({kVXQLibraryItemPasteboardType});
    foreign.setDataForType("{\"items\": []}", kVXQLibraryItemPasteboardType);
    EXPECT_TRUE(VXQLibraryItem::libraryItemsFromPasteboard(foreign).isEmpty());
    EXPECT_FALSE(VXQLibraryItem::sourceLibraryOnPasteboard(foreign));
}

TEST_F(LibraryTest, ClassCodesAndCopies)
{
    const VXQLibraryItemPtr symbol = makeSymbolItem(QStringLiteral("Tree"));
    EXPECT_EQ(symbol->classCode(), 2);
    EXPECT_EQ(symbol->kind(), "Symbol");
    EXPECT_FALSE(symbol->originalSize().isEmpty());
    const qint64 first = VXQLibraryItem::codeForClass("SomeLaterClass");
    EXPECT_GE(first, 3);
    EXPECT_EQ(VXQLibraryItem::codeForClass("AnotherLaterClass"), first + 1);
    EXPECT_EQ(VXQLibraryItem::codeForClass("SomeLaterClass"), first);

    VXQLibraryPtr library = makeLibrary(QStringLiteral("Base"));
    library->addItem(symbol);
    const auto copy = std::dynamic_pointer_cast<VXQLibraryItem>(symbol->copy());
    ASSERT_TRUE(copy);
    EXPECT_NE(copy->uniqueKey(), symbol->uniqueKey());
    EXPECT_EQ(copy->name(), "Tree (cloned from Base)");
    EXPECT_EQ(copy->library(), nullptr);
    // Keys neither the item nor its object can set are ignored.
    symbol->setValueForKey(5, QStringLiteral("noSuchKey"));
    symbol->setValueForKey(true, QStringLiteral("autoDetachesInstances"));
    EXPECT_TRUE(std::dynamic_pointer_cast<VXQSymbolMaster>(symbol->representedObject())->autoDetachesInstances());
}

TEST_F(LibraryTest, SymbolItemsPutTheirMasterAndADrawableOnThePasteboard)
{
    VXQLibraryPtr library = makeLibrary(QStringLiteral("Symbols"));
    const VXQLibraryItemPtr tree = makeSymbolItem(QStringLiteral("Tree"));
    library->addItem(tree);
    QMimeData data;
    platform::Pasteboard pasteboard(&data);
    ASSERT_TRUE(VXQLibraryItem::writeLibraryItemsToPasteboardSymbolPrescale({makeStyleItem("Road"), tree}, pasteboard, 2.0));
    const QStringList types = pasteboard.types();
    EXPECT_TRUE(types.contains(kVXQSymbolMasterKeyPasteboardType));
    EXPECT_TRUE(types.contains(platform::pasteboardTypeForMimeType(kVXDrawableObjectPasteboardType)));
    EXPECT_FALSE(types.contains(platform::pasteboardTypeForMimeType(kVXStylePasteboardType)));
    EXPECT_EQ(pasteboard.stringForType(kVXQSymbolMasterKeyPasteboardType), tree->uniqueKey());
    const QList<VXDrawableObjectPtr> drawables = VXDrawableObject::nativeObjectsFromPasteboard(&data);
    ASSERT_EQ(drawables.size(), 1);
    EXPECT_TRUE(drawables.first()->inherits("VXQSymbol"));
}

TEST_F(LibraryTest, ItemsForObjectsFindWhatLibrariesHold)
{
    VXQLibraryPtr library = makeLibrary(QStringLiteral("Known"));
    const VXQLibraryItemPtr known = makeStyleItem(QStringLiteral("Known"));
    library->addItem(known);
    const VXStylePtr stranger = makeStyle(QStringLiteral("Stranger"));
    const QList<ZQObjectPtr> objects{known->representedObject(), stranger};

    const auto any = VXQLibraryItem::libraryItemsWithObjectsReturnAnyExisting(objects, true);
    ASSERT_EQ(any.size(), 2);
    EXPECT_EQ(any[0], known);
    EXPECT_EQ(any[1]->library(), nullptr);
    EXPECT_NE(VXQLibraryItem::libraryItemsWithObjects(objects)[0], known);
    EXPECT_EQ(VXQLibraryItem::existingLibraryItemsWithObjects(objects), QList<VXQLibraryItemPtr>({known}));
    const auto unknown = VXQLibraryItem::libraryItemsWithUnknownObjectsInGroups(objects, {});
    ASSERT_EQ(unknown.size(), 1);
    EXPECT_EQ(unknown[0]->uniqueKey(), stranger->uniqueKey());
    EXPECT_EQ(VXQLibraryItem::libraryItemsWithUnknownObjectsInGroups(objects, {"VELTRUM LIBRARY"}).size(), 2);
    EXPECT_EQ(VXQLibrary::libraryForStyle(*stranger), nullptr);

    VXQLibraryPtr document = makeLibrary(QStringLiteral("Doc"), kVXQLibraryDocumentGroupName);
    document->addUnknownItemsFromSet(objects);
    EXPECT_EQ(document->itemCount(), 1);
    EXPECT_EQ(VXQLibrary::libraryForStyle(*stranger), document);
    EXPECT_EQ(VXQLibraryItem::predefinedFontStyleItems().size() % 11, 0);
}

TEST_F(LibraryTest, AStyleEditedInTheLibraryKeepsItsItemsDescriptionCurrentInMemoryAndOnDisk)
{
    VXQLibraryPtr library = makeLibrary(QStringLiteral("Descriptions"));
    const VXStylePtr style = makeStyle(QStringLiteral("Road"));
    const VXQLibraryItemPtr item = VXQLibraryItem::itemWithLibraryObject(style);
    library->addItem(item);
    const QString before = item->userDescription();

    style->setFillColour(Qt::green);
    ASSERT_NE(style->userDescription(), before);
    EXPECT_EQ(item->userDescription(), style->userDescription());
    style->setStrokeColour(Qt::blue);
    platform::RunLoop::runUntilIdle();
    const std::optional<QVariantMap> written = LibraryItemPackage::readInfo(item->path());
    ASSERT_TRUE(written);
    EXPECT_EQ(written->value(QStringLiteral("user_description")).toString(), style->userDescription());
}
