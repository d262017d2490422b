// The paper texture chooser: the textures found in a folder, the pop-up's items, and what each
// choice tells the delegate.

#include "app/setup/DrawingSetupSettings.h"
#include "platform/foundation/RunLoop.h"
#include "platform/ui/ColourPanel.h"
#include "platform/ui/Menu.h"
#include "platform/ui/MenuItem.h"
#include "windows/textures/VXQBackgroundTextureController.h"

#include <QFile>
#include <QPushButton>
#include <QTemporaryDir>
#include <gtest/gtest.h>

namespace {

class RecordingTextureDelegate : public VXQBackgroundTextureDelegate {
public:
    void textureControllerApplyTexture(VXQBackgroundTextureController*, const QBrush& brush) override
    {
        paper = brush;
    }
    void textureControllerSetBackgroundTextureName(VXQBackgroundTextureController*, const QString& newName) override
    {
        name = newName;
    }
    QBrush currentBackgroundTexture() const override { return paper; }
    QString currentBackgroundTextureName() const override { return name; }

    QBrush paper{Qt::white};
    QString name;
};

// Restores the bundle's folder whatever a test pointed the chooser at.
struct TextureFolderScope {
    const QString saved = VXQBackgroundTextureController::textureFolder();
    ~TextureFolderScope() { VXQBackgroundTextureController::setTextureFolder(saved); }
};

QStringList titles(const QMenu& menu)
{
    QStringList result;
    for (const QAction* action : menu.actions())
        result.append(action->isSeparator() ? QStringLiteral("-") : action->text());
    return result;
}

} // namespace

TEST(BackgroundTextureTest, FoldersListReadablePicturesOnlyAndAnEmptyFolderIsLookedAtAgain)
{
    EXPECT_EQ(VXQBackgroundTexture::displayNameForFileName(QStringLiteral("old paper.jpg")), QStringLiteral("Old Paper"));
    EXPECT_EQ(VXQBackgroundTexture::displayNameForFileName(QStringLiteral("KRAFT paper.png")),
              QStringLiteral("Kraft Paper"));
    const auto shipped = VXQBackgroundTextureController::availableTextures();
    ASSERT_GE(shipped.size(), 5);
    for (const auto& texture : shipped) {
        EXPECT_LE(texture->color().textureImage().width(), 512);
        EXPECT_EQ(texture->image().size(), VXQBackgroundTexture::kSwatchSize);
    }

    const TextureFolderScope scope;
    QTemporaryDir folder;
    VXQBackgroundTextureController::setTextureFolder(folder.path());
    EXPECT_TRUE(VXQBackgroundTextureController::availableTextures().isEmpty());
    platform::Menu menu;
    VXQBackgroundTextureController controller;
    controller.populateTextureMenu(&menu);
    EXPECT_EQ(titles(menu), (QStringList{QStringLiteral("-"), QStringLiteral("Color..."), QStringLiteral("None")}));

    QFile junk(folder.filePath(QStringLiteral("notes.txt")));
    ASSERT_TRUE(junk.open(QIODevice::WriteOnly));
    junk.write("not a picture");
    junk.close();
    QFile(folder.filePath(QStringLiteral("empty.png"))).open(QIODevice::WriteOnly);
    QImage wide(30000, 3, QImage::Format_RGB32);
    wide.fill(Qt::gray);
    ASSERT_TRUE(wide.save(folder.filePath(QStringLiteral("wide sand.png"))));
    const auto found = VXQBackgroundTextureController::availableTextures();
    ASSERT_EQ(found.size(), 1);
    EXPECT_EQ(found[0]->name(), QStringLiteral("Wide Sand"));
    EXPECT_EQ(found[0]->color().textureImage().width(), 512);
}

TEST(BackgroundTextureTest, TheMenuChoicesReachTheDelegateAndTheStoredNameIsShownAgain)
{
    RecordingTextureDelegate delegate;
    VXQBackgroundTextureController controller;
    controller.setDelegate(&delegate);
    QPushButton popUp;
    controller.setPopUpButton(&popUp);
    platform::Menu& menu = *controller.menu();
    const QList<QAction*> actions = menu.actions();
    const int textures = int(VXQBackgroundTextureController::availableTextures().size());
    ASSERT_EQ(actions.size(), textures + 3);
    EXPECT_TRUE(actions[textures]->isSeparator());
    auto* colour = qobject_cast<platform::MenuItem*>(actions[textures + 1]);
    auto* none = qobject_cast<platform::MenuItem*>(actions[textures + 2]);
    ASSERT_TRUE(colour && none);
    EXPECT_EQ(colour->title(), QStringLiteral("Color..."));
    EXPECT_EQ(colour->tag(), VXQBackgroundTextureController::kColourItemTag);
    EXPECT_EQ(none->tag(), VXQBackgroundTextureController::kNoneItemTag);

    // A stored name that matches no texture shows "None" once the run loop turns.
    delegate.name = QStringLiteral("Marble");
    platform::RunLoop::runUntilIdle();
    EXPECT_EQ(controller.selectedItem(), none);
    EXPECT_EQ(popUp.text(), QStringLiteral("None"));

    auto* oldPaper = qobject_cast<platform::MenuItem*>(actions[0]);
    for (QAction* action : actions)
        if (action->text() == QStringLiteral("Old Paper"))
            oldPaper = qobject_cast<platform::MenuItem*>(action);
    oldPaper->trigger();
    EXPECT_EQ(delegate.name, QStringLiteral("Old Paper"));
    EXPECT_EQ(delegate.paper.style(), Qt::TexturePattern);
    EXPECT_TRUE(controller.validateMenuItem(oldPaper));
    EXPECT_EQ(oldPaper->state(), platform::MenuItem::OnState);
    EXPECT_TRUE(controller.validateMenuItem(none));
    EXPECT_EQ(none->state(), platform::MenuItem::OffState);

    // "Color..." over a texture starts the panel at white and turns the paper white at once.
    colour->trigger();
    EXPECT_EQ(delegate.name, kQVNFixedColourTextureName);
    EXPECT_EQ(delegate.paper.color(), QColor(Qt::white));
    EXPECT_FALSE(platform::ColourPanel::sharedColorPanel()->showsAlpha());
    EXPECT_FALSE(colour->icon().isNull());
    controller.finish();
    EXPECT_TRUE(platform::ColourPanel::sharedColorPanel()->showsAlpha());

    none->trigger();
    EXPECT_TRUE(delegate.name.isEmpty());
    EXPECT_EQ(delegate.paper.style(), Qt::NoBrush);
    EXPECT_EQ(popUp.text(), QStringLiteral("None"));
    delegate.name = kQVNFixedColourTextureName;
    delegate.paper = QBrush(Qt::green);
    controller.sync();
    EXPECT_EQ(controller.selectedItem(), colour);
}
