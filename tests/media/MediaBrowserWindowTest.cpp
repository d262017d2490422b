#include "MediaTesting.h"

#include "app/services/WindowServices.h"
#include "media/MediaClasses.h"
#include "media/enumeration/FolderListing.h"
#include "media/window/MediaBrowserBookmarks.h"
#include "media/window/MediaGridModel.h"
#include "media/window/MediaPreviewWindow.h"
#include "media/window/ZQImageBrowserView.h"
#include "media/window/ZQMediaBrowserController.h"
#include "platform/foundation/RunLoop.h"
#include "platform/foundation/UserDefaults.h"
#include "platform/foundation/ZQUndoManager.h"
#include "platform/ui/Application.h"
#include "platform/ui/Menu.h"
#include "platform/vantrix/model/VXDrawing.h"
#include "platform/vantrix/model/VXObjectDrawingLayer.h"
#include "widgets/headers/ZQSingleTitleTableHeaderView.h"

#include <QAbstractButton>
#include <QBuffer>
#include <QCheckBox>
#include <QImage>
#include <QLabel>
#include <QLineEdit>
#include <QMessageBox>
#include <QMimeData>
#include <QProgressBar>
#include <QScopeGuard>
#include <QScrollBar>
#include <QSignalSpy>
#include <QSlider>
#include <QTest>
#include <QThreadPool>
#include <QTreeView>

using mediatest::FakeEventSourceScope;
using mediatest::FolderTree;

namespace {

// Stands in for the application delegate, recording the documents it is asked for.
class DocumentMaker : public QObject {
    Q_OBJECT

public:
    Q_INVOKABLE void createDocumentWithImageAtURL(const QUrl& url) { calls.append("image " + url.fileName()); }
    Q_INVOKABLE void createDocumentWithSVGAtURL(const QUrl& url) { calls.append("svg " + url.fileName()); }
    QStringList calls;
};

QByteArray pngOfSize(int width, int height)
{
    QImage image(width, height, QImage::Format_RGB32);
    image.fill(Qt::darkGreen);
    QByteArray data;
    QBuffer buffer(&data);
    buffer.open(QIODevice::WriteOnly);
    image.save(&buffer, "PNG");
    return data;
}

const QByteArray kSquareSVG = "<svg xmlns=\"http://www.w3.org/2000/svg\" width=\"20\" height=\"20\">"
                              "<rect width=\"20\" height=\"20\" fill=\"red\"/></svg>";

class MediaBrowserWindowTest : public ::testing::Test {
protected:
    MediaBrowserWindowTest() { setPicturesFolder({}); }
    ~MediaBrowserWindowTest() override
    {
        FolderListing::listingPool().waitForDone();
        ZQAsynchronousImageLoader::imageLoaderQueue().waitForDone();
        QFile::remove(userDirsFile());
        for (const QString& key : {kZQMediaBrowserBookmarkedItems, kZQMediaBrowserBookmarkedItems2,
                                   kZQMediaBrowserLastFolderPrefsKey, kZQMediaBrowserZoomLevelPrefsKey,
                                   kZQMediaBrowserShowsAllFilesPrefsKey})
            defaults().removeObjectForKey(key);
        platform::RunLoop::runUntilIdle();
    }
    static platform::UserDefaults& defaults() { return *platform::UserDefaults::standardUserDefaults(); }
    static QString userDirsFile() { return qEnvironmentVariable("XDG_CONFIG_HOME") + "/user-dirs.dirs"; }
    // The system's Pictures folder; one that does not exist when empty.
    void setPicturesFolder(const QString& path)
    {
        QDir().mkpath(qEnvironmentVariable("XDG_CONFIG_HOME"));
        QFile file(userDirsFile());
        ASSERT_TRUE(file.open(QIODevice::WriteOnly));
        const QString folder = path.isEmpty() ? tree.path("no pictures here") : path;
        file.write("XDG_PICTURES_DIR=\"" + folder.toUtf8() + "\"\n");
    }

    std::unique_ptr<ZQMediaBrowserController> openBrowser()
    {
        auto browser = std::make_unique<ZQMediaBrowserController>();
        browser->window()->resize(760, 520);
        browser->showWindow(nullptr);
        platform::RunLoop::runFor(ZQMediaBrowserController::kLastFolderSelectionDelay);
        return browser;
    }
    static QStringList rootPaths(const ZQMediaBrowserController& browser)
    {
        QStringList paths;
        for (const ZQFolderInfoPtr& root : browser.folderController()->rootItems())
            paths.append(root->path());
        return paths;
    }
    // Lets the listing under way finish and hand over what it found.
    static void settle()
    {
        FolderListing::listingPool().waitForDone();
        platform::RunLoop::runUntilIdle();
    }
    static QStringList titles(const ZQMediaBrowserController& browser)
    {
        settle();
        QStringList names;
        for (const ZQImagePathPtr& item : browser.gridModel()->items())
            names.append(item->name());
        return names;
    }
    static QString selectedFolder(const ZQMediaBrowserController& browser)
    {
        return browser.folder() ? browser.folder()->identifier() : QString();
    }
    static void select(ZQMediaBrowserController& browser, int row)
    {
        settle();
        browser.parts().imageBrowser->setCurrentIndex(browser.gridModel()->index(row));
    }
    // The text of the alert shown on the browser's window, which is then closed; empty for none.
    static QString takeAlert(ZQMediaBrowserController& browser)
    {
        auto* box = browser.parts().window->findChild<QMessageBox*>();
        if (!box)
            return {};
        const QString text = box->text() + " / " + box->informativeText();
        box->button(QMessageBox::Ok) ? box->button(QMessageBox::Ok)->click() : box->buttons().first()->click();
        platform::RunLoop::runUntilIdle();
        return text;
    }
    void changeOnDisk(const QString& relative)
    {
        events.source->changeFolder(tree.path(relative) + QLatin1Char('/'));
        platform::RunLoop::runFor(ZQFolderWatcher::kDefaultLatency);
        settle();
    }

    FakeEventSourceScope events;
    FolderTree tree;
};

TEST_F(MediaBrowserWindowTest, FirstStartShowsThePicturesFolderStoredAndSelectedOrNothingWithoutOne)
{
    tree.file("Pictures/beach.png", pngOfSize(30, 20));
    tree.file("Pictures/trips/hill.svg", kSquareSVG);
    {
        const auto browser = openBrowser();
        EXPECT_TRUE(rootPaths(*browser).isEmpty()) << "no Pictures folder on this system";
        EXPECT_TRUE(MediaBrowserBookmarks::bookmarkedRootItems().isEmpty());
    }
    setPicturesFolder(tree.path("Pictures"));
    const auto browser = openBrowser();
    EXPECT_EQ(rootPaths(*browser), QStringList({tree.path("Pictures")}));
    EXPECT_EQ(MediaBrowserBookmarks::bookmarkedRootItems().size(), 1);
    EXPECT_EQ(selectedFolder(*browser), "Pictures");
    EXPECT_EQ(titles(*browser), QStringList({"beach", "hill"})) << "subfolders' files are listed";
    EXPECT_EQ(browser->parts().tableHeader->title(), "Image Sources");
    EXPECT_TRUE(browser->parts().removeSegment->isEnabled());
}

TEST_F(MediaBrowserWindowTest, ChoosingAFolderClearsTheFilterStoresItAndLetsOnlyRootsBeRemoved)
{
    tree.file("Maps/photo.JPEG", pngOfSize(8, 8));
    tree.file("Maps/photo.Jpeg", pngOfSize(8, 8));
    tree.file("Maps/Plan 10.png", pngOfSize(8, 8));
    tree.file("Maps/Plan 2.png", pngOfSize(8, 8));
    tree.file("Maps/old/sketch.gif", pngOfSize(8, 8));
    const auto browser = openBrowser();
    ASSERT_TRUE(browser->addRootFolderWithURL(QUrl::fromLocalFile(tree.path("Maps"))));
    EXPECT_EQ(selectedFolder(*browser), "Maps");
    EXPECT_EQ(titles(*browser), QStringList({"photo", "Plan 2", "Plan 10", "sketch"}));
    EXPECT_TRUE(browser->parts().removeSegment->isEnabled());

    QTest::keyClicks(browser->parts().searchField, "PLA");
    platform::RunLoop::runFor(ZQMediaBrowserController::kSearchDelay);
    EXPECT_EQ(titles(*browser), QStringList({"Plan 2", "Plan 10"}));

    browser->folderController()->selectItemWithIdentifier("Maps|old");
    EXPECT_EQ(selectedFolder(*browser), "Maps|old");
    EXPECT_EQ(browser->filterString(), "");
    EXPECT_EQ(browser->parts().searchField->text(), "");
    EXPECT_EQ(titles(*browser), QStringList({"sketch"}));
    EXPECT_EQ(defaults().stringForKey(kZQMediaBrowserLastFolderPrefsKey), "Maps|old");
    EXPECT_FALSE(browser->parts().removeSegment->isEnabled()) << "not a root";

    // The all-files box acts on the folder on display.
    browser->folderController()->selectItemWithIdentifier("Maps");
    browser->parts().allFilesCheckbox->setChecked(false);
    EXPECT_EQ(titles(*browser), QStringList({"photo", "Plan 2", "Plan 10"}));
    EXPECT_FALSE(ZQMediaBrowserController::showsAllEnclosedFiles());
    browser->parts().allFilesCheckbox->setChecked(true);
    EXPECT_EQ(titles(*browser).size(), 4);
}

TEST_F(MediaBrowserWindowTest, RefusedRootsAlertAndChangeNothing)
{
    tree.folder("Atlas");
    const auto browser = openBrowser();
    ASSERT_TRUE(browser->addRootFolderWithURL(QUrl::fromLocalFile(tree.path("Atlas"))));
    const QVariant stored = defaults().objectForKey(kZQMediaBrowserBookmarkedItems2);

    EXPECT_FALSE(browser->addRootFolderWithURL(QUrl::fromLocalFile("/")));
    EXPECT_EQ(takeAlert(*browser), "Root Folder Not Allowed / You cannot add the root folder (entire drive). "
                                   "Please choose a folder containing images.");
    EXPECT_FALSE(browser->addRootFolderWithURL(QUrl::fromLocalFile(tree.path("Atlas") + "/")));
    EXPECT_EQ(takeAlert(*browser), "Folder Already Added / Top-level Folders can only be added to the browser once.");
    EXPECT_EQ(rootPaths(*browser), QStringList({tree.path("Atlas")}));
    EXPECT_EQ(defaults().objectForKey(kZQMediaBrowserBookmarkedItems2), stored);
}

TEST_F(MediaBrowserWindowTest, RootsOfTheSameNameSurviveARestartAndARemovedRootStaysGone)
{
    tree.file("one/Images/a.png", pngOfSize(4, 4));
    tree.file("two/Images/b.png", pngOfSize(4, 4));
    {
        const auto browser = openBrowser();
        const ZQFolderInfoPtr first = browser->addRootFolderWithURL(QUrl::fromLocalFile(tree.path("one/Images")));
        const ZQFolderInfoPtr second = browser->addRootFolderWithURL(QUrl::fromLocalFile(tree.path("two/Images")));
        ASSERT_TRUE(first && second);
        EXPECT_EQ(browser->folder(), second) << "the new root is chosen, not its namesake";
        EXPECT_EQ(titles(*browser), QStringList({"b"}));
    }
    QStringList both{tree.path("one/Images"), tree.path("two/Images")};
    {
        const auto browser = openBrowser();
        QStringList paths = rootPaths(*browser);
        paths.sort();
        EXPECT_EQ(paths, both);
        browser->folderController()->expandItem(browser->folderController()->rootInfoForPath(both[0]), true);
        ASSERT_EQ(browser->folder()->path(), both[0]);
        browser->parts().removeSegment->click();
        EXPECT_EQ(rootPaths(*browser), QStringList({both[1]}));
    }
    const auto browser = openBrowser();
    EXPECT_EQ(rootPaths(*browser), QStringList({both[1]}));

    browser->resetToFactoryState();
    EXPECT_TRUE(rootPaths(*browser).isEmpty());
    EXPECT_FALSE(defaults().objectForKey(kZQMediaBrowserBookmarkedItems2).isValid());
    EXPECT_EQ(browser->gridModel()->rowCount(), 0);
}

TEST_F(MediaBrowserWindowTest, ChangesOnDiskReachTheGridAndADeletedFolderLeavesNothingBehind)
{
    tree.file("Root/first.png", pngOfSize(4, 4));
    tree.file("Root/sub/inner.png", pngOfSize(4, 4));
    const auto browser = openBrowser();
    browser->addRootFolderWithURL(QUrl::fromLocalFile(tree.path("Root")));
    ASSERT_EQ(titles(*browser), QStringList({"first", "inner"}));
    tree.file("Root/sub/added.png", pngOfSize(4, 4));
    events.source->changeFolder(tree.path("Root/sub") + "/");
    platform::RunLoop::runFor(ZQFolderWatcher::kDefaultLatency - 1);
    EXPECT_EQ(titles(*browser), QStringList({"first", "inner"})) << "not before the latency";
    platform::RunLoop::runFor(1);
    platform::RunLoop::runUntilIdle();
    EXPECT_EQ(titles(*browser), QStringList({"added", "first", "inner"}));

    browser->folderController()->selectItemWithIdentifier("Root|sub");
    ASSERT_EQ(titles(*browser), QStringList({"added", "inner"}));
    const std::weak_ptr<ZQFolderInfo> sub = browser->folder();
    ASSERT_TRUE(QDir(tree.path("Root/sub")).removeRecursively());
    changeOnDisk("Root");
    EXPECT_EQ(browser->folderController()->selectedItem(), nullptr);
    EXPECT_EQ(browser->folder(), nullptr);
    EXPECT_EQ(browser->gridModel()->rowCount(), 0);
    EXPECT_TRUE(sub.expired()) << "the browser lets go of the deleted folder";
}

TEST_F(MediaBrowserWindowTest, AChangeOnDiskKeepsTheGridWhereTheUserScrolled)
{
    for (int i = 0; i < 120; ++i)
        tree.file(QString("Root/img_%1.png").arg(i, 3, 10, QLatin1Char('0')), pngOfSize(4, 4));
    tree.file("Other/one.png", pngOfSize(4, 4));
    const auto browser = openBrowser();
    browser->addRootFolderWithURL(QUrl::fromLocalFile(tree.path("Other")));
    browser->addRootFolderWithURL(QUrl::fromLocalFile(tree.path("Root")));
    browser->folderController()->selectItemWithIdentifier("Root");
    settle();
    ASSERT_EQ(browser->gridModel()->rowCount(), 120);
    QScrollBar* scroller = browser->parts().imageBrowser->verticalScrollBar();
    platform::RunLoop::runUntilIdle();
    ASSERT_GT(scroller->maximum(), 0) << "the grid must be taller than its window";
    scroller->setValue(scroller->maximum() / 2);
    const int place = scroller->value();

    tree.file("Root/added.png", pngOfSize(4, 4));
    changeOnDisk("Root");
    ASSERT_EQ(browser->gridModel()->rowCount(), 121);
    EXPECT_EQ(scroller->value(), place);

    select(*browser, 119);
    scroller->setValue(0);
    tree.file("Root/another.png", pngOfSize(4, 4));
    changeOnDisk("Root");
    EXPECT_EQ(scroller->value(), 0) << "not even to the selected item";
    EXPECT_EQ(browser->selectedItem()->name(), "img_118");
}

TEST_F(MediaBrowserWindowTest, TypingFiltersTheListedFilesOnceTheKeystrokesPauseWithoutReadingTheDisk)
{
    for (const char* name : {"Maps/plan a.png", "Maps/plan b.png", "Maps/photo.png", "Maps/deep/down/plane.svg"})
        tree.file(name, pngOfSize(4, 4));
    const auto browser = openBrowser();
    browser->addRootFolderWithURL(QUrl::fromLocalFile(tree.path("Maps")));
    ASSERT_EQ(titles(*browser), QStringList({"photo", "plan a", "plan b", "plane"}));
    const int listings = browser->folderListing().listingsStarted();
    // Whatever the search finds now can only come from memory.
    ASSERT_TRUE(QDir(tree.path("Maps")).removeRecursively());
    QSignalSpy searches(browser->gridModel(), &QAbstractItemModel::modelReset);

    QTest::keyClicks(browser->parts().searchField, "P");
    platform::RunLoop::runFor(ZQMediaBrowserController::kSearchDelay - 1);
    QTest::keyClicks(browser->parts().searchField, "LA");
    platform::RunLoop::runFor(ZQMediaBrowserController::kSearchDelay - 1);
    EXPECT_EQ(searches.count(), 0) << "every keystroke waits again";
    EXPECT_EQ(titles(*browser).size(), 4);
    platform::RunLoop::runFor(1);
    EXPECT_EQ(searches.count(), 1) << "three keystrokes, one search";
    EXPECT_EQ(titles(*browser), QStringList({"plan a", "plan b", "plane"}));
    EXPECT_EQ(browser->filterString(), "PLA");

    QTest::keyClicks(browser->parts().searchField, "N ");
    platform::RunLoop::runFor(ZQMediaBrowserController::kSearchDelay);
    EXPECT_EQ(titles(*browser), QStringList({"plan a", "plan b"}));
    browser->parts().searchField->clear();
    platform::RunLoop::runFor(ZQMediaBrowserController::kSearchDelay);
    EXPECT_EQ(titles(*browser).size(), 4);
    EXPECT_EQ(browser->folderListing().listingsStarted(), listings) << "no search lists a folder";
}

TEST_F(MediaBrowserWindowTest, ChoosingAnotherFolderDropsTheListingUnderWayAndTheSpinnerWithIt)
{
    for (int i = 0; i < FolderListing::kBatchSize + 20; ++i)
        tree.file(QStringLiteral("Large/item %1.png").arg(i));
    tree.file("Small/only.png", pngOfSize(4, 4));
    const auto browser = openBrowser();
    browser->addRootFolderWithURL(QUrl::fromLocalFile(tree.path("Small")));
    browser->addRootFolderWithURL(QUrl::fromLocalFile(tree.path("Large")));
    ASSERT_EQ(browser->folder()->path(), tree.path("Large"));
    EXPECT_TRUE(browser->parts().progressIndicator->isVisible()) << "busy while listing";
    // The large folder's batches are found and on their way when the user moves on.
    FolderListing::listingPool().waitForDone();
    browser->folderController()->selectItemWithIdentifier("Small");
    EXPECT_EQ(browser->gridModel()->rowCount(), 0) << "nothing of the folder left behind";
    EXPECT_EQ(titles(*browser), QStringList{"only"});
    EXPECT_FALSE(browser->folderListing().isListing());
    // The thumbnail on screen counts as a fetch of its own until it is made.
    ZQAsynchronousImageLoader::imageLoaderQueue().waitForDone();
    platform::RunLoop::runUntilIdle();
    EXPECT_EQ(browser->fetchProgress().pendingCount(), 0);
    platform::RunLoop::runFor(MediaFetchProgress::kHideDelay);
    EXPECT_FALSE(browser->parts().progressIndicator->isVisible());
}

TEST_F(MediaBrowserWindowTest, ChangesDeepInTheListedTreeAreFollowedAndAFullWatchListIsSaidOnce)
{
    tree.file("Root/top.png", pngOfSize(4, 4));
    tree.file("Root/a/b/c/deep.png", pngOfSize(4, 4));
    tree.folder("Root/d/e");
    const auto browser = openBrowser();
    browser->addRootFolderWithURL(QUrl::fromLocalFile(tree.path("Root")));
    ASSERT_EQ(titles(*browser), QStringList({"deep", "top"}));
    tree.file("Root/a/b/c/deeper.png", pngOfSize(4, 4));
    changeOnDisk("Root/a/b/c");
    EXPECT_EQ(titles(*browser), QStringList({"deep", "deeper", "top"})) << "below what the outline has loaded";
    QLabel* note = browser->parts().watchNote;
    EXPECT_FALSE(note->isVisible());

    // The system takes no more watches: the folders of the next listing cannot all be followed.
    events.source->watchLimit = events.source->watched;
    QSignalSpy said(&browser->listedFolderWatches(), &ListedFolderWatches::foldersUnfollowed);
    tree.file("Other/x/one.png", pngOfSize(4, 4));
    browser->addRootFolderWithURL(QUrl::fromLocalFile(tree.path("Other")));
    EXPECT_EQ(titles(*browser), QStringList{"one"});
    EXPECT_TRUE(note->isVisible());
    EXPECT_EQ(note->text(),
              "Changes in some folders are not followed: the system's limit on watched folders was reached.");
    browser->reload();
    settle();
    EXPECT_EQ(said.count(), 1) << "said once";
    EXPECT_TRUE(note->isVisible());

    events.source->watchLimit = std::numeric_limits<int>::max();
    browser->folderController()->selectItemWithIdentifier("Root");
    settle();
    EXPECT_FALSE(note->isVisible()) << "a folder followed in full says nothing";
}

TEST_F(MediaBrowserWindowTest, ClosingTheWindowCancelsPreviewsAndTheSpinnerNeverSticks)
{
    const auto browser = openBrowser();
    QObject item;
    auto& center = platform::NotificationCenter::defaultCenter();
    center.postNotificationName(kZQImagePathWillStartAsynchronousFetch, &item);
    center.postNotificationName(kZQImagePathWillStartAsynchronousFetch, &item);
    EXPECT_TRUE(browser->parts().progressIndicator->isVisible());
    EXPECT_EQ(browser->fetchProgress().pendingCount(), 2);

    browser->parts().window->close();
    EXPECT_EQ(browser->fetchProgress().pendingCount(), 0);
    EXPECT_FALSE(browser->parts().progressIndicator->isVisibleTo(browser->parts().window));
    center.postNotificationName(kQZImagePathDidCompleteAsynchronousFetch, &item); // late ends of cancelled work
    center.postNotificationName(kQZImagePathDidCompleteAsynchronousFetch, &item);
    EXPECT_EQ(browser->fetchProgress().pendingCount(), 0);

    browser->showWindow(nullptr);
    center.postNotificationName(kZQImagePathWillStartAsynchronousFetch, &item);
    center.postNotificationName(kQZImagePathDidCompleteAsynchronousFetch, &item);
    platform::RunLoop::runFor(MediaFetchProgress::kHideDelay);
    EXPECT_FALSE(browser->parts().progressIndicator->isVisible());
}

TEST_F(MediaBrowserWindowTest, DraggedItemsDropIntoAMapLayerAndVanishedFilesAreLeftOut)
{
    tree.file("Drop/photo.png", pngOfSize(40, 30));
    tree.file("Drop/shape.svg", kSquareSVG);
    tree.file("Drop/gone.png", pngOfSize(4, 4));
    const auto browser = openBrowser();
    browser->addRootFolderWithURL(QUrl::fromLocalFile(tree.path("Drop")));
    ASSERT_EQ(titles(*browser), QStringList({"gone", "photo", "shape"}));
    MediaGridModel& grid = *browser->gridModel();

    ZQUndoManager undo;
    VXDrawingPtr drawing = VXDrawing::drawingWithSize({400, 400});
    drawing->setUndoManager(&undo);
    auto layer = std::make_shared<VXObjectDrawingLayer>();
    drawing->addLayer(layer);
    for (int row : {1, 2}) {
        const std::unique_ptr<QMimeData> data(grid.mimeData({grid.index(row)}));
        ASSERT_TRUE(data && data->hasUrls());
        EXPECT_TRUE(layer->performDragOperation({data.get(), {100, 100}, nullptr})) << row;
    }
    EXPECT_EQ(layer->countOfObjects(), 2);

    ASSERT_TRUE(QFile::remove(tree.path("Drop/gone.png")));
    EXPECT_EQ(grid.mimeData({grid.index(0)}), nullptr);
}

TEST_F(MediaBrowserWindowTest, CommandsFollowTheSelectedItem)
{
    tree.file("Items/photo.png", pngOfSize(10, 10));
    tree.file("Items/shape.svg", kSquareSVG);
    const auto browser = openBrowser();
    browser->addRootFolderWithURL(QUrl::fromLocalFile(tree.path("Items")));
    DocumentMaker maker;
    platform::Application::setDelegate(&maker);
    const auto restore = qScopeGuard([] { platform::Application::setDelegate(nullptr); });

    QMenu* menu = browser->itemMenu();
    const auto item = [menu](const QByteArray& action) {
        for (QAction* each : menu->actions())
            if (auto* menuItem = qobject_cast<platform::MenuItem*>(each); menuItem && menuItem->action() == action)
                return menuItem;
        return static_cast<platform::MenuItem*>(nullptr);
    };
    platform::MenuItem* newDocument = item("createDocumentWithImageAction");
    ASSERT_TRUE(newDocument);
    EXPECT_FALSE(newDocument->validate()) << "nothing selected";
    EXPECT_FALSE(item("viewSourceAction")->validate());
    EXPECT_TRUE(browser->urlForViewSourceController(nullptr).isEmpty());

    select(*browser, 0);
    EXPECT_TRUE(newDocument->validate());
    EXPECT_EQ(newDocument->title(), "New Document With Image");
    EXPECT_FALSE(item("viewSourceAction")->validate());
    EXPECT_TRUE(item("revealInFinderAction")->validate());
    newDocument->trigger();

    select(*browser, 1);
    EXPECT_TRUE(newDocument->validate());
    EXPECT_EQ(newDocument->title(), "New Document With SVG File");
    EXPECT_TRUE(item("viewSourceAction")->validate());
    EXPECT_EQ(browser->urlForViewSourceController(nullptr), QUrl::fromLocalFile(tree.path("Items/shape.svg")));
    newDocument->trigger();
    EXPECT_EQ(maker.calls, QStringList({"image photo.png", "svg shape.svg"}));

    browser->imageBrowserCellWasDoubleClicked(0);
    EXPECT_EQ(takeAlert(*browser), "photo / To add this image to your document, drag the image into the active layer");
    EXPECT_EQ(maker.calls.size(), 2) << "a double click opens nothing";

    // The preview follows the selection while it is up.
    select(*browser, 0);
    browser->showQuicklookAction(nullptr);
    ASSERT_TRUE(browser->previewWindow());
    EXPECT_EQ(browser->previewWindow()->shownPath(), tree.path("Items/photo.png"));
    select(*browser, 1);
    EXPECT_EQ(browser->previewWindow()->shownPath(), tree.path("Items/shape.svg"));
}

TEST_F(MediaBrowserWindowTest, ZoomIsStoredAndComesBackAndStoredValuesOfTheWrongTypeArePassedOver)
{
    {
        const auto browser = openBrowser();
        browser->parts().zoomSlider->setValue(MediaBrowserWindow::kZoomSteps / 4);
        EXPECT_DOUBLE_EQ(browser->parts().imageBrowser->zoomValue(), 0.25);
        EXPECT_FLOAT_EQ(defaults().floatForKey(kZQMediaBrowserZoomLevelPrefsKey), 0.25f);
    }
    {
        const auto browser = openBrowser();
        EXPECT_DOUBLE_EQ(browser->parts().imageBrowser->zoomValue(), 0.25);
        EXPECT_EQ(browser->parts().zoomSlider->value(), MediaBrowserWindow::kZoomSteps / 4);
    }

    // Stored values of the wrong type are passed over, and kept.
    tree.folder("Only");
    MediaBrowserBookmarks::addRootBookmark(*ZQFolderInfo::makeWithPath(tree.path("Only")));
    defaults().setObjectForKey(QVariantList{1, 2}, kZQMediaBrowserZoomLevelPrefsKey);
    defaults().setObjectForKey(QVariantList{"Elsewhere"}, kZQMediaBrowserLastFolderPrefsKey);
    const auto browser = openBrowser();
    EXPECT_DOUBLE_EQ(browser->parts().imageBrowser->zoomValue(), 0.5);
    EXPECT_EQ(browser->parts().zoomSlider->value(), MediaBrowserWindow::kZoomSteps / 2);
    EXPECT_EQ(selectedFolder(*browser), "Only") << "as with nothing stored: the first root";
    EXPECT_EQ(defaults().objectForKey(kZQMediaBrowserZoomLevelPrefsKey), QVariant(QVariantList{1, 2}));
}

TEST_F(MediaBrowserWindowTest, TheApplicationShowsTheOneBrowserResettingItOnlyWhenAsked)
{
    installMediaServices();
    const auto& show = WindowServices::installed().showMediaBrowser;
    ASSERT_TRUE(show);
    tree.folder("Kept");
    const ZQFolderInfoPtr kept = ZQFolderInfo::makeWithPath(tree.path("Kept"));
    MediaBrowserBookmarks::addRootBookmark(*kept);

    show(false);
    ZQMediaBrowserController* shared = ZQMediaBrowserController::sharedMediaBrowser();
    const auto forget = qScopeGuard([shared] { delete shared; });
    EXPECT_TRUE(shared->window()->isVisible());
    EXPECT_EQ(rootPaths(*shared), QStringList({kept->path()}));

    show(true);
    EXPECT_EQ(ZQMediaBrowserController::sharedMediaBrowser(), shared);
    EXPECT_TRUE(rootPaths(*shared).isEmpty());
    EXPECT_TRUE(MediaBrowserBookmarks::bookmarkedRootItems().isEmpty());
}

} // namespace

#include "MediaBrowserWindowTest.moc"
