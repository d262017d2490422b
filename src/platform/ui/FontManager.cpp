#include "platform/ui/FontManager.h"

#include "platform/graphics/FontUtilities.h"
#include "platform/ui/Application.h"

#include <QFontDatabase>
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

bool sameFace(const QFont& a, const QFont& b)
{
    return a.family() == b.family() && a.weight() == b.weight() && a.italic() == b.italic()
        && a.styleName() == b.styleName() && a.pointSizeF() == b.pointSizeF();
}

// The panel's effect check boxes that differ between the two fonts, as attributes.
TextAttributes effectsChangedInPanel(const QFont& before, const QFont& after)
{
    TextAttributes effects;
    const auto effect = [&effects](const QString& attribute, bool was, bool is) {
        if (was != is)
            effects.insert(attribute, is ? QVariant(1) : QVariant());
    };
    effect(kUnderlineStyleAttributeName, before.underline(), after.underline());
    effect(kStrikethroughStyleAttributeName, before.strikeOut(), after.strikeOut());
    return effects;
}

// The panel picks a face by style name and, for a name its family does not list (a font has
// none unless made from a face), falls back to the first face it lists, which may be a sloped
// one: the font names the face it draws with.
QFont namingItsFace(QFont font)
{
    if (QFontDatabase::styles(font.family()).contains(font.styleName()))
        return font;
    if (const std::optional<FontFace> face = InstalledFonts::shared().faceForFont(font))
        font.setStyleName(face->faceName);
    return font;
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
    showSelectionInPanel();
}

void FontManager::setSelectedAttributesIsMultiple(const TextAttributes& attributes, bool isMultiple)
{
    m_selectedAttributes = attributes;
    m_isMultiple = isMultiple;
    showSelectionInPanel();
}

void FontManager::showSelectionInPanel()
{
    m_panelFont = m_selectedFont;
    m_panelFont.setUnderline(m_selectedAttributes.value(kUnderlineStyleAttributeName).toInt() != 0);
    m_panelFont.setStrikeOut(m_selectedAttributes.value(kStrikethroughStyleAttributeName).toInt() != 0);
    showPanelFont();
}

void FontManager::showPanelFont()
{
    if (!m_panel)
        return;
    const QSignalBlocker quiet(m_panel.data());
    m_panel->setCurrentFont(namingItsFace(m_panelFont));
    // The panel shows a family it does not list as another: a later change is compared with
    // what it shows, so that ticking Underline changes nothing else.
    m_panelFont = m_panel->currentFont();
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
    return converted;
}

TextAttributes FontManager::convertAttributes(const TextAttributes& attributes) const
{
    TextAttributes converted = attributes;
    for (auto effect = m_change.effects.cbegin(); effect != m_change.effects.cend(); ++effect) {
        if (effect.value().isValid())
            converted.insert(effect.key(), effect.value());
        else
            converted.remove(effect.key());
    }
    return converted;
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

void FontManager::sendChangeAttributes()
{
    static const QByteArray action = "changeAttributes";
    QObject* first = Application::targetForActionToFrom(action, nullptr, this);
    if (first)
        Application::sendActionToFrom(action, first, this);
    // Never twice to one object: the same change applied twice would be two undo steps, or a
    // toggle undone.
    if (m_target && m_target != first && Application::targetForActionToFrom(action, m_target, this))
        Application::sendActionToFrom(action, m_target, this);
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
        showPanelFont();
        connect(m_panel, &QFontDialog::currentFontChanged, this, &FontManager::modifyFontViaPanel);
    }
    return m_panel;
}

void FontManager::modifyFontViaPanel(const QFont& panelFont)
{
    const QFont previous = std::exchange(m_panelFont, panelFont);
    if (!sameFace(previous, panelFont)) {
        Change change;
        change.action = ViaPanelFontAction;
        change.previousPanelFont = previous;
        change.panelFont = panelFont;
        sendChange(change);
    }
    Change effects;
    effects.effects = effectsChangedInPanel(previous, panelFont);
    if (!effects.effects.isEmpty())
        sendChange(effects);
}

void FontManager::sendChange(const Change& change)
{
    m_change = change;
    if (change.effects.isEmpty())
        sendAction();
    else
        sendChangeAttributes();
    m_change = {};
}

} // namespace platform
