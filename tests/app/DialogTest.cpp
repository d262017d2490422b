#include "app/commands/ZQBasicDialog.h"
#include "app/document/ZQConfinedSavePanel.h"

#include "platform/foundation/RunLoop.h"

#include <QAbstractButton>
#include <QApplication>
#include <QComboBox>
#include <QDialogButtonBox>
#include <QDir>
#include <QFile>
#include <QFileDialog>
#include <QKeyEvent>
#include <QLabel>
#include <QLineEdit>
#include <QPointer>
#include <QPushButton>
#include <QTemporaryDir>
#include <QToolButton>
#include <gtest/gtest.h>

using platform::RunLoop;

namespace {

void pressKey(QWidget* widget, Qt::Key key)
{
    QKeyEvent press(QEvent::KeyPress, key, Qt::NoModifier);
    QApplication::sendEvent(widget, &press);
}

class DialogTest : public ::testing::Test {
protected:
    void SetUp() override
    {
        window.show();
        QApplication::setActiveWindow(&window);
        RunLoop::runUntilIdle();
    }

    QWidget window;
};

// A folder of templates beside look-alikes that must stay out of reach.
class ConfinedSavePanelTest : public DialogTest {
protected:
    void SetUp() override
    {
        DialogTest::SetUp();
        root = QDir(scratch.path());
        root.mkpath("My Templates/Roads");
        root.mkpath("My Templates Old");
        folder = root.filePath("My Templates");
    }

    // Types `name` into the panel's name field and presses Save.
    static void save(ZQConfinedSavePanel& panel, const QString& name)
    {
        auto* field = panel.fileDialog()->findChild<QLineEdit*>("fileNameEdit");
        ASSERT_NE(field, nullptr);
        field->setText(name);
        static_cast<QDialog*>(panel.fileDialog())->accept();
        RunLoop::runUntilIdle();
    }

    QTemporaryDir scratch;
    QDir root;
    QString folder;
};

} // namespace

TEST_F(DialogTest, BasicDialogEndsWithOneAndTheTextOrZero)
{
    QList<std::pair<int, QString>> endings;
    const auto begin = [&](QWidget* parent) {
        auto* dialog = new ZQBasicDialog;
        dialog->setStringValue("Layer 1");
        dialog->beginSheetModalForWindowCompletionHandler(
            parent, [&](int code, const QString& text) { endings.append({code, text}); });
        return dialog;
    };
    const QPointer<ZQBasicDialog> first = begin(&window);
    EXPECT_EQ(first->windowModality(), Qt::WindowModal);
    first->textField()->setText("North Quarry");
    pressKey(first->textField(), Qt::Key_Return); // the default button
    RunLoop::runUntilIdle();
    EXPECT_TRUE(first.isNull());

    ZQBasicDialog* cancelled = begin(&window);
    cancelled->textField()->setText("Typed, then cancelled");
    pressKey(cancelled, Qt::Key_Escape);
    RunLoop::runUntilIdle();

    ZQBasicDialog* free = begin(nullptr);
    EXPECT_EQ(free->windowModality(), Qt::ApplicationModal);
    free->textField()->clear();
    free->findChild<QDialogButtonBox*>()->button(QDialogButtonBox::Ok)->click();
    RunLoop::runUntilIdle();

    EXPECT_EQ(endings, (QList<std::pair<int, QString>>{{1, "North Quarry"}, {0, "Typed, then cancelled"}, {1, QString()}}));
}

TEST_F(ConfinedSavePanelTest, InsideMeansTheFolderOrBeneathIt)
{
    ZQConfinedSavePanel panel(folder + "/Roads/..");
    EXPECT_EQ(panel.folder(), QFileInfo(folder).canonicalFilePath());
    EXPECT_TRUE(panel.isInsideFolder(folder));
    EXPECT_TRUE(panel.isInsideFolder(folder + "/Roads/new.vlm"));
    EXPECT_TRUE(panel.isInsideFolder(folder + "/Not Yet Made/new.vlm"));
    EXPECT_FALSE(panel.isInsideFolder(root.filePath("My Templates Old/new.vlm")));
    EXPECT_FALSE(panel.isInsideFolder(folder + "/../new.vlm"));
    EXPECT_FALSE(panel.isInsideFolder(folder + "/Roads/../../new.vlm"));
    EXPECT_FALSE(panel.isInsideFolder(root.path()));
    // A link inside that leads out is outside.
    ASSERT_TRUE(QFile::link(root.filePath("My Templates Old"), folder + "/Shortcut"));
    EXPECT_FALSE(panel.isInsideFolder(folder + "/Shortcut/new.vlm"));
    EXPECT_FALSE(panel.isInsideFolder(folder + "/Shortcut/Not Yet Made/new.vlm"));
    ASSERT_TRUE(QFile::link(root.filePath("nowhere.vlm"), folder + "/Dangling.vlm"));
    EXPECT_FALSE(panel.isInsideFolder(folder + "/Dangling.vlm"));
    ASSERT_TRUE(QFile::link(folder + "/Roads", folder + "/Roads Link"));
    EXPECT_TRUE(panel.isInsideFolder(folder + "/Roads Link/new.vlm"));
}

TEST_F(ConfinedSavePanelTest, RefusesAPathOutsideAndAcceptsOneInside)
{
    ZQConfinedSavePanel panel(folder);
    panel.setTitle("Save As Template");
    panel.setAllowedFileType("vlm");
    QList<std::pair<int, QUrl>> endings;
    panel.beginSheetModalForWindowCompletionHandler(&window, [&](int result, const QUrl& url) {
        endings.append({result, url});
    });
    QFileDialog* dialog = panel.fileDialog();
    ASSERT_NE(dialog, nullptr);
    EXPECT_EQ(dialog->windowModality(), Qt::WindowModal);
    EXPECT_EQ(dialog->sidebarUrls(), QList<QUrl>{QUrl::fromLocalFile(panel.folder())});

    for (const QString& outside : {QString("../escape"), root.filePath("My Templates Old/escape"),
                                   QString("Roads/../../escape")}) {
        save(panel, outside);
        EXPECT_TRUE(endings.isEmpty()) << outside.toStdString();
        EXPECT_TRUE(dialog->isVisible());
    }
    const auto labels = dialog->findChildren<QLabel*>();
    EXPECT_TRUE(std::any_of(labels.begin(), labels.end(), [](QLabel* label) {
        return label->isVisible() && label->text().startsWith("Files can only be saved in");
    }));
    EXPECT_FALSE(QFileInfo::exists(root.filePath("escape.vlm")));

    save(panel, "Roads/Ring Road");
    ASSERT_EQ(endings.size(), 1);
    EXPECT_EQ(endings[0].first, 1);
    EXPECT_EQ(endings[0].second, QUrl::fromLocalFile(panel.folder() + "/Roads/Ring Road.vlm"));
    EXPECT_EQ(panel.URL(), endings[0].second);
    RunLoop::runUntilIdle();
    EXPECT_EQ(panel.fileDialog(), nullptr);
}

TEST_F(ConfinedSavePanelTest, BrowsingUpStopsAtTheFolderAndCancelChoosesNothing)
{
    ZQConfinedSavePanel panel(folder);
    int result = -1;
    QUrl chosen;
    panel.beginSheetModalForWindowCompletionHandler(&window, [&](int r, const QUrl& url) {
        result = r;
        chosen = url;
    });
    QFileDialog* dialog = panel.fileDialog();
    auto* up = dialog->findChild<QToolButton*>("toParentButton");
    ASSERT_NE(up, nullptr);
    up->click();
    RunLoop::runUntilIdle();
    EXPECT_EQ(QFileInfo(dialog->directory().path()).canonicalFilePath(), panel.folder());
    // Nor does the history lead out.
    for (const char* name : {"backButton", "forwardButton"}) {
        if (auto* button = dialog->findChild<QToolButton*>(name); button && button->isEnabled())
            button->click();
        RunLoop::runUntilIdle();
        EXPECT_TRUE(panel.isInsideFolder(dialog->directory().path())) << name;
    }
    auto* lookIn = dialog->findChild<QComboBox*>("lookInCombo");
    ASSERT_NE(lookIn, nullptr);
    for (int index = 0; index < lookIn->count(); ++index) {
        lookIn->setCurrentIndex(index);
        Q_EMIT lookIn->activated(index);
        RunLoop::runUntilIdle();
        EXPECT_TRUE(panel.isInsideFolder(dialog->directory().path())) << lookIn->itemText(index).toStdString();
    }

    // Typing a folder's name opens it when it is inside, and is refused when it is not.
    auto* field = dialog->findChild<QLineEdit*>("fileNameEdit");
    field->setText("Roads");
    static_cast<QDialog*>(dialog)->accept();
    RunLoop::runUntilIdle();
    EXPECT_EQ(QFileInfo(dialog->directory().path()).canonicalFilePath(), panel.folder() + "/Roads");
    field->setText(root.path());
    static_cast<QDialog*>(dialog)->accept();
    RunLoop::runUntilIdle();
    EXPECT_TRUE(dialog->isVisible());
    EXPECT_TRUE(panel.isInsideFolder(dialog->directory().path()));

    pressKey(dialog, Qt::Key_Escape);
    RunLoop::runUntilIdle();
    EXPECT_EQ(result, 0);
    EXPECT_TRUE(chosen.isEmpty());
    EXPECT_TRUE(panel.URL().isEmpty());
}
