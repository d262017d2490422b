#include "platform/ui/FontManager.h"

#include "platform/graphics/FontUtilities.h"
#include "platform/ui/Application.h"

#include <QFontDialog>
#include <QFontInfo>
#include <QSignalBlocker>
#include <algorithm>

namespace platform {

static_assert(FontManager::ItalicFontMask == kItalicFontTrait && FontManager::BoldFontMask == kBoldFontTrait);

namespace {

FontManager::Factory& factorySlot()
{
    static FontManager::Factory factory;
    return factory;
}

// Never destroyed: the manager keeps the font panel, which cannot outlive the application.
FontManager*& sharedSlot()
{
    static FontManager* shared = nullptr;
    return shared;
}

int steppedWeight(int weight, int step)
{
    return std::clamp(weight + step, int(QFont::Thin), int(QFont::Black));
}

} // namespace

FontManager::FontManager() = default;

FontManager::~FontManager()
{
    delete m_panel;
}

void FontManager::setFontManagerFactory(Factory factory)
{
    factorySlot() = std::move(factory);
}

FontManager* FontManager::sharedFontManager()
{
    if (!sharedSlot())
        sharedSlot() = factorySlot() ? factorySlot()().release() : new FontManager;
    return sharedSlot();
}

// --- The selection -----------------------------------------------------------------------

void FontManager::setSelectedFontIsMultiple(const QFont& font, bool isMultiple)
{
    m_selectedFont = font;
    m_isMultiple = isMultiple;
    m_panelFont = font;
    if (m_panel) {
        const QSignalBlocker quiet(m_panel.data());
        m_panel->setCurrentFont(font);
    }
}

void FontManager::setSelectedAttributesIsMultiple(const TextAttributes& attributes, bool isMultiple)
{
    m_selectedAttributes = attributes;
    m_isMultiple = isMultiple;
}

// --- Conversion --------------------------------------------------------------------------

QFont FontManager::convertFont(const QFont& font) const
{
    const Change& change = m_change;
    switch (change.action) {
    case NoFontChangeAction:
        return font;
    case AddTraitFontAction:
        return convertFontToHaveTrait(font, change.traits);
    case RemoveTraitFontAction:
        return convertFontToNotHaveTrait(font, change.traits);
    case SizeUpFontAction:
        return convertFontToSize(font, font.pointSizeF() + 1);
    case SizeDownFontAction:
        return convertFontToSize(font, std::max(1.0, font.pointSizeF() - 1));
    case HeavierFontAction:
    case LighterFontAction: {
        QFont converted = font;
        converted.setWeight(QFont::Weight(steppedWeight(font.weight(), change.action == HeavierFontAction ? 100 : -100)));
        return converted;
    }
    case ViaPanelFontAction:
        break;
    }
    // Only what the user changed in the panel, so a mixed selection keeps its other differences.
    const QFont& before = change.previousPanelFont;
    const QFont& after = change.panelFont;
    QFont converted = font;
    if (before.family() != after.family())
        converted = convertFontToFamily(converted, after.family());
    if (before.weight() != after.weight() || before.italic() != after.italic() || before.styleName() != after.styleName()) {
        converted.setWeight(after.weight());
        converted.setItalic(after.italic());
        converted.setStyleName(after.styleName());
    }
    if (before.pointSizeF() != after.pointSizeF())
        converted = convertFontToSize(converted, after.pointSizeF());
    if (before.underline() != after.underline())
        converted.setUnderline(after.underline());
    if (before.strikeOut() != after.strikeOut())
        converted.setStrikeOut(after.strikeOut());
    return converted;
}

TextAttributes FontManager::convertAttributes(const TextAttributes& attributes) const
{
    return attributes;
}

QFont FontManager::convertFontToFamily(const QFont& font, const QString& family) const
{
    QFont converted = font;
    converted.setFamilies({family});
    return converted;
}

QFont FontManager::convertFontToFace(const QFont& font, const QString& face) const
{
    const std::optional<QFont> named = fontWithNameSize(face, font.pointSizeF());
    if (!named)
        return font;
    QFont converted = *named;
    converted.setUnderline(font.underline());
    converted.setStrikeOut(font.strikeOut());
    return converted;
}

QFont FontManager::convertFontToSize(const QFont& font, double size) const
{
    QFont converted = font;
    if (size > 0)
        converted.setPointSizeF(size);
    return converted;
}

QFont FontManager::convertFontToHaveTrait(const QFont& font, FontTraitMask traits) const
{
    QFont converted = font;
    if (traits & BoldFontMask)
        converted.setBold(true);
    if (traits & UnboldFontMask)
        converted.setBold(false);
    if (traits & ItalicFontMask)
        converted.setItalic(true);
    if (traits & UnitalicFontMask)
        converted.setItalic(false);
    if (traits & SmallCapsFontMask)
        converted.setCapitalization(QFont::SmallCaps);
    return converted;
}

QFont FontManager::convertFontToNotHaveTrait(const QFont& font, FontTraitMask traits) const
{
    QFont converted = font;
    if (traits & BoldFontMask)
        converted.setBold(false);
    if (traits & ItalicFontMask)
        converted.setItalic(false);
    if (traits & SmallCapsFontMask)
        converted.setCapitalization(QFont::MixedCase);
    return converted;
}

FontManager::FontTraitMask FontManager::traitsOfFont(const QFont& font) const
{
    FontTraitMask traits = 0;
    if (font.bold())
        traits |= BoldFontMask;
    if (font.italic())
        traits |= ItalicFontMask;
    if (font.capitalization() == QFont::SmallCaps)
        traits |= SmallCapsFontMask;
    return traits;
}

// --- Installed fonts ---------------------------------------------------------------------

QStringList FontManager::availableFontFamilies() const
{
    return InstalledFonts::shared().familyNames();
}

QList<FontFace> FontManager::availableMembersOfFontFamily(const QString& family) const
{
    const InstalledFonts& installed = InstalledFonts::shared();
    if (installed.hasFamily(family))
        return installed.facesOfFamily(family);
    // A well-known family this system lacks is drawn with another one, whose faces are what
    // the user can actually have (bold labels in the default font among them).
    const std::optional<QFont> standIn = fontWithNameSize(family, 12);
    if (!standIn)
        return {};
    // Qt names a family once per foundry ("Nimbus Sans [urw]").
    return installed.facesOfFamily(QFontInfo(*standIn).family().section(QStringLiteral(" ["), 0, 0));
}

QString FontManager::localizedNameForFamilyFace(const QString& family, const QString& face) const
{
    return face.isEmpty() ? family : family + QLatin1Char(' ') + face;
}

std::optional<QFont> FontManager::fontWithFamilyTraitsWeightSize(const QString& family, FontTraitMask traits, int weight,
                                                                 double size) const
{
    const std::optional<FontFace> face = InstalledFonts::shared().faceWithTraitsWeight(family, traits, weight);
    if (!face)
        return std::nullopt;
    return InstalledFonts::fontForFace(family, *face, size);
}

// --- Sending changes ---------------------------------------------------------------------

bool FontManager::sendAction()
{
    return Application::sendActionToFrom(m_action, m_target, this);
}

void FontManager::addFontTrait(QObject* sender)
{
    const FontTraitMask traits = sender ? sender->property("tag").toUInt() : 0;
    // Bold on a bold selection takes bold away, as a menu toggle does.
    const bool toggleOff = !m_isMultiple && traits && (traitsOfFont(m_selectedFont) & traits) == traits;
    Change change;
    change.action = toggleOff ? RemoveTraitFontAction : AddTraitFontAction;
    change.traits = traits;
    sendChange(change);
}

void FontManager::removeFontTrait(QObject* sender)
{
    Change change;
    change.action = RemoveTraitFontAction;
    change.traits = sender ? sender->property("tag").toUInt() : 0;
    sendChange(change);
}

void FontManager::modifyFont(QObject* sender)
{
    const int tag = sender ? sender->property("tag").toInt() : 0;
    if (tag < SizeUpFontAction || tag > LighterFontAction)
        return;
    Change change;
    change.action = FontAction(tag);
    sendChange(change);
}

void FontManager::orderFrontFontPanel(QObject*)
{
    QFontDialog* panel = fontPanel(true);
    panel->show();
    panel->raise();
}

QFontDialog* FontManager::fontPanel(bool create)
{
    if (!m_panel && create) {
        m_panel = new QFontDialog;
        m_panel->setOptions(QFontDialog::NoButtons | QFontDialog::DontUseNativeDialog);
        m_panel->setModal(false);
        m_panel->setWindowTitle(tr("Fonts"));
        m_panel->setCurrentFont(m_panelFont);
        connect(m_panel, &QFontDialog::currentFontChanged, this, &FontManager::modifyFontViaPanel);
    }
    return m_panel;
}

void FontManager::modifyFontViaPanel(const QFont& panelFont)
{
    Change change;
    change.action = ViaPanelFontAction;
    change.previousPanelFont = m_panelFont;
    change.panelFont = panelFont;
    m_panelFont = panelFont;
    sendChange(change);
}

void FontManager::sendChange(const Change& change)
{
    m_change = change;
    sendAction();
    m_change = {};
}

} // namespace platform
