#pragma once

// One placed instance of a symbol master on a map: it holds only its own placement, an
// optional local style, its text labels, its place in a numbering sequence and a switch for
// data transformers, and draws the master's graphic through that placement. Editing the
// master changes every instance at once; the master tells its instances before and after.
//
// This class is what the rest of the program calls (properties, actions found by name,
// archive keys); each of its jobs is a part of its own:
//   SymbolMasterLink          the master, the client slot and the measured master rectangle
//   SymbolPlacement           location, angle, scale and switches; transform maths
//   PlacedSymbolGraphic       drawing, the selection outline and knobs, hit testing
//   SymbolSequenceMembership  the sequence and numbers: joining, leaving, numbering, moves and
//                             sequence menu validation
//   SymbolCommands            the menu commands, the context menu and their validation
//   SymbolLabels              where labels sit round the symbol and what new ones start as
//   SymbolValueValidator      values offered for "style", "scaleFactor", "angle", "labelAttributes"
//   SymbolLabelDefaults       the text style new symbol labels start with
//   SymbolArchiveRecord       the "VXQSymbol_*" archive keys
//
// Part codes: 0 nothing, -1 the graphic, 128 the size handle (when shown), and
// kVXQTextLabelPartBase + a label's local code. Locked symbols ignore edits and commands. A
// symbol read from any archive takes the class's scaleVisually and size handle and ignores
// data transformers. A copy shares the original's master object and keeps its scale and
// switches as they are.

#include "app/services/PickTargets.h"
#include "platform/vantrix/drawables/VXDrawableObject.h"
#include "platform/vantrix/model/DrawableContainer.h"
#include "symbols/labels/DrawableTextLabelContainer.h"
#include "symbols/labels/VXQTextBlockLabel.h"
#include "symbols/masters/VXQSymbolMaster.h"
#include "symbols/masters/VXQSymbolMasterClient.h"
#include "symbols/placed/SymbolCommands.h"
#include "symbols/placed/SymbolLabelDefaults.h"
#include "symbols/placed/SymbolLabels.h"
#include "symbols/placed/SymbolMasterLink.h"
#include "symbols/placed/SymbolPlacement.h"
#include "symbols/placed/SymbolSequenceMembership.h"
#include "symbols/placed/SymbolValueValidator.h"
#include "symbols/sequences/VXQSymbolSequence.h"
#include "symbols/transformers/OutputProperties.h"


namespace platform {
class Menu;
class MenuItem;
class Pasteboard;
} // namespace platform

class VXQSymbol;
using VXQSymbolPtr = std::shared_ptr<VXQSymbol>;

inline const QString kVXQSymbolMasterWasReplacedNotification = QStringLiteral("kVXQSymbolMasterWasReplacedNotification");
inline const QString kSymbolsDefaultScaleVisually = QStringLiteral("kSymbolsDefaultScaleVisually");

class VXQSymbol : public VXDrawableObject,
                  public platform::DrawableContainer,
                  public DrawableTextLabelContainer,
                  public VXQSymbolMasterClient,
                  public SymbolMasterTarget {
    Q_OBJECT
    Q_PROPERTY(QPointF location READ location WRITE setLocation)
    Q_PROPERTY(double angle READ angle WRITE setAngle)
    Q_PROPERTY(double scaleFactor READ scaleFactor WRITE setScaleFactor)
    Q_PROPERTY(bool objectAngleIsAbsolute READ objectAngleIsAbsolute WRITE setObjectAngleIsAbsolute)
    Q_PROPERTY(bool usesLocalStyle READ usesLocalStyle WRITE setUsesLocalStyle)
    Q_PROPERTY(bool ignoresDataTransformers READ ignoresDataTransformers WRITE setIgnoresDataTransformers)
    Q_PROPERTY(QString masterName READ masterName STORED false)
    Q_PROPERTY(VXQSymbolSequence* sequence READ sequence WRITE setSequence STORED false)
    Q_PROPERTY(qint64 positionInSequence READ positionInSequence WRITE setPositionInSequence STORED false)
    Q_CLASSINFO("displayName", "Symbol")
    Q_CLASSINFO("forwardsCommandsToParts", "labels")
    // Data-transformer outputs: accepted bin data types (0 style, 1 colour, 2 image, 3 text,
    // 4 value, 5 font) and display names.
    Q_CLASSINFO("acceptableTypesForScaleFactor", "4")
    Q_CLASSINFO("displayNameForScaleFactor", "Scale Factor")
    Q_CLASSINFO("acceptableTypesForStyle", "0 1 2 3 4")
    Q_CLASSINFO("displayNameForStyle", "Style")
    Q_CLASSINFO("acceptableTypesForAngle", "4")
    Q_CLASSINFO("displayNameForAngle", "Angle")
    Q_CLASSINFO("acceptableTypesForLabelAttributes", "0 1 3 4 5")
    Q_CLASSINFO("displayNameForLabelAttributes", "Label Style")

public:
    // Part code of the size handle.
    static constexpr int kSizeHandlePart = 128;
    // Scale factors the setter stores.
    static constexpr double kMinimumScaleFactor = SymbolPlacement::kMinimumScaleFactor;
    static constexpr double kMaximumScaleFactor = SymbolPlacement::kMaximumScaleFactor;

    VXQSymbol();
    ~VXQSymbol() override;

    // A symbol of `master` at the origin, at the master's prescale.
    static VXQSymbolPtr symbolWithMaster(const VXQSymbolMasterPtr& master);
    // `master` must be given.
    void initWithMaster(const VXQSymbolMasterPtr& master);

    // --- Class settings ----------------------------------------------------------------------
    // Whether new symbols show the size handle (process-wide; off until set).
    static bool defaultSizeHandleVisible();
    static void setDefaultSizeHandleVisible(bool visible);
    // The user default "kSymbolsDefaultScaleVisually".
    static bool defaultSymbolsScaleVisually();
    static void setDefaultSymbolsScaleVisually(bool scales);
    static QStringList observableKeyPaths();
    // The master types a symbol accepts from a drag or the pasteboard, and colours.
    static QStringList pasteboardTypesForOperation(int operation);

    // --- The master ----------------------------------------------------------------------------
    const VXQSymbolMasterPtr& master() const { return m_link.master(); }
    // Undoable. Another master gives the symbol its attribute template and a copy of its
    // graphic's labels; the symbol's own style is dropped. Ignored while locked. The symbol
    // then moves into its layer's sequence for the master (when `creatingSequenceIfNeeded`).
    Q_INVOKABLE void setMaster(const VXQSymbolMasterPtr& master) { setMasterCreatingSequenceIfNeeded(master, true); }
    void applySymbolMaster(const ZQObjectPtr& master) override;
    void setMasterCreatingSequenceIfNeeded(const VXQSymbolMasterPtr& master, bool creatingSequenceIfNeeded);
    QString masterName() const;
    VXDrawableObjectPtr masterObject() const;
    // A free copy of the master's graphic carrying the master's attribute template.
    VXDrawableObjectPtr mutableCopyOfMasterObject() const { return m_link.mutableCopyOfGraphic(); }
    // That copy as the symbol shows it, turned (unless the angle is absolute) and scaled about
    // the graphic's own location.
    VXDrawableObjectPtr placedCopyOfMasterObject() const;

    // --- Placement -------------------------------------------------------------------------------
    QPointF location() const override { return m_placement.location; }
    void setLocation(QPointF location) override;
    double angle() const override { return m_placement.angle; }
    void setAngle(double radians) override;
    double scaleFactor() const { return m_placement.scaleFactor; }
    // Clamped to 0.1...10; non-finite values are refused. Named "Scale Symbol".
    void setScaleFactor(double scaleFactor);
    bool scalesVisually() const { return m_placement.scaleVisually; }
    bool objectAngleIsAbsolute() const { return m_placement.absoluteAngle; }
    void setObjectAngleIsAbsolute(bool absolute);
    bool showsSizeHandle() const { return m_placement.showSizeHandle; }
    // Translate, scale, rotate: the master graphic's coordinates to the container's.
    QTransform localTransform() const { return m_placement.localTransform(); }
    // The master graphic's coordinates to the drawing's.
    QTransform placementTransform() const { return localTransform() * containerTransform(); }
    // The master graphic's rectangle without labels, from its origin (cached).
    QRectF cachedMasterBounds() const { return m_link.masterBounds(); }
    QSizeF size() const override;
    QRectF bounds() const override;
    // The placed master rectangle with the labels, no outset.
    QRectF logicalBounds() const override;
    platform::BezierPath renderingPath() const override;
    // Both sides above 0.
    bool objectIsValid() const;
    // Moves, turns and scales as the transform does: uniformly, by its smaller scale along the
    // axes. A transform that flattens is refused.
    void applyTransform(const QTransform& transform) override;

    // --- Style -------------------------------------------------------------------------------------
    // The symbol's own style while it uses one, else the master graphic's.
    VXStylePtr style() const override;
    // Taken only while the symbol uses a local style.
    void setStyle(const VXStylePtr& style) override;
    QList<VXStylePtr> allStyles() const override;
    bool usesStyle(const VXStyle& style) const override;
    bool usesLocalStyle() const { return m_useLocalStyle; }
    // Switching on gives the symbol a copy of the master graphic's style; refused for group masters.
    void setUsesLocalStyle(bool uses);
    // The style drawing lends the master's graphic: the local one, else none.
    VXStylePtr lentStyle() const { return m_useLocalStyle ? VXDrawableObject::style() : nullptr; }

    // --- Sequencing (see SymbolSequenceMembership) -----------------------------------------------
    // The layer's sequence for the master numbers the symbol while the master is sequenceable.
    // Joining a layer, changing master or becoming sequenceable puts it there; leaving the
    // layer takes it out.
    VXQSymbolSequence* sequence() const { return m_membership.sequence(); }
    void setSequence(VXQSymbolSequence* sequence) { m_membership.join(sequence); }
    void loadSequenceNumber() { m_membership.loadNumber(); }
    void adjustSequence(VXQSymbolSequence* previous) { m_membership.adjust(previous); }
    Q_INVOKABLE VXQSymbolSequence* makeSequencable() { return m_membership.makeSequenceable(); }
    void makeUnsequencable() { m_membership.makeUnsequenceable(); }
    // The number the sequence gives; without a sequence the last one loaded.
    qint64 positionInSequence() const { return m_membership.position(); }
    // Moves the symbol to that number, kept within the sequence's numbers.
    void setPositionInSequence(qint64 position) { m_membership.moveTo(position); }
    void notePriorPositionInSequence() { m_membership.notePriorPosition(); }
    qint64 priorPositionInSequence() const { return m_membership.priorPosition(); }

    // --- Data transformers ------------------------------------------------------------------------
    // The properties transformers may write: "scaleFactor", "style", "angle", "labelAttributes".
    static QStringList availableOutputProperties()
    {
        return {QStringLiteral("scaleFactor"), QStringLiteral("style"), QStringLiteral("angle"),
                QStringLiteral("labelAttributes")};
    }
    // Property -> the bin data types it accepts (numbers).
    static QVariantMap acceptableTypesForOutputProperties()
    {
        return outputproperties::acceptableTypesForProperties(staticMetaObject, availableOutputProperties());
    }
    // Display name -> property.
    static QVariantMap displayNamesForOutputProperties()
    {
        return outputproperties::displayNamesForProperties(staticMetaObject, availableOutputProperties());
    }
    // Empty for a property without one.
    static QString displayNameForProperty(const QString& property)
    {
        return outputproperties::displayNameForProperty(staticMetaObject, property);
    }
    bool ignoresDataTransformers() const { return m_ignoresTransformers; }
    void setIgnoresDataTransformers(bool ignores);
    void applyDataTransformations();

    // --- Naming -----------------------------------------------------------------------------------
    // The attribute "name" when set, else the master's name.
    QString name() const override;
    // Also kept as the attribute "name".
    void setName(const QString& name) override;
    QString userDescription() const override;
    // The symbol's own text, then its labels': Find finds a symbol by what its labels say.
    QString searchableString() const override { return searchableStringWithLabels(VXDrawableObject::searchableString()); }
    QStringList searchableStrings() const { return searchableStringsWithLabels(VXDrawableObject::searchableString()); }
    // The drawable's description and its master's.
    QString description() const override;

    // --- Drawing and hit testing ----------------------------------------------------------------------
    void drawContent() const override;
    void drawSelectedState() const override;
    int hitPart(QPointF point) const override;
    // Where the size handle sits, in drawing coordinates.
    QPointF sizeHandlePoint() const;
    // The scale factor that puts the size handle at `point`; none for an empty master rectangle.
    std::optional<double> scaleFactorForSizeHandleAtPoint(QPointF point) const;
    bool hasStandardKnobs() const override { return false; }
    // A placed symbol never becomes a master's graphic itself.
    bool canBeConvertedToSymbol() const override { return false; }
    bool canPerformBooleanOperation(bool) const override { return false; }

    void mouseDownAtPointInPartEvent(QPointF point, int part, QMouseEvent* event) override;
    void mouseDraggedAtPointInPartEvent(QPointF point, int part, QMouseEvent* event) override;
    QString mouseUpAtPointInPartEvent(QPointF point, int part, QMouseEvent* event) override;
    void mouseDoubleClickedAtPointInPartEvent(QPointF point, int part, QMouseEvent* event) override;

    // --- Lifecycle ----------------------------------------------------------------------------------
    void objectWasAddedToLayer(VXObjectOwnerLayer* layer) override;
    void objectWasRemovedFromLayer(VXObjectOwnerLayer* layer) override;
    void objectDidBecomeSelected() override;
    void objectIsNoLongerSelected() override;
    // As applyTransform with the group's placement: the symbol keeps its place on the page.
    void groupWillUngroupObjectWithTransform(VXShapeGroup* group, const QTransform& transform) override;

    // --- Master client ---------------------------------------------------------------------------------
    void symbolMasterWillChange(VXQSymbolMaster* master) override;
    void symbolMasterDidChange(VXQSymbolMaster* master) override;
    quint64 symbolMasterClientIndex() const override { return m_link.clientIndex(); }
    void setSymbolMasterClientIndex(quint64 index) override { m_link.setClientIndex(index); }

    // --- Container of the master's graphic while it draws ------------------------------------------------
    VXObjectOwnerLayer* layer() const override { return VXDrawableObject::layer(); }
    VXDrawing* drawing() const override { return VXDrawableObject::drawing(); }
    ZQUndoManager* undoManager() const override { return VXDrawableObject::undoManager(); }
    // Identity with scaleVisually (the context holds the placement), else the placement.
    QTransform renderingTransform() const override;
    void objectDidChangeBoundsFrom(VXDrawableObject*, const QRectF&) override {}
    void setNeedsDisplayInRect(const QRectF& rect) override { VXDrawableObject::setNeedsDisplayInRect(rect); }
    QVariant metadataObjectForKey(const QString& key) const override;

    // --- VXQTextLabelContainer ------------------------------------------------------------------------
    // Declared by both bases: the layer's label pass and the label protocol draw the same.
    void drawTextLabelsInView(VXDrawingView* view) const override { DrawableTextLabelContainer::drawTextLabelsInView(view); }
    // Asked by the track that carries the object.
    Q_INVOKABLE bool hasTextLabels() const { return !textLabels().isEmpty(); }
    bool locked() const override { return VXDrawableObject::locked(); }
    void setLocked(bool locked) override { VXDrawableObject::setLocked(locked); }
    // No undo; the symbol redraws and re-measures for its new labels.
    void setTextLabels(const QList<VXQTextLabelPtr>& labels) override;
    QRectF boundsIgnoringLabels() const override;
    std::optional<QPointF> referencePointForLabel(const VXQTextLabel&) const override;
    // Where labels sit round the symbol and what new ones start as (see SymbolLabels).
    double labelOffsetRadiusForLabel(const VXQTextLabel& label) const override
    {
        return SymbolLabels::offsetRadius(size(), label);
    }
    int placementForLabelDraggedToPoint(const VXQTextLabel& label, QPointF point) const override
    {
        return SymbolLabels::placementForDraggedLabel(*referencePointForLabel(label), labelOffsetRadiusForLabel(label),
                                                      point);
    }
    VXTextAdornmentPtr templateAdornmentForNewLabels() const override
    {
        return SymbolLabels::templateAdornment(style(), master() && master()->isGroupObject() ? masterObject() : nullptr);
    }

    // The text style new symbol labels start with (SymbolLabelDefaults).
    static QVariantMap defaultSymbolLabelAttributes() { return SymbolLabelDefaults::attributes(); }
    static void setDefaultSymbolLabelAttributes(const QVariantMap& attributes) { SymbolLabelDefaults::setAttributes(attributes); }
    static platform::AttributedString defaultSymbolLabelText() { return SymbolLabelDefaults::text(); }

    // The data-transformer output "labelAttributes": a style's text attributes go to every
    // label; other values are ignored.
    Q_INVOKABLE void setLabelAttributes(const QVariant& value);
    bool validateLabelAttributesError(QVariant& value, QuorvaneError* error) const
    {
        return SymbolValueValidator::validateLabelAttributes(value, error);
    }
    QList<QObject*> forwardingTargetsForSelector(const QByteArray&) const override { return m_labels.forwardingTargets(); }

    // --- Key-value observing -----------------------------------------------------------------------------
    // "size" follows the scale and the master's graphic; an unnamed symbol's "name" follows its
    // master's. Every edit of the master, and a new master, is announced as a change of
    // "masterName" and "size", so what shows them follows without watching the master.
    QStringList keyPathsForValuesAffectingValueForKey(const QString& key) const override;

    // --- Key-value validation ----------------------------------------------------------------------------
    // "style", "scaleFactor", "angle" and "labelAttributes" as SymbolValueValidator says.
    bool validateValueForKeyError(QVariant& value, const QString& key, QuorvaneError* error) const override;
    bool validateStyleError(QVariant& value, QuorvaneError* error) const { return validator().validateStyle(value, error); }
    bool validateScaleFactorError(QVariant& value, QuorvaneError* error) const
    {
        return SymbolValueValidator::validateNumber(value, QStringLiteral("scaleFactor"), error);
    }
    bool validateAngleError(QVariant& value, QuorvaneError* error) const
    {
        return SymbolValueValidator::validateNumber(value, QStringLiteral("angle"), error);
    }

    // --- Commands (see SymbolCommands) -------------------------------------------------------------
    Q_INVOKABLE void detachSymbol(QObject* = nullptr) { m_commands.detach(); }
    Q_INVOKABLE void pickUpSymbol(QObject* = nullptr) { m_commands.pickUp(); }
    Q_INVOKABLE void scaleSymbolWithTagOfSender(QObject* sender) { m_commands.scaleToTagOf(sender); }
    Q_INVOKABLE void copySymbolMaster(QObject* = nullptr) { m_commands.copyMaster(); }
    Q_INVOKABLE void pasteSymbolMaster(QObject* = nullptr) { m_commands.pasteMaster(); }
    bool performDragOperation(const platform::Pasteboard& pasteboard) { return m_commands.dropMaster(pasteboard); }
    Q_INVOKABLE void revealMasterSymbol(QObject* = nullptr) { m_commands.revealMaster(); }
    Q_INVOKABLE void selectMatchingStyle(QObject* = nullptr) { m_commands.selectMatchingStyle(); }
    Q_INVOKABLE void renumberSequence(QObject* = nullptr) { m_commands.renumberSequence(); }
    Q_INVOKABLE void toggleAutoRenumbering(QObject* = nullptr) { m_commands.toggleAutoRenumbering(); }
    Q_INVOKABLE void setSequenceKindAction(QObject* sender) { m_commands.setSequenceKind(sender); }
    Q_INVOKABLE void moveForwardInSequence(QObject* sender = nullptr) { moveInSequence(Move::Forward, sender); }
    Q_INVOKABLE void moveBackwardInSequence(QObject* sender = nullptr) { moveInSequence(Move::Backward, sender); }
    Q_INVOKABLE void moveToStartOfSequence(QObject* sender = nullptr) { moveInSequence(Move::ToStart, sender); }
    Q_INVOKABLE void moveToEndOfSequence(QObject* sender = nullptr) { moveInSequence(Move::ToEnd, sender); }
    Q_INVOKABLE void insertKeyTable(QObject* = nullptr) { m_commands.insertKeyTable(); }
    Q_INVOKABLE void copyDrawingStyle(QObject* = nullptr) { m_commands.copyDrawingStyle(); }
    // A label north-east of the symbol in the template's text ("New Label"). The lock is left to
    // menu validation, as for pasting and deleting.
    Q_INVOKABLE void newTextLabel(QObject* = nullptr) { newTextLabelWithPlacement(VXQTextBlockLabel::kNorthEast); }
    Q_INVOKABLE void pasteLabel(QObject* = nullptr) { pasteLabelFromGeneralPasteboard(); }
    Q_INVOKABLE void deleteLabels(QObject* = nullptr) { deleteSelectedLabels(); }
    Q_INVOKABLE void toggleLabelsVisible(QObject* sender = nullptr) { toggleLabelsVisibleNamedBy(sender); }
    Q_INVOKABLE void selectAllLabels(QObject* sender = nullptr) { selectAllTextLabels(); }
    Q_INVOKABLE void deselectAllLabels(QObject* sender = nullptr) { deselectAllTextLabels(); }
    Q_INVOKABLE bool validateMenuItem(platform::MenuItem* item) { return m_commands.validateMenuItem(item); }
    const void* sharedReceiverKeyForAction(const QByteArray& action) const override
    {
        return m_commands.sharedReceiverKeyForAction(action);
    }
    bool populateContextualMenuAtPoint(platform::Menu* menu, QPointF point) override
    {
        return m_commands.populateContextualMenuAtPoint(menu, point);
    }

    // --- Copying and archiving --------------------------------------------------------------------------
    void adoptStylesFrom(const VXDrawableObject& original) override;
    void encodeWithCoder(platform::KeyedArchiver& coder) const override;
    void initWithCoder(platform::KeyedUnarchiver& coder) override;
    // Null (the symbol is dropped) when the archive's master is of another class.
    std::shared_ptr<ZQObject> awakeAfterUsingCoder(platform::KeyedUnarchiver& coder) override;

protected:
    void metadataDidChangeForKey(const QString& key) override;
    // A locked symbol still takes and gives up labels.
    bool labelEditsRespectLock() const override { return false; }

private:
    friend class VXQSymbolSequence;
    // The parts reach the labels, the membership and the undo naming.
    friend class SymbolCommands;
    friend class SymbolSequenceMembership;
    using Move = SymbolSequenceMembership::Move;
    // What the sequence itself sets: the reference and the number it gives.
    void attachToSequence(VXQSymbolSequence* sequence) { m_membership.attach(sequence); }
    void moveInSequence(Move move, QObject* sender) { m_commands.moveInSequence(move, sender); }
    SymbolValueValidator validator() const;
    // Becomes the master's client with its template and a copy of its graphic's labels; no
    // lock, undo, redraw or sequence.
    void takeMaster(const VXQSymbolMasterPtr& master);
    // Names the undo step, unless undoing or redoing.
    void nameUndoAction(const QString& name) const;
    void scaleToSizeHandleAtPoint(QPointF point, Qt::KeyboardModifiers modifiers);

    SymbolMasterLink m_link{*this};
    SymbolPlacement m_placement;
    bool m_useLocalStyle = false;
    bool m_ignoresTransformers = true;
    QRectF m_oldBoundsSaved;
    double m_scaleAtPress = 1.0;
    bool m_masterIsOfWrongClass = false;
    SymbolSequenceMembership m_membership{*this};
    SymbolCommands m_commands{*this};
};

Q_DECLARE_METATYPE(VXQSymbolPtr)
