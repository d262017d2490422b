#include "LibraryTesting.h"

#include "library/browser/LibraryItemTableModel.h"
#include "library/browser/VXQLibraryItemViewController.h"
#include "platform/foundation/NotificationCenter.h"
#include "platform/foundation/RunLoop.h"
#include "platform/foundation/UserDefaults.h"
#include "platform/ui/MenuItem.h"

#include <QComboBox>
#include <QDir>
#include <QFile>
#include <QDialog>
#include <QPrinter>
#include <QProcess>
#include <QRegularExpression>
#include <QSemaphore>
#include <QTableView>
#include <QTemporaryDir>
#include <QThreadPool>

using librarybrowser::PrintGrid;

namespace {

// Records what the browser tells its owner.
class RecordingDelegate : public QObject, public VXQLibraryItemViewControllerDelegate {
public:
    explicit RecordingDelegate(QString root) : root(std::move(root)) {}

    Messages implementedItemViewControllerMessages() const override
    {
        using M = Message;
        return M::SortDescriptorsChanged | M::ItemSelectionChanged | M::DeleteItemsAtIndexes | M::EditItemsAtIndexes
            | M::CanRemoveItemsAtIndexes | M::RemoveItemsAtIndexes | M::SaveSettingsRootName | M::IconSizingChanged
            | M::ShouldEditItemAtIndex;
    }
    void sortDescriptorsChanged(const QList<LibrarySortDescriptor>& previous) override
    {
        previousDescriptors.append(previous);
    }
    void itemSelectionChanged(const JXIndexSet& indexes) override { selections.append(indexes); }
    void deleteItemsAtIndexes(const JXIndexSet& indexes) override { deleted.append(indexes); }
    void editItemsAtIndexes(const JXIndexSet& indexes) override { edited.append(indexes); }
    bool canRemoveItemsAtIndexes(const JXIndexSet&) override { return allowsRemoval; }
    bool removeItemsAtIndexes(const JXIndexSet& indexes) override
    {
        removed.append(indexes);
        return true;
    }
    QString saveSettingsRootNameForItemViewController(VXQLibraryItemViewController*) override { return root; }
    void iconSizingChanged(QSizeF size) override { sizes.append(size); }
    bool libraryItemViewControllerShouldEditItemAtIndex(VXQLibraryItemViewController*, qint64 index) override
    {
        return index != readOnlyIndex;
    }

    QString root;
    bool allowsRemoval = true;
    qint64 readOnlyIndex = -1;
    QList<QList<LibrarySortDescriptor>> previousDescriptors;
    QList<JXIndexSet> selections, deleted, edited, removed;
    QList<QSizeF> sizes;
};

// Also answers the printed pages' header and footer.
class PrintingDelegate : public RecordingDelegate, public ZQPrintableJXDistributedViewDelegate {
public:
    using RecordingDelegate::RecordingDelegate;
    QString printableDistributedViewHeaderStringForPage(JXDistributedView*, qint64 page) override
    {
        return QStringLiteral("Header %1").arg(page);
    }
    QString printableDistributedViewFooterStringForPage(JXDistributedView*, qint64 page) override
    {
        return QStringLiteral("Footer %1").arg(page);
    }
};

QString popplerOutput(const QString& tool, const QStringList& arguments)
{
    QProcess process;
    process.start(tool, arguments);
    process.waitForFinished(10000);
    return QString::fromUtf8(process.readAllStandardOutput());
}

platform::UserDefaults& defaults()
{
    return *platform::UserDefaults::standardUserDefaults();
}

} // namespace

class ItemBrowserTest : public LibraryTest {
protected:
    void SetUp() override
    {
        LibraryTest::SetUp();
        library = makeLibrary(QStringLiteral("Base"));
        for (const char* name : {"Road", "Track", "River", "Lake"}) {
            items.append(makeStyleItem(QString::fromLatin1(name)));
            library->addItem(items.last());
        }
    }

    // A browser of the items under a root name of the test's own, so settings never leak.
    std::shared_ptr<VXQLibraryItemViewController> makeBrowser(RecordingDelegate& delegate)
    {
        auto browser = std::make_shared<VXQLibraryItemViewController>();
        browser->setDelegate(&delegate);
        browser->awakeFromInterface();
        browser->view()->resize(600, 400);
        browser->setContent(items);
        return browser;
    }

    static QString uniqueRoot()
    {
        const auto* info = ::testing::UnitTest::GetInstance()->current_test_info();
        return QStringLiteral("ItemBrowser_%1").arg(QString::fromLatin1(info->name()));
    }

    VXQLibraryPtr library;
    QList<VXQLibraryItemPtr> items;
};

TEST(ItemBrowserRules, SizingsSortModesGridsAndMessages)
{
    using namespace librarybrowser;
    EXPECT_EQ(iconSizeForSizing(0), QSizeF(80, 80));
    EXPECT_EQ(iconSizeForSizing(1), QSizeF(96, 96));
    EXPECT_EQ(iconSizeForSizing(2), QSizeF(128, 128));
    EXPECT_EQ(iconSizeForSizing(3), QSizeF(48, 48));
    EXPECT_EQ(iconSizeForSizing(7), QSizeF(96, 96));
    EXPECT_EQ(iconSizeForSizing(-2), QSizeF(96, 96));

    EXPECT_EQ(sortColumnKeyForMode(1), u"kind");
    EXPECT_EQ(sortColumnKeyForMode(2 | kSortDescendingBit), u"locked");
    EXPECT_TRUE(sortModeIsDescending(2 | kSortDescendingBit));
    EXPECT_EQ(sortColumnKeyForMode(9), u"name");
    EXPECT_EQ(sortModeForColumnKey(QStringLiteral("userDescription")), -1);

    // Ten items on 520 points: ten columns, one row of 52 points.
    PrintGrid grid = PrintGrid::forWidthAndCount(520, 10);
    EXPECT_EQ(grid.columns, 10);
    EXPECT_EQ(grid.rows, 1);
    EXPECT_EQ(grid.viewSize(), QSizeF(520, 52));
    EXPECT_EQ(PrintGrid::forWidthAndCount(520, 11).rows, 2);
    // Below one column the grid keeps one (no division by zero, no endless row count).
    grid = PrintGrid::forWidthAndCount(30, 3);
    EXPECT_EQ(grid.columns, 1);
    EXPECT_EQ(grid.rows, 3);
    EXPECT_EQ(PrintGrid::forWidthAndCount(std::nan(""), 2).columns, 1);
    EXPECT_EQ(PrintGrid::forWidthAndCount(520, 0).rows, 0);

    EXPECT_EQ(editingStateForLockedFlags({}), 0);
    EXPECT_EQ(editingStateForLockedFlags({false, false}), 1);
    EXPECT_EQ(editingStateForLockedFlags({true, true}), 0);
    EXPECT_EQ(editingStateForLockedFlags({true, false}), -1);

    EXPECT_TRUE(deleteItemsMessage({QStringLiteral("Road")}, QStringLiteral("Base"))
                    .startsWith(QStringLiteral("Really delete \u201CRoad\u201D? The items will be permanently removed "
                                               "from the collection \u201CBase\u201D")));
    // Names that look like placeholders stay as typed.
    EXPECT_TRUE(deleteItemsMessage({QStringLiteral("a"), QStringLiteral("%1")}, QStringLiteral("%2 lib"))
                    .startsWith(QStringLiteral("Really delete 2 Items? The items will be permanently removed from "
                                               "the collection \u201C%2 lib\u201D")));

    DisabledItems none;
    EXPECT_EQ(none.filterSelection({1, 2}), (JXIndexSet{1, 2}));
    DisabledItems all{JXIndexSet{}};
    EXPECT_TRUE(all.allDisabled());
    EXPECT_TRUE(all.filterSelection({1, 2}).empty());
    DisabledItems some{JXIndexSet{2}};
    EXPECT_EQ(some.filterSelection({1, 2, 3}), (JXIndexSet{1, 3}));
    EXPECT_FALSE(some.isDisabled(1));
}

TEST_F(ItemBrowserTest, ContentKeepsOrRestoresTheSelection)
{
    RecordingDelegate delegate(uniqueRoot());
    auto browser = makeBrowser(delegate);
    browser->selectItemsAtIndexes({1, 3});
    EXPECT_EQ(browser->selectedItems(), (QList{items[1], items[3]}));

    // The same content again changes nothing.
    delegate.selections.clear();
    browser->setContent(items);
    EXPECT_EQ(browser->selectedItemIndexes(), (JXIndexSet{1, 3}));
    EXPECT_TRUE(delegate.selections.isEmpty());

    // New content that still holds the selected items selects them where they now are.
    const QList<VXQLibraryItemPtr> reordered{items[3], items[2], items[1]};
    browser->setContent(reordered);
    EXPECT_EQ(browser->selectedItemIndexes(), (JXIndexSet{0, 2}));

    // Without preserving, the selection goes.
    browser->setContentPreservingSelection(items, false);
    EXPECT_TRUE(browser->selectedItemIndexes().empty());

    EXPECT_TRUE(browser->revealItemSelectIt(items[2].get(), true));
    EXPECT_EQ(browser->selectedItemIndexes(), (JXIndexSet{2}));
    const VXQLibraryItemPtr stranger = makeStyleItem(QStringLiteral("Stranger"));
    EXPECT_FALSE(browser->revealItemSelectIt(stranger.get(), true));

    // Selection survives a change of layout, and the list reports its own.
    browser->setLayoutMode(VXQLibraryItemViewController::ListMode);
    EXPECT_EQ(browser->selectedItemIndexes(), (JXIndexSet{2}));
    browser->selectItemsAtIndexes({0, 1});
    EXPECT_EQ(delegate.selections.last(), (JXIndexSet{0, 1}));
    browser->selectOthers(nullptr);
    EXPECT_EQ(browser->selectedItemIndexes(), (JXIndexSet{2, 3}));
    browser->setLayoutMode(VXQLibraryItemViewController::IconMode);
    EXPECT_EQ(browser->selectedItemIndexes(), (JXIndexSet{2, 3}));
}

TEST_F(ItemBrowserTest, DisabledItemsCannotBeSelectedInEitherPresentation)
{
    RecordingDelegate delegate(uniqueRoot());
    auto browser = makeBrowser(delegate);
    browser->selectItemsAtIndexes({0, 2});
    browser->setDisabledItems(JXIndexSet{2});
    EXPECT_EQ(browser->selectedItemIndexes(), (JXIndexSet{0}));

    browser->setDisabledItems(JXIndexSet{});
    EXPECT_TRUE(browser->isItemDisabled(3));
    browser->selectAll(nullptr);
    EXPECT_TRUE(browser->selectedItemIndexes().empty());
    browser->setLayoutMode(VXQLibraryItemViewController::ListMode);
    browser->selectAll(nullptr);
    EXPECT_TRUE(browser->selectedItemIndexes().empty());
    EXPECT_EQ(browser->listView()->model()->flags(browser->listView()->model()->index(1, 0)), Qt::NoItemFlags);

    // No set: nothing disabled. New content drops the set.
    browser->setDisabledItems(std::nullopt);
    browser->selectAll(nullptr);
    EXPECT_EQ(browser->selectedItemIndexes().size(), 4u);
    browser->setDisabledItems(JXIndexSet{});
    browser->setContent({items[0]});
    EXPECT_FALSE(browser->disabledItems().has_value());
}

TEST_F(ItemBrowserTest, SettingsAreStoredUnderTheRootAndReadOnWaking)
{
    const QString root = uniqueRoot();
    {
        RecordingDelegate delegate(root);
        auto browser = makeBrowser(delegate);
        browser->setIconSizing(7);
        EXPECT_EQ(browser->iconView()->cellSize(), QSizeF(96, 96));
        EXPECT_EQ(delegate.sizes.last(), QSizeF(96, 96));
        browser->setIconSizing(2);
        browser->setIconsCanBeScaledUp(false);
        browser->setShowsLockBadging(true);
        browser->setIconViewBackgroundColour(4);
        browser->setLayoutMode(VXQLibraryItemViewController::ListMode);
        // List mode leaves the icon size alone.
        browser->setIconSizing(3);
        EXPECT_EQ(browser->iconSizing(), 2);
    }
    EXPECT_EQ(defaults().integerForKey(root + QStringLiteral("_VXLIB_ITEM_VIEW_iconSizing")), 2);
    EXPECT_TRUE(defaults().boolForKey(root + QStringLiteral("_VXLIB_ITEM_VIEW_iconUpscaling")));
    EXPECT_EQ(defaults().integerForKey(root + QStringLiteral("_bkgColorIndex")), 4);

    RecordingDelegate delegate(root);
    auto browser = makeBrowser(delegate);
    EXPECT_EQ(browser->layoutMode(), VXQLibraryItemViewController::ListMode);
    EXPECT_EQ(browser->iconSizing(), 2);
    EXPECT_EQ(browser->iconView()->cellSize(), QSizeF(128, 128));
    EXPECT_FALSE(browser->iconsCanBeScaledUp());
    EXPECT_TRUE(browser->showsLockBadging());
    EXPECT_EQ(browser->iconView()->viewport()->palette().color(QPalette::Base), QColor(Qt::black));

    // A stored mode no presentation has shows icons; absent settings give 80-point icons.
    const QString damaged = root + QStringLiteral("_damaged");
    defaults().setIntegerForKey(9, damaged + QStringLiteral("_VXLIB_ITEM_VIEW_layoutMode"));
    RecordingDelegate other(damaged);
    auto fresh = makeBrowser(other);
    EXPECT_EQ(fresh->layoutMode(), VXQLibraryItemViewController::IconMode);
    EXPECT_EQ(fresh->iconView()->cellSize(), QSizeF(80, 80));
    EXPECT_TRUE(fresh->iconsCanBeScaledUp());
    EXPECT_EQ(fresh->iconView()->viewport()->palette().color(QPalette::Base),
              VXQLibraryItemViewController::standardBackgroundColour());
}

TEST_F(ItemBrowserTest, SortingByColumnTellsTheDelegateTheOldOrder)
{
    RecordingDelegate delegate(uniqueRoot());
    auto browser = makeBrowser(delegate);
    EXPECT_EQ(browser->sortedBy(), 0);
    EXPECT_EQ(browser->sortDescriptors(), (QList<LibrarySortDescriptor>{{QStringLiteral("name"), true}}));

    delegate.previousDescriptors.clear();
    browser->setSortedBy(1 | librarybrowser::kSortDescendingBit);
    EXPECT_EQ(browser->sortedBy(), 1);
    ASSERT_EQ(delegate.previousDescriptors.size(), 1);
    EXPECT_EQ(delegate.previousDescriptors[0], (QList<LibrarySortDescriptor>{{QStringLiteral("name"), true}}));
    EXPECT_EQ(browser->sortDescriptors(), (QList<LibrarySortDescriptor>{{QStringLiteral("kind"), false},
                                                                        {QStringLiteral("name"), true}}));
    // Already the sorted column: nothing happens.
    browser->setSortedBy(1);
    EXPECT_EQ(delegate.previousDescriptors.size(), 1);

    // A header click on the leading column flips it; on another puts that one first.
    browser->tableHeaderClicked(1);
    EXPECT_TRUE(browser->sortDescriptors().first().ascending);
    browser->tableHeaderClicked(2);
    EXPECT_EQ(browser->sortedBy(), 2);
    EXPECT_EQ(browser->sortDescriptors().size(), 3);

    platform::MenuItem byName(QStringLiteral("Name"), "sortByAction");
    byName.setTag(0);
    EXPECT_TRUE(browser->validateMenuItem(&byName));
    EXPECT_EQ(byName.state(), platform::MenuItem::OffState);
    browser->sortByAction(&byName);
    EXPECT_EQ(browser->sortedBy(), 0);
    browser->validateMenuItem(&byName);
    EXPECT_EQ(byName.state(), platform::MenuItem::OnState);
    EXPECT_EQ(browser->sortByPopUpButton()->currentData().toInt(), 0);
}

TEST_F(ItemBrowserTest, LockingShowsMixedStateAndLocksAll)
{
    RecordingDelegate delegate(uniqueRoot());
    auto browser = makeBrowser(delegate);
    platform::MenuItem editing(QStringLiteral("Editing Enabled"), "enableEditingAction");
    EXPECT_FALSE(browser->validateMenuItem(&editing));

    items[1]->setLocked(true);
    browser->selectItemsAtIndexes({0, 1});
    EXPECT_EQ(browser->isEditingEnabled(), -1);
    EXPECT_TRUE(browser->validateMenuItem(&editing));
    EXPECT_EQ(editing.state(), platform::MenuItem::MixedState);
    browser->enableEditingAction(&editing);
    EXPECT_TRUE(items[0]->locked());
    EXPECT_TRUE(items[1]->locked());
    EXPECT_EQ(browser->isEditingEnabled(), 0);
    browser->validateMenuItem(&editing);
    browser->enableEditingAction(&editing);
    EXPECT_EQ(browser->isEditingEnabled(), 1);
    EXPECT_EQ(browser->selectedUnlockedItems().size(), 2);
}

TEST_F(ItemBrowserTest, DeleteAsksAndHandsOnOnlyUnlockedItems)
{
    RecordingDelegate delegate(uniqueRoot());
    auto browser = makeBrowser(delegate);
    platform::MenuItem deleteItem(QStringLiteral("Delete"), "delete_");

    items[1]->setLocked(true);
    browser->selectItemsAtIndexes({1});
    EXPECT_FALSE(browser->validateMenuItem(&deleteItem));
    browser->delete_(nullptr);
    EXPECT_EQ(browser->deleteSheet(), nullptr);

    browser->selectItemsAtIndexes({0, 1});
    EXPECT_TRUE(browser->validateMenuItem(&deleteItem));
    browser->delete_(nullptr);
    ASSERT_NE(browser->deleteSheet(), nullptr);
    EXPECT_TRUE(browser->deleteSheetText().startsWith(QStringLiteral("Really delete \u201CRoad\u201D?")));
    browser->deleteItemsCancelAction(nullptr);
    EXPECT_TRUE(delegate.deleted.isEmpty());

    browser->delete_(nullptr);
    browser->deleteItemsOKAction(nullptr);
    ASSERT_EQ(delegate.deleted.size(), 1);
    EXPECT_EQ(delegate.deleted[0], (JXIndexSet{0}));

    // A library that refuses changes disables the command.
    library->setAllowsContentChanges(false);
    EXPECT_FALSE(browser->validateMenuItem(&deleteItem));
}

TEST_F(ItemBrowserTest, RenamingEditingAndDraggingOut)
{
    RecordingDelegate delegate(uniqueRoot());
    auto browser = makeBrowser(delegate);
    JXDistributedView* view = browser->iconView();

    // A title edited in place renames the item and selects it.
    browser->distributedViewSetObjectValueForItemIndex(view, QStringLiteral("Main/Road"), 2);
    EXPECT_EQ(items[2]->name(), u"Main-Road");
    EXPECT_EQ(browser->selectedItemIndexes(), (JXIndexSet{2}));
    EXPECT_EQ(browser->distributedViewToolTipForItemAtIndex(view, 2),
              VXQLibraryItem::localisedKindStringForClassCode(1) + QStringLiteral(" \u201CMain-Road\u201D"));

    browser->distributedViewCellDoubleClickedAtItemIndex(view, 3);
    EXPECT_EQ(delegate.edited, (QList<JXIndexSet>{{3}}));

    delegate.readOnlyIndex = 1;
    EXPECT_FALSE(browser->distributedViewShouldEditItemAtIndex(view, 1));
    EXPECT_FALSE(browser->listView()->model()->flags(browser->listView()->model()->index(1, 0)) & Qt::ItemIsEditable);
    EXPECT_TRUE(browser->listView()->model()->flags(browser->listView()->model()->index(0, 0)) & Qt::ItemIsEditable);

    // The list renames through the "name" column and locks through "locked".
    QAbstractItemModel* model = browser->listView()->model();
    EXPECT_TRUE(model->setData(model->index(0, 0), QStringLiteral("Motorway"), Qt::EditRole));
    EXPECT_EQ(items[0]->name(), u"Motorway");
    EXPECT_TRUE(model->setData(model->index(0, 2), Qt::Checked, Qt::CheckStateRole));
    EXPECT_TRUE(items[0]->locked());

    // A drop nobody took, outside every window, removes the selection from the category.
    browser->view()->show();
    const QRect frame = browser->view()->window()->frameGeometry();
    const QPoint inside = frame.center();
    const QPoint outside = frame.bottomRight() + QPoint(500, 500);
    browser->selectItemsAtIndexes({1});
    EXPECT_FALSE(browser->dragEndedWithOperationAtPoint(Qt::IgnoreAction, inside));
    EXPECT_FALSE(browser->dragEndedWithOperationAtPoint(Qt::CopyAction, outside));
    EXPECT_TRUE(delegate.removed.isEmpty());
    browser->distributedViewDraggedImageMovedTo(view, {}, outside);
    EXPECT_TRUE(browser->dragWillRemoveItems());
    // Back over a window before the drop: no removal.
    browser->distributedViewDraggedImageMovedTo(view, {}, inside);
    EXPECT_FALSE(browser->dragWillRemoveItems());
    delegate.allowsRemoval = false;
    EXPECT_FALSE(browser->dragEndedWithOperationAtPoint(Qt::IgnoreAction, outside));
    delegate.allowsRemoval = true;
    EXPECT_TRUE(browser->dragEndedWithOperationAtPoint(Qt::IgnoreAction, outside));
    EXPECT_EQ(delegate.removed, (QList<JXIndexSet>{{1}}));
    EXPECT_FALSE(browser->dragWillRemoveItems());
}

TEST_F(ItemBrowserTest, PrintsTheGridWithHeadersAndMakesPdfPreviews)
{
    PrintingDelegate delegate(uniqueRoot());
    auto browser = makeBrowser(delegate);
    QTemporaryDir folder;
    const QString path = folder.filePath(QStringLiteral("grid.pdf"));
    QPrinter printer(QPrinter::HighResolution);
    printer.setOutputFormat(QPrinter::PdfFormat);
    printer.setOutputFileName(path);
    EXPECT_EQ(browser->printToPrinter(printer), 1);
    const QString printed = popplerOutput(QStringLiteral("pdftotext"), {path, QStringLiteral("-")});
    EXPECT_TRUE(printed.contains(QStringLiteral("Header 1"))) << printed.toStdString();
    EXPECT_TRUE(printed.contains(QStringLiteral("Footer 1")));
    EXPECT_TRUE(printed.contains(QStringLiteral("Track")));

    // A page too narrow for one whole column still prints, one item a row.
    QPrinter narrow(QPrinter::HighResolution);
    narrow.setOutputFormat(QPrinter::PdfFormat);
    narrow.setOutputFileName(folder.filePath(QStringLiteral("narrow.pdf")));
    narrow.setPageSize(QPageSize(QSizeF(80, 400), QPageSize::Point));
    narrow.setPageMargins(QMarginsF(20, 20, 20, 20), QPageLayout::Point);
    EXPECT_GE(browser->printToPrinter(narrow), 1);

    const QByteArray pdf = VXQLibraryItemViewController::pdfPreviewForContentArrangedInColumnsIconSize(items, 3, 3);
    EXPECT_TRUE(pdf.startsWith("%PDF"));
    // 3 columns of 50-point cells, 2 rows.
    QFile preview(folder.filePath(QStringLiteral("preview.pdf")));
    ASSERT_TRUE(preview.open(QIODevice::WriteOnly));
    preview.write(pdf);
    preview.close();
    EXPECT_TRUE(popplerOutput(QStringLiteral("pdfinfo"), {preview.fileName()}).contains(QStringLiteral("150 x 100 pts")));
    EXPECT_TRUE(VXQLibraryItemViewController::pdfPreviewForContentArrangedInColumnsIconSize(items, 0, 1).isEmpty());
}

TEST_F(ItemBrowserTest, PrintedIconsStayClearOfTheHeaderAndAreDrawnForThePrinter)
{
    items.append(makeStyleItem(QStringLiteral("Secondary Road With Dashed Casing")));
    items.append(makeSymbolItem(QStringLiteral("Church")));
    PrintingDelegate delegate(uniqueRoot());
    auto browser = makeBrowser(delegate);
    QTemporaryDir folder;
    const QString path = folder.filePath(QStringLiteral("narrow-margins.pdf"));
    QPrinter printer(QPrinter::HighResolution);
    printer.setOutputFormat(QPrinter::PdfFormat);
    printer.setOutputFileName(path);
    printer.setPageSize(QPageSize(QPageSize::A4));
    printer.setPageMargins(QMarginsF(12, 12, 12, 12), QPageLayout::Point);
    ASSERT_EQ(browser->printToPrinter(printer), 1);

    // The header rules end 34 points down; a name sits under an icon some 40 points tall.
    const QString boxes = popplerOutput(QStringLiteral("pdftotext"), {QStringLiteral("-bbox"), path, QStringLiteral("-")});
    const QRegularExpression word(QStringLiteral(R"re(yMin="([\d.]+)"[^>]*>([^<]*)</word>)re"));
    QStringList names;
    for (const QRegularExpressionMatch& match : word.globalMatch(boxes)) {
        const QString text = match.captured(2);
        if (text.startsWith(QStringLiteral("Header")) || text.startsWith(QStringLiteral("Footer"))
            || text.at(0).isDigit())
            continue;
        names.append(text);
        EXPECT_GT(match.captured(1).toDouble(), 34.0 + 40.0) << text.toStdString();
    }
    EXPECT_TRUE(names.contains(QStringLiteral("Road")));
    // A name wider than its cell is shortened, never cut at the cell's edge.
    EXPECT_TRUE(names.join(u' ').contains(QChar(0x2026))) << names.join(u' ').toStdString();

    // Icons come at the printer's resolution, not at the screen preview's (128 pixels for a
    // style, the symbol's own size in points for a symbol).
    const QString images = popplerOutput(QStringLiteral("pdfimages"), {QStringLiteral("-list"), path});
    const QRegularExpression imageRow(QStringLiteral(R"(^\s*1\s+\d+\s+image\s+(\d+))"),
                                      QRegularExpression::MultilineOption);
    int icons = 0;
    for (const QRegularExpressionMatch& match : imageRow.globalMatch(images)) {
        ++icons;
        EXPECT_GE(match.captured(1).toInt(), 300) << images.toStdString();
    }
    EXPECT_EQ(icons, items.size());
}

TEST_F(ItemBrowserTest, IconsFlowInRowsAsWideAsTheView)
{
    RecordingDelegate delegate(uniqueRoot());
    auto browser = makeBrowser(delegate);
    JXDistributedView* view = browser->iconView();
    browser->view()->show();
    browser->view()->resize(600, 400);
    EXPECT_EQ(view->rectForItemAtIndex(3).top(), view->rectForItemAtIndex(0).top());

    // Narrower than four 80-point cells: the last item wraps, and the frame shrinks with the view.
    browser->view()->resize(250, 400);
    EXPECT_GT(view->rectForItemAtIndex(3).top(), view->rectForItemAtIndex(0).top());
    EXPECT_LE(view->frame().width(), view->viewport()->width());
    browser->setIconSizing(2);
    EXPECT_GE(view->frame().height(), view->rectForItemAtIndex(3).bottom());
}

TEST_F(ItemBrowserTest, OnlyCellsThatAreDrawnAskForTheirPreviews)
{
    QList<VXQLibraryItemPtr> many;
    for (int i = 0; i < 300; ++i)
        many.append(makeStyleItem(QStringLiteral("Style %1").arg(i)));
    const auto cached = [&many] {
        return std::count_if(many.begin(), many.end(),
                             [](const VXQLibraryItemPtr& item) { return !VXQLibraryItem::iconForItem(*item).isNull(); });
    };
    ASSERT_EQ(cached(), 0);
    RecordingDelegate delegate(uniqueRoot());
    auto browser = makeBrowser(delegate);
    browser->view()->resize(400, 250);
    browser->setContent(many);
    browser->view()->grab();
    // A 400 x 250 view shows a few rows of 80-point cells, not 300 of them.
    EXPECT_GT(cached(), 0);
    EXPECT_LT(cached(), 30);
}

TEST_F(ItemBrowserTest, MissingPreviewsAreDrawnOnAWorkerWhileTheGridShowsPlaceholders)
{
    const VXQLibraryItemPtr road = items[0];                              // in memory
    const VXQLibraryItemPtr rail = makeStyleItem(QStringLiteral("Rail"), Qt::blue); // read from disk
    library->addItem(rail);
    const QImage roadPreview = road->makePreviewImage();
    const QImage railPreview = rail->makePreviewImage();
    rail->unload();
    ASSERT_TRUE(QDir(rail->path() + QStringLiteral("/QuickLook")).removeRecursively());
    for (const VXQLibraryItemPtr& item : {road, rail})
        VXQLibraryItem::setIconForItem({}, *item);
    VXQLibraryItem::setLoadsImagesUsingThread(true);

    // The only worker is held: painting the grid must not wait for it.
    QThreadPool& pool = VXQLibraryItem::iconFetchQueue();
    const int threads = pool.maxThreadCount();
    pool.setMaxThreadCount(1);
    QSemaphore painted;
    pool.start([&painted] { painted.acquire(); });
    RecordingDelegate delegate(uniqueRoot());
    auto browser = makeBrowser(delegate);
    browser->setContent({road, rail});
    const QImage before = browser->view()->grab().toImage();
    EXPECT_TRUE(VXQLibraryItem::iconForItem(*road).isNull());
    EXPECT_TRUE(VXQLibraryItem::iconForItem(*rail).isNull());
    EXPECT_FALSE(rail->hasObject());

    painted.release();
    for (int turn = 0; turn < 3; ++turn) {
        pool.waitForDone();
        platform::RunLoop::runUntilIdle();
    }
    pool.setMaxThreadCount(threads);
    EXPECT_EQ(VXQLibraryItem::iconForItem(*road), roadPreview);
    EXPECT_EQ(VXQLibraryItem::iconForItem(*rail), railPreview);
    EXPECT_NE(browser->view()->grab().toImage(), before);
}
