#pragma once

// A path styled by ranges along its length: roads, rails, rivers and the other tracks.
//
// Styles. The main styles follow one another along the path: the first starts at 0, each
// ends where the next begins and the last runs to the end. Ranges are kept in path-length
// units, so reshaping the path keeps each boundary's distance from the start; a range beyond
// the end of the path draws nothing. Applying a style over the selection range (or the whole
// path when nothing is selected) cuts it into the main styles, and neighbours with equal
// styles merge. The object's own style() mirrors the first main style.
//
// Overlays are extra range styles drawn below or above the main styles (a bridge under a
// road, a tunnel's dashes over it). Shims blend between neighbouring main styles that differ,
// over a stretch twice as long as the wider style's widest stroke, centred on the boundary;
// with autoInsertsShims they follow every change of the main styles. Adornments are objects
// carried at positions along the path.
//
// Drawing. The casing pass draws the casing of every main style and shim (see
// ZQRangeDrawingStyle); the content pass draws the overlays below, the main styles without
// their casings joined by the shims, the adornments and the overlays above. drawContent does
// both, for use outside a mapping layer. The list of what to draw is cached and built under a
// lock, so other threads (exports) can draw the path while it is unchanged.
//
// Text labels along the path are kept here and archived with it; what they do is the label
// side's (PathTextLabels), which the path calls for their drawing, hit testing, gestures,
// menus and commands, and when it is read, cut or restyled.
//
// Part codes: the whole path -1, nothing 0, the knob of inline style boundary k (the end of
// main style k) 64001 + k, overlay knob n 128001 + n (overlay i has its start knob at n = 2i
// and its end knob at n = 2i + 1), adornment i -2 - i; text labels 256001 + their own code.
// Knobs count only while the path is selected and unlocked; dragging one is one undo step.
//
// Every edit registers its undo on the path's undo manager; a locked path refuses edits.

#include "app/services/CasedDrawable.h"
#include "app/services/PickTargets.h"
#include "platform/vantrix/drawables/VXDrawablePath.h"
#include "tracks/model/AdornmentCollection.h"
#include "tracks/model/PathTextLabels.h"
#include "tracks/tools/RangeKnobs.h"
#include "tracks/styles/ShimBlender.h"
#include "tracks/model/StretchEnds.h"
#include "tracks/styles/StrokeWidthSource.h"
#include "tracks/model/TextLabelFields.h"
#include "tracks/model/VXQAdornment.h"
#include "tracks/styles/ZQRangeDrawingStyle.h"
#include "tracks/model/ZQStyleRange.h"

#include <QMutex>
#include <QVariantList>

class MultiStyleDrawingList;
class PartDrag;
namespace platform {
class MenuItem;
}
class QMouseEvent;
class VXDrawingView;
class ZQMultiStylePath;
using ZQMultiStylePathPtr = std::shared_ptr<ZQMultiStylePath>;
enum class ZQSpecialItemKind;

inline constexpr int kZQTextLabelPartBase = 256001;
inline constexpr int ZQAdornmentPartCode(int index)
{
    return -2 - index;
}

// The user default that chooses how new paths blend their shims (a ZQShimBlend).
inline const QString kZQShimBlendChoiceDefaultKey = QStringLiteral("kZQShimBlendChoiceDefaultKey");
// The user default copied into dynamicLabelTemplatesEnabled of new and decoded paths.
inline const QString kZQMultiStyleAllowDynamicTemplates = QStringLiteral("kZQMultiStyleAllowDynamicTemplates");

class ZQMultiStylePath : public VXDrawablePath, public CasedDrawable, public StrokeWidthSource, public AuxiliaryStyleTarget {
    Q_OBJECT
    Q_CLASSINFO("forwardsCommandsToParts", "labels")
    Q_PROPERTY(bool autoInsertsShims READ autoInsertsShims WRITE setAutoInsertsShims)
    Q_PROPERTY(int shimBlending READ shimBlending WRITE setShimBlending)
    Q_PROPERTY(bool showsInlineStyleBoundaries READ showsInlineStyleBoundaries WRITE setShowsInlineStyleBoundaries)
    Q_PROPERTY(bool labelsHidden READ labelsHidden WRITE setLabelsHidden)
    Q_PROPERTY(bool dynamicLabelTemplatesEnabled READ dynamicLabelTemplatesEnabled WRITE setDynamicLabelTemplatesEnabled)
    Q_PROPERTY(double locationForAddingTextLabel READ locationForAddingTextLabel WRITE setLocationForAddingTextLabel)
    Q_PROPERTY(QVariantList selectedAdornments READ selectedAdornmentsValue WRITE setSelectedAdornmentsValue STORED false)
    Q_PROPERTY(QVariantList adornments READ adornmentsValue STORED false)
    Q_PROPERTY(QVariantList styles READ stylesValue STORED false)
    Q_PROPERTY(double widestStrokeWidth READ widestStrokeWidth STORED false)
    Q_PROPERTY(bool canInsertSpecialItem READ canInsertSpecialItem STORED false)
    Q_CLASSINFO("displayName", "Multi-Style Path")

public:
    ZQMultiStylePath();
    ~ZQMultiStylePath() override;

    static ZQMultiStylePathPtr multiStylePathWithPathStyle(const platform::BezierPath& path, const VXStylePtr& style);

    // --- Geometry ---------------------------------------------------------------------------
    // The length along the path nearest the point, or -1 when the path passes farther than
    // half the widest stroke (and a little) from it.
    double lengthForPoint(QPointF point) const;
    double lengthForPointTolerance(QPointF point, double tolerance) const;
    bool pointHitsPath(QPointF point) const;
    // The whole path: 0..length, absolute.
    ZQStyleRange range() const;

    // --- Main styles, overlays and shims ------------------------------------------------------
    QList<ZQRangeDrawingStylePtr> styles() const { return m_styles; }
    // Sorted and made contiguous as described above; an empty list leaves the path unstyled.
    void setStyles(const QList<ZQRangeDrawingStylePtr>& styles);
    QList<ZQRangeDrawingStylePtr> overlays() const { return m_overlays; }
    void setOverlays(const QList<ZQRangeDrawingStylePtr>& overlays);
    void removeOverlay(const ZQRangeDrawingStyle* overlay);
    QList<ZQRangeDrawingStylePtr> shims() const { return m_shims; }

    // Applies the style as a main style over the selection range, or the whole path.
    void setStyle(const VXStylePtr& style) override;
    // The same, or as an overlay above the main styles; `displayName` names the range (the
    // style's name when empty).
    void setStyleDisplayNameAsAuxiliaryStyle(const VXStylePtr& style, const QString& displayName, bool auxiliary);
    // A style, or an item whose "representedObject" is one, applied as an overlay; other values
    // do nothing.
    Q_INVOKABLE void setAuxiliaryStyle(const QVariant& item) override;

    // The range style covering the position, ends included: the first for positions at or
    // before 0, the last at or past the end. With shims, a shim covering it wins. Null for a
    // path without main styles.
    ZQRangeDrawingStylePtr styleForPositionIncludingShims(double position, bool includingShims) const;
    // The widest stroke of the main styles (overlays measure themselves against it).
    double widestStrokeWidth() const override;

    bool autoInsertsShims() const { return m_autoInsertsShims; }
    // Turning it on inserts the shims now, turning it off removes them.
    void setAutoInsertsShims(bool inserts);
    int shimBlending() const { return m_shimBlending; }
    // A ZQShimBlend; other values are refused.
    void setShimBlending(int blending);
    static int defaultShimBlending();
    bool showsInlineStyleBoundaries() const { return m_showsInlineStyleBoundaries; }
    void setShowsInlineStyleBoundaries(bool shows);

    QList<VXStylePtr> allStyles() const override;
    bool usesStyle(const VXStyle& style) const override;
    QList<VXRasterizerPtr> observedRasterizers() const override;
    void replaceStyles(const QHash<const VXStyle*, VXStylePtr>& replacements) override;
    void styleDidChange(const VXStyle* style) override;

    // --- Selection range and special items ---------------------------------------------------
    // Absolute, within the path; empty when nothing is selected.
    ZQStyleRange selectionRange() const { return m_selectionRange; }
    void setSelectionRange(const ZQStyleRange& range);
    void selectNone();
    // Unless the point lies in the selected stretch, selects the stretch around the point
    // nearest it: kStretchAtPointWidths times the widest stroke (at least
    // kMinimumStretchAtPoint, at most the path), kept within the path. Points off the path
    // change nothing.
    void selectStretchAtPoint(QPointF point);
    static constexpr double kStretchAtPointWidths = 4;
    static constexpr double kMinimumStretchAtPoint = 20;
    bool canInsertSpecialItem() const;
    // Each inserts its item over the selection range as one undo step named after it:
    // flyovers and tunnels as overlays above, bridges, cuttings and embankments below. A pinch
    // (inflate) point is a main style over the range: the style there with every stroke
    // narrowed (widened) by the factor below, blended in by shims.
    Q_INVOKABLE void insertFlyover(QObject* sender);
    Q_INVOKABLE void insertBridge(QObject* sender);
    Q_INVOKABLE void insertTunnel(QObject* sender);
    Q_INVOKABLE void insertCutting(QObject* sender);
    Q_INVOKABLE void insertEmbankment(QObject* sender);
    Q_INVOKABLE void insertPinchPoint(QObject* sender);
    Q_INVOKABLE void insertInflatePoint(QObject* sender);
    // Selects the path alone and shows the object inspector on its attributes.
    Q_INVOKABLE void openAttributes(QObject* sender);
    static constexpr double kPinchPointWidthFactor = 0.5;
    static constexpr double kInflatePointWidthFactor = 1.5;

    // Keeps only the stretch from..to (path-length units) of the path, with the styles,
    // overlays and adornments along it moved to start at 0; those outside go. Undoable, one
    // registration per change: callers group them.
    void reduceToStretch(double from, double to);

    // --- Adornments ---------------------------------------------------------------------------
    QList<VXQAdornmentPtr> adornments() const { return m_adornments.list(); }
    // Undoable; null for a null object or a locked path.
    VXQAdornmentPtr addAdornmentWithObjectAtPositionDisplayName(const VXDrawableObjectPtr& object, double position,
                                                                const QString& displayName);
    void removeAdornment(const VXQAdornment* adornment) { m_adornments.remove(adornment); }
    // The topmost adornment under the point, or null.
    VXQAdornmentPtr adornmentHitByPoint(QPointF point) const;
    QList<VXQAdornmentPtr> selectedAdornments() const { return m_adornments.selection(); }
    // Adornments not on this path are left out.
    void setSelectedAdornments(const QList<VXQAdornmentPtr>& adornments) { m_adornments.setSelection(adornments); }

    // --- Text label fields (their behaviour belongs to the label side) ------------------------
    QList<ZQObjectPtr> textLabels() const { return m_labelFields.labels; }
    void setTextLabels(const QList<ZQObjectPtr>& labels) { m_labelFields.labels = labels; }
    QList<ZQObjectPtr> selectedTextLabels() const { return m_labelFields.selectedLabels; }
    void setSelectedTextLabels(const QList<ZQObjectPtr>& labels) { m_labelFields.selectedLabels = labels; }
    bool labelsHidden() const { return m_labelFields.hidden; }
    void setLabelsHidden(bool hidden);
    bool dynamicLabelTemplatesEnabled() const { return m_labelFields.dynamicTemplatesEnabled; }
    void setDynamicLabelTemplatesEnabled(bool enabled);
    // The stored location, or while none is set (negative) the middle of the selection range
    // (of the whole path when nothing is selected).
    double locationForAddingTextLabel() const;
    void setLocationForAddingTextLabel(double location);
    static bool defaultAllowsDynamicLabelTemplates();
    static void setDefaultAllowsDynamicLabelTemplates(bool allows);
    // What the label side keeps with this path; made by it on first use.
    std::shared_ptr<void>& labelBehaviourState() const { return m_labelFields.behaviour; }
    // Label commands, carried out by the label side (PathTextLabels); nothing without one.
    Q_INVOKABLE void newTextLabel(QObject* sender = nullptr) { performLabelCommand("newTextLabel", sender); }
    Q_INVOKABLE void pasteLabel(QObject* sender = nullptr) { performLabelCommand("pasteLabel", sender); }
    Q_INVOKABLE void deleteLabels(QObject* sender = nullptr) { performLabelCommand("deleteLabels", sender); }
    Q_INVOKABLE void toggleLabelsVisible(QObject* sender = nullptr) { performLabelCommand("toggleLabelsVisible", sender); }
    Q_INVOKABLE void selectAllLabels(QObject* sender = nullptr) { performLabelCommand("selectAllLabels", sender); }
    Q_INVOKABLE void deselectAllLabels(QObject* sender = nullptr) { performLabelCommand("deselectAllLabels", sender); }
    // Messages the path lacks go to its selected labels.
    QList<QObject*> forwardingTargetsForSelector(const QByteArray& selector) const override;

    // --- Commands and searching ---------------------------------------------------------------
    // Style and overlay names, adornment objects and text labels, joined with single blanks.
    QString searchableString() const override;
    // Without adornments always; with them, when every adornment's object may be.
    bool canBeConvertedToSymbol() const override;
    bool canPerformBooleanOperation(bool) const override { return false; }
    // After the standard items, the special items, aimed at this path. A context click on an
    // unlocked path selects the stretch under it (selectStretchAtPoint), which the special
    // items then go in over.
    bool populateContextualMenuAtPoint(platform::Menu* menu, QPointF point) override;
    // Special items need a selected stretch and an unlocked path.
    Q_INVOKABLE virtual bool validateMenuItem(platform::MenuItem* item);

    // --- Drawing ------------------------------------------------------------------------------
    // With the labels' bounds.
    QRectF bounds() const override;
    QRectF boundsIgnoringLabels() const;
    void drawContent() const override;
    void drawCasing() const override;
    void drawContentWithoutCasing() const override;
    // The path's highlight, the selection range, the boundary and overlay knobs and the
    // selected adornments' frames.
    void drawSelectedState() const override;
    void drawTextLabelsInView(VXDrawingView* view) const override;
    // Whether the path, or an object it carries, has labels to draw in the label pass.
    Q_INVOKABLE bool hasTextLabels() const;
    // Whether any adornment's object carries labels of its own.
    bool adornmentHasTextLabels() const;
    void drawRangeLimitKnobAtPointAngleOfType(QPointF point, double angle, int type) const;
    void drawRangeLimitKnobAtPositionOfType(double position, int type) const;

    // --- Hit testing and mouse editing --------------------------------------------------------
    int hitPart(QPointF point) const override;
    bool isWithinDistanceOfPoint(double distance, QPointF point) const override;
    // A gesture on one of the path's own parts: boundary and overlay knobs move their range end
    // along the path, adornments follow the pointer along it (and are selected at the press).
    // The release registers the whole drag as one undo step and answers its name.
    void mouseDownAtPointInPartEvent(QPointF point, int part, QMouseEvent* event) override;
    void mouseDraggedAtPointInPartEvent(QPointF point, int part, QMouseEvent* event) override;
    QString mouseUpAtPointInPartEvent(QPointF point, int part, QMouseEvent* event) override;
    // On a label: edits it in place.
    void mouseDoubleClickedAtPointInPartEvent(QPointF point, int part, QMouseEvent* event) override;

    // --- Copying and archiving ----------------------------------------------------------------
    void adoptStylesFrom(const VXDrawableObject& original) override;
    void encodeWithCoder(platform::KeyedArchiver& coder) const override;
    void initWithCoder(platform::KeyedUnarchiver& coder) override;

protected:
    void invalidateGeometryCaches() override;
    // A subclass that finishes its ends itself trims the stretches there, or has them fill
    // areas with their strokes. Nothing by default.
    virtual StretchEnds stretchEnds() const { return {}; }

private:
    struct StyleState {
        QList<ZQRangeDrawingStylePtr> styles;
        QList<ZQRangeDrawingStylePtr> overlays;
        QList<ZQRangeDrawingStylePtr> shims;
    };

    StyleState styleState() const { return {m_styles, m_overlays, m_shims}; }
    // The one way the range styles change: undo registered, shims refreshed, caches dropped.
    void changeStyleState(StyleState state);
    void applyStyleOverRange(const VXStylePtr& style, const QString& displayName, const ZQStyleRange& range);
    void insertOverlayForSpecialItem(ZQSpecialItemKind kind, ZQOverlayPlacement placement, const QString& actionName);
    void insertWidthChange(double factor, const QString& actionName);
    // The selection range, or the whole path when it is empty.
    ZQStyleRange targetRange() const;
    void syncObjectStyle();
    void setActionName(const QString& name) const;
    void performLabelCommand(const QByteArray& action, QObject* sender);

    std::shared_ptr<const MultiStyleDrawingList> drawingList() const;
    void dropDrawingList() const;

    RangeKnobs rangeKnobs() const;
    void dragRangeKnob(int part, double position);

    QVariantList selectedAdornmentsValue() const;
    void setSelectedAdornmentsValue(const QVariantList& value);
    QVariantList adornmentsValue() const;
    QVariantList stylesValue() const;

    QList<ZQRangeDrawingStylePtr> m_styles;
    QList<ZQRangeDrawingStylePtr> m_overlays;
    QList<ZQRangeDrawingStylePtr> m_shims;
    AdornmentCollection m_adornments{*this};
    ZQStyleRange m_selectionRange = ZQMakeAbsoluteStyleRange(0, 0);
    bool m_autoInsertsShims = true;
    int m_shimBlending;
    bool m_showsInlineStyleBoundaries = true;

    TextLabelFields m_labelFields;

    mutable QMutex m_drawingListLock;
    mutable std::shared_ptr<const MultiStyleDrawingList> m_drawingList;
    std::unique_ptr<PartDrag> m_drag;
};

Q_DECLARE_METATYPE(ZQMultiStylePathPtr)
