#include "MediaTesting.h"

#include "support/LogCapture.h"
#include "media/items/MediaFileTypes.h"
#include "media/photos/ZQiPhotoMediaInfo.h"
#include "media/enumeration/FolderListing.h"
#include "media/window/MediaGridModel.h"
#include "media/window/ZQMediaBrowserController.h"
#include "platform/foundation/RunLoop.h"

#include <QThreadPool>

using mediatest::NotificationRecorder;

namespace {

// What a media library service hands out, as far as the nodes read it.
class FakeMediaObject : public ZQObject {
    Q_OBJECT
    Q_PROPERTY(int mediaType MEMBER mediaType)
    Q_PROPERTY(QUrl URL MEMBER url)
    Q_PROPERTY(QUrl thumbnailURL MEMBER thumbnailURL)

public:
    int mediaType = ZQiPhotoMediaInfo::kImageMediaType;
    QUrl url;
    QUrl thumbnailURL;
};

class FakeMediaGroup : public ZQObject {
    Q_OBJECT
    Q_PROPERTY(QString name MEMBER name)
    Q_PROPERTY(QImage iconImage MEMBER iconImage)
    Q_PROPERTY(QVariantList childGroups MEMBER childGroups)
    Q_PROPERTY(QVariantList mediaObjects READ mediaObjects WRITE setMediaObjects)

public:
    QVariantList mediaObjects() const { return m_mediaObjects; }
    void setMediaObjects(const QVariantList& objects)
    {
        announceChangeForKey(QStringLiteral("mediaObjects"), [&] { m_mediaObjects = objects; });
    }

    QString name;
    QImage iconImage;
    QVariantList childGroups;

private:
    QVariantList m_mediaObjects;
};

class FakeMediaSource : public ZQObject {
    Q_OBJECT
    Q_PROPERTY(ZQObjectPtr rootMediaGroup MEMBER rootMediaGroup)

public:
    ZQObjectPtr rootMediaGroup;
};

std::shared_ptr<FakeMediaObject> mediaObject(int type, const QString& name)
{
    auto object = std::make_shared<FakeMediaObject>();
    object->mediaType = type;
    object->url = QUrl::fromLocalFile(QStringLiteral("/photos/") + name);
    object->thumbnailURL = QUrl::fromLocalFile(QStringLiteral("/thumbs/") + name);
    return object;
}

TEST(PhotoLibrary, WithoutAServiceTheRootsStayEmpty)
{
    testsupport::LogCapture log;
    EXPECT_FALSE(ZQiPhotoMediaInfo::mediaSupportAvailable());
    EXPECT_TRUE(ZQiPhotoMediaInfo::iPhotoMediaLibrary().isEmpty());
    EXPECT_TRUE(log.contains(QStringLiteral("no photo library")));
    for (const auto& root : {ZQiPhotoMediaInfo::photosMediaRoot(), ZQiPhotoMediaInfo::photoBoothMediaRoot()}) {
        EXPECT_EQ(root->mediaSource(), nullptr);
        EXPECT_TRUE(root->subFolders().isEmpty());
        EXPECT_TRUE(root->fileURLs().isEmpty());
        EXPECT_FALSE(root->allowsDeletion());
    }
    EXPECT_EQ(ZQiPhotoMediaInfo::photosMediaRoot(), ZQiPhotoMediaInfo::photosMediaRoot());
}

TEST(PhotoLibrary, NodesFollowTheirGroupsAndListOnlyImages)
{
    auto album = std::make_shared<FakeMediaGroup>();
    album->name = QStringLiteral("Holiday");
    album->setMediaObjects({QVariant::fromValue<ZQObjectPtr>(mediaObject(1, "clip.mov"))});
    auto library = std::make_shared<FakeMediaGroup>();
    library->name = QStringLiteral("Photos");
    library->childGroups = {QVariant::fromValue<ZQObjectPtr>(album)};
    library->setMediaObjects({QVariant::fromValue<ZQObjectPtr>(mediaObject(2, "a.jpg")),
                              QVariant::fromValue<ZQObjectPtr>(mediaObject(1, "b.mov"))});
    auto source = std::make_shared<FakeMediaSource>();
    source->rootMediaGroup = library;

    auto root = std::make_shared<ZQiPhotoMediaInfo>();
    root->setMediaSource(source);
    EXPECT_EQ(root->mediaGroup(), library);
    EXPECT_EQ(root->name(), QStringLiteral("Photos"));
    EXPECT_EQ(root->fileURLsOfType(QStringLiteral("png")), QList<QUrl>{QUrl::fromLocalFile("/photos/a.jpg")});
    EXPECT_EQ(root->thumbnailURLs(), QList<QUrl>{QUrl::fromLocalFile("/thumbs/a.jpg")});

    const QList<ZQFolderInfoPtr> children = root->subFolders();
    ASSERT_EQ(children.size(), 1);
    EXPECT_EQ(children.first()->identifier(), QStringLiteral("Photos|Holiday"));
    EXPECT_TRUE(children.first()->fileURLs().isEmpty()) << "a group of movies has no files";

    NotificationRecorder changes(kZQFolderInfoDidChangeOnDisk);
    library->setMediaObjects({});
    EXPECT_EQ(changes.senders, QList<QObject*>{root.get()});
    EXPECT_TRUE(root->fileURLs().isEmpty());
    EXPECT_EQ(root->subFolders().size(), 1) << "children are made again from the groups";
    EXPECT_NE(root->subFolders().first(), children.first());
}

TEST(PhotoLibrary, TheBrowserListsALibraryNodeWithTheThumbnailsTheLibraryMade)
{
    auto library = std::make_shared<FakeMediaGroup>();
    library->name = QStringLiteral("Photos");
    library->setMediaObjects({QVariant::fromValue<ZQObjectPtr>(mediaObject(2, "b.jpg")),
                              QVariant::fromValue<ZQObjectPtr>(mediaObject(1, "c.mov")),
                              QVariant::fromValue<ZQObjectPtr>(mediaObject(2, "a.jpg"))});
    auto source = std::make_shared<FakeMediaSource>();
    source->rootMediaGroup = library;
    auto root = std::make_shared<ZQiPhotoMediaInfo>();
    root->setMediaSource(source);

    ZQMediaBrowserController browser;
    browser.window();
    browser.setFolder(root);
    FolderListing::listingPool().waitForDone();
    platform::RunLoop::runUntilIdle();
    const MediaGridModel& grid = *browser.gridModel();
    ASSERT_EQ(grid.rowCount(), 2);
    EXPECT_EQ(grid.itemAt(0)->url(), QUrl::fromLocalFile("/photos/a.jpg"));
    EXPECT_EQ(grid.itemAt(0)->thumbnailURL(), QUrl::fromLocalFile("/thumbs/a.jpg"));
    EXPECT_EQ(grid.itemAt(1)->thumbnailURL(), QUrl::fromLocalFile("/thumbs/b.jpg"));
    // The grid shows the thumbnail file and the item drags the object itself.
    EXPECT_EQ(grid.itemAt(0)->imageRepresentation().toString(), QStringLiteral("/thumbs/a.jpg"));
}

} // namespace

#include "PhotoLibraryTest.moc"
