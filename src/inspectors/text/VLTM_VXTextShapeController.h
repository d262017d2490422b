#pragma once

// The text pane: edits the text attributes of everything that carries a text adornment (text
// shapes, text paths, text adornments, labels, scale bars, and the font manager trampoline
// while text is typed) over a multiple selection. Family and face pop-ups (see
// VLTMFontMenus), size, colour, alignment, vertical alignment, layout, underline and
// strikethrough, outline, knockout mask, baseline, wrapping, clipping, capitalisation, bold and
// italic, a shadow edited by the style editor's shadow pane, a preview, and commands that save
// the text style to the library or reset it. Each action is one named undo step.
//
// The outline width is shown with the opposite sign; the clip check box shows and sets
// clipping to the path. Locked objects take no value. In Font
// panel mode (set by the Text tab while a drawing view edits text) the controls that only
// text objects have (vertical alignment, layout, wrapping, capitalisation) stay disabled.

#include "app/sidebar/VLTMGenericObjectController.h"
#include "platform/ui/MenuDelegate.h"
#include "platform/vantrix/inspector/DisplayBindings.h"
#include "platform/vantrix/styles/VXShadow.h"

#include <QPointer>
#include <QSet>

class PopUpMenuButton;
class QCheckBox;
class QMenu;
class QToolButton;
class SegmentButtons;
class VLTMStyleEditSub_NSShadow;
class ZQAugmentedTextField;
class ZQScrollwheelStepper;
class ZQTextPreviewView;

namespace platform {
class ColourWell;
class Menu;
class MenuItem;
}

class VLTM_VXTextShapeController : public VLTMGenericObjectController,
                                   public platform::MenuDelegate,
                                   public platform::DisplayBindingSource {
    Q_OBJECT

public:
    static inline const QString kFontKeyPath = QStringLiteral("textAdornment.font");
    static inline const QString kFontSizeKeyPath = QStringLiteral("textAdornment.fontSize");
    static inline const QString kShadowKeyPath = QStringLiteral("textAdornment.shadow");
    static inline const QString kTextAttributesKeyPath = QStringLiteral("textAdornment.textAttributes");
    // Segments of the style selector.
    enum StyleSegment { kBoldSegment = 0, kItalicSegment = 1, kUnderlineSegment = 2, kStrikethroughSegment = 3 };

    VLTM_VXTextShapeController();
    ~VLTM_VXTextShapeController() override;

    const QMetaObject* managedObjectClass() const override;
    QList<const QMetaObject*> managedObjectClasses() const override;
    QStringList keyPathsOfInterest() const override;

    // Loads the view first: values are shown in its controls.
    void setValueForKeyPath(const QVariant& value, const QString& keyPath) override;

    bool fontPanelMode() const { return m_fontPanelMode; }
    // Read by the display setters and validation; the Text tab reloads the content after it.
    void setFontPanelMode(bool fontPanelMode) { m_fontPanelMode = fontPanelMode; }

    // --- Fonts ----------------------------------------------------------------------------
    // The distinct PostScript names / family names of the content's fonts.
    QSet<QString> usedFonts();
    QSet<QString> usedFamilies();
    // The content's fonts converted to the family, the face (a PostScript name) or to have the
    // traits, each keeping its size. A family or face that is not installed changes nothing
    // and answers false.
    bool setCommonFontValuePreservingSizesForKeyPath(const QString& family, const QString& keyPath);
    bool setCommonFaceValuePreservingSizesForKeyPath(const QString& postScriptName, const QString& keyPath);
    void setCommonTrait(quint32 traitMask);

    // A face menu whose delegate is the pane: the faces of the first object's family.
    int numberOfItemsInMenu(QMenu* menu) override;
    bool menuUpdateItemAtIndex(QMenu* menu, QAction* item, int index) override;

    // --- Actions ----------------------------------------------------------------------------
    Q_INVOKABLE void fontMenuAction(QObject* sender);
    Q_INVOKABLE void fontFaceAction(QObject* sender);
    Q_INVOKABLE void fontSizeAction(QObject* sender);
    Q_INVOKABLE void textColourAction(QObject* sender);
    Q_INVOKABLE void textAlignmentAction(QObject* sender);
    Q_INVOKABLE void textVerticalAlignmentAction(QObject* sender);
    Q_INVOKABLE void layoutModeAction(QObject* sender);
    Q_INVOKABLE void underlinesAction(QObject* sender);
    Q_INVOKABLE void strikethroughsAction(QObject* sender);
    Q_INVOKABLE void outlineSizeAction(QObject* sender);
    Q_INVOKABLE void outlineColourAction(QObject* sender);
    Q_INVOKABLE void maskSizeAction(QObject* sender);
    Q_INVOKABLE void maskColourAction(QObject* sender);
    Q_INVOKABLE void wrapsLinesAction(QObject* sender);
    Q_INVOKABLE void clipsAction(QObject* sender);
    Q_INVOKABLE void capitalizationAction(QObject* sender);
    Q_INVOKABLE void baselineAction(QObject* sender);
    Q_INVOKABLE void shadowEnableAction(QObject* sender);
    // The segment clicked in the style selector, now on or off.
    void textStyleAction(int segment);
    // The shadow pane's edit; ignored while the pane loads a shadow into it.
    void shadowDidChange(const VXShadowPtr& shadow);
    Q_INVOKABLE void saveTextStyleAction(QObject* sender);
    Q_INVOKABLE void resetTextStyleAction(QObject* sender);
    Q_INVOKABLE bool validateMenuItem(platform::MenuItem* item);

    // --- Display setters (bound in displayBindings) -----------------------------------------
    const platform::DisplayBindings& displayBindings() const override;
    void setFont(const QVariant& font);
    void setMixedValueForFont();
    void setFontSize(const QVariant& size);
    void setMixedValueForFontSize();
    void setColour(const QVariant& colour);
    void setMixedValueForColour();
    void setAlignment(const QVariant& alignment);
    void setMixedValueForAlignment();
    void setVerticalAlignment(const QVariant& alignment);
    void setMixedValueForVerticalAlignment();
    void setLayoutMode(const QVariant& mode);
    void setMixedValueForLayoutMode();
    void setUnderlines(const QVariant& style);
    void setMixedValueForUnderlines();
    void setStrikethroughs(const QVariant& style);
    void setMixedValueForStrikethroughs();
    void setOutlineColour(const QVariant& colour);
    void setMixedValueForOutlineColour();
    void setOutlineWidth(const QVariant& width);
    void setMixedValueForOutlineWidth();
    void setTextKnockoutDistance(const QVariant& distance);
    void setMixedValueForTextKnockoutDistance();
    void setTextKnockoutColour(const QVariant& colour);
    void setMixedValueForTextKnockoutColour();
    void setWrapsLines(const QVariant& wraps);
    void setMixedValueForWrapsLines();
    void setCapitalization(const QVariant& capitalization);
    void setMixedValueForCapitalization();
    void setLocked(bool locked) override;
    void setMixedValueForLocked();
    void setBaselineProportion(const QVariant& proportion);
    void setMixedValueForBaselineProportion();
    void setShadow(const QVariant& shadow);
    void setMixedValueForShadow();
    void setTextAttributes(const QVariant& attributes);
    void setMixedValueForTextAttributes();
    // Whether the text is clipped to the object's path (the adornment's clipping).
    void setClipping(const QVariant& clips);
    void setMixedValueForClipping();

    // --- The controls, for the tab and for tests ------------------------------------------------
    PopUpMenuButton* fontsPopUpButton();
    PopUpMenuButton* facesPopUpButton();
    QMenu* fontsMenu();
    ZQAugmentedTextField* fontSizeField();
    ZQScrollwheelStepper* fontSizeStepper();
    platform::ColourWell* textColourWell();
    SegmentButtons* alignmentSelector();
    SegmentButtons* verticalAlignmentSelector();
    SegmentButtons* textStyleSelector();
    PopUpMenuButton* layoutModePopUpButton();
    PopUpMenuButton* underlinePopUpButton();
    PopUpMenuButton* strikethroughPopUpButton();
    PopUpMenuButton* capitalizationPopUpButton();
    ZQAugmentedTextField* outlineSizeField();
    platform::ColourWell* outlineColourWell();
    ZQAugmentedTextField* maskSizeField();
    platform::ColourWell* maskColourWell();
    ZQAugmentedTextField* baselineField();
    QCheckBox* wrapsLinesCheckbox();
    QCheckBox* clipsCheckbox();
    QCheckBox* textShadowEnableCheckbox();
    VLTMStyleEditSub_NSShadow* textShadowController();
    ZQTextPreviewView* fontPreview();
    platform::Menu* textStyleCommandsMenu();

protected:
    QWidget* loadView() override;
    bool shouldSetValueOfObjectForKeyPath(QVariant& value, ZQObject* object, const QString& keyPath) override;
    void setControlStateForNil() override;

private:
    struct NumberControls {
        ZQAugmentedTextField* field = nullptr;
        ZQScrollwheelStepper* stepper = nullptr;
    };
    NumberControls makeNumberControls(const QByteArray& action, double minimum, double maximum, double step);
    PopUpMenuButton* makeTaggedPopUp(const QList<std::pair<QString, int>>& items, const QByteArray& action);
    platform::ColourWell* makeColourWell(const QByteArray& action);

    // Writes the value and names the step; nothing without content.
    void setCommonValueNamingUndo(const QVariant& value, const QString& keyPath, const QString& undoName);
    // The number a field or stepper holds; none for an empty field.
    void takeNumberFrom(QObject* sender, const QString& keyPath, const QString& undoName);
    void nameUndoAction(const QString& name);
    // Converts each unlocked object's font at the key path and writes it back.
    void convertCommonFont(const QString& keyPath, const std::function<QFont(const QFont&)>& convert);
    void showNumber(const NumberControls& controls, const QVariant& value);
    void showMixedNumber(const NumberControls& controls);
    void showTaggedPopUp(PopUpMenuButton* popUp, const QVariant& value, const QString& keyPath);
    void showFaces(const QString& family, const QSet<QString>& postScriptNames);
    // Every control listed in the data model.
    QList<QWidget*> editingControls() const;
    // Those that only text objects have, disabled in Font panel mode.
    QList<QWidget*> textObjectControls() const;

    bool m_fontPanelMode = false;
    bool m_settingShadow = false;

    std::unique_ptr<QMenu> m_fontsMenu;
    // Replaced whenever a font is shown, which may happen while one of its items is sending.
    QPointer<QMenu> m_facesMenu;
    QPointer<PopUpMenuButton> m_fontsPopUpButton;
    QPointer<PopUpMenuButton> m_facesPopUpButton;
    NumberControls m_fontSize;
    QPointer<platform::ColourWell> m_textColourWell;
    QPointer<SegmentButtons> m_alignmentSelector;
    QPointer<SegmentButtons> m_verticalAlignmentSelector;
    QPointer<SegmentButtons> m_textStyleSelector;
    QPointer<PopUpMenuButton> m_layoutModePopUpButton;
    QPointer<PopUpMenuButton> m_underlinePopUpButton;
    QPointer<PopUpMenuButton> m_strikethroughPopUpButton;
    QPointer<PopUpMenuButton> m_capitalizationPopUpButton;
    NumberControls m_outlineSize;
    QPointer<platform::ColourWell> m_outlineColourWell;
    NumberControls m_maskSize;
    QPointer<platform::ColourWell> m_maskColourWell;
    NumberControls m_baseline;
    QPointer<QCheckBox> m_wrapsLinesCheckbox;
    QPointer<QCheckBox> m_clipsCheckbox;
    QPointer<QCheckBox> m_textShadowEnableCheckbox;
    QPointer<VLTMStyleEditSub_NSShadow> m_textShadowController;
    QPointer<ZQTextPreviewView> m_fontPreview;
    QPointer<QToolButton> m_textStyleCommandsButton;
    std::unique_ptr<platform::Menu> m_textStyleCommandsMenu;
};
