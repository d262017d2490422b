#pragma once

// The paper pop-up of the drawing set-up sheet: one item per texture of the bundle folder
// "Background_Textures", a separator, "Color..." (tag -77; a plain colour from the colour
// panel, without opacity) and "None" (tag -99). Each choice goes to the delegate as a paper
// (a brush with the tile, a colour, or none) and a name (the texture's, the fixed colour's
// kQVNFixedColourTextureName, or none); the pop-up shows the delegate's current name.

#include "windows/textures/VXQBackgroundTexture.h"

#include "platform/ui/Menu.h"
#include "platform/ui/MenuItem.h"

#include <QObject>
#include <QPointer>
#include <QPushButton>

class VXQBackgroundTextureController;

class VXQBackgroundTextureDelegate {
public:
    virtual ~VXQBackgroundTextureDelegate() = default;
    virtual void textureControllerApplyTexture(VXQBackgroundTextureController* controller, const QBrush& paper) = 0;
    virtual void textureControllerSetBackgroundTextureName(VXQBackgroundTextureController* controller,
                                                           const QString& name) = 0;
    virtual QBrush currentBackgroundTexture() const = 0;
    virtual QString currentBackgroundTextureName() const = 0;
};

class VXQBackgroundTextureController : public QObject {
    Q_OBJECT

public:
    static constexpr int kColourItemTag = -77;
    static constexpr int kNoneItemTag = -99;

    // The textures of the folder, listed once it holds some; none while it is empty or missing
    // (each call then looks again). Files that are no images are left out.
    static QList<std::shared_ptr<VXQBackgroundTexture>> availableTextures();
    // ":/bundle/Background_Textures" unless changed (tests); a change forgets the list.
    static QString textureFolder();
    static void setTextureFolder(const QString& folder);

    explicit VXQBackgroundTextureController(QObject* parent = nullptr);
    ~VXQBackgroundTextureController() override;

    void setDelegate(VXQBackgroundTextureDelegate* delegate) { m_delegate = delegate; }
    // The pop-up: its menu is filled now, and it shows the current choice from the next turn on.
    void setPopUpButton(QPushButton* button);
    QPushButton* popUpButton() const { return m_popUp; }
    platform::Menu* menu() const { return m_menu; }

    void populateTextureMenu(platform::Menu* menu);
    // The item the pop-up shows.
    platform::MenuItem* selectedItem() const { return m_selected; }
    // Selects the item of the delegate's current name: a texture's, "Color..." for the fixed
    // colour (with a swatch of the colour), else "None".
    void sync();
    // Gives the colour panel back its opacity control and closes it.
    void finish();

    Q_INVOKABLE void textureChooseAction(QObject* sender);
    Q_INVOKABLE void textureColourAction(QObject* sender);
    Q_INVOKABLE void removeBackgroundTextureAction(QObject* sender);
    // The colour panel's action.
    Q_INVOKABLE void changeColor(QObject* sender);
    Q_INVOKABLE bool validateMenuItem(platform::MenuItem* item);

private:
    platform::MenuItem* itemWithTag(int tag) const;
    void select(platform::MenuItem* item);
    void setColourItemImage(const QImage& image);

    VXQBackgroundTextureDelegate* m_delegate = nullptr;
    QPointer<QPushButton> m_popUp;
    QPointer<platform::Menu> m_menu;
    QPointer<platform::MenuItem> m_selected;
};
