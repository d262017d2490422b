#include "UiTestSupport.h"

#include "platform/ui/Alert.h"
#include "platform/ui/OpenPanel.h"
#include "platform/ui/Sheet.h"
#include "support/LogCapture.h"

#include <QAbstractButton>
#include <QAbstractProxyModel>
#include <QApplication>
#include <QCheckBox>
#include <QDialog>
#include <QDialogButtonBox>
#include <QFileDialog>
#include <QFileSystemModel>
#include <QGridLayout>
#include <QLabel>
#include <QLineEdit>
#include <QListView>
#include <QMessageBox>
#include <QPointer>
#include <QPushButton>
#include <QTemporaryDir>
#include <QTest>
#include <gtest/gtest.h>

using platform::Alert;
using platform::Sheet;

namespace {

class SheetTest : public ::testing::Test {
protected:
    void SetUp() override { uitest::activate(&window); }

    static QAbstractButton* buttonTitled(const Alert& alert, const QString& title)
    {
        for (QAbstractButton* button : alert.buttons())
            if (button->text() == title)
                return button;
        return nullptr;
    }

    QWidget window;
};

} // namespace

TEST_F(SheetTest, SheetsAreWindowModalAndReportTheirEndCodes)
{
    QList<int> codes;
    for (int ending = 0; ending < 4; ++ending) {
        auto* sheet = new QDialog;
        Sheet::beginSheetModalForWindowCompletionHandler(sheet, &window, [&](int code) { codes << code; });
        EXPECT_EQ(sheet->parentWidget(), &window);
        EXPECT_EQ(sheet->windowModality(), Qt::WindowModal);
        EXPECT_TRUE(sheet->isVisible());
        sheet->activateWindow();
        if (ending == 0)
            sheet->accept();
        else if (ending == 1)
            QTest::keyClick(sheet, Qt::Key_Escape);
        else if (ending == 2)
            Sheet::endSheetReturnCode(sheet, 7);
        else
            sheet->close();
        platform::RunLoop::runUntilIdle();
        EXPECT_FALSE(sheet->isVisible());
        EXPECT_EQ(QApplication::activeWindow(), &window) << "ending " << ending;
        // A second ending reports nothing more.
        sheet->accept();
        delete sheet;
    }
    EXPECT_EQ(codes, (QList<int>{Sheet::kDefaultReturn, Sheet::kCancelReturn, 7, Sheet::kCancelReturn}));
}

TEST_F(SheetTest, AlertButtonsMapToOneZeroMinusOne)
{
    QList<int> codes;
    for (const QString title : {"Delete", "Cancel", "Keep Both"}) {
        Alert alert = Alert::alertWithMessageTextDefaultButtonAlternateButtonOtherButtonInformativeText(
            "Delete Category", "Delete", "Cancel", "Keep Both", "The category will be removed.");
        alert.beginSheetModalForWindowCompletionHandler(&window, [&](int code) { codes << code; });
        ASSERT_NE(alert.messageBox(), nullptr);
        EXPECT_EQ(alert.messageBox()->parentWidget(), &window);
        EXPECT_EQ(alert.messageBox()->informativeText(), "The category will be removed.");
        buttonTitled(alert, title)->click();
        platform::RunLoop::runUntilIdle();
        EXPECT_EQ(alert.messageBox(), nullptr); // deleted once ended
    }
    EXPECT_EQ(codes, (QList<int>{1, 0, -1}));
}

// A sheet begun without a dialog, or an alert or panel begun a second time, is logged and
// shows nothing more: only the first begin of each reports its end.
TEST_F(SheetTest, SheetsBegunWronglyAreLoggedAndShowNothing)
{
    const testsupport::LogCapture log;
    int calls = 0;
    EXPECT_NO_THROW(Sheet::beginSheetModalForWindowCompletionHandler(nullptr, &window, [&](int) { calls += 10; }));

    Alert alert = Alert::alertWithMessageTextDefaultButtonAlternateButtonOtherButtonInformativeText(
        "Renumber?", "Renumber", "Cancel", {}, {});
    alert.beginSheetModalForWindowCompletionHandler(&window, [&](int) { ++calls; });
    EXPECT_NO_THROW(alert.beginSheetModalForWindowCompletionHandler(&window, [&](int) { calls += 10; }));
    QTest::keyClick(alert.messageBox(), Qt::Key_Escape);
    platform::RunLoop::runUntilIdle();

    platform::SavePanel save;
    save.beginSheetModalForWindowCompletionHandler(&window, [&](int) { ++calls; });
    EXPECT_NO_THROW(save.beginSheetModalForWindowCompletionHandler(&window, [&](int) { calls += 10; }));
    QTest::keyClick(save.fileDialog(), Qt::Key_Escape);
    platform::RunLoop::runUntilIdle();

    EXPECT_EQ(calls, 2);
    EXPECT_TRUE(log.contains(QStringLiteral("cannot begin a sheet without a dialog")));
    EXPECT_TRUE(log.contains(QStringLiteral("an alert runs once")));
    EXPECT_TRUE(log.contains(QStringLiteral("a panel runs once")));
}

TEST_F(SheetTest, EscapeCancelsAndAnAlertWithoutButtonsGetsOK)
{
    int code = 99;
    Alert alert = Alert::alertWithMessageTextDefaultButtonAlternateButtonOtherButtonInformativeText(
        "Renumber?", "Renumber", "Cancel", {}, {});
    alert.beginSheetModalForWindowCompletionHandler(&window, [&](int c) { code = c; });
    QTest::keyClick(alert.messageBox(), Qt::Key_Escape);
    platform::RunLoop::runUntilIdle();
    EXPECT_EQ(code, Alert::kAlternateReturn);

    Alert plain;
    plain.setMessageText("The data could not be imported.");
    plain.setAlertStyle(Alert::CriticalStyle);
    plain.beginSheetModalForWindowCompletionHandler(nullptr, [&](int c) { code = c; });
    ASSERT_EQ(plain.buttons().size(), 1);
    EXPECT_EQ(plain.buttons().first()->text(), "OK");
    EXPECT_EQ(plain.messageBox()->icon(), QMessageBox::Critical);
    EXPECT_EQ(plain.messageBox()->windowModality(), Qt::ApplicationModal);
    QTest::keyClick(plain.messageBox(), Qt::Key_Escape); // the only button answers Escape
    platform::RunLoop::runUntilIdle();
    EXPECT_EQ(code, Alert::kDefaultReturn);
}

TEST_F(SheetTest, SuppressionStateOutlivesTheMessageBoxAndAClosedWindowDropsTheHandler)
{
    bool suppressedInHandler = false;
    Alert alert = Alert::alertWithMessageTextDefaultButtonAlternateButtonOtherButtonInformativeText(
        "Copy Category", "Copy", "Cancel", {}, "3 items will be copied");
    alert.setShowsSuppressionButton(true);
    alert.beginSheetModalForWindowCompletionHandler(&window, [&suppressedInHandler, alert](int) {
        suppressedInHandler = alert.suppressionButtonState();
    });
    QCheckBox* box = alert.messageBox()->checkBox();
    ASSERT_EQ(box, alert.suppressionButton());
    EXPECT_EQ(box->text(), "Do not show this message again");
    box->click();
    buttonTitled(alert, "Copy")->click();
    platform::RunLoop::runUntilIdle();
    EXPECT_TRUE(suppressedInHandler);
    EXPECT_TRUE(alert.suppressionButtonState());

    bool called = false;
    auto* parent = new QWidget;
    uitest::activate(parent);
    Alert orphaned;
    orphaned.beginSheetModalForWindowCompletionHandler(parent, [&](int) { called = true; });
    const QPointer<QMessageBox> message = orphaned.messageBox();
    delete parent;
    platform::RunLoop::runUntilIdle();
    EXPECT_TRUE(message.isNull());
    EXPECT_FALSE(called);
    EXPECT_FALSE(orphaned.suppressionButtonState());
}

TEST_F(SheetTest, PanelsTakeAccessoryTypesAndModesAndReportTheChoice)
{
    QTemporaryDir folder;
    QFile(folder.filePath("a.shp")).open(QIODevice::WriteOnly);
    QFile(folder.filePath("b.shp")).open(QIODevice::WriteOnly);
    platform::OpenPanel panel;
    auto* accessory = new QLabel("import options");
    panel.setAccessoryView(accessory);
    panel.setPrompt("Import");
    panel.setAllowedFileTypes({"shp"});
    panel.setAllowsMultipleSelection(true);
    panel.setDirectoryURL(QUrl::fromLocalFile(folder.path()));
    QList<QUrl> chosen;
    int result = -1;
    panel.beginSheetModalForWindowCompletionHandler(&window, [&, panel](int r) {
        result = r;
        chosen = panel.URLs();
    });
    QFileDialog* dialog = panel.fileDialog();
    ASSERT_NE(dialog, nullptr);
    EXPECT_TRUE(dialog->isAncestorOf(accessory));
    EXPECT_EQ(dialog->fileMode(), QFileDialog::ExistingFiles);
    EXPECT_EQ(dialog->labelText(QFileDialog::Accept), "Import");
    EXPECT_EQ(dialog->nameFilters(), QStringList{"*.shp"});
    EXPECT_TRUE(dialog->testOption(QFileDialog::ReadOnly));
    dialog->selectFile("\"a.shp\" \"b.shp\"");
    static_cast<QDialog*>(dialog)->done(QDialog::Accepted);
    platform::RunLoop::runUntilIdle();
    EXPECT_EQ(result, 1);
    EXPECT_EQ(chosen.size(), 2);
    EXPECT_EQ(panel.fileDialog(), nullptr);

    // A cancelled save panel chooses nothing.
    platform::SavePanel save;
    save.setAllowedFileTypes({"txt"});
    save.beginSheetModalForWindowCompletionHandler(&window, [&](int r) { result = r; });
    EXPECT_FALSE(save.fileDialog()->testOption(QFileDialog::ReadOnly));
    EXPECT_EQ(save.fileDialog()->acceptMode(), QFileDialog::AcceptSave);
    save.fileDialog()->selectFile("heights");
    QTest::keyClick(save.fileDialog(), Qt::Key_Escape);
    platform::RunLoop::runUntilIdle();
    EXPECT_EQ(result, 0);
    EXPECT_TRUE(save.URL().isEmpty());

    platform::OpenPanel folders;
    folders.setCanChooseFiles(false);
    folders.setCanChooseDirectories(true);
    EXPECT_EQ(folders.fileDialog()->fileMode(), QFileDialog::Directory);
    EXPECT_TRUE(folders.fileDialog()->testOption(QFileDialog::ShowDirsOnly));
}

// A careless Save must not write into whatever folder the application was started from.
TEST_F(SheetTest, PanelsOpenInTheDocumentsFolderThenWhereTheLastFileWasChosen)
{
    QTemporaryDir started, chosenFolder;
    const QString previous = QDir::currentPath();
    QDir::setCurrent(started.path());
    platform::SavePanel first;
    EXPECT_NE(first.fileDialog()->directory().absolutePath(), QDir(started.path()).absolutePath());

    QFile(chosenFolder.filePath("a.shp")).open(QIODevice::WriteOnly);
    platform::OpenPanel open;
    open.setDirectoryURL(QUrl::fromLocalFile(chosenFolder.path()));
    open.beginSheetModalForWindowCompletionHandler(&window, {});
    open.fileDialog()->selectFile("a.shp");
    static_cast<QDialog*>(open.fileDialog())->done(QDialog::Accepted);
    platform::RunLoop::runUntilIdle();
    ASSERT_EQ(open.URLs().size(), 1);

    platform::SavePanel next;
    EXPECT_EQ(next.fileDialog()->directory().absolutePath(), QDir(chosenFolder.path()).absolutePath());
    QDir::setCurrent(previous);
}

namespace {

// A folder holding the package "town.qvnl" (with folders of its own), a plain folder and a file.
class PackagePanelTest : public SheetTest {
protected:
    void SetUp() override
    {
        SheetTest::SetUp();
        QDir(folder.path()).mkpath("town.qvnl/QuickLook");
        QDir(folder.path()).mkpath("Roads");
        QFile(folder.filePath("town.qvnl/VL_Content.drawing")).open(QIODevice::WriteOnly);
        QFile(folder.filePath("notes.qvnl")).open(QIODevice::WriteOnly);
    }

    // Opens the panel on the folder; `result` and `chosen` follow its end.
    template <class Panel>
    QFileDialog* begin(Panel& panel, QWidget* owner = nullptr)
    {
        panel.setAllowedFileTypes({"qvnl"});
        panel.setPackageFileTypes({"QVNL"});
        panel.setDirectoryURL(QUrl::fromLocalFile(folder.path()));
        result = -1;
        panel.beginSheetModalForWindowCompletionHandler(owner ? owner : &window, [this, panel](int r) {
            result = r;
            chosen = panel.URL();
        });
        return panel.fileDialog();
    }

    // The entry's row, laid out where a click finds it.
    static QModelIndex row(QFileDialog* dialog, const QString& path)
    {
        auto* files = qobject_cast<QFileSystemModel*>(dialog->proxyModel()->sourceModel());
        dialog->findChild<QListView*>("listView")->doItemsLayout();
        return dialog->proxyModel()->mapFromSource(files->index(path));
    }

    // As a hand does it: the first click selects.
    static void doubleClick(QFileDialog* dialog, const QString& path)
    {
        auto* list = dialog->findChild<QListView*>("listView");
        const QPoint centre = list->visualRect(row(dialog, path)).center();
        QTest::mouseClick(list->viewport(), Qt::LeftButton, {}, centre);
        QTest::mouseDClick(list->viewport(), Qt::LeftButton, {}, centre);
    }

    QTemporaryDir folder;
    int result = -1;
    QUrl chosen;
};

} // namespace

TEST_F(PackagePanelTest, PackagesShowAsDocumentsAndOpenWholeEveryWayWhileFoldersAreEntered)
{
    const QString town = folder.filePath("town.qvnl");
    const auto listOf = [](QFileDialog* dialog) { return dialog->findChild<QListView*>("listView"); };
    const std::vector<std::pair<const char*, std::function<void(QFileDialog*)>>> ways{
        {"double-click", [&](QFileDialog* dialog) { doubleClick(dialog, town); }},
        {"select and Open", [&](QFileDialog* dialog) {
             listOf(dialog)->setCurrentIndex(row(dialog, town));
             EXPECT_EQ(dialog->findChild<QLineEdit*>("fileNameEdit")->text(), "town.qvnl");
             dialog->findChild<QDialogButtonBox*>("buttonBox")->button(QDialogButtonBox::Open)->click();
         }},
        {"Return in the list", [&](QFileDialog* dialog) {
             listOf(dialog)->setCurrentIndex(row(dialog, town));
             QTest::keyClick(listOf(dialog), Qt::Key_Return);
         }},
        {"typed name", [&](QFileDialog* dialog) {
             auto* name = dialog->findChild<QLineEdit*>("fileNameEdit");
             name->setText("town.qvnl");
             QTest::keyClick(name, Qt::Key_Return);
         }},
    };
    for (const auto& [way, choose] : ways) {
        platform::OpenPanel panel;
        QFileDialog* dialog = begin(panel);
        const QModelIndex package = row(dialog, town);
        EXPECT_EQ(package.siblingAtColumn(2).data().toString(), "qvnl Document") << way;
        choose(dialog);
        platform::RunLoop::runUntilIdle();
        EXPECT_EQ(result, 1) << way;
        EXPECT_EQ(panel.URLs(), QList<QUrl>{QUrl::fromLocalFile(town)}) << way;
    }

    // A plain folder is still a place to go into.
    platform::OpenPanel panel;
    QFileDialog* dialog = begin(panel);
    EXPECT_EQ(row(dialog, folder.filePath("Roads")).siblingAtColumn(2).data().toString(), "Folder");
    doubleClick(dialog, folder.filePath("Roads"));
    platform::RunLoop::runUntilIdle();
    EXPECT_EQ(result, -1);
    EXPECT_EQ(dialog->directory().absolutePath(), QDir(folder.filePath("Roads")).absolutePath());
    dialog->reject();
}

TEST_F(PackagePanelTest, SavingOverAPackageAsksThenReplacesItWhole)
{
    platform::SavePanel panel;
    QFileDialog* dialog = begin(panel);
    auto* save = dialog->findChild<QDialogButtonBox*>("buttonBox")->button(QDialogButtonBox::Save);
    dialog->findChild<QListView*>("listView")->setCurrentIndex(row(dialog, folder.filePath("town.qvnl")));
    EXPECT_EQ(save->text(), "&Save"); // not "Open", as for a folder

    // Cancel keeps the panel; Replace ends it with the package as the choice.
    for (const QString answer : {"Cancel", "Replace"}) {
        dialog->findChild<QLineEdit*>("fileNameEdit")->setText("town"); // the panel adds the extension
        save->click();
        platform::RunLoop::runUntilIdle();
        auto* alert = dialog->findChild<QMessageBox*>();
        ASSERT_NE(alert, nullptr) << qPrintable(answer);
        EXPECT_EQ(alert->text(), "“town.qvnl” already exists. Do you want to replace it?");
        for (QAbstractButton* button : alert->buttons())
            if (button->text() == answer)
                button->click();
        platform::RunLoop::runUntilIdle();
        EXPECT_EQ(result, answer == "Cancel" ? -1 : 1);
    }
    EXPECT_EQ(chosen, QUrl::fromLocalFile(folder.filePath("town.qvnl")));
}

// The panel's views still ask for the rows' sizes as it hides inside its own destruction: what
// they read must not have gone before them (the sanitizer build sees it).
TEST_F(PackagePanelTest, AWindowThatGoesWhileItsPanelShowsTakesThePanelAlong)
{
    for (const bool saving : {true, false}) {
        auto* owner = new QWidget;
        uitest::activate(owner);
        platform::SavePanel save;
        platform::OpenPanel open;
        QFileDialog* dialog = saving ? begin(save, owner) : begin(open, owner);
        dialog->setViewMode(QFileDialog::Detail);
        platform::RunLoop::runUntilIdle();
        ASSERT_EQ(row(dialog, folder.filePath("town.qvnl")).siblingAtColumn(2).data().toString(), "qvnl Document");
        const QPointer<QFileDialog> panel(dialog);
        delete owner;
        EXPECT_TRUE(panel.isNull()) << saving;
        EXPECT_EQ(result, -1) << saving; // nothing chosen, and no end reported for a window gone
    }
}
