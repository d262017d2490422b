#pragma once

// The shared font manager: it knows the font of the current selection and turns font
// changes (from the font panel and the Format menu) into changeFont messages to the
// current target, the first responder that answers changeFont (or an explicit target).
// The receiver asks convertFont for each of its fonts, which applies the change in
// progress: a family, face or size chosen in the panel, a trait, a size step. The panel's
// text effects (underline, strikethrough) are attributes, not fonts: they go out as
// changeAttributes, whose receiver asks convertAttributes.
//
// An application installs its own subclass with setFontManagerFactory before anything
// asks for the shared manager. The manager is an object with keys, so inspectors can show
// and edit what a subclass offers under them.
//
// It also lists the installed fonts (see InstalledFonts): families, their members by
// PostScript name, and fonts by family, traits and weight.

#include "platform/foundation/ZQObject.h"
#include "platform/graphics/AttributedString.h"
#include "platform/graphics/InstalledFonts.h"

#include <QFont>
#include <QObject>
#include <QPointer>
#include <functional>
#include <memory>

class QFontDialog;

namespace platform {

class FontManager : public ZQObject {
    Q_OBJECT

public:
    enum FontTrait : quint32 {
        ItalicFontMask = 0x1,
        BoldFontMask = 0x2,
        UnboldFontMask = 0x4,
        SmallCapsFontMask = 0x80,
        UnitalicFontMask = 0x01000000,
    };
    using FontTraitMask = quint32;

    // What the change in progress does (Format menu items carry these as tags).
    enum FontAction {
        NoFontChangeAction = 0,
        ViaPanelFontAction = 1,
        AddTraitFontAction = 2,
        SizeUpFontAction = 3,
        SizeDownFontAction = 4,
        HeavierFontAction = 5,
        LighterFontAction = 6,
        RemoveTraitFontAction = 7,
    };

    using Factory = std::function<std::unique_ptr<FontManager>()>;

    FontManager();
    ~FontManager() override;

    static void setFontManagerFactory(Factory factory);
    static FontManager* sharedFontManager();

    // --- The selection ------------------------------------------------------------------
    virtual void setSelectedFontIsMultiple(const QFont& font, bool isMultiple);
    virtual void setSelectedAttributesIsMultiple(const TextAttributes& attributes, bool isMultiple);
    QFont selectedFont() const { return m_selectedFont; }
    bool isMultiple() const { return m_isMultiple; }
    TextAttributes selectedAttributes() const { return m_selectedAttributes; }

    // --- Conversion ---------------------------------------------------------------------
    // The font as the change in progress makes it (unchanged when there is none).
    virtual QFont convertFont(const QFont& font) const;
    // The attributes as the change in progress makes them; the base changes none.
    virtual TextAttributes convertAttributes(const TextAttributes& attributes) const;
    QFont convertFontToFamily(const QFont& font, const QString& family) const;
    // `face` is a PostScript-style name ("DejaVuSans-Bold"); an unknown face changes nothing.
    QFont convertFontToFace(const QFont& font, const QString& face) const;
    QFont convertFontToSize(const QFont& font, double size) const;
    QFont convertFontToHaveTrait(const QFont& font, FontTraitMask traits) const;
    QFont convertFontToNotHaveTrait(const QFont& font, FontTraitMask traits) const;
    FontTraitMask traitsOfFont(const QFont& font) const;

    // --- Installed fonts ----------------------------------------------------------------
    QStringList availableFontFamilies() const;
    // In the family's order. A well-known family that is not installed answers the faces of
    // the family drawn in its place; any other answers none.
    QList<FontFace> availableMembersOfFontFamily(const QString& family) const;
    // The family's name as shown to the user (fontconfig's names are shown as they are); with
    // a face, "Family Face".
    QString localizedNameForFamilyFace(const QString& family, const QString& face = {}) const;
    // The member nearest to the traits (italic, bold) and weight (QFont's scale) at that size;
    // none when the family is not installed.
    std::optional<QFont> fontWithFamilyTraitsWeightSize(const QString& family, FontTraitMask traits, int weight,
                                                        double size) const;

    // --- Sending changes ----------------------------------------------------------------
    // Null: the first responder that answers the action.
    QObject* target() const { return m_target; }
    void setTarget(QObject* target) { m_target = target; }
    QByteArray action() const { return m_action; }
    void setAction(const QByteArray& action) { m_action = action; }
    // Sends the action with this manager as sender; answers whether someone took it.
    bool sendAction();
    // Sends changeAttributes to the first responder that takes it, and to the target too
    // when that is another object that takes it.
    void sendChangeAttributes();

    // Format menu actions; the sender's tag says the trait or the size step.
    Q_INVOKABLE void addFontTrait(QObject* sender);
    Q_INVOKABLE void removeFontTrait(QObject* sender);
    Q_INVOKABLE void modifyFont(QObject* sender);
    Q_INVOKABLE void orderFrontFontPanel(QObject* sender);

    // --- The font panel (a Qt font dialog kept open as a panel) -------------------------
    QFontDialog* fontPanel(bool create);
    // The panel shows the selected font, underlined and struck out as the selected attributes
    // say; a panel font chosen by the user is sent as a change of font or of those attributes.
    void modifyFontViaPanel(const QFont& panelFont);

private:
    struct Change {
        FontAction action = NoFontChangeAction;
        FontTraitMask traits = 0;
        QFont previousPanelFont;
        QFont panelFont;
        // Attributes to set; an invalid value removes the attribute.
        TextAttributes effects;
    };
    void sendChange(const Change& change);
    void showSelectionInPanel();
    void showPanelFont();

    QFont m_selectedFont;
    bool m_isMultiple = false;
    TextAttributes m_selectedAttributes;
    QPointer<QObject> m_target;
    QByteArray m_action = "changeFont";
    Change m_change;
    QPointer<QFontDialog> m_panel;
    QFont m_panelFont;
};

} // namespace platform
