#include "inspectors/text/VLTM_VXTextShapeController.h"

#include "app/sidebar/ZQHighestCommonClass.h"
#include "furniture/scalebar/VXQScaleBarShape.h"
#include "inspectors/InspectedObjects.h"
#include "inspectors/text/PopUpMenuButton.h"
#include "inspectors/text/SegmentButtons.h"
#include "inspectors/text/VLTMFontManagerTrampoline.h"
#include "inspectors/text/VLTMFontMenus.h"
#include "library/registry/VXQLibraryRegistryShim.h"
#include "platform/foundation/ZQUndoManager.h"
#include "platform/graphics/FontUtilities.h"
#include "platform/ui/ColourWell.h"
#include "platform/ui/FontManager.h"
#include "platform/ui/Menu.h"
#include "platform/vantrix/drawables/VXTextPath.h"
#include "platform/vantrix/drawables/VXTextShape.h"
#include "platform/vantrix/styles/VXStyle.h"
#include "style_editor/panes/shadow/VLTMStyleEditSub_NSShadow.h"
#include "symbols/labels/VXQTextLabel.h"
#include "widgets/controls/ScrollwheelControls.h"
#include "widgets/fields/ZQAugmentedTextField.h"
#include "widgets/formatters/ZQValueMultiplierTransformer.h"
#include "widgets/previews/ZQTextPreviewView.h"

#include <QCheckBox>
#include <QFontInfo>
#include <QFormLayout>
#include <QHBoxLayout>
#include <QMenu>
#include <QScopeGuard>
#include <QScopedValueRollback>
#include <QToolButton>
#include <QVBoxLayout>

namespace {

const QString kColourKeyPath = QStringLiteral("textAdornment.colour");
const QString kAlignmentKeyPath = QStringLiteral("textAdornment.alignment");
const QString kVerticalAlignmentKeyPath = QStringLiteral("textAdornment.verticalAlignment");
const QString kLayoutModeKeyPath = QStringLiteral("textAdornment.layoutMode");
const QString kUnderlinesKeyPath = QStringLiteral("textAdornment.underlines");
const QString kStrikethroughsKeyPath = QStringLiteral("textAdornment.strikethroughs");
const QString kOutlineColourKeyPath = QStringLiteral("textAdornment.outlineColour");
const QString kOutlineWidthKeyPath = QStringLiteral("textAdornment.outlineWidth");
const QString kKnockoutDistanceKeyPath = QStringLiteral("textAdornment.textKnockoutDistance");
const QString kKnockoutColourKeyPath = QStringLiteral("textAdornment.textKnockoutColour");
const QString kWrapsLinesKeyPath = QStringLiteral("textAdornment.wrapsLines");
const QString kCapitalizationKeyPath = QStringLiteral("textAdornment.capitalization");
const QString kLockedKeyPath = QStringLiteral("locked");
const QString kBaselineKeyPath = QStringLiteral("textAdornment.baselineProportion");
const QString kClippingKeyPath = QStringLiteral("textAdornment.clipping");

// Vertical alignment of text centred on its path: no segment stands for it.
constexpr int kCentredOnPathAlignment = 4;

platform::FontManager& fontManager()
{
    return *platform::FontManager::sharedFontManager();
}

// The clip check box stands for clipping to the path; unticking it clips nothing.
class ClipsToPathTransformer : public platform::ValueTransformer {
public:
    QVariant transformedValue(const QVariant& value) const override
    {
        return value.toInt() == VXTextAdornment::kClipToPath;
    }
    bool allowsReverseTransformation() const override { return true; }
    QVariant reverseTransformedValue(const QVariant& value) const override
    {
        return value.toBool() ? VXTextAdornment::kClipToPath : VXTextAdornment::kNoClipping;
    }
};

// A font, not something that converts to one (a string would): other values are ignored.
bool isFont(const QVariant& value)
{
    return value.metaType() == QMetaType::fromType<QFont>();
}

bool isShownValue(const QVariant& value)
{
    return !platform::isNull(value) && !platform::isMultipleValuesMarker(value) && !platform::isNotApplicableMarker(value);
}

QColor shownColour(const QVariant& value)
{
    const QColor colour = isShownValue(value) ? value.value<QColor>() : QColor();
    return colour.isValid() ? colour : QColor(Qt::black);
}

void setCheckState(QCheckBox* box, Qt::CheckState state)
{
    box->setTristate(state == Qt::PartiallyChecked);
    box->setCheckState(state);
}

} // namespace

VLTM_VXTextShapeController::VLTM_VXTextShapeController()
{
    initWithNibName(QStringLiteral("VLTM_VXTextShapeController"));
    auto outline = std::make_shared<ZQValueMultiplierTransformer>();
    outline->setMultiplier(-1.0);
    setTransformerForKeyPath(outline, kOutlineWidthKeyPath);
    setTransformerForKeyPath(std::make_shared<ClipsToPathTransformer>(), kClippingKeyPath);
}

VLTM_VXTextShapeController::~VLTM_VXTextShapeController()
{
    delete m_facesMenu;
}

const QMetaObject* VLTM_VXTextShapeController::managedObjectClass() const
{
    return &VXTextShape::staticMetaObject;
}

QList<const QMetaObject*> VLTM_VXTextShapeController::managedObjectClasses() const
{
    return {&VXTextShape::staticMetaObject,       &VXTextPath::staticMetaObject,
            &VLTMFontManagerTrampoline::staticMetaObject, &VXTextAdornment::staticMetaObject,
            &VXQTextLabel::staticMetaObject,      &VXQScaleBarShape::staticMetaObject};
}

QStringList VLTM_VXTextShapeController::keyPathsOfInterest() const
{
    // Shown in this order, so a later one may overwrite what an earlier one showed.
    return {kFontKeyPath,          kFontSizeKeyPath,        kColourKeyPath,           kAlignmentKeyPath,
            kVerticalAlignmentKeyPath, kLayoutModeKeyPath,  kUnderlinesKeyPath,       kStrikethroughsKeyPath,
            kOutlineColourKeyPath, kOutlineWidthKeyPath,    kKnockoutDistanceKeyPath, kKnockoutColourKeyPath,
            kWrapsLinesKeyPath,    kCapitalizationKeyPath,  kLockedKeyPath,           kBaselineKeyPath,
            kShadowKeyPath,        kTextAttributesKeyPath,  kClippingKeyPath};
}

void VLTM_VXTextShapeController::setValueForKeyPath(const QVariant& value, const QString& keyPath)
{
    view();
    VLTMGenericObjectController::setValueForKeyPath(value, keyPath);
}

const platform::DisplayBindings& VLTM_VXTextShapeController::displayBindings() const
{
    using Self = VLTM_VXTextShapeController;
    static const auto bindings = platform::DisplayBindings()
        .bind(QStringLiteral("font"), &Self::setFont, &Self::setMixedValueForFont)
        .bind(QStringLiteral("fontSize"), &Self::setFontSize, &Self::setMixedValueForFontSize)
        .bind(QStringLiteral("colour"), &Self::setColour, &Self::setMixedValueForColour)
        .bind(QStringLiteral("alignment"), &Self::setAlignment, &Self::setMixedValueForAlignment)
        .bind(QStringLiteral("verticalAlignment"), &Self::setVerticalAlignment,
              &Self::setMixedValueForVerticalAlignment)
        .bind(QStringLiteral("layoutMode"), &Self::setLayoutMode, &Self::setMixedValueForLayoutMode)
        .bind(QStringLiteral("underlines"), &Self::setUnderlines, &Self::setMixedValueForUnderlines)
        .bind(QStringLiteral("strikethroughs"), &Self::setStrikethroughs, &Self::setMixedValueForStrikethroughs)
        .bind(QStringLiteral("outlineColour"), &Self::setOutlineColour, &Self::setMixedValueForOutlineColour)
        .bind(QStringLiteral("outlineWidth"), &Self::setOutlineWidth, &Self::setMixedValueForOutlineWidth)
        .bind(QStringLiteral("textKnockoutDistance"), &Self::setTextKnockoutDistance,
              &Self::setMixedValueForTextKnockoutDistance)
        .bind(QStringLiteral("textKnockoutColour"), &Self::setTextKnockoutColour,
              &Self::setMixedValueForTextKnockoutColour)
        .bind(QStringLiteral("wrapsLines"), &Self::setWrapsLines, &Self::setMixedValueForWrapsLines)
        .bind(QStringLiteral("capitalization"), &Self::setCapitalization, &Self::setMixedValueForCapitalization)
        .bind(QStringLiteral("locked"), &Self::setLocked, &Self::setMixedValueForLocked)
        .bind(QStringLiteral("baselineProportion"), &Self::setBaselineProportion,
              &Self::setMixedValueForBaselineProportion)
        .bind(QStringLiteral("shadow"), &Self::setShadow, &Self::setMixedValueForShadow)
        .bind(QStringLiteral("textAttributes"), &Self::setTextAttributes, &Self::setMixedValueForTextAttributes)
        .bind(QStringLiteral("clipping"), &Self::setClipping, &Self::setMixedValueForClipping);
    return bindings;
}

// --- The view ---------------------------------------------------------------------------------------

VLTM_VXTextShapeController::NumberControls VLTM_VXTextShapeController::makeNumberControls(const QByteArray& action,
                                                                                          double minimum, double maximum,
                                                                                          double step)
{
    NumberControls controls;
    controls.field = new ZQAugmentedTextField;
    // The side panel is narrow: the field takes what width is left.
    controls.field->setSizePolicy(QSizePolicy::Ignored, QSizePolicy::Fixed);
    controls.field->setMinimumWidth(36);
    controls.field->setTarget(this);
    controls.field->setAction(action);
    controls.field->setSliderMinimumValue(minimum);
    controls.field->setSliderMaximumValue(maximum);
    controls.stepper = new ZQScrollwheelStepper;
    controls.stepper->setRange(minimum, maximum);
    controls.stepper->setSingleStep(step);
    // Only its arrows show: the field beside it holds the number.
    controls.stepper->setFixedWidth(18);
    controls.stepper->setTarget(this);
    controls.stepper->setAction(action);
    return controls;
}

PopUpMenuButton* VLTM_VXTextShapeController::makeTaggedPopUp(const QList<std::pair<QString, int>>& items,
                                                             const QByteArray& action)
{
    auto* menu = new platform::Menu;
    for (const auto& [title, tag] : items) {
        platform::MenuItem* item = menu->addItemWithTitleActionKeyEquivalent(title, action);
        item->setTag(tag);
        item->setTarget(this);
    }
    auto* popUp = new PopUpMenuButton;
    menu->setParent(popUp, menu->windowFlags());
    popUp->setPopUpMenu(menu);
    return popUp;
}

platform::ColourWell* VLTM_VXTextShapeController::makeColourWell(const QByteArray& action)
{
    auto* well = new platform::ColourWell;
    well->setTarget(this);
    well->setAction(action);
    return well;
}

QWidget* VLTM_VXTextShapeController::loadView()
{
    auto* pane = new QWidget;
    pane->setObjectName(nibName());
    auto* column = new QVBoxLayout(pane);
    column->setContentsMargins(6, 4, 6, 6);
    auto* form = new QFormLayout;
    form->setFieldGrowthPolicy(QFormLayout::AllNonFixedFieldsGrow);
    column->addLayout(form);

    m_fontsMenu.reset(VLTMFontMenus::makeFontsMenu(this, "fontMenuAction", false));
    m_fontsPopUpButton = new PopUpMenuButton;
    m_fontsPopUpButton->setPopUpMenu(m_fontsMenu.get());
    form->addRow(tr("Font:"), m_fontsPopUpButton);
    m_facesPopUpButton = new PopUpMenuButton;
    form->addRow(tr("Face:"), m_facesPopUpButton);

    m_fontSize = makeNumberControls("fontSizeAction", 6.0, 200.0, 1.0);
    m_textColourWell = makeColourWell("textColourAction");
    auto* sizeRow = new QHBoxLayout;
    sizeRow->addWidget(m_fontSize.field, 1);
    sizeRow->addWidget(m_fontSize.stepper);
    sizeRow->addWidget(m_textColourWell);
    form->addRow(tr("Size:"), sizeRow);

    m_textStyleSelector = new SegmentButtons({{tr("B"), kBoldSegment, tr("Bold")},
                                              {tr("I"), kItalicSegment, tr("Italic")},
                                              {tr("U"), kUnderlineSegment, tr("Underline")},
                                              {tr("S"), kStrikethroughSegment, tr("Strikethrough")}},
                                             false);
    connect(m_textStyleSelector, &SegmentButtons::segmentClicked, this, &VLTM_VXTextShapeController::textStyleAction);
    form->addRow(tr("Style:"), m_textStyleSelector);

    m_alignmentSelector = new SegmentButtons(
        {{tr("L"), 0, tr("Left")}, {tr("C"), 2, tr("Centre")}, {tr("R"), 1, tr("Right")}, {tr("J"), 3, tr("Justified")}},
        true);
    connect(m_alignmentSelector, &SegmentButtons::segmentClicked, this, [this] { textAlignmentAction(m_alignmentSelector); });
    form->addRow(tr("Align:"), m_alignmentSelector);
    m_verticalAlignmentSelector =
        new SegmentButtons({{tr("Top"), 0, tr("Top")}, {tr("Mid"), 1, tr("Middle")}, {tr("Btm"), 2, tr("Bottom")}}, true);
    connect(m_verticalAlignmentSelector, &SegmentButtons::segmentClicked, this,
            [this] { textVerticalAlignmentAction(m_verticalAlignmentSelector); });
    form->addRow(tr("Vertical:"), m_verticalAlignmentSelector);

    m_layoutModePopUpButton =
        makeTaggedPopUp({{tr("In Box"), 0}, {tr("Along Path"), 1}, {tr("Along Reversed Path"), 2}}, "layoutModeAction");
    form->addRow(tr("Layout:"), m_layoutModePopUpButton);
    m_underlinePopUpButton = makeTaggedPopUp({{tr("None"), 0}, {tr("Single"), 1}}, "underlinesAction");
    form->addRow(tr("Underline:"), m_underlinePopUpButton);
    m_strikethroughPopUpButton = makeTaggedPopUp({{tr("None"), 0}, {tr("Single"), 1}}, "strikethroughsAction");
    form->addRow(tr("Strike:"), m_strikethroughPopUpButton);
    m_capitalizationPopUpButton = makeTaggedPopUp(
        {{tr("As Typed"), 0}, {tr("All Capitals"), 1}, {tr("All Lower Case"), 2}, {tr("Title Case"), 3}}, "capitalizationAction");
    form->addRow(tr("Capitals:"), m_capitalizationPopUpButton);

    m_outlineSize = makeNumberControls("outlineSizeAction", -50.0, 50.0, 0.5);
    m_outlineColourWell = makeColourWell("outlineColourAction");
    auto* outlineRow = new QHBoxLayout;
    outlineRow->addWidget(m_outlineSize.field, 1);
    outlineRow->addWidget(m_outlineSize.stepper);
    outlineRow->addWidget(m_outlineColourWell);
    form->addRow(tr("Outline:"), outlineRow);
    m_maskSize = makeNumberControls("maskSizeAction", 0.0, 50.0, 0.5);
    m_maskColourWell = makeColourWell("maskColourAction");
    auto* maskRow = new QHBoxLayout;
    maskRow->addWidget(m_maskSize.field, 1);
    maskRow->addWidget(m_maskSize.stepper);
    maskRow->addWidget(m_maskColourWell);
    form->addRow(tr("Mask:"), maskRow);
    m_baseline = makeNumberControls("baselineAction", 0.0, 1.0, 0.05);
    auto* baselineRow = new QHBoxLayout;
    baselineRow->addWidget(m_baseline.field, 1);
    baselineRow->addWidget(m_baseline.stepper);
    form->addRow(tr("Baseline:"), baselineRow);

    m_wrapsLinesCheckbox = new QCheckBox(tr("Wrap lines"));
    connect(m_wrapsLinesCheckbox, &QCheckBox::clicked, this, [this] { wrapsLinesAction(m_wrapsLinesCheckbox); });
    m_clipsCheckbox = new QCheckBox(tr("Clip to path"));
    connect(m_clipsCheckbox, &QCheckBox::clicked, this, [this] { clipsAction(m_clipsCheckbox); });
    auto* checkRow = new QHBoxLayout;
    checkRow->addWidget(m_wrapsLinesCheckbox);
    checkRow->addWidget(m_clipsCheckbox);
    form->addRow(checkRow);

    m_textShadowEnableCheckbox = new QCheckBox(tr("Shadow"));
    connect(m_textShadowEnableCheckbox, &QCheckBox::clicked, this,
            [this] { shadowEnableAction(m_textShadowEnableCheckbox); });
    form->addRow(m_textShadowEnableCheckbox);
    m_textShadowController = new VLTMStyleEditSub_NSShadow([this](const VXShadowPtr& shadow) { shadowDidChange(shadow); });
    m_textShadowController->setInverted(true);
    form->addRow(m_textShadowController);

    m_fontPreview = new ZQTextPreviewView;
    m_fontPreview->setBordered(true);
    m_fontPreview->setMinimumHeight(48);
    m_fontPreview->setSizePolicy(QSizePolicy::Ignored, QSizePolicy::Preferred);
    column->addWidget(m_fontPreview);

    m_textStyleCommandsMenu = std::make_unique<platform::Menu>();
    m_textStyleCommandsMenu->addItemWithTitleActionKeyEquivalent(tr("Save Text Style…"), "saveTextStyleAction")->setTarget(this);
    m_textStyleCommandsMenu->addItemWithTitleActionKeyEquivalent(tr("Reset Text Style"), "resetTextStyleAction")->setTarget(this);
    m_textStyleCommandsButton = new QToolButton;
    m_textStyleCommandsButton->setText(tr("Text Style"));
    m_textStyleCommandsButton->setPopupMode(QToolButton::InstantPopup);
    m_textStyleCommandsButton->setMenu(m_textStyleCommandsMenu.get());
    auto* commandsRow = new QHBoxLayout;
    commandsRow->addStretch();
    commandsRow->addWidget(m_textStyleCommandsButton);
    column->addLayout(commandsRow);

    m_textStyleSelector->setSegmentEnabled(kBoldSegment, false);
    m_textStyleSelector->setSegmentEnabled(kItalicSegment, false);
    for (QWidget* control : editingControls())
        control->setEnabled(false);
    m_textShadowController->setShadowControlsEnabled(false);
    return pane;
}

QList<QWidget*> VLTM_VXTextShapeController::editingControls() const
{
    return {m_fontsPopUpButton,    m_facesPopUpButton,          m_fontSize.field,           m_fontSize.stepper,
            m_textColourWell,      m_alignmentSelector,         m_verticalAlignmentSelector, m_textStyleSelector,
            m_layoutModePopUpButton, m_underlinePopUpButton,    m_strikethroughPopUpButton, m_capitalizationPopUpButton,
            m_outlineSize.field,   m_outlineSize.stepper,       m_outlineColourWell,        m_maskSize.field,
            m_maskSize.stepper,    m_maskColourWell,            m_baseline.field,           m_baseline.stepper,
            m_wrapsLinesCheckbox,  m_clipsCheckbox,             m_textShadowEnableCheckbox, m_fontPreview,
            m_textStyleCommandsButton};
}

QList<QWidget*> VLTM_VXTextShapeController::textObjectControls() const
{
    return {m_verticalAlignmentSelector, m_layoutModePopUpButton, m_wrapsLinesCheckbox, m_capitalizationPopUpButton};
}

// --- Fonts ---------------------------------------------------------------------------------------------

QSet<QString> VLTM_VXTextShapeController::usedFonts()
{
    QSet<QString> names;
    for (const QVariant& font : contentValuesForKeyPath(kFontKeyPath)) {
        if (isFont(font))
            names.insert(platform::postScriptName(font.value<QFont>()));
    }
    return names;
}

QSet<QString> VLTM_VXTextShapeController::usedFamilies()
{
    QSet<QString> names;
    for (const QVariant& font : contentValuesForKeyPath(kFontKeyPath)) {
        if (isFont(font))
            names.insert(font.value<QFont>().family());
    }
    return names;
}

void VLTM_VXTextShapeController::convertCommonFont(const QString& keyPath,
                                                   const std::function<QFont(const QFont&)>& convert)
{
    setSettingKeyPath(keyPath);
    // Cleared even when a conversion throws; the failure passes on.
    const auto clear = qScopeGuard([this] { setSettingKeyPath({}); });
    const QList<ZQObjectPtr> objects = content();
    for (const ZQObjectPtr& object : objects) {
        if (inspectors::objectIsLocked(*object))
            continue;
        const QFont font = object->valueForKeyPath(keyPath).value<QFont>();
        object->setValueForKeyPath(convert(font), keyPath);
    }
}

bool VLTM_VXTextShapeController::setCommonFontValuePreservingSizesForKeyPath(const QString& family, const QString& keyPath)
{
    if (!fontManager().availableFontFamilies().contains(family))
        return false;
    convertCommonFont(keyPath, [family](const QFont& font) { return fontManager().convertFontToFamily(font, family); });
    reloadDataForKeyPath(keyPath);
    return true;
}

bool VLTM_VXTextShapeController::setCommonFaceValuePreservingSizesForKeyPath(const QString& postScriptName,
                                                                            const QString& keyPath)
{
    if (!platform::InstalledFonts::shared().faceWithPostScriptName(postScriptName))
        return false;
    convertCommonFont(keyPath, [postScriptName](const QFont& font) {
        return fontManager().convertFontToFace(font, postScriptName);
    });
    reloadDataForKeyPath(keyPath);
    return true;
}

void VLTM_VXTextShapeController::setCommonTrait(quint32 traitMask)
{
    convertCommonFont(kFontKeyPath,
                      [traitMask](const QFont& font) { return fontManager().convertFontToHaveTrait(font, traitMask); });
    reloadDataForKeyPath(kFontKeyPath);
}

int VLTM_VXTextShapeController::numberOfItemsInMenu(QMenu*)
{
    if (content().isEmpty())
        return 0;
    const QFont font = content().first()->valueForKeyPath(kFontKeyPath).value<QFont>();
    return int(fontManager().availableMembersOfFontFamily(font.family()).size());
}

bool VLTM_VXTextShapeController::menuUpdateItemAtIndex(QMenu*, QAction* item, int index)
{
    const QFont font = content().first()->valueForKeyPath(kFontKeyPath).value<QFont>();
    VLTMFontMenus::populateFacesMenuItem(qobject_cast<platform::MenuItem*>(item), index, font.family(), this);
    return true;
}

void VLTM_VXTextShapeController::showFaces(const QString& family, const QSet<QString>& postScriptNames)
{
    // Choosing a face shows the new font: the chosen item's menu goes once its action is done.
    if (m_facesMenu)
        m_facesMenu->deleteLater();
    m_facesMenu = VLTMFontMenus::makeFacesMenu(this, family);
    m_facesPopUpButton->setPopUpMenu(m_facesMenu);
    m_facesPopUpButton->selectItem(VLTMFontMenus::selectFacesMenu(m_facesMenu, postScriptNames));
}

// --- Actions -----------------------------------------------------------------------------------------

void VLTM_VXTextShapeController::nameUndoAction(const QString& name)
{
    if (ZQUndoManager* undo = dataSourceUndoManager())
        undo->setActionName(name);
}

void VLTM_VXTextShapeController::setCommonValueNamingUndo(const QVariant& value, const QString& keyPath,
                                                          const QString& undoName)
{
    if (content().isEmpty())
        return;
    setCommonValueForKeyPath(value, keyPath);
    nameUndoAction(undoName);
}

void VLTM_VXTextShapeController::takeNumberFrom(QObject* sender, const QString& keyPath, const QString& undoName)
{
    if (auto* field = qobject_cast<ZQAugmentedTextField*>(sender)) {
        if (field->text().trimmed().isEmpty())
            return;
        setCommonValueNamingUndo(field->doubleValue(), keyPath, undoName);
    } else if (auto* stepper = qobject_cast<ZQScrollwheelStepper*>(sender)) {
        setCommonValueNamingUndo(stepper->value(), keyPath, undoName);
    }
}

void VLTM_VXTextShapeController::fontMenuAction(QObject* sender)
{
    const auto* item = qobject_cast<platform::MenuItem*>(sender);
    if (!item || content().isEmpty())
        return;
    if (setCommonFontValuePreservingSizesForKeyPath(item->representedObject().toString(), kFontKeyPath))
        nameUndoAction(tr("Change Font"));
}

void VLTM_VXTextShapeController::fontFaceAction(QObject* sender)
{
    const auto* item = qobject_cast<platform::MenuItem*>(sender);
    if (!item || content().isEmpty())
        return;
    if (setCommonFaceValuePreservingSizesForKeyPath(item->representedObject().toString(), kFontKeyPath))
        nameUndoAction(tr("Font Face"));
}

void VLTM_VXTextShapeController::fontSizeAction(QObject* sender)
{
    takeNumberFrom(sender, kFontSizeKeyPath, tr("Font Size"));
}

void VLTM_VXTextShapeController::textColourAction(QObject* sender)
{
    takeCommonValueFromForKeyPath(sender, kColourKeyPath);
    nameUndoAction(tr("Text Color"));
}

void VLTM_VXTextShapeController::textAlignmentAction(QObject* sender)
{
    if (auto* selector = qobject_cast<SegmentButtons*>(sender); selector && selector->selectedTag() >= 0)
        setCommonValueNamingUndo(selector->selectedTag(), kAlignmentKeyPath, tr("Text Alignment"));
}

void VLTM_VXTextShapeController::textVerticalAlignmentAction(QObject* sender)
{
    if (auto* selector = qobject_cast<SegmentButtons*>(sender); selector && selector->selectedTag() >= 0)
        setCommonValueNamingUndo(selector->selectedTag(), kVerticalAlignmentKeyPath, tr("Vertical Alignment"));
}

void VLTM_VXTextShapeController::layoutModeAction(QObject* sender)
{
    if (const auto* item = qobject_cast<platform::MenuItem*>(sender))
        setCommonValueNamingUndo(item->tag(), kLayoutModeKeyPath, tr("Text Layout"));
}

void VLTM_VXTextShapeController::underlinesAction(QObject* sender)
{
    if (const auto* item = qobject_cast<platform::MenuItem*>(sender))
        setCommonValueNamingUndo(item->tag(), kUnderlinesKeyPath, tr("Change Underlining"));
}

void VLTM_VXTextShapeController::strikethroughsAction(QObject* sender)
{
    if (const auto* item = qobject_cast<platform::MenuItem*>(sender))
        setCommonValueNamingUndo(item->tag(), kStrikethroughsKeyPath, tr("Change Strikethrough"));
}

void VLTM_VXTextShapeController::outlineSizeAction(QObject* sender)
{
    takeNumberFrom(sender, kOutlineWidthKeyPath, tr("Text Outline Width"));
}

void VLTM_VXTextShapeController::outlineColourAction(QObject* sender)
{
    takeCommonValueFromForKeyPath(sender, kOutlineColourKeyPath);
    nameUndoAction(tr("Text Outline Color"));
}

void VLTM_VXTextShapeController::maskSizeAction(QObject* sender)
{
    takeNumberFrom(sender, kKnockoutDistanceKeyPath, tr("Text Mask Size"));
}

void VLTM_VXTextShapeController::maskColourAction(QObject* sender)
{
    takeCommonValueFromForKeyPath(sender, kKnockoutColourKeyPath);
    nameUndoAction(tr("Text Mask Color"));
}

void VLTM_VXTextShapeController::wrapsLinesAction(QObject* sender)
{
    if (const auto* box = qobject_cast<QCheckBox*>(sender))
        setCommonValueNamingUndo(box->isChecked(), kWrapsLinesKeyPath, tr("Text Wrapping"));
}

void VLTM_VXTextShapeController::clipsAction(QObject* sender)
{
    if (const auto* box = qobject_cast<QCheckBox*>(sender))
        setCommonValueNamingUndo(box->isChecked(), kClippingKeyPath, tr("Text Clipping"));
}

void VLTM_VXTextShapeController::capitalizationAction(QObject* sender)
{
    if (const auto* item = qobject_cast<platform::MenuItem*>(sender))
        setCommonValueNamingUndo(item->tag(), kCapitalizationKeyPath, tr("Text Capitalization"));
}

void VLTM_VXTextShapeController::baselineAction(QObject* sender)
{
    takeNumberFrom(sender, kBaselineKeyPath, tr("Text Baseline"));
}

void VLTM_VXTextShapeController::shadowEnableAction(QObject* sender)
{
    const auto* box = qobject_cast<QCheckBox*>(sender);
    if (!box)
        return;
    const VXShadowPtr shadow = box->isChecked() ? VXStyle::defaultShadow() : VXShadowPtr();
    setCommonValueNamingUndo(QVariant::fromValue(shadow), kShadowKeyPath, tr("Text Shadow"));
}

void VLTM_VXTextShapeController::shadowDidChange(const VXShadowPtr& shadow)
{
    if (m_settingShadow)
        return;
    setCommonValueNamingUndo(QVariant::fromValue(shadow), kShadowKeyPath, tr("Text Shadow"));
}

void VLTM_VXTextShapeController::textStyleAction(int segment)
{
    if (content().isEmpty())
        return;
    const bool on = m_textStyleSelector->isSelected(segment);
    using platform::FontManager;
    switch (segment) {
    case kBoldSegment:
        setCommonTrait(on ? FontManager::BoldFontMask : FontManager::UnboldFontMask);
        nameUndoAction(tr("Change Bold"));
        break;
    case kItalicSegment:
        setCommonTrait(on ? FontManager::ItalicFontMask : FontManager::UnitalicFontMask);
        nameUndoAction(tr("Change Italic"));
        break;
    case kUnderlineSegment:
        setCommonValueNamingUndo(on ? 1 : 0, kUnderlinesKeyPath, tr("Change Underlines"));
        break;
    case kStrikethroughSegment:
        setCommonValueNamingUndo(on ? 1 : 0, kStrikethroughsKeyPath, tr("Change Strikethrough"));
        break;
    default:
        break;
    }
}

void VLTM_VXTextShapeController::saveTextStyleAction(QObject*)
{
    if (content().size() != 1)
        return;
    const QVariant attributes = commonValueForKeyPath(kTextAttributesKeyPath);
    if (attributes.metaType() != QMetaType::fromType<QVariantMap>())
        return;
    VXQLibraryRegistryShim::registerStyle(VXStyle::textStyleWithAttributes(attributes.toMap()));
}

void VLTM_VXTextShapeController::resetTextStyleAction(QObject*)
{
    const QList<ZQObjectPtr> objects = content();
    if (objects.isEmpty())
        return;
    // One copy for all: they share the reset style, and nobody edits the framework's own.
    const VXStylePtr style = VXStyle::defaultTextStyle();
    for (const ZQObjectPtr& object : objects) {
        if (!inspectors::objectIsLocked(*object) && object->metaObject()->indexOfProperty("style") >= 0)
            object->setValueForKey(QVariant::fromValue<VXStyle*>(style.get()), QStringLiteral("style"));
    }
    reloadContent();
    nameUndoAction(tr("Reset Text Style"));
}

bool VLTM_VXTextShapeController::validateMenuItem(platform::MenuItem* item)
{
    if (!item)
        return false;
    if (item->action() == "layoutModeAction" && item->tag() != 1 && item->tag() != 2)
        return ZQHighestCommonClass(content()) != &VXTextPath::staticMetaObject;
    if (item->action() == "saveTextStyleAction")
        return content().size() == 1;
    if (item->action() == "resetTextStyleAction")
        return !content().isEmpty() && !m_fontPanelMode;
    return respondsToSelector(item->action());
}

bool VLTM_VXTextShapeController::shouldSetValueOfObjectForKeyPath(QVariant&, ZQObject* object, const QString&)
{
    return !inspectors::objectIsLocked(*object);
}

// --- Display setters -----------------------------------------------------------------------------

void VLTM_VXTextShapeController::setFont(const QVariant& value)
{
    if (!isShownValue(value))
        return;
    const QFont font = value.value<QFont>();
    const QString postScriptName = platform::postScriptName(font);
    m_fontsPopUpButton->selectItem(VLTMFontMenus::selectFontsMenu(m_fontsMenu.get(), {font.family()}));
    // A family the menu lacks (not installed, or a name that stands for another) still shows.
    if (!m_fontsPopUpButton->selectedItem())
        m_fontsPopUpButton->setText(font.family());
    showFaces(font.family(), {postScriptName});
    // Such a family has no faces to list: name the one it is drawn with.
    if (!m_facesPopUpButton->selectedItem())
        m_facesPopUpButton->setText(QFontInfo(font).styleName());
    const QVariant attributes = commonValueForKeyPath(kTextAttributesKeyPath);
    if (attributes.metaType() == QMetaType::fromType<QVariantMap>())
        m_fontPreview->setWithStringAttributes(font.family(), attributes.toMap());
    else
        m_fontPreview->setString(std::nullopt);
    m_textStyleSelector->setSegmentEnabled(kBoldSegment, VLTMFontMenus::hasBoldFont(font.family()));
    m_textStyleSelector->setSegmentEnabled(kItalicSegment, VLTMFontMenus::hasItalicFont(font.family()));
    m_textStyleSelector->setSelected(kBoldSegment, font.bold());
    m_textStyleSelector->setSelected(kItalicSegment, font.italic());
}

void VLTM_VXTextShapeController::setMixedValueForFont()
{
    m_fontsPopUpButton->selectItem(VLTMFontMenus::selectFontsMenu(m_fontsMenu.get(), usedFamilies()));
    m_facesPopUpButton->selectItem(VLTMFontMenus::selectFacesMenu(m_facesMenu, usedFonts()));
    for (int segment : {kBoldSegment, kItalicSegment}) {
        m_textStyleSelector->setSegmentEnabled(segment, true);
        m_textStyleSelector->setSelected(segment, false);
    }
    m_fontPreview->setString(std::nullopt);
}

void VLTM_VXTextShapeController::showNumber(const NumberControls& controls, const QVariant& value)
{
    if (!isShownValue(value)) {
        showMixedNumber(controls);
        return;
    }
    controls.field->setDoubleValue(value.toDouble());
    const QSignalBlocker quiet(controls.stepper);
    controls.stepper->setValue(value.toDouble());
}

void VLTM_VXTextShapeController::showMixedNumber(const NumberControls& controls)
{
    controls.field->clear();
}

void VLTM_VXTextShapeController::setFontSize(const QVariant& size)
{
    showNumber(m_fontSize, size);
}

void VLTM_VXTextShapeController::setMixedValueForFontSize()
{
    showMixedNumber(m_fontSize);
}

void VLTM_VXTextShapeController::setColour(const QVariant& colour)
{
    m_textColourWell->setColor(shownColour(colour));
}

void VLTM_VXTextShapeController::setMixedValueForColour()
{
    m_textColourWell->setColor(Qt::transparent);
}

void VLTM_VXTextShapeController::setAlignment(const QVariant& alignment)
{
    if (isShownValue(alignment))
        m_alignmentSelector->selectSegmentWithTag(alignment.toInt());
    else
        m_alignmentSelector->deselectAll();
}

void VLTM_VXTextShapeController::setMixedValueForAlignment()
{
    m_alignmentSelector->deselectAll();
}

void VLTM_VXTextShapeController::setVerticalAlignment(const QVariant& alignment)
{
    if (m_fontPanelMode)
        return;
    if (!isShownValue(alignment) || alignment.toInt() == kCentredOnPathAlignment)
        m_verticalAlignmentSelector->deselectAll();
    else
        m_verticalAlignmentSelector->selectSegmentWithTag(alignment.toInt());
}

void VLTM_VXTextShapeController::setMixedValueForVerticalAlignment()
{
    m_verticalAlignmentSelector->deselectAll();
}

void VLTM_VXTextShapeController::showTaggedPopUp(PopUpMenuButton* popUp, const QVariant& value, const QString& keyPath)
{
    selectMixedValuesInTaggedMenuForKeyPath(popUp->popUpMenu(), keyPath);
    if (isShownValue(value))
        popUp->selectItemWithTag(value.toInt());
    else
        popUp->selectItem(nullptr);
}

void VLTM_VXTextShapeController::setLayoutMode(const QVariant& mode)
{
    showTaggedPopUp(m_layoutModePopUpButton, mode, kLayoutModeKeyPath);
}

void VLTM_VXTextShapeController::setMixedValueForLayoutMode()
{
    showTaggedPopUp(m_layoutModePopUpButton, platform::multipleValuesMarker(), kLayoutModeKeyPath);
}

void VLTM_VXTextShapeController::setCapitalization(const QVariant& capitalization)
{
    showTaggedPopUp(m_capitalizationPopUpButton, capitalization, kCapitalizationKeyPath);
}

void VLTM_VXTextShapeController::setMixedValueForCapitalization()
{
    showTaggedPopUp(m_capitalizationPopUpButton, platform::multipleValuesMarker(), kCapitalizationKeyPath);
}

void VLTM_VXTextShapeController::setUnderlines(const QVariant& style)
{
    m_textStyleSelector->setSelected(kUnderlineSegment, isShownValue(style) && style.toInt() >= 1);
    showTaggedPopUp(m_underlinePopUpButton, style, kUnderlinesKeyPath);
}

void VLTM_VXTextShapeController::setMixedValueForUnderlines()
{
    m_textStyleSelector->setSelected(kUnderlineSegment, false);
    showTaggedPopUp(m_underlinePopUpButton, platform::multipleValuesMarker(), kUnderlinesKeyPath);
}

void VLTM_VXTextShapeController::setStrikethroughs(const QVariant& style)
{
    m_textStyleSelector->setSelected(kStrikethroughSegment, isShownValue(style) && style.toInt() >= 1);
    showTaggedPopUp(m_strikethroughPopUpButton, style, kStrikethroughsKeyPath);
}

void VLTM_VXTextShapeController::setMixedValueForStrikethroughs()
{
    m_textStyleSelector->setSelected(kStrikethroughSegment, false);
    showTaggedPopUp(m_strikethroughPopUpButton, platform::multipleValuesMarker(), kStrikethroughsKeyPath);
}

void VLTM_VXTextShapeController::setOutlineColour(const QVariant& colour)
{
    m_outlineColourWell->setColor(shownColour(colour));
}

void VLTM_VXTextShapeController::setMixedValueForOutlineColour()
{
    m_outlineColourWell->setColor(Qt::transparent);
}

void VLTM_VXTextShapeController::setOutlineWidth(const QVariant& width)
{
    showNumber(m_outlineSize, width);
}

void VLTM_VXTextShapeController::setMixedValueForOutlineWidth()
{
    showMixedNumber(m_outlineSize);
}

void VLTM_VXTextShapeController::setTextKnockoutDistance(const QVariant& distance)
{
    showNumber(m_maskSize, distance);
}

void VLTM_VXTextShapeController::setMixedValueForTextKnockoutDistance()
{
    showMixedNumber(m_maskSize);
}

void VLTM_VXTextShapeController::setTextKnockoutColour(const QVariant& colour)
{
    m_maskColourWell->setColor(shownColour(colour));
}

void VLTM_VXTextShapeController::setMixedValueForTextKnockoutColour()
{
    m_maskColourWell->setColor(Qt::transparent);
}

void VLTM_VXTextShapeController::setWrapsLines(const QVariant& wraps)
{
    setCheckState(m_wrapsLinesCheckbox, isShownValue(wraps) && wraps.toBool() ? Qt::Checked : Qt::Unchecked);
}

void VLTM_VXTextShapeController::setMixedValueForWrapsLines()
{
    setCheckState(m_wrapsLinesCheckbox, Qt::PartiallyChecked);
}

void VLTM_VXTextShapeController::setClipping(const QVariant& clips)
{
    setCheckState(m_clipsCheckbox, isShownValue(clips) && clips.toBool() ? Qt::Checked : Qt::Unchecked);
}

void VLTM_VXTextShapeController::setMixedValueForClipping()
{
    setCheckState(m_clipsCheckbox, Qt::PartiallyChecked);
}

void VLTM_VXTextShapeController::setLocked(bool locked)
{
    for (QWidget* control : editingControls())
        control->setEnabled(!locked);
    m_textShadowController->setShadowControlsEnabled(!locked);
    if (!m_fontPanelMode)
        return;
    for (QWidget* control : textObjectControls())
        control->setEnabled(false);
    m_verticalAlignmentSelector->deselectAll();
}

void VLTM_VXTextShapeController::setMixedValueForLocked()
{
    for (QWidget* control : editingControls()) {
        if (control != m_facesPopUpButton && control != m_textShadowEnableCheckbox)
            control->setEnabled(true);
    }
}

void VLTM_VXTextShapeController::setBaselineProportion(const QVariant& proportion)
{
    showNumber(m_baseline, proportion);
}

void VLTM_VXTextShapeController::setMixedValueForBaselineProportion()
{
    showMixedNumber(m_baseline);
}

void VLTM_VXTextShapeController::setShadow(const QVariant& value)
{
    const QScopedValueRollback<bool> loading(m_settingShadow, true);
    const VXShadowPtr shadow = isShownValue(value) ? value.value<VXShadowPtr>() : VXShadowPtr();
    m_textShadowController->showShadow(shadow);
    m_textShadowController->setShadowControlsEnabled(bool(shadow));
    setCheckState(m_textShadowEnableCheckbox, shadow ? Qt::Checked : Qt::Unchecked);
}

void VLTM_VXTextShapeController::setMixedValueForShadow()
{
    const QScopedValueRollback<bool> loading(m_settingShadow, true);
    setCheckState(m_textShadowEnableCheckbox, Qt::PartiallyChecked);
    m_textShadowController->showShadow(nullptr);
    m_textShadowController->setShadowControlsEnabled(false);
}

void VLTM_VXTextShapeController::setTextAttributes(const QVariant& attributes)
{
    if (!isShownValue(attributes))
        return;
    const QVariant font = attributes.toMap().value(platform::kFontAttributeName);
    if (isFont(font))
        setFont(font);
}

void VLTM_VXTextShapeController::setMixedValueForTextAttributes()
{
    const QFont font =
        platform::fontWithNameSize(QStringLiteral("Helvetica"), ZQTextPreviewView::kPlaceholderSize).value_or(QFont());
    const platform::AttributedString placeholder(
        tr("Multiple Fonts"),
        {{platform::kFontAttributeName, font}, {platform::kForegroundColourAttributeName, QColor(Qt::gray)}});
    m_fontPreview->setString(std::nullopt);
    m_fontPreview->setPlaceholderString(placeholder);
}

void VLTM_VXTextShapeController::setControlStateForNil()
{
    VLTMGenericObjectController::setControlStateForNil();
    if (!m_fontPreview)
        return;
    for (QWidget* control : editingControls())
        control->setEnabled(false);
    m_textShadowController->setShadowControlsEnabled(false);
    m_fontPreview->setString(std::nullopt);
    m_fontPreview->setPlaceholderString(std::nullopt);
}

// --- Controls ------------------------------------------------------------------------------------

PopUpMenuButton* VLTM_VXTextShapeController::fontsPopUpButton() { view(); return m_fontsPopUpButton; }
PopUpMenuButton* VLTM_VXTextShapeController::facesPopUpButton() { view(); return m_facesPopUpButton; }
QMenu* VLTM_VXTextShapeController::fontsMenu() { view(); return m_fontsMenu.get(); }
ZQAugmentedTextField* VLTM_VXTextShapeController::fontSizeField() { view(); return m_fontSize.field; }
ZQScrollwheelStepper* VLTM_VXTextShapeController::fontSizeStepper() { view(); return m_fontSize.stepper; }
platform::ColourWell* VLTM_VXTextShapeController::textColourWell() { view(); return m_textColourWell; }
SegmentButtons* VLTM_VXTextShapeController::alignmentSelector() { view(); return m_alignmentSelector; }
SegmentButtons* VLTM_VXTextShapeController::verticalAlignmentSelector() { view(); return m_verticalAlignmentSelector; }
SegmentButtons* VLTM_VXTextShapeController::textStyleSelector() { view(); return m_textStyleSelector; }
PopUpMenuButton* VLTM_VXTextShapeController::layoutModePopUpButton() { view(); return m_layoutModePopUpButton; }
PopUpMenuButton* VLTM_VXTextShapeController::underlinePopUpButton() { view(); return m_underlinePopUpButton; }
PopUpMenuButton* VLTM_VXTextShapeController::strikethroughPopUpButton() { view(); return m_strikethroughPopUpButton; }
PopUpMenuButton* VLTM_VXTextShapeController::capitalizationPopUpButton() { view(); return m_capitalizationPopUpButton; }
ZQAugmentedTextField* VLTM_VXTextShapeController::outlineSizeField() { view(); return m_outlineSize.field; }
platform::ColourWell* VLTM_VXTextShapeController::outlineColourWell() { view(); return m_outlineColourWell; }
ZQAugmentedTextField* VLTM_VXTextShapeController::maskSizeField() { view(); return m_maskSize.field; }
platform::ColourWell* VLTM_VXTextShapeController::maskColourWell() { view(); return m_maskColourWell; }
ZQAugmentedTextField* VLTM_VXTextShapeController::baselineField() { view(); return m_baseline.field; }
QCheckBox* VLTM_VXTextShapeController::wrapsLinesCheckbox() { view(); return m_wrapsLinesCheckbox; }
QCheckBox* VLTM_VXTextShapeController::clipsCheckbox() { view(); return m_clipsCheckbox; }
QCheckBox* VLTM_VXTextShapeController::textShadowEnableCheckbox() { view(); return m_textShadowEnableCheckbox; }
VLTMStyleEditSub_NSShadow* VLTM_VXTextShapeController::textShadowController() { view(); return m_textShadowController; }
ZQTextPreviewView* VLTM_VXTextShapeController::fontPreview() { view(); return m_fontPreview; }
platform::Menu* VLTM_VXTextShapeController::textStyleCommandsMenu() { view(); return m_textStyleCommandsMenu.get(); }
