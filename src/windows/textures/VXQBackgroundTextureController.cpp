#include "windows/textures/VXQBackgroundTextureController.h"

#include "app/setup/DrawingSetupSettings.h"
#include "platform/foundation/RunLoop.h"
#include "platform/ui/ColourPanel.h"
#include "platform/ui/ColourWell.h"
#include "platform/ui/Menu.h"
#include "platform/ui/MenuItem.h"

#include <QDir>
#include <QPushButton>

namespace {

using TextureList = QList<std::shared_ptr<VXQBackgroundTexture>>;

struct TextureCatalogue {
    QString folder = QStringLiteral(":/bundle/Background_Textures");
    TextureList textures;
};

TextureCatalogue& catalogue()
{
    static TextureCatalogue shared;
    return shared;
}

std::shared_ptr<VXQBackgroundTexture> textureOf(const platform::MenuItem* item)
{
    return item ? item->representedObject().value<std::shared_ptr<VXQBackgroundTexture>>() : nullptr;
}

} // namespace


QList<std::shared_ptr<VXQBackgroundTexture>> VXQBackgroundTextureController::availableTextures()
{
    TextureCatalogue& shared = catalogue();
    if (!shared.textures.isEmpty())
        return shared.textures;
    const QDir folder(shared.folder);
    for (const QString& name : folder.entryList(QDir::Files, QDir::Name))
        if (auto texture = VXQBackgroundTexture::textureWithPath(folder.filePath(name)))
            shared.textures.append(std::move(texture));
    return shared.textures;
}

QString VXQBackgroundTextureController::textureFolder()
{
    return catalogue().folder;
}

void VXQBackgroundTextureController::setTextureFolder(const QString& folder)
{
    catalogue() = TextureCatalogue{folder, {}};
}

VXQBackgroundTextureController::VXQBackgroundTextureController(QObject* parent) : QObject(parent) {}

VXQBackgroundTextureController::~VXQBackgroundTextureController()
{
    if (platform::ColourPanel::sharedColorPanelExists()
        && platform::ColourPanel::sharedColorPanel()->target() == this)
        platform::ColourPanel::sharedColorPanel()->setTarget(nullptr);
}

void VXQBackgroundTextureController::setPopUpButton(QPushButton* button)
{
    m_popUp = button;
    m_menu = new platform::Menu(QString(), button);
    button->setMenu(m_menu);
    populateTextureMenu(m_menu);
    platform::RunLoop::performAfterDelay(this, [this] { sync(); }, 0);
}

void VXQBackgroundTextureController::populateTextureMenu(platform::Menu* menu)
{
    menu->clear();
    for (const std::shared_ptr<VXQBackgroundTexture>& texture : availableTextures()) {
        platform::MenuItem* item = menu->addItemWithTitleActionKeyEquivalent(texture->name(), "textureChooseAction");
        item->setTarget(this);
        item->setRepresentedObject(QVariant::fromValue(texture));
        item->setIcon(QIcon(QPixmap::fromImage(texture->image())));
    }
    menu->addSeparator();
    platform::MenuItem* colour = menu->addItemWithTitleActionKeyEquivalent(tr("Color..."), "textureColourAction");
    colour->setTarget(this);
    colour->setTag(kColourItemTag);
    platform::MenuItem* none = menu->addItemWithTitleActionKeyEquivalent(tr("None"), "removeBackgroundTextureAction");
    none->setTarget(this);
    none->setTag(kNoneItemTag);
}

platform::MenuItem* VXQBackgroundTextureController::itemWithTag(int tag) const
{
    if (!m_menu)
        return nullptr;
    for (QAction* action : m_menu->actions())
        if (auto* item = qobject_cast<platform::MenuItem*>(action); item && !textureOf(item) && item->tag() == tag)
            return item;
    return nullptr;
}

void VXQBackgroundTextureController::select(platform::MenuItem* item)
{
    m_selected = item;
    if (m_popUp && item) {
        m_popUp->setText(item->title());
        m_popUp->setIcon(item->icon());
    }
}

void VXQBackgroundTextureController::setColourItemImage(const QImage& image)
{
    if (platform::MenuItem* colour = itemWithTag(kColourItemTag))
        colour->setIcon(image.isNull() ? QIcon() : QIcon(QPixmap::fromImage(image)));
}

void VXQBackgroundTextureController::sync()
{
    if (!m_menu)
        return;
    const QString name = m_delegate ? m_delegate->currentBackgroundTextureName() : QString();
    if (!name.isEmpty())
        for (QAction* action : m_menu->actions())
            if (auto* item = qobject_cast<platform::MenuItem*>(action); item && textureOf(item) && item->title() == name) {
                setColourItemImage({});
                select(item);
                return;
            }
    if (name == kQVNFixedColourTextureName) {
        setColourItemImage(VXQBackgroundTexture::swatchOf(m_delegate->currentBackgroundTexture()));
        select(itemWithTag(kColourItemTag));
        return;
    }
    setColourItemImage({});
    select(itemWithTag(kNoneItemTag));
}

void VXQBackgroundTextureController::textureChooseAction(QObject* sender)
{
    const std::shared_ptr<VXQBackgroundTexture> texture = textureOf(qobject_cast<platform::MenuItem*>(sender));
    if (!texture)
        return;
    if (m_delegate) {
        m_delegate->textureControllerApplyTexture(this, texture->color());
        m_delegate->textureControllerSetBackgroundTextureName(this, texture->name());
    }
    setColourItemImage({});
    select(qobject_cast<platform::MenuItem*>(sender));
}

void VXQBackgroundTextureController::textureColourAction(QObject*)
{
    platform::ColourWell::deactivateAll();
    platform::ColourPanel* panel = platform::ColourPanel::sharedColorPanel();
    panel->setShowsAlpha(false);
    panel->setTarget(this);
    panel->setAction("changeColor");
    if (m_delegate) {
        const QBrush current = m_delegate->currentBackgroundTexture();
        panel->setColor(current.style() == Qt::SolidPattern ? current.color() : QColor(Qt::white));
    }
    panel->orderFront(this);
    changeColor(panel);
}

void VXQBackgroundTextureController::changeColor(QObject*)
{
    const QColor colour = platform::ColourPanel::sharedColorPanel()->color();
    if (m_delegate) {
        m_delegate->textureControllerApplyTexture(this, QBrush(colour));
        m_delegate->textureControllerSetBackgroundTextureName(this, kQVNFixedColourTextureName);
    }
    setColourItemImage(VXQBackgroundTexture::swatchOf(QBrush(colour)));
    select(itemWithTag(kColourItemTag));
}

void VXQBackgroundTextureController::removeBackgroundTextureAction(QObject*)
{
    if (m_delegate) {
        m_delegate->textureControllerApplyTexture(this, QBrush());
        m_delegate->textureControllerSetBackgroundTextureName(this, QString());
    }
    setColourItemImage({});
    select(itemWithTag(kNoneItemTag));
}

bool VXQBackgroundTextureController::validateMenuItem(platform::MenuItem* item)
{
    const QString name = m_delegate ? m_delegate->currentBackgroundTextureName() : QString();
    bool checked = false;
    if (const auto texture = textureOf(item))
        checked = texture->name() == name;
    else if (item->tag() == kNoneItemTag)
        checked = name.isEmpty();
    else if (item->tag() == kColourItemTag)
        checked = name == kQVNFixedColourTextureName;
    else
        return false;
    item->setState(checked ? platform::MenuItem::OnState : platform::MenuItem::OffState);
    return true;
}

void VXQBackgroundTextureController::finish()
{
    if (!platform::ColourPanel::sharedColorPanelExists())
        return;
    platform::ColourPanel* panel = platform::ColourPanel::sharedColorPanel();
    panel->setShowsAlpha(true);
    panel->setTarget(nullptr);
    panel->orderOut(this);
}
