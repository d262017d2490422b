#include "LibraryManagerTesting.h"

#include "library/archiving/FolderZipWriter.h"
#include "platform/foundation/KeyedArchiver.h"
#include "platform/foundation/RunLoop.h"
#include "platform/ui/Application.h"
#include "platform/ui/UiTestSupport.h"
#include "support/MenuTesting.h"
#include "widgets/iconview/JXDistributedView.h"

#include <QContextMenuEvent>
#include <QDialog>
#include <QFileDialog>
#include <QLineEdit>
#include <QMenuBar>
#include <QTableView>
#include <QTest>
#include <QTimer>

using platform::MenuItem;

// Stands for the application delegate, which ends the application.
class QuitRecorder : public QObject {
    Q_OBJECT

public:
    Q_INVOKABLE void terminate(QObject*) { ++quits; }
    int quits = 0;
};

namespace {

// The manager shown as the key window over three items of Roads, Bridge locked, as a user
// meets it after choosing the collection.
class ManagerMenusTest : public ManagerTest {
protected:
    void SetUp() override
    {
        ManagerTest::SetUp();
        roads = libraryWithItems(QStringLiteral("Roads"), {"Avenue", "Bridge", "Canal"});
        roads->itemWithName(QStringLiteral("Bridge"))->setLocked(true);
        openManager();
        ASSERT_TRUE(manager->selectLibrary(roads.get()));
        uitest::activate(manager->window());
        browser()->iconView()->setFocus();
    }

    VXQLibraryItemViewController* browser() const { return manager->itemBrowser(); }
    MenuItem* item(const QString& menu, const QString& title)
    {
        return testsupport::menuItem(manager->window()->findChild<QMenuBar*>(), menu, title);
    }
    QStringList selectedNames() const { return namesOf(browser()->selectedItems()); }
    void select(const QStringList& names)
    {
        QList<VXQLibraryItemPtr> items = manager->sortedAndFilteredItems();
        items.removeIf([&names](const VXQLibraryItemPtr& shown) { return !names.contains(shown->name()); });
        browser()->selectItems(items);
    }
    bool onDisk(const QString& name) const { return QFileInfo::exists(roads->path() + u'/' + name + ".libitem"); }

    VXQLibraryPtr roads;
};

// Delete asks first, names only what it will trash, and is offered only for unlocked items; the
// Delete key does the same in the icon view and in the list.
TEST_F(ManagerMenusTest, DeleteFromTheEditMenuOrTheKeyTrashesUnlockedItemsAfterTheSheet)
{
    MenuItem* remove = item("Edit", "Delete...");
    ASSERT_TRUE(remove);
    select({"Bridge"});
    EXPECT_FALSE(remove->validate()); // locked only
    select({"Avenue", "Bridge"});
    ASSERT_TRUE(remove->validate());
    remove->trigger();
    ASSERT_NE(browser()->deleteSheet(), nullptr);
    EXPECT_TRUE(browser()->deleteSheetText().startsWith(QStringLiteral("Really delete “Avenue”? The items will be "
                                                                       "permanently removed from the collection “Roads”")));
    browser()->deleteItemsOKAction(nullptr);
    EXPECT_FALSE(onDisk("Avenue"));
    EXPECT_TRUE(onDisk("Bridge"));
    EXPECT_EQ(namesOf(manager->sortedAndFilteredItems()), (QStringList{"Bridge", "Canal"}));

    // The key in the icon view: cancelled, nothing goes.
    select({"Canal"});
    QTest::keyClick(browser()->iconView(), Qt::Key_Delete);
    ASSERT_NE(browser()->deleteSheet(), nullptr);
    EXPECT_TRUE(browser()->deleteSheetText().startsWith(QStringLiteral("Really delete “Canal”?")));
    browser()->deleteItemsCancelAction(nullptr);
    EXPECT_TRUE(onDisk("Canal"));

    // The key in the list, chosen from the View menu.
    item("View", "as List")->trigger();
    ASSERT_EQ(browser()->layoutMode(), VXQLibraryItemViewController::ListMode);
    select({"Canal"});
    browser()->listView()->setFocus();
    QTest::keyClick(browser()->listView(), Qt::Key_Delete);
    ASSERT_NE(browser()->deleteSheet(), nullptr);
    browser()->deleteItemsOKAction(nullptr);
    EXPECT_FALSE(onDisk("Canal"));
    EXPECT_EQ(namesOf(manager->sortedAndFilteredItems()), QStringList{"Bridge"});
}

// A right click on an item selects it and offers the item commands.
TEST_F(ManagerMenusTest, TheItemsContextMenuActsOnTheItemClicked)
{
    select({"Avenue"});
    JXDistributedView* icons = browser()->iconView();
    const QPoint canal = icons->rectForItemAtIndex(2).center().toPoint();
    QStringList offered;
    QTimer::singleShot(0, [&offered] {
        auto* menu = qobject_cast<QMenu*>(QApplication::activePopupWidget());
        ASSERT_TRUE(menu);
        for (QAction* entry : menu->actions())
            if (entry->isEnabled() && !entry->isSeparator())
                offered.append(entry->text());
        menu->actions().first()->trigger();
        menu->close();
    });
    QContextMenuEvent click(QContextMenuEvent::Mouse, canal, icons->viewport()->mapToGlobal(canal));
    QApplication::sendEvent(icons->viewport(), &click);
    EXPECT_EQ(selectedNames(), QStringList{"Canal"});
    EXPECT_EQ(offered.value(0), QStringLiteral("Delete..."));
    EXPECT_TRUE(offered.contains(QStringLiteral("Rename Item")));
    ASSERT_NE(browser()->deleteSheet(), nullptr);
    EXPECT_TRUE(browser()->deleteSheetText().startsWith(QStringLiteral("Really delete “Canal”?")));
    browser()->deleteItemsCancelAction(nullptr);
}

TEST_F(ManagerMenusTest, SelectionCommandsAndTheViewMenuReachTheItems)
{
    QTest::keyClick(browser()->iconView(), Qt::Key_A, Qt::ControlModifier);
    EXPECT_EQ(selectedNames(), (QStringList{"Avenue", "Bridge", "Canal"}));
    QTest::keyClick(browser()->iconView(), Qt::Key_A, Qt::ControlModifier | Qt::ShiftModifier);
    EXPECT_TRUE(selectedNames().isEmpty());
    select({"Bridge"});
    item("Edit", "Select Others")->trigger();
    EXPECT_EQ(selectedNames(), (QStringList{"Avenue", "Canal"}));
    // The menu reaches the items while the outline has the keyboard.
    manager->outlineView()->setFocus();
    item("Edit", "Select None")->trigger();
    EXPECT_TRUE(selectedNames().isEmpty());

    // Locking from the menu: a mixed selection shows mixed and locks both.
    select({"Avenue", "Bridge"});
    MenuItem* editing = item("Edit", "Enable Editing");
    ASSERT_TRUE(editing->validate());
    EXPECT_EQ(editing->state(), MenuItem::MixedState);
    editing->trigger();
    EXPECT_TRUE(roads->itemWithName(QStringLiteral("Avenue"))->locked());

    // Sizes apply, and are offered, in icon mode only; the present one is checked.
    MenuItem* largest = item("View", "Icons 128 × 128");
    ASSERT_TRUE(largest->validate());
    largest->trigger();
    EXPECT_EQ(browser()->iconSizing(), 2);
    EXPECT_EQ(browser()->iconView()->cellSize(), QSizeF(128, 128));
    EXPECT_TRUE(largest->validate());
    EXPECT_EQ(largest->state(), MenuItem::OnState);
    QMenu* background = testsupport::submenu(manager->window()->findChild<QMenuBar*>(), "View", "Background");
    ASSERT_TRUE(background);
    auto* black = qobject_cast<MenuItem*>(background->actions().at(4));
    black->trigger();
    EXPECT_EQ(browser()->iconViewBackgroundColourIndex(), 4);
    EXPECT_TRUE(black->validate());
    EXPECT_EQ(black->state(), MenuItem::OnState);

    item("View", "as List")->trigger();
    EXPECT_FALSE(largest->validate());
    EXPECT_FALSE(black->validate());
}

TEST_F(ManagerMenusTest, OutlineRowsShowTheirElementsIcons)
{
    const QList<VXQLibraryElement*> rows{VXQLibraryGroup::userGroup(), roads.get(), roads->allItemsCategory()};
    for (VXQLibraryElement* row : rows) {
        const QImage icon = manager->outline().outlineViewWillDisplayItem(row).icon;
        EXPECT_FALSE(icon.isNull()) << row->name().toStdString();
        EXPECT_EQ(icon, row->icon()) << row->name().toStdString();
    }
}

TEST_F(ManagerMenusTest, CtrlQQuitsFromTheManager)
{
    QObject* previous = platform::Application::delegate();
    QuitRecorder application;
    platform::Application::setDelegate(&application);
    QTest::keyClick(browser()->iconView(), Qt::Key_Q, Qt::ControlModifier);
    EXPECT_EQ(application.quits, 1);
    item("File", "Quit")->trigger();
    EXPECT_EQ(application.quits, 2);
    platform::Application::setDelegate(previous);
}

// The panel takes library folders; a typed name of another file is refused with the reason.
TEST_F(ManagerMenusTest, ImportingAnExportedArchiveSaysToUnpackItFirst)
{
    const QString zip = userFolder() + QStringLiteral("/../Roads.zip");
    ASSERT_TRUE(FolderZipWriter::writeArchive(roads->path(), zip));
    const QString text = userFolder() + QStringLiteral("/../notes.txt");
    QFile notes(text);
    ASSERT_TRUE(notes.open(QIODevice::WriteOnly));
    notes.write("not a collection");
    notes.close();
    for (const QString& path : {zip, text}) {
        item("File", "Import Collection...")->trigger();
        platform::RunLoop::runUntilIdle();
        auto* panel = manager->window()->findChild<QFileDialog*>();
        ASSERT_TRUE(panel);
        auto* name = panel->findChild<QLineEdit*>(QStringLiteral("fileNameEdit"));
        ASSERT_TRUE(name);
        name->setText(path);
        QTest::keyClick(name, Qt::Key_Return);
        platform::RunLoop::runUntilIdle();
    }
    EXPECT_EQ(alerts, (QStringList{"Nothing Imported", "Nothing Imported"}));
    EXPECT_EQ(informative.value(0), QStringLiteral("“Roads.zip” is a collection archive: unpack it and import the "
                                                   ".symlibrary folder inside"));
    EXPECT_TRUE(informative.value(1).startsWith(QStringLiteral("“notes.txt” is not a collection")));
    EXPECT_EQ(VXQLibraryCatalogue::libraryWithNameInGroup(QStringLiteral("Roads 1"), kVXQLibraryUserGroupName), nullptr);
}

// Symbol-set files of the earlier generation, written as a user would keep them beside the
// collections and chosen through File > Import Collection.
class SymbolSetImportTest : public ManagerMenusTest {
protected:
    void SetUp() override
    {
        ManagerMenusTest::SetUp();
        QDir().mkpath(sets);
    }

    void write(const QString& name, const QByteArray& contents)
    {
        QFile file(sets + name);
        ASSERT_TRUE(file.open(QIODevice::WriteOnly));
        file.write(contents);
    }
    static QByteArray symbolSet(const QList<ZQObjectPtr>& objects, const QVariantMap& categories = {})
    {
        QVariantList listed;
        for (const ZQObjectPtr& object : objects)
            listed.append(QVariant::fromValue(object));
        QVariantMap root = categories;
        root.insert(QStringLiteral("ssf_objects_xxy42snig"), listed);
        platform::KeyedArchiver archiver;
        archiver.encodeObject(QVariant(root), QStringLiteral("root"));
        return archiver.finishEncoding();
    }
    void importThroughPanel(const QString& name)
    {
        item("File", "Import Collection...")->trigger();
        platform::RunLoop::runUntilIdle();
        auto* panel = manager->window()->findChild<QFileDialog*>();
        ASSERT_TRUE(panel);
        EXPECT_EQ(panel->nameFilters(), QStringList{"*.symlibrary *.ssf"});
        auto* field = panel->findChild<QLineEdit*>(QStringLiteral("fileNameEdit"));
        ASSERT_TRUE(field);
        field->setText(sets + name);
        QTest::keyClick(field, Qt::Key_Return);
        platform::RunLoop::runUntilIdle();
    }
    VXQLibrary* userLibrary(const QString& name) const
    {
        return VXQLibraryCatalogue::libraryWithNameInGroup(name, kVXQLibraryUserGroupName);
    }

    const QString sets = userFolder() + QStringLiteral("/../sets/");
};

// They are offered beside library folders and become new collections; one that holds nothing
// readable fails with the reason.
TEST_F(SymbolSetImportTest, ImportCollectionMakesACollectionOfASymbolSetFile)
{
    const VXStylePtr coast = makeStyle(QStringLiteral("Coast"));
    write(QStringLiteral("Coastline.ssf"), symbolSet({coast}, {{QStringLiteral("Shores"), QVariantList{coast->uniqueKey()}}}));
    write(QStringLiteral("Broken.ssf"), "not an archive");
    importThroughPanel(QStringLiteral("Coastline.ssf"));
    importThroughPanel(QStringLiteral("Broken.ssf"));

    ASSERT_EQ(alerts, (QStringList{"Collection Imported", "Collection Import Failed"}));
    VXQLibrary* made = userLibrary(QStringLiteral("Coastline"));
    ASSERT_TRUE(made);
    EXPECT_EQ(namesOf(made->items()), QStringList{"Coast"});
    ASSERT_TRUE(made->categoryWithName(QStringLiteral("Shores")));
    EXPECT_EQ(made->categoryWithName(QStringLiteral("Shores"))->allElementsCount(), 1);
    EXPECT_TRUE(QFileInfo::exists(made->path()));
    EXPECT_EQ(manager->selectedLibrary(), made);
    EXPECT_EQ(informative.last(), QStringLiteral("The symbol set “Broken.ssf” could not be imported: it is not a symbol set."));
    EXPECT_EQ(userLibrary(QStringLiteral("Broken")), nullptr);
}

// A set that lists only objects no collection can hold leaves no empty collection behind, and
// an extension in capitals is still a symbol set's.
TEST_F(SymbolSetImportTest, AFailedSymbolSetLeavesNoCollectionAndCapitalsAreTheSameExtension)
{
    write(QStringLiteral("Shapes.ssf"), symbolSet({VXDrawableShape::drawableShapeWithRect({0, 0, 10, 10}, nullptr)}));
    write(QStringLiteral("HARBOUR.SSF"), symbolSet({makeStyle(QStringLiteral("Quay"))}));
    importThroughPanel(QStringLiteral("Shapes.ssf"));
    importThroughPanel(QStringLiteral("HARBOUR.SSF"));

    EXPECT_EQ(alerts, (QStringList{"Collection Import Failed", "Collection Imported"}));
    EXPECT_EQ(informative.value(0), QStringLiteral("The symbol set “Shapes.ssf” could not be imported: none of the "
                                                  "objects it lists is a style or a symbol."));
    EXPECT_EQ(userLibrary(QStringLiteral("Shapes")), nullptr);
    EXPECT_FALSE(QFileInfo::exists(userFolder() + QStringLiteral("/Shapes.symlibrary")));
    VXQLibrary* harbour = userLibrary(QStringLiteral("HARBOUR"));
    ASSERT_TRUE(harbour);
    EXPECT_EQ(namesOf(harbour->items()), QStringList{"Quay"});
}

} // namespace

#include "LibraryManagerMenusTest.moc"
