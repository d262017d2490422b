#pragma once

// The base of everything a drawing shows: geometry, a style that paints it, attributes
// (metadata), a name and the flags locked, visible and ghosted.
//
// Drawables know their geometry, not how they are painted: drawContent hands the object to
// its style, which renders renderingPath(). Subclasses keep their own geometry (a shape in
// a unit box, a path in drawing coordinates, a group of members) and override location,
// size, angle, renderingPath and the setters.
//
// Every setter goes through changeValueForKey: an unchanged value does nothing; geometry
// and style ignore changes while the object is locked; otherwise observers are told, the
// old value is registered for undo (the undo sets it back through key-value coding, so
// the same setter runs) and the area the object covers is redrawn. Geometry changes also
// clear the cached bounds and path and tell the container, which keeps its spatial index
// up to date.

#include "platform/foundation/KeyedUnarchiver.h"
#include "platform/foundation/ZQObject.h"
#include "platform/vantrix/drawables/VXRenderable.h"
#include "platform/vantrix/model/DrawableContainer.h"
#include "platform/vantrix/model/KeyValueUndo.h"
#include "platform/vantrix/model/MetadataContainer.h"
#include "platform/vantrix/styles/VXStyle.h"

#include <QColor>
#include <QPointer>
#include <cmath>
#include <functional>
#include <optional>

class QMimeData;
class QMouseEvent;
class VXDrawableObject;
namespace platform {
class Menu;
}
class VXDrawingView;
class VXShapeGroup;

using VXDrawableObjectPtr = std::shared_ptr<VXDrawableObject>;

// Part codes of hitPart: nothing, or the object as a whole; subclasses use positive codes.
inline constexpr int kVXDrawingNoPart = 0;
inline constexpr int kVXDrawingEntireObjectPart = -1;
// Codes from here up are an object's text labels: the selection tool hands presses and double
// clicks on them to the object whether or not it is selected.
inline constexpr int kVXFirstLabelPart = 256001;

inline const QString kVXDrawableObjectPasteboardType = QStringLiteral("application/x-quorvane.drawable-objects");

class VXDrawableObject : public ZQObject,
                         public VXRenderable,
                         public platform::MetadataContainer,
                         public VXRasterizerObserver {
    Q_OBJECT
    Q_PROPERTY(QPointF location READ location WRITE setLocation STORED false)
    Q_PROPERTY(double xLocation READ xLocation WRITE setXLocation STORED false)
    Q_PROPERTY(double yLocation READ yLocation WRITE setYLocation STORED false)
    Q_PROPERTY(QSizeF size READ size WRITE setSize STORED false)
    Q_PROPERTY(double width READ width WRITE setWidth STORED false)
    Q_PROPERTY(double height READ height WRITE setHeight STORED false)
    Q_PROPERTY(double angle READ angle WRITE setAngle STORED false)
    Q_PROPERTY(double angleInDegrees READ angleInDegrees WRITE setAngleInDegrees STORED false)
    Q_PROPERTY(QRectF bounds READ bounds STORED false)
    Q_PROPERTY(QRectF logicalBounds READ logicalBounds STORED false)
    Q_PROPERTY(VXStyle* style READ styleObject WRITE setStyleObject)
    Q_PROPERTY(bool locked READ locked WRITE setLocked)
    Q_PROPERTY(bool visible READ visible WRITE setVisible)
    Q_PROPERTY(bool ghosted READ ghosted WRITE setGhosted)
    Q_PROPERTY(bool aspectRatioLocked READ aspectRatioLocked WRITE setAspectRatioLocked)
    Q_PROPERTY(QString name READ name WRITE setName)
    Q_PROPERTY(QString uniqueKey READ uniqueKey STORED false)
    Q_PROPERTY(QString displayName READ displayName STORED false)
    Q_PROPERTY(QString userDescription READ userDescription STORED false)
    Q_PROPERTY(double area READ area STORED false)
    Q_PROPERTY(double areaInBaseUnits READ areaInBaseUnits STORED false)
    Q_PROPERTY(QString areaUnits READ areaUnits STORED false)
    Q_PROPERTY(QPointF centroid READ centroid STORED false)
    Q_PROPERTY(QPointF centroidInBaseUnits READ centroidInBaseUnits STORED false)
    Q_PROPERTY(double searchableXLocation READ searchableXLocation STORED false)
    Q_PROPERTY(double searchableYLocation READ searchableYLocation STORED false)
    Q_PROPERTY(double searchableWidth READ searchableWidth STORED false)
    Q_PROPERTY(double searchableHeight READ searchableHeight STORED false)
    // No value (not an empty text) for an object without a style.
    Q_PROPERTY(QVariant searchableString READ searchableStringValue STORED false)
    Q_PROPERTY(QImage icon READ icon STORED false)
    Q_CLASSINFO("displayName", "Object")

public:
    VXDrawableObject();
    ~VXDrawableObject() override;

    // --- Place in the drawing ---------------------------------------------------------
    // The layer, group or other container holding the object; null when free.
    QObject* container() const { return m_container; }
    // Where the spatial index of the layer holding the object filed it. The index's own record,
    // kept with the object so that filing a million objects needs no table beside them.
    struct IndexFiling {
        quint64 index = 0; // the identity of the index that filed the object; 0 for none
        quint32 grid = 0;
        quint32 cell = 0;
        quint32 slot = 0;
    };
    IndexFiling& indexFiling() { return m_indexFiling; }
    // Called by containers; a container must implement platform::DrawableContainer.
    virtual void setContainer(QObject* container);
    VXObjectOwnerLayer* layer() const;
    VXDrawing* drawing() const;
    ZQUndoManager* undoManager() const;
    bool isSelected() const;
    bool isPendingObject() const;

    // --- Style ------------------------------------------------------------------------
    // The style the object is drawn with (symbols answer their master's).
    virtual VXStylePtr style() const { return m_style; }
    virtual void setStyle(const VXStylePtr& style);
    // The styles this object draws with (groups gather their members').
    virtual QList<VXStylePtr> allStyles() const;
    // Whether `style` is among allStyles(), without building the list: asked of every object
    // of a map. A class that overrides allStyles() overrides this to agree with it.
    virtual bool usesStyle(const VXStyle& style) const { return m_style.get() == &style; }
    // Replaces every use of a style in `replacements` (old -> new), members included.
    virtual void replaceStyles(const QHash<const VXStyle*, VXStylePtr>& replacements);
    // The component trees this object draws with itself: its style (subclasses add their
    // own; a group's members observe theirs). The object observes them, so it hears of
    // their changes and lends them its document's undo manager.
    virtual QList<VXRasterizerPtr> observedRasterizers() const;
    // A style or other component this object draws with changed (`style` is null for a
    // component in no style): its bounds may have too.
    virtual void styleDidChange(const VXStyle* style);

    // --- Flags and naming -------------------------------------------------------------
    bool locked() const { return m_locked; }
    void setLocked(bool locked);
    bool visible() const { return m_visible; }
    void setVisible(bool visible);
    // Drawn as a faint outline instead of its style.
    bool ghosted() const { return m_ghosted; }
    void setGhosted(bool ghosted);
    bool aspectRatioLocked() const { return m_aspectRatioLocked; }
    void setAspectRatioLocked(bool locked);
    virtual QString name() const { return m_name; }
    virtual void setName(const QString& name);
    // `flag` true marks the name as the user's, so automatic naming leaves it alone.
    void assignUserNameWithFlag(const QString& name, bool flag);
    bool hasUserAssignedName() const { return m_userAssignedName; }
    // The name when there is one, else the display name.
    virtual QString userDescription() const;
    // The class's user-visible name ("Shape", "Path"...); subclasses of other kinds override.
    virtual QString displayName() const;
    static QString displayNameForClass(const QMetaObject* objClass);
    // The one-line info inspectors show under the name: the display name here.
    Q_INVOKABLE virtual QString auxiliaryInfoString() const { return displayName(); }
    // Whether the object may be an operand of the layer's boolean operations: objects with an
    // outline may; map objects that draw themselves another way answer no.
    Q_INVOKABLE virtual bool canPerformBooleanOperation(bool asking) const;
    // A key that tells this object apart from every other, made on first use.
    QString uniqueKey() const;

    static QColor ghostColour();
    static void setGhostColour(const QColor& colour);
    static bool displaysSizeInfoWhenDragging();
    // Key paths inspectors observe on every drawable.
    static QStringList observableKeyPaths();

    // --- Geometry (VXRenderable) -------------------------------------------------------
    QPointF location() const override { return {}; }
    virtual void setLocation(QPointF location);
    double xLocation() const { return location().x(); }
    void setXLocation(double x) { setLocation({x, location().y()}); }
    double yLocation() const { return location().y(); }
    void setYLocation(double y) { setLocation({location().x(), y}); }
    double angle() const override { return 0; }
    virtual void setAngle(double radians);
    double angleInDegrees() const;
    void setAngleInDegrees(double degrees);
    QSizeF size() const override { return {0, 0}; }
    virtual void setSize(QSizeF size);
    double width() const { return size().width(); }
    void setWidth(double width);
    double height() const { return size().height(); }
    void setHeight(double height);
    // The path bounds outset by the style's extra space; cached until the geometry or style changes.
    QRectF bounds() const override;
    // The bounds of the rendering path alone.
    virtual QRectF logicalBounds() const;
    platform::BezierPath renderingPath() const override { return {}; }
    // Maps the object's own coordinates to its container's (a shape's unit box to the layer).
    virtual QTransform transform() const { return {}; }
    QTransform containerTransform() const override;
    // The transform applied to members (groups); identity for others.
    virtual QTransform renderingTransform() const { return {}; }
    quint64 geometryChecksum() const override { return m_geometryChecksum; }
    QVariant metadataObjectForKey(const QString& key) const override;

    virtual void resizeWidthByHeightBy(double xFactor, double yFactor);
    virtual void rotateByAngle(double radians);
    // Applies `transform` to the geometry for good (moving, flipping, ungrouping).
    virtual void applyTransform(const QTransform& transform);
    // Hands `test` every point a translation moves by adding its offset and answers whether it
    // held for all of them, when that sum is the whole of what a translation changes; false when
    // a translation does more (parameters, labels, connected ends follow), the default.
    virtual bool everyTranslatedPoint(const std::function<bool(QPointF)>& test) const { return false; }
    // The container's rendering transform changed (a group moved): cached geometry goes.
    virtual void containerTransformDidChange() { invalidateGeometryCaches(); }

    // --- User info ------------------------------------------------------------------------
    // Values a program keeps on an object for its own bookkeeping (the record an import made
    // it from): property-list values, archived and copied with the object, not undoable and
    // not observed, so they can be set on objects made off the main thread.
    const QVariantMap& userInfo() const { return m_userInfo; }
    QVariant userInfoObjectForKey(const QString& key) const { return m_userInfo.value(key); }
    // An invalid value removes the key; a value that is not a property-list value is refused.
    Q_INVOKABLE void setUserInfoObjectForKey(const QVariant& object, const QString& key);

    // --- Change notification ------------------------------------------------------------
    // Redraws the area the object covers now.
    void notifyVisualChange();
    void announceVisualChange();
    // The geometry (or anything else that moves the bounds) changed: caches go, the
    // container re-indexes the object, the old and new areas redraw.
    void notifyGeometryChange(const QRectF& oldBounds);
    void setNeedsDisplayInRect(const QRectF& rect) const;
    // Hands `redraw` what a move from one area to another must repaint: one rectangle while the
    // two overlap (each step of a drag), both otherwise.
    template <class Redraw> static void redrawMove(const QRectF& from, const QRectF& to, Redraw&& redraw)
    {
        if (from.intersects(to)) {
            redraw(from.united(to));
        } else {
            redraw(from);
            redraw(to);
        }
    }

    // --- Drawing (into GraphicsContext::current()) -------------------------------------
    virtual void drawContent() const;
    // Knobs of objects smaller than a pixel may be held back to be drawn later: an override
    // that draws marks of its own flushes them first (KnobStampBatch::flushCurrent), so that
    // the knobs of objects drawn before stay under its marks.
    virtual void drawSelectedState() const;
    // Fills the caches drawContent would fill (bounds, rendering path), so that several threads
    // may draw the object at once; subclasses with caches of their own add them.
    virtual void prepareToDraw() const;
    void drawContentWithSelectedState(bool selected) const;
    // Called between drawing every object's content and drawing the selection; empty here.
    virtual void drawTextLabelsInView(VXDrawingView* view) const {}
    // The object alone on its bounds.
    QByteArray pdf() const;
    virtual QImage swatchImageWithSize(QSizeF size) const;
    // The object drawn small, as lists of objects show it. Every change of what the object
    // looks like is announced under the key "visual_change" (no value), so whoever shows the
    // icon knows when to draw it again.
    QImage icon() const;
    static constexpr double kIconSide = 24.0;
    // Zooms the view showing the object's drawing onto the object.
    Q_INVOKABLE void zoomViewToObject();

    // --- Hit testing ----------------------------------------------------------------------
    // kVXDrawingNoPart, kVXDrawingEntireObjectPart or a subclass's part code.
    virtual int hitPart(QPointF point) const;
    bool hitTest(QPointF point) const { return hitPart(point) != kVXDrawingNoPart; }
    // Whether the object's drawn shape meets the rectangle (marquee selection).
    virtual bool intersectsRect(const QRectF& rect) const;
    // Points nearer than this to a stroke hit it, whatever the stroke's width.
    static constexpr double kHitTolerance = 2.0;
    // Whether the selection tool shows and hits the bounds and rotation knobs of the object;
    // objects with handles of their own answer false.
    virtual bool hasStandardKnobs() const { return true; }
    // Whether `point` lies inside the drawn shape (when filled) or within `distance` of its outline.
    virtual bool isWithinDistanceOfPoint(double distance, QPointF point) const;

    // --- Gestures on the object's own parts ------------------------------------------------
    // The selection tool hands a press on a selected object's own part (a hitPart code other
    // than the whole object; label parts also on objects not yet selected), then the drags
    // and the release, to the object. The release answers the undo action name of the change
    // made; empty when nothing changed.
    virtual void mouseDownAtPointInPartEvent(QPointF point, int part, QMouseEvent* event) {}
    virtual void mouseDraggedAtPointInPartEvent(QPointF point, int part, QMouseEvent* event) {}
    virtual QString mouseUpAtPointInPartEvent(QPointF point, int part, QMouseEvent* event) { return {}; }
    // A double click on a label part, told once its gesture has ended (so an editor it opens
    // keeps the focus); `point` is where the double click was.
    virtual void mouseDoubleClickedAtPointInPartEvent(QPointF point, int part, QMouseEvent* event) {}

    // --- Lifecycle hooks ------------------------------------------------------------------
    virtual void objectWasAddedToLayer(VXObjectOwnerLayer* layer);
    virtual void objectWasRemovedFromLayer(VXObjectOwnerLayer* layer) {}
    virtual void objectDidBecomeSelected() {}
    virtual void objectIsNoLongerSelected() {}
    // Called on each member as its group dissolves; `transform` maps it into the group's container.
    virtual void groupWillUngroupObjectWithTransform(VXShapeGroup* group, const QTransform& transform);
    // Called before the object takes `original`'s place in `layer` (a conversion into another
    // kind), so it can carry over what the original holds beyond its geometry and style.
    virtual void willBeAddedAsSubstituteForToLayer(const VXDrawableObject& original, VXObjectOwnerLayer* layer) {}
    // What is selected inside the object (its labels, say); none by default.
    virtual QList<ZQObjectPtr> subSelection() const { return {}; }

    // --- Commands ----------------------------------------------------------------------------
    // The map view passes a menu command to every selected object; objects answering the same
    // key for it share one receiver (a symbol's numbering sequence), so it reaches the first.
    virtual const void* sharedReceiverKeyForAction(const QByteArray&) const { return nullptr; }
    // Whether objects of `objectClass` may pass commands on to parts of their own (labels): a
    // drawable class that overrides forwardingTargetsForSelector says so with the class info
    // kForwardsCommandsToPartsInfo, so that only its objects are asked where commands go.
    static constexpr const char* kForwardsCommandsToPartsInfo = "forwardsCommandsToParts";
    static bool classForwardsCommandsToParts(const QMetaObject* objectClass);

    // --- Context menu ------------------------------------------------------------------------
    // Adds the object's items for a context click at `point` (drawing coordinates); answers
    // whether it added any. The base adds Cut, Copy and Delete, sent along the responder chain.
    virtual bool populateContextualMenuAtPoint(platform::Menu* menu, QPointF point);
    // Items later libraries add to the menus of objects they do not own (a command on plain
    // paths): each extension runs after the object's own items and adds what fits the object.
    using ContextualMenuExtension = std::function<void(VXDrawableObject& object, platform::Menu& menu, QPointF point)>;
    static void addContextualMenuExtension(ContextualMenuExtension extension);
    // The object's items followed by the extensions'; answers whether the menu holds any.
    bool populateExtendedContextualMenuAtPoint(platform::Menu& menu, QPointF point);

    // --- Symbols ------------------------------------------------------------------------------
    // Whether the object may become the graphic of a new symbol master; placed symbols and
    // tracks may not, groups only when every member may.
    virtual bool canBeConvertedToSymbol() const { return true; }
    // Builds the object anew from its parts where it has any; answers the object that stands for it.
    virtual VXDrawableObjectPtr recompose();
    // The grid reference of the location; plain drawables have none.
    virtual ZQObjectPtr locationAsGridReferenceWithPrecision(int precision) const;
    ZQObjectPtr locationAsGridReference() const { return locationAsGridReferenceWithPrecision(6); }
    // The reference as text; empty without one.
    QString locationAsGridReferenceString() const;

    // --- Area and centroid (drawing units) -------------------------------------------------
    double areaInBaseUnits() const;
    double area() const;
    QString areaUnits() const;
    QPointF centroidInBaseUnits() const;
    QPointF centroid() const;

    // --- Searching (drawing units) ------------------------------------------------------------
    // The location and size converted by the drawing; as they are without one.
    double searchableXLocation() const;
    double searchableYLocation() const;
    double searchableWidth() const;
    double searchableHeight() const;
    // The texts the style draws for the object, each followed by a blank, then a blank and the
    // attributes' texts joined by blanks; none without a style.
    virtual QString searchableString() const;
    // The attributes' values as text, in key order; values without text are left out.
    QStringList searchableStringsFromMetadata() const;

    // --- Key-value coding -----------------------------------------------------------------
    // Unknown keys are attributes: their value, or the null marker when absent.
    QVariant valueForUndefinedKey(const QString& key) const override;
    void setValueForUndefinedKey(const QVariant& value, const QString& key) override;
    QStringList keyPathsForValuesAffectingValueForKey(const QString& key) const override;

    // --- Pasteboard and copying -------------------------------------------------------------
    static void writeObjectsToPasteboard(const QList<VXDrawableObjectPtr>& objects, QMimeData* pasteboard);
    // Whether objects decoded from the pasteboard keep their originals' unique keys, or are new
    // objects that make keys of their own (a paste).
    enum class Identity { Originals, New };
    // The objects on the pasteboard, fresh copies; empty when there are none or they are damaged.
    static QList<VXDrawableObjectPtr> nativeObjectsFromPasteboard(
        const QMimeData* pasteboard, platform::KeyedUnarchiver::Origin origin = platform::KeyedUnarchiver::Origin::Anyone,
        Identity identity = Identity::Originals);
    // The same from the pasteboard type's bytes, read once.
    static QList<VXDrawableObjectPtr> nativeObjectsFromPasteboardData(const QByteArray& data,
                                                                      platform::KeyedUnarchiver::Origin origin,
                                                                      Identity identity);
    // About what the heap gives writing an archive of `count` objects, and decoding one of
    // `bytes` (short lines take 4.7 times their archive): what a copy, a paste or an opening
    // grows it ahead by.
    static qint64 heapBytesToArchive(qsizetype count) { return qint64(count) * 1024; }
    static qint64 heapBytesToDecode(qsizetype bytes) { return qint64(bytes) * 5; }
    // A deep copy outside any container that shares this object's styles, with a new unique key.
    std::shared_ptr<ZQObject> copy() const override;
    VXDrawableObjectPtr copyDrawable() const;
    // Copies of each of `objects`, as copyDrawable makes them, through one archive for them all.
    static QList<VXDrawableObjectPtr> copyDrawables(const QList<VXDrawableObjectPtr>& objects);
    // Makes a copy decoded from `original`'s copying archive share its styles again (groups
    // recurse), and whatever else a subclass leaves out of such archives to share by reference.
    virtual void adoptStylesFrom(const VXDrawableObject& original);

    void encodeWithCoder(platform::KeyedArchiver& coder) const override;
    void initWithCoder(platform::KeyedUnarchiver& coder) override;

protected:
    enum class Change {
        State,      // flags and names: redraw, allowed while locked
        Appearance, // style: not while locked; bounds may change
        Geometry,   // not while locked; caches cleared, container told
    };

    // The one setter behind every key (see the top of this file). Answers whether it changed.
    template <class T>
    bool changeValueForKey(T& field, const T& value, const char* key, Change change)
    {
        if constexpr (std::is_floating_point_v<T>) {
            if (!std::isfinite(value))
                return false;
        }
        if (field == value || (m_locked && change != Change::State))
            return false;
        // A container that redraws for its members needs no measure of where they were.
        const QRectF oldBounds = change != Change::State && redrawnByContainer() ? QRectF() : bounds();
        const QString& keyName = platform::keyNamed(key);
        platform::registerUndoForChange(undoManager(), *this, keyName, field);
        if (change == Change::State)
            setNeedsDisplayInRect(oldBounds); // while still visible: hiding redraws nothing after
        announceChangeForKey(keyName, [&] {
            field = value;
            if (change != Change::State)
                invalidateGeometryCaches();
        });
        if (change != Change::State)
            spreadGeometryChange(oldBounds); // the caches went with the old value
        else
            notifyVisualChange();
        return true;
    }

    // Drops cached bounds (and subclasses' cached paths) and moves the geometry checksum on.
    virtual void invalidateGeometryCaches();
    // notifyGeometryChange after the caches are gone: the container, the redraw, the observers.
    void spreadGeometryChange(const QRectF& oldBounds);
    // Whether the style shapes the object's own geometry; when not, a style change keeps the
    // cached paths and drops only the bounds (a shared style's change then rebuilds no path).
    virtual bool geometryFollowsStyle() const { return true; }
    // The cached bounds, for subclasses that compute bounds their own way.
    std::optional<QRectF>& cachedBounds() const { return m_cachedBounds; }
    // The style's outset around the path bounds.
    QSizeF styleExtraSpace() const;
    platform::DrawableContainer* containerInterface() const;
    bool redrawnByContainer() const;

    // MetadataContainer
    ZQObject* metadataOwner() override { return this; }
    ZQUndoManager* metadataUndoManager() const override { return undoManager(); }
    void metadataDidChangeForKey(const QString& key) override;

    // Observes what observedRasterizers() answers now; call after changing what it answers.
    void updateRasterizerObservation();
    // VXRasterizerObserver: the bounds cached before a change are the area to redraw after it.
    void rasterizerWillChangeKeyPath(VXRasterizer*, const QString&) override { bounds(); }
    void rasterizerDidChangeKeyPath(VXRasterizer* rasterizer, const QString&) override { styleDidChange(rasterizer->style()); }
    ZQUndoManager* undoManagerForRasterizerChanges() const override { return undoManager(); }
    // The destructor ends every observation.
    bool stopsObservingBeforeDestruction() const override { return true; }

private:
    VXStyle* styleObject() const { return style().get(); }
    QVariant searchableStringValue() const;
    void setStyleObject(VXStyle* style);

    QPointer<QObject> m_container;
    platform::DrawableContainer* m_containerInterface = nullptr;
    VXStylePtr m_style;
    QList<VXRasterizerPtr> m_observedRasterizers;
    QString m_name;
    mutable QString m_uniqueKey;
    QVariantMap m_userInfo;
    bool m_locked = false;
    bool m_visible = true;
    bool m_ghosted = false;
    bool m_aspectRatioLocked = false;
    bool m_userAssignedName = false;
    quint64 m_geometryChecksum;
    mutable std::optional<QRectF> m_cachedBounds;
    IndexFiling m_indexFiling;
};

Q_DECLARE_METATYPE(VXDrawableObjectPtr)
