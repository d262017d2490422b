#pragma once

// The scale bar a user places on the map: up to two graduated bars with distance labels and
// unit names, under a title made of the word Scale and the map scale. The upper bar measures
// in the represented unit of the document's map scale, the lower one in a second unit (miles
// unless chosen otherwise) through a derived scale of the same ratio. The bar follows the map
// scale of the document owning its drawing: labels, title and derived scale are redone at
// every change.
//
// The bar is the owner its elements' bands and labels ask (VXQGridInfoProtocol): the line is
// the middle of the shape, cut to whole spans; a span is the map scale's reference length
// halved or doubled into 50 ... half the width points, never wider than the shape.
//
// Setters register their undo, redraw and name the action; most refuse while the bar is
// locked, and flags and counts do nothing when unchanged. The bar never turns.

#include "furniture/scalebar/VXQScaleBarElement.h"
#include "mapscale/VXQMapScale.h"
#include "platform/measurement/ZQUnitLength.h"
#include "platform/vantrix/drawables/VXDrawableShape.h"
#include "platform/vantrix/model/VXObjectDropTarget.h"
// Complete, so the key the text inspector reads answers from the first use on.
#include "platform/vantrix/text/VXTextAdornment.h"

class VXQMeasurement;
namespace platform {
struct Notification;
}

class VXQScaleBarShape : public VXDrawableShape, public VXQGridInfoProtocol, public VXObjectDropTarget {
    Q_OBJECT
    Q_CLASSINFO("displayName", "Scale Bar")
    Q_PROPERTY(QColor mainColour READ mainColour WRITE setMainColour)
    Q_PROPERTY(QColor alternateColour READ alternateColour WRITE setAlternateColour)
    Q_PROPERTY(QString primaryLabel READ primaryLabel WRITE setPrimaryLabel)
    Q_PROPERTY(QString secondaryLabel READ secondaryLabel WRITE setSecondaryLabel)
    Q_PROPERTY(QString title READ title WRITE setTitle)
    Q_PROPERTY(QString userTitle READ userTitle WRITE setUserTitle)
    Q_PROPERTY(bool titleEnabled READ titleEnabled WRITE setTitleEnabled)
    Q_PROPERTY(bool primaryBarEnabled READ primaryBarEnabled WRITE setPrimaryBarEnabled)
    Q_PROPERTY(bool secondaryBarEnabled READ secondaryBarEnabled WRITE setSecondaryBarEnabled)
    Q_PROPERTY(bool isAlternating READ isAlternating WRITE setIsAlternating)
    Q_PROPERTY(bool extendedMarkers READ extendedMarkers WRITE setExtendedMarkers)
    Q_PROPERTY(bool ordnanceSurveyStyleEnabled READ ordnanceSurveyStyleEnabled WRITE setOrdnanceSurveyStyleEnabled)
    Q_PROPERTY(qint64 primaryBarDivisions READ primaryBarDivisions WRITE setPrimaryBarDivisions)
    Q_PROPERTY(qint64 secondaryBarDivisions READ secondaryBarDivisions WRITE setSecondaryBarDivisions)
    Q_PROPERTY(quint64 primaryBarSkipInterval READ primaryBarSkipInterval WRITE setPrimaryBarSkipInterval)
    Q_PROPERTY(quint64 secondaryBarSkipInterval READ secondaryBarSkipInterval WRITE setSecondaryBarSkipInterval)
    Q_PROPERTY(double barWidth READ barWidth WRITE setBarWidth)
    Q_PROPERTY(QVariantMap textAttributes READ textAttributes WRITE setTextAttributes)
    Q_PROPERTY(ZQUnitLength* secondaryScaleUnits READ secondaryScaleUnitsObject WRITE setSecondaryScaleUnitsObject)
    Q_PROPERTY(VXTextAdornment* textAdornment READ textAdornment STORED false)

public:
    // A scale bar is measured, not an outline to combine.
    bool canPerformBooleanOperation(bool) const override { return false; }
    // Division counts are kept within 0 ... this; more would only smear the bar.
    static constexpr qint64 kMostDivisions = 1000;

    VXQScaleBarShape();
    ~VXQScaleBarShape() override;

    // --- Style held by the elements (getters read the upper one) ------------------------
    QColor mainColour() const { return m_upper->border()->fillColour(); }
    void setMainColour(const QColor& colour);
    QColor alternateColour() const { return m_upper->border()->alternateFillColour(); }
    void setAlternateColour(const QColor& colour);
    bool isAlternating() const { return m_upper->border()->isAlternating(); }
    void setIsAlternating(bool alternating);
    bool extendedMarkers() const { return m_upper->border()->extendedMarkers(); }
    void setExtendedMarkers(bool extended);
    bool ordnanceSurveyStyleEnabled() const { return m_upper->border()->ordnanceSurveyStyleEnabled(); }
    void setOrdnanceSurveyStyleEnabled(bool enabled);
    double barWidth() const { return m_upper->barWidth(); }
    void setBarWidth(double width);
    QVariantMap textAttributes() const { return m_upper->textAttributes(); }
    // Through the text adornment, which hands them to both elements.
    void setTextAttributes(const QVariantMap& attributes);

    // --- Per bar ---------------------------------------------------------------------------
    bool primaryBarEnabled() const { return m_upper->enabled(); }
    void setPrimaryBarEnabled(bool enabled);
    bool secondaryBarEnabled() const { return m_lower->enabled(); }
    void setSecondaryBarEnabled(bool enabled);
    // 0 takes the index grid's divisions at the next map-scale update.
    qint64 primaryBarDivisions() const { return m_upperDivisions; }
    void setPrimaryBarDivisions(qint64 divisions);
    qint64 secondaryBarDivisions() const { return m_lowerDivisions; }
    void setSecondaryBarDivisions(qint64 divisions);
    quint64 primaryBarSkipInterval() const { return m_upper->annotation()->labelSkipInterval(); }
    void setPrimaryBarSkipInterval(quint64 interval);
    quint64 secondaryBarSkipInterval() const { return m_lower->annotation()->labelSkipInterval(); }
    void setSecondaryBarSkipInterval(quint64 interval);
    QString primaryLabel() const { return m_upperLabel; }
    void setPrimaryLabel(const QString& label);
    QString secondaryLabel() const { return m_lowerLabel; }
    void setSecondaryLabel(const QString& label);

    // --- Title -----------------------------------------------------------------------------
    // The automatic title, "Scale " and the map scale.
    QString title() const { return m_title; }
    void setTitle(const QString& title);
    // Drawn instead of the automatic title when not empty.
    QString userTitle() const { return m_userTitle; }
    // The title the bar draws: the user's where given, else the default one.
    const QString& shownTitle() const { return m_userTitle.isEmpty() ? m_title : m_userTitle; }
    void setUserTitle(const QString& title);
    bool titleEnabled() const { return m_titleEnabled; }
    void setTitleEnabled(bool enabled);

    // --- Scales ----------------------------------------------------------------------------
    // The map scale of the document owning the drawing; null without one.
    VXQMapScalePtr mapScale() const;
    const ZQUnitLengthPtr& secondaryScaleUnits() const { return m_secondaryUnits; }
    // Rederives the secondary scale; null is ignored.
    void setSecondaryScaleUnits(const ZQUnitLengthPtr& units);
    // Older callers name the secondary unit by a legacy measurement; logs its deprecation.
    void setSecondaryBarMeasurement(const std::shared_ptr<VXQMeasurement>& measurement);
    std::shared_ptr<VXQMeasurement> secondaryBarMeasurement() const { return m_secondaryBarMeasurement; }
    const VXQMapScalePtr& secondaryScale() const { return m_secondaryScale; }
    // Not undoable and never refused: the lower bar's scale, and its unit's name as its label.
    void setSecondaryScale(const VXQMapScalePtr& scale);
    VXQMapScalePtr deriveSecondaryScale(const VXQMapScalePtr& scale) const;
    // Unit labels, derived scale and, for 0 primary divisions, the index grid's divisions.
    void updateFromMapScale(const VXQMapScalePtr& scale);

    VXQScaleBarElement* upperElement() const { return m_upper.get(); }
    VXQScaleBarElement* lowerElement() const { return m_lower.get(); }
    // Also the key the text inspector edits the labels' text through.
    VXTextAdornment* textAdornment() const { return m_adornment.get(); }

    // --- Geometry --------------------------------------------------------------------------
    QRectF upperLabelBounds() const;
    QRectF lowerLabelBounds() const;
    QRectF titleBoundsWithString(const QString& title) const;
    // The text attributes with the font converted to have the traits (FontManager's masks),
    // centred and truncated: unit labels add italic, the title is bold and upright.
    platform::TextAttributes labelAttributesWithTraits(quint32 traits) const;

    // --- VXQGridInfoProtocol (the element being drawn decides the scale) --------------------
    VXDrawing* drawing() const override { return VXDrawableObject::drawing(); }
    QRectF borderRect() const override;
    double spanLength() const override;
    quint64 divisionsPerSpan() const override;
    double borderAllowance() const override { return m_upper->borderAllowance(); }
    void setNeedsDisplayInRect(const QRectF& rect) const override { VXDrawableObject::setNeedsDisplayInRect(rect); }
    std::optional<QString> proposedLabelAtIndexMaxIndexFormatter(const QString& label, quint64 index, quint64 maxIndex,
                                                                const platform::NumberFormatter* formatter) const override;

    // --- Drawable overrides ----------------------------------------------------------------
    double angle() const override { return 0.0; }
    void setAngle(double) override {}
    void rotateByAngle(double) override {}
    void setContainer(QObject* container) override;
    QRectF bounds() const override;
    void drawContent() const override;
    // Asks the responder chain to open the map-scale calibration.
    void mouseDoubleClickedAtPointInPartEvent(QPointF point, int part, QMouseEvent* event) override;
    // Only the text attributes of a style are taken.
    void setStyle(const VXStylePtr& style) override;
    // The font manager's changes to the labels' and title's text (`sender` is the manager, which
    // converts); each one undo step, refused while locked.
    Q_INVOKABLE void changeFont(QObject* sender);
    Q_INVOKABLE void changeAttributes(QObject* sender);
    // A selected bar tells the font manager its text's font and attributes, as they change.
    void objectDidBecomeSelected() override;
    // A dropped colour becomes the main colour, with Alt the alternate one; nothing else is taken.
    // Object layers offer drops on the bar to it first.
    QStringList pasteboardTypesForOperation(int operation) const override;
    bool performDragOperation(const QMimeData* data, Qt::KeyboardModifiers modifiers) override;

    // Copies go through the archive, elements included.
    void encodeWithCoder(platform::KeyedArchiver& coder) const override;
    // Damaged or missing values take the defaults.
    void initWithCoder(platform::KeyedUnarchiver& coder) override;

protected:
    void rasterizerDidChangeKeyPath(VXRasterizer* rasterizer, const QString& keyPath) override;

private:
    // Which rules a setter follows.
    enum EditRule { kAlways = 0, kRefusedWhenLocked = 1, kOnlyWhenChanged = 2 };
    // Registers undo of `key` with its current value, applies the change, redraws the old and
    // new bounds and names the action (unless undoing, redoing or following the map scale).
    template <class T>
    bool edit(const char* key, const T& current, const T& value, int rules, const QString& actionName,
              const std::function<void()>& apply);
    // Sets the text attributes as one undo step of that name.
    void setTextAttributesNamed(const QVariantMap& attributes, const QString& actionName);
    void adoptElements(VXQScaleBarElementPtr upper, VXQScaleBarElementPtr lower);
    void observeMapScaleOfOwner(QObject* owner);
    void mapScaleChanged(const VXQMapScalePtr& scale);
    void drawingOwnerChanged(const platform::Notification& notification);
    void applyElementStyle(const std::function<void(VXQGridBorder*)>& apply);
    void copyAdornmentAttributesToElements();
    void reportTextToFontManager() const;
    // The scale of the element being drawn or measured.
    VXQMapScalePtr currentScale() const;
    ZQUnitLength* secondaryScaleUnitsObject() const { return m_secondaryUnits.get(); }
    void setSecondaryScaleUnitsObject(ZQUnitLength* units);

    VXQScaleBarElementPtr m_upper;
    VXQScaleBarElementPtr m_lower;
    mutable const VXQScaleBarElement* m_current = nullptr;
    std::shared_ptr<VXQMeasurement> m_secondaryBarMeasurement;
    qint64 m_upperDivisions = 0;
    qint64 m_lowerDivisions = 10;
    QString m_upperLabel;
    QString m_lowerLabel;
    QString m_title;
    QString m_userTitle;
    bool m_titleEnabled = true;
    std::shared_ptr<VXTextAdornment> m_adornment;
    ZQUnitLengthPtr m_secondaryUnits = ZQUnitLength::miles();
    VXQMapScalePtr m_secondaryScale;
    QPointer<QObject> m_observedOwner;
    bool m_followingMapScale = false;
};

using VXQScaleBarShapePtr = std::shared_ptr<VXQScaleBarShape>;
