#pragma once

// The text component of styles, text shapes, text paths and labels: a label template with
// text attributes, laid out in the object's box or set along its path.
//
// The label is a template: "%%key" stands for the object's metadata for the key (see
// TextSubstitution.h; unknown keys stand for nothing), optionally abbreviated with the
// class-wide abbreviation table. When the resolved text is blank the placeholder is drawn.
// The label may carry attributes of its own on stretches of text; the adornment's
// attributes (font, colour, paragraph style, underline, outline, knockout halo, shadow,
// kerning, baseline...) lie under them, and setting one of those applies it to the whole
// text, replacing what the label's stretches said about it.
//
// In a box (layout mode 0) the box is the object's size() centred on the centre of its
// rendering path's bounds, turned by the object's angle() (when the adornment applies it)
// and by the adornment's own angle, then by the rotation and scale of the object's
// containerTransform(). Along the path (modes 1 and 2) the glyphs follow the rendering
// path, or the path reversed.
//
// Every key changes through the rasterizer recipe (undo, observing, archiving, copying);
// the commands (kerning, baseline, scripts, changeFont, changeAttributes) are one undo
// step each.

#include "platform/graphics/AttributedString.h"
#include "platform/vantrix/styles/VXRasterizer.h"
#include "platform/vantrix/text/TextStyle.h"

#include <QColor>
#include <QFont>
#include <QMutex>
#include <QPainterPath>
#include <QRectF>
#include <QVariantMap>

#include <functional>
#include <memory>

namespace platform {
class AbbreviationTable;
struct PlacedText;
struct TextArrangement;
struct TextEffects;
}

class VXTextAdornment : public VXRasterizer {
    Q_OBJECT
    Q_PROPERTY(QVariant label READ label WRITE setLabel STORED false)
    Q_PROPERTY(QString string READ string WRITE setString STORED false)
    Q_PROPERTY(QString placeholder READ placeholder WRITE setPlaceholder)
    Q_PROPERTY(bool abbreviates READ abbreviates WRITE setAbbreviates)
    Q_PROPERTY(int capitalization READ capitalization WRITE setCapitalization)
    Q_PROPERTY(QFont font READ font WRITE setFont)
    Q_PROPERTY(double fontSize READ fontSize WRITE setFontSize STORED false)
    Q_PROPERTY(QColor colour READ colour WRITE setColour)
    Q_PROPERTY(platform::ParagraphStyle paragraphStyle READ paragraphStyle WRITE setParagraphStyle STORED false)
    Q_PROPERTY(int alignment READ alignment WRITE setAlignment STORED false)
    Q_PROPERTY(bool wrapsLines READ wrapsLines WRITE setWrapsLines STORED false)
    Q_PROPERTY(int underlines READ underlines WRITE setUnderlines)
    Q_PROPERTY(int strikethroughs READ strikethroughs WRITE setStrikethroughs)
    Q_PROPERTY(double outlineWidth READ outlineWidth WRITE setOutlineWidth)
    Q_PROPERTY(QColor outlineColour READ outlineColour WRITE setOutlineColour)
    Q_PROPERTY(double textKnockoutDistance READ textKnockoutDistance WRITE setTextKnockoutDistance)
    Q_PROPERTY(QColor textKnockoutColour READ textKnockoutColour WRITE setTextKnockoutColour)
    Q_PROPERTY(VXShadowPtr shadow READ shadow WRITE setShadow)
    Q_PROPERTY(double kerning READ kerning WRITE setKerning)
    Q_PROPERTY(double baseline READ baseline WRITE setBaseline)
    Q_PROPERTY(int superscriptAttribute READ superscriptAttribute WRITE setSuperscriptAttribute)
    Q_PROPERTY(QVariantMap textAttributes READ textAttributes WRITE setTextAttributes STORED false)
    Q_PROPERTY(int layoutMode READ layoutMode WRITE setLayoutMode)
    Q_PROPERTY(int verticalAlignment READ verticalAlignment WRITE setVerticalAlignment)
    Q_PROPERTY(double verticalAlignmentProportion READ verticalAlignmentProportion WRITE setVerticalAlignmentProportion)
    Q_PROPERTY(double baselineProportion READ baselineProportion WRITE setBaselineProportion STORED false)
    Q_PROPERTY(double angle READ angle WRITE setAngle)
    Q_PROPERTY(double angleInDegrees READ angleInDegrees WRITE setAngleInDegrees STORED false)
    Q_PROPERTY(bool appliesObjectAngle READ appliesObjectAngle WRITE setAppliesObjectAngle)
    Q_PROPERTY(int clipping READ clipping WRITE setClipping)
    Q_CLASSINFO("actionName:label", "Change Text")
    Q_CLASSINFO("actionName:string", "Change Text")
    Q_CLASSINFO("actionName:placeholder", "Placeholder Text")
    Q_CLASSINFO("actionName:abbreviates", "Abbreviate Text")
    Q_CLASSINFO("actionName:capitalization", "Text Capitalization")
    Q_CLASSINFO("actionName:font", "Change Font")
    Q_CLASSINFO("actionName:fontSize", "Font Size")
    Q_CLASSINFO("actionName:colour", "Text Colour")
    Q_CLASSINFO("actionName:paragraphStyle", "Paragraph Style")
    Q_CLASSINFO("actionName:alignment", "Text Alignment")
    Q_CLASSINFO("actionName:wrapsLines", "Text Wrapping")
    Q_CLASSINFO("actionName:underlines", "Change Underlining")
    Q_CLASSINFO("actionName:strikethroughs", "Change Strikethrough")
    Q_CLASSINFO("actionName:outlineWidth", "Text Outline Width")
    Q_CLASSINFO("actionName:outlineColour", "Text Outline Colour")
    Q_CLASSINFO("actionName:textKnockoutDistance", "Text Mask Size")
    Q_CLASSINFO("actionName:textKnockoutColour", "Text Mask Colour")
    Q_CLASSINFO("actionName:shadow", "Text Shadow")
    Q_CLASSINFO("actionName:kerning", "Kerning")
    Q_CLASSINFO("actionName:baseline", "Baseline")
    Q_CLASSINFO("actionName:superscriptAttribute", "Superscript")
    Q_CLASSINFO("actionName:textAttributes", "Text Attributes")
    Q_CLASSINFO("actionName:layoutMode", "Text Layout")
    Q_CLASSINFO("actionName:verticalAlignment", "Vertical Alignment")
    Q_CLASSINFO("actionName:verticalAlignmentProportion", "Vertical Alignment")
    Q_CLASSINFO("actionName:baselineProportion", "Text Baseline")
    Q_CLASSINFO("actionName:angle", "Text Angle")
    Q_CLASSINFO("actionName:angleInDegrees", "Text Angle")
    Q_CLASSINFO("actionName:appliesObjectAngle", "Text Follows Object Angle")
    Q_CLASSINFO("actionName:clipping", "Text Clipping")

public:
    enum LayoutMode { kLayoutInBox = 0, kLayoutAlongPath = 1, kLayoutAlongReversedPath = 2 };
    // Values follow platform::TextVerticalAlignment.
    enum VerticalAlignment { kAlignTop = 0, kAlignMiddle = 1, kAlignBottom = 2, kAlignProportionally = 3,
                             kAlignCentredOnPath = 4 };
    // Values follow platform::TextCapitalization.
    enum Capitalization { kCapitalizationNone = 0, kCapitalizationUpper = 1, kCapitalizationLower = 2,
                          kCapitalizationTitle = 3 };
    // Clipping applies in a box only.
    enum Clipping { kNoClipping = 0, kClipToBox = 1, kClipToPath = 2 };

    // No text; the default font in black, left aligned, wrapped, at the top of the box.
    VXTextAdornment();
    ~VXTextAdornment() override;

    static std::shared_ptr<VXTextAdornment> textAdornmentWithText(const QString& text);
    static std::shared_ptr<VXTextAdornment> textAdornmentWithText(const platform::AttributedString& text);
    // How far proportional vertical alignment moves text off a path, either way (points).
    static double defaultMaximumVerticalOffset();

    // The table that abbreviates substituted values of adornments that abbreviate; none
    // until one is installed. Install it before drawing starts.
    static void setAbbreviationTable(const platform::AbbreviationTable& table);
    static std::shared_ptr<const platform::AbbreviationTable> abbreviationTable();

    QString displayName() const override;
    // Itself, under the key every other text carrier answers with its adornment.
    Q_INVOKABLE VXTextAdornment* textAdornment() { return this; }

    // --- Text -----------------------------------------------------------------------------
    // The template as a platform::AttributedString, with the label's own attributes only.
    QVariant label() const { return QVariant::fromValue(m_label); }
    const platform::AttributedString& labelText() const { return m_label; }
    // A plain string or an AttributedString; attributes equal to the adornment's are dropped.
    void setLabel(const QVariant& label);
    void setLabel(const platform::AttributedString& label);
    // The text an in-place edit ends with: as setLabel, and an attribute that one value covers
    // over all of it becomes the adornment's, so the Text tab shows the size the text is drawn at.
    void setEditedLabel(const platform::AttributedString& label);
    QString string() const { return m_label.string(); }
    void setString(const QString& string);
    QString placeholder() const { return m_placeholder; }
    void setPlaceholder(const QString& placeholder);
    bool abbreviates() const { return m_abbreviates; }
    void setAbbreviates(bool abbreviates);
    int capitalization() const { return m_capitalization; }
    void setCapitalization(int capitalization); // out-of-range values are ignored

    // The template with the adornment's attributes under the label's own, as an editor shows it.
    platform::AttributedString textForEditing() const;
    // The text as drawn for the object: placeholders filled, capitalized, attributed.
    platform::AttributedString textToDraw(const VXRenderable& object) const;
    // The filled-in text without the placeholder, for searching; empty on a nested call.
    QString searchableStringForObject(const VXRenderable& object) const;
    // What every text adornment of `style` gives for the object, each followed by one blank;
    // empty when the style draws no text.
    static QString searchableStringOfStyleForObject(const VXStyle& style, const VXRenderable& object);
    // Whether the attribute has one value over the whole text for editing.
    bool attributeIsHomogeneous(const QString& attributeName) const;

    // --- Attributes of the whole text --------------------------------------------------------
    QFont font() const { return m_style.font; }
    void setFont(const QFont& font); // sizes are brought into 0.5 ... 1000
    double fontSize() const { return m_style.font.pointSizeF(); }
    void setFontSize(double size); // keeps the faces of the label's own fonts
    QColor colour() const { return m_style.colour; }
    void setColour(const QColor& colour); // an invalid colour is ignored
    platform::ParagraphStyle paragraphStyle() const { return m_style.paragraphStyle; }
    void setParagraphStyle(const platform::ParagraphStyle& style);
    // 0 left, 1 right, 2 centre, 3 justified.
    int alignment() const;
    void setAlignment(int alignment);
    bool wrapsLines() const;
    void setWrapsLines(bool wraps);
    int underlines() const { return m_style.underlines; }
    void setUnderlines(int style);
    int strikethroughs() const { return m_style.strikethroughs; }
    void setStrikethroughs(int style);
    // Percent of the font size; negative outlines filled glyphs, positive draws the outline alone.
    double outlineWidth() const { return m_style.outlineWidth; }
    void setOutlineWidth(double width);
    QColor outlineColour() const { return m_style.outlineColour; } // invalid: the text colour
    void setOutlineColour(const QColor& colour);
    double textKnockoutDistance() const { return m_style.knockoutDistance; }
    void setTextKnockoutDistance(double distance); // negative counts as 0
    QColor textKnockoutColour() const { return m_style.knockoutColour; }
    void setTextKnockoutColour(const QColor& colour);
    VXShadowPtr shadow() const { return m_style.shadow; }
    void setShadow(const VXShadowPtr& shadow);
    // Points added between letters; the font's own kerning is part of the font.
    double kerning() const { return m_style.kerning; }
    void setKerning(double kerning);
    // Points the baseline is raised.
    double baseline() const { return m_style.baseline; }
    void setBaseline(double baseline);
    int superscriptAttribute() const { return m_style.superscript; }
    void setSuperscriptAttribute(int level);
    // All of the above as one dictionary; setting it replaces them all (missing ones
    // become the defaults) in one undo step.
    QVariantMap textAttributes() const { return m_style.attributes(); }
    void setTextAttributes(const QVariantMap& attributes);

    // --- Layout ---------------------------------------------------------------------------------
    int layoutMode() const { return m_layoutMode; }
    void setLayoutMode(int mode);
    int verticalAlignment() const { return m_verticalAlignment; }
    void setVerticalAlignment(int alignment);
    // 0 ... 1: in a box, the share of the free space above the text; along a path,
    // defaultMaximumVerticalOffset() below (0) to above (1) the path.
    double verticalAlignmentProportion() const { return m_verticalAlignmentProportion; }
    void setVerticalAlignmentProportion(double proportion);
    // The proportion; setting it also makes the vertical alignment proportional.
    double baselineProportion() const { return m_verticalAlignmentProportion; }
    void setBaselineProportion(double proportion);
    // The text's own rotation in a box, radians clockwise.
    double angle() const { return m_angle; }
    void setAngle(double angle);
    double angleInDegrees() const;
    void setAngleInDegrees(double degrees);
    bool appliesObjectAngle() const { return m_appliesObjectAngle; }
    void setAppliesObjectAngle(bool applies);
    int clipping() const { return m_clipping; }
    void setClipping(int clipping);

    // --- Commands ----------------------------------------------------------------------------
    // The font's family and size for the whole text; the label's own fonts keep their faces.
    Q_INVOKABLE void changeFont(const QFont& font);
    // The attributes given replace those of the same names; the others stay.
    Q_INVOKABLE void changeAttributes(const QVariantMap& attributes);
    Q_INVOKABLE void loosenKerning(QObject* sender = nullptr);
    Q_INVOKABLE void tightenKerning(QObject* sender = nullptr);
    // No extra spacing and no pair kerning.
    Q_INVOKABLE void turnOffKerning(QObject* sender = nullptr);
    // No extra spacing, the font's pair kerning.
    Q_INVOKABLE void useStandardKerning(QObject* sender = nullptr);
    Q_INVOKABLE void lowerBaseline(QObject* sender = nullptr);
    Q_INVOKABLE void raiseBaseline(QObject* sender = nullptr);
    Q_INVOKABLE void superscript(QObject* sender = nullptr);
    Q_INVOKABLE void subscript(QObject* sender = nullptr);
    Q_INVOKABLE void unscript(QObject* sender = nullptr);

    // --- Geometry --------------------------------------------------------------------------
    // The area the text covers on the object with its effects, in drawing coordinates;
    // empty when nothing is drawn.
    QRectF boundsNeededForObject(const VXRenderable& object) const;
    // Where the text lies in the object's box, in box coordinates (origin at the box's top
    // left, not turned); along a path, the line as set from the path's start.
    QRectF textLayoutRectForObject(const VXRenderable& object) const;
    // The size of the text drawn for the object on unwrapped lines, for fitting boxes to text.
    QSizeF textSizeForObject(const VXRenderable& object) const;
    // Whether the point falls on the text laid along the object's path (in a glyph's cell);
    // false for text in a box.
    bool textAlongPathCoversPoint(QPointF point, const VXRenderable& object) const;
    // How far above the middle of a path the vertical alignment puts the text's baseline.
    double baselineOffset() const;

    void render(const VXRenderable& object) const override;
    // The reach of the halo, outline and shadow; along a path also the text's height.
    QSizeF extraSpaceNeeded() const override;
    bool isValid() const override;
    bool isEqualToRasterizer(const VXRasterizer& other) const override;

    QStringList keyPathsForValuesAffectingValueForKey(const QString& key) const override;
    void componentDidChangeKeyPath(VXRasterizer* component, const QString& keyPath) override;

    std::shared_ptr<ZQObject> copy() const override;
    void encodeWithCoder(platform::KeyedArchiver& coder) const override;
    void initWithCoder(platform::KeyedUnarchiver& coder) override;

private:
    class CommandStep;

    // Sets one attribute of the whole text: the label's stretches lose their own value first.
    template <class T>
    void setWholeTextValue(T& member, const T& value, const char* key);
    void changeLabelAttribute(const QString& attributeName, const std::function<QVariant(const QVariant&)>& change);
    void changeFontOfWholeText(const std::function<QFont(const QFont&)>& change);
    platform::AttributedString withoutAttributesOfTheWholeText(const platform::AttributedString& label) const;
    // The attributes of `label` that one value other than the adornment's covers over all its text.
    platform::TextAttributes ownAttributesSpanningTheWholeText(const platform::AttributedString& label) const;
    platform::AttributedString withAttributesOfTheWholeText(const platform::AttributedString& text) const;
    platform::PlacedText placedTextForObject(const VXRenderable& object, bool withOutlines) const;
    platform::PlacedText placedTextAlongPath(const platform::AttributedString& text, const QPainterPath& path,
                                             const platform::TextArrangement& arrangement) const;
    platform::TextEffects effects() const;
    // How far the halo, outline and shadow reach beyond the glyphs.
    QSizeF effectsReach() const;

    platform::AttributedString m_label;
    QString m_placeholder;
    bool m_abbreviates = false;
    int m_capitalization = kCapitalizationNone;
    platform::TextStyle m_style;
    int m_layoutMode = kLayoutInBox;
    int m_verticalAlignment = kAlignTop;
    double m_verticalAlignmentProportion = 0.5;
    double m_angle = 0;
    bool m_appliesObjectAngle = true;
    int m_clipping = kNoClipping;
    int m_changeCount = 0; // lets a command tell whether it changed anything
    // The last text laid along a path, kept while text, path and arrangement stay the same: a
    // label along a road is measured for its bounds and drawn with one layout, and redrawn
    // without laying it out again. Drawing may run on other threads.
    struct AlongPathLayout;
    mutable QMutex m_alongPathLock;
    mutable std::shared_ptr<const AlongPathLayout> m_alongPathLayout;
};

using VXTextAdornmentPtr = std::shared_ptr<VXTextAdornment>;
Q_DECLARE_METATYPE(VXTextAdornmentPtr)
