// The library's item models keep Qt's model contract through what the manager and the item
// browser do to them: libraries and categories made, renamed and deleted, content replaced,
// sorted and disabled. The tester aborts the test at the first broken rule.

#include "LibraryManagerTesting.h"

#include "library/browser/LibraryItemTableModel.h"
#include "library/browser/VXQLibraryItemViewController.h"
#include "library/manager/LibraryOutlineModel.h"
#include "platform/foundation/RunLoop.h"

#include <QAbstractItemModelTester>
#include <QTableView>

namespace {

TEST_F(ManagerTest, TheOutlineModelThroughNewRenamedAndDeletedLibrariesAndCategories)
{
    VXQLibraryPtr roads = libraryWithItems(QStringLiteral("Roads"), {"Road", "Track"});
    VXQLibraryManagerWindowController& window = openManager();
    LibraryOutlineModel* model = outline().outlineModel();
    const QAbstractItemModelTester tester(model, QAbstractItemModelTester::FailureReportingMode::Fatal);

    const int libraries = VXQLibraryGroup::userGroup()->libraries()->size();
    window.newLibraryAction(nullptr);
    platform::RunLoop::runUntilIdle();
    VXQLibrary* made = window.selectedLibrary();
    ASSERT_TRUE(made);
    EXPECT_EQ(VXQLibraryGroup::userGroup()->libraries()->size(), libraries + 1);
    const QModelIndex madeRow = model->indexForItem(made);
    ASSERT_TRUE(madeRow.isValid());
    ASSERT_TRUE(model->setData(madeRow, QStringLiteral("Trails"), Qt::EditRole));
    platform::RunLoop::runUntilIdle();
    EXPECT_EQ(model->indexForItem(made).data().toString(), QStringLiteral("Trails"));

    ASSERT_TRUE(window.selectLibrary(roads.get()));
    VXQLibraryCategory* top = window.makeNewCategoryForLibrary(roads.get());
    ASSERT_TRUE(top);
    VXQLibraryCategory* sub = window.makeNewCategoryForLibrary(roads.get());
    ASSERT_TRUE(sub);
    platform::RunLoop::runUntilIdle();
    const QModelIndex topRow = model->indexForItem(top);
    ASSERT_TRUE(topRow.isValid());
    EXPECT_EQ(model->itemForIndex(model->parent(model->indexForItem(sub))), top);

    ASSERT_TRUE(window.selectCategory(top));
    answers = {1};
    window.deleteCategoryAction(nullptr);
    platform::RunLoop::runUntilIdle();
    EXPECT_EQ(roads->categoryWithName(QStringLiteral("untitled category")), nullptr);
    EXPECT_FALSE(model->indexForItem(sub).isValid());
    model->refreshDisplay();
    model->reloadData();
    EXPECT_GT(model->rowCount(), 0);
}

class ItemTableContract : public LibraryTest, public VXQLibraryItemViewControllerDelegate {
protected:
    Messages implementedItemViewControllerMessages() const override { return Message::SaveSettingsRootName; }
    QString saveSettingsRootNameForItemViewController(VXQLibraryItemViewController*) override
    {
        return QStringLiteral("ItemTableContract");
    }
};

TEST_F(ItemTableContract, TheItemTableThroughNewContentSortingAndDisabledRows)
{
    const VXQLibraryPtr library = makeLibrary(QStringLiteral("Base"));
    QList<VXQLibraryItemPtr> items;
    for (const char* name : {"Road", "Track", "River", "Lake"}) {
        items.append(makeStyleItem(QString::fromLatin1(name)));
        library->addItem(items.last());
    }
    auto browser = std::make_shared<VXQLibraryItemViewController>();
    browser->setDelegate(this);
    browser->awakeFromInterface();
    browser->view()->resize(600, 400);
    browser->setLayoutMode(VXQLibraryItemViewController::ListMode);
    QAbstractItemModel* model = browser->listView()->model();
    ASSERT_TRUE(model);
    const QAbstractItemModelTester tester(model, QAbstractItemModelTester::FailureReportingMode::Fatal);

    browser->setContent(items);
    EXPECT_EQ(model->rowCount(), 4);
    browser->setContent(items.mid(1, 2));
    EXPECT_EQ(model->rowCount(), 2);
    // The owner sorts: the rows follow the content's order.
    browser->setSortedBy(0);
    browser->setContent({items[3], items[2], items[0], items[1]});
    QStringList names;
    for (int row = 0; row < model->rowCount(); ++row)
        names.append(model->index(row, 0).data().toString());
    EXPECT_EQ(names, QStringList({"Lake", "River", "Road", "Track"}));
    browser->setDisabledItems(JXIndexSet{1});
    EXPECT_FALSE(model->flags(model->index(1, 0)) & Qt::ItemIsSelectable);
    EXPECT_TRUE(model->flags(model->index(0, 0)) & Qt::ItemIsSelectable);
    browser->setDisabledItems(std::nullopt);
    browser->setContent({});
    EXPECT_EQ(model->rowCount(), 0);
    browser->setDelegate(nullptr);
}

} // namespace
