#include "platform/vantrix/drawables/VXDrawableObject.h"

#include "platform/foundation/KeyedArchiver.h"
#include "platform/foundation/KeyedUnarchiver.h"
#include "platform/foundation/PropertyList.h"
#include "platform/foundation/ZQAssert.h"
#include "platform/foundation/ZQLog.h"
#include "platform/graphics/GraphicsContext.h"
#include "platform/ui/Menu.h"
#include "platform/vantrix/model/ArchiveReader.h"
#include "platform/vantrix/model/VXDrawing.h"
#include "platform/vantrix/settings/VXDrawingPreferences.h"
#include "platform/vantrix/view/VXDrawingView.h"
#include "platform/vantrix/model/VXObjectDrawingLayer.h"
#include "platform/vantrix/model/VXUniqueID.h"
#include "platform/vantrix/render/DrawingRenderer.h"
#include "platform/vantrix/text/VXTextAdornment.h"
#include "platform/vantrix/view/DrawnKnobBoxes.h"
#include "platform/vantrix/view/KnobStampBatch.h"
#include "platform/vantrix/view/VXKnob.h"

#include <QCoreApplication>
#include <QMetaClassInfo>
#include <QMimeData>
#include <QPainter>
#include <algorithm>
#include <atomic>
#include <cmath>

namespace {

const QString kStyleKey = QStringLiteral("VXDrawableObject_style");
const QString kNameKey = QStringLiteral("VXDrawableObject_name");
const QString kUserNameKey = QStringLiteral("VXDrawableObject_userAssignedName");
const QString kLockedKey = QStringLiteral("VXDrawableObject_locked");
const QString kVisibleKey = QStringLiteral("VXDrawableObject_visible");
const QString kGhostedKey = QStringLiteral("VXDrawableObject_ghosted");
const QString kAspectKey = QStringLiteral("VXDrawableObject_aspectRatioLocked");
const QString kMetadataKey = QStringLiteral("VXDrawableObject_metadata");
const QString kUniqueKeyKey = QStringLiteral("VXDrawableObject_uniqueKey");
const QString kUserInfoKey = QStringLiteral("VXDrawableObject_userInfo");
const QString kPasteboardObjectsKey = QStringLiteral("objects");

std::atomic<quint64> s_nextChecksum{1};

QColor& ghostColourSetting()
{
    static QColor colour(210, 210, 210);
    return colour;
}

quint64 nextChecksum()
{
    return s_nextChecksum.fetch_add(1, std::memory_order_relaxed);
}

QList<VXDrawableObject::ContextualMenuExtension>& contextualMenuExtensions()
{
    static QList<VXDrawableObject::ContextualMenuExtension> extensions;
    return extensions;
}

QRectF outset(const QRectF& rect, QSizeF extra)
{
    return rect.adjusted(-extra.width(), -extra.height(), extra.width(), extra.height());
}

} // namespace

VXDrawableObject::VXDrawableObject() : m_geometryChecksum(nextChecksum()) {}

VXDrawableObject::~VXDrawableObject()
{
    for (const VXRasterizerPtr& rasterizer : std::as_const(m_observedRasterizers))
        rasterizer->removeRastObserver(this);
}

// --- Place in the drawing -------------------------------------------------------------

void VXDrawableObject::setContainer(QObject* container)
{
    // Layers hold nearly every object: asking the meta-object costs far less than a cross-cast,
    // which restoring thousands of deleted objects would pay for each.
    platform::DrawableContainer* interface = qobject_cast<VXObjectOwnerLayer*>(container);
    if (!interface)
        interface = dynamic_cast<platform::DrawableContainer*>(container);
    ZQ_ASSERT(!container || interface, QStringLiteral("%1 is not a drawable container").arg(container->metaObject()->className()));
    m_container = container;
    m_containerInterface = interface;
}

platform::DrawableContainer* VXDrawableObject::containerInterface() const
{
    return m_container ? m_containerInterface : nullptr;
}

bool VXDrawableObject::redrawnByContainer() const
{
    const platform::DrawableContainer* container = containerInterface();
    return container && container->redrawsForMembers();
}

VXObjectOwnerLayer* VXDrawableObject::layer() const
{
    const platform::DrawableContainer* container = containerInterface();
    return container ? container->layer() : nullptr;
}

VXDrawing* VXDrawableObject::drawing() const
{
    const platform::DrawableContainer* container = containerInterface();
    return container ? container->drawing() : nullptr;
}

ZQUndoManager* VXDrawableObject::undoManager() const
{
    const platform::DrawableContainer* container = containerInterface();
    return container ? container->undoManager() : nullptr;
}

bool VXDrawableObject::isSelected() const
{
    const auto* drawingLayer = qobject_cast<const VXObjectDrawingLayer*>(layer());
    return drawingLayer && drawingLayer->isSelectedObject(this);
}

bool VXDrawableObject::isPendingObject() const
{
    const VXObjectOwnerLayer* owner = layer();
    return owner && owner->pendingObject() == this;
}

// --- Style -------------------------------------------------------------------------------

void VXDrawableObject::setStyle(const VXStylePtr& style)
{
    if (changeValueForKey(m_style, style, "style", Change::Appearance))
        updateRasterizerObservation();
}

void VXDrawableObject::setStyleObject(VXStyle* style)
{
    if (!style) {
        setStyle(nullptr);
        return;
    }
    auto shared = std::dynamic_pointer_cast<VXStyle>(style->weak_from_this().lock());
    if (!shared) {
        ZQLogObjCMethod(QStringLiteral("a style must be shared to be set on an object; ignored"));
        return;
    }
    setStyle(shared);
}

QList<VXRasterizerPtr> VXDrawableObject::observedRasterizers() const
{
    return m_style ? QList<VXRasterizerPtr>{m_style} : QList<VXRasterizerPtr>{};
}

void VXDrawableObject::updateRasterizerObservation()
{
    const QList<VXRasterizerPtr> observed = observedRasterizers();
    for (const VXRasterizerPtr& rasterizer : std::as_const(m_observedRasterizers))
        if (!observed.contains(rasterizer))
            rasterizer->removeRastObserver(this);
    for (const VXRasterizerPtr& rasterizer : observed)
        rasterizer->addRastObserver(this);
    m_observedRasterizers = observed;
}

QList<VXStylePtr> VXDrawableObject::allStyles() const
{
    return m_style ? QList<VXStylePtr>{m_style} : QList<VXStylePtr>{};
}

void VXDrawableObject::replaceStyles(const QHash<const VXStyle*, VXStylePtr>& replacements)
{
    if (const auto it = replacements.constFind(m_style.get()); it != replacements.cend())
        setStyle(it.value());
}

void VXDrawableObject::styleDidChange(const VXStyle*)
{
    const QRectF oldBounds = bounds();
    if (geometryFollowsStyle()) {
        notifyGeometryChange(oldBounds);
        return;
    }
    m_cachedBounds.reset();
    m_geometryChecksum = nextChecksum();
    spreadGeometryChange(oldBounds);
}

QSizeF VXDrawableObject::styleExtraSpace() const
{
    return m_style ? m_style->extraSpaceNeeded() : QSizeF(0, 0);
}

// --- Flags and naming ----------------------------------------------------------------------

void VXDrawableObject::setLocked(bool locked)
{
    changeValueForKey(m_locked, locked, "locked", Change::State);
}

void VXDrawableObject::setVisible(bool visible)
{
    changeValueForKey(m_visible, visible, "visible", Change::State);
}

void VXDrawableObject::setGhosted(bool ghosted)
{
    changeValueForKey(m_ghosted, ghosted, "ghosted", Change::State);
}

void VXDrawableObject::setAspectRatioLocked(bool locked)
{
    changeValueForKey(m_aspectRatioLocked, locked, "aspectRatioLocked", Change::State);
}

void VXDrawableObject::setName(const QString& name)
{
    changeValueForKey(m_name, name, "name", Change::State);
}

void VXDrawableObject::assignUserNameWithFlag(const QString& name, bool flag)
{
    setName(name);
    m_userAssignedName = flag;
}

QString VXDrawableObject::userDescription() const
{
    const QString ownName = name();
    return ownName.isEmpty() ? displayName() : ownName;
}

QString VXDrawableObject::displayName() const
{
    return displayNameForClass(metaObject());
}

bool VXDrawableObject::canPerformBooleanOperation(bool) const
{
    return !renderingPath().isEmpty();
}

QString VXDrawableObject::displayNameForClass(const QMetaObject* objClass)
{
    // The nearest class that declares a name gives it, so subclasses inherit their parent's.
    const int index = objClass ? objClass->indexOfClassInfo("displayName") : -1;
    const char* name = index >= 0 ? objClass->classInfo(index).value() : "Object";
    return QCoreApplication::translate("VXDrawableObject", name);
}

QString VXDrawableObject::uniqueKey() const
{
    if (m_uniqueKey.isEmpty())
        m_uniqueKey = VXUniqueID::uniqueKey();
    return m_uniqueKey;
}

QColor VXDrawableObject::ghostColour()
{
    return ghostColourSetting();
}

void VXDrawableObject::setGhostColour(const QColor& colour)
{
    if (colour.isValid())
        ghostColourSetting() = colour;
}

bool VXDrawableObject::displaysSizeInfoWhenDragging()
{
    return VXDrawingPreferences::current().displaysSizeInfoWhenDragging;
}

QStringList VXDrawableObject::observableKeyPaths()
{
    return {QStringLiteral("location"), QStringLiteral("size"), QStringLiteral("angle"), QStringLiteral("style"),
            QStringLiteral("locked"),   QStringLiteral("visible"), QStringLiteral("name"), QStringLiteral("ghosted")};
}

// --- Geometry --------------------------------------------------------------------------------

void VXDrawableObject::setLocation(QPointF location)
{
    const QPointF current = this->location();
    if (std::isfinite(location.x()) && std::isfinite(location.y()))
        applyTransform(QTransform::fromTranslate(location.x() - current.x(), location.y() - current.y()));
}

void VXDrawableObject::setAngle(double radians)
{
    if (std::isfinite(radians))
        rotateByAngle(radians - angle());
}

double VXDrawableObject::angleInDegrees() const
{
    return qRadiansToDegrees(angle());
}

void VXDrawableObject::setAngleInDegrees(double degrees)
{
    setAngle(qDegreesToRadians(degrees));
}

void VXDrawableObject::setSize(QSizeF size)
{
    const QSizeF current = this->size();
    if (current.width() != 0 && current.height() != 0)
        resizeWidthByHeightBy(size.width() / current.width(), size.height() / current.height());
}

void VXDrawableObject::setWidth(double width)
{
    const QSizeF current = size();
    const double height = m_aspectRatioLocked && current.width() != 0 ? current.height() * width / current.width()
                                                                      : current.height();
    setSize({width, height});
}

void VXDrawableObject::setHeight(double height)
{
    const QSizeF current = size();
    const double width = m_aspectRatioLocked && current.height() != 0 ? current.width() * height / current.height()
                                                                       : current.width();
    setSize({width, height});
}

QRectF VXDrawableObject::bounds() const
{
    if (!m_cachedBounds)
        m_cachedBounds = outset(logicalBounds(), styleExtraSpace());
    return *m_cachedBounds;
}

QRectF VXDrawableObject::logicalBounds() const
{
    return renderingPath().bounds();
}

QTransform VXDrawableObject::containerTransform() const
{
    const platform::DrawableContainer* container = containerInterface();
    return container ? container->renderingTransform() : QTransform();
}

void VXDrawableObject::resizeWidthByHeightBy(double xFactor, double yFactor)
{
    if (!std::isfinite(xFactor) || !std::isfinite(yFactor))
        return;
    const QPointF centre = location();
    QTransform scale;
    scale.translate(centre.x(), centre.y());
    scale.rotateRadians(angle());
    scale.scale(xFactor, yFactor);
    scale.rotateRadians(-angle());
    scale.translate(-centre.x(), -centre.y());
    applyTransform(scale);
}

void VXDrawableObject::rotateByAngle(double radians)
{
    if (std::isfinite(radians) && radians != 0)
        applyTransform(platform::RotationTransform(radians, location()));
}

void VXDrawableObject::applyTransform(const QTransform&) {}

// --- Change notification ------------------------------------------------------------------------

void VXDrawableObject::invalidateGeometryCaches()
{
    m_cachedBounds.reset();
    m_geometryChecksum = nextChecksum();
}

void VXDrawableObject::notifyVisualChange()
{
    setNeedsDisplayInRect(bounds());
    announceVisualChange();
}

void VXDrawableObject::announceVisualChange()
{
    // Most objects are never shown in a list; they skip the announcement's cost.
    if (hasObservers())
        announceChangeForKey(QStringLiteral("visual_change"), [] {});
}

void VXDrawableObject::notifyGeometryChange(const QRectF& oldBounds)
{
    invalidateGeometryCaches();
    spreadGeometryChange(oldBounds);
}

void VXDrawableObject::spreadGeometryChange(const QRectF& oldBounds)
{
    if (platform::DrawableContainer* container = containerInterface())
        container->objectDidChangeBoundsFrom(this, oldBounds);
    if (!redrawnByContainer())
        redrawMove(oldBounds, bounds(), [this](const QRectF& rect) { setNeedsDisplayInRect(rect); });
    announceVisualChange();
}

void VXDrawableObject::setNeedsDisplayInRect(const QRectF& rect) const
{
    if (platform::DrawableContainer* container = containerInterface(); container && m_visible)
        container->setNeedsDisplayInRect(rect);
}

void VXDrawableObject::metadataDidChangeForKey(const QString&)
{
    notifyVisualChange();
}

// --- Drawing ----------------------------------------------------------------------------------

void VXDrawableObject::prepareToDraw() const
{
    bounds();
    // A path's own bounds are cached in data its copies share.
    renderingPath().painterPath().boundingRect();
}

void VXDrawableObject::drawContent() const
{
    if (m_ghosted) {
        platform::GraphicsContext* context = platform::GraphicsContext::current();
        if (!context)
            return;
        QPainter* painter = context->painter();
        QPen pen(ghostColour(), 0);
        painter->strokePath(renderingPath().painterPath(), pen);
        return;
    }
    if (m_style)
        m_style->render(*this);
}

void VXDrawableObject::drawSelectedState() const
{
    platform::GraphicsContext* context = platform::GraphicsContext::current();
    const VXObjectOwnerLayer* owner = layer();
    if (!context || isPendingObject())
        return;
    QPainter* painter = context->painter();
    const QColor colour = m_locked ? QColor(Qt::lightGray) : (owner ? owner->selectionColour() : QColor(Qt::blue));
    const platform::KnobBox box = platform::KnobBox::ofObject(*this);
    if (platform::DrawnKnobBoxes* kept = platform::DrawnKnobBoxes::current(); kept && !m_locked && hasStandardKnobs())
        kept->add(owner, *this, box);
    if (m_locked || !VXKnob::knobs().boundsKnobsHideOutlineInBox(*painter, box, colour)) {
        const QPen pen(colour, 0); // hairline at any zoom
        // Stroked from a copy of its own: the painter keeps what it makes of a path with the path's
        // data, which the object shares, and a million selected objects would each keep kilobytes.
        QPainterPath outline;
        outline.addPath(renderingPath().painterPath());
        platform::KnobStampBatch::flushCurrent();
        painter->strokePath(outline, pen);
    }
    if (!m_locked)
        VXKnob::knobs().drawBoundsKnobsOnBox(box, colour);
}

bool VXDrawableObject::populateContextualMenuAtPoint(platform::Menu* menu, QPointF)
{
    if (!menu)
        return false;
    menu->addItemWithTitleActionKeyEquivalent(tr("Cut"), "cut");
    menu->addItemWithTitleActionKeyEquivalent(tr("Copy"), "copy");
    menu->addItemWithTitleActionKeyEquivalent(tr("Delete"), "delete_");
    return true;
}

void VXDrawableObject::addContextualMenuExtension(ContextualMenuExtension extension)
{
    if (extension)
        contextualMenuExtensions().append(std::move(extension));
}

bool VXDrawableObject::populateExtendedContextualMenuAtPoint(platform::Menu& menu, QPointF point)
{
    populateContextualMenuAtPoint(&menu, point);
    for (const ContextualMenuExtension& extension : std::as_const(contextualMenuExtensions()))
        extension(*this, menu, point);
    return !menu.isEmpty();
}

void VXDrawableObject::drawContentWithSelectedState(bool selected) const
{
    if (!m_visible)
        return;
    drawContent();
    if (selected)
        drawSelectedState();
}

QByteArray VXDrawableObject::pdf() const
{
    return platform::DrawingRenderer::pdfOfObject(*this);
}

QImage VXDrawableObject::swatchImageWithSize(QSizeF size) const
{
    return platform::DrawingRenderer::imageOfObjectWithSize(*this, size);
}

QImage VXDrawableObject::icon() const
{
    return swatchImageWithSize({kIconSide, kIconSide});
}

void VXDrawableObject::zoomViewToObject()
{
    if (VXDrawingView* view = VXDrawingView::viewShowingDrawing(drawing()))
        view->zoomViewToRect(bounds());
}

// --- Hit testing ------------------------------------------------------------------------------

int VXDrawableObject::hitPart(QPointF point) const
{
    if (!m_visible || !platform::rectsMeet(bounds(), QRectF(point, QSizeF(0, 0))))
        return kVXDrawingNoPart;
    const platform::BezierPath path = renderingPath();
    if (path.isEmpty())
        return kVXDrawingNoPart;
    const bool filled = !m_style || m_style->hasFill();
    if (filled && path.containsPoint(point))
        return kVXDrawingEntireObjectPart;
    const double reach = (m_style ? m_style->maxStrokeWidth() / 2 : 0.0) + kHitTolerance;
    return path.lengthForPointTolerance(point, reach) >= 0 ? kVXDrawingEntireObjectPart : kVXDrawingNoPart;
}

bool VXDrawableObject::isWithinDistanceOfPoint(double distance, QPointF point) const
{
    const double reach = std::max(0.0, distance);
    if (!m_visible || !std::isfinite(reach) || !platform::rectsMeet(bounds().adjusted(-reach, -reach, reach, reach),
                                                                     QRectF(point, QSizeF(0, 0))))
        return false;
    const platform::BezierPath path = renderingPath();
    if (path.isEmpty())
        return false;
    if ((!m_style || m_style->hasFill()) && path.containsPoint(point))
        return true;
    return path.lengthForPointTolerance(point, reach) >= 0;
}

bool VXDrawableObject::intersectsRect(const QRectF& rect) const
{
    if (!m_visible || !platform::rectsMeet(bounds(), rect))
        return false;
    const QPainterPath path = renderingPath().painterPath();
    // An open path meets the rectangle where its line does, not where its closing would.
    return path.intersects(rect) || path.contains(rect.center()) || rect.contains(path.boundingRect());
}

// --- Lifecycle ------------------------------------------------------------------------------------

void VXDrawableObject::objectWasAddedToLayer(VXObjectOwnerLayer*)
{
}

VXDrawableObjectPtr VXDrawableObject::recompose()
{
    return std::static_pointer_cast<VXDrawableObject>(shared_from_this());
}

ZQObjectPtr VXDrawableObject::locationAsGridReferenceWithPrecision(int) const { return nullptr; }

QString VXDrawableObject::locationAsGridReferenceString() const
{
    const ZQObjectPtr reference = locationAsGridReference();
    return reference ? reference->description() : QString();
}

void VXDrawableObject::groupWillUngroupObjectWithTransform(VXShapeGroup*, const QTransform& transform)
{
    applyTransform(transform);
}

// --- Area and centroid ------------------------------------------------------------------------------

double VXDrawableObject::areaInBaseUnits() const
{
    return renderingPath().area();
}

double VXDrawableObject::area() const
{
    const VXDrawing* owner = drawing();
    const double factor = owner ? owner->unitToPointsConversionFactor() : 1.0;
    return areaInBaseUnits() / (factor * factor);
}

QString VXDrawableObject::areaUnits() const
{
    const VXDrawing* owner = drawing();
    const QString units = owner ? owner->abbreviatedDrawingUnits() : QStringLiteral("pt");
    return units + u' ' + QChar(0x00B2);
}

QPointF VXDrawableObject::centroidInBaseUnits() const
{
    return renderingPath().centroid();
}

QPointF VXDrawableObject::centroid() const
{
    const VXDrawing* owner = drawing();
    return owner ? owner->convertPoint(centroidInBaseUnits()) : centroidInBaseUnits();
}

// --- Key-value coding -------------------------------------------------------------------------------

QVariant VXDrawableObject::metadataObjectForKey(const QString& key) const
{
    const QVariant own = metadataValueForKey(key);
    if (own.isValid())
        return own;
    const platform::DrawableContainer* container = containerInterface();
    return container ? container->metadataObjectForKey(key) : QVariant();
}

// --- Searching -------------------------------------------------------------------------------------

double VXDrawableObject::searchableXLocation() const
{
    const VXDrawing* owner = drawing();
    return owner ? owner->convertPoint(location()).x() : location().x();
}

double VXDrawableObject::searchableYLocation() const
{
    const VXDrawing* owner = drawing();
    return owner ? owner->convertPoint(location()).y() : location().y();
}

double VXDrawableObject::searchableWidth() const
{
    const VXDrawing* owner = drawing();
    return owner ? owner->convertLength(size().width()) : size().width();
}

double VXDrawableObject::searchableHeight() const
{
    const VXDrawing* owner = drawing();
    return owner ? owner->convertLength(size().height()) : size().height();
}

QString VXDrawableObject::searchableString() const
{
    const VXStylePtr ownStyle = style();
    if (!ownStyle)
        return {};
    const QString styleText = VXTextAdornment::searchableStringOfStyleForObject(*ownStyle, *this);
    // Without text from the style the attributes' remembered text is the whole: nothing to build.
    return styleText.isEmpty() ? metadataSearchText() : styleText + metadataSearchText();
}

QVariant VXDrawableObject::searchableStringValue() const
{
    const QString text = searchableString();
    return text.isNull() ? QVariant() : QVariant(text);
}

QStringList VXDrawableObject::searchableStringsFromMetadata() const
{
    QStringList strings;
    for (const VXMetadataValue& value : metadataValues())
        if (QString text = value.stringValue(); !text.isNull())
            strings.append(std::move(text));
    return strings;
}

QVariant VXDrawableObject::valueForUndefinedKey(const QString& key) const
{
    const QVariant value = metadataObjectForKey(key);
    return value.isValid() ? value : platform::nullValue();
}

void VXDrawableObject::setValueForUndefinedKey(const QVariant& value, const QString& key)
{
    setMetadataItemValueForKey(value, key);
}

QStringList VXDrawableObject::keyPathsForValuesAffectingValueForKey(const QString& key) const
{
    static const QHash<QString, QStringList> dependencies{
        {QStringLiteral("xLocation"), {QStringLiteral("location")}},
        {QStringLiteral("yLocation"), {QStringLiteral("location")}},
        {QStringLiteral("width"), {QStringLiteral("size")}},
        {QStringLiteral("height"), {QStringLiteral("size")}},
        {QStringLiteral("angleInDegrees"), {QStringLiteral("angle")}},
        {QStringLiteral("bounds"), {QStringLiteral("location"), QStringLiteral("size"), QStringLiteral("angle"),
                                    QStringLiteral("style")}},
    };
    return dependencies.value(key);
}

bool VXDrawableObject::classForwardsCommandsToParts(const QMetaObject* objectClass)
{
    return objectClass->indexOfClassInfo(kForwardsCommandsToPartsInfo) >= 0;
}

// --- Pasteboard and copying ----------------------------------------------------------------------------

void VXDrawableObject::writeObjectsToPasteboard(const QList<VXDrawableObjectPtr>& objects, QMimeData* pasteboard)
{
    if (!pasteboard || objects.isEmpty())
        return;
    QVariantList archived;
    for (const VXDrawableObjectPtr& object : objects) {
        if (object)
            archived.append(QVariant::fromValue(ZQObjectPtr(object)));
    }
    platform::KeyedArchiver coder;
    coder.encodeObject(QVariant(archived), kPasteboardObjectsKey);
    pasteboard->setData(kVXDrawableObjectPasteboardType, coder.finishEncoding());
}

QList<VXDrawableObjectPtr> VXDrawableObject::nativeObjectsFromPasteboard(const QMimeData* pasteboard,
                                                                         platform::KeyedUnarchiver::Origin origin,
                                                                         Identity identity)
{
    if (!pasteboard || !pasteboard->hasFormat(kVXDrawableObjectPasteboardType))
        return {};
    return nativeObjectsFromPasteboardData(pasteboard->data(kVXDrawableObjectPasteboardType), origin, identity);
}

QList<VXDrawableObjectPtr> VXDrawableObject::nativeObjectsFromPasteboardData(const QByteArray& data,
                                                                             platform::KeyedUnarchiver::Origin origin,
                                                                             Identity identity)
{
    platform::KeyedUnarchiver coder(data, origin);
    if (!coder.isValid()) {
        LogEvent(kFileEvent, QStringLiteral("pasteboard objects are damaged: %1").arg(coder.error().localizedDescription()));
        return {};
    }
    coder.setMakesNewObjects(identity == Identity::New);
    return platform::ArchiveReader(coder).objects<VXDrawableObject>(kPasteboardObjectsKey);
}

void VXDrawableObject::setUserInfoObjectForKey(const QVariant& object, const QString& key)
{
    if (!object.isValid()) {
        m_userInfo.remove(key);
        return;
    }
    ZQ_ASSERT(platform::PropertyList::isPropertyListValue(object),
              QStringLiteral("user info for \"%1\" must be a property-list value").arg(key));
    m_userInfo.insert(key, object);
}

std::shared_ptr<ZQObject> VXDrawableObject::copy() const
{
    return copyDrawable();
}

namespace {

// A copy decoded from `original`'s copying archive, made to share its styles again.
VXDrawableObjectPtr adoptedCopy(const ZQObjectPtr& decoded, const VXDrawableObject& original)
{
    auto copy = std::dynamic_pointer_cast<VXDrawableObject>(decoded);
    ZQ_ASSERT(copy, QStringLiteral("%1 could not be copied").arg(original.className()));
    copy->adoptStylesFrom(original);
    return copy;
}

} // namespace

VXDrawableObjectPtr VXDrawableObject::copyDrawable() const
{
    // The archive is the one description of an object's state, so copies cannot miss a field.
    const QByteArray data = platform::KeyedArchiver::archivedDataForCopyingRootObject(this);
    return adoptedCopy(platform::KeyedUnarchiver::unarchiveObjectForCopyingWithData(data), *this);
}

QList<VXDrawableObjectPtr> VXDrawableObject::copyDrawables(const QList<VXDrawableObjectPtr>& objects)
{
    const QByteArray data = platform::KeyedArchiver::archivedDataForCopyingRootObjects(
        QList<ZQObjectPtr>(objects.cbegin(), objects.cend()));
    const QList<ZQObjectPtr> decoded = platform::KeyedUnarchiver::unarchiveObjectsForCopyingWithData(data);
    ZQ_ASSERT(decoded.size() == objects.size(), QStringLiteral("%1 objects could not be copied").arg(objects.size()));
    QList<VXDrawableObjectPtr> copies;
    copies.reserve(objects.size());
    for (qsizetype i = 0; i < objects.size(); ++i)
        copies.append(adoptedCopy(decoded[i], *objects[i]));
    return copies;
}

void VXDrawableObject::adoptStylesFrom(const VXDrawableObject& original)
{
    m_style = original.m_style;
    m_cachedBounds.reset();
    updateRasterizerObservation();
}

void VXDrawableObject::encodeWithCoder(platform::KeyedArchiver& coder) const
{
    if (!coder.isForCopying()) // a copy shares its original's style (adoptStylesFrom)
        coder.encodeObject(m_style.get(), kStyleKey);
    coder.encodeString(m_name, kNameKey);
    coder.encodeBool(m_userAssignedName, kUserNameKey);
    coder.encodeBool(m_locked, kLockedKey);
    coder.encodeBool(m_visible, kVisibleKey);
    coder.encodeBool(m_ghosted, kGhostedKey);
    coder.encodeBool(m_aspectRatioLocked, kAspectKey);
    if (!coder.isForCopying()) // a copy makes a key of its own
        coder.encodeUniqueString(uniqueKey(), kUniqueKeyKey);
    encodeMetadata(coder, kMetadataKey);
    if (!m_userInfo.isEmpty())
        coder.encodeObject(QVariant(m_userInfo), kUserInfoKey);
}

void VXDrawableObject::initWithCoder(platform::KeyedUnarchiver& coder)
{
    const platform::ArchiveReader reader(coder);
    m_style = reader.object<VXStyle>(kStyleKey);
    m_name = reader.string(kNameKey);
    m_userAssignedName = reader.boolean(kUserNameKey, false);
    m_locked = reader.boolean(kLockedKey, false);
    m_visible = reader.boolean(kVisibleKey, true);
    m_ghosted = reader.boolean(kGhostedKey, false);
    m_aspectRatioLocked = reader.boolean(kAspectKey, false);
    if (!coder.makesNewObjects()) // a new object makes a key of its own when asked
        m_uniqueKey = reader.string(kUniqueKeyKey);
    decodeMetadata(coder, kMetadataKey);
    m_userInfo = reader.dictionary(kUserInfoKey);
    m_cachedBounds.reset();
    updateRasterizerObservation();
}
