#include "symbols/placed/VXQSymbol.h"

#include "platform/foundation/NotificationCenter.h"
#include "platform/foundation/UserDefaults.h"
#include "platform/foundation/ZQAssert.h"
#include "platform/foundation/ZQUndoManager.h"
#include "platform/graphics/GraphicsContext.h"
#include "platform/ui/Pasteboard.h"
#include "platform/ui/ModifierKeys.h"
#include "platform/vantrix/model/VXDrawing.h"
#include "platform/vantrix/model/VXObjectDrawingLayer.h"
#include "platform/vantrix/drawables/VXShapeGroup.h"
#include "platform/vantrix/view/KnobStampBatch.h"
#include "platform/vantrix/view/VXDrawingView.h"
#include "symbols/placed/PlacedSymbolGraphic.h"
#include "symbols/placed/SymbolArchiveRecord.h"
#include "symbols/placed/SymbolValueValidator.h"
#include "symbols/utilities/SymbolUtilities.h"

#include <QMouseEvent>

namespace {

const QString kNameKey = QStringLiteral("name");
// The keys whose values a symbol takes from its master.
const QStringList kKeysFromMaster{QStringLiteral("masterName"), QStringLiteral("size")};

// Room round the placed master rectangle for strokes and knobs.
constexpr double kBoundsOutset = 6.0;

bool s_defaultSizeHandleVisible = false;

} // namespace

VXQSymbol::VXQSymbol()
    : DrawableTextLabelContainer(static_cast<VXDrawableObject&>(*this))
{
    // Selecting a symbol or its labels leaves the font panel as it was.
    m_labels.setUpdatesFontPanel(false);
}

VXQSymbol::~VXQSymbol()
{
    m_link.leave();
}

VXQSymbolPtr VXQSymbol::symbolWithMaster(const VXQSymbolMasterPtr& master)
{
    auto symbol = std::make_shared<VXQSymbol>();
    symbol->initWithMaster(master);
    return symbol;
}

// The master's factory lives with the class it makes.
std::shared_ptr<VXQSymbol> VXQSymbolMaster::symbolWithLocationDocumentPrescale(QPointF location,
                                                                              double documentPrescale) const
{
    const auto master = std::const_pointer_cast<VXQSymbolMaster>(
        std::static_pointer_cast<const VXQSymbolMaster>(shared_from_this()));
    const VXQSymbolPtr symbol = VXQSymbol::symbolWithMaster(master);
    symbol->setLocation(location);
    symbol->setScaleFactor(symbol->scaleFactor() * documentPrescale);
    return symbol;
}

void VXQSymbol::initWithMaster(const VXQSymbolMasterPtr& master)
{
    ZQ_ASSERT(master, QStringLiteral("cannot initialise with a nil master"));
    m_placement.location = {};
    m_placement.scaleFactor = master->prescale();
    m_placement.showSizeHandle = defaultSizeHandleVisible();
    m_ignoresTransformers = true;
    setMaster(master);
    m_placement.scaleVisually = defaultSymbolsScaleVisually();
}

// --- Class settings ------------------------------------------------------------------------------

bool VXQSymbol::defaultSizeHandleVisible()
{
    return s_defaultSizeHandleVisible;
}

void VXQSymbol::setDefaultSizeHandleVisible(bool visible)
{
    s_defaultSizeHandleVisible = visible;
}

bool VXQSymbol::defaultSymbolsScaleVisually()
{
    return platform::UserDefaults::standardUserDefaults()->boolForKey(kSymbolsDefaultScaleVisually);
}

void VXQSymbol::setDefaultSymbolsScaleVisually(bool scales)
{
    platform::UserDefaults::standardUserDefaults()->setBoolForKey(scales, kSymbolsDefaultScaleVisually);
}

QStringList VXQSymbol::observableKeyPaths()
{
    return VXDrawableObject::observableKeyPaths()
           + QStringList{QStringLiteral("scaleFactor"), QStringLiteral("usesLocalStyle"),
                         QStringLiteral("positionInSequence"), QStringLiteral("name"),
                         QStringLiteral("ignoresDataTransformers")};
}

QStringList VXQSymbol::pasteboardTypesForOperation(int)
{
    return {kVXQSymbolMasterPasteboardType, kVXQSymbolMasterKeyPasteboardType, platform::kPasteboardTypeColor};
}

// --- The master ------------------------------------------------------------------------------------

void VXQSymbol::setMasterCreatingSequenceIfNeeded(const VXQSymbolMasterPtr& master, bool creatingSequenceIfNeeded)
{
    if (master == m_link.master() || locked())
        return;
    const VXQSymbolMasterPtr oldMaster = m_link.master();
    const QList<VXQTextLabelPtr> oldLabels = m_labels.labels();
    VXQSymbolSequence* const oldSequence = sequence();
    if (ZQUndoManager* undo = undoManager()) {
        undo->registerUndoWithTargetHandler(this, [this, oldMaster, oldLabels] {
            setMaster(oldMaster);
            m_labels.setLabels(oldLabels);
        });
    }
    notifyVisualChange();
    const QRectF oldBounds = bounds();
    announceChangeForKeys(kKeysFromMaster, [&] { takeMaster(master); });
    if (m_link.master())
        setUsesLocalStyle(false);
    notifyGeometryChange(oldBounds);
    if (m_link.master())
        platform::NotificationCenter::defaultCenter().postNotificationName(kVXQSymbolMasterWasReplacedNotification, this);
    if (creatingSequenceIfNeeded)
        adjustSequence(oldSequence);
}

void VXQSymbol::applySymbolMaster(const ZQObjectPtr& master)
{
    if (const auto symbolMaster = std::dynamic_pointer_cast<VXQSymbolMaster>(master))
        setMaster(symbolMaster);
}

void VXQSymbol::takeMaster(const VXQSymbolMasterPtr& master)
{
    m_link.setMaster(master);
    if (!master)
        return;
    addMetadata(master->attributesTemplate());
    if (const auto* labelled = dynamic_cast<const VXQTextLabelContainer*>(master->object())) {
        QList<VXQTextLabelPtr> copies;
        for (const VXQTextLabelPtr& label : labelled->textLabels())
            copies.append(std::static_pointer_cast<VXQTextLabel>(label->copy()));
        m_labels.setLabels(copies);
    }
}

void VXQSymbol::setTextLabels(const QList<VXQTextLabelPtr>& labels)
{
    const QRectF oldBounds = bounds();
    DrawableTextLabelContainer::setTextLabels(labels);
    notifyGeometryChange(oldBounds);
    notifyVisualChange();
}

QString VXQSymbol::masterName() const
{
    return master() ? master()->name() : QString();
}

VXDrawableObjectPtr VXQSymbol::masterObject() const
{
    return master() ? master()->objectPtr() : nullptr;
}

VXDrawableObjectPtr VXQSymbol::placedCopyOfMasterObject() const
{
    VXDrawableObjectPtr copy = mutableCopyOfMasterObject();
    if (!copy)
        return nullptr;
    if (!m_placement.absoluteAngle)
        copy->rotateByAngle(m_placement.angle);
    copy->resizeWidthByHeightBy(m_placement.scaleFactor, m_placement.scaleFactor);
    return copy;
}

// --- Placement ----------------------------------------------------------------------------------------

void VXQSymbol::setLocation(QPointF location)
{
    changeValueForKey(m_placement.location, location, "location", Change::Geometry);
}

void VXQSymbol::setAngle(double radians)
{
    changeValueForKey(m_placement.angle, radians, "angle", Change::Geometry);
}

void VXQSymbol::setScaleFactor(double scaleFactor)
{
    const double clamped = SymbolPlacement::clampedScaleFactor(scaleFactor);
    if (changeValueForKey(m_placement.scaleFactor, clamped, "scaleFactor", Change::Geometry))
        nameUndoAction(tr("Scale Symbol"));
}

void VXQSymbol::setObjectAngleIsAbsolute(bool absolute)
{
    if (absolute == m_placement.absoluteAngle)
        return;
    // The placement turns or stops turning, so the bounds move too.
    const QRectF oldBounds = bounds();
    announceChangeForKey(QStringLiteral("objectAngleIsAbsolute"), [&] { m_placement.absoluteAngle = absolute; });
    notifyGeometryChange(oldBounds);
}

QSizeF VXQSymbol::size() const
{
    return cachedMasterBounds().size() * m_placement.scaleFactor;
}

QRectF VXQSymbol::boundsIgnoringLabels() const
{
    return placementTransform().mapRect(cachedMasterBounds());
}

QRectF VXQSymbol::bounds() const
{
    std::optional<QRectF>& cached = cachedBounds();
    if (!cached) {
        const QRectF placed = boundsIgnoringLabels().adjusted(-kBoundsOutset, -kBoundsOutset, kBoundsOutset, kBoundsOutset);
        cached = m_labels.boundsWithLabels(placed);
    }
    return *cached;
}

QRectF VXQSymbol::logicalBounds() const
{
    return m_labels.boundsWithLabels(boundsIgnoringLabels());
}

platform::BezierPath VXQSymbol::renderingPath() const
{
    const VXDrawableObject* graphic = m_link.graphic();
    if (!graphic)
        return {};
    platform::BezierPath path = graphic->renderingPath();
    path.transformUsingAffineTransform(placementTransform());
    return path;
}

bool VXQSymbol::objectIsValid() const
{
    const QSizeF placed = size();
    return placed.width() > 0 && placed.height() > 0;
}

void VXQSymbol::applyTransform(const QTransform& transform)
{
    const std::optional<SymbolPlacement> moved = m_placement.transformedBy(transform);
    if (!moved)
        return;
    setLocation(moved->location);
    setAngle(moved->angle);
    // Only a real scale goes through the setter, whose clamp would change an archived scale.
    if (moved->scaleFactor != m_placement.scaleFactor)
        setScaleFactor(moved->scaleFactor);
}

QTransform VXQSymbol::renderingTransform() const
{
    return m_placement.scaleVisually ? QTransform() : placementTransform();
}

// --- Style ------------------------------------------------------------------------------------------------

VXStylePtr VXQSymbol::style() const
{
    if (m_useLocalStyle)
        return VXDrawableObject::style();
    const VXDrawableObject* graphic = m_link.graphic();
    return graphic ? graphic->style() : nullptr;
}

void VXQSymbol::setStyle(const VXStylePtr& style)
{
    if (m_useLocalStyle && !locked())
        VXDrawableObject::setStyle(style);
}

QList<VXStylePtr> VXQSymbol::allStyles() const
{
    if (m_useLocalStyle)
        return VXDrawableObject::allStyles();
    const VXDrawableObject* graphic = m_link.graphic();
    return graphic ? graphic->allStyles() : QList<VXStylePtr>();
}

bool VXQSymbol::usesStyle(const VXStyle& style) const
{
    if (m_useLocalStyle)
        return VXDrawableObject::usesStyle(style);
    const VXDrawableObject* graphic = m_link.graphic();
    return graphic && graphic->usesStyle(style);
}

void VXQSymbol::setUsesLocalStyle(bool uses)
{
    if (!master() || master()->isGroupObject())
        return;
    if (!changeValueForKey(m_useLocalStyle, uses, "usesLocalStyle", Change::Appearance))
        return;
    if (const VXStylePtr masterStyle = master()->style(); uses && masterStyle)
        setStyle(masterStyle->mutableCopy());
}

// --- Data transformers ---------------------------------------------------------------------------------

void VXQSymbol::setIgnoresDataTransformers(bool ignores)
{
    if (!changeValueForKey(m_ignoresTransformers, ignores, "ignoresDataTransformers", Change::Appearance))
        return;
    if (!ignores)
        applyDataTransformations();
}

void VXQSymbol::applyDataTransformations()
{
    if (locked() || m_ignoresTransformers || !master())
        return;
    notifyVisualChange();
    master()->applyTransformationsWithSymbol(this);
    notifyVisualChange();
}

// --- Naming ----------------------------------------------------------------------------------------------

QString VXQSymbol::name() const
{
    const QVariant stored = metadataValueForKey(kNameKey);
    return stored.isValid() ? stored.toString() : masterName();
}

void VXQSymbol::setName(const QString& name)
{
    VXDrawableObject::setName(name);
    setMetadataItemValueForKey(name, kNameKey);
}

QString VXQSymbol::userDescription() const
{
    return master() ? master()->userDescription() : VXDrawableObject::userDescription();
}

QString VXQSymbol::description() const
{
    return QStringLiteral("%1, Master: %2")
        .arg(VXDrawableObject::description(), master() ? master()->description() : QStringLiteral("(null)"));
}

// --- Drawing -----------------------------------------------------------------------------------------------

void VXQSymbol::drawContent() const
{
    platform::GraphicsContext* context = platform::GraphicsContext::current();
    if (!context || !master())
        return;
    if (ghosted())
        return VXDrawableObject::drawContent();
    PlacedSymbolGraphic(*this).draw(*context);
}

void VXQSymbol::drawSelectedState() const
{
    platform::GraphicsContext* context = platform::GraphicsContext::current();
    if (!context || isPendingObject())
        return;
    platform::KnobStampBatch::flushCurrent();
    PlacedSymbolGraphic(*this).drawSelection(*context->painter());
    if (!locked() && !m_labels.hidden())
        m_labels.drawSelectionHighlights(VXDrawingView::currentView());
}

// --- Hit testing and gestures ----------------------------------------------------------------------------------

QPointF VXQSymbol::sizeHandlePoint() const
{
    return placementTransform().map(SymbolPlacement::sizeHandleInGraphic(cachedMasterBounds()));
}

int VXQSymbol::hitPart(QPointF point) const
{
    if (!visible() || !platform::rectsMeet(bounds(), QRectF(point, QSizeF(0, 0))))
        return kVXDrawingNoPart;
    if (const int code = m_labels.partcodeHit(point); code > 0)
        return kVXQTextLabelPartBase + code;
    const PlacedSymbolGraphic graphic(*this);
    if (graphic.sizeHandleIsAt(point))
        return kSizeHandlePart;
    return graphic.graphicIsAt(point) ? kVXDrawingEntireObjectPart : kVXDrawingNoPart;
}

std::optional<double> VXQSymbol::scaleFactorForSizeHandleAtPoint(QPointF point) const
{
    return SymbolPlacement::scaleFactorForSizeHandle(point, containerTransform().map(m_placement.location),
                                                     cachedMasterBounds());
}

void VXQSymbol::scaleToSizeHandleAtPoint(QPointF point, Qt::KeyboardModifiers modifiers)
{
    const bool controlFlag = platform::modifierFlagsFromQt(modifiers) & platform::ControlKeyMask;
    if (const VXDrawing* owner = drawing())
        point = owner->snapToGridWithControlFlag(point, controlFlag);
    if (const std::optional<double> scale = scaleFactorForSizeHandleAtPoint(point))
        setScaleFactor(*scale);
}

void VXQSymbol::mouseDownAtPointInPartEvent(QPointF point, int part, QMouseEvent* event)
{
    m_scaleAtPress = m_placement.scaleFactor;
    beginLabelGesture(part - kVXQTextLabelPartBase, event ? event->modifiers() : Qt::NoModifier);
    VXDrawableObject::mouseDownAtPointInPartEvent(point, part, event);
}

void VXQSymbol::mouseDraggedAtPointInPartEvent(QPointF point, int part, QMouseEvent* event)
{
    const Qt::KeyboardModifiers modifiers = event ? event->modifiers() : Qt::NoModifier;
    if (part == kSizeHandlePart)
        scaleToSizeHandleAtPoint(point, modifiers);
    else if (part >= kVXQTextLabelPartBase)
        moveTextLabelWithPartcodeToPoint(part - kVXQTextLabelPartBase, point, modifiers);
    else
        VXDrawableObject::mouseDraggedAtPointInPartEvent(point, part, event);
}

QString VXQSymbol::mouseUpAtPointInPartEvent(QPointF point, int part, QMouseEvent* event)
{
    if (part == kSizeHandlePart)
        return m_placement.scaleFactor != m_scaleAtPress ? tr("Scale Symbol") : QString();
    if (part >= kVXQTextLabelPartBase)
        return endLabelGesture();
    return VXDrawableObject::mouseUpAtPointInPartEvent(point, part, event);
}

void VXQSymbol::mouseDoubleClickedAtPointInPartEvent(QPointF point, int part, QMouseEvent* event)
{
    VXDrawableObject::mouseDoubleClickedAtPointInPartEvent(point, part, event);
    if (part >= kVXQTextLabelPartBase)
        editLabelWithPartcode(part - kVXQTextLabelPartBase);
}

// --- Lifecycle ----------------------------------------------------------------------------------------------------

void VXQSymbol::objectWasAddedToLayer(VXObjectOwnerLayer* layer)
{
    VXDrawableObject::objectWasAddedToLayer(layer);
    m_membership.adjust(sequence());
}

void VXQSymbol::objectWasRemovedFromLayer(VXObjectOwnerLayer* layer)
{
    VXDrawableObject::objectWasRemovedFromLayer(layer);
    m_membership.leave();
}

void VXQSymbol::objectDidBecomeSelected()
{
    for (const VXQTextLabelPtr& label : m_labels.selectedLabels())
        label->labelDidBecomeSelected();
    VXDrawableObject::objectDidBecomeSelected();
}

void VXQSymbol::objectIsNoLongerSelected()
{
    for (const VXQTextLabelPtr& label : m_labels.selectedLabels())
        label->labelWasDeselected();
    VXDrawableObject::objectIsNoLongerSelected();
}

void VXQSymbol::groupWillUngroupObjectWithTransform(VXShapeGroup* group, const QTransform& transform)
{
    ZQ_ASSERT(group, QStringLiteral("expected valid group"));
    m_link.forgetMasterBounds();
    applyTransform(transform);
}

// --- Master client ------------------------------------------------------------------------------------------------

void VXQSymbol::symbolMasterWillChange(VXQSymbolMaster*)
{
    notifyVisualChange();
    m_oldBoundsSaved = bounds();
    for (const QString& key : kKeysFromMaster)
        willChangeValueForKey(key);
}

void VXQSymbol::symbolMasterDidChange(VXQSymbolMaster*)
{
    m_link.forgetMasterBounds();
    for (auto key = kKeysFromMaster.crbegin(); key != kKeysFromMaster.crend(); ++key)
        didChangeValueForKey(*key);
    notifyGeometryChange(m_oldBoundsSaved);
}

QVariant VXQSymbol::metadataObjectForKey(const QString& key) const
{
    // A symbol not named itself goes by its master's name, as labels showing "%%name" do.
    const QVariant value = VXDrawableObject::metadataObjectForKey(key);
    return value.isValid() || key != kNameKey ? value : QVariant(masterName());
}

void VXQSymbol::setLabelAttributes(const QVariant& value)
{
    if (const VXStylePtr style = styleOfValue(value); style && style->hasTextAttributes())
        applyTextAttributesToLabels(style->textAttributes());
}

void VXQSymbol::metadataDidChangeForKey(const QString& key)
{
    // A label's text may show the attribute.
    for (const VXQTextLabelPtr& label : m_labels.labels())
        label->labelContentDidChange();
    VXDrawableObject::metadataDidChangeForKey(key);
}

std::optional<QPointF> VXQSymbol::referencePointForLabel(const VXQTextLabel&) const
{
    return containerTransform().map(m_placement.location);
}

// --- Key-value observing ------------------------------------------------------------------------------------------------

QStringList VXQSymbol::keyPathsForValuesAffectingValueForKey(const QString& key) const
{
    if (key == QLatin1String("size"))
        return {QStringLiteral("scaleFactor")};
    if (key == kNameKey)
        return {QStringLiteral("masterName")};
    return VXDrawableObject::keyPathsForValuesAffectingValueForKey(key);
}

// --- Key-value validation ------------------------------------------------------------------------------------------------

bool VXQSymbol::validateValueForKeyError(QVariant& value, const QString& key, QuorvaneError* error) const
{
    if (SymbolValueValidator::validatesKey(key))
        return validator().validateValueForKey(value, key, error);
    return VXDrawableObject::validateValueForKeyError(value, key, error);
}

SymbolValueValidator VXQSymbol::validator() const
{
    return SymbolValueValidator(style(), master() && master()->isGroupObject());
}

void VXQSymbol::nameUndoAction(const QString& name) const
{
    ZQUndoManager* undo = undoManager();
    if (undo && !undo->isUndoing() && !undo->isRedoing())
        undo->setActionName(name);
}

// --- Copying and archiving ------------------------------------------------------------------------------------------------

void VXQSymbol::adoptStylesFrom(const VXDrawableObject& original)
{
    VXDrawableObject::adoptStylesFrom(original);
    const auto* symbol = qobject_cast<const VXQSymbol*>(&original);
    if (!symbol)
        return;
    // A copy draws the original's master object and keeps the original's exact placement and
    // switches, which reading an archive would reset.
    m_link.shareWith(symbol->m_link);
    m_membership.adoptNumbersOf(symbol->m_membership);
    m_placement = symbol->m_placement;
    m_ignoresTransformers = symbol->m_ignoresTransformers;
    invalidateGeometryCaches();
}

void VXQSymbol::encodeWithCoder(platform::KeyedArchiver& coder) const
{
    VXDrawableObject::encodeWithCoder(coder);
    SymbolArchiveRecord record{.master = master(),
                               .placement = m_placement,
                               .usesLocalStyle = m_useLocalStyle,
                               .labels = m_labels.labels(),
                               .labelsHidden = m_labels.hidden(),
                               .ignoresTransformers = m_ignoresTransformers,
                               .cachedMasterBounds = cachedMasterBounds()};
    record.encode(coder);
}

void VXQSymbol::initWithCoder(platform::KeyedUnarchiver& coder)
{
    VXDrawableObject::initWithCoder(coder);
    const SymbolArchiveRecord record = SymbolArchiveRecord::decode(coder, VXDrawableObject::name());
    m_masterIsOfWrongClass = record.masterIsOfWrongClass;
    if (record.master && !record.modernSequencing) {
        // Older archives take the master as setMaster would, lock or not, and rejoin a sequence.
        takeMaster(record.master);
        adjustSequence(nullptr);
    } else {
        // Written with the master's labels and template in the symbol: the master as it is.
        m_link.setMaster(record.master, record.cachedMasterBounds);
    }
    m_placement = record.placement;
    m_useLocalStyle = record.usesLocalStyle;
    if (record.labels)
        m_labels.setLabels(*record.labels);
    m_labels.setHidden(record.labelsHidden);
    // What this process prefers, whatever the writer did.
    m_placement.showSizeHandle = defaultSizeHandleVisible();
    m_placement.scaleVisually = defaultSymbolsScaleVisually();
    m_ignoresTransformers = true;
    invalidateGeometryCaches();
}

std::shared_ptr<ZQObject> VXQSymbol::awakeAfterUsingCoder(platform::KeyedUnarchiver& coder)
{
    // A master of another class leaves nothing to draw: the symbol is dropped.
    if (m_masterIsOfWrongClass)
        return nullptr;
    return VXDrawableObject::awakeAfterUsingCoder(coder);
}
