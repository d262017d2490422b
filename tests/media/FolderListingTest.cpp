#include "MediaTesting.h"

#include "media/enumeration/FolderListing.h"
#include "platform/foundation/RunLoop.h"

#include <QSet>
#include <QThreadPool>
#include <sys/stat.h>

using mediatest::FolderTree;

namespace {

// Records what a listing hands over.
struct ListingRecorder {
    explicit ListingRecorder(FolderListing& listing)
    {
        QObject::connect(&listing, &FolderListing::batchListed, [this](const FolderListingBatch& batch) {
            batches.append(batch);
        });
        QObject::connect(&listing, &FolderListing::finished, [this] { ++finished; });
    }
    QStringList files() const
    {
        QStringList paths;
        for (const FolderListingBatch& batch : batches)
            for (const ZQURLWithThumb& file : batch.files)
                paths.append(file.url.toLocalFile());
        paths.sort();
        return paths;
    }
    QStringList folders() const
    {
        QStringList paths;
        for (const FolderListingBatch& batch : batches)
            paths.append(batch.folders);
        return paths;
    }
    QList<FolderListingBatch> batches;
    int finished = 0;
};

void settle()
{
    FolderListing::listingPool().waitForDone();
    platform::RunLoop::runUntilIdle();
}

TEST(FolderListingTest, ListsExactTypesOnceEachNearestFoldersFirstAndOpensNoSpecialFile)
{
    FolderTree tree;
    tree.file("Root/photo.JPEG");
    tree.file("Root/photo.Jpeg");
    tree.file("Root/.hidden.png");
    tree.file("Root/notes.txt");
    tree.file("Root/a/b/deep.png");
    tree.file("Root/a/near.svg");
    tree.file("Root/z/last.png");
    tree.file("Root/Atlas.qvnl/inside.png");
    tree.link(tree.path("Root/a/near.svg"), "Root/alias.svg");
    tree.link(tree.path("Root"), "Root/z/up");
    ASSERT_EQ(mkfifo(QFile::encodeName(tree.path("Root/pipe.png")).constData(), 0600), 0);

    FolderListing listing;
    ListingRecorder recorded(listing);
    listing.start({tree.path("Root"), {"png", "svg", "JPEG"}, true, false});
    EXPECT_TRUE(listing.isListing());
    settle();
    EXPECT_FALSE(listing.isListing());
    EXPECT_EQ(recorded.finished, 1);
    EXPECT_EQ(recorded.files(), QStringList({tree.path("Root/a/b/deep.png"), tree.path("Root/a/near.svg"),
                                             tree.path("Root/photo.JPEG"), tree.path("Root/z/last.png")}))
        << "exact extensions; a link's file once; no hidden file, pipe or package content";
    const QStringList folders = recorded.folders();
    ASSERT_EQ(folders.size(), 4) << "the link back up is not walked: " << folders.join(", ").toStdString();
    EXPECT_EQ(folders.first(), tree.path("Root"));
    EXPECT_EQ(folders.last(), tree.path("Root/a/b")) << "breadth first";

    listing.start({tree.path("Root"), {"png"}, false, true});
    settle();
    EXPECT_EQ(recorded.files().size(), 4) << "nothing more from the top folder alone";
    EXPECT_EQ(recorded.batches.last().folders, QStringList{tree.path("Root")});
    EXPECT_EQ(listing.listingsStarted(), 2);
}

TEST(FolderListingTest, ANewListingDropsTheBatchesOfTheOneBeforeAndBatchesStayBounded)
{
    FolderTree tree;
    const int count = FolderListing::kBatchSize * 2 + 7;
    for (int i = 0; i < count; ++i)
        tree.file(QStringLiteral("Many/%1.png").arg(i));
    tree.file("Few/one.png");

    FolderListing listing;
    ListingRecorder recorded(listing);
    listing.start({tree.path("Many"), {"png"}, true, false});
    // Every batch of the first walk is found and on its way before the second starts.
    FolderListing::listingPool().waitForDone();
    listing.start({tree.path("Few"), {"png"}, true, false});
    settle();
    EXPECT_EQ(recorded.files(), QStringList{tree.path("Few/one.png")});
    EXPECT_EQ(recorded.finished, 1);

    recorded.batches.clear();
    listing.start({tree.path("Many"), {"png"}, true, false});
    listing.cancel();
    settle();
    EXPECT_TRUE(recorded.batches.isEmpty()) << "a cancelled listing hands nothing over";
    EXPECT_FALSE(listing.isListing());

    listing.start({tree.path("Many"), {"png"}, true, false});
    settle();
    ASSERT_EQ(recorded.batches.size(), 3);
    for (const FolderListingBatch& batch : recorded.batches)
        EXPECT_LE(batch.files.size(), FolderListing::kBatchSize);
    EXPECT_EQ(recorded.files().size(), count);
    EXPECT_EQ(recorded.files().removeDuplicates(), 0);
}

TEST(FolderListingTest, AListingThatOutlivesItsOwnerDeliversNothing)
{
    FolderTree tree;
    tree.file("Root/a.png");
    int delivered = 0;
    {
        FolderListing listing;
        QObject::connect(&listing, &FolderListing::batchListed, [&delivered] { ++delivered; });
        listing.start({tree.path("Root"), {"png"}, true, false});
        FolderListing::listingPool().waitForDone();
    }
    platform::RunLoop::runUntilIdle();
    EXPECT_EQ(delivered, 0);
}

} // namespace
