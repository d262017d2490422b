// The template chooser window: the grid of a category, the filter and OK state, opening through
// the delegate, reveal, the stored category and its fallback, import, the blank document with
// its set-up sheet, and whether it shows at launch.

#include "TemplateTestSupport.h"

#include "app/setup/DrawingSetupSheet.h"
#include "app/document/QuorvaneDocumentController.h"
#include "app/application/VLTMAppDelegate.h"
#include "app/services/WindowServices.h"
#include "platform/foundation/UserDefaults.h"
#include "support/LogCapture.h"
#include "platform/ui/DocumentController.h"
#include "platform/ui/MenuItem.h"
#include "media/window/ZQImageBrowserView.h"
#include "windows/templates/QVNTemplatePickerController.h"
#include "windows/templates/TemplateGridModel.h"

#include <QCheckBox>
#include <QApplication>
#include <QDesktopServices>
#include <QFileDialog>
#include <QLineEdit>
#include <QMessageBox>
#include <QPushButton>
#include <QSignalSpy>
#include <QTest>

using namespace templatetest;

namespace {

platform::UserDefaults& defaults()
{
    return *platform::UserDefaults::standardUserDefaults();
}

class RecordingDelegate : public QObject {
    Q_OBJECT

public:
    Q_INVOKABLE void openSelectedTemplateURL(const QUrl& url) { opened.append(url); }
    Q_INVOKABLE void showFolder(const QUrl& url) { shown.append(url); }

    QList<QUrl> opened;
    QList<QUrl> shown;
};

class RecordingSheet : public DrawingSetupSheet {
public:
    void beginDialogWithParentWindowDelegateInitialPage(QWidget*, ZQQuorvaneDocument* delegate, int page) override
    {
        began.append({delegate, page});
    }
    QVariantMap originalSettings() const override { return {}; }

    static inline QList<std::pair<ZQQuorvaneDocument*, int>> began;
};

class TemplatePickerTest : public ::testing::Test {
protected:
    void SetUp() override
    {
        userFolder = ZQQuorvaneDocument::userTemplatesURL().toLocalFile();
        for (const QString& key : {QVNTemplatePickerController::kSelectedTemplateBookmarkKey,
                                   QVNTemplatePickerController::kSelectedTemplateKey,
                                   QVNTemplatePickerController::kShowAtStartupKey})
            defaults().removeObjectForKey(key);
        picker = std::make_unique<QVNTemplatePickerController>();
    }

    void TearDown() override
    {
        picker.reset();
        QVNTemplateItem::invalidateCache();
        QDir(userFolder).removeRecursively();
        QDir().mkpath(userFolder);
    }

    QString userTemplate(const QString& relativePath, QSizeF size = QSizeF(400, 300))
    {
        return writeTemplate(QDir(userFolder).filePath(relativePath), size, ZQUnitLength::points(), 10000);
    }

    QStringList gridNames() const
    {
        QStringList names;
        for (const QVNTemplateItemPtr& item : picker->templates())
            names << item->name();
        return names;
    }

    void selectRow(int row)
    {
        ZQImageBrowserView* grid = picker->parts().pickerView;
        grid->selectionModel()->setCurrentIndex(picker->gridModel()->index(row), QItemSelectionModel::ClearAndSelect);
    }

    bool validates(const QByteArray& action)
    {
        platform::MenuItem item(QStringLiteral("item"));
        item.setAction(action);
        return picker->validateUserInterfaceItem(&item);
    }

    QString userFolder;
    std::unique_ptr<QVNTemplatePickerController> picker;
};

} // namespace

TEST_F(TemplatePickerTest, CategoryListsItsSubfoldersTooAndOKFollowsTheSelection)
{
    userTemplate(QStringLiteral("Coastal/Cape.qvnl"));
    userTemplate(QStringLiteral("Coastal/Bay.qvnl"));
    userTemplate(QStringLiteral("Coastal/Reefs/Atoll.qvnl"));
    userTemplate(QStringLiteral("Inland/Lake.qvnl"));
    picker->window();
    picker->setTemplatesRoot(QDir(userFolder).filePath(QStringLiteral("Coastal")));

    EXPECT_EQ(gridNames(), (QStringList{QStringLiteral("Atoll"), QStringLiteral("Bay"), QStringLiteral("Cape")}));
    QPushButton* ok = picker->parts().okButton;
    EXPECT_FALSE(ok->isEnabled());
    EXPECT_TRUE(picker->selectedTemplateURL().isEmpty());
    selectRow(1);
    EXPECT_TRUE(ok->isEnabled());
    EXPECT_TRUE(picker->selectedTemplateURL().toLocalFile().endsWith(QStringLiteral("Coastal/Bay.qvnl")));

    // Typing in the search field filters in any case and clears the selection.
    QTest::keyClicks(picker->parts().searchField, QStringLiteral("AP"));
    EXPECT_EQ(picker->filterString(), QStringLiteral("AP"));
    EXPECT_EQ(gridNames(), QStringList{QStringLiteral("Cape")});
    EXPECT_FALSE(ok->isEnabled());

    // Another category clears the filter.
    picker->setTemplatesRoot(QDir(userFolder).filePath(QStringLiteral("Inland")));
    EXPECT_EQ(picker->filterString(), QString());
    EXPECT_TRUE(picker->parts().searchField->text().isEmpty());
    EXPECT_EQ(gridNames(), QStringList{QStringLiteral("Lake")});
}

TEST_F(TemplatePickerTest, OKAndDoubleClickHandTheTemplateToTheDelegateAndCloseTheWindow)
{
    const QString bay = userTemplate(QStringLiteral("Coastal/Bay.qvnl"));
    RecordingDelegate delegate;
    picker->setDelegate(&delegate);
    picker->showWindow(nullptr);
    picker->setTemplatesRoot(QDir(userFolder).filePath(QStringLiteral("Coastal")));

    picker->okButtonAction(nullptr); // nothing selected: nothing happens
    EXPECT_TRUE(delegate.opened.isEmpty());
    EXPECT_TRUE(picker->window()->isVisible());

    selectRow(0);
    ZQImageBrowserView* grid = picker->parts().pickerView;
    const QRect cell = grid->visualRect(picker->gridModel()->index(0));
    // Low in the cell, on the labels rather than the picture; a double click follows a press.
    const QPoint label(cell.center().x(), cell.bottom() - 4);
    QTest::mouseClick(grid->viewport(), Qt::LeftButton, {}, label);
    QTest::mouseDClick(grid->viewport(), Qt::LeftButton, {}, label);
    ASSERT_EQ(delegate.opened.size(), 1);
    EXPECT_EQ(delegate.opened.first(), QUrl::fromLocalFile(bay));
    EXPECT_FALSE(picker->window()->isVisible());
}

TEST_F(TemplatePickerTest, RevealIsOfferedForUserTemplatesOnlyAndOpensTheirFolder)
{
    userTemplate(QStringLiteral("Coastal/Bay.qvnl"));
    QTemporaryDir elsewhere;
    writeTemplate(elsewhere.filePath(QStringLiteral("Other.qvnl")), QSizeF(100, 100), ZQUnitLength::points(), 5000);
    RecordingDelegate folders;
    QDesktopServices::setUrlHandler(QStringLiteral("file"), &folders, "showFolder");

    picker->window();
    picker->setTemplatesRoot(QDir(userFolder).filePath(QStringLiteral("Coastal")));
    EXPECT_FALSE(validates("revealInFinderAction"));
    selectRow(0);
    EXPECT_TRUE(validates("revealInFinderAction"));
    picker->revealInFinderAction(nullptr);
    EXPECT_EQ(folders.shown, QList<QUrl>{QUrl::fromLocalFile(QDir(userFolder).filePath(QStringLiteral("Coastal")))});

    picker->setTemplatesRoot(elsewhere.path());
    selectRow(0);
    EXPECT_FALSE(validates("revealInFinderAction"));
    EXPECT_TRUE(validates("importTemplatesAction"));
    QDesktopServices::unsetUrlHandler(QStringLiteral("file"));
}

TEST_F(TemplatePickerTest, StoredCategoryIsRestoredWhileItIsAFolderElseTheDefaultOne)
{
    const QUrl fallback = QUrl::fromLocalFile(QDir(ZQQuorvaneDocument::documentTemplatesURL().toLocalFile())
                                                  .filePath(QVNTemplatePickerController::kDefaultCategoryName));
    EXPECT_EQ(QVNTemplatePickerController::restoredTemplatesRootURL(), fallback);

    // The category shown is kept as a bookmark.
    userTemplate(QStringLiteral("Coastal/Bay.qvnl"));
    const QString coastal = QDir(userFolder).filePath(QStringLiteral("Coastal"));
    picker->setTemplatesRoot(coastal);
    EXPECT_EQ(QVNTemplatePickerController::restoredTemplatesRootURL(), QUrl::fromLocalFile(coastal));

    QDir(coastal).removeRecursively();
    EXPECT_EQ(QVNTemplatePickerController::restoredTemplatesRootURL(), fallback);

    defaults().setObjectForKey(QByteArray("\x01\x02 garbage"), QVNTemplatePickerController::kSelectedTemplateBookmarkKey);
    EXPECT_EQ(QVNTemplatePickerController::restoredTemplatesRootURL(), fallback);
    defaults().setObjectForKey(QStringLiteral("not even data"), QVNTemplatePickerController::kSelectedTemplateBookmarkKey);
    EXPECT_EQ(QVNTemplatePickerController::restoredTemplatesRootURL(), fallback);

    // Without a bookmark the earlier path is read.
    defaults().removeObjectForKey(QVNTemplatePickerController::kSelectedTemplateBookmarkKey);
    defaults().setObjectForKey(userFolder, QVNTemplatePickerController::kSelectedTemplateKey);
    EXPECT_EQ(QVNTemplatePickerController::restoredTemplatesRootURL(), QUrl::fromLocalFile(userFolder));
    defaults().setObjectForKey(QStringLiteral("/no/such/folder"), QVNTemplatePickerController::kSelectedTemplateKey);
    EXPECT_EQ(QVNTemplatePickerController::restoredTemplatesRootURL(), fallback);
}

TEST_F(TemplatePickerTest, ImportMakesTheCategorySelectsItAndListsTheCopies)
{
    QTemporaryDir sources;
    writeTemplate(sources.filePath(QStringLiteral("Coastal/Bay.qvnl")), QSizeF(200, 100), ZQUnitLength::points(), 5000);
    writeTemplate(sources.filePath(QStringLiteral("Coastal/Cape.qvnl")), QSizeF(200, 100), ZQUnitLength::points(), 5000);
    picker->window();

    EXPECT_TRUE(picker->importTemplateFiles(
        {sources.filePath(QStringLiteral("Coastal/Bay.qvnl")), sources.filePath(QStringLiteral("Coastal/Cape.qvnl"))}));
    const QString category = QDir(userFolder).filePath(QStringLiteral("Coastal"));
    EXPECT_EQ(picker->templatesRoot(), category);
    ASSERT_TRUE(picker->folderController()->selectedItem());
    EXPECT_EQ(picker->folderController()->selectedItem()->path(), category);
    EXPECT_EQ(gridNames(), (QStringList{QStringLiteral("Bay"), QStringLiteral("Cape")}));

    // Again: the names are taken, so the first copy fails, ends the import and says why.
    EXPECT_EQ(picker->window()->findChild<QMessageBox*>(), nullptr);
    EXPECT_FALSE(picker->importTemplateFiles({sources.filePath(QStringLiteral("Coastal/Bay.qvnl"))}));
    EXPECT_EQ(gridNames(), (QStringList{QStringLiteral("Bay"), QStringLiteral("Cape")}));
    auto* alert = picker->window()->findChild<QMessageBox*>();
    ASSERT_TRUE(alert);
    EXPECT_TRUE(alert->isVisible());
    EXPECT_EQ(alert->text(), QStringLiteral("Template Import Failed"));
    EXPECT_TRUE(alert->informativeText().startsWith(QStringLiteral("“Bay.qvnl” could not be copied"))) << alert->informativeText().toStdString();
    alert->buttons().first()->click();
}

TEST(TemplateListingTest, TemplatesAreFoundByExtensionWithoutEnteringPackages)
{
    QTemporaryDir root;
    QDir dir(root.path());
    ASSERT_TRUE(dir.mkpath(QStringLiteral("Coast.qvnl/Inner.vlm")));
    ASSERT_TRUE(dir.mkpath(QStringLiteral("Regional/Hills.tmsv")));
    QFile(dir.filePath(QStringLiteral("Old.vlm"))).open(QIODevice::WriteOnly);
    QFile(dir.filePath(QStringLiteral("notes.txt"))).open(QIODevice::WriteOnly);

    auto names = [&](bool subfolders) {
        QStringList found;
        for (const QUrl& url : ZQQuorvaneDocument::availableTemplatesAtURLIncludingSubfolders(
                 QUrl::fromLocalFile(root.path()), subfolders))
            found << dir.relativeFilePath(url.toLocalFile());
        found.sort();
        return found;
    };
    EXPECT_EQ(names(false), (QStringList{QStringLiteral("Coast.qvnl"), QStringLiteral("Old.vlm")}));
    EXPECT_EQ(names(true), (QStringList{QStringLiteral("Coast.qvnl"), QStringLiteral("Old.vlm"),
                                        QStringLiteral("Regional/Hills.tmsv")}));

    // A missing folder is made, and holds nothing.
    const QUrl fresh = QUrl::fromLocalFile(dir.filePath(QStringLiteral("New Folder")));
    EXPECT_TRUE(ZQQuorvaneDocument::availableTemplatesAtURLIncludingSubfolders(fresh, true).isEmpty());
    EXPECT_TRUE(QFileInfo(fresh.toLocalFile()).isDir());
}

TEST_F(TemplatePickerTest, TheGridAndTheLaunchCheckListTemplatesByOneRule)
{
    // Extensions match exactly, in the chooser and in the document class alike.
    userTemplate(QStringLiteral("Cases/Lower.qvnl"));
    const QString upper = userTemplate(QStringLiteral("Cases/Shouting.qvnl"));
    ASSERT_TRUE(QDir().rename(upper, QDir(userFolder).filePath(QStringLiteral("Cases/Shouting.QVNL"))));
    QStringList listed;
    for (const QUrl& url : ZQQuorvaneDocument::availableTemplatesAtURLIncludingSubfolders(
             QUrl::fromLocalFile(QDir(userFolder).filePath(QStringLiteral("Cases"))), true))
        listed.append(QFileInfo(url.toLocalFile()).completeBaseName());
    EXPECT_EQ(listed, QStringList{QStringLiteral("Lower")});
    picker->window();
    picker->setTemplatesRoot(QDir(userFolder).filePath(QStringLiteral("Cases")));
    EXPECT_EQ(gridNames(), listed);
}

// The panel offers the files of the map types ("Map" and "Tms" are types, not extensions), and
// the grid lists every file it takes, shipped templates above the user's own.
TEST_F(TemplatePickerTest, EveryFileTheImportPanelTakesIsListedAsATemplate)
{
    picker->window();
    const QList<ZQFolderInfoPtr> roots = picker->folderController()->rootItems();
    ASSERT_EQ(roots.size(), 2);
    EXPECT_EQ(roots[0]->path(), ZQQuorvaneDocument::documentTemplatesURL().toLocalFile());
    EXPECT_EQ(roots[1]->path(), userFolder);

    picker->importTemplatesAction(nullptr);
    QFileDialog* panel = nullptr;
    for (QWidget* widget : QApplication::allWidgets())
        if (auto* dialog = qobject_cast<QFileDialog*>(widget); dialog && dialog->isVisible())
            panel = dialog;
    ASSERT_TRUE(panel);
    const QStringList patterns = panel->nameFilters().join(u' ').split(u' ', Qt::SkipEmptyParts);
    EXPECT_EQ(patterns, (QStringList{"*.quorvane_map", "*.qvnl", "*.tmsv"}));
    QTemporaryDir sources;
    QStringList chosen;
    QStringList expected;
    for (const QString& pattern : patterns) {
        const QString name = QStringLiteral("Harbour ") + pattern.mid(2);
        writeTemplate(sources.filePath(QStringLiteral("Old Maps/") + name + pattern.mid(1)), QSizeF(200, 100),
                      ZQUnitLength::points(), 5000);
        chosen << u'"' + name + pattern.mid(1) + u'"';
        expected << name;
    }
    panel->setDirectory(sources.filePath(QStringLiteral("Old Maps")));
    auto* field = panel->findChild<QLineEdit*>(QStringLiteral("fileNameEdit"));
    ASSERT_TRUE(field);
    field->setText(chosen.join(u' '));
    QTest::keyClick(field, Qt::Key_Return);
    platform::RunLoop::runUntilIdle();
    EXPECT_EQ(picker->templatesRoot(), QDir(userFolder).filePath(QStringLiteral("Old Maps")));
    EXPECT_EQ(gridNames(), expected);
}

TEST_F(TemplatePickerTest, GridShowsThumbnailsAsTheyArrive)
{
    userTemplate(QStringLiteral("Coastal/Bay.qvnl"));
    picker->window();
    picker->setTemplatesRoot(QDir(userFolder).filePath(QStringLiteral("Coastal")));
    TemplateGridModel* model = picker->gridModel();
    QSignalSpy changes(model, &QAbstractItemModel::dataChanged);
    EXPECT_TRUE(model->data(model->index(0), Qt::DecorationRole).value<QImage>().isNull());
    finishThumbnails();
    ASSERT_EQ(changes.count(), 1);
    EXPECT_EQ(changes.first().first().value<QModelIndex>().row(), 0);
    EXPECT_FALSE(model->data(model->index(0), Qt::DecorationRole).value<QImage>().isNull());
    EXPECT_EQ(model->data(model->index(0), Qt::DisplayRole).toString(), QStringLiteral("Bay"));
    EXPECT_EQ(model->data(model->index(0), Qt::UserRole + 1).toString(), QStringLiteral("400.0 x 300.0 pt"));
}

TEST_F(TemplatePickerTest, BlankDocumentOpensAnUntitledMapThenItsDrawingSetUp)
{
    platform::DocumentController::setSharedDocumentController(std::make_unique<QuorvaneDocumentController>());
    WindowServices& services = WindowServices::installed();
    const auto makeSheet = services.makeDrawingSetupSheet;
    services.makeDrawingSetupSheet = [] { return std::make_shared<RecordingSheet>(); };
    RecordingSheet::began.clear();
    picker->showWindow(nullptr);

    picker->newDefaultDocumentAction(nullptr);
    platform::DocumentController* controller = platform::DocumentController::sharedDocumentController();
    ASSERT_EQ(controller->documents().size(), 1);
    EXPECT_FALSE(picker->window()->isVisible());
    EXPECT_TRUE(RecordingSheet::began.isEmpty());
    platform::RunLoop::runFor(QVNTemplatePickerController::kDrawingSetupDelay);
    ASSERT_EQ(RecordingSheet::began.size(), 1);
    EXPECT_EQ(RecordingSheet::began.first().first, controller->documents().first());
    EXPECT_EQ(RecordingSheet::began.first().second, int(DrawingSetupSheet::kDrawingPage));

    controller->closeAllDocuments();
    services.makeDrawingSetupSheet = makeSheet;
}

TEST_F(TemplatePickerTest, ShowsAtLaunchOnlyWhenAskedAndTemplatesExist)
{
    VLTMAppDelegate delegate;
    EXPECT_FALSE(delegate.willDisplayTemplateBrowserAtLaunch());
    defaults().setBoolForKey(true, QVNTemplatePickerController::kShowAtStartupKey);
    EXPECT_EQ(delegate.willDisplayTemplateBrowserAtLaunch(), ZQQuorvaneDocument::hasTemplatesAvailable());
    userTemplate(QStringLiteral("Coastal/Bay.qvnl"));
    EXPECT_TRUE(delegate.willDisplayTemplateBrowserAtLaunch());

    // The check box writes the setting.
    picker->window();
    picker->parts().showAtStartupCheckbox->setChecked(false);
    EXPECT_FALSE(defaults().boolForKey(QVNTemplatePickerController::kShowAtStartupKey));
    EXPECT_FALSE(delegate.willDisplayTemplateBrowserAtLaunch());
}

#include "TemplatePickerTest.moc"

TEST_F(TemplatePickerTest, FilterTypingReadsTheDiskOncePerChangeOfTheCategory)
{
    const QString coastal = QDir(userFolder).filePath(QStringLiteral("Coastal"));
    for (const QString& name : {QStringLiteral("Cape"), QStringLiteral("Bay"), QStringLiteral("Reefs/Atoll"),
                                QStringLiteral("Reefs/Cay")})
        packageWithThumbnail(QDir(coastal).filePath(name + QStringLiteral(".qvnl")), jpegData(QSize(8, 8)));
    picker->window();
    const testsupport::LogCapture log;
    const auto scans = [&log] {
        return log.lines.filter(QStringLiteral("starting scan of folder")).size();
    };
    picker->setTemplatesRoot(coastal);
    EXPECT_EQ(scans(), 1);
    QTest::keyClicks(picker->parts().searchField, QStringLiteral("CA"));
    EXPECT_EQ(gridNames(), (QStringList{QStringLiteral("Cape"), QStringLiteral("Cay")}));
    picker->setFilterString(QStringLiteral("cay"));
    EXPECT_EQ(gridNames(), QStringList{QStringLiteral("Cay")});
    picker->setFilterString(QString());
    EXPECT_EQ(gridNames().size(), 4);
    EXPECT_EQ(scans(), 1);

    // A change on disk, here in a subfolder, lists the category once more.
    packageWithThumbnail(QDir(coastal).filePath(QStringLiteral("Reefs/Key.qvnl")), jpegData(QSize(8, 8)));
    picker->folderBrowserWasNotifiedOfChangeOnDisk(picker->folderController(), nullptr);
    EXPECT_EQ(scans(), 2);
    picker->setFilterString(QStringLiteral("k"));
    EXPECT_EQ(gridNames(), QStringList{QStringLiteral("Key")});
    EXPECT_EQ(scans(), 2);

    // A category whose folder went away lists nothing, without failing.
    QDir(coastal).removeRecursively();
    picker->folderBrowserWasNotifiedOfChangeOnDisk(picker->folderController(), nullptr);
    EXPECT_TRUE(gridNames().isEmpty());
}
